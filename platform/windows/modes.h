// The four run modes on Windows: each procedure sets up its windows and returns, and run()
// then lives in them until the process has nothing left to show.
#pragma once

#include <windows.h>

#include <memory>

#include "host/host_context.h"
#include "host/startup.h"
#include "saver_screens.h"
#include "saver_window.h"
#include "win_platform.h"

namespace mirelune::windows {

class WindowsModes : public ModeProcedures {
  public:
    WindowsModes(HINSTANCE instance, HostContext& context, WinPlatform& platform)
        : instance_(instance), context_(context), platform_(platform) {}

    void runSaver() override;
    void runPreview() override;
    void showConfig() override;
    void changePassword() override;

    // Runs the loaded windows' events until none is left; returns the process exit code.
    int run();

  private:
    void runFormLoop();

    HINSTANCE instance_;
    HostContext& context_;
    WinPlatform& platform_;
    std::unique_ptr<SaverScreens> screens_;  // full screen, one window on every monitor
    std::unique_ptr<SaverWindow> preview_;
    bool dialogLoaded_ = false;  // the configuration or password window is open
};

}  // namespace mirelune::windows
