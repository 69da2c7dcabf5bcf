#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "host/number_text.h"
#include "host/saver_run.h"
#include "host/saver_session.h"
#include "host/startup.h"

namespace mirelune {
namespace {

using Calls = std::vector<std::string>;

// Answers are set in fields; effects and ordered queries go to calls.
class FakeSaverServices : public SaverServices {
  public:
    std::uint32_t platformId = 2;
    PasswordCheck passwordAnswer = PasswordCheck::Accepted;
    bool displayProperties = false;
    bool previousInstance = false;
    std::string arguments;
    RegistryReply registryReply{2, 0, 0};
    std::string registryBytes;  // copied to the start of the buffer on a query
    std::vector<std::string> calls;

    std::uint64_t seedClockReading() override { return log("seed", 12345u); }
    std::string argumentText() override { return log("arguments", arguments); }
    bool displayPropertiesWindowExists() override { return log("window", displayProperties); }
    bool previousInstanceRunning() override { return log("instance", previousInstance); }
    void showCursor(bool visible) override { log(visible ? "show" : "hide", 0); }
    void setScreenSaverRunning(bool running) override { log(running ? "lock" : "unlock", 0); }
    PasswordCheck verifyScreenSavePassword() override { return log("password", passwordAnswer); }
    std::uint32_t versionPlatformId() override { return platformId; }
    RegistryReply queryRegistryValue(std::uint32_t root, std::string_view keyPath,
                                     std::string_view valueName,
                                     std::span<char, kRegistryBufferSize> buffer) override {
        std::copy_n(registryBytes.begin(), std::min(registryBytes.size(), buffer.size()),
                    buffer.begin());
        return log("registry " + std::to_string(root) + ' ' + std::string(keyPath) + ' ' +
                       std::string(valueName),
                   registryReply);
    }

    int count(std::string_view call) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }

  private:
    template <typename T>
    T log(std::string call, T answer) {
        calls.push_back(std::move(call));
        return answer;
    }
};

// A 32-bit registry number as the platform stores it, little-endian.
inline std::string dwordBytes(std::uint32_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}

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

// Integers convert like the sixteen-bit runtime; a preview handle is the number after the switch
// and one separator.
TEST(NumberText, IntegersAndPreviewHandles) {
    // clang-format off
    const std::pair<const char*, std::optional<std::int16_t>> integers[] = {
        {"1", 1}, {"001", 1}, {" +7\t", 7}, {"-0", 0}, {"2.5", 2}, {"3.5", 4}, {"2.5001", 3},
        {"-2.5", -2}, {"-0.6", -1}, {".5", 0}, {"7.", 7}, {"32767", 32767}, {"-32768", -32768},
        {"32768", {}}, {"32767.5", {}}, {"-32769", {}}, {"99999999999999999999999999", {}},
        {"Not Found", {}}, {"", {}}, {"-", {}}, {".", {}}, {"1 2", {}}, {"12a", {}}, {"1.2.3", {}}};
    const std::pair<const char*, std::optional<std::int64_t>> handles[] = {
        {"/p 1234", 1234}, {"/p:1234", 1234}, {"/P 1234 ", 1234}, {"/p1234", 234},
        {"/p 4294967295", 4294967295}, {"/p -2147483648", -2147483648},
        {"/p", {}}, {"/p ", {}}, {"/p x12", {}}, {"/p 0x1F", {}}, {"/p 4294967296", {}},
        {"/p -2147483649", {}}, {"/p 99999999999999999999999", {}}};
    // clang-format on
    for (const auto& [text, value] : integers)
        EXPECT_EQ(integerFromText(text), value) << '"' << text << '"';
    for (const auto& [text, handle] : handles)
        EXPECT_EQ(previewHandle(text), handle) << '"' << text << '"';
}

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
        FakeSaverServices services;
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

constexpr InputEvent kEndingInputs[] = {InputEvent::Click, InputEvent::DoubleClick,
                                        InputEvent::KeyDown, InputEvent::KeyPress};

class SaverSessionTest : public ::testing::Test {
  protected:
    SaverSessionTest() { context.runMode = RunMode::Saver; }

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
