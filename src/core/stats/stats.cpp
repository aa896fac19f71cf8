// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/stats/stats.h"

#include "core/grid/gridmodel.h"
#include "core/search/wildcard.h"
#include "core/store/appstate.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

using namespace Stats;

namespace {

void numberRows(GridModel& cpg) {
    for (int k = 1; k <= KeywordRows; ++k)
        cpg.setTextMatrix(k, 0, QString::number(k));
}

std::pair<int, int> dayRows(int first, int last) {
    return {std::max(first, 1), std::min(last, YearStore::DayRows)};
}

} // namespace

std::optional<double> Koumoku_target(const QString& text) {
    bool isNumber = false;
    // Digits typed full width ("１０") are the same number.
    const double target =
        text.normalized(QString::NormalizationForm_KC).trimmed().toDouble(&isNumber);
    if (!isNumber || !std::isfinite(target) || target <= 0)
        return std::nullopt;
    return target;
}

QString Stats_BadKeyword(const QString& keyword, const QString& reason) {
    return QStringLiteral("キーワード「%1」は使えません。%2。").arg(keyword, reason);
}

void Kiroku_GridInit(GridModel& cpg) {
    cpg.beginBulkEdit();
    cpg.setRows(KeywordRows + 1);
    cpg.setCols(2 + Key2Columns);
    cpg.setFixedRows(1);
    cpg.setFixedCols(1);
    cpg.setRowHeight(-1, 280);
    // The second keywords are typed in the heading row: wide enough to read a word.
    cpg.setColWidth(-1, 800);
    cpg.setColWidth(0, 500);
    cpg.setColWidth(1, 2000);
    cpg.setTextMatrix(0, 0, QStringLiteral("番号"));
    cpg.setTextMatrix(0, 1, QStringLiteral("キー１　＼キー２"));
    cpg.setCell(GridModel::CellAlignment, 0, 1, 0, cpg.cols() - 1, GridModel::AlignCenterCenter);
    // Counts line up on their last digit.
    cpg.setCell(GridModel::CellAlignment, 1, 2, KeywordRows, cpg.cols() - 1,
                GridModel::AlignRightCenter);
    // The first keywords are a column like any other; the second keywords are typed
    // among the headings; the counts are the program's.
    cpg.setCell(GridModel::CellAccess, 0, 0, KeywordRows, cpg.cols() - 1,
                GridModel::AccessAsLaidOut);
    cpg.setCell(GridModel::CellAccess, 0, 2, 0, cpg.cols() - 1, GridModel::AccessEditable);
    cpg.setCell(GridModel::CellAccess, 1, 2, KeywordRows, cpg.cols() - 1,
                GridModel::AccessReadOnly);
    numberRows(cpg);
    cpg.endBulkEdit();
    cpg.select(1, 1);
}

QString Kiroku_count(GridModel& cpg, const AppState& app, int first, int last) {
    return Kiroku_count(cpg, app.store(), first, last);
}

QString Kiroku_count(GridModel& cpg, const YearStore& year, int first, int last) {
    // Every pattern is compiled, and checked, before anything is counted.
    std::array<std::array<std::optional<Wildcard>, Key2Columns>, KeywordRows> patterns;
    for (int k = 1; k <= KeywordRows; ++k) {
        const QString key1 = cpg.textMatrix(k, 1);
        if (key1.isEmpty())
            continue;
        for (int c = 2; c < 2 + Key2Columns; ++c) {
            const QString key2 = cpg.textMatrix(0, c);
            if (key2.isEmpty())
                continue;
            Wildcard w = Wildcard::contains(key1 + key2);
            if (!w.isValid())
                return Stats_BadKeyword(key1 + key2, w.error());
            patterns[size_t(k - 1)][size_t(c - 2)] = std::move(w);
        }
    }
    std::array<std::array<int, Key2Columns>, KeywordRows> counts{};
    const auto [from, to] = dayRows(first, last);
    for (int d = from; d <= to; ++d) {
        const QString record = year.text(d, StoreCol::Record);
        if (record.isEmpty())
            continue;
        for (size_t k = 0; k < size_t(KeywordRows); ++k)
            for (size_t c = 0; c < size_t(Key2Columns); ++c)
                if (patterns[k][c] && patterns[k][c]->matches(record)) {
                    ++counts[k][c];
                    break; // a day counts once for a first keyword
                }
    }
    cpg.beginBulkEdit();
    for (int k = 1; k <= KeywordRows; ++k)
        for (int c = 2; c < 2 + Key2Columns; ++c) {
            const int n = counts[size_t(k - 1)][size_t(c - 2)];
            cpg.setTextMatrix(k, c, n ? QString::number(n) : QString());
        }
    cpg.endBulkEdit();
    return {};
}

