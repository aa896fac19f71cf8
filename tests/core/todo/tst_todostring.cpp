// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grid/gridmodel.h"
#include "core/store/yearstore.h"
#include "core/todo/todostring.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Items as "flag,time,category,text" lines, so a whole parse compares in one go.
QStringList describe(const std::vector<ToDoItem>& items) {
    QStringList out;
    for (const ToDoItem& i : items)
        out.append(i.flag + u'/' + i.time + u'/' + i.category + u'/' + i.text);
    return out;
}

} // namespace

// Grids are 9 rows × 4 columns as the diary has them: header row 0, check box in column 0.
class TestToDoString : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parseReadsEveryItem_data();
    void parseReadsEveryItem();
    void itemStringKeepsFieldsApart_data();
    void itemStringKeepsFieldsApart();
    void loadAndSaveKeepEveryItem();
    void loadMarksTopCategorySaveResetsGrid_data();
    void loadMarksTopCategorySaveResetsGrid();
    void loadingEmptyDayLeavesGridUntouched();
    void normalizeTime_data();
    void normalizeTime();
};

void TestToDoString::parseReadsEveryItem_data() {
    QTest::addColumn<QString>("day");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("single open item")
        << u"|0,09:30,重要,資料作成"_s << QStringList{u"0/09:30/重要/資料作成"_s};
    QTest::newRow("text before the first bar ignored")
        << u"junk,1,2|1,,普通,x"_s << QStringList{u"1//普通/x"_s};
    QTest::newRow("commas in the text joined back")
        << u"|0,10:00,普通,A, B, C|1,11:00,要軽,d"_s
        << QStringList{u"0/10:00/普通/A, B, C"_s, u"1/11:00/要軽/d"_s};
    QTest::newRow("empty string") << QString() << QStringList();
}

void TestToDoString::parseReadsEveryItem() {
    QFETCH(QString, day);
    QFETCH(QStringList, items);
    QCOMPARE(describe(ToDo_Parse(day)), items);
}

void TestToDoString::itemStringKeepsFieldsApart_data() {
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");

    QTest::newRow("plain open item")
        << u"09:30"_s << u"重要"_s << u"資料作成"_s << u"|0,09:30,重要,資料作成"_s;
    QTest::newRow("commas in text kept")
        << u""_s << u"普通"_s << u"A, B, C"_s << u"|0,,普通,A, B, C"_s;
    QTest::newRow("bar in text") << u"09:30"_s << u"普通"_s << u"a|0,b"_s
                                 << u"|0,09:30,普通,a｜0,b"_s;
    QTest::newRow("bar and comma in time")
        << u"9|3,0"_s << u"普通"_s << u"x"_s << u"|0,9｜3，0,普通,x"_s;
    QTest::newRow("bar and comma in category")
        << u"09:30"_s << u"重,|要"_s << u"x"_s << u"|0,09:30,重，｜要,x"_s;
}

void TestToDoString::itemStringKeepsFieldsApart() {
    QFETCH(QString, time);
    QFETCH(QString, category);
    QFETCH(QString, text);
    QFETCH(QString, stored);

    QCOMPARE(ToDo_ItemString(false, time, category, text), stored);
    const std::vector<ToDoItem> items = ToDo_Parse(stored);
    QCOMPARE(items.size(), size_t(1));
    QCOMPARE(items[0].text, QString(text).replace(u'|', u'｜'));
}

void TestToDoString::loadAndSaveKeepEveryItem() {
    QString day;
    for (int i = 0; i < 12; ++i)
        day += ToDo_ItemString(i % 3 == 0, u"%1:00"_s.arg(8 + i, 2, 10, QChar(u'0')),
                               ToDo_Categories().at(i % 4), u"用件 %1, 詳細"_s.arg(i));
    YearStore store;
    store.set(5, StoreCol::ToDo, day);
    GridModel grid(9, 4);

    ToDo_LoadDiary(grid, store, 5);
    QVERIFY(grid.rows() >= 13);
    QCOMPARE(grid.cell(GridModel::CellChecked, 12, 0), 2);
    QCOMPARE(grid.cell(GridModel::CellChecked, 10, 0), 1);
    QCOMPARE(grid.textMatrix(12, 1), u"19:00"_s);
    QCOMPARE(grid.textMatrix(12, 2), u"要軽"_s);
    QCOMPARE(grid.textMatrix(12, 3), u"用件 11, 詳細"_s);

    ToDo_SaveDiary(grid, store, 6);
    QCOMPARE(store.text(6, StoreCol::ToDo), day);
}

