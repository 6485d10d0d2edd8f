// The grid of the picture picker: cells placed left to right in rows, and
// the neighbour of each cell for the four arrow keys.
//
// A cell is its picture's size plus the spacing s on each axis. Before a
// cell is placed, a row that already holds a cell and has no room left for
// it (x + w + s > width) is closed; the next row starts below the lowest cell
// so far. So a picture wider than the window still gets a row of its own.
//
// Left and right wrap around within a row. Down goes to the first cell of
// the next row whose span [x, x + width) holds the cell's centre, else to
// that row's last cell; up does the same with the row above. Up in the first
// and down in the last row go nowhere (-1).
#pragma once

#include <vector>

namespace skin {

struct SmileCell {
    int x = 0;
    int y = 0;
    int width = 0;   // picture width + spacing
    int height = 0;  // picture height + spacing
    int row = 0;
    int left = -1;
    int right = -1;
    int up = -1;
    int down = -1;
};

struct SmileGrid {
    std::vector<SmileCell> cells;         // in set order
    std::vector<std::vector<int>> rows;   // cell indices, top row first
    int Bottom() const;                   // lowest cell bottom, 0 when empty
};

struct PictureSize {
    int width = 0;
    int height = 0;
};

SmileGrid LayOutSmileGrid(const std::vector<PictureSize>& pictures, int spacing, int clientWidth);

}  // namespace skin
