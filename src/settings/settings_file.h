// The settings file on disk: the names it is known by, and whole-file load and save.
#pragma once

#include <filesystem>
#include <string_view>

#include "settings/settings.h"
#include "settings/text_file.h"

namespace mirelune {

// The readers and the writer spell the name differently; on a file system that tells case
// apart, pass either through findEntryIgnoringCase so that both reach the same file.
inline constexpr std::string_view kSettingsReadName = "mirelune.ini";
inline constexpr std::string_view kSettingsWriteName = "Mirelune.ini";

// The settings in the file; the defaults when it is missing or cannot be read.
Settings loadSettings(const std::filesystem::path& file);

// Stores the settings in `writeFile` with an atomic replace, keeping everything else the file
// holds. Where `writeFile` does not exist yet, the text it starts from is that of `readFile`
// (an older file the settings were read from, possibly the same path), so that its other
// sections move along; `readFile` itself is never written. The folder of `writeFile` is
// created when missing. A `writeFile` that exists but cannot be read (a directory, or one too
// large) is refused rather than overwritten, since its other contents would be lost.
FileWriteResult saveSettings(const std::filesystem::path& readFile,
                             const std::filesystem::path& writeFile, const Settings& settings);

}  // namespace mirelune
