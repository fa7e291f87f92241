#include "drawn_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <functional>

namespace vorna {

namespace {

QPixmap draw(int size, const std::function<void(QPainter&)>& paint) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / double(kDrawnIconCanvas), size / double(kDrawnIconCanvas));
    paint(p);
    return pm;
}

void report(QPainter& p) {
    QPainterPath page;
    page.moveTo(6, 2);
    page.lineTo(20, 2);
    page.lineTo(26, 8);
    page.lineTo(26, 30);
    page.lineTo(6, 30);
    page.closeSubpath();
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setBrush(QColor(220, 220, 220));
    p.drawPolygon(QPolygonF({QPointF(20, 2), QPointF(20, 8), QPointF(26, 8)}));
    p.setPen(QPen(QColor(90, 110, 160), 1.5));
    for (int y = 12; y <= 18; y += 3)
        p.drawLine(QPointF(9, y), QPointF(23, y));
    // A small bar chart at the foot of the sheet.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 150, 30));
    p.drawRect(QRectF(10, 23, 3, 4));
    p.drawRect(QRectF(15, 21, 3, 6));
    p.drawRect(QRectF(20, 24, 3, 3));
}

void realtime(QPainter& p) {
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    p.setBrush(QColor(20, 40, 30));
    p.drawRoundedRect(QRectF(2, 5, 28, 22), 3, 3);
    QPainterPath wave;
    for (int x = 0; x <= 24; ++x) {
        const QPointF pt(4 + x, 16 - 7 * qSin(x / 24.0 * 2 * M_PI));
        x == 0 ? wave.moveTo(pt) : wave.lineTo(pt);
    }
    p.setPen(QPen(QColor(80, 240, 110), 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
}

void realtimeData(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3, 4, 26, 24));
    p.setBrush(QColor(120, 150, 200));
    p.drawRect(QRectF(3, 4, 26, 5));
    p.setPen(QPen(QColor(170, 170, 170), 0.8));
    for (int y = 14; y < 28; y += 5)
        p.drawLine(QPointF(3, y), QPointF(29, y));
    p.drawLine(QPointF(12, 9), QPointF(12, 28));
    p.setPen(QPen(QColor(200, 60, 40), 1.8));
    p.drawPolyline(QPolygonF({QPointF(14, 25), QPointF(18, 18), QPointF(22, 21), QPointF(27, 12)}));
}

void installation(QPainter& p) {
    // The sun behind a photovoltaic module.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 190, 30));
    p.drawEllipse(QPointF(24, 8), 6, 6);
    const QPolygonF panel({QPointF(2, 28), QPointF(8, 12), QPointF(28, 12), QPointF(24, 28)});
    p.setPen(QPen(QColor(30, 40, 80), 1.2));
    p.setBrush(QColor(40, 80, 170));
    p.drawPolygon(panel);
    p.setPen(QPen(QColor(200, 215, 240), 0.8));
    for (int i = 1; i < 4; ++i) {
        const double t = i / 4.0;
        p.drawLine(QPointF(2 + 6 * t, 28 - 16 * t), QPointF(24 + 4 * t, 28 - 16 * t));
        p.drawLine(QPointF(2 + 22 * t, 28), QPointF(8 + 20 * t, 12));
    }
}

void setup(QPainter& p) {
    QPainterPath gear;
    const QPointF c(16, 16);
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a0 = i * M_PI / teeth, a1 = (i + 1) * M_PI / teeth;
        const double r = (i % 2 == 0) ? 14 : 10.5;
        const QPointF p0 = c + QPointF(r * qCos(a0), r * qSin(a0));
        const QPointF p1 = c + QPointF(r * qCos(a1), r * qSin(a1));
        i == 0 ? gear.moveTo(p0) : gear.lineTo(p0);
        gear.lineTo(p1);
    }
    gear.closeSubpath();
    gear.addEllipse(c, 4.5, 4.5);
    gear.setFillRule(Qt::OddEvenFill);
    p.setPen(QPen(QColor(50, 50, 50), 1));
    p.setBrush(QColor(150, 155, 165));
    p.drawPath(gear);
}

