#include "settings_location.h"

#include "settings/settings_file.h"
#include "settings/text_file.h"

namespace mirelune::x11 {

std::optional<std::filesystem::path> settingsDirectory(
    std::optional<std::string_view> xdgConfigHome, std::optional<std::string_view> home) {
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    if (xdgConfigHome && std::filesystem::path(*xdgConfigHome).is_absolute()) {
        return std::filesystem::path(*xdgConfigHome) / "mirelune";
    }
    if (home && !home->empty()) return std::filesystem::path(*home) / ".config" / "mirelune";
    return std::nullopt;
}

std::optional<std::filesystem::path> settingsFile(std::optional<std::string_view> xdgConfigHome,
                                                  std::optional<std::string_view> home) {
    const auto directory = settingsDirectory(xdgConfigHome, home);
    if (!directory) return std::nullopt;
    return findEntryIgnoringCase(*directory, kSettingsReadName);
}

}  // namespace mirelune::x11
