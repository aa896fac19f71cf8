// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

// Calendar helpers shared by the store, the holidays and every view.
namespace Dates {

// Builds a date from year, month and day the way the program always has: a surplus
// day or month carries over (31 April gives 1 May, month 13 gives January of the
// next year, day 0 gives the last day of the month before).
QDate make(int year, int month, int day);

// 1 = Sunday .. 7 = Saturday.
int weekday(const QDate& d);

// "日" "月" "火" "水" "木" "金" "土" for Sunday..Saturday.
QString weekdayLetter(const QDate& d);

// The Date column's text form: always yyyy/MM/dd (2005/04/01), whatever the locale.
QString toStoreText(const QDate& d);

// Reads a Date column text back: a four-digit year, a month and a day separated by
// one non-digit character each ("2005/04/01", "2005-4-1"). Invalid date when not.
QDate fromStoreText(QStringView text);

// The day before the first day of a document year: 31 March of `baseYear`.
QDate yearOrigin(int baseYear);

// The days of the month of `d` that lie in the document year of `baseYear` (1 April
// to 31 March): its first and last day, kept within the year; a `d` outside the year
// gives the year's nearest month.
struct Period {
    QDate first, last;
};
Period monthInYear(const QDate& d, int baseYear);

// Store row of a date in the document year of `baseYear` (1 April = 1).
int rowOfDate(const QDate& d, int baseYear);
QDate dateOfRow(int row, int baseYear);

// The numeric value of a text as the program reads numbers from cells: leading
// blanks skipped, an optional sign, then digits up to the first other character;
// a text without leading digits gives 0.
qint64 numericValue(QStringView text);

} // namespace Dates
