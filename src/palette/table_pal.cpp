#include "palette/table_pal.h"

#include "common/numeric.h"
#include "palette/builtin_palettes.h"

namespace mirelune {

TableSample drawTableSample(Random& random) {
    TableSample sample;
    sample.number = floorToInt(random.next() * kBuiltinPaletteCount);
    // A stride of 6 .. 27 spreads the few entries of a picture's palette across the table.
    sample.stride = 3 * floorToInt(random.next() * 8 + 2);
    sample.offset = floorToInt(random.next() * kBuiltinPaletteLength);
    return sample;
}

void writeTableSample(Palette& col, const TableSample& sample) {
    const BuiltinPalette& source = kBuiltinPalettes[sample.number];
    for (int i = 0; i < kPaletteSize; ++i) {
        col[i] = source[(sample.offset + i * sample.stride) % kBuiltinPaletteLength];
    }
}

void TablePal(Palette& col, Random& random) {
    writeTableSample(col, drawTableSample(random));
}

}  // namespace mirelune
