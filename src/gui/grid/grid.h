// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/grid/gridmodel.h"
#include "gui/grid/gridaxis.h"
#include "gui/grid/grideditor.h"
#include "gui/grid/gridpainter.h"
#include "gui/platform/paperpaint.h"

#include <QAbstractScrollArea>
#include <QPageLayout>
#include <QPointer>

class QHelpEvent;
class QPagedPaintDevice;

// The table widget of the program: shows and edits a GridModel like a spreadsheet.
// Fixed rows and columns stay in place while the rest scrolls by whole rows and
// columns (TopRow, LeftCol); the cursor cell and selected block follow mouse and
// keys; texts are edited in place (a drop-down where the column has a list; the window
// may have a column's input checked and stored in a form of its own).
class Grid : public QAbstractScrollArea, public PaperPaintable {
    Q_OBJECT
public:
    explicit Grid(QWidget* parent = nullptr);
    ~Grid() override;

    GridModel* model() const { return m_model; }
    // Shows another model (not owned); nullptr returns to the grid's own model.
    void setModel(GridModel* model);

    // Scroll position: the first scrollable row and column shown.
    int topRow() const { return m_rowAxis.first(); }
    int leftCol() const { return m_colAxis.first(); }
    void setTopRow(int row);
    void setLeftCol(int col);

    bool highLight() const { return m_highLight; }
    void setHighLight(bool on);
    bool redraw() const { return m_redraw; }
    void setRedraw(bool on);

    // The grid's height in twips.
    int heightTwips() const;
    void setHeightTwips(int twips);

    // The cell under the mouse at the last mouse event (-1 outside the cells).
    int mouseRow() const { return m_mouseRow; }
    int mouseCol() const { return m_mouseCol; }
    // The cursor cell's rectangle in twips, relative to the grid.
    int cellLeft() const;
    int cellTop() const;
    int cellWidth() const;
    int cellHeight() const;

    // A column that also takes the width the others leave free on screen (-1: none);
    // the column widths of the model stay as they are.
    void setStretchCol(int col);
    int stretchCol() const { return m_stretchCol; }

    // How a column's editor checks what is typed and the form it is stored in.
    void setColInput(int col, ColumnInput input);

    // Moves the cursor (and selection) like the user would, scrolling it into view.
    void setCursor(int row, int col, bool extend = false);

    // Editing in place.
    bool isEditing() const { return m_editor->isOpen(); }
    QWidget* editor() const { return m_editor->widget(); }
    bool startEdit(const QString& replaceWith = QString(), bool replace = false);
    bool commitEdit();
    void cancelEdit();

    // A key-down handler may call this to stop the grid's own handling of the key.
    void consumeKey() { m_keyConsumed = true; }

    // Prints every row and column that is not hidden, fixed rows repeated on every
    // page, scaled to the page width where needed.
    QPageLayout::Orientation printOrientation() const { return m_printOrientation; }
    void setPrintOrientation(QPageLayout::Orientation o) { m_printOrientation = o; }
    bool printGrid(const QString& title = QString());
    bool paintPages(QPagedPaintDevice* device);
    // Paints the cells shown on screen as they are laid out there, as text and lines
    // (for printing a window that holds the grid); the painter's unit is a pixel of
    // the viewport.
    void paintShown(QPainter& p);
    void paintOnPaper(QPainter& p) override;

    QSize sizeHint() const override;

Q_SIGNALS:
    void cellChanged(int oldRow, int oldCol, int newRow, int newCol);
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void afterEdit(int row, int col);
    // The user dragged a column width or row height.
    void layoutResized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // What a screen reader is told of the grid (gridaccessible.cpp).
    friend class GridAccessible;
    friend class GridAccessibleCell;

    struct Hit {
        int row = -1, col = -1;
        int resizeCol = -1, resizeRow = -1; // a border being grabbed
    };
    // A column width or row height being dragged on a heading border.
    struct Resize {
        Qt::Orientation along = Qt::Horizontal; // columns
        int line = -1;
        int origin = 0;  // where the drag began, along the axis
        int startPx = 0; // the line's size then
    };
    void attach(GridModel* model);
    // `reset`: the model was reset or replaced.
    void relayout(bool reset = false);
    void updateScrollBars();
    // The axes with the model's fixed lines, which it may change without a signal.
    const GridAxis& rowAxis() const;
    const GridAxis& colAxis() const;
    GridAxis& rowAxis();
    GridAxis& colAxis();
    void scrollAxisTo(GridAxis& axis, int line, int extent);
    qreal dpiX() const;
    qreal dpiY() const;
    // Pixel rectangle of a cell in the viewport (empty when not shown).
    QRect cellRect(int row, int col) const;
    Hit hitTest(const QPoint& pos) const;
    void ensureVisible(int row, int col);
    void moveBy(int dRow, int dCol, bool extend);
    void toggleCheck(int row, int col);
    void onCursorChanged(int oldRow, int oldCol, int newRow, int newCol);
    void showCutText(const QHelpEvent* event);

    GridModel* m_ownModel;
    QPointer<GridModel> m_model;
    mutable GridAxis m_rowAxis, m_colAxis;
    bool m_highLight = true;
    bool m_redraw = true;
    int m_mouseRow = -1, m_mouseCol = -1;
    int m_stretchCol = -1;
    GridEditor* m_editor;
    bool m_keyConsumed = false;
    bool m_selecting = false;
    Resize m_resize;
    enum class HeaderDrag { None, Cols, Rows } m_headerDrag = HeaderDrag::None;
    QPageLayout::Orientation m_printOrientation = QPageLayout::Portrait;
    GridTextCache m_textCache;
    quint64 m_layoutStamp = 0; // counts the layouts, for the accessible table
};

// How many data rows fit into the grid's own height.
int Grid_FitRows(const Grid& grid);
