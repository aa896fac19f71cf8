// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/newyear.h"
#include "core/pages/monthlypage.h"
#include "core/pages/weeklypage.h"
#include "core/store/appstate.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"
#include "support/todoitems.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Year {
    explicit Year(int baseYear, const QDate& current) {
        app.setCurrentDate(current);
        Store_New(app, baseYear);
    }
    int row(const QDate& d) const { return Dates::rowOfDate(d, app.baseYear()); }
    // Every cell of the store as text, to compare before and after.
    QStringList all() const {
        QStringList cells;
        for (int r = 0; r < YearStore::Rows; ++r)
            for (int c = 0; c < YearStore::Cols; ++c)
                cells.append(app.store().text(r, c));
        return cells;
    }
    AppState app;
};

} // namespace

class TestWeekMonthPages : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theWeekBeforeTheFirstOfAprilShowsAndStoresOnlyItsDaysInTheYear() {
        // 1 April 2005 is a Friday: the week runs from Sunday 27 March.
        Year y(2005, QDate(2005, 4, 1));
        y.app.store().set(1, StoreCol::Events, u"入学式"_s);
        WeeklyPage page;
        Weekly_Load(page, y.app);
        QCOMPARE(page.days[0].date, QDate(2005, 3, 27));
        for (int e = 0; e < 5; ++e)
            QVERIFY(!page.days[size_t(e)].inYear());
        QVERIFY(page.days[5].inYear());
        QCOMPARE(page.days[5].events.text, u"入学式"_s);

        const QStringList before = y.all();
        for (WeeklyDay& day : page.days) {
            day.events.text = u"書いた"_s;
            day.slots[0].text = u"一時間目"_s;
            day.todo.setTextMatrix(1, 3, u"用件"_s);
        }
        Weekly_ToStore(page, y.app);

