// Three integers and any existing file text: storing the settings and reading them back gives
// the values clamped into the sliders' ranges, storing twice changes nothing more, and the
// other sections of the file survive byte for byte.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "settings/settings.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::int32_t numbers[3] = {0, 0, 0};
    const std::size_t numberBytes = std::min(size, sizeof numbers);
    std::memcpy(numbers, data, numberBytes);
    const Settings settings{numbers[0], numbers[1], numbers[2]};
    const std::string_view existing = fuzz::asText(data + numberBytes, size - numberBytes);

    const std::string written = writeSettings(existing, settings);
    require(readSettings(written) == clamped(settings), "read after write: values differ");
    require(writeSettings(written, settings) == written, "write twice: text changed");

    if (!containsIgnoringCase(existing, "fuzz marker")) {
        std::string withMarker(existing);
        withMarker.append(kMarker);
        const std::string rewritten = writeSettings(withMarker, settings);
        require(rewritten.find(kMarker) != std::string::npos,
                "write: another section was not kept byte for byte");
        require(readSettings(rewritten) == clamped(settings),
                "read after write with another section: values differ");
    }
    return 0;
}
