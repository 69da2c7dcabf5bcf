// The texts the configuration dialog shows beside its sliders.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace mirelune {

// One name for every ten speed positions.
inline constexpr std::array<std::string_view, 7> speedNames{
    "Slowest", "Slower", "Sorta Slow", "Medium", "Sorta Fast", "Faster", "Fastest"};

// Each label first takes p to its slider's range, as the slider itself would, so that no
// position can index past speedNames or print a negative delay.

// The sector count as bare digits ("7").
std::string sectorsLabelText(std::int32_t p);

// The speed's name: speedNames[p / 10].
std::string speedLabelText(std::int32_t p);

// The delay in seconds to one decimal, halves rounded up, then " sec. " ("1.1 sec. " for
// 1050). The platform supplies its locale's decimal separator.
std::string delayLabelText(std::int32_t p, std::string_view decimalSeparator = ".");

}  // namespace mirelune
