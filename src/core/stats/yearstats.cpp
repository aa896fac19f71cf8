// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/stats/yearstats.h"

#include "core/grid/gridmodel.h"
#include "core/stats/stats.h"
#include "core/time/dates.h"

#include <QDate>

#include <algorithm>
#include <array>

using namespace Stats;

namespace {

// Where a table of the kind keeps what, for the number of years it is laid out for.
struct Shape {
    TemplateKind kind;
    int head;  // heading rows: the first keyword is in row `head`
    int years; // groups of counts

    bool record() const { return kind == TemplateKind::Record; }
    // The row of the second keywords (record tables).
    int keyRow() const { return head - 1; }
    // The first and the last column of a year's counts.
    int firstCol(int year) const { return record() ? 2 + Key2Columns * year : 3 + year; }
    int lastCol(int year) const { return record() ? firstCol(year) + Key2Columns - 1 : 3 + year; }
};

Shape shapeOf(const GridModel& cpg, TemplateKind kind) {
    if (kind == TemplateKind::Record)
        return {kind, std::max(1, cpg.fixedRows()), std::max(1, (cpg.cols() - 2) / Key2Columns)};
    return {kind, 1, std::max(1, cpg.cols() - 3)};
}

// A keyword cell as it moves between tables: its text and colours.
GridCell keyAt(const GridModel& cpg, int row, int col) {
    if (!cpg.valid(row, col))
        return {};
    const GridCell c = cpg.cellAt(row, col);
    GridCell k;
    k.text = c.text;
    k.fore = c.fore;
    k.back = c.back;
    return k;
}

void putKey(GridModel& cpg, int row, int col, const GridCell& k) {
    cpg.setTextMatrix(row, col, k.text);
    const GridCell now = cpg.cellAt(row, col);
    if (now.fore != k.fore)
        cpg.setForeColorAt(row, col, k.fore);
    if (now.back != k.back)
        cpg.setBackColorAt(row, col, k.back);
}

// The keywords of a table: the first keywords (column 1) and the second keywords of
// the record table or the targets of the item table.
struct Keys {
    std::array<GridCell, KeywordRows> first;
    std::vector<GridCell> second;
};

Keys keysOf(const GridModel& cpg, TemplateKind kind) {
    const Shape s = shapeOf(cpg, kind);
    Keys keys;
    for (int k = 0; k < KeywordRows; ++k)
        keys.first[size_t(k)] = keyAt(cpg, s.head + k, 1);
    if (s.record())
        for (int c = 0; c < Key2Columns; ++c)
            keys.second.push_back(keyAt(cpg, s.keyRow(), 2 + c));
    else
        for (int k = 0; k < KeywordRows; ++k)
            keys.second.push_back(keyAt(cpg, s.head + k, 2));
    return keys;
}

// Whether the cell holds a keyword (or a target) of the table.
bool isKeyCell(const Shape& s, int row, int col) {
    if (row >= s.head && row < s.head + KeywordRows)
        return col == 1 || (!s.record() && col == 2);
    return s.record() && row == s.keyRow() && col >= 2 && col < 2 + Key2Columns;
}

void putKeys(GridModel& cpg, TemplateKind kind, const Keys& keys) {
    const Shape s = shapeOf(cpg, kind);
    cpg.beginBulkEdit();
    for (int k = 0; k < KeywordRows; ++k)
        putKey(cpg, s.head + k, 1, keys.first[size_t(k)]);
    if (s.record())
        for (int c = 0; c < Key2Columns; ++c)
            putKey(cpg, s.keyRow(), 2 + c, keys.second[size_t(c)]);
    else
        for (int k = 0; k < KeywordRows; ++k)
            putKey(cpg, s.head + k, 2, keys.second[size_t(k)]);
    for (int y = 0; y < s.years; ++y)
        for (int c = s.firstCol(y); c <= s.lastCol(y); ++c)
            for (int k = 0; k < KeywordRows; ++k) {
                cpg.setTextMatrix(s.head + k, c, QString());
                cpg.setCell(GridModel::CellFloodPercent, s.head + k, c, -1);
            }
    cpg.endBulkEdit();
    Stats_RepeatKeywords(cpg, kind);
}

void numberRows(GridModel& cpg, int head) {
    for (int k = 1; k <= KeywordRows; ++k)
        cpg.setTextMatrix(head + k - 1, 0, QString::number(k));
}

// A table of one year of the kind, as its window opens.
void initOneYear(GridModel& cpg, TemplateKind kind) {
    cpg.assignData(GridData{1, 1, {GridCell{}}});
    if (kind == TemplateKind::Record)
        Kiroku_GridInit(cpg);
    else
        Koumoku_GridInit(cpg);
}

void initRecordYears(GridModel& cpg, const QList<int>& years) {
    const Shape s{TemplateKind::Record, 2, int(years.size())};
    const int last = s.head + KeywordRows - 1;
    cpg.assignData(GridData{1, 1, {GridCell{}}});
    cpg.beginBulkEdit();
    cpg.setRows(last + 1);
    cpg.setCols(s.lastCol(s.years - 1) + 1);
    cpg.setFixedRows(s.head);
    cpg.setFixedCols(1);
    cpg.setRowHeight(-1, 280);
    // Wide enough for a year over the first column of its group.
    cpg.setColWidth(-1, 1100);
    cpg.setColWidth(0, 500);
    cpg.setColWidth(1, 2000);
    for (int y = 0; y < s.years; ++y)
        cpg.setTextMatrix(0, s.firstCol(y), Stats_YearHeading(years[y]));
    cpg.setTextMatrix(s.keyRow(), 0, QStringLiteral("番号"));
    cpg.setTextMatrix(s.keyRow(), 1, QStringLiteral("キー１　＼キー２"));
    cpg.setCell(GridModel::CellAlignment, s.keyRow(), 1, s.keyRow(), cpg.cols() - 1,
                GridModel::AlignCenterCenter);
    cpg.setCell(GridModel::CellAlignment, s.head, 2, last, cpg.cols() - 1,
                GridModel::AlignRightCenter);
    // The second keywords are typed into the first group only; the counts are the
    // program's.
    cpg.setCell(GridModel::CellAccess, 0, 0, last, cpg.cols() - 1, GridModel::AccessAsLaidOut);
    cpg.setCell(GridModel::CellAccess, s.keyRow(), 2, s.keyRow(), s.lastCol(0),
                GridModel::AccessEditable);
    cpg.setCell(GridModel::CellAccess, s.head, 2, last, cpg.cols() - 1, GridModel::AccessReadOnly);
    numberRows(cpg, s.head);
    cpg.endBulkEdit();
    cpg.select(s.head, 1);
}

void initItemYears(GridModel& cpg, const QList<int>& years) {
    initOneYear(cpg, TemplateKind::Item);
    const Shape s{TemplateKind::Item, 1, int(years.size())};
    cpg.beginBulkEdit();
    cpg.setCols(s.lastCol(s.years - 1) + 1);
    for (int y = 0; y < s.years; ++y) {
        const int c = s.firstCol(y);
        cpg.setColWidth(c, 1000);
        cpg.setTextMatrix(0, c, Stats_YearHeading(years[y]));
        cpg.setCell(GridModel::CellAlignment, 0, c, GridModel::AlignCenterCenter);
        cpg.setCell(GridModel::CellAlignment, 1, c, KeywordRows, c, GridModel::AlignRightCenter);
        cpg.setCell(GridModel::CellAccess, 1, c, KeywordRows, c, GridModel::AccessReadOnly);
    }
    cpg.endBulkEdit();
}

} // namespace

