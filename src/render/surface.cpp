#include "render/surface.h"

#include <algorithm>

namespace mirelune {

void Surface::resize(int width, int height, Colour fill) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill);
    pixels_.shrink_to_fit();
}

}  // namespace mirelune
