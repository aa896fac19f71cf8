// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grid/gridmodel.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <unistd.h>

using namespace Qt::StringLiterals;

using Op = std::function<void(GridModel&)>;
Q_DECLARE_METATYPE(Op)

namespace {

const auto textOf = [](int r, int c) { return u"%1,%2"_s.arg(r).arg(c); };
const auto colourOf = [](int r, int c) { return quint32(r * 16 + c + 1); };

void fill(GridModel& m) {
    for (int r = 0; r < m.rows(); ++r)
        for (int c = 0; c < m.cols(); ++c) {
            m.setTextMatrix(r, c, textOf(r, c));
            m.setForeColorAt(r, c, colourOf(r, c));
        }
}

// The model-index overload, which GridModel's private index(row, col) hides.
const auto at = [](const QAbstractItemModel& m, int r, int c) { return m.index(r, c); };

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestGridModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void signalsStayConsistent_data();
    void signalsStayConsistent();
    void resizeKeepsOrDropsCells_data();
    void resizeKeepsOrDropsCells();
    void fixedCellsHoldTextButAreNotEditable();
    void selectionIsOrdered_data();
    void selectionIsOrdered();
    void blockColoursFollowSelection();
    void setCellChangesBlockWithoutMovingCursor_data();
    void setCellChangesBlockWithoutMovingCursor();
    void removeItemShiftsRowsAndTheirLayout();
    void saveLoadRoundTripAndFailedLoad();
    void saveKeepsPreviousFileAsBackup();
    void failedSaveLeavesFileUnchanged_data();
    void failedSaveLeavesFileUnchanged();
};

// Each operation runs on a filled 5×4 grid and on an empty one under the model tester.
void TestGridModel::signalsStayConsistent_data() {
    QTest::addColumn<Op>("op");
    auto row = [](const char* tag, Op op) { QTest::newRow(tag) << op; };

    row("grow rows", [](GridModel& m) { m.setRows(9); });
    row("grow cols", [](GridModel& m) { m.setCols(7); });
    row("shrink rows to none", [](GridModel& m) { m.setRows(0); });
    row("shrink cols", [](GridModel& m) { m.setCols(1); });
    row("remove a middle row", [](GridModel& m) { m.removeItem(2); });
    row("remove the last row", [](GridModel& m) { m.removeItem(4); });
    row("clear", [](GridModel& m) { m.clear(); });
    row("block setting", [](GridModel& m) { m.setCell(GridModel::CellChecked, 9, 9, 1, 1, 1); });
    row("hide every column", [](GridModel& m) { m.setColHidden(-1, true); });
    row("height of every row", [](GridModel& m) { m.setRowHeight(-1, 100); });
    row("nested bulk edit: one reset, nothing else", [](GridModel& m) {
        QSignalSpy reset(&m, &QAbstractItemModel::modelReset);
        QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
        QSignalSpy removed(&m, &QAbstractItemModel::rowsRemoved);
        m.beginBulkEdit();
        m.setRows(12);
        m.beginBulkEdit();
        m.setCols(2);
        m.removeItem(3);
        m.setTextMatrix(1, 1, u"x"_s);
        m.endBulkEdit();
        m.setCellForeColor(5);
        m.clear();
        m.endBulkEdit();
        QCOMPARE(reset.size(), 1);
        QCOMPARE(changed.size() + removed.size(), 0);
    });
}

void TestGridModel::signalsStayConsistent() {
    QFETCH(Op, op);
    for (int rows : {5, 0}) {
        GridModel m(rows, rows ? 4 : 0);
        fill(m);
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
        op(m);
        QCOMPARE(m.rowCount(), m.rows());
        QCOMPARE(m.columnCount(), m.cols());
    }
}

void TestGridModel::resizeKeepsOrDropsCells_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::newRow("grow") << 7 << 6;
    QTest::newRow("fewer rows") << 2 << 4;
    QTest::newRow("fewer cols") << 5 << 2;
    QTest::newRow("fewer of both") << 1 << 3;
    QTest::newRow("nothing left") << 0 << 0;
}

