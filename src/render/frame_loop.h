// The picture loop: pictures one after another for as long as the saver runs, each row
// followed by the speed wait and each picture by the delay, restarting after a resize.
// It runs as a state machine so that the platform keeps its own event loop: every step
// does one bounded piece of work and says when the next one is due.
#pragma once

#include <cstdint>

#include "palette/palette.h"
#include "render/fractal_map.h"
#include "render/painter.h"
#include "render/picture.h"
#include "render/tile_grid.h"

namespace mirelune {

class Fract;

class FrameLoop {
  public:
    explicit FrameLoop(Fract& form) : form_(form) {}

    // Abandons whatever is in progress; the next step begins a fresh picture with the
    // settings as they are then.
    void requestStart() { startRequested_ = true; }

    std::int64_t step(std::int64_t nowMs);

    std::uint64_t picturesCompleted() const { return completed_; }
    const TileGrid& grid() const { return grid_; }
    std::size_t rowBufferBytes() const { return painter_.bufferBytes(); }

  private:
    enum class Phase { Idle, FreshPicture, PictureStart, Row, RowWait, Delay, Empty };

    void startPicture();
    void paintRow(std::int64_t nowMs);
    void beginWait(std::int64_t nowMs, std::int64_t lengthMs);
    bool waitRunning(std::int64_t nowMs);
    std::int64_t rowWaitMs() const;

    Fract& form_;
    FractalMap map_;
    Phase phase_ = Phase::Idle;
    bool startRequested_ = false;
    int sectors_ = 5;  // fixed for one run of the loop; speed and delay are read at every use
    bool mandel_ = false;
    Palette col_{};
    TileGrid grid_;
    PictureRows rows_;
    Painter painter_;
    int y_ = 0;
    std::int64_t waitStart_ = 0;  // when the current wait began
    std::int64_t waitEnd_ = 0;
    std::uint64_t completed_ = 0;
};

}  // namespace mirelune
