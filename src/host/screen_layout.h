// Which parts of a desk with several monitors show a kaleidoscope of their own, and which are
// covered in black. Every monitor gets its own whole grid, the primary monitor's first. Monitors
// that overlap (mirrored or partly cloned displays) share the picture of the one listed first:
// two windows drawing over each other would mix two grids, and a topmost black cover must
// never hide a picture.
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
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const ScreenRect&) const = default;
};

struct Monitor {
    ScreenRect area;
    bool primary = false;
};

// The areas that each show a kaleidoscope, the primary monitor's first, then the others in the
// order given. A monitor that overlaps an area chosen before it gets none of its own; empty
// monitors are ignored. Without a monitor marked primary, the one holding the origin is (the
// system places the primary monitor there); without that either, the first one listed is.
std::vector<ScreenRect> kaleidoscopeAreas(std::span<const Monitor> monitors);

// The parts of the monitors that no kaleidoscope area holds, to be covered in black, without
// duplicates: what an overlapping monitor shows beyond the picture it shares.
std::vector<ScreenRect> blankAreas(std::span<const Monitor> monitors);

}  // namespace mirelune
