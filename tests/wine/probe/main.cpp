// mirelune-probe: reads and drives Mirelune.scr's windows from inside Wine for
// tests/wine/wine_tests.py, answering in "key=value" lines on stdout (a key may repeat).
//   run <ms> <scr> <args>   run the saver with exactly these arguments, watching its windows
//   preview <scr> <w> <h>   host a pane of w x h, run "/p <pane>" in it, then destroy the pane
//   inspect <title>         a top-level window's DPI, client size and controls
//   press-box <ms>          wait up to ms for a message box, report its texts and press OK
//   post <title> <message> <wparam> <lparam>
//                           post a message to the window with that title ("saver": full screen)
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

// Control characters in texts become blanks, so that a value stays on its line.
void say(const char* key, std::string value) {
    for (char& c : value)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    std::printf("%s=%s\n", key, value.c_str());
    std::fflush(stdout);
}

double nowMs() {
    return static_cast<double>(GetTickCount64());
}

bool alive(HANDLE process) {
    return WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
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

// GetWindowText reads no control of another process; WM_GETTEXT does.
std::string windowText(HWND window) {
    wchar_t text[1024] = L"";
    const LRESULT copied = SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return narrow(std::wstring_view(text, static_cast<std::size_t>(copied)));
}

std::string pair(long long a, long long b) {
    return std::to_string(a) + " " + std::to_string(b);
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
    say("box_buttons", std::to_string(buttons));
    if (ok != nullptr) {
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ok), BN_CLICKED),
                     reinterpret_cast<LPARAM>(ok));
    }
}

// The window's DPI and client size, and one "control=class position text" line per control in
// creation order (the position is a slider's, 0 for other controls).
void inspect(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    say("dpi", std::to_string(GetDpiForWindow(window)));
    say("client", pair(client.right, client.bottom));
    for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        const bool slider = _wcsicmp(className(c).c_str(), TRACKBAR_CLASSW) == 0;
        const LRESULT position = slider ? SendMessageW(c, TBM_GETPOS, 0, 0) : 0;
        say("control", narrow(className(c)) + " " + std::to_string(position) + " " + windowText(c));
    }
}

// Starts scr with the command line "\"scr\" args", so that blanks inside args reach it unchanged.
// The saver gets no standard handles: it must not hold the probe's output pipe open.
PROCESS_INFORMATION launch(const std::wstring& scr, const std::wstring& args) {
    std::wstring commandLine = L"\"" + scr + L"\" " + args;
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
    return info;
}

void finish(const PROCESS_INFORMATION& saver) {
    TerminateProcess(saver.hProcess, 1);
    WaitForSingleObject(saver.hProcess, 2000);
}

// Runs the saver for up to ms: whether it ends ("ended=1"), and the class of every visible
// top-level window it shows meanwhile; OK is pressed in the first message box.
int cmdRun(double ms, const std::wstring& scr, const std::wstring& args) {
    PROCESS_INFORMATION saver = launch(scr, args);
    std::pair<DWORD, std::set<HWND>> watched{saver.dwProcessId, {}};
    const bool ended = pumpUntil(
        [&] {
            EnumWindows(
                [](HWND window, LPARAM context) -> BOOL {
                    auto& [pid, seen] = *reinterpret_cast<decltype(watched)*>(context);
                    DWORD owner = 0;
                    GetWindowThreadProcessId(window, &owner);
                    if (owner == pid && IsWindowVisible(window) && seen.insert(window).second) {
                        say("window", narrow(className(window)));
                        if (className(window) == L"#32770") pressMessageBox(window);
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&watched));
            return !alive(saver.hProcess);
        },
        ms);
    say("ended", std::to_string(ended));
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
    const PROCESS_INFORMATION saver =
        launch(scr, L"/p " + std::to_wstring(reinterpret_cast<std::uintptr_t>(pane)));
    pumpUntil([&] { return IsWindowVisible(GetWindow(pane, GW_CHILD)) || !alive(saver.hProcess); },
              5000);
    pumpFor(300);
    const HWND child = GetWindow(pane, GW_CHILD);
    DWORD childPid = 0;
    GetWindowThreadProcessId(child, &childPid);
    RECT place{}, client{};
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, pane, reinterpret_cast<POINT*>(&place), 2);
    GetClientRect(child, &client);
    // One visible child window of the saver's own process, made with WS_CHILD in the pane.
    const bool one = GetWindow(child, GW_HWNDNEXT) == nullptr && childPid == saver.dwProcessId &&
                     (GetWindowLongPtrW(child, GWL_STYLE) & WS_CHILD) != 0 &&
                     GetParent(child) == pane && IsWindowVisible(child) != FALSE;
    say("child", std::to_string(one) + " " + pair(place.left, place.top) + " " +
                     pair(client.right, client.bottom));

    // Input of every kind the full-screen saver reacts to; the preview must ignore it all.
    for (const auto& [message, w] : {std::pair<UINT, WPARAM>{WM_KEYDOWN, VK_SPACE},
                                     {WM_CHAR, L' '},
                                     {WM_LBUTTONUP, 0},
                                     {WM_LBUTTONDBLCLK, MK_LBUTTON}})
        PostMessageW(child, message, w, MAKELPARAM(10, 10));
    for (int i = 0; i < 20; ++i) {
        PostMessageW(child, WM_MOUSEMOVE, 0, MAKELPARAM((i * 7) % width, (i * 5) % height));
        pumpFor(5);
    }
    pumpFor(1000);
    say("alive_after_input", std::to_string(alive(saver.hProcess)));

    // The display settings close the preview by destroying the pane.
    const double destroyedAt = nowMs();
    DestroyWindow(pane);
    if (pumpUntil([&] { return !alive(saver.hProcess); }, 5000))
        say("ms_after_destroy", std::to_string(static_cast<long long>(nowMs() - destroyedAt)));
    finish(saver);
    DestroyWindow(host);
    return 0;
}

int run(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const auto number = [&](int i) { return std::wcstol(argv[i], nullptr, 10); };
    const HWND saver = FindWindowW(L"MireluneFract", nullptr);
    if (command == L"run" && argc == 5) return cmdRun(number(2), argv[3], std::wstring(argv[4]));
    if (command == L"preview" && argc == 5) return cmdPreview(argv[2], number(3), number(4));
    if (command == L"inspect" && argc == 3) {
        const HWND window = FindWindowW(nullptr, argv[2]);
        if (window) inspect(window);
        return 0;
    }
    if (command == L"press-box" && argc == 3) {
        HWND box = nullptr;
        const double start = nowMs();
        while (!(box = FindWindowW(L"#32770", nullptr)) && nowMs() < start + number(2))
            Sleep(10);
        if (box) pressMessageBox(box);
        return 0;
    }
    if (command == L"post" && argc == 6) {
        const HWND window =
            std::wstring(argv[2]) == L"saver" ? saver : FindWindowW(nullptr, argv[2]);
        if (window) PostMessageW(window, number(3), number(4), number(5));
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
