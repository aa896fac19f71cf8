// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/windowprint.h"

#include "gui/platform/paperpaint.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMenuBar>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>

namespace {

bool leftOut(const QWidget* w) {
    return qobject_cast<const QToolBar*>(w) || qobject_cast<const QMenuBar*>(w) ||
           qobject_cast<const QStatusBar*>(w) || qobject_cast<const QScrollBar*>(w) ||
           qobject_cast<const QAbstractButton*>(w);
}

void paintLabel(QPainter& p, const QLabel* label) {
    if (label->autoFillBackground())
        p.fillRect(label->rect(), label->palette().color(QPalette::Window));
    if (label->text().isEmpty())
        return;
    p.setFont(paperFont(label->font()));
    p.setPen(label->palette().color(QPalette::WindowText));
    const QRect r = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                   -label->margin(), -label->margin());
    int flags = int(label->alignment());
    if (label->wordWrap())
        flags |= Qt::TextWordWrap;
    p.drawText(r, flags, label->text());
}

void paintTree(QPainter& p, QWidget* page, QWidget* w) {
    if (!w->isVisible() || leftOut(w))
        return;
    p.save();
    p.translate(w->mapTo(page, QPoint(0, 0)));
    p.setClipRect(QRect(QPoint(0, 0), w->size()), Qt::IntersectClip);
    if (auto* paintable = dynamic_cast<PaperPaintable*>(w)) {
        paintable->paintOnPaper(p);
        p.restore();
        return; // it painted its children too
    }
    if (auto* label = qobject_cast<QLabel*>(w))
        paintLabel(p, label);
    p.restore();
    for (QObject* child : w->children())
        if (auto* cw = qobject_cast<QWidget*>(child); cw && !cw->isWindow())
            paintTree(p, page, cw);
}

} // namespace

namespace WindowPrint {

bool paint(QWidget* page, QPagedPaintDevice* device) {
    QPainter p;
    if (!p.begin(device))
        return false;
    // Everything the page shows, also what a too small window pushes past its edge.
    const QSize size = (page->rect() | page->childrenRect()).size();
    if (size.isEmpty())
        return p.end();
    // The printable part of the page; the painter's origin is its top left corner.
    const QSizeF area = device->pageLayout().paintRectPixels(device->logicalDpiX()).size();
    const qreal scale = std::min(area.width() / size.width(), area.height() / size.height());
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    for (QObject* child : page->children())
        if (auto* w = qobject_cast<QWidget*>(child); w && !w->isWindow())
            paintTree(p, page, w);
    return p.end();
}

} // namespace WindowPrint
