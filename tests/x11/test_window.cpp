// x11-test-window: a plain window for the end-to-end tests to embed the saver in. Usage:
//   x11-test-window WIDTH HEIGHT
// Prints the window's id in hex once it is mapped, then obeys lines on stdin, answering each
// with "ok" once the server has done it: "resize W H", "destroy" (also on end of input).
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: x11-test-window WIDTH HEIGHT\n";
        return 2;
    }
    const unsigned width = static_cast<unsigned>(std::atoi(argv[1]));
    const unsigned height = static_cast<unsigned>(std::atoi(argv[2]));
    Display* display = XOpenDisplay(nullptr);
    if (!display || width == 0 || height == 0) {
        std::cerr << "x11-test-window: cannot open the display or bad size\n";
        return 1;
    }
    const int screen = DefaultScreen(display);
    // A white background, so that anything the saver fails to paint shows up.
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0,
                            BlackPixel(display, screen), WhitePixel(display, screen));
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    for (XEvent event; XNextEvent(display, &event), event.type != MapNotify;) {
    }
    std::printf("0x%lx\n", window);
    std::fflush(stdout);

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream command(line);
        std::string verb;
        command >> verb;
        if (verb == "resize") {
            unsigned w = 0, h = 0;
            command >> w >> h;
            XResizeWindow(display, window, w, h);
        } else if (verb == "destroy") {
            break;
        }
        XSync(display, False);
        std::printf("ok\n");
        std::fflush(stdout);
    }
    XDestroyWindow(display, window);
    XSync(display, False);
    std::printf("ok\n");
    std::fflush(stdout);
    XCloseDisplay(display);
    return 0;
}
