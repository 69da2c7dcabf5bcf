#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>

#include "palette/builtin_palettes.h"

namespace mirelune {
namespace {

// The table is transcribed by hand: any change to any entry, including the curves that
// follow no rule below, changes this sum of all entries in order.
TEST(BuiltinPalettes, TheWholeTableKeepsItsChecksum) {
    std::uint64_t sum = 14695981039346656037u;
    for (const BuiltinPalette& pal : kBuiltinPalettes) {
        for (Colour c : pal)
            sum = (sum ^ c) * 1099511628211u;
    }
    EXPECT_EQ(sum, 0x826CCEFC23CB3D22u);
}

// 255 |sin(sweep i / 256 + start)| in degrees, to the nearest whole number with 127.5 (only
// at 30 and 150 modulo 180) taken up to 128.
int sineChannel(int sweep, int start, int index) {
    const double angle = sweep * index / 256.0 + start;
    const double folded = std::fmod(angle, 180.0);
    if (folded == 30.0 || folded == 150.0) {
        return 128;
    }
    return static_cast<int>(std::lround(255 * std::abs(std::sin(angle * std::numbers::pi / 180))));
}

// Per palette, the {sweep, start} of red, green and blue: most channels follow the sine rule;
// the rest ({0, 0}) are smooth curves of no such form, where a mistyped value shows as a jump.
TEST(BuiltinPalettes, EveryChannelFollowsItsSineRuleOrChangesByAtMostFourPerStep) {
    constexpr std::array<std::array<int, 6>, kBuiltinPaletteCount> kRules = {{
        {0, 0, 0, 0, 0, 0},
        {90, 125, 90, 0, 180, 0},
        {90, 175, 0, 0, 90, 45},
        {0, 0, 90, 0, 90, 60},
        {0, 0, 90, 85, 90, 125},
        {0, 0, 90, 130, 90, 95},
        {180, 5, 90, 0, 90, 105},
        {180, 150, 90, 145, 90, 115},
        {180, 60, 90, 10, 90, 115},
        {180, 60, 180, 10, 180, 115},
        {180, 135, 180, 10, 180, 50},
        {180, 125, 180, 100, 180, 55},
        {180, 90, 135, 160, 180, 175},
        {180, 130, 135, 100, 180, 15},
    }};
    for (int number = 0; number < kBuiltinPaletteCount; ++number) {
        const BuiltinPalette& pal = kBuiltinPalettes[number];
        for (int ch = 0; ch < 3; ++ch) {
            const int sweep = kRules[number][2 * ch], start = kRules[number][2 * ch + 1];
            const auto at = [&](int i) { return static_cast<int>(pal[i] >> (8 * ch) & 0xFF); };
            for (int i = 0; i < kBuiltinPaletteLength; ++i) {
                ASSERT_LE(pal[i], 0xFFFFFFu) << "palette " << number << " index " << i;
                if (sweep != 0) {
                    ASSERT_EQ(at(i), sineChannel(sweep, start, i))
                        << "palette " << number << " channel " << ch << " index " << i;
                } else if (i > 0) {
                    ASSERT_LE(std::abs(at(i) - at(i - 1)), 4)
                        << "palette " << number << " channel " << ch << " index " << i;
                }
            }
        }
    }
}

}  // namespace
}  // namespace mirelune
