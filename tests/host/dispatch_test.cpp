#include "host/dispatch.h"

#include <gtest/gtest.h>

namespace mirelune {
namespace {

TEST(Dispatch, SwitchesInEitherCaseChooseTheirModes) {
    EXPECT_EQ(dispatch("/p 1234"), RunMode::Preview);
    EXPECT_EQ(dispatch("/P:99"), RunMode::Preview);
    EXPECT_EQ(dispatch("/c:123"), RunMode::Configure);
    EXPECT_EQ(dispatch("/C"), RunMode::Configure);
    EXPECT_EQ(dispatch("/s"), RunMode::Saver);
    EXPECT_EQ(dispatch("/Screen"), RunMode::Saver);
    EXPECT_EQ(dispatch("/a 4242"), RunMode::Password);
    EXPECT_EQ(dispatch("/A"), RunMode::Password);
}

TEST(Dispatch, EmptyTextRunsTheSaver) {
    EXPECT_EQ(dispatch(""), RunMode::Saver);
}

TEST(Dispatch, AnythingElseChoosesNothing) {
    EXPECT_EQ(dispatch("/"), RunMode::None);
    EXPECT_EQ(dispatch("s"), RunMode::None);
    EXPECT_EQ(dispatch("-s"), RunMode::None);
    EXPECT_EQ(dispatch("/x"), RunMode::None);
    EXPECT_EQ(dispatch(" /s"), RunMode::None);
    EXPECT_EQ(dispatch("  /c"), RunMode::None);
    EXPECT_EQ(dispatch(" "), RunMode::None);
    EXPECT_EQ(dispatch("S/"), RunMode::None);
}

TEST(SingleInstanceRule, RefusesOnlyAnExactLowerCaseSwitchWithAnotherInstanceRunning) {
    EXPECT_TRUE(refusesStart(false, true, "/s"));
    EXPECT_TRUE(refusesStart(false, true, "  /s "));
    EXPECT_FALSE(refusesStart(false, true, "/S"));
    EXPECT_FALSE(refusesStart(false, true, "/s 0"));
    EXPECT_FALSE(refusesStart(false, true, "/ss"));
    EXPECT_FALSE(refusesStart(false, true, "\t/s"));
    EXPECT_FALSE(refusesStart(false, true, ""));
    EXPECT_FALSE(refusesStart(false, true, "/c"));
}

TEST(SingleInstanceRule, StartsWithoutAPreviousInstanceOrWithDisplayPropertiesOpen) {
    EXPECT_FALSE(refusesStart(false, false, "/s"));
    EXPECT_FALSE(refusesStart(true, true, "/s"));
    EXPECT_FALSE(refusesStart(true, false, "/s"));
}

}  // namespace
}  // namespace mirelune
