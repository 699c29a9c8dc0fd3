#include "shell/programiconpicture.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

QImage paintProgramIcon(int size)
{
    QImage pix(size, size, QImage::Format_ARGB32_Premultiplied);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // The case: a dark blue body with a lighter rim.
    const QRectF body(s * 0.03, s * 0.03, s * 0.94, s * 0.94);
    p.setPen(QPen(QColor(120, 150, 200), std::max<qreal>(1.0, s / 32)));
    p.setBrush(QColor(22, 38, 70));
    p.drawRoundedRect(body, s * 0.14, s * 0.14);
    // The screen.
    const QRectF screen(s * 0.13, s * 0.13, s * 0.74, s * 0.74);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(screen);
    // The graticule: 4 x 4 divisions (only the centre lines on small sizes).
    p.setPen(QPen(QColor(90, 90, 90), std::max<qreal>(1.0, s / 64)));
    const int divisions = size >= 32 ? 4 : 2;
    for (int i = 1; i < divisions; ++i) {
        const qreal x = screen.left() + screen.width() * i / divisions;
        const qreal y = screen.top() + screen.height() * i / divisions;
        p.drawLine(QPointF(x, screen.top()), QPointF(x, screen.bottom()));
        p.drawLine(QPointF(screen.left(), y), QPointF(screen.right(), y));
    }
    // CH1: one and a half periods of a sine, yellow; CH2: a square wave, cyan.
    const qreal pen = std::max<qreal>(1.2, s / 18);
    QPainterPath sine;
    const int steps = 48;
    for (int i = 0; i <= steps; ++i) {
        const qreal t = qreal(i) / steps;
        const QPointF pt(screen.left() + screen.width() * t,
                         screen.top() + screen.height() * (0.36 - 0.22 * std::sin(t * 3 * M_PI)));
        i == 0 ? sine.moveTo(pt) : sine.lineTo(pt);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 0), pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(sine);
    QPainterPath square;
    const qreal hi = screen.top() + screen.height() * 0.62;
    const qreal lo = screen.top() + screen.height() * 0.86;
    square.moveTo(screen.left(), lo);
    for (int k = 0; k < 3; ++k) {
        const qreal x0 = screen.left() + screen.width() * (k / 3.0 + 1 / 6.0);
        const qreal x1 = screen.left() + screen.width() * ((k + 1) / 3.0);
        square.lineTo(x0, lo);
        square.lineTo(x0, hi);
        square.lineTo(x1, hi);
        square.lineTo(x1, lo);
    }
    p.setPen(QPen(QColor(0, 255, 255), pen, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPath(square);
    return pix;
}
