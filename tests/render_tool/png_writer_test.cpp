#include "render_tool/png_writer.h"

#include "png_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace mirelune::render_tool {
namespace {

namespace fs = std::filesystem;

class PngWriter : public testing::Test {
  protected:
    void SetUp() override {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::path(testing::TempDir()) / (std::string("png_writer_") + test->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::vector<fs::path> filesInDir() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            files.push_back(entry.path().filename());
        }
        return files;
    }

    fs::path dir_;
};

// 3 x 2 pixels in rows of 4: the fourth pixel of each row lies outside the image.
const std::vector<std::uint32_t> kPixels{
    0x000000FF, 0x0000FF00, 0x00FF0000, 0x00ABCDEF,  //
    0x00123456, 0x00000000, 0x00FFFFFF, 0x00ABCDEF,
};
const PixelRows kImage{kPixels.data(), 3, 2, 4};

TEST_F(PngWriter, WritesRgbRowsInRedGreenBlueOrder) {
    const fs::path file = dir_ / "out.png";
    ASSERT_EQ(writePng(file, kImage), std::nullopt);

    const DecodedPng png = readPng(file);
    EXPECT_EQ(png.width, 3u);
    EXPECT_EQ(png.height, 2u);
    EXPECT_EQ(png.format, static_cast<png_uint_32>(PNG_FORMAT_RGB));
    const std::vector<png_byte> expected{
        0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF,  // red, green, blue
        0x56, 0x34, 0x12, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF,
    };
    EXPECT_EQ(png.rgb, expected);
    EXPECT_EQ(filesInDir(), std::vector<fs::path>{"out.png"});
}

TEST_F(PngWriter, ReplacesAnExistingFile) {
    const fs::path file = dir_ / "out.png";
    std::ofstream(file) << "old content";
    ASSERT_EQ(writePng(file, kImage), std::nullopt);
    EXPECT_EQ(readPng(file).width, 3u);
    EXPECT_EQ(filesInDir(), std::vector<fs::path>{"out.png"});
}

TEST_F(PngWriter, FailuresLeaveNoFileBehind) {
    const fs::path missingDir = dir_ / "missing" / "out.png";
    const auto cannotCreate = writePng(missingDir, kImage);
    ASSERT_TRUE(cannotCreate.has_value());
    EXPECT_NE(cannotCreate->find("missing"), std::string::npos) << *cannotCreate;

    const fs::path directory = dir_ / "taken";
    fs::create_directory(directory);
    const auto cannotReplace = writePng(directory, kImage);
    ASSERT_TRUE(cannotReplace.has_value());
    EXPECT_NE(cannotReplace->find("taken"), std::string::npos) << *cannotReplace;

    // libpng refuses rows wider than a million pixels by default.
    const std::vector<std::uint32_t> wide(1'000'001);
    const auto refused =
        writePng(dir_ / "wide.png", PixelRows{wide.data(), 1'000'001, 1, 1'000'001});
    ASSERT_TRUE(refused.has_value());
    EXPECT_NE(refused->find("IHDR"), std::string::npos) << *refused;

    EXPECT_TRUE(writePng(dir_ / "empty.png", PixelRows{kPixels.data(), 0, 2, 4}).has_value());
    EXPECT_TRUE(writePng(dir_ / "narrow.png", PixelRows{kPixels.data(), 3, 2, 2}).has_value());

    EXPECT_EQ(filesInDir(), std::vector<fs::path>{"taken"});
    EXPECT_TRUE(fs::is_empty(directory));
}

}  // namespace
}  // namespace mirelune::render_tool
