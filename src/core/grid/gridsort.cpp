// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grid/gridmodel.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

struct CellKey {
    int kind = 0; // 0 empty, 1 a value (date, time, number, check), 2 text
    double value = 0;
    QByteArray bytes;
};

// Seconds since 1 January 1 of a date, a date and time, or a time of day alone
// (a time of day sorts before every date, as a time on day zero).
bool chronological(const QString& text, double& value) {
    static const QRegularExpression form(
        QStringLiteral("^\\s*(?:(\\d{4})[/\\-.](\\d{1,2})[/\\-.](\\d{1,2}))?\\s*"
                       "(?:(\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?\\s*$"));
    const auto m = form.match(text);
    if (!m.hasMatch() || (m.captured(1).isEmpty() && m.captured(4).isEmpty()))
        return false;
    qint64 days = 0;
    if (!m.captured(1).isEmpty()) {
        const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (!d.isValid())
            return false;
        days = QDate(1, 1, 1).daysTo(d) + 1;
    }
    qint64 secs = 0;
    if (!m.captured(4).isEmpty()) {
        const int h = m.captured(4).toInt(), mi = m.captured(5).toInt(), s = m.captured(6).toInt();
        if (h > 23 || mi > 59 || s > 59)
            return false;
        secs = h * 3600 + mi * 60 + s;
    }
    value = double(days * 86400 + secs);
    return true;
}

CellKey makeKey(const GridModel& grid, int row, const GridModel::SortKey& key,
                QStringEncoder& cp932) {
    using K = GridModel::SortKey;
    CellKey k;
    if (key.kind == K::Check) {
        k.kind = 1;
        k.value = grid.cell(GridModel::CellChecked, row, key.col) == 1 ? 1 : 0;
        return k;
    }
    QString text = grid.textMatrix(row, key.col);
    if (text.isEmpty())
        text = key.emptyAs;
    if (text.isEmpty())
        return k;
    bool ok = false;
    if (key.kind == K::Date || key.kind == K::Time)
        ok = chronological(text, k.value);
    else if (key.kind == K::Number)
        k.value = text.trimmed().toDouble(&ok);
    k.kind = ok ? 1 : 2;
    if (!ok)
        k.bytes = cp932.encode(text);
    return k;
}

int compareKeys(const CellKey& a, const CellKey& b) {
    if (a.kind != b.kind)
        return a.kind < b.kind ? -1 : 1;
    if (a.kind == 1)
        return a.value < b.value ? -1 : (a.value > b.value ? 1 : 0);
    // Bytes compare unsigned, as the code page orders them.
    const int c = std::memcmp(a.bytes.constData(), b.bytes.constData(),
                              size_t(std::min(a.bytes.size(), b.bytes.size())));
    if (c != 0)
        return c;
    return a.bytes.size() < b.bytes.size() ? -1 : (a.bytes.size() > b.bytes.size() ? 1 : 0);
}

} // namespace

void GridModel::sortRows(int first, int last, const std::vector<SortKey>& keys) {
    first = std::max(first, 0);
    last = std::min(last, m_rows - 1);
    const int count = last - first + 1;
    if (keys.empty() || count < 2)
        return;
    for (const SortKey& key : keys)
        if (key.col < 0 || key.col >= m_cols)
            return;
    QStringEncoder cp932("windows-31j");
    std::vector<std::vector<CellKey>> cellKeys(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        for (const SortKey& key : keys)
            cellKeys[size_t(i)].push_back(makeKey(*this, first + i, key, cp932));
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (size_t k = 0; k < keys.size(); ++k) {
            int c = compareKeys(cellKeys[size_t(a)][k], cellKeys[size_t(b)][k]);
            if (keys[k].descending)
                c = -c;
            if (c != 0)
                return c < 0;
        }
        return false;
    });

    beginBulkEdit();
    std::vector<GridCell> moved(size_t(count) * size_t(m_cols));
    for (int i = 0; i < count; ++i)
        for (int c = 0; c < m_cols; ++c)
            moved[size_t(i) * size_t(m_cols) + size_t(c)] =
                std::move(m_cells[offset(first + order[size_t(i)], c)]);
    for (int i = 0; i < count; ++i)
        for (int c = 0; c < m_cols; ++c)
            m_cells[offset(first + i, c)] =
                std::move(moved[size_t(i) * size_t(m_cols) + size_t(c)]);
    endBulkEdit();
}
