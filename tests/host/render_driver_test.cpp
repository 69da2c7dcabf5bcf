#include "host/render_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

namespace mirelune {
namespace {

// The clock stands still; a wait with nothing scripted for it jumps to its deadline.
class FakeEventLoop : public EventLoop {
  public:
    std::int64_t now = 0;
    std::function<void()> onPump;              // runs inside processPendingEvents
    std::function<void(std::int64_t)> onWait;  // runs inside waitForEvents instead
    std::vector<std::int64_t> waits;           // the deadlines waited for

    std::int64_t nowMs() override { return now; }
    void waitForEvents(std::int64_t deadlineMs) override {
        waits.push_back(deadlineMs);
        if (onWait)
            onWait(deadlineMs);
        else
            now = std::max(now, deadlineMs);
    }
    void processPendingEvents() override {
        if (onPump) onPump();
    }
};

class FakeWindow : public RenderWindow {
  public:
    explicit FakeWindow(Fract& fract) : fract_(fract) {}

    void present(const Surface&, std::span<const RowSpan> rows) override {
        int count = 0;
        for (RowSpan span : rows)
            count += span.count;
        presentedRows.push_back(count);
    }
    // The platform would resize its window and report the new size back as an event.
    void setClientSize(Size size) override {
        requestedSizes.push_back(size);
        fract_.resize(size);
    }
    bool closed() const override { return closed_; }
    bool resting() const override { return resting_; }

    std::vector<int> presentedRows;
    std::vector<Size> requestedSizes;
    bool closed_ = false;
    bool resting_ = false;

  private:
    Fract& fract_;
};

// A renderer started on a 200 x 150 window (unless told otherwise) with its window; `onPump`
// runs whenever the driver processes events, and a runaway loop fails instead of hanging.
struct Rig {
    Rig(RenderSettings settings, Size size = {200, 150}, WindowState state = WindowState::Maximized)
        : random(fixedSeedClock(3)), fract(random, settings, size, state), window(fract) {
        fract.resize(size);
        fract.startPainting();
        events.onPump = [this] {
            if (++pumps > 100000) {
                ADD_FAILURE() << "the loop never waits";
                window.closed_ = true;
            }
            if (onPump) onPump();
        };
    }
    void run() { runRenderLoop(events, fract, window); }

    FakeEventLoop events;
    Random random;
    Fract fract;
    FakeWindow window;
    int pumps = 0;
    std::function<void()> onPump;
};

TEST(RenderDriver, WaitsSleepUntilTheirDeadlinesAndEventsFollowEveryRow) {
    Rig rig({5, 8, 1000});
    rig.onPump = [&] {
        if (rig.fract.picturesCompleted() == 2) rig.window.closed_ = true;
    };
    rig.run();
    // Two pictures of 15 rows, each row followed by events and a 78 ms sleep, and each
    // finished picture by events and the delay: every wait lies ahead of the clock.
    EXPECT_EQ(rig.window.presentedRows.size(), 30u);
    EXPECT_EQ(rig.pumps, 32);
    std::int64_t previous = 0;
    int rowWaits = 0, delays = 0;
    for (std::int64_t deadline : rig.events.waits) {
        rowWaits += deadline - previous == 78;
        delays += deadline - previous == 1000;
        previous = deadline;
    }
    EXPECT_EQ(rowWaits, 30);
    EXPECT_EQ(delays, 1);
}

TEST(RenderDriver, WorkThatEventsGiveIsDoneWithoutSleepingOutTheOldDeadline) {
    // Events handled between steps cut a 20 s delay short (as a resized window does), then
    // start a fresh picture during the next one (as an activation does): no sleep is left.
    Rig rig({5, 69, 20000});
    rig.onPump = [&] {
        const std::uint64_t done = rig.fract.picturesCompleted();
        if (done == 1 && rig.pumps < 20) rig.fract.endWait();
        if (done == 2 && rig.pumps < 40) rig.fract.startPainting();
        if (done == 3) rig.window.closed_ = true;
    };
    rig.run();
    EXPECT_TRUE(rig.events.waits.empty());

    // A window too small for any picture has nothing to do until it grows; growing while
    // events are handled wakes it at once.
    Rig tiny({5, 69, 20000}, {1, 1});
    tiny.onPump = [&] {
        if (tiny.pumps == 1) tiny.window.setClientSize({200, 150});
        if (tiny.fract.picturesCompleted() == 1) tiny.window.closed_ = true;
    };
    tiny.events.onWait = [&](std::int64_t) { tiny.window.closed_ = true; };
    tiny.run();
    EXPECT_EQ(tiny.fract.picturesCompleted(), 1u);
    EXPECT_TRUE(tiny.events.waits.empty());
}

TEST(RenderDriver, PresentsOnlyChangedRowsAndTrimsANormalWindowToTheGrid) {
    Rig rig({5, 69, 0});
    rig.onPump = [&] {
        if (rig.window.presentedRows.size() == 3) rig.window.closed_ = true;
    };
    rig.run();
    // The first row comes with the clear of the whole surface; later rows touch two surface
    // rows in each of the five tile rows.
    EXPECT_EQ(rig.window.presentedRows, (std::vector<int>{150, 10, 10}));
    EXPECT_TRUE(rig.window.requestedSizes.empty());

    Rig normal({5, 69, 0}, {207, 155}, WindowState::Normal);
    normal.onPump = [&] {
        if (normal.fract.picturesCompleted() == 1) normal.window.closed_ = true;
    };
    normal.run();
    EXPECT_EQ(normal.window.requestedSizes, (std::vector<Size>{{200, 150}}));
}

TEST(RenderDriver, AClockThatGoesBackWhileEventsRunNeverStretchesASleep) {
    // Speed 8: a 78 ms wait after every row. The clock goes back by an hour while the driver
    // processes events after the third row; the sleep that follows must not last an hour.
    Rig rig({5, 8, 0});
    rig.onPump = [&] {
        if (rig.window.presentedRows.size() == 3 && rig.events.now > 0) rig.events.now -= 3'600'000;
        if (rig.fract.picturesCompleted() == 1) rig.window.closed_ = true;
    };
    rig.events.onWait = [&](std::int64_t deadline) {
        EXPECT_LE(deadline - rig.events.now, 78) << "a sleep stretched by the jump";
        rig.events.now = std::max(rig.events.now, deadline);
    };
    rig.run();
    EXPECT_LT(rig.events.now, 0);
    EXPECT_EQ(rig.window.presentedRows.size(), 15u);
}

// Several monitors, each with its renderer and window, under one event loop.
class FakeSet : public KaleidoscopeSet {
  public:
    std::span<const Kaleidoscope> kaleidoscopes() override {
        if (replacement) {
            shown = std::move(*replacement);
            replacement.reset();
        }
        return shown;
    }
    bool closed() const override { return closed_; }

