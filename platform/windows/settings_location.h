// Where the Windows saver keeps its settings file. A standard user cannot write the Windows
// directory, so the file lives in the user's roaming application data; an installation
// that still has its file in the Windows directory keeps being read from there until the
// first save writes the new one.
#pragma once

#include <filesystem>

namespace mirelune::windows {

struct SettingsLocation {
    std::filesystem::path readFile;   // what the saver and the dialog read
    std::filesystem::path writeFile;  // what OK writes (its folder may not exist yet)
};

SettingsLocation findSettingsLocation();

}  // namespace mirelune::windows
