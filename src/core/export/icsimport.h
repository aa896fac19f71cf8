// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

class YearStore;

// What an iCalendar import brought into the year and what it left out. Nothing of
// the file is left out without being counted here.
struct IcsImportSummary {
    int events = 0;      // lines added to a day's events (all-day events, per day)
    int slots = 0;       // timed events added to a time slot
    int todos = 0;       // ToDo items added
    int records = 0;     // journal entries added to a day's record
    int present = 0;     // already in the year (an earlier import of the same file)
    int outside = 0;     // items none of whose days lie in the year
    int undated = 0;     // items without a date (a task without DUE or DTSTART)
    int empty = 0;       // items without any text
    int cancelled = 0;   // STATUS:CANCELLED
    int unsupported = 0; // other components (free/busy, …) and unknown time zones
    int tooLong = 0;     // a day's text would have grown past its limit

    int added() const { return events + slots + todos + records; }
    // The summary in Japanese, one line a count (counts of 0 left out but the first).
    QString text() const;
};

// Brings the events, tasks and journal entries of an iCalendar file (RFC 5545) into
// the year of `baseYear` in `store`, without replacing anything:
// - an all-day event: a line of the events text of every day it covers;
// - a timed event: the time slot of its start in this machine's local time (〜9 from
//   3:00, 9〜12, 12〜15, 15〜18, 18〜21, 21〜24, and 24〜 for 0:00 to 3:00, on the day
//   before): the summary a line of the slot's title, "HH:MM〜HH:MM 場所:… description" a
//   line of its content;
// - a task: a ToDo item of its DUE day (else DTSTART), with its time when DUE is a
//   time, the category from PRIORITY (1–2 最重, 3–4 重要, 5 or none 普通, 6–9 要軽),
//   done when COMPLETED;
// - a journal entry: its summary and description, appended to the day's record.
// Repeating items (RRULE, RDATE, EXDATE, RECURRENCE-ID) are expanded within the year;
// times in other time zones (the file's VTIMEZONE or the system's time zone data)
// are converted. A line (or task, or record block) the day holds already is not added
// again, so importing a file twice adds nothing the second time.
// A file that is not iCalendar (not UTF-8, no VCALENDAR, a line or value that cannot
// be read) is refused with the reason in Japanese in `error`, and so is an import
// that would make the document too large; `store` is then left as it was.
bool Import_ICalendar(QByteArrayView bytes, YearStore& store, int baseYear,
                      IcsImportSummary& summary, QString* error);

// How the import puts lines into a day's text, for what else brings lines in.
namespace IcsLines {
// Whether `text` holds `lines` (one line or several) as whole lines, whatever its line
// breaks.
bool holds(const QString& text, const QString& lines);
// `text` with `lines` after it as lines of their own.
QString appended(const QString& text, const QString& lines);
} // namespace IcsLines
