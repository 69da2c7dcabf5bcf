#include "options.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace mirelune::x11 {
namespace {

ParseResult parse(std::initializer_list<std::string_view> args,
                  std::optional<std::string_view> xscreensaverWindow = std::nullopt) {
    const std::vector<std::string_view> list(args);
    return parseOptions(list, xscreensaverWindow);
}

constexpr Settings kFile{7, 20, 300};

Settings withFile(const Options& options) {
    return runSettings(options, [] { return kFile; });
}

TEST(X11Options, NoArgumentsMeanFullScreenWithTheFileSettings) {
    const ParseResult result = parse({});
    ASSERT_TRUE(result.ok());
    EXPECT_FALSE(result.help);
    EXPECT_EQ(result.options.target, Target::FullScreen);
    EXPECT_FALSE(result.options.sectors || result.options.speed || result.options.delay);
    EXPECT_EQ(withFile(result.options), kFile);
}

TEST(X11Options, SettingsTakeEitherDashAndEitherValueForm) {
    for (const auto& args :
         {std::vector<std::string_view>{"--sectors", "3", "-speed", "8", "--delay", "250"},
          std::vector<std::string_view>{"-sectors=3", "--speed=8", "-delay=250"}}) {
        const ParseResult result = parseOptions(args, std::nullopt);
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(withFile(result.options), (Settings{3, 8, 250}));
    }
    // Only what is given replaces the file's value; a repeated option counts last.
    const ParseResult some = parse({"--speed", "1", "--speed", "+12"});
    ASSERT_TRUE(some.ok());
    EXPECT_EQ(withFile(some.options), (Settings{7, 12, 300}));
}

TEST(X11Options, SettingsArePulledIntoTheSliderRanges) {
    const ParseResult low = parse({"--sectors", "0", "--speed", "-5", "--delay", "-1"});
    ASSERT_TRUE(low.ok());
    EXPECT_EQ(withFile(low.options), (Settings{1, 0, 0}));
    const ParseResult high =
        parse({"--sectors", "11", "--speed", "70", "--delay", "99999999999999999999999"});
    ASSERT_TRUE(high.ok());
    EXPECT_EQ(withFile(high.options), (Settings{10, 69, 20000}));
    const ParseResult ends = parse({"--sectors", "-0", "--speed", "69", "--delay", "20000"});
    ASSERT_TRUE(ends.ok());
    EXPECT_EQ(withFile(ends.options), (Settings{1, 69, 20000}));
}

TEST(X11Options, TargetsAndWindowIds) {
    EXPECT_EQ(parse({"-window"}).options.target, Target::OwnWindow);

    const ParseResult hex = parse({"--window-id", "0x1a00003"});
    ASSERT_TRUE(hex.ok());
    EXPECT_EQ(hex.options.target, Target::Embedded);
    EXPECT_EQ(hex.options.windowId, 0x1a00003u);
    EXPECT_EQ(parse({"-window-id=27262979"}).options.windowId, 27262979u);
    EXPECT_EQ(parse({"--window-id", "0XFFFFFFFF"}).options.windowId, 0xFFFFFFFFu);

    // --root draws into XScreenSaver's window when it names one, else into the root (0).
    const ParseResult root = parse({"-root"});
    EXPECT_EQ(root.options.target, Target::Embedded);
    EXPECT_EQ(root.options.windowId, 0u);
    EXPECT_EQ(parse({"--root"}, "0x40000b").options.windowId, 0x40000bu);
    EXPECT_EQ(parse({"--root"}, "4194315").options.windowId, 4194315u);
    // Without --root the variable names no window, not even when it is junk.
    EXPECT_TRUE(parse({"--window"}, "junk").ok());

    // XScreenSaver's preview appends --window-id to the --root command line; the id wins,
    // whichever comes first and whatever the variable holds.
    for (const auto& args : {std::vector<std::string_view>{"--root", "--window-id", "0x200BD9"},
                             std::vector<std::string_view>{"-window-id", "0x200BD9", "-root"}}) {
        const ParseResult preview = parseOptions(args, "junk");
        ASSERT_TRUE(preview.ok()) << preview.error;
        EXPECT_EQ(preview.options.target, Target::Embedded);
        EXPECT_EQ(preview.options.windowId, 0x200BD9u);
    }
}

TEST(X11Options, UnderXScreenSaverAbsentSettingsTakeTheDefaultsNotTheFile) {
    const struct {
        std::vector<std::string_view> args;
        std::optional<std::string_view> xscreensaverWindow;
        Settings expected;
    } cases[] = {
        {{}, std::nullopt, kFile},
        {{"--window-id", "5", "--speed", "3"}, std::nullopt, {7, 3, 300}},
        {{"--root"}, std::nullopt, {5, 69, 1000}},
        {{"--root", "--delay", "0"}, "0x40000b", {5, 69, 0}},
        {{"--window-id", "5"}, "0x5", {5, 69, 1000}},
    };
    for (const auto& c : cases) {
        const ParseResult result = parseOptions(c.args, c.xscreensaverWindow);
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(withFile(result.options), c.expected) << c.args.size() << " arguments";
    }
}

TEST(X11Options, WindowIdJunkIsRefused) {
    for (const std::string_view text : {"", "0", "0x", "0x0", "-5", "+5", "0x-5", "12ab", "0xg1",
                                        "4294967296", "0x100000000", " 5", "5 "}) {
        EXPECT_FALSE(parseWindowId(text)) << '"' << text << '"';
    }
}

TEST(X11Options, MistakesGiveOneLineAndNoHelp) {
    const struct {
        std::vector<std::string_view> args;
        std::string_view mentions;
    } cases[] = {
        {{"--bogus"}, "--bogus"},
        {{"picture.png"}, "picture.png"},
        {{"-"}, "'-'"},
        {{"--sectors"}, "--sectors needs a value"},
        {{"--delay", "1.5"}, "'1.5'"},
        {{"--speed="}, "--speed"},
        {{"--speed", "fast"}, "'fast'"},
        {{"--window-id"}, "--window-id needs a value"},
        {{"--window-id", "zz"}, "'zz'"},
        {{"--root=1"}, "takes no value"},
        {{"--root", "--window"}, "cannot be combined"},
        {{"--window", "--window-id", "5"}, "cannot be combined"},
    };
    for (const auto& c : cases) {
        const ParseResult result = parseOptions(c.args, std::nullopt);
        EXPECT_FALSE(result.ok()) << c.mentions;
        EXPECT_NE(result.error.find(c.mentions), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
    }
    const ParseResult badEnvironment = parse({"--root"}, "0xjunk");
    EXPECT_NE(badEnvironment.error.find("XSCREENSAVER_WINDOW"), std::string::npos);
}

TEST(X11Options, HelpStopsParsingAndListsEveryOption) {
    const ParseResult result = parse({"-help", "--bogus"});
    EXPECT_TRUE(result.ok());
    EXPECT_TRUE(result.help);
    EXPECT_TRUE(parse({"-h"}).help);
    for (const char* option : {"--root", "--window-id", "--window", "--sectors", "--speed",
                               "--delay", "--display", "--help", "mirelune.ini"}) {
        EXPECT_NE(usage().find(option), std::string::npos) << option;
    }
}

}  // namespace
}  // namespace mirelune::x11
