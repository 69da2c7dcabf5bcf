#include "host/system_queries.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace mirelune {
namespace {

TEST(GetOSVersion, NamesThePlatformFamily) {
    testing::FakePlatform platform;
    const std::pair<std::uint32_t, const char*> cases[] = {
        {1, "95"}, {2, "NT"}, {0, "Unknown"}, {3, "Unknown"}};
    for (const auto& [id, name] : cases) {
        platform.platformId = id;
        EXPECT_EQ(getOSVersion(platform), name) << id;
    }
}

class ReadRegStringTest : public ::testing::Test {
  protected:
    std::string read(RegistryReply reply, std::string bytes = {}) {
        platform.registryReply = reply;
        platform.registryBytes = std::move(bytes);
        return readBack();
    }
    std::string readBack() {
        return readRegString(platform, kHkeyCurrentUser, "Control Panel\\Desktop",
                             "ScreenSaveUsePassword");
    }
    std::string readDword(std::uint32_t value) {
        platform.storeDword(value);
        return readBack();
    }

    testing::FakePlatform platform;
};

TEST_F(ReadRegStringTest, PassesTheLocationAndABlankBuffer) {
    platform.storeString("1");
    readBack();
    EXPECT_EQ(platform.registryRoot, 0x80000001u);
    EXPECT_EQ(platform.registryKeyPath, "Control Panel\\Desktop");
    EXPECT_EQ(platform.registryValueName, "ScreenSaveUsePassword");
    EXPECT_TRUE(platform.registryBufferBlankOnEntry);
}

TEST_F(ReadRegStringTest, StringValuesLoseTheirTerminatingZero) {
    for (const char* text : {"1", "hello world", ""}) {
        platform.storeString(text);
        EXPECT_EQ(readBack(), text);
    }
}

TEST_F(ReadRegStringTest, NumbersGetThreeDigitsThenTheLengthCut) {
    EXPECT_EQ(readDword(1), "001");
    EXPECT_EQ(readDword(0), "000");
    EXPECT_EQ(readDword(42), "042");
    EXPECT_EQ(readDword(1234), "123");
    EXPECT_EQ(readDword(0xFFFFFFFF), "429");
    // With a length beyond the formatted text the whole number survives.
    EXPECT_EQ(read({0, kRegistryDword, 20}, std::string("\xD2\x04\0\0", 4)), "1234");
}

TEST_F(ReadRegStringTest, AnyFailureStatusIsNotFound) {
    EXPECT_EQ(read({2, 0, 0}), "Not Found");
    EXPECT_EQ(read({234, 1, 5000}, std::string(2048, 'x')), "Not Found");
    EXPECT_EQ(read({-1, kRegistryDword, 4}, std::string("\1\0\0\0", 4)), "Not Found");
}

TEST_F(ReadRegStringTest, AbsurdLengthsStayInsideTheBuffer) {
    EXPECT_EQ(read({0, 1, 0}, std::string("abc\0", 4)), "");
    EXPECT_EQ(read({0, kRegistryDword, 0}, std::string("\1\0\0\0", 4)), "");

    const std::string huge = read({0, 1, 0xFFFFFFFF}, "abc");
    EXPECT_EQ(huge.size(), kRegistryBufferSize);
    EXPECT_EQ(huge.substr(0, 4), "abc ");
    EXPECT_EQ(read({0, 1, 2049}, "x").size(), kRegistryBufferSize);
}

}  // namespace
}  // namespace mirelune
