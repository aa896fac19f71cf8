#include "app/recoverykeeper.h"

#include "app/navigator.h"
#include "store/appstate.h"
#include "store/recovery.h"
#include "views/viewwindow.h"

#include <QFile>
#include <QtGlobal>

RecoveryKeeper::RecoveryKeeper(AppState& app, Navigator& nav, QObject* parent)
    : QObject(parent), m_app(app), m_nav(nav) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(DelayMs);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryKeeper::writeNow);
    connect(&m_app, &AppState::edited, this, &RecoveryKeeper::edited);
    connect(&m_app, &AppState::docChangedChanged, this, &RecoveryKeeper::docChangedChanged);
}

void RecoveryKeeper::edited() {
    // Counted from the first edit after a copy: typing on does not put it off.
    if (!m_timer.isActive())
        m_timer.start();
}

void RecoveryKeeper::docChangedChanged(bool changed) {
    // Saved (or another document opened after the user let the changes go).
    if (!changed)
        discard();
}

bool RecoveryKeeper::writeNow() {
    m_timer.stop();
    if (!m_app.docChanged())
        return true;
    AppState snapshot;
    snapshot.store = m_app.store;
    snapshot.BaseYear = m_app.BaseYear;
    snapshot.setCurrentDate(m_app.currentDate());
    for (NavWindow* w : m_nav.loadOrder())
        if (auto* view = dynamic_cast<ViewWindow*>(w))
            view->copyUnstoredPage(snapshot);

    const QString path = Recovery::copyPath(m_app.DocPath);
    const FileResult r = Recovery::write(snapshot.store, path);
    if (!r.ok()) {
        // A background safety net: said once on the terminal, never in the user's way.
        if (!m_warned)
            qWarning("daylog: %s", qUtf8Printable(r.saveMessage(path)));
        m_warned = true;
        return false;
    }
    if (!m_written.isEmpty() && m_written != path)
        QFile::remove(m_written);
    m_written = path;
    return true;
}

void RecoveryKeeper::discard() {
    m_timer.stop();
    if (!m_written.isEmpty())
        QFile::remove(m_written);
    m_written.clear();
    Recovery::remove(m_app.DocPath);
}
