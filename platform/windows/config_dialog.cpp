// The window is an ordinary top-level one rather than a dialog box, so that it can be resized,
// minimised and shown in the task bar; the dialog manager is borrowed for keyboard
// navigation only. What the labels show comes from the portable dialog model, and OK saves
// through the portable saveSettings, which is where those rules are tested.
#include "config_dialog.h"

#include <commctrl.h>

#include <array>
#include <cwchar>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "resources/resource_ids.h"
#include "settings/config_dialog_model.h"
#include "settings/settings_file.h"
#include "twips.h"
#include "wide_text.h"
#include "window_class.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace mirelune::windows {
namespace {

constexpr wchar_t kClassName[] = L"MireluneConfiguration";
constexpr wchar_t kCaption[] = L"Mirelune Configuration";
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kWindowExStyle = WS_EX_APPWINDOW;
constexpr int kClientWidthTwips = 4680;
constexpr int kClientHeightTwips = 3270;

// The ids keep clear of IDOK and IDCANCEL, which the dialog manager sends for Enter and Esc
// wherever the focus is: neither key may press a button through them.
enum ControlId : int {
    kSectorsSliderId = 100,
    kSpeedSliderId,
    kDelaySliderId,
    kSectorsValueId,
    kSpeedValueId,
    kDelayValueId,
    kSectorsCaptionId,
    kSpeedCaptionId,
    kDelayCaptionId,
    kOkId,
    kCancelId,
};

enum class Kind { label, slider, button };

struct ControlLayout {
    int id;
    Kind kind;
    const wchar_t* text;
    DWORD style;
    int left, top, width, height;  // twips in the client area
};

// Creation order is the order Tab visits, so the delay slider comes last although it stands
// between the other two. The speed caption starts left of the client area; being
// right-aligned, its word stays in view.
constexpr std::array<ControlLayout, 11> kControls{{
    {kSectorsSliderId, Kind::slider, L"", 0, 1080, 240, 2775, 615},
    {kSectorsCaptionId, Kind::label, L"Sectors", SS_RIGHT, 0, 360, 975, 375},
    {kSpeedSliderId, Kind::slider, L"", 0, 1080, 1680, 2775, 615},
    {kSpeedCaptionId, Kind::label, L"Speed", SS_RIGHT, -120, 1800, 1095, 375},
    {kOkId, Kind::button, L"O&K", 0, 3240, 2640, 1215, 495},
    {kCancelId, Kind::button, L"&Cancel", 0, 240, 2640, 1215, 495},
    {kSectorsValueId, Kind::label, L"", SS_LEFT | SS_NOPREFIX, 3960, 360, 1215, 255},
    {kSpeedValueId, Kind::label, L"", SS_CENTER | SS_NOPREFIX, 840, 2280, 3015, 255},
    {kDelaySliderId, Kind::slider, L"", 0, 1080, 960, 2775, 615},
    {kDelayCaptionId, Kind::label, L"Delay", SS_RIGHT, 0, 1080, 975, 375},
    {kDelayValueId, Kind::label, L"", SS_LEFT | SS_NOPREFIX, 3960, 1200, 615, 375},
}};

// Each slider with the label that shows its value and the setting it moves.
struct SliderBinding {
    int sliderId;
    int valueId;
    ConfigDialogModel::Slider slider;
};

constexpr std::array<SliderBinding, 3> kSliders{{
    {kSectorsSliderId, kSectorsValueId, ConfigDialogModel::Slider::sectors},
    {kSpeedSliderId, kSpeedValueId, ConfigDialogModel::Slider::speed},
    {kDelaySliderId, kDelayValueId, ConfigDialogModel::Slider::delay},
}};

const SliderBinding* sliderBinding(int sliderId) {
    for (const SliderBinding& binding : kSliders) {
        if (binding.sliderId == sliderId) {
            return &binding;
        }
    }
    return nullptr;
}

struct DialogState {
    DialogState(const SettingsLocation& where, const Settings& stored, std::string separator)
        : location(where), model(stored), decimalSeparator(std::move(separator)) {}

