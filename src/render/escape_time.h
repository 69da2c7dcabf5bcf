// The escape-time iteration shared by the map and the pictures. Every picture pixel runs
// through this, so it is inline and free of calls; the float/double mix below is what
// decides single pixels at the escape boundary, so it is kept exactly as it is.
#pragma once

#include "palette/palette.h"

namespace mirelune {

// The number of steps, 1 .. kPaletteSize (the last for a point that never escaped), until
// z = z^2 + c leaves the circle of radius 2, starting from z = (zx, zy) itself. The squares
// and zy are rounded to float after every step; zx is carried in double, and the copy of it
// that enters 2*zx*zy is rounded to float.
inline int escapeCount(float startX, float startY, float cre, float cim) {
    double zx = startX;
    float zy = startY;
    float zx2 = startX * startX;
    float zy2 = startY * startY;
    int n = 0;
    for (;;) {
        ++n;
        const float zxCopy = static_cast<float>(zx);
        zx = static_cast<double>(zx2) - zy2 + cre;
        zy = static_cast<float>(2.0 * zxCopy * zy + cim);
        zx2 = static_cast<float>(zx * zx);
        zy2 = zy * zy;
        if (static_cast<double>(zx2) + zy2 > 4.0) return n;
        if (n >= kPaletteSize) return n;
    }
}

}  // namespace mirelune
