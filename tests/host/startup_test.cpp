#include "host/startup.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace mirelune {
namespace {

// Records which procedure ran, and what the process state was when it did.
class RecordingModes : public ModeProcedures {
  public:
    RecordingModes(const HostContext& context, const testing::FakePlatform& platform)
        : context_(context), platform_(platform) {}

    void runSaver() override { record("runSaver"); }
    void runPreview() override { record("runPreview"); }
    void showConfig() override { record("showConfig"); }
    void changePassword() override { record("changePassword"); }

    std::vector<std::string> called;
    RunMode modeSeenInside = RunMode::None;
    int seedReadingsBefore = 0;

  private:
    void record(std::string name) {
        called.push_back(std::move(name));
        modeSeenInside = context_.runMode;
        seedReadingsBefore = platform_.count("seedClockReading");
    }
    const HostContext& context_;
    const testing::FakePlatform& platform_;
};

class HostMainTest : public ::testing::Test {
  protected:
    RunMode start(std::string arguments) {
        platform.arguments = std::move(arguments);
        return hostMain(context, platform, modes);
    }

    testing::FakePlatform platform;
    HostContext context{seedClockOf(platform)};
    RecordingModes modes{context, platform};
};

TEST_F(HostMainTest, CallsTheModeProcedureWithRunModeAlreadySet) {
    struct Case {
        const char* arguments;
        RunMode mode;
        const char* procedure;
    };
    for (const Case& c :
         {Case{"/p 1234", RunMode::Preview, "runPreview"},
          Case{"/c", RunMode::Configure, "showConfig"}, Case{"", RunMode::Saver, "runSaver"},
          Case{"/a", RunMode::Password, "changePassword"}}) {
        testing::FakePlatform fresh;
        fresh.arguments = c.arguments;
        HostContext ctx{seedClockOf(fresh)};
        RecordingModes recorder{ctx, fresh};
        EXPECT_EQ(hostMain(ctx, fresh, recorder), c.mode) << c.arguments;
        EXPECT_EQ(ctx.runMode, c.mode);
        EXPECT_EQ(recorder.called, std::vector<std::string>{c.procedure}) << c.arguments;
        EXPECT_EQ(recorder.modeSeenInside, c.mode) << c.arguments;
    }
}

TEST_F(HostMainTest, SeedsTheGeneratorBeforeTheModeRuns) {
    start("/s");
    EXPECT_EQ(modes.seedReadingsBefore, 1);

    Random expected(fixedSeedClock(platform.seed));
    expected.randomize();
    EXPECT_EQ(context.random.next(), expected.next());
}

TEST_F(HostMainTest, UnrecognisedSwitchRunsNothing) {
    EXPECT_EQ(start(" /s"), RunMode::None);
    EXPECT_TRUE(modes.called.empty());
    EXPECT_EQ(context.runMode, RunMode::None);
}

TEST_F(HostMainTest, SecondLowerCaseSaverIsRefusedBeforeSeeding) {
    platform.previousInstance = true;
    EXPECT_EQ(start("/s"), RunMode::None);
    EXPECT_TRUE(modes.called.empty());
    EXPECT_EQ(platform.count("seedClockReading"), 0);
}

TEST_F(HostMainTest, SecondSaverStartsWhileDisplayPropertiesIsOpen) {
    platform.previousInstance = true;
    platform.displayProperties = true;
    EXPECT_EQ(start("/s"), RunMode::Saver);
    EXPECT_EQ(modes.called, std::vector<std::string>{"runSaver"});
}

TEST_F(HostMainTest, EvaluatesEveryInstanceConditionInOrder) {
    // A window titled "Display Properties" alone decides the rule; the other two
    // conditions are queried all the same.
    platform.displayProperties = true;
    start("/c");
    ASSERT_GE(platform.calls.size(), 3u);
    EXPECT_EQ(platform.calls[0], "displayPropertiesWindowExists");
    EXPECT_EQ(platform.calls[1], "previousInstanceRunning");
    EXPECT_EQ(platform.calls[2], "argumentText");
}

}  // namespace
}  // namespace mirelune
