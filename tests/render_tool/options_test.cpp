#include "render_tool/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mirelune::render_tool {
namespace {

using Args = std::vector<std::string>;

auto fields(const Options& o) {
    return std::tuple(o.width, o.height, o.sectors, o.seed, o.pictures, o.output);
}

TEST(RenderOptions, AcceptedLines) {
    const std::pair<Args, Options> cases[] = {
        {{"--size=640x480", "--sectors=3", "--seed=42", "--pictures=7", "--output=a.png"},
         {640, 480, 3, 42, 7, "a.png"}},
        // The range edges; the smallest side is twice the sectors.
        {{"--size", "2X16384", "--sectors", "1", "--seed", "18446744073709551615", "--pictures",
          "100000", "-o", "a.png"},
         {2, 16384, 1, 18446744073709551615u, 100000, "a.png"}},
        // Sectors out of range are pulled into it.
        {{"--sectors", "0", "-o", "a.png"}, {1024, 768, 1, std::nullopt, 1, "a.png"}},
        {{"--sectors", "999", "-o", "a.png"}, {1024, 768, 10, std::nullopt, 1, "a.png"}},
    };
    for (const auto& [args, expected] : cases) {
        const auto result = parseOptions(args);
        ASSERT_TRUE(result.ok() && !result.help) << args[0] << ": " << result.error;
        EXPECT_EQ(fields(result.options), fields(expected)) << args[0];
    }
    const auto help = parseOptions({"--size", "10x10", "--help", "--bogus"});
    EXPECT_TRUE(help.ok() && help.help);
    for (const char* option : {"--output", "--size", "--sectors", "--seed", "--pictures", "--help"})
        EXPECT_NE(usage().find(option), std::string::npos) << option;
}

TEST(RenderOptions, RejectedLinesGiveOneLineNamingTheCulprit) {
    const std::pair<Args, std::string> cases[] = {
        {{"--size", "0x5"}, "'0x5'"},
        {{"--size", "16385x10"}, "'16385x10'"},
        {{"--size", "1024"}, "'1024'"},
        // Pictures of no pixels would leave the file black: each side needs twice the sectors,
        // counted after the sectors are pulled into range.
        {{"--size", "9x9", "--sectors", "5"}, "9x9"},
        {{"--size", "10x9", "--sectors", "5"}, "10x9"},
        {{"--size", "9x10", "--sectors", "5"}, "9x10"},
        {{"--size", "40x19", "--sectors", "99"}, "10 sectors"},
        {{"--seed", "18446744073709551616"}, "--seed"},
        {{"--seed", "12ab"}, "'12ab'"},
        {{"--sectors", "five"}, "'five'"},
        {{"--pictures", "0"}, "'0'"},
        {{"--pictures", "100001"}, "'100001'"},
        {{"--bogus=1"}, "'--bogus'"},
        {{"-o=a.png"}, "'-o=a.png'"},
        {{"picture.png"}, "'picture.png'"},
        {{"--help=yes"}, "--help"},
        {{"--seed"}, "--seed"},
    };
    for (auto [args, mentions] : cases) {
        if (args.back() != "--seed") args.insert(args.begin(), {"-o", "a.png"});
        const auto result = parseOptions(args);
        EXPECT_FALSE(result.ok()) << mentions;
        EXPECT_NE(result.error.find(mentions), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos) << result.error;
    }
    EXPECT_NE(parseOptions({"--seed", "7"}).error.find("-o FILE"), std::string::npos);
}

}  // namespace
}  // namespace mirelune::render_tool
