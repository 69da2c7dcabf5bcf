// mirelune-render: paints kaleidoscope pictures on an off-screen surface, as fast as the
// processor allows, and writes the result to a PNG file.
#include <iostream>
#include <string>
#include <vector>

#include "render/options.h"
#include "render/png_writer.h"
#include "render/render_job.h"

namespace {

int fail(const std::string& message, int status) {
    std::cerr << "mirelune-render: " << message << '\n';
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed =
        mirelune::render::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok()) return fail(parsed.error, 2);
    if (parsed.help) {
        std::cout << mirelune::render::usage();
        return 0;
    }
    const mirelune::Surface surface = mirelune::render::renderPictures(parsed.options);
    const mirelune::render::PixelRows image{surface.row(0), surface.width(), surface.height(),
                                            surface.width()};
    if (const auto error = mirelune::render::writePng(parsed.options.output, image)) {
        return fail(*error, 1);
    }
    return 0;
}
