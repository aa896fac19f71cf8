// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sync/syncplan.h"

#include "core/store/yearstore.h"
#include "core/time/dates.h"

#include <QUrl>

#include <set>

using namespace Qt::StringLiterals;

SyncListing Sync_ListingAfter(const SyncState& state, const SyncListing& changed,
                              const QStringList& removed) {
    SyncListing out;
    // A resource put by the last sync without an answer is not known to be there: only
    // the report says whether it arrived.
    // One whose deletion is not known to be done is there until the report says not.
    for (const auto& [uid, item] : state.items)
        if (!item.pending || item.foreign)
            out[item.href] = item.etag;
    for (const QString& href : removed)
        out.erase(href);
    for (const auto& [href, etag] : changed)
        out[href] = etag;
    return out;
}

QStringList Sync_HrefsToFetch(const SyncState& state, const SyncListing& listing) {
    std::map<QString, QByteArray> known;
    for (const auto& [uid, item] : state.items)
        known[item.href] = item.etag;
    QStringList out;
    for (const auto& [href, etag] : listing)
        if (const auto it = known.find(href); it == known.end() || it->second != etag)
            out.append(href);
    return out;
}

void Sync_PutDone(SyncState& state, const SyncPut& put, const QByteArray& etag) {
    SyncItem item = put.item;
    item.etag = etag;
    state.items[put.uid] = std::move(item);
}

void Sync_DeleteDone(SyncState& state, const SyncDelete& del) {
    state.items.erase(del.uid);
}

namespace {

// The server's side of one UID.
struct Server {
    QString href;
    QByteArray etag;
    bool fetched = false; // changed since the state (or new): `item` read from it
    SyncServerItem item;
    QByteArray hash; // of `item` as the document writes it (an entry where its UID puts it)
};

QString hrefFor(const SyncState& state, const QString& uid) {
    QString base = QUrl(state.link.collection).path(QUrl::FullyEncoded);
    if (!base.endsWith(u'/'))
        base += u'/';
    return base + uid.left(uid.indexOf(u'@')) + u".ics"_s;
}

SyncItem ownItem(const QString& uid, const QString& href, const QByteArray& etag,
                 const QByteArray& hash, bool pending = false) {
    return {uid, href, etag, hash, pending, false, {}};
}

template <class Map> auto* find(Map& map, const QString& key) {
    const auto it = map.find(key);
    return it == map.end() ? nullptr : &it->second;
}

class Planner {
public:
    Planner(const YearStore& store, int baseYear, const SyncState& state, const QDateTime& now)
        : m_store(store), m_work(store), m_baseYear(baseYear), m_state(state), m_now(now),
          m_items(state.items), m_doc(m_work, baseYear, state.items),
          m_local(Sync_LocalResources(store, baseYear, &state, now)) {}

    void readServer(const SyncListing& listing, const SyncBodies& bodies);
    void fromServer();
    SyncPlan toServer();

private:
    void foreignFromServer(const QString& uid, const SyncItem* was, const Server* sv);
    void ownFromServer(const QString& uid, const SyncItem* was, const Server* sv);
    void conflict(const SyncUid& at, const ICalendarEntry& ours, const ICalendarEntry& theirs);
    bool heldAsAnother(const ICalendarEntry& theirs);

