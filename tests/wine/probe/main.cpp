// mirelune-probe: drives Mirelune.scr from inside Wine for tests/wine/wine_tests.py and reports
// what it sees, one JSON object per line on stdout. Exits 0 when it could do its job (whatever it
// saw), 1 when the probe itself failed, 2 on a bad command line. Usage:
//   run <ms> <scr> [args]            start the saver with exactly these arguments and watch up to
//                                    ms for its end and its windows; OK is pressed in a message box
//   preview-bad-handle <scr>         run "/p 999999", a handle that names no window
//   preview <scr> <w> <h>            host a pane of w x h and run "/p <pane>" in it
//   dialog <scr>                     start "/c" and inspect the configuration window
//   inspect <title>                  a top-level window's size, DPI, style, controls and focus
//   close <title>                    send WM_CLOSE to the top-level window with that title
//   wait-exit <pid> <ms>             wait up to ms for a process to end
//   first-row <scr> <x> <y> <w> <h>  start "/s"; ms until the screen rectangle is not black
//   session lock|unlock              tell the full-screen saver its session was (un)locked
//   display off|on                   tell it, as power management does, the monitor goes off/on
//   soak-step <n> <w> <h> <ms>       size the full-screen saver's window, watch up to ms for n
//                                    pictures, then report its windows and memory
//   press-box <ms>                   wait up to ms for a message box, report it and press OK
//   move-counter <ms>                a full-screen window that counts the mouse moves it gets
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "wide_text.h"

namespace {

using mirelune::windows::narrow;

// ---- JSON output ----

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// One JSON object, printed as one line.
class Json {
  public:
    template <typename T>
    Json& add(std::string_view key, const T& value) {
        if (!body_.empty()) body_ += ',';
        body_.append(quoted(key)).append(":").append(text(value));
        return *this;
    }
    std::string str() const { return "{" + body_ + "}"; }
    // Flushed, so that the harness sees each line as soon as it is known.
    void print() const {
        std::printf("%s\n", str().c_str());
        std::fflush(stdout);
    }

  private:
    template <typename T>
    static std::string text(const T& value) {
        if constexpr (std::is_same_v<T, bool>) {
            return value ? "true" : "false";
        } else if constexpr (std::is_integral_v<T>) {
            return std::to_string(value);
        } else if constexpr (std::is_floating_point_v<T>) {
            char number[32];
            std::snprintf(number, sizeof number, "%.3f", static_cast<double>(value));
            return number;
        } else if constexpr (std::is_same_v<T, Json>) {
            return value.str();
        } else if constexpr (std::is_convertible_v<const T&, std::wstring_view>) {
            return quoted(narrow(value));
        } else if constexpr (std::is_convertible_v<const T&, std::string_view>) {
            return quoted(value);
        } else {  // a list
            std::string list = "[";
            for (const auto& item : value)
                list.append(list.size() > 1 ? "," : "").append(text(item));
            return list + "]";
        }
    }

    std::string body_;
};

[[noreturn]] void fail(const std::wstring& why, int status = 1) {
    Json().add("error", why).add("last_error", GetLastError()).print();
    std::exit(status);
}

// ---- processes, messages and windows ----

double nowMs() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Launched {
    HANDLE process;
    DWORD pid;
    double startedMs;  // just before CreateProcess
};

// Starts scr with the command line "\"scr\" args" so that blanks inside args reach it unchanged.
// The saver gets no standard handles: it must not hold the probe's output pipe open.
Launched launch(const std::wstring& scr, const std::wstring& args) {
    std::wstring commandLine = L"\"";
    commandLine.append(scr).append(L"\"").append(args.empty() ? L"" : L" ").append(args);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = INVALID_HANDLE_VALUE;
    PROCESS_INFORMATION info{};
    const double startedMs = nowMs();
    if (!CreateProcessW(scr.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        fail(L"CreateProcess failed for " + scr);
    }
    CloseHandle(info.hThread);
    return {info.hProcess, info.dwProcessId, startedMs};
}

bool alive(HANDLE process) {
    return WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

// Terminates a saver still running at the end of a command.
void finish(const Launched& launched) {
    TerminateProcess(launched.process, 1);
    WaitForSingleObject(launched.process, 2000);
    CloseHandle(launched.process);
}

// Dispatches this thread's messages until done() holds or timeoutMs passes; true when it held.
bool pumpUntil(const std::function<bool()>& done, double timeoutMs, DWORD intervalMs = 5) {
    const double end = nowMs() + timeoutMs;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        const double left = end - nowMs();
        if (left <= 0) return false;
        const auto wait = static_cast<DWORD>(left < intervalMs ? left : intervalMs);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait == 0 ? 1 : wait, QS_ALLINPUT);
    }
}

void pumpFor(double ms) {
    pumpUntil([] { return false; }, ms, 10);
}

std::vector<HWND> visibleWindowsOf(DWORD pid) {
    std::pair<DWORD, std::vector<HWND>> search{pid, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& [wanted, found] = *reinterpret_cast<decltype(search)*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == wanted && IsWindowVisible(window)) found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

std::wstring className(HWND window) {
    wchar_t name[256] = L"";
    return std::wstring(name, static_cast<std::size_t>(GetClassNameW(window, name, 256)));
}

// WM_GETTEXT with a timeout, so that a hung owner cannot block the probe.
std::wstring windowText(HWND window) {
    wchar_t text[1024] = L"";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 2000, &copied)) {
        return {};
    }
    return std::wstring(text, copied < 1024 ? copied : 1023);
}

