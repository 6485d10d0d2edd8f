#include "skin/smiley/SmileGrid.h"

#include <algorithm>

namespace skin {
namespace {

// The cell of `row` that lies under (or over) the centre of `from`.
int CellBelowCentre(const SmileGrid& grid, const SmileCell& from, const std::vector<int>& row)
{
    int centre = from.x + from.width / 2;
    for (int index : row) {
        const SmileCell& cell = grid.cells[static_cast<std::size_t>(index)];
        if (cell.x <= centre && centre < cell.x + cell.width)
            return index;
    }
    return row.back();
}

void LinkNeighbours(SmileGrid& grid)
{
    for (std::size_t r = 0; r < grid.rows.size(); ++r) {
        const std::vector<int>& row = grid.rows[r];
        for (std::size_t i = 0; i < row.size(); ++i) {
            SmileCell& cell = grid.cells[static_cast<std::size_t>(row[i])];
            cell.right = row[(i + 1) % row.size()];
            cell.left = row[(i + row.size() - 1) % row.size()];
            if (r > 0)
                cell.up = CellBelowCentre(grid, cell, grid.rows[r - 1]);
            if (r + 1 < grid.rows.size())
                cell.down = CellBelowCentre(grid, cell, grid.rows[r + 1]);
        }
    }
}

}  // namespace

int SmileGrid::Bottom() const
{
    int bottom = 0;
    for (const SmileCell& cell : cells)
        bottom = std::max(bottom, cell.y + cell.height);
    return bottom;
}

SmileGrid LayOutSmileGrid(const std::vector<PictureSize>& pictures, int spacing, int clientWidth)
{
    SmileGrid grid;
    int x = 0;
    int top = 0;
    int bottom = 0;
    for (const PictureSize& picture : pictures) {
        int width = picture.width + spacing;
        if (grid.rows.empty() || (x > 0 && x + width > clientWidth)) {
            grid.rows.emplace_back();
            x = 0;
            top = bottom;
        }
        SmileCell cell;
        cell.x = x;
        cell.y = top;
        cell.width = width;
        cell.height = picture.height + spacing;
        cell.row = static_cast<int>(grid.rows.size()) - 1;
        bottom = std::max(bottom, cell.y + cell.height);
        grid.rows.back().push_back(static_cast<int>(grid.cells.size()));
        grid.cells.push_back(cell);
        x += width;
    }
    LinkNeighbours(grid);
    return grid;
}

}  // namespace skin
