// SPDX-License-Identifier: GPL-3.0-or-later
// The views with a full document: the diary moving from one day to the next (storing
// the page, loading the next day, painting its calendar), the weekly view to the next
// week and the monthly view to the next month, and opening each view for the first
// time from the calendar (creating the window, loading and showing the page).

#include "benchdocument.h"

#include "core/calendar/monthpaint.h"
#include "core/pages/diarypage.h"
#include "core/store/appstate.h"
#include "core/time/dates.h"
#include "gui/app/viewregistry.h"
#include "gui/calendar/calendarwindow.h"
#include "gui/frame/monthgrid.h"
#include "gui/frame/navigator.h"
#include "gui/grid/grid.h"
#include "gui/main/annualwindow.h"
#include "gui/main/mainwindow.h"
#include "gui/views/diarywindow.h"
#include "gui/views/monthlywindow.h"
#include "gui/views/weeklywindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

namespace {

struct Program {
    Program() {
        BenchDocument::fill(app);
        app.setCurrentDate(QDate(2005, 5, 10));
        registerViews(nav, app);
        calendar = new CalendarWindow(app, nav);
        calendar->timer()->stop();
        nav.adopt(View::Calendar, calendar);
        nav.open(View::Calendar);
        QApplication::processEvents();
    }
    DiaryWindow* diary() const { return window<DiaryWindow>(View::Diary); }
    template <class Window> Window* window(View view) const {
        NavWindow* w = nav.window(view);
        return w ? static_cast<Window*>(w->widget()) : nullptr;
    }

