#include "saver_window.h"

#include "input_events.h"
#include "system_function.h"
#include "window_class.h"

#include <algorithm>
#include <cstring>

namespace mirelune::windows {
namespace {

constexpr wchar_t kClassName[] = L"MireluneFract";
constexpr UINT_PTR kStartTimer = 1;      // the preview's one-shot start
constexpr UINT_PTR kPaneWatchTimer = 2;  // ends the preview when its pane is gone
constexpr UINT kStartDelayMs = 100;
constexpr UINT kPaneWatchMs = 100;
constexpr UINT kPreviewPlacement = SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW;

// The console display's power state (0 off, 1 on, 2 dimmed), reported through
// WM_POWERBROADCAST once registered for.
constexpr GUID kConsoleDisplayState = {
    0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};
constexpr LPARAM kMonitorOff = 2;        // SC_MONITORPOWER's argument: -1 on, 1 dimmed, 2 off
constexpr UINT kSessionChange = 0x02B1;  // WM_WTSSESSION_CHANGE
enum SessionEvent : WPARAM {
    kConsoleConnect = 1,
    kConsoleDisconnect = 2,
    kRemoteConnect = 3,
    kRemoteDisconnect = 4,
    kSessionLock = 7,
    kSessionUnlock = 8,
};

Size clientSize(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// The surface holds 0x00BBGGRR; a 32-bit DIB wants blue in the low byte.
std::uint32_t toDisplayOrder(Colour colour) {
    return (colour & 0x0000FF00u) | (colour & 0xFFu) << 16 | (colour >> 16 & 0xFFu);
}

}  // namespace

SaverWindow::SaverWindow(WinPlatform& platform, ScreenEvents* screens)
    : platform_(platform), screens_(screens) {}

std::unique_ptr<SaverWindow> SaverWindow::load(HINSTANCE instance, WinPlatform& platform,
                                               Random& random, const RenderSettings& settings,
                                               WindowState state, const ScreenRect& area,
                                               ScreenEvents* screens) {
    if (!registerWindowClass(instance,
                             {.name = kClassName,
                              .procedure = DefWindowProcW,
                              .background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)),
                              .style = CS_OWNDC | CS_DBLCLKS})) {
        return nullptr;
    }
    std::unique_ptr<SaverWindow> form(new SaverWindow(platform, screens));
    form->window_ =
        CreateWindowExW(WS_EX_TOPMOST, kClassName, L"", WS_POPUP, area.left, area.top, area.width(),
                        area.height(), nullptr, nullptr, instance, nullptr);
    if (!form->window_) return nullptr;
    // Events only reach the form once its renderer exists.
    form->fract_ = std::make_unique<Fract>(random, settings, clientSize(form->window_), state);
    SetWindowLongPtrW(form->window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form.get()));
    SetWindowLongPtrW(form->window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProc));
    return form;
}

SaverWindow::~SaverWindow() {
    if (displayNotification_) UnregisterPowerSettingNotification(displayNotification_);
    if (window_ && IsWindow(window_)) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void SaverWindow::watchAudience() {
    displayNotification_ = RegisterPowerSettingNotification(window_, &kConsoleDisplayState,
                                                            DEVICE_NOTIFY_WINDOW_HANDLE);
    // The session notifications live in a library that is only loaded when needed.
    auto* registerSession =
        systemFunction<BOOL WINAPI(HWND, DWORD)>(L"wtsapi32.dll", "WTSRegisterSessionNotification");
    if (registerSession) registerSession(window_, 0 /* this session only */);
}

void SaverWindow::setAudienceAway(bool& flag, bool away) {
    const bool wasResting = resting();
    flag = away;
    if (wasResting && !resting()) fract_->startPainting();
}

void SaverWindow::showFullScreen(bool foreground) {
    watchAudience();
    // The foreground window is maximized over the monitor it was created on and takes the
    // keyboard; the others were created covering their monitors exactly and leave it the focus.
    ShowWindow(window_, foreground ? SW_SHOWMAXIMIZED : SW_SHOWNOACTIVATE);
    if (foreground) SetForegroundWindow(window_);
    // Activation starts the painter; starting it here too covers a system that does not
    // activate a window it was not asked to by the user.
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | (foreground ? 0 : SWP_NOACTIVATE));
    fract_->startPainting();
}

