#include "app/artwork.h"

#include <QFont>
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
    // The day: "日" in the middle of the sheet.
    QFont f;
    f.setPixelSize(qMax(6, int(s * 0.42)));
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(40, 60, 100));
    p.drawText(QRectF(sheet.left(), sheet.top() + sheet.height() * 0.26, sheet.width(),
                      sheet.height() * 0.74),
               Qt::AlignCenter, QStringLiteral("日"));
    return pm;
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(logo(size, 1.0));
    return icon;
}

} // namespace Artwork
