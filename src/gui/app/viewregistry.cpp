// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/viewregistry.h"

#include "gui/frame/navigator.h"
#include "gui/main/mainwindow.h"
#include "gui/search/searchwindow.h"
#include "gui/stats/itemstatswindow.h"
#include "gui/stats/recordstatswindow.h"
#include "gui/todo/todolistwindow.h"
#include "gui/views/diarywindow.h"
#include "gui/views/monthlywindow.h"
#include "gui/views/weeklywindow.h"

void registerViews(Navigator& nav, AppState& app) {
    nav.registerView(View::Diary, [&nav, &app] { return new DiaryWindow(app, nav); });
    nav.registerView(View::Weekly, [&nav, &app] { return new WeeklyWindow(app, nav); });
    nav.registerView(View::Monthly, [&nav, &app] { return new MonthlyWindow(app, nav); });
    nav.registerView(View::Main, [&nav, &app] { return new MainWindow(app, nav); });
    nav.registerView(View::ToDoList, [&nav, &app] { return new ToDoListWindow(app, nav); });
    nav.registerView(View::RecordStats, [&nav, &app] { return new RecordStatsWindow(app, nav); });
    nav.registerView(View::ItemStats, [&nav, &app] { return new ItemStatsWindow(app, nav); });
    nav.registerView(View::Search, [&nav, &app] { return new SearchWindow(app, nav); });
    nav.setDocumentOpener([&nav](const QString& path) {
        auto* main = dynamic_cast<MainWindow*>(nav.ensure(View::Main));
        return main && main->openPath(path);
    });
}
