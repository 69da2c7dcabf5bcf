// The window the X11 saver draws into: one of its own (full screen or ordinary) or a foreign
// one (the root window, XScreenSaver's window, any window named by its id). It presents the
// renderer's rows, repaints on exposure, reports size changes to the renderer, applies the
// saver's input rules to its own full-screen window, and closes when a foreign window goes.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "host/render_driver.h"
#include "host/saver_session.h"
#include "options.h"
#include "pixel_format.h"
#include "x11_image.h"
#include "x11_platform.h"

// Xlib defines macros such as None and KeyPress, so it comes after the core's headers.
#include <X11/Xlib.h>

namespace mirelune::x11 {

class X11Window final : public RenderWindow, public EventTarget {
  public:
    // Creates the window the target asks for, or looks up the foreign one. Nothing, with a
    // one-line reason in `error`, when the window does not exist or its visual cannot be
    // drawn into.
    static std::unique_ptr<X11Window> open(Display* display, Target target, std::uint32_t windowId,
                                           std::string& error);
    ~X11Window() override;
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    Size size() const { return size_; }
    Window handle() const { return window_; }

    // Connects the input rules and the renderer, shows the window and starts the painter.
    // The full-screen window has no renderer of its own: its monitors' panes draw.
    void show(Fract* fract, SaverSession& session);

    void present(const Surface& surface, std::span<const RowSpan> rows) override;
    void setClientSize(Size size) override;
    bool closed() const override { return closed_; }

    void handleEvent(const XEvent& event) override;
    void close() override { closed_ = true; }

  private:
    X11Window(Display* display, Window window, Target target, Visual* visual, int depth,
              PixelFormat format, Size size);
    void presentAll();
    void onInput(InputEvent event);
    void hideCursor();
    void grabKeyboard();

    Display* display_;
    Window window_;
    Target target_;
    Size size_;
    GC gc_;
    ImageBuffer image_;
    Atom deleteWindow_ = None;
    Cursor invisibleCursor_ = None;
    Colormap colormap_ = None;
    bool owned_;
    bool destroyed_ = false;
    bool closed_ = false;
    bool keyboardGrabbed_ = false;
    Fract* fract_ = nullptr;
    SaverSession* session_ = nullptr;
};

}  // namespace mirelune::x11
