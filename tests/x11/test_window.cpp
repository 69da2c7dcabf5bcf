// x11-test-window: a plain window for the end-to-end tests to embed the saver in. Usage:
//   x11-test-window WIDTH HEIGHT
// Prints the window's id in hex once it is mapped, then obeys lines on stdin, answering each
// with "ok" once the server has done it: "resize W H", "destroy" (also on end of input), and
// "watch-row N MS", which reads the window's middle row until it has changed N times or MS
// milliseconds have passed and answers "ok CHANGES".
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The window's row y as the server has it, or nothing if it cannot be read.
std::vector<unsigned long> readRow(Display* display, Window window, unsigned width, int y) {
    std::vector<unsigned long> row;
    XImage* image = XGetImage(display, window, 0, y, width, 1, AllPlanes, ZPixmap);
    if (!image) return row;
    for (unsigned x = 0; x < width; ++x)
        row.push_back(XGetPixel(image, static_cast<int>(x), 0));
    XDestroyImage(image);
    return row;
}

int watchRow(Display* display, Window window, unsigned width, unsigned height, int wanted, int ms) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    std::vector<unsigned long> last = readRow(display, window, width, height / 2);
    int changes = 0;
    while (changes < wanted && Clock::now() < end) {
        std::vector<unsigned long> row = readRow(display, window, width, height / 2);
        if (!row.empty() && row != last) {
            if (!last.empty()) ++changes;  // a first good read is the baseline, not a change
            last = std::move(row);
        }
    }
    return changes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: x11-test-window WIDTH HEIGHT\n";
        return 2;
    }
    unsigned width = static_cast<unsigned>(std::atoi(argv[1]));
    unsigned height = static_cast<unsigned>(std::atoi(argv[2]));
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
            command >> width >> height;
            XResizeWindow(display, window, width, height);
        } else if (verb == "watch-row") {
            int wanted = 0, ms = 0;
            command >> wanted >> ms;
            std::printf("ok %d\n", watchRow(display, window, width, height, wanted, ms));
            std::fflush(stdout);
            continue;
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
