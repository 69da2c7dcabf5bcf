// Any bytes as the settings file: the reader, the profile look-ups and the dialog's labels for
// what was read must neither crash nor hand out a value outside the sliders' ranges; decoding
// the bytes then encoding their text must give back the very same bytes; and the bytes taken
// as text must encode to UTF-16 that decodes as such.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "settings/config_dialog_model.h"
#include "settings/dialog_labels.h"
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

std::string upperCased(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
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

    const Settings settings = readSettings(text);
    require(settings.sectors >= 1 && settings.sectors <= 10, "readSettings: sectors out of 1..10");
    require(settings.speed >= 0 && settings.speed <= 69, "readSettings: speed out of 0..69");
    require(settings.delay >= 0 && settings.delay <= 20000, "readSettings: delay out of 0..20000");

    constexpr std::array<std::string_view, 5> sections{kSettingsSection, " mirelune screensaver\t",
                                                       "", "[", "Other"};
    constexpr std::array<std::string_view, 6> keys{kSectorsKey, kSpeedKey, kDelayKey,
                                                   "",          "=",       " delay "};
    for (const std::string_view section : sections) {
        for (const std::string_view key : keys) {
            checkLookup(text, section, key);
        }
    }

    // Names compare ignoring letter case.
    const std::string upperSection = upperCased(kSettingsSection);
    for (const std::string_view key : {kSectorsKey, kSpeedKey, kDelayKey}) {
        require(readProfileString(text, upperSection, upperCased(key)) ==
                    readProfileString(text, kSettingsSection, key),
                "readProfileString: upper-cased names find something else");
    }

    // The dialog opens at what was read; its labels must hold whatever that is.
    using Slider = ConfigDialogModel::Slider;
    const ConfigDialogModel model(settings);
    const std::string sectors = model.label(Slider::sectors);
    require(isAllDigits(sectors), "sectors label: not bare digits");
    require(std::stoi(sectors) == settings.sectors, "sectors label: wrong number");

    const std::string speed = model.label(Slider::speed);
    require(std::find(speedNames.begin(), speedNames.end(), speed) != speedNames.end(),
            "speed label: not one of the speed names");

    for (const std::string_view separator : {".", ","}) {
        const std::string delay = model.label(Slider::delay, separator);
        require(delay.ends_with(" sec. "), "delay label: no \" sec. \" suffix");
        require(delay.find(separator) != std::string::npos, "delay label: no decimal separator");
        require(!delay.starts_with("-"), "delay label: negative");
    }
    return 0;
}
