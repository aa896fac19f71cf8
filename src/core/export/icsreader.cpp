// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/icsreader.h"

#include "core/time/dates.h"

#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <libical/ical.h>

#include <memory>

using namespace Qt::StringLiterals;

int IcsSlotOfHour(int hour, bool* dayBefore) {
    *dayBefore = hour < 3;
    if (hour < 3)
        return 6; // 24〜: after midnight, on the day before
    if (hour < 9)
        return 0; // 〜9
    return std::min((hour - 9) / 3 + 1, 5);
}

namespace {

// A repeating item yields at most this many days within the year, and its rule is
// followed for at most this many steps (a rule every second would never end).
constexpr int MaxOccurrences = 10000;
constexpr int MaxSteps = 1000000;

QString utf8(const char* s) {
    return s ? QString::fromUtf8(s) : QString();
}

// Line breaks as "\n", blanks at both ends removed.
QString block(QString s) {
    s.replace(u"\r\n"_s, u"\n"_s);
    s.replace(u'\r', u'\n');
    s.replace(QChar::LineSeparator, u'\n');
    s.replace(QChar::ParagraphSeparator, u'\n');
    return s.trimmed();
}

// One line: line breaks and tabs as blanks.
QString oneLine(const QString& s) {
    QString out = block(s);
    for (QChar& c : out)
        if (c == u'\n' || c == u'\t')
            c = u' ';
    return out;
}

// The date or time of DTSTART, DUE or DTEND as written (a TZID not yet applied).
icaltimetype timeOf(icalproperty* p) {
    switch (icalproperty_isa(p)) {
    case ICAL_DTSTART_PROPERTY:
        return icalproperty_get_dtstart(p);
    case ICAL_DUE_PROPERTY:
        return icalproperty_get_due(p);
    case ICAL_DTEND_PROPERTY:
        return icalproperty_get_dtend(p);
    default:
        return icaltime_null_time();
    }
}

// A TEXT value, its escapes undone.
QString textValue(icalproperty* p) {
    const icalvalue* v = icalproperty_get_value(p);
    return v && icalvalue_isa(v) == ICAL_TEXT_VALUE ? utf8(icalvalue_get_text(v)) : QString();
}

QString textOf(icalcomponent* c, icalproperty_kind kind) {
    icalproperty* p = icalcomponent_get_first_property(c, kind);
    return p ? textValue(p) : QString();
}

// The Japanese reason of the first error libical marked in `c` or below that loses
// data (a line that is no property, a value that cannot be read); empty when none.
QString parseError(icalcomponent* c) {
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_XLICERROR_PROPERTY)) {
        icalparameter* type = icalproperty_get_first_parameter(p, ICAL_XLICERRORTYPE_PARAMETER);
        if (!type)
            continue;
        const QString what = utf8(icalproperty_get_xlicerror(p));
        const QString given = what.section(u": "_s, -1).trimmed();
        switch (icalparameter_get_xlicerrortype(type)) {
        case ICAL_XLICERRORTYPE_COMPONENTPARSEERROR:
            return u"iCalendar の行として読めない行があります（「%1」）。"_s.arg(given);
        case ICAL_XLICERRORTYPE_VALUEPARSEERROR: {
            static const QRegularExpression property(u"in ([A-Za-z0-9-]+) property"_s);
            const QString name = property.match(what).captured(1);
            return u"%1の値「%2」が読めません。"_s.arg(name.isEmpty() ? u"ある項目"_s : name,
                                                       given);
        }
        default:
            break; // an unknown property or parameter: left out, nothing of ours lost
        }
    }
    for (icalcomponent* s = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); s;
         s = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
        if (QString e = parseError(s); !e.isEmpty())
            return e;
    return {};
}

// A date or a moment of an item, as this machine's local time.
struct Moment {
    bool valid = false;
    bool isDate = false;
    QDate date;      // the date (of the local time for a moment)
    QDateTime local; // a moment
    qint64 key = 0;  // for comparing occurrences: seconds, or the Julian day of a date
};

class Reader {
public:
    Reader(int baseYear, IcsReading& out)
        : m_first(Dates::yearOrigin(baseYear).addDays(1)), m_last(m_first.addYears(1).addDays(-1)),
          m_baseYear(baseYear), m_out(out) {}

    void calendar(icalcomponent* vcal);

private:
    // The time zone a property names (the file's VTIMEZONE, else the system's time
    // zone data); false for a TZID nobody knows.
    bool zoneOf(icalproperty* p, icaltimetype& t) {
        icalparameter* tz = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
        if (!tz || t.is_date)
            return true;
        const char* tzid = icalparameter_get_tzid(tz);
        icaltimezone* zone = tzid ? icalcomponent_get_timezone(m_vcal, tzid) : nullptr;
        if (!zone && tzid)
            zone = icaltimezone_get_builtin_timezone_from_tzid(tzid);
        if (!zone && tzid)
            zone = icaltimezone_get_builtin_timezone(tzid);
        if (!zone)
            return false;
        t.zone = zone;
        return true;
    }

