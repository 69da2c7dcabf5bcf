#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>

#include "palette/palette.h"
#include "palette_test_support.h"

namespace mirelune {
namespace {

using palette_test::kSentinel;
using Channel = int (*)(Colour);

BuiltinPalette load(std::int16_t number) {
    BuiltinPalette pal;
    pal.fill(kSentinel);
    GetPalArray(pal, number);
    return pal;
}

TEST(GetPalArray, MatchesCheckColoursOfEveryPalette) {
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
    for (std::int16_t number = 0; number < kBuiltinPaletteCount; ++number) {
        const BuiltinPalette pal = load(number);
        for (std::size_t row = 0; row < kIndexes.size(); ++row) {
            EXPECT_EQ(pal[kIndexes[row]], kExpected[row][number])
                << "palette " << number << " index " << kIndexes[row];
        }
    }
}

TEST(GetPalArray, UnknownNumberLeavesArrayUnchanged) {
    for (const std::int16_t number : {std::int16_t{14}, std::int16_t{-1}, std::int16_t{100},
                                      std::int16_t{INT16_MIN}, std::int16_t{INT16_MAX}}) {
        const BuiltinPalette pal = load(number);
        EXPECT_TRUE(palette_test::allEntries(pal, [](Colour c) { return c == kSentinel; }))
            << "number " << number;
    }
}

TEST(GetPalArray, OverwritesAllEntriesWithPlainColours) {
    for (std::int16_t number = 0; number < kBuiltinPaletteCount; ++number) {
        const BuiltinPalette pal = load(number);
        EXPECT_TRUE(palette_test::allEntries(pal, [](Colour c) { return c <= 0xFFFFFF; }))
            << "palette " << number;
    }
}

TEST(GetPalArray, ExactHalvesOfSineChannelsRoundUp) {
    EXPECT_EQ(redOf(load(7)[0]), 128);
    EXPECT_EQ(blueOf(load(6)[128]), 128);
    EXPECT_EQ(redOf(load(8)[128]), 128);
    EXPECT_EQ(redOf(load(9)[128]), 128);
    EXPECT_EQ(blueOf(load(13)[192]), 128);
    // 255 sin 125 degrees = 208.88, an ordinary rounding beside them.
    EXPECT_EQ(redOf(load(1)[0]), 209);
}

// 255 |sin(sweep i / 256 + start)| in degrees; 127.5 occurs only at 30 and 150 modulo 180.
int sineChannel(int sweep, int start, int index) {
    const double angle = sweep * index / 256.0 + start;
    const double folded = std::fmod(angle, 180.0);
    if (folded == 30.0 || folded == 150.0) {
        return 128;
    }
    return static_cast<int>(std::lround(255 * std::abs(std::sin(angle * std::numbers::pi / 180))));
}

struct SineChannel {
    int palette;
    Channel channel;
    int sweep;
    int start;
};

TEST(GetPalArray, SineChannelsFollowTheirRule) {
    const std::array<SineChannel, 35> kChannels = {{
        {1, redOf, 90, 125},     {1, greenOf, 90, 0},    {1, blueOf, 180, 0},
        {2, redOf, 90, 175},     {2, blueOf, 90, 45},    {3, greenOf, 90, 0},
        {3, blueOf, 90, 60},     {4, greenOf, 90, 85},   {4, blueOf, 90, 125},
        {5, greenOf, 90, 130},   {5, blueOf, 90, 95},    {6, redOf, 180, 5},
        {6, greenOf, 90, 0},     {6, blueOf, 90, 105},   {7, redOf, 180, 150},
        {7, greenOf, 90, 145},   {7, blueOf, 90, 115},   {8, redOf, 180, 60},
        {8, greenOf, 90, 10},    {8, blueOf, 90, 115},   {9, redOf, 180, 60},
        {9, greenOf, 180, 10},   {9, blueOf, 180, 115},  {10, redOf, 180, 135},
        {10, greenOf, 180, 10},  {10, blueOf, 180, 50},  {11, redOf, 180, 125},
        {11, greenOf, 180, 100}, {11, blueOf, 180, 55},  {12, redOf, 180, 90},
        {12, greenOf, 135, 160}, {12, blueOf, 180, 175}, {13, redOf, 180, 130},
        {13, greenOf, 135, 100}, {13, blueOf, 180, 15},
    }};
    for (const SineChannel& rule : kChannels) {
        const BuiltinPalette pal = load(static_cast<std::int16_t>(rule.palette));
        for (int i = 0; i < kBuiltinPaletteLength; ++i) {
            ASSERT_EQ(rule.channel(pal[i]), sineChannel(rule.sweep, rule.start, i))
                << "palette " << rule.palette << " sweep " << rule.sweep << " index " << i;
        }
    }
}

// The channels that follow no rule are smooth curves, so a mistyped value shows as a jump.
TEST(GetPalArray, CurvedChannelsChangeByAtMostFourPerStep) {
    const std::array<std::pair<int, Channel>, 7> kCurves = {{
        {0, redOf},
        {0, greenOf},
        {0, blueOf},
        {2, greenOf},
        {3, redOf},
        {4, redOf},
        {5, redOf},
    }};
    for (const auto& [number, channel] : kCurves) {
        const BuiltinPalette pal = load(static_cast<std::int16_t>(number));
        for (int i = 1; i < kBuiltinPaletteLength; ++i) {
            ASSERT_LE(std::abs(channel(pal[i]) - channel(pal[i - 1])), 4)
                << "palette " << number << " index " << i;
        }
    }
}

}  // namespace
}  // namespace mirelune
