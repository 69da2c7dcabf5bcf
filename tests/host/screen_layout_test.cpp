#include "host/screen_layout.h"

#include <gtest/gtest.h>

#include <random>

namespace mirelune {
namespace {

using Rects = std::vector<ScreenRect>;

bool inside(const ScreenRect& r, int x, int y) {
    return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}

TEST(BlankAreas, CoverEveryMonitorButThePrimaryOneWhole) {
    // A single monitor needs no cover.
    EXPECT_EQ(blankAreas(std::vector<Monitor>{{{0, 0, 1920, 1080}, true}}), Rects{});

    // A smaller monitor to the left, at negative coordinates and lower down.
    EXPECT_EQ(blankAreas(
                  std::vector<Monitor>{{{0, 0, 1920, 1080}, true}, {{-1280, 200, 0, 1224}, false}}),
              (Rects{{-1280, 200, 0, 1224}}));

    // Three monitors of mixed sizes: one above (negative y), one to the right; the primary
    // monitor is not the first one enumerated.
    EXPECT_EQ(blankAreas(std::vector<Monitor>{{{-400, -1440, 2160, 0}, false},
                                              {{0, 0, 1920, 1080}, true},
                                              {{1920, -300, 3120, 1620}, false}}),
              (Rects{{-400, -1440, 2160, 0}, {1920, -300, 3120, 1620}}));
}

TEST(BlankAreas, NeverCoverThePrimaryMonitor) {
    // A display mirroring the primary one needs nothing; two mirrors of one secondary give
    // one cover, not two stacked.
    EXPECT_EQ(blankAreas(std::vector<Monitor>{{{0, 0, 1024, 768}, true},
                                              {{0, 0, 1024, 768}, false},
                                              {{1024, 0, 2048, 768}, false},
                                              {{1024, 0, 2048, 768}, false}}),
              (Rects{{1024, 0, 2048, 768}}));

    // A larger monitor overlapping the primary from the top left keeps an L of cover.
    EXPECT_EQ(blankAreas(
                  std::vector<Monitor>{{{0, 0, 1000, 800}, true}, {{-200, -100, 600, 500}, false}}),
              (Rects{{-200, -100, 600, 0}, {-200, 0, 0, 500}}));

    // A monitor that encloses the primary one is covered all around it.
    EXPECT_EQ(
        blankAreas(std::vector<Monitor>{{{0, 0, 100, 100}, true}, {{-10, -20, 130, 140}, false}}),
        (Rects{{-10, -20, 130, 0}, {-10, 100, 130, 140}, {-10, 0, 0, 100}, {100, 0, 130, 100}}));
}

TEST(BlankAreas, FindThePrimaryMonitorWithoutItsFlag) {
    // The monitor at the origin is the primary one.
    EXPECT_EQ(
        blankAreas(std::vector<Monitor>{{{-800, 0, 0, 600}, false}, {{0, 0, 800, 600}, false}}),
        (Rects{{-800, 0, 0, 600}}));
    // With nothing at the origin, everything is covered; empty monitors are ignored, also
    // an empty one that claims to be primary.
    EXPECT_EQ(blankAreas(std::vector<Monitor>{
                  {{5, 5, 5, 600}, true}, {{10, 0, 810, 600}, false}, {{810, 0, 1610, -3}, false}}),
              (Rects{{10, 0, 810, 600}}));
    EXPECT_EQ(blankAreas(std::vector<Monitor>{}), Rects{});
}

// Random small layouts checked pixel by pixel: every pixel of a monitor is on the primary
// monitor or under exactly the covers that hold it, no cover touches the primary monitor or
// reaches beyond the monitors, and covers of one monitor never overlap each other.
TEST(BlankAreas, CoverExactlyTheSecondaryPixelsOfRandomLayouts) {
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> coordinate(-12, 12);
    std::uniform_int_distribution<int> extent(1, 10);
    std::uniform_int_distribution<int> count(1, 4);
    for (int layout = 0; layout < 2000; ++layout) {
        std::vector<Monitor> monitors;
        const int n = count(random);
        for (int i = 0; i < n; ++i) {
            const int x = coordinate(random), y = coordinate(random);
            monitors.push_back({{x, y, x + extent(random), y + extent(random)}, i == 0});
        }
        const Rects covers = blankAreas(monitors);
        const ScreenRect& primary = monitors[0].area;
        for (int y = -13; y < 24; ++y) {
            for (int x = -13; x < 24; ++x) {
                bool onMonitor = false;
                for (const Monitor& m : monitors)
                    onMonitor |= inside(m.area, x, y);
                int covering = 0;
                for (const ScreenRect& c : covers)
                    covering += inside(c, x, y);
                const bool wanted = onMonitor && !inside(primary, x, y);
                ASSERT_EQ(covering > 0, wanted) << "layout " << layout << " at " << x << "," << y;
                int monitorsHere = 0;
                for (const Monitor& m : monitors)
                    monitorsHere += inside(m.area, x, y);
                ASSERT_LE(covering, monitorsHere) << "layout " << layout << " at " << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace mirelune
