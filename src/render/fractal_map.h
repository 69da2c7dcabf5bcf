// The coarse 100 x 75 escape-time map of the Mandelbrot set that the start search walks on.
#pragma once

#include <array>

#include "common/colour.h"

namespace mirelune {

inline constexpr int kMapColumns = 100;
inline constexpr int kMapRows = 75;

// What a read outside the map gives: equal to no map colour, so a walk stops there.
inline constexpr Colour kInvalidColour = 0xFFFFFFFF;

// The map colour of an escape count: red 16n (at most 255), no green, blue 255 - (16n mod 256).
// The 25 colours are pairwise different, so equal colours mean equal counts.
constexpr Colour mapColour(int count) {
    const int red = 16 * count > 255 ? 255 : 16 * count;
    return rgb(red, 0, 255 - (16 * count) % 256);
}

class FractalMap {
  public:
    // Column j and row i stand for re = -2.5 + 0.04 j, im = 1.5 - 0.04 i, accumulated in float.
    FractalMap();

    Colour at(int column, int row) const {
        if (column < 0 || row < 0 || column >= kMapColumns || row >= kMapRows) {
            return kInvalidColour;
        }
        return cells_[row * kMapColumns + column];
    }

  private:
    std::array<Colour, kMapColumns * kMapRows> cells_{};
};

}  // namespace mirelune
