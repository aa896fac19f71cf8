// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/grid.h"

#include "core/print/fitrows.h"
#include "gui/grid/gridaccessible.h"
#include "gui/grid/gridcolors.h"
#include "gui/platform/printer.h"

#include <QFocusEvent>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

Grid::Grid(QWidget* parent)
    : QAbstractScrollArea(parent), m_ownModel(new GridModel(2, 2, this)),
      m_editor(new GridEditor(this)) {
    GridAccessibility::install();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    connect(m_editor, &GridEditor::edited, this, &Grid::afterEdit);
    connect(m_editor, &GridEditor::moveRequested, this,
            [this](int dRow, int dCol) { moveBy(dRow, dCol, false); });
    attach(m_ownModel);
}

Grid::~Grid() {
    // The editor goes before the viewport, which holds an open editor's widget: that
    // widget loses the focus on the way. Nothing the model does reaches the grid after.
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    delete m_editor;
}

void Grid::setModel(GridModel* model) {
    attach(model ? model : m_ownModel);
}

void Grid::attach(GridModel* model) {
    if (m_model == model)
        return;
    cancelEdit();
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    m_textCache.clear();
    auto layout = [this] { relayout(); };
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to, const QList<int>& roles) {
                viewport()->update();
                if (GridAccessibility::listening())
                    GridAccessibility::cellsChanged(*this, from.row(), from.column(), to.row(),
                                                    to.column(), roles);
            });
    connect(model, &GridModel::selectionChanged, this, [this] {
        viewport()->update();
        if (GridAccessibility::listening())
            GridAccessibility::selectionChanged(*this);
    });
    connect(model, &GridModel::cursorChanged, this, &Grid::onCursorChanged);
    connect(model, &QAbstractItemModel::headerDataChanged, this, layout);
    connect(model, &QAbstractItemModel::rowsInserted, this, layout);
    connect(model, &QAbstractItemModel::rowsRemoved, this, layout);
    connect(model, &QAbstractItemModel::columnsInserted, this, layout);
    connect(model, &QAbstractItemModel::columnsRemoved, this, layout);
    connect(model, &QAbstractItemModel::modelReset, this, [this] { relayout(true); });
    m_rowAxis.setFirst(model->fixedRows());
    m_colAxis.setFirst(model->fixedCols());
    relayout(true);
}

qreal Grid::dpiX() const {
    return logicalDpiX();
}

qreal Grid::dpiY() const {
    return logicalDpiY();
}

const GridAxis& Grid::rowAxis() const {
    m_rowAxis.setFixed(m_model->fixedRows());
    return m_rowAxis;
}

const GridAxis& Grid::colAxis() const {
    m_colAxis.setFixed(m_model->fixedCols());
    return m_colAxis;
}

GridAxis& Grid::rowAxis() {
    m_rowAxis.setFixed(m_model->fixedRows());
    return m_rowAxis;
}

GridAxis& Grid::colAxis() {
    m_colAxis.setFixed(m_model->fixedCols());
    return m_colAxis;
}

void Grid::relayout(bool reset) {
    const GridModel& m = *m_model;
    std::vector<int> cols(size_t(m.cols())), rows(size_t(m.rows()));
    for (int c = 0; c < m.cols(); ++c)
        cols[size_t(c)] = m.colHidden(c) ? 0 : Twips::toPixels(m.colWidth(c), dpiX());
    for (int r = 0; r < m.rows(); ++r)
        rows[size_t(r)] = m.rowHidden(r) ? 0 : Twips::toPixels(m.rowHeight(r), dpiY());
    // The stretching column takes the width the others leave on screen.
    if (m_stretchCol >= 0 && m_stretchCol < m.cols() && cols[size_t(m_stretchCol)] > 0) {
        int used = 0;
        for (int px : cols)
            used += px;
        const int spare = viewport()->width() - used;
        if (spare > 0)
            cols[size_t(m_stretchCol)] += spare;
    }
    m_colAxis.setSizes(std::move(cols));
    m_rowAxis.setSizes(std::move(rows));
    if (isEditing() && !m.valid(m_editor->row(), m_editor->col()))
        cancelEdit();
    m_textCache.trim();
    updateScrollBars();
    viewport()->update();
    ++m_layoutStamp;
    if (GridAccessibility::listening())
        GridAccessibility::laidOut(*this, reset);
}

void Grid::updateScrollBars() {
    GridAxis& rows = rowAxis();
    GridAxis& cols = colAxis();
    const int height = viewport()->height(), width = viewport()->width();
    const int fr = rows.fixed(), fc = cols.fixed();
    const int maxTop = rows.maxFirst(height), maxLeft = cols.maxFirst(width);
    rows.scrollTo(rows.first(), height);
    cols.scrollTo(cols.first(), width);
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    // Not blocked: the scroll area shows or hides a bar on its range signal. The
    // values follow the clamped scroll position, so scrolling to them changes nothing.
    v->setRange(0, std::max(0, maxTop - fr));
    v->setPageStep(std::max(1, rows.fitting(height)));
    v->setValue(rows.first() - fr);
    h->setRange(0, std::max(0, maxLeft - fc));
    h->setPageStep(std::max(1, (maxLeft - fc) / 4 + 1));
    h->setValue(cols.first() - fc);
}

