#include "options.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

#include "settings/slider_config.h"

namespace mirelune::x11 {
namespace {

// A whole decimal number with an optional sign, pulled into the slider's range; numbers too
// large for any integer type land at the nearer end too.
std::optional<std::int32_t> parseSetting(std::string_view text, const SliderConfig& slider) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        magnitude = std::numeric_limits<std::uint64_t>::max();
    }
    if (negative) return magnitude == 0 ? clampToSlider(slider, 0) : slider.min;
    if (magnitude > static_cast<std::uint64_t>(slider.max)) return slider.max;
    return clampToSlider(slider, static_cast<std::int32_t>(magnitude));
}

// The state of one reading: the options so far, and which option first chose the target, as
// options choosing different targets cannot be combined.
struct Reading {
    Options& options;
    std::optional<std::string_view> targetOption;
    bool root = false;
    bool windowIdGiven = false;
};

using command_line::Mistake;
using command_line::Refusal;
using command_line::Takes;

Refusal setTarget(Reading& reading, std::string_view option, Target target) {
    if (reading.targetOption && reading.options.target != target) {
        return std::string(*reading.targetOption) + " and " + std::string(option) +
               " cannot be combined";
    }
    if (!reading.targetOption) reading.targetOption = option;
    reading.options.target = target;
    return std::nullopt;
}

Refusal setWindowId(Reading& reading, std::string_view subject, std::string_view text) {
    const auto id = parseWindowId(text);
    if (!id) return std::string(subject) + ": '" + std::string(text) + "' is not a window id";
    reading.options.windowId = *id;
    return std::nullopt;
}

// XScreenSaver's preview runs the hack's "--root" command line with "--window-id" appended,
// so the two together are the preview pane; the root or $XSCREENSAVER_WINDOW is only looked
// up once the whole command line is read, as the id may come after --root.
Refusal applyRoot(Reading& reading, std::string_view name, std::string_view) {
    reading.root = true;
    return setTarget(reading, name, Target::Embedded);
}

Refusal applyWindow(Reading& reading, std::string_view name, std::string_view) {
    return setTarget(reading, name, Target::OwnWindow);
}

Refusal applyWindowId(Reading& reading, std::string_view name, std::string_view value) {
    if (auto refusal = setTarget(reading, name, Target::Embedded)) return refusal;
    reading.windowIdGiven = true;
    return setWindowId(reading, name, value);
}

Refusal applyDisplay(Reading& reading, std::string_view, std::string_view value) {
    reading.options.display = std::string(value);
    return std::nullopt;
}

template <const SliderConfig& slider, std::optional<std::int32_t> Options::*setting>
Refusal applySetting(Reading& reading, std::string_view name, std::string_view value) {
    const auto number = parseSetting(value, slider);
    if (!number) return std::string(name) + ": '" + std::string(value) + "' is not a whole number";
    reading.options.*setting = number;
    return std::nullopt;
}

constexpr command_line::Option<Reading> kOptions[] = {
    {"--help", Takes::Help},
    {"--h", Takes::Help},  // given as "-h": one dash reads as two
    {"--root", Takes::Nothing, applyRoot},
    {"--window", Takes::Nothing, applyWindow},
    {"--window-id", Takes::Value, applyWindowId},
    {"--display", Takes::Value, applyDisplay},
    {"--sectors", Takes::Value, applySetting<kSectorsSlider, &Options::sectors>},
    {"--speed", Takes::Value, applySetting<kSpeedSlider, &Options::speed>},
    {"--delay", Takes::Value, applySetting<kDelaySlider, &Options::delay>},
};

std::string word(const Mistake& mistake) {
    const std::string name(mistake.name);
    switch (mistake.kind) {
        case Mistake::Kind::NotAnOption:
            return "unexpected argument '" + name + "'";
        case Mistake::Kind::UnknownOption:
            return "unknown option '" + std::string(mistake.argument) + "' (see --help)";
        case Mistake::Kind::MissingValue:
            return name + " needs a value";
        case Mistake::Kind::UnwantedValue:
            return name + " takes no value";
    }
    return {};
}

}  // namespace

std::optional<std::uint32_t> parseWindowId(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.front() == '+' || text.front() == '-') return std::nullopt;
    std::uint32_t id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id, base);
    if (error != std::errc() || end != text.data() + text.size() || id == 0) return std::nullopt;
    return id;
}

ParseResult parseOptions(std::span<const std::string_view> args,
                         std::optional<std::string_view> xscreensaverWindow) {
    ParseResult result;
    Reading reading{result.options, std::nullopt, false, false};
    command_line::Outcome& outcome = result;
    outcome = command_line::parse<Reading>(args, kOptions, {true, word}, reading);
    if (!result.ok() || result.help) return result;
    result.options.underXScreenSaver = reading.root || xscreensaverWindow.has_value();
    if (reading.root && !reading.windowIdGiven && xscreensaverWindow) {
        if (auto refusal = setWindowId(reading, "XSCREENSAVER_WINDOW", *xscreensaverWindow)) {
            result.error = std::move(*refusal);
        }
    }
    return result;
}

Settings runSettings(const Options& options, const std::function<Settings()>& readFile) {
    Settings settings = options.underXScreenSaver ? Settings{} : readFile();
    if (options.sectors) settings.sectors = *options.sectors;
    if (options.speed) settings.speed = *options.speed;
    if (options.delay) settings.delay = *options.delay;
    return settings;
}

std::string usage() {
    return "Usage: mirelune [OPTION]...\n"
           "Paints an animated fractal kaleidoscope on an X display.\n"
           "\n"
           "Where to draw (one of these; without any, full screen until a key, a click or\n"
           "the eleventh mouse move):\n"
           "  --root            the window in $XSCREENSAVER_WINDOW, else the root window\n"
           "  --window-id ID    an existing window, by hex (0x...) or decimal id; given\n"
           "                    with --root, as XScreenSaver's preview does, it wins\n"
           "  --window          a resizable window of its own\n"
           "\n"
           "Settings (default: the settings file, else 5, 69 and 1000; with --root or\n"
           "$XSCREENSAVER_WINDOW set, as under XScreenSaver, always 5, 69 and 1000):\n"
           "  --sectors N       tiles along each side of the screen, 1 to 10\n"
           "  --speed N         painting speed, 0 (slowest) to 69 (no wait between rows)\n"
           "  --delay MS        pause after each picture in milliseconds, 0 to 20000\n"
           "\n"
           "  --display NAME    the X display to use instead of $DISPLAY\n"
           "  --help            print this text and exit\n"
           "\n"
           "Options also take one dash (-root) and values after '=' (--speed=8). Values\n"
           "outside the ranges are pulled into them. The settings file is\n"
           "$XDG_CONFIG_HOME/mirelune/mirelune.ini (~/.config/mirelune/mirelune.ini):\n"
           "  [Mirelune ScreenSaver]\n"
           "  Sectors=5\n"
           "  Speed=69\n"
           "  Delay=1000\n";
}

}  // namespace mirelune::x11
