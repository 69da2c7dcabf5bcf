#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "render/fract.h"

namespace mirelune {
namespace {

struct Rig {
    explicit Rig(RenderSettings settings, Size size = {200, 150},
                 WindowState state = WindowState::Maximized)
        : random(fixedSeedClock(7)), fract(random, settings, size, state) {
        fract.resize(size);  // the first sizing when the window appears
    }

    // Steps at `now` and reports whether anything was painted.
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
        // 700 / (speed + 1) ms, ending at the first whole millisecond at or after it.
        {{5, 0, 0}, {200, 150}, 700},
        {{5, 8, 0}, {200, 150}, 78},
        {{5, 10, 0}, {200, 150}, 64},
        {{5, 67, 0}, {200, 150}, 11},
        {{5, 68, 0}, {200, 150}, 0},
        {{5, 69, 0}, {200, 150}, 0},
        // Hand-edited values: no sectors paint one tile, a negative speed waits as speed 0.
        {{0, 69, 0}, {200, 150}, 0},
        {{-3, -5, -100}, {200, 150}, 700},
        // Nothing to draw: too many sectors, or a window smaller than the grid.
        {{1e9, 1e9, 2000000000}, {200, 150}, kNone},
        {{5, 69, 0}, {9, 300}, kNone},
        {{5, 69, 1000}, {300, 9}, kNone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.settings.sectors << " sectors, speed "
                                          << c.settings.speed << ", width " << c.size.width);
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

TEST(Fract, EachStepPaintsOneRowAndAPictureEndsWithTheDelay) {
    Rig rig({5, 69, 1500});
    rig.fract.startPainting();
    std::int64_t next = 0;
    for (int y = 0; y < 150 / 10; ++y) {
        ASSERT_TRUE(rig.stepPaints(10, &next));
        ASSERT_EQ(next, 10);
        ASSERT_EQ(rig.fract.picturesCompleted(), 0u);
    }
    // The step that finishes a picture paints nothing of the next one: it is left whole.
    EXPECT_FALSE(rig.stepPaints(10, &next));
    EXPECT_EQ(rig.fract.picturesCompleted(), 1u);
    EXPECT_EQ(next, 1510);
    EXPECT_FALSE(rig.stepPaints(1509, &next));
    EXPECT_TRUE(rig.stepPaints(1510, &next));  // the next picture's first row
    while (rig.fract.picturesCompleted() == 1)
        rig.stepPaints(next, &next);
    rig.fract.endWait();  // the pause ends early
    EXPECT_TRUE(rig.stepPaints(next - 1500));
}

TEST(Fract, AClockThatJumpsNeverStretchesAWait) {
    constexpr std::int64_t kHour = 3'600'000;
    Rig rig({5, 8, 1500});  // 78 ms after a row, 1500 ms after a picture
    rig.fract.startPainting();
    std::int64_t next = 0;
    ASSERT_TRUE(rig.stepPaints(kHour, &next));
    // Back by an hour in the middle of the row wait: the wait starts over at the jump, so it
    // lasts at most its own length, not an hour more.
    EXPECT_FALSE(rig.stepPaints(10, &next));
    EXPECT_EQ(next, 10 + 78);
    // Forward by a day: the wait is over at once.
    EXPECT_TRUE(rig.stepPaints(88 + 24 * kHour, &next));
    std::int64_t now = 0;
    while (rig.fract.picturesCompleted() == 0) {
        now = next;
        rig.stepPaints(now, &next);
    }
    // Back during the delay.
    EXPECT_FALSE(rig.stepPaints(now - kHour, &next));
    EXPECT_EQ(next, now - kHour + 1500);
}

// Every draw after the first is 0.5, so every picture draws alike but for its kind: the
// first is a Mandelbrot picture (3 * 0 < 1), a second draw of the kind gives a Julia picture.
struct MandelbrotFirst : Random {
    MandelbrotFirst() : Random(fixedSeedClock(0)) {}
    double next() override { return std::exchange(draw, 0.5); }
    double draw = 0;
};

// A resize in the middle of a picture restarts it at the new size on a cleared grid as the
// same kind of picture, so it paints what a window of that size would show first: after the
// row's wait, or at once when the platform ends the wait.
TEST(Fract, ResizeRestartsTheSameKindOfPictureOnAClearedGrid) {
    const RenderSettings settings{5, 8, 0};  // 78 ms after every row
    const Size size{205, 107};               // a grid of 200 x 100
    for (bool endWait : {false, true}) {
        MandelbrotFirst draws, firstDraws;
        Fract fract(draws, settings, {200, 150});
        Fract first(firstDraws, settings, size);
        fract.resize({200, 150});
        first.resize(size);
        fract.startPainting();
        first.startPainting();
        std::int64_t now = 0, firstNow = 0;
        for (int y = 0; y < 12; ++y)
            now = fract.step(now);
        fract.resize(size);
        if (endWait) {
            fract.endWait();
            now -= 1;
        }
        while (first.picturesCompleted() == 0) {
            now = fract.step(now);
            firstNow = first.step(firstNow);
            for (int y = 0; y < 100; ++y) {
                ASSERT_TRUE(std::equal(first.surface().row(y), first.surface().row(y) + 200,
                                       fract.surface().row(y)))
                    << "row " << y << (endWait ? " after the ended wait" : "");
            }
        }
    }
}

TEST(Fract, StartRequestBeginsAFreshPictureWithoutClearing) {
    Rig rig({5, 69, 0});
    rig.fract.startPainting();
    for (int y = 0; y < 5; ++y)
        rig.stepPaints(0);
    rig.fract.startPainting();
    rig.fract.step(0);
    int rows = 0;
    for (RowSpan span : rig.fract.takeChangedRows())
        rows += span.count;
    EXPECT_EQ(rows, 10);  // one row in each half of the five tile rows, no clear
}

TEST(Fract, OnlyANormalWindowWantsTheGridSize) {
    for (WindowState state : {WindowState::Normal, WindowState::Maximized}) {
        Rig rig({5, 69, 0}, {205, 157}, state);
        rig.fract.startPainting();
        rig.fract.step(0);
        const Size wanted = state == WindowState::Normal ? Size{200, 150} : Size{205, 157};
        EXPECT_EQ(rig.fract.wantedSize(), wanted);
    }
}

}  // namespace
}  // namespace mirelune
