#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "render/escape_time.h"
#include "render/fract.h"
#include "render/fractal_map.h"
#include "render/painter.h"
#include "render/picture.h"
#include "support/scripted_random.h"

namespace mirelune {
namespace {

using testing::ScriptedRandom;

TEST(FractalMap, CountsRunFromOneToTwentyFiveAndEachHasItsOwnColour) {
    EXPECT_EQ(escapeCount(0, 0, 0, 0), 25);  // the origin never escapes
    EXPECT_EQ(escapeCount(3, 3, 3, 3), 1);   // far outside: gone after one step
    EXPECT_EQ(escapeCount(1, 0, 1, 0), 2);   // 1 -> 2 (on the circle) -> 5
    // z = 0 with c = -2 lands on -2 (|z|^2 = 4, not above) and then stays at 2 for ever.
    EXPECT_EQ(escapeCount(0, 0, -2, 0), 25);
    std::set<Colour> seen;
    for (int n = 1; n <= 25; ++n)
        seen.insert(mapColour(n));
    EXPECT_EQ(seen.size(), 25u);
    const FractalMap map;
    for (auto [column, row] : {std::pair{-1, 0}, {100, 0}, {0, -1}, {0, 75}, {-5000, 9000}})
        EXPECT_EQ(seen.count(map.at(column, row)), 0u) << column << "," << row;
    EXPECT_EQ(map.at(0, 0), mapColour(1));  // the corner -2.5 + 1.5i escapes at once
}

// Draws: first axis (< 0.5: along the row), its direction (< 0.5: left or up), how far it may
// go (32 columns or rows times the draw), the turn's direction, the window's width and height.
TEST(Getstart, WalksEndWhereTheSetEndsAndSizeTheWindowByKind) {
    const FractalMap map;
    const struct {
        std::vector<double> draws;
        bool mandel;
        float cx, cy, width, height;
    } cases[] = {
        // A limit further than the set reaches: the walk ends at the set's edge, no turn.
        {{0.1, 0.9, 0.99, 0, 0}, true, 0.34f, -0.02f, 0.04f, 0.03f},
        {{0.9, 0.1, 0.99, 0, 0}, true, -0.02f, -0.66f, 0.04f, 0.03f},
        {{0.9, 0.9, 0.99, 0.5, 0.5}, true, -0.02f, 0.66f, 0.29f, 0.22f},
        // Right for at most 3 columns, still inside, then down the column until it ends.
        {{0.1, 0.9, 3.0 / 32, 0.9, 0, 0}, true, 0.10f, 0.66f, 0.04f, 0.03f},
        // Down for at most 3 rows, then left along the row.
        {{0.9, 0.9, 3.0 / 32, 0.1, 0, 0}, true, -1.26f, 0.10f, 0.04f, 0.03f},
        // A limit at the start: the first step passes it and the walk goes on to the edge.
        {{0.1, 0.1, 0.0, 0, 0}, true, -1.42f, -0.02f, 0.04f, 0.03f},
        // Julia pictures look at a window eight times as large around the same point.
        {{0.1, 0.9, 0.99, 0.999999, 0.999999}, false, 0.34f, -0.02f, 4.32f, 3.28f},
    };
    for (const auto& c : cases) {
        ScriptedRandom random(c.draws);
        const ViewWindow w = getstart(map, random, c.mandel);
        SCOPED_TRACE(::testing::PrintToString(c.draws));
        EXPECT_EQ(random.draws(), static_cast<int>(c.draws.size()));
        EXPECT_NEAR((w.left + w.right) / 2, c.cx, 1e-5);
        EXPECT_NEAR((w.top + w.bottom) / 2, c.cy, 1e-5);
        EXPECT_NEAR(w.right - w.left, c.width, 1e-4);
        EXPECT_NEAR(w.top - w.bottom, c.height, 1e-4);
    }
}

constexpr Colour kUntouched = 0xDEAD00;

// Paints picture rows [0, rows), each pixel's colour telling row and column apart.
Surface paint(const TileGrid& grid, bool flip, int width, int height, int rows,
              ChangedRows& changed) {
    Surface screen(width, height, kUntouched);
    changed.reset(height);
    Painter painter;
    painter.begin(grid, flip);
    for (int y = 0; y < rows; ++y) {
        auto pixels = painter.rowPixels();
        for (std::size_t x = 0; x < pixels.size(); ++x)
            pixels[x] = static_cast<Colour>(y * 1000 + x + 1);
        painter.paintRow(y, screen.canvas(), changed);
    }
    return screen;
}

TEST(Painter, EveryTileIsTheSameDoubleMirroredPictureAndTheStripsBeyondStayUntouched) {
    // 1024 x 768 in 5 sectors: tiles of 204 x 152, a grid of 1020 x 760.
    const TileGrid grid = TileGrid::forClient(1024, 768, 5);
    ChangedRows changed;
    for (bool flip : {false, true}) {
        const Surface screen = paint(grid, flip, 1024, 768, grid.fheight, changed);
        for (int y = 0; y < 768; ++y) {
            for (int x = 0; x < 1024; ++x) {
                const Colour c = screen.at(x, y);
                if (x >= 1020 || y >= 760) {
                    ASSERT_EQ(c, kUntouched) << "painted outside the grid at " << x << "," << y;
                    continue;
                }
                const int tx = x % 204, ty = y % 152;
                ASSERT_EQ(c, screen.at(tx, ty)) << "tile differs at " << x << "," << y;
                ASSERT_EQ(c, screen.at(203 - tx, ty)) << "not mirrored left-right";
                ASSERT_EQ(c, screen.at(tx, 151 - ty)) << "not mirrored top-bottom";
                ASSERT_NE(c, kUntouched);
            }
        }
        // Without flip the first row lies on each tile's top and bottom edges; with flip on
        // the two rows either side of its horizontal centre line.
        EXPECT_EQ(screen.at(0, flip ? 75 : 0), 1u);
        EXPECT_EQ(changed.take(), (std::vector<RowSpan>{{0, 760}}));
    }
}

TEST(Painter, ClipsToASurfaceSmallerThanTheGrid) {
    // The window shrank after the picture started: rows and columns beyond it are skipped.
    ChangedRows changed;
    const Surface screen = paint(TileGrid{3, 10, 10}, false, 25, 17, 10, changed);
    EXPECT_EQ(screen.at(24, 16), screen.at(4, 16));  // the cut second tile starts like the first
    EXPECT_EQ(screen.at(20, 0), screen.at(0, 0));
}

TEST(ChangedRows, MergesNeighboursAndForgetsAfterTaking) {
    ChangedRows changed;
    changed.reset(10);
    for (int y : {5, 3, 4, 9, -1, 10, 0})
        changed.mark(y);
    EXPECT_EQ(changed.take(), (std::vector<RowSpan>{{0, 1}, {3, 3}, {9, 1}}));
    EXPECT_TRUE(changed.take().empty());
}

TEST(Fract, TheWaitAfterARowFollowsSpeedAndWhatFitsTheWindow) {
    constexpr std::int64_t kNone = -1;  // nothing painted; only an event can give work
    const struct {
        RenderSettings settings;
        Size size;
        std::int64_t wait;
    } cases[] = {
        // 700 / (speed + 1) ms, rounded up to a whole millisecond.
        {{5, 0, 0}, {200, 150}, 700},
        {{5, 8, 0}, {200, 150}, 78},
        {{5, 1.5, 0}, {200, 150}, 350},  // speed + 1 rounded half to even
        {{5, 67, 0}, {200, 150}, 11},
        {{5, 68, 0}, {200, 150}, 0},
        // Hand-edited values: no sectors paint one tile, a negative speed waits as speed 0.
        {{0, 69, 0}, {200, 150}, 0},
        {{-3, -5, -100}, {200, 150}, 700},
        // Nothing to draw: too many sectors, or a window smaller than the grid.
        {{1e9, 1e9, 2000000000}, {200, 150}, kNone},
        {{5, 69, 0}, {9, 300}, kNone},
        {{5, 69, 1000}, {300, 9}, kNone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.settings.sectors << ' ' << c.settings.speed);
        Random random(fixedSeedClock(7));
        Fract fract(random, c.settings, c.size);
        fract.resize(c.size);  // the first sizing when the window appears
        std::int64_t next = 0;
        const auto stepPaints = [&](std::int64_t now) {
            next = fract.step(now);
            return !fract.takeChangedRows().empty();
        };
        EXPECT_FALSE(stepPaints(0));  // nothing happens until painting starts
        fract.startPainting();
        const bool painted = stepPaints(1000);  // a clear counts when it fits none
        if (c.wait == kNone) {
            EXPECT_EQ(next, kNoDeadline);
            EXPECT_EQ(fract.step(5000), kNoDeadline);
            fract.resize({200, 150});  // the window grows: painting starts at once
            EXPECT_EQ(stepPaints(5000), c.settings.sectors < 10);
            continue;
        }
        EXPECT_TRUE(painted);
        EXPECT_EQ(next, 1000 + c.wait);
        if (c.wait > 1) {
            EXPECT_FALSE(stepPaints(999 + c.wait));
        }
        EXPECT_EQ(next, 1000 + c.wait);
        EXPECT_TRUE(stepPaints(1000 + c.wait));
    }
}

TEST(Fract, ResizeRestartsTheSameKindOfPictureOnAClearedGrid) {
    const RenderSettings settings{5, 8, 0};  // 78 ms after every row
    const Size size{205, 107};               // a grid of 200 x 100
    // Both first draws give Julia pictures; a kind drawn again from the later draws of 0.2
    // would be a Mandelbrot picture.
    ScriptedRandom draws({0.4}, 0.2), firstDraws({0.9}, 0.2);
    Fract fract(draws, settings, {200, 150}), first(firstDraws, settings, size);
    fract.resize({200, 150});
    first.resize(size);
    fract.startPainting();
    first.startPainting();
    std::int64_t now = 0, firstNow = 0;
    for (int y = 0; y < 12; ++y)
        now = fract.step(now);
    fract.resize(size);
    while (first.picturesCompleted() == 0) {
        now = fract.step(now);
        firstNow = first.step(firstNow);
        for (int y = 0; y < 100; ++y) {
            ASSERT_TRUE(std::equal(first.surface().row(y), first.surface().row(y) + 200,
                                   fract.surface().row(y)))
                << "row " << y;
        }
    }
}

}  // namespace
}  // namespace mirelune
