// How the renderer's changed rows reach a window: converted to the visual's pixel layout
// through an image of a few rows, which is in shared memory when the X server is on this
// machine and offers MIT-SHM, else sent over the connection with XPutImage. The screen's
// pixels are kept once, in the renderer's surface; nothing here grows with the height.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "pixel_format.h"
#include "render/changed_rows.h"
#include "render/surface.h"

// Xlib defines macros such as None and KeyPress, so it comes after the core's headers.
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

namespace mirelune::x11 {

// The pixel layout of a visual that can be drawn into: TrueColor, of 15 bits or more, in 16-
// or 32-bit pixels. Nothing for any other visual.
std::optional<PixelFormat> drawableFormat(Display* display, const Visual* visual, int depth);

// A visual and its layout for the program's own windows: the screen's default visual when it
// can be drawn into, else the best TrueColor visual the screen offers.
struct DrawableVisual {
    Visual* visual;
    int depth;
    PixelFormat format;
};
std::optional<DrawableVisual> chooseDrawableVisual(Display* display, int screen);

// "16-bit TrueColor", "8-bit PseudoColor": a visual as error messages name it.
std::string describeVisual(const Visual* visual, int depth);

class ImageBuffer {
  public:
    // Rows of the image: enough for a painted row's strips in one go at most sector counts.
    static constexpr int kRows = 32;

    ImageBuffer(Display* display, Visual* visual, int depth, PixelFormat format);
    ~ImageBuffer();
    ImageBuffer(const ImageBuffer&) = delete;
    ImageBuffer& operator=(const ImageBuffer&) = delete;

    // Converts these rows of the surface and copies them to the same rows of the drawable.
    // An empty surface draws nothing.
    void put(Drawable drawable, GC gc, const Surface& surface, std::span<const RowSpan> rows);

    bool sharedMemory() const { return shm_.shmaddr != nullptr; }

  private:
    bool fit(int width, int rows);
    bool createShared(int width, int rows);
    void createPlain(int width, int rows);
    void putRows(Drawable drawable, GC gc, int imageRow, int windowRow, int count);
    void release();

    Display* display_;
    Visual* visual_;
    int depth_;
    PixelFormat format_;
    bool tryShared_;
    XImage* image_ = nullptr;
    XShmSegmentInfo shm_{};
    std::vector<std::uint32_t> plainPixels_;
    // The image is used as a ring: rows before this one may still be waiting for a shared
    // memory put, and are only written again after a round trip has seen those puts done.
    int nextRow_ = 0;
};

}  // namespace mirelune::x11
