#include "host/saver_run.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace mirelune {
namespace {

class SaverRunTest : public ::testing::Test {
  protected:
    testing::FakePlatform platform;
    HostContext context{fixedSeedClock(1)};
};

TEST_F(SaverRunTest, NinetyFiveWithPasswordOnLocksKeysAfterHidingTheCursor) {
    platform.platformId = 1;
    platform.storeString("1");
    beginSaverRun(context, platform);
    EXPECT_EQ(context.osVersion, "95");
    EXPECT_EQ(context.usePassword, 1);
    EXPECT_EQ(platform.hiddenCursorCount, 1);
    EXPECT_TRUE(platform.screenSaverRunning);
    EXPECT_EQ(platform.calls.front(), "showCursor(false)");
    EXPECT_EQ(platform.calls.back(), "setScreenSaverRunning(true)");

    endSaverRun(context, platform);
    EXPECT_EQ(platform.hiddenCursorCount, 0);
    EXPECT_FALSE(platform.screenSaverRunning);
}

TEST_F(SaverRunTest, StoredNumberOneCountsAsPasswordOn) {
    platform.platformId = 1;
    platform.storeDword(1);
    beginSaverRun(context, platform);
    EXPECT_EQ(context.usePassword, 1);
    EXPECT_TRUE(platform.screenSaverRunning);
}

TEST_F(SaverRunTest, OtherSettingsLeaveTheKeysAlone) {
    struct Case {
        const char* text;
        std::int16_t usePassword;
    };
    for (const Case& c :
         {Case{"2", 2}, Case{"0", 0}, Case{" 001 ", 1}, Case{"99999", 0}, Case{"on", 0}}) {
        testing::FakePlatform fake;
        fake.platformId = 1;
        fake.storeString(c.text);
        HostContext ctx{fixedSeedClock(1)};
        beginSaverRun(ctx, fake);
        EXPECT_EQ(ctx.usePassword, c.usePassword) << c.text;
        EXPECT_EQ(fake.count("setScreenSaverRunning(true)"), c.usePassword == 1 ? 1 : 0) << c.text;
    }
}

TEST_F(SaverRunTest, MissingSettingLeavesPasswordOff) {
    platform.platformId = 1;
    beginSaverRun(context, platform);
    EXPECT_EQ(context.usePassword, 0);
    EXPECT_EQ(platform.count("setScreenSaverRunning(true)"), 0);
}

TEST_F(SaverRunTest, OtherFamiliesNeitherReadTheRegistryNorLockKeys) {
    for (std::uint32_t id : {2u, 0u}) {
        testing::FakePlatform fake;
        fake.platformId = id;
        fake.storeString("1");
        HostContext ctx{fixedSeedClock(1)};
        beginSaverRun(ctx, fake);
        endSaverRun(ctx, fake);
        EXPECT_EQ(fake.count("queryRegistryValue"), 0) << id;
        EXPECT_EQ(ctx.usePassword, 0);
        EXPECT_EQ(fake.count("setScreenSaverRunning(true)"), 0) << id;
        EXPECT_EQ(fake.count("setScreenSaverRunning(false)"), 0) << id;
        EXPECT_EQ(fake.hiddenCursorCount, 0) << id;
    }
}

TEST(SystemKeys, ActsOnDisableAndEnableInAnyCaseOnly) {
    testing::FakePlatform platform;
    HostContext context{fixedSeedClock(1)};
    context.osVersion = "95";
    context.usePassword = 1;

    systemKeys(context, platform, "Disable");
    EXPECT_TRUE(platform.screenSaverRunning);
    systemKeys(context, platform, "ENABLE");
    EXPECT_FALSE(platform.screenSaverRunning);
    for (const char* other : {"", "lock", "disable ", "enabled", " enable"}) {
        systemKeys(context, platform, other);
    }
    EXPECT_EQ(platform.calls.size(), 2u);
}

TEST(SystemKeys, NeedsExactlyTheNinetyFiveFamilyAndSettingOne) {
    for (const auto& [family, setting] :
         {std::pair{"NT", 1}, std::pair{"95", 2}, std::pair{"95", -1}, std::pair{"95 ", 1}}) {
        testing::FakePlatform platform;
        HostContext context{fixedSeedClock(1)};
        context.osVersion = family;
        context.usePassword = static_cast<std::int16_t>(setting);
        systemKeys(context, platform, "disable");
        EXPECT_TRUE(platform.calls.empty()) << family << ' ' << setting;
    }
}

}  // namespace
}  // namespace mirelune
