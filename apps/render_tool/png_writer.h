// Writes a renderer surface to disk as an 8-bit RGB PNG.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace mirelune::render_tool {

// Rows of 32-bit 0x00BBGGRR pixels (red in the low byte); stride is the distance in pixels
// from the start of one row to the start of the next.
struct PixelRows {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

// Writes the image to path through a temporary file beside it, so that a failure never
// leaves a partial file. Returns a one-line error message, or nothing on success.
std::optional<std::string> writePng(const std::filesystem::path& path, const PixelRows& image);

}  // namespace mirelune::render_tool