    std::vector<Kaleidoscope> shown;
    std::optional<std::vector<Kaleidoscope>> replacement;  // a rebuild, taken at the next ask
    bool closed_ = false;
};

struct Screen {
    Screen(Random& random, RenderSettings settings)
        : fract(random, settings, {200, 150}), window(fract) {
        fract.resize({200, 150});
        fract.startPainting();
    }
    Kaleidoscope kaleidoscope() { return {&fract, &window}; }
    Fract fract;
    FakeWindow window;
};

TEST(RenderDriver, SeveralMonitorsShareOneSleepUntilTheEarliestStep) {
    // Row waits of 78 ms and 175 ms, and a third monitor nobody can see: each wait ends at
    // the earliest step due on a visible monitor, never later and never sooner.
    Random random(fixedSeedClock(5));
    Screen fast(random, {5, 8, 0}), slow(random, {5, 3, 0}), dark(random, {5, 69, 0});
    dark.window.resting_ = true;
    FakeSet set;
    set.shown = {fast.kaleidoscope(), slow.kaleidoscope(), dark.kaleidoscope()};
    FakeEventLoop events;
    events.onWait = [&](std::int64_t deadline) {
        EXPECT_EQ(deadline, std::min(fast.fract.nextStepAt(), slow.fract.nextStepAt()));
        events.now = deadline;
        if (slow.window.presentedRows.size() == 15) set.closed_ = true;
    };
    runRenderLoop(events, set);
    // In the 2.45 s the slow monitor takes for its 15 rows, the fast one paints rows 0 to 31.
    EXPECT_EQ(slow.window.presentedRows.size(), 15u);
    EXPECT_EQ(fast.window.presentedRows.size(), 32u);
    EXPECT_TRUE(dark.window.presentedRows.empty());
}

TEST(RenderDriver, ASetRebuiltDuringEventsIsSteppedAtOnce) {
    // A monitor is added while the old one waits 20 s after its picture: the new set's
    // renderers start without sleeping out the old deadline, and the old ones are let go.
    Random random(fixedSeedClock(6));
    Screen before(random, {5, 69, 20000});
    std::optional<Screen> left, right;
    FakeSet set;
    set.shown = {before.kaleidoscope()};
    FakeEventLoop events;
    events.onPump = [&] {
        if (before.fract.picturesCompleted() == 1 && !left) {
            left.emplace(random, RenderSettings{5, 69, 20000});
            right.emplace(random, RenderSettings{5, 69, 20000});
            set.replacement = {left->kaleidoscope(), right->kaleidoscope()};
        }
        if (right && right->fract.picturesCompleted() == 1) set.closed_ = true;
    };
    runRenderLoop(events, set);
    EXPECT_TRUE(events.waits.empty());
    EXPECT_EQ(before.window.presentedRows.size(), 15u);
    EXPECT_EQ(left->window.presentedRows.size(), 15u);
}

}  // namespace
}  // namespace mirelune
