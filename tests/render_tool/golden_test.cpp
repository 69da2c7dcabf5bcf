// Small golden pictures: any change to the numerics, the order of random draws, the palettes
// or the painter's geometry shows up as a pixel difference here. Each picture goes through the
// PNG writer whole, as the tool writes it, then without its right half (a stride wider than
// the rows). A mismatch keeps the picture written, and a difference picture beside it, in the
// working directory for a look.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "render_tool/png_writer.h"
#include "render_tool/render_job.h"

namespace mirelune::render_tool {
namespace {

struct Rgb {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    std::vector<png_byte> bytes;
};

// The file's pixels, which must be stored as 8-bit RGB: the tool writes nothing else.
Rgb readPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Rgb rgb;
    if (png_image_begin_read_from_file(&image, path.c_str())) {
        EXPECT_EQ(image.format, png_uint_32(PNG_FORMAT_RGB)) << path;
        rgb = {image.width, image.height, std::vector<png_byte>(PNG_IMAGE_SIZE(image))};
        png_image_finish_read(&image, nullptr, rgb.bytes.data(), 0, nullptr);
    }
    EXPECT_FALSE(image.warning_or_error & PNG_IMAGE_ERROR) << path << ": " << image.message;
    return rgb;
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
        const Options& o = golden.options;
        const Rgb expected = readPng(std::string(MIRELUNE_GOLDEN_DIR) + "/" + golden.file);
        const Surface surface = renderPictures(o);
        ASSERT_EQ(std::tuple(expected.width, expected.height),
                  std::tuple(png_uint_32(surface.width()), png_uint_32(surface.height())));
        const std::string written = std::string("golden-actual-") + golden.file;
        int differing = 0;
        for (const int width : {surface.width(), surface.width() / 2}) {
            ASSERT_EQ(writePng(written, {surface.row(0), width, surface.height(), surface.width()}),
                      std::nullopt);
            const Rgb actual = readPng(written);
            ASSERT_EQ(actual.bytes.size(), std::size_t(3 * width * surface.height()));
            for (std::size_t i = 0; i < actual.bytes.size(); i += 3) {
                const std::size_t x = i / 3 % width, y = i / 3 / width;
                differing += std::memcmp(&actual.bytes[i],
                                         &expected.bytes[3 * (y * expected.width + x)], 3) != 0;
            }
            EXPECT_EQ(differing, 0)
                << golden.file << " with " << width << " columns written; "
                << "if intended, look at " << written << " and golden-diff-" << golden.file
                << " and re-record:\n"
                << "  build/native/mirelune-render --size " << o.width << "x" << o.height
                << " --sectors " << o.sectors << " --pictures " << o.pictures << " --seed "
                << *o.seed << " -o tests/golden/" << golden.file;
            if (differing != 0) break;  // keeps the whole picture
        }
        if (differing != 0) {  // the differing pixels in red over the golden dimmed to a quarter
            Surface diff(surface.width(), surface.height());
            for (int y = 0; y < surface.height(); ++y) {
                for (int x = 0; x < surface.width(); ++x) {
                    const png_byte* e = &expected.bytes[3 * (y * expected.width + x)];
                    diff.canvas().at(x, y) = surface.at(x, y) == rgb(e[0], e[1], e[2])
                                                 ? rgb(e[0] / 4, e[1] / 4, e[2] / 4)
                                                 : rgb(255, 0, 0);
                }
            }
            writePng(std::string("golden-diff-") + golden.file,
                     {diff.row(0), diff.width(), diff.height(), diff.width()});
        }
        if (differing == 0) std::filesystem::remove(written);
    }
}

}  // namespace
}  // namespace mirelune::render_tool
