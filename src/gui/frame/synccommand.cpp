// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/synccommand.h"

#include "core/store/appstate.h"
#include "core/store/document.h"
#include "core/sync/syncapply.h"
#include "core/sync/syncstate.h"
#include "gui/frame/documentcommands.h"
#include "gui/frame/syncdialog.h"
#include "gui/platform/messagebox.h"
#include "gui/platform/modaldialog.h"
#include "net/caldavclient.h"
#include "net/secretstore.h"
#include "net/syncsession.h"

#include <QApplication>
#include <QCheckBox>
#include <QHash>
#include <QProgressDialog>
#include <QSet>
#include <QSettings>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace SyncCommand {

namespace {

// Passwords given in this run, by account: also those the secret store could not keep.
QHash<QString, QString>& passwords() {
    static QHash<QString, QString> known;
    return known;
}

// A sync running: the saves it makes start no other.
bool running = false;

// Documents (by identity) whose automatic sync failed and said so: the next failures
// are not said again until a sync has gone through.
QSet<QUuid>& failureShown() {
    static QSet<QUuid> shown;
    return shown;
}

QString optionKey(const Document& doc, const char16_t* name) {
    return u"sync/%1/%2"_s.arg(doc.store().documentId().toString(QUuid::WithoutBraces),
                               QString::fromUtf16(name));
}

bool readState(QWidget* parent, const Document& doc, SyncState& state, bool quiet) {
    QString error;
    if (Sync_ReadState(doc.path(), doc.store(), doc.baseYear(), state, &error))
        return true;
    if (!quiet)
        MessageBox::show(parent, error, MessageBox::OkOnly, MessageBox::Critical,
                         doc.displayName());
    return false;
}

// The password of the link's account: given in this run, else from the secret store.
QString passwordOf(const SyncLink& link) {
    const QString account = SecretStore::account(link.server, link.user);
    if (const auto it = passwords().constFind(account); it != passwords().constEnd())
        return *it;
    const SecretStore::Result kept = SecretStore::read(account);
    if (kept.ok())
        passwords().insert(account, kept.secret);
    return kept.ok() ? kept.secret : QString();
}

} // namespace

bool syncsAfterSave(const Document& doc) {
    return QSettings().value(optionKey(doc, u"afterSave"), false).toBool();
}

bool syncsPeriodically(const Document& doc) {
    return QSettings().value(optionKey(doc, u"periodic"), false).toBool();
}

bool settings(QWidget* parent, AppState& app, Document& doc) {
    if (doc.isUntitled()) {
        MessageBox::show(parent, u"同期するには、先に文書に名前を付けて保存してください。"_s,
                         MessageBox::OkOnly, MessageBox::Warning, doc.displayName());
        return false;
    }
    SyncState state;
    if (!readState(parent, doc, state, false))
        return false;
    SyncDialog dialog(state.link, doc.baseYear(), parent);
    dialog.afterSave()->setChecked(syncsAfterSave(doc));
    dialog.everyFewMinutes()->setChecked(syncsPeriodically(doc));
    if (ModalDialog::run(dialog) != QDialog::Accepted)
        return false;
    SyncLink link = dialog.link();
    if (dialog.makesNewCalendar()) {
        CalDavClient client(QUrl(link.server), link.user, dialog.password());
        const QString slug = Sync_NewCalendarPath(doc.store().documentId(), doc.baseYear());
        const MakeCalendarResult made =
            client.makeCalendar(dialog.home(), slug, dialog.newCalendarName()).wait();
        if (made.error) {
            MessageBox::show(parent,
                             u"カレンダー「%1」を作れませんでした。\n%2"_s.arg(
                                 dialog.newCalendarName(), made.error.message),
                             MessageBox::OkOnly, MessageBox::Critical, doc.displayName());
            return false;
        }
        link.collection = QUrl(link.server).resolved(QUrl(made.href)).toString();
        link.made = true;
    }
    const QString account = SecretStore::account(link.server, link.user);
    passwords().insert(account, dialog.password());
    // Kept only when asked: without the tick the store is not touched at all.
    if (dialog.keepPassword()->isChecked()) {
        const SecretStore::Result kept = SecretStore::write(account, dialog.password());
        if (!kept.ok())
            MessageBox::show(parent, kept.message(), MessageBox::OkOnly, MessageBox::Warning,
                             doc.displayName());
    }
    QSettings().setValue(optionKey(doc, u"afterSave"), dialog.afterSave()->isChecked());
    QSettings().setValue(optionKey(doc, u"periodic"), dialog.everyFewMinutes()->isChecked());

    // Another calendar: nothing the state knew holds there.
    if (state.link.collection == link.collection) {
        link.made = link.made || state.link.made;
    } else {
        const QUuid id = state.documentId;
        state = SyncState();
        state.documentId = id;
    }
    state.link = link;
    QString error;
    if (!Sync_WriteState(doc.path(), state, doc.baseYear(), &error)) {
        MessageBox::show(parent, error, MessageBox::OkOnly, MessageBox::Critical,
                         doc.displayName());
        return false;
    }
    if (MessageBox::show(parent, u"「%1」をカレンダーと同期しますか。"_s.arg(doc.displayName()),
                         MessageBox::YesNo, MessageBox::Question) == MessageBox::Yes)
        sync(parent, app, doc);
    return true;
}

