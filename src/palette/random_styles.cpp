#include "palette/random_styles.h"

#include "common/numeric.h"

namespace mirelune {
namespace {

// The channel values one entry offers its style, each 0 .. 255.
struct EntryChannels {
    int a = 0;
    int b = 0;
    int c = 0;
    int g = 0;
};

// Four draws per entry whatever the style, so every style consumes the generator alike.
// The offsets start at 255 so that the sums are never negative before Mod.
EntryChannels drawEntryChannels(int h, int step, Random& random) {
    const double o1 = random.next() * 256 + 255;
    const double o2 = random.next() * 256 + 255;
    const double o3 = random.next() * 256 + 255;
    const float f = static_cast<float>(random.next());
    const int shift = h * step;
    EntryChannels channels;
    channels.a = roundedMod(o1 + shift, 256);
    channels.b = roundedMod(o2 + shift, 256);
    channels.c = roundedMod(o3 + shift, 256);
    channels.g = roundedMod(o2 + static_cast<double>(f) * shift, 256);
    return channels;
}

// Rounding can give 256, which rgb() takes as 255.
int drawChannel(Random& random) {
    return toLongRounded(random.next() * 256);
}

Colour styleColour(int style, const EntryChannels& ch, Random& random) {
    switch (style) {
        case 1:
            return rgb(ch.a, 0, 255 - ch.c);
        case 2:
            return rgb(ch.a, 255 - ch.b, 0);
        case 6:
            return rgb(ch.a, 0, 0);
        case 7:
            return rgb(0, 0, 255 - ch.a);
        case 8:
            return rgb(ch.a, 0, 255 - ch.a);
        case 9:
            return rgb(0, 0, ch.a);
        case 10: {
            // Separate statements keep the draws in red, green, blue order.
            const int red = drawChannel(random);
            const int green = drawChannel(random);
            const int blue = drawChannel(random);
            return rgb(red, green, blue);
        }
        default:  // styles 3, 4 and 5
            return rgb(ch.a, ch.g, 255 - ch.c);
    }
}

}  // namespace

void fillRandomStyle(Palette& col, int style, Random& random) {
    // The shift per entry spreads one sweep of the channels over the whole palette.
    const int step = truncDiv(255, kPaletteSize);
    for (int h = 0; h < kPaletteSize; ++h) {
        const EntryChannels channels = drawEntryChannels(h, step, random);
        col[h] = styleColour(style, channels, random);
    }
}

}  // namespace mirelune
