// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Drives the real windows the way a user does: a window is clicked to the front before
// it is used, text boxes are clicked and typed into key by key (Japanese as the input
// method delivers it), commands are triggered by their objectName, table cells are
// typed into and ended with Enter. What the user reads off the screen (the day a view
// shows, the items of a ToDo grid) is read from the widgets' texts.
//
// Moving the cursor of a table to a cell uses Grid::setCursor, which moves it as a
// click or the arrow keys would; dates in a date field are set on the field.

#include "model.h"

#include "gui/app/startup.h"
#include "gui/calendar/calendarwindow.h"
#include "gui/frame/monthgrid.h"
#include "gui/frame/textbox.h"
#include "gui/grid/grid.h"
#include "gui/main/annualwindow.h"
#include "gui/main/mainwindow.h"
#include "gui/todo/todolistwindow.h"
#include "gui/views/diarywindow.h"
#include "gui/views/monthlywindow.h"
#include "gui/views/weeklywindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <QToolButton>
#include <QWindow>

namespace UserModel {

// A ToDo item as a grid row shows it.
struct GridItem {
    int row;
    Item item;
};

// The columns of a ToDo grid: the diary's and a weekly day's, or the ToDo list's.
struct ToDoColumns {
    int check, time, category, text;
};
inline constexpr ToDoColumns DayGridColumns{0, 1, 2, 3};
inline constexpr ToDoColumns ListColumns{1, 3, 4, 5};
inline constexpr int ListDateCol = 2;

class Driver {
public:
    Driver(Startup& startup) : m_startup(startup) {}

    // ---- windows ------------------------------------------------------------------

    static ::View navView(Screen s) {
        switch (s) {
        case Screen::Calendar:
            return ::View::Calendar;
        case Screen::Diary:
            return ::View::Diary;
        case Screen::Weekly:
            return ::View::Weekly;
        case Screen::Monthly:
            return ::View::Monthly;
        case Screen::Main:
            return ::View::Main;
        }
        return ::View::Calendar;
    }
    static std::optional<Screen> screenOf(::View v) {
        for (Screen s :
             {Screen::Calendar, Screen::Diary, Screen::Weekly, Screen::Monthly, Screen::Main})
            if (navView(s) == v)
                return s;
        return std::nullopt;
    }
    template <class W> W* window(::View v) const {
        NavWindow* w = m_startup.navigator().window(v);
        return w ? static_cast<W*>(w->widget()) : nullptr;
    }
    ViewWindow* view(Screen s) const {
        return s == Screen::Calendar ? m_startup.calendarWindow() : window<ViewWindow>(navView(s));
    }
    CalendarWindow* calendar() const { return m_startup.calendarWindow(); }
    DiaryWindow* diary() const { return window<DiaryWindow>(::View::Diary); }
    WeeklyWindow* weekly() const { return window<WeeklyWindow>(::View::Weekly); }
    MonthlyWindow* monthly() const { return window<MonthlyWindow>(::View::Monthly); }
    MainWindow* main() const { return window<MainWindow>(::View::Main); }
    ToDoListWindow* list() const { return window<ToDoListWindow>(::View::ToDoList); }
    // The view shown now.
    std::optional<Screen> shownView() const {
        return screenOf(m_startup.navigator().currentView());
    }

    // Lets the program finish what a gesture started (timers of no delay, deferred
    // deletes, window activation).
    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    // Runs the program until `done` (at most three seconds), sleeping only once it
    // does not come at once.
    template <class Predicate> static bool waitFor(Predicate done) {
        QElapsedTimer t;
        t.start();
        for (int spin = 0; t.elapsed() < 3000; ++spin) {
            settle();
            if (done())
                return true;
            if (spin > 3)
                QThread::msleep(1);
        }
        return false;
    }
    static bool isActive(QWidget* w) {
        return w->isActiveWindow() && w->windowHandle() && w->windowHandle()->isActive();
    }

    // The user clicks a window to bring it to the front.
    bool activate(QWidget* w) {
        if (!w || !w->isVisible())
            return fail(QStringLiteral("the window to use is not shown"));
        if (!isActive(w))
            w->activateWindow();
        return waitActive(w);
    }
    bool waitActive(QWidget* w) {
        if (!w || !waitFor([w] { return w->isVisible() && isActive(w); }))
            return fail((w ? w->objectName() : QString()) +
                        QStringLiteral(" did not become active"));
        settle();
        return true;
    }

    // A command of `w` by its objectName, after `w` is brought to the front.
    bool trigger(ViewWindow* w, const QString& name) {
        if (!activate(w))
            return false;
        QAction* a = w->action(name);
        if (!a || !a->isEnabled())
            return fail(w->objectName() + QStringLiteral(" has no enabled command ") + name);
        a->trigger();
        settle();
        return true;
    }
    bool click(QWidget* w) {
        if (!w || !w->isVisible())
            return fail(QStringLiteral("nothing to click"));
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
        settle();
        return true;
    }

    // ---- typing -------------------------------------------------------------------