    static Moment moment(const icaltimetype& t) {
        Moment m;
        if (icaltime_is_null_time(t) || !icaltime_is_valid_time(t))
            return m;
        m.valid = true;
        if (t.is_date) {
            m.isDate = true;
            m.date = QDate(t.year, t.month, t.day);
            m.key = m.date.toJulianDay();
            m.valid = m.date.isValid();
            return m;
        }
        if (t.zone) {
            m.local = QDateTime::fromSecsSinceEpoch(
                qint64(icaltime_as_timet_with_zone(
                    t, static_cast<icaltimezone*>(const_cast<icaltimezone*>(t.zone)))),
                Qt::LocalTime);
        } else {
            // A floating time is a time of this machine.
            m.local = QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second),
                                Qt::LocalTime);
        }
        m.valid = m.local.isValid();
        m.date = m.local.date();
        m.key = m.local.toSecsSinceEpoch();
        return m;
    }

    bool inYear(const QDate& d) const { return d >= m_first && d <= m_last; }

    QSet<qint64> overridden(icalcomponent* c) const {
        return m_overrides.value(utf8(icalcomponent_get_uid(c)));
    }

    bool occurrences(icalcomponent* c, icalproperty* base, std::vector<Moment>& out);
    void event(icalcomponent* c);
    void todo(icalcomponent* c);
    void journal(icalcomponent* c);
    // Whether the item is cancelled (counted) or without a text (counted).
    bool skipped(icalcomponent* c, bool hasText);

    const QDate m_first, m_last;
    const int m_baseYear;
    IcsReading& m_out;
    icalcomponent* m_vcal = nullptr;
    // Per UID, the occurrences an item with RECURRENCE-ID replaces.
    QHash<QString, QSet<qint64>> m_overrides;
};

// The times an item happens from its property `base` (DTSTART or DUE): the time
// itself, every time of its RRULEs and RDATEs up to the end of the year, without its
// EXDATEs and the occurrences other items replace. False for an unknown time zone or
// a rule with too many occurrences (counted as not supported).
bool Reader::occurrences(icalcomponent* c, icalproperty* base, std::vector<Moment>& out) {
    icaltimetype start = timeOf(base);
    if (!zoneOf(base, start))
        return false;
    const Moment first = moment(start);
    if (!first.valid)
        return false;
    QSet<qint64> excluded = overridden(c);
    QSet<qint64> exDates; // EXDATE;VALUE=DATE of a timed item: the whole day
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_EXDATE_PROPERTY)) {
        icaltimetype t = icalproperty_get_exdate(p);
        if (!zoneOf(p, t))
            return false;
        const Moment m = moment(t);
        if (m.isDate && !first.isDate)
            exDates.insert(QDate(t.year, t.month, t.day).toJulianDay());
        else if (m.valid)
            excluded.insert(m.key);
    }
    QSet<qint64> seen;
    auto add = [&](const icaltimetype& t) {
        const Moment m = moment(t);
        if (!m.valid || excluded.contains(m.key) || seen.contains(m.key))
            return;
        if (!t.is_date && exDates.contains(QDate(t.year, t.month, t.day).toJulianDay()))
            return;
        seen.insert(m.key);
        out.push_back(m);
    };
    add(start);
    const QDate stop = m_last.addDays(2);
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_RRULE_PROPERTY)) {
        icalrecur_iterator* it = icalrecur_iterator_new(icalproperty_get_rrule(p), start);
        if (!it)
            return false;
        int steps = 0;
        for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t);
             t = icalrecur_iterator_next(it)) {
            if (++steps > MaxSteps || out.size() > size_t(MaxOccurrences)) {
                icalrecur_iterator_free(it);
                return false;
            }
            t.zone = start.zone;
            if (QDate(t.year, t.month, t.day) > stop)
                break;
            add(t);
        }
        icalrecur_iterator_free(it);
    }
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype r = icalproperty_get_rdate(p);
        icaltimetype t = icaltime_is_null_time(r.time) ? r.period.start : r.time;
        if (!zoneOf(p, t))
            return false;
        add(t);
    }
    return true;
}

bool Reader::skipped(icalcomponent* c, bool hasText) {
    if (icalcomponent_get_status(c) == ICAL_STATUS_CANCELLED) {
        ++m_out.counts.cancelled;
        return true;
    }
    if (!hasText) {
        ++m_out.counts.empty;
        return true;
    }
    return false;
}

