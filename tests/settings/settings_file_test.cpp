#include "settings/settings_file.h"
#include "settings/text_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>

namespace mirelune {
namespace {

namespace fs = std::filesystem;

// A fresh directory, removed with everything in it when the test ends.
struct ScratchDir {
    const fs::path path =
        fs::temp_directory_path() / ("mirelune-settings-" + std::to_string(std::random_device{}()));
    ScratchDir() { fs::create_directories(path); }
    ~ScratchDir() { fs::remove_all(path); }

    fs::path write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path / name, std::ios::binary) << bytes;
        return path / name;
    }
};

TEST(TextFile, ReadsUpToTheSizeLimitAndLeavesNoTraceOfAFailedWrite) {
    const ScratchDir dir;
    const std::string limit(kMaxTextFileSize, 'x');
    EXPECT_EQ(readTextFile(dir.write("limit.ini", limit)), limit);
    EXPECT_EQ(readTextFile(dir.write("big.ini", limit + "x")), std::nullopt);

    // A directory standing where the file should go blocks the final rename.
    fs::create_directory(dir.path / "b.ini");
    const FileWriteResult blocked = writeTextFileAtomically(dir.path / "b.ini", "x");
    EXPECT_FALSE(blocked.ok);
    EXPECT_FALSE(blocked.message.empty());
    std::set<std::string> entries;
    for (const auto& entry : fs::directory_iterator(dir.path))
        entries.insert(entry.path().filename().string());
    EXPECT_EQ(entries, (std::set<std::string>{"limit.ini", "big.ini", "b.ini"}));
}

TEST(SettingsFile, SaveStartsFromTheFileItReplacesElseFromTheOneReadWhichItNeverWrites) {
    const ScratchDir dir;
    const fs::path legacy = dir.write("old.ini", "[Other]\r\nA=1\r\n");
    const fs::path target = dir.path / "new" / "Mirelune.ini";
    const Settings chosen{7, 12, 3400};
    ASSERT_TRUE(saveSettings(legacy, target, chosen).ok);
    const std::string moved =
        "[Other]\r\nA=1\r\n[Mirelune ScreenSaver]\r\nSectors= 7\r\nSpeed=12\r\nDelay=3400\r\n";
    EXPECT_EQ(readTextFile(target), moved);
    EXPECT_EQ(loadSettings(target), chosen);
    EXPECT_EQ(readTextFile(legacy), "[Other]\r\nA=1\r\n");

    dir.write("old.ini", "[Legacy]\nB=2\n");
    ASSERT_TRUE(saveSettings(legacy, target, chosen).ok);
    EXPECT_EQ(readTextFile(target), moved);

    // A file too large to read is not ours to cut short.
    const std::string hugeText = "[Other]\n" + std::string(kMaxTextFileSize, ';') + "\n";
    const fs::path huge = dir.write("huge.ini", hugeText);
    EXPECT_FALSE(saveSettings(legacy, huge, Settings{}).ok);
    EXPECT_EQ(fs::file_size(huge), hugeText.size());
}

}  // namespace
}  // namespace mirelune
