// mirelune-probe: drives Mirelune.scr from inside Wine and reports what it sees, one JSON object
// per line on stdout. Exits 0 when it could do its job (whatever it saw), 1 when the probe itself
// failed, 2 on a bad command line. Usage:
//   start <scr> [args]                  start the saver with exactly these arguments; print pid
//   run <ms> <scr> [args]               start it and watch up to ms for its end and its windows
//   preview <scr> <w> <h>               host a pane of w x h and run "/p <pane>" in it
//   preview-bad-handle <scr>            run "/p 999999", a handle that names no window
//   dialog <scr>                        start "/c" and inspect the configuration window
//   inspect <title>                     inspect a top-level window: size, DPI, controls, focus
//   focus <title>                       the focused control of the window with that title
//   wait-exit <pid> <ms>                wait up to ms for a process to end
//   first-row <scr> <x> <y> [<w> <h>]   start "/s"; ms until the screen rectangle is not black
//   message-box <pid> <ms> [leave]      find a message box of pid, report it and press OK
//   run-box <ms> <scr> [args]           start it, press OK in its message box, wait for its end
//   close <title>                       send WM_CLOSE to the top-level window with that title
//   windows <pid>                       the visible top-level windows of a process
//   move-counter <ms>                   a full-screen window that counts the input it receives
#include <windows.h>

#include <commctrl.h>

#include <cwchar>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "json_line.h"
#include "win_util.h"

namespace probe {
namespace {

constexpr wchar_t kHostClass[] = L"MireluneProbeHost";
constexpr wchar_t kPaneClass[] = L"MireluneProbePane";
constexpr wchar_t kCounterClass[] = L"MireluneProbeCounter";
constexpr wchar_t kDialogTitle[] = L"Mirelune Configuration";

std::optional<long long> number(const wchar_t* text) {
    if (text == nullptr || *text == L'\0') return std::nullopt;
    wchar_t* end = nullptr;
    const long long value = std::wcstoll(text, &end, 10);
    if (*end != L'\0') return std::nullopt;
    return value;
}

int usage(const wchar_t* why) {
    JsonObject().add("error", std::wstring(L"bad command line: ") + why).print();
    return 2;
}

int probeFailure(const std::wstring& why) {
    JsonObject().add("error", why).add("last_error", GetLastError()).print();
    return 1;
}

void registerClass(const wchar_t* name, WNDPROC procedure, int brush) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(brush);
    windowClass.lpszClassName = name;
    windowClass.style = CS_DBLCLKS;
    RegisterClassW(&windowClass);
}

JsonObject windowList(const std::vector<HWND>& windows) {
    std::vector<JsonObject> items;
    for (const HWND window : windows)
        items.push_back(describeWindow(window));
    return JsonObject().add("windows", items);
}

std::string stringList(const std::vector<std::wstring>& texts) {
    std::string list = "[";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i != 0) list += ",";
        list += jsonString(utf8(texts[i]));
    }
    return list + "]";
}

void finish(Launched& launched, JsonObject& json) {
    if (alive(launched.process)) {
        TerminateProcess(launched.process, 1);
        WaitForSingleObject(launched.process, 2000);
        json.add("terminated", true);
    }
    CloseHandle(launched.process);
}

// ---- start, run, wait-exit, windows ----

int cmdStart(const std::wstring& scr, const std::wstring& args) {
    auto launched = launch(scr, args);
    if (!launched) return probeFailure(L"CreateProcess failed for " + scr);
    JsonObject().add("pid", launched->pid).print();
    CloseHandle(launched->process);
    return 0;
}

// Starts the saver and watches it for up to ms: whether and when it ends, and every visible
// top-level window it shows meanwhile. A saver still running at the end is terminated.
int cmdRun(long long ms, const std::wstring& scr, const std::wstring& args) {
    auto launched = launch(scr, args);
    if (!launched) return probeFailure(L"CreateProcess failed for " + scr);
    std::map<HWND, JsonObject> seen;
    const bool ended = pumpUntil(
        [&] {
            for (const HWND window : topLevelWindows(launched->pid, true)) {
                if (!seen.contains(window)) seen.emplace(window, describeWindow(window));
            }
            return !alive(launched->process);
        },
        static_cast<double>(ms), 5);
    JsonObject json;
    json.add("pid", launched->pid).add("exited", ended);
    if (ended) {
        json.add("ms", nowMs() - launched->startedMs)
            .add("exit_code", static_cast<long long>(exitCode(launched->process).value_or(0)));
    }
    std::vector<JsonObject> windows;
    for (const auto& [window, description] : seen)
        windows.push_back(description);
    json.add("windows", windows);
    finish(*launched, json);
    json.print();
    return 0;
}