    static void keys(QWidget* w, const QString& text) {
        for (const QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    // Clicks into a text box, goes to the end of its text and types there.
    bool typeInto(TextBox* box, const QString& text) {
        if (!box || !box->isVisible() || !box->isEnabled())
            return fail(QStringLiteral("the text box is not there to type into"));
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, box->viewport()->rect().center());
        QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
        const QString before = box->toPlainText();
        keys(box, text);
        settle();
        if (box->toPlainText() != before + text)
            return fail(box->objectName() + QStringLiteral(" did not take the text typed"));
        return true;
    }
    // Types into a table cell (which replaces its text) and ends with Enter.
    bool typeInGrid(Grid* g, int row, int col, const QString& text) {
        if (!place(g, row, col))
            return false;
        keys(g, text.left(1));
        QWidget* editor = g->editor();
        if (!editor)
            return fail(g->objectName() + QStringLiteral(" opened no editor"));
        QWidget* field = editor;
        if (auto* combo = qobject_cast<QComboBox*>(editor))
            field = combo->lineEdit();
        keys(field, text.mid(1));
        QTest::keyClick(field, Qt::Key_Return);
        settle();
        if (g->isEditing()) {
            g->cancelEdit();
            return fail(g->objectName() + QStringLiteral(" refused the text typed"));
        }
        return true;
    }
    // A key on a cell, or on a block of one row from `col` to `toCol`.
    bool keyInGrid(Grid* g, int row, int col, int key, int toCol = -1) {
        if (!place(g, row, col))
            return false;
        if (toCol >= 0)
            g->setCursor(row, toCol, true);
        QTest::keyClick(g, Qt::Key(key));
        settle();
        return true;
    }
    // F2 on a cell of days, the day picked in the date field, Enter.
    bool editDate(Grid* g, int row, int col, const QDate& date) {
        if (!place(g, row, col))
            return false;
        QTest::keyClick(g, Qt::Key_F2);
        auto* field = qobject_cast<QDateEdit*>(g->editor());
        if (!field)
            return fail(QStringLiteral("no date field opened"));
        field->setDate(date);
        QTest::keyClick(field, Qt::Key_Return);
        settle();
        return !g->isEditing() || fail(QStringLiteral("the date field stayed open"));
    }
    bool place(Grid* g, int row, int col) {
        if (!g || !g->isVisible() || !g->isEnabled())
            return fail(QStringLiteral("the table is not there to use"));
        g->setFocus(Qt::MouseFocusReason);
        g->setCursor(row, col);
        if (g->model()->row() != row || g->model()->col() != col)
            return fail(
                QStringLiteral("the cursor did not reach row %1, column %2").arg(row).arg(col));
        return true;
    }

    // ---- what the windows show ----------------------------------------------------

    static int leadingNumber(const QString& s) {
        static const QRegularExpression number(QStringLiteral("^\\s*(\\d+)"));
        const auto m = number.match(s);
        return m.hasMatch() ? m.captured(1).toInt() : 0;
    }
    // The first day of the month a month grid shows.
    static QDate monthShown(const MonthGrid* g) {
        return QDate(leadingNumber(g->yearLabel()->text()), leadingNumber(g->monthLabel()->text()),
                     1);
    }
    // "5月10日" in the year that puts it nearest to `near`.
    static QDate dateOfCaption(const QString& caption, const QDate& near) {
        static const QRegularExpression md(QStringLiteral("(\\d+)月(\\d+)日"));
        const auto m = md.match(caption);
        if (!m.hasMatch())
            return {};
        QDate best;
        for (int y = near.year() - 1; y <= near.year() + 1; ++y) {
            const QDate d(y, m.captured(1).toInt(), m.captured(2).toInt());
            if (d.isValid() && (!best.isValid() || qAbs(d.daysTo(near)) < qAbs(best.daysTo(near))))
                best = d;
        }
        return best;
    }
    // The cell of a month grid showing day `day` of its month.
    static int cellOfDay(const MonthGrid* g, int day) {
        for (int k = 0; k < MonthGrid::DayCells; ++k)
            if (g->cell(k)->caption() == QString::number(day))
                return k;
        return -1;
    }
    QDate diaryDate() const {
        const QDate month = monthShown(diary()->calendar());
        return QDate(month.year(), leadingNumber(diary()->monthText()->text()),
                     leadingNumber(diary()->dayText()->text()));
    }
    QDate weeklyDate(int day) const {
        const QDate month = monthShown(weekly()->calendar());
        return dateOfCaption(weekly()->heading(day)->text(), month.addDays(14));
    }
    // The day the view shown makes the user think of: the diary's day, the weekly
    // view's focused day, the month's first day, the table's cursor row.
    QDate shownDate(Screen s) const {
        switch (s) {
        case Screen::Diary:
            return diaryDate();
        case Screen::Weekly:
            return weeklyDate(3);
        case Screen::Monthly:
            return monthShown(monthly()->page());
        case Screen::Calendar:
            return monthShown(calendar()->monthGrid());
        case Screen::Main:
            if (AnnualWindow* w = main()->activeAnnual())
                return QDate::fromString(w->model().textMatrix(w->model().row(), 0),
                                         QStringLiteral("yyyy/MM/dd"));
        }
        return {};
    }

    // The items of a ToDo grid, top to bottom.
    static std::vector<GridItem> itemsIn(const GridModel& m, ToDoColumns c) {
        std::vector<GridItem> out;
        for (int r = m.fixedRows(); r < m.rows(); ++r) {
            const QString text = m.textMatrix(r, c.text);
            if (!text.isEmpty())
                out.push_back({r,
                               {m.cell(GridModel::CellChecked, r, c.check) == 1,
                                m.textMatrix(r, c.time), m.textMatrix(r, c.category), text}});
        }
        return out;
    }
    // The first empty row below every item (-1: no room left).
    static int freeRowAfter(const GridModel& m, ToDoColumns c, const std::vector<GridItem>& items) {
        for (int r = items.empty() ? m.fixedRows() : items.back().row + 1; r < m.rows(); ++r)
            if (m.textMatrix(r, c.time).isEmpty() && m.textMatrix(r, c.category).isEmpty() &&
                m.textMatrix(r, c.text).isEmpty() &&
                m.cell(GridModel::CellChecked, r, c.check) != 1)
                return r;
        return -1;
    }

    QString error;

private:
    bool fail(const QString& why) {
        error = why;
        return false;
    }

    Startup& m_startup;
};

} // namespace UserModel
