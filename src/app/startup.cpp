#include "app/startup.h"

#include "app/splash.h"
#include "app/viewregistry.h"
#include "app/yeardialog.h"
#include "calendar/calendarwindow.h"
#include "platform/messagebox.h"
#include "store/appstate.h"
#include "store/documentfile.h"
#include "store/recovery.h"

#include <QFile>

using namespace Qt::StringLiterals;

Startup::Startup(AppState& app, QObject* parent) : QObject(parent), m_app(app) {
    registerViews(m_nav, m_app);
    // A window may end the program at once (closing an annual window with changes).
    connect(&m_nav, &Navigator::endRequested, this, &Startup::programEnding);
    // The user ended the program: what was not saved was let go on purpose.
    connect(this, &Startup::programEnding, &m_recovery, &RecoveryKeeper::discard);
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

    if (!commandLine.isEmpty()) {
        m_app.DocPath = commandLineDocPath(commandLine);
        const FileResult r = DocFiles::loadDocument(m_app.DocPath, m_app.buffer);
        if (r.ok()) {
            Store_FromBuffer(m_app);
            offerRecovery();
            if (m_splash)
                m_splash->close();
            showCalendar();
            m_app.DocPending = true;
            return;
        }
        // A document that cannot be opened is reported; start-up then goes on as if
        // none had been given.
        MessageBox::show(m_splash, r.loadMessage(m_app.DocPath), MessageBox::OkOnly,
                         MessageBox::Critical);
    }
    m_app.DocPath = QStringLiteral("nikki0");
    if (offerRecovery()) {
        if (m_splash)
            m_splash->close();
        showCalendar();
        m_app.DocPending = true;
        return;
    }
    askForYear();
}

bool Startup::offerRecovery() {
    const QString copy = Recovery::copyPath(m_app.DocPath);
    if (!QFile::exists(copy))
        return false;
    if (!Recovery::hasNewerCopy(m_app.DocPath)) {
        // The document was saved after the copy was made.
        QFile::remove(copy);
        return false;
    }
    // Read into the buffer grid, which holds nothing needed by now (the document
    // named on the command line is in the store already); a failed read leaves it.
    const FileResult r = DocFiles::loadDocument(copy, m_app.buffer);
    if (!r.ok()) {
        MessageBox::show(m_splash, r.loadMessage(copy), MessageBox::OkOnly, MessageBox::Critical);
        QFile::remove(copy);
        return false;
    }
    if (MessageBox::show(m_splash, u"前回保存されなかった変更があります。復元しますか。"_s,
                         MessageBox::YesNo, MessageBox::Question) != MessageBox::Yes) {
        QFile::remove(copy);
        return false;
    }
    // The copy stays until the document is saved: the recovered changes are not on
    // disk anywhere else.
    Store_FromBuffer(m_app);
    m_app.setDocChanged(true);
    return true;
}

void Startup::askForYear() {
    m_yearDialog = new YearDialog(QStringLiteral("年度決定"));
    m_yearDialog->setAttribute(Qt::WA_DeleteOnClose);
    m_yearDialog->setTag(QStringLiteral("1"));
    connect(m_yearDialog, &YearDialog::yearChosen, this, [this](int year) {
        m_app.BaseYear = year;
        if (m_yearDialog && m_yearDialog->tag() == QStringLiteral("1")) {
            Start_NewYear();
            m_app.DocPending = true;
        }
    });
    m_yearDialog->show();
}

void Startup::Start_NewYear() {
    setCurrentDateToToday(m_app);
    Store_New(m_app);
    if (m_splash)
        m_splash->close();
    showCalendar();
    m_app.DocPending = true;
}

void Startup::showCalendar() {
    if (!m_calendar) {
        m_calendar = new CalendarWindow(m_app, m_nav);
        connect(m_calendar, &CalendarWindow::programEnding, this, &Startup::programEnding);
        m_nav.adopt(View::Calendar, m_calendar);
    }
    m_nav.open(View::Calendar);
}
