// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Year stores for the file tests: a valid year as a new document has it, and the same
// filled at random with the texts and values a file must carry.

#include "core/store/yearstore.h"
#include "core/time/dates.h"

#include <QRandomGenerator>

#include <array>

namespace TestYears {

// The cells every valid document has: the year, the headings, each day's date and
// weekday letter, and the weekday colours (a number, or "0" as a new year writes it).
inline YearStore valid(int baseYear) {
    YearStore s;
    s.set(0, 0, qint64(baseYear));
    for (int c = 1; c < StoreCol::TextColumns; ++c)
        s.set(0, c, storeHeadings()[size_t(c)]);
    for (int r = 1; r <= YearStore::DayRows; ++r) {
        const QDate d = Dates::dateOfRow(r, baseYear);
        s.set(r, StoreCol::Date, Dates::toStoreText(d));
        s.set(r, StoreCol::Weekday, Dates::weekdayLetter(d));
        const int wd = Dates::weekday(d);
        s.set(r, StoreCol::WeekdayFore,
              wd == 1 ? StoreValue(qint64(255)) : StoreValue(QStringLiteral("0")));
    }
    return s;
}

// A text of up to `maxPieces` pieces that exercise the file's escapes and UTF-8:
// Japanese, characters outside the basic plane, lone surrogates, every escaped
// character, the first and last of each UTF-8 length, digits.
inline QString randomText(QRandomGenerator& rng, int maxPieces = 8) {
    static const std::array<QString, 16> pieces = {QStringLiteral("記録"),
                                                   QStringLiteral("a\\b"),
                                                   QStringLiteral("\t"),
                                                   QStringLiteral("\n"),
                                                   QStringLiteral("\r\n"),
                                                   QStringLiteral("𠮷野家"),
                                                   QString(QChar(0xD800)),
                                                   QString(QChar(0xDC00)),
                                                   QStringLiteral("\u0080\u07FF"),
                                                   QStringLiteral("\u0800\uFFFF"),
                                                   QStringLiteral("12345"),
                                                   QStringLiteral("-7"),
                                                   QStringLiteral("|0,10:00,普通,用事"),
                                                   QStringLiteral(" "),
                                                   QStringLiteral("\\t"),
                                                   QStringLiteral("元日")};
    QString t;
    for (int n = rng.bounded(maxPieces + 1); n > 0; --n)
        t += pieces[rng.bounded(int(pieces.size()))];
    return t;
}

// A value of any kind: empty, a text, or a number of any size and sign.
inline StoreValue randomValue(QRandomGenerator& rng) {
    switch (rng.bounded(4)) {
    case 0:
        return {};
    case 1:
        return randomText(rng);
    case 2:
        return qint64(rng.generate64() >> rng.bounded(64)) * (rng.bounded(2) ? 1 : -1);
    default:
        return QString::number(rng.bounded(0x1000000)) +
               (rng.bounded(2) ? QString() : QStringLiteral("x"));
    }
}

// Every cell of rows 0..368 and columns 0..53 filled at random: what a file must
// carry, and what it must leave out (rows beyond 366, colours of row 0).
inline YearStore anything(QRandomGenerator& rng) {
    YearStore s;
    for (int r = 0; r < YearStore::Rows; ++r)
        for (int c = 0; c < YearStore::Cols; ++c)
            s.set(r, c, randomValue(rng));
    return s;
}

// A valid year whose day texts (events to ToDo) and colours are filled at random;
// no text holds a NUL.
inline YearStore filled(int baseYear, QRandomGenerator& rng) {
    YearStore s = valid(baseYear);
    for (int r = 1; r <= YearStore::DayRows; ++r) {
        for (int c = StoreCol::Events; c < StoreCol::TextColumns; ++c)
            s.set(r, c, randomText(rng));
        for (int c = StoreCol::WeekdayFore; c <= StoreCol::RecordBack; ++c)
            s.set(r, c, rng.bounded(4) ? StoreValue(qint64(rng.generate())) : StoreValue());
    }
    return s;
}

} // namespace TestYears
