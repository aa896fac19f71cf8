// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/viewfixture.h"

#include "core/todo/todostring.h"
#include "gui/frame/monthgrid.h"

#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QDate May10(2005, 5, 10); // May 2005 begins on a Sunday: cell k is day k + 1

} // namespace

class TestMonthlyWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theMonthOpensWithTheFocusInTheCurrentDaysBox() {
        ViewFixture f;
        f.env.app.store().set(f.row(May10), StoreCol::Events, u"家庭訪問"_s);
        f.calendar->action(u"mnuTuki"_s)->trigger();
        auto* w = static_cast<MonthlyWindow*>(f.env.nav->window(View::Monthly)->widget());
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(w->eventsBox(9)->toPlainText(), u"家庭訪問"_s);
        QCOMPARE(w->focusWidget(), w->eventsBox(9));
        QCOMPARE(w->page()->monthLabel()->text(), u"5月"_s);
        QCOMPARE(w->page()->yearLabel()->text(), u"2005"_s);
        // The calendar's month caption opens the month at its first day.
        w->close();
        QTest::mouseClick(f.calendar->monthLabel(), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(f.env.app.currentDate(), QDate(2005, 5, 1));
        QCOMPARE(w->focusWidget(), w->eventsBox(0));
    }

    void aMonthStartingOnSaturdayUsesCellsSixToThirtySix() {
        ViewFixture f;
        auto* w = f.open<MonthlyWindow>(View::Monthly, QDate(2005, 10, 1));
        for (int c = 0; c < 37; ++c) {
            const bool day = c >= 6;
            QCOMPARE(w->eventsBox(c)->isVisibleTo(w), day);
            QCOMPARE(w->page()->cell(c)->caption(), day ? QString::number(c - 5) : QString());
        }
    }

    void anEmptyBackgroundStaysWithoutAColour() {
        ViewFixture f;
        const int row = f.row(May10);
        f.env.app.store().set(row, StoreCol::EventsBack, qint64(0));
        auto* w = f.open<MonthlyWindow>(View::Monthly, May10);
        ViewFixture::type(w->eventsBox(9), u"！"_s);
        w->close();
        QCOMPARE(f.env.app.store().number(row, StoreCol::EventsBack), 0);
        QCOMPARE(f.stored(May10, StoreCol::Events), u"！"_s);
    }

    // A day's background colour shows in its box, as in the diary and the week.
    void aDaysBackgroundColourIsShown() {
        ViewFixture f;
        f.env.app.store().set(f.row(May10), StoreCol::EventsBack, qint64(0x00FFFF)); // yellow
        f.env.app.store().set(f.row(May10), StoreCol::Events, u"遠足"_s);
        auto* w = f.open<MonthlyWindow>(View::Monthly, May10);
        TextBox* box = w->eventsBox(9);
        QCOMPARE(box->backColor(), QColor(255, 255, 0));
        const QImage shown = box->grab().toImage();
        const QColor inside = shown.pixelColor(shown.width() - 6, shown.height() - 6);
        QCOMPARE(inside, QColor(255, 255, 0));
    }

    void theDateColourOfAFocusedDaySurvivesAStoreAndARedraw() {
        ViewFixture f;
        auto* w = f.open<MonthlyWindow>(View::Monthly, May10);
        w->eventsBox(10)->setFocus();
        f.env.colors->answers = {QColor(0, 128, 255)};
        w->action(u"mnuDay"_s)->trigger();
        QCOMPARE(w->page()->cell(10)->textColor(), QColor(0, 128, 255));
        QVERIFY(f.env.app.docChanged());

        w->close();
        f.env.nav->open(View::Monthly);
        QCOMPARE(w->page()->cell(10)->textColor(), QColor(0, 128, 255));
        QCOMPARE(f.env.app.store().number(f.row(QDate(2005, 5, 11)), StoreCol::WeekdayFore),
                 0xFF8000);

        // Elsewhere than in a day's box the command says so.
        w->page()->setFocus();
        w->action(u"mnuDay"_s)->trigger();
        QCOMPARE(f.env.messages->shown.size(), 1);
        QCOMPARE(f.env.messages->shown[0].text, u"ここの色は変更できません。"_s);
    }

