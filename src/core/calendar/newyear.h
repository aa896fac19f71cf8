// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A new year: the operation above the year store and the holiday rules that fills a
// store with its days and its holidays.

class AppState;
class QDate;
class YearStore;

// Fills `store` for a new document of `baseYear`: headings, dates, weekdays, weekday
// colours, holidays and the mark of `today`'s row (none for an invalid date), and a
// new document identity.
void Store_New(YearStore& store, int baseYear, const QDate& today);
// The current document becomes a new, unchanged year of `baseYear`, the current date's
// row marked as today's (today's, when the current date lies outside that year).
void Store_New(AppState& app, int baseYear);
