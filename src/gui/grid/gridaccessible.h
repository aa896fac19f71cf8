// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

class Grid;
class GridModel;
class QAccessibleEvent;

// What a screen reader learns of a Grid (through Qt's accessibility bridge, AT-SPI on
// Linux): a table whose rows and columns are the grid's scrolled rows and columns that
// are not hidden, each cell with its text, place on screen and states (selected, the
// cursor cell focused, editable, checked, off screen), the fixed rows as the column
// headings and the fixed columns as the row headings. The interfaces of the cells are
// made when asked for and kept by cell until the grid's rows or columns change.
//
// The grid tells it of changes through the functions below, and calls them only while
// an assistive tool listens.
namespace GridAccessibility {

// Makes QAccessible::queryAccessibleInterface() give grids their table interface;
// every Grid calls it as it is made, the first one installs it.
void install();

// Whether an assistive tool listens: QAccessible::isActive(), which only a platform's
// accessibility bridge makes true (AT-SPI with a screen reader running), or a listener
// is installed.
bool listening();
// Where the grids' events go: to QAccessible::updateAccessibility(), or to `listener`
// while one is installed (nullptr: none), the grids then sending as though a screen
// reader listened. For tests: Qt's offscreen platform has no accessibility bridge, so
// QAccessible::isActive() stays false there and Qt passes no event on to its own
// update handler.
void installListener(void (*listener)(QAccessibleEvent* event));

// The grid laid its rows and columns out again; `reset` where the model was reset or
// replaced (every text may have changed).
void laidOut(Grid& grid, bool reset);
// The cursor cell moved: the cell becomes the focus where the grid has it.
void cursorMoved(Grid& grid);
// The grid gained the focus: its cursor cell takes it once the grid's own focus event
// has gone out (QWidget::setFocus sends that after the focus-in event), unless the
// cursor moves on before.
void focusGained(Grid& grid);
void selectionChanged(Grid& grid);
// The model's dataChanged for the block row1..row2 × col1..col2.
void cellsChanged(Grid& grid, int row1, int col1, int row2, int col2, const QList<int>& roles);

// The heading of a column: the texts of the fixed rows shown above it, or of a row:
// those of the fixed columns shown beside it (empty ones left out, lines joined by
// spaces).
QString columnHeading(const GridModel& model, int col);
QString rowHeading(const GridModel& model, int row);
// The name of a cell for its editor: "<column heading> <row heading>", a heading that
// is empty given as "<n>列目" or "<n>行目".
QString cellLabel(const GridModel& model, int row, int col);

} // namespace GridAccessibility
