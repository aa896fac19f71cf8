// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grid/gridclip.h"
#include "core/grid/gridmodel.h"

#include <QTest>

using namespace Qt::StringLiterals;

using GridClip::PasteResult;
Q_DECLARE_METATYPE(GridClip::PasteResult)

namespace {

// A grid as text: rows separated by "/", cells by ",": "a,b/c,d" is 2 × 2.
void load(GridModel& grid, const QString& text) {
    const QStringList rows = text.split(u'/');
    grid.setRows(int(rows.size()));
    grid.setCols(int(rows[0].count(u',')) + 1);
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList cells = rows[r].split(u',');
        for (int c = 0; c < cells.size(); ++c)
            grid.setTextMatrix(r, c, cells[c]);
    }
}

QString snapshot(const GridModel& grid) {
    QStringList rows;
    for (int r = 0; r < grid.rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.cols(); ++c)
            cells.append(grid.textMatrix(r, c));
        rows.append(cells.join(u','));
    }
    return rows.join(u'/');
}

} // namespace

class TestGridClip : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void blockText_data();
    void blockText();
    void paste_data();
    void paste();
    void pasteLimits_data();
    void pasteLimits();
    void clearBlockEmptiesTheBlockWhicheverWayItWasSelected_data();
    void clearBlockEmptiesTheBlockWhicheverWayItWasSelected();
};

void TestGridClip::clearBlockEmptiesTheBlockWhicheverWayItWasSelected_data() {
    QTest::addColumn<QList<int>>("corners"); // row, col (cursor), rowSel, colSel

    QTest::newRow("down and right") << QList<int>{1, 1, 2, 2};
    QTest::newRow("up and left") << QList<int>{2, 2, 1, 1};
    QTest::newRow("up and right") << QList<int>{2, 1, 1, 2};
    QTest::newRow("down and left") << QList<int>{1, 2, 2, 1};
}

void TestGridClip::clearBlockEmptiesTheBlockWhicheverWayItWasSelected() {
    QFETCH(QList<int>, corners);
    GridModel grid;
    load(grid, u"h,h,h,h/a,b,c,d/e,f,g,h/i,j,k,l"_s);
    grid.setCell(GridModel::CellChecked, 1, 1, 2, 1, 1);
    grid.select(corners[0], corners[1], corners[2], corners[3]);

    GridClip::clearBlock(grid);

    QCOMPARE(snapshot(grid), u"h,h,h,h/a,,,d/e,,,h/i,j,k,l"_s);
    // Check boxes keep their state; only their texts go.
    QCOMPARE(grid.cell(GridModel::CellChecked, 1, 1), 1);
    QCOMPARE(grid.cell(GridModel::CellChecked, 2, 1), 1);
}

void TestGridClip::blockText_data() {
    QTest::addColumn<QList<int>>("block"); // col, row, colSel, rowSel
    QTest::addColumn<bool>("cut");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("after");

    const QString grid = u"a,b,c/d,e,f/g,h,i"_s;
    QTest::newRow("2x2 block") << QList<int>{0, 0, 1, 1} << false << u"a\tb\r\nd\te\r\n"_s << grid;
    QTest::newRow("rowSel above row copies nothing")
        << QList<int>{0, 2, 1, 1} << false << QString() << grid;
    QTest::newRow("colSel left of col copies column colSel")
        << QList<int>{2, 0, 1, 1} << false << u"b\r\ne\r\n"_s << grid;
    QTest::newRow("cut empties the cells read")
        << QList<int>{1, 1, 2, 2} << true << u"e\tf\r\nh\ti\r\n"_s << u"a,b,c/d,,/g,,"_s;
    QTest::newRow("cut with colSel left of col empties column colSel only")
        << QList<int>{2, 0, 0, 1} << true << u"a\r\nd\r\n"_s << u",b,c/,e,f/g,h,i"_s;
}

void TestGridClip::blockText() {
    QFETCH(QList<int>, block);
    QFETCH(bool, cut);
    QFETCH(QString, text);
    QFETCH(QString, after);
    GridModel grid;
    load(grid, u"a,b,c/d,e,f/g,h,i"_s);
    QCOMPARE(GridClip::blockText(grid, block[0], block[1], block[2], block[3], cut), text);
    QCOMPARE(snapshot(grid), after);
}

