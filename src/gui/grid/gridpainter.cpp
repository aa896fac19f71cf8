#include "gui/grid/gridpainter.h"

#include "core/grid/gridmodel.h"
#include "gui/grid/gridcolors.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int TextPadding = 3; // pixels between a cell's border and its text
const QColor GridLine(0xD0, 0xD4, 0xDA);

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

void GridTextCache::trim() {
    if (m_texts.size() > 8192)
        m_texts.clear();
}

QString GridPainter::displayText(const QString& text) {
    if (!text.contains(u'\r'))
        return text;
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(u'\r', u'\n');
    return s;
}

GridPainter::GridPainter(const GridModel& model, const QPalette& palette)
    : m_model(model), m_palette(palette) {}

void GridPainter::setScreen(GridTextCache* cache, bool selection) {
    m_cache = cache;
    m_selection = selection;
    m_paperUnit = 0;
}

void GridPainter::setPaper(qreal unit) {
    m_cache = nullptr;
    m_selection = false;
    m_paperUnit = unit;
}

void GridPainter::paint(QPainter& p, const std::vector<Line>& rows, const std::vector<Line>& cols,
                        const QRect& clip) const {
    const GridModel& m = m_model;
    const GridModel::Selection sel = m.getSelection();
    const bool block = m_selection && (sel.row1 != sel.row2 || sel.col1 != sel.col2);
    const bool clipped = !clip.isNull();
    for (const Line& row : rows) {
        const int r = row.index;
        if (row.size <= 0 ||
            (clipped && (row.pos > clip.bottom() || row.pos + row.size <= clip.top())))
            continue;
        for (const Line& col : cols) {
            const int c = col.index;
            if (col.size <= 0 ||
                (clipped && (col.pos > clip.right() || col.pos + col.size <= clip.left())))
                continue;
            const bool inBlock = r >= sel.row1 && r <= sel.row2 && c >= sel.col1 && c <= sel.col2;
            const bool cursor = r == m.row() && c == m.col();
            const bool selected = block && inBlock && !cursor && !m.isFixed(r, c);
            paintCell(p, QRectF(col.pos, row.pos, col.size, row.size), r, c, selected);
        }
    }
}

void GridPainter::paintCursor(QPainter& p, const QRect& cell, bool focused) const {
    QPen pen(m_palette.color(focused ? QPalette::Highlight : QPalette::Mid), 2);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(cell).adjusted(1, 1, -1, -1));
}

void GridPainter::paintCell(QPainter& p, const QRectF& rect, int row, int col,
                            bool selected) const {
    const bool printing = m_paperUnit > 0;
    const GridModel& m = m_model;
    const GridCell& cell = m.cellAt(row, col);
    const bool fixed = m.isFixed(row, col);
    const QPalette& pal = m_palette;
    // On paper fixed cells are white like the others.
    const QColor base =
        fixed && !printing ? pal.color(QPalette::Button) : pal.color(QPalette::Base);
    QColor back = GridColors::toQColor(cell.back, base, pal);
    if (selected)
        back = pal.color(QPalette::Highlight);
    p.fillRect(rect, back);

    const qreal unit = printing ? m_paperUnit : 1.0; // one screen pixel, in the unit painted
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
        drawText(p, textRect, row, col, cell.text, cell.alignment);
    }

    // Grid lines along the right and bottom edges, inside the cell (the next cell's
    // background would cover them outside it).
    const QColor lineColor = fixed ? pal.color(QPalette::Mid) : GridLine;
    p.fillRect(QRectF(rect.right() - unit, rect.top(), unit, rect.height()), lineColor);
    p.fillRect(QRectF(rect.left(), rect.bottom() - unit, rect.width(), unit), lineColor);
}