std::uintptr_t id(HWND window) {
    return reinterpret_cast<std::uintptr_t>(window);
}

unsigned long styleOf(HWND window, int which = GWL_STYLE) {
    return static_cast<unsigned long>(GetWindowLongPtrW(window, which));
}

// The rectangle relative to the parent's client area (the screen for a top-level window).
Json rectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    if (styleOf(window) & WS_CHILD) {
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    }
    return Json()
        .add("x", rect.left)
        .add("y", rect.top)
        .add("w", rect.right - rect.left)
        .add("h", rect.bottom - rect.top);
}

Json describe(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return Json()
        .add("hwnd", id(window))
        .add("class", className(window))
        .add("text", windowText(window))
        .add("style", styleOf(window))
        .add("exstyle", styleOf(window, GWL_EXSTYLE))
        .add("visible", IsWindowVisible(window) != FALSE)
        .add("rect", rectOf(window))
        .add("client_w", client.right)
        .add("client_h", client.bottom);
}

int gMoves = 0;  // mouse moves received by the probe's own windows

LRESULT CALLBACK countMoves(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_MOUSEMOVE) ++gMoves;
    return DefWindowProcW(window, message, w, l);
}

HWND createWindow(DWORD exStyle, DWORD style, int x, int y, int w, int h, HWND parent) {
    static const ATOM windowClass = [] {
        WNDCLASSW c{};
        c.lpfnWndProc = countMoves;
        c.hInstance = GetModuleHandleW(nullptr);
        c.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        c.lpszClassName = L"MireluneProbe";
        return RegisterClassW(&c);
    }();
    return CreateWindowExW(exStyle, MAKEINTATOM(windowClass), L"", style, x, y, w, h, parent,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

// ---- commands ----

// Reports the texts and buttons of a message box (dialog class "#32770") and presses its OK.
Json pressMessageBox(HWND box) {
    pumpFor(100);
    std::vector<std::wstring> texts, buttons;
    HWND ok = nullptr;
    for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        const std::wstring kind = className(c), text = windowText(c);
        if (_wcsicmp(kind.c_str(), L"Static") == 0 && !text.empty()) texts.push_back(text);
        if (_wcsicmp(kind.c_str(), L"Button") == 0) {
            buttons.push_back(text);
            if (GetDlgCtrlID(c) == IDOK || ok == nullptr) ok = c;
        }
    }
    if (ok != nullptr) {
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ok), BN_CLICKED),
                     reinterpret_cast<LPARAM>(ok));
    }
    return Json().add("caption", windowText(box)).add("texts", texts).add("buttons", buttons);
}

// Starts the saver and watches it for up to ms: whether and when it ends, and every visible
// top-level window it shows meanwhile. OK is pressed in the first message box it shows.
int cmdRun(double ms, const std::wstring& scr, const std::wstring& args) {
    const Launched saver = launch(scr, args);
    std::map<HWND, Json> seen;
    Json json;
    double pressedAt = -1;
    const bool ended = pumpUntil(
        [&] {
            for (const HWND window : visibleWindowsOf(saver.pid)) {
                if (seen.contains(window)) continue;
                seen.emplace(window, describe(window));
                if (pressedAt < 0 && className(window) == L"#32770") {
                    json.add("box", pressMessageBox(window));
                    pressedAt = nowMs();
                }
            }
            return !alive(saver.process);
        },
        ms);
    json.add("exited", ended);
    if (ended) json.add("ms", nowMs() - saver.startedMs);
    if (ended && pressedAt >= 0) json.add("ms_after_box", nowMs() - pressedAt);
    std::vector<Json> windows;
    for (const auto& [window, description] : seen)
        windows.push_back(description);
    json.add("windows", windows).print();
    finish(saver);
    return 0;
}

