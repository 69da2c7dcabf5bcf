#include "web_settings.h"

#include "settings/profile.h"

namespace mirelune::web {
namespace {

std::string_view keyOf(Slider slider) {
    switch (slider) {
        case Slider::sectors:
            return kSectorsKey;
        case Slider::speed:
            return kSpeedKey;
        case Slider::delay:
            break;
    }
    return kDelayKey;
}

}  // namespace

WebSettings::WebSettings(std::string_view storedText) : model_(readSettings(storedText)) {}

void WebSettings::setFromText(Slider slider, std::string_view valueText) {
    // Only the first line counts: a value can never smuggle in a line of its own.
    valueText = valueText.substr(0, valueText.find_first_of("\r\n"));
    std::string line("[");
    line.append(kSettingsSection).append("]\n").append(keyOf(slider)).append("=");
    line.append(valueText);
    model_.move(slider, readProfileInt(line, kSettingsSection, keyOf(slider), position(slider)));
}

}  // namespace mirelune::web
