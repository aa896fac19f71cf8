// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/grid/gridmodel.h"

#include <QString>

#include <array>

class AppState;

// The value that stands for the system's window background colour.
inline constexpr quint32 SystemWindowColor = 0x80000005u;

// One text box of a page with its colours as stored (red in the low byte). A text
// colour of 0 is black; a background of 0 is shown as the window background.
struct PageBox {
    QString text;
    quint32 fore = 0;
    quint32 back = SystemWindowColor;
};

class YearStore;

// A box of a page from the store: the text of column `textCol` of `row` with the text
// and background colours the cell-colour map gives that column. A background that is
// 0 or empty becomes the system window colour.
PageBox loadPageBox(const YearStore& store, int row, int textCol);
// The box back into the same three cells.
void storePageBox(const PageBox& box, YearStore& store, int row, int textCol);
// A box's background back into colour column `backCol`: the window colour a box shows
// for "no colour chosen" stays "no colour chosen".
void storeBoxBack(quint32 back, YearStore& store, int row, int backCol);

// What the diary shows of one day: the events, the record, the titles and contents
// of the seven time slots, and the ToDo grid.
struct DiaryPage {
    DiaryPage();

    PageBox events;
    PageBox record;
    std::array<PageBox, 7> slotItems;
    std::array<PageBox, 7> slotTexts;
    GridModel todo; // the ToDo grid: done, time, category, task
};

// Lays out the diary's ToDo grid: four columns (done, time, category, task) with their
// headers and widths, ten task rows with an unticked check box each; the texts are
// left as they are (the day's items are put in by Store_ToDiary).
void Diary_GridInit(GridModel& fg);

// The row of the current date → the page, ending with the day's ToDo items in the
// grid. A background that is 0 or empty becomes the system window colour.
void Store_ToDiary(DiaryPage& page, const AppState& app);

// The page → the row of the current date: texts, text colours and backgrounds of
// every box, then the ToDo grid as the day's ToDo text (which empties the grid).
void Diary_ToStore(DiaryPage& page, AppState& app);
// The same, leaving the ToDo grid as it is.
void Diary_CopyToStore(const DiaryPage& page, AppState& app);

// Sorts the task rows by time of day, whole rows moving together and rows of equal
// time keeping their order. Rows without a time sort after every time (as 23:59)
// and keep their empty time; a task entered at 23:59 keeps its time.
void Diary_SortToDo(GridModel& fg);
