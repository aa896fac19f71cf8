// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/icsimport.h"

#include "core/export/icsreader.h"
#include "core/store/doclimits.h"
#include "core/store/documentfile.h"
#include "core/store/yearstore.h"
#include "core/todo/todostring.h"

#include <map>

using namespace Qt::StringLiterals;

QString IcsImportSummary::text() const {
    QString s = u"取り込んだもの: 行事 %1件、時間帯 %2件、ToDo %3件、記録 %4件"_s.arg(events)
                    .arg(slots)
                    .arg(todos)
                    .arg(records);
    const std::pair<int, const char16_t*> lines[] = {
        {present, u"すでに入っていたもの"},
        {outside, u"年度の外の日付のもの"},
        {undated, u"日付のないもの"},
        {empty, u"内容のないもの"},
        {cancelled, u"取り消された予定"},
        {unsupported, u"取り込めない種類のもの（空き時間情報、不明な時刻帯など）"},
        {tooLong, u"欄の文字数の上限を超えるため入れなかったもの"},
    };
    for (const auto& [count, what] : lines)
        if (count > 0)
            s += u'\n' + QString::fromUtf16(what) + u": %1件"_s.arg(count);
    return s;
}

namespace IcsLines {

bool holds(const QString& text, const QString& lines) {
    if (lines.isEmpty())
        return true;
    QString t = text;
    t.replace(u"\r\n"_s, u"\n"_s);
    t.replace(u'\r', u'\n');
    for (qsizetype at = t.indexOf(lines); at >= 0; at = t.indexOf(lines, at + 1)) {
        const qsizetype end = at + lines.size();
        if ((at == 0 || t[at - 1] == u'\n') && (end == t.size() || t[end] == u'\n'))
            return true;
    }
    return false;
}

QString appended(const QString& text, const QString& lines) {
    return text.isEmpty() ? lines : text + u'\n' + lines;
}

} // namespace IcsLines

namespace {

using IcsLines::appended;
using IcsLines::holds;

// The year's texts as the import leaves them: the store's, with the import's changes.
class Texts {
public:
    explicit Texts(const YearStore& store) : m_store(store) {}
    QString get(int row, int col) const {
        const auto it = m_changed.find({row, col});
        return it != m_changed.end() ? it->second : m_store.text(row, col);
    }
    void set(int row, int col, const QString& text) { m_changed[{row, col}] = text; }
    const std::map<std::pair<int, int>, QString>& changed() const { return m_changed; }

private:
    const YearStore& m_store;
    std::map<std::pair<int, int>, QString> m_changed;
};

enum class Outcome { Added, Present, TooLong };

Outcome addLines(Texts& texts, int row, const std::vector<std::pair<int, QString>>& parts) {
    std::vector<std::pair<int, QString>> writes;
    for (const auto& [col, lines] : parts) {
        const QString now = texts.get(row, col);
        if (holds(now, lines))
            continue;
        const QString next = appended(now, lines);
        if (next.size() > DocLimits::MaxTextChars)
            return Outcome::TooLong;
        writes.emplace_back(col, next);
    }
    if (writes.empty())
        return Outcome::Present;
    for (const auto& [col, text] : writes)
        texts.set(row, col, text);
    return Outcome::Added;
}

Outcome addToDo(Texts& texts, const IcsEntry& e) {
    const QString now = texts.get(e.row, StoreCol::ToDo);
    const QString item = ToDo_ItemString(e.done, e.time, e.category, e.text);
    // Compared as stored (a "|" typed becomes "｜"), by time and task: a task the user
    // has ticked or given another category since is still the same task.
    const ToDoItem wanted = ToDo_Parse(item).front();
    for (const ToDoItem& have : ToDo_Parse(now))
        if (have.time == wanted.time && have.text == wanted.text)
            return Outcome::Present;
    const QString next = now + item;
    if (next.size() > DocLimits::MaxTextChars)
        return Outcome::TooLong;
    texts.set(e.row, StoreCol::ToDo, next);
    return Outcome::Added;
}

} // namespace

bool Import_ICalendar(QByteArrayView bytes, YearStore& store, int baseYear,
                      IcsImportSummary& summary, QString* error) {
    IcsReading reading;
    if (!IcsRead(bytes, baseYear, reading, error))
        return false;
    IcsImportSummary counts = reading.counts;
    Texts texts(store);
    for (const IcsEntry& e : reading.entries) {
        Outcome outcome = Outcome::Present;
        int* added = nullptr;
        switch (e.kind) {
        case IcsEntry::Event:
            outcome = addLines(texts, e.row, {{StoreCol::Events, e.text}});
            added = &counts.events;
            break;
        case IcsEntry::Slot:
            outcome = addLines(texts, e.row,
                               {{StoreCol::SlotItem1 + e.slot, e.text},
                                {StoreCol::SlotText1 + e.slot, e.content}});
            added = &counts.slots;
            break;
        case IcsEntry::ToDo:
            outcome = addToDo(texts, e);
            added = &counts.todos;
            break;
        case IcsEntry::Record:
            outcome = addLines(texts, e.row, {{StoreCol::Record, e.text}});
            added = &counts.records;
            break;
        }
        if (outcome == Outcome::Added)
            ++*added;
        else if (outcome == Outcome::Present)
            ++counts.present;
        else
            ++counts.tooLong;
    }
    std::vector<DocLimits::CellText> cells;
    cells.reserve(texts.changed().size());
    for (const auto& [at, text] : texts.changed())
        cells.push_back({at.first, at.second, text});
    if (const QString refusal = DocLimits::refusal(store, cells); !refusal.isEmpty()) {
        if (error)
            *error = u"取り込むと文書に入りきりません。"_s + refusal;
        return false;
    }
    for (const DocLimits::CellText& c : cells)
        store.set(c.row, c.col, c.text);
    summary = counts;
    return true;
}