void Grid::scrollAxisTo(GridAxis& axis, int line, int extent) {
    axis.scrollTo(line, extent);
    updateScrollBars();
    if (isEditing())
        commitEdit();
    viewport()->update();
}

void Grid::setTopRow(int row) {
    scrollAxisTo(rowAxis(), row, viewport()->height());
}

void Grid::setLeftCol(int col) {
    scrollAxisTo(colAxis(), col, viewport()->width());
}

void Grid::scrollContentsBy(int, int) {
    GridAxis& rows = rowAxis();
    GridAxis& cols = colAxis();
    const int top = rows.fixed() + verticalScrollBar()->value();
    const int left = cols.fixed() + horizontalScrollBar()->value();
    if (top == rows.first() && left == cols.first())
        return;
    if (isEditing())
        commitEdit();
    rows.setFirst(top);
    cols.setFirst(left);
    viewport()->update();
}

void Grid::setHighLight(bool on) {
    m_highLight = on;
    viewport()->update();
}

void Grid::setRedraw(bool on) {
    m_redraw = on;
    viewport()->setUpdatesEnabled(on);
    if (on)
        viewport()->update();
}

int Grid::heightTwips() const {
    return Twips::fromPixels(height(), dpiY());
}

void Grid::setHeightTwips(int twips) {
    resize(width(), Twips::toPixels(twips, dpiY()));
}

void Grid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (m_stretchCol >= 0)
        relayout();
    else
        updateScrollBars();
}

bool Grid::viewportEvent(QEvent* event) {
    // The viewport also changes size when a scroll bar comes or goes.
    if (event->type() == QEvent::Resize && m_stretchCol >= 0)
        relayout();
    if (event->type() == QEvent::ToolTip) {
        showCutText(static_cast<QHelpEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void Grid::showCutText(const QHelpEvent* event) {
    // A text the cell cuts short is shown whole while the mouse rests on it, wrapped
    // in lines of a readable length.
    const Hit hit = hitTest(event->pos());
    const QRect cell = cellRect(hit.row, hit.col);
    const QString text = cell.isEmpty() ? QString() : m_model->textMatrix(hit.row, hit.col);
    bool cut = false;
    if (!text.isEmpty()) {
        if (const auto painted = m_textCache.isCut(hit.row, hit.col, text)) {
            cut = *painted;
        } else { // not painted as it is yet
            constexpr int Padding = 3;
            GridPainter::fitLines(GridPainter::displayText(text), font(),
                                  std::max(1, cell.width() - 2 * Padding),
                                  std::max(1, cell.height() - Padding), &cut);
        }
    }
    if (!cut) {
        QToolTip::hideText();
        return;
    }
    constexpr qsizetype MaxTip = 4000;
    QString shown = GridPainter::displayText(text);
    if (shown.size() > MaxTip)
        shown = shown.left(shown[MaxTip - 1].isHighSurrogate() ? MaxTip - 1 : MaxTip) + u'…';
    QToolTip::showText(
        event->globalPos(),
        QStringLiteral("<p style='white-space:pre-wrap'>%1</p>").arg(shown.toHtmlEscaped()),
        viewport(), cell);
}

void Grid::setStretchCol(int col) {
    m_stretchCol = col;
    relayout();
}

void Grid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update(); // the cursor's frame shows the focus
    if (GridAccessibility::listening())
        GridAccessibility::focusGained(*this);
}

void Grid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void Grid::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        m_textCache.clear();
    QAbstractScrollArea::changeEvent(event);
}

QRect Grid::cellRect(int row, int col) const {
    if (!m_model->valid(row, col))
        return {};
    const GridAxis& rows = rowAxis();
    const GridAxis& cols = colAxis();
    const int x = cols.position(col), y = rows.position(row);
    if (x < 0 || y < 0)
        return {};
    return QRect(x, y, cols.size(col), rows.size(row));
}

int Grid::cellLeft() const {
    const QRect r = cellRect(m_model->row(), m_model->col());
    return Twips::fromPixels(r.x() + viewport()->x(), dpiX());
}

int Grid::cellTop() const {
    const QRect r = cellRect(m_model->row(), m_model->col());
    return Twips::fromPixels(r.y() + viewport()->y(), dpiY());
}

int Grid::cellWidth() const {
    // As shown: a stretching column is wider on screen than in the model.
    const int col = m_model->col();
    if (col == m_stretchCol && col >= 0 && col < colAxis().count())
        return Twips::fromPixels(colAxis().size(col), dpiX());
    return m_model->colWidth(col);
}

int Grid::cellHeight() const {
    return m_model->rowHeight(m_model->row());
}

void Grid::setColInput(int col, ColumnInput input) {
    m_editor->setColInput(col, std::move(input));
}

QSize Grid::sizeHint() const {
    return QSize(480, 320);
}

// ---- painting ----------------------------------------------------------------

void Grid::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    const QRect clip = event->rect();
    p.fillRect(clip, palette().color(QPalette::Window).darker(108));
    const GridModel& m = *m_model;
    if (m.rows() == 0 || m.cols() == 0)
        return;
    p.setFont(font());
    GridPainter painter(m, palette());
    painter.setScreen(&m_textCache, m_highLight);
    painter.paint(p, rowAxis().shown(viewport()->height()), colAxis().shown(viewport()->width()),
                  clip);
    const QRect cursor = cellRect(m.row(), m.col());
    // With the keyboard focus the cursor cell is always framed.
    if ((m_highLight || hasFocus()) && !cursor.isEmpty() && !m.isHeading(m.row(), m.col()) &&
        !isEditing())
        painter.paintCursor(p, cursor, hasFocus());
}

