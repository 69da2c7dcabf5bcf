#include "settings/profile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace mirelune {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

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
    EXPECT_EQ(readProfileString(text, "Display", "Sectors"), std::nullopt);
}

TEST(ProfileRead, IntegerTextsSaturateAndDefaultOnlyWhenMissingOrEmpty) {
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
        {"2147483647", kMax},
        {"2147483648", kMax},
        {"-2147483648", kMin},
        {"-2147483649", kMin},
        {"99999999999999999999999999", kMax},
        {"", 42},
    };
    for (const auto& c : cases) {
        const std::string text = std::string("[S]\nk=") + c.value + "\n";
        EXPECT_EQ(readProfileInt(text, "S", "k", 42), c.expected) << '"' << c.value << '"';
    }
}

TEST(ProfileWrite, EmptyTextGetsSectionAndKeyWithCrlf) {
    EXPECT_EQ(writeProfileString("", "S", "k", "v"), "[S]\r\nk=v\r\n");
}

TEST(ProfileWrite, ReplacingAKeyChangesOnlyItsLine) {
    const std::string before =
        "; top comment\r\n[Other]\r\nSpeed=1\r\n\r\n[Main]\n  speed = 3 \r\nspeed=4\r\nX=y";
    const std::string after = writeProfileString(before, "MAIN", "Speed", "20");
    EXPECT_EQ(after,
              "; top comment\r\n[Other]\r\nSpeed=1\r\n\r\n[Main]\nSpeed=20\r\nspeed=4\r\nX=y");
    EXPECT_EQ(readProfileInt(after, "Main", "Speed", 0), 20);
}

TEST(ProfileWrite, MissingKeyGoesAfterTheLastKeyOfItsSection) {
    const std::string before = "[A]\nk=1\n\n; about B\n[B]\nk=2\n";
    EXPECT_EQ(writeProfileString(before, "a", "new", "x"),
              "[A]\nk=1\nnew=x\n\n; about B\n[B]\nk=2\n");
    EXPECT_EQ(writeProfileString("[A]\n; nothing yet\n[B]\n", "A", "k", "1"),
              "[A]\nk=1\n; nothing yet\n[B]\n");
}

TEST(ProfileWrite, LastLineWithoutEndingIsCompletedFirst) {
    EXPECT_EQ(writeProfileString("[A]\r\nk=1", "A", "j", "2"), "[A]\r\nk=1\r\nj=2\r\n");
    EXPECT_EQ(writeProfileString("[A]\nk=1", "B", "j", "2"), "[A]\nk=1\n[B]\nj=2\n");
}

TEST(ProfileWrite, WrittenValuesReadBack) {
    std::string text = "[keep]\nSpeed=9\n";
    text = writeProfileString(text, "Mine", "Speed", " 12");
    text = writeProfileString(text, "Mine", "Delay", "300");
    text = writeProfileString(text, "Mine", "Speed", "-4");
    EXPECT_EQ(readProfileInt(text, "Mine", "Speed", 0), -4);
    EXPECT_EQ(readProfileInt(text, "Mine", "Delay", 0), 300);
    EXPECT_EQ(readProfileInt(text, "keep", "Speed", 0), 9);
    EXPECT_EQ(text, "[keep]\nSpeed=9\n[Mine]\nSpeed=-4\nDelay=300\n");
}

}  // namespace
}  // namespace mirelune
