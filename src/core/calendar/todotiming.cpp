// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/todotiming.h"

#include "core/store/yearstore.h"
#include "core/time/clock.h"
#include "core/time/dates.h"

namespace {

// Two characters that form a number (digits with optional blanks around them).
int twoDigits(QStringView s) {
    bool ok = false;
    const int v = s.trimmed().toInt(&ok);
    return ok ? v : -1;
}

} // namespace

int ToDo_AlarmForRow(const QTime& t, const YearStore& store, int row) {
    if (row < 1 || row > YearStore::DayRows)
        return AlarmEmpty;
    const QString s = store.text(row, StoreCol::ToDo);
    if (s.isEmpty())
        return AlarmEmpty;
    // An open timed item reads "|0,hh:mm,...": the hour at offsets 3..4 from the
    // bar and the minute at 6..7, with at least one character after them.
    constexpr int LatestSecs = 23 * 3600 + 59 * 60 + 59;
    int earliest = LatestSecs;
    const qsizetype n = s.size();
    for (qsizetype i = 0; i + 8 < n; ++i) {
        if (s[i] != u'|' || s[i + 1] != u'0')
            continue;
        const int h = twoDigits(QStringView(s).mid(i + 3, 2));
        const int m = twoDigits(QStringView(s).mid(i + 6, 2));
        if (h < 0 || h > 23 || m < 0 || m > 59)
            continue;
        earliest = std::min(earliest, h * 3600 + m * 60);
    }
    if (earliest == LatestSecs)
        return AlarmNone;
    const double now = t.msecsSinceStartOfDay() / 1000.0;
    if (earliest < now)
        return AlarmPast;
    const double ahead = earliest - now;
    if (ahead < 30 * 60)
        return AlarmHalfHour;
    if (ahead < 60 * 60)
        return AlarmHour;
    if (ahead < 120 * 60)
        return AlarmTwoHours;
    return AlarmNone;
}

int ToDo_Alarm(const QTime& t, const YearStore& store, int baseYear) {
    return ToDo_AlarmForRow(t, store, Dates::rowOfDate(Clock::today(), baseYear));
}

int ToDo_Count(const YearStore& store, int row) {
    if (row < 1 || row > YearStore::DayRows)
        return 0;
    const QString s = store.text(row, StoreCol::ToDo);
    int count = 0;
    for (qsizetype i = 0; i + 1 < s.size(); ++i)
        if (s[i] == u'|' && s[i + 1] == u'0')
            ++count;
    return count;
}
