// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/gridaccessibletable.h"

#include "gui/grid/gridaccessible.h"

GridLines GridLines::rows(const GridModel& m) {
    GridLines l;
    for (int r = 0; r < m.rows(); ++r)
        if (rowShown(m, r))
            (r < m.fixedRows() ? l.head : l.data).push_back(r);
    return l;
}

GridLines GridLines::cols(const GridModel& m) {
    GridLines l;
    for (int c = 0; c < m.cols(); ++c)
        if (colShown(m, c))
            (c < m.fixedCols() ? l.head : l.data).push_back(c);
    return l;
}

bool GridAccessible::sync() const {
    const Grid* g = grid();
    const GridModel* m = g ? g->model() : nullptr;
    // A grid on its way out (its model already gone) has no cells left.
    const Key key =
        m ? Key{m, g->m_layoutStamp, m->rows(), m->cols(), m->fixedRows(), m->fixedCols()} : Key{};
    if (key == m_key)
        return false;
    m_key = key;
    GridLines rows = m ? GridLines::rows(*m) : GridLines{},
              cols = m ? GridLines::cols(*m) : GridLines{};
    if (rows == m_rows && cols == m_cols)
        return false;
    m_rows = std::move(rows);
    m_cols = std::move(cols);
    dropCells();
    return true;
}

int GridAccessible::childIndex(int row, int col) const {
    sync();
    const int r = m_rows.indexOf(row), c = m_cols.indexOf(col);
    return r < 0 || c < 0 ? -1 : r * m_cols.count() + c;
}

QAccessibleInterface* GridAccessible::cell(int row, int col) const {
    if (childIndex(row, col) < 0) // also syncs
        return nullptr;
    const quint64 k = key(row, col);
    if (const auto it = m_cells.constFind(k); it != m_cells.constEnd())
        return QAccessible::accessibleInterface(*it);
    auto* iface = new GridAccessibleCell(grid(), row, col);
    m_cells.insert(k, QAccessible::registerAccessibleInterface(iface));
    return iface;
}

std::vector<std::pair<int, int>> GridAccessible::cachedCells(int row1, int col1, int row2,
                                                             int col2) const {
    sync();
    std::vector<std::pair<int, int>> cells;
    if (qint64(row2 - row1 + 1) * (col2 - col1 + 1) <= m_cells.size()) {
        for (int r = row1; r <= row2; ++r)
            for (int c = col1; c <= col2; ++c)
                if (m_cells.contains(key(r, c)))
                    cells.emplace_back(r, c);
        return cells;
    }
    for (auto it = m_cells.constBegin(); it != m_cells.constEnd(); ++it) {
        const int r = int(it.key() >> 32), c = int(it.key() & 0xFFFFFFFFu);
        if (r >= row1 && r <= row2 && c >= col1 && c <= col2)
            cells.emplace_back(r, c);
    }
    std::sort(cells.begin(), cells.end());
    return cells;
}

QAccessibleInterface* GridAccessible::childAt(int x, int y) const {
    const Grid* g = grid();
    if (!g || !g->model())
        return nullptr;
    const QPoint p = g->viewport()->mapFromGlobal(QPoint(x, y));
    if (!g->viewport()->rect().contains(p))
        return nullptr;
    const Grid::Hit hit = g->hitTest(p);
    return cell(hit.row, hit.col);
}

int GridAccessible::childCount() const {
    sync();
    return m_rows.count() * m_cols.count();
}

QAccessibleInterface* GridAccessible::child(int index) const {
    sync();
    const int cols = m_cols.count();
    if (index < 0 || cols == 0 || index >= m_rows.count() * cols)
        return nullptr;
    return cell(m_rows.at(index / cols), m_cols.at(index % cols));
}

int GridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* c = dynamic_cast<const GridAccessibleCell*>(child);
    if (!c || c->grid() != grid())
        return -1;
    return childIndex(c->modelRow(), c->modelCol());
}

QAccessibleInterface* GridAccessible::focusChild() const {
    const Grid* g = grid();
    if (g && g->model() && g->hasFocus()) {
        const GridModel& m = *g->model();
        if (QAccessibleInterface* c = cell(m.row(), m.col()))
            return c;
    }
    return QAccessibleWidget::focusChild();
}

