// One monitor's part of the full-screen window: a child window over that monitor's area with a
// renderer of its own. Its input reaches the full-screen window, whose input rules end the
// saver; the pane only draws, and repaints when exposed.
#pragma once

#include "host/render_driver.h"
#include "host/screen_layout.h"
#include "pixel_format.h"
#include "x11_image.h"

// Xlib defines macros such as None and KeyPress, so it comes after the core's headers.
#include <X11/Xlib.h>

namespace mirelune::x11 {

class MonitorPane final : public RenderWindow {
  public:
    // The pane over `area` of `parent`, in the parent's visual, mapped, with its renderer
    // sized and started.
    MonitorPane(Display* display, Window parent, Visual* visual, int depth, PixelFormat format,
                const ScreenRect& area, Random& random, const RenderSettings& settings);
    ~MonitorPane() override;
    MonitorPane(const MonitorPane&) = delete;
    MonitorPane& operator=(const MonitorPane&) = delete;

    Kaleidoscope kaleidoscope() { return {&fract_, this}; }
    // Repaints the pane when this exposure is its own; false when it is not.
    bool handleExpose(const XExposeEvent& event);

    void present(const Surface& surface, std::span<const RowSpan> rows) override;
    // The pane keeps its monitor's size; only a new layout changes it.
    void setClientSize(Size) override {}
    // The full-screen window's end ends every pane.
    bool closed() const override { return false; }

  private:
    Display* display_;
    Window window_;
    GC gc_;
    ImageBuffer image_;
    Fract fract_;
};

}  // namespace mirelune::x11
