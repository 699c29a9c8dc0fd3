#include "measure/measurepictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

namespace {

const QColor kTrace(0, 150, 0);     // the waveform
const QColor kMark(0, 255, 0);      // what is measured
const QColor kShade(0, 90, 0);      // a shaded part of a period

constexpr qreal kTop = 3.5;         // the highest level of a drawing
constexpr qreal kBottom = 16.5;     // the lowest
constexpr qreal kMiddle = (kTop + kBottom) / 2;

QPen tracePen()
{
    return QPen(kTrace, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

QPen markPen(Qt::PenStyle style = Qt::SolidLine)
{
    return QPen(kMark, 1.0, style, Qt::FlatCap, Qt::MiterJoin);
}

// One and a half periods of a sine between kTop and kBottom.
void sine(QPainter &p)
{
    QPainterPath path;
    for (int x = 1; x <= 54; ++x) {
        const QPointF pt(x + 0.5, kMiddle - (kMiddle - kTop) * std::sin((x - 1) / 36.0 * 2 * M_PI));
        x == 1 ? path.moveTo(pt) : path.lineTo(pt);
    }
    p.setPen(tracePen());
    p.drawPath(path);
}

// A square wave of period 24 pixels starting low at x = 1; its rising edges
// at 7, 31 and 55, falling edges at 19 and 43.
void square(QPainter &p, qreal top = kTop, qreal bottom = kBottom)
{
    const QPointF pts[] = {{1, bottom}, {7, bottom}, {7, top},     {19, top},    {19, bottom},
                           {31, bottom}, {31, top},   {43, top},    {43, bottom}, {54, bottom}};
    p.setPen(tracePen());
    p.drawPolyline(pts, int(std::size(pts)));
}

// One trapezoid pulse: low, a rising edge from x0, high, a falling edge.
void pulse(QPainter &p, qreal top = kTop + 2, qreal bottom = kBottom)
{
    const QPointF pts[] = {{1, bottom}, {12, bottom}, {16, top}, {38, top}, {42, bottom}, {54, bottom}};
    p.setPen(tracePen());
    p.drawPolyline(pts, int(std::size(pts)));
}

void hline(QPainter &p, qreal y, qreal x0 = 1, qreal x1 = 54, Qt::PenStyle style = Qt::SolidLine)
{
    p.setPen(markPen(style));
    p.drawLine(QPointF(x0, y), QPointF(x1, y));
}

void head(QPainter &p, QPointF tip, qreal dx, qreal dy)
{
    // A filled arrow head pointing along (dx, dy) (one of them 0).
    const QPointF back(tip.x() - 3 * dx, tip.y() - 3 * dy);
    const QPointF side(2.0 * dy, 2.0 * dx);
    p.setPen(Qt::NoPen);
    p.setBrush(kMark);
    p.drawPolygon(QPolygonF({tip, back + side, back - side}));
    p.setBrush(Qt::NoBrush);
}

// A double arrow between two points on a vertical or horizontal line.
void arrow(QPainter &p, QPointF a, QPointF b)
{
    p.setPen(markPen());
    p.drawLine(a, b);
    const qreal dx = a.x() == b.x() ? 0 : (b.x() > a.x() ? 1 : -1);
    const qreal dy = a.y() == b.y() ? 0 : (b.y() > a.y() ? 1 : -1);
    head(p, b, dx, dy);
    head(p, a, -dx, -dy);
}

void draw(QPainter &p, int image)
{
    switch (image) {
    case 1: // Vpp: from the lowest to the highest point
        sine(p);
        hline(p, kTop, 40, 54, Qt::DotLine);
        hline(p, kBottom, 20, 54, Qt::DotLine);
        arrow(p, {50, kTop + 0.5}, {50, kBottom - 0.5});
        break;
    case 2: // Vmax: the highest point
        sine(p);
        hline(p, kTop - 1.5);
        head(p, {10.5, kTop}, 0, -1);
        break;
    case 3: // Vmin: the lowest point
        sine(p);
        hline(p, kBottom + 1.5);
        head(p, {28.5, kBottom}, 0, 1);
        break;
    case 4: // Vavg: the mean level
        sine(p);
        hline(p, kMiddle, 1, 54, Qt::DashLine);
        p.setPen(markPen());
        p.drawLine(QPointF(1, kMiddle - 3), QPointF(1, kMiddle + 3));
        p.drawLine(QPointF(54, kMiddle - 3), QPointF(54, kMiddle + 3));
        break;
    case 5: // Vamp: from the base to the top of a pulse
        pulse(p);
        arrow(p, {27, kTop + 2.5}, {27, kBottom - 0.5});
        break;
    case 6: // Vtop: the top level
        pulse(p);
        hline(p, kTop + 2, 1, 54, Qt::DashLine);
        break;
    case 7: // Vbase: the base level
        pulse(p);
        hline(p, kBottom, 1, 54, Qt::DashLine);
        p.setPen(markPen());
        p.drawLine(QPointF(1, kBottom - 3), QPointF(54, kBottom - 3));
        break;
    case 8: { // Vrms: the square of the sine and its root-mean level
        sine(p);
        const qreal rms = kMiddle - (kMiddle - kTop) * 0.707;
        hline(p, rms, 1, 54, Qt::DashLine);
        hline(p, 2 * kMiddle - rms, 1, 54, Qt::DashLine);
        break;
    }
    case 9: { // Vover: the overshoot over the top level after the rising edge
        const QPointF pts[] = {{1, kBottom}, {12, kBottom}, {15, kTop - 1}, {18, kTop + 5}, {21, kTop + 3},
                               {40, kTop + 3}, {43, kBottom}, {54, kBottom}};
        p.setPen(tracePen());
        p.drawPolyline(pts, int(std::size(pts)));
        hline(p, kTop + 3, 22, 54, Qt::DotLine);
        arrow(p, {8, kTop - 1}, {8, kTop + 3});
        hline(p, kTop - 1, 8, 15, Qt::DotLine);
        break;
    }
    case 10: { // Vpre: the dip under the base level before the rising edge
        const QPointF pts[] = {{1, kBottom - 3}, {24, kBottom - 3}, {27, kBottom + 1}, {30, kBottom - 3},
                               {33, kTop},       {54, kTop}};
        p.setPen(tracePen());
        p.drawPolyline(pts, int(std::size(pts)));
        hline(p, kBottom - 3, 1, 22, Qt::DotLine);
        arrow(p, {38, kBottom + 1}, {38, kBottom - 3});
        hline(p, kBottom + 1, 27, 38, Qt::DotLine);
        break;
    }
    case 11: { // Frequency: one over a period
        square(p);
        arrow(p, {31.5, kMiddle}, {54.5, kMiddle});
        QFont f = p.font();
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kMark);
        p.drawText(QRectF(19, 0, 13, 20), Qt::AlignCenter, QStringLiteral("1/"));
        break;
    }
    case 12: // Period: from one rising edge to the next
        square(p);
        arrow(p, {7.5, kMiddle}, {30.5, kMiddle});
        break;
    case 13: { // Rise time: from 10 % to 90 % of a rising edge
        const QPointF pts[] = {{1, kBottom}, {14, kBottom}, {34, kTop}, {54, kTop}};
        p.setPen(tracePen());
        p.drawPolyline(pts, int(std::size(pts)));
        hline(p, kTop + 2, 1, 54, Qt::DotLine);
        hline(p, kBottom - 2, 1, 54, Qt::DotLine);
        arrow(p, {16, kMiddle}, {32, kMiddle});
        break;
    }
    case 14: { // Fall time: from 90 % to 10 % of a falling edge
        const QPointF pts[] = {{1, kTop}, {21, kTop}, {41, kBottom}, {54, kBottom}};
        p.setPen(tracePen());
        p.drawPolyline(pts, int(std::size(pts)));
        hline(p, kTop + 2, 1, 54, Qt::DotLine);
        hline(p, kBottom - 2, 1, 54, Qt::DotLine);
        arrow(p, {23, kMiddle}, {39, kMiddle});
        break;
    }
    case 15: // Pulse width +: the high part of a pulse, at half height
        pulse(p);
        arrow(p, {14.5, kMiddle + 1}, {39.5, kMiddle + 1});
        hline(p, kTop + 2, 16, 38);
        break;
    case 16: { // Pulse width -: the low part of an inverted pulse
        const QPointF pts[] = {{1, kTop}, {12, kTop}, {16, kBottom}, {38, kBottom}, {42, kTop}, {54, kTop}};
        p.setPen(tracePen());
        p.drawPolyline(pts, int(std::size(pts)));
        arrow(p, {14.5, kMiddle}, {39.5, kMiddle});
        hline(p, kBottom, 16, 38);
        break;
    }
    case 17: // Duty +: the high part shaded within a period
        p.fillRect(QRectF(7, kTop, 12, kBottom - kTop), kShade);
        square(p);
        hline(p, kBottom + 2, 7, 31);
        hline(p, kTop, 7, 19);
        break;
    case 18: // Duty -: the low part shaded within a period
        p.fillRect(QRectF(19, kTop, 12, kBottom - kTop), kShade);
        square(p);
        hline(p, kBottom + 2, 7, 31);
        hline(p, kBottom, 19, 31);
        break;
    default: break;
    }
}

} // namespace

QImage measurePictureImage(int image)
{
    if (image < 1 || image > 18)
        return QImage();
    QImage img(MeasPictureWidth, MeasPictureHeight, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    draw(p, image);
    return img;
}
