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
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
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

TEST(TextFile, AtomicWriteReplacesTheFileAndLeavesNothingElse) {
    const TempDir dir;
    const fs::path target = dir.path() / "t.ini";
    ASSERT_TRUE(writeTextFileAtomically(target, "first").ok);
    const FileWriteResult second = writeTextFileAtomically(target, "second\r\n");
    EXPECT_TRUE(second.ok) << second.message;
    EXPECT_EQ(readTextFile(target), "second\r\n");
    EXPECT_EQ(entriesOf(dir.path()), std::set<std::string>{"t.ini"});
}

TEST(TextFile, FailedWritesAreReportedAndLeaveNoTrace) {
    const TempDir dir;
    const FileWriteResult noDirectory = writeTextFileAtomically(dir.path() / "no" / "t.ini", "x");
    EXPECT_FALSE(noDirectory.ok);
    EXPECT_FALSE(noDirectory.message.empty());
    EXPECT_FALSE(fs::exists(dir.path() / "no"));

    // A directory standing where the file should go blocks the final rename.
    const fs::path blocked = dir.path() / "t.ini";
    fs::create_directory(blocked);
    writeRaw(blocked / "inside", "kept");
    const FileWriteResult result = writeTextFileAtomically(blocked, "x");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(entriesOf(dir.path()), std::set<std::string>{"t.ini"});
    EXPECT_EQ(readTextFile(blocked / "inside"), "kept");
}

TEST(TextFile, EnsureDirectoryCreatesParentsAndFailsOnAFile) {
    const TempDir dir;
    EXPECT_TRUE(ensureDirectory(dir.path() / "a" / "b"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "a" / "b"));
    EXPECT_TRUE(ensureDirectory(dir.path() / "a"));
    writeRaw(dir.path() / "file", "");
    EXPECT_FALSE(ensureDirectory(dir.path() / "file"));
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

TEST(SettingsFile, WhatTheWriterSavesIsWhatTheReaderLoads) {
    const TempDir dir;
    EXPECT_EQ(loadSettings(findEntryIgnoringCase(dir.path(), kSettingsReadName)), Settings{});

    const Settings chosen{7, 12, 3400};
    const FileWriteResult saved =
        saveSettings(findEntryIgnoringCase(dir.path(), kSettingsWriteName), chosen);
    ASSERT_TRUE(saved.ok) << saved.message;
    EXPECT_EQ(loadSettings(findEntryIgnoringCase(dir.path(), kSettingsReadName)), chosen);
    EXPECT_EQ(entriesOf(dir.path()).size(), 1u);
}

TEST(SettingsFile, SaveKeepsOtherContentAndRefusesAnUnreadableFile) {
    const TempDir dir;
    const fs::path file = dir.path() / "Mirelune.ini";
    writeRaw(file, "[Other]\nA=1\n");
    ASSERT_TRUE(saveSettings(file, Settings{}).ok);
    EXPECT_EQ(readTextFile(file),
              "[Other]\nA=1\n[Mirelune ScreenSaver]\nSectors= 5\nSpeed=69\nDelay=1000\n");

    const std::string huge = "[Other]\n" + std::string(kMaxTextFileSize, ';') + "\n";
    writeRaw(file, huge);
    EXPECT_FALSE(saveSettings(file, Settings{}).ok);
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), huge);
}

}  // namespace
}  // namespace mirelune
