#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "palette/palette.h"
#include "palette_test_support.h"

namespace mirelune {
namespace {

using palette_test::kSentinel;

constexpr int kEntries = 25;

// What an observer can tell apart in a finished palette; styles 7 and 9, and 3, 4, 5 and 10,
// look alike.
enum class Look { Table, Gradient, Red, Blue, RedBlueLine, RedAndBlue, RedAndGreen, AllThree };

Look lookOf(std::span<const Colour> col) {
    const auto all = [&](auto predicate) { return palette_test::allEntries(col, predicate); };
    if (palette_test::findTableSample(col)) {
        return Look::Table;
    }
    if (all([](Colour c) { return greenOf(c) == 0 && blueOf(c) == 0; })) {
        return Look::Red;
    }
    if (all([](Colour c) { return redOf(c) == 0 && greenOf(c) == 0; })) {
        return Look::Blue;
    }
    if (all([](Colour c) { return greenOf(c) == 0 && redOf(c) + blueOf(c) == 255; })) {
        return Look::RedBlueLine;
    }
    if (all([](Colour c) { return greenOf(c) == 0; })) {
        return Look::RedAndBlue;
    }
    if (all([](Colour c) { return blueOf(c) == 0; })) {
        return Look::RedAndGreen;
    }
    if (all([](Colour c) { return redOf(c) + greenOf(c) == 255; }) ||
        all([](Colour c) { return redOf(c) + blueOf(c) == 255; })) {
        return Look::Gradient;
    }
    return Look::AllThree;
}

TEST(Setpalette, StylesAppearInTheirProportions) {
    constexpr int kCalls = 8000;
    Random random = palette_test::seededRandom(42);
    std::map<Look, int> counts;
    std::vector<Colour> col(kEntries);
    for (int k = 0; k < kCalls; ++k) {
        ASSERT_TRUE(setpalette(col, 24, random));
        ++counts[lookOf(col)];
    }
    // Chances out of twenty; the bounds allow a fifth either way.
    const std::map<Look, int> twentieths = {
        {Look::Table, 7},       {Look::Gradient, 3},   {Look::Red, 1},         {Look::Blue, 2},
        {Look::RedBlueLine, 1}, {Look::RedAndBlue, 1}, {Look::RedAndGreen, 1}, {Look::AllThree, 4},
    };
    for (const auto& [look, chance] : twentieths) {
        const double expected = kCalls * chance / 20.0;
        EXPECT_NEAR(counts[look], expected, expected / 5) << "look " << static_cast<int>(look);
    }
}

TEST(Setpalette, WritesExactlyEntriesUpToBailout) {
    Random random = palette_test::seededRandom(8);
    for (int k = 0; k < 400; ++k) {
        std::vector<Colour> col = palette_test::sentinelFilled(kEntries + 5);
        ASSERT_TRUE(setpalette(col, 24, random));
        for (int i = 0; i < kEntries; ++i) {
            ASSERT_LE(col[i], 0xFFFFFFu) << "call " << k << " entry " << i;
        }
        for (int i = kEntries; i < kEntries + 5; ++i) {
            ASSERT_EQ(col[i], kSentinel) << "call " << k << " entry " << i;
        }
    }
}

TEST(Setpalette, RefusesWithoutWritingWhenItCannotFit) {
    Random random = palette_test::seededRandom(5);
    std::vector<Colour> col = palette_test::sentinelFilled(kEntries);
    for (int k = 0; k < 40; ++k) {
        EXPECT_FALSE(setpalette(std::span(col).first(24), 24, random));
        EXPECT_FALSE(setpalette(col, 1.5, random));
        EXPECT_FALSE(setpalette(col, std::nan(""), random));
    }
    EXPECT_TRUE(palette_test::allEntries(col, [](Colour c) { return c == kSentinel; }));
}

}  // namespace
}  // namespace mirelune
