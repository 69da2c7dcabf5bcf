// Letter case of ASCII text. The saver's names (settings sections and keys, file names, the
// system-key actions) are plain ASCII and compare without regard to case, whatever the
// user's locale says about other letters.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace mirelune {

constexpr char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

inline std::string asciiLowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), asciiLower);
    return lower;
}

}  // namespace mirelune