void TestGridClip::paste_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("add");
    QTest::addColumn<PasteResult>("result");
    QTest::addColumn<QString>("after");

    const QString before = u"o,o,o/o,o,o/o,o,o"_s;
    QTest::newRow("copied 2x2 block fills the same shape")
        << 1 << 1 << u"a\tb\r\nc\td\r\n"_s << false << PasteResult::Written
        << u"o,o,o/o,a,b/o,c,d"_s;
    QTest::newRow("no line end writes nothing")
        << 0 << 0 << u"x"_s << false << PasteResult::NothingToWrite << before;
    QTest::newRow("short line clears the cell right of it")
        << 0 << 0 << u"a\tb\r\nc\r\n"_s << false << PasteResult::Written << u"a,b,o/c,,o/o,o,o"_s;
    QTest::newRow("add-paste appends and keeps the cell right of a short line")
        << 0 << 0 << u"a\tb\r\nc\r\n"_s << true << PasteResult::Written
        << u"oa,ob,o/oc,o,o/o,o,o"_s;
    QTest::newRow("last row reaches the grid's last row")
        << 0 << 1 << u"a\r\nb\r\n"_s << false << PasteResult::Written << u"o,o,o/a,o,o/b,o,o"_s;
    QTest::newRow("one row past the grid refused")
        << 0 << 2 << u"a\r\nb\r\n"_s << false << PasteResult::OutOfRange << before;
    QTest::newRow("last column reaches the grid's last column")
        << 1 << 0 << u"a\tb\r\n"_s << false << PasteResult::Written << u"o,a,b/o,o,o/o,o,o"_s;
    QTest::newRow("one column past the grid refused")
        << 2 << 0 << u"a\tb\r\n"_s << false << PasteResult::OutOfRange << before;
    QTest::newRow("lines ended by LF alone, as other programs here copy them")
        << 0 << 0 << u"a\tb\nc\n"_s << false << PasteResult::Written << u"a,b,o/c,,o/o,o,o"_s;
    QTest::newRow("a lone LF inside a CR LF block stays in its cell")
        << 0 << 0 << u"a\nb\tc\r\n"_s << false << PasteResult::Written << u"a\nb,c,o/o,o,o/o,o,o"_s;
    QTest::newRow("wide second line refuses the whole paste")
        << 1 << 0 << u"a\r\nb\tc\td\r\n"_s << false << PasteResult::OutOfRange << before;
}

void TestGridClip::paste() {
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QString, text);
    QFETCH(bool, add);
    QFETCH(PasteResult, result);
    QFETCH(QString, after);
    GridModel grid;
    load(grid, u"o,o,o/o,o,o/o,o,o"_s);
    QCOMPARE(GridClip::paste(grid, col, row, text, add), result);
    QCOMPARE(snapshot(grid), after);
}

void TestGridClip::pasteLimits_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<PasteResult>("result");
    QTest::addColumn<int>("lastRow"); // the far corner written when accepted
    QTest::addColumn<int>("lastCol");

    const QString line = u"x\r\n"_s, field = u"x\t"_s;
    QTest::newRow("400 lines") << line.repeated(400) << PasteResult::Written << 399 << 0;
    QTest::newRow("401 lines") << line.repeated(401) << PasteResult::OutOfRange << 0 << 0;
    QTest::newRow("56 fields") << field.repeated(55) + line << PasteResult::Written << 0 << 55;
    QTest::newRow("57 fields after a short line")
        << line + field.repeated(56) + line << PasteResult::OutOfRange << 0 << 0;
}

void TestGridClip::pasteLimits() {
    QFETCH(QString, text);
    QFETCH(PasteResult, result);
    QFETCH(int, lastRow);
    QFETCH(int, lastCol);
    GridModel grid(410, 60); // room for more than the limits allow
    grid.setTextMatrix(0, 0, u"o"_s);
    QCOMPARE(GridClip::paste(grid, 0, 0, text, false), result);
    if (result == PasteResult::Written) {
        QCOMPARE(grid.textMatrix(0, 0), u"x"_s);
        QCOMPARE(grid.textMatrix(lastRow, lastCol), u"x"_s);
    } else {
        QCOMPARE(grid.textMatrix(0, 0), u"o"_s);
        QCOMPARE(grid.textMatrix(1, 0), QString());
    }
}

QTEST_GUILESS_MAIN(TestGridClip)
#include "tst_gridclip.moc"
