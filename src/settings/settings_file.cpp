#include "settings/settings_file.h"

#include <optional>
#include <string>
#include <system_error>

namespace mirelune {
namespace fs = std::filesystem;
namespace {

// The text the save starts from; nothing when the file to replace cannot be read. An error
// while asking whether it exists counts as existing: guessing "absent" could overwrite it.
std::optional<std::string> textToKeep(const fs::path& readFile, const fs::path& writeFile) {
    std::error_code ec;
    if (fs::exists(writeFile, ec) || ec) {
        return readTextFile(writeFile);
    }
    return readTextFile(readFile).value_or(std::string{});
}

}  // namespace

Settings loadSettings(const fs::path& file) {
    return readSettings(readTextFile(file).value_or(std::string{}));
}

FileWriteResult saveSettings(const fs::path& readFile, const fs::path& writeFile,
                             const Settings& settings) {
    const std::optional<std::string> existing = textToKeep(readFile, writeFile);
    if (!existing) {
        return {false, "cannot read " + writeFile.string() + "; left unchanged"};
    }
    const fs::path folder = writeFile.parent_path();
    if (!folder.empty() && !ensureDirectory(folder)) {
        return {false, "cannot create the folder " + folder.string()};
    }
    return writeTextFileAtomically(writeFile, writeSettings(*existing, settings));
}

}  // namespace mirelune
