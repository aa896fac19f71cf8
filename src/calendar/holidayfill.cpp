#include "calendar/holidays.h"

#include "grid/gridmodel.h"
#include "store/dates.h"
#include "store/yearstore.h"

void Holiday_Fill(YearStore& store) {
    for (int r = 1; r <= YearStore::DayRows; ++r) {
        const QString name = Holiday_Get(Dates::fromStoreText(store.text(r, StoreCol::Date)));
        store.set(r, StoreCol::Events, name);
        if (!name.isEmpty())
            store.set(r, StoreCol::WeekdayFore, qint64(255));
    }
}

void Holiday_Grid(GridModel& grid) {
    constexpr quint32 BrightRed = 0x0000FF; // palette colour 12, red in the low byte
    grid.beginBulkEdit();
    for (int r = 1; r < grid.rows(); ++r) {
        grid.setTextMatrix(r, 2, Holiday_Get(Dates::fromStoreText(grid.textMatrix(r, 0))));
        if (!grid.textMatrix(r, 2).isEmpty())
            grid.setForeColorAt(r, 1, BrightRed);
    }
    grid.endBulkEdit();
}
