// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/clockface.h"

#include "core/calendar/todotiming.h"
#include "core/time/dates.h"

#include <cmath>

namespace ClockFace {

namespace {

constexpr double Radian = 3.141592 / 180.0;

QPoint offset(double angle, int length) {
    const double a = (90.0 - angle) * Radian;
    return QPoint(int(std::nearbyint(std::cos(a) * length)),
                  int(std::nearbyint(std::sin(a) * -length)));
}

} // namespace

Hands hands(const QTime& t) {
    const double hourAngle = std::nearbyint((t.hour() % 12) * 30 + t.minute() / 2.0);
    return {offset(hourAngle, 30), offset(t.minute() * 6.0, 40), offset(t.second() * 6.0, 25)};
}

bool todayInYear(const QDate& today, int baseYear) {
    return today.month() > 3 ? today.year() == baseYear : today.year() - 1 == baseYear;
}

HandColors handColors(const QDateTime& now, const YearStore& store, int baseYear) {
    if (!todayInYear(now.date(), baseYear))
        return {1, 1, 12};
    const int row = Dates::rowOfDate(now.date(), baseYear);
    const int level = ToDo_AlarmForRow(now.time(), store, row);
    return {level, level, level};
}

QString spoken(const QTime& t, int alarmLevel) {
    QString s = QStringLiteral("時計 %1時%2分").arg(t.hour()).arg(t.minute());
    switch (alarmLevel) {
    case AlarmPast:
        return s + QStringLiteral(" 時刻を過ぎたToDoがあります");
    case AlarmHalfHour:
        return s + QStringLiteral(" 30分以内のToDoがあります");
    case AlarmHour:
        return s + QStringLiteral(" 1時間以内のToDoがあります");
    case AlarmTwoHours:
        return s + QStringLiteral(" 2時間以内のToDoがあります");
    default:
        return s;
    }
}

} // namespace ClockFace
