// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/todoitems.h"
#include "support/viewfixture.h"

#include "core/todo/todostring.h"
#include "gui/frame/monthgrid.h"

#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QDate May10(2005, 5, 10); // a Tuesday: day 2 of the week from Sunday 8 May

} // namespace

class TestWeeklyWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theWeekOpensFromTheCalendarWithTheFocusInTheDaysEvents() {
        ViewFixture f;
        f.env.app.store().set(f.row(May10), StoreCol::Events, u"家庭訪問"_s);
        f.calendar->action(u"mnuShuu"_s)->trigger();
        auto* w = static_cast<WeeklyWindow*>(f.env.nav->window(View::Weekly)->widget());
        QVERIFY(QTest::qWaitForWindowActive(w));
        QVERIFY(!f.calendar->isVisible());
        QCOMPARE(w->heading(0)->text(), u"5月8日"_s);
        QCOMPARE(w->heading(2)->text(), u"5月10日"_s);
        QCOMPARE(w->eventsBox(2)->toPlainText(), u"家庭訪問"_s);
        QCOMPARE(w->focusWidget(), w->eventsBox(2));

        // A weekday heading of the calendar opens the week of the month's first day.
        w->close();
        QTest::mouseClick(f.calendar->dayCell(37 + 3), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(f.env.app.currentDate(), QDate(2005, 5, 1));
        QCOMPARE(w->heading(0)->text(), u"5月1日"_s);
        QCOMPARE(w->focusWidget(), w->eventsBox(0));
    }

    // 前の日 and 次の日 move the current day, and the week with it across Sunday.
    void theDayStepsMoveTheWeek() {
        ViewFixture f;
        auto* w = f.open<WeeklyWindow>(View::Weekly, QDate(2005, 5, 14)); // a Saturday
        w->action(u"mnuNextDay"_s)->trigger();
        QCOMPARE(f.env.app.currentDate(), QDate(2005, 5, 15));
        QVERIFY(w->heading(0)->text().contains(u"5月15日"_s));
        w->action(u"mnuPrevDay"_s)->trigger();
        QCOMPARE(f.env.app.currentDate(), QDate(2005, 5, 14));
        QVERIFY(w->heading(0)->text().contains(u"5月8日"_s));
    }

    void daysOutsideTheYearCannotBeTypedInto() {
        ViewFixture f;
        auto* w = f.open<WeeklyWindow>(View::Weekly, QDate(2005, 4, 1));
        QCOMPARE(w->heading(0)->text(), u"3月27日"_s);
        for (int e = 0; e < 5; ++e) {
            QVERIFY(!w->eventsBox(e)->isEnabled());
            QVERIFY(!w->dayGrid(e)->isEnabled());
        }
        QVERIFY(!w->slotBox(1, 0)->isEnabled());
        QVERIFY(w->eventsBox(5)->isEnabled());
        QVERIFY(w->slotBox(6, 6)->isEnabled());
        QCOMPARE(w->focusWidget(), w->eventsBox(5));
    }

