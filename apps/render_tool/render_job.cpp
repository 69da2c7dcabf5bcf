#include "render_tool/render_job.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "render/fract.h"

namespace mirelune::render_tool {
namespace {

SeedClock seedClock(const Options& options) {
    if (options.seed) return fixedSeedClock(*options.seed);
    return [] {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        return static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    };
}

}  // namespace

Surface renderPictures(const Options& options) {
    Random random(seedClock(options));
    random.randomize();  // the start-up seeding; the window seeds once more when it loads
    const RenderSettings settings{static_cast<double>(options.sectors), 69, 0};
    const Size size{options.width, options.height};
    Fract fract(random, settings, size, WindowState::Maximized);
    fract.resize(size);
    fract.startPainting();
    std::int64_t now = 0;
    while (fract.picturesCompleted() < options.pictures) {
        const std::int64_t next = fract.step(now);
        if (next == kNoDeadline) break;  // nothing fits the surface
        now = std::max(now, next);
    }
    return fract.surface();
}

}  // namespace mirelune::render_tool
