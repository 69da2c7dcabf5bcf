#include "render_tool/png_writer.h"

#include "png_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace mirelune::render_tool {
namespace {

namespace fs = std::filesystem;

// 3 x 2 pixels in rows of 4: the fourth pixel of each row lies outside the image.
const std::vector<std::uint32_t> kPixels{
    0x000000FF, 0x0000FF00, 0x00FF0000, 0x00ABCDEF,  //
    0x00123456, 0x00000000, 0x00FFFFFF, 0x00ABCDEF,
};
const PixelRows kImage{kPixels.data(), 3, 2, 4};

TEST(PngWriter, ReplacesTheFileWithRgbRowsOrFailsLeavingNoFileBehind) {
    const fs::path dir = fs::path(testing::TempDir()) / "png_writer";
    fs::remove_all(dir);
    fs::create_directories(dir / "taken");
    std::ofstream(dir / "out.png") << "old content";
    ASSERT_EQ(writePng(dir / "out.png", kImage), std::nullopt);
    const DecodedPng png = readPng(dir / "out.png");
    EXPECT_EQ(png.width, 3u);
    EXPECT_EQ(png.height, 2u);
    EXPECT_EQ(png.format, static_cast<png_uint_32>(PNG_FORMAT_RGB));
    EXPECT_EQ(png.rgb,
              (std::vector<png_byte>{0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00,
                                     0xFF,  // red, green, blue
                                     0x56, 0x34, 0x12, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF}));

    const auto cannotCreate = writePng(dir / "missing" / "out.png", kImage);
    EXPECT_NE(cannotCreate.value_or("").find("missing"), std::string::npos)
        << cannotCreate.value_or("written");
    const auto cannotReplace = writePng(dir / "taken", kImage);
    EXPECT_NE(cannotReplace.value_or("").find("taken"), std::string::npos)
        << cannotReplace.value_or("written");
    EXPECT_TRUE(writePng(dir / "empty.png", PixelRows{kPixels.data(), 0, 2, 4}).has_value());
    EXPECT_TRUE(writePng(dir / "narrow.png", PixelRows{kPixels.data(), 3, 2, 2}).has_value());

    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir))
        files.push_back(entry.path().filename());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<fs::path>{"out.png", "taken"}));
    EXPECT_TRUE(fs::is_empty(dir / "taken"));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace mirelune::render_tool