int cmdWaitExit(DWORD pid, long long ms) {
    const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    JsonObject json;
    json.add("pid", pid);
    if (process == nullptr) {
        json.add("exited", true).add("opened", false).add("ms", 0.0).print();
        return 0;
    }
    const double start = nowMs();
    const bool ended = WaitForSingleObject(process, static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
    json.add("exited", ended).add("opened", true);
    if (ended) {
        json.add("ms", nowMs() - start)
            .add("exit_code", static_cast<long long>(exitCode(process).value_or(0)));
    }
    CloseHandle(process);
    json.print();
    return 0;
}

int cmdWindows(DWORD pid) {
    windowList(topLevelWindows(pid, true)).add("pid", pid).print();
    return 0;
}

// ---- preview ----

// Hosts a pane the way the display settings do and runs the saver's preview in it: the child
// window it makes, input posted to that child, a resize of the pane, and the pane's end.
// What the child paints cannot be seen here: Wine draws a child window whose parent belongs to
// another process nowhere on the X screen, so the pane only ever shows its own background.
int cmdPreview(const std::wstring& scr, int width, int height) {
    registerClass(kHostClass, DefWindowProcW, COLOR_BTNFACE);
    registerClass(kPaneClass, DefWindowProcW, COLOR_APPWORKSPACE);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const HWND host = CreateWindowExW(
        0, kHostClass, L"Mirelune probe host", WS_POPUP | WS_BORDER | WS_CLIPCHILDREN | WS_VISIBLE,
        40, 40, width + 300, height + 300, nullptr, nullptr, instance, nullptr);
    const HWND pane = CreateWindowExW(0, kPaneClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                      20, 20, width, height, host, nullptr, instance, nullptr);
    if (host == nullptr || pane == nullptr) return probeFailure(L"cannot create the pane");
    pumpFor(100);
    RECT paneClient{};
    GetClientRect(pane, &paneClient);

    const std::wstring argument = L"/p " + std::to_wstring(reinterpret_cast<std::uintptr_t>(pane));
    auto launched = launch(scr, argument);
    if (!launched) return probeFailure(L"CreateProcess failed for " + scr);
    JsonObject()
        .add("stage", "started")
        .add("pid", launched->pid)
        .add("arguments", argument)
        .add("pane_w", paneClient.right)
        .add("pane_h", paneClient.bottom)
        .print();

    HWND child = nullptr;
    const bool appeared = pumpUntil(
        [&] {
            child = GetWindow(pane, GW_CHILD);
            return (child != nullptr && IsWindowVisible(child)) || !alive(launched->process);
        },
        5000);
    JsonObject childJson;
    childJson.add("stage", "child");
    if (!appeared || child == nullptr) {
        childJson.add("found", false).add("alive", alive(launched->process));
        childJson.add("visible_child", child != nullptr && IsWindowVisible(child));
        finish(*launched, childJson);
        childJson.print();
        DestroyWindow(host);
        return 0;
    }
    const double appearedMs = nowMs() - launched->startedMs;
    RECT firstClient{};
    GetClientRect(child, &firstClient);
    pumpFor(300);
    child = GetWindow(pane, GW_CHILD);
    int children = 0;
    for (HWND c = child; c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
        ++children;
    DWORD childPid = 0;
    GetWindowThreadProcessId(child, &childPid);
    const auto style = GetWindowLongPtrW(child, GWL_STYLE);
    childJson.add("found", true)
        .add("ms", appearedMs)
        .add("children", children)
        .add("pid_matches", childPid == launched->pid)
        .add("ws_child", (style & WS_CHILD) != 0)
        .add("parent_is_pane", GetParent(child) == pane)
        .add("first_client_w", firstClient.right)
        .add("first_client_h", firstClient.bottom)
        .add("window", describeWindow(child))
        .print();

    // Input of every kind the full-screen saver reacts to; the preview must ignore it all.
    PostMessageW(child, WM_KEYDOWN, VK_SPACE, 0x00390001);
    PostMessageW(child, WM_CHAR, L' ', 0x00390001);
    PostMessageW(child, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
    PostMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    PostMessageW(child, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    for (int i = 0; i < 20; ++i) {
        PostMessageW(child, WM_MOUSEMOVE, 0, MAKELPARAM((i * 7) % width, (i * 5) % height));
        pumpFor(5);
    }
    pumpFor(1000);
    JsonObject().add("stage", "input").add("alive", alive(launched->process)).print();

    // A larger pane: following it is welcome but not required.
    SetWindowPos(pane, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpFor(1000);
    RECT resized{};
    const HWND afterResize = GetWindow(pane, GW_CHILD);
    if (afterResize != nullptr) GetClientRect(afterResize, &resized);
    JsonObject()
        .add("stage", "resize")
        .add("pane_w", 200)
        .add("pane_h", 150)
        .add("child_w", resized.right)
        .add("child_h", resized.bottom)
        .add("alive", alive(launched->process))
        .print();

    // The display settings close the preview by destroying the pane.
    const double destroyedAt = nowMs();
    DestroyWindow(pane);
    const bool ended = pumpUntil([&] { return !alive(launched->process); }, 5000, 2);
    JsonObject destroy;
    destroy.add("stage", "destroy").add("exited", ended);
    if (ended) {
        destroy.add("ms", nowMs() - destroyedAt)
            .add("exit_code", static_cast<long long>(exitCode(launched->process).value_or(0)));
    }
    finish(*launched, destroy);
    destroy.print();
    DestroyWindow(host);
    return 0;
}

int cmdPreviewBadHandle(const std::wstring& scr) {
    constexpr std::uintptr_t kHandle = 999999;
    JsonObject()
        .add("stage", "handle")
        .add("handle", kHandle)
        .add("is_window", IsWindow(reinterpret_cast<HWND>(kHandle)) != FALSE)
        .print();
    return cmdRun(5000, scr, L"/p " + std::to_wstring(kHandle));
}

// ---- configuration dialog ----

int dpiOf(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = getDpi != nullptr ? getDpi(window) : 0;
    return dpi != 0 ? static_cast<int>(dpi) : 96;
}

long long query(HWND window, UINT message) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG, 2000, &result)) return -1;
    return static_cast<long long>(static_cast<LONG>(result));
}

JsonObject focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    JsonObject json;
    if (!GetGUIThreadInfo(thread, &info) || info.hwndFocus == nullptr) {
        json.add("found", false).add("active", info.hwndActive == window);
        return json;
    }
    json.add("found", true)
        .add("active", info.hwndActive == window)
        .add("hwnd", reinterpret_cast<std::uintptr_t>(info.hwndFocus))
        .add("class", className(info.hwndFocus))
        .add("text", windowText(info.hwndFocus))
        .add("id", GetDlgCtrlID(info.hwndFocus));
    return json;
}

JsonObject inspect(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    std::vector<JsonObject> controls;
    for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        JsonObject control;
        const std::wstring kind = className(c);
        control.add("hwnd", reinterpret_cast<std::uintptr_t>(c))
            .add("class", kind)
            .add("text", windowText(c))
            .add("id", GetDlgCtrlID(c))
            .add("style", static_cast<unsigned long>(GetWindowLongPtrW(c, GWL_STYLE)))
            .add("exstyle", static_cast<unsigned long>(GetWindowLongPtrW(c, GWL_EXSTYLE)))
            .add("visible", IsWindowVisible(c) != FALSE)
            .add("enabled", IsWindowEnabled(c) != FALSE)
            .add("rect", rectJson(rectInParent(c)));
        if (_wcsicmp(kind.c_str(), TRACKBAR_CLASSW) == 0) {
            control.add("min", query(c, TBM_GETRANGEMIN))
                .add("max", query(c, TBM_GETRANGEMAX))
                .add("line", query(c, TBM_GETLINESIZE))
                .add("page", query(c, TBM_GETPAGESIZE))
                .add("pos", query(c, TBM_GETPOS));
        }
        controls.push_back(control);
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    JsonObject json;
    json.add("found", true)
        .add("hwnd", reinterpret_cast<std::uintptr_t>(window))
        .add("pid", pid)
        .add("title", windowText(window))
        .add("rect", rectJson(rectInParent(window)))
        .add("client_w", client.right)
        .add("client_h", client.bottom)
        .add("dpi", dpiOf(window))
        .add("style", static_cast<unsigned long>(GetWindowLongPtrW(window, GWL_STYLE)))
        .add("exstyle", static_cast<unsigned long>(GetWindowLongPtrW(window, GWL_EXSTYLE)))
        .add("controls", controls)
        .add("focus", focusOf(window));
    return json;
}

int cmdDialog(const std::wstring& scr) {
    auto launched = launch(scr, L"/c");
    if (!launched) return probeFailure(L"CreateProcess failed for " + scr);
    HWND dialog = nullptr;
    const bool shown = pumpUntil(
        [&] {
            for (const HWND window : topLevelWindows(launched->pid, true)) {
                if (windowText(window) == kDialogTitle) dialog = window;
            }
            return dialog != nullptr || !alive(launched->process);
        },
        10000, 10);
    if (!shown || dialog == nullptr) {
        JsonObject json = windowList(topLevelWindows(launched->pid, true));
        json.add("found", false).add("pid", launched->pid).add("alive", alive(launched->process));
        finish(*launched, json);
        json.print();
        return 0;
    }
    const double shownMs = nowMs() - launched->startedMs;
    pumpFor(300);  // let the dialog finish its first layout and label texts
    inspect(dialog).add("ms", shownMs).print();
    CloseHandle(launched->process);
    return 0;
}

int cmdInspect(const std::wstring& title) {
    const HWND window = FindWindowW(nullptr, title.c_str());
    if (window == nullptr) {
        JsonObject().add("found", false).add("title", title).print();
        return 0;
    }
    inspect(window).print();
    return 0;
}

int cmdFocus(const std::wstring& title) {
    const HWND window = FindWindowW(nullptr, title.c_str());
    if (window == nullptr) {
        JsonObject().add("found", false).add("window", false).print();
        return 0;
    }
    focusOf(window).add("window", true).print();
    return 0;
}

// ---- full screen ----

// Starts the full-screen saver and watches a screen rectangle (GetDC of the screen, every 2 ms)
// until a pixel in it is no longer black: the moment the first painted row shows.
int cmdFirstRow(const std::wstring& scr, int x, int y, int width, int height) {
    ScreenGrabber grabber(width, height);
    const auto isBlack = [&] {
        for (const auto rgb : grabber.pixels()) {
            if (rgb != 0) return false;
        }
        return true;
    };
    if (!grabber.grab(x, y)) return probeFailure(L"cannot read the screen");
    if (!isBlack()) {
        JsonObject().add("found", false).add("black_before", false).print();
        return 0;
    }
    auto launched = launch(scr, L"/s");
    if (!launched) return probeFailure(L"CreateProcess failed for " + scr);
    JsonObject json;
    json.add("pid", launched->pid).add("black_before", true);
    const double deadline = launched->startedMs + 10000;
    while (nowMs() < deadline) {
        if (grabber.grab(x, y) && !isBlack()) {
            const double ms = nowMs() - launched->startedMs;
            for (int row = 0; row < height; ++row) {
                for (int column = 0; column < width; ++column) {
                    const auto rgb =
                        grabber.pixels()[static_cast<std::size_t>(row * width + column)];
                    if (rgb != 0) {
                        json.add("found", true)
                            .add("ms", ms)
                            .add("x", x + column)
                            .add("y", y + row)
                            .add("colour", hexColour(rgb));
                        json.add("alive", alive(launched->process)).print();
                        CloseHandle(launched->process);
                        return 0;
                    }
                }
            }
        }
        if (!alive(launched->process)) break;
        Sleep(2);
    }
    json.add("found", false).add("alive", alive(launched->process)).print();
    CloseHandle(launched->process);
    return 0;
}

// ---- message boxes ----

// Waits up to ms for a message box (dialog class "#32770") of the process, reports its caption,
// texts and buttons, and presses its OK button unless press is false.
JsonObject messageBoxOf(DWORD pid, double ms, bool press) {
    HWND box = nullptr;
    pumpUntil(
        [&] {
            for (const HWND window : topLevelWindows(pid, true)) {
                if (className(window) == L"#32770") box = window;
            }
            return box != nullptr;
        },
        ms, 10);
    JsonObject json;
    json.add("found", box != nullptr);
    if (box == nullptr) return json;
    pumpFor(100);
    std::vector<std::wstring> texts;
    std::vector<JsonObject> buttons;
    HWND ok = nullptr;
    for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        const std::wstring kind = className(c);
        if (_wcsicmp(kind.c_str(), L"Static") == 0) {
            const std::wstring text = windowText(c);
            if (!text.empty()) texts.push_back(text);
        } else if (_wcsicmp(kind.c_str(), L"Button") == 0) {
            buttons.push_back(JsonObject().add("text", windowText(c)).add("id", GetDlgCtrlID(c)));
            if (GetDlgCtrlID(c) == IDOK || ok == nullptr) ok = c;
        }
    }
    json.add("caption", windowText(box)).raw("texts", stringList(texts)).add("buttons", buttons);
    const bool pressing = press && ok != nullptr;
    if (pressing) {
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ok), BN_CLICKED),
                     reinterpret_cast<LPARAM>(ok));
    }
    json.add("pressed", pressing);
    return json;
}

