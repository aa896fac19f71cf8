// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grid/gridmodel.h"

#include <algorithm>

GridModel::GridModel(int rows, int cols, QObject* parent) : QAbstractTableModel(parent) {
    resize(std::max(rows, 0), std::max(cols, 0));
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_cols;
}

QVariant GridModel::data(const QModelIndex& idx, int role) const {
    if (!idx.isValid() || !valid(idx.row(), idx.column()))
        return {};
    const GridCell& c = cellAt(idx.row(), idx.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return c.text;
    case ForeColorRole:
        return c.fore;
    case BackColorRole:
        return c.back;
    case AlignmentSettingRole:
        return int(c.alignment);
    case CheckRole:
        return int(c.check);
    case BarRole:
        return int(c.bar);
    case AccessRole:
        return int(c.access);
    default:
        return {};
    }
}

bool GridModel::setData(const QModelIndex& idx, const QVariant& value, int role) {
    if (!idx.isValid() || !valid(idx.row(), idx.column()))
        return false;
    switch (role) {
    case Qt::EditRole:
        setTextMatrix(idx.row(), idx.column(), value.toString());
        return true;
    case ForeColorRole:
        setForeColorAt(idx.row(), idx.column(), value.toUInt());
        return true;
    case BackColorRole:
        setBackColorAt(idx.row(), idx.column(), value.toUInt());
        return true;
    case CheckRole:
        setCell(CellChecked, idx.row(), idx.column(), value.toInt());
        return true;
    default:
        return false;
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& idx) const {
    if (!idx.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isEditable(idx.row(), idx.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

bool GridModel::isEditable(int row, int col) const {
    if (!valid(row, col))
        return false;
    switch (m_cells[offset(row, col)].access) {
    case AccessReadOnly:
        return false;
    case AccessEditable:
        return true;
    default:
        return !isFixed(row, col);
    }
}

void GridModel::resize(int rows, int cols) {
    if (rows == m_rows && cols == m_cols)
        return;
    std::vector<GridCell> cells(size_t(rows) * size_t(cols));
    const int keepRows = std::min(rows, m_rows), keepCols = std::min(cols, m_cols);
    for (int r = 0; r < keepRows; ++r)
        for (int c = 0; c < keepCols; ++c)
            cells[size_t(r) * size_t(cols) + size_t(c)] = std::move(m_cells[offset(r, c)]);
    m_cells = std::move(cells);
    m_rows = rows;
    m_cols = cols;
    m_fixedRows = std::min(m_fixedRows, rows);
    m_fixedCols = std::min(m_fixedCols, cols);
    m_colWidth.resize(size_t(cols), -1);
    m_colType.resize(size_t(cols), 0);
    m_colCombo.resize(size_t(cols));
    m_colHidden.resize(size_t(cols), false);
    m_rowHeight.resize(size_t(rows), -1);
    m_rowHidden.resize(size_t(rows), false);
    auto clampTo = [](int v, int n) { return std::clamp(v, n > 0 ? 0 : -1, n - 1); };
    m_row = clampTo(m_row, rows);
    m_rowSel = clampTo(m_rowSel, rows);
    m_col = clampTo(m_col, cols);
    m_colSel = clampTo(m_colSel, cols);
}

void GridModel::setRows(int rows) {
    rows = std::clamp(rows, 0, GridFile::MaxRows);
    if (rows == m_rows)
        return;
    if (m_bulk) {
        resize(rows, m_cols);
        return;
    }
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        resize(rows, m_cols);
        endInsertRows();
    } else {
        beginRemoveRows({}, rows, m_rows - 1);
        resize(rows, m_cols);
        endRemoveRows();
    }
}

void GridModel::setCols(int cols) {
    cols = std::clamp(cols, 0, GridFile::MaxCols);
    if (cols == m_cols)
        return;
    if (m_bulk) {
        resize(m_rows, cols);
        return;
    }
    if (cols > m_cols) {
        beginInsertColumns({}, m_cols, cols - 1);
        resize(m_rows, cols);
        endInsertColumns();
    } else {
        beginRemoveColumns({}, cols, m_cols - 1);
        resize(m_rows, cols);
        endRemoveColumns();
    }
}

void GridModel::setFixedRows(int n) {
    m_fixedRows = std::clamp(n, 0, m_rows);
}

void GridModel::setFixedCols(int n) {
    m_fixedCols = std::clamp(n, 0, m_cols);
}

void GridModel::moveCursor(int row, int col, int rowSel, int colSel) {
    const int oldRow = m_row, oldCol = m_col;
    const bool selChanged =
        rowSel != m_rowSel || colSel != m_colSel || row != m_row || col != m_col;
    m_row = row;
    m_col = col;
    m_rowSel = rowSel;
    m_colSel = colSel;
    if (oldRow != row || oldCol != col)
        Q_EMIT cursorChanged(oldRow, oldCol, row, col);
    if (selChanged)
        Q_EMIT selectionChanged();
}

void GridModel::setRow(int row) {
    if (row >= 0 && row < m_rows)
        moveCursor(row, m_col, row, m_colSel);
}

void GridModel::setCol(int col) {
    if (col >= 0 && col < m_cols)
        moveCursor(m_row, col, m_rowSel, col);
}

void GridModel::setRowSel(int row) {
    if (row >= 0 && row < m_rows)
        moveCursor(m_row, m_col, row, m_colSel);
}

void GridModel::setColSel(int col) {
    if (col >= 0 && col < m_cols)
        moveCursor(m_row, m_col, m_rowSel, col);
}

void GridModel::select(int row, int col, int rowSel, int colSel) {
    if (!valid(row, col))
        return;
    moveCursor(row, col, rowSel >= 0 && rowSel < m_rows ? rowSel : row,
               colSel >= 0 && colSel < m_cols ? colSel : col);
}

GridModel::Selection GridModel::getSelection() const {
    return {std::min(m_row, m_rowSel), std::min(m_col, m_colSel), std::max(m_row, m_rowSel),
            std::max(m_col, m_colSel)};
}

GridCell GridModel::cellAt(int row, int col) const {
    GridCell c = m_cells[offset(row, col)];
    if (m_source) {
        c.text = m_source->sourceText(row, col);
        c.fore = m_source->sourceFore(row, col);
        c.back = m_source->sourceBack(row, col);
    }
    return c;
}

void GridModel::setCellSource(GridCellSource* source) {
    beginResetModel();
    m_source = source;
    endResetModel();
}

void GridModel::sourceChanged(int row1, int col1, int row2, int col2) {
    row1 = std::max(row1, 0);
    col1 = std::max(col1, 0);
    row2 = std::min(row2, m_rows - 1);
    col2 = std::min(col2, m_cols - 1);
    if (m_bulk || row1 > row2 || col1 > col2)
        return;
    Q_EMIT dataChanged(QAbstractTableModel::index(row1, col1),
                       QAbstractTableModel::index(row2, col2));
}

QString GridModel::textMatrix(int row, int col) const {
    if (!valid(row, col))
        return {};
    return m_source ? m_source->sourceText(row, col) : m_cells[offset(row, col)].text;
}

void GridModel::setTextMatrix(int row, int col, const QString& text) {
    if (!valid(row, col))
        return;
    if (m_source) {
        m_source->setSourceText(row, col, text);
        return;
    }
    QString& t = m_cells[offset(row, col)].text;
    if (t == text)
        return;
    t = text;
    if (!m_bulk)
        cellChanged(row, col, {Qt::DisplayRole, Qt::EditRole});
}

template <typename F> void GridModel::forSelection(F f) {
    if (!valid(m_row, m_col))
        return;
    const Selection s = getSelection();
    for (int r = s.row1; r <= s.row2; ++r)
        for (int c = s.col1; c <= s.col2; ++c)
            f(m_cells[offset(r, c)]);
}

quint32 GridModel::cellForeColor() const {
    if (!valid(m_row, m_col))
        return 0;
    return m_source ? m_source->sourceFore(m_row, m_col) : m_cells[offset(m_row, m_col)].fore;
}

quint32 GridModel::cellBackColor() const {
    if (!valid(m_row, m_col))
        return 0;
    return m_source ? m_source->sourceBack(m_row, m_col) : m_cells[offset(m_row, m_col)].back;
}

void GridModel::colorSelection(bool back, quint32 color) {
    if (!valid(m_row, m_col))
        return;
    const Selection s = getSelection();
    m_source->beginSourceBatch();
    for (int r = s.row1; r <= s.row2; ++r)
        for (int c = s.col1; c <= s.col2; ++c) {
            if (back)
                m_source->setSourceBack(r, c, color);
            else
                m_source->setSourceFore(r, c, color);
        }
    m_source->endSourceBatch();
}

int GridModel::cellAlignment() const {
    return valid(m_row, m_col) ? cellAt(m_row, m_col).alignment : -1;
}

void GridModel::setCellForeColor(quint32 color) {
    if (m_source)
        return colorSelection(false, color);
    forSelection([color](GridCell& c) { c.fore = color; });
    blockChanged(getSelection(), {ForeColorRole});
}

void GridModel::setCellBackColor(quint32 color) {
    if (m_source)
        return colorSelection(true, color);
    forSelection([color](GridCell& c) { c.back = color; });
    blockChanged(getSelection(), {BackColorRole});
}

void GridModel::setCellAlignment(int alignment) {
    forSelection([alignment](GridCell& c) { c.alignment = qint8(alignment); });
    blockChanged(getSelection(), {AlignmentSettingRole});
}

void GridModel::setForeColorAt(int row, int col, quint32 color) {
    if (!valid(row, col))
        return;
    if (m_source)
        return m_source->setSourceFore(row, col, color);
    m_cells[offset(row, col)].fore = color;
    if (!m_bulk)
        cellChanged(row, col, {ForeColorRole});
}

void GridModel::setBackColorAt(int row, int col, quint32 color) {
    if (!valid(row, col))
        return;
    if (m_source)
        return m_source->setSourceBack(row, col, color);
    m_cells[offset(row, col)].back = color;
    if (!m_bulk)
        cellChanged(row, col, {BackColorRole});
}

void GridModel::setCell(CellSetting setting, int row1, int col1, int row2, int col2, int value) {
    const Selection s{std::max(0, std::min(row1, row2)), std::max(0, std::min(col1, col2)),
                      std::min(m_rows - 1, std::max(row1, row2)),
                      std::min(m_cols - 1, std::max(col1, col2))};
    if (s.row1 > s.row2 || s.col1 > s.col2)
        return;
    if (m_source && setting == CellBackColor) {
        m_source->beginSourceBatch();
        for (int r = s.row1; r <= s.row2; ++r)
            for (int c = s.col1; c <= s.col2; ++c)
                m_source->setSourceBack(r, c, quint32(value));
        m_source->endSourceBatch();
        return;
    }
    int role = 0;
    for (int r = s.row1; r <= s.row2; ++r) {
        for (int c = s.col1; c <= s.col2; ++c) {
            GridCell& cell = m_cells[offset(r, c)];
            switch (setting) {
            case CellAlignment:
                cell.alignment = qint8(value);
                role = AlignmentSettingRole;
                break;
            case CellChecked:
                cell.check = qint8(std::clamp(value, 0, 2));
                role = CheckRole;
                break;
            case CellBackColor:
                cell.back = quint32(value);
                role = BackColorRole;
                break;
            case CellFloodPercent:
                cell.bar = qint16(std::clamp(value, -1, 100));
                role = BarRole;
                break;
            case CellAccess:
                cell.access = qint8(std::clamp(value, 0, 2));
                role = AccessRole;
                break;
            }
        }
    }
    blockChanged(s, {role});
}

int GridModel::cell(CellSetting setting, int row, int col) const {
    if (!valid(row, col))
        return 0;
    const GridCell& c = cellAt(row, col);
    switch (setting) {
    case CellAlignment:
        return c.alignment;
    case CellChecked:
        return c.check;
    case CellBackColor:
        return int(c.back);
    case CellFloodPercent:
        return c.bar;
    case CellAccess:
        return c.access;
    }
    return 0;
}

void GridModel::setFloodColor(quint32 color) {
    m_floodColor = color;
    if (m_rows && m_cols)
        blockChanged({0, 0, m_rows - 1, m_cols - 1}, {BarRole});
}

int GridModel::colWidth(int col) const {
    if (col < 0 || col >= m_cols)
        return 0;
    const int w = m_colWidth[size_t(col)];
    return w < 0 ? m_defaultColWidth : w;
}

void GridModel::setColWidth(int col, int twips) {
    if (col == -1) {
        std::fill(m_colWidth.begin(), m_colWidth.end(), std::max(twips, 0));
    } else if (col >= 0 && col < m_cols) {
        m_colWidth[size_t(col)] = std::max(twips, 0);
    } else {
        return;
    }
    if (!m_bulk && m_cols > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
}

int GridModel::rowHeight(int row) const {
    if (row < 0 || row >= m_rows)
        return 0;
    const int h = m_rowHeight[size_t(row)];
    return h < 0 ? m_defaultRowHeight : h;
}

void GridModel::setRowHeight(int row, int twips) {
    if (row == -1) {
        std::fill(m_rowHeight.begin(), m_rowHeight.end(), std::max(twips, 0));
    } else if (row >= 0 && row < m_rows) {
        m_rowHeight[size_t(row)] = std::max(twips, 0);
    } else {
        return;
    }
    if (!m_bulk && m_rows > 0)
        Q_EMIT headerDataChanged(Qt::Vertical, 0, m_rows - 1);
}

int GridModel::colDataType(int col) const {
    return col >= 0 && col < m_cols ? m_colType[size_t(col)] : 0;
}

void GridModel::setColDataType(int col, int type) {
    if (col >= 0 && col < m_cols)
        m_colType[size_t(col)] = type;
}

QString GridModel::colComboList(int col) const {
    return col >= 0 && col < m_cols ? m_colCombo[size_t(col)] : QString();
}

void GridModel::setColComboList(int col, const QString& list) {
    if (col >= 0 && col < m_cols)
        m_colCombo[size_t(col)] = list;
}

bool GridModel::rowHidden(int row) const {
    return row >= 0 && row < m_rows && m_rowHidden[size_t(row)];
}

void GridModel::setRowHidden(int row, bool hidden) {
    if (row == -1)
        std::fill(m_rowHidden.begin(), m_rowHidden.end(), hidden);
    else if (row >= 0 && row < m_rows)
        m_rowHidden[size_t(row)] = hidden;
    else
        return;
    if (!m_bulk && m_rows > 0)
        Q_EMIT headerDataChanged(Qt::Vertical, 0, m_rows - 1);
}

bool GridModel::colHidden(int col) const {
    return col >= 0 && col < m_cols && m_colHidden[size_t(col)];
}

void GridModel::setColHidden(int col, bool hidden) {
    if (col == -1)
        std::fill(m_colHidden.begin(), m_colHidden.end(), hidden);
    else if (col >= 0 && col < m_cols)
        m_colHidden[size_t(col)] = hidden;
    else
        return;
    if (!m_bulk && m_cols > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
}

void GridModel::removeItem(int row) {
    if (row < 0 || row >= m_rows)
        return;
    if (!m_bulk)
        beginRemoveRows({}, row, row);
    const auto first = m_cells.begin() + std::ptrdiff_t(offset(row, 0));
    m_cells.erase(first, first + m_cols);
    m_rowHeight.erase(m_rowHeight.begin() + row);
    m_rowHidden.erase(m_rowHidden.begin() + row);
    --m_rows;
    m_fixedRows = std::min(m_fixedRows, m_rows);
    auto clampRow = [this](int& r) { r = std::clamp(r, m_rows > 0 ? 0 : -1, m_rows - 1); };
    clampRow(m_row);
    clampRow(m_rowSel);
    if (!m_bulk)
        endRemoveRows();
}

void GridModel::clear() {
    if (m_source) {
        m_source->beginSourceBatch();
        for (int r = 0; r < m_rows; ++r)
            for (int c = 0; c < m_cols; ++c)
                m_source->setSourceText(r, c, QString());
        m_source->endSourceBatch();
        return;
    }
    for (GridCell& c : m_cells)
        c.text.clear();
    if (m_rows && m_cols)
        blockChanged({0, 0, m_rows - 1, m_cols - 1}, {Qt::DisplayRole, Qt::EditRole});
}

void GridModel::beginBulkEdit() {
    if (m_source)
        m_source->beginSourceBatch();
    if (m_bulk++ == 0)
        beginResetModel();
}

void GridModel::endBulkEdit() {
    Q_ASSERT(m_bulk > 0);
    if (--m_bulk == 0)
        endResetModel();
    if (m_source)
        m_source->endSourceBatch();
}

void GridModel::cellChanged(int row, int col, const QList<int>& roles) {
    if (m_bulk)
        return;
    const QModelIndex i = QAbstractTableModel::index(row, col);
    Q_EMIT dataChanged(i, i, roles);
}

void GridModel::blockChanged(const Selection& s, const QList<int>& roles) {
    if (m_bulk || !valid(s.row1, s.col1) || !valid(s.row2, s.col2))
        return;
    Q_EMIT dataChanged(QAbstractTableModel::index(s.row1, s.col1),
                       QAbstractTableModel::index(s.row2, s.col2), roles);
}

QByteArray GridModel::toFileImage() const {
    if (m_source) {
        std::vector<GridCell> cells(m_cells.size());
        for (int r = 0; r < m_rows; ++r)
            for (int c = 0; c < m_cols; ++c)
                cells[offset(r, c)] = cellAt(r, c);
        return GridFile::serialize(m_rows, m_cols, cells);
    }
    return GridFile::serialize(m_rows, m_cols, m_cells);
}

FileResult GridModel::saveGrid(const QString& path, int mode) const {
    if (mode != TextsAndColours)
        return FileResult::failure(FileResult::Unsupported, QString::number(mode));
    return GridFile::writeAtomically(path, toFileImage());
}

FileResult GridModel::loadGrid(const QString& path, int mode) {
    if (mode != TextsAndColours)
        return FileResult::failure(FileResult::Unsupported, QString::number(mode));
    GridData data;
    const FileResult r = GridFile::read(path, data);
    if (r.ok())
        assignData(std::move(data));
    return r;
}

void GridModel::assignData(GridData&& data) {
    beginBulkEdit();
    resize(data.rows, data.cols);
    m_cells = std::move(data.cells);
    m_fixedRows = std::min(m_fixedRows, m_rows);
    m_fixedCols = std::min(m_fixedCols, m_cols);
    endBulkEdit();
}
