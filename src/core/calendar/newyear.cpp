// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/newyear.h"

#include "core/calendar/holidays.h"
#include "core/store/appstate.h"
#include "core/store/yearstore.h"
#include "core/time/clock.h"
#include "core/time/dates.h"

namespace {

// The weekday cell's text colours: Sunday, Saturday, today.
constexpr qint64 ColorRed = 255;
constexpr qint64 ColorBlue = 16711680;
constexpr qint64 ColorMagenta = 16711935;

} // namespace

void Store_New(YearStore& s, int baseYear, const QDate& today) {
    using namespace StoreCol;
    s.clear();
    s.setDocumentId(QUuid::createUuid()); // a new document
    s.set(0, 0, qint64(baseYear));
    const auto& headings = storeHeadings();
    for (int c = 1; c < TextColumns; ++c)
        s.set(0, c, headings[size_t(c)]);
    const QDate origin = Dates::yearOrigin(baseYear);
    for (int n = 1; n <= YearStore::DayRows; ++n) {
        const QDate d = origin.addDays(n);
        s.set(n, Date, Dates::toStoreText(d));
        s.set(n, Weekday, Dates::weekdayLetter(d));
        const int wd = Dates::weekday(d);
        if (wd == 1)
            s.set(n, WeekdayFore, ColorRed);
        else if (wd == 7)
            s.set(n, WeekdayFore, ColorBlue);
        else
            s.set(n, WeekdayFore, StoreValue(QStringLiteral("0")));
    }
    Holiday_Fill(s);
    // Today's row is marked: today's month and day placed in the year.
    if (!today.isValid())
        return;
    const int year = today.month() > 3 ? baseYear : baseYear + 1;
    const int row = Dates::rowOfDate(Dates::make(year, today.month(), today.day()), baseYear);
    if (row >= 1 && row <= YearStore::DayRows)
        s.set(row, WeekdayFore, ColorMagenta);
}

void Store_New(AppState& app, int baseYear) {
    // The row marked is the current date's (the callers put it at today in the new
    // year); a current date outside the year marks today.
    QDate marked = app.currentDate();
    const int row = Dates::rowOfDate(marked, baseYear);
    if (!marked.isValid() || row < 1 || row > YearStore::DayRows)
        marked = Clock::today();
    YearStore year;
    Store_New(year, baseYear, marked);
    app.doc().replace(year);
}
