#include "x11_image.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <iterator>
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

// How many bits the server stores a pixel of this depth in; 0 for a depth it does not know.
int bitsPerPixel(Display* display, int depth) {
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    int bits = 0;
    for (int i = 0; i < count; ++i) {
        if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
    }
    if (formats) XFree(formats);
    return bits;
}

}  // namespace

std::optional<PixelFormat> drawableFormat(Display* display, const Visual* visual, int depth) {
    if (visual->c_class != TrueColor) return std::nullopt;
    return PixelFormat::fromMasks(static_cast<std::uint32_t>(visual->red_mask),
                                  static_cast<std::uint32_t>(visual->green_mask),
                                  static_cast<std::uint32_t>(visual->blue_mask), depth,
                                  bitsPerPixel(display, depth));
}

std::optional<DrawableVisual> chooseDrawableVisual(Display* display, int screen) {
    Visual* defaultVisual = DefaultVisual(display, screen);
    const int defaultDepth = DefaultDepth(display, screen);
    if (const auto format = drawableFormat(display, defaultVisual, defaultDepth)) {
        return DrawableVisual{defaultVisual, defaultDepth, *format};
    }
    XVisualInfo wanted{};
    wanted.screen = screen;
    wanted.c_class = TrueColor;
    int count = 0;
    XVisualInfo* infos =
        XGetVisualInfo(display, VisualScreenMask | VisualClassMask, &wanted, &count);
    std::optional<DrawableVisual> best;
    // 24 bits first, the renderer's own colours; then the deeper the better, but 32-bit visuals
    // last, as their alpha gives a compositor something to blend.
    const auto rank = [](int depth) { return depth == 24 ? 100 : depth == 32 ? 0 : depth; };
    for (int i = 0; i < count; ++i) {
        const auto format = drawableFormat(display, infos[i].visual, infos[i].depth);
        if (format && (!best || rank(infos[i].depth) > rank(best->depth))) {
            best = DrawableVisual{infos[i].visual, infos[i].depth, *format};
        }
    }
    if (infos) XFree(infos);
    return best;
}

std::string describeVisual(const Visual* visual, int depth) {
    static constexpr const char* kClasses[] = {"StaticGray",  "GrayScale", "StaticColor",
                                               "PseudoColor", "TrueColor", "DirectColor"};
    const int c = visual->c_class;
    return std::to_string(depth) + "-bit " +
           (c >= 0 && c < static_cast<int>(std::size(kClasses)) ? kClasses[c] : "unknown");
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
    if (!fit(width, std::min(height, kRows))) return;
    for (const RowSpan span : rows) {
        int first = std::max(span.first, 0);
        int count = std::min(span.first + span.count, height) - first;
        while (count > 0) {
            if (nextRow_ == image_->height) {
                if (sharedMemory()) XSync(display_, False);
                nextRow_ = 0;
            }
            const int batch = std::min(count, image_->height - nextRow_);
            for (int i = 0; i < batch; ++i) {
                format_.convertRow({surface.row(first + i), static_cast<std::size_t>(width)},
                                   image_->data + static_cast<std::ptrdiff_t>(nextRow_ + i) *
                                                      image_->bytes_per_line);
            }
            putRows(drawable, gc, nextRow_, first, batch);
            nextRow_ += batch;
            first += batch;
            count -= batch;
        }
    }
}

void ImageBuffer::putRows(Drawable drawable, GC gc, int imageRow, int windowRow, int count) {
    const auto width = static_cast<unsigned>(image_->width);
    if (sharedMemory()) {
        XShmPutImage(display_, drawable, gc, image_, 0, imageRow, 0, windowRow, width,
                     static_cast<unsigned>(count), False);
    } else {
        // Xlib has copied the pixels by the time this returns, so the rows are free at once.
        XPutImage(display_, drawable, gc, image_, 0, imageRow, 0, windowRow, width,
                  static_cast<unsigned>(count));
    }
}

bool ImageBuffer::fit(int width, int rows) {
    if (width <= 0 || rows <= 0) {
        release();
        return false;
    }
    if (image_ && image_->width == width && image_->height == rows) return true;
    release();
    if (!tryShared_ || !createShared(width, rows)) createPlain(width, rows);
    return image_ != nullptr;
}

bool ImageBuffer::createShared(int width, int rows) {
    image_ = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr,
                             &shm_, static_cast<unsigned>(width), static_cast<unsigned>(rows));
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

void ImageBuffer::createPlain(int width, int rows) {
    image_ = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                          static_cast<unsigned>(width), static_cast<unsigned>(rows), 32, 0);
    if (!image_) return;
    plainPixels_.assign(
        (static_cast<std::size_t>(image_->bytes_per_line) * rows + 3) / sizeof(std::uint32_t), 0);
    image_->data = reinterpret_cast<char*>(plainPixels_.data());
    // The pixels are written as native values; Xlib swaps them if the server wants it.
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
    plainPixels_ = {};
    nextRow_ = 0;
}

}  // namespace mirelune::x11
