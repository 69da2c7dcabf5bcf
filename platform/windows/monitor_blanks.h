// Black, topmost, captionless windows over every monitor outside the primary one, which the
// kaleidoscope covers: no desktop stays visible while the saver runs, and input on them
// follows the saver's exit rules.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "host/saver_session.h"

namespace mirelune::windows {

class MonitorBlanks {
  public:
    using InputHandler = std::function<void(InputEvent)>;

    MonitorBlanks(HINSTANCE instance, InputHandler onInput);
    ~MonitorBlanks();
    MonitorBlanks(const MonitorBlanks&) = delete;
    MonitorBlanks& operator=(const MonitorBlanks&) = delete;

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    InputHandler onInput_;
    std::vector<HWND> windows_;
};

}  // namespace mirelune::windows
