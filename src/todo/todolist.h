#pragma once

#include <QDate>
#include <QString>

class AppState;
class GridModel;

// The ToDo list: every item of a range of days of the year in one table, one row per
// item: the row number, done, the day's date text, time, category and text.
namespace ToDoList {
inline constexpr int NumberCol = 0, DoneCol = 1, DateCol = 2, TimeCol = 3, CategoryCol = 4,
                     TextCol = 5;
} // namespace ToDoList

// Lays out an empty list: the six columns with their headings and widths, the
// category drop-down, the heading row only.
void ToDo_GridInit(GridModel& fg);

// Fills the list with the items of the days `from`..`to` of the document year, in day
// order and, within a day, in stored order. False (the list unchanged) when `from`
// lies after `to`. A range without items shows one empty row.
bool ToDo_ListShow(GridModel& fg, const AppState& app, const QDate& from, const QDate& to);

// What a save did: saved, or the list row whose date is not a day of the year.
struct ToDoSave {
    bool saved = false;
    int badRow = -1;
};

// Writes the list back for the range `from`..`to` it was shown for: every day of the
// range gets exactly the items that stand in the list for it, in list order (a day
// whose rows were all deleted ends with none); a row moved to a day outside the range
// is added after that day's stored items. Rows without text are no items. When a row
// has a date that is not a day of the year, nothing at all is stored.
ToDoSave ToDo_ListSave(const GridModel& fg, AppState& app, const QDate& from, const QDate& to);

// The seven orders of the list, as the sort menu offers them.
enum class ToDoOrder { DateUp, DateDown, OpenFirst, DoneFirst, Category, TextUp, TextDown };
// Sorts the list (stable: rows equal in every key keep their order) and numbers the
// rows again. Dates and times compare as such, texts by their code page 932 bytes.
void ToDo_Sort(GridModel& fg, ToDoOrder order);

// Numbers the rows 1, 2, … in the first column.
void ToDo_Renumber(GridModel& fg);
// An empty row (no date, not done) inserted at `row`; the rows from there move down.
void ToDo_InsertRow(GridModel& fg, int row);