void Reader::event(icalcomponent* c) {
    const QString summary = oneLine(textOf(c, ICAL_SUMMARY_PROPERTY));
    const QString location = oneLine(textOf(c, ICAL_LOCATION_PROPERTY));
    const QString description = oneLine(textOf(c, ICAL_DESCRIPTION_PROPERTY));
    if (skipped(c, !summary.isEmpty() || !location.isEmpty() || !description.isEmpty()))
        return;
    icalproperty* dtstart = icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY);
    if (!dtstart) {
        ++m_out.counts.undated;
        return;
    }
    std::vector<Moment> starts;
    if (!occurrences(c, dtstart, starts)) {
        ++m_out.counts.unsupported;
        return;
    }
    const Moment first = starts.front();
    // The length: DTEND, else DURATION, else a day (a date) or nothing (a time).
    qint64 length = first.isDate ? 1 : 0; // days for a date, seconds for a time
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_DTEND_PROPERTY)) {
        icaltimetype t = timeOf(p);
        if (!zoneOf(p, t)) {
            ++m_out.counts.unsupported;
            return;
        }
        const Moment end = moment(t);
        if (end.valid && end.isDate == first.isDate)
            length = first.isDate ? first.date.daysTo(end.date) : end.key - first.key;
    } else if (icalproperty* d = icalcomponent_get_first_property(c, ICAL_DURATION_PROPERTY)) {
        const int seconds = icaldurationtype_as_int(icalproperty_get_duration(d));
        length = first.isDate ? seconds / 86400 : seconds;
    }
    if (first.isDate)
        length = std::clamp<qint64>(length, 1, 3660);
    length = std::max<qint64>(length, 0);

    const QString where = location.isEmpty() ? QString() : u" 場所:"_s + location;
    const QString what = description.isEmpty() ? QString() : u' ' + description;
    bool landed = false;
    for (const Moment& m : starts) {
        if (m.isDate) {
            for (qint64 i = 0; i < length; ++i) {
                const QDate d = m.date.addDays(i);
                if (!inYear(d))
                    continue;
                IcsEntry e;
                e.kind = IcsEntry::Event;
                e.row = Dates::rowOfDate(d, m_baseYear);
                e.text = summary.isEmpty() ? oneLine(location + what) : summary;
                m_out.entries.push_back(std::move(e));
                landed = true;
            }
            continue;
        }
        bool dayBefore = false;
        const int slot = IcsSlotOfHour(m.local.time().hour(), &dayBefore);
        const QDate day = dayBefore ? m.date.addDays(-1) : m.date;
        if (!inYear(day))
            continue;
        QString times = m.local.toString(u"HH:mm"_s) + u"〜"_s;
        if (length > 0) {
            const QDateTime end = m.local.addSecs(length);
            const qint64 days = m.date.daysTo(end.date());
            if (days == 1)
                times += u"翌"_s;
            else if (days > 1)
                times += end.toString(u"M/d "_s);
            times += end.toString(u"HH:mm"_s);
        }
        IcsEntry e;
        e.kind = IcsEntry::Slot;
        e.row = Dates::rowOfDate(day, m_baseYear);
        e.slot = slot;
        e.text = summary;
        e.content = times + where + what;
        m_out.entries.push_back(std::move(e));
        landed = true;
    }
    if (!landed)
        ++m_out.counts.outside;
}

void Reader::todo(icalcomponent* c) {
    QString text = oneLine(textOf(c, ICAL_SUMMARY_PROPERTY));
    if (text.isEmpty())
        text = oneLine(textOf(c, ICAL_DESCRIPTION_PROPERTY));
    if (skipped(c, !text.isEmpty()))
        return;
    icalproperty* when = icalcomponent_get_first_property(c, ICAL_DUE_PROPERTY);
    if (!when)
        when = icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY);
    if (!when) {
        ++m_out.counts.undated;
        return;
    }
    std::vector<Moment> days;
    if (!occurrences(c, when, days)) {
        ++m_out.counts.unsupported;
        return;
    }
    QString category = u"普通"_s;
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_PRIORITY_PROPERTY)) {
        const int priority = icalproperty_get_priority(p);
        if (priority >= 1 && priority <= 2)
            category = u"最重"_s;
        else if (priority >= 3 && priority <= 4)
            category = u"重要"_s;
        else if (priority >= 6 && priority <= 9)
            category = u"要軽"_s;
    }
    const bool done = icalcomponent_get_status(c) == ICAL_STATUS_COMPLETED ||
                      icalcomponent_get_first_property(c, ICAL_COMPLETED_PROPERTY);
    bool landed = false;
    for (const Moment& m : days) {
        if (!inYear(m.date))
            continue;
        IcsEntry e;
        e.kind = IcsEntry::ToDo;
        e.row = Dates::rowOfDate(m.date, m_baseYear);
        e.text = text;
        e.time = m.isDate ? QString() : m.local.toString(u"HH:mm"_s);
        e.category = category;
        e.done = done;
        m_out.entries.push_back(std::move(e));
        landed = true;
    }
    if (!landed)
        ++m_out.counts.outside;
}

