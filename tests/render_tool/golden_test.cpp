// Small golden pictures: any change to the numerics, the order of random draws, the palettes
// or the painter's geometry shows up as a pixel difference here. On a mismatch the test
// writes the picture it got and a difference picture into its working directory and prints
// the command that records a new golden; look at both before re-recording.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "png_reader.h"
#include "render_tool/png_writer.h"
#include "render_tool/render_job.h"

namespace mirelune::render_tool {
namespace {

// Writes the actual picture and one with the differing pixels in red over the expected
// picture dimmed to a quarter; returns what to tell the reader.
std::string keepMismatch(const char* file, const Options& options, const Surface& actual,
                         const DecodedPng& expected) {
    const std::string actualFile = std::string("golden-actual-") + file;
    const std::string diffFile = std::string("golden-diff-") + file;
    std::vector<std::uint32_t> pixels(actual.row(0),
                                      actual.row(0) + actual.width() * actual.height());
    writePng(actualFile, {pixels.data(), actual.width(), actual.height(), actual.width()});
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const png_byte* e = &expected.rgb[3 * i];
        pixels[i] =
            pixels[i] == rgb(e[0], e[1], e[2]) ? rgb(e[0] / 4, e[1] / 4, e[2] / 4) : rgb(255, 0, 0);
    }
    writePng(diffFile, {pixels.data(), actual.width(), actual.height(), actual.width()});
    return "wrote " + actualFile + " and " + diffFile +
           " in the test's working directory; if the change is intended, re-record with\n"
           "  build/native/mirelune-render --size " +
           std::to_string(options.width) + "x" + std::to_string(options.height) + " --sectors " +
           std::to_string(options.sectors) + " --pictures " + std::to_string(options.pictures) +
           " --seed " + std::to_string(*options.seed) + " -o tests/golden/" + file;
}

TEST(GoldenPictures, RendererPaintsTheRecordedPixels) {
    const struct {
        const char* file;
        Options options;
    } cases[] = {
        {"sectors3-seed7.png", {240, 180, 3, 7, 2, {}}},
        {"sectors1-seed12.png", {161, 97, 1, 12, 3, {}}},
    };
    for (const auto& golden : cases) {
        const DecodedPng expected = readPng(std::string(MIRELUNE_GOLDEN_DIR) + "/" + golden.file);
        const Surface actual = renderPictures(golden.options);
        ASSERT_EQ(expected.width, static_cast<png_uint_32>(actual.width())) << golden.file;
        ASSERT_EQ(expected.height, static_cast<png_uint_32>(actual.height())) << golden.file;
        int differing = 0;
        for (int y = 0; y < actual.height(); ++y) {
            for (int x = 0; x < actual.width(); ++x) {
                const png_byte* e = &expected.rgb[3 * (y * actual.width() + x)];
                differing += actual.at(x, y) != rgb(e[0], e[1], e[2]);
            }
        }
        if (differing != 0) {
            ADD_FAILURE() << differing << " pixels differ from " << golden.file << "; "
                          << keepMismatch(golden.file, golden.options, actual, expected);
        }
    }
}

}  // namespace
}  // namespace mirelune::render_tool
