// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sync/syncdoc.h"

#include "core/export/icsimport.h"
#include "core/store/yearstore.h"
#include "core/time/dates.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

QString lineBreaks(QString s) {
    s.replace(u"\r\n"_s, u"\n"_s);
    s.replace(u'\r', u'\n');
    return s;
}

// Takes the last whole-line occurrence of `lines` out of `text` (line breaks "\n"),
// with the line break before it (after it, for the first line). False when none.
bool removeLines(QString& text, const QString& lines) {
    if (lines.isEmpty())
        return true;
    for (qsizetype at = text.lastIndexOf(lines); at >= 0;
         at = at > 0 ? text.lastIndexOf(lines, at - 1) : -1) {
        const qsizetype end = at + lines.size();
        if ((at > 0 && text[at - 1] != u'\n') || (end < text.size() && text[end] != u'\n'))
            continue;
        if (at > 0)
            text.remove(at - 1, end - at + 1);
        else
            text.remove(0, std::min(end + 1, text.size()));
        return true;
    }
    return false;
}

QString joinLines(const QString& a, const QString& b) {
    return a.isEmpty() ? b : b.isEmpty() ? a : a + u'\n' + b;
}

bool sameItem(const ToDoItem& a, const ToDoItem& b) {
    return a.done() == b.done() && a.time == b.time && a.category == b.category && a.text == b.text;
}

// The index of the last item of `items` not `taken` that is `wanted`; -1 when none.
int findItem(const std::vector<ToDoItem>& items, const std::vector<bool>& taken,
             const ToDoItem& wanted) {
    for (int i = int(items.size()) - 1; i >= 0; --i)
        if (!taken[size_t(i)] && sameItem(items[size_t(i)], wanted))
            return i;
    return -1;
}

ToDoItem itemOf(const QString& dayString) {
    const std::vector<ToDoItem> items = ToDo_Parse(dayString);
    return items.empty() ? ToDoItem{} : items.front();
}

QString itemString(const ToDoItem& i) {
    return u'|' + i.flag + u',' + i.time + u',' + i.category + u',' + i.text;
}

} // namespace

std::optional<SyncUid> Sync_OwnUid(QStringView uid, const QUuid& documentId, int baseYear) {
    static const QRegularExpression form(u"^([0-9a-f]{32})-(\\d{8})-(events|record|slot([1-7])|"
                                         u"todo-[0-9a-f]{12}(?:-[1-9][0-9]{0,5})?)@daylog$"_s);
    const QRegularExpressionMatch m = form.match(uid.toString());
    if (!m.hasMatch() || m.capturedView(1) != documentId.toString(QUuid::Id128))
        return std::nullopt;
    const QDate day = QDate::fromString(m.captured(2), u"yyyyMMdd"_s);
    const int row = day.isValid() ? Dates::rowOfDate(day, baseYear) : 0;
    if (row < 1 || row > YearStore::DayRows)
        return std::nullopt;
    SyncUid at;
    at.row = row;
    at.kindName = m.captured(3).toLatin1();
    if (at.kindName == "events")
        at.kind = ICalendarEntry::Events;
    else if (at.kindName == "record")
        at.kind = ICalendarEntry::Record;
    else if (at.kindName.startsWith("slot")) {
        at.kind = ICalendarEntry::Slot;
        at.slot = m.captured(4).toInt() - 1;
    } else
        at.kind = ICalendarEntry::ToDo;
    return at;
}

SyncDoc::SyncDoc(const YearStore& store, int baseYear, const std::map<QString, SyncItem>& items)
    : SyncDoc(store, nullptr, baseYear, items) {}

SyncDoc::SyncDoc(YearStore& store, int baseYear, const std::map<QString, SyncItem>& items)
    : SyncDoc(store, &store, baseYear, items) {}