    AppState app;
    Navigator nav;
    CalendarWindow* calendar;
};

// One step to the next day through the small calendar, as a click does: the page is
// stored, the day changes, the new page and the calendar are shown. Through May and
// June and back, so that months change too.
void BM_DiaryNextDay(benchmark::State& state) {
    Program p;
    p.nav.open(View::Diary);
    QApplication::processEvents();
    DiaryWindow* w = p.diary();
    QDate day(2005, 5, 1);
    for (auto _ : state) {
        day = day == QDate(2005, 6, 30) ? QDate(2005, 5, 1) : day.addDays(1);
        Q_EMIT w->calendar()->dayClicked(Dates::rowOfDate(day, p.app.baseYear()));
    }
    benchmark::DoNotOptimize(p.app.store().text(40, 3));
}
BENCHMARK(BM_DiaryNextDay)->Unit(benchmark::kMicrosecond);

// The same step without the window: storing the page, loading the next day and
// computing its month, on the page's data alone. The difference to the step above is
// the window: mostly laying out the Japanese texts of its sixteen boxes.
void BM_DiaryPageNextDay(benchmark::State& state) {
    AppState app;
    BenchDocument::fill(app);
    DiaryPage page;
    QDate day(2005, 5, 1);
    app.setCurrentDate(day);
    Store_ToDiary(page, app);
    for (auto _ : state) {
        Diary_ToStore(page, app);
        day = day == QDate(2005, 6, 30) ? QDate(2005, 5, 1) : day.addDays(1);
        app.setCurrentDate(day);
        page.todo.clear();
        Diary_GridInit(page.todo);
        benchmark::DoNotOptimize(MonthPaint::paint(MonthPaint::Variant::Diary, app));
        Store_ToDiary(page, app);
    }
}
BENCHMARK(BM_DiaryPageNextDay)->Unit(benchmark::kMicrosecond);

// A step to the next week through the small calendar (seven days later), through May
// and June and back.
void BM_WeeklyNextWeek(benchmark::State& state) {
    Program p;
    p.nav.open(View::Weekly);
    QApplication::processEvents();
    auto* w = p.window<WeeklyWindow>(View::Weekly);
    QDate day(2005, 5, 1);
    for (auto _ : state) {
        day = day >= QDate(2005, 6, 24) ? QDate(2005, 5, 1) : day.addDays(7);
        Q_EMIT w->calendar()->dayClicked(Dates::rowOfDate(day, p.app.baseYear()));
    }
}
BENCHMARK(BM_WeeklyNextWeek)->Unit(benchmark::kMicrosecond);

// A step to the next month with the arrow, April to March and back to April.
void BM_MonthlyNextMonth(benchmark::State& state) {
    Program p;
    p.app.setCurrentDate(QDate(2005, 4, 1));
    p.nav.open(View::Monthly);
    QApplication::processEvents();
    auto* w = p.window<MonthlyWindow>(View::Monthly);
    for (auto _ : state) {
        if (p.app.CurMonth == 3) {
            state.PauseTiming();
            p.app.setCurrentDate(QDate(2005, 4, 1));
            p.nav.open(View::Monthly);
            state.ResumeTiming();
        }
        Q_EMIT w->page()->nextMonth();
    }
}
BENCHMARK(BM_MonthlyNextMonth)->Unit(benchmark::kMicrosecond);

// From the calendar's 表示 menu to the view painted, the first time: the window is
// created then. A new program each time.
void firstOpen(benchmark::State& state, const char* menuItem, View view) {
    for (auto _ : state) {
        state.PauseTiming();
        auto* p = new Program;
        state.ResumeTiming();
        p->calendar->action(QString::fromLatin1(menuItem))->trigger();
        p->nav.window(view)->widget()->repaint();
        QApplication::processEvents();
        state.PauseTiming();
        delete p;
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
void BM_MainFirstOpen(benchmark::State& state) {
    firstOpen(state, "mnuNen", View::Main);
}
BENCHMARK(BM_MainFirstOpen)->Unit(benchmark::kMillisecond)->Iterations(10);

// Switching between the calendar, a view and the main window with two full years
// open (this year's table in front, last year's behind it): from the view left to the
// view shown and painted. A switch copies no table: the tables are their documents.
void BM_Switch(benchmark::State& state) {
    Program p;
    Document* last = p.app.addDocument();
    {
        AppState other;
        BenchDocument::fill(other, 20040401);
        YearStore year = other.store();
        year.set(0, 0, qint64(2004));
        last->replace(year);
        last->setPath(QStringLiteral("/bench/2004.dys"));
    }
    Document* mine = p.app.documents().front();
    mine->setPath(QStringLiteral("/bench/2005.dys"));
    p.nav.open(View::Main);
    auto* main = p.window<MainWindow>(View::Main);
    main->showAnnual(*last);
    main->showAnnual(*mine);
    p.nav.open(View::Calendar);
    QApplication::processEvents();
    const View from = View(state.range(0)), to = View(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        p.nav.open(from);
        QApplication::processEvents();
        state.ResumeTiming();
        // The switch, and the events it posts handled: the window laid out and painted.
        p.nav.open(to);
        QApplication::processEvents();
    }
    if (p.app.documents().size() != 2 || &p.app.doc() != mine)
        state.SkipWithError("the documents were not kept apart");
}
BENCHMARK(BM_Switch)
    ->ArgNames({"from", "to"})
    ->Args({int(View::Calendar), int(View::Diary)})
    ->Args({int(View::Diary), int(View::Main)})
    ->Args({int(View::Main), int(View::Calendar)})
    ->Args({int(View::Calendar), int(View::Main)})
    ->Args({int(View::Main), int(View::Diary)})
    ->Args({int(View::Diary), int(View::Calendar)})
    ->Unit(benchmark::kMillisecond);

// Page Down in the annual table of a full document, repainted each time, from the
// top to the end and again.
void BM_AnnualPageDown(benchmark::State& state) {
    Program p;
    p.nav.open(View::Main);
    QApplication::processEvents();
    auto* main = p.window<MainWindow>(View::Main);
    main->resize(1366, 740);
    QApplication::processEvents();
    Grid* grid = main->activeAnnual()->grid();
    grid->setCursor(1, 3);
    grid->setTopRow(1);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
    for (auto _ : state) {
        if (grid->model()->row() >= 366) {
            state.PauseTiming();
            grid->setCursor(1, 3);
            grid->setTopRow(1);
            state.ResumeTiming();
        }
        QApplication::sendEvent(grid, &down);
        grid->viewport()->repaint();
    }
}
BENCHMARK(BM_AnnualPageDown)->Unit(benchmark::kMillisecond);

void BM_DiaryFirstOpen(benchmark::State& state) {
    firstOpen(state, "mnuNikki", View::Diary);
}
void BM_WeeklyFirstOpen(benchmark::State& state) {
    firstOpen(state, "mnuShuu", View::Weekly);
}
void BM_MonthlyFirstOpen(benchmark::State& state) {
    firstOpen(state, "mnuTuki", View::Monthly);
}
BENCHMARK(BM_DiaryFirstOpen)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_WeeklyFirstOpen)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_MonthlyFirstOpen)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

// The memory the program holds with a full year after every window has been opened
// once and closed again (and has given back its window, as it does after a while), as
// the resident set of this process (run it alone: --benchmark_filter=
// BM_MemoryEveryWindow). The time is that of the round.
void BM_MemoryEveryWindow(benchmark::State& state) {
    auto residentMiB = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return 0.0;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
        return 0.0;
    };
    ViewWindow::setReleaseDelay(0);
    Program p;
    for (auto _ : state) {
        for (View v : {View::Diary, View::Weekly, View::Monthly, View::Main, View::ToDoList,
                       View::RecordStats, View::ItemStats, View::Search}) {
            p.nav.open(v);
            QApplication::processEvents();
            if (NavWindow* w = p.nav.window(v))
                w->widget()->close();
            QApplication::processEvents();
        }
        p.nav.open(View::Calendar);
        QApplication::processEvents();
    }
    state.counters["resident_MiB"] = residentMiB();
    ViewWindow::setReleaseDelay(30000);
}
BENCHMARK(BM_MemoryEveryWindow)->Iterations(3)->Unit(benchmark::kMillisecond);