StatsRange Stats_SameDays(const StatsRange& range, int baseYear) {
    if (range.baseYear == baseYear)
        return range;
    const int days =
        int(Dates::yearOrigin(range.baseYear).daysTo(Dates::yearOrigin(range.baseYear + 1)));
    const int first = std::max(range.first, 1), last = std::min(range.last, days);
    if (first > last)
        return {baseYear, 1, 0};
    auto sameDay = [&](int row, bool end) {
        const QDate d = Dates::dateOfRow(row, range.baseYear);
        const int year = d.month() >= 4 ? baseYear : baseYear + 1;
        QDate there(year, d.month(), d.day());
        if (!there.isValid()) // 29 February
            there = end ? QDate(year, 2, 28) : QDate(year, 3, 1);
        return Dates::rowOfDate(there, baseYear);
    };
    return {baseYear, sameDay(first, false), sameDay(last, true)};
}

QString Stats_YearHeading(int baseYear) {
    return QStringLiteral("%1年度").arg(baseYear);
}

int Stats_Years(const GridModel& cpg, TemplateKind kind) {
    return shapeOf(cpg, kind).years;
}

int Kiroku_Key2Row(const GridModel& cpg) {
    return shapeOf(cpg, TemplateKind::Record).keyRow();
}

void Stats_Layout(GridModel& cpg, TemplateKind kind, const QList<int>& years) {
    const Shape before = shapeOf(cpg, kind);
    const Keys keys = keysOf(cpg, kind);
    const int row = cpg.row(), col = cpg.col();
    const bool onKey = isKeyCell(before, row, col);

    if (years.size() < 2)
        initOneYear(cpg, kind);
    else if (kind == TemplateKind::Record)
        initRecordYears(cpg, years);
    else
        initItemYears(cpg, years);
    putKeys(cpg, kind, keys);
    if (onKey)
        cpg.select(row + shapeOf(cpg, kind).head - before.head, col);
}