SyncDoc::SyncDoc(const YearStore& store, YearStore* writable, int baseYear,
                 const std::map<QString, SyncItem>& items)
    : m_store(store), m_writable(writable), m_baseYear(baseYear) {
    // What is left of each cell once the whole items so far are taken out of it.
    std::map<std::pair<int, int>, QString> left;
    std::map<int, std::pair<std::vector<ToDoItem>, std::vector<bool>>> leftItems;
    for (const auto& [uid, item] : items) {
        if (!item.foreign || item.pending)
            continue;
        auto lines = left;
        auto todo = leftItems;
        bool isWhole = true;
        for (const SyncPiece& p : item.placed) {
            if (p.col == StoreCol::ToDo) {
                auto it = todo.find(p.row);
                if (it == todo.end()) {
                    std::vector<ToDoItem> all = ToDo_Parse(m_store.text(p.row, StoreCol::ToDo));
                    const size_t n = all.size();
                    it = todo.emplace(p.row, std::pair{std::move(all), std::vector<bool>(n)}).first;
                }
                const int i = findItem(it->second.first, it->second.second, itemOf(p.text));
                if (i < 0)
                    isWhole = false;
                else
                    it->second.second[size_t(i)] = true;
            } else {
                auto it = lines.find({p.row, p.col});
                if (it == lines.end())
                    it = lines.emplace(std::pair{p.row, p.col}, base(p.row, p.col)).first;
                if (!removeLines(it->second, p.text))
                    isWhole = false;
            }
            if (!isWhole)
                break;
        }
        if (!isWhole)
            continue;
        left = std::move(lines);
        leftItems = std::move(todo);
        m_whole.insert(uid);
        for (const SyncPiece& p : item.placed)
            m_foreign[{p.row, p.col}].push_back(p.text);
    }
}

QString SyncDoc::base(int row, int col) const {
    QString text = m_store.text(row, col);
    if (text.isEmpty())
        return text;
    if (col == StoreCol::Events)
        text.remove(0, ICalendar::holidayLength(text, Dates::dateOfRow(row, m_baseYear)));
    return lineBreaks(std::move(text));
}

QString SyncDoc::ownText(int row, int col) const {
    QString text = base(row, col);
    if (const auto it = m_foreign.find({row, col}); it != m_foreign.end())
        for (const QString& lines : it->second)
            removeLines(text, lines);
    return text;
}

std::vector<ToDoItem> SyncDoc::todos(int row, std::vector<bool>* foreign) const {
    std::vector<ToDoItem> items = ToDo_Parse(m_store.text(row, StoreCol::ToDo));
    foreign->assign(items.size(), false);
    if (const auto it = m_foreign.find({row, StoreCol::ToDo}); it != m_foreign.end())
        for (const QString& piece : it->second)
            if (const int i = findItem(items, *foreign, itemOf(piece)); i >= 0)
                (*foreign)[size_t(i)] = true;
    return items;
}

std::map<QString, ICalendarEntry> SyncDoc::ownEntries() const {
    using namespace StoreCol;
    std::map<QString, ICalendarEntry> out;
    const QUuid& id = m_store.documentId();
    auto add = [&](ICalendarEntry e) {
        out.emplace(QString::fromLatin1(ICalendar::uid(id, e.day, e.kindName)), std::move(e));
    };
    for (int row = 1; row <= YearStore::DayRows; ++row) {
        const QDate day = Dates::dateOfRow(row, m_baseYear);
        if (QString t = ownText(row, Events); !t.isEmpty())
            add({ICalendarEntry::Events, day, 0, {}, std::move(t), {}, {}, false, "events"});
        if (QString t = ownText(row, Record); !t.isEmpty())
            add({ICalendarEntry::Record, day, 0, {}, std::move(t), {}, {}, false, "record"});
        for (int i = 0; i < 7; ++i) {
            QString title = ownText(row, SlotItem1 + i), content = ownText(row, SlotText1 + i);
            if (!title.isEmpty() || !content.isEmpty())
                add({ICalendarEntry::Slot,
                     day,
                     i,
                     std::move(title),
                     std::move(content),
                     {},
                     {},
                     false,
                     "slot" + QByteArray::number(i + 1)});
        }
        if (m_store.text(row, ToDo).isEmpty())
            continue;
        std::vector<bool> foreign;
        const std::vector<ToDoItem> items = todos(row, &foreign);
        std::map<QByteArray, int> seen;
        for (size_t i = 0; i < items.size(); ++i) {
            if (foreign[i])
                continue;
            const ToDoItem& t = items[i];
            const int n = ++seen[ICalendar::todoKind(t.time, t.category, t.text, 1)];
            add({ICalendarEntry::ToDo,
                 day,
                 0,
                 {},
                 t.text,
                 t.time,
                 t.category,
                 t.done(),
                 ICalendar::todoKind(t.time, t.category, t.text, n)});
        }
    }
    return out;
}

void SyncDoc::write(int row, int col, const QString& text) {
    Q_ASSERT(m_writable);
    if (m_writable->text(row, col) != text)
        m_writable->set(row, col, text);
}

