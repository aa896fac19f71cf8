// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/startup.h"

#include "core/calendar/newyear.h"
#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "core/store/recovery.h"
#include "gui/app/splash.h"
#include "gui/app/viewregistry.h"
#include "gui/calendar/calendarwindow.h"
#include "gui/frame/carrydialog.h"
#include "gui/frame/documentcommands.h"
#include "gui/frame/yeardialog.h"
#include "gui/platform/messagebox.h"

#include <QFile>

using namespace Qt::StringLiterals;

Startup::Startup(AppState& app, QObject* parent) : QObject(parent), m_app(app) {
    registerViews(m_nav, m_app);
    // The program ends once every question about unsaved work has been answered
    // (from the calendar, or closing a table whose changes the user let go).
    connect(&m_nav, &Navigator::endRequested, this, &Startup::programEnding);
    connect(this, &Startup::programEnding, &m_recovery, &RecoveryKeeper::stop);
}

Startup::~Startup() {
    delete m_yearDialog;
    delete m_splash;
    // The navigator deletes the windows it owns, the calendar window among them.
}

void Startup::Main(const QString& commandLine) {
    m_splash = new SplashWindow;
    m_splash->show();
    m_splash->repaint();

    Document& doc = m_app.doc();
    if (!commandLine.isEmpty()) {
        const QString path = commandLineDocPath(commandLine);
        YearStore year;
        FileIdentity identity;
        const FileResult r = DocFiles::readDocument(path, year, &identity);
        if (r.ok() && Doc_TakeLock(m_splash, doc, path)) {
            doc.replace(year);
            doc.setPath(path);
            doc.setIdentity(identity);
            setCurrentDateToToday(m_app);
            offerRecovery(doc);
            if (m_splash)
                m_splash->close();
            showCalendar();
            return;
        }
        // A document that cannot be opened is reported; start-up then goes on as if
        // none had been given (also when the user chose not to open one held elsewhere).
        if (!r.ok())
            MessageBox::show(m_splash, r.loadMessage(path), MessageBox::OkOnly,
                             MessageBox::Critical);
    }
    // Untitled: the copies of the untitled documents of the last run are offered,
    // each for a document of its own.
    bool restored = offerRecovery(doc);
    Document* first = restored ? &doc : nullptr;
    for (const QString& copy : Recovery::otherUntitledCopies()) {
        Document* extra = m_app.addDocument();
        if (Doc_OfferCopy(m_splash, *extra, copy)) {
            if (!first)
                first = extra;
        } else {
            m_app.closeDocument(extra);
        }
    }
    if (first) {
        m_app.setCurrent(first);
        if (!restored)
            m_app.closeDocument(&doc); // nothing of it was kept
        setCurrentDateToToday(m_app);
        if (m_splash)
            m_splash->close();
        showCalendar();
        return;
    }
    askForYear();
}

bool Startup::offerRecovery(Document& doc) {
    return Doc_OfferRecovery(m_splash, doc);
}

void Startup::askForYear() {
    m_yearDialog = new YearDialog(QStringLiteral("年度決定"));
    m_yearDialog->setAttribute(Qt::WA_DeleteOnClose);
    m_yearDialog->setTag(QStringLiteral("1"));
    connect(m_yearDialog, &YearDialog::yearChosen, this, [this](int year) {
        if (m_yearDialog && m_yearDialog->tag() == QStringLiteral("1"))
            Start_NewYear(year);
    });
    // Without a year there is nothing to show: the program ends.
    connect(m_yearDialog, &YearDialog::cancelled, this, [this] {
        if (m_splash)
            m_splash->close();
        Q_EMIT programEnding();
    });
    m_yearDialog->show();
}

void Startup::Start_NewYear(int year) {
    // An open document of the year before offers its open ToDo items; those chosen
    // are written into the new year, which is then changed.
    QWidget* parent = m_yearDialog ? static_cast<QWidget*>(m_yearDialog.data())
                                   : static_cast<QWidget*>(m_splash.data());
    const std::vector<CarryItem> carried = Carry_Ask(parent, m_app, year);
    setCurrentDateToToday(m_app, year);
    Store_New(m_app, year);
    Carry_Into(parent, m_app.store(), carried);
    if (m_splash)
        m_splash->close();
    showCalendar();
}

void Startup::takeRequest(const QStringList& request) {
    // Before start-up has shown its first window there is nothing to bring forward;
    // the second start's document is then opened once the calendar is there.
    if (!m_calendar) {
        if (!request.isEmpty())
            m_pending = request;
        return;
    }
    if (!request.isEmpty() && !request.first().isEmpty()) {
        // The view shown stores its page before another document becomes current.
        if (m_nav.openDocument(request.first()))
            m_nav.open(View::Calendar);
    }
    QWidget* front = m_nav.current() ? m_nav.current()->widget() : m_calendar.data();
    if (front == m_calendar && m_calendar->isHidden())
        m_calendar->Task_Out(); // back from the notification area
    front->showNormal();
    front->raise();
    front->activateWindow();
}

void Startup::showCalendar() {
    if (!m_calendar) {
        m_calendar = new CalendarWindow(m_app, m_nav);
        m_nav.adopt(View::Calendar, m_calendar);
    }
    m_nav.open(View::Calendar);
    if (!m_pending.isEmpty())
        takeRequest(std::exchange(m_pending, {}));
}
