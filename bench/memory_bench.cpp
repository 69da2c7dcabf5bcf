// Memory of the renderer's pixel buffers on a 4K screen, reported as the counter "MiB": a
// whole picture is painted first so that every buffer has its working size.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "render/fract.h"

namespace mirelune {
namespace {

void BM_Surfaces4K(benchmark::State& state) {
    const int sectors = static_cast<int>(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        Random random(fixedSeedClock(1));
        Fract fract(random, {static_cast<double>(sectors), 69, 0}, {3840, 2160});
        fract.resize({3840, 2160});
        fract.startPainting();
        std::int64_t now = 0;
        while (fract.picturesCompleted() < 1)
            now = std::max(now, fract.step(now));
        bytes = fract.surfaceBytes();
    }
    state.counters["MiB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}

BENCHMARK(BM_Surfaces4K)
    ->Arg(1)
    ->Arg(5)
    ->Arg(10)
    ->ArgName("sectors")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mirelune
