// The constant table behind GetPalArray and TablePal.
#pragma once

#include <array>

#include "common/colour.h"
#include "palette/palette.h"

namespace mirelune {

using BuiltinPalette = std::array<Colour, kBuiltinPaletteLength>;
using BuiltinPaletteTable = std::array<BuiltinPalette, kBuiltinPaletteCount>;

extern const BuiltinPaletteTable kBuiltinPalettes;

}  // namespace mirelune
