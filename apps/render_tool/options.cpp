#include "render_tool/options.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "settings/slider_config.h"

namespace mirelune::render_tool {
namespace {

using command_line::Mistake;
using command_line::Refusal;
using command_line::Takes;

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

Refusal invalid(std::string_view name, std::string_view value, std::string_view expected) {
    return "invalid value '" + std::string(value) + "' for " + std::string(name) + " (expected " +
           std::string(expected) + ")";
}

Refusal applySize(Options& options, std::string_view name, std::string_view value) {
    const auto fits = [](std::optional<int> side) {
        return side && *side >= 1 && *side <= kMaxSide;
    };
    const auto cross = value.find_first_of("xX");
    if (cross != std::string_view::npos) {
        const auto width = parseNumber<int>(value.substr(0, cross));
        const auto height = parseNumber<int>(value.substr(cross + 1));
        if (fits(width) && fits(height)) {
            options.width = *width;
            options.height = *height;
            return std::nullopt;
        }
    }
    return invalid(name, value, "WIDTHxHEIGHT, each side 1 to 16384");
}

// Out-of-range counts are pulled into range, as the settings file does.
Refusal applySectors(Options& options, std::string_view name, std::string_view value) {
    const auto sectors = parseNumber<long long>(value);
    if (!sectors) return invalid(name, value, "a whole number");
    options.sectors =
        static_cast<int>(std::clamp<long long>(*sectors, kSectorsSlider.min, kSectorsSlider.max));
    return std::nullopt;
}

Refusal applySeed(Options& options, std::string_view name, std::string_view value) {
    options.seed = parseNumber<std::uint64_t>(value);
    if (!options.seed) return invalid(name, value, "an unsigned 64-bit number");
    return std::nullopt;
}

Refusal applyPictures(Options& options, std::string_view name, std::string_view value) {
    const auto pictures = parseNumber<std::uint64_t>(value);
    if (!pictures || *pictures < 1 || *pictures > kMaxPictures) {
        return invalid(name, value, "a number from 1 to 100000");
    }
    options.pictures = *pictures;
    return std::nullopt;
}

Refusal applyOutput(Options& options, std::string_view name, std::string_view value) {
    if (value.empty()) return invalid(name, value, "a file name");
    options.output = value;
    return std::nullopt;
}

constexpr command_line::Option<Options> kOptions[] = {
    {"--size", Takes::Value, applySize},
    {"--sectors", Takes::Value, applySectors},
    {"--seed", Takes::Value, applySeed},
    {"--pictures", Takes::Value, applyPictures},
    {"-o", Takes::Value, applyOutput},
    {"--output", Takes::Value, applyOutput},
    {"--help", Takes::Help},
};

std::string word(const Mistake& mistake) {
    const std::string name(mistake.name);
    switch (mistake.kind) {
        // Here every argument that starts with '-' is called an option, a lone "-" too.
        case Mistake::Kind::NotAnOption:
        case Mistake::Kind::UnknownOption:
            return mistake.argument.starts_with("-")
                       ? "unknown option '" + name + "'"
                       : "unexpected argument '" + std::string(mistake.argument) + "'";
        case Mistake::Kind::MissingValue:
            return "option '" + name + "' needs a value";
        case Mistake::Kind::UnwantedValue:
            return "option '" + name + "' takes no value";
    }
    return {};
}

// The painter divides each side by twice the sector count; a side smaller than that leaves
// pictures of no pixels, and the file would come out black.
Refusal checkPaintable(const Options& options) {
    const int least = 2 * options.sectors;
    if (options.width >= least && options.height >= least) return std::nullopt;
    return "size " + std::to_string(options.width) + "x" + std::to_string(options.height) +
           " is too small for " + std::to_string(options.sectors) +
           " sectors (each side needs at least " + std::to_string(least) + " pixels)";
}

}  // namespace

ParseResult parseOptions(const std::vector<std::string>& args) {
    const std::vector<std::string_view> views(args.begin(), args.end());
    ParseResult result;
    command_line::Outcome& outcome = result;
    outcome = command_line::parse<Options>(views, kOptions, {false, word}, result.options);
    if (!result.ok() || result.help) return result;
    if (result.options.output.empty()) {
        result.error = "no output file given (use -o FILE)";
    } else if (auto tooSmall = checkPaintable(result.options)) {
        result.error = std::move(*tooSmall);
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
           "Each side of the size must be at least twice the sectors.\n"
           "Values may also be given as --option=value.\n";
}

}  // namespace mirelune::render_tool
