#include "host/screen_layout.h"

#include <algorithm>

namespace mirelune {
namespace {

bool holdsOrigin(const ScreenRect& r) {
    return r.left <= 0 && 0 < r.right && r.top <= 0 && 0 < r.bottom;
}

bool overlap(const ScreenRect& a, const ScreenRect& b) {
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

const Monitor* primaryMonitor(std::span<const Monitor> monitors) {
    const auto shown = [](const Monitor& m) { return !m.area.empty(); };
    for (const auto& wanted : {+[](const Monitor& m) { return m.primary; },
                               +[](const Monitor& m) { return holdsOrigin(m.area); },
                               +[](const Monitor&) { return true; }}) {
        for (const Monitor& monitor : monitors) {
            if (shown(monitor) && wanted(monitor)) return &monitor;
        }
    }
    return nullptr;
}

// The parts of `area` outside `hole`: bands above and below the hole across the whole width,
// then the pieces left and right of it within the hole's rows.
void subtract(const ScreenRect& area, const ScreenRect& hole, std::vector<ScreenRect>& out) {
    if (!overlap(area, hole)) {
        out.push_back(area);
        return;
    }
    const ScreenRect inner{std::max(area.left, hole.left), std::max(area.top, hole.top),
                           std::min(area.right, hole.right), std::min(area.bottom, hole.bottom)};
    const ScreenRect pieces[] = {
        {area.left, area.top, area.right, inner.top},
        {area.left, inner.bottom, area.right, area.bottom},
        {area.left, inner.top, inner.left, inner.bottom},
        {inner.right, inner.top, area.right, inner.bottom},
    };
    for (const ScreenRect& piece : pieces) {
        if (!piece.empty()) out.push_back(piece);
    }
}

}  // namespace

std::vector<ScreenRect> kaleidoscopeAreas(std::span<const Monitor> monitors) {
    const Monitor* primary = primaryMonitor(monitors);
    if (!primary) return {};
    std::vector<ScreenRect> areas{primary->area};
    for (const Monitor& monitor : monitors) {
        if (monitor.area.empty() ||
            std::any_of(areas.begin(), areas.end(),
                        [&](const ScreenRect& a) { return overlap(a, monitor.area); })) {
            continue;
        }
        areas.push_back(monitor.area);
    }
    return areas;
}

std::vector<ScreenRect> blankAreas(std::span<const Monitor> monitors) {
    const std::vector<ScreenRect> shown = kaleidoscopeAreas(monitors);
    std::vector<ScreenRect> covers;
    for (const Monitor& monitor : monitors) {
        if (monitor.area.empty()) continue;
        std::vector<ScreenRect> pieces{monitor.area};
        for (const ScreenRect& hole : shown) {
            std::vector<ScreenRect> rest;
            for (const ScreenRect& piece : pieces)
                subtract(piece, hole, rest);
            pieces = std::move(rest);
        }
        for (const ScreenRect& piece : pieces) {
            if (std::find(covers.begin(), covers.end(), piece) == covers.end()) {
                covers.push_back(piece);
            }
        }
    }
    return covers;
}

}  // namespace mirelune
