#include "x11_platform.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>

#include "context_free_hooks.h"

namespace mirelune::x11 {

X11Platform::X11Platform(Display* display, int terminationFd)
    : display_(display), terminationFd_(terminationFd) {}

std::int64_t X11Platform::nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

std::uint64_t seedClockReading() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const auto nanoseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000000000u +
                             static_cast<std::uint64_t>(now.tv_nsec);
    return nanoseconds ^ static_cast<std::uint64_t>(getpid()) << 40;
}

void X11Platform::waitForEvents(std::int64_t deadlineMs) {
    XFlush(display_);
    if (XPending(display_) == 0 && !terminationRequested()) {
        int timeout = -1;
        if (deadlineMs != kNoDeadline) {
            timeout = static_cast<int>(std::clamp<std::int64_t>(deadlineMs - nowMs(), 0, 1 << 30));
        }
        pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {terminationFd_, POLLIN, 0}};
        // An interrupted wait (a signal) simply returns early; the caller loops.
        poll(fds, terminationFd_ >= 0 ? 2 : 1, timeout);
    }
    processPendingEvents();
}

void X11Platform::processPendingEvents() {
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (target_) target_->handleEvent(event);
    }
    if (!target_) return;
    if (terminationRequested() || takeWindowGoneError()) target_->close();
}

}  // namespace mirelune::x11
