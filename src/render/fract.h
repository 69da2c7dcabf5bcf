// The main form's renderer: its drawing surface and the map, the lifecycle events a platform
// window reports, and the picture loop: pictures one after another for as long as the saver
// runs, each row followed by the speed wait and each picture by the delay, restarting after
// a resize. The loop runs as a state machine so that the platform keeps its own event loop:
// it forwards the window's events here, calls step() when the returned deadline comes,
// presents the rows that changed and processes its own events between steps.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "common/random.h"
#include "palette/palette.h"
#include "render/changed_rows.h"
#include "render/fractal_map.h"
#include "render/painter.h"
#include "render/picture.h"
#include "render/surface.h"
#include "render/tile_grid.h"

namespace mirelune {

struct RenderSettings {
    double sectors = 5;
    double speed = 69;
    std::int32_t delay = 1000;  // milliseconds
};

enum class WindowState { Normal, Maximized };

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// When the renderer wants its next step, on the platform's monotonic millisecond clock.
// Until then the platform waits on its event queue, processing events as they come.
inline constexpr std::int64_t kNoDeadline = std::numeric_limits<std::int64_t>::max();
// A deadline that has always passed: the next step is due at once.
inline constexpr std::int64_t kDueNow = std::numeric_limits<std::int64_t>::min();

class Fract {
  public:
    // Loads the form: takes the settings, seeds the generator and builds the map. clientSize
    // is the window's client size in pixels; the surface starts black, like the window.
    Fract(Random& random, const RenderSettings& settings, Size clientSize,
          WindowState state = WindowState::Maximized);
    Fract(const Fract&) = delete;
    Fract& operator=(const Fract&) = delete;

    // Settings may be replaced after load (the preview does); the loop copies sectors when it
    // starts and reads speed and delay at every use.
    RenderSettings& settings() { return settings_; }

    // The window's client size changed (also the first sizing when it is shown). The picture
    // in progress starts again at the new size, of the same kind, once its row wait is over.
    void resize(Size clientSize);

    // Abandons whatever is in progress; the next step begins a fresh picture with the
    // settings as they are then. A window's activation and a start timer both come here.
    void startPainting();

    // Ends the wait in progress, after a row or after a whole picture, at the next step: a
    // resize then takes effect at once instead of when the wait would have run out.
    void endWait();

    // Does the next piece of work due at nowMs: one row, a picture start with its first row,
    // or nothing while a wait runs. Returns the time of the next step (kNoDeadline: only an
    // event can give it work). The platform processes pending events after every step.
    std::int64_t step(std::int64_t nowMs);

    // When the next step is due: what step() last returned, unless an event has given the
    // loop work since (a start, a resize of a picture that had no room, a wait cut short).
    std::int64_t nextStepAt() const;

    // In the normal window state, the client size the grid wants (a multiple of the tile
    // size); the platform resizes its window to it and reports the resize as usual.
    Size wantedSize() const;

    const Surface& surface() const { return surface_; }
    std::vector<RowSpan> takeChangedRows() { return changed_.take(); }

    // Bytes held by the renderer's pixel buffers (the surface and the row buffer).
    std::size_t surfaceBytes() const { return surface_.bytes() + painter_.bufferBytes(); }
    std::uint64_t picturesCompleted() const { return completed_; }

  private:
    enum class Phase { Idle, FreshPicture, PictureStart, Row, RowWait, Delay, Empty };

    void startPicture();
    void paintRow(std::int64_t nowMs);
    void beginWait(std::int64_t nowMs, std::int64_t lengthMs);
    bool waitRunning(std::int64_t nowMs);
    std::int64_t rowWaitMs() const;

    Random& random_;
    RenderSettings settings_;
    WindowState state_;
    Surface surface_;
    ChangedRows changed_;
    FractalMap map_;
    bool resized_ = false;  // set by every resize; the next picture start clears the grid
    bool painting_ = false;
    bool shown_ = false;

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