    const YearStore& m_store;
    YearStore m_work; // the document as the plan leaves it
    const int m_baseYear;
    const SyncState& m_state;
    const QDateTime m_now;
    std::map<QString, SyncItem> m_items; // the state as the plan leaves it
    SyncDoc m_doc;
    const SyncResources m_local;
    std::map<QString, Server> m_server; // by UID
    std::set<QString> m_skip;           // UIDs left as they are this time
    std::set<QDate> m_conflicts;
    QStringList m_problems;
};

void Planner::readServer(const SyncListing& listing, const SyncBodies& bodies) {
    std::map<QString, QString> uidOf;
    for (const auto& [uid, item] : m_state.items)
        uidOf[item.href] = uid;
    for (const auto& [href, etag] : listing) {
        const QString* known = find(uidOf, href);
        if (known && m_state.items.at(*known).etag == etag) {
            m_server[*known] = {href, etag, false, {}, {}};
            continue;
        }
        const QByteArray* body = find(bodies, href);
        SyncServerItem item;
        if (body)
            item = Sync_ReadServer(*body, m_store.documentId(), m_baseYear);
        if (!body || item.shape == SyncServerItem::Unreadable) {
            if (body)
                m_problems.append(u"%1: %2"_s.arg(href, item.problem));
            if (known)
                m_skip.insert(*known);
            continue;
        }
        if (m_server.count(item.uid)) {
            m_problems.append(
                u"%1: 同じ UID の項目がほかにもあるため、読みませんでした。"_s.arg(href));
            continue;
        }
        const QString uid = item.uid;
        QByteArray hash;
        if (item.shape == SyncServerItem::Own)
            hash = Sync_Resource(item.entry, m_store.documentId(), m_now).hash;
        m_server[uid] = {href, etag, true, std::move(item), hash};
    }
}

void Planner::fromServer() {
    std::set<QString> uids;
    for (const auto& [uid, item] : m_state.items)
        uids.insert(uid);
    for (const auto& [uid, sv] : m_server)
        uids.insert(uid);
    for (const QString& uid : uids) {
        if (m_skip.count(uid))
            continue;
        const SyncItem* was = find(m_state.items, uid);
        const Server* sv = find(m_server, uid);
        if (sv ? !sv->fetched : !was)
            continue; // the server's side is as the state says
        if (sv ? sv->item.shape == SyncServerItem::Foreign : was->foreign)
            foreignFromServer(uid, was, sv);
        else
            ownFromServer(uid, was, sv);
    }
}

void Planner::foreignFromServer(const QString& uid, const SyncItem* was, const Server* sv) {
    if (!sv) {
        // Deleted on the server: what it put here goes unless the document changed it.
        if (m_doc.whole(uid)) {
            m_doc.forget(uid, was->placed);
            m_doc.takeOut(was->placed);
        }
        m_items.erase(uid);
        return;
    }
    // A version that adds what the last one added (rewritten by a program that changed
    // nothing the document shows) changes nothing here.
    if (was && was->foreign && !was->placed.empty()) {
        const auto sorted = [](std::vector<SyncPiece> p) {
            std::sort(p.begin(), p.end(), [](const SyncPiece& a, const SyncPiece& b) {
                return std::tie(a.row, a.col, a.text) < std::tie(b.row, b.col, b.text);
            });
            return p;
        };
        if (sorted(SyncDoc::piecesOf(sv->item.entries)) == sorted(was->placed)) {
            m_items[uid].etag = sv->etag;
            return;
        }
    }
    // Its new version replaces what it put here; a document that holds the new version
    // already (a sync cut off before its state was kept) keeps it as it is.
    if (was && was->foreign) {
        m_doc.forget(uid, was->placed);
        if (!m_doc.holds(sv->item.entries))
            m_doc.takeOut(was->placed);
    }
    m_items[uid] = {uid, sv->href, sv->etag, {}, false, true, m_doc.place(uid, sv->item.entries)};
}

void Planner::ownFromServer(const QString& uid, const SyncItem* was, const Server* sv) {
    const std::optional<SyncUid> at = Sync_OwnUid(uid, m_store.documentId(), m_baseYear);
    if (!at)
        return;
    // Put by the last sync and never arrived, or the server holds what the state says
    // (rewritten by a program that changed nothing, or our own PUT not recorded).
    if (was && (sv ? !sv->hash.isEmpty() && sv->hash == was->hash : was->pending))
        return;
    const SyncResource* ours = find(m_local, uid);
    if (ours && ours->foreign)
        ours = nullptr;
    const bool changedHere = was ? !ours || ours->hash != was->hash : ours != nullptr;
    const SyncServerItem::Shape shape = sv ? sv->item.shape : SyncServerItem::OwnGone;
    switch (shape) {
    case SyncServerItem::OwnGone:
        if (!changedHere)
            m_doc.setOwn(*at, nullptr);
        return;
    case SyncServerItem::OwnAway:
        // Put on no day of this year: kept on the server while the document has nothing
        // there, else the document's version goes back over it.
        m_conflicts.insert(Dates::dateOfRow(at->row, m_baseYear));
        if (!ours)
            m_items[uid] = {uid, sv->href, sv->etag, {}, false, true, {}};
        return;
    case SyncServerItem::OwnMoved:
        m_doc.place({}, sv->item.entries);
        if (!changedHere)
            m_doc.setOwn(*at, nullptr);
        return;
    default:
        break;
    }
    const ICalendarEntry& theirs = sv->item.entry;
    if (!ours && at->kind == ICalendarEntry::ToDo && heldAsAnother(theirs))
        return;
    if (!changedHere || !ours)
        m_doc.setOwn(*at, &theirs);
    else if (!Sync_SameMeaning(ours->entry, theirs))
        conflict(*at, ours->entry, theirs);
}

bool Planner::heldAsAnother(const ICalendarEntry& theirs) {
    // The server's ToDo item is one the day holds under another name when they differ
    // at most in their done state: one whose text the document took from the server
    // while this name's deletion was cut off. It is that item, not one more; its done
    // state follows the server's unless the document changed it.
    for (const auto& [uid, r] : m_local) {
        ICalendarEntry same = theirs;
        same.done = r.entry.done;
        if (r.foreign || r.entry.kind != ICalendarEntry::ToDo || !Sync_SameMeaning(r.entry, same))
            continue;
        const SyncItem* was = find(m_state.items, uid);
        const std::optional<SyncUid> at = Sync_OwnUid(uid, m_store.documentId(), m_baseYear);
        if (at && was && was->hash == r.hash && r.entry.done != theirs.done)
            m_doc.setOwn(*at, &theirs);
        return true;
    }
    return false;
}

void Planner::conflict(const SyncUid& at, const ICalendarEntry& ours,
                       const ICalendarEntry& theirs) {
    m_conflicts.insert(Dates::dateOfRow(at.row, m_baseYear));
    const QString mark = QString::fromUtf16(ConflictMark);
    // The other side's lines this side does not hold, after a mark.
    const auto beside = [&](const QString& mine, const QString& held, const QString& other,
                            const char16_t* gap) {
        // Lines held already (in `held`), also as an earlier sync's copy (one cut off
        // before its state was kept).
        QStringList have = ICalendar::plainText(held).split(u'\n');
        for (const QString& l : QStringList(have))
            if (l.startsWith(mark))
                have.append(l.mid(mark.size()));
        QStringList lines = ICalendar::plainText(other).split(u'\n');
        lines.removeIf([&](const QString& l) { return have.contains(l); });
        while (!lines.isEmpty() && lines.front().trimmed().isEmpty())
            lines.removeFirst();
        if (lines.isEmpty())
            return mine;
        const QString copy = mark + lines.join(u'\n');
        return mine.isEmpty() ? copy : mine + QString::fromUtf16(gap) + copy;
    };
    if (at.kind == ICalendarEntry::ToDo) {
        const QString copy = mark + ICalendar::plainText(theirs.text);
        const std::vector<ToDoItem> day = ToDo_Parse(m_work.text(at.row, StoreCol::ToDo));
        if (std::none_of(day.begin(), day.end(), [&](const ToDoItem& i) {
                return i.time == theirs.time && ICalendar::plainText(i.text) == copy;
            }))
            m_doc.addToDo(at.row, theirs.done, theirs.time, theirs.category, copy);
        return;
    }
    ICalendarEntry merged = ours;
    merged.title = beside(ours.title, ours.title + u'\n' + ours.text, theirs.title, u"\n");
    merged.text = beside(ours.text, ours.title + u'\n' + ours.text, theirs.text,
                         at.kind == ICalendarEntry::Record ? u"\n\n" : u"\n");
    m_doc.setOwn(at, &merged);
}

SyncPlan Planner::toServer() {
    SyncPlan plan;
    SyncState after = m_state;
    after.items = m_items;
    const SyncResources local = Sync_LocalResources(m_work, m_baseYear, &after, m_now);
    const auto ownHere = [&](const QString& uid) {
        const SyncResource* r = find(local, uid);
        return r && !r->foreign ? r : nullptr;
    };

    // Foreign items: kept while whole, deleted on the server once the document changed
    // what they put here.
    for (auto it = m_items.begin(); it != m_items.end();) {
        SyncItem& item = it->second;
        const QString uid = it->first;
        ++it;
        if (!item.foreign || m_skip.count(uid))
            continue;
        const Server* sv = find(m_server, uid);
        if (ownHere(uid)) {
            item = ownItem(uid, item.href, item.etag, {}); // taken over by the document
        } else if (!sv) {
            m_items.erase(uid);
        } else if (!find(local, uid)) {
            // What is left of it is the document's from now on, also when this delete
            // is cut off: until it is known to be gone it claims nothing here.
            item.pending = true;
            plan.deletes.push_back({uid, sv->href, sv->etag});
        }
    }

    // The document's own entries.
    std::set<QString> uids;
    for (const auto& [uid, r] : local)
        if (!r.foreign)
            uids.insert(uid);
    for (const auto& [uid, item] : m_items)
        if (!item.foreign)
            uids.insert(uid);
    for (const auto& [uid, sv] : m_server)
        if (!m_items.count(uid) && sv.fetched && sv.item.shape != SyncServerItem::Foreign)
            uids.insert(uid);
    for (const QString& uid : uids) {
        if (m_skip.count(uid))
            continue;
        const SyncResource* ours = ownHere(uid);
        const SyncItem* was = find(m_items, uid);
        const Server* sv = find(m_server, uid);
        if (ours && !sv) {
            const QString href = was ? was->href : hrefFor(m_state, uid);
            m_items[uid] = ownItem(uid, href, {}, ours->hash, true);
            plan.puts.push_back(
                {uid, href, ours->ics, {}, true, ownItem(uid, href, {}, ours->hash)});
        } else if (ours && !sv->fetched) {
            if (!was || was->hash != ours->hash)
                plan.puts.push_back({uid, sv->href, ours->ics, sv->etag, false,
                                     ownItem(uid, sv->href, {}, ours->hash)});
        } else if (ours) {
            const bool same = sv->item.shape == SyncServerItem::Own &&
                              Sync_SameMeaning(ours->entry, sv->item.entry);
            m_items[uid] = ownItem(uid, sv->href, sv->etag, same ? ours->hash : sv->hash);
            if (!same)
                plan.puts.push_back({uid, sv->href, ours->ics, sv->etag, false,
                                     ownItem(uid, sv->href, {}, ours->hash)});
        } else if (!sv) {
            m_items.erase(uid);
        } else {
            if (sv->fetched)
                m_items[uid] = ownItem(uid, sv->href, sv->etag, sv->hash);
            plan.deletes.push_back({uid, sv->href, sv->etag});
        }
    }

    for (int row = 1; row <= YearStore::DayRows; ++row)
        for (int col = StoreCol::Events; col <= StoreCol::ToDo; ++col)
            if (const QString text = m_work.text(row, col); text != m_store.text(row, col))
                plan.edits.push_back({row, col, text});
    plan.conflicts.assign(m_conflicts.begin(), m_conflicts.end());
    plan.problems = m_problems;
    plan.state = m_state;
    plan.state.items = std::move(m_items);
    return plan;
}

} // namespace

SyncPlan Sync_Plan(const YearStore& store, int baseYear, const SyncState& state,
                   const SyncListing& listing, const SyncBodies& bodies, const QDateTime& now) {
    Planner planner(store, baseYear, state, now);
    planner.readServer(listing, bodies);
    planner.fromServer();
    return planner.toServer();
}
