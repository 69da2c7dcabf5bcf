// The operating-system services of the saver on Windows, behind the core's Platform interface.
#pragma once

#include <windows.h>

#include "host/platform.h"
#include "settings_location.h"

namespace mirelune::windows {

class WinPlatform : public Platform {
  public:
    WinPlatform();
    ~WinPlatform() override;
    WinPlatform(const WinPlatform&) = delete;
    WinPlatform& operator=(const WinPlatform&) = delete;

    // The window that owns the password dialogs (the full-screen form, or the placeholder
    // window of the password change).
    void setOwnerWindow(HWND owner) { owner_ = owner; }
    const SettingsLocation& settingsLocation() const { return location_; }
    // Someone posted WM_QUIT while events were being processed: the process should end.
    bool quitRequested() const { return quitRequested_; }

    std::int64_t nowMs() override;
    std::uint64_t seedClockReading() override;
    void showCursor(bool visible) override;
    void setScreenSaverRunning(bool running) override;
    PasswordCheck verifyScreenSavePassword() override;
    bool changePassword() override;
    std::uint32_t versionPlatformId() override;
    RegistryReply queryRegistryValue(std::uint32_t root, std::string_view keyPath,
                                     std::string_view valueName,
                                     std::span<char, kRegistryBufferSize> buffer) override;
    void messageBox(std::string_view text, std::optional<std::string_view> caption) override;
    bool displayPropertiesWindowExists() override;
    bool previousInstanceRunning() override;
    std::string argumentText() override;
    std::filesystem::path settingsFile() override { return location_.readFile; }
    void waitForEvents(std::int64_t deadlineMs) override;
    void processPendingEvents() override;

  private:
    HANDLE instanceMutex_ = nullptr;
    bool previousInstance_ = false;
    HWND owner_ = nullptr;
    bool quitRequested_ = false;
    SettingsLocation location_;
};

// Text in the system's own wide form, and back; the saver's texts are plain ASCII.
std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);

}  // namespace mirelune::windows
