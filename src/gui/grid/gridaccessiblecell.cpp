// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/gridaccessibletable.h"

#include "gui/grid/gridpainter.h"

#include <QWindow>

namespace {

// A point on the viewport where a row or column begins: where it is shown, or where
// it would be had the grid not scrolled past it (above or left of the scrolled part).
int linePos(const GridAxis& axis, int line) {
    const int pos = axis.position(line);
    if (pos >= 0)
        return pos;
    int p = axis.fixedSize();
    for (int i = line; i < axis.first(); ++i)
        p -= axis.size(i);
    return p;
}

} // namespace

bool GridAccessibleCell::isValid() const {
    const GridModel* m = model();
    return m && m->valid(m_row, m_col) && GridLines::rowShown(*m, m_row) &&
           GridLines::colShown(*m, m_col);
}

QWindow* GridAccessibleCell::window() const {
    QAccessibleInterface* t = table();
    return t ? t->window() : nullptr;
}

QString GridAccessibleCell::text(QAccessible::Text t) const {
    if (t != QAccessible::Name || !isValid())
        return {};
    // The text as painted, its line ends made LF; a check box alone is said in words.
    const GridCell c = model()->cellAt(m_row, m_col);
    QString text = GridPainter::displayText(c.text);
    if (text.isEmpty() && (c.check == 1 || c.check == 2))
        text = c.check == 1 ? QStringLiteral("チェック済み") : QStringLiteral("未チェック");
    return text;
}

QRect GridAccessibleCell::rect() const {
    if (!isValid())
        return {};
    const GridAxis& rows = m_grid->rowAxis();
    const GridAxis& cols = m_grid->colAxis();
    const QPoint topLeft(linePos(cols, m_col), linePos(rows, m_row));
    return QRect(m_grid->viewport()->mapToGlobal(topLeft),
                 QSize(cols.size(m_col), rows.size(m_row)));
}

QAccessible::Role GridAccessibleCell::role() const {
    const GridModel* m = model();
    if (!m)
        return QAccessible::Cell;
    if (m_row < m->fixedRows())
        return QAccessible::ColumnHeader; // a corner cell heads the row headings' column
    if (m_col < m->fixedCols())
        return QAccessible::RowHeader;
    return QAccessible::Cell;
}

bool GridAccessibleCell::editable() const {
    // As Grid::startEdit: the scrolled cells without a check box.
    const GridModel& m = *model();
    return !m.isFixed(m_row, m_col) && m.cell(GridModel::CellChecked, m_row, m_col) == 0;
}

QAccessible::State GridAccessibleCell::state() const {
    QAccessible::State st;
    if (!isValid()) {
        st.invalid = true;
        return st;
    }
    const Grid& g = *m_grid;
    const GridModel& m = *g.model();
    // Off screen: scrolled out of view, or past the viewport's end.
    const QRect view = g.viewport()->rect();
    const GridAxis& rows = g.rowAxis();
    const GridAxis& cols = g.colAxis();
    const bool rowOn =
        (m_row < rows.fixed() || m_row >= rows.first()) && linePos(rows, m_row) < view.height();
    const bool colOn =
        (m_col < cols.fixed() || m_col >= cols.first()) && linePos(cols, m_col) < view.width();
    if (!g.isVisible() || !rowOn || !colOn) {
        st.invisible = true;
        st.offscreen = true;
    }
    if (!g.isEnabled())
        st.disabled = true;
    const int check = m.cell(GridModel::CellChecked, m_row, m_col);
    if (check == 1 || check == 2) {
        st.checkable = true;
        st.checked = check == 1;
    }
    if (heading()) {
        st.readOnly = true;
        return st;
    }
    st.focusable = true;
    st.selectable = true;
    st.extSelectable = true; // Shift with the keys or the mouse widens the block
    st.selected = isSelected();
    st.focused = g.hasFocus() && m.row() == m_row && m.col() == m_col;
    st.editable = editable();
    return st;
}

void* GridAccessibleCell::interface_cast(QAccessible::InterfaceType t) {
    // Headings and cells gone answer too (with -1 for the place they do not have): the
    // accessibility bridge asks any child of a table for it without looking.
    if (t == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface*>(this);
    if (t == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
}

bool GridAccessibleCell::isSelected() const {
    if (!isValid() || heading())
        return false;
    const GridModel::Selection s = model()->getSelection();
    return m_row >= s.row1 && m_row <= s.row2 && m_col >= s.col1 && m_col <= s.col2;
}

QList<QAccessibleInterface*> GridAccessibleCell::columnHeaderCells() const {
    QList<QAccessibleInterface*> cells;
    if (GridAccessible* t = owner(); t && isValid() && !heading())
        for (const int r : t->rows().head)
            if (QAccessibleInterface* c = t->cell(r, m_col))
                cells.append(c);
    return cells;
}

QList<QAccessibleInterface*> GridAccessibleCell::rowHeaderCells() const {
    QList<QAccessibleInterface*> cells;
    if (GridAccessible* t = owner(); t && isValid() && !heading())
        for (const int c : t->cols().head)
            if (QAccessibleInterface* h = t->cell(m_row, c))
                cells.append(h);
    return cells;
}

int GridAccessibleCell::rowIndex() const {
    const GridAccessible* t = owner();
    return t && isValid() ? (t->sync(), t->rows().dataIndexOf(m_row)) : -1;
}

int GridAccessibleCell::columnIndex() const {
    const GridAccessible* t = owner();
    return t && isValid() ? (t->sync(), t->cols().dataIndexOf(m_col)) : -1;
}

QStringList GridAccessibleCell::actionNames() const {
    if (!isValid() || heading() || !m_grid->isEnabled())
        return {};
    QStringList names{QAccessibleActionInterface::setFocusAction()};
    const int check = model()->cell(GridModel::CellChecked, m_row, m_col);
    if (check == 1 || check == 2)
        names.append(QAccessibleActionInterface::toggleAction());
    return names;
}

void GridAccessibleCell::doAction(const QString& actionName) {
    if (!actionNames().contains(actionName))
        return;
    Grid& g = *m_grid;
    if (actionName == QAccessibleActionInterface::setFocusAction()) {
        g.setCursor(m_row, m_col);
        g.setFocus(Qt::OtherFocusReason);
    } else if (actionName == QAccessibleActionInterface::toggleAction()) {
        g.toggleCheck(m_row, m_col); // as a click on the box
    }
}
