#include "host/render_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "host/saver_session.h"

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
    void close() { closed_ = true; }
    void rest(bool resting) { resting_ = resting; }

    std::vector<int> presentedRows;
    std::vector<Size> requestedSizes;

  private:
    Fract& fract_;
    bool closed_ = false;
    bool resting_ = false;
};

struct Rig {
    Rig(RenderSettings settings, Size size, WindowState state = WindowState::Maximized)
        : random(fixedSeedClock(3)), fract(random, settings, size, state), window(fract) {
        fract.resize(size);
        fract.startPainting();
        // A runaway loop must fail the test, not hang it.
        events.onPump = [this] {
            if (++pumps > 100000) {
                ADD_FAILURE() << "the loop never waits";
                window.close();
            }
            if (onPump) onPump();
        };
    }

    FakeEventLoop events;
    Random random;
    Fract fract;
    FakeWindow window;
    int pumps = 0;
    std::function<void()> onPump;
};

TEST(RenderDriver, WaitsSleepUntilTheirDeadlinesAndEventsFollowEveryRow) {
    Rig rig({5, 8, 1000}, {200, 150});
    rig.onPump = [&] {
        if (rig.fract.picturesCompleted() == 2) rig.window.close();
    };
    runRenderLoop(rig.events, rig.fract, rig.window);

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
    Rig rig({5, 69, 20000}, {200, 150});
    rig.onPump = [&] {
        const std::uint64_t done = rig.fract.picturesCompleted();
        if (done == 1 && rig.pumps < 20) rig.fract.endWait();
        if (done == 2 && rig.pumps < 40) rig.fract.startPainting();
        if (done == 3) rig.window.close();
    };
    runRenderLoop(rig.events, rig.fract, rig.window);
    EXPECT_TRUE(rig.events.waits.empty());

    // A window too small for any picture has nothing to do until it grows; growing while
    // events are handled wakes it at once.
    Rig tiny({5, 69, 20000}, {1, 1});
    tiny.onPump = [&] {
        if (tiny.pumps == 1) tiny.window.setClientSize({200, 150});
        if (tiny.fract.picturesCompleted() == 1) tiny.window.close();
    };
    tiny.events.onWait = [&](std::int64_t) { tiny.window.close(); };
    runRenderLoop(tiny.events, tiny.fract, tiny.window);
    EXPECT_EQ(tiny.fract.picturesCompleted(), 1u);
    EXPECT_TRUE(tiny.events.waits.empty());
}

TEST(RenderDriver, OnlyChangedRowsArePresented) {
    Rig rig({5, 69, 0}, {200, 150});
    rig.onPump = [&] {
        if (rig.window.presentedRows.size() == 3) rig.window.close();
    };
    runRenderLoop(rig.events, rig.fract, rig.window);
    // The first row comes with the clear of the whole surface; later rows touch two surface
    // rows in each of the five tile rows.
    EXPECT_EQ(rig.window.presentedRows, (std::vector<int>{150, 10, 10}));
}

TEST(RenderDriver, AKeyEndsTheSaverWithinOneRow) {
    Rig rig({5, 69, 0}, {200, 150});
    HostContext context(fixedSeedClock(1));
    context.runMode = RunMode::Saver;
    SaverSession session(context);
    rig.onPump = [&] {
        if (rig.pumps == 6 && session.onInput(InputEvent::KeyDown)) rig.window.close();
    };
    runRenderLoop(rig.events, rig.fract, rig.window);
    EXPECT_EQ(rig.window.presentedRows.size(), 6u);
}

TEST(RenderDriver, ATinyWindowWithNoDelayWaitsForEventsInsteadOfSpinning) {
    Rig rig({5, 69, 0}, {9, 9});
    rig.events.onWait = [&](std::int64_t deadline) {
        EXPECT_EQ(deadline, kNoDeadline);
        rig.fract.resize({200, 150});  // the only thing that can wake it: the window grows
        rig.events.onWait = nullptr;
    };
    rig.onPump = [&] {
        if (rig.fract.picturesCompleted() == 1) rig.window.close();
    };
    runRenderLoop(rig.events, rig.fract, rig.window);
    EXPECT_EQ(rig.events.waits.front(), kNoDeadline);
    EXPECT_EQ(rig.fract.picturesCompleted(), 1u);
}

TEST(RenderDriver, ANormalWindowIsTrimmedToTheGrid) {
    Rig rig({5, 69, 0}, {207, 155}, WindowState::Normal);
    rig.onPump = [&] {
        if (rig.fract.picturesCompleted() == 1) rig.window.close();
    };
    runRenderLoop(rig.events, rig.fract, rig.window);
    EXPECT_EQ(rig.window.requestedSizes, (std::vector<Size>{{200, 150}}));
    EXPECT_EQ(rig.fract.surface().width(), 200);
}

TEST(RenderDriver, AClockThatGoesBackNeverFreezesThePicture) {
    // Speed 8: a 78 ms wait after every row. The clock goes back by an hour once while the
    // driver processes events and once while it sleeps; no sleep may be longer than a row's
    // wait, and the pictures go on.
    constexpr std::int64_t kHour = 3'600'000;
    Rig rig({5, 8, 0}, {200, 150});
    int jumps = 0;
    rig.onPump = [&] {
        if (rig.window.presentedRows.size() == 3 && jumps == 0) {
            rig.events.now -= kHour;
            ++jumps;
        }
        if (rig.fract.picturesCompleted() == 1) rig.window.close();
    };
    rig.events.onWait = [&](std::int64_t deadline) {
        EXPECT_LE(deadline - rig.events.now, 78) << "a sleep stretched by the jump";
        rig.events.now = std::max(rig.events.now, deadline);
        if (rig.window.presentedRows.size() == 8 && jumps == 1) {
            rig.events.now -= kHour;
            ++jumps;
        }
    };
    runRenderLoop(rig.events, rig.fract, rig.window);
    EXPECT_EQ(jumps, 2);
    EXPECT_EQ(rig.fract.picturesCompleted(), 1u);
    EXPECT_EQ(rig.window.presentedRows.size(), 15u);
}

TEST(RenderDriver, NothingIsPaintedWhileNobodyCanSeeTheWindow) {
    Rig rig({5, 69, 0}, {200, 150});
    rig.window.rest(true);  // the display went off before the first row
    rig.events.onWait = [&](std::int64_t deadline) {
        // Asleep in the event queue with no deadline: resting costs no processor time.
        EXPECT_EQ(deadline, kNoDeadline);
        EXPECT_TRUE(rig.window.presentedRows.empty());
        rig.window.rest(false);  // the display is back: a fresh picture starts
        rig.fract.startPainting();
        rig.events.onWait = nullptr;
    };
    rig.onPump = [&] {
        if (rig.window.presentedRows.size() == 2) rig.window.close();
    };
    runRenderLoop(rig.events, rig.fract, rig.window);
    ASSERT_FALSE(rig.events.waits.empty()) << "painted without ever waiting";
    EXPECT_EQ(rig.events.waits.front(), kNoDeadline);
    EXPECT_EQ(rig.window.presentedRows.size(), 2u);
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
    dark.window.rest(true);
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
