// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/todoitems.h"
#include "support/viewfixture.h"

#include "core/todo/todostring.h"
#include "gui/frame/monthgrid.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QDate May10(2005, 5, 10);

// May 2005 begins on a Sunday: cell k shows day k + 1.
int mayCell(int day) {
    return day - 1;
}

// A window beside the views that writes into the store when it is opened, as the
// ToDo list will when it saves.
class Elsewhere : public QWidget, public NavWindow {
public:
    explicit Elsewhere(AppState& app) : m_app(app) { resize(200, 100); }
    QWidget* widget() override { return this; }
    void storePage() override {}
    void leavePage() override {}
    void enterPage() override {
        show();
        activateWindow();
    }
    void write(const QDate& d, int col, const QString& text) {
        m_app.store().set(Dates::rowOfDate(d, m_app.baseYear()), col, text);
    }

private:
    AppState& m_app;
};

} // namespace

class TestDiaryWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aCalendarDayOpensItsPageWithTheFocusInTheRecord() {
        ViewFixture f;
        f.env.app.store().set(f.row(QDate(2005, 5, 12)), StoreCol::Record, u"十二日の記録"_s);
        f.env.app.setDocChanged(false);
        QVERIFY(QTest::qWaitForWindowExposed(f.calendar));

        QTest::mouseClick(f.calendar->dayCell(mayCell(12)), Qt::LeftButton);

