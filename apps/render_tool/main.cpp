// mirelune-render: paints kaleidoscope pictures on an off-screen surface, as fast as the
// processor allows, and writes the result to a PNG file.
#include <iostream>
#include <string>
#include <vector>

#include "render_tool/options.h"
#include "render_tool/png_writer.h"
#include "render_tool/render_job.h"

namespace {

int fail(const std::string& message, int status) {
    std::cerr << "mirelune-render: " << message << '\n';
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed =
        mirelune::render_tool::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok()) return fail(parsed.error, 2);
    if (parsed.help) {
        std::cout << mirelune::render_tool::usage();
        return 0;
    }
    const mirelune::Surface surface = mirelune::render_tool::renderPictures(parsed.options);
    const mirelune::render_tool::PixelRows image{surface.row(0), surface.width(), surface.height(),
                                                 surface.width()};
    if (const auto error = mirelune::render_tool::writePng(parsed.options.output, image)) {
        return fail(*error, 1);
    }
    return 0;
}
