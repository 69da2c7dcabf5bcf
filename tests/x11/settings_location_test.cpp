#include "settings_location.h"

#include <gtest/gtest.h>

#include <fstream>

namespace mirelune::x11 {
namespace {

namespace fs = std::filesystem;

TEST(X11SettingsLocation, FollowsTheXdgRules) {
    EXPECT_EQ(settingsDirectory("/cfg", "/home/u"), fs::path("/cfg/mirelune"));
    // An empty or relative XDG_CONFIG_HOME is ignored.
    EXPECT_EQ(settingsDirectory("", "/home/u"), fs::path("/home/u/.config/mirelune"));
    EXPECT_EQ(settingsDirectory("cfg", "/home/u"), fs::path("/home/u/.config/mirelune"));
    EXPECT_EQ(settingsDirectory(std::nullopt, "/home/u"), fs::path("/home/u/.config/mirelune"));
    EXPECT_FALSE(settingsDirectory(std::nullopt, std::nullopt));
    EXPECT_FALSE(settingsDirectory("relative", ""));
}

TEST(X11SettingsLocation, FindsTheFileWhateverItsLetterCase) {
    const fs::path root = fs::path(testing::TempDir()) / "x11_settings_location";
    fs::remove_all(root);
    fs::create_directories(root / "mirelune");
    const std::string rootText = root.string();
    EXPECT_EQ(settingsFile(rootText, std::nullopt), root / "mirelune" / "mirelune.ini");
    std::ofstream(root / "mirelune" / "Mirelune.INI") << "[Mirelune ScreenSaver]\n";
    EXPECT_EQ(settingsFile(rootText, std::nullopt), root / "mirelune" / "Mirelune.INI");
    fs::remove_all(root);
}

}  // namespace
}  // namespace mirelune::x11
