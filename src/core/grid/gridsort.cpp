#include "core/grid/gridmodel.h"
#include "core/time/dates.h"

#include <QRegularExpression>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

struct SortKey {
    int kind = 0; // 0 empty, 1 date/time value, 2 text
    qint64 value = 0;
    QByteArray bytes;
};

// Seconds since 1 January 1 of a date, a date and time, or a time of day alone
// (a time of day sorts before every date, as a time on day zero).
bool chronological(const QString& text, qint64& value) {
    static const QRegularExpression form(
        QStringLiteral("^\\s*(?:(\\d{4}[/\\-.]\\d{1,2}[/"
                       "\\-.]\\d{1,2}))?\\s*(?:(\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?\\s*$"));
    const auto m = form.match(text);
    if (!m.hasMatch() || (m.captured(1).isEmpty() && m.captured(2).isEmpty()))
        return false;
    qint64 days = 0;
    if (!m.captured(1).isEmpty()) {
        const QDate d = Dates::fromStoreText(m.captured(1));
        if (!d.isValid())
            return false;
        days = QDate(1, 1, 1).daysTo(d) + 1;
    }
    qint64 secs = 0;
    if (!m.captured(2).isEmpty()) {
        const int h = m.captured(2).toInt(), mi = m.captured(3).toInt(), s = m.captured(4).toInt();
        if (h > 23 || mi > 59 || s > 59)
            return false;
        secs = h * 3600 + mi * 60 + s;
    }
    value = days * 86400 + secs;
    return true;
}

SortKey makeKey(const QString& text, bool dateType, QStringEncoder& cp932) {
    SortKey k;
    if (text.isEmpty())
        return k;
    if (dateType && chronological(text, k.value)) {
        k.kind = 1;
        return k;
    }
    k.kind = 2;
    k.bytes = cp932.encode(text);
    return k;
}

int compareKeys(const SortKey& a, const SortKey& b) {
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

void GridModel::setSort(int setting) {
    if (setting != SortGenericByColSort || !valid(m_row, m_col))
        return;
    std::vector<int> keyCols;
    for (int c = 0; c < m_cols; ++c)
        if (m_colSort[size_t(c)] != 0)
            keyCols.push_back(c);
    const Selection sel = getSelection();
    const int first = sel.row1, count = sel.row2 - sel.row1 + 1;
    if (keyCols.empty() || count < 2)
        return;

    QStringEncoder cp932("windows-31j");
    std::vector<std::vector<SortKey>> keys(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        for (int c : keyCols)
            keys[size_t(i)].push_back(
                makeKey(textMatrix(first + i, c), m_colType[size_t(c)] == DateType, cp932));
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (size_t k = 0; k < keyCols.size(); ++k) {
            int c = compareKeys(keys[size_t(a)][k], keys[size_t(b)][k]);
            if (m_colSort[size_t(keyCols[k])] == 2)
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
