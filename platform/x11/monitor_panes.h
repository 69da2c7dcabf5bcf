// The full-screen saver on X11: a kaleidoscope of its own on every monitor Xinerama reports,
// each a pane of the full-screen window, which stays black where no monitor shows the root.
// A change of the screen's layout (RandR) rebuilds the panes for the new monitors.
#pragma once

#include <memory>
#include <vector>

#include "host/render_driver.h"
#include "host/screen_layout.h"
#include "x11_window.h"

// After the headers that bring the core's names which Xlib's macros would spoil.
#include "monitor_pane.h"
#include "x11_platform.h"

// Xlib defines macros such as None and KeyPress, so it comes after the core's headers.
#include <X11/Xlib.h>

namespace mirelune::x11 {

// The monitors as Xinerama lists them, the first one primary; nothing when Xinerama is off.
std::vector<Monitor> xineramaMonitors(Display* display);

class MonitorPanes final : public KaleidoscopeSet, public EventTarget {
  public:
    // `screen` is the shown full-screen window; its input rules end the saver.
    MonitorPanes(Display* display, X11Window& screen, Random& random,
                 const RenderSettings& settings);
    ~MonitorPanes() override;
    MonitorPanes(const MonitorPanes&) = delete;
    MonitorPanes& operator=(const MonitorPanes&) = delete;

    std::span<const Kaleidoscope> kaleidoscopes() override;
    bool closed() const override { return screen_.closed(); }

    void handleEvent(const XEvent& event) override;
    void close() override { screen_.close(); }

  private:
    // The areas of the monitors now: the whole screen when Xinerama knows of none.
    std::vector<ScreenRect> currentAreas();
    void build(std::vector<ScreenRect> areas);

    Display* display_;
    X11Window& screen_;
    Random& random_;
    RenderSettings settings_;
    Visual* visual_ = nullptr;
    int depth_ = 0;
    PixelFormat format_;
    int randrEventBase_ = -1;
    bool layoutChanged_ = false;
    std::vector<ScreenRect> areas_;
    std::vector<std::unique_ptr<MonitorPane>> panes_;
    std::vector<Kaleidoscope> kaleidoscopes_;
};

}  // namespace mirelune::x11
