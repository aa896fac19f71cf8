// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/search.h"

#include "core/search/wildcard.h"
#include "core/store/appstate.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

std::pair<int, int> dayRows(int first, int last) {
    return {std::max(first, 1), std::min(last, YearStore::DayRows)};
}

// A cut at `at` moved off the second half of a surrogate pair.
qsizetype whole(QStringView text, qsizetype at, int direction) {
    if (at > 0 && at < text.size() && text[at].isLowSurrogate() && text[at - 1].isHighSurrogate())
        return at + direction;
    return at;
}

// A ToDo day string as its items read: "済 09:00 普通 会議／…".
QString readableToDo(QStringView dayString) {
    QStringList items;
    for (const ToDoItem& item : ToDo_Parse(dayString.toString())) {
        QStringList fields;
        if (item.done())
            fields << u"済"_s;
        for (const QString& f : {item.time, item.category, item.text})
            if (!f.isEmpty())
                fields << f;
        items << fields.join(u' ');
    }
    return items.join(u'／');
}

} // namespace

QStringList Search_Days(const AppState& app, int first, int last, const Wildcard& pattern) {
    QStringList days;
    const auto [from, to] = dayRows(first, last);
    for (int d = from; d <= to; ++d)
        for (int c = StoreCol::Weekday; c <= StoreCol::ToDo; ++c)
            if (pattern.matches(app.store().text(d, c))) {
                days.append(app.store().text(d, StoreCol::Date));
                break;
            }
    return days;
}

std::vector<SearchHit> Search_Hits(const AppState& app, int first, int last,
                                   const Wildcard& pattern) {
    return Search_Hits(app.store(), app.baseYear(), first, last, pattern);
}

std::vector<SearchHit> Search_Hits(const YearStore& store, int baseYear, int first, int last,
                                   const Wildcard& pattern, SearchText texts) {
    std::vector<SearchHit> hits;
    const auto [from, to] = dayRows(first, last);
    for (int d = from; d <= to; ++d)
        for (int c = StoreCol::Weekday; c <= StoreCol::ToDo; ++c) {
            const QString& text = store.text(d, c);
            if (!pattern.matches(text))
                continue;
            hits.push_back({Dates::dateOfRow(d, baseYear), c,
                            Search_Context(text, pattern, SearchContextChars, c == StoreCol::ToDo),
                            texts == SearchText::Whole ? text : QString()});
        }
    return hits;
}

QString Search_Context(QStringView text, const Wildcard& pattern, int around, bool toDo) {
    if (toDo) {
        // Shown as the items read where the match lies within them, as stored where it
        // does not (a match on the separators).
        const QString items = readableToDo(text);
        if (pattern.find(items))
            return Search_Context(items, pattern, around, false);
    }
    const auto span = pattern.find(text);
    if (!span)
        return {};
    around = std::max(around, 0);
    const qsizetype matchEnd = span->start + span->length;
    const qsizetype start = whole(text, std::max<qsizetype>(0, span->start - around), 1);
    // A long match is shown from its start, as far as three times `around`.
    const qsizetype end = whole(
        text, std::min({text.size(), matchEnd + around, span->start + 3 * qsizetype(around)}), -1);
    QString out;
    if (start > 0)
        out += u'…';
    out += text.sliced(start, end - start);
    if (end < text.size())
        out += u'…';
    // One line: CR LF, CR, LF, the line and paragraph separators and tabs as spaces.
    out.replace(u"\r\n"_s, u" "_s);
    for (QChar& ch : out)
        if (ch == u'\r' || ch == u'\n' || ch == u'\t' || ch == QChar::LineSeparator ||
            ch == QChar::ParagraphSeparator)
            ch = u' ';
    return out;
}

QString Search_FieldName(int column) {
    const auto& headings = storeHeadings();
    return column >= 1 && column < int(headings.size()) ? headings[size_t(column)] : QString();
}

QString Search_HitLine(const SearchHit& hit) {
    return u"%1(%2)　%3：%4"_s.arg(Dates::toStoreText(hit.date), Dates::weekdayLetter(hit.date),
                                   Search_FieldName(hit.column), hit.context);
}
