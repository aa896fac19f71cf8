// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pages/weeklypage.h"

#include "core/store/appstate.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"

namespace {

bool inYearRow(int row) {
    return row >= 1 && row <= YearStore::DayRows;
}

} // namespace

WeeklyDay::WeeklyDay() : todo(ToDoDayTaskRows + 1, 4) {
    Weekly_GridInit(todo);
}

bool WeeklyDay::inYear() const {
    return inYearRow(row);
}

int Weekly_SundayRow(const AppState& app) {
    return Store_DayRow(app) - (Dates::weekday(app.currentDate()) - 1);
}

void Weekly_GridInit(GridModel& wfg) {
    ToDo_DayGridInit(wfg, WeekDayGrid);
}

void Weekly_Load(WeeklyPage& page, const AppState& app) {
    using namespace StoreCol;
    const YearStore& s = app.store();
    const int sunday = Weekly_SundayRow(app);
    const QDate first = app.currentDate().addDays(-(Dates::weekday(app.currentDate()) - 1));
    for (int e = 0; e < 7; ++e) {
        WeeklyDay& day = page.days[size_t(e)];
        day.date = first.addDays(e);
        day.row = sunday + e;
        day.todo.clear();
        Weekly_GridInit(day.todo);
        if (!day.inYear()) {
            day.events = PageBox();
            day.slots.fill(PageBox());
            continue;
        }
        day.events = loadPageBox(s, day.row, Events);
        if (e > 0)
            for (int i = 0; i < 7; ++i)
                day.slots[size_t(i)] = loadPageBox(s, day.row, SlotItem1 + i);
        ToDo_LoadWeekDay(day.todo, s, day.row);
    }
}

void Weekly_CopyToStore(const WeeklyPage& page, AppState& app) {
    using namespace StoreCol;
    YearStore& s = app.store();
    const int sunday = Weekly_SundayRow(app);
    for (int e = 0; e < 7; ++e) {
        const WeeklyDay& day = page.days[size_t(e)];
        const int row = sunday + e;
        if (!inYearRow(row))
            continue;
        storePageBox(day.events, s, row, Events);
        ToDo_StoreDay(s, row, ToDo_GridString(day.todo));
        // The week's Sunday has no time slots on this page.
        if (e > 0)
            for (int i = 0; i < 7; ++i)
                storePageBox(day.slots[size_t(i)], s, row, SlotItem1 + i);
    }
}

void Weekly_ToStore(WeeklyPage& page, AppState& app) {
    Weekly_CopyToStore(page, app);
    const int sunday = Weekly_SundayRow(app);
    for (int e = 0; e < 7; ++e)
        if (inYearRow(sunday + e))
            ToDo_SaveWeekDay(page.days[size_t(e)].todo, app.store(), sunday + e);
}

std::array<WeeklyHead, 7> Weekly_Heads(const AppState& app) {
    std::array<WeeklyHead, 7> heads;
    const int sunday = Weekly_SundayRow(app);
    const QDate first = app.currentDate().addDays(-(Dates::weekday(app.currentDate()) - 1));
    for (int e = 0; e < 7; ++e) {
        WeeklyHead& h = heads[size_t(e)];
        h.date = first.addDays(e);
        h.caption = QString::number(h.date.month()) + QStringLiteral("月") +
                    QString::number(h.date.day()) + QStringLiteral("日");
        const int row = sunday + e;
        if (!inYearRow(row))
            continue;
        h.setTextColor = true;
        h.textColor = quint32(app.store().number(row, StoreCol::WeekdayFore));
        h.load = MonthPaint::dayLoad(app.store(), row);
    }
    return heads;
}

QDate Weekly_HeadingDate(const QDate& d, int baseYear) {
    const QDate start(baseYear, 4, 1);
    const QDate end(baseYear + 1, 3, 31);
    if (d >= start && d <= end)
        return d;
    return Dates::make(d.month() > 3 ? baseYear : baseYear + 1, d.month(), d.day());
}
