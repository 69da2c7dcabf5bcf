#include "render/fract.h"

#include <algorithm>
#include <cstring>

#include "render/frame_loop.h"

namespace mirelune {
namespace {

// Grows or shrinks a surface, keeping what overlaps and filling new area with black.
void resizeKeeping(Surface& surface, Size size) {
    Surface resized(size.width, size.height);
    const int width = std::min(surface.width(), resized.width());
    const int height = std::min(surface.height(), resized.height());
    Canvas out = resized.canvas();
    for (int y = 0; y < height; ++y) {
        std::memcpy(out.row(y), surface.row(y), static_cast<std::size_t>(width) * sizeof(Colour));
    }
    surface = std::move(resized);
}

}  // namespace

Fract::Fract(Random& random, const RenderSettings& settings, Size clientSize, WindowState state)
    : random_(random),
      settings_(settings),
      state_(state),
      surface_(clientSize.width, clientSize.height),
      loop_(std::make_unique<FrameLoop>(*this)) {
    random_.randomize();
    // The snapshot is the client area as it looks at load, its black background; the clear
    // after a resize stretches it over the grid.
    snapshot_ = surface_;
    changed_.reset(surface_.height());
}

Fract::~Fract() = default;

void Fract::resize(Size clientSize) {
    if (clientSize.width != surface_.width() || clientSize.height != surface_.height()) {
        resizeKeeping(surface_, clientSize);
        changed_.reset(surface_.height());
        changed_.markRange(0, surface_.height());
    }
    resized_ = true;
    if (!painting_ && shown_) loop_->requestStart();
    shown_ = true;
}

void Fract::activate() {
    loop_->requestStart();
}

void Fract::timerTick() {
    loop_->requestStart();
}

std::int64_t Fract::step(std::int64_t nowMs) {
    return loop_->step(nowMs);
}

Size Fract::wantedSize() const {
    const Size current{surface_.width(), surface_.height()};
    if (state_ != WindowState::Normal || !painting_) return current;
    const TileGrid grid = loop_->grid();
    if (grid.empty()) return current;
    return {current.width - current.width % grid.d2(), current.height - current.height % grid.d2()};
}

std::size_t Fract::surfaceBytes() const {
    return surface_.bytes() + snapshot_.bytes() + loop_->rowBufferBytes();
}

std::uint64_t Fract::picturesCompleted() const {
    return loop_->picturesCompleted();
}

}  // namespace mirelune
