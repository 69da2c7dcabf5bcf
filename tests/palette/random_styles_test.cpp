#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "palette/random_styles.h"
#include "palette_test_support.h"

namespace mirelune {
namespace {

using palette_test::kSentinel;

constexpr double kBailout24 = 24;
constexpr int kEntries = 25;

// Palettes of one style from generators that all start alike, so that styles can be compared
// entry by entry.
std::vector<Colour> styled(int style, std::uint64_t seed, double bailout = kBailout24) {
    Random random = palette_test::seededRandom(seed);
    std::vector<Colour> col = palette_test::sentinelFilled(static_cast<std::size_t>(bailout) + 2);
    fillRandomStyle(col, bailout, style, random);
    return col;
}

TEST(RandomStyles, WriteEntriesUpToBailoutOnly) {
    for (int style = 1; style <= 10; ++style) {
        const std::vector<Colour> col = styled(style, 1);
        EXPECT_TRUE(palette_test::allEntries(std::span(col).first(kEntries),
                                             [](Colour c) { return c <= 0xFFFFFF; }))
            << "style " << style;
        EXPECT_EQ(col[kEntries], kSentinel) << "style " << style;
    }
}

TEST(RandomStyles, EachStyleKeepsItsChannelTies) {
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        const auto palette = [&](int style) { return styled(style, seed); };
        const auto holds = [](const std::vector<Colour>& col, auto predicate) {
            return palette_test::allEntries(std::span(col).first(kEntries), predicate);
        };
        EXPECT_TRUE(holds(palette(1), [](Colour c) { return greenOf(c) == 0; }));
        EXPECT_TRUE(holds(palette(2), [](Colour c) { return blueOf(c) == 0; }));
        EXPECT_TRUE(holds(palette(6), [](Colour c) { return greenOf(c) == 0 && blueOf(c) == 0; }));
        for (const int style : {7, 9}) {
            EXPECT_TRUE(
                holds(palette(style), [](Colour c) { return redOf(c) == 0 && greenOf(c) == 0; }));
        }
        EXPECT_TRUE(holds(palette(8),
                          [](Colour c) { return greenOf(c) == 0 && redOf(c) + blueOf(c) == 255; }));
    }
}

// All styles draw the same four numbers per entry, so from one starting state they share
// their channel values: red of 1, 2, 3 and 8 is red of 6; blue of 7 is the complement of
// blue of 9, and blue of 1 is blue of 3.
TEST(RandomStyles, StylesShareTheirPerEntryDraws) {
    std::array<std::vector<Colour>, 11> byStyle;
    for (int style = 1; style <= 10; ++style) {
        byStyle[style] = styled(style, 4);
    }
    for (int h = 0; h < kEntries; ++h) {
        for (const int style : {1, 2, 3, 8}) {
            EXPECT_EQ(redOf(byStyle[style][h]), redOf(byStyle[6][h])) << "style " << style;
        }
        EXPECT_EQ(blueOf(byStyle[7][h]) + blueOf(byStyle[9][h]), 255);
        EXPECT_EQ(blueOf(byStyle[1][h]), blueOf(byStyle[3][h]));
    }
}

// The per-entry draws of a generator in the state `styled` starts from.
struct EntryDraws {
    double o1, o2, o3;
    float f;
};

std::vector<EntryDraws> entryDraws(std::uint64_t seed, int entries) {
    Random random = palette_test::seededRandom(seed);
    std::vector<EntryDraws> draws(entries);
    for (EntryDraws& d : draws) {
        d.o1 = random.next() * 256 + 255;
        d.o2 = random.next() * 256 + 255;
        d.o3 = random.next() * 256 + 255;
        d.f = static_cast<float>(random.next());
    }
    return draws;
}

int mod256(double x) {
    return static_cast<int>(std::nearbyint(x)) % 256;
}

// With bailout 24 the shift per entry is 255 \ 25 = 10; green scales it by f.
TEST(RandomStyles, ChannelsShiftByTenPerEntryForBailout24) {
    const std::vector<EntryDraws> draws = entryDraws(9, kEntries);
    const std::vector<Colour> col = styled(3, 9);
    for (int h = 0; h < kEntries; ++h) {
        const EntryDraws& d = draws[h];
        EXPECT_EQ(redOf(col[h]), mod256(d.o1 + 10 * h)) << "entry " << h;
        EXPECT_EQ(blueOf(col[h]), 255 - mod256(d.o3 + 10 * h)) << "entry " << h;
        EXPECT_EQ(greenOf(col[h]), mod256(d.o2 + static_cast<double>(d.f) * h * 10))
            << "entry " << h;
    }
    const std::vector<Colour> red2 = styled(2, 9);
    for (int h = 0; h < kEntries; ++h) {
        EXPECT_EQ(greenOf(red2[h]), 255 - mod256(draws[h].o2 + 10 * h)) << "entry " << h;
    }
}

// Style 10 takes three more draws per entry, red, green, blue, where a rounded 256 is 255.
TEST(RandomStyles, StyleTenDrawsItsOwnChannelsAndHoldsThemAt255) {
    constexpr double kLongBailout = 2000;
    Random twin = palette_test::seededRandom(2);
    const std::vector<Colour> col = styled(10, 2, kLongBailout);
    int heldAt255 = 0;
    for (int h = 0; h <= kLongBailout; ++h) {
        for (int skipped = 0; skipped < 4; ++skipped) {
            twin.next();
        }
        std::array<int, 3> expected{};
        for (int& channel : expected) {
            channel = static_cast<int>(std::nearbyint(twin.next() * 256));
            if (channel == 256) {
                ++heldAt255;
                channel = 255;
            }
        }
        ASSERT_EQ(col[h], rgb(expected[0], expected[1], expected[2])) << "entry " << h;
    }
    EXPECT_GT(heldAt255, 0);
    EXPECT_EQ(col[kLongBailout + 1], kSentinel);
}

}  // namespace
}  // namespace mirelune
