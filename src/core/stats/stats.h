// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

class AppState;
class GridModel;
class YearStore;

// The two statistics tables: keywords typed into the table, counts computed from the
// year store for a range of store rows (1 April = 1).
namespace Stats {
inline constexpr int KeywordRows = 50;
inline constexpr int Key2Columns = 10; // record statistics: columns 2..11
inline constexpr quint32 BarColor = 100 | (255 << 8) | (100u << 16);
} // namespace Stats

// Record statistics: 50 first keywords down column 1, 10 second keywords along row 0
// (columns 2..11, the heading row, where they are typed), the counts between, which
// are read-only. Row 0 and the numbers of column 0 are fixed; the cursor starts on the
// first keyword.
void Kiroku_GridInit(GridModel& cpg);
// Counts, for every first keyword and every second keyword, the days of first..last
// whose record holds the two words one after the other; a day counts once for each
// first keyword, in the leftmost second keyword it matches. Zero counts are empty.
// Returns a message naming the keyword when a pattern cannot be matched as written;
// nothing is counted then.
QString Kiroku_count(GridModel& cpg, const AppState& app, int first, int last);
// The same over the days of `year`.
QString Kiroku_count(GridModel& cpg, const YearStore& year, int first, int last);

// Item statistics: keyword (column 1), target (column 2), count (column 3, read-only),
// with a bar filled to count × 100 ÷ target where the target is a number above 0. Row 0
// and the numbers of column 0 are fixed; the cursor starts on the first keyword.
void Koumoku_GridInit(GridModel& cpg);
// Counts, for every keyword, the slot titles of first..last that hold it (every slot
// of a day counts). Returns a message naming the keyword when its pattern cannot be
// matched as written; nothing is counted then.
QString Koumoku_count(GridModel& cpg, const AppState& app, int first, int last);
// The same over the days of `year`.
QString Koumoku_count(GridModel& cpg, const YearStore& year, int first, int last);

// A target of the item statistics as a number: the text read as a decimal number
// (blanks around it allowed); nothing unless that is a finite number above 0.
std::optional<double> Koumoku_target(const QString& text);

// The message for a keyword whose pattern cannot be matched.
QString Stats_BadKeyword(const QString& keyword, const QString& reason);
