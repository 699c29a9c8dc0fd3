#include "wave/waveshapes.h"

#include "values/rounding.h"

#include <QImage>
#include <QLine>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace {

// No picture is larger than this (the zoom stops at 1000 %); a coordinate
// beyond it comes from a broken record and is not drawn.
constexpr double CoordLimit = 1.0e6;

bool toPixels(const QPolygonF &in, QPolygon *out)
{
    out->resize(in.size());
    // std::nearbyint rounds halves to even (the default rounding mode) as
    // nearestPixel does, at a fraction of its cost: a logic trace is
    // thousands of points.
    for (qsizetype i = 0; i < in.size(); ++i) {
        const double x = std::nearbyint(in[i].x());
        const double y = std::nearbyint(in[i].y());
        if (!(std::fabs(x) <= CoordLimit) || !(std::fabs(y) <= CoordLimit))
            return false; // also NaN
        (*out)[i] = QPoint(int(x), int(y));
    }
    return true;
}

// The picture image behind the painter when lines may be written straight
// into its pixels: an unshared 32-bit image, painted without transform,
// clipping or a composition other than plain source-over.
QImage *directImage(QPainter &p)
{
    QPaintDevice *d = p.device();
    if (!d || d->devType() != QInternal::Image)
        return nullptr;
    auto *img = static_cast<QImage *>(d);
    const QImage::Format f = img->format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied)
        return nullptr;
    if (!img->isDetached() || !p.worldTransform().isIdentity() || p.hasClipping()
        || p.compositionMode() != QPainter::CompositionMode_SourceOver)
        return nullptr;
    return img;
}

// A horizontal or vertical line of an opaque colour into the pixels of a
// 32-bit image w x h, both ends included (as the painter draws a one-pixel
// line), clipped to the image. False for a slanted line.
bool straightLine(uchar *bits, qsizetype bpl, int w, int h, QPoint a, QPoint b, QRgb rgb)
{
    if (a.y() == b.y()) {
        const int y = a.y();
        if (y < 0 || y >= h)
            return true;
        const int x1 = std::max(0, std::min(a.x(), b.x()));
        const int x2 = std::min(w - 1, std::max(a.x(), b.x()));
        auto *row = reinterpret_cast<QRgb *>(bits + y * bpl);
        for (int x = x1; x <= x2; ++x)
            row[x] = rgb;
        return true;
    }
    if (a.x() == b.x()) {
        const int x = a.x();
        if (x < 0 || x >= w)
            return true;
        const int y1 = std::max(0, std::min(a.y(), b.y()));
        const int y2 = std::min(h - 1, std::max(a.y(), b.y()));
        uchar *p = bits + y1 * bpl + qsizetype(x) * 4;
        for (int y = y1; y <= y2; ++y, p += bpl)
            *reinterpret_cast<QRgb *>(p) = rgb;
        return true;
    }
    return false;
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
        case WaveShape::Segments: {
            // Logic traces are thousands of level and edge lines: written
            // straight into the image where the painter would draw the same.
            QImage *img = s.dashDotDot || s.color.alpha() != 255 ? nullptr : directImage(p);
            uchar *bits = img ? img->bits() : nullptr;
            const qsizetype bpl = img ? img->bytesPerLine() : 0;
            const int w = img ? img->width() : 0;
            const int h = img ? img->height() : 0;
            const QRgb rgb = s.color.rgba();
            lines.clear();
            for (qsizetype i = 0; i + 1 < pix.size(); i += 2)
                if (!bits || !straightLine(bits, bpl, w, h, pix[i], pix[i + 1], rgb))
                    lines.append(QLine(pix[i], pix[i + 1]));
            if (!lines.isEmpty())
                p.drawLines(lines);
            break;
        }
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
