// The two halves of TablePal, apart so that a chosen sample can be written without its draws.
#pragma once

#include <span>

#include "common/colour.h"
#include "common/random.h"

namespace mirelune {

// Which built-in palette is sampled, how many indexes apart and from which index on.
struct TableSample {
    int number = 0;
    int stride = 0;
    int offset = 0;
};

// Draws number, stride and offset in that order; no stride draw when bailout >= 100.
TableSample drawTableSample(double bailout, Random& random);

// col[i] = palette number's entry (offset + i * stride) mod 256, for i = 0 .. last.
void writeTableSample(std::span<Colour> col, int last, const TableSample& sample);

}  // namespace mirelune
