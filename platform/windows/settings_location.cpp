#include "settings_location.h"

#include <shlobj.h>
#include <windows.h>

#include <string>

#include "settings/settings_file.h"

namespace mirelune::windows {
namespace {

std::filesystem::path knownFolder(const KNOWNFOLDERID& id) {
    PWSTR path = nullptr;
    std::filesystem::path result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path))) result = path;
    CoTaskMemFree(path);
    return result;
}

std::filesystem::path windowsDirectory() {
    wchar_t buffer[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::filesystem::path(std::wstring(buffer, length));
}

}  // namespace

SettingsLocation findSettingsLocation() {
    SettingsLocation location;
    const std::filesystem::path appData = knownFolder(FOLDERID_RoamingAppData);
    location.writeFile = appData / L"Mirelune" / std::string(kSettingsWriteName);
    std::error_code error;
    if (!appData.empty() && std::filesystem::exists(location.writeFile, error)) {
        location.readFile = location.writeFile;
    } else {
        location.readFile = windowsDirectory() / std::string(kSettingsReadName);
    }
    return location;
}

}  // namespace mirelune::windows
