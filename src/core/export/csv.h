// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class AppState;
class YearStore;

// A document year as a CSV table (RFC 4180, UTF-8 with a byte order mark, CRLF line
// ends): a header line with the annual table's headings (the year in the first),
// then one line a day, rows 1..366, with the 19 text columns. Colours do not travel
// through CSV.
QByteArray Export_Csv(const YearStore& store, int baseYear);

// Why a CSV file was refused: the line it was found on (1 = the header; 0 = the file
// as a whole) and the reason in words.
struct CsvError {
    int line = 0;
    QString reason;
    // "3行目: …" or the reason alone.
    QString message() const;
};

// Reads a CSV table as Export_Csv writes it into `out` as a new document of the year
// it holds: the year's own dates, weekdays, colours and holiday marks, the texts
// from the file. The date column only tells the day of its line: it may be written
// as a spreadsheet gives it back (2026-04-01, 2026/4/1, 2026-4-1). A file that is not
// such a table (not UTF-8, other headings, a line with other than 19 fields, dates
// that do not follow each other from 1 April, a weekday not of its date, too few or
// too many lines, a quote left open, a NUL character, a text longer than
// DocLimits::MaxTextChars, a document too large for the reader) is refused with the
// line and the reason, and `out` is left as it was.
bool Import_Csv(QByteArrayView bytes, YearStore& out, CsvError* error);
