// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/calendar/monthpaint.h"
#include "core/grid/gridmodel.h"
#include "core/pages/diarypage.h"

#include <QDate>

#include <array>

class AppState;

// One day of the week page: its events, its ToDo grid and (Monday to Saturday) the
// titles of its seven time slots.
struct WeeklyDay {
    WeeklyDay();

    QDate date;
    int row = 0; // store row; a day outside 1..366 is not part of the year
    PageBox events;
    std::array<PageBox, 7> slots;
    GridModel todo;

    bool inYear() const;
};

// The week (Sunday to Saturday) of the current date.
struct WeeklyPage {
    std::array<WeeklyDay, 7> days;
};

// The heading of a day of the week: "5月10日", in the day's colour, on its ToDo load.
struct WeeklyHead {
    QString caption;
    QDate date;
    bool setTextColor = false;
    quint32 textColor = 0;
    MonthPaint::DayLoad load;
};

// Store row of the Sunday of the current date's week (below 1 in the first week of
// April).
int Weekly_SundayRow(const AppState& app);

// Lays out a day's ToDo grid: the done box and the task (time and category are kept
// but not shown), ten task rows with an unticked check box each.
void Weekly_GridInit(GridModel& wfg);

// The week's rows → the page. Days outside the year get empty boxes and grids.
void Weekly_Load(WeeklyPage& page, const AppState& app);

// The page → the week's rows; nothing is written for days outside the year. The ToDo
// grids are emptied.
void Weekly_ToStore(WeeklyPage& page, AppState& app);
// The same, leaving the ToDo grids as they are.
void Weekly_CopyToStore(const WeeklyPage& page, AppState& app);

// The seven headings of the current date's week. Days outside the year get their
// caption only, on white.
std::array<WeeklyHead, 7> Weekly_Heads(const AppState& app);

// The day a click on the heading of `d` opens in the diary. A day of the document
// year opens itself. A day outside it is read as its caption reads, month and day,
// with the year that month has in the document year (the following 1 April opens 1
// April of the year itself).
QDate Weekly_HeadingDate(const QDate& d, int baseYear);
