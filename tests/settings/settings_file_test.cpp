#include "settings/settings_file.h"
#include "settings/text_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "settings/temp_dir.h"

namespace mirelune {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

void writeRaw(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::set<std::string> entriesOf(const fs::path& directory) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(TextFile, ReadsBytesUnchangedAndRefusesWhatIsNotASmallFile) {
    const TempDir dir;
    writeRaw(dir.path() / "a.ini", "[A]\r\nk=1\nx");
    EXPECT_EQ(readTextFile(dir.path() / "a.ini"), "[A]\r\nk=1\nx");
    EXPECT_EQ(readTextFile(dir.path() / "missing.ini"), std::nullopt);
    EXPECT_EQ(readTextFile(dir.path()), std::nullopt);

    writeRaw(dir.path() / "limit.ini", std::string(kMaxTextFileSize, 'x'));
    EXPECT_EQ(readTextFile(dir.path() / "limit.ini").value_or("").size(), kMaxTextFileSize);
    writeRaw(dir.path() / "big.ini", std::string(kMaxTextFileSize + 1, 'x'));
    EXPECT_EQ(readTextFile(dir.path() / "big.ini"), std::nullopt);
}

TEST(TextFile, AtomicWritesReplaceTheFileOrFailLeavingNoTrace) {
    const TempDir dir;
    const fs::path target = dir.path() / "t.ini";
    ASSERT_TRUE(writeTextFileAtomically(target, "first").ok);
    const FileWriteResult second = writeTextFileAtomically(target, "second\r\n");
    EXPECT_TRUE(second.ok) << second.message;
    EXPECT_EQ(readTextFile(target), "second\r\n");

    const FileWriteResult noDirectory = writeTextFileAtomically(dir.path() / "no" / "t.ini", "x");
    EXPECT_FALSE(noDirectory.ok);
    EXPECT_FALSE(noDirectory.message.empty());
    // A directory standing where the file should go blocks the final rename.
    const fs::path blocked = dir.path() / "b.ini";
    fs::create_directory(blocked);
    writeRaw(blocked / "inside", "kept");
    const FileWriteResult result = writeTextFileAtomically(blocked, "x");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(entriesOf(dir.path()), (std::set<std::string>{"t.ini", "b.ini"}));
    EXPECT_EQ(readTextFile(blocked / "inside"), "kept");
}

TEST(TextFile, NamesDifferingOnlyInCaseReachOneEntry) {
    const TempDir dir;
    EXPECT_EQ(findEntryIgnoringCase(dir.path(), "Mirelune.ini"), dir.path() / "Mirelune.ini");
    EXPECT_EQ(findEntryIgnoringCase(dir.path() / "missing", "x"), dir.path() / "missing" / "x");

    writeRaw(dir.path() / "MIRELUNE.INI", "");
    EXPECT_EQ(findEntryIgnoringCase(dir.path(), "mirelune.ini"), dir.path() / "MIRELUNE.INI");
    writeRaw(dir.path() / "mirelune.ini", "");
    EXPECT_EQ(findEntryIgnoringCase(dir.path(), "mirelune.ini"),
              findEntryIgnoringCase(dir.path(), "Mirelune.ini"));
}

TEST(SettingsFile, SaveStartsFromTheFileItReplacesElseFromTheOneReadWhichItNeverWrites) {
    const TempDir dir;
    const fs::path legacy = dir.path() / "old.ini";
    const fs::path target = dir.path() / "new" / "Mirelune.ini";
    writeRaw(legacy, "[Other]\r\nA=1\r\n");

    const Settings chosen{7, 12, 3400};
    ASSERT_TRUE(saveSettings(legacy, target, chosen).ok);
    const std::string moved =
        "[Other]\r\nA=1\r\n[Mirelune ScreenSaver]\r\nSectors= 7\r\nSpeed=12\r\nDelay=3400\r\n";
    EXPECT_EQ(readTextFile(target), moved);
    EXPECT_EQ(loadSettings(target), chosen);
    EXPECT_EQ(readTextFile(legacy), "[Other]\r\nA=1\r\n");

    writeRaw(legacy, "[Legacy]\nB=2\n");
    ASSERT_TRUE(saveSettings(legacy, target, chosen).ok);
    EXPECT_EQ(readTextFile(target), moved);
}

TEST(SettingsFile, SaveRefusesWhatItCannotReadOrCreateAndChangesNothing) {
    const TempDir dir;
    const fs::path legacy = dir.path() / "old.ini";
    writeRaw(legacy, "[Legacy]\nB=2\n");

    const fs::path huge = dir.path() / "Mirelune.ini";
    const std::string hugeText = "[Other]\n" + std::string(kMaxTextFileSize, ';') + "\n";
    writeRaw(huge, hugeText);
    EXPECT_FALSE(saveSettings(legacy, huge, Settings{}).ok);
    std::ifstream in(huge, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), hugeText);

    // A file standing where the folder belongs is not the settings' to remove.
    const fs::path blocker = dir.path() / "Mirelune";
    writeRaw(blocker, "keep me");
    EXPECT_FALSE(saveSettings(legacy, blocker / "Mirelune.ini", Settings{}).ok);
    EXPECT_EQ(readTextFile(blocker), "keep me");

    EXPECT_EQ(entriesOf(dir.path()),
              (std::set<std::string>{"old.ini", "Mirelune.ini", "Mirelune"}));
    EXPECT_EQ(readTextFile(legacy), "[Legacy]\nB=2\n");
}

}  // namespace
}  // namespace mirelune
