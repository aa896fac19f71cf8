// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/blockprint.h"

#include "gui/grid/grid.h"

#include <vector>

Printer::Result Print_Block(Grid& grid, int row1, int col1, int row2, int col2, int headingCols) {
    GridModel& m = *grid.model();
    if (headingCols < 0)
        headingCols = m.fixedCols();
    const bool highLight = grid.highLight();
    const bool redraw = grid.redraw();
    const int top = grid.topRow(), left = grid.leftCol();
    std::vector<bool> rowsHidden(size_t(m.rows())), colsHidden(size_t(m.cols()));
    for (int r = 0; r < m.rows(); ++r)
        rowsHidden[size_t(r)] = m.rowHidden(r);
    for (int c = 0; c < m.cols(); ++c)
        colsHidden[size_t(c)] = m.colHidden(c);

    grid.setHighLight(false);
    grid.setRedraw(false);
    // Heading rows and columns always stay.
    for (int r = m.fixedRows(); r < m.rows(); ++r)
        if (r < row1 || r > row2)
            m.setRowHidden(r, true);
    for (int c = headingCols; c < m.cols(); ++c)
        if (c < col1 || c > col2)
            m.setColHidden(c, true);
    grid.setTopRow(m.fixedRows());
    grid.setLeftCol(m.fixedCols());

    const Printer::Result printed =
        Printer::print(&grid, grid.window()->windowTitle(), grid.printOrientation(),
                       [&grid](QPagedPaintDevice* device) { return grid.paintPages(device); });

    for (int r = 0; r < m.rows(); ++r)
        m.setRowHidden(r, rowsHidden[size_t(r)]);
    for (int c = 0; c < m.cols(); ++c)
        m.setColHidden(c, colsHidden[size_t(c)]);
    grid.setTopRow(top);
    grid.setLeftCol(left);
    grid.setHighLight(highLight);
    grid.setRedraw(redraw);
    return printed;
}

Printer::Result Print_Selection(Grid& grid, int headingCols) {
    const GridModel::Selection s = grid.model()->getSelection();
    return Print_Block(grid, s.row1, s.col1, s.row2, s.col2, headingCols);
}
