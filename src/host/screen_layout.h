// Where the full-screen saver puts its black covers: over every monitor's area except the part
// the primary monitor shows, where the kaleidoscope window lies. A cover must never overlap the
// primary monitor, or a topmost black window would hide the picture on desks whose monitors
// overlap (mirrored or partly cloned displays).
#pragma once

#include <span>
#include <vector>

namespace mirelune {

// A rectangle in virtual-screen pixels, right and bottom exclusive; coordinates may be
// negative (monitors left of or above the primary one).
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool empty() const { return right <= left || bottom <= top; }
    bool operator==(const ScreenRect&) const = default;
};

struct Monitor {
    ScreenRect area;
    bool primary = false;
};

// The rectangles to cover in black, at most four for each monitor other than the primary one,
// with no duplicates. Without a monitor marked primary, the one holding the origin is (the
// system places the primary monitor there); without that either, every monitor is covered.
std::vector<ScreenRect> blankAreas(std::span<const Monitor> monitors);

}  // namespace mirelune
