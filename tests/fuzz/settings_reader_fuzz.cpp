// Any bytes as the settings file: the reader must not crash; decoding the bytes then encoding
// their text must give back the very same bytes; and the bytes taken as text must encode to
// UTF-16 that decodes as such. The profile rules themselves are pinned by the unit tests.
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "settings/settings.h"
#include "settings/text_encoding.h"

using namespace mirelune;
using mirelune::fuzz::require;

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
    return 0;
}
