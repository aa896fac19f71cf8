#include "grid/grid.h"

#include "grid/gridcolors.h"
#include "platform/printer.h"
#include "print/fitrows.h"
#include "todo/todostring.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace {

constexpr int ResizeGrip = 3;  // pixels either side of a header border
constexpr int TextPadding = 3; // pixels between a cell's border and its text
const QColor GridLine(0xD0, 0xD4, 0xDA);

// Texts typed on other systems may end lines with CR LF or CR.
QString displayText(const QString& text) {
    if (!text.contains(u'\r'))
        return text;
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(u'\r', u'\n');
    return s;
}

Qt::Alignment alignmentFlags(int setting) {
    switch (setting) {
    case 0:
        return Qt::AlignLeft | Qt::AlignTop;
    case 2:
        return Qt::AlignLeft | Qt::AlignBottom;
    case 3:
        return Qt::AlignHCenter | Qt::AlignTop;
    case 4:
        return Qt::AlignCenter;
    case 5:
        return Qt::AlignHCenter | Qt::AlignBottom;
    case 6:
        return Qt::AlignRight | Qt::AlignTop;
    case 7:
        return Qt::AlignRight | Qt::AlignVCenter;
    case 8:
        return Qt::AlignRight | Qt::AlignBottom;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter; // 1 and the general setting
    }
}

void drawCheckBox(QPainter& p, const QRectF& box, bool ticked, const QPalette& pal) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = box.width();
    p.setPen(QPen(pal.color(QPalette::Dark), std::max(1.0, w / 13.0)));
    p.setBrush(pal.color(QPalette::Base));
    p.drawRoundedRect(box, w * 0.15, w * 0.15);
    if (ticked) {
        QPainterPath mark;
        mark.moveTo(box.left() + w * 0.22, box.top() + w * 0.52);
        mark.lineTo(box.left() + w * 0.42, box.top() + w * 0.72);
        mark.lineTo(box.left() + w * 0.80, box.top() + w * 0.28);
        p.setPen(QPen(pal.color(QPalette::Text), std::max(1.5, w * 0.14), Qt::SolidLine,
                      Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(mark);
    }
    p.restore();
}

} // namespace

Grid::Grid(QWidget* parent) : QAbstractScrollArea(parent), m_ownModel(new GridModel(2, 2, this)) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    attach(m_ownModel);
}

Grid::~Grid() = default;

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
    auto repaint = [this] { viewport()->update(); };
    auto layout = [this] { relayout(); };
    connect(model, &QAbstractItemModel::dataChanged, this, repaint);
    connect(model, &GridModel::selectionChanged, this, repaint);
    connect(model, &GridModel::cursorChanged, this, &Grid::onCursorChanged);
    connect(model, &QAbstractItemModel::headerDataChanged, this, layout);
    connect(model, &QAbstractItemModel::rowsInserted, this, layout);
    connect(model, &QAbstractItemModel::rowsRemoved, this, layout);
    connect(model, &QAbstractItemModel::columnsInserted, this, layout);
    connect(model, &QAbstractItemModel::columnsRemoved, this, layout);
    connect(model, &QAbstractItemModel::modelReset, this, layout);
    m_topRow = model->fixedRows();
    m_leftCol = model->fixedCols();
    relayout();
}

qreal Grid::dpiX() const {
    return logicalDpiX();
}

qreal Grid::dpiY() const {
    return logicalDpiY();
}

void Grid::relayout() {
    const GridModel& m = *m_model;
    m_colPx.assign(size_t(m.cols()), 0);
    m_rowPx.assign(size_t(m.rows()), 0);
    for (int c = 0; c < m.cols(); ++c)
        m_colPx[size_t(c)] = m.colHidden(c) ? 0 : Twips::toPixels(m.colWidth(c), dpiX());
    for (int r = 0; r < m.rows(); ++r)
        m_rowPx[size_t(r)] = m.rowHidden(r) ? 0 : Twips::toPixels(m.rowHeight(r), dpiY());
    // The stretching column takes the width the others leave on screen.
    if (m_stretchCol >= 0 && m_stretchCol < m.cols() && m_colPx[size_t(m_stretchCol)] > 0) {
        int used = 0;
        for (int px : m_colPx)
            used += px;
        const int spare = viewport()->width() - used;
        if (spare > 0)
            m_colPx[size_t(m_stretchCol)] += spare;
    }
    if (m_timeCols.size() < size_t(m.cols()))
        m_timeCols.resize(size_t(m.cols()), false);
    if (m_editor && !m.valid(m_editRow, m_editCol))
        cancelEdit();
    if (m_textCache.size() > 8192)
        m_textCache.clear();
    updateScrollBars();
    viewport()->update();
}