int cmdMessageBox(DWORD pid, long long ms, bool press) {
    messageBoxOf(pid, static_cast<double>(ms), press).add("pid", pid).print();
    return 0;
}

// Starts the saver, waits up to ms for a message box, presses its OK and then waits up to ms for
// the process to end.
int cmdRunBox(long long ms, const std::wstring& scr, const std::wstring& args) {
    auto launched = launch(scr, args);
    if (!launched) return probeFailure(L"CreateProcess failed for " + scr);
    JsonObject json;
    json.add("pid", launched->pid);
    const JsonObject box = messageBoxOf(launched->pid, static_cast<double>(ms), true);
    json.add("box", box);
    const double pressedAt = nowMs();
    const bool ended =
        pumpUntil([&] { return !alive(launched->process); }, static_cast<double>(ms), 5);
    json.add("exited", ended);
    if (ended) {
        json.add("ms_after_box", nowMs() - pressedAt)
            .add("exit_code", static_cast<long long>(exitCode(launched->process).value_or(0)));
    }
    json.add("windows_left", windowList(topLevelWindows(launched->pid, true)));
    finish(*launched, json);
    json.print();
    return 0;
}

// Closes a top-level window the way its frame's close button does.
int cmdClose(const std::wstring& title) {
    const HWND window = FindWindowW(nullptr, title.c_str());
    JsonObject json;
    json.add("found", window != nullptr);
    if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
    json.print();
    return 0;
}

