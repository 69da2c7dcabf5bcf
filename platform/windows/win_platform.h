// The operating-system services of the saver on Windows: the event loop the render driver
// runs in, and the services of start-up and the full-screen run.
#pragma once

#include <windows.h>

#include "host/render_driver.h"
#include "host/saver_services.h"
#include "settings_location.h"

namespace mirelune::windows {

class WinPlatform : public EventLoop, public SaverServices {
  public:
    WinPlatform();
    ~WinPlatform() override;
    WinPlatform(const WinPlatform&) = delete;
    WinPlatform& operator=(const WinPlatform&) = delete;

    // The window that owns the password dialog: the full-screen form.
    void setOwnerWindow(HWND owner) { owner_ = owner; }
    const SettingsLocation& settingsLocation() const { return location_; }
    // Someone posted WM_QUIT while events were being processed: the process should end.
    bool quitRequested() const { return quitRequested_; }

    std::int64_t nowMs() override;
    void waitForEvents(std::int64_t deadlineMs) override;
    void processPendingEvents() override;

    std::uint64_t seedClockReading() override;
    std::string argumentText() override;
    bool displayPropertiesWindowExists() override;
    bool previousInstanceRunning() override;
    void showCursor(bool visible) override;
    void setScreenSaverRunning(bool running) override;
    PasswordCheck verifyScreenSavePassword() override;
    std::uint32_t versionPlatformId() override;
    RegistryReply queryRegistryValue(std::uint32_t root, std::string_view keyPath,
                                     std::string_view valueName,
                                     std::span<char, kRegistryBufferSize> buffer) override;

  private:
    HANDLE instanceMutex_ = nullptr;
    bool previousInstance_ = false;
    HWND owner_ = nullptr;
    bool quitRequested_ = false;
    SettingsLocation location_;
};

}  // namespace mirelune::windows
