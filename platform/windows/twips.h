// Sizes at a window's DPI. The configuration window is laid out in twips (1440 to the inch)
// so that it keeps its proportions at every display scale; these helpers turn twips into the
// pixels of the monitor the window is on, and give the matching frame size and font.
#pragma once

#include <windows.h>

#include <cstdint>

namespace mirelune::windows {

inline constexpr int kTwipsPerInch = 1440;

// Pixels per inch along each axis.
struct Dpi {
    int x = 96;
    int y = 96;
};

// The nearest whole pixel, halves away from zero: a control may start left of the client
// area, and must then sit as far out as its mirror image would sit in.
constexpr int twipsToPixels(int twips, int dpi) {
    const std::int64_t scaled = std::int64_t{twips} * dpi;
    const std::int64_t half = kTwipsPerInch / 2;
    return static_cast<int>((scaled >= 0 ? scaled + half : scaled - half) / kTwipsPerInch);
}

// The DPI the window is drawn at: its monitor's where the system scales per window
// (Windows 10 1607 and later), else the screen's.
Dpi windowDpi(HWND window);

// The window rectangle whose client area is width x height pixels, with the frame drawn at
// `dpi`; its origin is the client area's top left corner.
RECT windowRectForClient(int width, int height, DWORD style, DWORD exStyle, int dpi);

// The system's message-box font sized for `dpi`, owned by the caller; null when the system
// does not say what it is.
HFONT createMessageFont(int dpi);

}  // namespace mirelune::windows
