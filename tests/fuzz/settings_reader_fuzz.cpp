// Any bytes as the settings file. The profile rules themselves are pinned by the unit tests.
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "settings/settings.h"
#include "settings/text_encoding.h"

using namespace mirelune;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
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
    return 0;
}