int Grid::fixedWidthPx() const {
    int w = 0;
    for (int c = 0; c < m_model->fixedCols(); ++c)
        w += colPx(c);
    return w;
}

int Grid::fixedHeightPx() const {
    int h = 0;
    for (int r = 0; r < m_model->fixedRows(); ++r)
        h += rowPx(r);
    return h;
}

int Grid::maxTopRow() const {
    const int fixed = m_model->fixedRows();
    const int avail = viewport()->height() - fixedHeightPx();
    int used = 0;
    int top = m_model->rows();
    while (top > fixed && used + rowPx(top - 1) <= avail) {
        used += rowPx(top - 1);
        --top;
    }
    return std::max(fixed, std::min(top, m_model->rows() - 1));
}

int Grid::maxLeftCol() const {
    const int fixed = m_model->fixedCols();
    const int avail = viewport()->width() - fixedWidthPx();
    int used = 0;
    int left = m_model->cols();
    while (left > fixed && used + colPx(left - 1) <= avail) {
        used += colPx(left - 1);
        --left;
    }
    return std::max(fixed, std::min(left, m_model->cols() - 1));
}

void Grid::updateScrollBars() {
    const int fr = m_model->fixedRows(), fc = m_model->fixedCols();
    const int maxTop = maxTopRow(), maxLeft = maxLeftCol();
    m_topRow = std::clamp(m_topRow, fr, std::max(fr, maxTop));
    m_leftCol = std::clamp(m_leftCol, fc, std::max(fc, maxLeft));
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    // Not blocked: the scroll area shows or hides a bar on its range signal. The
    // values follow the clamped scroll position, so scrolling to them changes nothing.
    v->setRange(0, std::max(0, maxTop - fr));
    v->setPageStep(std::max(1, visibleRows()));
    v->setValue(m_topRow - fr);
    h->setRange(0, std::max(0, maxLeft - fc));
    h->setPageStep(std::max(1, (maxLeft - fc) / 4 + 1));
    h->setValue(m_leftCol - fc);
}

int Grid::visibleRows() const {
    const int avail = viewport()->height() - fixedHeightPx();
    int used = 0, n = 0;
    for (int r = m_topRow; r < m_model->rows(); ++r) {
        used += rowPx(r);
        if (used > avail)
            break;
        ++n;
    }
    return n;
}

void Grid::setTopRow(int row) {
    const int fr = m_model->fixedRows();
    m_topRow = std::clamp(row, fr, std::max(fr, maxTopRow()));
    updateScrollBars();
    if (m_editor)
        commitEdit();
    viewport()->update();
}

void Grid::setLeftCol(int col) {
    const int fc = m_model->fixedCols();
    m_leftCol = std::clamp(col, fc, std::max(fc, maxLeftCol()));
    updateScrollBars();
    if (m_editor)
        commitEdit();
    viewport()->update();
}

void Grid::scrollContentsBy(int, int) {
    const int top = m_model->fixedRows() + verticalScrollBar()->value();
    const int left = m_model->fixedCols() + horizontalScrollBar()->value();
    if (top == m_topRow && left == m_leftCol)
        return;
    if (m_editor)
        commitEdit();
    m_topRow = top;
    m_leftCol = left;
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
    return QAbstractScrollArea::viewportEvent(event);
}

void Grid::setStretchCol(int col) {
    m_stretchCol = col;
    relayout();
}

void Grid::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        m_textCache.clear();
    QAbstractScrollArea::changeEvent(event);
}

