#include "core/search/search.h"

#include "core/search/wildcard.h"
#include "core/store/appstate.h"

QStringList Search_Days(const AppState& app, int first, int last, const Wildcard& pattern) {
    QStringList days;
    for (int d = std::max(first, 1); d <= std::min(last, YearStore::DayRows); ++d)
        for (int c = StoreCol::Weekday; c <= StoreCol::ToDo; ++c)
            if (pattern.matches(app.store().text(d, c))) {
                days.append(app.store().text(d, StoreCol::Date));
                break;
            }
    return days;
}
