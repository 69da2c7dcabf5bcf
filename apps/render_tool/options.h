// Command-line options of mirelune-render, the headless renderer that paints pictures
// without a window and writes the screen to a PNG file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "command_line/option_table.h"

namespace mirelune::render_tool {

inline constexpr int kMaxSide = 16384;
inline constexpr std::uint64_t kMaxPictures = 100000;

struct Options {
    int width = 1024;
    int height = 768;
    int sectors = 5;
    std::optional<std::uint64_t> seed;  // absent: seeded from the clock
    std::uint64_t pictures = 1;
    std::string output;
};

using ParseResult = command_line::ParseResult<Options>;

// Parses the arguments that follow the program name. Values come either as the next
// argument ("--seed 7") or after an equals sign ("--seed=7").
ParseResult parseOptions(const std::vector<std::string>& args);

// The text --help prints, ending in a newline.
std::string usage();

}  // namespace mirelune::render_tool
