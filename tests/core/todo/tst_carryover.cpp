// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/newyear.h"
#include "core/store/yearstore.h"
#include "core/time/dates.h"
#include "core/todo/carryover.h"
#include "core/todo/todostring.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// An item as the test wrote it into a day of the old year.
struct Written {
    QDate date;
    bool done;
    QString time, category, text;
};

// "date/time/category/text" lines, so whole lists compare in one go.
QString line(const QDate& d, const QString& time, const QString& category, const QString& text) {
    return Dates::toStoreText(d) + u'/' + time + u'/' + category + u'/' + text;
}

QStringList describe(const std::vector<CarryItem>& items) {
    QStringList out;
    for (const CarryItem& c : items)
        out.append(line(c.date, c.time, c.category, c.text));
    return out;
}

// 1 April's items as "flag/time/category/text".
QStringList firstDay(const YearStore& year) {
    QStringList out;
    for (const ToDoItem& i : ToDo_Parse(year.text(1, StoreCol::ToDo)))
        out.append(i.flag + u'/' + i.time + u'/' + i.category + u'/' + i.text);
    return out;
}

// A "|" typed is stored as "｜", and in the time and category a "," as "，".
QString stored(QString s, bool commas) {
    s.replace(u'|', u'｜');
    if (commas)
        s.replace(u',', u'，');
    return s;
}

} // namespace

class TestCarryOver : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void carriesTheOpenItemsOnceIntoTheNewYear();
    void aFirstDayThatCannotTakeThemIsLeftAsItWas();
};

// Old years of random base years (leap and not) with open and done items on random
// days — 1 April, 1 March, 29 February, 31 March and the row after it among them —,
// the same task on several days, commas and bars in every field, items without a text.
// For each: what is offered from a random day on, what 1 April of the new year (empty,
// or holding some of the tasks already) holds after carrying them, and after carrying
// them again.
void TestCarryOver::carriesTheOpenItemsOnceIntoTheNewYear() {
    QCOMPARE(Carry_DefaultSince(2025), QDate(2026, 3, 1));
    QVERIFY(Carry_IsYearBefore(2025, 2026));
    QVERIFY(!Carry_IsYearBefore(2026, 2026) && !Carry_IsYearBefore(2024, 2026));

    const QStringList times{QString(), u"09:00"_s, u"18:30"_s, u"9時,半"_s};
    const QStringList categories{QString(), u"普通"_s, u"最重"_s, u"重|要"_s};
    const QStringList texts{u"報告書, 提出"_s, u"a|b"_s, u"買い物"_s, QString(), u"x,y,z"_s};
    for (quint32 seed = 1; seed <= 80; ++seed) {
        QRandomGenerator rng(seed);
        const int base = 2001 + rng.bounded(30);
        YearStore old;
        Store_New(old, base, QDate());
        const int lastRow = Dates::rowOfDate(QDate(base + 1, 3, 31), base);
        std::vector<int> days{1, Dates::rowOfDate(QDate(base + 1, 3, 1), base), lastRow,
                              Dates::rowOfDate(QDate(base + 1, 3, 1), base) - 1, 366};
        for (int n = rng.bounded(12); n > 0; --n)
            days.push_back(1 + rng.bounded(YearStore::DayRows));
        std::sort(days.begin(), days.end());
        days.erase(std::unique(days.begin(), days.end()), days.end());
        std::vector<Written> written;
        for (const int row : days) {
            QString day;
            for (int k = rng.bounded(5); k > 0; --k) {
                const Written w{Dates::dateOfRow(row, base), rng.bounded(3) == 0,
                                times[rng.bounded(int(times.size()))],
                                categories[rng.bounded(int(categories.size()))],
                                texts[rng.bounded(int(texts.size()))]};
                day += ToDo_ItemString(w.done, w.time, w.category, w.text);
                written.push_back(w);
            }
            old.set(row, StoreCol::ToDo, day);
        }
        const YearStore untouched = old;

        // Offered: exactly the open items with a text from `since` to 31 March.
        const QDate yearEnd(base + 1, 3, 31);
        const QDate pick[] = {Carry_DefaultSince(base), QDate(base, 4, 1), yearEnd,
                              QDate(base, 4, 1).addDays(rng.bounded(365)), QDate(base, 1, 1)};
        const QDate since = pick[rng.bounded(5)];
        QStringList expected;
        bool anyOpen = false;
        for (const Written& w : written) {
            if (w.done || w.text.isEmpty() || w.date > yearEnd)
                continue;
            anyOpen = true;
            if (w.date >= since)
                expected.append(line(w.date, stored(w.time, true), stored(w.category, true),
                                     stored(w.text, false)));
        }
        const std::vector<CarryItem> offered = Carry_OpenItems(old, since);
        QCOMPARE(describe(offered), expected);
        QCOMPARE(Carry_HasOpenItems(old), anyOpen);

        // 1 April of the new year: empty, or holding some of the tasks (one of them
        // done) and one of its own.
        YearStore next;
        Store_New(next, base + 1, QDate());
        QStringList held;
        if (rng.bounded(2) && !offered.empty()) {
            const CarryItem& a = offered[size_t(rng.bounded(int(offered.size())))];
            next.set(1, StoreCol::ToDo,
                     ToDo_ItemString(true, a.time, a.category, a.text) +
                         ToDo_ItemString(false, u"07:00"_s, u"普通"_s, u"新年度の準備"_s));
            held = firstDay(next);
        }
        QStringList after = held;
        int added = 0;
        for (const CarryItem& c : offered) {
            const QString task = c.time + u'/' + c.category + u'/' + c.text;
            if (std::any_of(after.begin(), after.end(),
                            [&](const QString& h) { return h.mid(2) == task; }))
                continue;
            after.append(u"0/"_s + task);
            ++added;
        }
        const CarryResult first = Carry_Add(next, offered);
        QVERIFY(first.ok());
        QCOMPARE(first.added, added);
        QCOMPARE(first.present, int(offered.size()) - added);
        QCOMPARE(firstDay(next), after);

        const CarryResult again = Carry_Add(next, offered);
        QCOMPARE(again.added, 0);
        QCOMPARE(again.present, int(offered.size()));
        QCOMPARE(firstDay(next), after);
        QVERIFY(old.sameAs(untouched));
    }
}

void TestCarryOver::aFirstDayThatCannotTakeThemIsLeftAsItWas() {
    YearStore next;
    Store_New(next, 2026, QDate());
    const QString full = ToDo_ItemString(false, {}, {}, QString(99990, u'x'));
    next.set(1, StoreCol::ToDo, full);
    const CarryResult r = Carry_Add(next, {{QDate(2026, 3, 2), u"10:00"_s, u"普通"_s, u"報告"_s}});
    QVERIFY(!r.ok());
    QVERIFY2(r.refusal.contains(u"100000"_s), qPrintable(r.refusal));
    QCOMPARE(r.added, 0);
    QCOMPARE(next.text(1, StoreCol::ToDo), full);
}

QTEST_GUILESS_MAIN(TestCarryOver)
#include "tst_carryover.moc"
