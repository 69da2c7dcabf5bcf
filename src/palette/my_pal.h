// The two halves of MyPal, apart so that a chosen gradient can be written without its draws.
#pragma once

#include "common/random.h"
#include "palette/palette.h"

namespace mirelune {

// Where the blue and green channels start (entry 0) and end (entry kBailout - 1).
struct GradientEnds {
    int blueStart = 0;
    int blueEnd = 0;
    int greenStart = 0;
    int greenEnd = 0;
};

// Draws blue start, blue end, green start, green end in that order.
GradientEnds drawGradientEnds(Random& random);

// Writes the gradient into every entry of col.
void writeGradient(Palette& col, const GradientEnds& ends);

}  // namespace mirelune
