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

// Stores the settings in the file, keeping everything else it holds, with an atomic
// replace. A file that exists but cannot be read (a directory, or one too large) is refused
// rather than overwritten, since its other contents would be lost.
FileWriteResult saveSettings(const std::filesystem::path& file, const Settings& settings);

}  // namespace mirelune
