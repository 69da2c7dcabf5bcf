#include "settings/settings_file.h"

#include <optional>
#include <string>

namespace mirelune {

Settings loadSettings(const std::filesystem::path& file) {
    return readSettings(readTextFile(file).value_or(std::string{}));
}

FileWriteResult saveSettings(const std::filesystem::path& file, const Settings& settings) {
    const std::optional<std::string> existing = readTextFile(file);
    std::error_code ec;
    if (!existing && (std::filesystem::exists(file, ec) || ec)) {
        return {false, "cannot read " + file.string() + "; left unchanged"};
    }
    return writeTextFileAtomically(file, writeSettings(existing.value_or(std::string{}), settings));
}

}  // namespace mirelune
