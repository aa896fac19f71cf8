// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/recoverykeeper.h"

#include "core/store/appstate.h"
#include "core/store/recovery.h"
#include "gui/frame/navigator.h"
#include "gui/frame/viewwindow.h"
#include "gui/platform/messagebox.h"

#include <QApplication>
#include <QFile>

RecoveryKeeper::RecoveryKeeper(AppState& app, Navigator& nav, QObject* parent)
    : QObject(parent), m_app(app), m_nav(nav) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(DelayMs);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryKeeper::writeNow);
    connect(&m_app, &AppState::edited, this, &RecoveryKeeper::edited);
    connect(&m_app, &AppState::docChangedChanged, this, [this](Document* doc, bool changed) {
        if (!changed) // saved
            discard(doc);
    });
    connect(&m_app, &AppState::changesLetGo, this, &RecoveryKeeper::discard);
    connect(&m_app, &AppState::documentPathChanged, this, [this](Document* doc, const QString&) {
        // Saved under another name: the copy written under the old one goes. (A copy
        // under the new name is the one a document just opened is offered.)
        const QString written = m_written.take(doc);
        if (!written.isEmpty())
            QFile::remove(written);
    });
    connect(&m_app, &AppState::documentsChanged, this, [this] {
        for (auto it = m_written.begin(); it != m_written.end();) {
            if (!m_app.owns(it.key()))
                it = m_written.erase(it);
            else
                ++it;
        }
    });
}

void RecoveryKeeper::edited() {
    // Counted from the first edit after a copy: typing on does not put it off.
    if (!m_stopped && !m_timer.isActive())
        m_timer.start();
}

bool RecoveryKeeper::writeNow() {
    m_timer.stop();
    if (m_stopped)
        return true;
    bool ok = true;
    for (Document* doc : m_app.changedDocuments())
        ok = write(*doc) && ok;
    return ok;
}

bool RecoveryKeeper::write(Document& doc) {
    // The document with what the views hold of it and have not stored yet.
    AppState snapshot;
    snapshot.doc().replace(doc.store());
    snapshot.setCurrentDate(m_app.currentDate());
    for (NavWindow* w : m_nav.loadOrder())
        if (auto* view = dynamic_cast<ViewWindow*>(w))
            view->copyUnstoredPage(snapshot, doc);

    const QString path = Recovery::copyPath(doc.path());
    const FileResult r = Recovery::write(snapshot.store(), path);
    if (!r.ok()) {
        // Said once, so that the user knows the safety net is missing.
        if (!m_warned) {
            m_warned = true;
            MessageBox::show(QApplication::activeWindow(),
                             r.saveMessage(path) +
                                 QStringLiteral("\n（万一のための控えを保存できません。"
                                                "こまめに保存してください。）"),
                             MessageBox::OkOnly, MessageBox::Warning, doc.displayName());
        }
        return false;
    }
    const QString before = m_written.value(&doc);
    if (!before.isEmpty() && before != path)
        QFile::remove(before);
    m_written.insert(&doc, path);
    return true;
}

void RecoveryKeeper::discard(Document* doc) {
    const QString written = m_written.take(doc);
    if (!written.isEmpty())
        QFile::remove(written);
    if (doc && m_app.owns(doc))
        Recovery::remove(doc->path());
}

void RecoveryKeeper::stop() {
    m_stopped = true;
    m_timer.stop();
}
