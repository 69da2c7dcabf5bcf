// The operating-system services the saver host needs, behind one interface so that the host
// logic runs unchanged against the real platform and against fakes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace mirelune {

// The registry query writes into a caller-supplied buffer of exactly this size.
inline constexpr std::size_t kRegistryBufferSize = 2048;

enum class PasswordCheck {
    Accepted,
    Refused,
    Unavailable,  // the password service could not be loaded or called
};

struct RegistryReply {
    std::int32_t status = 0;  // 0 on success; a value too long for the buffer is a failure
    std::uint32_t type = 0;
    std::uint32_t length = 0;  // bytes the value holds, as the platform reports it
};

class Platform {
  public:
    virtual ~Platform() = default;

    // Monotonic milliseconds, the clock of every wait.
    virtual std::int64_t nowMs() = 0;
    // Entropy for re-seeding the random generator.
    virtual std::uint64_t seedClockReading() = 0;

    // Hides or shows the mouse cursor; the platform counts hides against shows.
    virtual void showCursor(bool visible) = 0;
    // The screen-saver-running flag, which locks the system keys while it is set.
    virtual void setScreenSaverRunning(bool running) = 0;
    // Asks the user for the screen-saver password, owned by the full-screen window.
    virtual PasswordCheck verifyScreenSavePassword() = 0;
    // Opens the password-change dialog for the saver's provider and returns when it closes;
    // false when the dialog could not be opened at all.
    virtual bool changePassword() = 0;

    // Platform id of the version query: 1 the 95 family, 2 the NT family, 0 on failure.
    virtual std::uint32_t versionPlatformId() = 0;
    // Reads one value into buffer, which the caller has filled beforehand.
    virtual RegistryReply queryRegistryValue(std::uint32_t root, std::string_view keyPath,
                                             std::string_view valueName,
                                             std::span<char, kRegistryBufferSize> buffer) = 0;

    // A box with one OK button; without a caption the platform's default caption is used.
    virtual void messageBox(std::string_view text, std::optional<std::string_view> caption) = 0;

    // Whether a top-level window titled "Display Properties" exists.
    virtual bool displayPropertiesWindowExists() = 0;
    virtual bool previousInstanceRunning() = 0;
    // The command line after the program's name and the blanks that follow it.
    virtual std::string argumentText() = 0;
    virtual std::filesystem::path settingsFile() = 0;

    // Blocks until an event arrives or the clock reaches deadlineMs, processes what arrived,
    // then returns; the caller loops. It never spins: the wait sleeps in the event queue.
    virtual void waitForEvents(std::int64_t deadlineMs) = 0;
    // Processes the events already queued, then returns.
    virtual void processPendingEvents() = 0;
};

}  // namespace mirelune
