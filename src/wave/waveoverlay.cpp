#include "wave/waveoverlay.h"

#include "texts/stringres.h"
#include "wave/wavereadouts.h"

#include <QImage>
#include <QPainter>

namespace {

using WaveShapeMake::chain;

WaveShape dashed(const QColor &c, QPointF from, QPointF to)
{
    WaveShape s = chain(c, {from, to});
    s.dashDotDot = true;
    return s;
}

// A triangle: base from b1 to b2, tip t.
WaveShape triangle(const QColor &c, QPointF b1, QPointF b2, QPointF t) { return chain(c, {b1, b2, t, b1}); }

// Triangle on a horizontal line y pointing to the tip at x, y + dy.
WaveShape xMarker(const QColor &c, double x, double y, double dy)
{
    return triangle(c, {x - 5, y}, {x + 5, y}, {x, y + dy});
}

// Triangle on a vertical line x pointing to the tip at x + dx, y.
WaveShape yMarker(const QColor &c, double x, double y, double dx)
{
    return triangle(c, {x, y - 5}, {x, y + 5}, {x + dx, y});
}

} // namespace

QColor cursorLineColor(bool colorMode) { return colorMode ? QColor(230, 200, 150) : QColor(0, 0, 0); }

WaveShapes CursorLineShapes(const WaveCursors &c, double zoom, bool split, bool colorMode)
{
    WaveShapes out;
    const QColor col = cursorLineColor(colorMode);
    const double R = 300 * zoom + 25;
    const double B = 200 * zoom + 25;
    const double M = 100 * zoom + 25;
    const CursorLines at = CursorLinePixels(c, zoom, split);

    if (c.CursorXOn) {
        const double xs[2] = {at.x1, at.x2};
        if (split) {
            for (double x : xs)
                out.append(dashed(col, {x, 30}, {x, M - 5}));
            for (double x : xs) {
                out.append(xMarker(col, x, 25, 5));
                out.append(xMarker(col, x, M, -5));
            }
            const double lows[2] = {at.x1Low, at.x2Low};
            for (double x : lows)
                out.append(dashed(col, {x, M + 5}, {x, B - 5}));
            for (double x : lows) {
                out.append(xMarker(col, x, M, 5));
                out.append(xMarker(col, x, B, -5));
            }
        } else {
            for (double x : xs)
                out.append(dashed(col, {x, 30}, {x, B - 5}));
            for (double x : xs) {
                out.append(xMarker(col, x, 25, 5));
                out.append(xMarker(col, x, B, -5));
            }
        }
    }

    if (c.CursorYOn) {
        const auto pair = [&](double y1, double y2) {
            const double ys[2] = {y1, y2};
            for (double y : ys)
                out.append(dashed(col, {30, y}, {R - 5, y}));
            for (double y : ys) {
                out.append(yMarker(col, 25, y, 5));
                out.append(yMarker(col, R, y, -5));
            }
        };
        pair(at.y1, at.y2);
        if (split)
            pair(at.y1Low, at.y2Low);
    }
    return out;
}

void DrawCursors(QPainter &p, WaveCursors &c, const WaveDoc &doc, double zoom)
{
    const bool split = doc.SplitScreen;
    ClampCursors(c, split);
    PaintShapes(p, CursorLineShapes(c, zoom, split, doc.ColorMode));
    const QList<ReadoutLine> lines = CursorReadouts(c, doc, zoom, word(Word::MeasNameVrms));
    PaintShapes(p, ReadoutShapes(lines, doc.ColorMode));
}

void DrawCursors(QImage &picture, WaveCursors &c, const WaveDoc &doc, double zoom)
{
    if (picture.isNull()) {
        ClampCursors(c, doc.SplitScreen);
        return;
    }
    QPainter p(&picture);
    DrawCursors(p, c, doc, zoom);
}
