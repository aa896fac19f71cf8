// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/holidays.h"

#include "core/store/yearstore.h"
#include "core/time/dates.h"

void Holiday_Fill(YearStore& store) {
    for (int r = 1; r <= YearStore::DayRows; ++r) {
        const QString name = Holiday_Get(Dates::fromStoreText(store.text(r, StoreCol::Date)));
        store.set(r, StoreCol::Events, name);
        if (!name.isEmpty())
            store.set(r, StoreCol::WeekdayFore, qint64(255));
    }
}