    SettingsLocation location;
    ConfigDialogModel model;
    std::string decimalSeparator;
    HWND window = nullptr;
    HWND lastFocus = nullptr;  // given back when the window is activated again
    HFONT font = nullptr;
    bool ownsFont = false;
    // Until the window exists the creator owns this state; a window that could not be
    // completed must not end the process's message loop, which the caller still needs for
    // its failure message.
    bool ownedByWindow = false;
    bool quitOnDestroy = false;
};

DialogState* stateOf(HWND window) {
    return reinterpret_cast<DialogState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

std::string userDecimalSeparator() {
    wchar_t buffer[8] = {};
    const int length =
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buffer, std::size(buffer));
    if (length <= 1) {
        return ".";
    }
    return narrow(std::wstring_view(buffer, static_cast<std::size_t>(length - 1)));
}

void showValue(const DialogState& state, const SliderBinding& binding) {
    SetDlgItemTextW(state.window, binding.valueId,
                    widen(state.model.label(binding.slider, state.decimalSeparator)).c_str());
}

void onSliderMoved(DialogState& state, HWND slider) {
    const SliderBinding* binding = sliderBinding(GetDlgCtrlID(slider));
    if (binding == nullptr) {
        return;
    }
    state.model.move(binding->slider,
                     static_cast<std::int32_t>(SendMessageW(slider, TBM_GETPOS, 0, 0)));
    showValue(state, *binding);
}

// Places every control for `dpi` and gives it the dialog font at that size.
void applyDpi(DialogState& state, Dpi dpi) {
    HFONT font = createMessageFont(dpi.y);
    const bool ownsFont = font != nullptr;
    if (!ownsFont) {
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    for (const ControlLayout& layout : kControls) {
        const HWND control = GetDlgItem(state.window, layout.id);
        SetWindowPos(control, nullptr, twipsToPixels(layout.left, dpi.x),
                     twipsToPixels(layout.top, dpi.y), twipsToPixels(layout.width, dpi.x),
                     twipsToPixels(layout.height, dpi.y), SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (state.ownsFont) {
        DeleteObject(state.font);
    }
    state.font = font;
    state.ownsFont = ownsFont;
}

HWND createControl(const DialogState& state, HINSTANCE instance, const ControlLayout& layout) {
    const wchar_t* windowClass = WC_STATICW;
    DWORD style = WS_CHILD | WS_VISIBLE | layout.style;
    switch (layout.kind) {
        case Kind::label:
            break;
        case Kind::slider:
            windowClass = TRACKBAR_CLASSW;
            style |= WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS;
            break;
        case Kind::button:
            // Never BS_DEFPUSHBUTTON: Enter presses a button only while it has the focus.
            windowClass = WC_BUTTONW;
            style |= WS_TABSTOP | BS_PUSHBUTTON;
            break;
    }
    return CreateWindowExW(0, windowClass, layout.text, style, 0, 0, 0, 0, state.window,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance,
                           nullptr);
}

// Sizes the window for its client area and creates the controls with the stored settings and
// their labels' texts. The first slider is where the focus goes once the window is activated.
bool populate(DialogState& state, HINSTANCE instance) {
    const Dpi dpi = windowDpi(state.window);
    const RECT frame = windowRectForClient(twipsToPixels(kClientWidthTwips, dpi.x),
                                           twipsToPixels(kClientHeightTwips, dpi.y), kWindowStyle,
                                           kWindowExStyle, dpi.y);
    SetWindowPos(state.window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    for (const ControlLayout& layout : kControls) {
        const HWND control = createControl(state, instance, layout);
        if (control == nullptr) {
            return false;
        }
        if (const SliderBinding* binding = sliderBinding(layout.id)) {
            const SliderConfig& range = ConfigDialogModel::range(binding->slider);
            SendMessageW(control, TBM_SETRANGEMIN, FALSE, range.min);
            SendMessageW(control, TBM_SETRANGEMAX, FALSE, range.max);
            SendMessageW(control, TBM_SETLINESIZE, 0, range.smallChange);
            SendMessageW(control, TBM_SETPAGESIZE, 0, range.largeChange);
            SendMessageW(control, TBM_SETTICFREQ, static_cast<WPARAM>(range.largeChange), 0);
            SendMessageW(control, TBM_SETPOS, TRUE, state.model.position(binding->slider));
        }
    }
    // Setting a position sends no notification, so the labels are filled here rather than
    // waiting for the first move.
    for (const SliderBinding& binding : kSliders) {
        showValue(state, binding);
    }
    applyDpi(state, dpi);
    state.lastFocus = GetDlgItem(state.window, kSectorsSliderId);
    return true;
}

void pressOk(DialogState& state) {
    bool saved = false;
    try {
        saved =
            saveSettings(state.location.readFile, state.location.writeFile, state.model.positions())
                .ok;
    } catch (const std::exception&) {
        saved = false;
    }
    if (saved) {
        DestroyWindow(state.window);
        return;
    }
    // The dialog stays open so that the user can try again or cancel.
    std::wstring text = L"The settings could not be saved to the file\n";
    try {
        text += state.location.writeFile.wstring();
    } catch (const std::exception&) {
    }
    MessageBoxW(state.window, text.c_str(), kCaption, MB_OK | MB_ICONERROR);
}

LRESULT onDpiChanged(DialogState& state, WPARAM wParam, LPARAM lParam) {
    const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(state.window, nullptr, suggested.left, suggested.top,
                 suggested.right - suggested.left, suggested.bottom - suggested.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    applyDpi(state, {LOWORD(wParam), HIWORD(wParam)});
    return 0;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* state =
            static_cast<DialogState*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        state->window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
        return DefWindowProcW(window, message, wParam, lParam);
    }
    DialogState* state = stateOf(window);
    if (state == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_HSCROLL:
            if (lParam != 0) {
                onSliderMoved(*state, reinterpret_cast<HWND>(lParam));
            }
            return 0;
        case WM_COMMAND:
            // IDOK and IDCANCEL from Enter and Esc end here too, and do nothing.
            if (HIWORD(wParam) == BN_CLICKED) {
                if (LOWORD(wParam) == kOkId) {
                    pressOk(*state);
                } else if (LOWORD(wParam) == kCancelId) {
                    DestroyWindow(window);
                }
            }
            return 0;
        case DM_GETDEFID:
            return 0;  // no default button
        case DM_SETDEFID:
            return FALSE;  // and none may be made one
        case WM_NEXTDLGCTL: {
            // Sent by the dialog manager on some systems for Tab; a dialog box would do this.
            const HWND focus = GetFocus();
            const HWND from = IsChild(window, focus) ? focus : nullptr;
            const HWND target = LOWORD(lParam) != 0 ? reinterpret_cast<HWND>(wParam)
                                                    : GetNextDlgTabItem(window, from, wParam != 0);
            if (target != nullptr) {
                SetFocus(target);
            }
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus != nullptr && IsChild(window, focus)) {
                    state->lastFocus = focus;
                }
            }
            break;
        case WM_SETFOCUS:
            if (state->lastFocus != nullptr && IsWindow(state->lastFocus)) {
                SetFocus(state->lastFocus);
            }
            return 0;
        case WM_DPICHANGED:
            return onDpiChanged(*state, wParam, lParam);
        case WM_DESTROY:
            if (state->quitOnDestroy) {
                PostQuitMessage(0);
            }
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            if (state->ownsFont) {
                DeleteObject(state->font);
            }
            if (state->ownedByWindow) {
                delete state;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool registerDialogClass(HINSTANCE instance) {
    // The icon is null in a module without it; the system then shows its default one.
    return registerWindowClass(instance,
                               {.name = kClassName,
                                .procedure = windowProc,
                                .background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                                .cursor = LoadCursorW(nullptr, IDC_ARROW),
                                .icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_MIRELUNE))});
}

bool isConfigWindow(HWND window) {
    wchar_t name[std::size(kClassName) + 1] = {};
    return GetClassNameW(window, name, static_cast<int>(std::size(name))) > 0 &&
           std::wcscmp(name, kClassName) == 0;
}

HWND createDialog(HINSTANCE instance, const SettingsLocation& location) {
    INITCOMMONCONTROLSEX commonControls{sizeof commonControls, ICC_BAR_CLASSES};
    if (!InitCommonControlsEx(&commonControls) || !registerDialogClass(instance)) {
        return nullptr;
    }
    auto state = std::make_unique<DialogState>(location, loadSettings(location.readFile),
                                               userDecimalSeparator());
    const HWND window = CreateWindowExW(kWindowExStyle, kClassName, kCaption, kWindowStyle,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                        nullptr, nullptr, instance, state.get());
    if (window == nullptr) {
        return nullptr;
    }
    DialogState& owned = *state.release();
    owned.ownedByWindow = true;
    bool complete = false;
    try {
        complete = populate(owned, instance);
    } catch (const std::exception&) {
        complete = false;
    }
    if (!complete) {
        DestroyWindow(window);
        return nullptr;
    }
    owned.quitOnDestroy = true;
    ShowWindow(window, SW_SHOWDEFAULT);
    UpdateWindow(window);
    return window;
}

}  // namespace

bool openConfigDialog(HINSTANCE instance, const SettingsLocation& location) {
    try {
        return createDialog(instance, location) != nullptr;
    } catch (const std::exception&) {
        return false;
    }
}

bool configDialogMessage(MSG& msg) {
    if (msg.hwnd == nullptr) {
        return false;
    }
    const HWND window = GetAncestor(msg.hwnd, GA_ROOT);
    if (window == nullptr || !isConfigWindow(window)) {
        return false;
    }
    switch (msg.message) {
        case WM_KEYDOWN:
            // Enter presses the focused button and nothing else; left to the dialog manager,
            // it would press the default button, or send IDOK.
            if (msg.wParam == VK_RETURN) {
                const HWND focus = GetFocus();
                const int id =
                    focus != nullptr && GetParent(focus) == window ? GetDlgCtrlID(focus) : 0;
                if (id == kOkId || id == kCancelId) {
                    SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(focus));
                }
                return true;
            }
            break;
        case WM_CHAR:
            // In a dialog box a plain letter presses the button whose access key it is; here
            // only Alt with the letter does, so a stray K cannot save the settings.
            return false;
        default:
            break;
    }
    return IsDialogMessageW(window, &msg) != FALSE;
}

}  // namespace mirelune::windows
