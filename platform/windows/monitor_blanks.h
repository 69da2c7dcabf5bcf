// Black, topmost, captionless windows over what overlapping monitors show beyond the picture
// they share: no desktop stays visible while the saver runs, and input on them follows the
// saver's exit rules. Also the monitors the system reports.
#pragma once

#include <windows.h>

#include <functional>
#include <span>
#include <vector>

#include "host/saver_session.h"
#include "host/screen_layout.h"

namespace mirelune::windows {

// The monitors of the desktop, in the system's order, with the primary one marked.
std::vector<Monitor> displayMonitors();

class MonitorBlanks {
  public:
    using InputHandler = std::function<void(InputEvent)>;

    MonitorBlanks(HINSTANCE instance, std::span<const ScreenRect> areas, InputHandler onInput);
    ~MonitorBlanks();
    MonitorBlanks(const MonitorBlanks&) = delete;
    MonitorBlanks& operator=(const MonitorBlanks&) = delete;

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    InputHandler onInput_;
    std::vector<HWND> windows_;
};

}  // namespace mirelune::windows
