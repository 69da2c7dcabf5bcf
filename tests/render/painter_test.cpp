#include <gtest/gtest.h>

#include "render/painter.h"

namespace mirelune {
namespace {

constexpr Colour kUntouched = 0xDEAD00;

// Paints picture rows [0, rows) of the grid, each pixel a colour that tells row and column
// apart, onto a fresh surface of the given size.
Surface paint(const TileGrid& grid, bool flip, int width, int height, int rows,
              ChangedRows& changed) {
    Surface screen(width, height, kUntouched);
    changed.reset(height);
    Painter painter;
    painter.begin(grid, flip);
    for (int y = 0; y < rows; ++y) {
        auto pixels = painter.rowPixels();
        for (std::size_t x = 0; x < pixels.size(); ++x)
            pixels[x] = static_cast<Colour>(y * 1000 + x + 1);
        painter.paintRow(y, screen.canvas(), changed);
    }
    return screen;
}

TEST(Painter, EveryTileIsTheSameDoubleMirroredPictureAndTheStripsBeyondStayUntouched) {
    // 1024 x 768 in 5 sectors: tiles of 204 x 152, a grid of 1020 x 760.
    const TileGrid grid = TileGrid::forClient(1024, 768, 5);
    ChangedRows changed;
    for (bool flip : {false, true}) {
        const Surface screen = paint(grid, flip, 1024, 768, grid.fheight, changed);
        for (int y = 0; y < 768; ++y) {
            for (int x = 0; x < 1024; ++x) {
                const Colour c = screen.at(x, y);
                if (x >= 1020 || y >= 760) {
                    ASSERT_EQ(c, kUntouched) << "painted outside the grid at " << x << "," << y;
                    continue;
                }
                const int tx = x % 204, ty = y % 152;
                ASSERT_EQ(c, screen.at(tx, ty)) << "tile differs at " << x << "," << y;
                ASSERT_EQ(c, screen.at(203 - tx, ty)) << "not mirrored left-right";
                ASSERT_EQ(c, screen.at(tx, 151 - ty)) << "not mirrored top-bottom";
                ASSERT_NE(c, kUntouched);
            }
        }
        // Without flip the first row lies on each tile's top and bottom edges; with flip on
        // the two rows either side of its horizontal centre line.
        EXPECT_EQ(screen.at(0, flip ? 75 : 0), 1u);
        EXPECT_EQ(changed.take(), (std::vector<RowSpan>{{0, 760}}));
    }
}

TEST(Painter, ClipsToASurfaceSmallerThanTheGrid) {
    // The window shrank after the picture started: rows and columns beyond it are skipped.
    ChangedRows changed;
    const Surface screen = paint(TileGrid{3, 10, 10}, false, 25, 17, 10, changed);
    EXPECT_EQ(screen.at(24, 16), screen.at(4, 16));  // the cut second tile starts like the first
    EXPECT_EQ(screen.at(20, 0), screen.at(0, 0));
}

TEST(ChangedRows, MergesNeighboursAndForgetsAfterTaking) {
    ChangedRows changed;
    changed.reset(10);
    for (int y : {5, 3, 4, 9, -1, 10, 0})
        changed.mark(y);
    EXPECT_EQ(changed.take(), (std::vector<RowSpan>{{0, 1}, {3, 3}, {9, 1}}));
    EXPECT_TRUE(changed.take().empty());
}

}  // namespace
}  // namespace mirelune
