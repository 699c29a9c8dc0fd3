#include "wave/wavecursors.h"

#include <cmath>

namespace {

// The picture's margin round the graticule and a division at zoom 1, pixels.
constexpr double Margin = 25;
constexpr double Division = 25;

bool near(double c, double p) { return c - 3 < p && p < c + 3; }

// The pointer gives its position in single precision.
double single(double v) { return double(float(v)); }

// Below lo becomes lo (so does a value that is not a number), then above hi
// becomes hi.
double clamp(double v, double lo, double hi)
{
    if (!(v >= lo))
        v = lo;
    if (v > hi)
        v = hi;
    return v;
}

} // namespace

double CursorPixelX(double divisions, double zoom) { return Margin + Division * zoom * divisions; }
double CursorPixelY(double divisions, double zoom) { return Margin + Division * zoom * divisions; }
double CursorDivisionsOfX(double pixel, double zoom) { return (pixel - Margin) / (Division * zoom); }
double CursorDivisionsOfY(double pixel, double zoom) { return (pixel - Margin) / (Division * zoom); }

void WaveCursors::load()
{
    // Pixels of the design picture (381 x 333) at zoom 1, as divisions of the
    // graticule the first layout scales them onto (350 x 250 at zoom 1).
    const auto x = [](double px) { return (px - Margin) / 381 * 350 / Division; };
    const auto y = [](double py) { return (py - Margin) / 333 * 250 / Division; };
    constexpr double divX = 300.0 / 12;
    constexpr double divY = 200.0 / 8;
    CursorX1 = x(divX + 25 + 2);
    CursorX2 = x(divX * 11 + 25 - 3);
    CursorY1 = y(divY + 25 + 9);
    CursorY2 = y(divY * 7 + 25 + 59);
    CursorX1Low = x(divX * 2 + 25 + 4);
    CursorX2Low = x(divX * 10 + 25 - 5);
    CursorY1Low = y(200.0 / 16 * 11 + 25);
    CursorY2Low = y(200.0 / 16 * 18 + 25 + 4);
}

void WaveCursors::press(double x, double y, double zoom, bool split)
{
    const double mid = single(100 * zoom + 25);
    const bool upper = !split || y < mid;
    const auto nearX = [&](double d) { return near(CursorPixelX(d, zoom), x); };
    const auto nearY = [&](double d) { return near(CursorPixelY(d, zoom), y); };
    if (CursorXOn) {
        if (upper) {
            if (nearX(CursorX1))
                DragX1 = true;
            else if (nearX(CursorX2))
                DragX2 = true;
        } else {
            if (nearX(CursorX1Low))
                DragX1Low = true;
            else if (nearX(CursorX2Low))
                DragX2Low = true;
        }
    }
    if (CursorYOn) {
        if (upper) {
            if (nearY(CursorY1))
                DragY1 = true;
            else if (nearY(CursorY2))
                DragY2 = true;
        } else {
            if (nearY(CursorY1Low))
                DragY1Low = true;
            else if (nearY(CursorY2Low))
                DragY2Low = true;
        }
    }
}

int WaveCursors::move(double x, double y, double zoom, bool split, bool *redraw)
{
    *redraw = false;
    if (!CursorXOn && !CursorYOn)
        return CursorPointer::Default;
    x = single(x);
    y = single(y);
    if (DragX1 || DragX2) {
        (DragX1 ? CursorX1 : CursorX2) = CursorDivisionsOfX(x, zoom);
        *redraw = true;
        return CursorPointer::WestEast;
    }
    if (DragX1Low || DragX2Low) {
        (DragX1Low ? CursorX1Low : CursorX2Low) = CursorDivisionsOfX(x, zoom);
        *redraw = true;
        return CursorPointer::WestEast;
    }
    if (DragY1 || DragY2) {
        (DragY1 ? CursorY1 : CursorY2) = CursorDivisionsOfY(y, zoom);
        *redraw = true;
        return CursorPointer::NorthSouth;
    }
    if (DragY1Low || DragY2Low) {
        (DragY1Low ? CursorY1Low : CursorY2Low) = CursorDivisionsOfY(y, zoom);
        *redraw = true;
        return CursorPointer::NorthSouth;
    }

    const double right = single(300 * zoom + 25);
    const double bottom = single(200 * zoom + 25);
    const double mid = single(100 * zoom + 25);
    const auto nearX = [&](double d) { return near(CursorPixelX(d, zoom), x); };
    const auto nearY = [&](double d) { return near(CursorPixelY(d, zoom), y); };
    if (CursorYOn && 25 < x && x < right
        && (nearY(CursorY1) || nearY(CursorY2) || (split && (nearY(CursorY1Low) || nearY(CursorY2Low)))))
        return CursorPointer::NorthSouth;
    if (CursorXOn) {
        if (!split && 25 < y && y < bottom && (nearX(CursorX1) || nearX(CursorX2)))
            return CursorPointer::WestEast;
        if (split && 25 < y && y < mid && (nearX(CursorX1) || nearX(CursorX2)))
            return CursorPointer::WestEast;
        if (split && mid < y && y < bottom && (nearX(CursorX1Low) || nearX(CursorX2Low)))
            return CursorPointer::WestEast;
    }
    return CursorPointer::Default;
}

void WaveCursors::release()
{
    DragX1 = DragX2 = DragY1 = DragY2 = false;
    DragX1Low = DragX2Low = DragY1Low = DragY2Low = false;
}

void ClampCursors(WaveCursors &c, bool split)
{
    c.CursorX1 = clamp(c.CursorX1, 0, CursorDivisionsX);
    c.CursorX2 = clamp(c.CursorX2, 0, CursorDivisionsX);
    if (c.CursorXOn && split) {
        c.CursorX1Low = clamp(c.CursorX1Low, 0, CursorDivisionsX);
        c.CursorX2Low = clamp(c.CursorX2Low, 0, CursorDivisionsX);
    }
    if (!c.CursorYOn)
        return;
    if (!split) {
        c.CursorY1 = clamp(c.CursorY1, 0, CursorDivisionsY);
        c.CursorY2 = clamp(c.CursorY2, 0, CursorDivisionsY);
        return;
    }
    const double mid = CursorDivisionsY / 2;
    c.CursorY1 = clamp(c.CursorY1, 0, mid);
    c.CursorY2 = clamp(c.CursorY2, 0, mid);
    c.CursorY1Low = clamp(c.CursorY1Low, mid, CursorDivisionsY);
    c.CursorY2Low = clamp(c.CursorY2Low, mid, CursorDivisionsY);
}

CursorLines CursorLinePixels(const WaveCursors &c, double zoom, bool split)
{
    const double xHi = 300 * zoom + 23;
    const auto x = [&](double d) { return clamp(CursorPixelX(d, zoom), 27, xHi); };
    const double mid = 100 * zoom + 25;
    const double upperHi = split ? mid - 2 : 200 * zoom + 23;
    const auto y = [&](double d, double lo, double hi) { return clamp(CursorPixelY(d, zoom), lo, hi); };
    CursorLines l;
    l.x1 = x(c.CursorX1);
    l.x2 = x(c.CursorX2);
    l.x1Low = x(c.CursorX1Low);
    l.x2Low = x(c.CursorX2Low);
    l.y1 = y(c.CursorY1, 27, upperHi);
    l.y2 = y(c.CursorY2, 27, upperHi);
    l.y1Low = y(c.CursorY1Low, mid + 2, 200 * zoom + 23);
    l.y2Low = y(c.CursorY2Low, mid + 2, 200 * zoom + 23);
    return l;
}
