#include "host/startup.h"

#include <gtest/gtest.h>

#include "fake_saver_services.h"
#include "host/number_text.h"

namespace mirelune {
namespace {

TEST(Dispatch, TheFirstTwoCharactersInEitherCaseChooseTheMode) {
    const std::pair<const char*, RunMode> cases[] = {
        {"/p 1234", RunMode::Preview}, {"/P:99", RunMode::Preview},  {"/c:123", RunMode::Configure},
        {"/C", RunMode::Configure},    {"/s", RunMode::Saver},       {"/Screen", RunMode::Saver},
        {"", RunMode::Saver},          {"/a 42", RunMode::Password}, {"/A", RunMode::Password},
        {"/", RunMode::None},          {" /s", RunMode::None},       {"  /c", RunMode::None},
        {" ", RunMode::None},          {"-s", RunMode::None},        {"/x", RunMode::None},
        {"S/", RunMode::None}};
    for (const auto& [text, mode] : cases)
        EXPECT_EQ(dispatch(text), mode) << '"' << text << '"';
}

TEST(IntegerFromText, ConvertsLikeTheSixteenBitRuntimeConversion) {
    // clang-format off
    const std::pair<const char*, std::optional<std::int16_t>> cases[] = {
        {"1", 1}, {"001", 1}, {" +7\t", 7}, {"-0", 0}, {"2.5", 2}, {"3.5", 4}, {"2.5001", 3},
        {"-2.5", -2}, {"-0.6", -1}, {".5", 0}, {"7.", 7}, {"32767", 32767}, {"-32768", -32768},
        {"32768", {}}, {"32767.5", {}}, {"-32769", {}}, {"99999999999999999999999999", {}},
        {"Not Found", {}}, {"", {}}, {"-", {}}, {".", {}}, {"1 2", {}}, {"12a", {}}, {"1.2.3", {}}};
    // clang-format on
    for (const auto& [text, value] : cases)
        EXPECT_EQ(integerFromText(text), value) << '"' << text << '"';
}

TEST(PreviewHandle, ReadsTheNumberAfterTheSwitchAndOneSeparator) {
    // clang-format off
    const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
        {"/p 1234", 1234}, {"/p:1234", 1234}, {"/P 1234 ", 1234}, {"/p1234", 234},
        {"/p 4294967295", 4294967295}, {"/p -2147483648", -2147483648},
        {"/p", {}}, {"/p ", {}}, {"/p x12", {}}, {"/p 0x1F", {}}, {"/p 4294967296", {}},
        {"/p -2147483649", {}}, {"/p 99999999999999999999999", {}}};
    // clang-format on
    for (const auto& [text, handle] : cases)
        EXPECT_EQ(previewHandle(text), handle) << '"' << text << '"';
}

// Hands every procedure to one callback, by name.
struct CallbackModes : ModeProcedures {
    std::function<void(const char*)> run;
    void runSaver() override { run("saver"); }
    void runPreview() override { run("preview"); }
    void showConfig() override { run("config"); }
    void changePassword() override { run("password"); }
};

TEST(HostMain, SeedsAndSetsTheModeBeforeItsProcedureRuns) {
    struct Case {
        const char* arguments;
        bool previousInstance, displayProperties;
        RunMode mode;
        const char* procedure;  // nullptr: refused before seeding
    };
    const Case cases[] = {{"/p 1234", false, false, RunMode::Preview, "preview"},
                          {"/c", false, false, RunMode::Configure, "config"},
                          {"", false, false, RunMode::Saver, "saver"},
                          {"/a", false, false, RunMode::Password, "password"},
                          // A second instance: refused silently, before seeding, only for a
                          // lower-case "/s", and never while a "Display Properties" window is open.
                          {"/s", true, false, RunMode::None, nullptr},
                          {" /s ", true, false, RunMode::None, nullptr},
                          {"/s 0", true, false, RunMode::Saver, "saver"},
                          {"\t/s", true, false, RunMode::None, ""},
                          {"/S", true, false, RunMode::Saver, "saver"},
                          {"/s", true, true, RunMode::Saver, "saver"}};
    for (const Case& c : cases) {
        testing::FakeSaverServices services;
        services.arguments = c.arguments;
        services.previousInstance = c.previousInstance;
        services.displayProperties = c.displayProperties;
        HostContext context{seedClockOf(services)};
        CallbackModes modes;
        std::string ran;
        modes.run = [&](const char* name) {
            ran += name;
            EXPECT_EQ(context.runMode, c.mode);
            EXPECT_EQ(services.count("seed"), 1);
        };
        SCOPED_TRACE('"' + std::string(c.arguments) + '"');
        EXPECT_EQ(hostMain(context, services, modes), c.mode);
        EXPECT_EQ(context.runMode, c.mode);
        EXPECT_EQ(ran, c.procedure ? c.procedure : "");
        EXPECT_EQ(services.count("seed"), c.procedure ? 1 : 0);
        // No condition of the single-instance rule short-cuts another.
        EXPECT_EQ(std::vector(services.calls.begin(), services.calls.begin() + 3),
                  (std::vector<std::string>{"window", "instance", "arguments"}));
    }
}

}  // namespace
}  // namespace mirelune
