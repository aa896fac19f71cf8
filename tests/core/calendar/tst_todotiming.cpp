// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/todotiming.h"
#include "core/store/yearstore.h"
#include "core/time/clock.h"
#include "support/fixedclock.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int BaseYear = 2005;

// Store row of a day in the document year starting April 2005: days since 31 March.
int rowOf(const QDate& d) {
    return int(QDate(BaseYear, 3, 31).daysTo(d));
}

void fixToday(const QDate& d) {
    Clock::install(std::make_unique<FixedClock>(QDateTime(d, QTime(10, 0))));
}

} // namespace

class TestToDoTiming : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { Clock::install(nullptr); }
    void alarmLevelOfEarliestOpenItem_data();
    void alarmLevelOfEarliestOpenItem();
    void countsOpenItems_data();
    void countsOpenItems();
};

void TestToDoTiming::alarmLevelOfEarliestOpenItem_data() {
    QTest::addColumn<QString>("todo");
    QTest::addColumn<int>("level");

    // The time of day is always 10:00.
    QTest::newRow("one of two already past") << u"|0,10:20,普通,a|0,09:30,重要,b"_s << 12;
    QTest::newRow("due now") << u"|0,10:00,普通,a"_s << 13;
    QTest::newRow("30 minutes ahead") << u"|0,10:30,普通,a"_s << 14;
    QTest::newRow("45 minutes ahead") << u"|0,10:45,普通,a"_s << 14;
    QTest::newRow("one hour ahead") << u"|0,11:00,普通,a"_s << 2;
    QTest::newRow("90 minutes ahead") << u"|0,11:30,普通,a"_s << 2;
    QTest::newRow("two hours ahead") << u"|0,12:00,普通,a"_s << 0;
    QTest::newRow("no ToDo text") << QString() << 1;
    QTest::newRow("only item done") << u"|1,09:00,普通,x"_s << 0;
    QTest::newRow("done item earlier than open one") << u"|1,09:00,普通,x|0,10:45,普通,y"_s << 14;
    QTest::newRow("open item without time") << u"|0,,普通,x"_s << 0;
    QTest::newRow("untimed item before timed one") << u"|0,,普通,x|0,11:30,普通,y"_s << 2;
}

void TestToDoTiming::alarmLevelOfEarliestOpenItem() {
    QFETCH(QString, todo);
    QFETCH(int, level);
    const QDate today(2005, 6, 15);
    fixToday(today);
    YearStore store;
    store.set(rowOf(today) - 1, StoreCol::ToDo, u"|0,10:45,普通,昨日"_s); // other days never count
    store.set(rowOf(today) + 1, StoreCol::ToDo, u"|0,09:00,普通,明日"_s);
    store.set(rowOf(today), StoreCol::ToDo, todo);
    QCOMPARE(ToDo_Alarm(QTime(10, 0), store, BaseYear), level);
}

void TestToDoTiming::countsOpenItems_data() {
    QTest::addColumn<QString>("todo");
    QTest::addColumn<int>("count");

    QTest::newRow("three open of five")
        << u"|0,09:00,普通,a|1,10:00,普通,b|0,,重要,c|1,,要軽,d|0,11:00,最重,e"_s << 3;
    QTest::newRow("only done") << u"|1,09:00,普通,x"_s << 0;
    QTest::newRow("empty") << QString() << 0;
}

void TestToDoTiming::countsOpenItems() {
    QFETCH(QString, todo);
    QFETCH(int, count);
    YearStore store;
    store.set(20, StoreCol::ToDo, todo);
    QCOMPARE(ToDo_Count(store, 20), count);
}

QTEST_GUILESS_MAIN(TestToDoTiming)
#include "tst_todotiming.moc"
