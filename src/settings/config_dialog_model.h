// The configuration dialog without its window: the three slider positions and the label texts
// they produce. The platform's dialog forwards slider moves here and copies the labels back,
// so all of its rules can be tested without a screen; OK hands positions() to saveSettings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings.h"
#include "settings/slider_config.h"

namespace mirelune {

class ConfigDialogModel {
  public:
    enum class Slider { sectors, speed, delay };

    // Starts the sliders at the stored settings, which loading has already taken into the
    // sliders' ranges.
    explicit ConfigDialogModel(const Settings& stored) : positions_(stored) {}

    static const SliderConfig& range(Slider slider);

    // Moving a slider: a position beyond either end stops at that end.
    void move(Slider slider, std::int32_t p);
    std::int32_t position(Slider slider) const;

    // The text shown beside the slider; the platform supplies its locale's decimal separator.
    std::string label(Slider slider, std::string_view decimalSeparator = ".") const;

    const Settings& positions() const { return positions_; }

  private:
    Settings positions_;
};

}  // namespace mirelune