// Hosts a pane the way the display settings do and runs the saver's preview in it: the child
// window it makes, input posted to that child, and the pane's end. What the child paints cannot
// be seen: Wine draws a child window whose parent belongs to another process nowhere on screen.
int cmdPreview(const std::wstring& scr, int width, int height) {
    const HWND host = createWindow(0, WS_POPUP | WS_BORDER | WS_CLIPCHILDREN | WS_VISIBLE, 40, 40,
                                   width + 300, height + 300, nullptr);
    const HWND pane =
        createWindow(0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, width, height, host);
    if (host == nullptr || pane == nullptr) fail(L"cannot create the pane");
    pumpFor(100);
    const Launched saver = launch(scr, L"/p " + std::to_wstring(id(pane)));

    HWND child = nullptr;
    const bool appeared = pumpUntil(
        [&] {
            child = GetWindow(pane, GW_CHILD);
            return (child != nullptr && IsWindowVisible(child)) || !alive(saver.process);
        },
        5000);
    Json json;
    json.add("stage", "child").add("found", appeared && child != nullptr);
    if (!appeared || child == nullptr) {
        json.print();
        finish(saver);
        return 0;
    }
    pumpFor(300);
    child = GetWindow(pane, GW_CHILD);
    int children = 0;
    for (HWND c = child; c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
        ++children;
    DWORD childPid = 0;
    GetWindowThreadProcessId(child, &childPid);
    json.add("children", children)
        .add("pid_matches", childPid == saver.pid)
        .add("ws_child", (styleOf(child) & WS_CHILD) != 0)
        .add("parent_is_pane", GetParent(child) == pane)
        .add("window", describe(child))
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
    Json().add("stage", "input").add("alive", alive(saver.process)).print();

    // The display settings close the preview by destroying the pane.
    const double destroyedAt = nowMs();
    DestroyWindow(pane);
    const bool ended = pumpUntil([&] { return !alive(saver.process); }, 5000, 2);
    Json destroyed;
    destroyed.add("stage", "destroy").add("exited", ended);
    if (ended) destroyed.add("ms", nowMs() - destroyedAt);
    destroyed.print();
    finish(saver);
    DestroyWindow(host);
    return 0;
}

long long query(HWND window, UINT message) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG, 2000, &result)) return -1;
    return static_cast<LONG>(result);
}

Json inspect(HWND window) {
    std::vector<Json> controls;
    for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        Json control = describe(c);
        if (_wcsicmp(className(c).c_str(), TRACKBAR_CLASSW) == 0) {
            control.add("min", query(c, TBM_GETRANGEMIN))
                .add("max", query(c, TBM_GETRANGEMAX))
                .add("line", query(c, TBM_GETLINESIZE))
                .add("page", query(c, TBM_GETPAGESIZE))
                .add("pos", query(c, TBM_GETPOS));
        }
        controls.push_back(control);
    }
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    DWORD pid = 0;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, &pid), &gui);
    return describe(window)
        .add("found", true)
        .add("pid", pid)
        .add("dpi", GetDpiForWindow(window))
        .add("controls", controls)
        .add("focus", id(gui.hwndFocus));
}

int cmdDialog(const std::wstring& scr) {
    const Launched saver = launch(scr, L"/c");
    HWND dialog = nullptr;
    pumpUntil(
        [&] {
            for (const HWND window : visibleWindowsOf(saver.pid)) {
                if (windowText(window) == L"Mirelune Configuration") dialog = window;
            }
            return dialog != nullptr || !alive(saver.process);
        },
        10000, 10);
    if (dialog == nullptr) {
        Json().add("found", false).print();
        finish(saver);
        return 0;
    }
    pumpFor(300);  // let the dialog finish its first layout and label texts
    inspect(dialog).print();
    CloseHandle(saver.process);
    return 0;
}

