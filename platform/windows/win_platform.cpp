#include "win_platform.h"

#include <algorithm>

#include "system_function.h"
#include "wide_text.h"

namespace mirelune::windows {
namespace {

// Another instance of this program holds the mutex; created per session, like the
// previous-instance flag of a desktop program.
constexpr wchar_t kInstanceMutexName[] = L"Local\\Mirelune.ScreenSaver.Instance";
constexpr UINT kScreenSaverRunning = 97;

}  // namespace

WinPlatform::WinPlatform() : location_(findSettingsLocation()) {
    instanceMutex_ = CreateMutexW(nullptr, FALSE, kInstanceMutexName);
    previousInstance_ = instanceMutex_ && GetLastError() == ERROR_ALREADY_EXISTS;
}

WinPlatform::~WinPlatform() {
    if (instanceMutex_) CloseHandle(instanceMutex_);
}

std::int64_t WinPlatform::nowMs() {
    return static_cast<std::int64_t>(GetTickCount64());
}

std::uint64_t WinPlatform::seedClockReading() {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    FILETIME time{};
    GetSystemTimeAsFileTime(&time);
    return static_cast<std::uint64_t>(counter.QuadPart) ^
           (static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime);
}

void WinPlatform::showCursor(bool visible) {
    ShowCursor(visible ? TRUE : FALSE);
}

void WinPlatform::setScreenSaverRunning(bool running) {
    UINT previous = 0;
    SystemParametersInfoW(kScreenSaverRunning, running ? 1 : 0, &previous, 0);
}

PasswordCheck WinPlatform::verifyScreenSavePassword() {
    // The 95 family's password service does not exist on later systems.
    auto* verify = systemFunction<BOOL WINAPI(HWND)>(L"password.cpl", "VerifyScreenSavePwd");
    if (!verify) return PasswordCheck::Unavailable;
    return verify(owner_) ? PasswordCheck::Accepted : PasswordCheck::Refused;
}

std::uint32_t WinPlatform::versionPlatformId() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return 0;
#pragma GCC diagnostic pop
    return info.dwPlatformId;
}

RegistryReply WinPlatform::queryRegistryValue(std::uint32_t root, std::string_view keyPath,
                                              std::string_view valueName,
                                              std::span<char, kRegistryBufferSize> buffer) {
    const HKEY rootKey = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
    HKEY key = nullptr;
    const std::string path(keyPath);
    const std::string name(valueName);
    RegistryReply reply;
    reply.status = RegOpenKeyExA(rootKey, path.c_str(), 0, KEY_QUERY_VALUE, &key);
    if (reply.status != ERROR_SUCCESS) return reply;
    DWORD type = 0;
    DWORD length = static_cast<DWORD>(buffer.size());
    reply.status = RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(buffer.data()), &length);
    reply.type = type;
    reply.length = length;
    RegCloseKey(key);
    return reply;
}

bool WinPlatform::displayPropertiesWindowExists() {
    return FindWindowA(nullptr, "Display Properties") != nullptr;
}

bool WinPlatform::previousInstanceRunning() {
    return previousInstance_;
}

std::string WinPlatform::argumentText() {
    // The command line after the program's own name (quoted or not) and the blanks after it.
    std::wstring_view line = GetCommandLineW();
    std::size_t at = 0;
    if (!line.empty() && line[0] == L'"') {
        const std::size_t close = line.find(L'"', 1);
        at = close == std::wstring_view::npos ? line.size() : close + 1;
    } else {
        while (at < line.size() && line[at] != L' ' && line[at] != L'\t')
            ++at;
    }
    while (at < line.size() && (line[at] == L' ' || line[at] == L'\t'))
        ++at;
    return narrow(line.substr(at));
}

void WinPlatform::waitForEvents(std::int64_t deadlineMs) {
    DWORD timeout = INFINITE;
    if (deadlineMs != kNoDeadline) {
        const std::int64_t remaining = std::max<std::int64_t>(deadlineMs - nowMs(), 0);
        timeout = static_cast<DWORD>(std::min<std::int64_t>(remaining, INFINITE - 1));
    }
    MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    processPendingEvents();
}

void WinPlatform::processPendingEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitRequested_ = true;
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace mirelune::windows
