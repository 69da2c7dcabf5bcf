// Styles 1 .. 10 of setpalette: every entry drawn afresh, the style tying its channels.
#pragma once

#include "common/random.h"
#include "palette/palette.h"

namespace mirelune {

// Fills every entry of col in `style` (1 .. 10).
void fillRandomStyle(Palette& col, int style, Random& random);

}  // namespace mirelune
