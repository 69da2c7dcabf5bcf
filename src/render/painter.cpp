#include "render/painter.h"

#include <algorithm>
#include <cstring>

namespace mirelune {

void clearGrid(const TileGrid& grid, Canvas screen, ChangedRows& changed) {
    const int width = std::min(grid.gridWidth(), screen.width);
    const int height = std::min(grid.gridHeight(), screen.height);
    for (int y = 0; y < height; ++y)
        std::fill_n(screen.row(y), width, Colour{0});
    changed.markRange(0, height);
}

void Painter::begin(const TileGrid& grid, bool flip) {
    grid_ = grid;
    flip_ = flip;
    row_.assign(static_cast<std::size_t>(std::max(grid.gridWidth(), 0)), 0);
}

int Painter::topPlace(int i, int y) const {
    const int tile = grid_.tileHeight() * i;
    return flip_ ? tile + grid_.fheight - 1 - y : tile + y;
}

int Painter::bottomPlace(int i, int y) const {
    const int nextTile = grid_.tileHeight() * (i + 1);
    return flip_ ? nextTile - grid_.fheight + y : nextTile - 1 - y;
}

void Painter::paintRow(int y, Canvas screen, ChangedRows& changed) {
    const int fwidth = grid_.fwidth;
    if (fwidth <= 0 || y < 0 || y >= grid_.fheight) return;
    // Mirror the computed half into a whole tile row, then repeat that tile across the grid
    // by doubling, so that each place below is one long copy instead of one per tile.
    Colour* row = row_.data();
    const int tileWidth = grid_.tileWidth();
    for (int x = 0; x < fwidth; ++x)
        row[tileWidth - 1 - x] = row[x];
    const std::size_t gridWidth = row_.size();
    for (std::size_t filled = tileWidth; filled < gridWidth; filled *= 2) {
        std::memcpy(row + filled, row, std::min(filled, gridWidth - filled) * sizeof(Colour));
    }

    const std::size_t width =
        std::min(gridWidth, static_cast<std::size_t>(std::max(screen.width, 0)));
    for (int i = 0; i < grid_.sectors; ++i) {
        for (int place : {topPlace(i, y), bottomPlace(i, y)}) {
            if (place < 0 || place >= screen.height) continue;
            std::memcpy(screen.row(place), row, width * sizeof(Colour));
            changed.mark(place);
        }
    }
}

}  // namespace mirelune
