// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/stats/templates.h"

#include <QList>
#include <QString>

#include <vector>

class GridModel;
class YearStore;

// The statistics of several document years side by side: the same keywords counted in
// each year over the same days of the school year, one group of count columns per
// year, the oldest year on the left.
//
// Laid out for one year a table is the one-year table exactly (Kiroku_GridInit,
// Koumoku_GridInit). Laid out for several:
// - record statistics: two heading rows. Row 0 names the year ("2025年度") over the
//   first column of each group of ten; row 1 holds the second keywords, typed into the
//   first group (columns 2..11) and repeated read-only in the others. The first
//   keywords run down column 1 from row 2; year i counts in columns 2 + 10i .. 11 + 10i.
// - item statistics: keyword, target, then one count column per year headed by the
//   year, each with its bar against the target (column 3 + i for year i).

// A year counted: its base year and its days.
struct StatsYear {
    int baseYear = 0;
    const YearStore* store = nullptr;
};

// Days of a document year: the store rows first..last of the year of `baseYear`.
struct StatsRange {
    int baseYear = 0;
    int first = 0, last = 0;
};

// The same days of the school year in the year of `baseYear`: the months and days of
// the range's first and last day (kept within the range's own year) in that year. A
// 29 February the year does not have begins the range on 1 March and ends it on 28
// February. A range backwards gives an empty one; in its own year a range is itself.
StatsRange Stats_SameDays(const StatsRange& range, int baseYear);

// The heading of a year ("2025年度").
QString Stats_YearHeading(int baseYear);

// The number of years a table of the kind is laid out for.
int Stats_Years(const GridModel& cpg, TemplateKind kind);

// The row of the second keywords of the record table: 0, or 1 when it is laid out for
// several years.
int Kiroku_Key2Row(const GridModel& cpg);

// Lays the table of the kind out for `years` (base years, oldest first, at least one)
// and keeps its keywords (Stats_CopyKeywords); the cursor stays on the keyword it was
// on, else it goes to the first keyword.
void Stats_Layout(GridModel& cpg, TemplateKind kind, const QList<int>& years);

// The keywords of `from` into `to`, each table laid out for any number of years: the
// first keywords with the second keywords (record) or the targets (item), texts and
// colours. Every count and bar of `to` is emptied.
void Stats_CopyKeywords(const GridModel& from, GridModel& to, TemplateKind kind);

// The second keywords typed into the first group repeated in the other groups (a record
// table of several years); nothing else changes.
void Stats_RepeatKeywords(GridModel& cpg, TemplateKind kind);

// Counts the table, laid out for the years of `years` in that order, over the days of
// `range` in each year (Stats_SameDays). A keyword that cannot be matched gives the
// message naming it, and nothing is counted. For one year this is Kiroku_count or
// Koumoku_count.
QString Stats_Count(GridModel& cpg, TemplateKind kind, const std::vector<StatsYear>& years,
                    const StatsRange& range);

// The table of one year into `out`: the keywords of `cpg` (laid out for any number of
// years) and the counts and bars of its year `group` (0 = the leftmost).
void Stats_OneYear(const GridModel& cpg, TemplateKind kind, int group, GridModel& out);
