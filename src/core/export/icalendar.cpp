// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/icalendar.h"

#include "core/store/yearstore.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"

#include <QTextBoundaryFinder>
#include <QUuid>

#include <algorithm>
#include <cstring>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr int LineOctets = 75; // a content line's longest, CRLF not counted

// Writes `text` as UTF-8 TEXT (RFC 5545 3.3.11) at `o`: backslash, semicolon, comma
// and line breaks escaped (CR LF is one break), other control characters dropped, a
// lone surrogate written as '?'. The content line is folded before a character or an
// escape that would take it past `limit` octets; `col` is the octet count of the
// physical line so far. At most three octets a UTF-16 unit and a fold (three octets)
// every 71 octets are written.
char* putText(char* o, QStringView text, int& col, int limit) {
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    const auto room = [&](int octets) {
        if (col + octets > limit) {
            o[0] = '\r';
            o[1] = '\n';
            o[2] = ' ';
            o += 3;
            col = 1;
        }
        col += octets;
    };
    while (p < end) {
        const char16_t c = *p++;
        if (c < 0x80) {
            char escape = 0;
            switch (c) {
            case u'\\':
            case u';':
            case u',':
                escape = char(c);
                break;
            case u'\r':
                if (p < end && *p == u'\n')
                    ++p;
                escape = 'n';
                break;
            case u'\n':
                escape = 'n';
                break;
            case u'\t':
                break;
            default:
                if (c < 0x20 || c == 0x7F)
                    continue; // not allowed in a TEXT value
            }
            if (escape) {
                room(2);
                *o++ = '\\';
                *o++ = escape;
            } else {
                room(1);
                *o++ = char(c);
            }
        } else if (c < 0x800) {
            room(2);
            *o++ = char(0xC0 | (c >> 6));
            *o++ = char(0x80 | (c & 0x3F));
        } else if (!QChar::isSurrogate(c)) {
            room(3);
            *o++ = char(0xE0 | (c >> 12));
            *o++ = char(0x80 | ((c >> 6) & 0x3F));
            *o++ = char(0x80 | (c & 0x3F));
        } else if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p)) {
            const char32_t u = QChar::surrogateToUcs4(c, *p++);
            room(4);
            *o++ = char(0xF0 | (u >> 18));
            *o++ = char(0x80 | ((u >> 12) & 0x3F));
            *o++ = char(0x80 | ((u >> 6) & 0x3F));
            *o++ = char(0x80 | (u & 0x3F));
        } else {
            room(1);
            *o++ = '?';
        }
    }
    return o;
}

// One content line folded at 75 octets, never inside a UTF-8 sequence, CRLF-ended.
void foldInto(QByteArray& out, QByteArrayView line) {
    qsizetype start = 0;
    qsizetype limit = LineOctets; // the first line; later ones begin with a blank
    while (line.size() - start > limit) {
        qsizetype end = start + limit;
        // Back to the start of a character: continuation bytes are 10xxxxxx.
        while (end > start && (uchar(line[end]) & 0xC0) == 0x80)
            --end;
        out += line.sliced(start, end - start);
        out += "\r\n ";
        start = end;
        limit = LineOctets - 1;
    }
    out += line.sliced(start);
    out += "\r\n";
}

} // namespace

namespace ICalendar {

QString escapeText(const QString& text) {
    QByteArray out(text.size() * 3, Qt::Uninitialized);
    int col = 0;
    const char* end = putText(out.data(), text, col, std::numeric_limits<int>::max());
    out.truncate(end - out.constData());
    return QString::fromUtf8(out);
}

QByteArray foldLine(const QString& line) {
    QByteArray out;
    foldInto(out, line.toUtf8());
    return out;
}

} // namespace ICalendar

