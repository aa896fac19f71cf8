#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class YearStore;

// A document year as an iCalendar file (RFC 5545) for calendar programs: each day's
// events as an all-day event, each time slot with a title or a content as a timed
// event of its three hours, each ToDo item as a task due on its day. Times are
// floating local times. Every entry's UID is made of the year, the day, its kind and
// its index, so that importing a later export of the same document updates the
// entries instead of doubling them.
struct ICalendarOptions {
    // Leave out the holiday names the program filled in itself.
    bool withoutHolidays = false;
    // DTSTAMP of every entry: the moment of the export, in UTC.
    QDateTime stamp;
};

QByteArray Export_ICalendar(const YearStore& store, int baseYear, const ICalendarOptions& options);

// The parts, for tests.
namespace ICalendar {
// TEXT escaping: backslash, semicolon, comma and line breaks; other control
// characters are dropped.
QString escapeText(const QString& text);
// A content line folded at 75 octets (never inside a UTF-8 sequence), CRLF-ended.
QByteArray foldLine(const QString& line);
} // namespace ICalendar
