#include "settings/config_dialog_model.h"

#include <array>
#include <cstddef>

#include "settings/dialog_labels.h"

namespace mirelune {
namespace {

// Everything that differs between the sliders, in the order of ConfigDialogModel::Slider.
struct SliderFacts {
    const SliderConfig* range;
    std::int32_t Settings::*setting;
    std::string (*labelText)(std::int32_t p, std::string_view decimalSeparator);
};

constexpr std::array<SliderFacts, 3> kSliderFacts{{
    {&kSectorsSlider, &Settings::sectors,
     [](std::int32_t p, std::string_view) { return sectorsLabelText(p); }},
    {&kSpeedSlider, &Settings::speed,
     [](std::int32_t p, std::string_view) { return speedLabelText(p); }},
    {&kDelaySlider, &Settings::delay, delayLabelText},
}};

const SliderFacts& factsOf(ConfigDialogModel::Slider slider) {
    return kSliderFacts[static_cast<std::size_t>(slider)];
}

}  // namespace

const SliderConfig& ConfigDialogModel::range(Slider slider) {
    return *factsOf(slider).range;
}

void ConfigDialogModel::move(Slider slider, std::int32_t p) {
    positions_.*factsOf(slider).setting = clampToSlider(range(slider), p);
}

std::int32_t ConfigDialogModel::position(Slider slider) const {
    return positions_.*factsOf(slider).setting;
}

std::string ConfigDialogModel::label(Slider slider, std::string_view decimalSeparator) const {
    return factsOf(slider).labelText(position(slider), decimalSeparator);
}

}  // namespace mirelune
