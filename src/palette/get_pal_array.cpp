#include <algorithm>

#include "palette/builtin_palettes.h"
#include "palette/palette.h"

namespace mirelune {

void GetPalArray(std::span<Colour, kBuiltinPaletteLength> pal, std::int16_t number) {
    if (number < 0 || number >= kBuiltinPaletteCount) {
        return;
    }
    std::ranges::copy(kBuiltinPalettes[number], pal.begin());
}

}  // namespace mirelune
