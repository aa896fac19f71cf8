// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QUuid>

#include <map>
#include <vector>

class YearStore;

// The calendar collection a document syncs with. No password is ever kept.
struct SyncLink {
    QString server;     // the server's base URL
    QString user;       // the user name
    QString collection; // the collection's URL
    // Made by this program for the document: nothing of anybody else's is in it, so
    // its first sync may write every entry in one request.
    bool made = false;
    bool operator==(const SyncLink&) const = default;
};

// A part of the document that an item of the server with a UID of its own (one added
// on a phone) put there: whole lines of a day's text (its events, its record, a slot's
// title or content), or one ToDo item of the day as stored (a day string of one item).
struct SyncPiece {
    int row = 0;
    int col = 0; // StoreCol::Events, Record, SlotItem1.., SlotText1.. or ToDo
    QString text;
    bool operator==(const SyncPiece&) const = default;
};

// What the last sync knows of one item on both sides.
struct SyncItem {
    QString uid;
    QString href;
    QByteArray etag; // the server's; empty when it did not say (a PUT answered without one)
    // The content hash (SyncResource::hash) of what the server holds, as the document
    // would write it; empty when the document cannot say it in its own words (the next
    // sync puts the document's version over it).
    QByteArray hash;
    // The last sync's request for it not known to be done. An own item: put but not
    // known to have arrived (a server without it never had it). A foreign item: deleted
    // on the server because the document changed what it put there, not known to be
    // gone; it claims nothing in the document any more (what is left of `placed` is
    // the days' own), and a new version of it replaces what is left of `placed`.
    bool pending = false;
    // An item of the server's own (foreign UID): `placed` is what it put into the
    // document, empty when it put nothing there (a day outside the year, or lines the
    // days held already).
    bool foreign = false;
    std::vector<SyncPiece> placed;
    bool operator==(const SyncItem&) const = default;
};

// The sync state of one document: which document it belongs to, where it syncs to, the
// server's last sync token and every item the last sync left on both sides. It is kept
// beside the document (Sync_StatePath) and never holds a password.
struct SyncState {
    static constexpr int Version = 1;
    QUuid documentId;
    SyncLink link;
    QString syncToken;
    std::map<QString, SyncItem> items; // by UID

    bool operator==(const SyncState&) const = default;

    // JSON (see README.md, "Files"); rows are written as the dates of the year of
    // `baseYear`.
    QByteArray toJson(int baseYear) const;
    // False, with the reason in Japanese, for bytes that are no sync state of a version
    // this program reads; `out` is then left as it was.
    static bool fromJson(QByteArrayView bytes, int baseYear, SyncState& out, QString* error);
};

// "<document>.sync".
QString Sync_StatePath(const QString& documentPath);

// A new calendar made for the document of `documentId` and year `baseYear`: its name
// in the collection's path ("daylog-2005-1a2b3c4d") and the name it shows ("2005年度").
QString Sync_NewCalendarPath(const QUuid& documentId, int baseYear);
QString Sync_NewCalendarName(int baseYear);

// Reads the state beside the document at `documentPath`, whose store is `store`. No
// file gives an empty state of the document (not linked yet). False, with the reason in
// Japanese, for a file that cannot be read, is damaged, is of a newer version or belongs
// to another document.
bool Sync_ReadState(const QString& documentPath, const YearStore& store, int baseYear,
                    SyncState& out, QString* error);
// Writes it there at once (GridFile::writeAtomically, readable by the owner only): a
// crash leaves the old state or the new one. Write it only after the document holding
// the edits of the sync it records has been saved.
bool Sync_WriteState(const QString& documentPath, const SyncState& state, int baseYear,
                     QString* error);
