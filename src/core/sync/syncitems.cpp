// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sync/syncitems.h"

#include "core/store/yearstore.h"
#include "core/time/clock.h"
#include "core/time/dates.h"

#include <QCryptographicHash>

#include <libical/ical.h>

#include <memory>

using namespace Qt::StringLiterals;
using ICalendar::plainText;

namespace {

// What a reader of an entry's component gets back from the properties the export
// derives from its texts.
struct Props {
    QString summary, description;
    bool described = false;
    QString categories;
    bool hasCategories = false;
    int priority = 0;
    QString time; // ToDo: "hh:mm" of a DUE time, empty for a DUE date
    bool operator==(const Props&) const = default;
};

int priorityOf(const QString& category) {
    if (category == u"最重")
        return 1;
    if (category == u"重要")
        return 3;
    if (category == u"普通")
        return 5;
    if (category == u"要軽")
        return 9;
    return 0;
}

// The category a reader gives a PRIORITY (as the import does).
QString categoryOf(int priority) {
    if (priority >= 1 && priority <= 2)
        return u"最重"_s;
    if (priority >= 3 && priority <= 4)
        return u"重要"_s;
    if (priority >= 6 && priority <= 9)
        return u"要軽"_s;
    return u"普通"_s;
}

ICalendarEntry plain(ICalendarEntry e) {
    e.title = plainText(e.title);
    e.text = plainText(e.text);
    e.time = plainText(e.time);
    e.category = plainText(e.category);
    if (e.kind != ICalendarEntry::ToDo)
        e.done = false;
    return e;
}

Props propsOf(const ICalendarEntry& e) {
    const ICalendar::SummaryText st = ICalendar::summaryText(e);
    Props p;
    p.summary = st.summary;
    p.description = st.description;
    p.described = st.described;
    if (e.kind == ICalendarEntry::ToDo) {
        p.hasCategories = !e.category.isEmpty();
        p.categories = plainText(e.category);
        p.priority = priorityOf(e.category);
        p.time = ToDo_TimeMinutes(e.time) >= 0 ? e.time : QString();
    }
    return p;
}

QString joinLines(const QString& a, const QString& b) {
    return a.isEmpty() ? b : b.isEmpty() ? a : a + u'\n' + b;
}

QString summaryOf(ICalendarEntry::Kind kind, const QString& text) {
    ICalendarEntry e;
    e.kind = kind;
    e.text = text;
    return ICalendar::summaryText(e).summary;
}

// The texts of an entry at `e`'s place (kind, day, slot, UID kind) from what a reader
// gets back of its properties: the texts themselves where the export gives them back,
// and nothing of a summary that is no summary of the description dropped.
void fromProps(ICalendarEntry& e, const Props& p) {
    const QString s = p.summary.trimmed();
    switch (e.kind) {
    case ICalendarEntry::Events:
    case ICalendarEntry::Record:
        e.text = !p.described                                    ? s
                 : summaryOf(e.kind, p.description) == p.summary ? p.description
                                                                 : joinLines(s, p.description);
        break;
    case ICalendarEntry::Slot:
        e.title = !p.described || summaryOf(e.kind, p.description) != p.summary ? s : QString();
        e.text = p.described ? p.description : QString();
        break;
    case ICalendarEntry::ToDo:
        e.text = !p.described                                    ? s
                 : summaryOf(e.kind, p.description) == p.summary ? p.description
                 : s.isEmpty()                                   ? p.description
                                                                 : s + u' ' + p.description;
        e.time = p.time;
        e.category = p.hasCategories && priorityOf(p.categories) == p.priority ? p.categories
                     : p.priority > 0 ? categoryOf(p.priority)
                                      : p.categories;
        break;
    }
}

// X-DAYLOG-<name> with `value`; a property without a value is not read back, so an
// empty text is said by X-DAYLOG-EMPTY:<name>.
QByteArray contentLine(const char* name, const QString& value) {
    if (value.isEmpty())
        return "X-DAYLOG-EMPTY:" + QByteArray(name) + "\r\n";
    return ICalendar::foldLine(u"X-DAYLOG-"_s + QString::fromLatin1(name) + u':' +
                               ICalendar::escapeText(value));
}

QString utf8(const char* s) {
    return s ? QString::fromUtf8(s) : QString();
}

QString valueText(icalproperty* p) {
    const icalvalue* v = icalproperty_get_value(p);
    if (!v)
        return {};
    if (icalvalue_isa(v) == ICAL_TEXT_VALUE)
        return utf8(icalvalue_get_text(v));
    if (icalvalue_isa(v) == ICAL_X_VALUE)
        return utf8(icalvalue_get_x(v));
    return {};
}

QString oneLine(const QString& s) {
    QString out = plainText(s).trimmed();
    for (QChar& c : out)
        if (c == u'\n' || c == u'\t')
            c = u' ';
    return out;
}

icalcomponent_kind componentOf(ICalendarEntry::Kind kind) {
    return kind == ICalendarEntry::ToDo     ? ICAL_VTODO_COMPONENT
           : kind == ICalendarEntry::Record ? ICAL_VJOURNAL_COMPONENT
                                            : ICAL_VEVENT_COMPONENT;
}

bool isItem(icalcomponent* c) {
    const icalcomponent_kind k = icalcomponent_isa(c);
    return k == ICAL_VEVENT_COMPONENT || k == ICAL_VTODO_COMPONENT || k == ICAL_VJOURNAL_COMPONENT;
}

// `text` with its first line that is not blank replaced by `line`.
QString withFirstLine(const QString& text, const QString& line) {
    QStringList lines = text.split(u'\n');
    for (QString& l : lines)
        if (!l.trimmed().isEmpty()) {
            l = line;
            return lines.join(u'\n');
        }
    return joinLines(line, text);
}

} // namespace

