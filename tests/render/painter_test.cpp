#include <gtest/gtest.h>

#include "render/painter.h"

namespace mirelune {
namespace {

constexpr Colour kUntouched = 0xDEAD00;

// Fills the row buffer with colours that tell picture row and column apart.
void fillRow(Painter& painter, int y) {
    auto pixels = painter.rowPixels();
    for (std::size_t x = 0; x < pixels.size(); ++x)
        pixels[x] = static_cast<Colour>(y * 1000 + x + 1);
}

Surface paintWholePicture(const TileGrid& grid, bool flip, int width, int height) {
    Surface screen(width, height, kUntouched);
    ChangedRows changed;
    changed.reset(height);
    Painter painter;
    painter.begin(grid, flip);
    for (int y = 0; y < grid.fheight; ++y) {
        fillRow(painter, y);
        painter.paintRow(y, screen.canvas(), changed);
    }
    return screen;
}

TEST(TileGrid, DefaultSectorsOnA1024By768Screen) {
    const TileGrid grid = TileGrid::forClient(1024, 768, 5);
    EXPECT_EQ(grid.fwidth, 102);
    EXPECT_EQ(grid.fheight, 76);
    EXPECT_EQ(grid.tileWidth(), 204);
    EXPECT_EQ(grid.tileHeight(), 152);
    EXPECT_EQ(grid.gridWidth(), 1020);
    EXPECT_EQ(grid.gridHeight(), 760);
    EXPECT_TRUE(TileGrid::forClient(9, 768, 5).empty());
}

TEST(Painter, EveryTileIsTheSameDoubleMirroredPicture) {
    const TileGrid grid = TileGrid::forClient(1024, 768, 5);
    for (bool flip : {false, true}) {
        const Surface screen = paintWholePicture(grid, flip, 1024, 768);
        const int tw = grid.tileWidth(), th = grid.tileHeight();
        for (int y = 0; y < grid.gridHeight(); ++y) {
            for (int x = 0; x < grid.gridWidth(); ++x) {
                const Colour c = screen.at(x, y);
                ASSERT_EQ(c, screen.at(x % tw, y % th)) << "tile differs at " << x << "," << y;
                const int tx = x % tw, ty = y % th;
                ASSERT_EQ(c, screen.at(tw - 1 - tx, ty)) << "not mirrored left-right";
                ASSERT_EQ(c, screen.at(tx, th - 1 - ty)) << "not mirrored top-bottom";
                ASSERT_NE(c, kUntouched);
            }
        }
        // The strips beyond the grid, 4 pixels right and 8 at the bottom, are never painted.
        for (int y = 0; y < 768; ++y) {
            for (int x = 1020; x < 1024; ++x)
                ASSERT_EQ(screen.at(x, y), kUntouched);
        }
        for (int y = 760; y < 768; ++y) {
            for (int x = 0; x < 1024; ++x)
                ASSERT_EQ(screen.at(x, y), kUntouched);
        }
    }
}

TEST(Painter, FlipDecidesWhereTheFirstRowLands) {
    const TileGrid grid{2, 3, 4};  // tiles of 6 x 8
    for (bool flip : {false, true}) {
        Surface screen(12, 16, kUntouched);
        ChangedRows changed;
        changed.reset(16);
        Painter painter;
        painter.begin(grid, flip);
        fillRow(painter, 0);
        painter.paintRow(0, screen.canvas(), changed);
        // Without flip the first row lies on each tile's top and bottom edges; with flip on
        // the two rows either side of its horizontal centre line.
        const std::vector<RowSpan> expected = flip ? std::vector<RowSpan>{{3, 2}, {11, 2}}
                                                   : std::vector<RowSpan>{{0, 1}, {7, 2}, {15, 1}};
        EXPECT_EQ(changed.take(), expected);
        const int first = flip ? 3 : 0;
        const Colour row[] = {1, 2, 3, 3, 2, 1, 1, 2, 3, 3, 2, 1};
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(screen.at(x, first), row[x]) << x;
    }
}

TEST(Painter, ClipsToASurfaceSmallerThanTheGrid) {
    // The window shrank after the picture started: rows and columns beyond it are skipped.
    const TileGrid grid{3, 10, 10};
    Surface screen(25, 17, kUntouched);
    ChangedRows changed;
    changed.reset(17);
    Painter painter;
    painter.begin(grid, false);
    for (int y = 0; y < 10; ++y) {
        fillRow(painter, y);
        painter.paintRow(y, screen.canvas(), changed);
    }
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
