#include "store/appstate.h"

#include "calendar/annuallayout.h"
#include "calendar/holidays.h"
#include "platform/clock.h"
#include "store/dates.h"

#include <algorithm>

namespace {
AppState* g_app = nullptr;

constexpr qint64 ColorRed = 255;
constexpr qint64 ColorBlue = 16711680;
constexpr qint64 ColorMagenta = 16711935;
} // namespace

AppState::AppState() : buffer(367, 20) {
    setupBufferGrid(buffer);
}

void AppState::setDocChanged(bool changed) {
    if (m_docChanged != changed) {
        m_docChanged = changed;
        Q_EMIT docChangedChanged(changed);
    }
    if (changed)
        Q_EMIT edited();
}

QDate AppState::currentDate() const {
    return Dates::make(CurYear, CurMonth, CurDay);
}

void AppState::setCurrentDate(const QDate& d) {
    CurYear = d.year();
    CurMonth = d.month();
    CurDay = d.day();
}

AppState& App() {
    if (!g_app)
        g_app = new AppState; // lives for the whole run
    return *g_app;
}

void installApp(AppState* state) {
    g_app = state;
}

void setupBufferGrid(GridModel& grid) {
    Annual_Layout(grid, 20);
    grid.setFixedRows(0);
    grid.setFixedCols(0);
}

int Store_DayRow(const AppState& app) {
    return Dates::rowOfDate(app.currentDate(), app.BaseYear);
}

void setCurrentDateToToday(AppState& app) {
    const QDate today = Clock::today();
    const int year = today.month() > 3 ? app.BaseYear : app.BaseYear + 1;
    app.setCurrentDate(Dates::make(year, today.month(), today.day()));
}

bool Store_StepMonth(int& year, int& month, int direction) {
    if (direction < 0) {
        if (month == 4)
            return false;
        if (month == 1) {
            month = 12;
            year -= 1;
        } else {
            month -= 1;
        }
    } else {
        if (month == 3)
            return false;
        if (month == 12) {
            month = 1;
            year += 1;
        } else {
            month += 1;
        }
    }
    return true;
}

void Store_ClampDay(AppState& app) {
    const QDate first = Dates::make(app.CurYear, app.CurMonth, 1);
    if (first.isValid())
        app.CurDay = std::clamp(app.CurDay, 1, first.daysInMonth());
}

void Store_New(AppState& app) {
    using namespace StoreCol;
    YearStore& s = app.store;
    s.clear();
    s.set(0, 0, qint64(app.BaseYear));
    const auto& headings = storeHeadings();
    for (int c = 1; c < TextColumns; ++c)
        s.set(0, c, headings[size_t(c)]);
    const QDate origin = Dates::yearOrigin(app.BaseYear);
    for (int n = 1; n <= YearStore::DayRows; ++n) {
        const QDate d = origin.addDays(n);
        s.set(n, Date, Dates::toStoreText(d));
        s.set(n, Weekday, Dates::weekdayLetter(d));
        const int wd = Dates::weekday(d);
        if (wd == 1)
            s.set(n, WeekdayFore, ColorRed);
        else if (wd == 7)
            s.set(n, WeekdayFore, ColorBlue);
        else
            s.set(n, WeekdayFore, StoreValue(QStringLiteral("0")));
    }
    Holiday_Fill(s);
    const int today = Store_DayRow(app);
    if (today >= 1 && today <= YearStore::DayRows)
        s.set(today, WeekdayFore, ColorMagenta);
}

void Store_FromBuffer(AppState& app) {
    copyGridToStore(app.buffer, app.store);
    app.BaseYear = int(qint16(app.store.number(0, 0)));
    setCurrentDateToToday(app);
}

void Store_ToAnnual(const AppState& app, GridModel& grid) {
    copyStoreToGrid(app.store, grid);
}

void Store_FromAnnual(AppState& app, const GridModel& grid, const QString& caption) {
    copyGridToStore(grid, app.store);
    app.BaseYear = int(qint16(app.store.number(0, 0)));
    setCurrentDateToToday(app);
    app.DocPath = caption;
}

FileResult Store_Save(AppState& app) {
    setupBufferGrid(app.buffer);
    copyStoreToGrid(app.store, app.buffer);
    return app.buffer.saveGrid(app.DocPath, 6);
}