int Grid::colX(int col) const {
    const int fc = m_model->fixedCols();
    int x = 0;
    if (col < fc) {
        for (int c = 0; c < col; ++c)
            x += colPx(c);
        return x;
    }
    if (col < m_leftCol)
        return -1;
    x = fixedWidthPx();
    for (int c = m_leftCol; c < col; ++c)
        x += colPx(c);
    return x;
}

int Grid::rowY(int row) const {
    const int fr = m_model->fixedRows();
    int y = 0;
    if (row < fr) {
        for (int r = 0; r < row; ++r)
            y += rowPx(r);
        return y;
    }
    if (row < m_topRow)
        return -1;
    y = fixedHeightPx();
    for (int r = m_topRow; r < row; ++r) {
        y += rowPx(r);
        if (y > viewport()->height())
            return y; // below the visible area; callers only compare
    }
    return y;
}

QRect Grid::cellRect(int row, int col) const {
    if (!m_model->valid(row, col))
        return {};
    const int x = colX(col), y = rowY(row);
    if (x < 0 || y < 0)
        return {};
    return QRect(x, y, colPx(col), rowPx(row));
}

namespace {

// Along one axis: the line (row or column) of `lines` from `from` to `to`, laid out
// from `start`, that holds `pos`; and, where `grip` is true, the line whose far
// border lies within the grip distance.
void scanLines(const std::vector<int>& lines, int from, int to, int start, int pos, int limit,
               bool grip, int& hit, int& border) {
    int at = start;
    for (int i = from; i < to; ++i) {
        const int size = lines[size_t(i)];
        if (size == 0)
            continue;
        if (grip && std::abs(pos - (at + size)) <= ResizeGrip)
            border = i;
        if (pos >= at && pos < at + size)
            hit = i;
        at += size;
        if (at > limit + ResizeGrip)
            break;
    }
}

} // namespace

Grid::Hit Grid::hitTest(const QPoint& pos) const {
    Hit hit;
    const GridModel& m = *m_model;
    const int fw = fixedWidthPx(), fh = fixedHeightPx();
    const int width = viewport()->width(), height = viewport()->height();
    const bool inHeadingRow = pos.y() < fh, inHeadingCol = pos.x() < fw;
    scanLines(m_colPx, 0, m.fixedCols(), 0, pos.x(), width, inHeadingRow, hit.col, hit.resizeCol);
    if (!inHeadingCol || hit.col < 0)
        scanLines(m_colPx, m_leftCol, m.cols(), fw, pos.x(), width, inHeadingRow, hit.col,
                  hit.resizeCol);
    scanLines(m_rowPx, 0, m.fixedRows(), 0, pos.y(), height, inHeadingCol, hit.row, hit.resizeRow);
    if (!inHeadingRow || hit.row < 0)
        scanLines(m_rowPx, m_topRow, m.rows(), fh, pos.y(), height, inHeadingCol, hit.row,
                  hit.resizeRow);
    return hit;
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
    if (col == m_stretchCol && col >= 0 && size_t(col) < m_colPx.size())
        return Twips::fromPixels(colPx(col), dpiX());
    return m_model->colWidth(col);
}

int Grid::cellHeight() const {
    return m_model->rowHeight(m_model->row());
}

void Grid::setColTimeEditor(int col, bool on) {
    if (col < 0)
        return;
    if (size_t(col) >= m_timeCols.size())
        m_timeCols.resize(size_t(col) + 1, false);
    m_timeCols[size_t(col)] = on;
}

