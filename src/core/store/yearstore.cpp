// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/yearstore.h"

#include "core/grid/gridmodel.h"
#include "core/time/dates.h"

#include <QtGlobal>

QString StoreValue::toText() const {
    switch (m_kind) {
    case Empty:
        return {};
    case Text:
        return m_text;
    case Number:
        return QString::number(m_number);
    }
    return {};
}

qint64 StoreValue::toNumber() const {
    switch (m_kind) {
    case Empty:
        return 0;
    case Text:
        return Dates::numericValue(m_text);
    case Number:
        return m_number;
    }
    return 0;
}

bool StoreValue::operator==(const StoreValue& o) const {
    if (m_kind != o.m_kind)
        return false;
    return m_kind == Text ? m_text == o.m_text : m_number == o.m_number;
}

bool StoreValue::sameIn(int col, const StoreValue& o) const {
    if (col >= StoreCol::TextColumns)
        return toNumber() == o.toNumber();
    if (m_kind == o.m_kind)
        return *this == o;
    return toText() == o.toText();
}

const std::array<ColorMapLine, 17>& cellColorMap() {
    using namespace StoreCol;
    static const std::array<ColorMapLine, 17> map = [] {
        std::array<ColorMapLine, 17> m{};
        m[0] = {Weekday, WeekdayFore, -1};
        m[1] = {Events, EventsFore, EventsBack};
        m[2] = {Record, RecordFore, RecordBack};
        for (int i = 0; i < 7; ++i) {
            m[size_t(3 + i)] = {SlotItem1 + i, SlotItemFore1 + i, SlotItemBack1 + i};
            m[size_t(10 + i)] = {SlotText1 + i, SlotTextFore1 + i, SlotTextBack1 + i};
        }
        return m;
    }();
    return map;
}

const std::array<QString, 19>& storeHeadings() {
    static const std::array<QString, 19> headings = {
        QString(),
        QStringLiteral("曜日"),
        QStringLiteral("今日の行事"),
        QStringLiteral("記録"),
        QStringLiteral("１(～9)項目"),
        QStringLiteral("２(9～12)項目"),
        QStringLiteral("３(12～15)項目"),
        QStringLiteral("４(15～18)項目"),
        QStringLiteral("５(18～21)項目"),
        QStringLiteral("６(21～24)項目"),
        QStringLiteral("７(24～)項目"),
        QStringLiteral("１(～9)内容"),
        QStringLiteral("２(9～12)内容"),
        QStringLiteral("３(12～15)内容"),
        QStringLiteral("４(15～18)内容"),
        QStringLiteral("５(18～21)内容"),
        QStringLiteral("６(21～24)内容"),
        QStringLiteral("７(24～)内容"),
        QStringLiteral("ToDo"),
    };
    return headings;
}

YearStore::YearStore() : m_cells(size_t(Rows) * size_t(Cols)) {}

size_t YearStore::index(int row, int col) {
    // Callers never produce rows outside 0..368 or columns outside 0..53; a slip is a
    // programming error caught here rather than memory written out of bounds.
    Q_ASSERT(valid(row, col));
    row = qBound(0, row, Rows - 1);
    col = qBound(0, col, Cols - 1);
    return size_t(row) * size_t(Cols) + size_t(col);
}

YearStore& YearStore::operator=(const YearStore& o) {
    if (this == &o)
        return *this;
    m_cells = o.m_cells;
    m_documentId = o.m_documentId;
    if (m_observer)
        m_observer->storeReplaced();
    return *this;
}

bool YearStore::set(int row, int col, const StoreValue& v) {
    StoreValue& cell = m_cells[index(row, col)];
    if (!m_observer) {
        cell = v;
        return true;
    }
    if (cell.sameIn(col, v))
        return false;
    cell = v;
    m_observer->storeWritten(row, col);
    return true;
}

void YearStore::clear() {
    for (StoreValue& v : m_cells)
        v = StoreValue();
    if (m_observer)
        m_observer->storeReplaced();
}

bool YearStore::sameAs(const YearStore& o) const {
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c)
            if (!at(r, c).sameIn(c, o.at(r, c)))
                return false;
    return true;
}

void copyGridToStore(const GridModel& grid, YearStore& store) {
    const int rows = qMin(grid.rows(), YearStore::Rows);
    const int cols = qMin(grid.cols(), YearStore::Cols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            store.set(r, c, grid.textMatrix(r, c));
    for (int r = 1; r < rows; ++r) {
        for (const ColorMapLine& m : cellColorMap()) {
            if (m.gridCol >= grid.cols())
                continue;
            const GridCell& cell = grid.cellAt(r, m.gridCol);
            store.set(r, m.foreCol, qint64(cell.fore));
            if (m.backCol >= 0)
                store.set(r, m.backCol, qint64(cell.back));
        }
    }
}

void copyStoreToGrid(const YearStore& store, GridModel& grid) {
    const int rows = qMin(grid.rows(), YearStore::Rows);
    const int cols = qMin(grid.cols(), YearStore::Cols);
    grid.beginBulkEdit();
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            grid.setTextMatrix(r, c, store.text(r, c));
    // Colour values are 24-bit RGB (0x80000005 is the system window colour); only the
    // low 32 bits of a stored number can be a colour.
    for (int r = 1; r < rows; ++r) {
        for (const ColorMapLine& m : cellColorMap()) {
            if (m.gridCol >= grid.cols())
                continue;
            grid.setForeColorAt(r, m.gridCol, quint32(store.number(r, m.foreCol)));
            if (m.backCol >= 0)
                grid.setBackColorAt(r, m.gridCol, quint32(store.number(r, m.backCol)));
        }
    }
    grid.endBulkEdit();
}
