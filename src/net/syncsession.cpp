// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/syncsession.h"

#include "core/export/icalendar.h"
#include "core/store/yearstore.h"
#include "core/sync/syncitems.h"
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

SyncReport failed(SyncReport report, const CalDavError& why) {
    report.passwordRefused = why.kind == CalDavError::Kind::Auth;
    return failed(std::move(report), why.message);
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
                    QString& token, CalDavError& error) {
    const QString& collection = state.link.collection;
    if (!state.syncToken.isEmpty()) {
        const SyncCollectionResult r = client.syncCollection(collection, state.syncToken).wait();
        if (!r.error) {
            listing = Sync_ListingAfter(state, listingOf(r.changed), r.removed);
            token = r.syncToken;
            return true;
        }
        if (r.error.kind != CalDavError::Kind::InvalidSyncToken) {
            error = r.error;
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
        error = all.error;
        return false;
    }
    // A server without sync reports: the ETag of every member.
    const EtagListResult etags = client.listEtags(collection).wait();
    if (etags.error) {
        error = etags.error;
        return false;
    }
    listing = listingOf(etags.etags);
    token.clear();
    return true;
}

// A calendar made here for the document and still empty takes at least this many new
// entries in one request; fewer go one by one.
constexpr size_t AtOnceFrom = 20;

// The entries of `puts` as one calendar named `name`, or nothing when one of them is
// not a single component of its own.
QByteArray calendarOf(const std::vector<SyncPut>& puts, const QString& name) {
    QByteArray head, components;
    for (const SyncPut& put : puts) {
        const QByteArray& b = put.body;
        qsizetype begin = -1;
        for (const char* kind :
             {"\r\nBEGIN:VEVENT\r\n", "\r\nBEGIN:VTODO\r\n", "\r\nBEGIN:VJOURNAL\r\n"})
            if (const qsizetype at = b.indexOf(kind); at >= 0 && (begin < 0 || at < begin))
                begin = at + 2;
        const qsizetype end = b.lastIndexOf("END:VCALENDAR");
        if (begin < 0 || end < begin || b.contains("BEGIN:VTIMEZONE"))
            return {};
        if (head.isEmpty())
            head = b.left(begin);
        components += b.mid(begin, end - begin);
    }
    if (!name.isEmpty())
        head += ICalendar::foldLine(u"X-WR-CALNAME:"_s + ICalendar::escapeText(name));
    return head + components + "END:VCALENDAR\r\n";
}

// The first sync of a calendar made here for the document, still empty, writes every
// new entry in one request: a whole-collection PUT, which not every server takes,
// guarded by the collection's ETag from the same answer that showed it empty. Then
// what the collection lists is what was written: each entry found there (by the name
// the server gave it, else by its UID) is recorded and taken out of `puts`; the rest
// are put one by one. The token is kept only when nothing else was found.
void putAtOnce(CalDavClient& client, const SyncState& state, const QUuid& documentId, int baseYear,
               std::vector<SyncPut>& puts, SyncState& done, SyncReport& report) {
    const QString& collection = state.link.collection;
    if (!state.link.made || !state.items.empty() || puts.size() < AtOnceFrom ||
        std::any_of(puts.begin(), puts.end(), [](const SyncPut& p) { return !p.create; }))
        return;
    const EtagListResult before = client.listEtags(collection).wait();
    if (before.error || !before.etags.isEmpty() || before.collectionEtag.isEmpty())
        return;
    const QByteArray calendar = calendarOf(puts, before.displayName);
    if (calendar.isEmpty())
        return;
    const PutResult written =
        client.putCollection(collection, calendar, before.collectionEtag).wait();
    // Refused: nothing was written. Without an answer it may have been.
    if (written.error && written.error.kind != CalDavError::Kind::Network)
        return;
    SyncCollectionResult after = client.syncCollection(collection, QString()).wait();
    if (after.error) {
        // A server without sync reports: the ETag of every member, and no token.
        const EtagListResult members = client.listEtags(collection).wait();
        if (members.error)
            return;
        after = {};
        after.changed = members.etags;
    }

    std::map<QString, size_t> byName, byUid;
    for (size_t i = 0; i < puts.size(); ++i) {
        const QString& uid = puts[i].uid;
        byUid[uid] = i;
        byName[uid + u".ics"_s] = i;
        byName[uid.left(uid.indexOf(u'@')) + u".ics"_s] = i;
    }
    std::map<size_t, std::pair<QString, QString>> found; // put → href and ETag
    QStringList unknown;
    for (auto it = after.changed.begin(); it != after.changed.end(); ++it) {
        const QString name = QUrl::fromPercentEncoding(it.key().section(u'/', -1).toUtf8());
        if (const auto n = byName.find(name); n != byName.end() && !found.count(n->second))
            found[n->second] = {it.key(), it.value()};
        else
            unknown.append(it.key());
    }
    if (!unknown.isEmpty()) {
        const MultigetResult got = client.multiget(collection, unknown).wait();
        for (auto it = got.objects.begin(); !got.error && it != got.objects.end(); ++it) {
            const QString uid = Sync_ReadServer(it.value().data, documentId, baseYear).uid;
            if (const auto n = byUid.find(uid); n != byUid.end() && !found.count(n->second)) {
                found[n->second] = {it.key(), after.changed.value(it.key())};
                unknown.removeOne(it.key());
            }
        }
    }
    std::vector<SyncPut> left;
    for (size_t i = 0; i < puts.size(); ++i) {
        const auto f = found.find(i);
        if (f == found.end()) {
            left.push_back(std::move(puts[i]));
            continue;
        }
        SyncPut put = puts[i];
        put.href = put.item.href = f->second.first;
        Sync_PutDone(done, put, f->second.second.toUtf8());
        ++report.sent;
    }
    puts = std::move(left);
    if (unknown.isEmpty())
        done.syncToken = after.syncToken;
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
                    const SyncLink& link, const SyncApply& applyAndSave,
                    const SyncProgress& progress) {
    SyncReport report;
    QString error;
    SyncState state;
    if (!Sync_ReadState(path, store, baseYear, state, &error))
        return failed(report, error);
    // Another collection (or none before): nothing of the old state holds there. The
    // same one stays known as made here.
    const bool made = link.made || (state.link.collection == link.collection && state.link.made);
    if (state.link.collection != link.collection) {
        const QUuid id = state.documentId;
        state = SyncState();
        state.documentId = id.isNull() ? store.documentId() : id;
    }
    state.link = link;
    state.link.made = made;

    SyncListing listing;
    QString token;
    if (CalDavError listed; !listCollection(client, state, listing, token, listed))
        return failed(report, listed);
    SyncBodies bodies;
    const QStringList fetch = Sync_HrefsToFetch(state, listing);
    if (!fetch.isEmpty()) {
        const MultigetResult got = client.multiget(link.collection, fetch).wait();
        if (got.error)
            return failed(report, got.error);
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
    done.link = state.link;
    done.syncToken = token;
    if (!Sync_WriteState(path, done, baseYear, &error))
        return failed(report, error);

    const int total = int(plan.puts.size() + plan.deletes.size());
    int answered = 0;
    const auto tell = [&] {
        if (progress)
            progress(answered, total);
    };
    tell();
    putAtOnce(client, state, store.documentId(), baseYear, plan.puts, done, report);
    answered = report.sent;
    if (answered > 0)
        tell();
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
    CalDavError stop;
    if (!requests.isEmpty()) {
        const auto each = [&](int, const PutResult&) {
            ++answered;
            tell();
        };
        const PutBatchResult written = client.putBatch(requests, each).wait();
        for (qsizetype i = 0; i < written.results.size() && i < qsizetype(plan.puts.size()); ++i) {
            const PutResult& r = written.results[i];
            if (!r.error) {
                Sync_PutDone(done, plan.puts[size_t(i)], r.etag.toUtf8());
                ++report.sent;
            } else if (r.error.kind == CalDavError::Kind::PreconditionFailed) {
                ++report.refused;
            } else if (!stop) {
                stop = r.error;
            }
        }
    }
    for (const SyncDelete& del : plan.deletes) {
        if (stop)
            break;
        const DeleteResult r = client.remove(del.href, QString::fromUtf8(del.ifMatch)).wait();
        ++answered;
        tell();
        if (!r.error) {
            Sync_DeleteDone(done, del);
            ++report.deleted;
        } else if (r.error.kind == CalDavError::Kind::PreconditionFailed) {
            ++report.refused;
        } else {
            stop = r.error;
        }
    }
    if (!Sync_WriteState(path, done, baseYear, &error))
        return failed(report, error);
    if (stop)
        return failed(report, stop);
    report.ok = true;
    return report;
}
