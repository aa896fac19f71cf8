// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/grid/gridclip.h"

#include <functional>

class Grid;
class GridModel;
class QWidget;

// Enter and Delete as the ToDo grids and the annual table take them: Enter moves the
// cursor down one row, keeping it in view (nothing on the last row); Delete empties
// the selected block and then calls `cleared`. Returns whether `key` was one of them
// (the grid then does nothing more with it).
bool Grid_EnterOrDelete(Grid& grid, int key, const std::function<void()>& cleared = {});

// Cut, copy, paste and add-paste of grid blocks through the clipboard. A refused
// paste is reported in a message box ("コピーが正しくできていません。" when the
// clipboard holds no text, "コピー先の範囲が不適当です" when the block does not fit
// or the text is larger than 400 lines or 56 fields).
void Grid_Copy(int col, int row, int colSel, int rowSel, GridModel& grid);
void Grid_Cut(int col, int row, int colSel, int rowSel, GridModel& grid);
// The two numbers in the middle are not used. A paste `check` refuses is reported with
// its reason and writes nothing.
void Grid_Paste(int col, int row, int, int, GridModel& grid, QWidget* parent = nullptr,
                const GridClip::PasteCheck& check = {});
void Grid_PasteAdd(int col, int row, int, int, GridModel& grid, QWidget* parent = nullptr,
                   const GridClip::PasteCheck& check = {});
