#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <vector>

#include "options.h"
#include "pixel_format.h"
#include "settings_location.h"

namespace mirelune::x11 {
namespace {

using Args = std::vector<std::string_view>;
constexpr Settings kFile{7, 20, 300};
constexpr Settings kDefaults{5, 69, 1000};
constexpr auto kFull = Target::FullScreen;
constexpr auto kEmbedded = Target::Embedded;

TEST(X11Options, TargetAndSettingsOfAcceptedLines) {
    const std::string_view huge = "99999999999999999999999", minusHuge = "-99999999999999999999999";
    const struct {
        Args args;
        std::optional<std::string_view> xscreensaverWindow;
        Target target;
        std::uint32_t windowId;
        Settings settings;  // the run's, with kFile in the settings file
    } cases[] = {
        // clang-format off
        {{}, {}, kFull, 0, kFile},
        // Only what is given replaces the file's value, the last of a repeated option counts,
        // and numbers of any size are pulled into the slider ranges.
        {{"-sectors=3", "--speed", "1", "-speed=+12", "--delay", "25"}, {}, kFull, 0, {3, 12, 25}},
        {{"--sectors", "-0", "--speed", "-5", "--delay", huge}, {}, kFull, 0, {1, 0, 20000}},
        {{"--sectors", "11", "--speed", "70", "--delay", minusHuge}, {}, kFull, 0, {10, 69, 0}},
        {{"--window-id", "0x1a00003", "--speed", "3"}, {}, kEmbedded, 0x1a00003, {7, 3, 300}},
        {{"-window-id=27262979"}, {}, kEmbedded, 27262979, kFile},
        {{"--window-id", "0XFFFFFFFF"}, {}, kEmbedded, 0xFFFFFFFF, kFile},
        // Under XScreenSaver (--root, or its variable set) absent settings are the defaults.
        // --root draws into the variable's window, else the root (0); a --window-id wins over
        // both, as in XScreenSaver's preview; without --root the variable names no window.
        {{"-root"}, {}, kEmbedded, 0, kDefaults},
        {{"--root", "--delay", "0"}, "0x40000b", kEmbedded, 0x40000b, {5, 69, 0}},
        {{"--window-id", "5"}, "0x6", kEmbedded, 5, kDefaults},
        {{"-window-id", "0x200BD9", "-root"}, "junk", kEmbedded, 0x200BD9, kDefaults},
        {{"-window"}, "junk", Target::OwnWindow, 0, kDefaults},
        // clang-format on
    };
    for (const auto& c : cases) {
        const ParseResult result = parseOptions(c.args, c.xscreensaverWindow);
        SCOPED_TRACE(c.args.empty() ? "no arguments" : c.args.back());
        ASSERT_TRUE(result.ok() && !result.help) << result.error;
        EXPECT_EQ(result.options.target, c.target);
        EXPECT_EQ(result.options.windowId, c.windowId);
        EXPECT_EQ(runSettings(result.options, [] { return kFile; }), c.settings);
    }
    EXPECT_TRUE(parseOptions(Args{"-help", "--bogus"}, std::nullopt).help);
    EXPECT_TRUE(parseOptions(Args{"-h"}, std::nullopt).help);
    for (const char* option : {"--root", "--window-id", "--window", "--sectors", "--speed",
                               "--delay", "--display", "--help", "mirelune.ini"}) {
        EXPECT_NE(usage().find(option), std::string::npos) << option;
    }
}

TEST(X11Options, RejectedLinesGiveOneLineNamingTheFault) {
    const std::pair<Args, std::string_view> cases[] = {
        {{"--bogus"}, "--bogus"},
        {{"picture.png"}, "picture.png"},
        {{"--sectors"}, "--sectors needs a value"},
        {{"--speed", "fast"}, "'fast'"},
        {{"--root=1"}, "takes no value"},
        {{"--root", "--window"}, "cannot be combined"},
        {{"--window-id", "zz"}, "'zz'"},
    };
    for (const auto& [args, mentions] : cases) {
        const ParseResult result = parseOptions(args, std::nullopt);
        EXPECT_FALSE(result.ok() || result.help) << mentions;
        EXPECT_NE(result.error.find(mentions), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
    }
    for (const std::string_view id : {"", "0", "0x", "0x0", "+5", "0x-5", "12ab", "0x100000000"}) {
        EXPECT_FALSE(parseOptions(Args{"--window-id", id}, std::nullopt).ok()) << '"' << id << '"';
        EXPECT_NE(parseOptions(Args{"--root"}, id).error.find("XSCREENSAVER_WINDOW"),
                  std::string::npos);
    }
}

TEST(X11PixelFormat, PlacesEachChannelWhereItsMaskSaysOrRefusesTheLayout) {
    using Converted = std::array<std::uint32_t, 3>;  // rgb(0x12, 0x34, 0x56), white and black
    const struct {
        const char* layout;
        std::uint32_t red, green, blue;
        int depth, bitsPerPixel;
        std::optional<Converted> converted;  // none where no colours can be shown
    } cases[] = {
        // clang-format off
        {"24-bit", 0xFF0000, 0x00FF00, 0x0000FF, 24, 32, {{0x123456, 0xFFFFFF, 0}}},
        // Depth 32: the bits outside the masks are alpha, set so the picture is opaque.
        {"ARGB", 0xFF0000, 0x00FF00, 0x0000FF, 32, 32, {{0xFF123456, 0xFFFFFFFF, 0xFF000000}}},
        {"RGBA", 0xFF000000, 0x00FF0000, 0x0000FF00, 32, 32, {{0x123456FF, 0xFFFFFFFF, 0xFF}}},
        // Fewer bits keep each channel's top bits; more repeat them, so white stays white.
        {"5-6-5", 0xF800, 0x07E0, 0x001F, 16, 16, {{0x11AA, 0xFFFF, 0}}},
        {"5-5-5", 0x7C00, 0x03E0, 0x001F, 15, 16, {{0x08CA, 0x7FFF, 0}}},
        {"10-10-10", 0x3FF00000, 0x000FFC00, 0x000003FF, 30, 32, {{0x04834159, 0x3FFFFFFF, 0}}},
        {"3-3-2: too few colours", 0x07, 0x38, 0xC0, 8, 8, {}},
        {"pixels of three bytes", 0xFF0000, 0x00FF00, 0x0000FF, 24, 24, {}},
        {"overlapping", 0xFF0000, 0xFF0000, 0x0000FF, 24, 32, {}},
        {"a channel missing", 0xFF0000, 0, 0x0000FF, 24, 32, {}},
        {"bits not adjacent", 0xF0F000, 0x000F0F, 0x0000F0, 24, 32, {}},
        {"a mask outside the depth", 0xFF000000, 0x00FF00, 0x0000FF, 24, 32, {}},
        {"a depth larger than its pixels", 0xFF0000, 0x00FF00, 0x0000FF, 24, 16, {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        const auto format = PixelFormat::fromMasks(c.red, c.green, c.blue, c.depth, c.bitsPerPixel);
        ASSERT_EQ(format.has_value(), c.converted.has_value());
        if (!format) continue;
        EXPECT_EQ(Converted({format->convert(rgb(0x12, 0x34, 0x56)),
                             format->convert(rgb(255, 255, 255)), format->convert(0)}),
                  *c.converted);
        EXPECT_EQ(format->bytesPerPixel(), c.bitsPerPixel / 8);
    }
}

TEST(X11SettingsLocation, FollowsTheXdgRulesAndIgnoresLetterCase) {
    namespace fs = std::filesystem;
    EXPECT_EQ(settingsDirectory("/cfg", "/home/u"), fs::path("/cfg/mirelune"));
    // An empty or relative XDG_CONFIG_HOME is ignored, and so is an empty HOME.
    using Text = std::optional<std::string_view>;
    for (const Text xdg : {Text(""), Text("cfg"), Text()}) {
        EXPECT_EQ(settingsDirectory(xdg, "/home/u"), fs::path("/home/u/.config/mirelune"));
    }
    EXPECT_FALSE(settingsDirectory(std::nullopt, std::nullopt));
    EXPECT_FALSE(settingsDirectory("relative", ""));

    const fs::path root = fs::path(testing::TempDir()) / "x11_settings_location";
    fs::remove_all(root);
    fs::create_directories(root / "mirelune");
    EXPECT_EQ(settingsFile(root.string(), std::nullopt), root / "mirelune" / "mirelune.ini");
    std::ofstream(root / "mirelune" / "Mirelune.INI") << "[Mirelune ScreenSaver]\n";
    EXPECT_EQ(settingsFile(root.string(), std::nullopt), root / "mirelune" / "Mirelune.INI");
    fs::remove_all(root);
}

}  // namespace
}  // namespace mirelune::x11
