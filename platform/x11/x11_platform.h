// The platform services of the X11 saver: the monotonic clock, seeding, and the event wait,
// which sleeps in poll() on the X connection and the termination pipe. The Windows-only
// services (password, registry, version, message boxes) report that they are unavailable.
#pragma once

#include "host/platform.h"

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

class X11Platform final : public Platform {
  public:
    // terminationFd: readable once a termination signal has arrived (-1: none).
    X11Platform(Display* display, int terminationFd);

    void setEventTarget(EventTarget* target) { target_ = target; }

    std::int64_t nowMs() override;
    std::uint64_t seedClockReading() override;

    // The cursor belongs to the window on X; these have nothing to do.
    void showCursor(bool) override {}
    void setScreenSaverRunning(bool) override {}
    PasswordCheck verifyScreenSavePassword() override { return PasswordCheck::Unavailable; }
    bool changePassword() override { return false; }
    std::uint32_t versionPlatformId() override { return 0; }
    RegistryReply queryRegistryValue(std::uint32_t, std::string_view, std::string_view,
                                     std::span<char, kRegistryBufferSize>) override {
        return {.status = 1};
    }
    void messageBox(std::string_view text, std::optional<std::string_view> caption) override;
    bool displayPropertiesWindowExists() override { return false; }
    bool previousInstanceRunning() override { return false; }
    std::string argumentText() override { return {}; }
    std::filesystem::path settingsFile() override;

    void waitForEvents(std::int64_t deadlineMs) override;
    void processPendingEvents() override;

  private:
    Display* display_;
    int terminationFd_;
    EventTarget* target_ = nullptr;
};

}  // namespace mirelune::x11
