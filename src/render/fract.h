// The main form's renderer: its drawing surface, the start-up snapshot and the map, the
// lifecycle events a platform window reports (resize, activate, timer tick), and the picture
// loop driven one bounded step at a time. A platform layer owns the window; it forwards the
// window's events here, calls step() when the returned deadline comes, presents the rows
// that changed and processes its own events between steps.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "common/random.h"
#include "render/changed_rows.h"
#include "render/surface.h"

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

class FrameLoop;

class Fract {
  public:
    // Loads the form: takes the settings, seeds the generator, snapshots the (black) client
    // area and builds the map. clientSize is the window's client size in pixels.
    Fract(Random& random, const RenderSettings& settings, Size clientSize,
          WindowState state = WindowState::Maximized);
    ~Fract();
    Fract(const Fract&) = delete;
    Fract& operator=(const Fract&) = delete;

    // Settings may be replaced after load (the preview does); the loop copies sectors when it
    // starts and reads speed and delay at every use.
    RenderSettings& settings() { return settings_; }

    // The window's client size changed (also the first sizing when it is shown).
    void resize(Size clientSize);
    // The window was activated, or the platform's start timer ticked: begin a fresh picture.
    void activate();
    void timerTick();

    // Does the next piece of work due at nowMs: one row, a picture start with its first row,
    // or nothing while a wait runs. Returns the time of the next step (kNoDeadline: only an
    // event can give it work). The platform processes pending events after every step.
    std::int64_t step(std::int64_t nowMs);

    // In the normal window state, the client size the grid wants (a multiple of the tile
    // size); the platform resizes its window to it and reports the resize as usual.
    Size wantedSize() const;

    const Surface& surface() const { return surface_; }
    Canvas canvas() { return surface_.canvas(); }
    std::vector<RowSpan> takeChangedRows() { return changed_.take(); }

    bool painting() const { return painting_; }

    // Bytes held by the renderer's pixel buffers (surface, snapshot, row buffer).
    std::size_t surfaceBytes() const;
    std::uint64_t picturesCompleted() const;

  private:
    friend class FrameLoop;
    Random& random_;
    RenderSettings settings_;
    WindowState state_;
    Surface surface_;
    Surface snapshot_;
    ChangedRows changed_;
    bool resized_ = false;
    bool painting_ = false;
    bool shown_ = false;
    std::unique_ptr<FrameLoop> loop_;
};

}  // namespace mirelune
