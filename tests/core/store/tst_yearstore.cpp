// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/newyear.h"
#include "core/grid/gridmodel.h"
#include "core/store/appstate.h"
#include "core/store/yearstore.h"
#include "core/time/clock.h"
#include "support/fixedclock.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
void setToday(const QDate& d) {
    Clock::install(std::make_unique<FixedClock>(QDateTime(d, QTime(9, 30))));
}
} // namespace

class TestYearStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { Clock::install(nullptr); }
    void todayIsPlacedInTheDocumentYear_data();
    void todayIsPlacedInTheDocumentYear();
    void newDocumentRows_data();
    void newDocumentRows();
    void todaysMarkWinsOverAHoliday();
    void colourColumnsMapOntoGridCells_data();
    void colourColumnsMapOntoGridCells();
};

void TestYearStore::todayIsPlacedInTheDocumentYear_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("baseYear");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("February, own year") << QDate(2006, 2, 10) << 2005 << QDate(2006, 2, 10);
    QTest::newRow("February, older document") << QDate(2006, 2, 10) << 2003 << QDate(2004, 2, 10);
    QTest::newRow("31 March") << QDate(2006, 3, 31) << 2005 << QDate(2006, 3, 31);
    QTest::newRow("April 1") << QDate(2006, 4, 1) << 2005 << QDate(2005, 4, 1);
    QTest::newRow("December") << QDate(2006, 12, 31) << 2010 << QDate(2010, 12, 31);
    QTest::newRow("29 Feb, year without it") << QDate(2008, 2, 29) << 2006 << QDate(2007, 3, 1);
}

void TestYearStore::todayIsPlacedInTheDocumentYear() {
    QFETCH(QDate, today);
    QFETCH(int, baseYear);
    QFETCH(QDate, expected);
    setToday(today);
    AppState app;
    setCurrentDateToToday(app, baseYear);
    QCOMPARE(app.currentDate(), expected);
}

// Documents made on 10 Feb 2006: `fore` is the text of the weekday colour column.
void TestYearStore::newDocumentRows_data() {
    QTest::addColumn<int>("baseYear");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("weekday");
    QTest::addColumn<QString>("fore");
    QTest::addColumn<QString>("events");

    auto add = [](const char* tag, int year, int row, const char16_t* date, const char16_t* wd,
                  const char16_t* fore, const char16_t* events) {
        QTest::newRow(tag) << year << row << QString::fromUtf16(date) << QString::fromUtf16(wd)
                           << QString::fromUtf16(fore) << QString::fromUtf16(events);
    };
    add("headings", 2005, 0, u"2005", u"曜日", u"", u"今日の行事");
    add("Saturday", 2005, 2, u"2005/04/02", u"土", u"16711680", u"");
    add("Sunday", 2005, 3, u"2005/04/03", u"日", u"255", u"");
    add("Monday", 2005, 4, u"2005/04/04", u"月", u"0", u"");
    add("3 May", 2005, 33, u"2005/05/03", u"火", u"255", u"憲法記念日");
    add("4 May", 2005, 34, u"2005/05/04", u"水", u"255", u"国民の休日");
    add("5 May", 2005, 35, u"2005/05/05", u"木", u"255", u"子供の日");
    add("today", 2005, 316, u"2006/02/10", u"金", u"16711935", u"");
    add("Saturday holiday", 2005, 317, u"2006/02/11", u"土", u"255", u"建国記念の日");
    add("31 March", 2005, 365, u"2006/03/31", u"金", u"0", u"");
    add("row 366", 2005, 366, u"2006/04/01", u"土", u"16711680", u"");
    add("today in 2003", 2003, 316, u"2004/02/10", u"火", u"16711935", u"");
    add("leap day", 2003, 335, u"2004/02/29", u"日", u"255", u"");
    add("row 366 in 2003", 2003, 366, u"2004/03/31", u"水", u"0", u"");
}

// Today's mark is the last thing written: a holiday today still shows as today.
void TestYearStore::todaysMarkWinsOverAHoliday() {
    setToday(QDate(2006, 5, 3));
    AppState app;
    setCurrentDateToToday(app, 2006);
    Store_New(app, 2006);
    QCOMPARE(app.store().text(33, StoreCol::Events), u"憲法記念日"_s);
    QCOMPARE(app.store().number(33, StoreCol::WeekdayFore), 16711935);
}

void TestYearStore::newDocumentRows() {
    QFETCH(int, baseYear);
    QFETCH(int, row);
    QFETCH(QString, date);
    QFETCH(QString, weekday);
    QFETCH(QString, fore);
    QFETCH(QString, events);
    setToday(QDate(2006, 2, 10));
    AppState app;
    setCurrentDateToToday(app, baseYear);
    Store_New(app, baseYear);
    QCOMPARE(app.store().text(row, StoreCol::Date), date);
    QCOMPARE(app.store().text(row, StoreCol::Weekday), weekday);
    QCOMPARE(app.store().text(row, StoreCol::WeekdayFore), fore);
    QCOMPARE(app.store().text(row, StoreCol::Events), events);
    QCOMPARE(app.store().text(0, StoreCol::ToDo), u"ToDo"_s);
}

void TestYearStore::colourColumnsMapOntoGridCells_data() {
    QTest::addColumn<int>("gridCol");
    QTest::addColumn<int>("foreCol");
    QTest::addColumn<int>("backCol");

    QTest::newRow("weekday") << 1 << 19 << -1;
    QTest::newRow("events") << 2 << 20 << 29;
    QTest::newRow("record") << 3 << 28 << 51;
    for (int i = 0; i < 7; ++i) {
        QTest::addRow("slot item %d", i + 1) << 4 + i << 21 + i << 30 + i;
        QTest::addRow("slot text %d", i + 1) << 11 + i << 37 + i << 44 + i;
    }
}

void TestYearStore::colourColumnsMapOntoGridCells() {
    QFETCH(int, gridCol);
    QFETCH(int, foreCol);
    QFETCH(int, backCol);
    const int row = 100;
    YearStore store;
    store.set(row, foreCol, qint64(0x123456));
    if (backCol >= 0)
        store.set(row, backCol, qint64(0x80000005));
    GridModel grid(367, 20);
    copyStoreToGrid(store, grid);
    QCOMPARE(grid.cellAt(row, gridCol).fore, 0x123456u);
    QCOMPARE(grid.cellAt(row, gridCol).back, backCol >= 0 ? 0x80000005u : 0u);

    grid.setForeColorAt(row, gridCol, 0xABCDEF);
    grid.setBackColorAt(row, gridCol, 0xFFFFFF);
    YearStore back;
    copyGridToStore(grid, back);
    QCOMPARE(back.number(row, foreCol), 0xABCDEF);
    if (backCol >= 0)
        QCOMPARE(back.number(row, backCol), 0xFFFFFF);
}

QTEST_GUILESS_MAIN(TestYearStore)
#include "tst_yearstore.moc"
