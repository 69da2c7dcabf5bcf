// The numeric conversions the saver's arithmetic is defined with. Several of them differ
// from C++'s own casts (rounding ties to even, flooring, truncating division), and the
// pictures, palettes and labels depend on those differences, so every caller uses these.
#pragma once

#include <cmath>
#include <cstdint>

namespace mirelune {

// Nearest whole number, ties to the even one (2.5 -> 2, 3.5 -> 4). The saver never changes
// the floating-point rounding mode, so nearbyint rounds to nearest-even.
inline double roundHalfEven(double x) {
    return std::nearbyint(x);
}

// 32-bit integer nearest to x, ties to even; x must lie within the 32-bit range.
inline std::int32_t toLongRounded(double x) {
    return static_cast<std::int32_t>(roundHalfEven(x));
}

// Largest whole number not above x.
inline std::int32_t floorToInt(double x) {
    return static_cast<std::int32_t>(std::floor(x));
}

// Whole-number division truncated toward zero.
inline std::int32_t truncDiv(std::int32_t a, std::int32_t b) {
    return a / b;
}

// x taken to the nearest whole number (ties to even), then the remainder of division by n.
inline std::int32_t roundedMod(double x, std::int32_t n) {
    return toLongRounded(x) % n;
}

}  // namespace mirelune
