// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grid/gridmodel.h"
#include "core/print/fitrows.h"

#include <QTest>

class TestFitRows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fitRows_data();
    void fitRows();
};

void TestFitRows::fitRows_data() {
    QTest::addColumn<int>("fixedRows");
    QTest::addColumn<int>("gridHeight");
    QTest::addColumn<int>("fit");

    // 6 rows: row 0 is 350 twips high, rows 1..5 280 each; rows 0..3 end at 1190.
    QTest::newRow("all rows fit") << 1 << 2000 << 6;
    QTest::newRow("row 3 passes the bottom") << 1 << 1000 << 1;
    QTest::newRow("row 3 ends exactly at the bottom") << 1 << 1190 << 1;
    QTest::newRow("row 3 ends just above the bottom") << 1 << 1191 << 2;
    QTest::newRow("two fixed rows") << 2 << 1000 << 0;
    QTest::newRow("first row as high as the grid") << 1 << 350 << -2;
    QTest::newRow("first row higher, two fixed rows") << 2 << 100 << -3;
}

void TestFitRows::fitRows() {
    QFETCH(int, fixedRows);
    QFETCH(int, gridHeight);
    QFETCH(int, fit);
    GridModel grid(6, 3);
    grid.setFixedRows(fixedRows);
    grid.setRowHeight(-1, 280);
    grid.setRowHeight(0, 350);
    QCOMPARE(Grid_FitRows(grid, gridHeight), fit);
}

QTEST_GUILESS_MAIN(TestFitRows)
#include "tst_fitrows.moc"