SyncResource Sync_Resource(const ICalendarEntry& entry, const QUuid& documentId,
                           const QDateTime& stamp) {
    const ICalendarEntry e = plain(entry);
    ICalendarEntry back = e;
    fromProps(back, propsOf(e));
    QByteArray extra;
    if (back.title != e.title)
        extra += contentLine("TITLE", e.title);
    if (back.text != e.text)
        extra += contentLine("TEXT", e.text);
    if (back.time != e.time)
        extra += contentLine("TIME", e.time);
    SyncResource r;
    r.entry = entry;
    r.ics = ICalendar::resource(entry, documentId,
                                stamp.isValid() ? stamp : Clock::currentDateTime(), extra);
    // The component without its DTSTAMP line.
    QByteArray content = r.ics.mid(r.ics.indexOf("\r\nBEGIN:V", 10) + 2);
    if (const qsizetype at = content.indexOf("\r\nDTSTAMP:"); at >= 0)
        content.remove(at + 2, content.indexOf("\r\n", at + 2) - at);
    r.hash = QCryptographicHash::hash(content, QCryptographicHash::Sha1).toHex();
    return r;
}

SyncResources Sync_LocalResources(const YearStore& store, int baseYear, const SyncState* state,
                                  const QDateTime& stamp) {
    static const std::map<QString, SyncItem> none;
    const std::map<QString, SyncItem>& items = state ? state->items : none;
    const SyncDoc doc(store, baseYear, items);
    SyncResources out;
    const QDateTime when = stamp.isValid() ? stamp : Clock::currentDateTime();
    for (const auto& [uid, entry] : doc.ownEntries())
        out.emplace(uid, Sync_Resource(entry, store.documentId(), when));
    for (const auto& [uid, item] : items)
        if (item.foreign && doc.whole(uid) && !out.count(uid)) {
            SyncResource r;
            r.foreign = true;
            r.placed = item.placed;
            out.emplace(uid, std::move(r));
        }
    return out;
}

