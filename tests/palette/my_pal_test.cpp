#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "palette/my_pal.h"
#include "palette/palette.h"
#include "palette_test_support.h"

namespace mirelune {
namespace {

using palette_test::kSentinel;

constexpr int kEntries = 25;

std::vector<Colour> gradient(const GradientEnds& ends) {
    std::vector<Colour> col = palette_test::sentinelFilled(kEntries + 1);
    writeGradient(col, 24, kEntries - 1, ends);
    return col;
}

TEST(MyPal, EndsLieInTheirRanges) {
    Random random = palette_test::seededRandom(1);
    int lowestBlueStart = 255, highestBlueEnd = 0;
    for (int k = 0; k < 5000; ++k) {
        const GradientEnds ends = drawGradientEnds(random);
        ASSERT_GE(ends.blueStart, 0);
        ASSERT_LE(ends.blueStart, 127);
        ASSERT_GE(ends.blueEnd, 100);
        ASSERT_LE(ends.blueEnd, 254);
        ASSERT_GE(ends.greenStart, 0);
        ASSERT_LE(ends.greenStart, 127);
        ASSERT_GE(ends.greenEnd, 100);
        ASSERT_LE(ends.greenEnd, 254 - ends.greenStart);
        lowestBlueStart = std::min(lowestBlueStart, ends.blueStart);
        highestBlueEnd = std::max(highestBlueEnd, ends.blueEnd);
    }
    EXPECT_EQ(lowestBlueStart, 0);
    EXPECT_EQ(highestBlueEnd, 254);
}

// Entry bailout - 1 reaches the end, or one unit below it from the single-precision slope;
// entry bailout runs one step further.
TEST(MyPal, GradientRunsFromStartToEndAtBailoutMinusOne) {
    Random random = palette_test::seededRandom(2);
    for (int k = 0; k < 200; ++k) {
        const GradientEnds ends = drawGradientEnds(random);
        const std::vector<Colour> col = gradient(ends);
        EXPECT_EQ(blueOf(col[0]), ends.blueStart);
        EXPECT_EQ(greenOf(col[0]), ends.greenStart);
        EXPECT_GE(blueOf(col[23]), ends.blueEnd - 1);
        EXPECT_LE(blueOf(col[23]), ends.blueEnd);
        EXPECT_GE(greenOf(col[23]), ends.greenEnd - 1);
        EXPECT_LE(greenOf(col[23]), ends.greenEnd);
        const double blueStep = (ends.blueEnd - ends.blueStart) / 23.0;
        EXPECT_NEAR(blueOf(col[24]), std::min(255.0, ends.blueStart + 24 * blueStep), 1.0);
        EXPECT_EQ(col[kEntries], kSentinel);
    }
}

TEST(MyPal, ChannelAboveItsEndFalls) {
    const std::vector<Colour> col = gradient(GradientEnds{127, 100, 20, 200});
    for (int c = 1; c < kEntries; ++c) {
        EXPECT_LE(blueOf(col[c]), blueOf(col[c - 1])) << "entry " << c;
        EXPECT_GE(greenOf(col[c]), greenOf(col[c - 1])) << "entry " << c;
    }
    EXPECT_LT(blueOf(col[24]), 100);
}

TEST(MyPal, LastEntryIsHeldAt255) {
    const std::vector<Colour> col = gradient(GradientEnds{0, 254, 0, 100});
    EXPECT_GE(blueOf(col[23]), 253);
    EXPECT_EQ(blueOf(col[24]), 255);
}

TEST(MyPal, RedComplementsTheSlowerChannel) {
    const auto complementsGreen = [](const GradientEnds& ends) {
        const std::vector<Colour> col = gradient(ends);
        return palette_test::allEntries(std::span(col).first(kEntries),
                                        [](Colour c) { return redOf(c) + greenOf(c) == 255; });
    };
    const auto complementsBlue = [](const GradientEnds& ends) {
        const std::vector<Colour> col = gradient(ends);
        return palette_test::allEntries(std::span(col).first(kEntries),
                                        [](Colour c) { return redOf(c) + blueOf(c) == 255; });
    };
    EXPECT_TRUE(complementsGreen(GradientEnds{0, 200, 50, 150}));
    EXPECT_TRUE(complementsBlue(GradientEnds{0, 150, 50, 250}));
    // Equal slopes: green is not the slower one.
    EXPECT_TRUE(complementsBlue(GradientEnds{10, 110, 20, 120}));
}

// MyPal re-seeds before it draws, so a twin that re-seeds alike predicts its ends.
TEST(MyPal, DrawsItsEndsAfterReseeding) {
    for (std::uint64_t seed = 1; seed <= 30; ++seed) {
        Random random = palette_test::seededRandom(seed);
        Random twin = random;
        twin.randomize();
        const GradientEnds ends = drawGradientEnds(twin);
        std::vector<Colour> col = palette_test::sentinelFilled(kEntries + 1);
        ASSERT_TRUE(MyPal(col, 24, random));
        EXPECT_EQ(col, gradient(ends));
        EXPECT_EQ(random.next(), twin.next());
    }
}

TEST(MyPal, DependsOnTheClockReading) {
    // Both start in the same state; only the clock differs.
    Random early(fixedSeedClock(100));
    Random late(fixedSeedClock(101));
    std::vector<Colour> fromEarly(kEntries);
    std::vector<Colour> fromLate(kEntries);
    ASSERT_TRUE(MyPal(fromEarly, 24, early));
    ASSERT_TRUE(MyPal(fromLate, 24, late));
    EXPECT_NE(fromEarly, fromLate);
}

TEST(MyPal, RefusesWithoutWritingWhenItCannotFit) {
    Random random = palette_test::seededRandom(5);
    std::vector<Colour> col = palette_test::sentinelFilled(kEntries);
    EXPECT_FALSE(MyPal(std::span(col).first(24), 24, random));
    EXPECT_FALSE(MyPal(col, 1.9, random));
    EXPECT_FALSE(MyPal(col, std::nan(""), random));
    EXPECT_TRUE(palette_test::allEntries(col, [](Colour c) { return c == kSentinel; }));
    EXPECT_TRUE(MyPal(std::span(col).first(3), 2, random));
}

}  // namespace
}  // namespace mirelune
