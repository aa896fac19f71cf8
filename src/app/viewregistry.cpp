#include "app/viewregistry.h"

#include "app/navigator.h"
#include "views/diarywindow.h"

void registerViews(Navigator& nav, AppState& app) {
    nav.registerView(View::Diary, [&nav, &app] { return new DiaryWindow(app, nav); });
}
