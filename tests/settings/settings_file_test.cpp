#include "settings/settings_file.h"
#include "settings/text_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

namespace mirelune {
namespace {

namespace fs = std::filesystem;

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

    // Files are read up to a size limit; one too large to read is not ours to cut short.
    const std::string limit(kMaxTextFileSize, 'x');
    EXPECT_EQ(readTextFile(dir.write("limit.ini", limit)), limit);
    const fs::path big = dir.write("big.ini", limit + "x");
    EXPECT_EQ(readTextFile(big), std::nullopt);
    EXPECT_FALSE(saveSettings(legacy, big, chosen).ok);
    EXPECT_EQ(fs::file_size(big), limit.size() + 1);

    // A directory standing where the file should go blocks the final rename; the temporary
    // file written beside it goes too.
    const fs::path blocked = dir.path / "blocked" / "b.ini";
    fs::create_directories(blocked);
    const FileWriteResult result = writeTextFileAtomically(blocked, "x");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(blocked.parent_path()), {}), 1);
}

}  // namespace
}  // namespace mirelune
