#include "render/frame_loop.h"

#include <algorithm>
#include <cmath>

#include "common/numeric.h"
#include "render/fract.h"

namespace mirelune {
namespace {

// Speeds from this one up paint row after row with no wait in between.
constexpr double kNoWaitSpeed = 68;
constexpr int kMaxSectors = 1000;

}  // namespace

std::int64_t FrameLoop::step(std::int64_t nowMs) {
    if (startRequested_) {
        startRequested_ = false;
        sectors_ = static_cast<int>(std::clamp(form_.settings_.sectors, 1.0, double{kMaxSectors}));
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
                if (!form_.resized_) return kNoDeadline;
                phase_ = Phase::FreshPicture;
                break;
            case Phase::FreshPicture:
                mandel_ = 3 * form_.random_.next() < 1;
                form_.painting_ = true;
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
                if (form_.resized_) {
                    phase_ = Phase::PictureStart;
                } else if (y_ < grid_.fheight) {
                    phase_ = Phase::Row;
                } else {
                    // A finished picture ends the step, even with no delay: whoever drives
                    // the loop sees the whole picture, and events get a turn before the next.
                    ++completed_;
                    beginWait(nowMs, std::max(form_.settings_.delay, 0));
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

void FrameLoop::startPicture() {
    setpalette(col_, kBailout, form_.random_);
    const ViewWindow window = getstart(map_, form_.random_, mandel_);

    const Surface& surface = form_.surface_;
    grid_ = TileGrid::forClient(surface.width(), surface.height(), sectors_);
    if (form_.resized_) {
        form_.resized_ = false;
        stretchSnapshot(form_.snapshot_, form_.surface_.canvas(), grid_.gridWidth(),
                        grid_.gridHeight(), form_.changed_);
    }
    rows_ = PictureRows(window, grid_.fwidth, grid_.fheight, mandel_);
    painter_.begin(grid_, form_.random_.next() < 0.5);
    y_ = 0;
}

void FrameLoop::paintRow(std::int64_t nowMs) {
    rows_.computeRow(painter_.rowPixels(), col_);
    painter_.paintRow(y_, form_.surface_.canvas(), form_.changed_);
    beginWait(nowMs, rowWaitMs());
    phase_ = Phase::RowWait;
}

void FrameLoop::beginWait(std::int64_t nowMs, std::int64_t lengthMs) {
    waitStart_ = nowMs;
    waitEnd_ = nowMs + lengthMs;
}

bool FrameLoop::waitRunning(std::int64_t nowMs) {
    // A clock that went back (one that is not monotonic, or was set) would stretch the wait
    // by the jump, freezing the picture for as long; the wait moves back with it instead.
    if (nowMs < waitStart_) {
        waitEnd_ -= waitStart_ - nowMs;
        waitStart_ = nowMs;
    }
    return nowMs < waitEnd_;
}

std::int64_t FrameLoop::rowWaitMs() const {
    const double speed = form_.settings_.speed;
    if (!(speed < kNoWaitSpeed)) return 0;
    // The wait ends at the first millisecond at or after 700 / (speed + 1) ms from now.
    const double k = std::max(roundHalfEven(speed + 1), 1.0);
    return static_cast<std::int64_t>(std::ceil(700 / k));
}

}  // namespace mirelune
