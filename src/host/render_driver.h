// Runs the renderer inside a platform's event loop: a step of the picture loop, the rows it
// changed presented, pending events processed, then a sleep in the event queue until the
// next step is due or an event arrives. Input is therefore answered within one row's work,
// and nothing runs while a wait has nothing to do.
#pragma once

#include <span>

#include "host/platform.h"
#include "render/fract.h"

namespace mirelune {

// The window the renderer paints into, as the driver sees it.
class RenderWindow {
  public:
    virtual ~RenderWindow() = default;
    // Copies these rows of the surface to the screen.
    virtual void present(const Surface& surface, std::span<const RowSpan> rows) = 0;
    // Gives the window this client size (a window in its normal state trims itself to the
    // tile grid); the resize comes back through the window's events as usual.
    virtual void setClientSize(Size size) = 0;
    // True once the window has been unloaded; the driver then returns.
    virtual bool closed() const = 0;
    // True while nobody can see the window (the display is off, the session locked): the
    // driver then paints nothing and sleeps until an event. When it ends, the window asks
    // the renderer for a fresh picture.
    virtual bool resting() const { return false; }
};

void runRenderLoop(Platform& platform, Fract& fract, RenderWindow& window);

}  // namespace mirelune
