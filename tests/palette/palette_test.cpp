#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <set>

#include "palette/builtin_palettes.h"
#include "palette/my_pal.h"
#include "palette/palette.h"
#include "palette/random_styles.h"
#include "palette/table_pal.h"
#include "support/scripted_random.h"

namespace mirelune {
namespace {

using testing::ScriptedRandom;

constexpr Colour kSentinel = 0xFF00FF00;  // no palette colour has a top byte

// The table is written out by hand, most channels from a sine rule and some as curves of no
// such form: a slip in any entry changes this sum of all entries in order.
TEST(BuiltinPalettes, TheWholeTableKeepsItsChecksum) {
    std::uint64_t sum = 14695981039346656037u;
    for (const BuiltinPalette& pal : kBuiltinPalettes) {
        for (Colour c : pal)
            sum = (sum ^ c) * 1099511628211u;
    }
    EXPECT_EQ(sum, 0x826CCEFC23CB3D22u);
}

// A scripted sample: palette 3, stride 6, offset 250.
TEST(TablePal, SamplesEveryStrideFrom6To27FromItsOffsetWrappingPastTheEnd) {
    Random random(fixedSeedClock(1));
    std::set<int> strides;
    for (int k = 0; k < 2000; ++k)
        strides.insert(drawTableSample(random).stride);
    EXPECT_EQ(strides, (std::set<int>{6, 9, 12, 15, 18, 21, 24, 27}));

    ScriptedRandom scripted({3.5 / 14, 0.0, 250.5 / 256});
    Palette col;
    TablePal(col, scripted);
    for (int i = 0; i < kPaletteSize; ++i)
        EXPECT_EQ(col[i], kBuiltinPalettes[3][(250 + 6 * i) % 256]) << "entry " << i;
}

// Every style from one starting state shares the four draws of an entry; a is red of style 6.
TEST(RandomStyles, EachStyleTiesItsChannelsToTheSharedDraws) {
    Random start(fixedSeedClock(1));
    for (int round = 0; round < 20; ++round) {
        start.randomize();
        std::array<Palette, 11> s;
        for (int style = 1; style <= 10; ++style) {
            Random random = start;
            fillRandomStyle(s[style], style, random);
        }
        for (int h = 0; h < 25; ++h) {
            const int a = redOf(s[6][h]);
            EXPECT_EQ(s[6][h], rgb(a, 0, 0));
            EXPECT_EQ(s[7][h], rgb(0, 0, 255 - a));
            EXPECT_EQ(s[8][h], rgb(a, 0, 255 - a));
            EXPECT_EQ(s[9][h], rgb(0, 0, a));
            EXPECT_EQ(s[1][h], rgb(a, 0, blueOf(s[3][h])));
            EXPECT_EQ(s[2][h], rgb(a, greenOf(s[2][h]), 0));
            EXPECT_EQ(redOf(s[3][h]), a);
            EXPECT_EQ(s[4][h], s[3][h]);
            EXPECT_EQ(s[5][h], s[3][h]);
        }
        // Unshifted, green of style 3 is the second draw, which style 2 takes the complement of.
        EXPECT_EQ(greenOf(s[2][0]) + greenOf(s[3][0]), 255);
    }
}

// With every draw 0.5 style 3's channels start at 383 mod 256 = 127 and move on by
// 255 \ 25 = 10 per entry, green (scaled by the fourth draw) by 5. Style 10 draws red, green,
// blue after the four shared draws of each entry, holding 256 at 255.
TEST(RandomStyles, ChannelsFollowTheDraws) {
    ScriptedRandom halves({}, 0.5), tenths({0.1, 0.2, 0.3, 0.4, 0.999, 0.0, 0.5});
    Palette col, ten;
    fillRandomStyle(col, 3, halves);
    for (int h = 0; h < 25; ++h) {
        const int a = (383 + 10 * h) % 256;
        EXPECT_EQ(col[h], rgb(a, (383 + 5 * h) % 256, 255 - a)) << "entry " << h;
    }
    fillRandomStyle(ten, 10, tenths);
    EXPECT_EQ(ten[0], rgb(255, 0, 128));
    EXPECT_EQ(tenths.draws(), 7 * kPaletteSize);
}

// Entry 23 (bailout - 1) reaches each end, or one unit short from the single-precision slope.
TEST(MyPal, GradientRunsBetweenItsEndsAndRedComplementsTheSlowerChannel) {
    const struct {
        GradientEnds ends;
        int (*slower)(Colour);
    } cases[] = {
        {{0, 200, 50, 150}, greenOf},  {{0, 150, 50, 250}, blueOf},
        {{10, 110, 20, 120}, blueOf},   // equal slopes: green is not the slower
        {{127, 100, 20, 200}, blueOf},  // a falling channel
        {{127, 254, 0, 254}, blueOf},   // both pass 255 at entry 24, so red must stay at 0
    };
    for (const auto& [ends, slower] : cases) {
        Palette col;
        writeGradient(col, ends);
        EXPECT_EQ(std::pair(blueOf(col[0]), greenOf(col[0])),
                  std::pair(ends.blueStart, ends.greenStart));
        EXPECT_NEAR(blueOf(col[23]), ends.blueEnd - 0.5, 0.5);
        EXPECT_NEAR(greenOf(col[23]), ends.greenEnd - 0.5, 0.5);
        for (int c = 0; c < kPaletteSize; ++c)
            EXPECT_EQ(redOf(col[c]) + slower(col[c]), 255) << "entry " << c;
    }
}

// Each end is drawn over its whole range, green's end at most 254; MyPal reseeds first.
TEST(MyPal, DrawsEachEndOverItsRangeAfterReseedingFromTheClock) {
    const double top = std::nextafter(1.0, 0.0);
    const std::pair<std::vector<double>, std::array<int, 4>> cases[] = {
        {{0, 0, 0, 0}, {0, 100, 0, 100}},
        {{top, top, top, top}, {127, 254, 127, 127}},
        {{0.25, 0.5, 0, top}, {32, 177, 0, 254}},
    };
    for (const auto& [draws, ends] : cases) {
        ScriptedRandom random(draws);
        const GradientEnds e = drawGradientEnds(random);
        EXPECT_EQ((std::array{e.blueStart, e.blueEnd, e.greenStart, e.greenEnd}), ends) << draws[0];
    }
    Random early(fixedSeedClock(100)), late(fixedSeedClock(101));  // alike but for the clock
    Palette col, fromLate;
    MyPal(col, early);
    MyPal(fromLate, late);
    EXPECT_NE(col, fromLate);
}

// The first draw picks one of twenty styles, told apart by the draws taken: 1 + 4 per entry
// for styles 1 to 9, 3 more per entry for 10, 5 for a gradient (11 to 13), 4 for a table sample.
TEST(Setpalette, TheFirstDrawPicksOneOfTwentyStyles) {
    const std::pair<double, int> cases[] = {{0, 101}, {0.4499, 101}, {0.4501, 176}, {0.4999, 176},
                                            {0.5, 5}, {0.6499, 5},   {0.6501, 4},   {0.9999, 4}};
    for (const auto& [first, draws] : cases) {
        ScriptedRandom random({first});
        Palette col;
        col.fill(kSentinel);
        setpalette(col, random);
        EXPECT_EQ(random.draws(), draws) << first;
        EXPECT_TRUE(std::ranges::all_of(col, [](Colour c) { return c <= 0xFFFFFF; })) << first;
    }
}

}  // namespace
}  // namespace mirelune
