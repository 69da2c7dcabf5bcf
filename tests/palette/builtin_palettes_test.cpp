#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "palette/builtin_palettes.h"

namespace mirelune {
namespace {

TEST(BuiltinPalettes, MatchCheckColours) {
    constexpr std::array<int, 5> kIndexes = {0, 64, 128, 192, 255};
    constexpr std::array<std::array<Colour, kBuiltinPaletteCount>, 5> kExpected = {{
        {0x000000, 0x0000D1, 0xB4FB16, 0xDD0099, 0xD1FEE3, 0xFEC3B2, 0xF60016, 0xE79280, 0xE72CDD,
         0xE72CDD, 0xC32CB4, 0xD1FBD1, 0x1657FF, 0x42FBC3},
        {0x40133E, 0xB46289, 0xECBB4D, 0xFD62CD, 0x89F3FB, 0xE27678, 0xCA62C3, 0xAC3742, 0xAC89F6,
         0x57D1F6, 0xFED100, 0xFB922C, 0xA43DB4, 0xDDB816},
        {0x5A527E, 0xFFB42C, 0xFF68A4, 0xF6B4F0, 0x2CC3FD, 0xA4168C, 0x80B4FE, 0x572CDD, 0x57D180,
         0x6CFB80, 0xA4FBB4, 0x922C92, 0xFEBC00, 0xF637A4},
        {0x00AAA2, 0xB4EC37, 0xEC22E2, 0xCAECFF, 0x3776E7, 0x4D4DC2, 0x21ECA4, 0x0B89F6, 0x0BF942,
         0xF09242, 0x1692FF, 0x2CD1FB, 0xC3FCB4, 0x805CFE},
        {0xB2FE94, 0x03FF91, 0xB500FE, 0x81FFF6, 0x9118BE, 0x15A3EA, 0x40FF13, 0x6AD082, 0x6AFBDB,
         0xE829DB, 0xC129B7, 0xCFFCD3, 0x19E8FF, 0x3FD0C5},
    }};
    for (int number = 0; number < kBuiltinPaletteCount; ++number) {
        const BuiltinPalette& pal = kBuiltinPalettes[number];
        for (std::size_t row = 0; row < kIndexes.size(); ++row) {
            EXPECT_EQ(pal[kIndexes[row]], kExpected[row][number])
                << "palette " << number << " index " << kIndexes[row];
        }
    }
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
