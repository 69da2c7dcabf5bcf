// mirelune: the kaleidoscope as an X11 program and XScreenSaver hack.

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string_view>
#include <vector>

#include "context_free_hooks.h"
#include "host/host_context.h"
#include "host/render_driver.h"
#include "host/saver_session.h"
#include "monitor_panes.h"
#include "options.h"
#include "settings/settings_file.h"
#include "settings_location.h"
#include "x11_platform.h"
#include "x11_window.h"

// Xlib defines macros such as None and KeyPress, so it comes after the core's headers.
#include <X11/Xlib.h>

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;

int fail(std::string_view message, int status) {
    std::cerr << "mirelune: " << message << '\n';
    return status;
}

std::optional<std::string_view> environment(const char* name) {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string_view(value);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace mirelune;
    using namespace mirelune::x11;

    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const ParseResult parsed = parseOptions(args, environment("XSCREENSAVER_WINDOW"));
    if (!parsed.ok()) return fail(parsed.error, kExitUsage);
    if (parsed.help) {
        std::cout << usage();
        return 0;
    }
    const Options& options = parsed.options;

    Display* display = XOpenDisplay(options.display ? options.display->c_str() : nullptr);
    if (!display) {
        return fail(
            "cannot open display '" +
                std::string(XDisplayName(options.display ? options.display->c_str() : nullptr)) +
                "'",
            kExitFailure);
    }
    installXErrorRecorder();
    X11Platform platform(display, installTerminationPipe());

    std::string error;
    auto window = X11Window::open(display, options.target, options.windowId, error);
    if (!window) {
        XCloseDisplay(display);
        return fail(error, kExitFailure);
    }

    // The window hides its own cursor; system keys and passwords belong to the Windows saver.
    HostContext context(seedClockReading);
    context.runMode = options.target == Target::FullScreen ? RunMode::Saver : RunMode::Preview;
    context.random.randomize();

    // The embedded and full-screen pictures cover the window as it is; the window of its own
    // keeps whatever size the user gives it too, with black strips beside the grid.
    const auto file = settingsFile(environment("XDG_CONFIG_HOME"), environment("HOME"));
    const Settings settings =
        applyOptions(loadSettings(file.value_or(std::filesystem::path())), options);
    SaverSession session(context);
    if (options.target == Target::FullScreen) {
        // A kaleidoscope on every monitor, all under the full-screen window's input rules.
        window->show(nullptr, session);
        MonitorPanes panes(display, *window, context.random, toRenderSettings(settings));
        platform.setEventTarget(&panes);
        runRenderLoop(platform, panes);
        platform.setEventTarget(nullptr);
    } else {
        Fract fract(context.random, toRenderSettings(settings), window->size());
        platform.setEventTarget(window.get());
        window->show(&fract, session);
        runRenderLoop(platform, fract, *window);
    }

    platform.setEventTarget(nullptr);
    window.reset();
    XCloseDisplay(display);
    return 0;
}
