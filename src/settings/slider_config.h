// The three sliders of the configuration dialog. Their ranges are also the only values the
// saver accepts from the settings file, so a hand-edited value can never reach the renderer
// outside what the dialog itself could have produced.
#pragma once

#include <algorithm>
#include <cstdint>

namespace mirelune {

struct SliderConfig {
    std::int32_t min = 0;
    std::int32_t max = 0;
    std::int32_t smallChange = 0;  // arrow keys
    std::int32_t largeChange = 0;  // page keys and clicks on the track
};

inline constexpr SliderConfig kSectorsSlider{1, 10, 1, 1};
inline constexpr SliderConfig kDelaySlider{0, 20000, 100, 1000};
inline constexpr SliderConfig kSpeedSlider{0, 69, 1, 10};

// The position a slider takes when asked for p: the nearest end for anything outside.
constexpr std::int32_t clampToSlider(const SliderConfig& slider, std::int32_t p) {
    return std::clamp(p, slider.min, slider.max);
}

}  // namespace mirelune
