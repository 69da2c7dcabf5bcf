// mirelune-render: paints kaleidoscope pictures on an off-screen surface, as fast as the
// processor allows, and writes the result to a PNG file.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include "common/random.h"
#include "render/fract.h"
#include "render/options.h"
#include "render/png_writer.h"

namespace {

mirelune::SeedClock seedClock(const mirelune::render::Options& options) {
    if (options.seed) {
        return mirelune::fixedSeedClock(*options.seed);
    }
    return [] {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        return static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    };
}

// Drives the renderer on a fake millisecond clock that jumps straight to every deadline, so
// the waits between rows and pictures cost nothing.
void paint(mirelune::Fract& fract, std::uint64_t pictures) {
    std::int64_t now = 0;
    while (fract.picturesCompleted() < pictures) {
        const std::int64_t next = fract.step(now);
        if (next == mirelune::kNoDeadline) {
            break;
        }
        now = std::max(now, next);
    }
}

int fail(const std::string& message, int status) {
    std::cerr << "mirelune-render: " << message << '\n';
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed =
        mirelune::render::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok()) {
        return fail(parsed.error, 2);
    }
    if (parsed.help) {
        std::cout << mirelune::render::usage();
        return 0;
    }
    const auto& options = parsed.options;

    mirelune::Random random(seedClock(options));
    random.randomize();
    const mirelune::RenderSettings settings{static_cast<double>(options.sectors), 69, 0};
    const mirelune::Size size{options.width, options.height};
    mirelune::Fract fract(random, settings, size, mirelune::WindowState::Maximized);
    fract.resize(size);
    fract.activate();
    paint(fract, options.pictures);

    const mirelune::Surface& surface = fract.surface();
    const mirelune::render::PixelRows image{surface.row(0), surface.width(), surface.height(),
                                            surface.width()};
    if (const auto error = mirelune::render::writePng(options.output, image)) {
        return fail(*error, 1);
    }
    return 0;
}
