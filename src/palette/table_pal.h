// The two halves of TablePal, apart so that a chosen sample can be written without its draws.
#pragma once

#include "common/random.h"
#include "palette/palette.h"

namespace mirelune {

// Which built-in palette is sampled, how many indexes apart and from which index on.
struct TableSample {
    int number = 0;
    int stride = 0;
    int offset = 0;
};

// Draws number, stride and offset in that order.
TableSample drawTableSample(Random& random);

// col[i] = palette number's entry (offset + i * stride) mod 256, for every entry of col.
void writeTableSample(Palette& col, const TableSample& sample);

}  // namespace mirelune
