// The full-screen saver on Windows: a kaleidoscope window of its own on every monitor, the
// primary monitor's first, black covers where overlapping monitors show more than the picture
// they share, and the saver's input rules over all of them as one. A change of the monitors
// (WM_DISPLAYCHANGE) rebuilds the windows for the new desk.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "host/host_context.h"
#include "host/render_driver.h"
#include "host/saver_session.h"
#include "monitor_blanks.h"
#include "saver_window.h"
#include "win_platform.h"

namespace mirelune::windows {

class SaverScreens final : public KaleidoscopeSet, public ScreenEvents {
  public:
    SaverScreens(HINSTANCE instance, WinPlatform& platform, HostContext& context,
                 const RenderSettings& settings);
    ~SaverScreens() override;
    SaverScreens(const SaverScreens&) = delete;
    SaverScreens& operator=(const SaverScreens&) = delete;

    // Shows a window on every monitor; false when not even the primary one's could be made.
    bool show();

    std::span<const Kaleidoscope> kaleidoscopes() override;
    bool closed() const override;

    void onInput(InputEvent event) override;
    void onCloseRequest() override;
    void onDisplayChange() override { rebuild_ = true; }

  private:
    void clear();

    HINSTANCE instance_;
    WinPlatform& platform_;
    HostContext& context_;
    RenderSettings settings_;
    SaverSession session_;  // one allowance of mouse moves across every window
    std::vector<std::unique_ptr<SaverWindow>> windows_;
    std::unique_ptr<MonitorBlanks> blanks_;
    std::vector<Kaleidoscope> kaleidoscopes_;
    bool rebuild_ = false;
    bool closed_ = false;
};

}  // namespace mirelune::windows