void Grid::paintShown(QPainter& p) {
    p.save();
    GridPainter painter(*m_model, palette());
    painter.setPaper(1.0);
    painter.paint(p, rowAxis().shown(viewport()->height()), colAxis().shown(viewport()->width()));
    p.restore();
}

void Grid::paintOnPaper(QPainter& p) {
    p.save();
    p.setClipRect(viewport()->geometry(), Qt::IntersectClip);
    p.translate(viewport()->pos());
    p.setFont(paperFont(font()));
    paintShown(p);
    p.restore();
    p.setPen(QPen(palette().color(QPalette::Mid), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(viewport()->geometry()).adjusted(-0.5, -0.5, 0.5, 0.5));
}

bool Grid::printGrid(const QString& title) {
    return Printer::print(this, title.isEmpty() ? windowTitle() : title, m_printOrientation,
                          [this](QPagedPaintDevice* device) { return paintPages(device); }) ==
           Printer::Result::Printed;
}

bool Grid::paintPages(QPagedPaintDevice* device) {
    return GridPainter::paintPages(*m_model, palette(), font(), device);
}

// ---- cursor and selection ------------------------------------------------------

void Grid::onCursorChanged(int oldRow, int oldCol, int newRow, int newCol) {
    if (isEditing() && (newRow != m_editor->row() || newCol != m_editor->col()))
        commitEdit();
    viewport()->update();
    if (GridAccessibility::listening())
        GridAccessibility::cursorMoved(*this);
    Q_EMIT cellChanged(oldRow, oldCol, newRow, newCol);
}

void Grid::ensureVisible(int row, int col) {
    if (!isVisible())
        return; // the viewport has no size yet: nothing to scroll into
    rowAxis().bringIntoView(row, viewport()->height());
    colAxis().bringIntoView(col, viewport()->width());
    updateScrollBars();
    viewport()->update();
}

void Grid::setCursor(int row, int col, bool extend) {
    GridModel& m = *m_model;
    // Into the scrolled cells, or onto a fixed cell that takes typing.
    if (!m.valid(row, col) || m.isHeading(row, col)) {
        row = std::clamp(row, m.fixedRows(), m.rows() - 1);
        col = std::clamp(col, m.fixedCols(), m.cols() - 1);
    }
    if (!m.valid(row, col))
        return;
    if (extend)
        m.select(m.row(), m.col(), row, col);
    else
        m.select(row, col);
    ensureVisible(row, col);
}

void Grid::moveBy(int dRow, int dCol, bool extend) {
    const GridModel& m = *m_model;
    const int fromRow = extend ? m.rowSel() : m.row(), fromCol = extend ? m.colSel() : m.col();
    int row = rowAxis().step(fromRow, dRow);
    const int col = colAxis().step(fromCol, dCol);
    // Up from the first scrolled row onto a fixed cell that takes typing.
    if (!extend && dRow < 0 && row == fromRow && fromRow == m.fixedRows() && row > 0 &&
        m.isEditable(row - 1, col))
        row -= 1;
    setCursor(row, col, extend);
}

void Grid::toggleCheck(int row, int col) {
    GridModel& m = *m_model;
    const int check = m.cell(GridModel::CellChecked, row, col);
    if (check != 1 && check != 2)
        return;
    m.setCell(GridModel::CellChecked, row, col, check == 1 ? 2 : 1);
    Q_EMIT afterEdit(row, col);
}

// ---- editing --------------------------------------------------------------------

bool Grid::startEdit(const QString& replaceWith, bool replace) {
    if (isEditing())
        return true;
    GridModel& m = *m_model;
    const int row = m.row(), col = m.col();
    if (!m.isEditable(row, col) || m.cell(GridModel::CellChecked, row, col) != 0)
        return false;
    ensureVisible(row, col);
    const QRect rect = cellRect(row, col);
    if (rect.isEmpty())
        return false;
    m_editor->open(m, row, col, rect,
                   replace ? replaceWith : GridPainter::displayText(m.textMatrix(row, col)));
    viewport()->update();
    return true;
}

bool Grid::commitEdit() {
    return m_editor->commit();
}

void Grid::cancelEdit() {
    m_editor->cancel();
}

int Grid_FitRows(const Grid& grid) {
    return Grid_FitRows(*grid.model(), grid.heightTwips());
}
