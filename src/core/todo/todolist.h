// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

#include <vector>

class AppState;
class GridModel;
class YearStore;

// The ToDo list: every item of a range of days of the year in one table, one row per
// item: the row number, done, the day's date text, time, category and text. A hidden
// last column tells which item shown the row was filled from (empty for a row added
// in the list).
namespace ToDoList {
inline constexpr int NumberCol = 0, DoneCol = 1, DateCol = 2, TimeCol = 3, CategoryCol = 4,
                     TextCol = 5, OriginCol = 6;
} // namespace ToDoList

// What a list was filled with: its range and every item shown, with its day (store
// row) and the item as a day string holds it.
struct ToDoShown {
    struct Item {
        int day = 0;
        QString item;
    };
    QDate from, to;
    int baseYear = 0;
    std::vector<Item> items;

    bool isEmpty() const { return !from.isValid(); }
};

// Lays out an empty list: the six columns with their headings and widths, the
// category drop-down, the heading row only.
void ToDo_GridInit(GridModel& fg);

// Fills the list with the items of the days `from`..`to` of the year in `store`, in
// day order and, within a day, in stored order, and tells in `shown` what it was
// filled with. False (the list unchanged) when `from` lies after `to`. A range
// without items shows one empty row.
bool ToDo_ListShow(GridModel& fg, const YearStore& store, int baseYear, const QDate& from,
                   const QDate& to, ToDoShown* shown = nullptr);
// The same for the current document.
bool ToDo_ListShow(GridModel& fg, const AppState& app, const QDate& from, const QDate& to,
                   ToDoShown* shown = nullptr);

// What a save did: saved, or the list row whose date is not a day of the year.
struct ToDoSave {
    bool saved = false;
    int badRow = -1;
};

// Writes back what was changed in the list since it was filled (`shown`), merged with
// what the year holds now: every day of the range gets the items that stand in the
// list for it, in list order — a row not changed in the list stands for the item as
// the year holds it now, and for nothing when that item was changed or removed
// elsewhere — followed by the day's items that were not shown (added or changed
// elsewhere since). An item deleted in the list is removed; a row moved to a day
// outside the range is added after that day's items. Rows without text are no items.
// A day is written only when its items change. When a row has a date that is not a day
// of the year, nothing at all is stored.
ToDoSave ToDo_ListSave(const GridModel& fg, const ToDoShown& shown, YearStore& store);

// The seven orders of the list, as the sort menu offers them.
enum class ToDoOrder { DateUp, DateDown, OpenFirst, DoneFirst, Category, TextUp, TextDown };
// Sorts the list (stable: rows equal in every key keep their order) and numbers the
// rows again. Dates and times compare as such, texts by their code page 932 bytes.
void ToDo_Sort(GridModel& fg, ToDoOrder order);

// Numbers the rows 1, 2, … in the first column.
void ToDo_Renumber(GridModel& fg);
// An empty row (no date, not done) inserted at `row`; the rows from there move down.
void ToDo_InsertRow(GridModel& fg, int row);
