#include "wave/waveshapes.h"

#include "values/rounding.h"

#include <QLine>
#include <QPainter>
#include <QPen>
#include <QPolygon>

#include <cmath>

namespace {

// No picture is larger than this (the zoom stops at 1000 %); a coordinate
// beyond it comes from a broken record and is not drawn.
constexpr double CoordLimit = 1.0e6;

bool toPixels(const QPolygonF &in, QPolygon *out)
{
    out->resize(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const double x = nearestPixel(in[i].x());
        const double y = nearestPixel(in[i].y());
        if (!(std::fabs(x) <= CoordLimit) || !(std::fabs(y) <= CoordLimit))
            return false; // also NaN
        (*out)[i] = QPoint(int(x), int(y));
    }
    return true;
}

} // namespace

namespace WaveShapeMake {

WaveShape chain(const QColor &c, const QPolygonF &points)
{
    WaveShape s;
    s.kind = WaveShape::Chain;
    s.color = c;
    s.points = points;
    return s;
}

WaveShape dot(const QColor &c, QPointF at)
{
    WaveShape s;
    s.kind = WaveShape::Dot;
    s.color = c;
    s.points = {at};
    return s;
}

WaveShape text(const QColor &c, QPointF at, const QString &text, bool bold)
{
    WaveShape s;
    s.kind = WaveShape::Text;
    s.color = c;
    s.points = {at};
    s.text = text;
    s.bold = bold;
    return s;
}

} // namespace WaveShapeMake

QFont wavePictureFont(bool bold)
{
    static const QFont regular = [] {
        QFont f(QStringLiteral("Noto Sans CJK SC"));
        f.setPixelSize(11);
        f.setStyleStrategy(QFont::PreferAntialias);
        return f;
    }();
    static const QFont heavy = [] {
        QFont f = regular;
        f.setBold(true);
        return f;
    }();
    return bold ? heavy : regular;
}

QFont waveReadoutFont()
{
    static const QFont f = [] {
        QFont g(QStringLiteral("Noto Sans Mono CJK SC"));
        g.setStyleHint(QFont::Monospace);
        g.setPixelSize(16);
        return g;
    }();
    return f;
}

double nearestPixel(double v) { return RoundHalfEven(v); }

void PaintShapes(QPainter &p, const WaveShapes &shapes)
{
    if (!p.isActive())
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setBackgroundMode(Qt::TransparentMode);
    QPen pen(QColor(0, 0, 0));
    pen.setWidth(1);
    pen.setCapStyle(Qt::SquareCap);
    p.setPen(pen);
    int fontKind = -1; // 0 regular, 1 bold, 2 read-out
    QPolygon pix;
    QList<QLine> lines;
    for (const WaveShape &s : shapes) {
        if (s.points.isEmpty() || !toPixels(s.points, &pix))
            continue;
        const Qt::PenStyle style = s.dashDotDot ? Qt::DashDotDotLine : Qt::SolidLine;
        if (pen.color() != s.color || pen.style() != style) {
            pen.setColor(s.color);
            pen.setStyle(style);
            p.setPen(pen);
        }
        switch (s.kind) {
        case WaveShape::Chain:
            if (pix.size() == 1)
                p.drawPoint(pix[0]);
            else
                p.drawPolyline(pix);
            break;
        case WaveShape::Segments:
            lines.clear();
            for (qsizetype i = 0; i + 1 < pix.size(); i += 2)
                lines.append(QLine(pix[i], pix[i + 1]));
            p.drawLines(lines);
            break;
        case WaveShape::Dot:
            p.drawPoint(pix[0]);
            break;
        case WaveShape::Text: {
            const int want = s.readout ? 2 : (s.bold ? 1 : 0);
            if (want != fontKind) {
                p.setFont(want == 2 ? waveReadoutFont() : wavePictureFont(want == 1));
                fontKind = want;
            }
            p.drawText(QRect(pix[0].x(), pix[0].y(), 4000, 400), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                       s.text);
            break;
        }
        }
    }
    p.restore();
}