bool sync(QWidget* parent, AppState& app, Document& doc, bool quiet) {
    if (running)
        return false;
    if (doc.isUntitled()) {
        if (!quiet)
            settings(parent, app, doc);
        return false;
    }
    SyncState state;
    if (!readState(parent, doc, state, quiet))
        return false;
    if (state.link.collection.isEmpty() || passwordOf(state.link).isEmpty()) {
        if (!quiet)
            settings(parent, app, doc);
        return false;
    }
    // The sync works on the document as saved.
    if (doc.isChanged() && !Doc_Save(parent, app, doc, SaveShape::Calendar))
        return false;

    running = true;
    QProgressDialog progress(u"「%1」を同期しています…"_s.arg(doc.displayName()), QString(), 0, 0,
                             parent);
    progress.setWindowTitle(u"同期"_s);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    // Open until the sync ends, also once every request is answered.
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.show();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CalDavClient client(QUrl(state.link.server), state.link.user, passwordOf(state.link));
    const SyncReport report = Sync_Run(
        client, doc.path(), doc.store(), doc.baseYear(), state.link,
        [&](const SyncPlan& plan, QString* why) {
            if (!Sync_ApplyToDocument(doc, plan, why))
                return false;
            if (!Doc_Save(parent, app, doc, SaveShape::Calendar)) {
                *why = u"受信した変更を文書に保存できませんでした。"_s;
                return false;
            }
            return true;
        },
        [&](int done, int total) {
            progress.setMaximum(total);
            progress.setValue(done);
            progress.setLabelText(u"「%1」を同期しています…（%2 / %3件）"_s.arg(doc.displayName())
                                      .arg(done)
                                      .arg(total));
        });
    QApplication::restoreOverrideCursor();
    progress.close();
    running = false;
    const QUuid id = doc.store().documentId();
    if (!report.ok) {
        // A refused password is asked again.
        if (report.passwordRefused)
            passwords().remove(SecretStore::account(state.link.server, state.link.user));
        // An automatic sync says it failed once, not every few minutes while offline.
        if (!quiet || !failureShown().contains(id)) {
            if (quiet)
                failureShown().insert(id);
            MessageBox::show(parent,
                             u"「%1」を同期できませんでした。\n%2\n\n%3"_s.arg(
                                 doc.displayName(), report.error, report.text()),
                             MessageBox::OkOnly, MessageBox::Critical);
        }
        return false;
    }
    failureShown().remove(id);
    if (!quiet || !report.conflicts.empty())
        MessageBox::show(parent,
                         u"「%1」を同期しました。\n%2"_s.arg(doc.displayName(), report.text()),
                         MessageBox::OkOnly,
                         report.conflicts.empty() ? MessageBox::Information : MessageBox::Warning);
    return true;
}

AutoSync::AutoSync(AppState& app, QWidget* window) : QObject(window), m_app(app), m_window(window) {
    connect(&app, &AppState::docChangedChanged, this, &AutoSync::saved);
    m_timer.setInterval(PeriodMs);
    connect(&m_timer, &QTimer::timeout, this, &AutoSync::periodic);
    m_timer.start();
}

void AutoSync::saved(Document* doc, bool changed) {
    // Saved (its changes gone) by the user, not by a sync's own save.
    if (changed || running || !m_app.owns(doc) || doc->isUntitled() || !syncsAfterSave(*doc))
        return;
    QTimer::singleShot(0, this, [this, doc] {
        if (m_app.owns(doc) && !doc->isChanged())
            sync(m_window, m_app, *doc, true);
    });
}

void AutoSync::periodic() {
    for (Document* doc : m_app.documents())
        if (!doc->isUntitled() && !doc->isChanged() && syncsPeriodically(*doc))
            sync(m_window, m_app, *doc, true);
}

} // namespace SyncCommand
