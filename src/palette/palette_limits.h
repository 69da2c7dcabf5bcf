// The one bounds rule of every palette builder: refuse rather than write past the caller's span.
#pragma once

#include <optional>
#include <span>

#include "common/colour.h"
#include "common/numeric.h"

namespace mirelune {

// The gradient divides by bailout - 1, so it and setpalette, which may pick it, need this much.
inline constexpr double kLeastGradientBailout = 2.0;

// The index of the last entry a builder writes for `bailout`, CInt(bailout), or nothing when
// bailout is below `least` (or not a number) or col has no room for that entry.
inline std::optional<int> lastEntryFor(std::span<const Colour> col, double bailout, double least) {
    if (!(bailout >= least)) {
        return std::nullopt;
    }
    const double last = roundHalfEven(bailout);
    if (last >= static_cast<double>(col.size())) {
        return std::nullopt;
    }
    return static_cast<int>(last);
}

}  // namespace mirelune
