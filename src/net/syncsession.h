// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/sync/syncplan.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class CalDavClient;
class YearStore;

// What one sync came to: what went each way, the days where both sides had changed an
// entry differently (both kept), server items left as they were, and a failure.
struct SyncReport {
    bool ok = false;
    QString error;                // why the sync stopped, in Japanese (empty when ok)
    bool passwordRefused = false; // it stopped because the server refused the password
    int received = 0;             // cells of the document the server's changes wrote
    int sent = 0;                 // entries written to the server
    int deleted = 0;              // entries deleted on the server
    int refused = 0;              // writes the server refused because the entry changed meanwhile
    std::vector<QDate> conflicts;
    QStringList problems;

    // In Japanese, one line a kind: "受信 3件、送信 12件、削除 1件" and, where there are
    // any, the days of conflicts ("競合（両方を残しました）: 2005/05/10, …") and the
    // items not read (the failure is `error`).
    QString text() const;
};

// One sync of the document file at `path`, whose year is `store`, with the collection
// of `link` through `client`:
//  1. what the server changed since the last sync (a sync-collection report from the
//     state's token, else the whole listing), the changed entries read;
//  2. the plan (Sync_Plan); the document's part handed to `applyAndSave`, which writes
//     it into the document and saves the document file (false, with the reason, stops
//     the sync with nothing else done);
//  3. the state written beside the document, then every write and deletion on the
//     server, each one's success recorded in the state, which is written again at the
//     end.
// A sync cut off anywhere leaves the document and the server each as before or as
// after each entry; the next sync completes it. `store` must hold what `path` holds
// when no edits are applied.
// `progress` (if given) hears how far the writing to the server has come: `done` of
// `total` writes and deletions, from (0, total) on, each time one more is answered.
using SyncApply = std::function<bool(const SyncPlan& plan, QString* error)>;
using SyncProgress = std::function<void(int done, int total)>;
SyncReport Sync_Run(CalDavClient& client, const QString& path, const YearStore& store, int baseYear,
                    const SyncLink& link, const SyncApply& applyAndSave,
                    const SyncProgress& progress = {});
