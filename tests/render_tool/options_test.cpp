#include "render_tool/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirelune::render_tool {
namespace {

using Args = std::vector<std::string>;

TEST(RenderOptions, OnlyTheOutputGivesTheDefaults) {
    const auto result = parseOptions({"-o", "out.png"});
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_FALSE(result.help);
    EXPECT_EQ(result.options.width, 1024);
    EXPECT_EQ(result.options.height, 768);
    EXPECT_EQ(result.options.sectors, 5);
    EXPECT_FALSE(result.options.seed.has_value());
    EXPECT_EQ(result.options.pictures, 1u);
    EXPECT_EQ(result.options.output, "out.png");
}

TEST(RenderOptions, ValuesMayFollowAnEqualsSign) {
    const auto result = parseOptions(
        {"--size=640x480", "--sectors=3", "--seed=42", "--pictures=7", "--output=a.png"});
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.options.width, 640);
    EXPECT_EQ(result.options.height, 480);
    EXPECT_EQ(result.options.sectors, 3);
    EXPECT_EQ(result.options.seed, 42u);
    EXPECT_EQ(result.options.pictures, 7u);
    EXPECT_EQ(result.options.output, "a.png");
}

TEST(RenderOptions, RangeEdgesAreAccepted) {
    // The smallest screen with a pixel in each picture: twice the sectors along each side.
    const auto result =
        parseOptions({"--size", "2X16384", "--sectors", "1", "--seed", "18446744073709551615",
                      "--pictures", "100000", "-o", "a.png"});
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.options.width, 2);
    EXPECT_EQ(result.options.height, 16384);
    EXPECT_EQ(result.options.seed, 18446744073709551615u);
    EXPECT_EQ(result.options.pictures, 100000u);
}

TEST(RenderOptions, SectorsArePulledIntoRange) {
    const std::vector<std::pair<std::string, int>> cases{{"0", 1}, {"-4", 1},  {"1", 1},
                                                         {"7", 7}, {"10", 10}, {"999", 10}};
    for (const auto& [text, expected] : cases) {
        const auto result = parseOptions({"--sectors", text, "-o", "a.png"});
        ASSERT_TRUE(result.ok()) << text << ": " << result.error;
        EXPECT_EQ(result.options.sectors, expected) << text;
    }
}

TEST(RenderOptions, HelpStopsParsing) {
    const auto result = parseOptions({"--size", "10x10", "--help", "--bogus"});
    EXPECT_TRUE(result.ok());
    EXPECT_TRUE(result.help);
    EXPECT_NE(usage().find("--sectors"), std::string::npos);
}

Args withOutput(Args args) {
    args.insert(args.end(), {"-o", "a.png"});
    return args;
}

TEST(RenderOptions, MistakesGiveOneLineNamingTheCulprit) {
    const struct {
        Args args;
        std::string mentions;
    } cases[] = {
        // Malformed sizes.
        {withOutput({"--size", "10x"}), "'10x'"},
        {withOutput({"--size", "x10"}), "'x10'"},
        {withOutput({"--size", "0x5"}), "'0x5'"},
        {withOutput({"--size", "abcxdef"}), "'abcxdef'"},
        {withOutput({"--size", "-10x10"}), "'-10x10'"},
        {withOutput({"--size", "16385x10"}), "'16385x10'"},
        {withOutput({"--size", "99999999999x10"}), "'99999999999x10'"},
        {withOutput({"--size", "10x10x10"}), "'10x10x10'"},
        {withOutput({"--size", " 10x10"}), "' 10x10'"},
        {withOutput({"--size", "1024"}), "'1024'"},
        // Pictures of no pixels would leave the file black: each side needs twice the sectors,
        // counted after the sectors are pulled into range.
        {withOutput({"--size", "9x9", "--sectors", "5"}), "9x9"},
        {withOutput({"--size", "10x9", "--sectors", "5"}), "10x9"},
        {withOutput({"--size", "40x19", "--sectors", "99"}), "10 sectors"},
        // Malformed numbers.
        {withOutput({"--seed", "-1"}), "'-1'"},
        {withOutput({"--seed", "18446744073709551616"}), "--seed"},
        {withOutput({"--seed", "12ab"}), "'12ab'"},
        {withOutput({"--seed="}), "--seed"},
        {withOutput({"--sectors", "five"}), "'five'"},
        {withOutput({"--sectors", "99999999999999999999"}), "--sectors"},
        {withOutput({"--pictures", "0"}), "'0'"},
        {withOutput({"--pictures", "100001"}), "'100001'"},
        // Misused options.
        {withOutput({"--bogus"}), "'--bogus'"},
        {withOutput({"--bogus=1"}), "'--bogus'"},
        {withOutput({"-x"}), "'-x'"},
        {withOutput({"picture.png"}), "'picture.png'"},
        {withOutput({"--help=yes"}), "--help"},
        {{"-o", "a.png", "--seed"}, "--seed"},
        {{"-o"}, "-o"},
        {{"-o", ""}, "-o"},
        {{"--seed", "7"}, "-o FILE"},
        {{}, "-o FILE"},
    };
    for (const auto& c : cases) {
        const auto result = parseOptions(c.args);
        EXPECT_FALSE(result.ok()) << c.mentions;
        EXPECT_NE(result.error.find(c.mentions), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
    }
}

}  // namespace
}  // namespace mirelune::render_tool
