#include "settings/config_dialog_model.h"

#include "settings/dialog_labels.h"
#include "settings/slider_config.h"

namespace mirelune {

ConfigDialogModel::ConfigDialogModel(std::string_view settingsFileText)
    : positions_(readSettings(settingsFileText)) {}

void ConfigDialogModel::setSectors(std::int32_t p) {
    positions_.sectors = clampToSlider(kSectorsSlider, p);
}

void ConfigDialogModel::setSpeed(std::int32_t p) {
    positions_.speed = clampToSlider(kSpeedSlider, p);
}

void ConfigDialogModel::setDelay(std::int32_t p) {
    positions_.delay = clampToSlider(kDelaySlider, p);
}

std::string ConfigDialogModel::sectorsLabel() const {
    return sectorsLabelText(positions_.sectors);
}

std::string ConfigDialogModel::speedLabel() const {
    return speedLabelText(positions_.speed);
}

std::string ConfigDialogModel::delayLabel(std::string_view decimalSeparator) const {
    return delayLabelText(positions_.delay, decimalSeparator);
}

std::string ConfigDialogModel::okText(std::string_view existingFileText) const {
    return writeSettings(existingFileText, positions_);
}

}  // namespace mirelune
