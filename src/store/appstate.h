#pragma once

#include "grid/gridmodel.h"
#include "store/yearstore.h"

#include <QDate>
#include <QObject>
#include <QString>

// The program-wide state of one run: the open document in the year store, the date
// globals, the document path and the two marks. Every window reaches it through
// App(). Tests make their own instance and install it.
class AppState : public QObject {
    Q_OBJECT
public:
    AppState();

    YearStore store;
    // The hidden buffer grid through which documents are saved and loaded at start.
    GridModel buffer;

    int BaseYear = 0;
    int CurYear = 0;
    int CurMonth = 1;
    int CurDay = 1;
    QString DocPath;
    bool DocPending = false;

    bool docChanged() const { return m_docChanged; }
    void setDocChanged(bool changed);

    QDate currentDate() const;
    // Sets CurYear/CurMonth/CurDay to `d` (which the callers keep inside the year).
    void setCurrentDate(const QDate& d);

Q_SIGNALS:
    void docChangedChanged(bool changed);
    // Every edit that marks the document changed, also when it was changed already.
    void edited();

private:
    bool m_docChanged = false;
};

AppState& App();
// Replaces the program's state (tests); returns the previous one's ownership to the
// caller's scope through the guard below.
void installApp(AppState* state);

// Lays out the buffer grid as a document needs it: the annual table's layout with a
// twentieth column, no fixed rows or columns.
void setupBufferGrid(GridModel& grid);

// Row of the current date (1 April of BaseYear = 1).
int Store_DayRow(const AppState& app = App());

// Current date := today's month and day placed in the document's year: CurYear is
// BaseYear for April..December and BaseYear + 1 for January..March. A day the year
// does not have (29 February) carries into the next month.
void setCurrentDateToToday(AppState& app = App());

// Steps a month of the document year by one (`direction` -1 or +1); the year runs
// from April to March: January steps back to December of the year before, December
// forward to January of the next. Returns false, changing nothing, at the ends (back
// from April, forward from March).
bool Store_StepMonth(int& year, int& month, int direction);

// Brings CurDay into the current month: a day the month does not have (31 in June)
// becomes the month's last day. Views call it before they show the current date.
void Store_ClampDay(AppState& app);

// Fills the store for a new document of BaseYear: headings, dates, weekdays, weekday
// colours, holidays and today's mark.
void Store_New(AppState& app = App());

// Buffer grid → store; then BaseYear from cell (0,0) and the current date.
void Store_FromBuffer(AppState& app = App());

// Store → an annual window's grid: every text of columns 0..18 and every mapped
// colour.
void Store_ToAnnual(const AppState& app, GridModel& grid);

// An annual window's grid (the active one, captioned `caption`) → store; then
// BaseYear from its corner cell, the current date at today in that year, and DocPath
// := the caption.
void Store_FromAnnual(AppState& app, const GridModel& grid, const QString& caption);

// Store → buffer grid, then the buffer grid is saved to DocPath.
FileResult Store_Save(AppState& app = App());
