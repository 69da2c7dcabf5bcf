// Any bytes as the settings file: the reader and the profile look-ups must not crash, a value
// found is trimmed and an empty one gives the default; decoding the bytes then encoding their
// text must give back the very same bytes; and the bytes taken as text must encode to UTF-16
// that decodes as such.
#include <cstdint>
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

void checkLookup(std::string_view text, std::string_view section, std::string_view key) {
    const auto value = readProfileString(text, section, key);
    const bool found = value && !value->empty();
    require(!found || (!isBlank(value->front()) && !isBlank(value->back())),
            "readProfileString: value not trimmed");
    constexpr std::int32_t kDefault = -12345;
    require(found || readProfileInt(text, section, key, kDefault) == kDefault,
            "readProfileInt: missing or empty value but no default");
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
    using namespace std::literals;
    for (const auto section :
         {kSettingsSection, " mirelune screensaver\t"sv, ""sv, "["sv, "Other"sv}) {
        for (const auto key : {kSectorsKey, kSpeedKey, kDelayKey, ""sv, "="sv, " delay "sv}) {
            checkLookup(text, section, key);
        }
    }
    return 0;
}
