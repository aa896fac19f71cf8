// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>

class GridModel;

// The annual table: the whole document year as one grid of 367 rows (row 0 the
// headings, rows 1..366 the days from 1 April) by 19 columns (the year store's text
// columns), with the widths and heights every copy of it shares.

// Sizes, widths, heights and text columns of an annual-shaped grid (the annual
// windows, the buffer grid through which documents are saved, the benchmarks).
// `cols` is 19 for the annual table, 20 for the buffer grid.
void Annual_Layout(GridModel& grid, int cols = 19);

// The layout of an annual window's table without its texts: sizes, widths, heights,
// the headings and dates centred, the heading row and the date and weekday columns
// fixed, the cursor on the first day's events.
void Nen_GridLayout(GridModel& grid);

// Lays out an annual window's grid for the document year of `baseYear`: the layout,
// the headings (the year in the corner), each day's date and weekday with Sunday in
// bright red and Saturday in light blue, and the cursor on the first day's events.
void Nen_GridInit(GridModel& grid, int baseYear);

// The base year an annual grid shows (its corner cell); 0 when it holds none.
int Annual_BaseYear(const GridModel& grid);

// The day a view opens for the annual grid's row `row`: the row's own day when it
// lies in the document year (1 April to 31 March), 1 April otherwise (the heading
// row, and row 366 of a year without 29 February, the next year's 1 April).
QDate Annual_ViewDate(int row, int baseYear);
