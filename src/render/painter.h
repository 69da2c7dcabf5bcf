// The kaleidoscope painter: mirrors each computed picture row into a row buffer twice as
// wide and copies that into every tile of the grid, once into the tile's upper half and
// once, mirrored top to bottom, into its lower half.
#pragma once

#include <span>
#include <vector>

#include "render/changed_rows.h"
#include "render/surface.h"
#include "render/tile_grid.h"

namespace mirelune {

// Paints the grid area of `screen` black, the window's background: the clear after a resize.
// The strips beyond the grid keep what they show.
void clearGrid(const TileGrid& grid, Canvas screen, ChangedRows& changed);

class Painter {
  public:
    // Starts a picture: takes the geometry and the row order (flip: rows grow from the tiles'
    // centre lines outwards instead of from their edges inwards).
    void begin(const TileGrid& grid, bool flip);

    // Where the computed colours of the next row go: fwidth pixels.
    std::span<Colour> rowPixels() { return {row_.data(), static_cast<std::size_t>(grid_.fwidth)}; }

    // Mirrors the row in rowPixels() and copies it to its two places in every tile for
    // picture row y. Rows and columns outside `screen` are skipped.
    void paintRow(int y, Canvas screen, ChangedRows& changed);

    std::size_t bufferBytes() const { return row_.capacity() * sizeof(Colour); }

    // The two surface rows that picture row y lands on in tile row i.
    int topPlace(int i, int y) const;
    int bottomPlace(int i, int y) const;

  private:
    TileGrid grid_;
    bool flip_ = false;
    std::vector<Colour> row_;  // one buffered row across the whole grid
};

}  // namespace mirelune