    void headingsTakeTheColourOfTheDaysLoad() {
        ViewFixture f;
        f.env.app.store().set(f.row(QDate(2005, 5, 11)), StoreCol::ToDo, openItems(7));
        f.env.app.store().set(f.row(QDate(2005, 5, 12)), StoreCol::ToDo,
                              ToDo_ItemString(true, {}, {}, u"済み"_s));
        auto* w = f.open<WeeklyWindow>(View::Weekly, May10);
        QVERIFY(w->heading(3)->autoFillBackground());
        QCOMPARE(w->heading(3)->palette().color(QPalette::Window), QColor(255, 179, 179));
        QVERIFY(!w->heading(4)->autoFillBackground());
        QVERIFY(!w->heading(5)->autoFillBackground());
        QCOMPARE(w->heading(0)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    }

    void theTopCategoryIsMarkedInItsDaysGrid() {
        ViewFixture f;
        f.env.app.store().set(f.row(May10), StoreCol::ToDo,
                              ToDo_ItemString(false, u"08:00"_s, u"普通"_s, u"いつもの"_s) +
                                  ToDo_ItemString(false, u"09:00"_s, u"最優"_s, u"急ぎ"_s));
        auto* w = f.open<WeeklyWindow>(View::Weekly, May10);
        const GridModel& m = *w->dayGrid(2)->model();
        QCOMPARE(m.textMatrix(2, 3), u"急ぎ"_s);
        QCOMPARE(m.cellAt(2, 3).back, 0x0000FFu);
        QVERIFY(m.cellAt(1, 3).back != 0x0000FFu);
        QCOMPARE(m.colWidth(1), 0); // time and category are kept, not shown
    }

    void monthArrowsStoreTheWeekAndStayInsideTheYear_data() {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QString>("arrow");
        QTest::addColumn<QDate>("to");
        QTest::newRow("previous in April")
            << QDate(2005, 4, 20) << u"Picture1"_s << QDate(2005, 4, 20);
        QTest::newRow("next in March") << QDate(2006, 3, 15) << u"Picture2"_s << QDate(2006, 3, 15);
        QTest::newRow("next from December")
            << QDate(2005, 12, 20) << u"Picture2"_s << QDate(2006, 1, 1);
    }

    void monthArrowsStoreTheWeekAndStayInsideTheYear() {
        QFETCH(QDate, from);
        QFETCH(QString, arrow);
        QFETCH(QDate, to);
        ViewFixture f;
        auto* w = f.open<WeeklyWindow>(View::Weekly, from);
        const int day = Dates::weekday(from) - 1;
        ViewFixture::type(w->eventsBox(day), u"予定"_s);

        QTest::mouseClick(w->calendar()->findChild<QToolButton*>(arrow), Qt::LeftButton);

        QCOMPARE(f.stored(from, StoreCol::Events), u"予定"_s);
        QCOMPARE(f.env.app.currentDate(), to);
        QCOMPARE(w->eventsBox(Dates::weekday(to) - 1)->toPlainText(),
                 f.stored(to, StoreCol::Events));
    }

    void aHeadingOpensTheDiaryAtItsDay_data() {
        QTest::addColumn<QDate>("week");
        QTest::addColumn<QDate>("heading");
        QTest::addColumn<QDate>("opens");
        QTest::newRow("5 October")
            << QDate(2005, 10, 3) << QDate(2005, 10, 5) << QDate(2005, 10, 5);
        QTest::newRow("31 January")
            << QDate(2006, 1, 30) << QDate(2006, 1, 31) << QDate(2006, 1, 31);
        // 31 March 2006 is a Friday: its week runs into the following April.
        QTest::newRow("a following April")
            << QDate(2006, 3, 31) << QDate(2006, 4, 1) << QDate(2005, 4, 1);
    }

    void aHeadingOpensTheDiaryAtItsDay() {
        QFETCH(QDate, week);
        QFETCH(QDate, heading);
        QFETCH(QDate, opens);
        ViewFixture f;
        auto* w = f.open<WeeklyWindow>(View::Weekly, week);
        const int e = Dates::weekday(heading) - 1;
        ViewFixture::type(w->eventsBox(Dates::weekday(week) - 1), u"週の予定"_s);

        QTest::mouseClick(w->heading(e), Qt::LeftButton);

        QCOMPARE(f.stored(week, StoreCol::Events), u"週の予定"_s);
        QCOMPARE(f.env.nav->currentView(), View::Diary);
        QCOMPARE(f.env.app.currentDate(), opens);
        auto* diary = static_cast<DiaryWindow*>(f.env.nav->window(View::Diary)->widget());
        QCOMPARE(diary->dayText()->text(), u"%1日"_s.arg(opens.day()));
        QVERIFY(!w->isVisible());
    }

    void theCalendarsDaysMoveTheWeekAndItsHeadingsDoNothing() {
        ViewFixture f;
        auto* w = f.open<WeeklyWindow>(View::Weekly, May10);
        ViewFixture::type(w->eventsBox(2), u"十日"_s);
        QTest::mouseClick(w->calendar()->cell(40), Qt::LeftButton); // a weekday heading
        QCOMPARE(f.env.app.currentDate(), May10);
        QVERIFY(f.stored(May10, StoreCol::Events).isEmpty());

        QTest::mouseClick(w->calendar()->cell(19), Qt::LeftButton); // 20 May
        QCOMPARE(f.stored(May10, StoreCol::Events), u"十日"_s);
        QCOMPARE(f.env.app.currentDate(), QDate(2005, 5, 20));
        QCOMPARE(w->heading(0)->text(), u"5月15日"_s);
        QCOMPARE(w->calendar()->todayCell(), 19);
    }

    void aDoubleClickColoursTheBackgroundOfABox() {
        ViewFixture f;
        auto* w = f.open<WeeklyWindow>(View::Weekly, May10);
        f.env.colors->answers = {QColor(255, 255, 0), QColor(0, 255, 255)};
        QTest::mouseDClick(w->eventsBox(1)->viewport(), Qt::LeftButton);
        QTest::mouseDClick(w->slotBox(3, 5)->viewport(), Qt::LeftButton);
        QVERIFY(f.env.app.docChanged());
        w->close();
        QCOMPARE(f.env.app.store().number(f.row(QDate(2005, 5, 9)), StoreCol::EventsBack),
                 0x00FFFF);
        QCOMPARE(f.env.app.store().number(f.row(QDate(2005, 5, 11)), StoreCol::SlotItemBack1 + 5),
                 0xFFFF00);
        QCOMPARE(f.env.app.store().number(f.row(QDate(2005, 5, 9)), StoreCol::EventsFore), 0);
    }

    void thePrintedWeekHoldsItsHeadingsAndTexts() {
        ViewFixture f;
        f.env.app.store().set(f.row(QDate(2005, 5, 12)), StoreCol::Events, u"避難訓練"_s);
        f.env.app.store().set(f.row(QDate(2005, 5, 13)), StoreCol::SlotItem1 + 3, u"図工"_s);
        f.env.app.store().set(f.row(QDate(2005, 5, 14)), StoreCol::ToDo,
                              ToDo_ItemString(false, {}, {}, u"学級通信"_s));
        auto* w = f.open<WeeklyWindow>(View::Weekly, May10);
        w->action(u"mnuPrint"_s)->trigger();
        QCOMPARE(f.env.printer->files.size(), 1);
        QCOMPARE(f.env.printer->orientations.value(0), QPageLayout::Landscape);
        const QString text = TestEnvironment::pdfText(f.env.printer->files[0]);
        for (const QString& expected :
             {u"5月8日"_s, u"5月14日"_s, u"避難訓練"_s, u"図工"_s, u"学級通信"_s})
            QVERIFY2(text.contains(expected), qPrintable(expected + u" not in:\n"_s + text));
    }

    void theDiaryLinksToTheWeekAndTheMonth() {
        ViewFixture f;
        DiaryWindow* diary = f.open(May10);
        QTest::mouseClick(diary->calendar()->cell(37), Qt::LeftButton);
        QCOMPARE(f.env.nav->currentView(), View::Weekly);
        QCOMPARE(f.env.app.currentDate(), May10);
        f.env.nav->open(View::Diary);
        QTest::mouseClick(diary->calendar()->monthLabel(), Qt::LeftButton);
        QCOMPARE(f.env.nav->currentView(), View::Monthly);
        QVERIFY(!diary->isVisible());
    }
};

QTEST_MAIN(TestWeeklyWindow)
#include "tst_weeklywindow.moc"
