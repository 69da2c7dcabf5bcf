#include "host/render_driver.h"
#include "host/screen_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>

namespace mirelune {
namespace {

// Waits record their length and jump to the deadline; a loop that never waits fails the test.
class FakeEventLoop : public EventLoop {
  public:
    std::int64_t now = 0;
    int pumps = 0;
    std::function<void()> onPump;  // runs inside processPendingEvents
    std::function<void(std::int64_t)> onWait;
    std::vector<std::int64_t> sleeps;

    std::int64_t nowMs() override { return now; }
    void waitForEvents(std::int64_t deadlineMs) override {
        sleeps.push_back(deadlineMs - now);
        if (onWait) onWait(deadlineMs);
        now = deadlineMs;
    }
    void processPendingEvents() override {
        if (++pumps > 100000) throw std::runtime_error("the loop never waits");
        if (onPump) onPump();
    }
};

// A renderer on its window, which counts the rows of each present and resizes it when asked.
struct Screen : RenderWindow {
    Screen(Random& random, RenderSettings settings, Size size = {200, 150},
           WindowState state = WindowState::Maximized)
        : fract(random, settings, size, state) {
        fract.resize(size);
        fract.startPainting();
    }
    void present(const Surface&, std::span<const RowSpan> rows) override {
        int count = 0;
        for (RowSpan span : rows)
            count += span.count;
        presentedRows.push_back(count);
    }
    void setClientSize(Size size) override {
        requestedSizes.push_back(size);
        fract.resize(size);
    }
    bool closed() const override { return closed_; }
    bool resting() const override { return resting_; }
    Kaleidoscope kaleidoscope() { return {&fract, this}; }

    Fract fract;
    std::vector<int> presentedRows;
    std::vector<Size> requestedSizes;
    bool closed_ = false;
    bool resting_ = false;
};

TEST(RenderDriver, EventsFollowEveryStepAndEachSleepLastsOnlyItsOwnWait) {
    // Two pictures at speed 8 with a 1 s delay; the clock goes back an hour while events run
    // after the third row, and the next step measures its 78 ms wait again.
    Random random(fixedSeedClock(3));
    Screen screen(random, {5, 8, 1000});
    FakeEventLoop events;
    events.onPump = [&] {
        if (screen.presentedRows.size() == 3 && events.now > 0) events.now -= 3'600'000;
        screen.closed_ = screen.fract.picturesCompleted() == 2;
    };
    runRenderLoop(events, screen.fract, screen);
    EXPECT_EQ(screen.presentedRows.size(), 30u);
    EXPECT_EQ(events.pumps, 33);
    std::vector<std::int64_t> expected(31, 78);
    expected[15] = 1000;
    EXPECT_EQ(events.sleeps, expected);
}

TEST(RenderDriver, PresentsOnlyChangedRowsAndTrimsANormalWindowToTheGrid) {
    for (WindowState state : {WindowState::Maximized, WindowState::Normal}) {
        Random random(fixedSeedClock(3));
        Screen screen(random, {5, 69, 0}, {207, 155}, state);
        FakeEventLoop events;
        events.onPump = [&] {
            if (screen.presentedRows.size() == 3) screen.fract.startPainting();
            screen.closed_ = screen.presentedRows.size() == 4;
        };
        runRenderLoop(events, screen.fract, screen);
        // A clear presents the whole grid (the trim clears again); a row is two surface rows
        // in each of the five tile rows, also the first of a picture started on request.
        const int second = state == WindowState::Normal ? 150 : 10;
        EXPECT_EQ(screen.presentedRows, (std::vector<int>{150, second, 10, 10}));
        EXPECT_EQ(screen.requestedSizes,
                  std::vector<Size>(state == WindowState::Normal, {200, 150}));
    }
}

struct FakeSet : KaleidoscopeSet {
    std::span<const Kaleidoscope> kaleidoscopes() override { return shown; }
    bool closed() const override { return closed_; }