bool Grid::colTimeEditor(int col) const {
    return col >= 0 && size_t(col) < m_timeCols.size() && m_timeCols[size_t(col)];
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

    // Rows and columns on screen: the fixed ones, then the scrolled ones that fit.
    std::vector<std::pair<int, int>> rows, cols; // index, position
    int y = 0;
    for (int r = 0; r < m.fixedRows(); ++r) {
        rows.emplace_back(r, y);
        y += rowPx(r);
    }
    for (int r = m_topRow; r < m.rows() && y < viewport()->height(); ++r) {
        rows.emplace_back(r, y);
        y += rowPx(r);
    }
    int x = 0;
    for (int c = 0; c < m.fixedCols(); ++c) {
        cols.emplace_back(c, x);
        x += colPx(c);
    }
    for (int c = m_leftCol; c < m.cols() && x < viewport()->width(); ++c) {
        cols.emplace_back(c, x);
        x += colPx(c);
    }

    const GridModel::Selection sel = m.getSelection();
    const bool block = sel.row1 != sel.row2 || sel.col1 != sel.col2;
    p.setFont(font());
    for (const auto& [r, ry] : rows) {
        const int h = rowPx(r);
        if (h == 0 || ry > clip.bottom() || ry + h <= clip.top())
            continue;
        for (const auto& [c, cx] : cols) {
            const int w = colPx(c);
            if (w == 0 || cx > clip.right() || cx + w <= clip.left())
                continue;
            const bool inBlock = r >= sel.row1 && r <= sel.row2 && c >= sel.col1 && c <= sel.col2;
            const bool cursor = r == m.row() && c == m.col();
            const bool selected = m_highLight && block && inBlock && !cursor && !m.isFixed(r, c);
            paintCell(p, QRectF(cx, ry, w, h), r, c, selected, 0);
        }
    }

    // The cursor cell's frame.
    const QRect cur = cellRect(m.row(), m.col());
    if (m_highLight && !cur.isEmpty() && !m.isFixed(m.row(), m.col()) && !m_editor) {
        QPen pen(hasFocus() ? palette().color(QPalette::Highlight) : palette().color(QPalette::Mid),
                 2);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(cur).adjusted(1, 1, -1, -1));
    }
}

void Grid::paintCell(QPainter& p, const QRectF& rect, int row, int col, bool selected,
                     qreal paperUnit) {
    const bool printing = paperUnit > 0;
    const GridModel& m = *m_model;
    const GridCell& cell = m.cellAt(row, col);
    const bool fixed = m.isFixed(row, col);
    const QPalette& pal = palette();
    // On paper fixed cells are white like the others.
    const QColor base =
        fixed && !printing ? pal.color(QPalette::Button) : pal.color(QPalette::Base);
    QColor back = GridColors::toQColor(cell.back, base, pal);
    if (selected)
        back = pal.color(QPalette::Highlight);
    p.fillRect(rect, back);

    const qreal unit = printing ? paperUnit : 1.0; // one screen pixel, in the unit painted
    if (cell.bar >= 0) {
        const QRectF bar(rect.left() + unit, rect.top() + 2 * unit,
                         (rect.width() - 2 * unit) * cell.bar / 100.0, rect.height() - 4 * unit);
        p.fillRect(bar, GridColors::toQColor(m.floodColor(), pal.color(QPalette::Mid), pal));
    }

    QRectF textRect = rect;
    if (cell.check == 1 || cell.check == 2) {
        const qreal side = std::min(13 * unit, rect.height() - 4 * unit);
        const bool alone = cell.text.isEmpty();
        const QRectF box(alone ? rect.center().x() - side / 2 : rect.left() + 4 * unit,
                         rect.center().y() - side / 2, side, side);
        drawCheckBox(p, box, cell.check == 1, pal);
        textRect.setLeft(box.right() + 2 * unit);
    }

    if (!cell.text.isEmpty()) {
        QColor fore = GridColors::toQColor(cell.fore, pal.color(QPalette::Text), pal);
        if (selected)
            fore = pal.color(QPalette::HighlightedText);
        p.setPen(fore);
        drawCellText(p, textRect, row, col, cell.text, cell.alignment, paperUnit);
    }

    // Grid lines along the right and bottom edges, inside the cell (the next cell's
    // background would cover them outside it).
    const QColor lineColor = fixed ? pal.color(QPalette::Mid) : GridLine;
    p.fillRect(QRectF(rect.right() - unit, rect.top(), unit, rect.height()), lineColor);
    p.fillRect(QRectF(rect.left(), rect.bottom() - unit, rect.width(), unit), lineColor);
}

