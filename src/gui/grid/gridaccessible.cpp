// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/gridaccessible.h"

#include "gui/grid/gridaccessibletable.h"
#include "gui/grid/gridpainter.h"

namespace {

QString oneLine(const QString& text) {
    return GridPainter::displayText(text).replace(u'\n', u' ').trimmed();
}

QString joinTexts(const QStringList& texts) {
    QStringList parts;
    for (const QString& t : texts)
        if (const QString s = oneLine(t); !s.isEmpty())
            parts.append(s);
    return parts.join(u' ');
}

} // namespace

namespace {

QAccessibleInterface* factory(const QString& key, QObject* object) {
    Q_UNUSED(key);
    if (auto* grid = qobject_cast<Grid*>(object))
        return new GridAccessible(grid);
    return nullptr;
}

// The table of a grid. An interface made for it while it was still being built as a
// scroll area is not the table: that one is dropped for the table.
GridAccessible* tableOf(Grid& grid) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&grid);
    if (auto* table = dynamic_cast<GridAccessible*>(iface))
        return table;
    if (iface) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
        return dynamic_cast<GridAccessible*>(QAccessible::queryAccessibleInterface(&grid));
    }
    return nullptr;
}

void (*listener)(QAccessibleEvent*) = nullptr;

void send(QAccessibleEvent& event) {
    if (listener)
        listener(&event);
    else
        QAccessible::updateAccessibility(&event);
}

void sendForCell(Grid& grid, GridAccessible& table, int row, int col, QAccessible::Event type) {
    const int index = table.childIndex(row, col);
    if (index < 0)
        return;
    QAccessibleEvent event(&grid, type);
    event.setChild(index);
    send(event);
}

bool inBlock(const GridModel::Selection& s, int row, int col) {
    return row >= s.row1 && row <= s.row2 && col >= s.col1 && col <= s.col2;
}

} // namespace

bool GridAccessibility::listening() {
    return listener || QAccessible::isActive();
}

void GridAccessibility::installListener(void (*l)(QAccessibleEvent*)) {
    listener = l;
}

void GridAccessibility::install() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

void GridAccessibility::laidOut(Grid& grid, bool reset) {
    if (!listening())
        return;
    GridAccessible* table = tableOf(grid);
    if (!table)
        return;
    if (!table->sync() && !reset)
        return;
    table->dropCells();
    QAccessibleTableModelChangeEvent event(&grid, QAccessibleTableModelChangeEvent::ModelReset);
    send(event);
}

void GridAccessibility::cursorMoved(Grid& grid) {
    if (!listening())
        return;
    GridAccessible* table = tableOf(grid);
    if (!table)
        return;
    table->focusPending = false;
    if (grid.hasFocus())
        sendForCell(grid, *table, grid.model()->row(), grid.model()->col(), QAccessible::Focus);
}

void GridAccessibility::focusGained(Grid& grid) {
    if (!listening())
        return;
    GridAccessible* table = tableOf(grid);
    if (!table)
        return;
    table->focusPending = true;
    QMetaObject::invokeMethod(
        &grid,
        [&grid] {
            if (!listening())
                return;
            if (GridAccessible* t = tableOf(grid); t && t->focusPending)
                cursorMoved(grid);
        },
        Qt::QueuedConnection);
}

void GridAccessibility::selectionChanged(Grid& grid) {
    if (!listening())
        return;
    GridAccessible* table = tableOf(grid);
    if (!table)
        return;
    const GridModel& m = *grid.model();
    const GridModel::Selection block = m.getSelection(), old = table->lastBlock;
    const int row = m.rowSel(), col = m.colSel();
    const int oldRow = table->lastCornerRow, oldCol = table->lastCornerCol;
    table->lastBlock = block;
    table->lastCornerRow = row;
    table->lastCornerCol = col;
    if (block.row1 == block.row2 && block.col1 == block.col2) {
        // One cell, the cursor's: the selection is that cell alone.
        sendForCell(grid, *table, m.row(), m.col(), QAccessible::Selection);
        return;
    }
    // A block, widened or narrowed at its corner away from the cursor.
    if (!inBlock(old, row, col))
        sendForCell(grid, *table, row, col, QAccessible::SelectionAdd);
    else if (!inBlock(block, oldRow, oldCol))
        sendForCell(grid, *table, oldRow, oldCol, QAccessible::SelectionRemove);
    QAccessibleEvent within(&grid, QAccessible::SelectionWithin);
    send(within);
}

void GridAccessibility::cellsChanged(Grid& grid, int row1, int col1, int row2, int col2,
                                     const QList<int>& roles) {
    if (!listening())
        return;
    const bool text =
        roles.isEmpty() || roles.contains(Qt::DisplayRole) || roles.contains(Qt::EditRole);
    const bool check = roles.isEmpty() || roles.contains(GridModel::CheckRole);
    if (!text && !check)
        return;
    GridAccessible* table = tableOf(grid);
    if (!table)
        return;
    // Only the cells a tool has asked for: it knows of no other.
    for (const auto& [row, col] : table->cachedCells(row1, col1, row2, col2)) {
        const int index = table->childIndex(row, col);
        if (index < 0)
            continue;
        if (check) {
            QAccessible::State changed;
            changed.checked = true;
            QAccessibleStateChangeEvent event(&grid, changed);
            event.setChild(index);
            send(event);
        }
        // The name: the text, or the check box in words.
        QAccessibleEvent event(&grid, QAccessible::NameChanged);
        event.setChild(index);
        send(event);
    }
}

QString GridAccessibility::columnHeading(const GridModel& m, int col) {
    QStringList texts;
    for (int r = 0; r < m.fixedRows(); ++r)
        if (GridLines::rowShown(m, r))
            texts.append(m.textMatrix(r, col));
    return joinTexts(texts);
}

QString GridAccessibility::rowHeading(const GridModel& m, int row) {
    QStringList texts;
    for (int c = 0; c < m.fixedCols(); ++c)
        if (GridLines::colShown(m, c))
            texts.append(m.textMatrix(row, c));
    return joinTexts(texts);
}

QString GridAccessibility::cellLabel(const GridModel& m, int row, int col) {
    QString colPart = columnHeading(m, col);
    if (colPart.isEmpty())
        colPart = QStringLiteral("%1列目").arg(GridLines::cols(m).dataIndexOf(col) + 1);
    QString rowPart = rowHeading(m, row);
    if (rowPart.isEmpty())
        rowPart = QStringLiteral("%1行目").arg(GridLines::rows(m).dataIndexOf(row) + 1);
    return colPart + u' ' + rowPart;
}