// Resizes a 5×4 grid and back: cells inside the smaller size survive in place.
void TestGridModel::resizeKeepsOrDropsCells() {
    QFETCH(int, rows);
    QFETCH(int, cols);
    GridModel m(5, 4);
    fill(m);
    m.select(4, 3);
    m.setRows(rows);
    m.setCols(cols);
    QCOMPARE(m.rows(), rows);
    QCOMPARE(m.cols(), cols);
    QVERIFY(m.row() < rows && m.col() < cols);
    QVERIFY2(m.fixedRows() <= rows && m.fixedCols() <= cols, "fixed part larger than grid");
    m.setRows(5);
    m.setCols(4);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c) {
            const bool kept = r < rows && c < cols;
            QCOMPARE(m.textMatrix(r, c), kept ? textOf(r, c) : QString());
            QCOMPARE(m.cellAt(r, c).fore, kept ? colourOf(r, c) : 0u);
        }
}

void TestGridModel::fixedCellsHoldTextButAreNotEditable() {
    GridModel m(4, 3);
    m.setTextMatrix(0, 2, u"見出し"_s);
    m.setTextMatrix(3, 0, u"三行目"_s);
    QCOMPARE(m.textMatrix(0, 2), u"見出し"_s);
    QCOMPARE(m.data(at(m, 3, 0)).toString(), u"三行目"_s);

    auto editable = [&m](int r, int c) { return m.flags(at(m, r, c)) & Qt::ItemIsEditable; };
    QVERIFY(!editable(0, 2) && !editable(3, 0) && editable(1, 1));
    m.setFixedRows(2);
    m.setFixedCols(0);
    QVERIFY(!editable(1, 1) && editable(2, 0));
}

void TestGridModel::selectionIsOrdered_data() {
    QTest::addColumn<QList<int>>("args");  // row, col, rowSel, colSel
    QTest::addColumn<QList<int>>("block"); // row1, col1, row2, col2

    QTest::newRow("cursor only") << QList{2, 1, -1, -1} << QList{2, 1, 2, 1};
    QTest::newRow("forward") << QList{1, 1, 3, 2} << QList{1, 1, 3, 2};
    QTest::newRow("rowSel above row") << QList{3, 1, 0, -1} << QList{0, 1, 3, 1};
    QTest::newRow("colSel left of col") << QList{1, 3, -1, 0} << QList{1, 0, 1, 3};
    QTest::newRow("both reversed") << QList{4, 3, 0, 0} << QList{0, 0, 4, 3};
    QTest::newRow("corner out of range") << QList{2, 2, 9, -5} << QList{2, 2, 2, 2};
    QTest::newRow("cursor out of range") << QList{5, 0, 0, 0} << QList{1, 1, 1, 1};
}

void TestGridModel::selectionIsOrdered() {
    QFETCH(QList<int>, args);
    QFETCH(QList<int>, block);
    GridModel m(5, 4);
    m.select(args[0], args[1], args[2], args[3]);
    const GridModel::Selection s = m.getSelection();
    QCOMPARE((QList{s.row1, s.col1, s.row2, s.col2}), block);
    if (m.valid(args[0], args[1]))
        QCOMPARE((QList{m.row(), m.col()}), args.first(2));

    m.setRow(s.row1); // collapses the rows only
    QCOMPARE(m.rowSel(), s.row1);
    QCOMPARE(m.getSelection().col2, s.col2);
}

void TestGridModel::blockColoursFollowSelection() {
    GridModel m(5, 4);
    m.select(3, 2, 1, 1);
    m.setCellForeColor(0x80000005);
    m.setCellBackColor(0xFFFFFFFF);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c) {
            const bool in = r >= 1 && r <= 3 && c >= 1 && c <= 2;
            QCOMPARE(m.cellAt(r, c).fore, in ? 0x80000005u : 0u);
            QCOMPARE(m.data(at(m, r, c), GridModel::BackColorRole).toUInt(), in ? 0xFFFFFFFFu : 0u);
        }
    // The getters read the cursor cell (3, 2), not the block's first cell.
    m.setForeColorAt(3, 2, 7);
    m.setBackColorAt(3, 2, 8);
    QCOMPARE((QList{m.cellForeColor(), m.cellBackColor()}), (QList{7u, 8u}));
}

