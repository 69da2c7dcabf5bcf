// Command-line options of mirelune, the X11 saver, in the conventions of XScreenSaver hacks:
// where to draw (full screen, a window of its own, the root window or a given window) and the
// three settings, which override the settings file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "command_line/option_table.h"
#include "settings/settings.h"

namespace mirelune::x11 {

enum class Target {
    FullScreen,  // a window of its own covering the screen, ended by input
    OwnWindow,   // an ordinary, resizable window; input does not end it
    Embedded,    // an existing window (or the root window); ends when that window goes
};

struct Options {
    Target target = Target::FullScreen;
    // Embedded only: the window to draw into; 0 means the screen's root window.
    std::uint32_t windowId = 0;
    // Given on the command line, already pulled into the dialog's ranges.
    std::optional<std::int32_t> sectors;
    std::optional<std::int32_t> speed;
    std::optional<std::int32_t> delay;
    std::optional<std::string> display;  // X display name; absent: $DISPLAY
    // Started by XScreenSaver (--root given or $XSCREENSAVER_WINDOW set): its settings dialog
    // leaves an option off when its slider is at the default, so the settings file, which
    // the dialog never sees, must not fill the gap.
    bool underXScreenSaver = false;
};

using ParseResult = command_line::ParseResult<Options>;

// Parses the arguments that follow the program name. Every option takes one or two leading
// dashes; values come as the next argument ("--speed 8") or after '=' ("--speed=8").
// xscreensaverWindow is the environment's XSCREENSAVER_WINDOW, which --root draws into
// unless --window-id names another window.
ParseResult parseOptions(std::span<const std::string_view> args,
                         std::optional<std::string_view> xscreensaverWindow);

// A window id as XScreenSaver and xwininfo print it: "0x" and hex digits, or decimal digits.
// Nothing for junk, for 0 (no window) and for ids beyond 32 bits.
std::optional<std::uint32_t> parseWindowId(std::string_view text);

// The settings the renderer runs with: the command line's values on top of the settings file
// (read through readFile) or, under XScreenSaver, on top of the defaults.
Settings runSettings(const Options& options, const std::function<Settings()>& readFile);

// The text --help prints, ending in a newline.
std::string usage();

}  // namespace mirelune::x11
