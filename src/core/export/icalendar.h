// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUuid>

class YearStore;

// A document year as an iCalendar file (RFC 5545) for calendar programs: each day's
// events as an all-day event, its record as a journal entry of the day, each time
// slot with a title or a content as a timed event of its three hours, each ToDo item
// as a task due on its day. Times are floating local times. Row 366 of a year without
// 29 February is exported as the day it is, the next 1 April.
//
// Every entry has exactly one SUMMARY of one line: a slot's or a task's title (its
// first line that is not blank), or else the first such line of its text, shortened
// to SummaryLength characters with "…"; whatever that line leaves out is in its
// DESCRIPTION, in full.
//
// Every entry's UID begins with the document identity (YearStore::documentId, kept in
// the document file), so that importing a later export of the same document updates
// the entries instead of doubling them, and two documents never share one. Events,
// records and slots are named by day, kind and slot number; a task by its day and a
// hash of its time, category and text (not its done state: ticking it keeps its UID),
// with a counter for identical items of one day, so that adding, deleting or moving
// other items of the day leaves its UID as it was.
struct ICalendarOptions {
    // Leave out the holiday names the program filled in itself.
    bool withoutHolidays = false;
    // DTSTAMP of every entry: the moment of the export, in UTC.
    QDateTime stamp;
};

QByteArray Export_ICalendar(const YearStore& store, int baseYear, const ICalendarOptions& options);

// One entry of a year as the export writes it: one component of its own.
struct ICalendarEntry {
    enum Kind { Events, Record, Slot, ToDo } kind = Events;
    QDate day;        // the day of its row (row 366 of a year without 29 February: 1 April)
    int slot = 0;     // Slot: 0..6
    QString title;    // Slot: its title
    QString text;     // Events, Record: the text; Slot: the content; ToDo: the task
    QString time;     // ToDo, as stored
    QString category; // ToDo
    bool done = false;
    QByteArray kindName; // the UID's kind: events, record, slot1..slot7, todo-<hash>[-n]
};

namespace ICalendar {
// An entry on its own as a complete iCalendar object of one component, what a CalDAV
// server keeps as one resource: the export's component, with the content lines of
// `extra` (each CRLF-ended) before its END, DTSTAMP `stamp`.
QByteArray resource(const ICalendarEntry& entry, const QUuid& documentId, const QDateTime& stamp,
                    QByteArrayView extra = {});
// An entry's UID.
QByteArray uid(const QUuid& documentId, const QDate& day, QByteArrayView kindName);
// The UID kind of a ToDo item: its hash, and its `occurrence` (1, 2, …) among the items
// of the day with the same hash.
QByteArray todoKind(const QString& time, const QString& category, const QString& text,
                    int occurrence);
// SUMMARY and DESCRIPTION of an entry as a reader gets their values back (escapes undone);
// `described` false when the entry has no DESCRIPTION.
struct SummaryText {
    QString summary;
    QString description;
    bool described = false;
};
SummaryText summaryText(const ICalendarEntry& entry);
// The text a reader gets back from a TEXT value written from `text`: line breaks as
// "\n", the control characters the value leaves out dropped, a lone surrogate as "?".
QString plainText(QStringView text);
// How many characters at the start of a day's events text are the holiday name the
// program wrote there (with the line break after it): the part withoutHolidays leaves
// out; 0 when there is none.
qsizetype holidayLength(QStringView events, const QDate& day);
} // namespace ICalendar

// The parts, for tests.
namespace ICalendar {
inline constexpr int SummaryLength = 40; // characters, the "…" included
// TEXT escaping: backslash, semicolon, comma and line breaks; other control
// characters are dropped.
QString escapeText(const QString& text);
// A content line folded at 75 octets (never inside a UTF-8 sequence), CRLF-ended.
QByteArray foldLine(const QString& line);
} // namespace ICalendar
