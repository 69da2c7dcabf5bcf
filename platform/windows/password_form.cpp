#include "password_form.h"

#include "system_function.h"
#include "twips.h"
#include "window_class.h"

namespace mirelune::windows {
namespace {

constexpr wchar_t kClassName[] = L"MirelunePasswordForm";
constexpr int kClientWidthTwips = 3300;
constexpr int kClientHeightTwips = 2130;
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;  // a sizable frame without an icon

LRESULT CALLBACK formProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND showPasswordForm(HINSTANCE instance) {
    if (!registerWindowClass(instance, {.name = kClassName,
                                        .procedure = formProc,
                                        .background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                                        .cursor = LoadCursorW(nullptr, IDC_ARROW)})) {
        return nullptr;
    }

    const HWND window =
        CreateWindowExW(kExStyle, kClassName, L"Form1", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;
    // Size the client area in twips at the window's own DPI, now that it has one.
    const Dpi dpi = windowDpi(window);
    const RECT rect =
        windowRectForClient(twipsToPixels(kClientWidthTwips, dpi.x),
                            twipsToPixels(kClientHeightTwips, dpi.y), kStyle, kExStyle, dpi.x);
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return window;
}

bool openPasswordChange(HWND form) {
    // The password provider's dialog lives in a library that not every system has.
    using Change = DWORD WINAPI(LPCSTR, HWND, DWORD, LPVOID);
    auto* change = systemFunction<Change>(L"mpr.dll", "PwdChangePasswordA");
    if (change) change("SCRSAVE", form, 0, nullptr);
    return change != nullptr;
}

}  // namespace mirelune::windows
