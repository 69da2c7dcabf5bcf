// Paints pictures as the saver would, without a window, on a clock that jumps straight to
// every deadline, so the waits between rows and pictures cost nothing.
#pragma once

#include "render/surface.h"
#include "render_tool/options.h"

namespace mirelune::render_tool {

// The surface after `options.pictures` whole pictures; the same seed gives the same pixels.
Surface renderPictures(const Options& options);

}  // namespace mirelune::render_tool