void Grid::drawCellText(QPainter& p, const QRectF& rect, int row, int col, const QString& text,
                        int alignment, qreal paperUnit) {
    const bool printing = paperUnit > 0;
    const Qt::Alignment align = alignmentFlags(alignment);
    const qreal pad = printing ? TextPadding * paperUnit : TextPadding;
    const QRectF area = rect.adjusted(pad, pad / 2, -pad, -pad / 2);
    if (area.width() <= 0 || area.height() <= 0)
        return;
    if (printing) {
        p.save();
        p.setClipRect(rect);
        p.drawText(area, int(align) | Qt::TextWordWrap, displayText(text));
        p.restore();
        return;
    }
    // On screen the laid-out text is kept per cell while its text and width stay. A
    // cell one line high shows one line, cut short with "…" where it does not fit.
    const quint64 key = (quint64(quint32(row)) << 32) | quint32(col);
    const int width = int(area.width());
    const QFontMetrics fm(p.font());
    const bool oneLine = area.height() < 2 * fm.lineSpacing();
    CachedText& cached = m_textCache[key];
    if (cached.width != width || cached.text != text || cached.oneLine != oneLine) {
        QString shown = displayText(text);
        if (oneLine)
            shown = fm.elidedText(shown.section(u'\n', 0, 0), Qt::ElideRight, width);
        shown.replace(u'\n', QChar::LineSeparator);
        cached.text = text;
        cached.width = width;
        cached.oneLine = oneLine;
        cached.layout = QStaticText(shown);
        cached.layout.setTextFormat(Qt::PlainText);
        cached.layout.setTextWidth(width);
        QTextOption option(align & Qt::AlignHorizontal_Mask);
        option.setWrapMode(oneLine ? QTextOption::NoWrap
                                   : QTextOption::WrapAtWordBoundaryOrAnywhere);
        cached.layout.setTextOption(option);
        cached.layout.setPerformanceHint(QStaticText::AggressiveCaching);
        cached.layout.prepare(QTransform(), p.font());
    }
    const QSizeF size = cached.layout.size();
    qreal top = area.top();
    if (size.height() < area.height()) {
        if (align & Qt::AlignVCenter)
            top += (area.height() - size.height()) / 2;
        else if (align & Qt::AlignBottom)
            top += area.height() - size.height();
    }
    if (size.height() > area.height() + 1) {
        p.save();
        p.setClipRect(rect);
        p.drawStaticText(QPointF(area.left(), top), cached.layout);
        p.restore();
    } else {
        p.drawStaticText(QPointF(area.left(), top), cached.layout);
    }
}

// ---- cursor and selection ------------------------------------------------------

void Grid::onCursorChanged(int oldRow, int oldCol, int newRow, int newCol) {
    if (m_editor && (newRow != m_editRow || newCol != m_editCol))
        commitEdit();
    viewport()->update();
    Q_EMIT cellChanged(oldRow, oldCol, newRow, newCol);
}

namespace {

// Moves `first`, the first scrolled line shown, so that line `target` is in view
// within `avail` pixels.
void bringIntoView(int target, int& first, const std::vector<int>& lines, int avail) {
    if (target < first) {
        first = target;
        return;
    }
    int used = 0;
    for (int i = first; i <= target; ++i)
        used += lines[size_t(i)];
    while (first < target && used > avail)
        used -= lines[size_t(first++)];
}

} // namespace

void Grid::ensureVisible(int row, int col) {
    const GridModel& m = *m_model;
    if (!isVisible())
        return; // the viewport has no size yet: nothing to scroll into
    if (row >= m.fixedRows() && row < m.rows())
        bringIntoView(row, m_topRow, m_rowPx, viewport()->height() - fixedHeightPx());
    if (col >= m.fixedCols() && col < m.cols())
        bringIntoView(col, m_leftCol, m_colPx, viewport()->width() - fixedWidthPx());
    updateScrollBars();
    viewport()->update();
}

