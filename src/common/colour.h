// Colour values are 32-bit 0x00BBGGRR: red in the low byte, blue in the third.
#pragma once

#include <algorithm>
#include <cstdint>

namespace mirelune {

using Colour = std::uint32_t;

// Channels above 255 count as 255; channels are never negative where this is used.
constexpr Colour rgb(int red, int green, int blue) {
    return static_cast<Colour>(std::min(red, 255)) |
           static_cast<Colour>(std::min(green, 255)) << 8 |
           static_cast<Colour>(std::min(blue, 255)) << 16;
}

constexpr int redOf(Colour c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int greenOf(Colour c) {
    return static_cast<int>(c >> 8 & 0xFF);
}
constexpr int blueOf(Colour c) {
    return static_cast<int>(c >> 16 & 0xFF);
}

}  // namespace mirelune
