// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/platform/printer.h"

class Grid;

// Printing the selected block of a table: the heading rows and columns and the block's
// cells, nothing else, through the print preview and dialog. The heading columns are
// those before `headingCols` (the fixed ones where it is -1). The grid is left exactly
// as it was found (hidden lines, scroll position, highlight, repainting).
Printer::Result Print_Block(Grid& grid, int row1, int col1, int row2, int col2,
                            int headingCols = -1);

// The block between the two corners of the grid's selection, whichever way it was
// selected.
Printer::Result Print_Selection(Grid& grid, int headingCols = -1);
