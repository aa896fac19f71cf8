// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/export/icalendar.h"
#include "core/export/icsreader.h"
#include "core/sync/syncstate.h"
#include "core/todo/todostring.h"

#include <map>
#include <optional>
#include <set>

// The place an entry of the document has by its UID: the day, the kind, the slot and
// (a ToDo item) its UID kind "todo-<hash>[-n]".
struct SyncUid {
    ICalendarEntry::Kind kind = ICalendarEntry::Events;
    int row = 0;
    int slot = 0;
    QByteArray kindName;
};

// The place of a UID of the document `documentId` (ICalendar::uid); none for any other
// UID (another document's, or one a phone made).
std::optional<SyncUid> Sync_OwnUid(QStringView uid, const QUuid& documentId, int baseYear);

// The document as the sync sees it. Its own entries are the export's entries of its
// texts without the holiday names the program wrote (computed by rule on every
// computer, they do not travel) and without the pieces of the foreign items that are
// whole in it (every piece of theirs still there): those travel as the items they came
// from. A foreign item with a piece changed or gone is no longer whole: its pieces that
// are left belong to their days' own entries from then on.
//
// Edits write into the store given to the writable constructor.
class SyncDoc {
public:
    SyncDoc(const YearStore& store, int baseYear, const std::map<QString, SyncItem>& items);
    SyncDoc(YearStore& store, int baseYear, const std::map<QString, SyncItem>& items);

    // Whether the foreign item `uid` is whole in the document.
    bool whole(const QString& uid) const { return m_whole.count(uid) > 0; }
    // The document's own entries by UID.
    std::map<QString, ICalendarEntry> ownEntries() const;

    // Sets the own entry at `at` to `value` (its texts; none clears it or removes the ToDo
    // item), keeping the holiday name and the whole foreign pieces of its cells.
    void setOwn(const SyncUid& at, const ICalendarEntry* value);
    // Adds a ToDo item of the document's own at the end of day `row`.
    void addToDo(int row, bool done, const QString& time, const QString& category,
                 const QString& text);
    // Forgets the foreign item `uid` whose `pieces` the state listed: they are the
    // days' own from then on.
    void forget(const QString& uid, const std::vector<SyncPiece>& pieces);
    // Takes out of the document the `pieces` that are there (of a piece of several lines
    // changed here, the lines left of it). Where a ToDo piece was,
    // the next place() of the same day puts its item.
    void takeOut(const std::vector<SyncPiece>& pieces);
    // The pieces place() adds of `entries` to days that hold none of them.
    static std::vector<SyncPiece> piecesOf(const std::vector<IcsEntry>& entries);
    // Whether the days' own texts hold every one of `entries` already.
    bool holds(const std::vector<IcsEntry>& entries) const;
    // Adds `entries` as the iCalendar import does and gives the pieces added. With a
    // `uid` they are the whole foreign item `uid`: a line or item the day's own texts
    // hold already is taken as its piece (one the document took before the state that
    // said so was lost, or the same typed on both sides); without one they are the
    // days' own, added where the day does not hold them yet.
    std::vector<SyncPiece> place(const QString& uid, const std::vector<IcsEntry>& entries);

private:
    SyncDoc(const YearStore& store, YearStore* writable, int baseYear,
            const std::map<QString, SyncItem>& items);
    // A cell's text with line breaks as "\n" (and the events without the holiday name).
    QString base(int row, int col) const;
    QString ownText(int row, int col) const;
    // The day's items and, for each, whether it is a whole foreign item's.
    std::vector<ToDoItem> todos(int row, std::vector<bool>* foreign) const;
    void write(int row, int col, const QString& text);
    void writeToDos(int row, const std::vector<ToDoItem>& items);
    // Puts `item` where a removed piece of the day was (removePieces), else at the end.
    void insertItem(int row, std::vector<ToDoItem>& items, const ToDoItem& item);

    const YearStore& m_store;
    YearStore* m_writable;
    int m_baseYear;
    std::set<QString> m_whole;
    // The texts of the whole foreign items' pieces in each cell, by (row, column).
    std::map<std::pair<int, int>, std::vector<QString>> m_foreign;
    std::map<int, int> m_todoAt; // row → where the next placed ToDo item goes
};
