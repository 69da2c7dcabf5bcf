// mirelune-probe: drives Mirelune.scr from inside Wine for tests/wine/wine_tests.py and reports
// what it sees as "key=value" lines on stdout (a key may repeat); exits 2 on a bad command line.
//   run <ms> <scr> [args]   start the saver with exactly these arguments and watch up to ms for
//                           its end and its windows; OK is pressed in a message box, and the
//                           configuration dialog is inspected and left open
//   preview <scr> <w> <h>   host a pane of w x h and run "/p <pane>" in it
//   inspect <title>         a top-level window's size, DPI, style, controls and focus
//   press-box <ms>          wait up to ms for a message box, report it and press OK
//   post <title> <message> <wparam> <lparam>
//                           post a message to the top-level window with that title, or to the
//                           full-screen saver's window when the title is "saver"
//   resize <w> <h>          size the full-screen saver's window
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <set>
#include <string>
#include <utility>

#include "wide_text.h"

namespace {

using mirelune::windows::narrow;

// One line of the report; control characters in texts become blanks, so a value is one line.
void say(const char* key, std::string value) {
    for (char& c : value)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    std::printf("%s=%s\n", key, value.c_str());
    std::fflush(stdout);
}

void say(const char* key, long long value) {
    say(key, std::to_string(value));
}

double nowMs() {
    return static_cast<double>(GetTickCount64());
}

// Starts scr with the command line "\"scr\" args" so that blanks inside args reach it unchanged.
// The saver gets no standard handles: it must not hold the probe's output pipe open.
PROCESS_INFORMATION launch(const std::wstring& scr, const std::wstring& args) {
    std::wstring commandLine = L"\"";
    commandLine.append(scr).append(L"\"").append(args.empty() ? L"" : L" ").append(args);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = INVALID_HANDLE_VALUE;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(scr.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        say("error", "CreateProcess failed");
        std::exit(1);
    }
    CloseHandle(info.hThread);
    return info;
}

bool alive(HANDLE process) {
    return WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

void finish(const PROCESS_INFORMATION& saver) {
    TerminateProcess(saver.hProcess, 1);
    WaitForSingleObject(saver.hProcess, 2000);
    CloseHandle(saver.hProcess);
}

// Dispatches this thread's messages until done() holds or timeoutMs passes; true when it held.
bool pumpUntil(const std::function<bool()>& done, double timeoutMs) {
    const double end = nowMs() + timeoutMs;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        if (nowMs() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void pumpFor(double ms) {
    pumpUntil([] { return false; }, ms);
}

std::wstring className(HWND window) {
    wchar_t name[256] = L"";
    return std::wstring(name, static_cast<std::size_t>(GetClassNameW(window, name, 256)));
}

// WM_GETTEXT with a timeout, so that a hung owner cannot block the probe.
std::string windowText(HWND window) {
    wchar_t text[1024] = L"";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 2000, &copied)) {
        return {};
    }
    return narrow(std::wstring_view(text, copied < 1024 ? copied : 1023));
}

std::string numbers(std::initializer_list<long long> values) {
    std::string out;
    for (const long long v : values)
        out.append(std::to_string(v)).append(" ");
    return out.substr(0, out.size() - 1);
}

// "x y w h" relative to the parent's client area (the screen for a top-level window).
std::string rectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) {
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    }
    return numbers({r.left, r.top, r.right - r.left, r.bottom - r.top});
}

long long handle(HWND window) {
    return static_cast<long long>(reinterpret_cast<std::uintptr_t>(window));
}

