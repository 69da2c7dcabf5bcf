// Reads a PNG back as 8-bit RGB for the tests' checks.
#pragma once

#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <vector>

namespace mirelune::render_tool {

struct DecodedPng {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    png_uint_32 format = 0;
    std::vector<png_byte> rgb;
};

// Reads a PNG back as 8-bit RGB; the format field tells what the file itself holds.
inline DecodedPng readPng(const std::filesystem::path& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    DecodedPng decoded;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << "cannot read " << path << ": " << image.message;
        return decoded;
    }
    decoded.width = image.width;
    decoded.height = image.height;
    decoded.format = image.format;
    image.format = PNG_FORMAT_RGB;
    decoded.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, decoded.rgb.data(), 0, nullptr)) {
        ADD_FAILURE() << "cannot decode " << path << ": " << image.message;
    }
    return decoded;
}

}  // namespace mirelune::render_tool
