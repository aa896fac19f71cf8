// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/sync/syncdoc.h"

#include <QDateTime>

// The document's items as resources of a calendar collection.
//
// Each own entry of the document (SyncDoc) is one resource: the export's component of
// the entry alone in a VCALENDAR (ICalendar::resource), named by the export's UID. The
// holiday names the program wrote are left out, as the export does when asked to: every
// computer computes them, and a calendar program has holidays of its own. Where the
// export's SUMMARY and DESCRIPTION do not give the texts back exactly (a slot whose title
// and content are alike, blanks around a text, a time that is no "hh:mm"), the
// component also holds the texts themselves, X-DAYLOG-TITLE, X-DAYLOG-TEXT and
// X-DAYLOG-TIME (X-DAYLOG-EMPTY:TITLE and so on for an empty one). They are read back only while
// SUMMARY, DESCRIPTION, DUE and CATEGORIES still say what the texts give; a phone that changed
// those changed the meaning, which is then read from them.

struct SyncResource {
    QByteArray ics;       // a complete iCalendar object, what a PUT sends
    QByteArray hash;      // of its component without DTSTAMP: the same content, the same hash
    ICalendarEntry entry; // where it comes from (day, kind, slot, ToDo kind) and its texts
    // A foreign item whole in the document (no ics and no hash): what it put there.
    bool foreign = false;
    std::vector<SyncPiece> placed;
};
using SyncResources = std::map<QString, SyncResource>; // by UID

// The document's entries as resources by UID, DTSTAMP `stamp`. With a state, the
// foreign items whole in the document are taken out of its days and listed as foreign.
SyncResources Sync_LocalResources(const YearStore& store, int baseYear,
                                  const SyncState* state = nullptr, const QDateTime& stamp = {});
// One entry as a resource.
SyncResource Sync_Resource(const ICalendarEntry& entry, const QUuid& documentId,
                           const QDateTime& stamp);

// Whether two entries mean the same to the document: the same place, texts and done
// state, the texts as a reader of the resource gets them back.
bool Sync_SameMeaning(const ICalendarEntry& a, const ICalendarEntry& b);

// An item of the server as the sync reads it.
struct SyncServerItem {
    enum Shape {
        Unreadable, // not iCalendar, or without a UID: `problem`
        Own,        // an entry of this document where its UID puts it: `entry`
        OwnGone,    // an entry of this document, cancelled or without any text
        OwnMoved,   // an entry of this document put elsewhere in the year (another day or
                    // time, repeated, another kind): `entries`, texts from `entry`
        OwnAway,    // an entry of this document put on no day of the year
        Foreign,    // any other item: `entries`, what it adds to the year
    } shape = Unreadable;
    QString uid;
    ICalendarEntry entry;
    std::vector<IcsEntry> entries;
    QString problem;
};
SyncServerItem Sync_ReadServer(QByteArrayView ics, const QUuid& documentId, int baseYear);
