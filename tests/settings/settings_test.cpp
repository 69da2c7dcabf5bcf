#include "settings/settings.h"

#include <gtest/gtest.h>

namespace mirelune {
namespace {

constexpr const char* kDefaultFile =
    "[Mirelune ScreenSaver]\r\nSectors= 5\r\nSpeed=69\r\nDelay=1000\r\n";

TEST(Settings, MissingFileOrKeysGiveDefaults) {
    EXPECT_EQ(readSettings(""), (Settings{5, 69, 1000}));
    EXPECT_EQ(readSettings("[Mirelune ScreenSaver]\r\nSpeed=20\r\n"), (Settings{5, 20, 1000}));
    EXPECT_EQ(readSettings("[Elsewhere]\r\nSpeed=20\r\n"), (Settings{5, 69, 1000}));
}

TEST(Settings, SavingDefaultsGivesExactlyTheFourLines) {
    EXPECT_EQ(writeSettings("", Settings{}), kDefaultFile);
    EXPECT_EQ(readSettings(kDefaultFile), Settings{});
}

TEST(Settings, SavedValuesReadBack) {
    for (const Settings s : {Settings{1, 0, 0}, Settings{10, 69, 20000}, Settings{7, 33, 1234}}) {
        EXPECT_EQ(readSettings(writeSettings("", s)), s);
        EXPECT_EQ(readSettings(writeSettings(kDefaultFile, s)), s);
    }
}

TEST(Settings, SectorsKeepRoomForASign) {
    const std::string text = writeSettings("", Settings{10, 5, 0});
    EXPECT_NE(text.find("Sectors= 10\r\nSpeed=5\r\nDelay=0\r\n"), std::string::npos);
    EXPECT_NE(writeSettings("", Settings{-5, 0, 0}).find("Sectors=-5\r\n"), std::string::npos);
}

TEST(Settings, HandEditedValuesAreClampedIntoTheDialogRanges) {
    const struct {
        const char* file;
        Settings expected;
    } cases[] = {
        {"Sectors=0\nSpeed=-5\nDelay=-1\n", {1, 0, 0}},
        {"Sectors=11\nSpeed=70\nDelay=20001\n", {10, 69, 20000}},
        {"Sectors=junk\nSpeed=fast\nDelay=\n", {1, 0, 1000}},
        {"Sectors=99999999999\nSpeed=-99999999999\nDelay=99999999999\n", {10, 0, 20000}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readSettings(std::string("[mirelune screensaver]\n") + c.file), c.expected)
            << c.file;
    }
}

TEST(Settings, SavingKeepsTheRestOfTheFile) {
    const std::string before =
        "; mine\n[Other]\nSectors=3\n\n[Mirelune ScreenSaver]\nDelay=5\nExtra=1\n\n[Last]\nA=b";
    EXPECT_EQ(writeSettings(before, Settings{2, 3, 4}),
              "; mine\n[Other]\nSectors=3\n\n[Mirelune ScreenSaver]\nDelay=4\nExtra=1\n"
              "Sectors= 2\nSpeed=3\n\n[Last]\nA=b");
}

}  // namespace
}  // namespace mirelune
