// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/holidays.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Weekdays as the holiday rules count them: 1 = Sunday .. 7 = Saturday.
enum Weekday { Sunday = 1, Monday, Tuesday };

int weekday(const QDate& d) {
    return d.dayOfWeek() % 7 + 1;
}

// True when `d` is the `nth` `wd` of its month (2, Monday = the second Monday).
bool isNth(const QDate& d, int nth, int wd) {
    return (d.day() - 1) / 7 + 1 == nth && weekday(d) == wd;
}

// The equinox days follow the usual approximation, with its constants changing
// at 1980 and 2100; outside 1948..2150 no day is predicted.
int equinoxDay(int year, bool autumn) {
    double c;
    int q;
    if (year >= 1948 && year <= 1979) {
        c = autumn ? 23.2588 : 20.8357;
        q = year - 1983;
    } else if (year >= 1980 && year <= 2099) {
        c = autumn ? 23.2488 : 20.8431;
        q = year - 1980;
    } else if (year >= 2100 && year <= 2150) {
        c = autumn ? 24.2488 : 21.851;
        q = year - 1980;
    } else {
        return 99;
    }
    return static_cast<int>(std::trunc(c + 0.242194 * (year - 1980) - std::trunc(q / 4.0)));
}

QString substituteHoliday() {
    return u"振替休日"_s;
}
QString citizensHoliday() {
    return u"国民の休日"_s;
}

// Holidays up to the end of 2006, when a holiday on a Sunday moved only to the
// Monday after it and 4 May was a rest day only as a weekday between two holidays.
QString nameUpTo2006(const QDate& d) {
    const int y = d.year();
    const int dd = d.day();
    switch (d.month()) {
    case 1:
        if (dd == 1)
            return u"元日"_s;
        if (y >= 2000 ? isNth(d, 2, Monday) : dd == 15)
            return u"成人の日"_s;
        break;
    case 2:
        if (dd == 11 && y >= 1967)
            return u"建国記念の日"_s;
        if (d == QDate(1989, 2, 24))
            return u"昭和天皇の大喪の礼"_s;
        break;
    case 3:
        if (dd == Shunbun_Day(y))
            return u"春分の日"_s;
        break;
    case 4:
        if (dd == 29)
            return y < 1989 ? u"天皇誕生日"_s : u"みどりの日"_s;
        if (d == QDate(1959, 4, 10))
            return u"皇太子明仁親王の結婚の儀"_s;
        break;
    case 5:
        if (dd == 3)
            return u"憲法記念日"_s;
        if (dd == 4 && weekday(d) > Monday && y >= 1986)
            return citizensHoliday();
        if (dd == 5)
            return u"子供の日"_s;
        break;
    case 6:
        if (d == QDate(1993, 6, 9))
            return u"皇太子徳仁親王の結婚の儀"_s;
        break;
    case 7:
        if (y >= 2003 ? isNth(d, 3, Monday) : y >= 1996 && dd == 20)
            return u"海の日"_s;
        break;
    case 9:
        if (dd == Shuubun_Day(y))
            return u"秋分の日"_s;
        if (y >= 2003) {
            if (isNth(d, 3, Monday))
                return u"敬老の日"_s;
            if (weekday(d) == Tuesday && dd == Shuubun_Day(y) - 1)
                return citizensHoliday();
        } else if (y >= 1966 && dd == 15) {
            return u"敬老の日"_s;
        }
        break;
    case 10:
        if (y >= 2000 ? isNth(d, 2, Monday) : y >= 1966 && dd == 10)
            return u"体育の日"_s;
        break;
    case 11:
        if (dd == 3)
            return u"文化の日"_s;
        if (dd == 23)
            return u"勤労感謝の日"_s;
        if (d == QDate(1990, 11, 12))
            return u"即位礼正殿の儀"_s;
        break;
    case 12:
        if (dd == 23 && y >= 1989)
            return u"天皇誕生日"_s;
        break;
    }
    return {};
}

// Named holidays from 2007 on. The Olympic years 2020 and 2021 moved 海の日,
// スポーツの日 and 山の日 to the days around the games.
QString nameFrom2007(const QDate& d) {
    const int y = d.year();
    const int dd = d.day();
    const bool olympic = y == 2020 || y == 2021;
    switch (d.month()) {
    case 1:
        if (dd == 1)
            return u"元日"_s;
        if (isNth(d, 2, Monday))
            return u"成人の日"_s;
        break;
    case 2:
        if (dd == 11)
            return u"建国記念の日"_s;
        if (dd == 23 && y >= 2020)
            return u"天皇誕生日"_s;
        break;
    case 3:
        if (dd == Shunbun_Day(y))
            return u"春分の日"_s;
        break;
    case 4:
        if (dd == 29)
            return u"昭和の日"_s;
        break;
    case 5:
        if (dd == 1 && y == 2019)
            return u"天皇の即位の日"_s;
        if (dd == 3)
            return u"憲法記念日"_s;
        if (dd == 4)
            return u"みどりの日"_s;
        if (dd == 5)
            return u"子供の日"_s; // 子供の日 in every year, as before 2007
        break;
    case 7:
        if (olympic ? dd == (y == 2020 ? 23 : 22) : isNth(d, 3, Monday))
            return u"海の日"_s;
        if (olympic && dd == (y == 2020 ? 24 : 23))
            return u"スポーツの日"_s;
        break;
    case 8:
        if (y >= 2016 && dd == (y == 2020 ? 10 : y == 2021 ? 8 : 11))
            return u"山の日"_s;
        break;
    case 9:
        if (isNth(d, 3, Monday))
            return u"敬老の日"_s;
        if (dd == Shuubun_Day(y))
            return u"秋分の日"_s;
        break;
    case 10:
        if (isNth(d, 2, Monday) && !olympic)
            return y < 2020 ? u"体育の日"_s : u"スポーツの日"_s;
        if (dd == 22 && y == 2019)
            return u"即位礼正殿の儀"_s;
        break;
    case 11:
        if (dd == 3)
            return u"文化の日"_s;
        if (dd == 23)
            return u"勤労感謝の日"_s;
        break;
    case 12:
        if (dd == 23 && y <= 2018)
            return u"天皇誕生日"_s;
        break;
    }
    return {};
}

} // namespace

int Shunbun_Day(int year) {
    return equinoxDay(year, false);
}

int Shuubun_Day(int year) {
    return equinoxDay(year, true);
}

QString Holiday_Name(const QDate& d) {
    if (!d.isValid() || d < QDate(1948, 7, 20))
        return {};
    return d.year() <= 2006 ? nameUpTo2006(d) : nameFrom2007(d);
}

QString Holiday_Get(const QDate& d) {
    QString name = Holiday_Name(d);
    if (!name.isEmpty() || !d.isValid())
        return name;

    const bool afterHoliday = !Holiday_Name(d.addDays(-1)).isEmpty();
    if (d.year() <= 2006) {
        const bool substitute = weekday(d) == Monday && d >= QDate(1973, 4, 12) && afterHoliday;
        return substitute ? substituteHoliday() : QString();
    }

    // A holiday on a Sunday passes to the first following day that is no holiday itself.
    for (QDate p = d.addDays(-1); !Holiday_Name(p).isEmpty(); p = p.addDays(-1)) {
        if (weekday(p) == Sunday)
            return substituteHoliday();
    }
    // A day squeezed between two holidays is a rest day too.
    if (afterHoliday && !Holiday_Name(d.addDays(1)).isEmpty())
        return citizensHoliday();
    return {};
}
