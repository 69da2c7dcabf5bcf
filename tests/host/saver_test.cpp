#include <gtest/gtest.h>

#include "fake_saver_services.h"
#include "host/saver_run.h"
#include "host/saver_session.h"

namespace mirelune {
namespace {

using testing::dwordBytes;
using testing::FakeSaverServices;
using Calls = std::vector<std::string>;

constexpr InputEvent kEndingInputs[] = {InputEvent::Click, InputEvent::DoubleClick,
                                        InputEvent::KeyDown, InputEvent::KeyPress};

class SaverSessionTest : public ::testing::Test {
  protected:
    SaverSessionTest() { context.runMode = RunMode::Saver; }

    // Moves the mouse until the session asks to unload; returns how many moves it absorbed.
    int movesAbsorbed() {
        int moves = 0;
        while (moves < 100 && !session.onInput(InputEvent::MouseMove))
            ++moves;
        return moves;
    }

    FakeSaverServices services;
    HostContext context{fixedSeedClock(1)};
    SaverSession session{context};
};

TEST_F(SaverSessionTest, OnlyTheFullScreenModeEndsOnClicksKeysAndTheEleventhMouseMove) {
    context.osVersion = "95";
    context.usePassword = 1;
    for (RunMode mode : {RunMode::Preview, RunMode::None, RunMode::Configure}) {
        context.runMode = mode;
        for (int i = 0; i < 20; ++i) {
            EXPECT_FALSE(session.onInput(InputEvent::MouseMove));
            EXPECT_FALSE(session.onInput(kEndingInputs[i % 4]));
        }
        EXPECT_FALSE(session.cancelUnload(services));
    }
    EXPECT_TRUE(services.calls.empty());
    context.runMode = RunMode::Saver;
    for (InputEvent event : kEndingInputs)
        EXPECT_TRUE(session.onInput(event));
    EXPECT_EQ(movesAbsorbed(), 10);  // the ignored moves were not counted
    EXPECT_TRUE(session.onInput(InputEvent::MouseMove));
    SaverSession other{context};  // every form counts its own moves
    EXPECT_FALSE(other.onInput(InputEvent::MouseMove));
}

TEST_F(SaverSessionTest, OnlyNinetyFiveWithSettingOneAsksForThePassword) {
    const std::pair<const char*, std::int16_t> others[] = {
        {"NT", 1}, {"Unknown", 1}, {"95", 0}, {"95", 2}};
    for (const auto& [family, setting] : others) {
        context.osVersion = family;
        context.usePassword = setting;
        EXPECT_FALSE(session.cancelUnload(services)) << family << ' ' << setting;
    }
    EXPECT_TRUE(services.calls.empty());

    context.osVersion = "95";
    context.usePassword = 1;
    services.passwordAnswer = PasswordCheck::Refused;
    EXPECT_EQ(movesAbsorbed(), 10);
    EXPECT_TRUE(session.cancelUnload(services));
    EXPECT_EQ(services.calls, (Calls{"show", "password", "hide"}));
    EXPECT_EQ(movesAbsorbed(), 10);  // a refusal grants ten more moves

    // An unreachable password service must not lock the user in.
    for (PasswordCheck answer : {PasswordCheck::Accepted, PasswordCheck::Unavailable}) {
        services.passwordAnswer = answer;
        EXPECT_FALSE(session.cancelUnload(services));
    }
    EXPECT_EQ(services.count("password"), 3);
    EXPECT_EQ(services.count("hide"), 3);
}

TEST(SaverRun, OnlyNinetyFiveWithTheSettingOneLocksTheKeysUntilTheEnd) {
    const std::string r = "registry 2147483649 Control Panel\\Desktop ScreenSaveUsePassword";
    const Calls locked{"hide", r, "lock", "show", "unlock"}, open{"hide", r, "show"};
    struct Case {
        std::uint32_t platformId;
        RegistryReply reply;
        std::string bytes, osVersion;
        std::int16_t usePassword;
        Calls calls;
    };
    const Case cases[] = {{1, {0, 1, 2}, "1", "95", 1, locked},
                          {1, {0, kRegistryDword, 4}, dwordBytes(1), "95", 1, locked},
                          {1, {0, 1, 2}, "2", "95", 2, open},
                          {1, {0, 1, 6}, "99999", "95", 0, open},
                          {1, {2, 0, 0}, "", "95", 0, open},
                          {2, {0, 1, 2}, "1", "NT", 0, {"hide", "show"}},
                          {0, {0, 1, 2}, "1", "Unknown", 0, {"hide", "show"}}};
    for (const Case& c : cases) {
        FakeSaverServices services;
        services.platformId = c.platformId;
        services.registryReply = c.reply;
        services.registryBytes = c.bytes;
        HostContext context{fixedSeedClock(1)};
        beginSaverRun(context, services);
        endSaverRun(context, services);
        EXPECT_EQ(context.osVersion, c.osVersion);
        EXPECT_EQ(context.usePassword, c.usePassword) << c.bytes;
        EXPECT_EQ(services.calls, c.calls) << c.platformId << ' ' << c.bytes;
    }
}

TEST(ReadRegString, TurnsTheValueIntoText) {
    const std::tuple<RegistryReply, std::string, std::string> cases[] = {
        {{0, 1, 2}, "1", "1"},
        {{0, kRegistryDword, 4}, dwordBytes(1), "001"},
        {{0, kRegistryDword, 4}, dwordBytes(42), "042"},
        {{0, kRegistryDword, 4}, dwordBytes(1234), "123"},
        {{0, kRegistryDword, 20}, dwordBytes(0xFFFFFFFF), "4294967295"},
        {{234, kRegistryDword, 4}, dwordBytes(1), "Not Found"},
        // Lengths the buffer cannot hold neither underflow nor reach past it.
        {{0, kRegistryDword, 0}, dwordBytes(1), ""},
        {{0, 1, 0xFFFFFFFF}, "abc", "abc" + std::string(kRegistryBufferSize - 3, ' ')}};
    for (const auto& [reply, bytes, text] : cases) {
        FakeSaverServices services;
        services.registryReply = reply;
        services.registryBytes = bytes;
        EXPECT_EQ(readRegString(services, kHkeyCurrentUser, "Key", "Value"), text)
            << reply.length << ' ' << bytes;
    }
}

}  // namespace
}  // namespace mirelune
