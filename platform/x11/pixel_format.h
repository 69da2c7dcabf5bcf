// The renderer's 0x00BBGGRR colours in a TrueColor visual's pixel layout, as its red, green
// and blue masks and its pixel size describe it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "common/colour.h"

namespace mirelune::x11 {

class PixelFormat {
  public:
    // The layout of a TrueColor visual of 15 to 32 bits stored in 16- or 32-bit pixels: each
    // mask a run of adjacent bits inside the depth, none overlapping. Bits of the depth
    // outside the three masks are alpha and are set, so the picture is opaque. Nothing for any
    // other layout: a visual of fewer bits would band the palettes' gradients beyond
    // recognition.
    static std::optional<PixelFormat> fromMasks(std::uint32_t red, std::uint32_t green,
                                                std::uint32_t blue, int depth, int bitsPerPixel);

    int bytesPerPixel() const { return bytesPerPixel_; }

    std::uint32_t convert(Colour colour) const {
        return red_[redOf(colour)] | green_[greenOf(colour)] | blue_[blueOf(colour)] | opaque_;
    }

    // Converts the row into `out`, bytesPerPixel() bytes per pixel in the machine's byte
    // order; `out` must be aligned for such pixels.
    void convertRow(std::span<const Colour> row, void* out) const;

  private:
    // Each channel's eight bits already placed in the pixel, by value.
    using ChannelTable = std::array<std::uint32_t, 256>;
    static ChannelTable channelTable(std::uint32_t mask);

    ChannelTable red_{};
    ChannelTable green_{};
    ChannelTable blue_{};
    std::uint32_t opaque_ = 0;
    int bytesPerPixel_ = 4;
};

}  // namespace mirelune::x11
