// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

class YearStore;

// Japanese public holidays, computed by rule from 20 July 1948 on.
// The names follow the law as it stands today, except that 5 May is 子供の日 in
// every year.

// Day of March of the spring equinox holiday of `year`; 99 outside 1948..2150.
int Shunbun_Day(int year);
// Day of September of the autumn equinox holiday of `year`; 99 outside 1948..2150.
int Shuubun_Day(int year);

// Name of the holiday on `d` under the fixed and weekday rules only (no substitute
// holiday, no citizens' holiday between two holidays from 2007 on); empty when none.
QString Holiday_Name(const QDate& d);

// Name of the holiday on `d`, the substitute holiday and the citizens' holiday
// included; empty when `d` is no holiday.
QString Holiday_Get(const QDate& d);

// Rows 1..366 of the store: Events := the holiday name of the row's date, and
// WeekdayFore := 255 where a name was written.
void Holiday_Fill(YearStore& store);
