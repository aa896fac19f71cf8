// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/grid/grideditor.h"

// The time column of the ToDo grids (the diary's, the ToDo list's): a time of day,
// kept as hh:mm whatever way it was typed.
ColumnInput ToDo_TimeInput();

class Grid;
// Widens the time and category columns of a ToDo grid to at least "00:00" and "最重"
// in the grid's font, so that neither is cut short.
void ToDo_FitColumns(Grid& grid, int timeCol, int categoryCol);
