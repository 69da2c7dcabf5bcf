// Palettes of the pictures: a fresh set of bailout + 1 colours for every picture, in one of
// twenty styles (random colours, a two-channel gradient, or a sample of a built-in palette).
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "common/colour.h"
#include "common/random.h"

namespace mirelune {

// The iteration limit of every picture; a picture uses kBailout + 1 colours.
inline constexpr double kBailout = 24.0;
inline constexpr int kPaletteSize = 25;
using Palette = std::array<Colour, kPaletteSize>;

inline constexpr int kBuiltinPaletteCount = 14;
inline constexpr int kBuiltinPaletteLength = 256;

// Copies built-in palette `number` (0..13) into `pal`; any other number leaves `pal` as it is.
void GetPalArray(std::span<Colour, kBuiltinPaletteLength> pal, std::int16_t number);

// Samples a random built-in palette into col[0..CInt(bailout)] with a random start and stride.
// Writes nothing and returns false when col is too small for bailout or bailout is negative.
bool TablePal(std::span<Colour> col, double bailout, Random& random);

// The blue-green gradient style; re-seeds `random` from its clock first. Needs bailout >= 2.
bool MyPal(std::span<Colour> col, double bailout, Random& random);

// Fills col[0..bailout] in one of the twenty styles. Returns false, writing nothing, when
// col cannot hold bailout + 1 entries or bailout is below 2.
bool setpalette(std::span<Colour> col, double bailout, Random& random);

}  // namespace mirelune
