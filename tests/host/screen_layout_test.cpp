#include "host/screen_layout.h"

#include <gtest/gtest.h>

namespace mirelune {
namespace {

using Rects = std::vector<ScreenRect>;

// Every monitor shows a kaleidoscope of its own, the primary's first; only what overlapping
// monitors show beyond the picture they share is covered in black.
TEST(ScreenLayout, EveryMonitorShowsItsOwnKaleidoscopePrimaryFirst) {
    struct Case {
        const char* desk;
        std::vector<Monitor> monitors;
        Rects areas, covers;
    };
    // clang-format off
    const Case cases[] = {
        {"one monitor", {{{0, 0, 1920, 1080}, true}}, {{0, 0, 1920, 1080}}, {}},
        {"a smaller one to the left, lower down",
         {{{-1280, 200, 0, 1224}, false}, {{0, 0, 1920, 1080}, true}},
         {{0, 0, 1920, 1080}, {-1280, 200, 0, 1224}}, {}},
        {"one above, one to the right",
         {{{-400, -1440, 1920, 0}, false}, {{0, 0, 1920, 1080}, true},
          {{1920, -300, 3120, 1620}, false}},
         {{0, 0, 1920, 1080}, {-400, -1440, 1920, 0}, {1920, -300, 3120, 1620}}, {}},
        {"the flagged one, though not at the origin and listed last",
         {{{0, 0, 800, 600}, false}, {{-800, 0, 0, 600}, true}},
         {{-800, 0, 0, 600}, {0, 0, 800, 600}}, {}},
        {"no flag: the monitor at the origin",
         {{{-800, 0, 0, 600}, false}, {{0, 0, 800, 600}, false}},
         {{0, 0, 800, 600}, {-800, 0, 0, 600}}, {}},
        {"nothing at the origin: the first one listed; empty ones ignored, also as primary",
         {{{5, 5, 5, 600}, true}, {{5, 5, 600, 5}, true}, {{10, 0, 810, 600}, false},
          {{810, 0, 1610, -3}, false}},
         {{10, 0, 810, 600}}, {}},
        {"no monitors", {}, {}, {}},
        {"mirrors share one picture",
         {{{0, 0, 1024, 768}, true}, {{0, 0, 1024, 768}, false},
          {{1024, 0, 2048, 768}, false}, {{1024, 0, 2048, 768}, false}},
         {{0, 0, 1024, 768}, {1024, 0, 2048, 768}}, {}},
        {"a monitor overlapping the primary from the top left keeps an L of cover",
         {{{0, 0, 1000, 800}, true}, {{-200, -100, 600, 500}, false}},
         {{0, 0, 1000, 800}}, {{-200, -100, 600, 0}, {-200, 0, 0, 500}}},
        {"one enclosing the primary is covered all around it, once for its mirror too",
         {{{0, 0, 100, 100}, true}, {{-10, -20, 130, 140}, false}, {{-10, -20, 130, 140}, false}},
         {{0, 0, 100, 100}},
         {{-10, -20, 130, 0}, {-10, 100, 130, 140}, {-10, 0, 0, 100}, {100, 0, 130, 100}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(kaleidoscopeAreas(c.monitors), c.areas) << c.desk;
        EXPECT_EQ(blankAreas(c.monitors), c.covers) << c.desk;
    }
}

}  // namespace
}  // namespace mirelune
