// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/toolicons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPixmapCache>

#include <cmath>

namespace {

const QColor Ink(52, 66, 92);
const QColor Paper(255, 255, 255);
const QColor Accent(200, 48, 56);
const QColor Blue(52, 110, 190);
const QColor Green(60, 150, 80);
const QColor Amber(230, 170, 40);

QPen ink(qreal w = 1.4) {
    return QPen(Ink, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A sheet with a folded corner.
void sheet(QPainter& p, const QRectF& r) {
    QPainterPath path;
    const qreal fold = r.width() * 0.3;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(ink());
    p.setBrush(Paper);
    p.drawPath(path);
}

// A desk-calendar page: binding strip, rings and `cols` × `rows` day marks.
void calendarPage(QPainter& p, int cols, int rows, const QColor& strip) {
    const QRectF page(3, 4.5, 18, 16.5);
    p.setPen(ink());
    p.setBrush(Paper);
    p.drawRoundedRect(page, 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(strip);
    p.drawRect(QRectF(3.7, 5.2, 16.6, 3.6));
    p.setBrush(Ink);
    p.drawRoundedRect(QRectF(7, 2.5, 1.8, 4), 0.8, 0.8);
    p.drawRoundedRect(QRectF(15.2, 2.5, 1.8, 4), 0.8, 0.8);
    const qreal left = 5, top = 10.2, w = 14, h = 9;
    const qreal cw = w / cols, rh = h / rows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            p.drawRect(
                QRectF(left + c * cw + cw * 0.18, top + r * rh + rh * 0.18, cw * 0.64, rh * 0.64));
}

void draw(QPainter& p, ToolIcon icon) {
    p.setRenderHint(QPainter::Antialiasing);
    switch (icon) {
    case ToolIcon::None:
        break;
    case ToolIcon::Print: {
        p.setPen(ink());
        p.setBrush(Paper);
        p.drawRect(QRectF(7, 3, 10, 7));
        p.setBrush(QColor(205, 212, 224));
        p.drawRoundedRect(QRectF(3, 9, 18, 8), 2, 2);
        p.setBrush(Paper);
        p.drawRect(QRectF(7, 14, 10, 7));
        p.setPen(QPen(Ink, 1));
        p.drawLine(QPointF(9, 17), QPointF(15, 17));
        p.drawLine(QPointF(9, 19), QPointF(14, 19));
        p.setPen(Qt::NoPen);
        p.setBrush(Green);
        p.drawEllipse(QPointF(18, 11.5), 1, 1);
        break;
    }
    case ToolIcon::Cut: {
        p.setPen(ink(1.6));
        p.drawLine(QPointF(8, 3), QPointF(15.5, 15));
        p.drawLine(QPointF(16, 3), QPointF(8.5, 15));
        p.setBrush(Paper);
        p.setPen(QPen(Accent, 1.8));
        p.drawEllipse(QPointF(7, 18), 3, 3);
        p.drawEllipse(QPointF(17, 18), 3, 3);
        break;
    }
    case ToolIcon::Copy:
        sheet(p, QRectF(3.5, 3, 11, 14));
        sheet(p, QRectF(9.5, 7, 11, 14));
        p.setPen(QPen(Blue, 1.2));
        for (qreal y : {12.5, 15.0, 17.5})
            p.drawLine(QPointF(12, y), QPointF(18, y));
        break;
    case ToolIcon::Paste: {
        p.setPen(ink());
        p.setBrush(QColor(214, 176, 120));
        p.drawRoundedRect(QRectF(4, 4, 14, 17), 1.5, 1.5);
        p.setBrush(QColor(150, 156, 170));
        p.drawRoundedRect(QRectF(8, 2.5, 6, 3.5), 1, 1);
        sheet(p, QRectF(10, 9, 10, 12.5));
        p.setPen(QPen(Blue, 1.2));
        for (qreal y : {14.0, 16.5, 19.0})
            p.drawLine(QPointF(12, y), QPointF(18, y));
        break;
    }
    case ToolIcon::TextColor: {
        QPainterPath a;
        a.moveTo(5.5, 17);
        a.lineTo(12, 2.5);
        a.lineTo(18.5, 17);
        a.moveTo(8, 11.5);
        a.lineTo(16, 11.5);
        p.setPen(QPen(Ink, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(a);
        p.setPen(Qt::NoPen);
        p.setBrush(Accent);
        p.drawRect(QRectF(3, 19, 18, 3.5));
        break;
    }
    case ToolIcon::BackColor: {
        p.setPen(ink());
        p.setBrush(Amber);
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        p.setPen(QPen(Ink, 1.8, Qt::SolidLine, Qt::RoundCap));
        for (qreal y : {8.0, 12.0, 16.0})
            p.drawLine(QPointF(7, y), QPointF(17, y));
        break;
    }
    case ToolIcon::ToDoList: {
        p.setPen(ink());
        p.setBrush(Paper);
        p.drawRoundedRect(QRectF(3, 2.5, 18, 19), 1.5, 1.5);
        for (int i = 0; i < 3; ++i) {
            const qreal y = 7 + i * 5.2;
            p.setPen(QPen(Green, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QList<QPointF>{{5.5, y}, {7, y + 1.6}, {9.5, y - 1.6}});
            p.setPen(QPen(Ink, 1.2));
            p.drawLine(QPointF(11.5, y), QPointF(18.5, y));
        }
        break;
    }
    case ToolIcon::RecordStats: {
        p.setPen(ink());
        p.drawLine(QPointF(3, 21), QPointF(21, 21));
        p.drawLine(QPointF(3, 21), QPointF(3, 3));
        p.setPen(Qt::NoPen);
        const QColor bars[3] = {Blue, Green, Accent};
        const qreal heights[3] = {9, 15, 6};
        for (int i = 0; i < 3; ++i) {
            p.setBrush(bars[i]);
            p.drawRect(QRectF(5.5 + i * 5.2, 20 - heights[i], 3.8, heights[i]));
        }
        break;
    }
    case ToolIcon::ItemStats: {
        p.setPen(ink());
        p.setBrush(Paper);
        p.drawEllipse(QRectF(3, 3, 18, 18));
        p.setBrush(Blue);
        p.drawPie(QRectF(3, 3, 18, 18), 90 * 16, -130 * 16);
        p.setBrush(Amber);
        p.drawPie(QRectF(3, 3, 18, 18), -40 * 16, -100 * 16);
        break;
    }
    case ToolIcon::Calendar:
        calendarPage(p, 3, 2, Accent);
        break;
    case ToolIcon::Weekly:
        calendarPage(p, 7, 1, Blue);
        break;
    case ToolIcon::Monthly:
        calendarPage(p, 4, 3, Green);
        break;
    case ToolIcon::Annual: {
        p.setPen(ink());
        p.setBrush(Paper);
        p.drawRect(QRectF(2.5, 3.5, 19, 17));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(205, 212, 224));
        p.drawRect(QRectF(3.2, 4.2, 17.6, 3.6));
        p.drawRect(QRectF(3.2, 4.2, 4.3, 15.6));
        p.setPen(QPen(Ink, 0.9));
        for (qreal y : {8.0, 12.0, 16.0})
            p.drawLine(QPointF(2.5, y), QPointF(21.5, y));
        for (qreal x : {7.5, 12.5, 17.0})
            p.drawLine(QPointF(x, 3.5), QPointF(x, 20.5));
        break;
    }
    case ToolIcon::Diary: {
        // An open notebook: two pages with lines.
        p.setPen(ink());
        p.setBrush(Paper);
        QPainterPath left, right;
        left.moveTo(12, 6);
        left.cubicTo(9, 4, 5, 4, 2.5, 5);
        left.lineTo(2.5, 20);
        left.cubicTo(5, 19, 9, 19, 12, 21);
        left.closeSubpath();
        right.moveTo(12, 6);
        right.cubicTo(15, 4, 19, 4, 21.5, 5);
        right.lineTo(21.5, 20);
        right.cubicTo(19, 19, 15, 19, 12, 21);
        right.closeSubpath();
        p.drawPath(left);
        p.drawPath(right);
        p.setPen(QPen(Blue, 1));
        for (qreal y : {9.0, 12.0, 15.0}) {
            p.drawLine(QPointF(5, y), QPointF(10, y + 0.6));
            p.drawLine(QPointF(14, y + 0.6), QPointF(19, y));
        }
        break;
    }
    case ToolIcon::New: {
        sheet(p, QRectF(5, 2.5, 13, 18));
        p.setPen(QPen(Green, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(17, 14), QPointF(17, 22));
        p.drawLine(QPointF(13, 18), QPointF(21, 18));
        break;
    }
    case ToolIcon::Open: {
        p.setPen(ink());
        p.setBrush(QColor(236, 196, 96));
        QPainterPath back;
        back.moveTo(2.5, 19.5);
        back.lineTo(2.5, 5);
        back.lineTo(8.5, 5);
        back.lineTo(10.5, 7.5);
        back.lineTo(19.5, 7.5);
        back.lineTo(19.5, 10.5);
        p.drawPath(back);
        p.setBrush(QColor(248, 216, 128));
        QPainterPath front;
        front.moveTo(2.5, 19.5);
        front.lineTo(6, 10.5);
        front.lineTo(22, 10.5);
        front.lineTo(18.5, 19.5);
        front.closeSubpath();
        p.drawPath(front);
        break;
    }
    case ToolIcon::Save: {
        p.setPen(ink());
        p.setBrush(Blue);
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        p.setBrush(Paper);
        p.drawRect(QRectF(7, 3, 10, 7));
        p.setBrush(QColor(205, 212, 224));
        p.drawRect(QRectF(6, 13, 12, 8));
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        p.drawRect(QRectF(13.5, 4.5, 2, 4));
        break;
    }
    case ToolIcon::PasteAdd: {
        draw(p, ToolIcon::Paste);
        p.setPen(Qt::NoPen);
        p.setBrush(Green);
        p.drawEllipse(QPointF(17.5, 6.5), 5, 5);
        p.setPen(QPen(Paper, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(17.5, 4), QPointF(17.5, 9));
        p.drawLine(QPointF(15, 6.5), QPointF(20, 6.5));
        break;
    }
    case ToolIcon::Sort: {
        p.setPen(QPen(Ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(3, 5 + i * 4.5), QPointF(7 + i * 3, 5 + i * 4.5));
        p.setPen(QPen(Blue, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(18, 3.5), QPointF(18, 20));
        p.drawPolyline(QList<QPointF>{{14.5, 16.5}, {18, 20.5}, {21.5, 16.5}});
        break;
    }
    case ToolIcon::Search: {
        p.setPen(QPen(Ink, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14.5, 14.5), QPointF(20.5, 20.5));
        p.setPen(ink(1.8));
        p.setBrush(QColor(214, 232, 250));
        p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
        break;
    }
    case ToolIcon::Count: {
        // A tally: four strokes and the fifth across them.
        p.setPen(QPen(Ink, 1.8, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(5 + i * 4, 4), QPointF(5 + i * 4, 20));
        p.setPen(QPen(Accent, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(2.5, 17), QPointF(21.5, 7));
        break;
    }
    }
}

// Paints its image into whatever rectangle it is asked for, so every size and every
// screen scale is drawn afresh rather than scaled from a bitmap.
class ToolIconEngine : public QIconEngine {
public:
    explicit ToolIconEngine(ToolIcon icon) : m_icon(icon) {}

    void paint(QPainter* p, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        p->save();
        p->translate(rect.topLeft());
        const qreal side = std::min(rect.width(), rect.height());
        p->scale(side / 24.0, side / 24.0);
        if (mode == QIcon::Disabled)
            p->setOpacity(0.35);
        draw(*p, m_icon);
        p->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        // Drawn once for each size, mode and scale: a window's toolbar is painted every
        // time it is shown.
        const qreal dpr = std::max(scale, 1.0);
        const QString key = QStringLiteral("daylog-icon-%1-%2x%3-%4-%5")
                                .arg(int(m_icon))
                                .arg(size.width())
                                .arg(size.height())
                                .arg(int(mode))
                                .arg(dpr);
        QPixmap pm;
        if (QPixmapCache::find(key, &pm))
            return pm;
        pm = QPixmap(size * dpr);
        pm.setDevicePixelRatio(dpr);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            paint(&p, QRect(QPoint(0, 0), size), mode, state);
        }
        QPixmapCache::insert(key, pm);
        return pm;
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new ToolIconEngine(m_icon); }
    QString key() const override { return QStringLiteral("daylog-tool-icon"); }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(16, 16), QSize(24, 24), QSize(32, 32), QSize(48, 48)};
    }

private:
    ToolIcon m_icon;
};

} // namespace

QIcon toolIcon(ToolIcon icon) {
    if (icon == ToolIcon::None)
        return {};
    return QIcon(new ToolIconEngine(icon));
}
