// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/artwork.h"

#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace Artwork {

QPixmap logo(int size, qreal dpr) {
    QPixmap pm(QSize(size, size) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // A page of a desk calendar: a red binding strip over a white sheet.
    const QRectF sheet(s * 0.08, s * 0.12, s * 0.84, s * 0.80);
    QPainterPath page;
    page.addRoundedRect(sheet, s * 0.10, s * 0.10);
    QLinearGradient paper(sheet.topLeft(), sheet.bottomLeft());
    paper.setColorAt(0, QColor(255, 255, 255));
    paper.setColorAt(1, QColor(228, 234, 242));
    p.fillPath(page, paper);
    p.setPen(QPen(QColor(70, 90, 120), qMax(1.0, s * 0.025)));
    p.drawPath(page);
    p.save();
    p.setClipPath(page);
    p.fillRect(QRectF(sheet.left(), sheet.top(), sheet.width(), sheet.height() * 0.26),
               QColor(200, 40, 50));
    p.restore();
    // Rings of the binding.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 70));
    for (qreal x : {0.32, 0.68})
        p.drawRoundedRect(QRectF(s * x - s * 0.035, s * 0.05, s * 0.07, s * 0.17), s * 0.03,
                          s * 0.03);
    // The day: the character "日" drawn as strokes (no font is needed, so drawing
    // the icon costs nothing at start-up).
    const QRectF body(sheet.left(), sheet.top() + sheet.height() * 0.26, sheet.width(),
                      sheet.height() * 0.74);
    const QRectF glyph(body.center().x() - s * 0.15, body.center().y() - s * 0.20, s * 0.30,
                       s * 0.40);
    p.setPen(QPen(QColor(40, 60, 100), qMax(1.2, s * 0.06), Qt::SolidLine, Qt::SquareCap,
                  Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(glyph);
    p.drawLine(QPointF(glyph.left(), glyph.center().y()),
               QPointF(glyph.right(), glyph.center().y()));
    return pm;
}

namespace {

// Draws the logo at whatever size is asked for, when it is asked for.
class LogoEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        const int side = std::min(rect.width(), rect.height());
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(QRect(rect.topLeft(), QSize(side, side)), logo(side, dpr));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        return logo(std::min(size.width(), size.height()), 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode, QIcon::State, qreal scale) override {
        const qreal dpr = std::max(scale, 1.0);
        return logo(int(std::min(size.width(), size.height()) / dpr), dpr);
    }
    QIconEngine* clone() const override { return new LogoEngine; }
    QString key() const override { return QStringLiteral("daylog-logo"); }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        // The sizes window systems ask for up front; larger ones are drawn on demand.
        return {QSize(16, 16), QSize(32, 32), QSize(48, 48)};
    }
};

} // namespace

QIcon programIcon() {
    return QIcon(new LogoEngine);
}

} // namespace Artwork
