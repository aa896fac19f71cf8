// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's handling of keys, the input method and the mouse.

#include "gui/grid/grid.h"

#include "gui/grid/gridcolors.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

Grid::Hit Grid::hitTest(const QPoint& pos) const {
    const GridAxis& rows = rowAxis();
    const GridAxis& cols = colAxis();
    // Borders are grabbed in the headings: column borders in the fixed rows, row
    // borders in the fixed columns.
    const bool inHeadingRow = pos.y() < rows.fixedSize(), inHeadingCol = pos.x() < cols.fixedSize();
    const GridAxis::Hit col = cols.hitTest(pos.x(), viewport()->width(), inHeadingRow);
    const GridAxis::Hit row = rows.hitTest(pos.y(), viewport()->height(), inHeadingCol);
    return {row.line, col.line, col.border, row.border};
}

// ---- keyboard -------------------------------------------------------------------

void Grid::keyPressEvent(QKeyEvent* event) {
    if (isEditing()) { // a key the editor left alone
        event->ignore();
        return;
    }
    m_keyConsumed = false;
    Q_EMIT keyDown(event->key(), event->modifiers());
    if (m_keyConsumed) {
        event->accept();
        return;
    }
    GridModel& m = *m_model;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Up:
        moveBy(-1, 0, shift);
        break;
    case Qt::Key_Down:
        moveBy(1, 0, shift);
        break;
    case Qt::Key_Left:
        moveBy(0, -1, shift);
        break;
    case Qt::Key_Right:
        moveBy(0, 1, shift);
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const int page = std::max(1, rowAxis().fitting(viewport()->height()));
        moveBy(event->key() == Qt::Key_PageUp ? -page : page, 0, shift);
        break;
    }
    case Qt::Key_Home:
        setCursor(ctrl ? m.fixedRows() : (shift ? m.rowSel() : m.row()), m.fixedCols(), shift);
        break;
    case Qt::Key_End:
        setCursor(ctrl ? m.rows() - 1 : (shift ? m.rowSel() : m.row()), m.cols() - 1, shift);
        break;
    case Qt::Key_Tab:
        moveBy(0, 1, false);
        break;
    case Qt::Key_Backtab:
        moveBy(0, -1, false);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        moveBy(1, 0, false);
        break;
    case Qt::Key_F2:
        startEdit();
        break;
    case Qt::Key_Space:
        if (m.cell(GridModel::CellChecked, m.row(), m.col()) != 0 && !m.isFixed(m.row(), m.col()))
            toggleCheck(m.row(), m.col());
        else
            startEdit(event->text(), true);
        break;
    default: {
        const QString text = event->text();
        const bool printable = !text.isEmpty() && text.at(0).isPrint() &&
                               !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (printable && startEdit(text, true))
            break;
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    }
    event->accept();
}

void Grid::inputMethodEvent(QInputMethodEvent* event) {
    // Japanese input begins while the grid itself has the focus: open the editor
    // and hand it the composition.
    if (!isEditing() && (!event->preeditString().isEmpty() || !event->commitString().isEmpty()))
        startEdit(QString(), true);
    if (isEditing()) {
        m_editor->sendInputMethodEvent(event);
        return;
    }
    QAbstractScrollArea::inputMethodEvent(event);
}

QVariant Grid::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return cellRect(m_model->row(), m_model->col());
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}
// ---- mouse ----------------------------------------------------------------------

