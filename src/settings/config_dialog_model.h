// The configuration dialog without its window: the three slider positions, the label texts
// they produce and the file text that OK stores. The platform's dialog forwards slider moves
// here and copies the labels back, so all of its rules can be tested without a screen.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace mirelune {

class ConfigDialogModel {
  public:
    // Starts the sliders at the values in the settings file's text (empty when there is no
    // file), each taken into its slider's range.
    explicit ConfigDialogModel(std::string_view settingsFileText);

    // Moving a slider: a position beyond either end stops at that end.
    void setSectors(std::int32_t p);
    void setSpeed(std::int32_t p);
    void setDelay(std::int32_t p);

    const Settings& positions() const { return positions_; }

    std::string sectorsLabel() const;
    std::string speedLabel() const;
    std::string delayLabel(std::string_view decimalSeparator = ".") const;

    // What pressing OK makes of the settings file's current text (empty when there is none).
    std::string okText(std::string_view existingFileText) const;

  private:
    Settings positions_;
};

}  // namespace mirelune
