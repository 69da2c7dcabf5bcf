// Three integers and any existing file: storing the settings and reading them back gives the
// values clamped into the sliders' ranges, storing twice changes nothing more, the file keeps
// its encoding, and the other sections of its text survive (byte for byte, since decoding
// and encoding give back the bytes they were given, which the reader target checks).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "settings/settings.h"
#include "settings/text_encoding.h"

using namespace mirelune;
using mirelune::fuzz::require;

namespace {

// Appended to the existing text; it must still be there, unchanged, after a write.
constexpr std::string_view kMarker = "\n[Fuzz Marker Section]\r\nkeep=this; exactly \n; note\n";

bool containsIgnoringCase(std::string_view haystack, std::string_view needle) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != haystack.end();
}

Settings clamped(const Settings& s) {
    return {std::clamp(s.sectors, 1, 10), std::clamp(s.speed, 0, 69),
            std::clamp(s.delay, 0, 20000)};
}

// The file after a save, checked against what every save promises. Nothing when `existing`
// only looks like UTF-16: the save adds ASCII lines to such bytes as it always has, and those
// may make the whole read as valid UTF-16 of other characters, which ends the promises.
std::optional<std::string> checkedSave(std::string_view existing, const Settings& settings) {
    const std::string written = writeSettings(existing, settings);
    const TextEncoding encoding = decodeText(existing).encoding;
    if (decodeText(written).encoding != encoding) {
        require(encoding == TextEncoding::Bytes, "write: a decoded file changed its encoding");
        return std::nullopt;
    }
    require(readSettings(written) == clamped(settings), "read after write: values differ");
    require(writeSettings(written, settings) == written, "write twice: text changed");
    return written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::int32_t numbers[3] = {0, 0, 0};
    const std::size_t numberBytes = std::min(size, sizeof numbers);
    std::memcpy(numbers, data, numberBytes);
    const Settings settings{numbers[0], numbers[1], numbers[2]};
    const std::string_view existing = fuzz::asText(data + numberBytes, size - numberBytes);

    checkedSave(existing, settings);

    const DecodedText decoded = decodeText(existing);
    if (!containsIgnoringCase(decoded.text, "fuzz marker")) {
        const std::string withMarker =
            encodeText(decoded.text + std::string(kMarker), decoded.encoding);
        if (decodeText(withMarker).encoding != decoded.encoding) {
            return 0;  // bytes that the marker's ASCII turned into UTF-16, as above
        }
        if (const std::optional<std::string> rewritten = checkedSave(withMarker, settings)) {
            require(decodeText(*rewritten).text.find(kMarker) != std::string::npos,
                    "write: another section was not kept");
        }
    }
    return 0;
}