void GridPainter::drawText(QPainter& p, const QRectF& rect, int row, int col, const QString& text,
                           int alignment) const {
    const bool printing = m_paperUnit > 0;
    const Qt::Alignment align = alignmentFlags(alignment);
    const qreal pad = printing ? TextPadding * m_paperUnit : TextPadding;
    const QRectF area = rect.adjusted(pad, pad / 2, -pad, -pad / 2);
    if (area.width() <= 0 || area.height() <= 0)
        return;
    if (printing || !m_cache) {
        p.save();
        p.setClipRect(rect);
        p.drawText(area, int(align) | Qt::TextWordWrap, displayText(text));
        p.restore();
        return;
    }
    // On screen the laid-out text is kept per cell while its text, space and alignment
    // stay. A cell one line high shows one line, cut short with "…" where it does not fit.
    const quint64 key = (quint64(quint32(row)) << 32) | quint32(col);
    const int width = int(area.width());
    const int height = int(area.height());
    const QFontMetrics fm(p.font());
    const bool oneLine = area.height() < 2 * fm.lineSpacing();
    GridTextCache::Text& cached = m_cache->m_texts[key];
    if (cached.width != width || cached.height != height || cached.align != align ||
        cached.oneLine != oneLine || cached.text != text) {
        QString shown = displayText(text);
        if (oneLine)
            shown = fm.elidedText(shown.section(u'\n', 0, 0), Qt::ElideRight, width);
        shown.replace(u'\n', QChar::LineSeparator);
        cached.text = text;
        cached.width = width;
        cached.height = height;
        cached.align = align;
        cached.oneLine = oneLine;
        // Lines that begin below the cell would be cut away: they are not laid out.
        layOut(cached, shown, p.font(), area.height() + pad);
    }
    qreal top = area.top();
    if (cached.size < area.height()) {
        if (align & Qt::AlignVCenter)
            top += (area.height() - cached.size) / 2;
        else if (align & Qt::AlignBottom)
            top += area.height() - cached.size;
    }
    const bool clip = cached.size > area.height() + 1;
    if (clip) {
        p.save();
        p.setClipRect(rect);
    }
    const QPointF at(area.left(), top);
    for (const QGlyphRun& run : cached.runs)
        p.drawGlyphRun(at, run);
    if (clip)
        p.restore();
}

void GridPainter::layOut(GridTextCache::Text& text, const QString& shown, const QFont& font,
                         qreal limit) {
    // One line under the other, each with its leading.
    QTextLayout layout(shown, font);
    QTextOption option(text.align & Qt::AlignHorizontal_Mask);
    option.setWrapMode(text.oneLine ? QTextOption::NoWrap
                                    : QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setCacheEnabled(true); // the glyphs shaped for the lines serve the runs too
    layout.beginLayout();
    qreal y = 0;
    while (y < limit) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLeadingIncluded(true);
        line.setLineWidth(text.width);
        line.setPosition(QPointF(0, y));
        y += line.height();
        if (line.leading() < 0)
            y += std::ceil(line.leading());
    }
    layout.endLayout();
    text.size = layout.boundingRect().height();
    text.runs = layout.glyphRuns();
}

bool GridPainter::paintPages(const GridModel& m, const QPalette& palette, const QFont& font,
                             QPagedPaintDevice* device) {
    QPainter p;
    if (!p.begin(device))
        return false;
    const qreal dpiX = device->logicalDpiX(), dpiY = device->logicalDpiY();
    std::vector<Line> cols;
    long long totalWidth = 0;
    for (int c = 0; c < m.cols(); ++c)
        if (!m.colHidden(c)) {
            cols.push_back({c, int(totalWidth), m.colWidth(c)});
            totalWidth += m.colWidth(c);
        }
    // Everything is painted in twips; wide grids shrink to the page width.
    const qreal pageW = device->width() * 1440.0 / dpiX;
    const qreal pageH = device->height() * 1440.0 / dpiY;
    const qreal scale = totalWidth > pageW ? std::max(0.3, pageW / qreal(totalWidth)) : 1.0;
    p.scale(dpiX / 1440.0 * scale, dpiY / 1440.0 * scale);
    QFont f = font;
    if (f.pointSizeF() > 0)
        f.setPixelSize(int(f.pointSizeF() * 20));
    else
        f.setPixelSize(int(f.pixelSize() * 15));
    p.setFont(f);
    const qreal height = pageH / scale;

    GridPainter painter(m, palette);
    painter.setPaper(15.0); // twips in a pixel at 96 dpi
    std::vector<int> header, body;
    for (int r = 0; r < m.rows(); ++r)
        if (!m.rowHidden(r))
            (r < m.fixedRows() ? header : body).push_back(r);
    auto paintRow = [&](int r, int y) {
        painter.paint(p, {{r, y, m.rowHeight(r)}}, cols);
        return y + m.rowHeight(r);
    };
    auto paintHeader = [&] {
        int y = 0;
        for (int r : header)
            y = paintRow(r, y);
        return y;
    };
    int y = paintHeader();
    const int headerHeight = y;
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
