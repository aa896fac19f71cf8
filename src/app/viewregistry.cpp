#include "app/viewregistry.h"

#include "app/mainwindow.h"
#include "app/navigator.h"
#include "search/searchwindow.h"
#include "stats/itemstatswindow.h"
#include "stats/recordstatswindow.h"
#include "todo/todolistwindow.h"
#include "views/diarywindow.h"
#include "views/monthlywindow.h"
#include "views/weeklywindow.h"

void registerViews(Navigator& nav, AppState& app) {
    nav.registerView(View::Diary, [&nav, &app] { return new DiaryWindow(app, nav); });
    nav.registerView(View::Weekly, [&nav, &app] { return new WeeklyWindow(app, nav); });
    nav.registerView(View::Monthly, [&nav, &app] { return new MonthlyWindow(app, nav); });
    nav.registerView(View::Main, [&nav, &app] { return new MainWindow(app, nav); });
    nav.registerView(View::ToDoList, [&nav, &app] { return new ToDoListWindow(app, nav); });
    nav.registerView(View::RecordStats, [&nav, &app] { return new RecordStatsWindow(app, nav); });
    nav.registerView(View::ItemStats, [&nav, &app] { return new ItemStatsWindow(app, nav); });
    nav.registerView(View::Search, [&nav, &app] { return new SearchWindow(app, nav); });
}
