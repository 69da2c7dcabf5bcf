#include <gtest/gtest.h>

#include <algorithm>

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

TEST(FrameLoop, NothingHappensUntilTheLoopIsStarted) {
    Rig rig({5, 69, 0});
    EXPECT_EQ(rig.fract.step(0), kNoDeadline);
    EXPECT_FALSE(rig.fract.painting());
    rig.fract.resize({200, 150});  // a second sizing starts it, as activation does
    EXPECT_EQ(rig.fract.step(0), 0);
    EXPECT_TRUE(rig.fract.painting());
}

TEST(FrameLoop, SpeedSetsTheWaitAfterEachRow) {
    struct Case {
        double speed;
        std::int64_t wait;
    };
    // 700 / (speed + 1) ms, ending at the first whole millisecond at or after it.
    for (Case c :
         {Case{0, 700}, Case{8, 78}, Case{10, 64}, Case{67, 11}, Case{68, 0}, Case{69, 0}}) {
        Rig rig({5, c.speed, 0});
        rig.fract.activate();
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

TEST(FrameLoop, EachStepPaintsOneRowAndAPictureEndsWithTheDelay) {
    Rig rig({5, 69, 1500});
    rig.fract.activate();
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
}

TEST(FrameLoop, AFinishedPictureIsLeftWholeEvenWithoutDelay) {
    Rig rig({5, 69, 0});
    rig.fract.activate();
    while (rig.fract.picturesCompleted() == 0)
        rig.stepPaints(0);
    // The step that finished the picture painted nothing of the next one yet.
    EXPECT_TRUE(rig.fract.takeChangedRows().empty());
    EXPECT_TRUE(rig.stepPaints(0));
}

TEST(FrameLoop, ResizeRestartsThePictureOnAClearedGrid) {
    Rig rig({5, 69, 0});
    rig.fract.activate();
    for (int y = 0; y < 5; ++y)
        rig.stepPaints(0);
    rig.fract.resize({300, 100});
    rig.fract.step(0);
    const std::vector<RowSpan> changed = rig.fract.takeChangedRows();
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0], (RowSpan{0, 100}));
    // Only the restarted picture's first row is on the new grid: 2 rows in each tile row.
    const Surface& surface = rig.fract.surface();
    int paintedRows = 0;
    for (int y = 0; y < surface.height(); ++y) {
        bool any = false;
        for (int x = 0; x < surface.width(); ++x)
            any = any || surface.at(x, y) != 0;
        paintedRows += any;
    }
    EXPECT_LE(paintedRows, 10);
    EXPECT_EQ(rig.fract.picturesCompleted(), 0u);
}

TEST(FrameLoop, StartRequestBeginsAFreshPictureWithoutClearing) {
    Rig rig({5, 69, 0});
    rig.fract.activate();
    for (int y = 0; y < 5; ++y)
        rig.stepPaints(0);
    const Surface before = rig.fract.surface();
    rig.fract.timerTick();
    rig.fract.step(0);
    const std::vector<RowSpan> changed = rig.fract.takeChangedRows();
    int rows = 0;
    for (RowSpan span : changed)
        rows += span.count;
    EXPECT_EQ(rows, 10);  // one row in each half of the five tile rows, no clear
}

TEST(FrameLoop, WindowSmallerThanTheGridSleepsUntilResized) {
    for (double delay : {0.0, 1000.0}) {
        Rig rig({5, 69, static_cast<std::int32_t>(delay)}, {9, 300});
        rig.fract.activate();
        EXPECT_EQ(rig.fract.step(0), kNoDeadline);
        EXPECT_EQ(rig.fract.step(5000), kNoDeadline);
        rig.fract.resize({200, 150});
        EXPECT_TRUE(rig.stepPaints(5000));
    }
}

TEST(FrameLoop, AClockThatJumpsNeverStretchesAWait) {
    constexpr std::int64_t kHour = 3'600'000;
    // Speed 8 waits 78 ms after a row; the delay is 1500 ms.
    Rig rig({5, 8, 1500});
    rig.fract.activate();
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

TEST(FrameLoop, HandEditedSettingsNeverBreakTheLoop) {
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
        rig.fract.activate();
        std::int64_t next = 0;
        EXPECT_EQ(rig.stepPaints(1000, &next), c.paints) << c.settings.sectors;
        EXPECT_EQ(next, c.next) << c.settings.sectors;
    }
}

TEST(FrameLoop, NormalWindowWantsTheGridSize) {
    Rig rig({5, 69, 0}, {205, 157}, 7, WindowState::Normal);
    rig.fract.activate();
    rig.fract.step(0);
    EXPECT_EQ(rig.fract.wantedSize(), (Size{200, 150}));
    Rig maximized({5, 69, 0}, {205, 157});
    maximized.fract.activate();
    maximized.fract.step(0);
    EXPECT_EQ(maximized.fract.wantedSize(), (Size{205, 157}));
}

TEST(FrameLoop, WholePicturesAreSymmetricTilesAndSeedsReproduceThem) {
    auto render = [](std::uint64_t seed, int sectors) {
        Rig rig({static_cast<double>(sectors), 69, 0}, {331, 247}, seed);
        rig.fract.activate();
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
