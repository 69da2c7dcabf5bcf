#include "win_util.h"

#include <cstdio>

namespace probe {

double nowMs() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::optional<Launched> launch(const std::wstring& scr, const std::wstring& argumentText) {
    std::wstring commandLine = L"\"" + scr + L"\"";
    if (!argumentText.empty()) commandLine += L" " + argumentText;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    // The saver gets no standard handles: it must not hold the probe's output pipe open after
    // the probe has ended.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = INVALID_HANDLE_VALUE;
    startup.hStdError = INVALID_HANDLE_VALUE;
    PROCESS_INFORMATION info{};
    Launched launched;
    launched.startedMs = nowMs();
    if (!CreateProcessW(scr.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return std::nullopt;
    }
    CloseHandle(info.hThread);
    launched.process = info.hProcess;
    launched.pid = info.dwProcessId;
    return launched;
}

bool alive(HANDLE process) {
    return WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> exitCode(HANDLE process) {
    DWORD code = 0;
    if (alive(process) || !GetExitCodeProcess(process, &code)) return std::nullopt;
    return code;
}

bool pumpUntil(const std::function<bool()>& done, double timeoutMs, DWORD intervalMs) {
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
        const DWORD wait = static_cast<DWORD>(left < intervalMs ? left : intervalMs);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait == 0 ? 1 : wait, QS_ALLINPUT);
    }
}

void pumpFor(double ms) {
    pumpUntil([] { return false; }, ms, 10);
}

std::vector<HWND> topLevelWindows(DWORD pid, bool visibleOnly) {
    struct Search {
        DWORD pid;
        bool visibleOnly;
        std::vector<HWND> found;
    } search{pid, visibleOnly, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s.pid && (!s.visibleOnly || IsWindowVisible(window))) {
                s.found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring className(HWND window) {
    wchar_t name[256] = L"";
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::wstring windowText(HWND window) {
    wchar_t text[1024] = L"";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 2000, &copied)) {
        return GetWindowTextW(window, text, 1024) > 0 ? std::wstring(text) : std::wstring();
    }
    return std::wstring(text, copied < 1024 ? copied : 1023);
}

RECT rectInParent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const HWND parent =
        (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
    if (parent != nullptr) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

JsonObject rectJson(const RECT& rect) {
    JsonObject json;
    json.add("x", rect.left)
        .add("y", rect.top)
        .add("w", rect.right - rect.left)
        .add("h", rect.bottom - rect.top);
    return json;
}

JsonObject describeWindow(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    JsonObject json;
    json.add("hwnd", reinterpret_cast<std::uintptr_t>(window))
        .add("class", className(window))
        .add("text", windowText(window))
        .add("pid", pid)
        .add("style", static_cast<unsigned long>(GetWindowLongPtrW(window, GWL_STYLE)))
        .add("exstyle", static_cast<unsigned long>(GetWindowLongPtrW(window, GWL_EXSTYLE)))
        .add("visible", IsWindowVisible(window) != FALSE)
        .add("rect", rectJson(rectInParent(window)))
        .add("client_w", client.right - client.left)
        .add("client_h", client.bottom - client.top);
    return json;
}

ScreenGrabber::ScreenGrabber(int width, int height)
    : width_(width),
      height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    screen_ = GetDC(nullptr);
    memory_ = CreateCompatibleDC(screen_);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(screen_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = SelectObject(memory_, bitmap_);
}

ScreenGrabber::~ScreenGrabber() {
    SelectObject(memory_, old_);
    DeleteObject(bitmap_);
    DeleteDC(memory_);
    ReleaseDC(nullptr, screen_);
}

bool ScreenGrabber::grab(int x, int y) {
    if (bits_ == nullptr) return false;
    if (!BitBlt(memory_, 0, 0, width_, height_, screen_, x, y, SRCCOPY)) return false;
    GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits_);
    for (std::size_t i = 0; i < pixels_.size(); ++i)
        pixels_[i] = source[i] & 0xFFFFFFu;
    return true;
}

std::wstring hexColour(std::uint32_t rgb) {
    wchar_t text[8];
    swprintf(text, 8, L"%06x", rgb & 0xFFFFFFu);
    return text;
}

}  // namespace probe