void* GridAccessible::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QAccessibleInterface* GridAccessible::cellAt(int row, int column) const {
    sync();
    if (row < 0 || column < 0 || row >= int(m_rows.data.size()) ||
        column >= int(m_cols.data.size()))
        return nullptr;
    return cell(m_rows.data[size_t(row)], m_cols.data[size_t(column)]);
}

int GridAccessible::rowCount() const {
    sync();
    return int(m_rows.data.size());
}

int GridAccessible::columnCount() const {
    sync();
    return int(m_cols.data.size());
}

QString GridAccessible::columnDescription(int column) const {
    sync();
    if (column < 0 || column >= int(m_cols.data.size()))
        return {};
    return GridAccessibility::columnHeading(*grid()->model(), m_cols.data[size_t(column)]);
}

QString GridAccessible::rowDescription(int row) const {
    sync();
    if (row < 0 || row >= int(m_rows.data.size()))
        return {};
    return GridAccessibility::rowHeading(*grid()->model(), m_rows.data[size_t(row)]);
}

std::pair<int, int> GridAccessible::selectedRowSpan() const {
    sync();
    if (m_rows.data.empty())
        return {0, 0};
    const GridModel::Selection s = grid()->model()->getSelection();
    return m_rows.dataSpan(s.row1, s.row2);
}

std::pair<int, int> GridAccessible::selectedColSpan() const {
    sync();
    if (m_cols.data.empty())
        return {0, 0};
    const GridModel::Selection s = grid()->model()->getSelection();
    return m_cols.dataSpan(s.col1, s.col2);
}

int GridAccessible::selectedCellCount() const {
    const auto [r1, r2] = selectedRowSpan();
    const auto [c1, c2] = selectedColSpan();
    return (r2 - r1) * (c2 - c1);
}

QList<QAccessibleInterface*> GridAccessible::selectedCells() const {
    const auto [r1, r2] = selectedRowSpan();
    const auto [c1, c2] = selectedColSpan();
    QList<QAccessibleInterface*> cells;
    cells.reserve(qsizetype(r2 - r1) * (c2 - c1));
    for (int r = r1; r < r2; ++r)
        for (int c = c1; c < c2; ++c)
            cells.append(cellAt(r, c));
    return cells;
}

QList<int> GridAccessible::selectedRows() const {
    // Whole rows: the block spans every column.
    const auto [r1, r2] = selectedRowSpan();
    const auto [c1, c2] = selectedColSpan();
    QList<int> rows;
    if (c2 > c1 && c1 == 0 && c2 == int(m_cols.data.size()))
        for (int r = r1; r < r2; ++r)
            rows.append(r);
    return rows;
}

QList<int> GridAccessible::selectedColumns() const {
    const auto [r1, r2] = selectedRowSpan();
    const auto [c1, c2] = selectedColSpan();
    QList<int> cols;
    if (r2 > r1 && r1 == 0 && r2 == int(m_rows.data.size()))
        for (int c = c1; c < c2; ++c)
            cols.append(c);
    return cols;
}

bool GridAccessible::isRowSelected(int row) const {
    return selectedRows().contains(row);
}

bool GridAccessible::isColumnSelected(int column) const {
    return selectedColumns().contains(column);
}

bool GridAccessible::selectRow(int row) {
    // As a click on the row's heading.
    sync();
    if (row < 0 || row >= int(m_rows.data.size()))
        return false;
    GridModel& m = *grid()->model();
    const int r = m_rows.data[size_t(row)];
    m.select(r, m.fixedCols(), r, m.cols() - 1);
    return true;
}

bool GridAccessible::selectColumn(int column) {
    sync();
    if (column < 0 || column >= int(m_cols.data.size()))
        return false;
    GridModel& m = *grid()->model();
    const int c = m_cols.data[size_t(column)];
    m.select(m.fixedRows(), c, m.rows() - 1, c);
    return true;
}

void GridAccessible::modelChange(QAccessibleTableModelChangeEvent* event) {
    // The grid sends ModelReset alone; the cells of any change are made anew.
    if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged)
        dropCells();
}
