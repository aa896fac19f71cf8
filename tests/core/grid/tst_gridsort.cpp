#include "core/grid/gridmodel.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int Asc = 1, Desc = 2;

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

} // namespace

class TestGridSort : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sortsSelectedRows_data();
    void sortsSelectedRows();
    void onlySelectedRowsMoveWithTheirCells();
    void keysOfEveryKind();
};

void TestGridSort::sortsSelectedRows_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QList<int>>("colSort"); // of columns 1..
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("sorted");

    const int date = GridModel::DateType, text = 0;
    QTest::newRow("times") << date << QList{Asc} << u"13:00;09:30;10:05"_s << u"2 3 1"_s;
    QTest::newRow("unpadded hour as time") << date << QList{Asc} << u"10:00;9:05"_s << u"2 1"_s;
    QTest::newRow("same times as text") << text << QList{Asc} << u"9:05;10:00"_s << u"2 1"_s;
    QTest::newRow("dates") << date << QList{Asc} << u"2006/01/05;2005/12/01;2005/04/02"_s
                           << u"3 2 1"_s;
    QTest::newRow("unpadded month as date")
        << date << QList{Asc} << u"2005/12/01;2005/4/2"_s << u"2 1"_s;
    QTest::newRow("dates descending")
        << date << QList{Desc} << u"2005/04/02;2006/01/05;2005/12/01"_s << u"2 3 1"_s;
    QTest::newRow("empty date first") << date << QList{Asc} << u"10:00;;09:00"_s << u"2 3 1"_s;
    QTest::newRow("empty text first") << text << QList{Asc} << u"b;;a"_s << u"2 3 1"_s;
    // Code page 932 puts 最 重 普 要 in this order; Unicode gives 普 最 要 重.
    QTest::newRow("categories") << text << QList{Asc} << u"普通;要軽;最重;重要"_s << u"3 4 1 2"_s;
    QTest::newRow("categories descending")
        << text << QList{Desc} << u"最重;普通;重要;要軽"_s << u"4 2 3 1"_s;
    QTest::newRow("equal keys keep order descending")
        << text << QList{Desc} << u"a;b;a"_s << u"2 1 3"_s;
    QTest::newRow("leftmost key first")
        << text << QList{Asc, Desc} << u"2,a;1,b;2,b;1,a"_s << u"2 4 3 1"_s;

    QStringList many, sorted; // enough rows for an unstable sort to show
    for (int i = 0; i < 40; ++i) {
        many.append(i % 2 ? u"a"_s : u"b"_s);
        sorted.append(QString::number(i < 20 ? 2 * i + 2 : 2 * (i - 20) + 1));
    }
    QTest::newRow("equal keys keep order")
        << text << QList{Asc} << many.join(u';') << sorted.join(u' ');
}

void TestGridSort::sortsSelectedRows() {
    QFETCH(int, type);
    QFETCH(QList<int>, colSort);
    QFETCH(QString, rows);
    QFETCH(QString, sorted);
    GridModel grid;
    load(grid, rows);
    for (int k = 0; k < colSort.size(); ++k) {
        grid.setColDataType(k + 1, type);
        grid.setColSort(k + 1, colSort[k]);
    }
    grid.select(1, 1, grid.rows() - 1, 1);
    grid.setSort(GridModel::SortGenericByColSort);
    QCOMPARE(order(grid), sorted);
}

void TestGridSort::onlySelectedRowsMoveWithTheirCells() {
    GridModel grid;
    load(grid, u"z;c;a;b;0"_s);
    for (int r = 1; r <= 5; ++r) { // colours and check box tell each row apart
        grid.setBackColorAt(r, 2, quint32(0x100 * r));
        grid.setForeColorAt(r, 1, quint32(r));
        grid.setCell(GridModel::CellChecked, r, 0, r % 2 + 1);
    }
    grid.setColSort(1, Asc);
    grid.select(4, 1, 2, 1); // rows 2..4, selected upwards
    grid.setSort(GridModel::SortGenericByColSort);

    QCOMPARE(order(grid), u"1 3 4 2 5"_s);
    for (int r = 1; r <= 5; ++r) {
        const int was = grid.textMatrix(r, 2).toInt();
        QCOMPARE(grid.cell(GridModel::CellBackColor, r, 2), 0x100 * was);
        QCOMPARE(grid.cellAt(r, 1).fore, quint32(was));
        QCOMPARE(grid.cell(GridModel::CellChecked, r, 0), was % 2 + 1);
    }
}

// Keys given to sortRows: numbers by value, check boxes by state, an empty cell as
// the text it stands for, several keys leftmost first.
void TestGridSort::keysOfEveryKind() {
    using Key = GridModel::SortKey;
    const struct {
        const char16_t* rows;
        std::vector<Key> keys;
        const char16_t* sorted;
    } cases[] = {
        {u"10;9;x;;2.5", {{1, Key::Number, false, {}}}, u"4 5 2 1 3"},
        {u"10;9;x;;2.5", {{1, Key::Number, true, {}}}, u"3 1 2 5 4"},
        {u"10:00;;23:59;09:00", {{1, Key::Time, false, u"23:59"_s}}, u"4 1 2 3"},
        {u"2005/5/1,b;2005/4/30,a;2005/5/1,a",
         {{1, Key::Date, true, {}}, {2, Key::Text, false, {}}},
         u"3 1 2"},
        {u"a;b;c;d", {{1, Key::Check, false, {}}}, u"2 4 1 3"},
        {u"a;b;c;d", {{1, Key::Check, true, {}}}, u"1 3 2 4"},
    };
    for (const auto& c : cases) {
        GridModel grid;
        load(grid, QString::fromUtf16(c.rows));
        for (int r = 1; r < grid.rows(); ++r) // rows 1 and 3 checked
            grid.setCell(GridModel::CellChecked, r, 1, r % 2 ? 1 : 2);
        grid.sortRows(1, grid.rows() - 1, c.keys);
        QCOMPARE(order(grid), QString::fromUtf16(c.sorted));
    }
}

QTEST_GUILESS_MAIN(TestGridSort)
#include "tst_gridsort.moc"
