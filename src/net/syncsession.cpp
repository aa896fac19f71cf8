// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/syncsession.h"

#include "core/store/yearstore.h"
#include "core/sync/syncstate.h"
#include "core/time/clock.h"
#include "net/caldavclient.h"

using namespace Qt::StringLiterals;

namespace {

SyncReport failed(SyncReport report, const QString& why) {
    report.ok = false;
    report.error = why;
    return report;
}

SyncListing listingOf(const QHash<QString, QString>& etags) {
    SyncListing out;
    for (auto it = etags.begin(); it != etags.end(); ++it)
        out[it.key()] = it.value().toUtf8();
    return out;
}

// The server's collection now: from the state's token what changed since, else every
// member. `token` gets the token to keep (empty where the server gives none).
bool listCollection(CalDavClient& client, const SyncState& state, SyncListing& listing,
                    QString& token, QString& error) {
    const QString& collection = state.link.collection;
    if (!state.syncToken.isEmpty()) {
        const SyncCollectionResult r = client.syncCollection(collection, state.syncToken).wait();
        if (!r.error) {
            listing = Sync_ListingAfter(state, listingOf(r.changed), r.removed);
            token = r.syncToken;
            return true;
        }
        if (r.error.kind != CalDavError::Kind::InvalidSyncToken) {
            error = r.error.message;
            return false;
        }
        // The server has forgotten the token: everything is listed again.
    }
    const SyncCollectionResult all = client.syncCollection(collection, QString()).wait();
    if (!all.error) {
        listing = listingOf(all.changed);
        token = all.syncToken;
        return true;
    }
    if (all.error.kind != CalDavError::Kind::Http &&
        all.error.kind != CalDavError::Kind::InvalidSyncToken) {
        error = all.error.message;
        return false;
    }
    // A server without sync reports: the ETag of every member.
    const EtagListResult etags = client.listEtags(collection).wait();
    if (etags.error) {
        error = etags.error.message;
        return false;
    }
    listing = listingOf(etags.etags);
    token.clear();
    return true;
}

} // namespace

QString SyncReport::text() const {
    QStringList lines;
    lines << u"受信 %1件、送信 %2件、削除 %3件"_s.arg(received).arg(sent).arg(deleted);
    if (refused > 0)
        lines << u"サーバーで同時に変更された %1件は次の同期で合わせます。"_s.arg(refused);
    if (!conflicts.empty()) {
        QStringList days;
        for (const QDate& d : conflicts)
            days << d.toString(u"yyyy/MM/dd"_s);
        lines << u"競合（両方を残しました）: %1"_s.arg(days.join(u", "_s));
    }
    for (const QString& p : problems)
        lines << u"読まなかった項目: %1"_s.arg(p);
    return lines.join(u'\n');
}

SyncReport Sync_Run(CalDavClient& client, const QString& path, const YearStore& store, int baseYear,
                    const SyncLink& link, const SyncApply& applyAndSave) {
    SyncReport report;
    QString error;
    SyncState state;
    if (!Sync_ReadState(path, store, baseYear, state, &error))
        return failed(report, error);
    // Another collection (or none before): nothing of the old state holds there.
    if (state.link.collection != link.collection) {
        const QUuid id = state.documentId;
        state = SyncState();
        state.documentId = id.isNull() ? store.documentId() : id;
    }
    state.link = link;

    SyncListing listing;
    QString token;
    if (!listCollection(client, state, listing, token, error))
        return failed(report, error);
    SyncBodies bodies;
    const QStringList fetch = Sync_HrefsToFetch(state, listing);
    if (!fetch.isEmpty()) {
        const MultigetResult got = client.multiget(link.collection, fetch).wait();
        if (got.error)
            return failed(report, got.error.message);
        for (auto it = got.objects.begin(); it != got.objects.end(); ++it) {
            bodies[it.key()] = it.value().data;
            if (!it.value().etag.isEmpty())
                listing[it.key()] = it.value().etag.toUtf8();
        }
        // Deleted between the listing and the reading.
        for (const QString& gone : got.missing)
            listing.erase(gone);
    }

    SyncPlan plan =
        Sync_Plan(store, baseYear, state, listing, bodies, Clock::currentDateTime().toUTC());
    report.conflicts = plan.conflicts;
    report.problems = plan.problems;
    if (!plan.edits.empty()) {
        if (!applyAndSave(plan, &error))
            return failed(report, error);
        report.received = int(plan.edits.size());
    }
    // The state of the document as saved, before anything is written to the server.
    SyncState done = plan.state;
    done.link = link;
    done.syncToken = token;
    if (!Sync_WriteState(path, done, baseYear, &error))
        return failed(report, error);

    // New entries are named in the collection as the client names its members.
    QList<PutRequest> requests;
    for (SyncPut& put : plan.puts) {
        if (put.create) {
            put.href = CalDavClient::memberHref(link.collection,
                                                put.uid.left(put.uid.indexOf(u'@')) + u".ics"_s);
            put.item.href = put.href;
        }
        requests.append({put.href, put.body, QString::fromUtf8(put.ifMatch)});
    }
    QString stop;
    if (!requests.isEmpty()) {
        const PutBatchResult written = client.putBatch(requests).wait();
        for (qsizetype i = 0; i < written.results.size() && i < qsizetype(plan.puts.size()); ++i) {
            const PutResult& r = written.results[i];
            if (!r.error) {
                Sync_PutDone(done, plan.puts[size_t(i)], r.etag.toUtf8());
                ++report.sent;
            } else if (r.error.kind == CalDavError::Kind::PreconditionFailed) {
                ++report.refused;
            } else if (stop.isEmpty()) {
                stop = r.error.message;
            }
        }
    }
    for (const SyncDelete& del : plan.deletes) {
        if (!stop.isEmpty())
            break;
        const DeleteResult r = client.remove(del.href, QString::fromUtf8(del.ifMatch)).wait();
        if (!r.error) {
            Sync_DeleteDone(done, del);
            ++report.deleted;
        } else if (r.error.kind == CalDavError::Kind::PreconditionFailed) {
            ++report.refused;
        } else {
            stop = r.error.message;
        }
    }
    if (!Sync_WriteState(path, done, baseYear, &error))
        return failed(report, error);
    if (!stop.isEmpty())
        return failed(report, stop);
    report.ok = true;
    return report;
}
