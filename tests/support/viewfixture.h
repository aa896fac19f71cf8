// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A program of 2005 as start-up leaves it: the calendar window shown through the
// navigator with every window registered, the clock at 10 May 2005, 09:30.

#include "support/testsupport.h"

#include "core/time/dates.h"
#include "gui/app/viewregistry.h"
#include "gui/calendar/calendarwindow.h"
#include "gui/frame/textbox.h"
#include "gui/grid/grid.h"
#include "gui/views/diarywindow.h"
#include "gui/views/monthlywindow.h"
#include "gui/views/weeklywindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

struct ViewFixture {
    explicit ViewFixture(const QDateTime& now = at(2005, 5, 10)) : env(now) {
        env.newYear(2005);
        calendar = new CalendarWindow(env.app, *env.nav);
        calendar->timer()->stop();
        env.nav->adopt(View::Calendar, calendar);
        registerViews(*env.nav, env.app);
        env.nav->open(View::Calendar);
    }

    // Opens a view at `date` as the calendar's menu does.
    template <class Window> Window* open(View view, const QDate& date) {
        env.app.setCurrentDate(date);
        env.nav->open(view);
        auto* w = static_cast<Window*>(env.nav->window(view)->widget());
        if (!QTest::qWaitForWindowActive(w))
            qWarning("the view did not become active");
        return w;
    }
    DiaryWindow* open(const QDate& date) { return diary = open<DiaryWindow>(View::Diary, date); }

    int row(const QDate& d) const { return Dates::rowOfDate(d, env.app.baseYear()); }
    QString stored(const QDate& d, int col) const { return env.app.store().text(row(d), col); }

    // Types text the way a keyboard (or an input method, for Japanese) delivers it.
    static void type(QWidget* w, const QString& text) {
        for (const QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }

    // Types into a grid: the first key opens the cell's editor, which takes the rest.
    static void typeInGrid(Grid* grid, const QString& text) {
        type(grid, text.left(1));
        QWidget* editor = grid->editor();
        if (auto* combo = qobject_cast<QComboBox*>(editor))
            editor = combo->lineEdit();
        if (editor)
            type(editor, text.mid(1));
    }

    TestEnvironment env;
    CalendarWindow* calendar = nullptr;
    DiaryWindow* diary = nullptr;
};
