// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pages/monthlypage.h"

#include "core/store/appstate.h"
#include "core/time/dates.h"

void Monthly_ToStore(const MonthlyPage& page, AppState& app) {
    using namespace StoreCol;
    const QDate first = Dates::make(app.CurYear, app.CurMonth, 1);
    const int r1 = Dates::rowOfDate(first, app.baseYear());
    const int k = Dates::weekday(first) - 1;
    for (int d = 1; d <= first.daysInMonth(); ++d) {
        const int row = r1 + d - 1;
        const int cell = k + d - 1;
        if (row < 1 || row > YearStore::DayRows || cell >= 37)
            continue;
        const PageBox& box = page.boxes[size_t(cell)];
        app.store().set(row, Events, box.text);
        storeBoxBack(box.back, app.store(), row, EventsBack);
        app.store().set(row, EventsFore, qint64(box.fore));
        if (page.dateColorSet[size_t(cell)])
            app.store().set(row, WeekdayFore, qint64(page.dateColors[size_t(cell)]));
    }
}
