// The picture picker's grid: when a row wraps, where each cell lies, and
// where the arrow keys lead between rows of different widths.
#include <gtest/gtest.h>

#include <vector>

#include "skin/smiley/SmileGrid.h"

namespace {

using skin::LayOutSmileGrid;
using skin::PictureSize;
using skin::SmileGrid;

std::vector<PictureSize> Widths(std::vector<int> widths, int height = 4)
{
    std::vector<PictureSize> sizes;
    for (int w : widths)
        sizes.push_back({w, height});
    return sizes;
}

TEST(SmileGridTest, RowsWrapOnlyAfterACell)
{
    struct Case {
        const char* name;
        std::vector<PictureSize> pictures;
        int spacing;
        int width;
        std::vector<std::vector<int>> rows;
    };
    const std::vector<Case> cases = {
        {"exact fit stays in the row", Widths({4, 4, 4}), 1, 15, {{0, 1, 2}}},
        {"one pixel more wraps", Widths({4, 4, 4}), 1, 14, {{0, 1}, {2}}},
        {"a picture wider than the window gets its own row", Widths({2, 50, 2}), 0, 10, {{0}, {1}, {2}}},
        {"a wide first picture does not leave an empty row", Widths({50, 2}), 0, 10, {{0}, {1}}},
        {"empty cells of failed pictures are the spacing only", Widths({0, 0, 0}), 2, 4, {{0, 1}, {2}}},
        {"no smilies, no rows", {}, 2, 100, {}},
    };
    for (const Case& c : cases) {
        SmileGrid grid = LayOutSmileGrid(c.pictures, c.spacing, c.width);
        EXPECT_EQ(grid.rows, c.rows) << c.name;
    }
}

TEST(SmileGridTest, CellsSitBelowTheLowestCellSoFar)
{
    std::vector<PictureSize> pictures = {{4, 6}, {4, 2}, {4, 3}};
    SmileGrid grid = LayOutSmileGrid(pictures, 2, 12);
    ASSERT_EQ(grid.cells.size(), 3u);
    EXPECT_EQ(grid.cells[1].x, 6);
    EXPECT_EQ(grid.cells[1].y, 0);
    EXPECT_EQ(grid.cells[2].x, 0);
    EXPECT_EQ(grid.cells[2].y, 8) << "below the taller cell of the first row";
    EXPECT_EQ(grid.cells[2].width, 6);
    EXPECT_EQ(grid.cells[2].height, 5);
    EXPECT_EQ(grid.Bottom(), 13);
}

TEST(SmileGridTest, ArrowNeighbours)
{
    // Rows {0 (width 3), 1 (width 1)} and {2}: down from either cell of the
    // first row goes to the single cell of the second.
    SmileGrid uneven = LayOutSmileGrid(Widths({3, 1, 3}), 0, 4);
    ASSERT_EQ(uneven.rows, (std::vector<std::vector<int>>{{0, 1}, {2}}));
    EXPECT_EQ(uneven.cells[0].down, 2);
    EXPECT_EQ(uneven.cells[1].down, 2);
    EXPECT_EQ(uneven.cells[2].up, 0) << "centre 1 lies in the first cell";
    EXPECT_EQ(uneven.cells[0].up, -1);
    EXPECT_EQ(uneven.cells[2].down, -1);

    // Four cells over two: a centre that no cell of the next row holds goes
    // to that row's last cell; left and right wrap within the row.
    SmileGrid grid = LayOutSmileGrid(Widths({4, 4, 4, 4, 6, 1}), 0, 16);
    ASSERT_EQ(grid.rows, (std::vector<std::vector<int>>{{0, 1, 2, 3}, {4, 5}}));
    struct Step {
        int from;
        int left, right, up, down;
    };
    const std::vector<Step> steps = {
        {0, 3, 1, -1, 4},  // centre 2 in [0, 6)
        {1, 0, 2, -1, 5},  // centre 6 in [6, 7)
        {2, 1, 3, -1, 5},  // centre 10: no cell, the last one
        {3, 2, 0, -1, 5},
        {4, 5, 5, 0, -1},  // centre 3 in [0, 4)
        {5, 4, 4, 1, -1},  // centre 6 in [4, 8)
    };
    for (const Step& s : steps) {
        const skin::SmileCell& cell = grid.cells[static_cast<std::size_t>(s.from)];
        EXPECT_EQ(cell.left, s.left) << s.from;
        EXPECT_EQ(cell.right, s.right) << s.from;
        EXPECT_EQ(cell.up, s.up) << s.from;
        EXPECT_EQ(cell.down, s.down) << s.from;
    }
}

}  // namespace
