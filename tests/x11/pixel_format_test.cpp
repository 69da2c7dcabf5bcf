#include "pixel_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace mirelune::x11 {
namespace {

constexpr Colour kColour = rgb(0x12, 0x34, 0x56);

TEST(X11PixelFormat, PlacesEachChannelWhereItsMaskSays) {
    // The usual little-endian layout, its mirror image, and a 32-bit visual with alpha on top.
    const auto bgrx = PixelFormat::fromMasks(0xFF0000, 0x00FF00, 0x0000FF, 24);
    ASSERT_TRUE(bgrx);
    EXPECT_EQ(bgrx->convert(kColour), 0x123456u);
    const auto rgbx = PixelFormat::fromMasks(0x0000FF, 0x00FF00, 0xFF0000, 24);
    ASSERT_TRUE(rgbx);
    EXPECT_EQ(rgbx->convert(kColour), 0x563412u);
    const auto argb = PixelFormat::fromMasks(0xFF0000, 0x00FF00, 0x0000FF, 32);
    ASSERT_TRUE(argb);
    EXPECT_EQ(argb->convert(kColour), 0xFF123456u);
    EXPECT_EQ(argb->convert(0), 0xFF000000u);
    const auto shifted = PixelFormat::fromMasks(0xFF000000, 0x00FF0000, 0x0000FF00, 32);
    ASSERT_TRUE(shifted);
    EXPECT_EQ(shifted->convert(kColour), 0x123456FFu);

    std::vector<std::uint32_t> out(3, 7);
    const Colour row[] = {kColour, rgb(255, 0, 0)};
    bgrx->convertRow(row, out);
    EXPECT_EQ(out, (std::vector<std::uint32_t>{0x123456, 0xFF0000, 7}));
}

TEST(X11PixelFormat, RefusesLayoutsItCannotFill) {
    EXPECT_FALSE(PixelFormat::fromMasks(0xF800, 0x07E0, 0x001F, 16));      // 5-6-5
    EXPECT_FALSE(PixelFormat::fromMasks(0x3FF00000, 0xFFC00, 0x3FF, 30));  // 10 bits each
    EXPECT_FALSE(PixelFormat::fromMasks(0xFF0000, 0xFF0000, 0x0000FF, 24));
    EXPECT_FALSE(PixelFormat::fromMasks(0xFF0000, 0, 0x0000FF, 24));
    EXPECT_FALSE(PixelFormat::fromMasks(0xFF0000, 0x00FF00, 0x0000FF, 16));
}

}  // namespace
}  // namespace mirelune::x11
