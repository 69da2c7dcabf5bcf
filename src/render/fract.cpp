#include "render/fract.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/numeric.h"

namespace mirelune {
namespace {

// Speeds from this one up paint row after row with no wait in between.
constexpr double kNoWaitSpeed = 68;
constexpr int kMaxSectors = 1000;

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
      surface_(clientSize.width, clientSize.height) {
    random_.randomize();
    changed_.reset(surface_.height());
}

void Fract::resize(Size clientSize) {
    if (clientSize.width != surface_.width() || clientSize.height != surface_.height()) {
        resizeKeeping(surface_, clientSize);
        changed_.reset(surface_.height());
        changed_.markRange(0, surface_.height());
    }
    resized_ = true;
    if (!painting_ && shown_) startPainting();
    shown_ = true;
}

void Fract::startPainting() {
    startRequested_ = true;
}

void Fract::endWait() {
    waitEnd_ = waitStart_;
}

std::int64_t Fract::nextStepAt() const {
    if (startRequested_) return kDueNow;
    switch (phase_) {
        case Phase::Idle:
            return kNoDeadline;
        case Phase::Empty:
            return resized_ ? kDueNow : kNoDeadline;
        default:
            return waitEnd_;  // a row wait or the delay: no other phase outlasts a step
    }
}

std::int64_t Fract::step(std::int64_t nowMs) {
    if (startRequested_) {
        startRequested_ = false;
        sectors_ = static_cast<int>(std::clamp(settings_.sectors, 1.0, double{kMaxSectors}));
        phase_ = Phase::FreshPicture;
    }
    // Each pass of this loop changes phase without painting; it ends with one painted row or
    // with a wait, so a step's work is bounded by one picture start and one row.
    for (;;) {
        switch (phase_) {
            case Phase::Idle:
                return kNoDeadline;
            case Phase::Empty:
                // Nothing fits the window: rather than cycling through empty pictures, sleep
                // until a resize or a start request gives the loop something to draw.
                if (!resized_) return kNoDeadline;
                phase_ = Phase::FreshPicture;
                break;
            case Phase::FreshPicture:
                mandel_ = 3 * random_.next() < 1;
                painting_ = true;
                phase_ = Phase::PictureStart;
                break;
            case Phase::PictureStart:
                startPicture();
                phase_ = grid_.empty() ? Phase::Empty : Phase::Row;
                break;
            case Phase::Row:
                paintRow(nowMs);
                return waitEnd_;
            case Phase::RowWait:
                if (waitRunning(nowMs)) return waitEnd_;
                rows_.advanceRow();
                ++y_;
                if (resized_) {
                    phase_ = Phase::PictureStart;  // a restart keeps the kind of picture
                } else if (y_ < grid_.fheight) {
                    phase_ = Phase::Row;
                } else {
                    // A finished picture ends the step, even with no delay: whoever drives
                    // the loop sees the whole picture, and events get a turn before the next.
                    ++completed_;
                    beginWait(nowMs, std::max(settings_.delay, 0));
                    phase_ = Phase::Delay;
                    return waitEnd_;
                }
                break;
            case Phase::Delay:
                if (waitRunning(nowMs)) return waitEnd_;
                phase_ = Phase::FreshPicture;
                break;
        }
    }
}

void Fract::startPicture() {
    setpalette(col_, random_);
    const ViewWindow window = getstart(map_, random_, mandel_);

    grid_ = TileGrid::forClient(surface_.width(), surface_.height(), sectors_);
    if (resized_) {
        resized_ = false;
        clearGrid(grid_, surface_.canvas(), changed_);
    }
    rows_ = PictureRows(window, grid_.fwidth, grid_.fheight, mandel_);
    painter_.begin(grid_, random_.next() < 0.5);
    y_ = 0;
}

void Fract::paintRow(std::int64_t nowMs) {
    rows_.computeRow(painter_.rowPixels(), col_);
    painter_.paintRow(y_, surface_.canvas(), changed_);
    beginWait(nowMs, rowWaitMs());
    phase_ = Phase::RowWait;
}

void Fract::beginWait(std::int64_t nowMs, std::int64_t lengthMs) {
    waitStart_ = nowMs;
    waitEnd_ = nowMs + lengthMs;
}

bool Fract::waitRunning(std::int64_t nowMs) {
    // A clock that went back (one that is not monotonic, or was set) would stretch the wait
    // by the jump, freezing the picture for as long; the wait moves back with it instead.
    if (nowMs < waitStart_) {
        waitEnd_ -= waitStart_ - nowMs;
        waitStart_ = nowMs;
    }
    return nowMs < waitEnd_;
}

std::int64_t Fract::rowWaitMs() const {
    const double speed = settings_.speed;
    if (!(speed < kNoWaitSpeed)) return 0;
    // The wait ends at the first millisecond at or after 700 / (speed + 1) ms from now.
    const double k = std::max(roundHalfEven(speed + 1), 1.0);
    return static_cast<std::int64_t>(std::ceil(700 / k));
}

Size Fract::wantedSize() const {
    const Size current{surface_.width(), surface_.height()};
    if (state_ != WindowState::Normal || !painting_) return current;
    if (grid_.empty()) return current;
    return {current.width - current.width % grid_.d2(),
            current.height - current.height % grid_.d2()};
}

}  // namespace mirelune
