// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Carrying the open ToDo items at the end of one year into the next: a new year starts
// with the tasks the old one left undone on its 1 April.

#include <QDate>
#include <QString>

#include <vector>

class YearStore;

// An open ToDo item of the old year, with its day.
struct CarryItem {
    QDate date;
    QString time;
    QString category;
    QString text;
};

// The year of a store: the calendar year of its 1 April, as the corner cell holds it.
int Carry_BaseYear(const YearStore& store);

// Whether a year of `oldBaseYear` can give its open items to a new year of
// `newBaseYear`: only the year immediately before can.
bool Carry_IsYearBefore(int oldBaseYear, int newBaseYear);

// The day the carried items are taken from by default: the first day of the old
// year's last month (1 March of the calendar year after its base year).
QDate Carry_DefaultSince(int oldBaseYear);

// The open items of `old` dated `since` or later, in date order and, within a day, in
// stored order. An item without a text is no item (the day grids leave such rows
// out). A `since` before the year's first day takes the whole year.
std::vector<CarryItem> Carry_OpenItems(const YearStore& old, const QDate& since);

// Whether `old` holds any open item at all.
bool Carry_HasOpenItems(const YearStore& old);

// What a carry-over did: the items added to 1 April, those left out because 1 April
// holds the same task already (the same time, category and text, done or not), and
// why nothing was added when the day could not take them.
struct CarryResult {
    int added = 0;
    int present = 0;
    QString refusal; // empty when the items could be written

    bool ok() const { return refusal.isEmpty(); }
};

// Appends `items` (open, with their time, category and text) to the ToDo items of
// 1 April in `year`, after what the day holds. Nothing is carried twice: an item the
// day holds already, or one given twice, is added once at most, so carrying the same
// items again adds nothing. When the day's text would grow past what a document may
// hold, nothing is written and `refusal` says why, in Japanese.
CarryResult Carry_Add(YearStore& year, const std::vector<CarryItem>& items);
