// Small golden pictures: any change to the numerics, the order of random draws, the palettes
// or the painter's geometry shows up as a pixel difference here. Each picture goes through the
// PNG writer whole, as the tool writes it, then without its right half (a stride wider than
// the rows). A mismatch keeps the file written, and a difference picture beside it, for a look.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <string>
#include <vector>

#include "render_tool/png_writer.h"
#include "render_tool/render_job.h"

namespace mirelune::render_tool {
namespace {

// The file's pixels, which must be stored as 8-bit RGB: the tool writes nothing else.
Surface readPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Surface pixels;
    if (png_image_begin_read_from_file(&image, path.c_str())) {
        EXPECT_EQ(image.format, png_uint_32(PNG_FORMAT_RGB)) << path;
        image.format = PNG_FORMAT_RGB;
        std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
        png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr);
        pixels.resize(static_cast<int>(image.width), static_cast<int>(image.height));
        for (std::size_t i = 0; i < bytes.size(); i += 3)
            pixels.canvas().pixels[i / 3] = rgb(bytes[i], bytes[i + 1], bytes[i + 2]);
    }
    EXPECT_FALSE(image.warning_or_error & PNG_IMAGE_ERROR) << path << ": " << image.message;
    return pixels;
}

TEST(GoldenPictures, RendererPaintsTheRecordedPixels) {
    const std::pair<std::string, Options> cases[] = {
        {"sectors3-seed7.png", {240, 180, 3, 7, 2, {}}},
        {"sectors1-seed12.png", {161, 97, 1, 12, 3, {}}},
    };
    for (const auto& [file, o] : cases) {
        const Surface expected = readPng(std::string(MIRELUNE_GOLDEN_DIR) + "/" + file);
        const Surface surface = renderPictures(o);
        const int height = surface.height();
        ASSERT_EQ(std::pair(expected.width(), expected.height()),
                  std::pair(surface.width(), height));
        const std::string written = "golden-actual-" + file;
        int differing = 0;
        for (const int width : {surface.width(), surface.width() / 2}) {
            ASSERT_EQ(writePng(written, {surface.row(0), width, height, surface.width()}),
                      std::nullopt);
            const Surface actual = readPng(written);
            ASSERT_EQ(std::pair(actual.width(), actual.height()), std::pair(width, height));
            // The differing pixels in red over the golden dimmed to a quarter.
            Surface diff(width, height);
            for (int i = 0; i < width * height; ++i) {
                const Colour golden = expected.at(i % width, i / width);
                const bool same = actual.row(0)[i] == golden;
                differing += !same;
                diff.canvas().pixels[i] = same ? golden >> 2 & 0x3F3F3F : rgb(255, 0, 0);
            }
            EXPECT_EQ(differing, 0)
                << file << " with " << width << " columns written; if intended, look at " << written
                << " and golden-diff-" << file << " and re-record:\n"
                << "  build/native/mirelune-render --size " << o.width << "x" << o.height
                << " --sectors " << o.sectors << " --pictures " << o.pictures << " --seed "
                << *o.seed << " -o tests/golden/" << file;
            if (differing != 0) {
                writePng("golden-diff-" + file, {diff.row(0), width, height, width});
                break;
            }
        }
        if (differing == 0) std::filesystem::remove(written);
    }
}

}  // namespace
}  // namespace mirelune::render_tool
