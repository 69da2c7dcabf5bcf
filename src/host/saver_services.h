// What the saver's start-up and full-screen run ask of the operating system, behind one
// interface so that the host logic runs unchanged against the real system and against fakes.
#pragma once

#include <cstddef>
#include <cstdint>
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

class SaverServices {
  public:
    virtual ~SaverServices() = default;

    // Entropy for re-seeding the random generator.
    virtual std::uint64_t seedClockReading() = 0;
    // The command line after the program's name and the blanks that follow it.
    virtual std::string argumentText() = 0;
    // Whether a top-level window titled "Display Properties" exists.
    virtual bool displayPropertiesWindowExists() = 0;
    virtual bool previousInstanceRunning() = 0;

    // Hides or shows the mouse cursor; the platform counts hides against shows.
    virtual void showCursor(bool visible) = 0;
    // The screen-saver-running flag, which locks the system keys while it is set.
    virtual void setScreenSaverRunning(bool running) = 0;
    // Asks the user for the screen-saver password, owned by the full-screen window.
    virtual PasswordCheck verifyScreenSavePassword() = 0;

    // Platform id of the version query: 1 the 95 family, 2 the NT family, 0 on failure.
    virtual std::uint32_t versionPlatformId() = 0;
    // Reads one value into buffer, which the caller has filled beforehand.
    virtual RegistryReply queryRegistryValue(std::uint32_t root, std::string_view keyPath,
                                             std::string_view valueName,
                                             std::span<char, kRegistryBufferSize> buffer) = 0;
};

}  // namespace mirelune
