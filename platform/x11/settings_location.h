// Where the X11 saver keeps its settings file: mirelune/ under the user's configuration
// directory, as the XDG base directory rules name it.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace mirelune::x11 {

// $XDG_CONFIG_HOME/mirelune when that is an absolute path, else $HOME/.config/mirelune;
// nothing when neither is usable.
std::optional<std::filesystem::path> settingsDirectory(
    std::optional<std::string_view> xdgConfigHome, std::optional<std::string_view> home);

// The settings file in that directory, its name matched ignoring letter case so that a file
// saved as "Mirelune.ini" is found too.
std::optional<std::filesystem::path> settingsFile(std::optional<std::string_view> xdgConfigHome,
                                                  std::optional<std::string_view> home);

}  // namespace mirelune::x11
