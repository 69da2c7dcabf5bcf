#include "palette/my_pal.h"

#include <algorithm>

#include "common/numeric.h"

namespace mirelune {
namespace {

int clampChannel(int value) {
    return std::clamp(value, 0, 255);
}

}  // namespace

GradientEnds drawGradientEnds(Random& random) {
    GradientEnds ends;
    ends.blueStart = floorToInt(random.next() * 128);
    ends.blueEnd = 100 + floorToInt(random.next() * 155);
    ends.greenStart = floorToInt(random.next() * 128);
    // A high green start leaves less room above it, so green never ends above 254.
    ends.greenEnd = 100 + floorToInt(random.next() * (155 - ends.greenStart));
    return ends;
}

void writeGradient(Palette& col, const GradientEnds& ends) {
    // The slopes are held in single precision, which can leave the end one unit short. The
    // last entry runs one step past the end, held within 0 .. 255.
    const float blueSlope = static_cast<float>((ends.blueEnd - ends.blueStart) / (kBailout - 1));
    const float greenSlope = static_cast<float>((ends.greenEnd - ends.greenStart) / (kBailout - 1));
    const bool greenSlower = greenSlope < blueSlope;
    for (int c = 0; c < kPaletteSize; ++c) {
        const int blue =
            clampChannel(floorToInt(c * static_cast<double>(blueSlope) + ends.blueStart));
        const int green =
            clampChannel(floorToInt(c * static_cast<double>(greenSlope) + ends.greenStart));
        const int red = 255 - (greenSlower ? green : blue);
        col[c] = rgb(red, green, blue);
    }
}

void MyPal(Palette& col, Random& random) {
    random.randomize();
    writeGradient(col, drawGradientEnds(random));
}

}  // namespace mirelune
