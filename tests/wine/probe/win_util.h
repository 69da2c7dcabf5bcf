// Win32 helpers of the probe: starting the saver with an exact command line, pumping this
// thread's messages while waiting, finding windows of a process, and reading the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "json_line.h"

namespace probe {

// Milliseconds from an arbitrary start, with sub-millisecond resolution.
double nowMs();

struct Launched {
    HANDLE process = nullptr;
    DWORD pid = 0;
    double startedMs = 0;  // nowMs() just before CreateProcess
};

// Starts scr with the command line "\"scr\" argumentText" (just "\"scr\"" when argumentText is
// empty), so that blanks inside argumentText reach the saver unchanged.
std::optional<Launched> launch(const std::wstring& scr, const std::wstring& argumentText);

bool alive(HANDLE process);
std::optional<DWORD> exitCode(HANDLE process);

// Dispatches this thread's messages until done() holds or timeoutMs passes, looking every
// intervalMs; true when done() held.
bool pumpUntil(const std::function<bool()>& done, double timeoutMs, DWORD intervalMs = 5);
void pumpFor(double ms);

std::vector<HWND> topLevelWindows(DWORD pid, bool visibleOnly);
std::wstring className(HWND window);
// The text of a window of any process (WM_GETTEXT, with a timeout so a hung owner cannot
// block the probe).
std::wstring windowText(HWND window);
JsonObject describeWindow(HWND window);

// The window's rectangle relative to its parent's client area (the screen for a top-level
// window).
RECT rectInParent(HWND window);
JsonObject rectJson(const RECT& rect);  // {"x","y","w","h"}

// A copy of a screen rectangle, as 0x00RRGGBB values row by row.
class ScreenGrabber {
  public:
    ScreenGrabber(int width, int height);
    ~ScreenGrabber();
    ScreenGrabber(const ScreenGrabber&) = delete;
    ScreenGrabber& operator=(const ScreenGrabber&) = delete;

    // Copies the screen rectangle with its top-left corner at (x, y) into pixels().
    bool grab(int x, int y);
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    int width_;
    int height_;
    HDC screen_ = nullptr;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
    std::vector<std::uint32_t> pixels_;
};

std::wstring hexColour(std::uint32_t rgb);

}  // namespace probe