// A rectangle of the screen read into a 32-bit top-down bitmap, as often as asked.
class ScreenReader {
  public:
    ScreenReader(int width, int height) : width_(width), height_(height) {
        screen_ = GetDC(nullptr);
        memory_ = CreateCompatibleDC(screen_);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(screen_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap_ == nullptr) fail(L"cannot read the screen");
        SelectObject(memory_, bitmap_);
        pixels_ = static_cast<const std::uint32_t*>(bits);
    }
    ~ScreenReader() {
        DeleteDC(memory_);
        DeleteObject(bitmap_);
        ReleaseDC(nullptr, screen_);
    }
    ScreenReader(const ScreenReader&) = delete;
    ScreenReader& operator=(const ScreenReader&) = delete;

    // The pixels at (x, y), or nothing when the screen could not be read.
    std::span<const std::uint32_t> read(int x, int y) {
        if (!BitBlt(memory_, 0, 0, width_, height_, screen_, x, y, SRCCOPY)) return {};
        GdiFlush();
        return {pixels_, static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)};
    }

  private:
    int width_, height_;
    HDC screen_, memory_;
    HBITMAP bitmap_;
    const std::uint32_t* pixels_;
};

// Starts the full-screen saver and reads a screen rectangle every 2 ms until a pixel in it is no
// longer black: the moment the first painted row shows.
int cmdFirstRow(const std::wstring& scr, int x, int y, int width, int height) {
    ScreenReader reader(width, height);
    std::span<const std::uint32_t> pixels;
    // The index of the first pixel that is not black; a failed read counts as lit at 0.
    const auto firstLit = [&]() -> std::optional<std::size_t> {
        pixels = reader.read(x, y);
        if (pixels.empty()) return 0;
        const auto lit = std::find_if(pixels.begin(), pixels.end(),
                                      [](std::uint32_t pixel) { return (pixel & 0xFFFFFFu) != 0; });
        if (lit == pixels.end()) return std::nullopt;
        return static_cast<std::size_t>(lit - pixels.begin());
    };
    Json json;
    const bool blackBefore = !firstLit();
    json.add("black_before", blackBefore);
    if (blackBefore) {
        const Launched saver = launch(scr, L"/s");
        while (nowMs() < saver.startedMs + 10000 && alive(saver.process)) {
            if (const auto i = firstLit()) {
                char colour[8];
                std::snprintf(colour, sizeof colour, "%06x",
                              pixels.empty() ? 0u : pixels[*i] & 0xFFFFFFu);
                json.add("found", true)
                    .add("ms", nowMs() - saver.startedMs)
                    .add("x", x + static_cast<int>(*i % width))
                    .add("y", y + static_cast<int>(*i / width))
                    .add("colour", colour);
                break;
            }
            Sleep(2);
        }
        CloseHandle(saver.process);
    }
    json.print();
    return 0;
}

// The windows a process owns, top-level and child.
struct OwnedWindows {
    DWORD pid;
    int count = 0;

    static BOOL CALLBACK countOne(HWND window, LPARAM data) {
        auto& owned = *reinterpret_cast<OwnedWindows*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        owned.count += owner == owned.pid;
        return TRUE;
    }
    static BOOL CALLBACK countTree(HWND window, LPARAM data) {
        countOne(window, data);
        EnumChildWindows(window, countOne, data);  // every descendant
        return TRUE;
    }
};

int windowsOf(DWORD pid) {
    OwnedWindows owned{pid};
    EnumWindows(OwnedWindows::countTree, reinterpret_cast<LPARAM>(&owned));
    return owned.count;
}

// Sizes the full-screen saver's window to width x height at the screen's corner and watches its
// middle row until that row has changed `changes` times (each picture paints every row once, so
// each change is at most one picture) or ms have passed; then reports the saver's resources:
// windows and working set. (GDI and USER objects are left out: Wine counts none for any process.)
int cmdSoakStep(int changes, int width, int height, double ms) {
    const HWND saver = FindWindowW(L"MireluneFract", nullptr);
    DWORD pid = 0;
    if (saver) GetWindowThreadProcessId(saver, &pid);
    const HANDLE process =
        pid ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, pid)
            : nullptr;
    if (process == nullptr) fail(L"no full-screen saver to watch");
    SetWindowPos(saver, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);

    ScreenReader reader(width, 1);
    std::vector<std::uint32_t> last;
    int seen = 0;
    const double start = nowMs();
    while (seen < changes && nowMs() < start + ms && alive(process)) {
        const auto row = reader.read(0, height / 2);
        if (!row.empty() && !std::equal(row.begin(), row.end(), last.begin(), last.end())) {
            if (!last.empty()) ++seen;
            last.assign(row.begin(), row.end());
        }
        Sleep(0);
    }
    if (changes == 0) Sleep(static_cast<DWORD>(ms));

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    Json()
        .add("changes", seen)
        .add("ms", nowMs() - start)
        .add("alive", alive(process))
        .add("windows", windowsOf(pid))
        .add("working_set", static_cast<std::uint64_t>(memory.WorkingSetSize))
        .print();
    CloseHandle(process);
    return 0;
}

