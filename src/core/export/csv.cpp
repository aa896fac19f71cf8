// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/csv.h"

#include "core/calendar/newyear.h"
#include "core/grid/gridfile.h"
#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "core/store/yearstore.h"
#include "core/time/clock.h"
#include "core/time/dates.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int Columns = StoreCol::TextColumns;
const QByteArray Bom = QByteArrayLiteral("\xEF\xBB\xBF");

void appendField(QString& out, const QString& field) {
    const bool quoted = field.contains(u'"') || field.contains(u',') || field.contains(u'\n') ||
                        field.contains(u'\r');
    if (!quoted) {
        out += field;
        return;
    }
    out += u'"';
    for (const QChar c : field) {
        if (c == u'"')
            out += u'"';
        out += c;
    }
    out += u'"';
}

void appendRecord(QString& out, const QStringList& fields) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += u',';
        appendField(out, fields[i]);
    }
    out += u"\r\n"_s;
}

QStringList headings(int baseYear) {
    QStringList h;
    h.append(QString::number(baseYear));
    for (int c = 1; c < Columns; ++c)
        h.append(storeHeadings()[size_t(c)]);
    return h;
}

// One record of the file: its fields and the line it begins on.
struct Record {
    int line = 0;
    QStringList fields;
};

// Splits RFC 4180 text into records. Line ends are CRLF or LF; inside quotes they
// belong to the field as they stand.
bool parse(const QString& text, std::vector<Record>& records, CsvError* error) {
    int line = 1;
    Record rec{1, {}};
    QString field;
    bool inQuotes = false, wasQuoted = false, fieldStarted = false;
    auto fail = [&](int at, const QString& why) {
        if (error)
            *error = {at, why};
        return false;
    };
    auto endField = [&] {
        rec.fields.append(field);
        field.clear();
        wasQuoted = false;
        fieldStarted = false;
    };
    auto endRecord = [&] {
        endField();
        records.push_back(std::move(rec));
        rec = Record{line, {}};
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == u'"') {
            if (fieldStarted)
                return fail(line, u"引用符の使い方が正しくありません。"_s);
            inQuotes = wasQuoted = fieldStarted = true;
        } else if (c == u',') {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            ++line;
            endRecord();
        } else {
            if (wasQuoted)
                return fail(line, u"引用符の後に文字があります。"_s);
            field += c;
            fieldStarted = true;
        }
    }
    if (inQuotes)
        return fail(rec.line, u"引用符が閉じていません。"_s);
    // The last line may end without a line break.
    if (fieldStarted || !rec.fields.isEmpty())
        endRecord();
    return true;
}

// The line of the first byte sequence that is not UTF-8 (a line break never occurs
// inside a character, so each line can be checked alone).
int firstLineNotUtf8(QByteArrayView bytes) {
    int line = 1;
    while (!bytes.isEmpty()) {
        const qsizetype end = bytes.indexOf('\n');
        const QByteArrayView part = end < 0 ? bytes : bytes.first(end);
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString decoded = decoder.decode(part); // decodes when converted
        if (decoder.hasError())
            return line;
        if (end < 0)
            break;
        bytes = bytes.sliced(end + 1);
        ++line;
    }
    return 0;
}

// The day a date field names, written as the export writes it or as a spreadsheet
// gives it back: year, month and day with "/" or "-" between them, the month and the
// day with or without a leading zero (2026/04/01, 2026-4-1). Invalid when not.
QDate dateOfField(const QString& field) {
    static const QRegularExpression form(
        QRegularExpression::anchoredPattern(u"([0-9]{4})([/-])([0-9]{1,2})\\2([0-9]{1,2})"_s));
    const QRegularExpressionMatch m = form.match(field);
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
}

// Why `r` is refused for a NUL character, naming the first column that holds one;
// empty when none does.
QString nulIn(const Record& r) {
    for (qsizetype c = 0; c < r.fields.size() && c < Columns; ++c)
        if (r.fields[c].contains(QChar(u'\0')))
            return u"%1列目（%2）に NUL 文字があります。"_s.arg(c + 1).arg(
                c == 0 ? u"日付"_s : storeHeadings()[size_t(c)]);
    return {};
}

} // namespace

QString CsvError::message() const {
    return line > 0 ? QString::number(line) + u"行目: "_s + reason : reason;
}

QByteArray Export_Csv(const YearStore& store, int baseYear) {
    QString out;
    out.reserve(64 * 1024);
    appendRecord(out, headings(baseYear));
    QStringList fields;
    for (int row = 1; row <= YearStore::DayRows; ++row) {
        fields.clear();
        for (int c = 0; c < Columns; ++c)
            fields.append(store.text(row, c));
        appendRecord(out, fields);
    }
    return Bom + out.toUtf8();
}

