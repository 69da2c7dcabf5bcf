// x11-test-window: a plain window for the end-to-end tests to embed the saver in, or a watcher of
// the root window (where the Windows saver under Wine paints). Usage:
//   x11-test-window WIDTH HEIGHT | root
// Prints the window's id in hex once it is mapped, then obeys lines on stdin, answering each
// with "ok" once the server has done it: "resize W H", "destroy" (also on end of input; the root
// is left alone), and "watch-row N MS Y W", which reads pixels 0 to W of row Y until they have
// changed N times or MS milliseconds have passed and answers "ok CHANGES ELAPSED-MS".
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

static void watchRow(Display* display, Window window, int wanted, int ms, int y, unsigned width) {
    // The row as the server has it, or nothing if it cannot be read.
    const auto readRow = [&] {
        std::vector<unsigned long> row;
        XImage* image = XGetImage(display, window, 0, y, width, 1, AllPlanes, ZPixmap);
        for (unsigned x = 0; image && x < width; ++x)
            row.push_back(XGetPixel(image, static_cast<int>(x), 0));
        if (image) XDestroyImage(image);
        return row;
    };
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    std::vector<unsigned long> last = readRow();
    int changes = 0;
    while (changes < wanted && Clock::now() < start + std::chrono::milliseconds(ms)) {
        std::vector<unsigned long> row = readRow();
        if (!row.empty() && row != last) {
            if (!last.empty()) ++changes;  // a first good read is the baseline, not a change
            last = std::move(row);
        }
    }
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    std::printf("ok %d %lld\n", changes, static_cast<long long>(elapsed.count()));
}

int main(int argc, char** argv) {
    const bool root = argc == 2 && std::string(argv[1]) == "root";
    const int width = argc == 3 ? std::atoi(argv[1]) : 0,
              height = argc == 3 ? std::atoi(argv[2]) : 0;
    Display* display = XOpenDisplay(nullptr);
    if (!display || (!root && (width <= 0 || height <= 0))) {
        std::cerr << "usage: x11-test-window WIDTH HEIGHT | root (on an open display)\n";
        return 2;
    }
    const int screen = DefaultScreen(display);
    Window window = RootWindow(display, screen);
    if (!root) {
        // A white background, so that anything the saver fails to paint shows up.
        window = XCreateSimpleWindow(display, window, 0, 0, width, height, 0,
                                     BlackPixel(display, screen), WhitePixel(display, screen));
        XSelectInput(display, window, StructureNotifyMask);
        XMapWindow(display, window);
        for (XEvent event; XNextEvent(display, &event), event.type != MapNotify;) {
        }
    }
    std::printf("0x%lx\n", window);
    for (std::string line; std::fflush(stdout), std::getline(std::cin, line);) {
        std::string verb;
        int a = 0, b = 0, y = 0, w = 0;
        std::istringstream(line) >> verb >> a >> b >> y >> w;
        if (verb == "destroy") break;
        if (verb == "watch-row") {
            watchRow(display, window, a, b, y, static_cast<unsigned>(w));
            continue;
        }
        if (verb == "resize" && !root && a > 0 && b > 0) XResizeWindow(display, window, a, b);
        XSync(display, False);
        std::printf("ok\n");
    }
    if (!root) XDestroyWindow(display, window);
    XSync(display, False);
    std::printf("ok\n");
    XCloseDisplay(display);
}
