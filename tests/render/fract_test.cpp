#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "render/fract.h"
#include "render/tile_grid.h"

namespace mirelune {
namespace {

struct Rig {
    explicit Rig(RenderSettings settings, Size size = {200, 150}, std::uint64_t seed = 7,
                 WindowState state = WindowState::Maximized)
        : random(fixedSeedClock(seed)), fract(random, settings, size, state) {
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

TEST(Fract, SpeedSetsTheWaitAfterEachRow) {
    struct Case {
        double speed;
        std::int64_t wait;
    };
    // 700 / (speed + 1) ms, ending at the first whole millisecond at or after it.
    for (Case c :
         {Case{0, 700}, Case{8, 78}, Case{10, 64}, Case{67, 11}, Case{68, 0}, Case{69, 0}}) {
        Rig rig({5, c.speed, 0});
        rig.fract.startPainting();
        std::int64_t next = 0;
        EXPECT_TRUE(rig.stepPaints(1000, &next));
        EXPECT_EQ(next, 1000 + c.wait) << "speed " << c.speed;
        if (c.wait > 1) {
            EXPECT_FALSE(rig.stepPaints(1000 + c.wait - 1, &next)) << "painted during the wait";
            EXPECT_EQ(next, 1000 + c.wait);
        }
        EXPECT_TRUE(rig.stepPaints(1000 + c.wait));
    }
}

TEST(Fract, EachStepPaintsOneRowAndAPictureEndsWithTheDelay) {
    Rig rig({5, 69, 1500});
    rig.fract.startPainting();
    const int rows = 150 / 10;
    std::int64_t next = 0;
    for (int y = 0; y < rows; ++y) {
        ASSERT_TRUE(rig.stepPaints(10, &next));
        ASSERT_EQ(next, 10);
        ASSERT_EQ(rig.fract.picturesCompleted(), 0u);
    }
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

TEST(Fract, AFinishedPictureIsLeftWholeEvenWithoutDelay) {
    Rig rig({5, 69, 0});
    rig.fract.startPainting();
    while (rig.fract.picturesCompleted() == 0)
        rig.stepPaints(0);
    // The step that finished the picture painted nothing of the next one yet.
    EXPECT_TRUE(rig.fract.takeChangedRows().empty());
    EXPECT_TRUE(rig.stepPaints(0));
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
    const Surface before = rig.fract.surface();
    rig.fract.startPainting();
    rig.fract.step(0);
    const std::vector<RowSpan> changed = rig.fract.takeChangedRows();
    int rows = 0;
    for (RowSpan span : changed)
        rows += span.count;
    EXPECT_EQ(rows, 10);  // one row in each half of the five tile rows, no clear
}

TEST(Fract, WindowSmallerThanTheGridSleepsUntilResized) {
    for (double delay : {0.0, 1000.0}) {
        Rig rig({5, 69, static_cast<std::int32_t>(delay)}, {9, 300});
        rig.fract.startPainting();
        EXPECT_EQ(rig.fract.step(0), kNoDeadline);
        EXPECT_EQ(rig.fract.step(5000), kNoDeadline);
        rig.fract.resize({200, 150});
        EXPECT_TRUE(rig.stepPaints(5000));
    }
}

TEST(Fract, AClockThatJumpsNeverStretchesAWait) {
    constexpr std::int64_t kHour = 3'600'000;
    // Speed 8 waits 78 ms after a row; the delay is 1500 ms.
    Rig rig({5, 8, 1500});
    rig.fract.startPainting();
    std::int64_t next = 0;
    ASSERT_TRUE(rig.stepPaints(kHour, &next));
    EXPECT_EQ(next, kHour + 78);
    // Back by an hour in the middle of the row wait: the wait starts over at the jump, so it
    // lasts at most its own length, not an hour more.
    EXPECT_FALSE(rig.stepPaints(10, &next));
    EXPECT_EQ(next, 10 + 78);
    EXPECT_TRUE(rig.stepPaints(88, &next));
    // Forward by a day: the wait is over at once.
    EXPECT_TRUE(rig.stepPaints(88 + 24 * kHour, &next));
    std::int64_t now = 88 + 24 * kHour;
    while (rig.fract.picturesCompleted() == 0) {
        now = next;
        rig.stepPaints(now, &next);
    }
    EXPECT_EQ(next, now + 1500);
    // Back again during the delay, twice.
    const std::int64_t jumped = now - kHour + 500;
    EXPECT_FALSE(rig.stepPaints(jumped, &next));
    EXPECT_EQ(next, jumped + 1500);
    EXPECT_FALSE(rig.stepPaints(jumped - kHour, &next));
    EXPECT_EQ(next, jumped - kHour + 1500);
    EXPECT_FALSE(rig.stepPaints(jumped - kHour + 1499));
    EXPECT_TRUE(rig.stepPaints(jumped - kHour + 1500));
}

TEST(Fract, HandEditedSettingsNeverBreakTheLoop) {
    struct Case {
        RenderSettings settings;
        bool paints;
        std::int64_t next;
    };
    // Zero or negative sectors paint one tile; a negative speed waits as long as speed 0;
    // sectors too many for the window leave nothing to draw, and the loop sleeps.
    for (const Case& c : {Case{{0, 69, 0}, true, 1000}, Case{{-3, -5, -100}, true, 1700},
                          Case{{1e9, 1e9, 2000000000}, false, kNoDeadline}}) {
        Rig rig(c.settings);
        rig.fract.startPainting();
        std::int64_t next = 0;
        EXPECT_EQ(rig.stepPaints(1000, &next), c.paints) << c.settings.sectors;
        EXPECT_EQ(next, c.next) << c.settings.sectors;
    }
}

TEST(Fract, NormalWindowWantsTheGridSize) {
    Rig rig({5, 69, 0}, {205, 157}, 7, WindowState::Normal);
    rig.fract.startPainting();
    rig.fract.step(0);
    EXPECT_EQ(rig.fract.wantedSize(), (Size{200, 150}));
    Rig maximized({5, 69, 0}, {205, 157});
    maximized.fract.startPainting();
    maximized.fract.step(0);
    EXPECT_EQ(maximized.fract.wantedSize(), (Size{205, 157}));
}

TEST(Fract, WholePicturesAreSymmetricTilesAndSeedsReproduceThem) {
    auto render = [](std::uint64_t seed, int sectors) {
        Rig rig({static_cast<double>(sectors), 69, 0}, {331, 247}, seed);
        rig.fract.startPainting();
        std::int64_t now = 0;
        while (rig.fract.picturesCompleted() < 3)
            now = std::max(now, rig.fract.step(now));
        return rig.fract.surface();
    };
    for (int sectors : {1, 3}) {
        const Surface a = render(11, sectors);
        const TileGrid grid = TileGrid::forClient(331, 247, sectors);
        const int tw = grid.tileWidth(), th = grid.tileHeight();
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                if (x >= grid.gridWidth() || y >= grid.gridHeight()) {
                    ASSERT_EQ(a.at(x, y), 0u) << "painted outside the grid";
                    continue;
                }
                const int tx = x % tw, ty = y % th;
                ASSERT_EQ(a.at(x, y), a.at(tx, ty));
                ASSERT_EQ(a.at(x, y), a.at(tw - 1 - tx, ty));
                ASSERT_EQ(a.at(x, y), a.at(tx, th - 1 - ty));
            }
        }
        const Surface again = render(11, sectors);
        const Surface other = render(12, sectors);
        EXPECT_TRUE(std::equal(a.row(0), a.row(0) + 331 * 247, again.row(0)));
        EXPECT_FALSE(std::equal(a.row(0), a.row(0) + 331 * 247, other.row(0)));
    }
}

}  // namespace
}  // namespace mirelune
