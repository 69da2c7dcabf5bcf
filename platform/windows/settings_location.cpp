#include "settings_location.h"

#include <windows.h>

#include <string>

#include "settings/settings_file.h"

namespace mirelune::windows {
namespace {

std::filesystem::path environmentPath(const wchar_t* name) {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(name, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::filesystem::path(std::wstring(buffer, length));
}

// The user's roaming application data, as Windows sets it in every session's environment;
// reading the variable spares every start of the saver the loading of the shell's libraries.
std::filesystem::path roamingAppData() {
    std::filesystem::path path = environmentPath(L"APPDATA");
    if (path.empty()) {
        const std::filesystem::path profile = environmentPath(L"USERPROFILE");
        if (!profile.empty()) path = profile / L"AppData" / L"Roaming";
    }
    return path;
}

std::filesystem::path windowsDirectory() {
    wchar_t buffer[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::filesystem::path(std::wstring(buffer, length));
}

}  // namespace

SettingsLocation findSettingsLocation() {
    const std::filesystem::path appData = roamingAppData();
    const std::filesystem::path oldFile = windowsDirectory() / std::string(kSettingsReadName);
    if (appData.empty()) return {oldFile, windowsDirectory() / std::string(kSettingsWriteName)};
    SettingsLocation location;
    location.writeFile = appData / L"Mirelune" / std::string(kSettingsWriteName);
    std::error_code error;
    location.readFile =
        std::filesystem::exists(location.writeFile, error) ? location.writeFile : oldFile;
    return location;
}

}  // namespace mirelune::windows
