#include "settings/profile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace mirelune {
namespace {

TEST(ProfileRead, MatchesSectionAndKeyIgnoringCaseAndBlanks) {
    const std::string text =
        "Speed=1\r\n"  // before any section: belongs to none
        "[Other]\r\nSpeed=2\r\n"
        "  [ Display ]  ; a comment\r\n"
        ";Speed=3\r\n"
        "  SPEED  =  20  \r\n"
        "speed=30\r\n"
        "[display]\r\nDelay=7\r\n";
    EXPECT_EQ(readProfileString(text, "display", "Speed"), "20");
    EXPECT_EQ(readProfileInt(text, " DISPLAY ", "speed ", 69), 20);
    // Only the first of two equally named sections is looked at.
    EXPECT_EQ(readProfileInt(text, "Display", "Delay", 1000), 1000);
    EXPECT_EQ(readProfileInt(text, "Other", "Speed", 69), 2);
    EXPECT_EQ(readProfileInt(text, "Missing", "Speed", 69), 69);
}

TEST(ProfileRead, IntegerTextsSaturateAndDefaultOnlyWhenMissingOrEmpty) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const struct {
        const char* value;
        std::int32_t expected;
    } cases[] = {
        {" \t5", 5},
        {"+7", 7},
        {"-12", -12},
        {"20 sec", 20},
        {"4 2", 4},
        {"abc", 0},
        {"-", 0},
        {"0x10", 0},
        {"2147483648", kMax},
        {"-2147483649", kMin},
        {"99999999999999999999999999", kMax},
        {"", 42},
    };
    for (const auto& c : cases) {
        const std::string text = std::string("[S]\nk=") + c.value + "\n";
        EXPECT_EQ(readProfileInt(text, "S", "k", 42), c.expected) << '"' << c.value << '"';
    }
}

TEST(ProfileWrite, ChangesOnlyTheKeyLineOrAddsItAfterTheSectionsLastKey) {
    const struct {
        const char *before, *section, *key, *after;
    } cases[] = {
        {"", "S", "k", "[S]\r\nk=v\r\n"},
        {"; top\r\n[Other]\r\nSpeed=1\r\n\r\n[Main]\n  speed = 3 \r\nspeed=4\r\nX=y", "MAIN",
         "Speed", "; top\r\n[Other]\r\nSpeed=1\r\n\r\n[Main]\nSpeed=v\r\nspeed=4\r\nX=y"},
        {"[A]\nk=1\n\n; about B\n[B]\nk=2\n", "a", "new",
         "[A]\nk=1\nnew=v\n\n; about B\n[B]\nk=2\n"},
        {"[A]\n; nothing yet\n[B]\n", "A", "k", "[A]\nk=v\n; nothing yet\n[B]\n"},
        // A last line without an ending is completed first, in the file's own line ending.
        {"[A]\r\nk=1", "A", "j", "[A]\r\nk=1\r\nj=v\r\n"},
        {"[A]\nk=1", "B", "j", "[A]\nk=1\n[B]\nj=v\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(writeProfileString(c.before, c.section, c.key, "v"), c.after) << c.before;
    }
}

}  // namespace
}  // namespace mirelune
