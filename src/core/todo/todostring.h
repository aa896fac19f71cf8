// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class GridModel;
class YearStore;

// A day's ToDo items travel as one text, the ToDo day string: every item is
// "|" + done flag + "," + time + "," + category + "," + text, one after the other.
struct ToDoItem {
    QString flag;     // "0" = open; any other text = done
    QString time;     // as typed, normally hh:mm
    QString category; // 最重 重要 普通 要軽, or typed text
    QString text;

    bool done() const { return flag != QStringLiteral("0"); }
};

// Splits a day string into its items. Every item and field is read, without limit:
// fields after the third belong to the text (a comma typed in the text) and are
// joined back with ",". Characters before the first "|" are ignored.
std::vector<ToDoItem> ToDo_Parse(const QString& dayString);

// One item as written into a day string. A "|" typed in any field is stored as the
// full-width "｜" and a "," typed in the time or category as "，", so no field can
// split the string; commas in the text are kept (the reader joins them back).
QString ToDo_ItemString(bool done, const QString& time, const QString& category,
                        const QString& text);

// The categories offered by the drop-down, in their sort order.
QStringList ToDo_Categories();
// The drop-down list text of the category column: "|最重|重要|普通|要軽".
QString ToDo_CategoryComboList();

// A ToDo grid (check box in column 0, time, category and text in columns 1..3, header
// in row 0) as a day string: rows with an empty text are left out.
QString ToDo_GridString(const GridModel& grid);

// Writes `dayString` as the ToDo items of store row `row` unless the row holds the
// same items already (the same done state, time, category and text each, in the same
// order, however they were written): showing a day and storing it back changes
// nothing. False when nothing was written.
bool ToDo_StoreDay(YearStore& store, int row, const QString& dayString);

// The shape of a day's ToDo grid (done box, time, category and task in columns 0..3,
// headers in row 0, ten task rows): the diary's shows every column; a weekly day's
// shows the done box and the task only and marks the task of a top-category item.
struct ToDoDayGrid {
    int rowHeight;        // twips
    bool timeAndCategory; // columns 1 and 2 shown (else kept at width 0)
    bool markTopCategory; // a "最優" item's task on light red
};
inline constexpr int ToDoDayTaskRows = 10;
inline constexpr ToDoDayGrid DiaryDayGrid{500, true, false};
inline constexpr ToDoDayGrid WeekDayGrid{300, false, true};
// Lays out an empty day grid of `shape`: columns, widths, headers, an unticked box in
// every task row; texts are left as they are.
void ToDo_DayGridInit(GridModel& grid, const ToDoDayGrid& shape);

// Moving a day's items between a store row and the diary's or a weekly day's ToDo
// grid. The loads leave the grid untouched when the day has no items and grow the
// grid to hold all of them; the saves write the row (also when empty: an empty grid
// clears the day) and reset the grid to empty rows with headers.
void ToDo_LoadDiary(GridModel& grid, const YearStore& store, int row);
void ToDo_SaveDiary(GridModel& grid, YearStore& store, int row);
void ToDo_LoadWeekDay(GridModel& grid, const YearStore& store, int row);
void ToDo_SaveWeekDay(GridModel& grid, YearStore& store, int row);

// A time of day as typed ("9:30", "930", "0930", "9時30分", "９：３０") in the
// stored form "hh:mm"; an empty text stays empty; a null string when the text is
// not a time of day.
QString ToDo_NormalizeTime(const QString& typed);

// Minutes after midnight of a stored "hh:mm" time; -1 for anything else (an empty
// time, a time typed in another form).
int ToDo_TimeMinutes(QStringView time);
