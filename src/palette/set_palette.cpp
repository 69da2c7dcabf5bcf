#include "common/numeric.h"
#include "palette/palette.h"
#include "palette/palette_limits.h"
#include "palette/random_styles.h"

namespace mirelune {
namespace {

constexpr int kStyleCount = 20;
constexpr int kFirstGradientStyle = 11;
constexpr int kFirstTableStyle = 14;

}  // namespace

bool setpalette(std::span<Colour> col, double bailout, Random& random) {
    // Checked before the style draw so that a refused call leaves the generator untouched.
    if (!lastEntryFor(col, bailout, kLeastGradientBailout)) {
        return false;
    }
    const int style = floorToInt(random.next() * kStyleCount) + 1;
    if (style >= kFirstTableStyle) {
        return TablePal(col, bailout, random);
    }
    if (style >= kFirstGradientStyle) {
        return MyPal(col, bailout, random);
    }
    fillRandomStyle(col, bailout, style, random);
    return true;
}

}  // namespace mirelune