void Stats_CopyKeywords(const GridModel& from, GridModel& to, TemplateKind kind) {
    putKeys(to, kind, keysOf(from, kind));
}

void Stats_RepeatKeywords(GridModel& cpg, TemplateKind kind) {
    const Shape s = shapeOf(cpg, kind);
    if (!s.record() || s.years < 2)
        return;
    for (int c = 0; c < Key2Columns; ++c) {
        const GridCell typed = keyAt(cpg, s.keyRow(), 2 + c);
        for (int y = 1; y < s.years; ++y)
            putKey(cpg, s.keyRow(), s.firstCol(y) + c, typed);
    }
}

QString Stats_Count(GridModel& cpg, TemplateKind kind, const std::vector<StatsYear>& years,
                    const StatsRange& range) {
    const bool record = kind == TemplateKind::Record;
    auto countOne = [record](GridModel& table, const StatsYear& year, const StatsRange& days) {
        return record ? Kiroku_count(table, *year.store, days.first, days.last)
                      : Koumoku_count(table, *year.store, days.first, days.last);
    };
    if (years.empty())
        return {};
    if (years.size() == 1)
        return countOne(cpg, years[0], Stats_SameDays(range, years[0].baseYear));

    // Each year is counted in a table of one year with the same keywords; the table
    // takes the counts once every year is counted.
    const Shape s = shapeOf(cpg, kind);
    const int n = std::min(s.years, int(years.size()));
    GridModel one;
    initOneYear(one, kind);
    Stats_CopyKeywords(cpg, one, kind);
    const Shape o = shapeOf(one, kind);
    std::vector<GridCell> counts; // year by year, row by row, column by column
    for (int y = 0; y < n; ++y) {
        const QString bad =
            countOne(one, years[size_t(y)], Stats_SameDays(range, years[size_t(y)].baseYear));
        if (!bad.isEmpty())
            return bad;
        for (int k = 0; k < KeywordRows; ++k)
            for (int c = o.firstCol(0); c <= o.lastCol(0); ++c) {
                GridCell cell;
                cell.text = one.textMatrix(o.head + k, c);
                cell.bar = qint16(one.cell(GridModel::CellFloodPercent, o.head + k, c));
                counts.push_back(cell);
            }
    }
    cpg.beginBulkEdit();
    if (!record)
        cpg.setFloodColor(one.floodColor());
    auto next = counts.cbegin();
    for (int y = 0; y < n; ++y)
        for (int k = 0; k < KeywordRows; ++k)
            for (int c = s.firstCol(y); c <= s.lastCol(y); ++c, ++next) {
                cpg.setTextMatrix(s.head + k, c, next->text);
                cpg.setCell(GridModel::CellFloodPercent, s.head + k, c, next->bar);
            }
    cpg.endBulkEdit();
    Stats_RepeatKeywords(cpg, kind);
    return {};
}

void Stats_OneYear(const GridModel& cpg, TemplateKind kind, int group, GridModel& out) {
    initOneYear(out, kind);
    Stats_CopyKeywords(cpg, out, kind);
    const Shape s = shapeOf(cpg, kind), o = shapeOf(out, kind);
    if (group < 0 || group >= s.years)
        return;
    out.beginBulkEdit();
    out.setFloodColor(cpg.floodColor());
    for (int k = 0; k < KeywordRows; ++k)
        for (int c = 0; c <= o.lastCol(0) - o.firstCol(0); ++c) {
            const int row = s.head + k, col = s.firstCol(group) + c;
            out.setTextMatrix(o.head + k, o.firstCol(0) + c, cpg.textMatrix(row, col));
            out.setCell(GridModel::CellFloodPercent, o.head + k, o.firstCol(0) + c,
                        cpg.cell(GridModel::CellFloodPercent, row, col));
        }
    out.endBulkEdit();
}
