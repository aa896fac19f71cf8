#include "export/icalendar.h"

#include "calendar/holidays.h"
#include "store/dates.h"
#include "store/yearstore.h"
#include "todo/todostring.h"

#include <QTime>

using namespace Qt::StringLiterals;

namespace ICalendar {

QString escapeText(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'\\':
            out += u"\\\\"_s;
            break;
        case u';':
            out += u"\\;"_s;
            break;
        case u',':
            out += u"\\,"_s;
            break;
        case u'\r':
            // CR LF is one line break.
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += u"\\n"_s;
            break;
        case u'\n':
            out += u"\\n"_s;
            break;
        default:
            if ((c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7F)
                break; // not allowed in a TEXT value
            out += c;
        }
    }
    return out;
}

QByteArray foldLine(const QString& line) {
    const QByteArray utf8 = line.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() + utf8.size() / 70 * 3 + 2);
    qsizetype start = 0;
    qsizetype limit = 75; // the first line; later ones begin with a blank
    while (utf8.size() - start > limit) {
        qsizetype end = start + limit;
        // Back to the start of a character: continuation bytes are 10xxxxxx.
        while (end > start && (uchar(utf8[end]) & 0xC0) == 0x80)
            --end;
        out += utf8.mid(start, end - start);
        out += "\r\n ";
        start = end;
        limit = 74;
    }
    out += utf8.mid(start);
    out += "\r\n";
    return out;
}

} // namespace ICalendar

namespace {

QString dateValue(const QDate& d) {
    return d.toString(u"yyyyMMdd"_s);
}

QString dateTimeValue(const QDateTime& t) {
    return t.toString(u"yyyyMMdd'T'HHmmss"_s);
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
        : m_stamp(options.stamp.toUTC().toString(u"yyyyMMdd'T'HHmmss'Z'"_s)) {}

    void line(const QString& s) { m_out += ICalendar::foldLine(s); }
    void text(const QString& name, const QString& value) {
        line(name + u':' + ICalendar::escapeText(value));
    }
    void begin(const QString& component, const QString& uid) {
        line(u"BEGIN:"_s + component);
        line(u"UID:"_s + uid);
        line(u"DTSTAMP:"_s + m_stamp);
    }
    QByteArray take() { return std::move(m_out); }

private:
    QString m_stamp;
    QByteArray m_out;
};

} // namespace

QByteArray Export_ICalendar(const YearStore& store, int baseYear, const ICalendarOptions& options) {
    using namespace StoreCol;
    Writer w(options);
    w.line(u"BEGIN:VCALENDAR"_s);
    w.line(u"VERSION:2.0"_s);
    w.line(u"PRODID:-//DayLog//DayLog " DAYLOG_VERSION "//JA"_s);
    w.line(u"CALSCALE:GREGORIAN"_s);

    const QDate last = Dates::yearOrigin(baseYear).addYears(1);
    for (int row = 1; row <= YearStore::DayRows; ++row) {
        const QDate day = Dates::dateOfRow(row, baseYear);
        if (day > last)
            break; // row 366 of a year without 29 February is the next year's
        const QString uidBase = QString::number(baseYear) + u'-' + dateValue(day) + u'-';

        QString events = store.text(row, Events);
        if (options.withoutHolidays)
            events = withoutHoliday(events, day);
        if (!events.isEmpty()) {
            w.begin(u"VEVENT"_s, uidBase + u"events@daylog"_s);
            w.line(u"DTSTART;VALUE=DATE:"_s + dateValue(day));
            w.line(u"DTEND;VALUE=DATE:"_s + dateValue(day.addDays(1)));
            w.text(u"SUMMARY"_s, events);
            w.line(u"TRANSP:TRANSPARENT"_s);
            w.line(u"END:VEVENT"_s);
        }

        for (int i = 0; i < 7; ++i) {
            const QString title = store.text(row, SlotItem1 + i);
            const QString content = store.text(row, SlotText1 + i);
            if (title.isEmpty() && content.isEmpty())
                continue;
            // Three hours from the slot's hour mark: 6, 9, … 21 and 24 (midnight).
            const QDateTime start(day, QTime(0, 0));
            const QDateTime from = start.addSecs(qint64(6 + 3 * i) * 3600);
            w.begin(u"VEVENT"_s, uidBase + u"slot"_s + QString::number(i + 1) + u"@daylog"_s);
            w.line(u"DTSTART:"_s + dateTimeValue(from));
            w.line(u"DTEND:"_s + dateTimeValue(from.addSecs(3 * 3600)));
            if (!title.isEmpty())
                w.text(u"SUMMARY"_s, title);
            if (!content.isEmpty())
                w.text(u"DESCRIPTION"_s, content);
            w.line(u"END:VEVENT"_s);
        }

        const std::vector<ToDoItem> items = ToDo_Parse(store.text(row, ToDo));
        for (size_t k = 0; k < items.size(); ++k) {
            const ToDoItem& item = items[k];
            w.begin(u"VTODO"_s, uidBase + u"todo"_s + QString::number(k + 1) + u"@daylog"_s);
            const QTime t = QTime::fromString(item.time, u"HH:mm"_s);
            if (t.isValid())
                w.line(u"DUE:"_s + dateTimeValue(QDateTime(day, t)));
            else
                w.line(u"DUE;VALUE=DATE:"_s + dateValue(day));
            w.text(u"SUMMARY"_s, item.text);
            w.line(item.done() ? u"STATUS:COMPLETED"_s : u"STATUS:NEEDS-ACTION"_s);
            if (!item.category.isEmpty())
                w.text(u"CATEGORIES"_s, item.category);
            if (const int p = priorityOf(item.category))
                w.line(u"PRIORITY:"_s + QString::number(p));
            w.line(u"END:VTODO"_s);
        }
    }
    w.line(u"END:VCALENDAR"_s);
    return w.take();
}
