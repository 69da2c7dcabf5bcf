// Styles 1 .. 10 of setpalette: every entry drawn afresh, the style tying its channels.
#pragma once

#include <span>

#include "common/colour.h"
#include "common/random.h"

namespace mirelune {

// Fills col[0 .. floor(bailout)] in `style` (1 .. 10). The caller has checked that col holds
// those entries and that bailout is not negative.
void fillRandomStyle(std::span<Colour> col, double bailout, int style, Random& random);

}  // namespace mirelune
