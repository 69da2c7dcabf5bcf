#include "options.h"

#include <gtest/gtest.h>

#include <vector>

namespace mirelune::x11 {
namespace {

using Args = std::vector<std::string_view>;

constexpr Settings kFile{7, 20, 300};
constexpr Settings kDefaults{5, 69, 1000};

TEST(X11Options, AcceptedLines) {
    const std::optional<std::string_view> none;
    const struct {
        Args args;
        std::optional<std::string_view> xscreensaverWindow;
        Target target;
        std::uint32_t windowId;
        Settings settings;  // the run's, with kFile in the settings file
    } cases[] = {
        {{}, none, Target::FullScreen, 0, kFile},
        // Either dash and either value form; only what is given replaces the file's value,
        // a repeated option counts last, and values are pulled into the slider ranges.
        {{"--sectors", "3", "-speed", "8", "--delay", "250"},
         none,
         Target::FullScreen,
         0,
         {3, 8, 250}},
        {{"-sectors=3", "--speed=8", "-delay=250"}, none, Target::FullScreen, 0, {3, 8, 250}},
        {{"--speed", "1", "--speed", "+12"}, none, Target::FullScreen, 0, {7, 12, 300}},
        {{"--sectors", "0", "--speed", "-5", "--delay", "-1"},
         none,
         Target::FullScreen,
         0,
         {1, 0, 0}},
        {{"--sectors", "11", "--speed", "70", "--delay", "99999999999999999999999"},
         none,
         Target::FullScreen,
         0,
         {10, 69, 20000}},
        {{"--sectors", "-0", "--speed", "69", "--delay", "20000"},
         none,
         Target::FullScreen,
         0,
         {1, 69, 20000}},
        {{"--window-id", "0x1a00003", "--speed", "3"},
         none,
         Target::Embedded,
         0x1a00003,
         {7, 3, 300}},
        {{"-window-id=27262979"}, none, Target::Embedded, 27262979, kFile},
        {{"--window-id", "0XFFFFFFFF"}, none, Target::Embedded, 0xFFFFFFFF, kFile},
        // Under XScreenSaver (--root, or its variable set) absent settings take the defaults,
        // not the file. --root draws into the variable's window, else the root (0); a
        // --window-id wins over both, as in XScreenSaver's preview; without --root the
        // variable names no window, not even when it is junk.
        {{"-root"}, none, Target::Embedded, 0, kDefaults},
        {{"--root", "--delay", "0"}, "0x40000b", Target::Embedded, 0x40000b, {5, 69, 0}},
        {{"--root"}, "4194315", Target::Embedded, 4194315, kDefaults},
        {{"--window-id", "5"}, "0x6", Target::Embedded, 5, kDefaults},
        {{"--root", "--window-id", "0x200BD9"}, "junk", Target::Embedded, 0x200BD9, kDefaults},
        {{"-window-id", "0x200BD9", "-root"}, "junk", Target::Embedded, 0x200BD9, kDefaults},
        {{"-window"}, "junk", Target::OwnWindow, 0, kDefaults},
    };
    for (const auto& c : cases) {
        const ParseResult result = parseOptions(c.args, c.xscreensaverWindow);
        SCOPED_TRACE(c.args.empty() ? "no arguments" : c.args.back());
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_FALSE(result.help);
        EXPECT_EQ(result.options.target, c.target);
        EXPECT_EQ(result.options.windowId, c.windowId);
        EXPECT_EQ(runSettings(result.options, [] { return kFile; }), c.settings);
    }
    EXPECT_TRUE(parseOptions(Args{"-help", "--bogus"}, none).help);
    EXPECT_TRUE(parseOptions(Args{"-h"}, none).help);
    for (const char* option : {"--root", "--window-id", "--window", "--sectors", "--speed",
                               "--delay", "--display", "--help", "mirelune.ini"}) {
        EXPECT_NE(usage().find(option), std::string::npos) << option;
    }
}

TEST(X11Options, RejectedLinesGiveOneLineAndNoHelp) {
    const struct {
        Args args;
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
        {{"--root=1"}, "takes no value"},
        {{"--root", "--window"}, "cannot be combined"},
        {{"--window", "--window-id", "5"}, "cannot be combined"},
        {{"--window-id", "zz"}, "'zz'"},
    };
    for (const auto& c : cases) {
        const ParseResult result = parseOptions(c.args, std::nullopt);
        EXPECT_FALSE(result.ok() || result.help) << c.mentions;
        EXPECT_NE(result.error.find(c.mentions), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
    }
    for (const std::string_view id : {"", "0", "0x", "0x0", "-5", "+5", "0x-5", "12ab", "0xg1",
                                      "4294967296", "0x100000000", " 5", "5 "}) {
        EXPECT_FALSE(parseOptions(Args{"--window-id", id}, std::nullopt).ok()) << '"' << id << '"';
        EXPECT_NE(parseOptions(Args{"--root"}, id).error.find("XSCREENSAVER_WINDOW"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace mirelune::x11
