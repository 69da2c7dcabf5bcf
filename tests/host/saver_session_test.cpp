#include "host/saver_session.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace mirelune {
namespace {

class SaverSessionTest : public ::testing::Test {
  protected:
    SaverSessionTest() { context.runMode = RunMode::Saver; }

    void passwordOn() {
        context.osVersion = "95";
        context.usePassword = 1;
    }
    // Moves the mouse until the session asks to unload; returns how many moves it absorbed.
    int movesAbsorbed() {
        for (int moves = 0; moves < 100; ++moves) {
            if (session.onInput(InputEvent::MouseMove)) {
                return moves;
            }
        }
        return -1;
    }

    testing::FakePlatform platform;
    HostContext context{fixedSeedClock(1)};
    SaverSession session{context, platform};
};

TEST_F(SaverSessionTest, ClicksAndKeysEndAtOnce) {
    for (InputEvent event :
         {InputEvent::Click, InputEvent::DoubleClick, InputEvent::KeyDown, InputEvent::KeyPress}) {
        EXPECT_TRUE(session.onInput(event));
    }
}

TEST_F(SaverSessionTest, TheEleventhMouseMoveEnds) {
    EXPECT_EQ(movesAbsorbed(), 10);
    // Once the allowance is used up, every further move asks again.
    EXPECT_TRUE(session.onInput(InputEvent::MouseMove));
}

TEST_F(SaverSessionTest, NothingReactsOutsideTheFullScreenMode) {
    passwordOn();
    for (RunMode mode : {RunMode::Preview, RunMode::None, RunMode::Configure}) {
        context.runMode = mode;
        for (InputEvent event : {InputEvent::Click, InputEvent::DoubleClick, InputEvent::KeyDown,
                                 InputEvent::KeyPress}) {
            EXPECT_FALSE(session.onInput(event));
        }
        for (int i = 0; i < 20; ++i) {
            EXPECT_FALSE(session.onInput(InputEvent::MouseMove));
        }
        EXPECT_FALSE(session.cancelUnload());
    }
    EXPECT_TRUE(platform.calls.empty());
    // The ignored moves were not counted either.
    context.runMode = RunMode::Saver;
    EXPECT_EQ(movesAbsorbed(), 10);
}

TEST_F(SaverSessionTest, WithoutThePasswordFeaturesUnloadIsNeverQuestioned) {
    for (const auto& [family, setting] :
         {std::pair{"NT", 1}, std::pair{"Unknown", 1}, std::pair{"95", 0}, std::pair{"95", 2}}) {
        context.osVersion = family;
        context.usePassword = static_cast<std::int16_t>(setting);
        EXPECT_FALSE(session.cancelUnload()) << family << ' ' << setting;
    }
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(SaverSessionTest, RefusedPasswordKeepsTheSaverWithCursorHiddenAndMovesReset) {
    passwordOn();
    platform.passwordAnswer = PasswordCheck::Refused;
    EXPECT_EQ(movesAbsorbed(), 10);

    EXPECT_TRUE(session.cancelUnload());
    EXPECT_EQ(platform.calls,
              (std::vector<std::string>{"showCursor(true)", "verifyScreenSavePassword",
                                        "showCursor(false)"}));
    EXPECT_EQ(platform.hiddenCursorCount, 0);
    EXPECT_EQ(movesAbsorbed(), 10);
}

TEST_F(SaverSessionTest, AcceptedOrUnavailablePasswordLetsTheUnloadGoAhead) {
    passwordOn();
    for (PasswordCheck answer : {PasswordCheck::Accepted, PasswordCheck::Unavailable}) {
        platform.passwordAnswer = answer;
        platform.calls.clear();
        EXPECT_FALSE(session.cancelUnload());
        EXPECT_EQ(platform.count("verifyScreenSavePassword"), 1);
        EXPECT_EQ(platform.hiddenCursorCount, 0);
    }
}

TEST_F(SaverSessionTest, EachFormCountsItsOwnMoves) {
    SaverSession other{context, platform};
    for (int i = 0; i < 10; ++i) {
        EXPECT_FALSE(session.onInput(InputEvent::MouseMove));
    }
    EXPECT_FALSE(other.onInput(InputEvent::MouseMove));
    EXPECT_TRUE(session.onInput(InputEvent::MouseMove));
}

}  // namespace
}  // namespace mirelune
