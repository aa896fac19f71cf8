// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grid/gridmodel.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Key = GridModel::SortKey;
using Keys = std::vector<Key>;
Q_DECLARE_METATYPE(Keys)

namespace {

// Data rows from "k1,k2;k1,k2;...": the keys fill columns 1.., and the last column
// holds the row's original number, which tells rows with equal keys apart.
void load(GridModel& grid, const QString& rows) {
    const QStringList lines = rows.split(u';');
    grid.setRows(int(lines.size()) + 1);
    grid.setCols(int(lines[0].count(u',')) + 3);
    for (int r = 1; r <= lines.size(); ++r) {
        const QStringList keys = lines[r - 1].split(u',');
        for (int k = 0; k < keys.size(); ++k)
            grid.setTextMatrix(r, k + 1, keys[k]);
        grid.setTextMatrix(r, grid.cols() - 1, QString::number(r));
    }
}

// The original numbers of the data rows, top to bottom.
QString order(const GridModel& grid) {
    QStringList out;
    for (int r = 1; r < grid.rows(); ++r)
        out.append(grid.textMatrix(r, grid.cols() - 1));
    return out.join(u' ');
}

Key asc(int col, Key::Kind kind = Key::Text) {
    return {col, kind, false, {}};
}
Key desc(int col, Key::Kind kind = Key::Text) {
    return {col, kind, true, {}};
}

} // namespace

class TestGridSort : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sortsRowsByTheirKeys_data();
    void sortsRowsByTheirKeys();
    void onlyTheRowsGivenMoveWithTheirCells();
};

void TestGridSort::sortsRowsByTheirKeys_data() {
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("sorted");

    const Key::Kind date = Key::Date, time = Key::Time, number = Key::Number;
    QTest::newRow("times") << Keys{asc(1, time)} << u"13:00;09:30;10:05"_s << u"2 3 1"_s;
    QTest::newRow("unpadded hour as time") << Keys{asc(1, time)} << u"10:00;9:05"_s << u"2 1"_s;
    QTest::newRow("same times as text") << Keys{asc(1)} << u"9:05;10:00"_s << u"2 1"_s;
    QTest::newRow("dates") << Keys{asc(1, date)} << u"2006/01/05;2005/12/01;2005/04/02"_s
                           << u"3 2 1"_s;
    QTest::newRow("unpadded month as date")
        << Keys{asc(1, date)} << u"2005/12/01;2005/4/2"_s << u"2 1"_s;
    QTest::newRow("dates descending")
        << Keys{desc(1, date)} << u"2005/04/02;2006/01/05;2005/12/01"_s << u"2 3 1"_s;
    QTest::newRow("empty date first") << Keys{asc(1, date)} << u"10:00;;09:00"_s << u"2 3 1"_s;
    QTest::newRow("empty text first") << Keys{asc(1)} << u"b;;a"_s << u"2 3 1"_s;
    QTest::newRow("an empty time as 23:59")
        << Keys{{1, time, false, u"23:59"_s}} << u"10:00;;23:59;09:00"_s << u"4 1 2 3"_s;
    // Code page 932 puts 最 重 普 要 in this order; Unicode gives 普 最 要 重.
    QTest::newRow("categories") << Keys{asc(1)} << u"普通;要軽;最重;重要"_s << u"3 4 1 2"_s;
    QTest::newRow("categories descending")
        << Keys{desc(1)} << u"最重;普通;重要;要軽"_s << u"4 2 3 1"_s;
    QTest::newRow("equal keys keep order descending") << Keys{desc(1)} << u"a;b;a"_s << u"2 1 3"_s;
    QTest::newRow("leftmost key first")
        << Keys{asc(1), desc(2)} << u"2,a;1,b;2,b;1,a"_s << u"2 4 3 1"_s;
    QTest::newRow("numbers, other texts after")
        << Keys{asc(1, number)} << u"10;9;x;;2.5"_s << u"4 5 2 1 3"_s;
    QTest::newRow("numbers descending")
        << Keys{desc(1, number)} << u"10;9;x;;2.5"_s << u"3 1 2 5 4"_s;
    // Rows 1 and 3 are ticked (see sortsRowsByTheirKeys).
    QTest::newRow("unticked first") << Keys{asc(1, Key::Check)} << u"a;b;c;d"_s << u"2 4 1 3"_s;
    QTest::newRow("ticked first") << Keys{desc(1, Key::Check)} << u"a;b;c;d"_s << u"1 3 2 4"_s;

    QStringList many, sorted; // enough rows for an unstable sort to show
    for (int i = 0; i < 40; ++i) {
        many.append(i % 2 ? u"a"_s : u"b"_s);
        sorted.append(QString::number(i < 20 ? 2 * i + 2 : 2 * (i - 20) + 1));
    }
    QTest::newRow("equal keys keep order") << Keys{asc(1)} << many.join(u';') << sorted.join(u' ');
}

void TestGridSort::sortsRowsByTheirKeys() {
    QFETCH(Keys, keys);
    QFETCH(QString, rows);
    QFETCH(QString, sorted);
    GridModel grid;
    load(grid, rows);
    for (int r = 1; r < grid.rows(); ++r)
        grid.setCell(GridModel::CellChecked, r, 1, r % 2 ? 1 : 2);
    grid.sortRows(1, grid.rows() - 1, keys);
    QCOMPARE(order(grid), sorted);
}

void TestGridSort::onlyTheRowsGivenMoveWithTheirCells() {
    GridModel grid;
    load(grid, u"z;c;a;b;0"_s);
    for (int r = 1; r <= 5; ++r) { // colours and check box tell each row apart
        grid.setBackColorAt(r, 2, quint32(0x100 * r));
        grid.setForeColorAt(r, 1, quint32(r));
        grid.setCell(GridModel::CellChecked, r, 0, r % 2 + 1);
    }
    grid.sortRows(2, 4, {asc(1)});

    QCOMPARE(order(grid), u"1 3 4 2 5"_s);
    for (int r = 1; r <= 5; ++r) {
        const int was = grid.textMatrix(r, 2).toInt();
        QCOMPARE(grid.cell(GridModel::CellBackColor, r, 2), 0x100 * was);
        QCOMPARE(grid.cellAt(r, 1).fore, quint32(was));
        QCOMPARE(grid.cell(GridModel::CellChecked, r, 0), was % 2 + 1);
    }
}

QTEST_GUILESS_MAIN(TestGridSort)
#include "tst_gridsort.moc"
