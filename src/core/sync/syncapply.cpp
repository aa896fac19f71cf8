// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sync/syncapply.h"

#include "core/store/doclimits.h"
#include "core/store/document.h"
#include "core/sync/syncplan.h"

using namespace Qt::StringLiterals;

bool Sync_Apply(YearStore& store, const SyncPlan& plan, QString* error) {
    if (const QString refusal = DocLimits::refusal(store, plan.edits); !refusal.isEmpty()) {
        if (error)
            *error =
                u"サーバーの変更を文書に入れると文書に入りきらないため、同期しませんでした。"_s +
                refusal;
        return false;
    }
    for (const DocLimits::CellText& c : plan.edits)
        store.set(c.row, c.col, c.text);
    return true;
}

bool Sync_ApplyToDocument(Document& document, const SyncPlan& plan, QString* error) {
    Document::Batch batch(document);
    return Sync_Apply(document.store(), plan, error);
}