bool Sync_SameMeaning(const ICalendarEntry& a, const ICalendarEntry& b) {
    const ICalendarEntry x = plain(a), y = plain(b);
    return x.kind == y.kind && x.day == y.day && x.slot == y.slot && x.title == y.title &&
           x.text == y.text && x.time == y.time && x.category == y.category && x.done == y.done;
}

SyncServerItem Sync_ReadServer(QByteArrayView ics, const QUuid& documentId, int baseYear) {
    SyncServerItem out;
    IcsReading reading;
    if (!IcsRead(ics, baseYear, reading, &out.problem))
        return out;
    const QByteArray terminated = ics.toByteArray();
    std::unique_ptr<icalcomponent, void (*)(icalcomponent*)> root(
        icalparser_parse_string(terminated.constData()), icalcomponent_free);
    icalcomponent* item = nullptr;
    int items = 0;
    for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(root.get(), ICAL_ANY_COMPONENT))
        if (isItem(c) && ++items == 1)
            item = c;
    out.uid = item ? utf8(icalcomponent_get_uid(item)) : QString();
    if (out.uid.isEmpty()) {
        out.problem = u"UID のない項目です。"_s;
        return out;
    }
    const auto textOf = [&](icalproperty_kind kind, bool* present = nullptr) {
        icalproperty* p = icalcomponent_get_first_property(item, kind);
        if (present)
            *present = p != nullptr;
        return p ? plainText(valueText(p)) : QString();
    };
    const std::optional<SyncUid> at = Sync_OwnUid(out.uid, documentId, baseYear);
    if (!at) {
        // What the import adds; an all-day event or a task of one component also with its
        // place and description, which the import leaves out.
        out.shape = SyncServerItem::Foreign;
        out.entries = std::move(reading.entries);
        const QString summary = oneLine(textOf(ICAL_SUMMARY_PROPERTY));
        const QString where = oneLine(textOf(ICAL_LOCATION_PROPERTY));
        const QString what = oneLine(textOf(ICAL_DESCRIPTION_PROPERTY));
        if (items == 1 && !summary.isEmpty())
            for (IcsEntry& e : out.entries) {
                if (e.kind == IcsEntry::Event)
                    e.text = summary + (where.isEmpty() ? QString() : u" 場所:"_s + where) +
                             (what.isEmpty() ? QString() : u' ' + what);
                else if (e.kind == IcsEntry::ToDo && !what.isEmpty())
                    e.text = summary + u' ' + what;
            }
        return out;
    }

    // Row 366 of a year without 29 February is the next year's 1 April.
    const QDate day = Dates::dateOfRow(at->row, baseYear);
    if (Dates::rowOfDate(day, baseYear + 1) == 1) {
        reading = {};
        IcsRead(ics, baseYear + 1, reading, nullptr);
        std::erase_if(reading.entries, [](const IcsEntry& e) { return e.row != 1; });
        for (IcsEntry& e : reading.entries)
            e.row = at->row;
    }

    ICalendarEntry& e = out.entry;
    e.kind = at->kind;
    e.day = day;
    e.slot = at->slot;
    e.kindName = at->kindName;
    e.done = icalcomponent_get_status(item) == ICAL_STATUS_COMPLETED ||
             icalcomponent_get_first_property(item, ICAL_COMPLETED_PROPERTY);
    Props p;
    p.summary = textOf(ICAL_SUMMARY_PROPERTY);
    p.description = textOf(ICAL_DESCRIPTION_PROPERTY, &p.described);
    if (e.kind == ICalendarEntry::ToDo) {
        p.categories = textOf(ICAL_CATEGORIES_PROPERTY, &p.hasCategories);
        if (icalproperty* pr = icalcomponent_get_first_property(item, ICAL_PRIORITY_PROPERTY))
            p.priority = icalproperty_get_priority(pr);
        if (reading.entries.size() == 1)
            p.time = reading.entries.front().time;
    }
    fromProps(e, p);
    // The texts themselves, while the properties still say what they give.
    ICalendarEntry own = e;
    bool texts = false; // X-DAYLOG-… found
    for (icalproperty* x = icalcomponent_get_first_property(item, ICAL_X_PROPERTY); x;
         x = icalcomponent_get_next_property(item, ICAL_X_PROPERTY)) {
        const QByteArray name = icalproperty_get_x_name(x);
        texts = texts || name.startsWith("X-DAYLOG-");
        if (name == "X-DAYLOG-TITLE")
            own.title = plainText(valueText(x));
        else if (name == "X-DAYLOG-TEXT")
            own.text = plainText(valueText(x));
        else if (name == "X-DAYLOG-TIME")
            own.time = plainText(valueText(x));
        else if (name == "X-DAYLOG-EMPTY") {
            const QString field = valueText(x).trimmed();
            (field == u"TITLE" ? own.title : field == u"TEXT" ? own.text : own.time).clear();
        }
    }
    const Props mine = propsOf(own);
    Props summaryChanged = mine;
    summaryChanged.summary = p.summary;
    if (mine == p) {
        e = own;
    } else if (texts && summaryChanged == p) {
        // Only the summary changed: the first line it shows.
        QString& text =
            e.kind == ICalendarEntry::Slot && !own.title.isEmpty() ? own.title : own.text;
        text = withFirstLine(text, p.summary.trimmed());
        e = own;
    } else if (const QString head = own.title + u"\n\n"_s;
               e.kind == ICalendarEntry::Slot && !own.title.isEmpty() &&
               (summaryOf(ICalendarEntry::ToDo, own.title) == p.summary ||
                p.description.startsWith(head) || p.description == own.title)) {
        // A slot's title of several lines still where it was in the description: the
        // content is what follows it there, a new summary its first line.
        e.title = summaryOf(ICalendarEntry::ToDo, own.title) == p.summary
                      ? own.title
                      : withFirstLine(own.title, p.summary.trimmed());
        e.text = p.description.startsWith(head) ? p.description.mid(head.size())
                 : p.description == own.title   ? QString()
                                                : p.description;
    }

    if (reading.entries.empty()) {
        out.shape = reading.counts.cancelled || reading.counts.empty ? SyncServerItem::OwnGone
                                                                     : SyncServerItem::OwnAway;
        return out;
    }
    const IcsEntry& first = reading.entries.front();
    const IcsEntry::Kind kind = e.kind == ICalendarEntry::Events   ? IcsEntry::Event
                                : e.kind == ICalendarEntry::Record ? IcsEntry::Record
                                : e.kind == ICalendarEntry::Slot   ? IcsEntry::Slot
                                                                   : IcsEntry::ToDo;
    const bool repeated = icalcomponent_get_first_property(item, ICAL_RRULE_PROPERTY) ||
                          icalcomponent_get_first_property(item, ICAL_RDATE_PROPERTY);
    if (items == 1 && icalcomponent_isa(item) == componentOf(e.kind) && !repeated &&
        reading.entries.size() == 1 && first.kind == kind && first.row == at->row &&
        (kind != IcsEntry::Slot || first.slot == at->slot)) {
        out.shape = SyncServerItem::Own;
        return out;
    }
    out.shape = SyncServerItem::OwnMoved;
    out.entries = std::move(reading.entries);
    const QString all = joinLines(e.title, e.text);
    for (IcsEntry& m : out.entries) {
        if (m.kind == IcsEntry::Event || m.kind == IcsEntry::Record)
            m.text = all;
        else if (m.kind == IcsEntry::ToDo) {
            m.text = oneLine(all);
            if (e.kind == ICalendarEntry::ToDo) {
                m.category = e.category;
                m.done = e.done;
            }
        }
    }
    return out;
}
