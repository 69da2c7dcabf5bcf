// Any bytes as the argument text: the mode switch, the single-instance rule, the preview
// handle and the 16-bit number conversion, each checked against a small reference of its own.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

#include "fuzz_check.h"
#include "host/dispatch.h"
#include "host/number_text.h"

using namespace mirelune;
using mirelune::fuzz::require;

namespace {

RunMode referenceMode(std::string_view text) {
    if (text.empty()) {
        return RunMode::Saver;
    }
    if (text.size() < 2 || text[0] != '/') {
        return RunMode::None;
    }
    switch (text[1]) {
        case 'p':
        case 'P':
            return RunMode::Preview;
        case 'c':
        case 'C':
            return RunMode::Configure;
        case 's':
        case 'S':
            return RunMode::Saver;
        case 'a':
        case 'A':
            return RunMode::Password;
        default:
            return RunMode::None;
    }
}

bool referenceIsPlainSaverSwitch(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text == "/s";
}

// The number a text stands for under the conversion's rules, worked out separately: the text
// is split into sign, whole digits and fraction digits first, then rounded half to even.
// Nothing when the text is not a number at all; a magnitude that exceeds int64 is capped.
std::optional<std::int64_t> referenceNumber(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    if (first >= last) {
        return std::nullopt;
    }
    std::string_view s(first, last);
    bool negative = false;
    if (s.front() == '+' || s.front() == '-') {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    const std::size_t point = s.find('.');
    const std::string_view whole = s.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : s.substr(point + 1);
    if (!std::all_of(whole.begin(), whole.end(), digit) ||
        !std::all_of(fraction.begin(), fraction.end(), digit) ||
        (whole.empty() && fraction.empty())) {
        return std::nullopt;
    }

    std::string_view significant =
        whole.substr(std::min(whole.find_first_not_of('0'), whole.size()));
    constexpr std::int64_t kHuge = std::int64_t{1} << 62;
    std::int64_t magnitude = 0;
    if (significant.size() > 15) {
        magnitude = kHuge;
    } else if (!significant.empty()) {
        std::from_chars(significant.data(), significant.data() + significant.size(), magnitude);
    }
    if (!fraction.empty()) {
        const bool restIsZero = fraction.find_first_not_of('0', 1) == std::string_view::npos;
        if (fraction[0] > '5' || (fraction[0] == '5' && (!restIsZero || magnitude % 2 != 0))) {
            ++magnitude;
        }
    }
    return negative ? -magnitude : magnitude;
}

std::optional<std::int64_t> referenceInRange(std::string_view text, std::int64_t lowest,
                                             std::int64_t highest) {
    const auto value = referenceNumber(text);
    if (!value || *value < lowest || *value > highest) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::asText(data, size);

    require(dispatch(text) == referenceMode(text), "dispatch: mode differs from the reference");

    const bool plainSaver = referenceIsPlainSaverSwitch(text);
    require(!refusesStart(true, true, text),
            "refusesStart: refused with the properties window open");
    require(!refusesStart(true, false, text), "refusesStart: refused with no other instance");
    require(!refusesStart(false, false, text), "refusesStart: refused with no other instance");
    require(refusesStart(false, true, text) == plainSaver,
            "refusesStart: differs from the trimmed \"/s\" rule");
    if (plainSaver) {
        require(dispatch(text.substr(text.find('/'))) == RunMode::Saver,
                "refusesStart: refused a text that is not the saver switch");
    }

    const auto handle = previewHandle(text);
    const std::string_view rest = text.size() > 3 ? text.substr(3) : std::string_view{};
    if (handle) {
        require(*handle >= -2147483648LL && *handle <= 4294967295LL,
                "previewHandle: value outside -2147483648..4294967295");
        require(referenceNumber(rest).has_value(),
                "previewHandle: value from a text that is no number");
    }
    require(handle == referenceInRange(rest, -2147483648LL, 4294967295LL),
            "previewHandle: differs from the reference conversion");

    const auto small = integerFromText(text);
    require(small == referenceInRange(text, -32768, 32767),
            "integerFromText: differs from the reference conversion");
    require(small == wholeNumberFromText(text, -32768, 32767),
            "integerFromText: differs from wholeNumberFromText over the 16-bit range");
    return 0;
}
