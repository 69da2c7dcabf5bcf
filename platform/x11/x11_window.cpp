#include "x11_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstdio>

#include "context_free_hooks.h"

namespace mirelune::x11 {
namespace {

constexpr Size kOwnWindowSize{800, 600};
constexpr long kInputEvents = KeyPressMask | ButtonPressMask | PointerMotionMask;
constexpr long kWindowEvents = StructureNotifyMask | ExposureMask;

std::string hexId(unsigned long id) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", id);
    return text;
}

// The attributes of a window that still exists, with input selected on it first so that
// its destruction cannot slip in between unnoticed.
std::optional<XWindowAttributes> watchForeignWindow(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return std::nullopt;
    XSelectInput(display, window, kWindowEvents);
    if (!XGetWindowAttributes(display, window, &attributes)) return std::nullopt;
    return attributes;
}

}  // namespace

std::unique_ptr<X11Window> X11Window::open(Display* display, Target target, std::uint32_t windowId,
                                           std::string& error) {
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);

    if (target == Target::Embedded) {
        const Window window = windowId != 0 ? windowId : root;
        const auto attributes = watchForeignWindow(display, window);
        takeWindowGoneError();
        if (!attributes) {
            error = "window " + hexId(window) + " does not exist";
            return nullptr;
        }
        const auto format = drawableFormat(display, attributes->visual, attributes->depth);
        if (!format) {
            error = "window " + hexId(window) + " has a visual of depth " +
                    std::to_string(attributes->depth) +
                    "; only 24- and 32-bit TrueColor windows can be drawn into";
            return nullptr;
        }
        return std::unique_ptr<X11Window>(new X11Window(display, window, target, attributes->visual,
                                                        attributes->depth, *format,
                                                        {attributes->width, attributes->height}));
    }

    XVisualInfo info{};
    if (!XMatchVisualInfo(display, screen, 24, TrueColor, &info)) {
        error = "the display has no 24-bit TrueColor visual to draw with";
        return nullptr;
    }
    const auto format = drawableFormat(display, info.visual, info.depth);
    if (!format) {
        error = "the display's 24-bit TrueColor visual has an unsupported pixel layout";
        return nullptr;
    }

    Size size = kOwnWindowSize;
    if (target == Target::FullScreen) {
        XWindowAttributes rootAttributes;
        XGetWindowAttributes(display, root, &rootAttributes);
        size = {rootAttributes.width, rootAttributes.height};
    }
    XSetWindowAttributes attributes{};
    const Colormap colormap = XCreateColormap(display, root, info.visual, AllocNone);
    attributes.colormap = colormap;
    attributes.background_pixel = 0;  // black in any TrueColor layout
    attributes.border_pixel = 0;
    attributes.override_redirect = target == Target::FullScreen;
    attributes.event_mask = kWindowEvents | (target == Target::FullScreen ? kInputEvents : 0);
    const Window window = XCreateWindow(
        display, root, 0, 0, static_cast<unsigned>(size.width), static_cast<unsigned>(size.height),
        0, info.depth, InputOutput, info.visual,
        CWColormap | CWBackPixel | CWBorderPixel | CWOverrideRedirect | CWEventMask, &attributes);

    std::unique_ptr<X11Window> result(
        new X11Window(display, window, target, info.visual, info.depth, *format, size));
    result->owned_ = true;
    result->colormap_ = colormap;
    XStoreName(display, window, "Mirelune");
    XClassHint classHint{const_cast<char*>("mirelune"), const_cast<char*>("Mirelune")};
    XSetClassHint(display, window, &classHint);
    if (target == Target::OwnWindow) {
        result->deleteWindow_ = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, window, &result->deleteWindow_, 1);
    } else {
        result->hideCursor();
    }
    return result;
}

X11Window::X11Window(Display* display, Window window, Target target, Visual* visual, int depth,
                     PixelFormat format, Size size)
    : display_(display),
      window_(window),
      target_(target),
      size_(size),
      gc_(XCreateGC(display, window, 0, nullptr)),
      image_(display, visual, depth, format),
      owned_(false) {}

