// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/todo/carryover.h"

#include "core/store/doclimits.h"
#include "core/store/yearstore.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The store row of the year's last day, 31 March.
int lastDayRow(int baseYear) {
    return std::min(Dates::rowOfDate(QDate(baseYear + 1, 3, 31), baseYear), YearStore::DayRows);
}

// The same task: what an item string keeps of its time, category and text.
bool sameTask(const ToDoItem& a, const ToDoItem& b) {
    return a.time == b.time && a.category == b.category && a.text == b.text;
}

} // namespace

int Carry_BaseYear(const YearStore& store) {
    // A 16-bit year, as the document reads it.
    return int(qint16(store.number(0, 0)));
}

bool Carry_IsYearBefore(int oldBaseYear, int newBaseYear) {
    return oldBaseYear == newBaseYear - 1;
}

QDate Carry_DefaultSince(int oldBaseYear) {
    return QDate(oldBaseYear + 1, 3, 1);
}

std::vector<CarryItem> Carry_OpenItems(const YearStore& old, const QDate& since) {
    const int baseYear = Carry_BaseYear(old);
    std::vector<CarryItem> items;
    if (!since.isValid())
        return items;
    const int last = lastDayRow(baseYear);
    for (int row = std::max(Dates::rowOfDate(since, baseYear), 1); row <= last; ++row) {
        const QString day = old.text(row, StoreCol::ToDo);
        if (day.isEmpty())
            continue;
        const QDate date = Dates::dateOfRow(row, baseYear);
        for (ToDoItem& item : ToDo_Parse(day))
            if (!item.done() && !item.text.isEmpty())
                items.push_back(
                    {date, std::move(item.time), std::move(item.category), std::move(item.text)});
    }
    return items;
}

bool Carry_HasOpenItems(const YearStore& old) {
    const int last = lastDayRow(Carry_BaseYear(old));
    for (int row = 1; row <= last; ++row)
        for (const ToDoItem& item : ToDo_Parse(old.text(row, StoreCol::ToDo)))
            if (!item.done() && !item.text.isEmpty())
                return true;
    return false;
}

CarryResult Carry_Add(YearStore& year, const std::vector<CarryItem>& items) {
    constexpr int FirstDay = 1; // 1 April
    CarryResult result;
    const QString now = year.text(FirstDay, StoreCol::ToDo);
    std::vector<ToDoItem> held = ToDo_Parse(now);
    QString next = now;
    for (const CarryItem& c : items) {
        // Compared as the day would hold it (a "|" typed becomes "｜").
        const QString written = ToDo_ItemString(false, c.time, c.category, c.text);
        const ToDoItem item = ToDo_Parse(written).front();
        if (std::any_of(held.begin(), held.end(),
                        [&](const ToDoItem& h) { return sameTask(h, item); })) {
            ++result.present;
            continue;
        }
        held.push_back(item);
        next += written;
        ++result.added;
    }
    if (result.added == 0)
        return result;
    const QString refusal = DocLimits::refusal(year, {{FirstDay, int(StoreCol::ToDo), next}});
    if (!refusal.isEmpty()) {
        result.refusal = refusal;
        result.added = 0;
        return result;
    }
    ToDo_StoreDay(year, FirstDay, next);
    return result;
}
