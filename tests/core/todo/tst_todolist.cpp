// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/newyear.h"
#include "core/grid/gridmodel.h"
#include "core/store/appstate.h"
#include "core/time/dates.h"
#include "core/todo/todolist.h"
#include "core/todo/todostring.h"
#include "support/year2005.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace ToDoList;

namespace {

QString item(const QString& flag, const QString& time, const QString& category,
             const QString& text) {
    return u'|' + flag + u',' + time + u',' + category + u',' + text;
}

struct Year : Year2005 {
    void put(int m, int d, const QString& todo) { Year2005::put(m, d, StoreCol::ToDo, todo); }
    QString todo(int m, int d) const { return text(m, d, StoreCol::ToDo); }
};

// The list as "date done time category text" lines.
QStringList rows(const GridModel& fg) {
    QStringList out;
    for (int r = 1; r < fg.rows(); ++r)
        out.append(fg.textMatrix(r, DateCol).mid(5) + u' ' +
                   (fg.cell(GridModel::CellChecked, r, DoneCol) == 1 ? u'1' : u'0') + u' ' +
                   fg.textMatrix(r, TimeCol) + u' ' + fg.textMatrix(r, CategoryCol) + u' ' +
                   fg.textMatrix(r, TextCol));
    return out;
}

const QDate May1(2005, 5, 1), May31(2005, 5, 31);

} // namespace

class TestToDoList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aRangeListsItsDaysItemsInDayAndStoredOrder() {
        Year y;
        y.put(5, 9, item(u"0"_s, u"09:00"_s, u"普通"_s, u"前の日"_s));
        y.put(5, 10,
              item(u"1"_s, u"10:00"_s, u"重要"_s, u"済み"_s) +
                  item(u"x"_s, {}, u"要軽"_s, u"妙な印"_s) +
                  item(u"0"_s, u"08:00"_s, u"最重"_s, u"未"_s));
        y.put(5, 11, item(u"0"_s, u"07:00"_s, u"普通"_s, u"次の日"_s));
        GridModel fg;
        QVERIFY(ToDo_ListShow(fg, y.app, QDate(2005, 5, 10), QDate(2005, 5, 10)));
        QCOMPARE(rows(fg), (QStringList{u"05/10 1 10:00 重要 済み"_s, u"05/10 1  要軽 妙な印"_s,
                                        u"05/10 0 08:00 最重 未"_s}));
        QCOMPARE(fg.textMatrix(3, NumberCol), u"3"_s);
        QCOMPARE(fg.rowHeight(3), 350);