void Koumoku_GridInit(GridModel& cpg) {
    cpg.beginBulkEdit();
    cpg.setRows(KeywordRows + 1);
    cpg.setCols(4);
    cpg.setFixedRows(1);
    cpg.setFixedCols(1);
    cpg.setRowHeight(-1, 280);
    cpg.setColWidth(0, 500);
    cpg.setColWidth(1, 2000);
    cpg.setColWidth(2, 1000);
    cpg.setColWidth(3, 1000);
    cpg.setTextMatrix(0, 0, QStringLiteral("番号"));
    cpg.setTextMatrix(0, 1, QStringLiteral("キーワード"));
    cpg.setTextMatrix(0, 2, QStringLiteral("目標"));
    cpg.setTextMatrix(0, 3, QStringLiteral("回数"));
    cpg.setCell(GridModel::CellAlignment, 0, 1, 0, 3, GridModel::AlignCenterCenter);
    // Targets and counts line up on their last digit.
    cpg.setCell(GridModel::CellAlignment, 1, 2, KeywordRows, 3, GridModel::AlignRightCenter);
    // Keywords and targets are typed; the counts are the program's.
    cpg.setCell(GridModel::CellAccess, 0, 0, KeywordRows, 3, GridModel::AccessAsLaidOut);
    cpg.setCell(GridModel::CellAccess, 1, 3, KeywordRows, 3, GridModel::AccessReadOnly);
    numberRows(cpg);
    cpg.endBulkEdit();
    cpg.select(1, 1);
}

QString Koumoku_count(GridModel& cpg, const AppState& app, int first, int last) {
    return Koumoku_count(cpg, app.store(), first, last);
}

QString Koumoku_count(GridModel& cpg, const YearStore& year, int first, int last) {
    std::array<std::optional<Wildcard>, KeywordRows> patterns;
    for (int k = 1; k <= KeywordRows; ++k) {
        const QString key = cpg.textMatrix(k, 1);
        if (key.isEmpty())
            continue;
        Wildcard w = Wildcard::contains(key);
        if (!w.isValid())
            return Stats_BadKeyword(key, w.error());
        patterns[size_t(k - 1)] = std::move(w);
    }
    std::array<int, KeywordRows> counts{};
    const auto [from, to] = dayRows(first, last);
    for (int d = from; d <= to; ++d)
        for (int i = 0; i < 7; ++i) {
            const QString title = year.text(d, StoreCol::SlotItem1 + i);
            if (title.isEmpty())
                continue;
            for (size_t k = 0; k < size_t(KeywordRows); ++k)
                if (patterns[k] && patterns[k]->matches(title))
                    ++counts[k];
        }
    cpg.beginBulkEdit();
    cpg.setFloodColor(BarColor);
    for (int k = 1; k <= KeywordRows; ++k) {
        const int n = counts[size_t(k - 1)];
        cpg.setTextMatrix(k, 3, n ? QString::number(n) : QString());
        // A bar only for a target that is a number above 0; none for a zero count. The
        // share is capped before it becomes an int: a tiny target makes it huge.
        const std::optional<double> target = Koumoku_target(cpg.textMatrix(k, 2));
        const int bar = n > 0 && target ? int(std::min(100.0, n * 100.0 / *target)) : -1;
        cpg.setCell(GridModel::CellFloodPercent, k, 3, bar);
    }
    cpg.endBulkEdit();
    return {};
}
