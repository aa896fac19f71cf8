// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/annual/annuallayout.h"
#include "core/annual/annualmodel.h"
#include "core/calendar/newyear.h"
#include "core/grid/gridmodel.h"
#include "core/store/appstate.h"
#include "core/store/document.h"
#include "core/time/clock.h"
#include "core/time/dates.h"
#include "support/fixedclock.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
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

    // The table of a document is the document: what it shows is the document's cells,
    // what is typed or coloured in it is an edit of the document, and an edit made
    // elsewhere shows in it at once. Its own layout (widths, cursor) is no edit.
    void theTableShowsAndEditsItsDocumentInPlace() {
        Clock::install(std::make_unique<FixedClock>(QDateTime(QDate(2005, 5, 10), QTime(9, 0))));
        Document doc;
        YearStore year;
        Store_New(year, 2004, QDate(2005, 5, 10));
        year.set(40, StoreCol::Record, u"去年の記録"_s);
        year.set(40, StoreCol::RecordBack, qint64(0x00FF00));
        doc.replace(year);
        AnnualModel table(doc);
        QAbstractItemModelTester tester(&table,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(table.rows(), 367);
        QCOMPARE(table.cols(), 19);
        QCOMPARE(Annual_BaseYear(table), 2004);
        QCOMPARE(table.textMatrix(40, 3), u"去年の記録"_s);
        QCOMPARE(table.cellAt(40, 3).back, 0x00FF00u);
        QCOMPARE(table.cellAt(3, 1).fore, quint32(doc.store().number(3, StoreCol::WeekdayFore)));
        QVERIFY(!doc.isChanged());

        // Looking, moving the cursor, widths and heights: no edit.
        QSignalSpy cells(&doc, &Document::cellsChanged);
        table.select(40, 3, 42, 5);
        table.setColWidth(3, 3000);
        table.setRowHeight(40, 2000);
        (void)table.toFileImage();
        QVERIFY(!doc.isChanged());
        QCOMPARE(cells.count(), 0);

        // Typing and colouring in the table write the document's cells.
        QSignalSpy shown(&table, &QAbstractItemModel::dataChanged);
        table.setTextMatrix(41, 4, u"一時間目"_s);
        QCOMPARE(doc.store().text(41, StoreCol::SlotItem1), u"一時間目"_s);
        QVERIFY(doc.isChanged());
        QVERIFY(!shown.isEmpty());
        table.setCellBackColor(0x123456); // the block 40..42 × 3..5
        for (int r = 40; r <= 42; ++r) {
            QCOMPARE(doc.store().number(r, StoreCol::RecordBack), 0x123456);
            QCOMPARE(doc.store().number(r, StoreCol::SlotItemBack1 + 1), 0x123456);
        }
        // A colour with no place in the document (the date) changes nothing.
        doc.setChanged(false);
        table.setForeColorAt(41, 0, 0xFF);
        QCOMPARE(table.cellAt(41, 0).fore, 0u);
        QVERIFY(!doc.isChanged());

        // An edit made elsewhere shows in the table, in the cell it belongs to.
        shown.clear();
        doc.store().set(100, StoreCol::SlotTextFore1 + 2, qint64(0xABCDEF));
        QCOMPARE(table.cellAt(100, StoreCol::SlotText1 + 2).fore, 0xABCDEFu);
        QCOMPARE(shown.size(), 1);
        const QModelIndex tl = shown[0][0].value<QModelIndex>();
        const QModelIndex br = shown[0][1].value<QModelIndex>();
        QVERIFY(tl.row() <= 100 && br.row() >= 100);
        QVERIFY(tl.column() <= StoreCol::SlotText1 + 2 && br.column() >= StoreCol::SlotText1 + 2);
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
