#include "calendar/annuallayout.h"
#include "grid/gridmodel.h"
#include "platform/clock.h"
#include "store/appstate.h"
#include "store/dates.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestAnnualLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aNewTableShowsTheSkeletonOfTheYear() {
        GridModel g;
        Nen_GridInit(g, 2005);
        QCOMPARE(g.rows(), 367);
        QCOMPARE(g.cols(), 19);
        QCOMPARE(g.textMatrix(0, 0), u"2005"_s);
        QCOMPARE(g.textMatrix(0, 2), u"今日の行事"_s);
        QCOMPARE(g.textMatrix(0, 18), u"ToDo"_s);
        QCOMPARE(g.textMatrix(1, 0), u"2005/04/01"_s);
        QCOMPARE(g.textMatrix(366, 0), u"2006/04/01"_s); // a year without 29 February
        // 3 April 2005 is a Sunday, 2 April a Saturday.
        QCOMPARE(g.textMatrix(3, 1), u"日"_s);
        QCOMPARE(g.cellAt(3, 1).fore, 0x0000FFu);
        QCOMPARE(g.cellAt(2, 1).fore, 0xFF0000u);
        QCOMPARE(g.cellAt(4, 1).fore, 0u);
        QVERIFY(g.textMatrix(40, 2).isEmpty());
        QCOMPARE(g.colWidth(2), 2500);
        QCOMPARE(g.rowHeight(0), 350);
        QCOMPARE(g.rowHeight(366), 1000);
        QCOMPARE(g.row(), 1);
        QCOMPARE(g.col(), 2);
    }

    void theBufferGridHasTheTableLayoutWithATwentiethColumn() {
        GridModel g;
        setupBufferGrid(g);
        QCOMPARE(g.cols(), 20);
        QCOMPARE(g.fixedRows(), 0);
        QCOMPARE(g.fixedCols(), 0);
        QCOMPARE(g.colWidth(19), 1700);
        QCOMPARE(g.colDataType(19), int(GridModel::TextType));
    }

    void theStoreFollowsTheActiveTableAndItsCaption() {
        Clock::install(std::make_unique<FixedClock>(QDateTime(QDate(2005, 5, 10), QTime(9, 0))));
        AppState app;
        app.BaseYear = 2005;
        setCurrentDateToToday(app);
        Store_New(app);
        GridModel g;
        Nen_GridInit(g, 2004);
        g.setTextMatrix(40, 3, u"去年の記録"_s);
        g.setBackColorAt(40, 3, 0x00FF00);

        Store_FromAnnual(app, g, u"/data/2004.dys"_s);

        QCOMPARE(app.BaseYear, 2004);
        QCOMPARE(app.DocPath, u"/data/2004.dys"_s);
        QCOMPARE(app.currentDate(), QDate(2004, 5, 10));
        QCOMPARE(app.store.text(40, 3), u"去年の記録"_s);
        QCOMPARE(app.store.number(40, StoreCol::RecordBack), 0x00FF00);

        GridModel back;
        Nen_GridInit(back, 2004);
        Store_ToAnnual(app, back);
        QCOMPARE(back.textMatrix(40, 3), u"去年の記録"_s);
        QCOMPARE(back.cellAt(40, 3).back, 0x00FF00u);
        Clock::install(nullptr);
    }

    void aViewOpensAtTheRowsDayInsideTheYear_data() {
        QTest::addColumn<int>("baseYear");
        QTest::addColumn<int>("row");
        QTest::addColumn<QDate>("opens");
        QTest::newRow("10 May") << 2005 << 40 << QDate(2005, 5, 10);
        QTest::newRow("31 March of a year with 29 February") << 2003 << 366 << QDate(2004, 3, 31);
        QTest::newRow("the next year's 1 April") << 2005 << 366 << QDate(2005, 4, 1);
        QTest::newRow("31 March") << 2005 << 365 << QDate(2006, 3, 31);
    }

    void aViewOpensAtTheRowsDayInsideTheYear() {
        QFETCH(int, baseYear);
        QFETCH(int, row);
        QFETCH(QDate, opens);
        QCOMPARE(Annual_ViewDate(row, baseYear), opens);
    }
};

QTEST_GUILESS_MAIN(TestAnnualLayout)
#include "tst_annuallayout.moc"
