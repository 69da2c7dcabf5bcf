#include <gtest/gtest.h>

#include <algorithm>

#include "render/fract.h"
#include "support/scripted_random.h"

namespace mirelune {
namespace {

using testing::ScriptedRandom;

struct Rig {
    explicit Rig(RenderSettings settings, Size size = {200, 150})
        : random(fixedSeedClock(7)), fract(random, settings, size) {
        fract.resize(size);  // the first sizing when the window appears
    }

    bool stepPaints(std::int64_t now, std::int64_t* next = nullptr) {
        const std::int64_t deadline = fract.step(now);
        if (next) *next = deadline;
        return !fract.takeChangedRows().empty();
    }

    Random random;
    Fract fract;
};

TEST(Fract, NothingHappensUntilTheLoopIsStarted) {
    Rig rig({5, 69, 0});
    EXPECT_EQ(rig.fract.step(0), kNoDeadline);
    EXPECT_TRUE(rig.fract.takeChangedRows().empty());
    rig.fract.resize({200, 150});  // a second sizing starts it, as activation does
    EXPECT_TRUE(rig.stepPaints(0));
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
        Rig rig(c.settings, c.size);
        rig.fract.startPainting();
        std::int64_t next = 0;
        const bool painted = rig.stepPaints(1000, &next);  // a clear counts when it fits none
        if (c.wait == kNone) {
            EXPECT_EQ(next, kNoDeadline);
            EXPECT_EQ(rig.fract.step(5000), kNoDeadline);
            rig.fract.resize({200, 150});  // the window grows: painting starts at once
            EXPECT_EQ(rig.stepPaints(5000), c.settings.sectors < 10);
            continue;
        }
        EXPECT_TRUE(painted);
        EXPECT_EQ(next, 1000 + c.wait);
        if (c.wait > 1) {
            EXPECT_FALSE(rig.stepPaints(999 + c.wait, &next));
        }
        EXPECT_EQ(next, 1000 + c.wait);
        EXPECT_TRUE(rig.stepPaints(1000 + c.wait));
    }
}

// A resize mid-picture restarts the same kind of picture on a cleared grid: it paints what a
// window of the new size shows first.
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
