// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/doclimits.h"
#include "core/sync/syncitems.h"

#include <QStringList>

// The server's collection as it is now: every resource's href and ETag.
using SyncListing = std::map<QString, QByteArray>;
// Resources fetched from the server: href and content.
using SyncBodies = std::map<QString, QByteArray>;

// The listing after a sync-collection report: the state's hrefs and ETags with the
// report's `changed` ones (href and new ETag) and without its `removed` ones.
SyncListing Sync_ListingAfter(const SyncState& state, const SyncListing& changed,
                              const QStringList& removed);
// The hrefs of `listing` whose content the plan needs: new ones and those whose ETag is
// not the one the state knows.
QStringList Sync_HrefsToFetch(const SyncState& state, const SyncListing& listing);

// A resource to write to the server: only where it is `ifMatch` (that ETag), or only
// where there is none yet (`create`: If-None-Match: *). `item` is its state once
// written, without the ETag the server answers with.
struct SyncPut {
    QString uid;
    QString href;
    QByteArray body;
    QByteArray ifMatch;
    bool create = false;
    SyncItem item;
};
// A resource to delete from the server, only where it is `ifMatch`.
struct SyncDelete {
    QString uid;
    QString href;
    QByteArray ifMatch;
};

// One sync of the document with the server, worked out without touching either.
//
// Carried out in this order: the edits into the document (Sync_Apply; nothing else if
// it refuses), the document saved, `state` written (Sync_WriteState), then the
// requests, the puts before the deletes, each success written into the state
// (Sync_PutDone, Sync_DeleteDone), which is saved again at the end. A sync cut off after
// any request, with any of the successes so far saved, heals on the next one: what both
// sides already agree on is recognised by its meaning, and nothing is put twice.
struct SyncPlan {
    std::vector<DocLimits::CellText> edits; // the texts of the cells to write
    std::vector<SyncPut> puts;
    std::vector<SyncDelete> deletes;
    std::vector<QDate> conflicts; // days where both sides changed an entry differently
    QStringList problems;         // server items left as they are, why in Japanese
    SyncState state;              // to keep once the document holds the edits

    bool isEmpty() const { return edits.empty() && puts.empty() && deletes.empty(); }
};

// The text that begins the other side's version of an entry both sides changed.
inline constexpr char16_t ConflictMark[] = u"(競合)";

// Plans the sync of the document `store` (the year of `baseYear`), whose last sync
// left `state`, with the server's `listing` now and the `bodies` of
// Sync_HrefsToFetch(state, listing). An item is the document's entry (its UID names
// the document, the day and the kind; ToDo items by a hash of their time, category and
// text) or an item made elsewhere with a UID of its own (foreign).
//
// - Changed in the document only (its content hash is not the state's): put, created
//   where the server has none; emptied or removed: deleted.
// - Changed on the server only (its ETag is not the state's): the document takes the
//   server's version; deleted there: the entry is cleared or the item removed. A foreign
//   item is added where the import would put it, and what it added is remembered, so
//   that its later changes replace exactly that and its deletion removes exactly that.
//   An entry moved to another day or time goes there as the import puts it.
// - Changed on both sides: when both mean the same (texts and done state, whatever
//   the bytes) it is only recorded; otherwise the document keeps its version with the
//   server's beside it, marked ConflictMark (a text: a new line or paragraph; a ToDo
//   item: another item), and that is put over the server's, so both keep both.
// - Changed in the document and deleted on the server: put again. Removed from the
//   document and changed on the server: the server's version comes back.
// - A foreign item whose pieces the document changed or removed is deleted on the server;
//   what is left of it travels with its days' own entries, also while that deletion
//   is not known to be done (the item is `pending`).
// - A ToDo item changed on the server under a name the document no longer has, while
//   the day holds it under another (it differs at most in being done: the document
//   took its text from the server and the old name's deletion was cut off), is that
//   item and does not come twice.
// Run again after a complete sync with nothing changed, it plans nothing.
SyncPlan Sync_Plan(const YearStore& store, int baseYear, const SyncState& state,
                   const SyncListing& listing, const SyncBodies& bodies, const QDateTime& now);

// Records a request's success in `state`.
void Sync_PutDone(SyncState& state, const SyncPut& put, const QByteArray& etag);
void Sync_DeleteDone(SyncState& state, const SyncDelete& del);
