#include "wave/wavecursors.h"

#include "values/rounding.h"

#include <cmath>
#include <limits>

namespace {

// v rounded (halves to even) into *out; false, and *out untouched, when v is
// not finite or its rounding does not fit 16 bits.
bool toInt16(double v, qint16 *out)
{
    const double r = RoundHalfEven(v);
    if (!(r >= std::numeric_limits<qint16>::min() && r <= std::numeric_limits<qint16>::max()))
        return false;
    *out = qint16(r);
    return true;
}

void assignIfFinite(double v, double *out)
{
    if (std::isfinite(v))
        *out = v;
}

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

void clampWhole(qint16 *v, double lo, double hi)
{
    qint16 l = 0;
    qint16 h = 0;
    if (!toInt16(lo, &l) || !toInt16(hi, &h))
        return;
    if (*v < l)
        *v = l;
    if (*v > h)
        *v = h;
}

void moveX(double *x, double prevWidth, double width) { assignIfFinite((*x - 25) / prevWidth * width + 25, x); }

void moveY(double *y, double prevHeight, double height) { assignIfFinite((*y - 25) / prevHeight * height + 25, y); }

void moveYWhole(qint16 *y, double prevHeight, double height) { toInt16((*y - 25) / prevHeight * height + 25, y); }

} // namespace

void WaveCursors::load(double picWidth, double picHeight)
{
    constexpr double divX = 300.0 / 12;
    constexpr double divY = 200.0 / 8;
    CursorX1 = divX + 25 + 2;
    CursorX2 = divX * 11 + 25 - 3;
    CursorY1 = divY + 25 + 9;
    CursorY2 = qint16(divY * 7 + 25 + 59);
    CursorX1Low = divX * 2 + 25 + 4;
    CursorX2Low = divX * 10 + 25 - 5;
    CursorY1Low = 200.0 / 16 * 11 + 25;
    CursorY2Low = qint16(200.0 / 16 * 18 + 25 + 4);
    PrevPicWidth = picWidth;
    toInt16(picHeight, &PrevPicHeight);
}

void WaveCursors::proportionalMove(double width, double height)
{
    moveX(&CursorX1, PrevPicWidth, width);
    moveX(&CursorX2, PrevPicWidth, width);
    moveX(&CursorX1Low, PrevPicWidth, width);
    moveX(&CursorX2Low, PrevPicWidth, width);
    const double prevHeight = PrevPicHeight;
    moveY(&CursorY1, prevHeight, height);
    moveYWhole(&CursorY2, prevHeight, height);
    moveY(&CursorY1Low, prevHeight, height);
    moveYWhole(&CursorY2Low, prevHeight, height);
    toInt16(height, &PrevPicHeight);
    PrevPicWidth = width;
}

void WaveCursors::press(double x, double y, double zoom, bool split)
{
    const double mid = single(100 * zoom + 25);
    const bool upper = !split || y < mid;
    if (CursorXOn) {
        if (upper) {
            if (near(CursorX1, x))
                DragX1 = true;
            else if (near(CursorX2, x))
                DragX2 = true;
        } else {
            if (near(CursorX1Low, x))
                DragX1Low = true;
            else if (near(CursorX2Low, x))
                DragX2Low = true;
        }
    }
    if (CursorYOn) {
        if (upper) {
            if (near(CursorY1, y))
                DragY1 = true;
            else if (near(CursorY2, y))
                DragY2 = true;
        } else {
            if (near(CursorY1Low, y))
                DragY1Low = true;
            else if (near(CursorY2Low, y))
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
        (DragX1 ? CursorX1 : CursorX2) = x;
        *redraw = true;
        return CursorPointer::WestEast;
    }
    if (DragX1Low || DragX2Low) {
        (DragX1Low ? CursorX1Low : CursorX2Low) = x;
        *redraw = true;
        return CursorPointer::WestEast;
    }
    if (DragY1 || DragY2) {
        if (DragY1)
            CursorY1 = y;
        else
            toInt16(y, &CursorY2);
        *redraw = true;
        return CursorPointer::NorthSouth;
    }
    if (DragY1Low || DragY2Low) {
        if (DragY1Low)
            CursorY1Low = y;
        else
            toInt16(y, &CursorY2Low);
        *redraw = true;
        return CursorPointer::NorthSouth;
    }

    const double right = single(300 * zoom + 25);
    const double bottom = single(200 * zoom + 25);
    const double mid = single(100 * zoom + 25);
    if (CursorYOn && 25 < x && x < right
        && (near(CursorY1, y) || near(CursorY2, y) || (split && (near(CursorY1Low, y) || near(CursorY2Low, y)))))
        return CursorPointer::NorthSouth;
    if (CursorXOn) {
        if (!split && 25 < y && y < bottom && (near(CursorX1, x) || near(CursorX2, x)))
            return CursorPointer::WestEast;
        if (split && 25 < y && y < mid && (near(CursorX1, x) || near(CursorX2, x)))
            return CursorPointer::WestEast;
        if (split && mid < y && y < bottom && (near(CursorX1Low, x) || near(CursorX2Low, x)))
            return CursorPointer::WestEast;
    }
    return CursorPointer::Default;
}

void WaveCursors::release()
{
    DragX1 = DragX2 = DragY1 = DragY2 = false;
    DragX1Low = DragX2Low = DragY1Low = DragY2Low = false;
}

void ClampCursors(WaveCursors &c, double zoom, bool split)
{
    const double xHi = 300 * zoom + 23;
    c.CursorX1 = clamp(c.CursorX1, 27, xHi);
    c.CursorX2 = clamp(c.CursorX2, 27, xHi);
    if (c.CursorXOn && split) {
        c.CursorX1Low = clamp(c.CursorX1Low, 27, xHi);
        c.CursorX2Low = clamp(c.CursorX2Low, 27, xHi);
    }
    if (!c.CursorYOn)
        return;
    if (!split) {
        c.CursorY1 = clamp(c.CursorY1, 27, 200 * zoom + 23);
        clampWhole(&c.CursorY2, 27, 200 * zoom + 23);
        return;
    }
    c.CursorY1 = clamp(c.CursorY1, 27, 100 * zoom + 23);
    clampWhole(&c.CursorY2, 27, 100 * zoom + 23);
    c.CursorY1Low = clamp(c.CursorY1Low, 100 * zoom + 27, 200 * zoom + 23);
    clampWhole(&c.CursorY2Low, 100 * zoom + 27, 200 * zoom + 23);
    // On a picture too small for two halves the clamps cannot keep each pair
    // on its side of the split line; one cursor is put back.
    const double mid = 100 * zoom + 25;
    if (c.CursorY1 > mid)
        c.CursorY1 = 25 * zoom + 25;
    else if (c.CursorY2 > mid)
        toInt16(50 * zoom + 25, &c.CursorY2);
    else if (c.CursorY1Low < mid)
        c.CursorY1Low = 175 * zoom + 25;
    else if (c.CursorY2Low < mid)
        toInt16(mid, &c.CursorY2Low);
}
