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

struct ValueOption {
    std::string_view name;
    const SliderConfig* slider;
    std::optional<std::int32_t> Options::*setting;
};

const ValueOption kSettingOptions[] = {
    {"sectors", &kSectorsSlider, &Options::sectors},
    {"speed", &kSpeedSlider, &Options::speed},
    {"delay", &kDelaySlider, &Options::delay},
};

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
    Options& options = result.options;
    std::optional<std::string_view> targetOption;

    const auto setTarget = [&](std::string_view option, Target target) {
        if (targetOption && *targetOption != option) {
            result.error = "--" + std::string(*targetOption) + " and --" + std::string(option) +
                           " cannot be combined";
            return false;
        }
        targetOption = option;
        options.target = target;
        return true;
    };

    for (std::size_t i = 0; i < args.size() && result.ok() && !result.help; ++i) {
        std::string_view arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            result.error = "unexpected argument '" + std::string(arg) + "'";
            break;
        }
        std::string_view name = arg.substr(arg[1] == '-' ? 2 : 1);
        std::optional<std::string_view> inlineValue;
        if (const auto equals = name.find('='); equals != std::string_view::npos) {
            inlineValue = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        const std::string shown = "--" + std::string(name);

        // The value of an option that takes one, from after '=' or the next argument.
        const auto takeValue = [&]() -> std::optional<std::string_view> {
            if (inlineValue) return inlineValue;
            if (i + 1 < args.size()) return args[++i];
            result.error = shown + " needs a value";
            return std::nullopt;
        };
        const auto refuseValue = [&] {
            if (inlineValue) result.error = shown + " takes no value";
            return !inlineValue;
        };

        if (name == "help" || name == "h") {
            if (refuseValue()) result.help = true;
        } else if (name == "root") {
            if (refuseValue() && setTarget(name, Target::Embedded) && xscreensaverWindow) {
                const auto id = parseWindowId(*xscreensaverWindow);
                if (!id) {
                    result.error = "XSCREENSAVER_WINDOW: '" + std::string(*xscreensaverWindow) +
                                   "' is not a window id";
                } else {
                    options.windowId = *id;
                }
            }
        } else if (name == "window") {
            if (refuseValue()) setTarget(name, Target::OwnWindow);
        } else if (name == "window-id") {
            const auto value = takeValue();
            if (!value || !setTarget(name, Target::Embedded)) continue;
            const auto id = parseWindowId(*value);
            if (!id) {
                result.error = shown + ": '" + std::string(*value) + "' is not a window id";
            } else {
                options.windowId = *id;
            }
        } else if (name == "display") {
            if (const auto value = takeValue()) options.display = std::string(*value);
        } else {
            const auto* option =
                std::find_if(std::begin(kSettingOptions), std::end(kSettingOptions),
                             [&](const ValueOption& o) { return o.name == name; });
            if (option == std::end(kSettingOptions)) {
                result.error = "unknown option '" + std::string(arg) + "' (see --help)";
                break;
            }
            const auto value = takeValue();
            if (!value) break;
            const auto number = parseSetting(*value, *option->slider);
            if (!number) {
                result.error = shown + ": '" + std::string(*value) + "' is not a whole number";
            } else {
                options.*(option->setting) = number;
            }
        }
    }
    return result;
}

Settings applyOptions(Settings fromFile, const Options& options) {
    if (options.sectors) fromFile.sectors = *options.sectors;
    if (options.speed) fromFile.speed = *options.speed;
    if (options.delay) fromFile.delay = *options.delay;
    return fromFile;
}

std::string usage() {
    return "Usage: mirelune [OPTION]...\n"
           "Paints an animated fractal kaleidoscope on an X display.\n"
           "\n"
           "Where to draw (one of these; without any, full screen until a key, a click or\n"
           "the eleventh mouse move):\n"
           "  --root            the window in $XSCREENSAVER_WINDOW, else the root window\n"
           "  --window-id ID    an existing window, by hex (0x...) or decimal id\n"
           "  --window          a resizable window of its own\n"
           "\n"
           "Settings (default: the settings file, else 5, 69 and 1000):\n"
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
