// The kaleidoscope's geometry: the client area divided into sectors x sectors tiles, each
// two picture widths wide and two picture heights high.
#pragma once

#include "render/surface.h"

namespace mirelune {

struct TileGrid {
    int sectors = 1;
    int fwidth = 0;   // picture width: the client width divided by 2 * sectors
    int fheight = 0;  // picture height, likewise

    // Remainders are dropped: a strip at the right and bottom lies outside the grid.
    static TileGrid forClient(int clientWidth, int clientHeight, int sectors) {
        const int d2 = 2 * sectors;
        return {sectors, clientWidth / d2, clientHeight / d2};
    }

    int d2() const { return 2 * sectors; }
    int tileWidth() const { return 2 * fwidth; }
    int tileHeight() const { return 2 * fheight; }
    int gridWidth() const { return fwidth * d2(); }
    int gridHeight() const { return fheight * d2(); }
    bool empty() const { return fwidth <= 0 || fheight <= 0; }
};

}  // namespace mirelune