void SyncDoc::writeToDos(int row, const std::vector<ToDoItem>& items) {
    QString day;
    for (const ToDoItem& i : items)
        day += itemString(i);
    write(row, StoreCol::ToDo, day);
}

void SyncDoc::setOwn(const SyncUid& at, const ICalendarEntry* value) {
    using namespace StoreCol;
    const auto cell = [&](int col, const QString& own, const QString& kept) {
        QString text = joinLines(kept, own);
        if (const auto it = m_foreign.find({at.row, col}); it != m_foreign.end())
            for (const QString& lines : it->second)
                text = IcsLines::appended(text, lines);
        write(at.row, col, text);
    };
    switch (at.kind) {
    case ICalendarEntry::Events: {
        const QString now = m_store.text(at.row, Events);
        QString holiday =
            now.left(ICalendar::holidayLength(now, Dates::dateOfRow(at.row, m_baseYear)));
        while (holiday.endsWith(u'\n') || holiday.endsWith(u'\r'))
            holiday.chop(1);
        cell(Events, value ? value->text : QString(), holiday);
        break;
    }
    case ICalendarEntry::Record:
        cell(Record, value ? value->text : QString(), {});
        break;
    case ICalendarEntry::Slot:
        cell(SlotItem1 + at.slot, value ? value->title : QString(), {});
        cell(SlotText1 + at.slot, value ? value->text : QString(), {});
        break;
    case ICalendarEntry::ToDo: {
        std::vector<bool> foreign;
        std::vector<ToDoItem> items = todos(at.row, &foreign);
        std::map<QByteArray, int> seen;
        int found = -1;
        for (size_t i = 0; i < items.size() && found < 0; ++i) {
            const ToDoItem& t = items[i];
            if (foreign[i])
                continue;
            const int n = ++seen[ICalendar::todoKind(t.time, t.category, t.text, 1)];
            if (ICalendar::todoKind(t.time, t.category, t.text, n) == at.kindName)
                found = int(i);
        }
        if (!value) {
            if (found >= 0)
                items.erase(items.begin() + found);
        } else {
            ToDoItem item =
                itemOf(ToDo_ItemString(value->done, value->time, value->category, value->text));
            if (found >= 0)
                items[size_t(found)] = std::move(item);
            else if (std::none_of(items.begin(), items.end(),
                                  [&](const ToDoItem& i) { return sameItem(i, item); }))
                items.push_back(std::move(item)); // not held already under another name
        }
        writeToDos(at.row, items);
        break;
    }
    }
}

void SyncDoc::addToDo(int row, bool done, const QString& time, const QString& category,
                      const QString& text) {
    write(row, StoreCol::ToDo,
          m_store.text(row, StoreCol::ToDo) + ToDo_ItemString(done, time, category, text));
}

void SyncDoc::forget(const QString& uid, const std::vector<SyncPiece>& pieces) {
    if (!m_whole.erase(uid))
        return;
    for (const SyncPiece& p : pieces) {
        std::vector<QString>& texts = m_foreign[{p.row, p.col}];
        if (const auto it = std::find(texts.begin(), texts.end(), p.text); it != texts.end())
            texts.erase(it);
    }
}

void SyncDoc::takeOut(const std::vector<SyncPiece>& pieces) {
    for (const SyncPiece& p : pieces) {
        if (p.col == StoreCol::ToDo) {
            std::vector<ToDoItem> items = ToDo_Parse(m_store.text(p.row, StoreCol::ToDo));
            const int i = findItem(items, std::vector<bool>(items.size()), itemOf(p.text));
            if (i < 0)
                continue;
            items.erase(items.begin() + i);
            writeToDos(p.row, items);
            m_todoAt[p.row] = i;
            continue;
        }
        // The piece whole, else each of its lines still there (the rest changed here).
        QString text = lineBreaks(m_store.text(p.row, p.col));
        if (!removeLines(text, p.text))
            for (const QString& line : p.text.split(u'\n'))
                removeLines(text, line);
        write(p.row, p.col, text);
    }
}

