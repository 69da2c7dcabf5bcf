#include "host/number_text.h"

#include <limits>

namespace mirelune {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
int digitValue(char c) {
    return c - '0';
}

// Past this magnitude the number lies outside every range a caller asks for; stopping the
// accumulation here keeps it far from overflowing.
constexpr std::uint64_t kMagnitudeCap = 100'000'000'000'000'000ull;

}  // namespace

std::optional<std::int64_t> wholeNumberFromText(std::string_view text, std::int64_t lowest,
                                                std::int64_t highest) {
    std::size_t pos = 0;
    std::size_t end = text.size();
    while (pos < end && isBlank(text[pos])) {
        ++pos;
    }
    while (end > pos && isBlank(text[end - 1])) {
        --end;
    }

    bool negative = false;
    if (pos < end && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }

    bool anyDigit = false;
    bool tooLarge = false;
    std::uint64_t magnitude = 0;
    while (pos < end && isDigit(text[pos])) {
        anyDigit = true;
        if (magnitude > kMagnitudeCap) {
            tooLarge = true;
        } else {
            magnitude = magnitude * 10 + static_cast<std::uint64_t>(digitValue(text[pos]));
        }
        ++pos;
    }

    int firstFraction = 0;
    bool restOfFractionNonZero = false;
    if (pos < end && text[pos] == '.') {
        ++pos;
        for (bool first = true; pos < end && isDigit(text[pos]); ++pos, first = false) {
            anyDigit = true;
            if (first) {
                firstFraction = digitValue(text[pos]);
            } else if (text[pos] != '0') {
                restOfFractionNonZero = true;
            }
        }
    }

    if (!anyDigit || pos != end || tooLarge) {
        return std::nullopt;
    }

    const bool roundUp =
        firstFraction > 5 || (firstFraction == 5 && (restOfFractionNonZero || magnitude % 2 == 1));
    const auto rounded = static_cast<std::int64_t>(magnitude + (roundUp ? 1 : 0));
    const std::int64_t value = negative ? -rounded : rounded;
    if (value < lowest || value > highest) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int16_t> integerFromText(std::string_view text) {
    const auto value = wholeNumberFromText(text, std::numeric_limits<std::int16_t>::min(),
                                           std::numeric_limits<std::int16_t>::max());
    if (!value) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(*value);
}

}  // namespace mirelune