        QVERIFY(!ToDo_ListShow(fg, y.app, QDate(2005, 5, 11), QDate(2005, 5, 10)));
        QCOMPARE(fg.rows(), 4); // unchanged
    }

    void aRangeWithoutItemsShowsOneEmptyRowAndSavesNothing() {
        Year y;
        y.put(6, 1, item(u"0"_s, {}, {}, u"六月"_s));
        GridModel fg;
        ToDoShown shown;
        QVERIFY(ToDo_ListShow(fg, y.app, May1, May31, &shown));
        QCOMPARE(fg.rows(), 2);
        QCOMPARE(fg.cell(GridModel::CellChecked, 1, DoneCol), 2);
        QVERIFY(fg.textMatrix(1, DateCol).isEmpty());
        QVERIFY(ToDo_ListSave(fg, shown, y.app.store()).saved);
        for (int d = 1; d <= 31; ++d)
            QVERIFY(y.todo(5, d).isEmpty());
        QCOMPARE(y.todo(6, 1), item(u"0"_s, {}, {}, u"六月"_s));
    }

    void savingWritesTheListsOrderAndDropsRowsWithoutText() {
        Year y;
        y.put(5, 10,
              item(u"0"_s, u"08:00"_s, u"普通"_s, u"あ"_s) +
                  item(u"0"_s, u"09:00"_s, u"普通"_s, u"い"_s) +
                  item(u"0"_s, u"10:00"_s, u"普通"_s, u"う"_s));
        GridModel fg;
        ToDoShown shown;
        ToDo_ListShow(fg, y.app, May1, May31, &shown);
        ToDo_Sort(fg, ToDoOrder::TextDown);
        fg.setTextMatrix(2, TextCol, QString()); // "い" loses its text
        QVERIFY(ToDo_ListSave(fg, shown, y.app.store()).saved);
        QCOMPARE(y.todo(5, 10), item(u"0"_s, u"10:00"_s, u"普通"_s, u"う"_s) +
                                    item(u"0"_s, u"08:00"_s, u"普通"_s, u"あ"_s));
        QVERIFY(y.app.docChanged());
    }

    void aRedatedItemMovesAndJoinsWhatTheOtherDayHolds() {
        Year y;
        y.put(5, 10, item(u"0"_s, {}, {}, u"移す"_s) + item(u"0"_s, {}, {}, u"残す"_s));
        y.put(5, 20, item(u"1"_s, {}, {}, u"二十日"_s));
        y.put(7, 1, item(u"0"_s, {}, {}, u"七月の分"_s));
        GridModel fg;
        ToDoShown shown;
        ToDo_ListShow(fg, y.app, QDate(2005, 5, 10), QDate(2005, 5, 20), &shown);
        fg.setTextMatrix(1, DateCol, u"2005/07/01"_s); // outside the range shown
        fg.setTextMatrix(2, DateCol, u"2005/05/20"_s); // inside it
        QVERIFY(ToDo_ListSave(fg, shown, y.app.store()).saved);
        QVERIFY(y.todo(5, 10).isEmpty());
        QCOMPARE(y.todo(5, 20),
                 item(u"0"_s, {}, {}, u"残す"_s) + item(u"1"_s, {}, {}, u"二十日"_s));
        // Added to the day's own items, which are kept.
        QCOMPARE(y.todo(7, 1),
                 item(u"0"_s, {}, {}, u"七月の分"_s) + item(u"0"_s, {}, {}, u"移す"_s));
    }

    void aDayWhoseRowsWereAllDeletedEndsWithNone() {
        Year y;
        y.put(5, 10, item(u"0"_s, {}, {}, u"消す"_s));
        y.put(5, 11, item(u"0"_s, {}, {}, u"残す"_s));
        GridModel fg;
        ToDoShown shown;
        ToDo_ListShow(fg, y.app, QDate(2005, 5, 10), QDate(2005, 5, 11), &shown);
        fg.removeItem(1);
        QVERIFY(ToDo_ListSave(fg, shown, y.app.store()).saved);
        QVERIFY(y.todo(5, 10).isEmpty());
        QCOMPARE(y.todo(5, 11), item(u"0"_s, {}, {}, u"残す"_s));
    }

    void aRowOutsideTheYearStopsTheSaveAndStoresNothing_data() {
        QTest::addColumn<QString>("date");
        QTest::newRow("not a date") << u"あした"_s;
        QTest::newRow("before the year") << u"2005/03/31"_s;
        QTest::newRow("after the year") << u"2006/04/02"_s;
    }

    void aRowOutsideTheYearStopsTheSaveAndStoresNothing() {
        QFETCH(QString, date);
        Year y;
        y.put(5, 10, item(u"0"_s, {}, {}, u"一"_s) + item(u"0"_s, {}, {}, u"二"_s));
        y.app.setDocChanged(false);
        GridModel fg;
        ToDoShown shown;
        ToDo_ListShow(fg, y.app, May1, May31, &shown);
        fg.setTextMatrix(1, TextCol, u"変えた"_s);
        fg.setTextMatrix(2, DateCol, date);
        const ToDoSave r = ToDo_ListSave(fg, shown, y.app.store());
        QVERIFY(!r.saved);
        QCOMPARE(r.badRow, 2);
        QCOMPARE(y.todo(5, 10), item(u"0"_s, {}, {}, u"一"_s) + item(u"0"_s, {}, {}, u"二"_s));
        QVERIFY(!y.app.docChanged());
    }

    void theListHasNoLimitsAndReadsBackAsShown() {
        Year y;
        QString day;
        for (int i = 0; i < 14; ++i)
            day += item(u"0"_s, {}, u"普通"_s, u"件%1"_s.arg(i));
        for (int d = 1; d <= 31; ++d)
            y.put(5, d, day); // 31 × 14 = 434 items
        for (int m : {6, 7, 8})
            for (int d = 1; d <= 30; ++d)
                y.put(m, d, day);
        GridModel fg;
        ToDoShown shown;
        ToDo_ListShow(fg, y.app, May1, QDate(2005, 8, 31), &shown);
        QCOMPARE(fg.rows(), 1 + 14 * (31 + 30 + 30 + 30));
        // Bars and commas typed into the list cannot split an item.
        fg.setTextMatrix(1, TimeCol, u"9,30"_s);
        fg.setTextMatrix(1, CategoryCol, u"a|b"_s);
        fg.setTextMatrix(1, TextCol, u"x|y, z"_s);
        QVERIFY(ToDo_ListSave(fg, shown, y.app.store()).saved);
        GridModel again;
        ToDo_ListShow(again, y.app, May1, May1);
        QCOMPARE(again.rows(), 15);
        QCOMPARE(again.textMatrix(1, TimeCol), u"9，30"_s);
        QCOMPARE(again.textMatrix(1, CategoryCol), u"a｜b"_s);
        QCOMPARE(again.textMatrix(1, TextCol), u"x｜y, z"_s);
    }

    void everyOrderIsStable_data() {
        QTest::addColumn<int>("order");
        QTest::addColumn<QStringList>("texts");
        // The items, in stored order: 10 May A (09:00 普通, open), B (no time 最重, done),
        // C (09:00 普通, open); 9 May D (10:00 要軽, done), E (10:00 重要, open).
        QTest::newRow("date up") << int(ToDoOrder::DateUp)
                                 << QStringList{u"D"_s, u"E"_s, u"B"_s, u"A"_s, u"C"_s};
        QTest::newRow("date down")
            << int(ToDoOrder::DateDown) << QStringList{u"B"_s, u"A"_s, u"C"_s, u"D"_s, u"E"_s};
        QTest::newRow("open first")
            << int(ToDoOrder::OpenFirst) << QStringList{u"E"_s, u"A"_s, u"C"_s, u"D"_s, u"B"_s};
        QTest::newRow("done first")
            << int(ToDoOrder::DoneFirst) << QStringList{u"D"_s, u"B"_s, u"E"_s, u"A"_s, u"C"_s};
        QTest::newRow("category") << int(ToDoOrder::Category)
                                  << QStringList{u"B"_s, u"E"_s, u"A"_s, u"C"_s, u"D"_s};
        QTest::newRow("text up") << int(ToDoOrder::TextUp)
                                 << QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s};
        QTest::newRow("text down")
            << int(ToDoOrder::TextDown) << QStringList{u"E"_s, u"D"_s, u"C"_s, u"B"_s, u"A"_s};
    }

    void everyOrderIsStable() {
        QFETCH(int, order);
        QFETCH(QStringList, texts);
        Year y;
        y.put(5, 10,
              item(u"0"_s, u"09:00"_s, u"普通"_s, u"A"_s) + item(u"1"_s, {}, u"最重"_s, u"B"_s) +
                  item(u"0"_s, u"09:00"_s, u"普通"_s, u"C"_s));
        y.put(5, 9,
              item(u"1"_s, u"10:00"_s, u"要軽"_s, u"D"_s) +
                  item(u"0"_s, u"10:00"_s, u"重要"_s, u"E"_s));
        GridModel fg;
        ToDo_ListShow(fg, y.app, May1, May31);
        ToDo_Sort(fg, ToDoOrder(order));
        QStringList got;
        for (int r = 1; r < fg.rows(); ++r)
            got.append(fg.textMatrix(r, TextCol));
        QCOMPARE(got, texts);
        QCOMPARE(fg.textMatrix(5, NumberCol), u"5"_s);
        for (int r = 1; r < fg.rows(); ++r)
            QVERIFY(fg.textMatrix(r, DoneCol).isEmpty()); // the sort key is gone again
    }

    void anInsertedRowIsEmptyAndTheRowsAreNumberedAgain() {
        Year y;
        y.put(5, 10, item(u"1"_s, {}, {}, u"一"_s) + item(u"0"_s, {}, {}, u"二"_s));
        GridModel fg;
        ToDo_ListShow(fg, y.app, May1, May31);
        ToDo_InsertRow(fg, 1);
        QCOMPARE(rows(fg), (QStringList{u" 0   "_s, u"05/10 1   一"_s, u"05/10 0   二"_s}));
        QCOMPARE(fg.textMatrix(3, NumberCol), u"3"_s);
        QCOMPARE(fg.rowHeight(3), 350);
    }
};

QTEST_GUILESS_MAIN(TestToDoList)
#include "tst_todolist.moc"