        auto* w = static_cast<DiaryWindow*>(f.env.nav->window(View::Diary)->widget());
        QVERIFY(QTest::qWaitForWindowActive(w));
        QVERIFY(!f.calendar->isVisible());
        QCOMPARE(f.env.app.currentDate(), QDate(2005, 5, 12));
        QCOMPARE(w->recordBox()->toPlainText(), u"十二日の記録"_s);
        QCOMPARE(w->monthText()->text(), u"5月"_s);
        QCOMPARE(w->dayText()->text(), u"12日"_s);
        QCOMPARE(w->focusWidget(), w->recordBox());
        QCOMPARE(w->calendar()->todayCell(), mayCell(12));
        QCOMPARE(w->calendar()->cell(mayCell(12))->backColor(), QColor(104, 221, 116));
        // A holiday's number is red and its name is the tip.
        QCOMPARE(w->calendar()->cell(mayCell(3))->textColor(), QColor(255, 0, 0));
        QCOMPARE(w->calendar()->cell(mayCell(3))->toolTip(), u"憲法記念日"_s);
        QVERIFY(!f.env.app.docChanged());
    }

    void anEmptyCalendarCellIsInertAndStoresNothing() {
        ViewFixture f;
        DiaryWindow* w = f.open(May10);
        ViewFixture::type(w->recordBox(), u"書きかけ"_s);

        QTest::mouseClick(w->calendar()->cell(33), Qt::LeftButton);

        QCOMPARE(f.env.app.currentDate(), May10);
        QVERIFY(f.stored(May10, StoreCol::Record).isEmpty());
        QCOMPARE(w->recordBox()->toPlainText(), u"書きかけ"_s);
        QVERIFY(w->isVisible());
    }

    void pickingADayStoresThePageFirst() {
        ViewFixture f;
        DiaryWindow* w = f.open(May10);
        ViewFixture::type(w->recordBox(), u"十日"_s);
        QVERIFY(f.env.app.docChanged());

        QTest::mouseClick(w->calendar()->cell(mayCell(11)), Qt::LeftButton);

        QCOMPARE(f.stored(May10, StoreCol::Record), u"十日"_s);
        QCOMPARE(f.env.app.currentDate(), QDate(2005, 5, 11));
        QVERIFY(w->recordBox()->toPlainText().isEmpty());
        QCOMPARE(w->dayText()->text(), u"11日"_s);
        QCOMPARE(w->calendar()->todayCell(), mayCell(11));
    }

    void monthArrowsStayInsideTheYearAndOpenTheFirstDay_data() {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QString>("arrow");
        QTest::addColumn<QDate>("to");

        QTest::newRow("previous in April")
            << QDate(2005, 4, 20) << u"Picture1"_s << QDate(2005, 4, 20);
        QTest::newRow("next in March") << QDate(2006, 3, 20) << u"Picture2"_s << QDate(2006, 3, 20);
        QTest::newRow("December to January")
            << QDate(2005, 12, 20) << u"Picture2"_s << QDate(2006, 1, 1);
        QTest::newRow("May to April") << QDate(2005, 5, 20) << u"Picture1"_s << QDate(2005, 4, 1);
    }

    void monthArrowsStayInsideTheYearAndOpenTheFirstDay() {
        QFETCH(QDate, from);
        QFETCH(QString, arrow);
        QFETCH(QDate, to);
        ViewFixture f;
        DiaryWindow* w = f.open(from);
        ViewFixture::type(w->recordBox(), u"memo"_s);

        QTest::mouseClick(w->calendar()->findChild<QToolButton*>(arrow), Qt::LeftButton);

        QCOMPARE(f.env.app.currentDate(), to);
        QCOMPARE(w->monthText()->text(), u"%1月"_s.arg(to.month()));
        QCOMPARE(w->dayText()->text(), u"%1日"_s.arg(to.day()));
        QCOMPARE(w->calendar()->monthLabel()->text(), u"%1月"_s.arg(to.month()));
        QCOMPARE(w->calendar()->yearLabel()->text(), QString::number(to.year()));
        const bool moved = to != from;
        // Moving stores the page first; not moving stores nothing.
        QCOMPARE(f.stored(from, StoreCol::Record), moved ? u"memo"_s : QString());
        QCOMPARE(w->recordBox()->toPlainText(), moved ? QString() : u"memo"_s);
    }

    void enterMovesDownKeepingTheRowInViewAndStopsOnTheLastRow() {
        ViewFixture f;
        DiaryWindow* w = f.open(May10);
        Grid* fg = w->todoGrid();
        fg->setFixedHeight(150); // a few rows in view
        QTest::qWait(10);
        const int fit = Grid_FitRows(*fg);
        QVERIFY(fit >= 1 && fit < 8);
        fg->setFocus();

        fg->setCursor(fit + 1, 3);
        const int top = fg->topRow();
        QTest::keyClick(fg, Qt::Key_Return);
        QCOMPARE(fg->model()->row(), fit + 2);
        QCOMPARE(fg->topRow(), top + 1);
        QCOMPARE(w->lastKeyRow(), fit + 2);
        QCOMPARE(w->lastKeyCol(), 3);

        fg->setCursor(10, 2);
        QTest::keyClick(fg, Qt::Key_Enter);
        QCOMPARE(fg->model()->row(), 10);
        QCOMPARE(fg->model()->rows(), 11);
    }

    void deleteEmptiesTheSelectedBlockWhicheverWayItWasSelected_data() {
        QTest::addColumn<QList<int>>("corners"); // row, col, rowSel, colSel
        QTest::newRow("down right") << QList<int>{2, 0, 3, 2};
        QTest::newRow("up left") << QList<int>{3, 2, 2, 0};
        QTest::newRow("up right") << QList<int>{3, 0, 2, 2};
        QTest::newRow("down left") << QList<int>{2, 2, 3, 0};
    }

    void deleteEmptiesTheSelectedBlockWhicheverWayItWasSelected() {
        QFETCH(QList<int>, corners);
        ViewFixture f;
        QString day;
        for (int i = 1; i <= 4; ++i)
            day += ToDo_ItemString(true, u"0%1:00"_s.arg(i), u"重要"_s, u"用件%1"_s.arg(i));
        f.env.app.store().set(f.row(May10), StoreCol::ToDo, day);
        DiaryWindow* w = f.open(May10);
        GridModel& fg = *w->todoGrid()->model();
        fg.setTextMatrix(2, 0, u"x"_s);
        w->todoGrid()->setFocus();
        fg.select(corners[0], corners[1], corners[2], corners[3]);

        QTest::keyClick(w->todoGrid(), Qt::Key_Delete);

        for (int r = 1; r <= 4; ++r) {
            const bool inBlock = r == 2 || r == 3;
            QCOMPARE(fg.textMatrix(r, 0), QString());
            QCOMPARE(fg.textMatrix(r, 1).isEmpty(), inBlock);
            QCOMPARE(fg.textMatrix(r, 2).isEmpty(), inBlock);
            QCOMPARE(fg.textMatrix(r, 3), u"用件%1"_s.arg(r)); // column 3 is outside the block
            QCOMPARE(fg.cell(GridModel::CellChecked, r, 0), 1);
        }
        QVERIFY(f.env.app.docChanged());
    }

    void typingIntoTheToDoGridMarksTheDocumentAndTimesAreStoredAsHoursAndMinutes() {
        ViewFixture f;
        DiaryWindow* w = f.open(May10);
        Grid* fg = w->todoGrid();
        QCOMPARE(fg->model()->colComboList(2), u"|最重|重要|普通|要軽"_s);
        fg->setFocus();
        fg->setCursor(1, 1);
        ViewFixture::typeInGrid(fg, u"930"_s);
        QTest::keyClick(fg->editor(), Qt::Key_Return);
        fg->setCursor(1, 3);
        ViewFixture::typeInGrid(fg, u"職員会議"_s);
        QTest::keyClick(fg->editor(), Qt::Key_Return);
        QVERIFY(f.env.app.docChanged());

        w->close();

        const auto items = ToDo_Parse(f.stored(May10, StoreCol::ToDo));
        QCOMPARE(items.size(), size_t(1));
        QCOMPARE(items[0].time, u"09:30"_s);
        QCOMPARE(items[0].text, u"職員会議"_s);
    }

    void sortingFromTheMenuOrdersTheItemsByTime() {
        ViewFixture f;
        f.env.app.store().set(f.row(May10), StoreCol::ToDo,
                              ToDo_ItemString(false, u"10:00"_s, u"普通"_s, u"十時"_s) +
                                  ToDo_ItemString(false, QString(), u"普通"_s, u"いつでも"_s) +
                                  ToDo_ItemString(false, u"08:30"_s, u"普通"_s, u"八時半"_s));
        DiaryWindow* w = f.open(May10);

        w->action(u"mnuTodoSort"_s)->trigger();
        w->close();

        QCOMPARE(f.stored(May10, StoreCol::ToDo),
                 ToDo_ItemString(false, u"08:30"_s, u"普通"_s, u"八時半"_s) +
                     ToDo_ItemString(false, u"10:00"_s, u"普通"_s, u"十時"_s) +
                     ToDo_ItemString(false, QString(), u"普通"_s, u"いつでも"_s));
        QVERIFY(f.env.app.docChanged());
    }

    void theCloseBoxStoresThePageAndShowsTheCalendar() {
        ViewFixture f;
        DiaryWindow* w = f.open(May10);
        ViewFixture::type(w->eventsBox(), u"運動会"_s);

        QVERIFY(!w->close()); // the window is hidden, not closed

        QCOMPARE(f.stored(May10, StoreCol::Events), u"運動会"_s);
        QVERIFY(!w->isVisible());
        QVERIFY(f.calendar->isVisible());
        QCOMPARE(f.env.nav->currentView(), View::Calendar);
        // The same through the menu.
        f.open(May10);
        QCOMPARE(w->eventsBox()->toPlainText(), u"運動会"_s);
        w->action(u"mnuClose"_s)->trigger();
        QVERIFY(f.calendar->isVisible());
    }

    void statisticsOpenBesideAndTheYearCaptionOpensTheTable() {
        ViewFixture f;
        DiaryWindow* w = f.open(May10);
        ViewFixture::type(w->recordBox(), u"記録"_s);

        for (const char* name :
             {"mnuPrint", "mnuClose", "mnucalender", "mnuShou", "mnuTuki", "mnuNen", "mnuTodoSort",
              "mnuKiroku", "mnuKoumoku", "tb_記録統計", "tb_スケジュール統計", "tb_ToDo一覧",
              "tb_カレンダー", "tb_週日程", "tb_月日程", "tb_年間"})
            QVERIFY2(w->action(QString::fromUtf8(name))->isEnabled(), name);
        // The statistics count what the page holds: it is stored first, and the diary
        // stays open beside them.
        w->action(u"tb_記録統計"_s)->trigger();
        QCOMPARE(f.stored(May10, StoreCol::Record), u"記録"_s);
        QVERIFY(f.env.nav->window(View::RecordStats)->widget()->isVisible());
        QVERIFY(w->isVisible());
        f.env.nav->closeWindow(f.env.nav->window(View::RecordStats));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        ViewFixture::type(w->recordBox(), u"。"_s);
        // The year caption opens the main window, after the page is stored.
        QTest::mouseClick(w->calendar()->yearLabel(), Qt::LeftButton);
        QCOMPARE(f.stored(May10, StoreCol::Record), u"記録。"_s);
        QCOMPARE(f.env.nav->currentView(), View::Main);
        QVERIFY(!w->isVisible());
    }

    void comingBackShowsWhatWasTypedAndWhatOthersStored() {
        ViewFixture f;
        auto* other = new Elsewhere(f.env.app);
        f.env.nav->registerView(View::Search, [other] { return other; });
        DiaryWindow* w = f.open(May10);
        ViewFixture::type(w->recordBox(), u"途中まで"_s);

        // The other window is opened and, while it is active, changes the same day.
        f.env.nav->open(View::Search);
        QVERIFY(QTest::qWaitForWindowActive(other));
        QCOMPARE(f.stored(May10, StoreCol::Record), u"途中まで"_s);
        other->write(May10, StoreCol::Events, u"他の窓から"_s);

        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTRY_COMPARE(w->eventsBox()->toPlainText(), u"他の窓から"_s);
        QCOMPARE(w->recordBox()->toPlainText(), u"途中まで"_s);

        // Going over to the other window by activation alone stores the page too.
        ViewFixture::type(w->recordBox(), u"。続き"_s);
        other->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(other));
        QCOMPARE(f.stored(May10, StoreCol::Record), u"途中まで。続き"_s);
        other->write(May10, StoreCol::Record, u"書き換え"_s);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTRY_COMPARE(w->recordBox()->toPlainText(), u"書き換え"_s);
        // The focus stays in the box the user was writing in.
        QCOMPARE(w->focusWidget(), w->recordBox());

        // Items deleted elsewhere stay deleted: the grid shows the store, not itself.
        w->todoGrid()->setFocus();
        w->todoGrid()->setCursor(1, 3);
        ViewFixture::typeInGrid(w->todoGrid(), u"消される用件"_s);
        QTest::keyClick(w->todoGrid()->editor(), Qt::Key_Return);
        other->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(other));
        QCOMPARE(ToDo_Parse(f.stored(May10, StoreCol::ToDo)).size(), size_t(1));
        other->write(May10, StoreCol::ToDo, QString());
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTRY_VERIFY(w->todoGrid()->model()->textMatrix(1, 3).isEmpty());

        // Another program's window in between: the page is stored all the same when the
        // other window of this program comes to the front, and shown afresh behind it.
        ViewFixture::type(w->recordBox(), u"。外へ"_s);
        QWidget foreign;
        foreign.show();
        foreign.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&foreign));
        other->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(other));
        QCOMPARE(f.stored(May10, StoreCol::Record), u"書き換え。外へ"_s);
        other->write(May10, StoreCol::Record, u"一覧から"_s);
        QTRY_COMPARE(w->recordBox()->toPlainText(), u"一覧から"_s);
        w->close();
        QVERIFY(f.stored(May10, StoreCol::ToDo).isEmpty());
        QCOMPARE(f.stored(May10, StoreCol::Record), u"一覧から"_s);
    }

    // A view hidden a while gives back its native window and comes back whole.
    void aHiddenViewGivesBackItsWindowAndComesBackWhole() {
        ViewWindow::setReleaseDelay(0);
        ViewFixture f;
        DiaryWindow* w = f.open(May10);
        ViewFixture::type(w->recordBox(), u"残す"_s);
        f.env.nav->open(View::Calendar);
        QTRY_VERIFY(!w->windowHandle());
        f.env.nav->open(View::Diary);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->recordBox()->toPlainText(), u"残す"_s);
        ViewFixture::type(w->recordBox(), u"。"_s);
        w->close();
        QCOMPARE(f.stored(May10, StoreCol::Record), u"残す。"_s);
        ViewWindow::setReleaseDelay(30000);
    }

    // Alt+Right and Alt+Left step a day, storing the page first; not past the year.
    void altArrowsStepADayInsideTheYear() {
        ViewFixture f;
        DiaryWindow* w = f.open(QDate(2006, 3, 31));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        ViewFixture::type(w->recordBox(), u"年度末"_s);
        QTest::keyClick(w->recordBox(), Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(f.env.app.currentDate(), QDate(2006, 3, 31)); // the last day of the year
        QTest::keyClick(w->recordBox(), Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(f.env.app.currentDate(), QDate(2006, 3, 30));
        QCOMPARE(f.stored(QDate(2006, 3, 31), StoreCol::Record), u"年度末"_s);
        QCOMPARE(w->dayText()->text(), u"30日"_s);
        w->action(u"mnuNextDay"_s)->trigger();
        QCOMPARE(w->recordBox()->toPlainText(), u"年度末"_s);
    }

    // The 分類 drop-down of a ToDo grid opens with Alt+Down and by its arrow, a choice
    // goes into the cell, and the grid has the keys again afterwards.
    void theCategoryDropDownOpensAndGivesTheKeysBack() {
        ViewFixture f;
        DiaryWindow* w = f.open(May10);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        Grid* g = w->todoGrid();
        g->setFocus();
        g->setCursor(1, 2);
        QTest::keyClick(g, Qt::Key_F2);
        QPointer<QComboBox> combo = qobject_cast<QComboBox*>(g->editor());
        QVERIFY(combo);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Down, Qt::AltModifier);
        QTRY_VERIFY(combo && combo->view()->isVisible());
        QVERIFY(g->isEditing());
        QTest::keyClick(combo->view(), Qt::Key_Down);
        QTest::keyClick(combo->view(), Qt::Key_Return);
        QTRY_VERIFY(!combo->view()->isVisible());
        QVERIFY(g->isEditing());
        const QString chosen = combo->currentText();
        QVERIFY(!chosen.isEmpty());
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QVERIFY(!g->isEditing());
        QCOMPARE(g->model()->textMatrix(1, 2), chosen);
        QTRY_VERIFY(g->hasFocus());
        QTest::keyClick(g, Qt::Key_Right);
        QCOMPARE(g->model()->col(), 3);
    }

    void theSmallCalendarNamesTheWeekdaysInEnglish() {
        ViewFixture f;
        DiaryWindow* w = f.open(May10);
        QStringList headings;
        for (int i = MonthGrid::Headings; i < MonthGrid::Headings + 7; ++i)
            headings << w->calendar()->cell(i)->caption();
        QCOMPARE(headings.join(u' '), u"Sun Mon Tue Wed Thu Fri Sat"_s);
    }

    void aDialogOfTheViewItselfStoresAndReloadsNothing() {
        ViewFixture f;
        // A colour dialog that really opens, takes the activation and is answered.
        class RealDialog : public ColorDialog::Backend {
        public:
            std::optional<QColor> choose(QWidget* parent, const QColor&) override {
                QDialog d(parent);
                QTimer::singleShot(50, &d, [&d] { d.accept(); });
                d.exec();
                return QColor(200, 0, 0);
            }
        };
        ColorDialog::install(std::make_unique<RealDialog>());
        DiaryWindow* w = f.open(May10);
        ViewFixture::type(w->recordBox(), u"未保存"_s);

        QTest::mouseDClick(w->recordBox()->viewport(), Qt::LeftButton);

        QCOMPARE(w->recordBox()->textColor(), QColor(200, 0, 0));
        QCOMPARE(w->recordBox()->toPlainText(), u"未保存"_s);
        QVERIFY(f.stored(May10, StoreCol::Record).isEmpty());
        QTest::qWait(20);
        QCOMPARE(w->recordBox()->textColor(), QColor(200, 0, 0));
        w->close();
        QCOMPARE(f.env.app.store().number(f.row(May10), StoreCol::RecordFore), 200);
        ColorDialog::install(nullptr);
    }

    void theDiaryCalendarShowsTheLoadOfEachDay() {
        ViewFixture f;
        const QString done = ToDo_ItemString(true, u"09:00"_s, u"普通"_s, u"済み"_s);
        f.env.app.store().set(f.row(QDate(2005, 5, 12)), StoreCol::ToDo, done);
        f.env.app.store().set(f.row(QDate(2005, 5, 13)), StoreCol::ToDo, openItems(3) + done);
        f.env.app.store().set(f.row(QDate(2005, 5, 14)), StoreCol::ToDo, openItems(6));
        f.env.app.store().set(f.row(May10), StoreCol::ToDo, openItems(6));
        DiaryWindow* w = f.open(May10);
        // A month with a heavy 12 May first, so that a stale colour would show.
        f.env.app.store().set(f.row(QDate(2005, 6, 12)), StoreCol::ToDo, openItems(6));
        QTest::mouseClick(w->calendar()->findChild<QToolButton*>(u"Picture2"_s), Qt::LeftButton);
        QTest::mouseClick(w->calendar()->findChild<QToolButton*>(u"Picture1"_s), Qt::LeftButton);
        QTest::mouseClick(w->calendar()->cell(mayCell(10)), Qt::LeftButton);

        MonthGrid* cal = w->calendar();
        QCOMPARE(cal->cell(mayCell(12))->backColor(), QColor(255, 255, 255));
        QVERIFY(!cal->cell(mayCell(12))->opaque());
        QCOMPARE(cal->cell(mayCell(13))->backColor(), QColor(255, 255, 0));
        QCOMPARE(cal->cell(mayCell(14))->backColor(), QColor(255, 179, 179));
        QVERIFY(cal->cell(mayCell(14))->opaque());
        // The current day is green whatever its load.
        QCOMPARE(cal->cell(mayCell(10))->backColor(), QColor(104, 221, 116));
    }

    void aDoubleClickOnADayKeepsItsColour() {
        ViewFixture f;
        DiaryWindow* w = f.open(May10);
        f.env.colors->answers = {QColor(0, 128, 0), std::nullopt};
        QTest::mouseDClick(w->calendar()->cell(mayCell(20)), Qt::LeftButton);
        QCOMPARE(f.env.app.store().number(f.row(QDate(2005, 5, 20)), StoreCol::WeekdayFore),
                 0x008000);
        QCOMPARE(w->calendar()->cell(mayCell(20))->textColor(), QColor(0, 128, 0));
        QVERIFY(f.env.app.docChanged());
        f.env.app.setDocChanged(false);
        QTest::mouseDClick(w->calendar()->cell(mayCell(21)), Qt::LeftButton); // cancelled
        QCOMPARE(f.env.app.store().number(f.row(QDate(2005, 5, 21)), StoreCol::WeekdayFore),
                 16711680);
        QVERIFY(!f.env.app.docChanged());
    }

    void twelveToDoItemsSurviveOpeningAndClosingTheDiary() {
        ViewFixture f;
        QString day;
        for (int i = 1; i <= 12; ++i)
            day += ToDo_ItemString(i == 7, u"%1:15"_s.arg(i + 7, 2, 10, QChar(u'0')), u"重要"_s,
                                   u"用件%1"_s.arg(i));
        f.env.app.store().set(f.row(May10), StoreCol::ToDo, day);
        DiaryWindow* w = f.open(May10);
        QCOMPARE(w->todoGrid()->model()->rows(), 13);
        QCOMPARE(w->todoGrid()->model()->textMatrix(12, 3), u"用件12"_s);
        QTest::mouseClick(w->calendar()->cell(mayCell(11)), Qt::LeftButton);
        QCOMPARE(w->todoGrid()->model()->rows(), 11);
        QVERIFY(w->todoGrid()->model()->textMatrix(1, 3).isEmpty());
        w->close();
        QCOMPARE(f.stored(May10, StoreCol::ToDo), day);
    }
};

QTEST_MAIN(TestDiaryWindow)
#include "tst_diarywindow.moc"