void TestGridModel::setCellChangesBlockWithoutMovingCursor_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("role");
    auto row = [](const char* tag, GridModel::CellSetting s, int value, int stored, int role) {
        QTest::newRow(tag) << int(s) << value << stored << role;
    };

    row("ticked", GridModel::CellChecked, 1, 1, GridModel::CheckRole);
    row("bar", GridModel::CellFloodPercent, 40, 40, GridModel::BarRole);
    row("bar over 100", GridModel::CellFloodPercent, 250, 100, GridModel::BarRole);
    const int high = int(0x80000005u);
    row("back colour, high bit", GridModel::CellBackColor, high, high, GridModel::BackColorRole);
    row("alignment", GridModel::CellAlignment, 4, 4, GridModel::AlignmentSettingRole);
}

void TestGridModel::setCellChangesBlockWithoutMovingCursor() {
    QFETCH(int, setting);
    QFETCH(int, value);
    QFETCH(int, stored);
    QFETCH(int, role);
    const auto s = GridModel::CellSetting(setting);
    GridModel m(5, 4);
    m.select(1, 1, 0, 0);
    const int before = m.cell(s, 1, 1);
    QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);

    m.setCell(s, 3, 3, 2, 2, value); // corners in any order
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c)
            QCOMPARE(m.cell(s, r, c), r >= 2 && r <= 3 && c >= 2 ? stored : before);
    const GridModel::Selection sel = m.getSelection();
    QCOMPARE((QList{m.row(), m.col(), sel.row1, sel.col1, sel.row2, sel.col2}),
             (QList{1, 1, 0, 0, 1, 1}));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].toModelIndex(), at(m, 2, 2));
    QCOMPARE(changed[0][1].toModelIndex(), at(m, 3, 3));
    QCOMPARE(changed[0][2].value<QList<int>>(), QList<int>{role});
}

void TestGridModel::removeItemShiftsRowsAndTheirLayout() {
    GridModel m(5, 2);
    fill(m);
    for (int r = 0; r < 5; ++r)
        m.setRowHeight(r, 100 + r);
    m.setRowHidden(-1, true); // -1: every row / column
    m.setRowHidden(3, false);
    m.setColHidden(-1, true);
    m.setColHidden(0, false);
    QVERIFY(m.colHidden(1) && !m.colHidden(0));
    m.removeItem(-1);
    m.removeItem(5);
    m.removeItem(2);

    QCOMPARE(m.rows(), 4);
    const int from[] = {0, 1, 3, 4};
    for (int r = 0; r < 4; ++r) {
        QCOMPARE(m.textMatrix(r, 1), textOf(from[r], 1));
        QCOMPARE(m.cellAt(r, 1).fore, colourOf(from[r], 1));
        QCOMPARE(m.rowHeight(r), 100 + from[r]);
        QCOMPARE(m.rowHidden(r), from[r] != 3);
    }
}

