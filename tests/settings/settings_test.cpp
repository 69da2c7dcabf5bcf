#include "settings/settings.h"
#include "settings/config_dialog_model.h"
#include "settings/dialog_labels.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <string_view>

namespace mirelune {
namespace {

TEST(Settings, ReadingTakesDefaultsForWhatIsMissingAndClampsIntoTheDialogRanges) {
    const struct {
        const char* file;
        Settings expected;
    } cases[] = {
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
    for (const auto& c : cases) {
        EXPECT_EQ(readSettings(c.file), c.expected) << c.file;
    }
}

// Sectors keep room for a sign; a key missing from the section goes after its last key; the
// rest of the file stays as it was; and the reader gets back what was written.
TEST(Settings, SavingWritesTheThreeKeysIntoTheSectionAndKeepsTheRestOfTheFile) {
    const struct {
        const char* before;
        Settings settings;
        const char* after;
    } cases[] = {
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
    for (const auto& c : cases) {
        const std::string written = writeSettings(c.before, c.settings);
        EXPECT_EQ(written, c.after);
        EXPECT_EQ(readSettings(written), c.settings);
    }
    EXPECT_EQ(writeSettings("", {-5, 0, 0}).find("Sectors=-5\r\n"), 24u);
}

// One file text before and after a save, spelt once and given to the compiler as both u""
// and u8"" literals, so that the expected bytes of every encoding come from it, not from us.
// The section comes first, right behind the byte order mark.
#define MIRELUNE_TEXT(keys)           \
    "[Mirelune ScreenSaver]\r\n" keys \
    "\r\n[Other]\r\nName=\u00C7a va ; Gr\u00FC\u00DFe \U0001F319\r\nNote=\u65E5\u672C\r\n"
#define MIRELUNE_TEXT_BEFORE MIRELUNE_TEXT("Sectors=2\r\nSpeed=20")
#define MIRELUNE_TEXT_AFTER MIRELUNE_TEXT("Sectors= 7\r\nSpeed=12\r\nDelay=3400")

std::string utf8WithMark(std::u8string_view text) {
    return "\xEF\xBB\xBF" + std::string(text.begin(), text.end());
}

std::string utf16WithMark(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST(SettingsEncoding, FilesWithAByteOrderMarkAreReadAndSavedAsTheirText) {
    const struct {
        const char* name;
        std::string before;
        std::string after;
    } cases[] = {
        {"UTF-16 LE", utf16WithMark(u"" MIRELUNE_TEXT_BEFORE, false),
         utf16WithMark(u"" MIRELUNE_TEXT_AFTER, false)},
        {"UTF-16 BE", utf16WithMark(u"" MIRELUNE_TEXT_BEFORE, true),
         utf16WithMark(u"" MIRELUNE_TEXT_AFTER, true)},
        {"UTF-8", utf8WithMark(u8"" MIRELUNE_TEXT_BEFORE), utf8WithMark(u8"" MIRELUNE_TEXT_AFTER)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readSettings(c.before), (Settings{2, 20, 1000})) << c.name;
        EXPECT_EQ(writeSettings(c.before, Settings{7, 12, 3400}), c.after) << c.name;
    }
}

TEST(SettingsEncoding, BytesThatOnlyLookLikeUtf16AreKeptAndSavedAsBytes) {
    const std::string le = utf16WithMark(u"[Mirelune ScreenSaver]\r\nSpeed=20\r\n", false);
    const std::string be = utf16WithMark(u"[Mirelune ScreenSaver]\r\nSpeed=20\r\n", true);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"odd length", le + "x"},
        {"high surrogate at the end", le + std::string("\0\xD8", 2)},
        {"low surrogate alone", be + std::string("\xDC\0", 2)},
        {"UTF-32", std::string("\xFF\xFE\0\0[\0\0\0\n\0\0\0", 12)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readSettings(c.bytes), Settings{}) << c.name;
        EXPECT_EQ(writeSettings(c.bytes, Settings{7, 12, 3400}),
                  c.bytes + "\n[Mirelune ScreenSaver]\nSectors= 7\nSpeed=12\nDelay=3400\n")
            << c.name;
    }
}

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
