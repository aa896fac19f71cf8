// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The accessible interfaces of a Grid and its cells (gridaccessible.h has what the grid
// calls). The children of the table are every cell shown, row by row as on screen:
// first the fixed rows (column headings; where they cross the fixed columns too), then
// the scrolled rows, each beginning with its fixed cells (row headings). The table's
// own rows and columns, those of cellAt() and the cells' rowIndex()/columnIndex(), are
// the scrolled ones alone, as a QTableView's are the model's without its headers.

#include "core/grid/gridmodel.h"
#include "gui/grid/grid.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

#include <algorithm>
#include <utility>
#include <vector>

// The rows (or columns) shown, by their index in the model: the fixed ones, then the
// scrolled ones. Hidden lines and lines of no size are not shown.
struct GridLines {
    std::vector<int> head, data;

    static bool rowShown(const GridModel& m, int row) {
        return !m.rowHidden(row) && m.rowHeight(row) > 0;
    }
    static bool colShown(const GridModel& m, int col) {
        return !m.colHidden(col) && m.colWidth(col) > 0;
    }
    static GridLines rows(const GridModel& m);
    static GridLines cols(const GridModel& m);

    bool operator==(const GridLines&) const = default;
    int count() const { return int(head.size() + data.size()); }
    int at(int i) const {
        const int h = int(head.size());
        return i < h ? head[size_t(i)] : data[size_t(i - h)];
    }
    // Where a line of the model is among these, -1 where it is not shown.
    int indexOf(int line) const {
        if (const int i = find(head, line); i >= 0)
            return i;
        const int i = find(data, line);
        return i < 0 ? -1 : int(head.size()) + i;
    }
    int dataIndexOf(int line) const { return find(data, line); }
    // The data lines from `first` to `last` of the model: [begin, end) in `data`.
    std::pair<int, int> dataSpan(int first, int last) const {
        const auto b = std::lower_bound(data.begin(), data.end(), first);
        const auto e = std::upper_bound(b, data.end(), last);
        return {int(b - data.begin()), int(e - data.begin())};
    }

    static int find(const std::vector<int>& v, int line) {
        const auto it = std::lower_bound(v.begin(), v.end(), line);
        return it != v.end() && *it == line ? int(it - v.begin()) : -1;
    }
};

// The grid as a table.
class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridAccessible(Grid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
    ~GridAccessible() override { dropCells(); }

    Grid* grid() const { return static_cast<Grid*>(widget()); }

    // Builds the lines again where the grid was laid out anew since they were built;
    // true where the children changed (their interfaces are dropped then).
    bool sync() const;
    void dropCells() const {
        const auto ids = m_cells;
        m_cells.clear();
        for (const QAccessible::Id id : ids)
            QAccessible::deleteAccessibleInterface(id);
    }
    // The interface of a cell of the model, nullptr where it is not shown.
    QAccessibleInterface* cell(int row, int col) const;
    // The cell's index among the children, -1 where it is not shown.
    int childIndex(int row, int col) const;
    // The cells of the block whose interfaces are kept, by row and column.
    std::vector<std::pair<int, int>> cachedCells(int row1, int col1, int row2, int col2) const;
    const GridLines& rows() const { return m_rows; }
    const GridLines& cols() const { return m_cols; }
    // The selected block (the selection of the model without its fixed cells), as
    // [begin, end) spans of the data rows and columns.
    std::pair<int, int> selectedRowSpan() const;
    std::pair<int, int> selectedColSpan() const;

    // The selection as the last selection event found it: its block and the corner
    // away from the cursor.
    GridModel::Selection lastBlock = {-1, -1, -2, -2};
    int lastCornerRow = -1, lastCornerCol = -1;
    // The grid gained the focus and its cursor cell has not been given it yet.
    bool focusPending = false;

    // QAccessibleInterface
    QAccessibleInterface* childAt(int x, int y) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* focusChild() const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return int(selectedColumns().size()); }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int column) override;
    // The grid's selection is one block holding the cursor cell: nothing is taken out.
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

private:
    static quint64 key(int row, int col) { return (quint64(quint32(row)) << 32) | quint32(col); }

    struct Key {
        const GridModel* model = nullptr;
        quint64 stamp = 0;
        int rows = -1, cols = -1, fixedRows = -1, fixedCols = -1;
        bool operator==(const Key&) const = default;
    };
    mutable Key m_key;
    mutable GridLines m_rows, m_cols;
    mutable QHash<quint64, QAccessible::Id> m_cells;
};

// A cell of the grid: a Cell, or a ColumnHeader in the fixed rows, a RowHeader in the
// fixed columns. It stands for its place in the model, read anew at every question.
class GridAccessibleCell : public QAccessibleInterface,
                           public QAccessibleTableCellInterface,
                           public QAccessibleActionInterface {
public:
    GridAccessibleCell(Grid* grid, int row, int col) : m_grid(grid), m_row(row), m_col(col) {}

    int modelRow() const { return m_row; }
    int modelCol() const { return m_col; }
    Grid* grid() const { return m_grid; }

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return table(); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {} // typing goes through the editor
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTableCellInterface (a heading has no data row or column: -1)
    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override;
    int rowIndex() const override;
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override {
        return m_grid ? QAccessible::queryAccessibleInterface(m_grid.data()) : nullptr;
    }

    // QAccessibleActionInterface
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    GridAccessible* owner() const { return dynamic_cast<GridAccessible*>(table()); }
    const GridModel* model() const { return m_grid ? m_grid->model() : nullptr; }
    bool heading() const { return model()->isFixed(m_row, m_col); }
    bool editable() const;

    QPointer<Grid> m_grid;
    int m_row, m_col;
};
