#include <gtest/gtest.h>

#include <set>

#include "render/escape_time.h"
#include "render/fractal_map.h"
#include "render/picture.h"
#include "support/scripted_random.h"

namespace mirelune {
namespace {

using testing::ScriptedRandom;

TEST(EscapeTime, CountsRunFromOneToTwentyFive) {
    EXPECT_EQ(escapeCount(0, 0, 0, 0), 25);  // the origin never escapes
    EXPECT_EQ(escapeCount(-0.02f, 0.02f, -0.02f, 0.02f), 25);
    EXPECT_EQ(escapeCount(3, 3, 3, 3), 1);  // far outside: gone after one step
    EXPECT_EQ(escapeCount(1, 0, 1, 0), 2);  // 1 -> 2 (on the circle) -> 5
}

TEST(EscapeTime, ModulusExactlyTwoKeepsIterating) {
    // z = 0 with c = -2 lands on -2 (|z|^2 = 4, not above) and then stays at 2 for ever.
    EXPECT_EQ(escapeCount(0, 0, -2, 0), 25);
    // Starting at 2 itself: 2^2 - 2 = 2 again, never strictly beyond the circle.
    EXPECT_EQ(escapeCount(2, 0, -2, 0), 25);
}

TEST(FractalMap, ColoursOfCountsArePairwiseDistinct) {
    EXPECT_EQ(mapColour(1), rgb(16, 0, 239));
    EXPECT_EQ(mapColour(15), rgb(240, 0, 15));
    EXPECT_EQ(mapColour(16), rgb(255, 0, 255));
    EXPECT_EQ(mapColour(25), rgb(255, 0, 111));
    std::set<Colour> seen;
    for (int n = 1; n <= 25; ++n)
        seen.insert(mapColour(n));
    EXPECT_EQ(seen.size(), 25u);
    EXPECT_EQ(seen.count(kInvalidColour), 0u);
}

TEST(FractalMap, WalksFromTheStartEndWhereTheSetEnds) {
    const FractalMap map;
    EXPECT_EQ(map.at(62, 37), mapColour(25));
    for (int column = 63; column < 71; ++column)
        EXPECT_EQ(map.at(column, 37), mapColour(25));
    EXPECT_EQ(map.at(71, 37), mapColour(8));
    for (int row = 22; row < 37; ++row)
        EXPECT_EQ(map.at(62, row), mapColour(25)) << row;
    EXPECT_EQ(map.at(62, 21), mapColour(18));
    for (int row = 38; row < 54; ++row)
        EXPECT_EQ(map.at(62, row), mapColour(25)) << row;
    EXPECT_EQ(map.at(62, 54), mapColour(18));
}

TEST(FractalMap, OutsideReadsMatchNoMapColour) {
    const FractalMap map;
    for (auto [column, row] : {std::pair{-1, 0}, {100, 0}, {0, -1}, {0, 75}, {-5000, 9000}}) {
        EXPECT_EQ(map.at(column, row), kInvalidColour);
    }
    EXPECT_EQ(map.at(0, 0), mapColour(1));  // the corner -2.5 + 1.5i escapes at once
}

// Centre of a window as the walk's end point, before the random size is put around it.
std::pair<float, float> centre(const ViewWindow& w) {
    return {(w.left + w.right) / 2, (w.top + w.bottom) / 2};
}

TEST(Getstart, UnlimitedWalksEndOnTheKnownBoundaryPoints) {
    const FractalMap map;
    struct Case {
        double axis, direction, reach;
        float cx, cy;
    };
    // reach 0.99 gives a limit 31 steps away, further than the set reaches.
    for (const Case& c : {Case{0.1, 0.9, 0.99, 0.34f, -0.02f}, Case{0.9, 0.1, 0.99, -0.02f, -0.66f},
                          Case{0.9, 0.9, 0.99, -0.02f, 0.66f}}) {
        ScriptedRandom random({c.axis, c.direction, c.reach, 0.0, 0.0});
        const ViewWindow window = getstart(map, random, true);
        EXPECT_EQ(random.draws(), 5);  // no second walk was needed
        EXPECT_NEAR(centre(window).first, c.cx, 1e-5);
        EXPECT_NEAR(centre(window).second, c.cy, 1e-5);
    }
}

TEST(Getstart, LimitedWalkTurnsAndCarriesOn) {
    const FractalMap map;
    // Right for at most 3 columns (to 65, still inside), then down the column until it ends.
    ScriptedRandom random({0.1, 0.9, 3.0 / 32, 0.9, 0.0, 0.0});
    const ViewWindow window = getstart(map, random, true);
    EXPECT_EQ(random.draws(), 6);
    int row = 37;
    while (map.at(65, row + 1) == mapColour(25))
        ++row;
    EXPECT_NEAR(centre(window).first, 65 * 0.04f - 2.5f, 1e-5);
    EXPECT_NEAR(centre(window).second, (row + 1) * 0.04f - 1.5f, 1e-5);
}

TEST(Getstart, ZeroReachStillTakesTheFirstStep) {
    const FractalMap map;
    // Left with limit equal to the start: the first step passes it and the walk goes on
    // until the colour changes, with no turn.
    ScriptedRandom random({0.1, 0.1, 0.0, 0.0, 0.0});
    const ViewWindow window = getstart(map, random, true);
    EXPECT_EQ(random.draws(), 5);
    int column = 62;
    while (map.at(column - 1, 37) == mapColour(25))
        --column;
    EXPECT_NEAR(centre(window).first, (column - 1) * 0.04f - 2.5f, 1e-5);
}

TEST(Getstart, WindowSizesDependOnTheKindOfPicture) {
    const FractalMap map;
    for (bool mandel : {true, false}) {
        for (double size : {0.0, 0.999999}) {
            ScriptedRandom random({0.1, 0.9, 0.99, size, size});
            const ViewWindow window = getstart(map, random, mandel);
            const float scale = mandel ? 1 : 8;
            EXPECT_NEAR(window.right - window.left, scale * (0.04 + 0.5 * size), 1e-4);
            EXPECT_NEAR(window.top - window.bottom, scale * (0.03 + 0.38 * size), 1e-4);
            EXPECT_GT(window.top, window.bottom);
        }
    }
}

TEST(PictureRows, PixelsSpanTheWindowWithoutItsRightEdge) {
    Palette col{};
    for (int i = 0; i < kPaletteSize; ++i)
        col[i] = static_cast<Colour>(i);
    // A window straddling the set's edge on the real axis: inside on the left, outside right.
    const ViewWindow window{-0.5f, 0.01f, 0.5f, -0.01f};
    PictureRows rows(window, 10, 2, true);
    std::array<Colour, 12> out;
    out.fill(0xABCDEF);
    rows.computeRow(out, col);
    float x = -0.5f;
    for (int px = 0; px < 10; ++px, x += 0.1f) {
        EXPECT_EQ(out[px], static_cast<Colour>(escapeCount(x, 0.01f, x, 0.01f) - 1)) << px;
    }
    EXPECT_EQ(out[0], 24u);         // -0.5 is inside the set
    EXPECT_EQ(out[10], 0xABCDEFu);  // nothing beyond fwidth
}

TEST(PictureRows, JuliaPicturesUseTheWindowCentre) {
    Palette col{};
    for (int i = 0; i < kPaletteSize; ++i)
        col[i] = static_cast<Colour>(i);
    const ViewWindow window{-2.0f, 1.5f, 0.0f, 0.5f};  // centre (-1, 1): escapes fast
    PictureRows rows(window, 4, 4, false);
    rows.advanceRow();
    std::array<Colour, 4> out;
    rows.computeRow(out, col);
    const float y = 1.5f + (0.5f - 1.5f) / 4;
    float x = -2.0f;
    for (int px = 0; px < 4; ++px, x += 0.5f) {
        EXPECT_EQ(out[px], static_cast<Colour>(escapeCount(x, y, -1.0f, 1.0f) - 1)) << px;
    }
}

}  // namespace
}  // namespace mirelune
