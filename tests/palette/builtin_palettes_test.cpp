#include <gtest/gtest.h>

#include <cstdint>

#include "palette/builtin_palettes.h"

namespace mirelune {
namespace {

// The table is written out by hand, most channels from a sine rule and some as curves of no
// such form: a slip in any entry changes this sum of all entries in order.
TEST(BuiltinPalettes, TheWholeTableKeepsItsChecksum) {
    std::uint64_t sum = 14695981039346656037u;
    for (const BuiltinPalette& pal : kBuiltinPalettes) {
        for (Colour c : pal)
            sum = (sum ^ c) * 1099511628211u;
    }
    EXPECT_EQ(sum, 0x826CCEFC23CB3D22u);
}

}  // namespace
}  // namespace mirelune