void SaverWindow::embedInto(HWND pane) {
    pane_ = pane;
    RECT paneRect{};
    GetClientRect(pane, &paneRect);
    // The order matters: the style becomes a child's before the window changes parent and
    // owner, and it is shown only once it sits in the pane.
    const LONG_PTR style = (GetWindowLongPtrW(window_, GWL_STYLE) | WS_CHILD) & ~WS_POPUP;
    SetWindowLongPtrW(window_, GWL_STYLE, style);
    SetParent(window_, pane);
    SetWindowLongPtrW(window_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(pane));
    paneSize_ = {paneRect.right, paneRect.bottom};
    SetWindowPos(window_, nullptr, 0, 0, paneRect.right, paneRect.bottom, kPreviewPlacement);
    SetTimer(window_, kStartTimer, kStartDelayMs, nullptr);
    SetTimer(window_, kPaneWatchTimer, kPaneWatchMs, nullptr);
}

void SaverWindow::watchPane() {
    if (!IsWindow(pane_)) {
        closed_ = true;
        return;
    }
    // The pane may change size (a settings page laid out anew); cover it again, which
    // restarts the picture at the new size.
    RECT paneRect{};
    GetClientRect(pane_, &paneRect);
    const Size paneSize{paneRect.right, paneRect.bottom};
    if (paneSize != paneSize_) {
        paneSize_ = paneSize;
        SetWindowPos(window_, nullptr, 0, 0, paneSize.width, paneSize.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void SaverWindow::present(const Surface& surface, std::span<const RowSpan> rows) {
    const HDC dc = GetDC(window_);
    const int width = surface.width();
    for (RowSpan span : rows) {
        const int first = std::max(span.first, 0);
        const int count = std::min(span.first + span.count, surface.height()) - first;
        if (width <= 0 || count <= 0) continue;
        converted_.resize(static_cast<std::size_t>(width) * count);
        for (int y = 0; y < count; ++y) {
            std::transform(surface.row(first + y), surface.row(first + y) + width,
                           converted_.begin() + static_cast<std::ptrdiff_t>(y) * width,
                           toDisplayOrder);
        }
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -count;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, 0, first, width, count, 0, 0, 0, count, converted_.data(), &info,
                          DIB_RGB_COLORS);
    }
    ReleaseDC(window_, dc);
}

void SaverWindow::paintAll() {
    const Surface& surface = fract_->surface();
    const RowSpan all{0, surface.height()};
    present(surface, std::span<const RowSpan>(&all, 1));
}

void SaverWindow::setClientSize(Size size) {
    SetWindowPos(window_, nullptr, 0, 0, size.width, size.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SaverWindow::requestUnload() {
    // The full-screen windows close together, once the saver's rules allow it.
    if (screens_) {
        screens_->onCloseRequest();
        return;
    }
    if (closed_) return;
    closed_ = true;
    DestroyWindow(window_);
}

LRESULT CALLBACK SaverWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = reinterpret_cast<SaverWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return DefWindowProcW(window, message, wParam, lParam);
    return form->handleMessage(message, wParam, lParam);
}

LRESULT SaverWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto event = inputEventOf(message)) {
        if (screens_) screens_->onInput(*event);
        return 0;
    }
    switch (message) {
        case WM_DISPLAYCHANGE:
            if (screens_) screens_->onDisplayChange();
            break;
        case WM_SIZE:
            fract_->resize({LOWORD(lParam), HIWORD(lParam)});
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !pane_) fract_->startPainting();
            break;
        case WM_TIMER:
            if (wParam == kStartTimer) {
                KillTimer(window_, kStartTimer);
                fract_->startPainting();
            } else if (wParam == kPaneWatchTimer) {
                watchPane();
            }
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the surface covers the whole client area
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window_, &paint);
            EndPaint(window_, &paint);
            paintAll();
            return 0;
        }
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_SCREENSAVE) return 0;  // this is the screen saver
            // Power management (or a tool) switching the monitor off; the system still acts
            // on it below. Dimmed (1) is still seen, and a display that comes back on is
            // also reported by the power setting, which clears the same flag.
            if ((wParam & 0xFFF0) == SC_MONITORPOWER) {
                setAudienceAway(displayOff_, lParam == kMonitorOff);
            }
            break;
        case WM_POWERBROADCAST:
            if (wParam == PBT_POWERSETTINGCHANGE) {
                const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
                if (setting && IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) &&
                    setting->DataLength >= sizeof(DWORD)) {
                    DWORD state = 0;
                    std::memcpy(&state, setting->Data, sizeof(state));
                    setAudienceAway(displayOff_, state == 0);
                }
            }
            return TRUE;
        case kSessionChange:
            if (wParam == kSessionLock || wParam == kConsoleDisconnect ||
                wParam == kRemoteDisconnect) {
                setAudienceAway(sessionAway_, true);
            } else if (wParam == kSessionUnlock || wParam == kConsoleConnect ||
                       wParam == kRemoteConnect) {
                setAudienceAway(sessionAway_, false);
            }
            return 0;
        case WM_CLOSE:
            requestUnload();
            return 0;
        case WM_DESTROY:
            closed_ = true;
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace mirelune::windows
