// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/newyear.h"
#include "core/pages/diarypage.h"
#include "core/store/appstate.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"
#include "support/year2005.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Year = Year2005;

// The task rows of a ToDo grid as "done/time/category/task" texts.
QStringList tasks(const GridModel& fg) {
    QStringList out;
    for (int r = 1; r < fg.rows(); ++r)
        out.append(QString::number(fg.cell(GridModel::CellChecked, r, 0)) + u'/' +
                   fg.textMatrix(r, 1) + u'/' + fg.textMatrix(r, 2) + u'/' + fg.textMatrix(r, 3));
    return out;
}

} // namespace

class TestDiaryPage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyBoxTravelsToItsColumnsAndBack() {
        using namespace StoreCol;
        Year y;
        const int row = y.row(5, 10);
        DiaryPage page;
        Store_ToDiary(page, y.app);
        page.events = {u"遠足"_s, 255, 0x00FFFF};
        page.record = {u"晴れ。\n2 行目"_s, 0, SystemWindowColor};
        for (int i = 0; i < 7; ++i) {
            page.slotItems[size_t(i)] = {u"項目%1"_s.arg(i + 1), quint32(i + 1), quint32(100 + i)};
            page.slotTexts[size_t(i)] = {u"内容%1"_s.arg(i + 1), quint32(200 + i),
                                         quint32(300 + i)};
        }
        page.todo.setTextMatrix(1, 3, u"買い物"_s);
        Diary_ToStore(page, y.app);

        QCOMPARE(y.app.store().text(row, Events), u"遠足"_s);
        QCOMPARE(y.app.store().number(row, EventsFore), 255);
        QCOMPARE(y.app.store().number(row, EventsBack), 0x00FFFF);
        QCOMPARE(y.app.store().text(row, Record), u"晴れ。\n2 行目"_s);
        // The window colour a box shows for "no colour" stays "no colour".
        QCOMPARE(y.app.store().at(row, RecordBack).isEmpty(), true);
        QCOMPARE(y.app.store().text(row, SlotItem1 + 6), u"項目7"_s);
        QCOMPARE(y.app.store().number(row, SlotItemFore1 + 6), 7);
        QCOMPARE(y.app.store().number(row, SlotItemBack1 + 6), 106);
        QCOMPARE(y.app.store().text(row, SlotText1), u"内容1"_s);
        QCOMPARE(y.app.store().number(row, SlotTextFore1), 200);
        QCOMPARE(y.app.store().number(row, SlotTextBack1), 300);
        QCOMPARE(y.app.store().text(row, ToDo), ToDo_ItemString(false, {}, {}, u"買い物"_s));
        // Nothing spills into the days around it.
        QVERIFY(y.app.store().text(row - 1, Record).isEmpty());
        QVERIFY(y.app.store().text(row + 1, Record).isEmpty());
        // Storing empties the ToDo grid; loading brings everything back.
        QVERIFY(page.todo.textMatrix(1, 3).isEmpty());

