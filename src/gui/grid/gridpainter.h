// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/grid/gridaxis.h"

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QPalette>
#include <QRect>

#include <optional>
#include <vector>

class GridModel;
class QPagedPaintDevice;
class QPainter;

// Laid-out texts of the cells on screen, each kept while its text, the space for it and
// its alignment stay; the grid clears them when its font changes.
class GridTextCache {
public:
    void clear() { m_texts.clear(); }
    // Forgets everything once it holds more texts than a screen ever shows.
    void trim();
    // Whether the cell's text, as last painted, did not fit and was cut short; nothing
    // when that text was not painted.
    std::optional<bool> isCut(int row, int col, const QString& text) const;

private:
    friend class GridPainter;
    struct Text {
        QString text;
        int width = 0, height = 0; // of the space inside the cell's padding
        Qt::Alignment align;
        qreal size = 0; // the height of the lines laid out
        bool cut = false;
        QList<QGlyphRun> runs;
    };
    static quint64 key(int row, int col) { return (quint64(quint32(row)) << 32) | quint32(col); }
    QHash<quint64, Text> m_texts;
};

// Paints the cells of a GridModel: backgrounds, bars, check boxes, texts and grid lines.
// On screen it paints in pixels, marks the selected block and keeps the laid-out texts
// in a cache; on paper one screen pixel is `unit` in the unit painted, texts are laid
// out as they are drawn and fixed cells are white like the others.
class GridPainter {
public:
    // A row or column where it is painted: its index, where it starts and its size.
    using Line = GridAxis::Line;

    GridPainter(const GridModel& model, const QPalette& palette);
    void setScreen(GridTextCache* cache, bool selection);
    void setPaper(qreal unit);

    // Every cell where one of `rows` crosses one of `cols`; on screen only those that
    // reach into `clip`.
    void paint(QPainter& p, const std::vector<Line>& rows, const std::vector<Line>& cols,
               const QRect& clip = QRect()) const;
    // The frame around the cursor cell on screen.
    void paintCursor(QPainter& p, const QRect& cell, bool focused) const;

    // Pages for printing, painted in twips: every row and column that is not hidden,
    // the fixed rows again at the top of every page, scaled down to the page width
    // where the grid is wider. `font` is the grid's font on screen.
    static bool paintPages(const GridModel& model, const QPalette& palette, const QFont& font,
                           QPagedPaintDevice* device);

    // A cell's text with its lines ended by LF alone (texts typed on other systems may
    // end them with CR LF or CR).
    static QString displayText(const QString& text);

    // The lines of `shown` (a display text) that fit whole into width × height in
    // `font`: wrapped at word boundaries, or where the space is less than two lines
    // high, the first line alone. Where text is left over or a line is wider than the
    // space, the last line shown ends in "…". At least one line is kept. `cut` tells
    // whether anything was left out.
    static QStringList fitLines(const QString& shown, const QFont& font, qreal width, qreal height,
                                bool* cut = nullptr);

private:
    void paintCell(QPainter& p, const QRectF& rect, int row, int col, bool selected) const;
    void drawText(QPainter& p, const QRectF& rect, int row, int col, const QString& text,
                  int alignment) const;
    // The lines of a text fitted into a space (fitLines), and with `withRuns` their
    // glyphs as laid out and the height they take.
    struct Fitted {
        QStringList lines;
        bool cut = false;
        QList<QGlyphRun> runs;
        qreal size = 0;
    };
    static Fitted fit(const QString& shown, const QFont& font, qreal width, qreal height,
                      Qt::Alignment align, bool withRuns);
    // Lays the lines of `text`'s text that fit its space out into its glyph runs.
    static void layOut(GridTextCache::Text& text, const QFont& font);

    const GridModel& m_model;
    QPalette m_palette;
    GridTextCache* m_cache = nullptr;
    bool m_selection = false;
    qreal m_paperUnit = 0; // 0 on screen
};
