// Three integers (the first 12 bytes) and any existing file (the rest) as settings to save.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "settings/settings.h"
#include "settings/text_encoding.h"

using namespace mirelune;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::int32_t numbers[3] = {0, 0, 0};
    const std::size_t numberBytes = std::min(size, sizeof numbers);
    std::memcpy(numbers, data, numberBytes);
    const Settings settings{numbers[0], numbers[1], numbers[2]};
    const std::string_view existing(reinterpret_cast<const char*>(data) + numberBytes,
                                    size - numberBytes);

    const std::string written = writeSettings(existing, settings);
    const TextEncoding encoding = decodeText(existing).encoding;
    if (decodeText(written).encoding != encoding) {
        // Bytes that only look like UTF-16 get ASCII lines added as they always have, which
        // may make the whole read as valid UTF-16 of other characters; nothing more holds.
        require(encoding == TextEncoding::Bytes, "write: a decoded file changed its encoding");
        return 0;
    }
    const Settings clamped{std::clamp(settings.sectors, 1, 10), std::clamp(settings.speed, 0, 69),
                           std::clamp(settings.delay, 0, 20000)};
    require(readSettings(written) == clamped, "read after write: values differ");
    require(writeSettings(written, settings) == written, "write twice: text changed");
    return 0;
}
