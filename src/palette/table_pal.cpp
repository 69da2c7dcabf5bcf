#include "palette/table_pal.h"

#include "common/numeric.h"
#include "palette/builtin_palettes.h"
#include "palette/palette.h"
#include "palette/palette_limits.h"

namespace mirelune {
namespace {

// Short palettes skip through the table in wide steps so that they still span its colours;
// long ones take closer steps, and very long ones hold a single colour.
int drawStride(double bailout, Random& random) {
    if (bailout < 50) {
        return 3 * floorToInt(random.next() * 8 + 2);
    }
    if (bailout < 100) {
        return 3 * floorToInt(random.next() * 4 + 1);
    }
    return 0;
}

}  // namespace

TableSample drawTableSample(double bailout, Random& random) {
    TableSample sample;
    sample.number = floorToInt(random.next() * kBuiltinPaletteCount);
    sample.stride = drawStride(bailout, random);
    sample.offset = floorToInt(random.next() * kBuiltinPaletteLength);
    return sample;
}

void writeTableSample(std::span<Colour> col, int last, const TableSample& sample) {
    const BuiltinPalette& source = kBuiltinPalettes[sample.number];
    for (int i = 0; i <= last; ++i) {
        col[i] = source[(sample.offset + i * sample.stride) % kBuiltinPaletteLength];
    }
}

bool TablePal(std::span<Colour> col, double bailout, Random& random) {
    const std::optional<int> last = lastEntryFor(col, bailout, 0.0);
    if (!last) {
        return false;
    }
    writeTableSample(col, *last, drawTableSample(bailout, random));
    return true;
}

}  // namespace mirelune
