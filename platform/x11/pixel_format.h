// The renderer's 0x00BBGGRR colours in a TrueColor visual's pixel layout, as its red, green
// and blue masks describe it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "common/colour.h"

namespace mirelune::x11 {

class PixelFormat {
  public:
    // The layout of a 24- or 32-bit TrueColor visual: each mask eight adjacent bits, none
    // overlapping. At depth 32 the bits outside the three masks are alpha and are set, so the
    // picture is opaque. Nothing for any other layout.
    static std::optional<PixelFormat> fromMasks(std::uint32_t red, std::uint32_t green,
                                                std::uint32_t blue, int depth);

    std::uint32_t convert(Colour colour) const {
        return static_cast<std::uint32_t>(redOf(colour)) << redShift_ |
               static_cast<std::uint32_t>(greenOf(colour)) << greenShift_ |
               static_cast<std::uint32_t>(blueOf(colour)) << blueShift_ | opaque_;
    }

    // Converts as many pixels as both spans hold.
    void convertRow(std::span<const Colour> in, std::span<std::uint32_t> out) const;

  private:
    int redShift_ = 0;
    int greenShift_ = 0;
    int blueShift_ = 0;
    std::uint32_t opaque_ = 0;
};

}  // namespace mirelune::x11
