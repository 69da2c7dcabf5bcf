#include "pixel_format.h"

#include <gtest/gtest.h>

namespace mirelune::x11 {
namespace {

constexpr Colour kColour = rgb(0x12, 0x34, 0x56);

TEST(X11PixelFormat, PlacesEachChannelWhereItsMaskSays) {
    const struct {
        const char* layout;
        std::uint32_t red, green, blue;
        int depth, bitsPerPixel;
        std::uint32_t colour, white, black;
    } cases[] = {
        {"24-bit", 0xFF0000, 0x00FF00, 0x0000FF, 24, 32, 0x123456, 0xFFFFFF, 0},
        {"24-bit, blue on top", 0x0000FF, 0x00FF00, 0xFF0000, 24, 32, 0x563412, 0xFFFFFF, 0},
        // Depth 32: the bits outside the masks are alpha, set so the picture is opaque.
        {"32-bit ARGB", 0xFF0000, 0x00FF00, 0x0000FF, 32, 32, 0xFF123456, 0xFFFFFFFF, 0xFF000000},
        {"32-bit RGBA", 0xFF000000, 0x00FF0000, 0x0000FF00, 32, 32, 0x123456FF, 0xFFFFFFFF, 0xFF},
        // Fewer bits keep each channel's top bits; more repeat them, so white stays white.
        {"16-bit 5-6-5", 0xF800, 0x07E0, 0x001F, 16, 16, 0x11AA, 0xFFFF, 0},
        {"15-bit 5-5-5", 0x7C00, 0x03E0, 0x001F, 15, 16, 0x08CA, 0x7FFF, 0},
        {"30-bit 10-10-10", 0x3FF00000, 0x000FFC00, 0x000003FF, 30, 32, 0x04834159, 0x3FFFFFFF, 0},
    };
    for (const auto& c : cases) {
        const auto format = PixelFormat::fromMasks(c.red, c.green, c.blue, c.depth, c.bitsPerPixel);
        ASSERT_TRUE(format) << c.layout;
        EXPECT_EQ(format->convert(kColour), c.colour) << c.layout;
        EXPECT_EQ(format->convert(rgb(255, 255, 255)), c.white) << c.layout;
        EXPECT_EQ(format->convert(0), c.black) << c.layout;
        EXPECT_EQ(format->bytesPerPixel(), c.bitsPerPixel / 8) << c.layout;
    }
}

TEST(X11PixelFormat, RefusesLayoutsItCannotFill) {
    const struct {
        std::uint32_t red, green, blue;
        int depth, bitsPerPixel;
    } cases[] = {
        {0x07, 0x38, 0xC0, 8, 8},                  // 3-3-2: too few colours
        {0xFF0000, 0x00FF00, 0x0000FF, 24, 24},    // pixels of three bytes
        {0xFF0000, 0xFF0000, 0x0000FF, 24, 32},    // overlapping
        {0xFF0000, 0, 0x0000FF, 24, 32},           // a channel missing
        {0xF0F000, 0x000F0F, 0x0000F0, 24, 32},    // bits not adjacent
        {0xFF000000, 0x00FF00, 0x0000FF, 24, 32},  // a mask outside the depth
        {0xFF0000, 0x00FF00, 0x0000FF, 24, 16},    // a depth larger than its pixels
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(PixelFormat::fromMasks(c.red, c.green, c.blue, c.depth, c.bitsPerPixel))
            << std::hex << c.red << ' ' << c.green << ' ' << c.blue << std::dec << " depth "
            << c.depth << " in " << c.bitsPerPixel << " bits";
    }
}

}  // namespace
}  // namespace mirelune::x11