// ---- environment check ----

struct Counts {
    int moves = 0;
    int keys = 0;
    int clicks = 0;
    double createdMs = 0;
    std::vector<long long> moveMs;
};
Counts* gCounts = nullptr;

LRESULT CALLBACK counterProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (gCounts != nullptr) {
        if (message == WM_MOUSEMOVE) {
            ++gCounts->moves;
            gCounts->moveMs.push_back(static_cast<long long>(nowMs() - gCounts->createdMs));
        }
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) ++gCounts->keys;
        if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) ++gCounts->clicks;
    }
    return DefWindowProcW(window, message, w, l);
}

// A topmost window over the whole screen that counts the input it gets, to learn how many mouse
// moves the window's appearance under a resting pointer produces here.
int cmdMoveCounter(long long ms) {
    registerClass(kCounterClass, counterProcedure, BLACK_BRUSH);
    Counts counts;
    gCounts = &counts;
    counts.createdMs = nowMs();
    const HWND window = CreateWindowExW(WS_EX_TOPMOST, kCounterClass, L"Mirelune probe counter",
                                        WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                        GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) return probeFailure(L"cannot create the counter window");
    SetForegroundWindow(window);
    JsonObject().add("stage", "shown").print();
    pumpFor(static_cast<double>(ms));
    JsonObject()
        .add("stage", "counted")
        .add("moves", counts.moves)
        .add("keys", counts.keys)
        .add("clicks", counts.clicks)
        .add("move_ms", counts.moveMs)
        .print();
    DestroyWindow(window);
    gCounts = nullptr;
    return 0;
}

