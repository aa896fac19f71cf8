// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/monthpaint.h"

#include "core/calendar/todotiming.h"
#include "core/store/appstate.h"
#include "core/time/dates.h"

namespace MonthPaint {

quint32 loadColor(int open) {
    if (open >= 6)
        return LoadHeavy;
    if (open >= 3)
        return LoadMedium;
    return LoadLight;
}

DayLoad dayLoad(const YearStore& store, int row) {
    const int open = ToDo_Count(store, row);
    if (open == 0)
        return {};
    return {loadColor(open), true};
}

QString spokenDay(const QDate& date, const QString& events, int openItems) {
    static const char16_t* const Weekdays[] = {u"月曜日", u"火曜日", u"水曜日", u"木曜日",
                                               u"金曜日", u"土曜日", u"日曜日"};
    QString s = QStringLiteral("%1月%2日 ").arg(date.month()).arg(date.day()) +
                QString::fromUtf16(Weekdays[date.dayOfWeek() - 1]);
    const QString oneLine = events.simplified();
    if (!oneLine.isEmpty())
        s += u' ' + oneLine.left(80);
    if (openItems > 0)
        s += QStringLiteral(" ToDo %1件").arg(openItems);
    return s;
}

namespace {

void clearCell(Cell& c, Variant v) {
    c = Cell();
    c.setBack = true;
    c.back = White;
    c.opacity = v == Variant::Calendar ? Opacity::Keep : Opacity::Transparent;
    c.setTip = v == Variant::Diary || v == Variant::Calendar;
    c.textBoxVisible = false;
}

// A day whose ToDo text holds only done items is painted as a day without ToDo text:
// both have no open item.
void applyLoad(Cell& c, const YearStore& store, int row, Variant v) {
    const DayLoad load = dayLoad(store, row);
    c.setBack = true;
    c.back = load.back;
    if (v == Variant::Calendar)
        c.opacity = Opacity::Keep;
    else
        c.opacity = load.opaque ? Opacity::Opaque : Opacity::Transparent;
}

} // namespace

Month paint(Variant v, const AppState& app) {
    Month m;
    m.monthCaption = QString::number(app.CurMonth) + QStringLiteral("月");
    m.yearCaption = QString::number(app.CurYear);
    const QDate first = Dates::make(app.CurYear, app.CurMonth, 1);
    const int r0 = Dates::rowOfDate(first, app.baseYear());
    const int k0 = Dates::weekday(first) - 1;
    const YearStore& store = app.store();
    for (int k = 0; k < k0; ++k)
        clearCell(m.cells[size_t(k)], v);
    const int days = first.daysInMonth();
    for (int d = 1; d <= days; ++d) {
        const int k = k0 + d - 1;
        const int r = r0 + d - 1;
        Cell& c = m.cells[size_t(k)];
        c.caption = QString::number(d);
        if (r < 1 || r > YearStore::DayRows) {
            // A day outside the document year (the views keep the date inside it).
            c.setBack = true;
            continue;
        }
        c.row = r;
        c.spoken = spokenDay(Dates::make(app.CurYear, app.CurMonth, d),
                             store.text(r, StoreCol::Events), ToDo_Count(store, r));
        if (v != Variant::Weekly) {
            c.setTextColor = true;
            c.textColor = quint32(store.number(r, StoreCol::WeekdayFore));
        }
        if (v == Variant::Diary || v == Variant::Calendar) {
            c.setTip = true;
            c.tip = store.text(r, StoreCol::Events);
        }
        if (v == Variant::Monthly) {
            c.textBoxVisible = true;
            c.text = store.text(r, StoreCol::Events);
            c.textFore = quint32(store.number(r, StoreCol::EventsFore));
            const quint32 back = quint32(store.number(r, StoreCol::EventsBack));
            c.textBack = back != 0 ? back : SystemWindow;
        }
        applyLoad(c, store, r, v);
        if ((v == Variant::Diary || v == Variant::Weekly) && d == app.CurDay)
            m.todayCell = k;
    }
    for (int k = k0 + days; k < 37; ++k)
        clearCell(m.cells[size_t(k)], v);
    if (v == Variant::Diary) {
        m.monthText = QString::number(app.CurMonth) + QStringLiteral("月");
        m.dayText = QString::number(app.CurDay) + QStringLiteral("日");
    }
    return m;
}

} // namespace MonthPaint
