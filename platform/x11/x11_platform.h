// The event loop of the X11 saver: the monotonic clock and the event wait, which sleeps in
// poll() on the X connection and the termination pipe.
#pragma once

#include <cstdint>

#include "host/render_driver.h"

// Xlib defines macros such as None and KeyPress, so it comes after the core's headers.
#include <X11/Xlib.h>

namespace mirelune::x11 {

// Whoever handles the events of the connection: the window the saver draws into.
class EventTarget {
  public:
    virtual ~EventTarget() = default;
    virtual void handleEvent(const XEvent& event) = 0;
    // A termination signal arrived, or the window the saver draws into has gone.
    virtual void close() = 0;
};

class X11Platform final : public EventLoop {
  public:
    // terminationFd: readable once a termination signal has arrived (-1: none).
    X11Platform(Display* display, int terminationFd);

    void setEventTarget(EventTarget* target) { target_ = target; }

    std::int64_t nowMs() override;
    void waitForEvents(std::int64_t deadlineMs) override;
    void processPendingEvents() override;

  private:
    Display* display_;
    int terminationFd_;
    EventTarget* target_ = nullptr;
};

// Entropy for seeding the random generator: the wall clock and the process id.
std::uint64_t seedClockReading();

}  // namespace mirelune::x11
