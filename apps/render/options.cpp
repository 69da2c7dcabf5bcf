#include "render/options.h"

#include "settings/slider_config.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace mirelune::render {
namespace {

// The whole of text as a decimal number of type T; a sign only where T has one.
template <typename T>
std::optional<T> parseNumber(std::string_view text) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [stop, status] = std::from_chars(text.data(), end, value);
    if (status != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return value;
}

bool applySize(Options& options, std::string_view value) {
    const auto cross = value.find_first_of("xX");
    if (cross == std::string_view::npos) {
        return false;
    }
    const auto width = parseNumber<int>(value.substr(0, cross));
    const auto height = parseNumber<int>(value.substr(cross + 1));
    const auto fits = [](std::optional<int> side) {
        return side && *side >= 1 && *side <= kMaxSide;
    };
    if (!fits(width) || !fits(height)) {
        return false;
    }
    options.width = *width;
    options.height = *height;
    return true;
}

// Out-of-range counts are pulled into range, as the settings file does.
bool applySectors(Options& options, std::string_view value) {
    const auto sectors = parseNumber<long long>(value);
    if (!sectors) {
        return false;
    }
    options.sectors =
        static_cast<int>(std::clamp<long long>(*sectors, kSectorsSlider.min, kSectorsSlider.max));
    return true;
}

bool applySeed(Options& options, std::string_view value) {
    options.seed = parseNumber<std::uint64_t>(value);
    return options.seed.has_value();
}

bool applyPictures(Options& options, std::string_view value) {
    const auto pictures = parseNumber<std::uint64_t>(value);
    if (!pictures || *pictures < 1 || *pictures > kMaxPictures) {
        return false;
    }
    options.pictures = *pictures;
    return true;
}

bool applyOutput(Options& options, std::string_view value) {
    options.output = value;
    return !value.empty();
}

struct ValueOption {
    std::string_view name;
    std::string_view expected;  // what a valid value looks like, for the error message
    bool (*apply)(Options&, std::string_view);
};

constexpr std::array kValueOptions{
    ValueOption{"--size", "WIDTHxHEIGHT, each side 1 to 16384", applySize},
    ValueOption{"--sectors", "a whole number", applySectors},
    ValueOption{"--seed", "an unsigned 64-bit number", applySeed},
    ValueOption{"--pictures", "a number from 1 to 100000", applyPictures},
    ValueOption{"-o", "a file name", applyOutput},
    ValueOption{"--output", "a file name", applyOutput},
};

ParseResult failure(std::string message) {
    ParseResult result;
    result.error = std::move(message);
    return result;
}

}  // namespace

ParseResult parseOptions(const std::vector<std::string>& args) {
    ParseResult result;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        std::string_view name = arg;
        std::optional<std::string_view> value;
        if (arg.starts_with("--")) {
            if (const auto equals = arg.find('='); equals != std::string_view::npos) {
                name = arg.substr(0, equals);
                value = arg.substr(equals + 1);
            }
        }
        if (name == "--help") {
            if (value) {
                return failure("option '--help' takes no value");
            }
            result.help = true;
            return result;
        }
        const auto option = std::ranges::find(kValueOptions, name, &ValueOption::name);
        if (option == kValueOptions.end()) {
            return failure(arg.starts_with("-") ? "unknown option '" + std::string(name) + "'"
                                                : "unexpected argument '" + std::string(arg) + "'");
        }
        if (!value) {
            if (i + 1 == args.size()) {
                return failure("option '" + std::string(name) + "' needs a value");
            }
            value = args[++i];
        }
        if (!option->apply(result.options, *value)) {
            return failure("invalid value '" + std::string(*value) + "' for " + std::string(name) +
                           " (expected " + std::string(option->expected) + ")");
        }
    }
    if (result.options.output.empty()) {
        return failure("no output file given (use -o FILE)");
    }
    return result;
}

std::string usage() {
    return "Usage: mirelune-render [options] -o FILE\n"
           "Paints kaleidoscope pictures without a window and writes the screen to a PNG.\n"
           "\n"
           "  -o, --output FILE  the PNG file to write (required)\n"
           "  --size WxH         screen size in pixels, each side 1 to 16384 (default 1024x768)\n"
           "  --sectors N        tiles along each axis, pulled into 1 to 10 (default 5)\n"
           "  --seed N           seed of the random generator, 0 to 2^64-1 (default: the clock)\n"
           "  --pictures N       paint N pictures, 1 to 100000, then write (default 1)\n"
           "  --help             show this text and exit\n"
           "\n"
           "Values may also be given as --option=value.\n";
}

}  // namespace mirelune::render