X11Window::~X11Window() {
    if (keyboardGrabbed_) XUngrabKeyboard(display_, CurrentTime);
    XFreeGC(display_, gc_);
    if (owned_ && !destroyed_) XDestroyWindow(display_, window_);
    if (invisibleCursor_ != None) XFreeCursor(display_, invisibleCursor_);
    if (colormap_ != None) XFreeColormap(display_, colormap_);
    XSync(display_, False);
    takeWindowGoneError();
}

void X11Window::show(Fract* fract, SaverSession& session) {
    fract_ = fract;
    session_ = &session;
    if (owned_) {
        XMapRaised(display_, window_);
    }
    if (!fract_) return;
    // The first sizing, then the start of the painter, as when a form is shown and activated.
    fract_->resize(size_);
    fract_->startPainting();
    presentAll();
}

void X11Window::present(const Surface& surface, std::span<const RowSpan> rows) {
    if (!closed_) image_.put(window_, gc_, surface, rows);
}

void X11Window::presentAll() {
    if (!fract_) return;
    const RowSpan all{0, fract_->surface().height()};
    present(fract_->surface(), std::span<const RowSpan>(&all, 1));
}

void X11Window::setClientSize(Size size) {
    // A foreign window's size is its owner's business; our own follow the request.
    if (owned_ && size.width > 0 && size.height > 0) {
        XResizeWindow(display_, window_, static_cast<unsigned>(size.width),
                      static_cast<unsigned>(size.height));
    }
}

void X11Window::handleEvent(const XEvent& event) {
    if (closed_ || !session_) return;
    switch (event.type) {
        case ConfigureNotify:
            if (event.xconfigure.window != window_) break;
            if (Size size{event.xconfigure.width, event.xconfigure.height}; size != size_) {
                size_ = size;
                if (!fract_) break;
                // A picture in its pause would keep the old size for up to 20 s, so the wait
                // ends at once: a picture in progress restarts, keeping its kind, or the next
                // one begins, on the cleared grid.
                fract_->resize(size);
                fract_->endWait();
            }
            break;
        case Expose:
            if (event.xexpose.window == window_ && event.xexpose.count == 0) presentAll();
            break;
        case MapNotify:
            if (event.xmap.window == window_ && target_ == Target::FullScreen) grabKeyboard();
            break;
        case DestroyNotify:
            if (event.xdestroywindow.window == window_) {
                destroyed_ = true;
                closed_ = true;
            }
            break;
        case ClientMessage:
            if (deleteWindow_ != None && event.xclient.format == 32 &&
                static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_) {
                closed_ = true;
            }
            break;
        case KeyPress:
            onInput(InputEvent::KeyDown);
            break;
        case ButtonPress:
            onInput(InputEvent::Click);
            break;
        case MotionNotify:
            onInput(InputEvent::MouseMove);
            break;
        default:
            break;
    }
}

void X11Window::onInput(InputEvent event) {
    if (session_->onInput(event)) closed_ = true;
}

void X11Window::hideCursor() {
    // A cursor made of one transparent pixel: X has no call to hide the cursor as such.
    const char noBits[1] = {0};
    const Pixmap blank = XCreateBitmapFromData(display_, window_, noBits, 1, 1);
    XColor black{};
    invisibleCursor_ = XCreatePixmapCursor(display_, blank, blank, &black, &black, 0, 0);
    XFreePixmap(display_, blank);
    XDefineCursor(display_, window_, invisibleCursor_);
}

void X11Window::grabKeyboard() {
    // Without the grab, keys go wherever the focus was; the saver then ends on a click or
    // the mouse instead, so a refused grab is no failure.
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    keyboardGrabbed_ = XGrabKeyboard(display_, window_, True, GrabModeAsync, GrabModeAsync,
                                     CurrentTime) == GrabSuccess;
}

}  // namespace mirelune::x11
