// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/app/recoverykeeper.h"
#include "gui/app/splash.h"
#include "gui/calendar/calendarwindow.h"
#include "gui/frame/navigator.h"
#include "gui/frame/yeardialog.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class AppState;
class Document;

// Start-up: the splash, the command line, then either the document it names or the
// year dialog, and finally the first working window.
class Startup : public QObject {
    Q_OBJECT
public:
    explicit Startup(AppState& app, QObject* parent = nullptr);
    ~Startup() override;

    // Runs start-up for the command line taken as one string.
    void Main(const QString& commandLine);
    // Run once, when the start-up year dialog is confirmed.
    void Start_NewYear(int year);
    // What a second start of the program asked for: the document at the path it
    // names opened (or its table brought to the front, when it is open already) and
    // shown in the calendar; with no path, the program comes to the front.
    void takeRequest(const QStringList& request);

    SplashWindow* splash() const { return m_splash; }
    YearDialog* yearDialog() const { return m_yearDialog; }
    CalendarWindow* calendarWindow() const { return m_calendar; }
    Navigator& navigator() { return m_nav; }
    RecoveryKeeper& recovery() { return m_recovery; }

Q_SIGNALS:
    // The user ended the program from the calendar window.
    void programEnding();

private:
    void askForYear();
    void showCalendar();
    // Offers the recovery copy of `doc` left by a run that did not end normally; true
    // when the user took it and it is in the document.
    bool offerRecovery(Document& doc);

    AppState& m_app;
    Navigator m_nav;
    RecoveryKeeper m_recovery{m_app, m_nav};
    QPointer<SplashWindow> m_splash;
    QPointer<YearDialog> m_yearDialog;
    QPointer<CalendarWindow> m_calendar;
    QStringList m_pending; // a second start's request that came before the calendar
};