// Reports the static texts of a message box (dialog class "#32770") and presses its OK.
void pressMessageBox(HWND box) {
    pumpFor(100);
    HWND ok = nullptr;
    int buttons = 0;
    for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        const std::wstring kind = className(c);
        if (_wcsicmp(kind.c_str(), L"Static") == 0 && !windowText(c).empty())
            say("box_text", windowText(c));
        if (_wcsicmp(kind.c_str(), L"Button") == 0) {
            ++buttons;
            if (GetDlgCtrlID(c) == IDOK || ok == nullptr) ok = c;
        }
    }
    say("box_buttons", buttons);
    if (ok != nullptr) {
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ok), BN_CLICKED),
                     reinterpret_cast<LPARAM>(ok));
    }
}

// The visible top-level windows of a process.
std::set<HWND> windowsOf(DWORD pid) {
    std::pair<DWORD, std::set<HWND>> search{pid, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& [wanted, found] = *reinterpret_cast<decltype(search)*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == wanted && IsWindowVisible(window)) found.insert(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

long long query(HWND window, UINT message) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG, 2000, &result)) return -1;
    return static_cast<LONG>(result);
}

// The dialog and one "control=hwnd class top pos min max line page text" line per control
// (the slider numbers are 0 for other controls).
void inspect(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui);
    say("found", 1);
    say("rect", rectOf(window));
    say("dpi", GetDpiForWindow(window));
    say("client", numbers({client.right, client.bottom}));
    say("style", static_cast<long long>(GetWindowLongPtrW(window, GWL_STYLE)));
    say("exstyle", static_cast<long long>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    say("focus", handle(gui.hwndFocus));
    for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(c, &r);
        const bool slider = _wcsicmp(className(c).c_str(), TRACKBAR_CLASSW) == 0;
        const auto slid = [&](UINT message) { return slider ? query(c, message) : 0; };
        say("control",
            numbers({handle(c)}) + " " + narrow(className(c)) + " " +
                numbers({r.top, slid(TBM_GETPOS), slid(TBM_GETRANGEMIN), slid(TBM_GETRANGEMAX),
                         slid(TBM_GETLINESIZE), slid(TBM_GETPAGESIZE)}) +
                " " + windowText(c));
    }
}

// Starts the saver and watches it for up to ms: whether and when it ends, and every visible
// top-level window it shows meanwhile ("window=class x y w h"). OK is pressed in the first
// message box it shows; the configuration dialog is reported and left open.
int cmdRun(double ms, const std::wstring& scr, const std::wstring& args) {
    const PROCESS_INFORMATION saver = launch(scr, args);
    std::set<HWND> seen;
    double pressedAt = -1;
    HWND dialog = nullptr;
    const bool ended = pumpUntil(
        [&] {
            for (const HWND window : windowsOf(saver.dwProcessId)) {
                if (!seen.insert(window).second) continue;
                say("window", narrow(className(window)) + " " + rectOf(window));
                if (windowText(window) == "Mirelune Configuration") dialog = window;
                if (pressedAt < 0 && className(window) == L"#32770") {
                    pressMessageBox(window);
                    pressedAt = nowMs();
                }
            }
            return dialog != nullptr || !alive(saver.hProcess);
        },
        ms);
    if (dialog != nullptr) {
        pumpFor(300);  // let the dialog finish its first layout and label texts
        inspect(dialog);
        CloseHandle(saver.hProcess);
        return 0;
    }
    say("exited", ended);
    if (ended && pressedAt >= 0) say("ms_after_box", static_cast<long long>(nowMs() - pressedAt));
    finish(saver);
    return 0;
}

