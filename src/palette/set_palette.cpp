#include "common/numeric.h"
#include "palette/palette.h"
#include "palette/random_styles.h"

namespace mirelune {
namespace {

constexpr int kStyleCount = 20;
constexpr int kFirstGradientStyle = 11;
constexpr int kFirstTableStyle = 14;

}  // namespace

void setpalette(Palette& col, Random& random) {
    const int style = floorToInt(random.next() * kStyleCount) + 1;
    if (style >= kFirstTableStyle) {
        TablePal(col, random);
    } else if (style >= kFirstGradientStyle) {
        MyPal(col, random);
    } else {
        fillRandomStyle(col, style, random);
    }
}

}  // namespace mirelune
