#include "monitor_blanks.h"

#include "input_events.h"
#include "window_class.h"

namespace mirelune::windows {
namespace {

constexpr wchar_t kClassName[] = L"MireluneBlank";

BOOL CALLBACK collectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM monitors) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        reinterpret_cast<std::vector<Monitor>*>(monitors)->push_back(
            {{r.left, r.top, r.right, r.bottom}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

}  // namespace

std::vector<Monitor> displayMonitors() {
    std::vector<Monitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, collectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

MonitorBlanks::MonitorBlanks(HINSTANCE instance, std::span<const ScreenRect> areas,
                             InputHandler onInput)
    : onInput_(std::move(onInput)) {
    const WindowClass blank{.name = kClassName,
                            .procedure = windowProc,
                            .background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)),
                            .style = CS_DBLCLKS};
    if (areas.empty() || !registerWindowClass(instance, blank)) return;
    for (const ScreenRect& rect : areas) {
        const HWND window = CreateWindowExW(
            WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, rect.left, rect.top,
            rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
        if (!window) continue;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ShowWindow(window, SW_SHOWNOACTIVATE);
        windows_.push_back(window);
    }
}

MonitorBlanks::~MonitorBlanks() {
    for (HWND window : windows_) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
}

LRESULT CALLBACK MonitorBlanks::windowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    auto* blanks = reinterpret_cast<MonitorBlanks*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (blanks) {
        if (const auto event = inputEventOf(message)) {
            blanks->onInput_(*event);
            return 0;
        }
        if (message == WM_SETCURSOR) {
            SetCursor(nullptr);  // the cursor stays hidden over every screen
            return TRUE;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace mirelune::windows
