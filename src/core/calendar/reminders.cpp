// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/reminders.h"

#include "core/calendar/clockface.h"
#include "core/calendar/todotiming.h"
#include "core/store/yearstore.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"

using namespace Qt::StringLiterals;

std::optional<Reminders::Message> Reminders::check(const QDateTime& now, const YearStore& store,
                                                   int baseYear) {
    const QDate today = now.date();
    if (!ClockFace::todayInYear(today, baseYear))
        return std::nullopt;
    const int row = Dates::rowOfDate(today, baseYear);
    const int level = ToDo_AlarmForRow(now.time(), store, row);
    if (level != AlarmHalfHour && level != AlarmPast)
        return std::nullopt;

    // The item the clock's colour stands for: the earliest open one with a time.
    const ToDoItem* earliest = nullptr;
    int earliestMinutes = 24 * 60;
    const std::vector<ToDoItem> items = ToDo_Parse(store.text(row, StoreCol::ToDo));
    for (const ToDoItem& item : items) {
        const int m = ToDo_TimeMinutes(item.time);
        if (!item.done() && m >= 0 && m < earliestMinutes) {
            earliest = &item;
            earliestMinutes = m;
        }
    }
    if (!earliest)
        return std::nullopt;

    const QString key = today.toString(Qt::ISODate) + u'|' + earliest->time + u'|' +
                        earliest->text + u'|' + QString::number(level);
    if (m_announced.contains(key))
        return std::nullopt;
    m_announced.insert(key);

    Message msg;
    msg.level = level;
    msg.title = level == AlarmHalfHour ? u"まもなくToDoの時刻です"_s : u"ToDoの時刻になりました"_s;
    msg.text = earliest->time + u"　"_s + earliest->text;
    return msg;
}