        const QStringList after = y.all();
        QStringList changedRows;
        for (qsizetype i = 0; i < before.size(); ++i)
            if (before[i] != after[i])
                changedRows.append(QString::number(i / YearStore::Cols));
        changedRows.removeDuplicates();
        QCOMPARE(changedRows, (QStringList{u"1"_s, u"2"_s}));
        QCOMPARE(y.app.store().text(2, StoreCol::SlotItem1), u"一時間目"_s);
    }

    void theWeekOf31MarchInALeapYearReachesRow366() {
        // The year of 2003 holds 29 February 2004: row 366 is Wednesday 31 March.
        Year y(2003, QDate(2004, 3, 31));
        y.app.store().set(366, StoreCol::Events, u"修了式"_s);
        y.app.store().set(366, StoreCol::SlotItem1 + 2, u"大掃除"_s);
        WeeklyPage page;
        Weekly_Load(page, y.app);
        QCOMPARE(page.days[3].row, 366);
        QCOMPARE(page.days[3].events.text, u"修了式"_s);
        QCOMPARE(page.days[3].slots[2].text, u"大掃除"_s);
        QVERIFY(!page.days[4].inYear());

        page.days[3].events.text = u"修了式・離任式"_s;
        page.days[4].events.text = u"外"_s;
        Weekly_ToStore(page, y.app);
        QCOMPARE(y.app.store().text(366, StoreCol::Events), u"修了式・離任式"_s);
        QVERIFY(y.app.store().text(367, StoreCol::Events).isEmpty());
        QVERIFY(y.app.store().text(368, StoreCol::Events).isEmpty());
    }

    void sundayHasNoSlotsOnThePageAndKeepsItsOwn() {
        Year y(2005, QDate(2005, 5, 10));
        const int sunday = y.row(QDate(2005, 5, 8));
        y.app.store().set(sunday, StoreCol::SlotItem1, u"日曜の予定"_s);
        WeeklyPage page;
        Weekly_Load(page, y.app);
        QVERIFY(page.days[0].slots[0].text.isEmpty());
        Weekly_ToStore(page, y.app);
        QCOMPARE(y.app.store().text(sunday, StoreCol::SlotItem1), u"日曜の予定"_s);
    }

    void headingsShowTheDateTheDaysColourAndItsLoad() {
        Year y(2005, QDate(2005, 5, 10));
        const QString done = ToDo_ItemString(true, u"09:00"_s, u"普通"_s, u"済み"_s);
        y.app.store().set(y.row(QDate(2005, 5, 9)), StoreCol::ToDo, done);
        y.app.store().set(y.row(QDate(2005, 5, 10)), StoreCol::ToDo, openItems(7));
        y.app.store().set(y.row(QDate(2005, 5, 11)), StoreCol::ToDo, openItems(3) + done);
        const auto heads = Weekly_Heads(y.app);
        QCOMPARE(heads[0].caption, u"5月8日"_s);
        QCOMPARE(heads[0].textColor, 255u);      // Sunday
        QCOMPARE(heads[6].textColor, 16711680u); // Saturday
        // An empty ToDo and done items only: white, see-through.
        QCOMPARE(heads[0].load.back, 0xFFFFFFu);
        QVERIFY(!heads[0].load.opaque);
        QCOMPARE(heads[1].load.back, 0xFFFFFFu);
        QVERIFY(!heads[1].load.opaque);
        QCOMPARE(heads[2].load.back, MonthPaint::LoadHeavy);
        QVERIFY(heads[2].load.opaque);
        QCOMPARE(heads[3].load.back, MonthPaint::LoadMedium);
    }

    void headingsOutsideTheYearShowTheirDateOnly() {
        Year y(2005, QDate(2005, 4, 1));
        const auto heads = Weekly_Heads(y.app);
        QCOMPARE(heads[0].caption, u"3月27日"_s);
        QVERIFY(!heads[0].setTextColor);
        QVERIFY(!heads[0].load.opaque);
        QCOMPARE(heads[5].caption, u"4月1日"_s);
        QVERIFY(heads[5].setTextColor);
    }

    void aHeadingOpensItsDayOrTheDayItsCaptionNamesInTheYear_data() {
        QTest::addColumn<QDate>("heading");
        QTest::addColumn<QDate>("opens");
        QTest::newRow("5 October") << QDate(2005, 10, 5) << QDate(2005, 10, 5);
        QTest::newRow("31 January") << QDate(2006, 1, 31) << QDate(2006, 1, 31);
        QTest::newRow("31 March") << QDate(2006, 3, 31) << QDate(2006, 3, 31);
        QTest::newRow("the following 1 April") << QDate(2006, 4, 1) << QDate(2005, 4, 1);
        QTest::newRow("the following 3 April") << QDate(2006, 4, 3) << QDate(2005, 4, 3);
        QTest::newRow("30 March before the year") << QDate(2005, 3, 30) << QDate(2006, 3, 30);
    }

    void aHeadingOpensItsDayOrTheDayItsCaptionNamesInTheYear() {
        QFETCH(QDate, heading);
        QFETCH(QDate, opens);
        QCOMPARE(Weekly_HeadingDate(heading, 2005), opens);
    }

    void aMonthStartingOnSaturdayIsStoredFromCellSix() {
        // 1 October 2005 is a Saturday; October has 31 days, so they end at cell 36.
        Year y(2005, QDate(2005, 10, 15));
        MonthlyPage page;
        for (int c = 0; c < 37; ++c) {
            page.boxes[size_t(c)] = {u"セル%1"_s.arg(c), quint32(c), SystemWindowColor};
            page.dateColors[size_t(c)] = quint32(1000 + c);
            page.dateColorSet[size_t(c)] = true;
        }
        Monthly_ToStore(page, y.app);
        const int first = y.row(QDate(2005, 10, 1));
        QCOMPARE(y.app.store().text(first, StoreCol::Events), u"セル6"_s);
        QCOMPARE(y.app.store().text(first + 30, StoreCol::Events), u"セル36"_s);
        QCOMPARE(y.app.store().number(first + 30, StoreCol::EventsFore), 36);
        QCOMPARE(y.app.store().number(first + 30, StoreCol::WeekdayFore), 1036);
        // The window colour a box shows for "no colour" stays "no colour".
        QCOMPARE(y.app.store().number(first, StoreCol::EventsBack), 0);
        // September and November are untouched.
        QVERIFY(y.app.store().text(first - 1, StoreCol::Events).isEmpty());
        QVERIFY(y.app.store().text(first + 31, StoreCol::Events).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestWeekMonthPages)
#include "tst_weekmonthpages.moc"
