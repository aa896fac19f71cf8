#include "core/export/icalendar.h"

#include "core/calendar/holidays.h"
#include "core/store/yearstore.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"

using namespace Qt::StringLiterals;

namespace {

// TEXT escaping on UTF-8 bytes: every byte it changes is ASCII, so the characters
// around are never touched.
void escapeInto(QByteArray& out, QByteArrayView utf8) {
    const qsizetype n = utf8.size();
    qsizetype plain = 0; // start of the bytes not yet copied
    for (qsizetype i = 0; i < n; ++i) {
        const char c = utf8[i];
        const bool special = c == '\\' || c == ';' || c == ',' || uchar(c) < 0x20 || c == 0x7F;
        if (!special)
            continue;
        out.append(utf8.data() + plain, i - plain);
        plain = i + 1;
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case ';':
            out += "\\;";
            break;
        case ',':
            out += "\\,";
            break;
        case '\r':
            // CR LF is one line break.
            if (i + 1 < n && utf8[i + 1] == '\n')
                plain = ++i + 1;
            out += "\\n";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += c;
            break;
        default:
            break; // not allowed in a TEXT value
        }
    }
    out.append(utf8.data() + plain, n - plain);
}

// One content line folded at 75 octets, never inside a UTF-8 sequence, CRLF-ended.
void foldInto(QByteArray& out, QByteArrayView line) {
    qsizetype start = 0;
    qsizetype limit = 75; // the first line; later ones begin with a blank
    while (line.size() - start > limit) {
        qsizetype end = start + limit;
        // Back to the start of a character: continuation bytes are 10xxxxxx.
        while (end > start && (uchar(line[end]) & 0xC0) == 0x80)
            --end;
        out += line.sliced(start, end - start);
        out += "\r\n ";
        start = end;
        limit = 74;
    }
    out += line.sliced(start);
    out += "\r\n";
}

} // namespace

namespace ICalendar {

QString escapeText(const QString& text) {
    QByteArray out;
    escapeInto(out, text.toUtf8());
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
    const QString holiday = Holiday_Get(d);
    if (holiday.isEmpty() || !events.startsWith(holiday))
        return events;
    QString rest = events.mid(holiday.size());
    if (rest.isEmpty())
        return rest;
    if (rest.startsWith(u"\r\n"_s))
        return rest.mid(2);
    if (rest.startsWith(u'\n') || rest.startsWith(u'\r'))
        return rest.mid(1);
    return events; // the name is part of a longer first line the user wrote
}

class Writer {
public:
    explicit Writer(const ICalendarOptions& options)
        : m_stamp("DTSTAMP:" +
                  options.stamp.toUTC().toString(u"yyyyMMdd'T'HHmmss'Z'"_s).toLatin1()) {
        m_out.reserve(2 << 20); // a full year is about 1.3 MB
    }

    void line(QByteArrayView s) { foldInto(m_out, s); }
    void line(QByteArrayView name, QByteArrayView value) {
        m_line.clear();
        m_line += name;
        m_line += value;
        foldInto(m_out, m_line);
    }
    void text(QByteArrayView name, const QString& value) {
        m_line.clear();
        m_line += name;
        m_line += ':';
        escapeInto(m_line, value.toUtf8());
        foldInto(m_out, m_line);
    }
    void begin(QByteArrayView component, const QByteArray& uidBase, QByteArrayView kind) {
        m_out += "BEGIN:";
        m_out += component;
        m_out += "\r\nUID:";
        m_out += uidBase;
        m_out += kind;
        m_out += "@daylog\r\n";
        m_out += m_stamp;
        m_out += "\r\n";
    }
    QByteArray take() { return std::move(m_out); }

private:
    QByteArray m_stamp;
    QByteArray m_out;
    QByteArray m_line;
};

} // namespace

QByteArray Export_ICalendar(const YearStore& store, int baseYear, const ICalendarOptions& options) {
    using namespace StoreCol;
    Writer w(options);
    w.line("BEGIN:VCALENDAR");
    w.line("VERSION:2.0");
    w.line("PRODID:-//DayLog//DayLog " DAYLOG_VERSION "//JA");
    w.line("CALSCALE:GREGORIAN");

    const QDate last = Dates::yearOrigin(baseYear).addYears(1);
    for (int row = 1; row <= YearStore::DayRows; ++row) {
        const QDate day = Dates::dateOfRow(row, baseYear);
        if (day > last)
            break; // row 366 of a year without 29 February is the next year's
        const QByteArray date = dateValue(day);
        const QByteArray uidBase = QByteArray::number(baseYear) + '-' + date + '-';

        QString events = store.text(row, Events);
        if (options.withoutHolidays)
            events = withoutHoliday(events, day);
        if (!events.isEmpty()) {
            w.begin("VEVENT", uidBase, "events");
            w.line("DTSTART;VALUE=DATE:", date);
            w.line("DTEND;VALUE=DATE:", dateValue(day.addDays(1)));
            w.text("SUMMARY", events);
            w.line("TRANSP:TRANSPARENT");
            w.line("END:VEVENT");
        }

        for (int i = 0; i < 7; ++i) {
            const QString title = store.text(row, SlotItem1 + i);
            const QString content = store.text(row, SlotText1 + i);
            if (title.isEmpty() && content.isEmpty())
                continue;
            // Three hours from the slot's hour mark: 6, 9, … 21 and 24 (midnight).
            const int hour = 6 + 3 * i;
            const char kind[] = {'s', 'l', 'o', 't', char('1' + i)};
            w.begin("VEVENT", uidBase, QByteArrayView(kind, 5));
            w.line("DTSTART:", dateTimeValue(day, hour, 0));
            w.line("DTEND:", dateTimeValue(day, hour + 3, 0));
            if (!title.isEmpty())
                w.text("SUMMARY", title);
            if (!content.isEmpty())
                w.text("DESCRIPTION", content);
            w.line("END:VEVENT");
        }

        const std::vector<ToDoItem> items = ToDo_Parse(store.text(row, ToDo));
        for (size_t k = 0; k < items.size(); ++k) {
            const ToDoItem& item = items[k];
            w.begin("VTODO", uidBase, "todo" + QByteArray::number(qulonglong(k + 1)));
            if (const int m = ToDo_TimeMinutes(item.time); m >= 0)
                w.line("DUE:", dateTimeValue(day, m / 60, m % 60));
            else
                w.line("DUE;VALUE=DATE:", date);
            w.text("SUMMARY", item.text);
            w.line(item.done() ? "STATUS:COMPLETED" : "STATUS:NEEDS-ACTION");
            if (!item.category.isEmpty())
                w.text("CATEGORIES", item.category);
            if (const int p = priorityOf(item.category))
                w.line("PRIORITY:", QByteArray::number(p));
            w.line("END:VTODO");
        }
    }
    w.line("END:VCALENDAR");
    return w.take();
}