std::vector<SyncPiece> SyncDoc::piecesOf(const std::vector<IcsEntry>& entries) {
    using namespace StoreCol;
    std::vector<SyncPiece> out;
    for (const IcsEntry& e : entries) {
        switch (e.kind) {
        case IcsEntry::Event:
            out.push_back({e.row, Events, e.text});
            break;
        case IcsEntry::Slot:
            if (!e.text.isEmpty())
                out.push_back({e.row, SlotItem1 + e.slot, e.text});
            if (!e.content.isEmpty())
                out.push_back({e.row, SlotText1 + e.slot, e.content});
            break;
        case IcsEntry::Record:
            out.push_back({e.row, Record, e.text});
            break;
        case IcsEntry::ToDo:
            out.push_back({e.row, ToDo, ToDo_ItemString(e.done, e.time, e.category, e.text)});
            break;
        }
    }
    return out;
}

bool SyncDoc::holds(const std::vector<IcsEntry>& entries) const {
    using namespace StoreCol;
    const auto held = [&](int row, int col, const QString& lines) {
        return IcsLines::holds(ownText(row, col), lines);
    };
    for (const IcsEntry& e : entries) {
        switch (e.kind) {
        case IcsEntry::Event:
            if (!held(e.row, Events, e.text))
                return false;
            break;
        case IcsEntry::Slot:
            if (!held(e.row, SlotItem1 + e.slot, e.text) ||
                !held(e.row, SlotText1 + e.slot, e.content))
                return false;
            break;
        case IcsEntry::Record:
            if (!held(e.row, Record, e.text))
                return false;
            break;
        case IcsEntry::ToDo: {
            std::vector<bool> foreign;
            const std::vector<ToDoItem> items = todos(e.row, &foreign);
            if (findItem(items, foreign,
                         itemOf(ToDo_ItemString(e.done, e.time, e.category, e.text))) < 0)
                return false;
            break;
        }
        }
    }
    return true;
}

std::vector<SyncPiece> SyncDoc::place(const QString& uid, const std::vector<IcsEntry>& entries) {
    using namespace StoreCol;
    // A foreign item's line the document's own text holds already is taken as its (a
    // sync cut off after the document took it, or the same line typed on both sides);
    // a line of another foreign item is not. The document's own lines are added once.
    const bool claim = !uid.isEmpty();
    std::vector<SyncPiece> added;
    const auto addLines = [&](int row, const std::vector<std::pair<int, QString>>& parts) {
        const auto held = [&](int col, const QString& lines) {
            return IcsLines::holds(claim ? ownText(row, col) : m_store.text(row, col), lines);
        };
        bool all = true;
        for (const auto& [col, lines] : parts)
            all = all && held(col, lines);
        for (const auto& [col, lines] : parts) {
            if (lines.isEmpty())
                continue;
            if (!held(col, lines))
                write(row, col, IcsLines::appended(m_store.text(row, col), lines));
            else if (!claim || !all)
                continue;
            added.push_back({row, col, lines});
            if (claim)
                m_foreign[{row, col}].push_back(lines);
        }
    };
    for (const IcsEntry& e : entries) {
        switch (e.kind) {
        case IcsEntry::Event:
            addLines(e.row, {{Events, e.text}});
            break;
        case IcsEntry::Slot:
            addLines(e.row, {{SlotItem1 + e.slot, e.text}, {SlotText1 + e.slot, e.content}});
            break;
        case IcsEntry::Record:
            addLines(e.row, {{Record, e.text}});
            break;
        case IcsEntry::ToDo: {
            const QString piece = ToDo_ItemString(e.done, e.time, e.category, e.text);
            const ToDoItem wanted = itemOf(piece);
            std::vector<bool> foreign;
            std::vector<ToDoItem> items = todos(e.row, &foreign);
            if (claim) {
                if (findItem(items, foreign, wanted) < 0) {
                    insertItem(e.row, items, wanted);
                } // else the document's own item is taken as it
                added.push_back({e.row, ToDo, piece});
                m_foreign[{e.row, ToDo}].push_back(piece);
            } else if (std::none_of(items.begin(), items.end(), [&](const ToDoItem& i) {
                           return i.time == wanted.time && i.text == wanted.text;
                       })) {
                insertItem(e.row, items, wanted);
            }
            break;
        }
        }
    }
    if (claim)
        m_whole.insert(uid);
    return added;
}

void SyncDoc::insertItem(int row, std::vector<ToDoItem>& items, const ToDoItem& item) {
    size_t where = items.size();
    if (const auto at = m_todoAt.find(row); at != m_todoAt.end()) {
        where = std::min(size_t(at->second), items.size());
        m_todoAt.erase(at);
    }
    items.insert(items.begin() + qsizetype(where), item);
    writeToDos(row, items);
}
