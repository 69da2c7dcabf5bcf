#include "host/screen_layout.h"

#include <algorithm>

namespace mirelune {
namespace {

bool holdsOrigin(const ScreenRect& r) {
    return r.left <= 0 && 0 < r.right && r.top <= 0 && 0 < r.bottom;
}

const ScreenRect* primaryArea(std::span<const Monitor> monitors) {
    for (const Monitor& monitor : monitors) {
        if (monitor.primary && !monitor.area.empty()) return &monitor.area;
    }
    for (const Monitor& monitor : monitors) {
        if (holdsOrigin(monitor.area)) return &monitor.area;
    }
    return nullptr;
}

// The parts of `area` outside `hole`: bands above and below the hole across the whole width,
// then the pieces left and right of it within the hole's rows. An empty hole takes nothing.
void subtract(const ScreenRect& area, const ScreenRect& hole, std::vector<ScreenRect>& out) {
    const ScreenRect overlap{std::max(area.left, hole.left), std::max(area.top, hole.top),
                             std::min(area.right, hole.right), std::min(area.bottom, hole.bottom)};
    if (overlap.empty()) {
        out.push_back(area);
        return;
    }
    const ScreenRect pieces[] = {
        {area.left, area.top, area.right, overlap.top},
        {area.left, overlap.bottom, area.right, area.bottom},
        {area.left, overlap.top, overlap.left, overlap.bottom},
        {overlap.right, overlap.top, area.right, overlap.bottom},
    };
    for (const ScreenRect& piece : pieces) {
        if (!piece.empty()) out.push_back(piece);
    }
}

}  // namespace

std::vector<ScreenRect> blankAreas(std::span<const Monitor> monitors) {
    const ScreenRect* primary = primaryArea(monitors);
    std::vector<ScreenRect> areas;
    for (const Monitor& monitor : monitors) {
        if (monitor.area.empty() || &monitor.area == primary) continue;
        std::vector<ScreenRect> pieces;
        subtract(monitor.area, primary ? *primary : ScreenRect{}, pieces);
        for (const ScreenRect& piece : pieces) {
            if (std::find(areas.begin(), areas.end(), piece) == areas.end()) areas.push_back(piece);
        }
    }
    return areas;
}

}  // namespace mirelune
