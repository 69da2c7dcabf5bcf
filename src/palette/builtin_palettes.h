// The constant table behind TablePal.
#pragma once

#include <array>

#include "common/colour.h"

namespace mirelune {

inline constexpr int kBuiltinPaletteCount = 14;
inline constexpr int kBuiltinPaletteLength = 256;

using BuiltinPalette = std::array<Colour, kBuiltinPaletteLength>;
using BuiltinPaletteTable = std::array<BuiltinPalette, kBuiltinPaletteCount>;

extern const BuiltinPaletteTable kBuiltinPalettes;

}  // namespace mirelune
