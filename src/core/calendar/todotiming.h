// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTime>

class YearStore;

// How close today's earliest open timed ToDo item is, as a colour index of the
// classic 16-colour palette: 1 blue (no ToDo text today), 12 bright red (already
// past), 13 bright magenta (due in under 30 minutes), 14 yellow (30 minutes to under
// an hour), 2 green (1 to 2 hours), 0 black (2 hours or more, or no open timed item).
enum ToDoAlarmLevel {
    AlarmNone = 0,
    AlarmEmpty = 1,
    AlarmTwoHours = 2,
    AlarmPast = 12,
    AlarmHalfHour = 13,
    AlarmHour = 14,
};

// The alarm level at time of day `t` for today (from the program's clock) in the
// store of the year that starts in April `baseYear`.
int ToDo_Alarm(const QTime& t, const YearStore& store, int baseYear);
// The same for a given store row.
int ToDo_AlarmForRow(const QTime& t, const YearStore& store, int row);

// The number of open items ("|0") in the ToDo text of a store row.
int ToDo_Count(const YearStore& store, int row);
