// Pixel surfaces of the renderer. A Canvas is a plain view {pixels, width, height, stride};
// a Surface owns the pixels of one. Views of parts of a surface (a tile, a row) are Canvases
// too, so copying code never needs to know who owns the memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/colour.h"

namespace mirelune {

struct Canvas {
    Colour* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // pixels from the start of one row to the start of the next

    Colour* row(int y) const { return pixels + static_cast<std::ptrdiff_t>(y) * stride; }
    Colour& at(int x, int y) const { return row(y)[x]; }
};

class Surface {
  public:
    Surface() = default;
    Surface(int width, int height, Colour fill = 0) { resize(width, height, fill); }

    // Drops the old content; negative sizes count as empty.
    void resize(int width, int height, Colour fill = 0);

    int width() const { return width_; }
    int height() const { return height_; }
    Canvas canvas() { return {pixels_.data(), width_, height_, width_}; }
    const Colour* row(int y) const {
        return pixels_.data() + static_cast<std::ptrdiff_t>(y) * width_;
    }
    Colour at(int x, int y) const { return row(y)[x]; }
    std::size_t bytes() const { return pixels_.size() * sizeof(Colour); }

  private:
    std::vector<Colour> pixels_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace mirelune
