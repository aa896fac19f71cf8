// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

class AppState;
class Document;
class QWidget;

// 同期 and 同期の設定 of the calendar's ﾌｧｲﾙ menu, and the syncs that run by themselves.
namespace SyncCommand {

// "同期の設定": links `doc` (a saved document) to a calendar on a server, chosen in the
// dialog (a new one made for the year when asked); the password goes to the desktop's
// secret store when the user wants, and is kept for this run in any case. A link to
// another calendar starts the sync afresh. Offers to sync at once. True when linked.
bool settings(QWidget* parent, AppState& app, Document& doc);

// "同期": the document saved first when it holds changes, then synced with its calendar
// (Sync_Run), the server's changes written into it and saved. Says what went each way
// and on which days both sides had changed an entry (both kept). A document not linked
// yet opens the settings first; without a password they ask for it. `quiet` (the
// automatic syncs): nothing is asked and only conflicts and failures are shown, a
// failure once until a sync of the document goes through again.
bool sync(QWidget* parent, AppState& app, Document& doc, bool quiet = false);

// Whether `doc` syncs after each save, and every few minutes while it is open.
bool syncsAfterSave(const Document& doc);
bool syncsPeriodically(const Document& doc);

// The automatic syncs of every open document that asks for them: after each of its
// saves, and every ten minutes while it holds no unsaved changes.
class AutoSync : public QObject {
    Q_OBJECT
public:
    AutoSync(AppState& app, QWidget* window);
    static constexpr int PeriodMs = 10 * 60 * 1000;

private:
    void saved(Document* doc, bool changed);
    void periodic();

    AppState& m_app;
    QWidget* m_window;
    QTimer m_timer;
};

} // namespace SyncCommand
