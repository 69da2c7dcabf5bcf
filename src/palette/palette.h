// Palettes of the pictures: a fresh set of colours for every picture, in one of twenty styles
// (random colours, a two-channel gradient, or a sample of a built-in palette).
#pragma once

#include <array>

#include "common/colour.h"
#include "common/random.h"

namespace mirelune {

// The iteration limit of every picture. Escape counts run 1 .. kBailout + 1 and count n takes
// palette entry n - 1, so the last entry colours the points that never escape. It is a double
// because the palette arithmetic built on it is done in floating point.
inline constexpr double kBailout = 24.0;
inline constexpr int kPaletteSize = static_cast<int>(kBailout) + 1;
using Palette = std::array<Colour, kPaletteSize>;

// Fills every entry of `col` with a sample of a random built-in palette.
void TablePal(Palette& col, Random& random);

// Fills every entry of `col` with the blue-green gradient; re-seeds `random` from its clock first.
void MyPal(Palette& col, Random& random);

// Fills every entry of `col` in one of the twenty styles, drawn first.
void setpalette(Palette& col, Random& random);

}  // namespace mirelune