    std::vector<Kaleidoscope> shown;
    bool closed_ = false;
};

TEST(RenderDriver, SeveralMonitorsShareOneSleepUntilTheEarliestStep) {
    // Row waits of 78 ms and 175 ms, a resting monitor and one too small to draw on.
    Random random(fixedSeedClock(5));
    Screen fast(random, {5, 8, 0}), slow(random, {5, 3, 0}), dark(random, {5, 69, 0}),
        tiny(random, {5, 69, 0}, {9, 9});
    dark.resting_ = true;
    FakeSet set;
    set.shown = {fast.kaleidoscope(), slow.kaleidoscope(), dark.kaleidoscope(),
                 tiny.kaleidoscope()};
    FakeEventLoop events;
    events.onWait = [&](std::int64_t deadline) {
        EXPECT_EQ(deadline, std::min(fast.fract.nextStepAt(), slow.fract.nextStepAt()));
        set.closed_ = slow.presentedRows.size() == 15;
    };
    runRenderLoop(events, set);
    // In the 2.45 s the slow monitor takes for its 15 rows, the fast one paints rows 0 to 31.
    EXPECT_EQ(slow.presentedRows.size(), 15u);
    EXPECT_EQ(fast.presentedRows.size(), 32u);
    EXPECT_TRUE(dark.presentedRows.empty());
}

TEST(RenderDriver, WorkThatEventsGiveIsDoneWithoutSleepingOutTheOldDeadline) {
    // Events cut a 20 s delay short (as a resize does), start a fresh picture (as an activation
    // does), then replace the monitors: no sleep is left and the old renderer is let go.
    Random random(fixedSeedClock(6));
    Screen before(random, {5, 69, 20000});
    std::optional<Screen> left, right;
    std::size_t rowsBefore = 0;
    FakeSet set;
    set.shown = {before.kaleidoscope()};
    FakeEventLoop events;
    events.onPump = [&] {
        const std::uint64_t done = before.fract.picturesCompleted();
        if (done == 1 && events.pumps < 20) before.fract.endWait();
        if (done == 2 && events.pumps < 40) before.fract.startPainting();
        if (done == 3 && !left) {
            left.emplace(random, RenderSettings{5, 69, 20000});
            right.emplace(random, RenderSettings{5, 69, 20000});
            set.shown = {left->kaleidoscope(), right->kaleidoscope()};
            rowsBefore = before.presentedRows.size();
        }
        set.closed_ = right && right->fract.picturesCompleted() == 1;
    };
    runRenderLoop(events, set);
    EXPECT_TRUE(events.sleeps.empty());
    EXPECT_EQ(before.presentedRows.size(), rowsBefore);
    EXPECT_EQ(left->presentedRows.size(), 15u);
}

using Rects = std::vector<ScreenRect>;

// Only what overlapping monitors show beyond the picture they share is covered in black.
TEST(ScreenLayout, EveryMonitorShowsItsOwnKaleidoscopePrimaryFirst) {
    struct Case {
        const char* desk;
        std::vector<Monitor> monitors;
        Rects areas, covers;
    };
    // clang-format off
    const Case cases[] = {
        {"one monitor", {{{0, 0, 1920, 1080}, true}}, {{0, 0, 1920, 1080}}, {}},
        {"a smaller one to the left, lower down",
         {{{-1280, 200, 0, 1224}, false}, {{0, 0, 1920, 1080}, true}},
         {{0, 0, 1920, 1080}, {-1280, 200, 0, 1224}}, {}},
        {"one above, one to the right",
         {{{-400, -1440, 1920, 0}, false}, {{0, 0, 1920, 1080}, true},
          {{1920, -300, 3120, 1620}, false}},
         {{0, 0, 1920, 1080}, {-400, -1440, 1920, 0}, {1920, -300, 3120, 1620}}, {}},
        {"the flagged one, though not at the origin and listed last",
         {{{0, 0, 800, 600}, false}, {{-800, 0, 0, 600}, true}},
         {{-800, 0, 0, 600}, {0, 0, 800, 600}}, {}},
        {"no flag: the monitor at the origin",
         {{{-800, 0, 0, 600}, false}, {{0, 0, 800, 600}, false}},
         {{0, 0, 800, 600}, {-800, 0, 0, 600}}, {}},
        {"nothing at the origin: the first one listed; empty ones ignored, also as primary",
         {{{5, 5, 5, 600}, true}, {{5, 5, 600, 5}, true}, {{10, 0, 810, 600}, false},
          {{810, 0, 1610, -3}, false}},
         {{10, 0, 810, 600}}, {}},
        {"no monitors", {}, {}, {}},
        {"mirrors share one picture",
         {{{0, 0, 1024, 768}, true}, {{0, 0, 1024, 768}, false},
          {{1024, 0, 2048, 768}, false}, {{1024, 0, 2048, 768}, false}},
         {{0, 0, 1024, 768}, {1024, 0, 2048, 768}}, {}},
        {"a monitor overlapping the primary from the top left keeps an L of cover",
         {{{0, 0, 1000, 800}, true}, {{-200, -100, 600, 500}, false}},
         {{0, 0, 1000, 800}}, {{-200, -100, 600, 0}, {-200, 0, 0, 500}}},
        {"one enclosing the primary is covered all around it, once for its mirror too",
         {{{0, 0, 100, 100}, true}, {{-10, -20, 130, 140}, false}, {{-10, -20, 130, 140}, false}},
         {{0, 0, 100, 100}},
         {{-10, -20, 130, 0}, {-10, 100, 130, 140}, {-10, 0, 0, 100}, {100, 0, 130, 100}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(kaleidoscopeAreas(c.monitors), c.areas) << c.desk;
        EXPECT_EQ(blankAreas(c.monitors), c.covers) << c.desk;
    }
}

}  // namespace
}  // namespace mirelune
