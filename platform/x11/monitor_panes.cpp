#include "monitor_panes.h"

#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

namespace mirelune::x11 {

std::vector<Monitor> xineramaMonitors(Display* display) {
    std::vector<Monitor> monitors;
    int events = 0, errors = 0, count = 0;
    if (!XineramaQueryExtension(display, &events, &errors) || !XineramaIsActive(display)) {
        return monitors;
    }
    XineramaScreenInfo* screens = XineramaQueryScreens(display, &count);
    for (int i = 0; i < count; ++i) {
        const XineramaScreenInfo& s = screens[i];
        monitors.push_back(
            {{s.x_org, s.y_org, s.x_org + s.width, s.y_org + s.height}, monitors.empty()});
    }
    if (screens) XFree(screens);
    return monitors;
}

MonitorPanes::MonitorPanes(Display* display, X11Window& screen, Random& random,
                           const RenderSettings& settings)
    : display_(display), screen_(screen), random_(random), settings_(settings) {
    XWindowAttributes attributes;
    XGetWindowAttributes(display_, screen_.handle(), &attributes);
    visual_ = attributes.visual;
    depth_ = attributes.depth;
    // The full-screen window was made with a visual it can draw; its panes share it.
    format_ = drawableFormat(display_, visual_, depth_).value_or(PixelFormat{});

    // Monitors come and go through RandR; a server without it keeps its layout, and its
    // root window's size is still watched.
    const Window root = DefaultRootWindow(display_);
    XSelectInput(display_, root, StructureNotifyMask);
    int errorBase = 0;
    if (XRRQueryExtension(display_, &randrEventBase_, &errorBase)) {
        XRRSelectInput(
            display_, root,
            RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
    } else {
        randrEventBase_ = -1;
    }
    build(currentAreas());
}

MonitorPanes::~MonitorPanes() {
    XSelectInput(display_, DefaultRootWindow(display_), NoEventMask);
}

std::vector<ScreenRect> MonitorPanes::currentAreas() {
    std::vector<ScreenRect> areas = kaleidoscopeAreas(xineramaMonitors(display_));
    if (areas.empty()) {
        XWindowAttributes root;
        XGetWindowAttributes(display_, DefaultRootWindow(display_), &root);
        areas.push_back({0, 0, root.width, root.height});
    }
    return areas;
}

void MonitorPanes::build(std::vector<ScreenRect> areas) {
    // The old panes and their images go first: two full sets are never held at once.
    kaleidoscopes_.clear();
    panes_.clear();
    areas_ = std::move(areas);
    for (const ScreenRect& area : areas_) {
        panes_.push_back(std::make_unique<MonitorPane>(display_, screen_.handle(), visual_, depth_,
                                                       format_, area, random_, settings_));
        kaleidoscopes_.push_back(panes_.back()->kaleidoscope());
    }
}

std::span<const Kaleidoscope> MonitorPanes::kaleidoscopes() {
    if (layoutChanged_) {
        layoutChanged_ = false;
        std::vector<ScreenRect> areas = currentAreas();
        if (areas != areas_) {
            XWindowAttributes root;
            XGetWindowAttributes(display_, DefaultRootWindow(display_), &root);
            screen_.setClientSize({root.width, root.height});
            build(std::move(areas));
        }
    }
    return kaleidoscopes_;
}

void MonitorPanes::handleEvent(const XEvent& event) {
    const bool randr =
        randrEventBase_ >= 0 && (event.type == randrEventBase_ + RRScreenChangeNotify ||
                                 event.type == randrEventBase_ + RRNotify);
    if (randr) {
        XRRUpdateConfiguration(const_cast<XEvent*>(&event));
        layoutChanged_ = true;
        return;
    }
    if (event.type == ConfigureNotify && event.xconfigure.window == DefaultRootWindow(display_)) {
        layoutChanged_ = true;
        return;
    }
    if (event.type == Expose) {
        for (const auto& pane : panes_) {
            if (pane->handleExpose(event.xexpose)) return;
        }
    }
    screen_.handleEvent(event);
}

}  // namespace mirelune::x11
