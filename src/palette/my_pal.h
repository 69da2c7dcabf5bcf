// The two halves of MyPal, apart so that a chosen gradient can be written without its draws.
#pragma once

#include <span>

#include "common/colour.h"
#include "common/random.h"

namespace mirelune {

// Where the blue and green channels start (entry 0) and end (entry bailout - 1).
struct GradientEnds {
    int blueStart = 0;
    int blueEnd = 0;
    int greenStart = 0;
    int greenEnd = 0;
};

// Draws blue start, blue end, green start, green end in that order.
GradientEnds drawGradientEnds(Random& random);

// Writes the gradient into col[0 .. last]; bailout (at least 2) sets the slopes.
void writeGradient(std::span<Colour> col, double bailout, int last, const GradientEnds& ends);

}  // namespace mirelune
