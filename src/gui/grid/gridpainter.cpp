// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/gridpainter.h"

#include "core/grid/gridmodel.h"
#include "gui/grid/gridcolors.h"

#include <QFontMetricsF>
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

// The background of a cell the user cannot type into: half way from the base to the
// window colour.
QColor readOnlyBase(const QPalette& pal) {
    const QColor a = pal.color(QPalette::Base), b = pal.color(QPalette::Window);
    return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
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

std::optional<bool> GridTextCache::isCut(int row, int col, const QString& text) const {
    const auto it = m_texts.constFind(key(row, col));
    if (it == m_texts.cend() || it->text != text)
        return std::nullopt;
    return it->cut;
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
            const bool selected = block && inBlock && !cursor && !m.isHeading(r, c);
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
    const bool heading = m.isHeading(row, col);
    const QPalette& pal = m_palette;
    // Headings look like buttons, cells the user cannot type into (the program's
    // counts) between a heading and a cell; on paper every cell is white.
    QColor base = pal.color(QPalette::Base);
    if (!printing && heading)
        base = pal.color(QPalette::Button);
    else if (!printing && !m.isEditable(row, col))
        base = readOnlyBase(pal);
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
    const QColor lineColor = heading ? pal.color(QPalette::Mid) : GridLine;
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
        // The lines the cell shows on screen, as they fit the paper's cell.
        const QStringList lines =
            fitLines(displayText(text), p.font(), area.width(), area.height());
        p.save();
        p.setClipRect(rect);
        p.drawText(area, int(align), lines.join(u'\n'));
        p.restore();
        return;
    }
    // On screen the laid-out text is kept per cell while its text, space and alignment
    // stay.
    const int width = int(area.width());
    const int height = int(area.height());
    GridTextCache::Text& cached = m_cache->m_texts[GridTextCache::key(row, col)];
    if (cached.width != width || cached.height != height || cached.align != align ||
        cached.text != text) {
        cached.text = text;
        cached.width = width;
        cached.height = height;
        cached.align = align;
        layOut(cached, p.font());
    }
    qreal top = area.top();
    if (cached.size < area.height()) {
        if (align & Qt::AlignVCenter)
            top += (area.height() - cached.size) / 2;
        else if (align & Qt::AlignBottom)
            top += area.height() - cached.size;
    }
    // Only a line taller than the whole cell reaches past it.
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

namespace {

bool hasVisible(QStringView text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return !c.isSpace(); });
}

// A laid-out line without the blanks and line separator it ends with.
QString trimmedEnd(QStringView line) {
    qsizetype n = line.size();
    while (n > 0 && line[n - 1].isSpace())
        --n;
    return line.first(n).toString();
}

// One line under the other, each with its leading: the height a line takes.
qreal lineAdvance(const QTextLine& line) {
    qreal h = line.height();
    if (line.leading() < 0)
        h += std::ceil(line.leading());
    return h;
}

} // namespace

