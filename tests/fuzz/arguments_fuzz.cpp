// Any bytes as the argument text, checked by properties rather than a second implementation.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "host/dispatch.h"
#include "host/number_text.h"

using namespace mirelune;

static std::string swapCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (std::isalpha(static_cast<unsigned char>(c))) c ^= 0x20;
    return out;
}

static std::string_view trimmedOfSpaces(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const RunMode mode = dispatch(text);
    if (!text.empty()) {
        require(mode == dispatch(text.substr(0, 2)), "dispatch: looked past two characters");
        require(mode == dispatch(swapCase(text)), "dispatch: letter case changed the mode");
    }
    require(text.empty() || text[0] == '/' || mode == RunMode::None,
            "dispatch: a mode from a text that does not start with '/'");

    const bool refused = refusesStart(false, true, text);
    require(refused == (trimmedOfSpaces(text) == "/s"), "refusesStart: not exactly \"/s\"");
    require(!refusesStart(true, true, text) && !refusesStart(false, false, text),
            "refusesStart: refused without a lone second instance");

    if (const auto handle = previewHandle(text)) {
        require(*handle >= -2147483648LL && *handle <= 4294967295LL,
                "previewHandle: value outside -2147483648..4294967295");
    }

    const auto small = integerFromText(text);
    require(small == integerFromText(" \t" + std::string(text) + "\t "),
            "integerFromText: surrounding blanks changed the value");
    return 0;
}
