// Time per row of the two halves of the saver's work, each beside the baseline it is held
// to: computing a row against a bare loop of the same arithmetic over the same pixels, and
// painting a row against a plain memcpy of the bytes the painter writes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "palette/palette.h"
#include "render/fractal_map.h"
#include "render/painter.h"
#include "render/picture.h"

namespace mirelune {
namespace {

struct Screen {
    int width, height, sectors;
};

// A Mandelbrot picture around the boundary point right of the start, where most pixels
// iterate long: a heavy, repeatable row mix.
ViewWindow heavyWindow() {
    return {0.34f - 0.27f, -0.02f + 0.2f, 0.34f + 0.27f, -0.02f - 0.2f};
}

Palette testPalette() {
    Palette col{};
    for (int i = 0; i < kPaletteSize; ++i)
        col[i] = rgb(10 * i, 255 - 10 * i, 7 * i);
    return col;
}

Screen screenOf(const benchmark::State& state) {
    return {static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
            static_cast<int>(state.range(2))};
}

void BM_ComputeRow(benchmark::State& state) {
    const Screen screen = screenOf(state);
    const TileGrid grid = TileGrid::forClient(screen.width, screen.height, screen.sectors);
    const Palette col = testPalette();
    std::vector<Colour> out(grid.fwidth);
    PictureRows rows(heavyWindow(), grid.fwidth, grid.fheight, true);
    int y = 0;
    for (auto _ : state) {
        rows.computeRow(out, col);
        benchmark::DoNotOptimize(out.data());
        if (++y == grid.fheight) {
            y = 0;
            rows = PictureRows(heavyWindow(), grid.fwidth, grid.fheight, true);
        } else {
            rows.advanceRow();
        }
    }
}

// The baseline: the same float/double escape arithmetic over the same pixels, written out
// in one loop with no picture object around it.
void BM_BareRowLoop(benchmark::State& state) {
    const Screen screen = screenOf(state);
    const TileGrid grid = TileGrid::forClient(screen.width, screen.height, screen.sectors);
    const Palette col = testPalette();
    std::vector<Colour> out(grid.fwidth);
    const ViewWindow window = heavyWindow();
    const float xc =
        static_cast<float>(static_cast<double>(window.right - window.left) / grid.fwidth);
    const float yc =
        static_cast<float>(static_cast<double>(window.bottom - window.top) / grid.fheight);
    float cy = window.top;
    int y = 0;
    for (auto _ : state) {
        float x = window.left;
        for (int px = 0; px < grid.fwidth; ++px) {
            double zx = x;
            float zy = cy, zx2 = x * x, zy2 = cy * cy;
            int n = 0;
            for (;;) {
                ++n;
                const float copy = static_cast<float>(zx);
                zx = static_cast<double>(zx2) - zy2 + x;
                zy = static_cast<float>(2.0 * copy * zy + cy);
                zx2 = static_cast<float>(zx * zx);
                zy2 = zy * zy;
                if (static_cast<double>(zx2) + zy2 > 4.0 || n >= kPaletteSize) break;
            }
            out[px] = col[n - 1];
            x += xc;
        }
        benchmark::DoNotOptimize(out.data());
        cy += yc;
        if (++y == grid.fheight) {
            y = 0;
            cy = window.top;
        }
    }
}

void BM_PaintRow(benchmark::State& state) {
    const Screen screen = screenOf(state);
    const TileGrid grid = TileGrid::forClient(screen.width, screen.height, screen.sectors);
    Surface form(screen.width, screen.height);
    ChangedRows changed;
    changed.reset(screen.height);
    Painter painter;
    painter.begin(grid, false);
    auto pixels = painter.rowPixels();
    for (std::size_t x = 0; x < pixels.size(); ++x)
        pixels[x] = static_cast<Colour>(x);
    int y = 0;
    for (auto _ : state) {
        painter.paintRow(y, form.canvas(), changed);
        benchmark::ClobberMemory();
        if (++y == grid.fheight) {
            y = 0;
            changed.take();
        }
    }
    state.SetBytesProcessed(state.iterations() * 2LL * grid.sectors * grid.gridWidth() *
                            static_cast<long long>(sizeof(Colour)));
}

// The baseline: copying the same number of bytes to the same rows in one memcpy per row.
void BM_MemcpyRowBytes(benchmark::State& state) {
    const Screen screen = screenOf(state);
    const TileGrid grid = TileGrid::forClient(screen.width, screen.height, screen.sectors);
    Surface form(screen.width, screen.height);
    std::vector<Colour> source(grid.gridWidth());
    Canvas canvas = form.canvas();
    int y = 0;
    for (auto _ : state) {
        for (int i = 0; i < 2 * grid.sectors; ++i) {
            const int place = (i * grid.tileHeight() / 2 + y) % grid.gridHeight();
            std::memcpy(canvas.row(place), source.data(), source.size() * sizeof(Colour));
        }
        benchmark::ClobberMemory();
        if (++y == grid.fheight) y = 0;
    }
    state.SetBytesProcessed(state.iterations() * 2LL * grid.sectors * grid.gridWidth() *
                            static_cast<long long>(sizeof(Colour)));
}

void screens(benchmark::internal::Benchmark* bench) {
    for (int sectors : {1, 5, 10}) {
        bench->Args({1920, 1080, sectors});
        bench->Args({3840, 2160, sectors});
    }
    bench->ArgNames({"w", "h", "sectors"});
}

BENCHMARK(BM_ComputeRow)->Apply(screens);
BENCHMARK(BM_BareRowLoop)->Apply(screens);
BENCHMARK(BM_PaintRow)->Apply(screens);
BENCHMARK(BM_MemcpyRowBytes)->Apply(screens);

}  // namespace
}  // namespace mirelune