bool Import_Csv(QByteArrayView bytes, YearStore& out, CsvError* error) {
    auto fail = [&](int line, const QString& why) {
        if (error)
            *error = {line, why};
        return false;
    };
    if (bytes.size() > GridFile::MaxFileBytes)
        return fail(0, u"ファイルが大きすぎます。"_s);
    if (bytes.startsWith(Bom))
        bytes = bytes.sliced(Bom.size());
    // Strictly UTF-8: a byte sequence that is none is refused with its line, also where
    // the file holds U+FFFD (the replacement character) of its own.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return fail(firstLineNotUtf8(bytes), u"UTF-8 の文字コードではありません。"_s);

    std::vector<Record> records;
    if (!parse(text, records, error))
        return false;
    if (records.empty())
        return fail(0, u"ファイルが空です。"_s);

    // The header: the year, then the headings of the annual table.
    const Record& head = records.front();
    if (head.fields.size() != Columns)
        return fail(
            head.line,
            u"見出しの項目が%1個です（%2個のはずです）。"_s.arg(head.fields.size()).arg(Columns));
    if (const QString nul = nulIn(head); !nul.isEmpty())
        return fail(head.line, nul);
    bool isYear = false;
    const int baseYear = head.fields[0].toInt(&isYear);
    if (!isYear || baseYear < 1900 || baseYear > 9998 || head.fields[0].size() != 4)
        return fail(head.line, u"見出しの最初の項目が年度（4桁の年）ではありません。"_s);
    const QStringList expected = headings(baseYear);
    for (int c = 1; c < Columns; ++c)
        if (head.fields[c] != expected[c])
            return fail(head.line,
                        u"%1列目の見出しが「%2」です（「%3」のはずです）。"_s.arg(c + 1).arg(
                            head.fields[c], expected[c]));

    const qsizetype days = qsizetype(records.size()) - 1;
    for (qsizetype i = 1; i < qsizetype(records.size()); ++i) {
        const Record& r = records[size_t(i)];
        if (i > YearStore::DayRows)
            return fail(r.line,
                        u"行が多すぎます（日付の行は%1行です）。"_s.arg(YearStore::DayRows));
        if (r.fields.size() != Columns)
            return fail(r.line,
                        u"項目が%1個です（%2個のはずです）。"_s.arg(r.fields.size()).arg(Columns));
        if (const QString nul = nulIn(r); !nul.isEmpty())
            return fail(r.line, nul);
        // The date only tells which day the line is: any spelling of the row's own day.
        const QDate day = Dates::dateOfRow(int(i), baseYear);
        if (dateOfField(r.fields[StoreCol::Date]) != day)
            return fail(r.line, u"日付が「%1」です（「%2」のはずです）。"_s.arg(
                                    r.fields[StoreCol::Date], Dates::toStoreText(day)));
        if (r.fields[StoreCol::Weekday] != Dates::weekdayLetter(day))
            return fail(r.line, u"曜日が「%1」です（%2 は「%3」のはずです）。"_s.arg(
                                    r.fields[StoreCol::Weekday], Dates::toStoreText(day),
                                    Dates::weekdayLetter(day)));
        // The texts that go into the document, as the document reader accepts them.
        for (int c = StoreCol::Events; c < Columns; ++c) {
            const QString& field = r.fields[c];
            if (field.size() > DocLimits::MaxTextChars)
                return fail(r.line,
                            u"%1列目（%2）の文字が%3字あります（%4字までです）。"_s.arg(c + 1)
                                .arg(storeHeadings()[size_t(c)])
                                .arg(field.size())
                                .arg(DocLimits::MaxTextChars));
        }
    }
    if (days < YearStore::DayRows)
        return fail(records.back().line + 1,
                    u"行が足りません（日付の行が%1行で、%2行必要です）。"_s.arg(days).arg(
                        YearStore::DayRows));

    // All of it is sound: a new document of the year, then the texts.
    YearStore fresh;
    Store_New(fresh, baseYear, Clock::today());
    for (int row = 1; row <= YearStore::DayRows; ++row) {
        const QStringList& f = records[size_t(row)].fields;
        for (int c = StoreCol::Events; c < Columns; ++c)
            fresh.set(row, c, f[c]);
    }
    const qint64 size = DocFiles::imageBytes(fresh, 20);
    if (size > GridFile::MaxFileBytes)
        return fail(
            0, u"文書にすると %1 バイトになり、大きすぎます（%2 バイトまでです）。"_s.arg(size).arg(
                   GridFile::MaxFileBytes));
    out = fresh;
    return true;
}
