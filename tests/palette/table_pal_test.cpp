#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "palette/palette.h"
#include "palette/table_pal.h"
#include "palette_test_support.h"

namespace mirelune {
namespace {

using palette_test::kSentinel;

std::set<int> drawnStrides(double bailout) {
    Random random = palette_test::seededRandom(7);
    std::set<int> strides;
    for (int k = 0; k < 2000; ++k) {
        const TableSample sample = drawTableSample(bailout, random);
        EXPECT_GE(sample.number, 0);
        EXPECT_LT(sample.number, kBuiltinPaletteCount);
        EXPECT_GE(sample.offset, 0);
        EXPECT_LT(sample.offset, kBuiltinPaletteLength);
        strides.insert(sample.stride);
    }
    return strides;
}

TEST(TablePal, StrideSetDependsOnBailout) {
    EXPECT_EQ(drawnStrides(24), (std::set<int>{6, 9, 12, 15, 18, 21, 24, 27}));
    EXPECT_EQ(drawnStrides(49.9), (std::set<int>{6, 9, 12, 15, 18, 21, 24, 27}));
    EXPECT_EQ(drawnStrides(50), (std::set<int>{3, 6, 9, 12}));
    EXPECT_EQ(drawnStrides(60), (std::set<int>{3, 6, 9, 12}));
    EXPECT_EQ(drawnStrides(100), (std::set<int>{0}));
}

// How many draws one sample takes: the next draw of a twin generator that skipped that many
// must be the same.
int drawsPerSample(double bailout) {
    Random sampled = palette_test::seededRandom(3);
    drawTableSample(bailout, sampled);
    const double after = sampled.next();
    Random twin = palette_test::seededRandom(3);
    for (int draws = 0; draws < 10; ++draws) {
        if (twin.next() == after) {
            return draws;
        }
    }
    return -1;
}

TEST(TablePal, StrideIsDrawnOnlyBelowHundred) {
    EXPECT_EQ(drawsPerSample(24), 3);
    EXPECT_EQ(drawsPerSample(60), 3);
    EXPECT_EQ(drawsPerSample(100), 2);
}

TEST(TablePal, SampleWrapsFromLastIndexToFirst) {
    std::vector<Colour> col = palette_test::sentinelFilled(5);
    writeTableSample(col, 3, TableSample{0, 6, 250});
    const BuiltinPalette& source = kBuiltinPalettes[0];
    EXPECT_EQ(col[0], source[250]);
    EXPECT_EQ(col[1], source[0]);
    EXPECT_EQ(col[2], source[6]);
    EXPECT_EQ(col[3], source[12]);
    EXPECT_EQ(col[4], kSentinel);
}

TEST(TablePal, FillsEntriesWithOneBuiltinPaletteAtAStride) {
    Random random = palette_test::seededRandom(11);
    for (int k = 0; k < 50; ++k) {
        std::vector<Colour> col = palette_test::sentinelFilled(27);
        ASSERT_TRUE(TablePal(col, 24, random));
        EXPECT_EQ(col[25], kSentinel);
        EXPECT_EQ(col[26], kSentinel);
        const auto sample = palette_test::findTableSample(std::span(col).first(25));
        ASSERT_TRUE(sample.has_value());
        EXPECT_EQ(sample->stride % 3, 0);
        EXPECT_GE(sample->stride, 6);
        EXPECT_LE(sample->stride, 27);
    }
}

TEST(TablePal, BailoutOfHundredRepeatsOneColour) {
    Random random = palette_test::seededRandom(5);
    std::vector<Colour> col = palette_test::sentinelFilled(101);
    ASSERT_TRUE(TablePal(col, 100, random));
    EXPECT_TRUE(palette_test::allEntries(col, [&](Colour c) { return c == col[0]; }));
    EXPECT_TRUE(palette_test::findTableSample(std::span(col).first(1)).has_value());
}

TEST(TablePal, WritesThroughRoundedBailout) {
    Random random = palette_test::seededRandom(5);
    // 24.5 rounds to the even 24, 25.5 to 26.
    std::vector<Colour> col = palette_test::sentinelFilled(27);
    ASSERT_TRUE(TablePal(col, 24.5, random));
    EXPECT_NE(col[24], kSentinel);
    EXPECT_EQ(col[25], kSentinel);
    ASSERT_TRUE(TablePal(col, 25.5, random));
    EXPECT_NE(col[26], kSentinel);
    col.assign(1, kSentinel);
    ASSERT_TRUE(TablePal(col, 0, random));
    EXPECT_NE(col[0], kSentinel);
}

TEST(TablePal, RefusesWithoutWritingWhenItCannotFit) {
    Random random = palette_test::seededRandom(5);
    std::vector<Colour> col = palette_test::sentinelFilled(25);
    EXPECT_FALSE(TablePal(std::span(col).first(24), 24, random));
    EXPECT_FALSE(TablePal(col, 25.5, random));
    EXPECT_FALSE(TablePal(col, -1, random));
    EXPECT_FALSE(TablePal(col, std::nan(""), random));
    EXPECT_FALSE(TablePal(col, std::numeric_limits<double>::infinity(), random));
    EXPECT_TRUE(palette_test::allEntries(col, [](Colour c) { return c == kSentinel; }));
}

}  // namespace
}  // namespace mirelune
