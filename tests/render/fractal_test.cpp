#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "render/escape_time.h"
#include "render/fractal_map.h"
#include "render/picture.h"
#include "support/scripted_random.h"

namespace mirelune {
namespace {

using testing::ScriptedRandom;

TEST(EscapeTime, CountsRunFromOneToTwentyFiveAndTheCircleItselfIsInside) {
    EXPECT_EQ(escapeCount(0, 0, 0, 0), 25);  // the origin never escapes
    EXPECT_EQ(escapeCount(3, 3, 3, 3), 1);   // far outside: gone after one step
    EXPECT_EQ(escapeCount(1, 0, 1, 0), 2);   // 1 -> 2 (on the circle) -> 5
    // z = 0 with c = -2 lands on -2 (|z|^2 = 4, not above) and then stays at 2 for ever.
    EXPECT_EQ(escapeCount(0, 0, -2, 0), 25);
}

TEST(FractalMap, CountsHaveDistinctColoursAndOutsideReadsMatchNone) {
    std::set<Colour> seen;
    for (int n = 1; n <= 25; ++n)
        seen.insert(mapColour(n));
    EXPECT_EQ(seen.size(), 25u);
    const FractalMap map;
    for (auto [column, row] : {std::pair{-1, 0}, {100, 0}, {0, -1}, {0, 75}, {-5000, 9000}}) {
        EXPECT_EQ(seen.count(map.at(column, row)), 0u) << column << "," << row;
    }
    EXPECT_EQ(map.at(0, 0), mapColour(1));  // the corner -2.5 + 1.5i escapes at once
}

// The draws pick the first axis (< 0.5: along the row), its direction (< 0.5: left or up),
// how far it may go (32 columns or rows times the draw), the turn's direction, then the
// window's width and height.
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
        SCOPED_TRACE(::testing::Message() << "draws from " << c.draws[0] << ", " << c.draws[1]
                                          << ", " << c.draws[2] << ", " << c.draws[3]);
        EXPECT_EQ(random.draws(), static_cast<int>(c.draws.size()));
        EXPECT_NEAR((w.left + w.right) / 2, c.cx, 1e-5);
        EXPECT_NEAR((w.top + w.bottom) / 2, c.cy, 1e-5);
        EXPECT_NEAR(w.right - w.left, c.width, 1e-4);
        EXPECT_NEAR(w.top - w.bottom, c.height, 1e-4);
    }
}

}  // namespace
}  // namespace mirelune
