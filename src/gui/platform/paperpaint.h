// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QFontInfo>

class QPainter;

// A widget that can paint itself onto paper as text and lines, in its own
// coordinates (one unit is one pixel of the widget on screen). Window printing asks
// every widget of a page for this.
class PaperPaintable {
public:
    virtual ~PaperPaintable() = default;
    virtual void paintOnPaper(QPainter& p) = 0;
};

// The widget's font sized in pixels of the screen, so that it keeps its size on paper
// under the page's scale.
inline QFont paperFont(const QFont& font) {
    QFont f = font;
    f.setPixelSize(std::max(1, QFontInfo(font).pixelSize()));
    return f;
}
