#include "settings/dialog_labels.h"

#include "settings/slider_config.h"

namespace mirelune {

std::string sectorsLabelText(std::int32_t p) {
    return std::to_string(clampToSlider(kSectorsSlider, p));
}

std::string speedLabelText(std::int32_t p) {
    return std::string(speedNames[static_cast<std::size_t>(clampToSlider(kSpeedSlider, p) / 10)]);
}

std::string delayLabelText(std::int32_t p, std::string_view decimalSeparator) {
    // Whole tenths of a second, counted in integers so that 1050 cannot come out as 1.0
    // through a binary fraction just below the half.
    const std::int32_t tenths = (clampToSlider(kDelaySlider, p) + 50) / 100;
    std::string text = std::to_string(tenths / 10);
    text.append(decimalSeparator);
    text.append(std::to_string(tenths % 10));
    text.append(" sec. ");
    return text;
}

}  // namespace mirelune
