#include "pixel_format.h"

#include <algorithm>
#include <bit>

namespace mirelune::x11 {
namespace {

// A run of adjacent set bits.
bool isChannelMask(std::uint32_t mask) {
    if (mask == 0) return false;
    const std::uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

template <typename Pixel>
void convertInto(const PixelFormat& format, std::span<const Colour> row, Pixel* out) {
    std::transform(row.begin(), row.end(), out,
                   [&format](Colour c) { return static_cast<Pixel>(format.convert(c)); });
}

}  // namespace

PixelFormat::ChannelTable PixelFormat::channelTable(std::uint32_t mask) {
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    ChannelTable table{};
    for (std::uint32_t value = 0; value < 256; ++value) {
        // Fewer bits keep the top ones; more repeat the eight from the top down, so that full
        // intensity stays full (0xFF becomes 0x3FF in ten bits, not 0x3FC).
        std::uint64_t scaled = 0;
        int filled = 0;
        while (filled < bits) {
            scaled = scaled << 8 | value;
            filled += 8;
        }
        table[value] = static_cast<std::uint32_t>(scaled >> (filled - bits)) << shift;
    }
    return table;
}

std::optional<PixelFormat> PixelFormat::fromMasks(std::uint32_t red, std::uint32_t green,
                                                  std::uint32_t blue, int depth, int bitsPerPixel) {
    if (depth < 15 || depth > 32 || (bitsPerPixel != 16 && bitsPerPixel != 32) ||
        depth > bitsPerPixel) {
        return std::nullopt;
    }
    const std::uint32_t depthBits = depth == 32 ? ~0u : (1u << depth) - 1;
    const std::uint32_t colourBits = red | green | blue;
    const bool channelsOk = isChannelMask(red) && isChannelMask(green) && isChannelMask(blue) &&
                            (red & green) == 0 && (red & blue) == 0 && (green & blue) == 0 &&
                            (colourBits & ~depthBits) == 0;
    if (!channelsOk) return std::nullopt;
    PixelFormat format;
    format.red_ = channelTable(red);
    format.green_ = channelTable(green);
    format.blue_ = channelTable(blue);
    format.opaque_ = depthBits & ~colourBits;
    format.bytesPerPixel_ = bitsPerPixel / 8;
    return format;
}

void PixelFormat::convertRow(std::span<const Colour> row, void* out) const {
    if (bytesPerPixel_ == 2) {
        convertInto(*this, row, static_cast<std::uint16_t*>(out));
    } else {
        convertInto(*this, row, static_cast<std::uint32_t*>(out));
    }
}

}  // namespace mirelune::x11