void TestToDoString::loadMarksTopCategorySaveResetsGrid_data() {
    QTest::addColumn<bool>("weekly");
    QTest::newRow("diary") << false;
    QTest::newRow("weekly") << true;
}

void TestToDoString::loadMarksTopCategorySaveResetsGrid() {
    QFETCH(bool, weekly);
    YearStore store;
    store.set(1, StoreCol::ToDo, u"|1,09:00,最優,a|0,10:00,最重,b|0,,最優先,c"_s);
    GridModel grid(9, 4);
    weekly ? ToDo_LoadWeekDay(grid, store, 1) : ToDo_LoadDiary(grid, store, 1);
    // Only a weekly day marks the category 最優, and only that exact text.
    QCOMPARE(grid.cell(GridModel::CellBackColor, 1, 3), weekly ? 0x0000FF : 0);
    QCOMPARE(grid.cell(GridModel::CellBackColor, 2, 3), 0);
    QCOMPARE(grid.cell(GridModel::CellBackColor, 3, 3), 0);
    grid.setTextMatrix(4, 1, u"08:00"_s); // a row without text is not written
    grid.setTextMatrix(4, 2, u"重要"_s);
    auto save = [&](int row) {
        weekly ? ToDo_SaveWeekDay(grid, store, row) : ToDo_SaveDiary(grid, store, row);
    };
    save(2);
    QCOMPARE(store.text(2, StoreCol::ToDo), store.text(1, StoreCol::ToDo));

    QCOMPARE(grid.textMatrix(0, 0), u"既"_s);
    QCOMPARE(grid.textMatrix(0, 3), u"用  件"_s);
    QCOMPARE(grid.cell(GridModel::CellAlignment, 0, 3), 4);
    if (!weekly) {
        QCOMPARE(grid.textMatrix(0, 1), u"時刻"_s);
        QCOMPARE(grid.textMatrix(0, 2), u"分類"_s);
        QCOMPARE(grid.cell(GridModel::CellAlignment, 0, 1), 4);
        QCOMPARE(grid.cell(GridModel::CellAlignment, 0, 2), 4);
    }
    for (int r = 1; r < grid.rows(); ++r) {
        QCOMPARE(grid.cell(GridModel::CellChecked, r, 0), 2);
        for (int c = 1; c < 4; ++c)
            QCOMPARE(grid.textMatrix(r, c), QString());
        if (weekly) // also takes back the red of the 最優 item
            QCOMPARE(grid.cell(GridModel::CellBackColor, r, 3), 0xFFFFFF);
    }
    save(1); // a grid without texts deletes the day's items
    QCOMPARE(store.text(1, StoreCol::ToDo), QString());
}

void TestToDoString::loadingEmptyDayLeavesGridUntouched() {
    YearStore store;
    GridModel grid(9, 4);
    grid.setTextMatrix(1, 3, u"入力中"_s);
    grid.setCell(GridModel::CellChecked, 1, 0, 1);
    ToDo_LoadDiary(grid, store, 4);
    ToDo_LoadWeekDay(grid, store, 4);
    QCOMPARE(grid.rows(), 9);
    QCOMPARE(grid.textMatrix(1, 3), u"入力中"_s);
    QCOMPARE(grid.cell(GridModel::CellChecked, 1, 0), 1);
}

void TestToDoString::normalizeTime_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");

    QTest::newRow("h:mm") << u"9:30"_s << u"09:30"_s;
    QTest::newRow("hmm") << u"930"_s << u"09:30"_s;
    QTest::newRow("hhmm") << u"0930"_s << u"09:30"_s;
    QTest::newRow("時 and 分") << u"9時30分"_s << u"09:30"_s;
    QTest::newRow("full-width") << u"９：３０"_s << u"09:30"_s;
    QTest::newRow("hour alone") << u"9"_s << u"09:00"_s;
    QTest::newRow("empty stays empty") << u""_s << u""_s;
    QTest::newRow("hour 25") << u"25:00"_s << QString();
    QTest::newRow("hour 24") << u"2400"_s << QString();
    QTest::newRow("minute 75") << u"9:75"_s << QString();
    QTest::newRow("not a time") << u"abc"_s << QString();
}

void TestToDoString::normalizeTime() {
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    const QString result = ToDo_NormalizeTime(typed);
    QCOMPARE(result, stored);
    QCOMPARE(result.isNull(), stored.isNull());
}

QTEST_GUILESS_MAIN(TestToDoString)
#include "tst_todostring.moc"
