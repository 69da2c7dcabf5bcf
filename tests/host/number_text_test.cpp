#include <gtest/gtest.h>

#include "host/number_text.h"
#include "host/preview_handle.h"

namespace mirelune {
namespace {

constexpr std::int64_t kLow = -1'000;
constexpr std::int64_t kHigh = 1'000;

std::optional<std::int64_t> convert(std::string_view text) {
    return wholeNumberFromText(text, kLow, kHigh);
}

TEST(WholeNumberFromText, AcceptsBlanksSignsAndLeadingZeros) {
    EXPECT_EQ(convert("1"), 1);
    EXPECT_EQ(convert("001"), 1);
    EXPECT_EQ(convert("  42\t "), 42);
    EXPECT_EQ(convert("+7"), 7);
    EXPECT_EQ(convert("-7"), -7);
    EXPECT_EQ(convert("-0"), 0);
    EXPECT_EQ(convert("0000000000000000000000000000000009"), 9);
}

TEST(WholeNumberFromText, RoundsFractionsHalfToEven) {
    EXPECT_EQ(convert("2.5"), 2);
    EXPECT_EQ(convert("3.5"), 4);
    EXPECT_EQ(convert("2.5000001"), 3);
    EXPECT_EQ(convert("2.49999"), 2);
    EXPECT_EQ(convert("-2.5"), -2);
    EXPECT_EQ(convert("-3.5"), -4);
    EXPECT_EQ(convert("-0.6"), -1);
    EXPECT_EQ(convert(".5"), 0);
    EXPECT_EQ(convert(".51"), 1);
    EXPECT_EQ(convert("7."), 7);
}

TEST(WholeNumberFromText, RejectsTextThatIsNotOneNumber) {
    for (const char* text : {"", " ", "Not Found", "+", "-", ".", "1 2", "12a", "0x10", "1e3",
                             "- 1", "1..2", "1.2.3", "--1"}) {
        EXPECT_EQ(convert(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(WholeNumberFromText, RangeIsCheckedAfterRounding) {
    EXPECT_EQ(convert("1000"), 1000);
    EXPECT_EQ(convert("1000.4"), 1000);
    EXPECT_EQ(convert("1000.6"), std::nullopt);
    EXPECT_EQ(convert("-1000.5"), -1000);
    EXPECT_EQ(convert("-1001"), std::nullopt);
    EXPECT_EQ(convert("99999999999999999999999999999999"), std::nullopt);
}

TEST(IntegerFromText, CoversTheSixteenBitRange) {
    EXPECT_EQ(integerFromText("32767"), 32767);
    EXPECT_EQ(integerFromText("-32768"), -32768);
    EXPECT_EQ(integerFromText("32768"), std::nullopt);
    EXPECT_EQ(integerFromText("32767.5"), std::nullopt);
    EXPECT_EQ(integerFromText("-32769"), std::nullopt);
}

TEST(PreviewHandle, DropsTheSwitchAndOneSeparator) {
    EXPECT_EQ(previewHandle("/p 1234"), 1234);
    EXPECT_EQ(previewHandle("/p:1234"), 1234);
    EXPECT_EQ(previewHandle("/P 1234 "), 1234);
    EXPECT_EQ(previewHandle("/p1234"), 234);
}

TEST(PreviewHandle, AcceptsHandlesPrintedSignedOrUnsigned) {
    EXPECT_EQ(previewHandle("/p 4294967295"), 4294967295);
    EXPECT_EQ(previewHandle("/p -2147483648"), -2147483648);
    EXPECT_EQ(previewHandle("/p 4294967296"), std::nullopt);
    EXPECT_EQ(previewHandle("/p -2147483649"), std::nullopt);
}

TEST(PreviewHandle, FailsWhenNoNumberFollows) {
    for (const char* text : {"", "/", "/p", "/p ", "/p  ", "/p x12", "/p 12x", "/p 0x1F"}) {
        EXPECT_EQ(previewHandle(text), std::nullopt) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace mirelune
