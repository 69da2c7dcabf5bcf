// Helpers shared by the palette tests: sentinel-filled arrays and recognisers for the shapes
// the palette builders produce.
#pragma once

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

#include "common/colour.h"
#include "common/random.h"
#include "palette/builtin_palettes.h"
#include "palette/table_pal.h"

namespace mirelune::palette_test {

// Its top byte is set, which no palette colour has, so an overwritten entry always shows.
inline constexpr Colour kSentinel = 0xFF00FF00;

inline std::vector<Colour> sentinelFilled(std::size_t size) {
    return std::vector<Colour>(size, kSentinel);
}

// A generator whose draws depend on `seed`; a new generator starts alike whatever its clock
// says until it first re-seeds.
inline Random seededRandom(std::uint64_t seed) {
    Random random(fixedSeedClock(seed));
    random.randomize();
    return random;
}

template <typename Predicate>
bool allEntries(std::span<const Colour> col, Predicate predicate) {
    return std::ranges::all_of(col, predicate);
}

// A palette, start and stride of the built-in table that col is a sample of, if any.
inline std::optional<TableSample> findTableSample(std::span<const Colour> col) {
    for (int number = 0; number < kBuiltinPaletteCount; ++number) {
        const BuiltinPalette& source = kBuiltinPalettes[number];
        for (int offset = 0; offset < kBuiltinPaletteLength; ++offset) {
            if (source[offset] != col[0]) {
                continue;
            }
            for (int stride = 0; stride < kBuiltinPaletteLength; ++stride) {
                bool matches = true;
                for (std::size_t i = 1; i < col.size() && matches; ++i) {
                    matches = source[(offset + i * stride) % kBuiltinPaletteLength] == col[i];
                }
                if (matches) {
                    return TableSample{number, stride, offset};
                }
            }
        }
    }
    return std::nullopt;
}

}  // namespace mirelune::palette_test
