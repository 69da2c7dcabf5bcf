// Runs the renderers inside a platform's event loop: a step of each one's picture loop, the
// rows they changed presented, pending events processed, then a sleep in the event queue until
// the earliest next step is due or an event arrives. Input is therefore answered within one
// row's work on every monitor, and nothing runs while every wait has nothing to do.
#pragma once

#include <cstdint>
#include <span>

#include "render/fract.h"
#include "settings/settings.h"

namespace mirelune {

// The platform's event queue and the clock its waits are measured by.
class EventLoop {
  public:
    virtual ~EventLoop() = default;
    // Monotonic milliseconds, the clock of every wait.
    virtual std::int64_t nowMs() = 0;
    // Blocks until an event arrives or the clock reaches deadlineMs, processes what arrived,
    // then returns; the caller loops. It never spins: the wait sleeps in the event queue.
    virtual void waitForEvents(std::int64_t deadlineMs) = 0;
    // Processes the events already queued, then returns.
    virtual void processPendingEvents() = 0;
};

// The window the renderer paints into, as the driver sees it.
class RenderWindow {
  public:
    virtual ~RenderWindow() = default;
    // Copies these rows of the surface to the screen.
    virtual void present(const Surface& surface, std::span<const RowSpan> rows) = 0;
    // Gives the window this client size (a window in its normal state trims itself to the
    // tile grid); the resize comes back through the window's events as usual.
    virtual void setClientSize(Size size) = 0;
    // True once the window has been unloaded; a lone window's driver then returns.
    virtual bool closed() const = 0;
    // True while nobody can see the window (the display is off, the session locked): the
    // driver then paints nothing and sleeps until an event. When it ends, the window asks
    // the renderer for a fresh picture.
    virtual bool resting() const { return false; }
};

// One kaleidoscope: a renderer and the window (or the part of one) it paints.
struct Kaleidoscope {
    Fract* fract;
    RenderWindow* window;
};

// The kaleidoscopes a saver shows: one for each monitor, or a lone one.
class KaleidoscopeSet {
  public:
    virtual ~KaleidoscopeSet() = default;
    // The kaleidoscopes to step now. The driver asks between its rounds, never while events
    // are processed, so a platform whose monitors changed rebuilds its set here; the span
    // stays valid until the next call.
    virtual std::span<const Kaleidoscope> kaleidoscopes() = 0;
    // True once the saver has ended; the driver then returns.
    virtual bool closed() const = 0;
};

void runRenderLoop(EventLoop& events, KaleidoscopeSet& set);
// A lone window, which ends the loop when it closes.
void runRenderLoop(EventLoop& events, Fract& fract, RenderWindow& window);

// The small preview pane draws with these whatever the settings file says.
inline constexpr RenderSettings kPreviewSettings{5, 8, 1};

constexpr RenderSettings toRenderSettings(const Settings& settings) {
    return {static_cast<double>(settings.sectors), static_cast<double>(settings.speed),
            settings.delay};
}

}  // namespace mirelune
