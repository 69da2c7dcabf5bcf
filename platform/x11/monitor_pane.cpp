#include "monitor_pane.h"

namespace mirelune::x11 {

MonitorPane::MonitorPane(Display* display, Window parent, Visual* visual, int depth,
                         PixelFormat format, const ScreenRect& area, Random& random,
                         const RenderSettings& settings)
    : display_(display),
      window_([&] {
          XSetWindowAttributes attributes{};
          attributes.background_pixel = 0;  // black in any TrueColor layout
          attributes.event_mask = ExposureMask;
          return XCreateWindow(display, parent, area.left, area.top,
                               static_cast<unsigned>(area.width()),
                               static_cast<unsigned>(area.height()), 0, CopyFromParent, InputOutput,
                               CopyFromParent, CWBackPixel | CWEventMask, &attributes);
      }()),
      gc_(XCreateGC(display, window_, 0, nullptr)),
      image_(display, visual, depth, format),
      fract_(random, settings, {area.width(), area.height()}, WindowState::Maximized) {
    XMapWindow(display_, window_);
    // The first sizing, then the start of the painter, as when a form is shown and activated.
    fract_.resize({area.width(), area.height()});
    fract_.startPainting();
}

MonitorPane::~MonitorPane() {
    XFreeGC(display_, gc_);
    XDestroyWindow(display_, window_);
}

bool MonitorPane::handleExpose(const XExposeEvent& event) {
    if (event.window != window_) return false;
    if (event.count == 0) {
        const RowSpan all{0, fract_.surface().height()};
        present(fract_.surface(), std::span<const RowSpan>(&all, 1));
    }
    return true;
}

void MonitorPane::present(const Surface& surface, std::span<const RowSpan> rows) {
    image_.put(window_, gc_, surface, rows);
}

}  // namespace mirelune::x11
