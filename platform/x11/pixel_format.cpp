#include "pixel_format.h"

#include <algorithm>
#include <bit>

namespace mirelune::x11 {
namespace {

// The position of an eight-bit channel mask, or -1 when the mask is not one.
int channelShift(std::uint32_t mask) {
    if (mask == 0) return -1;
    const int shift = std::countr_zero(mask);
    return mask >> shift == 0xFFu ? shift : -1;
}

}  // namespace

std::optional<PixelFormat> PixelFormat::fromMasks(std::uint32_t red, std::uint32_t green,
                                                  std::uint32_t blue, int depth) {
    PixelFormat format;
    format.redShift_ = channelShift(red);
    format.greenShift_ = channelShift(green);
    format.blueShift_ = channelShift(blue);
    const bool channelsOk = format.redShift_ >= 0 && format.greenShift_ >= 0 &&
                            format.blueShift_ >= 0 && (red & green) == 0 && (red & blue) == 0 &&
                            (green & blue) == 0;
    if (!channelsOk || (depth != 24 && depth != 32)) return std::nullopt;
    if (depth == 32) format.opaque_ = ~(red | green | blue);
    return format;
}

void PixelFormat::convertRow(std::span<const Colour> in, std::span<std::uint32_t> out) const {
    const std::size_t count = std::min(in.size(), out.size());
    std::transform(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(count), out.begin(),
                   [this](Colour c) { return convert(c); });
}

}  // namespace mirelune::x11
