#include "grid/gridmodel.h"
#include "platform/clock.h"
#include "store/appstate.h"
#include "store/dates.h"
#include "store/yearstore.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
void setToday(int y, int m, int d) {
    Clock::install(std::make_unique<FixedClock>(QDateTime(QDate(y, m, d), QTime(9, 30))));
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
    void newDocumentHeadingsAndLeapYear();
    void colourColumnsMapOntoGridCells_data();
    void colourColumnsMapOntoGridCells();
    void storeToGridToStoreKeepsTextsAndColours();
};

void TestYearStore::todayIsPlacedInTheDocumentYear_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("baseYear");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("February, own year") << QDate(2006, 2, 10) << 2005 << QDate(2006, 2, 10);
    QTest::newRow("February, older document") << QDate(2006, 2, 10) << 2003 << QDate(2004, 2, 10);
    QTest::newRow("March 31") << QDate(2006, 3, 31) << 2005 << QDate(2006, 3, 31);
    QTest::newRow("April 1") << QDate(2006, 4, 1) << 2005 << QDate(2005, 4, 1);
    QTest::newRow("December") << QDate(2006, 12, 31) << 2010 << QDate(2010, 12, 31);
    QTest::newRow("29 Feb, year without it") << QDate(2008, 2, 29) << 2006 << QDate(2007, 3, 1);
    QTest::newRow("29 Feb, year with it") << QDate(2008, 2, 29) << 2003 << QDate(2004, 2, 29);
}

void TestYearStore::todayIsPlacedInTheDocumentYear() {
    QFETCH(QDate, today);
    QFETCH(int, baseYear);
    QFETCH(QDate, expected);
    setToday(today.year(), today.month(), today.day());
    AppState app;
    app.BaseYear = baseYear;
    setCurrentDateToToday(app);
    QCOMPARE(app.currentDate(), expected);
    QCOMPARE(Store_DayRow(app), Dates::rowOfDate(expected, baseYear));
}

// Year 2005 made on 10 Feb 2006: `fore` is the text of the weekday colour column.
void TestYearStore::newDocumentRows_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("weekday");
    QTest::addColumn<QString>("fore");
    QTest::addColumn<QString>("events");

    QTest::newRow("1 April, weekday") << 1 << u"2005/04/01"_s << u"金"_s << u"0"_s << QString();
    QTest::newRow("Saturday") << 2 << u"2005/04/02"_s << u"土"_s << u"16711680"_s << QString();
    QTest::newRow("Sunday") << 3 << u"2005/04/03"_s << u"日"_s << u"255"_s << QString();
    QTest::newRow("3 May") << 33 << u"2005/05/03"_s << u"火"_s << u"255"_s << u"憲法記念日"_s;
    QTest::newRow("4 May") << 34 << u"2005/05/04"_s << u"水"_s << u"255"_s << u"国民の休日"_s;
    QTest::newRow("5 May") << 35 << u"2005/05/05"_s << u"木"_s << u"255"_s << u"子供の日"_s;
    QTest::newRow("today") << 316 << u"2006/02/10"_s << u"金"_s << u"16711935"_s << QString();
    QTest::newRow("Saturday holiday")
        << 317 << u"2006/02/11"_s << u"土"_s << u"255"_s << u"建国記念の日"_s;
    QTest::newRow("31 March") << 365 << u"2006/03/31"_s << u"金"_s << u"0"_s << QString();
    QTest::newRow("row 366") << 366 << u"2006/04/01"_s << u"土"_s << u"16711680"_s << QString();
}

void TestYearStore::newDocumentRows() {
    QFETCH(int, row);
    QFETCH(QString, date);
    QFETCH(QString, weekday);
    QFETCH(QString, fore);
    QFETCH(QString, events);
    setToday(2006, 2, 10);
    AppState app;
    app.BaseYear = 2005;
    setCurrentDateToToday(app);
    Store_New(app);
    QCOMPARE(app.store.text(row, StoreCol::Date), date);
    QCOMPARE(app.store.text(row, StoreCol::Weekday), weekday);
    QCOMPARE(app.store.text(row, StoreCol::WeekdayFore), fore);
    QCOMPARE(app.store.text(row, StoreCol::Events), events);
}

void TestYearStore::newDocumentHeadingsAndLeapYear() {
    setToday(2006, 2, 10);
    AppState app;
    app.BaseYear = 2003;
    setCurrentDateToToday(app);
    Store_New(app);
    QCOMPARE(app.store.text(0, 0), u"2003"_s);
    QCOMPARE(app.store.text(0, StoreCol::Weekday), u"曜日"_s);
    QCOMPARE(app.store.text(0, StoreCol::ToDo), u"ToDo"_s);
    for (int c = 1; c < StoreCol::TextColumns; ++c)
        QVERIFY2(!app.store.text(0, c).isEmpty(), qPrintable(QString::number(c)));
    QCOMPARE(app.store.text(335, StoreCol::Date), u"2004/02/29"_s);
    QCOMPARE(app.store.text(366, StoreCol::Date), u"2004/03/31"_s);
    const int today = Dates::rowOfDate(QDate(2004, 2, 10), 2003);
    QCOMPARE(app.store.number(today, StoreCol::WeekdayFore), 16711935);
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

void TestYearStore::storeToGridToStoreKeepsTextsAndColours() {
    setToday(2006, 2, 10);
    AppState app;
    app.BaseYear = 2005;
    setCurrentDateToToday(app);
    Store_New(app);
    YearStore& s = app.store;
    for (int r = 1; r <= YearStore::DayRows; ++r) {
        for (int c = StoreCol::Record; c < StoreCol::TextColumns; ++c)
            s.set(r, c, QStringLiteral("r%1c%2\t\\\n終").arg(r).arg(c));
        for (int c = StoreCol::EventsFore; c <= StoreCol::RecordBack; ++c)
            s.set(r, c, qint64(r * 64 + c));
    }
    GridModel grid(367, 20);
    copyStoreToGrid(s, grid);
    YearStore copy;
    copyGridToStore(grid, copy);
    for (int r = 0; r <= YearStore::DayRows; ++r)
        for (int c = 0; c < StoreCol::TextColumns; ++c)
            QCOMPARE(copy.text(r, c), s.text(r, c));
    for (int r = 1; r <= YearStore::DayRows; ++r)
        for (int c = StoreCol::WeekdayFore; c <= StoreCol::RecordBack; ++c)
            QCOMPARE(copy.number(r, c), s.number(r, c));
}

QTEST_GUILESS_MAIN(TestYearStore)
#include "tst_yearstore.moc"
