#include "settings/settings.h"

#include "settings/profile.h"
#include "settings/slider_config.h"
#include "settings/text_encoding.h"

namespace mirelune {
namespace {

// The runtime's number-to-text rule: room for a sign is always kept, as a blank when the
// number is not negative.
std::string numberWithSignRoom(std::int32_t n) {
    std::string text(n < 0 ? "" : " ");
    text += std::to_string(n);
    return text;
}

std::int32_t readClamped(std::string_view text, std::string_view key, std::int32_t defaultValue,
                         const SliderConfig& slider) {
    return clampToSlider(slider, readProfileInt(text, kSettingsSection, key, defaultValue));
}

}  // namespace

Settings readSettings(std::string_view fileBytes) {
    const std::string fileText = decodeText(fileBytes).text;
    const Settings defaults;
    Settings settings;
    settings.sectors = readClamped(fileText, kSectorsKey, defaults.sectors, kSectorsSlider);
    settings.speed = readClamped(fileText, kSpeedKey, defaults.speed, kSpeedSlider);
    settings.delay = readClamped(fileText, kDelayKey, defaults.delay, kDelaySlider);
    return settings;
}

std::string writeSettings(std::string_view existingBytes, const Settings& settings) {
    const DecodedText existing = decodeText(existingBytes);
    std::string text = writeProfileString(existing.text, kSettingsSection, kSectorsKey,
                                          numberWithSignRoom(settings.sectors));
    text = writeProfileString(text, kSettingsSection, kSpeedKey, std::to_string(settings.speed));
    text = writeProfileString(text, kSettingsSection, kDelayKey, std::to_string(settings.delay));
    return encodeText(text, existing.encoding);
}

}  // namespace mirelune
