#include "settings/settings.h"
#include "settings/config_dialog_model.h"
#include "settings/dialog_labels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace mirelune {
namespace {

TEST(Settings, ReadingTakesDefaultsForWhatIsMissingAndClampsIntoTheDialogRanges) {
    const std::pair<const char*, Settings> cases[] = {
        {"", {5, 69, 1000}},
        // Lines before any section and other sections are not ours; names match ignoring case
        // and blanks; the first of two equal keys or sections counts; text after the digits is
        // ignored; an empty value takes the default.
        {"Speed=1\r\n[Elsewhere]\r\nSpeed=2\r\n  [ mirelune SCREENSAVER ]  ; note\r\n"
         "  SPEED  =  +20 sec \r\nspeed=30\r\nDelay=\r\n[Mirelune ScreenSaver]\r\nSectors=7\r\n",
         {5, 20, 1000}},
        {"[Mirelune ScreenSaver]\nSectors=0\nSpeed=-5\nDelay=-1\n", {1, 0, 0}},
        {"[Mirelune ScreenSaver]\nSectors=11\nSpeed=70\nDelay=99999999999999999999\n",
         {10, 69, 20000}},
        // Numbers beyond 32 bits saturate rather than wrap (to 1 and -1 here).
        {"[Mirelune ScreenSaver]\nSectors=4294967297\nSpeed=4294967295\nDelay=junk\n", {10, 69, 0}},
    };
    for (const auto& [file, expected] : cases)
        EXPECT_EQ(readSettings(file), expected) << file;
}

// Sectors keep room for a sign; a key missing from the section goes after its last key; the
// rest of the file stays as it was; and the reader gets back what was written.
TEST(Settings, SavingWritesTheThreeKeysIntoTheSectionAndKeepsTheRestOfTheFile) {
    const std::tuple<const char*, Settings, const char*> cases[] = {
        {"[mirelune screensaver]\r\n sectors = 5\r\nSpeed=69\r\nDelay=1000\r\n",
         {10, 0, 20000},
         "[mirelune screensaver]\r\nSectors= 10\r\nSpeed=0\r\nDelay=20000\r\n"},
        {"; mine\n[Other]\nSectors=3\n\n[Mirelune ScreenSaver]\nDelay=5\nExtra=1\n\n[Last]\nA=b",
         {2, 3, 4},
         "; mine\n[Other]\nSectors=3\n\n[Mirelune ScreenSaver]\nDelay=4\nExtra=1\n"
         "Sectors= 2\nSpeed=3\n\n[Last]\nA=b"},
        // A last line without an ending is completed first, in the file's own line ending.
        {"[A]\r\nk=1",
         {1, 2, 3},
         "[A]\r\nk=1\r\n[Mirelune ScreenSaver]\r\nSectors= 1\r\nSpeed=2\r\nDelay=3\r\n"},
    };
    for (const auto& [before, settings, after] : cases) {
        const std::string written = writeSettings(before, settings);
        EXPECT_EQ(written, after);
        EXPECT_EQ(readSettings(written), settings);
    }
    EXPECT_EQ(writeSettings("", {-5, 0, 0}).find("Sectors=-5\r\n"), 24u);
}

// One file text before and after a save, spelt once as both u"" and u8"" literals so that the
// compiler, not we, gives the bytes of every encoding; the section sits right behind the mark.
#define MIRELUNE_TEXT(keys)           \
    "[Mirelune ScreenSaver]\r\n" keys \
    "\r\n[Other]\r\nName=\u00C7a va ; Gr\u00FC\u00DFe \U0001F319\r\nNote=\u65E5\u672C\r\n"
#define MIRELUNE_TEXT_BEFORE MIRELUNE_TEXT("Sectors=2\r\nSpeed=20")
#define MIRELUNE_TEXT_AFTER MIRELUNE_TEXT("Sectors= 7\r\nSpeed=12\r\nDelay=3400")

std::string utf16WithMark(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(bigEndian ? unit >> 8 : unit & 0xFF));
        bytes.push_back(static_cast<char>(bigEndian ? unit & 0xFF : unit >> 8));
    }
    return bytes;
}

// Files with a byte order mark are read and saved as their text; bytes that only look like
// UTF-16 are kept and saved as bytes.
TEST(SettingsEncoding, AFileIsSavedInTheEncodingItWasReadIn) {
    const auto utf8WithMark = [](std::u8string_view text) {
        return "\xEF\xBB\xBF" + std::string(text.begin(), text.end());
    };
    const auto keptAsBytes = [](const std::string& bytes) {
        return std::tuple(bytes, Settings{},
                          bytes + "\n[Mirelune ScreenSaver]\nSectors= 7\nSpeed=12\nDelay=3400\n");
    };
    const std::string le = utf16WithMark(u"" MIRELUNE_TEXT_BEFORE, false);
    const std::string be = utf16WithMark(u"" MIRELUNE_TEXT_BEFORE, true);
    const std::string utf8 = utf8WithMark(u8"" MIRELUNE_TEXT_BEFORE);
    const std::tuple<std::string, Settings, std::string> cases[] = {
        {le, {2, 20, 1000}, utf16WithMark(u"" MIRELUNE_TEXT_AFTER, false)},
        {be, {2, 20, 1000}, utf16WithMark(u"" MIRELUNE_TEXT_AFTER, true)},
        {utf8, {2, 20, 1000}, utf8WithMark(u8"" MIRELUNE_TEXT_AFTER)},
        keptAsBytes(le + "x"),                                        // odd length
        keptAsBytes(le + std::string("\0\xD8", 2)),                   // high surrogate at the end
        keptAsBytes(be + std::string("\xDC\0", 2)),                   // low surrogate alone
        keptAsBytes(std::string("\xFF\xFE\0\0[\0\0\0\n\0\0\0", 12)),  // UTF-32
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& [before, read, after] = cases[i];
        EXPECT_EQ(readSettings(before), read) << "case " << i;
        EXPECT_EQ(writeSettings(before, Settings{7, 12, 3400}), after) << "case " << i;
    }
}

TEST(DialogLabels, SpeedNamesChangeEveryTenPositionsAndDelaysShowTenthsWithHalvesGoingUp) {
    const std::pair<std::int32_t, const char*> speeds[] = {
        {0, "Slowest"},         {9, "Slowest"},        {10, "Slower"}, {29, "Sorta Slow"},
        {30, "Medium"},         {45, "Sorta Fast"},    {59, "Faster"}, {60, "Fastest"},
        {INT32_MAX, "Fastest"}, {INT32_MIN, "Slowest"}};
    for (const auto& [p, name] : speeds)
        EXPECT_EQ(speedLabelText(p), name) << p;
    const std::pair<std::int32_t, const char*> delays[] = {
        {0, "0.0 sec. "},     {49, "0.0 sec. "},         {50, "0.1 sec. "},
        {1049, "1.0 sec. "},  {1050, "1.1 sec. "},       {1150, "1.2 sec. "},
        {9950, "10.0 sec. "}, {INT32_MAX, "20.0 sec. "}, {INT32_MIN, "0.0 sec. "}};
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