void Reader::journal(icalcomponent* c) {
    QStringList parts;
    if (const QString s = block(textOf(c, ICAL_SUMMARY_PROPERTY)); !s.isEmpty())
        parts.append(s);
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_DESCRIPTION_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_DESCRIPTION_PROPERTY))
        if (const QString s = block(textValue(p)); !s.isEmpty())
            parts.append(s);
    if (skipped(c, !parts.isEmpty()))
        return;
    icalproperty* dtstart = icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY);
    if (!dtstart) {
        ++m_out.counts.undated;
        return;
    }
    std::vector<Moment> days;
    if (!occurrences(c, dtstart, days)) {
        ++m_out.counts.unsupported;
        return;
    }
    bool landed = false;
    for (const Moment& m : days) {
        if (!inYear(m.date))
            continue;
        IcsEntry e;
        e.kind = IcsEntry::Record;
        e.row = Dates::rowOfDate(m.date, m_baseYear);
        e.text = parts.join(u'\n');
        m_out.entries.push_back(std::move(e));
        landed = true;
    }
    if (!landed)
        ++m_out.counts.outside;
}

void Reader::calendar(icalcomponent* vcal) {
    m_vcal = vcal;
    m_overrides.clear();
    // The occurrences that items with a RECURRENCE-ID replace, first.
    for (icalcomponent* c = icalcomponent_get_first_component(vcal, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(vcal, ICAL_ANY_COMPONENT)) {
        icalproperty* p = icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY);
        if (!p)
            continue;
        icaltimetype t = icalproperty_get_recurrenceid(p);
        if (zoneOf(p, t))
            if (const Moment m = moment(t); m.valid)
                m_overrides[utf8(icalcomponent_get_uid(c))].insert(m.key);
    }
    for (icalcomponent* c = icalcomponent_get_first_component(vcal, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(vcal, ICAL_ANY_COMPONENT)) {
        const bool replacing = icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY);
        switch (icalcomponent_isa(c)) {
        case ICAL_VEVENT_COMPONENT:
        case ICAL_VTODO_COMPONENT:
        case ICAL_VJOURNAL_COMPONENT: {
            // An item that replaces one occurrence keeps nothing of the rule.
            const QSet<qint64> saved = m_overrides.value(utf8(icalcomponent_get_uid(c)));
            if (replacing)
                m_overrides.remove(utf8(icalcomponent_get_uid(c)));
            if (icalcomponent_isa(c) == ICAL_VEVENT_COMPONENT)
                event(c);
            else if (icalcomponent_isa(c) == ICAL_VTODO_COMPONENT)
                todo(c);
            else
                journal(c);
            if (replacing)
                m_overrides.insert(utf8(icalcomponent_get_uid(c)), saved);
            break;
        }
        case ICAL_VTIMEZONE_COMPONENT:
            break; // read where a time names it
        default:
            ++m_out.counts.unsupported;
            break;
        }
    }
}

} // namespace

bool IcsRead(QByteArrayView bytes, int baseYear, IcsReading& out, QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (bytes.trimmed().isEmpty())
        return fail(u"ファイルが空です。"_s);
    if (bytes.contains('\0'))
        return fail(u"iCalendar のファイルではありません（NUL 文字があります）。"_s);
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return fail(u"文字コードが UTF-8 ではありません。"_s);
    if (!text.trimmed().startsWith(u"BEGIN:VCALENDAR"_s, Qt::CaseInsensitive))
        return fail(
            u"iCalendar のファイルではありません（BEGIN:VCALENDAR で始まっていません）。"_s);

    icalerror_set_errors_are_fatal(0);
    const QByteArray terminated = bytes.toByteArray(); // NUL-terminated for the parser
    std::unique_ptr<icalcomponent, void (*)(icalcomponent*)> root(
        icalparser_parse_string(terminated.constData()), icalcomponent_free);
    if (!root)
        return fail(u"iCalendar として読めません（BEGIN と END が対になっていません）。"_s);
    if (const QString e = parseError(root.get()); !e.isEmpty())
        return fail(e);

    std::vector<icalcomponent*> calendars;
    if (icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT)
        calendars.push_back(root.get());
    else
        for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_ANY_COMPONENT);
             c; c = icalcomponent_get_next_component(root.get(), ICAL_ANY_COMPONENT)) {
            if (icalcomponent_isa(c) == ICAL_VCALENDAR_COMPONENT)
                calendars.push_back(c);
            else
                ++out.counts.unsupported;
        }
    if (calendars.empty())
        return fail(u"iCalendar のファイルではありません（VCALENDAR がありません）。"_s);
    Reader reader(baseYear, out);
    for (icalcomponent* vcal : calendars)
        reader.calendar(vcal);
    return true;
}