void Grid::mousePressEvent(QMouseEvent* event) {
    if (isEditing() && !commitEdit())
        cancelEdit();
    const QPoint pos = event->position().toPoint();
    Q_EMIT mouseDown(event->button(), event->modifiers(), Twips::fromPixels(pos.x(), dpiX()),
                     Twips::fromPixels(pos.y(), dpiY()));
    const Hit hit = hitTest(pos);
    m_mouseRow = hit.row;
    m_mouseCol = hit.col;
    if (event->button() != Qt::LeftButton)
        return;
    GridModel& m = *m_model;
    if (hit.resizeCol >= 0) {
        m_resize = {Qt::Horizontal, hit.resizeCol, pos.x(), colAxis().size(hit.resizeCol)};
        return;
    }
    if (hit.resizeRow >= 0) {
        m_resize = {Qt::Vertical, hit.resizeRow, pos.y(), rowAxis().size(hit.resizeRow)};
        return;
    }
    if (hit.row < 0 || hit.col < 0)
        return;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    // A fixed cell that takes typing is a cell like the others.
    const bool heading = m.isHeading(hit.row, hit.col);
    const bool rowHeader = heading && hit.row < m.fixedRows();
    const bool colHeader = heading && hit.col < m.fixedCols();
    if (rowHeader && colHeader) { // the corner: everything
        m.select(m.fixedRows(), m.fixedCols(), m.rows() - 1, m.cols() - 1);
    } else if (rowHeader) { // a column heading: the whole column
        m.select(m.fixedRows(), shift ? m.col() : hit.col, m.rows() - 1, hit.col);
        m_headerDrag = HeaderDrag::Cols;
    } else if (colHeader) { // a row heading: the whole row
        m.select(shift ? m.row() : hit.row, m.fixedCols(), hit.row, m.cols() - 1);
        m_headerDrag = HeaderDrag::Rows;
    } else {
        setCursor(hit.row, hit.col, shift);
        m_selecting = true;
        if (!shift && m.cell(GridModel::CellChecked, hit.row, hit.col) != 0) {
            // A check box alone in its cell toggles on a click anywhere in the cell;
            // one beside a text when the box itself is hit.
            const QRect r = cellRect(hit.row, hit.col);
            if (m.cellAt(hit.row, hit.col).text.isEmpty() || pos.x() < r.left() + 22)
                toggleCheck(hit.row, hit.col);
        }
    }
}

void Grid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const Hit hit = hitTest(pos);
    m_mouseRow = hit.row;
    m_mouseCol = hit.col;
    GridModel& m = *m_model;
    if (m_resize.line >= 0) {
        const bool cols = m_resize.along == Qt::Horizontal;
        const int px = std::max(0, m_resize.startPx + (cols ? pos.x() : pos.y()) - m_resize.origin);
        if (cols)
            m.setColWidth(m_resize.line, Twips::fromPixels(px, dpiX()));
        else
            m.setRowHeight(m_resize.line, Twips::fromPixels(px, dpiY()));
        return;
    }
    if (!(event->buttons() & Qt::LeftButton)) {
        viewport()->setCursor(hit.resizeCol >= 0   ? Qt::SplitHCursor
                              : hit.resizeRow >= 0 ? Qt::SplitVCursor
                                                   : Qt::ArrowCursor);
        return;
    }
    if (hit.row < 0 || hit.col < 0)
        return;
    if (m_selecting && !m.isFixed(hit.row, hit.col)) {
        m.setRowSel(hit.row);
        m.setColSel(hit.col);
        ensureVisible(hit.row, hit.col);
    } else if (m_headerDrag == HeaderDrag::Cols && hit.col >= m.fixedCols()) {
        m.setColSel(hit.col);
    } else if (m_headerDrag == HeaderDrag::Rows && hit.row >= m.fixedRows()) {
        m.setRowSel(hit.row);
    }
}

void Grid::mouseReleaseEvent(QMouseEvent* event) {
    if (m_resize.line >= 0) {
        m_resize.line = -1;
        Q_EMIT layoutResized();
    }
    m_selecting = false;
    m_headerDrag = HeaderDrag::None;
    event->accept();
}

void Grid::mouseDoubleClickEvent(QMouseEvent* event) {
    const Hit hit = hitTest(event->position().toPoint());
    if (event->button() == Qt::LeftButton && hit.resizeCol < 0 && hit.resizeRow < 0 &&
        m_model->isEditable(hit.row, hit.col) &&
        m_model->cell(GridModel::CellChecked, hit.row, hit.col) == 0)
        startEdit();
}
