// Small golden pictures: any change to the numerics, the order of random draws, the palettes
// or the painter's geometry shows up as a pixel difference here. After an intended change,
// look at the new pictures, then regenerate them with the command in each case's comment.
#include <gtest/gtest.h>

#include <string>

#include "png_reader.h"
#include "render_tool/render_job.h"

namespace mirelune::render_tool {
namespace {

struct Golden {
    const char* file;
    Options options;
};

TEST(GoldenPictures, RendererPaintsTheRecordedPixels) {
    // mirelune-render --size 240x180 --sectors 3 --pictures 2 --seed 7 -o <file>
    // mirelune-render --size 161x97 --sectors 1 --pictures 3 --seed 12 -o <file>
    const Golden cases[] = {
        {"sectors3-seed7.png", {240, 180, 3, 7, 2, {}}},
        {"sectors1-seed12.png", {161, 97, 1, 12, 3, {}}},
    };
    for (const Golden& golden : cases) {
        const DecodedPng expected = readPng(std::string(MIRELUNE_GOLDEN_DIR) + "/" + golden.file);
        const Surface surface = renderPictures(golden.options);
        ASSERT_EQ(expected.width, static_cast<png_uint_32>(surface.width())) << golden.file;
        ASSERT_EQ(expected.height, static_cast<png_uint_32>(surface.height())) << golden.file;
        int differing = 0;
        for (int y = 0; y < surface.height(); ++y) {
            for (int x = 0; x < surface.width(); ++x) {
                const png_byte* rgb = &expected.rgb[3 * (y * surface.width() + x)];
                differing += rgb[0] != redOf(surface.at(x, y)) ||
                             rgb[1] != greenOf(surface.at(x, y)) ||
                             rgb[2] != blueOf(surface.at(x, y));
            }
        }
        EXPECT_EQ(differing, 0) << golden.file;
    }
}

}  // namespace
}  // namespace mirelune::render_tool