int run(int argc, wchar_t** argv) {
    if (argc < 2) return usage(L"no command");
    const std::wstring command = argv[1];
    const auto arg = [&](int i) -> const wchar_t* { return i < argc ? argv[i] : nullptr; };
    const auto rest = [&](int i) { return std::wstring(arg(i) != nullptr ? arg(i) : L""); };

    if (command == L"start" && argc >= 3) return cmdStart(argv[2], rest(3));
    if (command == L"run" && argc >= 4) {
        const auto ms = number(argv[2]);
        if (!ms) return usage(L"run <ms> <scr> [args]");
        return cmdRun(*ms, argv[3], rest(4));
    }
    if (command == L"preview" && argc == 5) {
        const auto width = number(argv[3]);
        const auto height = number(argv[4]);
        if (!width || !height || *width <= 0 || *height <= 0) {
            return usage(L"preview <scr> <w> <h>");
        }
        return cmdPreview(argv[2], static_cast<int>(*width), static_cast<int>(*height));
    }
    if (command == L"preview-bad-handle" && argc == 3) return cmdPreviewBadHandle(argv[2]);
    if (command == L"dialog" && argc == 3) return cmdDialog(argv[2]);
    if (command == L"inspect" && argc == 3) return cmdInspect(argv[2]);
    if (command == L"focus" && argc == 3) return cmdFocus(argv[2]);
    if (command == L"wait-exit" && argc == 4) {
        const auto pid = number(argv[2]);
        const auto ms = number(argv[3]);
        if (!pid || !ms) return usage(L"wait-exit <pid> <ms>");
        return cmdWaitExit(static_cast<DWORD>(*pid), *ms);
    }
    if (command == L"first-row" && (argc == 5 || argc == 7)) {
        const auto x = number(argv[3]);
        const auto y = number(argv[4]);
        const auto width = argc == 7 ? number(argv[5]) : std::optional<long long>(1);
        const auto height = argc == 7 ? number(argv[6]) : std::optional<long long>(1);
        if (!x || !y || !width || !height || *width <= 0 || *height <= 0) {
            return usage(L"first-row <scr> <x> <y> [<w> <h>]");
        }
        return cmdFirstRow(argv[2], static_cast<int>(*x), static_cast<int>(*y),
                           static_cast<int>(*width), static_cast<int>(*height));
    }
    if (command == L"message-box" && (argc == 4 || argc == 5)) {
        const auto pid = number(argv[2]);
        const auto ms = number(argv[3]);
        if (!pid || !ms) return usage(L"message-box <pid> <ms> [leave]");
        return cmdMessageBox(static_cast<DWORD>(*pid), *ms, rest(4) != L"leave");
    }
    if (command == L"run-box" && argc >= 4) {
        const auto ms = number(argv[2]);
        if (!ms) return usage(L"run-box <ms> <scr> [args]");
        return cmdRunBox(*ms, argv[3], rest(4));
    }
    if (command == L"close" && argc == 3) return cmdClose(argv[2]);
    if (command == L"windows" && argc == 3) {
        const auto pid = number(argv[2]);
        if (!pid) return usage(L"windows <pid>");
        return cmdWindows(static_cast<DWORD>(*pid));
    }
    if (command == L"move-counter" && argc == 3) {
        const auto ms = number(argv[2]);
        if (!ms) return usage(L"move-counter <ms>");
        return cmdMoveCounter(*ms);
    }
    return usage(command.c_str());
}

}  // namespace
}  // namespace probe

int wmain(int argc, wchar_t** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    return probe::run(argc, argv);
}