    void aDayTheNewMonthLacksBecomesItsLastDay() {
        ViewFixture f;
        auto* w = f.open<MonthlyWindow>(View::Monthly, QDate(2005, 8, 31));
        QTest::mouseClick(w->page()->findChild<QToolButton*>(u"Picture2"_s), Qt::LeftButton);
        QCOMPARE(f.env.app.currentDate(), QDate(2005, 9, 30));
        w->action(u"mnuNikki"_s)->trigger();
        QCOMPARE(f.env.nav->currentView(), View::Diary);
        QCOMPARE(f.env.app.currentDate(), QDate(2005, 9, 30));
    }

    void monthArrowsStoreTheMonthAndStayInsideTheYear_data() {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QString>("arrow");
        QTest::addColumn<QDate>("to");
        QTest::newRow("previous in April")
            << QDate(2005, 4, 20) << u"Picture1"_s << QDate(2005, 4, 20);
        QTest::newRow("next in March") << QDate(2006, 3, 15) << u"Picture2"_s << QDate(2006, 3, 15);
        QTest::newRow("previous from January")
            << QDate(2006, 1, 20) << u"Picture1"_s << QDate(2005, 12, 20);
    }

    void monthArrowsStoreTheMonthAndStayInsideTheYear() {
        QFETCH(QDate, from);
        QFETCH(QString, arrow);
        QFETCH(QDate, to);
        ViewFixture f;
        auto* w = f.open<MonthlyWindow>(View::Monthly, from);
        const QDate first(from.year(), from.month(), 1);
        const int cell = Dates::weekday(first) - 1 + from.day() - 1;
        ViewFixture::type(w->eventsBox(cell), u"予定"_s);
        QTest::mouseClick(w->page()->findChild<QToolButton*>(arrow), Qt::LeftButton);
        QVERIFY(f.stored(from, StoreCol::Events).endsWith(u"予定"_s));
        QCOMPARE(f.env.app.currentDate(), to);
        QCOMPARE(w->page()->monthLabel()->text(), u"%1月"_s.arg(to.month()));
    }

    void thePrintedMonthHoldsItsDaysAndEvents() {
        ViewFixture f;
        f.env.app.store().set(f.row(QDate(2005, 5, 21)), StoreCol::Events, u"運動会"_s);
        auto* w = f.open<MonthlyWindow>(View::Monthly, May10);
        w->action(u"mnuPrint"_s)->trigger();
        QCOMPARE(f.env.printer->files.size(), 1);
        QCOMPARE(f.env.printer->orientations.value(0), QPageLayout::Landscape);
        const QString text = TestEnvironment::pdfText(f.env.printer->files[0]);
        for (const QString& expected : {u"5月"_s, u"運動会"_s, u"憲法記念日"_s, u"31"_s})
            QVERIFY2(text.contains(expected), qPrintable(expected + u" not in:\n"_s + text));
    }

    void aDayOpensTheDiaryAfterTheMonthIsStored() {
        ViewFixture f;
        auto* w = f.open<MonthlyWindow>(View::Monthly, May10);
        ViewFixture::type(w->eventsBox(9), u"運動会"_s);
        QTest::mouseClick(w->page()->cell(19), Qt::LeftButton);
        QCOMPARE(f.stored(May10, StoreCol::Events), u"運動会"_s);
        QCOMPARE(f.env.nav->currentView(), View::Diary);
        QCOMPARE(f.env.app.currentDate(), QDate(2005, 5, 20));
        // The year caption leads to the main window, after the month is stored.
        f.env.nav->open(View::Monthly);
        ViewFixture::type(w->eventsBox(9), u"！"_s);
        QTest::mouseClick(w->page()->yearLabel(), Qt::LeftButton);
        QCOMPARE(f.stored(May10, StoreCol::Events), u"運動会！"_s);
        QCOMPARE(f.env.nav->currentView(), View::Main);
        QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TestMonthlyWindow)
#include "tst_monthlywindow.moc"