GridPainter::Fitted GridPainter::fit(const QString& shown, const QFont& font, qreal width,
                                     qreal height, Qt::Alignment align, bool withRuns) {
    const QFontMetricsF fm(font);
    QTextOption option(align & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::NoWrap);
    // One line of text laid out at `y`: its glyph runs join the text's.
    auto layOutLine = [&](const QString& line, qreal y, Fitted& into) {
        QTextLayout layout(line, font);
        layout.setTextOption(option);
        layout.setCacheEnabled(true);
        layout.beginLayout();
        QTextLine l = layout.createLine();
        l.setLeadingIncluded(true);
        l.setLineWidth(width);
        l.setPosition(QPointF(0, y));
        layout.endLayout();
        into.runs << layout.glyphRuns();
        into.size = y + lineAdvance(l);
        return l.naturalTextWidth();
    };

    Fitted out;
    bool left = false; // text not shown
    const qsizetype firstBreak = shown.indexOf(u'\n');
    // No character is narrower than half a unit: more of them never fit (a text may
    // hold 100,000 characters; only what can show is measured).
    const qsizetype fitting = qsizetype(width / 2) + 2;
    if (firstBreak < 0 && shown.size() <= fitting) {
        // One line that fits: most cells.
        const qreal natural = withRuns ? layOutLine(shown, 0, out) : fm.horizontalAdvance(shown);
        if (natural <= width) {
            out.lines << shown;
            return out;
        }
        out.runs.clear();
    }
    if (height < 2 * fm.lineSpacing()) {
        // One line high: the first line, cut at the width.
        const QStringView first =
            QStringView(shown).first(firstBreak < 0 ? shown.size() : firstBreak);
        qsizetype keep = std::min(first.size(), fitting);
        if (keep > 0 && keep < first.size() && first[keep - 1].isHighSurrogate())
            --keep;
        out.lines << first.first(keep).toString();
        left = keep < first.size() ||
               (firstBreak >= 0 && hasVisible(QStringView(shown).sliced(firstBreak + 1)));
    } else {
        QString text = shown;
        text.replace(u'\n', QChar::LineSeparator);
        QTextLayout layout(text, font);
        QTextOption wrapped = option;
        wrapped.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(wrapped);
        layout.setCacheEnabled(true);
        layout.beginLayout();
        qreal y = 0;
        qsizetype end = 0;
        std::vector<QTextLine> kept;
        for (;;) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLeadingIncluded(true);
            line.setLineWidth(width);
            const qreal h = lineAdvance(line);
            // A line that would show only in part is left out (a twentieth of a line
            // over is rounding).
            if (!out.lines.isEmpty() && y + h > height + h / 20)
                break;
            line.setPosition(QPointF(0, y));
            y += h;
            out.lines << trimmedEnd(QStringView(text).sliced(line.textStart(), line.textLength()));
            kept.push_back(line);
            end = line.textStart() + line.textLength();
        }
        layout.endLayout();
        left = hasVisible(QStringView(text).sliced(end));
        const QTextLine& lastLine = kept.back();
        const bool wide = lastLine.naturalTextWidth() > width;
        if (withRuns) {
            // The lines as laid out, the last one again where it is cut.
            const size_t whole = kept.size() - (left || wide ? 1 : 0);
            for (size_t k = 0; k < whole; ++k)
                out.runs << kept[k].glyphRuns();
            out.size = y;
        }
        if (left || wide) {
            // The last line as far as it leaves room for "…", measured on the line as
            // laid out.
            const qreal room = width - fm.horizontalAdvance(u'…');
            const int first = lastLine.textStart();
            const qreal x0 = lastLine.cursorToX(first);
            int stop = first + lastLine.textLength();
            if (lastLine.naturalTextWidth() > room) {
                stop = std::clamp(lastLine.xToCursor(x0 + room, QTextLine::CursorBetweenCharacters),
                                  first, stop);
                // The nearest place may lie past the room: back to one within it.
                while (stop > first && lastLine.cursorToX(stop) - x0 > room + 0.5) {
                    --stop;
                    if (stop > first && text[stop].isLowSurrogate())
                        --stop;
                }
            }
            QString& last = out.lines.last();
            last = trimmedEnd(QStringView(text).sliced(lastLine.textStart(),
                                                       stop - lastLine.textStart())) +
                   u'…';
            out.cut = true;
            if (withRuns)
                layOutLine(last, lastLine.y(), out);
        }
        return out;
    }
    QString& last = out.lines.last();
    const bool wide = fm.horizontalAdvance(last) > width;
    if (left || wide)
        last = fm.elidedText(left ? last + u'…' : last, Qt::ElideRight, width);
    out.cut = left || wide;
    if (withRuns)
        layOutLine(last, 0, out);
    return out;
}

QStringList GridPainter::fitLines(const QString& shown, const QFont& font, qreal width,
                                  qreal height, bool* cut) {
    Fitted f = fit(shown, font, width, height, Qt::AlignLeft, false);
    if (cut)
        *cut = f.cut;
    return f.lines;
}

void GridPainter::layOut(GridTextCache::Text& text, const QFont& font) {
    Fitted f = fit(displayText(text.text), font, text.width, text.height, text.align, true);
    text.size = f.size;
    text.cut = f.cut;
    text.runs = std::move(f.runs);
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
