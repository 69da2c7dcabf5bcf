// Text-to-integer conversion with the rules of the form runtime's CInt and CLng of a string,
// as far as the saver's inputs need them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace mirelune {

// Accepts blanks (spaces, tabs) around the number, an optional sign, and decimal digits with
// an optional fractional part, which is rounded half-to-even. Empty or non-numeric text,
// anything after the number, and a rounded result outside [lowest, highest] give nullopt.
std::optional<std::int64_t> wholeNumberFromText(std::string_view text, std::int64_t lowest,
                                                std::int64_t highest);

// The 16-bit conversion (CInt).
std::optional<std::int16_t> integerFromText(std::string_view text);

}  // namespace mirelune
