#include "settings/config_dialog_model.h"
#include "settings/dialog_labels.h"

#include <gtest/gtest.h>

#include <limits>

namespace mirelune {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(DialogLabels, SpeedNamesChangeEveryTenPositionsAndDelaysShowTenthsWithHalvesGoingUp) {
    const std::pair<std::int32_t, const char*> speeds[] = {
        {0, "Slowest"},     {9, "Slowest"}, {10, "Slower"},  {29, "Sorta Slow"}, {30, "Medium"},
        {45, "Sorta Fast"}, {59, "Faster"}, {60, "Fastest"}, {kMax, "Fastest"},  {kMin, "Slowest"}};
    for (const auto& [p, name] : speeds)
        EXPECT_EQ(speedLabelText(p), name) << p;
    const std::pair<std::int32_t, const char*> delays[] = {
        {0, "0.0 sec. "},     {49, "0.0 sec. "},    {50, "0.1 sec. "},
        {1049, "1.0 sec. "},  {1050, "1.1 sec. "},  {1150, "1.2 sec. "},
        {9950, "10.0 sec. "}, {kMax, "20.0 sec. "}, {kMin, "0.0 sec. "}};
    for (const auto& [p, text] : delays)
        EXPECT_EQ(delayLabelText(p), text) << p;
    EXPECT_EQ(delayLabelText(1050, ","), "1,1 sec. ");
}

TEST(ConfigDialogModel, EachSliderMovesItsOwnSettingWithinItsOwnRange) {
    using Slider = ConfigDialogModel::Slider;
    ConfigDialogModel dialog(Settings{5, 30, 1000});
    dialog.move(Slider::sectors, 0);
    dialog.move(Slider::speed, 70);
    dialog.move(Slider::delay, 25000);
    EXPECT_EQ(dialog.positions(), (Settings{1, 69, 20000}));
    EXPECT_EQ(dialog.label(Slider::sectors) + dialog.label(Slider::speed), "1Fastest");
}

}  // namespace
}  // namespace mirelune
