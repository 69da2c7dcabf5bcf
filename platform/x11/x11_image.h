// An image the size of the window's surface, in the visual's pixel layout, through which the
// renderer's changed rows reach the window: in shared memory when the X server is on this
// machine and offers MIT-SHM, else sent over the connection with XPutImage.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "pixel_format.h"
#include "render/changed_rows.h"
#include "render/surface.h"

// Xlib defines macros such as None and KeyPress, so it comes after the core's headers.
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

namespace mirelune::x11 {

// Whether the server stores pixels of this depth in 32 bits, the only size drawn here.
bool hasThirtyTwoBitPixels(Display* display, int depth);

// The pixel layout of a true-colour visual with 32-bit pixels; nothing for any other visual.
std::optional<PixelFormat> drawableFormat(Display* display, const Visual* visual, int depth);

class ImageBuffer {
  public:
    ImageBuffer(Display* display, Visual* visual, int depth, PixelFormat format);
    ~ImageBuffer();
    ImageBuffer(const ImageBuffer&) = delete;
    ImageBuffer& operator=(const ImageBuffer&) = delete;

    // Converts these rows of the surface and copies them to the same rows of the drawable.
    // The image follows the surface's size; an empty surface draws nothing.
    void put(Drawable drawable, GC gc, const Surface& surface, std::span<const RowSpan> rows);

    bool sharedMemory() const { return shm_.shmaddr != nullptr; }

  private:
    bool fit(int width, int height);
    bool createShared(int width, int height);
    void createPlain(int width, int height);
    void release();

    Display* display_;
    Visual* visual_;
    int depth_;
    PixelFormat format_;
    bool tryShared_;
    XImage* image_ = nullptr;
    XShmSegmentInfo shm_{};
    std::vector<std::uint32_t> plainPixels_;
};

}  // namespace mirelune::x11