HWND createWindow(DWORD style, int x, int y, int w, int h, HWND parent) {
    return CreateWindowExW(0, L"STATIC", L"", style, x, y, w, h, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// Hosts a pane the way the display settings do and runs the saver's preview in it: the child
// window it makes, input posted to that child, and the pane's end. What the child paints cannot
// be seen: Wine draws a child window whose parent belongs to another process nowhere on screen.
int cmdPreview(const std::wstring& scr, int width, int height) {
    const HWND host = createWindow(WS_POPUP | WS_BORDER | WS_CLIPCHILDREN | WS_VISIBLE, 40, 40,
                                   width + 300, height + 300, nullptr);
    const HWND pane =
        createWindow(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, width, height, host);
    pumpFor(100);
    const PROCESS_INFORMATION saver = launch(scr, L"/p " + std::to_wstring(handle(pane)));
    HWND child = nullptr;
    const bool appeared = pumpUntil(
        [&] {
            child = GetWindow(pane, GW_CHILD);
            return (child != nullptr && IsWindowVisible(child)) || !alive(saver.hProcess);
        },
        5000);
    say("found", appeared && child != nullptr);
    if (!appeared || child == nullptr) {
        finish(saver);
        return 0;
    }
    pumpFor(300);
    child = GetWindow(pane, GW_CHILD);
    DWORD childPid = 0;
    GetWindowThreadProcessId(child, &childPid);
    RECT client{};
    GetClientRect(child, &client);
    // One visible child window of the saver's own process, made with WS_CHILD in the pane.
    say("child", GetWindow(child, GW_HWNDNEXT) == nullptr && childPid == saver.dwProcessId &&
                     (GetWindowLongPtrW(child, GWL_STYLE) & WS_CHILD) != 0 &&
                     GetParent(child) == pane && IsWindowVisible(child) != FALSE);
    say("place", rectOf(child));
    say("client", numbers({client.right, client.bottom}));

    // Input of every kind the full-screen saver reacts to; the preview must ignore it all.
    for (const auto& [message, w] : {std::pair<UINT, WPARAM>{WM_KEYDOWN, VK_SPACE},
                                     {WM_CHAR, L' '},
                                     {WM_LBUTTONDOWN, MK_LBUTTON},
                                     {WM_LBUTTONDBLCLK, MK_LBUTTON}})
        PostMessageW(child, message, w, MAKELPARAM(10, 10));
    for (int i = 0; i < 20; ++i) {
        PostMessageW(child, WM_MOUSEMOVE, 0, MAKELPARAM((i * 7) % width, (i * 5) % height));
        pumpFor(5);
    }
    pumpFor(1000);
    say("alive_after_input", alive(saver.hProcess));

    // The display settings close the preview by destroying the pane.
    const double destroyedAt = nowMs();
    DestroyWindow(pane);
    if (pumpUntil([&] { return !alive(saver.hProcess); }, 5000))
        say("ms_after_destroy", static_cast<long long>(nowMs() - destroyedAt));
    finish(saver);
    DestroyWindow(host);
    return 0;
}

int run(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const auto number = [&](int i) { return i < argc ? std::wcstol(argv[i], nullptr, 10) : 0; };
    const auto text = [&](int i) { return std::wstring(i < argc ? argv[i] : L""); };
    const HWND saver = FindWindowW(L"MireluneFract", nullptr);
    if (command == L"run" && argc >= 4) return cmdRun(number(2), argv[3], text(4));
    if (command == L"preview" && argc == 5) return cmdPreview(argv[2], number(3), number(4));
    if (command == L"inspect" && argc == 3) {
        const HWND window = FindWindowW(nullptr, argv[2]);
        window ? inspect(window) : say("found", 0);
        return 0;
    }
    if (command == L"press-box" && argc == 3) {
        HWND box = nullptr;
        const double start = nowMs();
        while (!(box = FindWindowW(L"#32770", nullptr)) && nowMs() < start + number(2))
            Sleep(10);
        say("found", box != nullptr);
        if (box) pressMessageBox(box);
        return 0;
    }
    if (command == L"post" && argc == 6) {
        const HWND window = text(2) == L"saver" ? saver : FindWindowW(nullptr, argv[2]);
        if (window) PostMessageW(window, number(3), number(4), number(5));
        say("found", window != nullptr);
        return 0;
    }
    if (command == L"resize" && argc == 4 && saver) {
        SetWindowPos(saver, nullptr, 0, 0, number(2), number(3), SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    say("error", "bad command line or no saver");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    return run(argc, argv);
}