void Grid::setCursor(int row, int col, bool extend) {
    GridModel& m = *m_model;
    row = std::clamp(row, m.fixedRows(), m.rows() - 1);
    col = std::clamp(col, m.fixedCols(), m.cols() - 1);
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
    int row = extend ? m.rowSel() : m.row();
    int col = extend ? m.colSel() : m.col();
    auto step = [](int& v, int d, int lo, int hi, auto hidden) {
        if (d == 0)
            return;
        const int dir = d > 0 ? 1 : -1;
        for (int n = std::abs(d); n > 0; --n) {
            int next = v + dir;
            while (next >= lo && next <= hi && hidden(next))
                next += dir;
            if (next < lo || next > hi)
                break;
            v = next;
        }
    };
    step(row, dRow, m.fixedRows(), m.rows() - 1, [&](int r) { return rowPx(r) == 0; });
    step(col, dCol, m.fixedCols(), m.cols() - 1, [&](int c) { return colPx(c) == 0; });
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

// ---- keyboard -------------------------------------------------------------------

void Grid::keyPressEvent(QKeyEvent* event) {
    if (m_editor) { // a key the editor left alone
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
        moveBy(-std::max(1, visibleRows()), 0, shift);
        break;
    case Qt::Key_PageDown:
        moveBy(std::max(1, visibleRows()), 0, shift);
        break;
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
    if (!m_editor && (!event->preeditString().isEmpty() || !event->commitString().isEmpty()))
        startEdit(QString(), true);
    if (m_editor) {
        QWidget* target = m_editor;
        if (auto* combo = qobject_cast<QComboBox*>(m_editor))
            target = combo->lineEdit();
        QCoreApplication::sendEvent(target, event);
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
    if (m_editor && !commitEdit())
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
        m_resizeCol = hit.resizeCol;
        m_resizeOrigin = pos.x();
        m_resizeStartPx = colPx(hit.resizeCol);
        return;
    }
    if (hit.resizeRow >= 0) {
        m_resizeRow = hit.resizeRow;
        m_resizeOrigin = pos.y();
        m_resizeStartPx = rowPx(hit.resizeRow);
        return;
    }
    if (hit.row < 0 || hit.col < 0)
        return;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool rowHeader = hit.row < m.fixedRows();
    const bool colHeader = hit.col < m.fixedCols();
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
    if (m_resizeCol >= 0) {
        const int px = std::max(0, m_resizeStartPx + pos.x() - m_resizeOrigin);
        m.setColWidth(m_resizeCol, Twips::fromPixels(px, dpiX()));
        return;
    }
    if (m_resizeRow >= 0) {
        const int px = std::max(0, m_resizeStartPx + pos.y() - m_resizeOrigin);
        m.setRowHeight(m_resizeRow, Twips::fromPixels(px, dpiY()));
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
    if (m_resizeCol >= 0 || m_resizeRow >= 0) {
        m_resizeCol = m_resizeRow = -1;
        Q_EMIT layoutResized();
    }
    m_selecting = false;
    m_headerDrag = HeaderDrag::None;
    event->accept();
}

void Grid::mouseDoubleClickEvent(QMouseEvent* event) {
    const Hit hit = hitTest(event->position().toPoint());
    if (event->button() == Qt::LeftButton && hit.resizeCol < 0 && hit.resizeRow < 0 &&
        m_model->valid(hit.row, hit.col) && !m_model->isFixed(hit.row, hit.col) &&
        m_model->cell(GridModel::CellChecked, hit.row, hit.col) == 0)
        startEdit();
}

// ---- editing --------------------------------------------------------------------

QString Grid::comboEntries(int col) const {
    return m_model->colComboList(col);
}

bool Grid::startEdit(const QString& replaceWith, bool replace) {
    if (m_editor)
        return true;
    GridModel& m = *m_model;
    const int row = m.row(), col = m.col();
    if (!m.valid(row, col) || m.isFixed(row, col) || m.cell(GridModel::CellChecked, row, col) != 0)
        return false;
    ensureVisible(row, col);
    const QRect rect = cellRect(row, col);
    if (rect.isEmpty())
        return false;
    const QString current = displayText(m.textMatrix(row, col));
    const QString initial = replace ? replaceWith : current;
    m_editRow = row;
    m_editCol = col;

    const QString list = comboEntries(col);
    const int lineHeight = fontMetrics().height();
    if (!list.isEmpty()) {
        auto* combo = new QComboBox(viewport());
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        QStringList entries = list.split(u'|');
        if (!entries.isEmpty() && entries.first().isEmpty())
            entries.removeFirst();
        combo->addItems(entries);
        combo->setCurrentIndex(-1);
        combo->setEditText(initial);
        combo->lineEdit()->installEventFilter(this);
        m_editor = combo;
        combo->setGeometry(rect.x(), rect.y(), std::max(rect.width(), 80),
                           std::max(rect.height(), combo->sizeHint().height()));
    } else if (!colTimeEditor(col) && rect.height() >= lineHeight * 2 + 6) {
        auto* edit = new QPlainTextEdit(viewport());
        edit->setPlainText(initial);
        edit->moveCursor(QTextCursor::End);
        edit->setFrameShape(QFrame::NoFrame);
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        m_editor = edit;
        edit->setGeometry(rect.adjusted(1, 1, -1, -1));
    } else {
        auto* edit = new QLineEdit(viewport());
        edit->setText(initial);
        edit->setFrame(false);
        if (colTimeEditor(col))
            edit->setPlaceholderText(QStringLiteral("hh:mm"));
        m_editor = edit;
        edit->setGeometry(rect.x() + 1, rect.y() + 1, std::max(rect.width() - 2, 40),
                          std::max(rect.height() - 2, edit->sizeHint().height()));
    }
    m_editor->setFont(font());
    m_editor->installEventFilter(this);
    m_editor->show();
    m_editor->setFocus(Qt::OtherFocusReason);
    viewport()->update();
    return true;
}

bool Grid::commitEdit() {
    if (!m_editor)
        return true;
    QString text;
    if (auto* combo = qobject_cast<QComboBox*>(m_editor))
        text = combo->currentText();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(m_editor))
        text = plain->toPlainText();
    else if (auto* line = qobject_cast<QLineEdit*>(m_editor))
        text = line->text();
    const int row = m_editRow, col = m_editCol;
    if (colTimeEditor(col)) {
        const QString time = ToDo_NormalizeTime(text);
        if (time.isNull()) {
            QToolTip::showText(m_editor->mapToGlobal(QPoint(0, m_editor->height())),
                               QStringLiteral("時刻は 9:30 のように入力してください。"), m_editor);
            return false;
        }
        text = time;
    }
    QWidget* editor = m_editor;
    m_editor = nullptr;
    m_editRow = m_editCol = -1;
    editor->removeEventFilter(this);
    editor->hide();
    editor->deleteLater();
    if (editor->hasFocus() || !QApplication::focusWidget())
        setFocus(Qt::OtherFocusReason);
    const bool changed =
        m_model->valid(row, col) && displayText(m_model->textMatrix(row, col)) != text;
    if (changed) {
        m_model->setTextMatrix(row, col, text);
        Q_EMIT afterEdit(row, col);
    }
    viewport()->update();
    return true;
}

void Grid::cancelEdit() {
    if (!m_editor)
        return;
    QWidget* editor = m_editor;
    m_editor = nullptr;
    m_editRow = m_editCol = -1;
    editor->removeEventFilter(this);
    if (auto* combo = qobject_cast<QComboBox*>(editor); combo && combo->lineEdit())
        combo->lineEdit()->removeEventFilter(this);
    const bool hadFocus = editor->hasFocus();
    editor->hide();
    editor->deleteLater();
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
    viewport()->update();
}

bool Grid::eventFilter(QObject* watched, QEvent* event) {
    if (!m_editor || (watched != m_editor && watched->parent() != m_editor))
        return QAbstractScrollArea::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool multiLine = qobject_cast<QPlainTextEdit*>(m_editor) != nullptr;
        const bool combo = qobject_cast<QComboBox*>(m_editor) != nullptr;
        switch (key->key()) {
        case Qt::Key_Escape:
            cancelEdit();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (multiLine &&
                key->modifiers() & (Qt::AltModifier | Qt::ShiftModifier | Qt::ControlModifier)) {
                static_cast<QPlainTextEdit*>(m_editor)->insertPlainText(QStringLiteral("\n"));
                return true;
            }
            if (commitEdit())
                moveBy(1, 0, false);
            return true;
        case Qt::Key_Tab:
            if (commitEdit())
                moveBy(0, 1, false);
            return true;
        case Qt::Key_Backtab:
            if (commitEdit())
                moveBy(0, -1, false);
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (multiLine || combo)
                break;
            if (commitEdit())
                moveBy(key->key() == Qt::Key_Up ? -1 : 1, 0, false);
            return true;
        default:
            break;
        }
    } else if (event->type() == QEvent::FocusOut) {
        auto* focus = static_cast<QFocusEvent*>(event);
        if (focus->reason() != Qt::PopupFocusReason &&
            focus->reason() != Qt::ActiveWindowFocusReason) {
            QWidget* now = QApplication::focusWidget();
            const bool inside = now && (now == m_editor || m_editor->isAncestorOf(now));
            if (!inside && !commitEdit())
                cancelEdit();
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

// ---- printing -------------------------------------------------------------------

bool Grid::printGrid(const QString& title) {
    return Printer::print(this, title.isEmpty() ? windowTitle() : title, m_printOrientation,
                          [this](QPagedPaintDevice* device) { return paintPages(device); }) ==
           Printer::Result::Printed;
}

bool Grid::paintPages(QPagedPaintDevice* device) {
    const GridModel& m = *m_model;
    QPainter p;
    if (!p.begin(device))
        return false;
    const qreal dpiXDev = device->logicalDpiX(), dpiYDev = device->logicalDpiY();
    std::vector<int> cols, rows;
    long long totalWidth = 0;
    for (int c = 0; c < m.cols(); ++c)
        if (!m.colHidden(c)) {
            cols.push_back(c);
            totalWidth += m.colWidth(c);
        }
    for (int r = 0; r < m.rows(); ++r)
        if (!m.rowHidden(r))
            rows.push_back(r);
    // Everything is painted in twips; wide grids shrink to the page width.
    const qreal pageW = device->width() * 1440.0 / dpiXDev;
    const qreal pageH = device->height() * 1440.0 / dpiYDev;
    const qreal scale = totalWidth > pageW ? std::max(0.3, pageW / qreal(totalWidth)) : 1.0;
    p.scale(dpiXDev / 1440.0 * scale, dpiYDev / 1440.0 * scale);
    QFont f = font();
    if (f.pointSizeF() > 0)
        f.setPixelSize(int(f.pointSizeF() * 20));
    else
        f.setPixelSize(int(f.pixelSize() * 15));
    p.setFont(f);
    const qreal height = pageH / scale;

    std::vector<int> header, body;
    for (int r : rows)
        (r < m.fixedRows() ? header : body).push_back(r);
    auto paintRow = [&](int r, qreal y) {
        qreal x = 0;
        for (int c : cols) {
            paintCell(p, QRectF(x, y, m.colWidth(c), m.rowHeight(r)), r, c, false, 15.0);
            x += m.colWidth(c);
        }
        return y + m.rowHeight(r);
    };
    auto paintHeader = [&] {
        qreal y = 0;
        for (int r : header)
            y = paintRow(r, y);
        return y;
    };
    qreal y = paintHeader();
    const qreal headerHeight = y;
    for (int r : body) {
        if (y + m.rowHeight(r) > height && y > headerHeight) {
            if (!device->newPage())
                return false;
            y = paintHeader();
        }
        y = paintRow(r, y);
    }
    return p.end();
}

void Grid::paintShown(QPainter& p) {
    const GridModel& m = *m_model;
    p.save();
    const int width = viewport()->width(), height = viewport()->height();
    int y = 0;
    auto paintRow = [&](int r) {
        int x = 0;
        auto cell = [&](int c) {
            if (colPx(c) > 0)
                paintCell(p, QRectF(x, y, colPx(c), rowPx(r)), r, c, false, 1.0);
            x += colPx(c);
        };
        for (int c = 0; c < m.fixedCols(); ++c)
            cell(c);
        for (int c = m_leftCol; c < m.cols() && x < width; ++c)
            cell(c);
        y += rowPx(r);
    };
    for (int r = 0; r < m.fixedRows(); ++r)
        paintRow(r);
    for (int r = m_topRow; r < m.rows() && y < height; ++r)
        paintRow(r);
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

int Grid_FitRows(const Grid& grid) {
    return Grid_FitRows(*grid.model(), grid.heightTwips());
}