        DiaryPage again;
        Store_ToDiary(again, y.app);
        QCOMPARE(again.events.text, u"遠足"_s);
        QCOMPARE(again.events.fore, 255u);
        QCOMPARE(again.record.text, page.record.text);
        QCOMPARE(again.slotTexts[6].back, 306u);
        QCOMPARE(again.todo.textMatrix(1, 3), u"買い物"_s);
    }

    void anEmptyOrZeroBackgroundIsShownAsTheWindowColour() {
        using namespace StoreCol;
        Year y;
        const int row = y.row(5, 10);
        y.app.store().set(row, EventsBack, qint64(0));           // 0: not chosen
        y.app.store().set(row, RecordBack, u"0"_s);              // as a loaded file holds it
        y.app.store().set(row, SlotItemBack1, qint64(0x000001)); // almost black is a colour
        DiaryPage page;
        Store_ToDiary(page, y.app);
        QCOMPARE(page.events.back, SystemWindowColor);
        QCOMPARE(page.record.back, SystemWindowColor);
        QCOMPARE(page.slotItems[0].back, 1u);
        QCOMPARE(page.slotTexts[0].back, SystemWindowColor); // empty cell
    }

    void twelveToDoItemsSurviveALoadAndAStore() {
        Year y;
        const int row = y.row(5, 10);
        QString day;
        for (int i = 1; i <= 12; ++i)
            day += ToDo_ItemString(i % 3 == 0, u"%1:00"_s.arg(i + 6, 2, 10, QChar(u'0')), u"普通"_s,
                                   u"用件%1, 詳細"_s.arg(i));
        y.app.store().set(row, StoreCol::ToDo, day);

        DiaryPage page;
        Store_ToDiary(page, y.app);
        QCOMPARE(page.todo.rows(), 13);
        Diary_ToStore(page, y.app);
        QCOMPARE(y.app.store().text(row, StoreCol::ToDo), day);
    }

    void sortingByTimePutsUntimedTasksLastAndKeepsThemUntimed() {
        DiaryPage page;
        GridModel& fg = page.todo;
        auto put = [&](int r, bool done, const QString& time, const QString& category,
                       const QString& text) {
            fg.setCell(GridModel::CellChecked, r, 0, done ? 1 : 2);
            fg.setTextMatrix(r, 1, time);
            fg.setTextMatrix(r, 2, category);
            fg.setTextMatrix(r, 3, text);
        };
        put(1, false, u"10:00"_s, u"普通"_s, u"会議"_s);
        put(2, true, QString(), u"要軽"_s, u"連絡"_s);
        put(3, false, u"08:30"_s, u"最重"_s, u"朝礼"_s);
        put(4, false, u"23:59"_s, u"重要"_s, u"日誌"_s);
        put(5, false, QString(), u"普通"_s, u"片付け"_s);

        Diary_SortToDo(fg);

        QCOMPARE(tasks(fg).mid(0, 5),
                 (QStringList{u"2/08:30/最重/朝礼"_s, u"2/10:00/普通/会議"_s, u"1//要軽/連絡"_s,
                              u"2/23:59/重要/日誌"_s, u"2//普通/片付け"_s}));
        // The empty rows stay after the tasks, still empty.
        QCOMPARE(tasks(fg).mid(5), QStringList(5, u"2///"_s));
        QCOMPARE(fg.cell(GridModel::CellAlignment, 0, 1), int(GridModel::AlignCenterCenter));
    }

    void monthsStepInsideTheDocumentYear_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("direction");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<int>("newYear");
        QTest::addColumn<int>("newMonth");

        QTest::newRow("back from April") << 2005 << 4 << -1 << false << 2005 << 4;
        QTest::newRow("on from March") << 2006 << 3 << 1 << false << 2006 << 3;
        QTest::newRow("December to January") << 2005 << 12 << 1 << true << 2006 << 1;
        QTest::newRow("January to December") << 2006 << 1 << -1 << true << 2005 << 12;
        QTest::newRow("April to May") << 2005 << 4 << 1 << true << 2005 << 5;
        QTest::newRow("March to February") << 2006 << 3 << -1 << true << 2006 << 2;
    }

    void monthsStepInsideTheDocumentYear() {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, direction);
        QFETCH(bool, moved);
        QFETCH(int, newYear);
        QFETCH(int, newMonth);
        QCOMPARE(Store_StepMonth(year, month, direction), moved);
        QCOMPARE(year, newYear);
        QCOMPARE(month, newMonth);
    }

    void aDayTheMonthLacksBecomesItsLastDay_data() {
        QTest::addColumn<QDate>("month"); // year and month; day 1
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("clamped");

        QTest::newRow("31 in June") << QDate(2005, 6, 1) << 31 << 30;
        QTest::newRow("30 in February") << QDate(2006, 2, 1) << 30 << 28;
        QTest::newRow("29 in a leap February") << QDate(2004, 2, 1) << 29 << 29;
        QTest::newRow("a day the month has") << QDate(2005, 7, 1) << 31 << 31;
    }

    void aDayTheMonthLacksBecomesItsLastDay() {
        QFETCH(QDate, month);
        QFETCH(int, day);
        QFETCH(int, clamped);
        AppState app;
        app.CurYear = month.year();
        app.CurMonth = month.month();
        app.CurDay = day;
        Store_ClampDay(app);
        QCOMPARE(app.CurDay, clamped);
        QCOMPARE(app.CurMonth, month.month());
    }
};

QTEST_GUILESS_MAIN(TestDiaryPage)
#include "tst_diarypage.moc"
