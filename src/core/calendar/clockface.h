// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QPoint>
#include <QString>
#include <QTime>

class YearStore;

// The analogue clock of the calendar window: hand geometry and hand colours.
namespace ClockFace {

struct Hands {
    QPoint hour, minute, second; // offsets from the centre, y downwards
};

// Hour hand 30, minute hand 40, second hand 25 pixels long; angles rounded half to
// even as the clock always has.
Hands hands(const QTime& t);

struct HandColors {
    int hour, minute, second; // indices of the 16-colour palette
};

// Today outside the document year: hour and minute hands blue, second hand red.
// Otherwise every hand in the colour of today's ToDo alarm level.
HandColors handColors(const QDateTime& now, const YearStore& store, int baseYear);

bool todayInYear(const QDate& today, int baseYear);

// What a screen reader says of the clock: the time to the minute and how close
// today's next ToDo item is (the alarm level of the hands).
QString spoken(const QTime& t, int alarmLevel);

} // namespace ClockFace