// Flags: three bands, vertical or horizontal, with relative heights.
void bands(QPainter& p, bool vertical, const QColor& a, const QColor& b, const QColor& c,
           double middleShare = 1.0 / 3) {
    const QRectF r(2, 7, 28, 18);
    const double side = (1 - middleShare) / 2;
    const double shares[3] = {side, middleShare, side};
    const QColor colours[3] = {a, b, c};
    double at = 0;
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(colours[i]);
        if (vertical)
            p.drawRect(QRectF(r.left() + at * r.width(), r.top(), shares[i] * r.width() + 0.3,
                              r.height()));
        else
            p.drawRect(QRectF(r.left(), r.top() + at * r.height(), r.width(),
                              shares[i] * r.height() + 0.3));
        at += shares[i];
    }
    p.setPen(QPen(QColor(90, 90, 90), 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void unionFlag(QPainter& p) {
    const QRectF r(2, 7, 28, 18);
    p.save();
    p.setClipRect(r);
    p.fillRect(r, QColor(1, 33, 105));
    p.setPen(QPen(Qt::white, 4));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.bottomLeft(), r.topRight());
    p.setPen(QPen(QColor(200, 16, 46), 1.4));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.bottomLeft(), r.topRight());
    p.setPen(QPen(Qt::white, 6));
    p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
    p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
    p.setPen(QPen(QColor(200, 16, 46), 3.5));
    p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
    p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
    p.restore();
    p.setPen(QPen(QColor(90, 90, 90), 0.6));
    p.drawRect(r);
}

// A chip with an arrow going into it: firmware being written to the microcontroller.
void firmware(QPainter& p) {
    p.setPen(QPen(QColor(150, 150, 150), 1.6));
    for (int i = 0; i < 4; ++i) {
        const double y = 15 + 4 * i;
        p.drawLine(QPointF(3, y), QPointF(7, y));
        p.drawLine(QPointF(25, y), QPointF(29, y));
    }
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(QColor(45, 45, 50));
    p.drawRoundedRect(QRectF(7, 12, 18, 18), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 110, 120));
    p.drawEllipse(QPointF(11, 16), 1.5, 1.5);
    const QPolygonF arrow({QPointF(13, 1), QPointF(19, 1), QPointF(19, 9), QPointF(23, 9),
                           QPointF(16, 18), QPointF(9, 9), QPointF(13, 9)});
    p.setPen(QPen(QColor(20, 90, 30), 1));
    p.setBrush(QColor(60, 190, 80));
    p.drawPolygon(arrow);
}

std::function<void(QPainter&)> painterFor(const QString& key) {
    if (key == QLatin1String("report")) return report;
    if (key == QLatin1String("realtime")) return realtime;
    if (key == QLatin1String("realtime_data")) return realtimeData;
    if (key == QLatin1String("installation")) return installation;
    if (key == QLatin1String("setup")) return setup;
    if (key == QLatin1String("firmware")) return firmware;
    if (key == QLatin1String("inglese")) return unionFlag;
    if (key == QLatin1String("francese"))
        return
            [](QPainter& p) { bands(p, true, QColor(0, 35, 149), Qt::white, QColor(237, 41, 57)); };
    if (key == QLatin1String("spagnolo"))
        return [](QPainter& p) {
            bands(p, false, QColor(170, 21, 27), QColor(241, 191, 0), QColor(170, 21, 27), 0.5);
        };
    if (key == QLatin1String("tedesco"))
        return
            [](QPainter& p) { bands(p, false, Qt::black, QColor(221, 0, 0), QColor(255, 206, 0)); };
    if (key == QLatin1String("italiano"))
        return
            [](QPainter& p) { bands(p, true, QColor(0, 146, 70), Qt::white, QColor(206, 43, 55)); };
    return {};
}

} // namespace

bool paintDrawnIcon(QPainter& p, const QString& key) {
    const auto paint = painterFor(key);
    if (!paint) return false;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    p.restore();
    return true;
}

QIcon toolbar_icon(const QString& key) {
    const auto paint = painterFor(key);
    if (!paint) return {};
    QIcon icon;
    for (int size : {kDrawnIconCanvas, kDrawnIconCanvas * 2})
        icon.addPixmap(draw(size, paint));
    return icon;
}

QPixmap lamp_pixmap(bool green, int size) {
    return draw(size, [green](QPainter& p) {
        const QColor base = green ? QColor(30, 190, 60) : QColor(210, 35, 35);
        QRadialGradient g(QPointF(12, 11), 16);
        g.setColorAt(0, base.lighter(170));
        g.setColorAt(0.6, base);
        g.setColorAt(1, base.darker(160));
        p.setPen(QPen(QColor(40, 40, 40), 1.2));
        p.setBrush(g);
        p.drawEllipse(QPointF(16, 16), 13, 13);
    });
}

} // namespace vorna