namespace {

void appendDigits(QByteArray& out, int value, int width) {
    char buf[8];
    for (int i = width - 1; i >= 0; --i) {
        buf[i] = char('0' + value % 10);
        value /= 10;
    }
    out.append(buf, width);
}

// yyyyMMdd
QByteArray dateValue(const QDate& d) {
    QByteArray out;
    out.reserve(8);
    appendDigits(out, d.year(), 4);
    appendDigits(out, d.month(), 2);
    appendDigits(out, d.day(), 2);
    return out;
}

// yyyyMMddTHHmmss, floating local time.
QByteArray dateTimeValue(const QDate& d, int hour, int minute) {
    // Hour 24 and later is the next day's.
    const QDate day = d.addDays(hour / 24);
    QByteArray out = dateValue(day);
    out += 'T';
    appendDigits(out, hour % 24, 2);
    appendDigits(out, minute, 2);
    out += "00";
    return out;
}

// The priorities of the four categories (1 highest, 9 lowest); 0 for any other.
int priorityOf(const QString& category) {
    if (category == u"最重"_s)
        return 1;
    if (category == u"重要"_s)
        return 3;
    if (category == u"普通"_s)
        return 5;
    if (category == u"要軽"_s)
        return 9;
    return 0;
}

// The events text without the holiday name the program wrote as its first line.
QString withoutHoliday(const QString& events, const QDate& d) {
    return events.mid(ICalendar::holidayLength(events, d));
}

// Blanks, and the control characters a TEXT value leaves out.
bool invisible(QChar c) {
    return c.isSpace() || c.unicode() < 0x20 || c.unicode() == 0x7F;
}

QStringView trimmed(QStringView text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && invisible(text[begin]))
        ++begin;
    while (end > begin && invisible(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// The first line of `text` with anything visible on it, without the blanks around it;
// empty when there is none.
QStringView firstLine(QStringView text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        qsizetype end = i;
        while (end < n && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        const QStringView line = trimmed(text.sliced(i, end - i));
        if (!line.isEmpty())
            return line;
        i = end + 1;
    }
    return {};
}

// Where `line` is cut to make a summary of at most SummaryLength characters (grapheme
// clusters), the "…" included; -1 when it fits whole.
qsizetype summaryCut(QStringView line) {
    using ICalendar::SummaryLength;
    if (line.size() <= SummaryLength)
        return -1; // no more characters than UTF-16 units
    QTextBoundaryFinder f(QTextBoundaryFinder::Grapheme, line.data(), line.size());
    qsizetype keep = 0;
    for (int n = 1; n <= SummaryLength; ++n) {
        const qsizetype b = f.toNextBoundary();
        if (b < 0 || b >= line.size())
            return -1;
        if (n == SummaryLength - 1)
            keep = b;
    }
    // No blank before the "…".
    while (keep > 0 && invisible(line[keep - 1]))
        --keep;
    return keep;
}

// A hash of a ToDo item's time, category and text (FNV-1a over their UTF-16 units,
// fields separated by U+001F), 48 bits: the same item gives the same value in every
// export, on every computer.
quint64 itemHash(const ToDoItem& item) {
    quint64 h = 0xCBF29CE484222325ull;
    const auto add = [&h](QStringView s) {
        for (const QChar c : s) {
            h ^= c.unicode();
            h *= 0x100000001B3ull;
        }
    };
    add(item.time);
    add(u"\x1F");
    add(item.category);
    add(u"\x1F");
    add(item.text);
    return (h ^ (h >> 48)) & 0xFFFFFFFFFFFFull;
}

// What an entry's DESCRIPTION holds besides what its SUMMARY shows.
enum class Describe {
    Rest,   // the title or the text when the summary leaves out something of it
    Always, // the text whenever there is one, and the title when cut
};

inline constexpr char16_t Untitled[] = u"（無題）";

// What an entry's SUMMARY and DESCRIPTION are made of. SUMMARY: the first line of
// `title` that is not blank; without one, that of `body` shortened; without one either,
// Untitled. DESCRIPTION as `describe` says.
struct SummaryParts {
    enum How { Whole, Cut, Untitled } how = Untitled;
    QStringView line; // Cut: the part before the "…"
    enum Description { None, Title, TitleBody, Body } description = None;
};

SummaryParts summaryParts(QStringView title, QStringView body, Describe describe) {
    SummaryParts p;
    bool titleCut = false; // the summary leaves out something of the title
    bool bodyCut = true;   // … of the body
    if (const QStringView line = firstLine(title); !line.isEmpty()) {
        titleCut = line.size() != trimmed(title).size();
        p = {SummaryParts::Whole, line};
    } else if (const QStringView first = firstLine(body); first.isEmpty()) {
        p.how = SummaryParts::Untitled;
    } else if (const qsizetype keep = summaryCut(first); keep >= 0) {
        p = {SummaryParts::Cut, first.first(keep)};
    } else {
        bodyCut = first.size() != trimmed(body).size();
        p = {SummaryParts::Whole, first};
    }
    const bool withBody = !body.isEmpty() && (bodyCut || describe == Describe::Always);
    p.description = titleCut && withBody ? SummaryParts::TitleBody
                    : titleCut           ? SummaryParts::Title
                    : withBody           ? SummaryParts::Body
                                         : SummaryParts::None;
    return p;
}

class Writer {
public:
    Writer(const QDateTime& stamp, const QUuid& id, qsizetype reserve)
        : m_stamp("DTSTAMP:" + stamp.toUTC().toString(u"yyyyMMdd'T'HHmmss'Z'"_s).toLatin1() +
                  "\r\n"),
          m_uid("UID:" + id.toByteArray(QUuid::Id128) + '-'), m_uidDay(m_uid.size()) {
        m_out.reserve(reserve);
    }
    void header() {
        line("BEGIN:VCALENDAR");
        line("VERSION:2.0");
        line("PRODID:-//DayLog//DayLog " DAYLOG_VERSION "//JA");
        line("CALSCALE:GREGORIAN");
    }

    // A line of ASCII.
    void line(QByteArrayView s) {
        if (s.size() <= LineOctets) {
            m_out += s;
            m_out += "\r\n";
        } else {
            foldInto(m_out, s);
        }
    }
    void line(QByteArrayView name, QByteArrayView value) {
        if (name.size() + value.size() <= LineOctets) {
            m_out += name;
            m_out += value;
            m_out += "\r\n";
        } else {
            foldInto(m_out, name.toByteArray().append(value));
        }
    }
    // A TEXT property of `parts` one after the other.
    void text(QByteArrayView name, std::initializer_list<QStringView> parts) {
        qsizetype units = 0;
        for (const QStringView p : parts)
            units += p.size();
        const qsizetype octets = name.size() + 1 + 3 * units;
        const qsizetype start = m_out.size();
        m_out.resize(start + octets + 3 * (octets / 71 + 1) + 2);
        char* const first = m_out.data();
        char* o = first + start;
        std::memcpy(o, name.data(), size_t(name.size()));
        o += name.size();
        *o++ = ':';
        int col = int(name.size()) + 1; // names are short
        for (const QStringView p : parts)
            o = putText(o, p, col, LineOctets);
        *o++ = '\r';
        *o++ = '\n';
        m_out.truncate(o - first);
    }

    // SUMMARY and DESCRIPTION (summaryParts).
    void summary(QStringView title, QStringView body, Describe describe) {
        const SummaryParts p = summaryParts(title, body, describe);
        switch (p.how) {
        case SummaryParts::Whole:
            text("SUMMARY", {p.line});
            break;
        case SummaryParts::Cut:
            text("SUMMARY", {p.line, u"…"});
            break;
        case SummaryParts::Untitled:
            text("SUMMARY", {Untitled});
            break;
        }
        switch (p.description) {
        case SummaryParts::None:
            break;
        case SummaryParts::Title:
            text("DESCRIPTION", {title});
            break;
        case SummaryParts::TitleBody:
            text("DESCRIPTION", {title, u"\n\n", body});
            break;
        case SummaryParts::Body:
            text("DESCRIPTION", {body});
            break;
        }
    }

    // The entries, each its component with the content lines `extra` before its END.
    void events(QByteArrayView date, const QDate& day, QStringView events, QByteArrayView extra) {
        begin("VEVENT", "events");
        line("DTSTART;VALUE=DATE:", date);
        line("DTEND;VALUE=DATE:", dateValue(day.addDays(1)));
        summary({}, events, Describe::Rest);
        line("TRANSP:TRANSPARENT");
        end("VEVENT", extra);
    }
    void record(QByteArrayView date, QStringView record, QByteArrayView extra) {
        begin("VJOURNAL", "record");
        line("DTSTART;VALUE=DATE:", date);
        summary({}, record, Describe::Always);
        end("VJOURNAL", extra);
    }
    void slot(const QDate& day, int i, QStringView title, QStringView content,
              QByteArrayView extra) {
        // Three hours from the slot's hour mark: 6, 9, … 21 and 24 (midnight).
        const int hour = 6 + 3 * i;
        const char kind[] = {'s', 'l', 'o', 't', char('1' + i)};
        begin("VEVENT", QByteArrayView(kind, 5));
        line("DTSTART:", dateTimeValue(day, hour, 0));
        line("DTEND:", dateTimeValue(day, hour + 3, 0));
        summary(title, content, Describe::Always);
        end("VEVENT", extra);
    }
    void todo(QByteArrayView date, const QDate& day, const ToDoItem& item, QByteArrayView kind,
              QByteArrayView extra) {
        begin("VTODO", kind);
        if (const int m = ToDo_TimeMinutes(item.time); m >= 0)
            line("DUE:", dateTimeValue(day, m / 60, m % 60));
        else
            line("DUE;VALUE=DATE:", date);
        summary(item.text, {}, Describe::Rest);
        line(item.done() ? "STATUS:COMPLETED" : "STATUS:NEEDS-ACTION");
        if (!item.category.isEmpty())
            text("CATEGORIES", {item.category});
        if (const int p = priorityOf(item.category))
            line("PRIORITY:", QByteArray::number(p));
        end("VTODO", extra);
    }

    // The UIDs from here on are of the day `date` (yyyyMMdd).
    void setDay(QByteArrayView date) {
        m_uid.truncate(m_uidDay);
        m_uid += date;
        m_uid += '-';
    }
    // BEGIN, UID (document, day, `kind`) and DTSTAMP.
    void begin(QByteArrayView component, QByteArrayView kind) {
        m_out += "BEGIN:";
        m_out += component;
        m_out += "\r\n";
        const qsizetype day = m_uid.size();
        m_uid += kind;
        m_uid += "@daylog";
        line(m_uid);
        m_uid.truncate(day);
        m_out += m_stamp;
    }
    void end(QByteArrayView component, QByteArrayView extra) {
        m_out += extra;
        m_out += "END:";
        m_out += component;
        m_out += "\r\n";
    }
    QByteArray take() { return std::move(m_out); }

private:
    QByteArray m_stamp;
    QByteArray m_uid; // "UID:" document identity "-", then the day's date and "-"
    qsizetype m_uidDay;
    QByteArray m_out;
};

// "todo-" and the item's hash in 12 hex digits, and "-2", "-3", … for the second,
// third, … item of the day with the same hash.
QByteArray todoKind(quint64 hash, int occurrence) {
    QByteArray kind = "todo-" + QByteArray::number(hash, 16).rightJustified(12, '0');
    if (occurrence > 1)
        kind += '-' + QByteArray::number(occurrence);
    return kind;
}

} // namespace

QByteArray Export_ICalendar(const YearStore& store, int baseYear, const ICalendarOptions& options) {
    using namespace StoreCol;
    Writer w(options.stamp, store.documentId(), 2 << 20); // a full year is about 1.7 MB
    w.header();
    std::vector<quint64> hashes; // of the day's ToDo items so far
    for (int row = 1; row <= YearStore::DayRows; ++row) {
        // Row 366 of a year without 29 February is the next 1 April.
        const QDate day = Dates::dateOfRow(row, baseYear);
        const QByteArray date = dateValue(day);
        w.setDay(date);

        QString events = store.text(row, Events);
        if (options.withoutHolidays)
            events = withoutHoliday(events, day);
        if (!events.isEmpty())
            w.events(date, day, events, {});
        if (const QString record = store.text(row, Record); !record.isEmpty())
            w.record(date, record, {});
        for (int i = 0; i < 7; ++i) {
            const QString title = store.text(row, SlotItem1 + i);
            const QString content = store.text(row, SlotText1 + i);
            if (!title.isEmpty() || !content.isEmpty())
                w.slot(day, i, title, content, {});
        }
        hashes.clear();
        for (const ToDoItem& item : ToDo_Parse(store.text(row, ToDo))) {
            const quint64 hash = itemHash(item);
            hashes.push_back(hash);
            w.todo(date, day, item,
                   todoKind(hash, int(std::count(hashes.begin(), hashes.end(), hash))), {});
        }
    }
    w.line("END:VCALENDAR");
    return w.take();
}

namespace ICalendar {

QByteArray resource(const ICalendarEntry& e, const QUuid& documentId, const QDateTime& stamp,
                    QByteArrayView extra) {
    Writer w(stamp, documentId, 512 + 3 * (e.title.size() + e.text.size()) + extra.size());
    w.header();
    const QByteArray date = dateValue(e.day);
    w.setDay(date);
    switch (e.kind) {
    case ICalendarEntry::Events:
        w.events(date, e.day, e.text, extra);
        break;
    case ICalendarEntry::Record:
        w.record(date, e.text, extra);
        break;
    case ICalendarEntry::Slot:
        w.slot(e.day, e.slot, e.title, e.text, extra);
        break;
    case ICalendarEntry::ToDo:
        w.todo(date, e.day, {e.done ? u"1"_s : u"0"_s, e.time, e.category, e.text}, e.kindName,
               extra);
        break;
    }
    w.line("END:VCALENDAR");
    return w.take();
}

QByteArray uid(const QUuid& documentId, const QDate& day, QByteArrayView kindName) {
    return documentId.toByteArray(QUuid::Id128) + '-' + dateValue(day) + '-' +
           kindName.toByteArray() + "@daylog";
}

QByteArray todoKind(const QString& time, const QString& category, const QString& text,
                    int occurrence) {
    return ::todoKind(itemHash({{}, time, category, text}), occurrence);
}

SummaryText summaryText(const ICalendarEntry& e) {
    QStringView title, body;
    Describe describe = Describe::Always;
    switch (e.kind) {
    case ICalendarEntry::Events:
        body = e.text;
        describe = Describe::Rest;
        break;
    case ICalendarEntry::Record:
        body = e.text;
        break;
    case ICalendarEntry::Slot:
        title = e.title;
        body = e.text;
        break;
    case ICalendarEntry::ToDo:
        title = e.text;
        describe = Describe::Rest;
        break;
    }
    const SummaryParts p = summaryParts(title, body, describe);
    SummaryText out;
    out.summary =
        p.how == SummaryParts::Untitled ? QString::fromUtf16(Untitled) : plainText(p.line);
    if (p.how == SummaryParts::Cut)
        out.summary += u'…';
    out.described = p.description != SummaryParts::None;
    if (p.description == SummaryParts::Title)
        out.description = plainText(title);
    else if (p.description == SummaryParts::TitleBody)
        out.description = plainText(title) + u"\n\n"_s + plainText(body);
    else if (p.description == SummaryParts::Body)
        out.description = plainText(body);
    return out;
}

} // namespace ICalendar
