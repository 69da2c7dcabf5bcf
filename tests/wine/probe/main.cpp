// mirelune-probe: reads and drives Mirelune.scr's windows from inside Wine for wine_tests.py,
// answering in "key=value" lines on stdout (a key may repeat); run() reads its commands.
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

bool alive(HANDLE process) {
    return WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

// Dispatches this thread's messages until done() holds or timeoutMs passes; true when it held.
bool pumpUntil(const std::function<bool()>& done, ULONGLONG timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void pumpFor(ULONGLONG ms) {
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

// "client=DPI width height", then the controls in creation order: a "slider=position" line for
// each slider, a "label=text" line for every other control.
void inspect(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    std::printf("client=%u %ld %ld\n", GetDpiForWindow(window), client.right, client.bottom);
    for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        if (_wcsicmp(className(c).c_str(), TRACKBAR_CLASSW) == 0)
            say("slider", std::to_string(SendMessageW(c, TBM_GETPOS, 0, 0)));
        else
            say("label", windowText(c));
    }
}

// Inspects a message box (dialog class "#32770") and presses its OK.
void pressMessageBox(HWND box) {
    pumpFor(100);
    inspect(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
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
int cmdRun(ULONGLONG ms, const std::wstring& scr, const std::wstring& args) {
    const PROCESS_INFORMATION saver = launch(scr, args);
    std::set<HWND> seen;
    const auto watch = [&] {
        for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == saver.dwProcessId && IsWindowVisible(w) && seen.insert(w).second) {
                say("window", narrow(className(w)));
                if (className(w) == L"#32770") pressMessageBox(w);
            }
        }
        return !alive(saver.hProcess);
    };
    say("ended", std::to_string(pumpUntil(watch, ms)));
    finish(saver);
    return 0;
}

// Hosts a pane the way the display settings do and runs the saver's preview in it: the child
// window it makes, input posted to it and the pane's end. Wine shows nothing the child paints.
int cmdPreview(const std::wstring& scr, int width, int height) {
    const DWORD hostStyle = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN | WS_VISIBLE;
    const HWND host = CreateWindowExW(0, L"STATIC", L"", hostStyle, 40, 40, width + 300,
                                      height + 300, nullptr, nullptr, nullptr, nullptr);
    const HWND pane = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                      20, 20, width, height, host, nullptr, nullptr, nullptr);
    pumpFor(100);
    const PROCESS_INFORMATION saver =
        launch(scr, L"/p " + std::to_wstring(reinterpret_cast<std::uintptr_t>(pane)));
    pumpUntil([&] { return IsWindowVisible(GetWindow(pane, GW_CHILD)) || !alive(saver.hProcess); },
              5000);
    pumpFor(300);
    const HWND child = GetWindow(pane, GW_CHILD);
    DWORD childPid = 0;
    GetWindowThreadProcessId(child, &childPid);
    RECT client{};  // in the pane's coordinates
    GetClientRect(child, &client);
    MapWindowPoints(child, pane, reinterpret_cast<POINT*>(&client), 2);
    // One visible child window of the saver's own process, made with WS_CHILD in the pane.
    const bool one = GetWindow(child, GW_HWNDNEXT) == nullptr && childPid == saver.dwProcessId &&
                     (GetWindowLongPtrW(child, GWL_STYLE) & WS_CHILD) != 0 &&
                     GetParent(child) == pane && IsWindowVisible(child) != FALSE;
    std::printf("child=%d %ld %ld %ld %ld\n", one, client.left, client.top, client.right,
                client.bottom);

    // Input of every kind the full-screen saver reacts to; the preview must ignore it all.
    const std::pair<UINT, WPARAM> input[] = {
        {WM_KEYDOWN, VK_SPACE}, {WM_CHAR, L' '}, {WM_LBUTTONUP, 0}, {WM_LBUTTONDBLCLK, MK_LBUTTON}};
    for (const auto& [message, w] : input)
        PostMessageW(child, message, w, MAKELPARAM(10, 10));
    for (int i = 0; i < 20; ++i) {
        PostMessageW(child, WM_MOUSEMOVE, 0, MAKELPARAM((i * 7) % width, (i * 5) % height));
        pumpFor(5);
    }
    pumpFor(1000);
    say("alive_after_input", std::to_string(alive(saver.hProcess)));

    // The display settings close the preview by destroying the pane.
    const ULONGLONG destroyedAt = GetTickCount64();
    DestroyWindow(pane);
    if (pumpUntil([&] { return !alive(saver.hProcess); }, 5000))
        say("ms_after_destroy", std::to_string(GetTickCount64() - destroyedAt));
    finish(saver);
    DestroyWindow(host);
    return 0;
}

int run(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const auto number = [&](int i) { return std::wcstol(argv[i], nullptr, 10); };
    const auto window = [&](const wchar_t* title) {
        return std::wstring(title) == L"saver" ? FindWindowW(L"MireluneFract", nullptr)
                                               : FindWindowW(nullptr, title);
    };
    if (command == L"run" && argc == 5) return cmdRun(number(2), argv[3], std::wstring(argv[4]));
    if (command == L"preview" && argc == 5) return cmdPreview(argv[2], number(3), number(4));
    HWND found = nullptr;
    if (command == L"inspect" && argc == 3) {
        if ((found = window(argv[2]))) inspect(found);
    } else if (command == L"press-box" && argc == 3) {  // waits up to ms for a message box
        const auto box = [&] { return (found = FindWindowW(L"#32770", nullptr)) != nullptr; };
        if (pumpUntil(box, number(2))) pressMessageBox(found);
    } else if (command == L"post" && argc == 6) {  // title ("saver": full screen), message, params
        PostMessageW(window(argv[2]), number(3), number(4), number(5));
    } else if (command == L"resize" && argc == 4 && (found = window(L"saver"))) {
        SetWindowPos(found, nullptr, 0, 0, number(2), number(3), SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        say("error", "bad command line or no saver");
        return 2;
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    return run(argc, argv);
}
