#include "x11_image.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <string_view>

#include "context_free_hooks.h"

namespace mirelune::x11 {
namespace {

// Shared memory only works with a server on this machine: ":0", "unix:0" or a socket path.
bool displayIsLocal(Display* display) {
    const std::string_view name = DisplayString(display);
    return name.starts_with(':') || name.starts_with("unix:") || name.starts_with('/');
}

constexpr int kNativeByteOrder = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;

}  // namespace

bool hasThirtyTwoBitPixels(Display* display, int depth) {
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    bool found = false;
    for (int i = 0; i < count; ++i) {
        if (formats[i].depth == depth) found = formats[i].bits_per_pixel == 32;
    }
    if (formats) XFree(formats);
    return found;
}

std::optional<PixelFormat> drawableFormat(Display* display, const Visual* visual, int depth) {
    if (visual->c_class != TrueColor || !hasThirtyTwoBitPixels(display, depth)) {
        return std::nullopt;
    }
    return PixelFormat::fromMasks(static_cast<std::uint32_t>(visual->red_mask),
                                  static_cast<std::uint32_t>(visual->green_mask),
                                  static_cast<std::uint32_t>(visual->blue_mask), depth);
}

ImageBuffer::ImageBuffer(Display* display, Visual* visual, int depth, PixelFormat format)
    : display_(display),
      visual_(visual),
      depth_(depth),
      format_(format),
      // The shared image is read by the server as it lies, so it must share our byte order.
      tryShared_(XShmQueryExtension(display) && displayIsLocal(display) &&
                 ImageByteOrder(display) == kNativeByteOrder) {}

ImageBuffer::~ImageBuffer() {
    release();
}

void ImageBuffer::put(Drawable drawable, GC gc, const Surface& surface,
                      std::span<const RowSpan> rows) {
    const int width = surface.width();
    const int height = surface.height();
    if (!fit(width, height)) return;
    for (const RowSpan span : rows) {
        const int first = std::max(span.first, 0);
        const int count = std::min(span.first + span.count, height) - first;
        if (count <= 0) continue;
        for (int y = first; y < first + count; ++y) {
            auto* out = reinterpret_cast<std::uint32_t*>(
                image_->data + static_cast<std::ptrdiff_t>(y) * image_->bytes_per_line);
            format_.convertRow({surface.row(y), static_cast<std::size_t>(width)},
                               {out, static_cast<std::size_t>(width)});
        }
        if (sharedMemory()) {
            XShmPutImage(display_, drawable, gc, image_, 0, first, 0, first,
                         static_cast<unsigned>(width), static_cast<unsigned>(count), False);
        } else {
            XPutImage(display_, drawable, gc, image_, 0, first, 0, first,
                      static_cast<unsigned>(width), static_cast<unsigned>(count));
        }
    }
}

bool ImageBuffer::fit(int width, int height) {
    if (width <= 0 || height <= 0) {
        release();
        return false;
    }
    if (image_ && image_->width == width && image_->height == height) return true;
    release();
    if (!tryShared_ || !createShared(width, height)) createPlain(width, height);
    return image_ != nullptr;
}

bool ImageBuffer::createShared(int width, int height) {
    image_ = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr,
                             &shm_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (!image_) return false;
    const auto bytes = static_cast<std::size_t>(image_->bytes_per_line) * image_->height;
    shm_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    void* address = shm_.shmid >= 0 ? shmat(shm_.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
    bool attached = false;
    if (address != reinterpret_cast<void*>(-1)) {
        shm_.shmaddr = image_->data = static_cast<char*>(address);
        shm_.readOnly = False;
        // A server that cannot reach the segment (another IPC namespace) refuses the attach.
        takeOtherXError();
        attached = XShmAttach(display_, &shm_) && (XSync(display_, False), !takeOtherXError());
    }
    // Marked for removal now, the segment goes once both sides have detached, even if the
    // process is killed.
    if (shm_.shmid >= 0) shmctl(shm_.shmid, IPC_RMID, nullptr);
    if (attached) return true;
    if (shm_.shmaddr) shmdt(shm_.shmaddr);
    shm_ = {};
    image_->data = nullptr;
    XDestroyImage(image_);
    image_ = nullptr;
    tryShared_ = false;
    return false;
}

void ImageBuffer::createPlain(int width, int height) {
    plainPixels_.assign(static_cast<std::size_t>(width) * height, 0);
    image_ =
        XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0,
                     reinterpret_cast<char*>(plainPixels_.data()), static_cast<unsigned>(width),
                     static_cast<unsigned>(height), 32, width * 4);
    if (!image_) return;
    // The pixels are written as native 32-bit values; Xlib swaps them if the server wants it.
    image_->byte_order = kNativeByteOrder;
    image_->bitmap_bit_order = kNativeByteOrder;
    XInitImage(image_);
}

void ImageBuffer::release() {
    if (!image_) return;
    if (sharedMemory()) {
        XShmDetach(display_, &shm_);
        XSync(display_, False);
        shmdt(shm_.shmaddr);
        shm_ = {};
    }
    image_->data = nullptr;  // owned by the segment or the vector, not by the image
    XDestroyImage(image_);
    image_ = nullptr;
    plainPixels_.clear();
}

}  // namespace mirelune::x11
