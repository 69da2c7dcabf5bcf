#include "render/fractal_map.h"

#include "render/escape_time.h"

namespace mirelune {

FractalMap::FractalMap() {
    // Both coordinates are accumulated by repeated float addition, never recomputed from the
    // indexes, so the map's sample points carry the same rounding as the pictures' do.
    const float reStep = 4.0f / 100.0f;
    const float imStep = -3.0f / 75.0f;
    float im = 1.5f;
    for (int row = 0; row < kMapRows; ++row) {
        float re = -2.5f;
        for (int column = 0; column < kMapColumns; ++column) {
            cells_[row * kMapColumns + column] = mapColour(escapeCount(re, im, re, im));
            re += reStep;
        }
        im += imStep;
    }
}

}  // namespace mirelune
