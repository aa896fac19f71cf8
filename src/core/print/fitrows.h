// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class GridModel;

// How many data rows fit into a grid `heightTwips` high, counted from row 0: the
// first row r at which the heights reach the grid's height gives r - FixedRows - 1;
// when all rows fit, the row count.
int Grid_FitRows(const GridModel& grid, int heightTwips);
