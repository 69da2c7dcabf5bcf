// One picture of the kaleidoscope: where its view window lies on the Mandelbrot set's
// boundary, and the escape-time colours of its rows, computed one row at a time.
#pragma once

#include <span>

#include "common/colour.h"
#include "common/random.h"
#include "palette/palette.h"
#include "render/fractal_map.h"

namespace mirelune {

// The view window in the complex plane; the imaginary axis points up, so top > bottom.
struct ViewWindow {
    float left = 0, top = 0, right = 0, bottom = 0;
};

// Walks the map from a point inside the set until the colour changes, then places a random
// window around the point reached: 0.04..0.54 x 0.03..0.41 for a Mandelbrot picture, eight
// times that for a Julia picture. Draws five or six random numbers.
ViewWindow getstart(const FractalMap& map, Random& random, bool mandel);

// The row-by-row computation of one picture of fwidth x fheight pixels.
class PictureRows {
  public:
    PictureRows() = default;
    PictureRows(const ViewWindow& window, int fwidth, int fheight, bool mandel);

    // Writes the colours of the current row, col[count - 1] per pixel, into out[0..fwidth-1].
    void computeRow(std::span<Colour> out, const Palette& col) const;

    // Moves on to the next row down; the row coordinate accumulates like the columns do.
    void advanceRow() { cY_ += yc_; }

  private:
    int fwidth_ = 0;
    bool mandel_ = false;
    float xs_ = 0;   // real coordinate of every row's first pixel
    float xc_ = 0;   // real step between pixels
    float yc_ = 0;   // imaginary step between rows (negative)
    float cY_ = 0;   // imaginary coordinate of the current row
    float cre_ = 0;  // Julia constant, the window's centre
    float cim_ = 0;
};

}  // namespace mirelune