void TestGridModel::saveLoadRoundTripAndFailedLoad() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"表.dlg"_s);
    const QStringList texts = {u"見出し"_s,     u"一行目\n二行目\n"_s, u"a\tb"_s, u"C:\\予定\\"_s,
                               u"\\t\\n"_s,     u"改行\r\n"_s,         {},        u"\r"_s,
                               u"🗓 最後"_s};
    const quint32 colours[] = {0, 255, 0x80000005, 0xFFFFFFFF};
    GridModel a(3, 3); // row 0 and column 0 are fixed
    for (int i = 0; i < 9; ++i) {
        a.setTextMatrix(i / 3, i % 3, texts[i]);
        a.setForeColorAt(i / 3, i % 3, colours[i % 4]);
        a.setBackColorAt(i / 3, i % 3, colours[(i + 1) % 4]);
    }
    QVERIFY(a.saveGrid(path).ok());

    GridModel b(7, 1);
    QSignalSpy reset(&b, &QAbstractItemModel::modelReset);
    const FileResult r = b.loadGrid(path);
    QVERIFY2(r.ok(), qPrintable(r.loadMessage(path)));
    QCOMPARE(reset.size(), 1);
    QCOMPARE((QList{b.rowCount(), b.columnCount()}), (QList{3, 3}));
    for (int i = 0; i < 9; ++i) {
        const GridCell& c = b.cellAt(i / 3, i % 3);
        QCOMPARE(c.text, texts[i]);
        QCOMPARE((QList{c.fore, c.back}), (QList{colours[i % 4], colours[(i + 1) % 4]}));
    }

    // A load that fails leaves text and size as they were, without a reset.
    QFile cut(dir.filePath(u"cut.dlg"_s));
    QVERIFY(cut.open(QIODevice::WriteOnly) && cut.write(contents(path).chopped(9)) > 0);
    cut.close();
    GridModel c(2, 2);
    fill(c);
    const QByteArray before = c.toFileImage();
    QSignalSpy aboutToReset(&c, &QAbstractItemModel::modelAboutToBeReset);
    QCOMPARE(c.loadGrid(cut.fileName()).code, FileResult::Damaged);
    QCOMPARE(c.loadGrid(dir.filePath(u"無い.dlg"_s)).code, FileResult::NotFound);
    QCOMPARE(c.toFileImage(), before);
    QCOMPARE(aboutToReset.size(), 0);
}

void TestGridModel::saveKeepsPreviousFileAsBackup() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"g.dlg"_s);
    const QString bak = path + u".bak"_s;
    GridModel m(2, 2);
    QByteArray previous;
    for (const QString& text : {u"一"_s, u"二"_s, u"三"_s}) {
        m.setTextMatrix(1, 1, text);
        QVERIFY(m.saveGrid(path).ok());
        QCOMPARE(contents(path), m.toFileImage());
        QCOMPARE(QFile::exists(bak), !previous.isEmpty());
        QCOMPARE(contents(bak), previous);
        previous = m.toFileImage();
    }
}

void TestGridModel::failedSaveLeavesFileUnchanged_data() {
    QTest::addColumn<QString>("folder"); // inside a fresh temporary folder holding ro/g.dlg
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("missing folder") << u"無い"_s << false;
    QTest::newRow("folder is a file") << u"ro/g.dlg"_s << false;
    QTest::newRow("read-only folder") << u"ro"_s << true;
}

void TestGridModel::failedSaveLeavesFileUnchanged() {
    QFETCH(QString, folder);
    QFETCH(bool, readOnly);
    if (readOnly && geteuid() == 0)
        QSKIP("root writes into read-only folders");
    QTemporaryDir dir;
    const QString ro = dir.filePath(u"ro"_s);
    QVERIFY(QDir().mkpath(ro));
    GridModel m(2, 2);
    m.setTextMatrix(1, 1, u"元"_s);
    QVERIFY(m.saveGrid(ro + u"/g.dlg"_s).ok());
    const QByteArray before = contents(ro + u"/g.dlg"_s);

    const auto perms = QFile::permissions(ro);
    const auto restore = qScopeGuard([&] { QFile::setPermissions(ro, perms); });
    if (readOnly)
        QVERIFY(QFile::setPermissions(ro, QFile::ReadOwner | QFile::ExeOwner));
    m.setTextMatrix(1, 1, u"新"_s);
    const QString path = dir.filePath(folder + u"/g.dlg"_s);
    QCOMPARE(m.saveGrid(path).code, FileResult::WriteFailed);
    QCOMPARE(contents(ro + u"/g.dlg"_s), before);
    QVERIFY(!QFile::exists(path + u".bak"_s));
}

QTEST_GUILESS_MAIN(TestGridModel)
#include "tst_gridmodel.moc"
