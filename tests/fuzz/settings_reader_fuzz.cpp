// Any bytes as the settings file: the reader and the profile look-ups must not crash, and a
// value found is a trimmed view into the text; decoding the bytes then encoding their text
// must give back the very same bytes; and the bytes taken as text must encode to UTF-16
// that decodes as such.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "settings/text_encoding.h"

using namespace mirelune;
using mirelune::fuzz::require;

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isAllDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void checkLookup(std::string_view text, std::string_view section, std::string_view key) {
    const auto value = readProfileString(text, section, key);
    if (value) {
        // The view points into the text, with no blanks left around it.
        require(value->data() >= text.data() &&
                    value->data() + value->size() <= text.data() + text.size(),
                "readProfileString: view outside the text");
        require(value->empty() || (!isBlank(value->front()) && !isBlank(value->back())),
                "readProfileString: value not trimmed");
    }
    constexpr std::int32_t kDefault = -12345;
    const std::int32_t number = readProfileInt(text, section, key, kDefault);
    if (!value || value->empty()) {
        require(number == kDefault, "readProfileInt: missing or empty value but no default");
    } else if (isAllDigits(*value) && value->size() <= 9) {
        require(number == std::stoi(std::string(*value)), "readProfileInt: plain digits misread");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::asText(data, size);
    const DecodedText decoded = decodeText(text);
    require(encodeText(decoded.text, decoded.encoding) == text, "decode then encode: bytes differ");
    // Any text without a NUL, valid UTF-8 or not, must come out as UTF-16 that reads back as
    // UTF-16: no lone surrogate, nothing beyond U+10FFFF, no NUL from an overlong sequence.
    if (text.find('\0') == std::string_view::npos) {
        for (const TextEncoding utf16 : {TextEncoding::Utf16Le, TextEncoding::Utf16Be}) {
            require(decodeText(encodeText(text, utf16)).encoding == utf16,
                    "encode: UTF-16 that does not read back as UTF-16");
        }
    }

    (void)readSettings(text);  // must neither crash nor read out of bounds
    constexpr std::array<std::string_view, 5> sections{kSettingsSection, " mirelune screensaver\t",
                                                       "", "[", "Other"};
    constexpr std::array<std::string_view, 6> keys{kSectorsKey, kSpeedKey, kDelayKey,
                                                   "",          "=",       " delay "};
    for (const std::string_view section : sections) {
        for (const std::string_view key : keys) {
            checkLookup(text, section, key);
        }
    }
    return 0;
}