// Waits up to ms for a message box, reports it and presses its OK.
int cmdPressBox(double ms) {
    HWND box = nullptr;
    const double start = nowMs();
    while (!(box = FindWindowW(L"#32770", nullptr)) && nowMs() < start + ms)
        Sleep(10);
    Json json;
    json.add("found", box != nullptr);
    if (box) json.add("box", pressMessageBox(box));
    json.print();
    return 0;
}

// A topmost window over the whole screen that counts the mouse moves it gets, to learn how many
// the appearance of a window under a resting pointer produces here.
int cmdMoveCounter(double ms) {
    const HWND window =
        createWindow(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                     GetSystemMetrics(SM_CYSCREEN), nullptr);
    if (window == nullptr) fail(L"cannot create the counter window");
    SetForegroundWindow(window);
    pumpFor(ms);
    Json().add("moves", gMoves).print();
    DestroyWindow(window);
    return 0;
}

int run(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const auto number = [&](int i) {
        wchar_t* end = nullptr;
        const long long value = i < argc ? std::wcstoll(argv[i], &end, 10) : 0;
        if (i >= argc || *argv[i] == L'\0' || *end != L'\0') fail(L"bad command line", 2);
        return static_cast<int>(value);
    };
    const auto text = [&](int i) { return std::wstring(i < argc ? argv[i] : L""); };
    const auto window = [&] { return FindWindowW(nullptr, text(2).c_str()); };

    if (command == L"run" && argc >= 4) return cmdRun(number(2), argv[3], text(4));
    if (command == L"preview-bad-handle" && argc == 3) {
        Json().add("is_window", IsWindow(reinterpret_cast<HWND>(999999)) != FALSE).print();
        return cmdRun(5000, argv[2], L"/p 999999");
    }
    if (command == L"preview" && argc == 5) return cmdPreview(argv[2], number(3), number(4));
    if (command == L"dialog" && argc == 3) return cmdDialog(argv[2]);
    if (command == L"first-row" && argc == 7) {
        return cmdFirstRow(argv[2], number(3), number(4), number(5), number(6));
    }
    if (command == L"soak-step" && argc == 6) {
        return cmdSoakStep(number(2), number(3), number(4), number(5));
    }
    if (command == L"press-box" && argc == 3) return cmdPressBox(number(2));
    if (command == L"move-counter" && argc == 3) return cmdMoveCounter(number(2));
    if (command == L"inspect" && argc == 3) {
        (window() ? inspect(window()) : Json().add("found", false)).print();
        return 0;
    }
    if (command == L"close" && argc == 3) {  // as the frame's close button does
        if (window()) PostMessageW(window(), WM_CLOSE, 0, 0);
        Json().add("found", window() != nullptr).print();
        return 0;
    }
    const auto tellSaver = [](UINT message, WPARAM wParam, LPARAM lParam) {
        const HWND saver = FindWindowW(L"MireluneFract", nullptr);
        if (saver) PostMessageW(saver, message, wParam, lParam);
        Json().add("found", saver != nullptr).print();
        return 0;
    };
    if (command == L"session" && argc == 3) {    // the session is locked or unlocked
        constexpr UINT kSessionChange = 0x02B1;  // WM_WTSSESSION_CHANGE
        return tellSaver(kSessionChange, text(2) == L"lock" ? 7 : 8, 0);
    }
    if (command == L"display" && argc == 3) {  // power management switches the monitor
        return tellSaver(WM_SYSCOMMAND, SC_MONITORPOWER, text(2) == L"off" ? 2 : -1);
    }
    if (command == L"wait-exit" && argc == 4) {
        const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(number(2)));
        const double start = nowMs();
        const bool ended =
            process == nullptr || WaitForSingleObject(process, static_cast<DWORD>(number(3))) == 0;
        Json json;
        json.add("exited", ended);
        if (ended) json.add("ms", nowMs() - start);
        json.print();
        if (process != nullptr) CloseHandle(process);
        return 0;
    }
    fail(L"bad command line: " + command, 2);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    return run(argc, argv);
}
