// Time to present one painted row on an X server: the surface rows that row changed (two in
// each tile row of the grid), converted to the visual's layout and copied to a window the size
// of the screen, until the server has done it. Needs $DISPLAY large enough for 3840x2160,
// e.g. `Xvfb :9 -screen 0 3840x2160x24`; wall time, since the server's work is the cost.
#include <benchmark/benchmark.h>

#include <chrono>
#include <optional>

#include "render/fract.h"
#include "x11_image.h"

namespace mirelune::x11 {
namespace {

void BM_PresentRow(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        state.SkipWithError("no X display");
        return;
    }
    const int screen = DefaultScreen(display);
    Visual* visual = DefaultVisual(display, screen);
    const int depth = DefaultDepth(display, screen);
    const std::optional<PixelFormat> format = drawableFormat(display, visual, depth);
    if (!format || DisplayWidth(display, screen) < width ||
        DisplayHeight(display, screen) < height) {
        state.SkipWithError("the display is too small or not 32-bit true colour");
        XCloseDisplay(display);
        return;
    }
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                            static_cast<unsigned>(width), static_cast<unsigned>(height), 0, 0, 0);
    XMapWindow(display, window);
    const GC gc = XCreateGC(display, window, 0, nullptr);
    XSync(display, False);
    {
        ImageBuffer image(display, visual, depth, *format);
        Random random(fixedSeedClock(11));
        Fract fract(random, {static_cast<double>(state.range(2)), 69, 0}, {width, height});
        fract.resize({width, height});
        fract.startPainting();
        // The whole surface once, untimed: a saver that has run for a while has every page of
        // its image and of the server's screen in memory, so first touches are left out.
        const RowSpan all{0, height};
        image.put(window, gc, fract.surface(), std::span<const RowSpan>(&all, 1));
        XSync(display, False);
        // The next painted row's changes; steps that only finish a picture change nothing.
        const auto nextRow = [&] {
            for (;;) {
                fract.step(0);
                std::vector<RowSpan> rows = fract.takeChangedRows();
                if (!rows.empty()) return rows;
            }
        };
        nextRow();  // the first picture's start, which clears the whole grid
        int presentedRows = 0;
        for (auto _ : state) {
            const std::vector<RowSpan> rows = nextRow();
            const auto start = std::chrono::steady_clock::now();
            image.put(window, gc, fract.surface(), rows);
            XSync(display, False);
            state.SetIterationTime(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            for (RowSpan span : rows)
                presentedRows += span.count;
        }
        state.counters["screen_rows"] =
            benchmark::Counter(presentedRows, benchmark::Counter::kAvgIterations);
        state.counters["shared_memory"] = image.sharedMemory();
    }
    XFreeGC(display, gc);
    XDestroyWindow(display, window);
    XCloseDisplay(display);
}

BENCHMARK(BM_PresentRow)
    ->ArgNames({"w", "h", "sectors"})
    ->ArgsProduct({{1920}, {1080}, {1, 5, 10}})
    ->ArgsProduct({{3840}, {2160}, {1, 5, 10}})
    ->UseManualTime()
    ->Iterations(1000)  // a fixed count: repetitions with manual time must all run alike
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirelune::x11
