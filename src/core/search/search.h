// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

class AppState;
class Wildcard;
class YearStore;

// The texts of a day the search looks at: the store columns Weekday..ToDo (weekday,
// events, record, the seven slot titles and contents, the ToDo items), in this order.

// The days of the store rows first..last (1 April = 1) on which any text of the day
// matches `pattern`, as their date texts in ascending order, each day once.
QStringList Search_Days(const AppState& app, int first, int last, const Wildcard& pattern);

// One text of a day that holds what was searched for.
struct SearchHit {
    QDate date;
    int column = 0;  // the store column (StoreCol::Weekday..StoreCol::ToDo)
    QString context; // the text around the match (Search_Context)
    QString text;    // the whole text, when asked for (SearchText::Whole)
};

// Whether a hit carries the whole text of its field besides the context.
enum class SearchText { ContextOnly, Whole };

// Characters of context shown either side of a match.
inline constexpr int SearchContextChars = 15;

// Every text of the days first..last that matches `pattern`: the days in ascending
// order, a day's texts in column order, each text once. The days are those of
// Search_Days.
std::vector<SearchHit> Search_Hits(const AppState& app, int first, int last,
                                   const Wildcard& pattern);
// The same in a year store of the year beginning 1 April `baseYear`.
std::vector<SearchHit> Search_Hits(const YearStore& store, int baseYear, int first, int last,
                                   const Wildcard& pattern,
                                   SearchText texts = SearchText::ContextOnly);

// The text around the first match of `pattern` in `text`, on one line: the match with
// up to `around` characters either side (a long match as far as 3 × `around`
// characters from its start), "…" where the text goes on; line breaks and tabs are shown
// as spaces, a character outside the BMP is never cut in half. A ToDo day string is
// shown as its items ("済" for a done one, time, category, text; "／" between items)
// where the match lies within that form. Empty when `text` does not match.
QString Search_Context(QStringView text, const Wildcard& pattern, int around = SearchContextChars,
                       bool toDo = false);

// What a store column is called: its heading in the annual table ("曜日",
// "今日の行事", "記録", "１(～9)項目", …, "ToDo").
QString Search_FieldName(int column);

// A hit as the search window lists it: "2005/04/20(水)　今日の行事：遠足説明会".
QString Search_HitLine(const SearchHit& hit);
