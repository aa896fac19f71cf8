// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

#include <array>

class AppState;
class YearStore;

// What a month grid of 37 day cells (seven columns Sunday..Saturday, up to six lines)
// shows for the current month: one routine computes it for each of the four month
// grids (calendar window, and the small calendars of the diary, weekly and monthly
// views); each window applies it to its labels. Cells keep what the routine leaves
// alone from their previous painting.
namespace MonthPaint {

enum class Variant { Diary, Weekly, Monthly, Calendar };

// Colours as stored (red in the low byte).
inline constexpr quint32 White = 0xFFFFFF;
inline constexpr quint32 LoadLight = 185 | (251 << 8) | (242u << 16); // 1–2 open items
inline constexpr quint32 LoadMedium = 255 | (255 << 8);               // 3–5 open items
inline constexpr quint32 LoadHeavy = 255 | (179 << 8) | (179u << 16); // 6 or more
inline constexpr quint32 Today = 104 | (221 << 8) | (116u << 16);
inline constexpr quint32 SystemWindow = 0x80000005;

enum class Opacity { Keep, Opaque, Transparent };

struct Cell {
    QString caption; // the day number, or empty for a cell outside the month
    int row = -1;    // the day's store row, -1 for an empty cell
    // What a screen reader says of the cell: "12月8日 火曜日", the day's events and
    // "ToDo 3件" while it has open items; empty for a cell outside the month.
    QString spoken;
    bool setTextColor = false;
    quint32 textColor = 0;
    bool setTip = false;
    QString tip;
    bool setBack = false; // false: the background stays as it was
    quint32 back = White;
    Opacity opacity = Opacity::Keep;
    // The monthly view's day text box.
    bool textBoxVisible = false;
    QString text;
    quint32 textFore = 0;
    quint32 textBack = SystemWindow;
};

struct Month {
    QString monthCaption; // "4月"
    QString yearCaption;  // "2005"
    std::array<Cell, 37> cells;
    // Diary and weekly: the cell of the current day, marked last with the current-day
    // colour (-1 when the current day is not in the month).
    int todayCell = -1;
    // Diary only: "4月" and "10日".
    QString monthText;
    QString dayText;
};

// The load colour of a day with `open` open items (n ≥ 1).
quint32 loadColor(int open);

// What a day's open ToDo items make of its cell: white and see-through without open
// items (also when every item is done), the load colour and opaque with them.
struct DayLoad {
    quint32 back = White;
    bool opaque = false;
};
DayLoad dayLoad(const YearStore& store, int row);

// The spoken name of a day: date, weekday, its events on one line and the number of
// open ToDo items.
QString spokenDay(const QDate& date, const QString& events, int openItems);

Month paint(Variant variant, const AppState& app);

} // namespace MonthPaint
