#include "storedwave/tracepixels.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

// Directions of a segment along its longer axis; a turn back is a direction
// whose bit pair flips under its axis mask.
enum Direction { NoDirection = 0, Down = 1, Up = 2, Right = 4, Left = 8, VerticalAxis = 3, HorizontalAxis = 12 };
enum Caps { NoCaps = 0, CapStart = 1, CapFinish = 2 };
constexpr int Half = 32; // half a pixel in 26.6 fixed point

int swapCaps(int caps) { return ((caps & CapStart) ? CapFinish : 0) | ((caps & CapFinish) ? CapStart : 0); }

} // namespace

TracePixels::TracePixels(QPainter &p)
{
    if (!p.isActive() || !p.device() || p.device()->devType() != QInternal::Image)
        return;
    auto *img = static_cast<QImage *>(p.device());
    if (img->format() != QImage::Format_RGB32 && img->format() != QImage::Format_ARGB32_Premultiplied)
        return;
    if (img->devicePixelRatio() != 1.0 || !img->isDetached())
        return;
    if (p.combinedTransform().type() != QTransform::TxNone || p.hasClipping() || p.opacity() != 1.0
        || p.compositionMode() != QPainter::CompositionMode_SourceOver || p.testRenderHint(QPainter::Antialiasing))
        return;
    const QPen pen = p.pen();
    if (pen.style() != Qt::SolidLine || pen.brush().style() != Qt::SolidPattern || pen.capStyle() == Qt::FlatCap
        || (pen.widthF() != 0.0 && pen.widthF() != 1.0))
        return;
    const QRgb rgba = pen.color().rgba();
    if (qAlpha(rgba) != 255)
        return;
    // The painter draws into the image's own pixels (it holds them unshared):
    // taking them does not copy.
    const uchar *before = img->constBits();
    uchar *bits = img->bits();
    if (bits != before)
        return;
    bits_ = reinterpret_cast<quint32 *>(bits);
    stride_ = img->bytesPerLine() / 4;
    width_ = img->width();
    height_ = img->height();
    color_ = rgba;
}

void TracePixels::horizontal(int x1, int x2, int y)
{
    if (!bits_)
        return;
    if (x1 > x2)
        std::swap(x1, x2);
    if (y < 0 || y >= height_)
        return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, width_ - 1);
    if (x1 <= x2)
        std::fill(bits_ + qsizetype(y) * stride_ + x1, bits_ + qsizetype(y) * stride_ + x2 + 1, color_);
}

void TracePixels::vertical(int x, int y1, int y2)
{
    if (!bits_)
        return;
    if (y1 > y2)
        std::swap(y1, y2);
    if (x < 0 || x >= width_)
        return;
    y1 = std::max(y1, 0);
    y2 = std::min(y2, height_ - 1);
    quint32 *d = bits_ + qsizetype(y1) * stride_ + x;
    for (int y = y1; y <= y2; ++y, d += stride_)
        *d = color_;
}

void TracePixels::point(int x, int y)
{
    if (bits_ && x >= 0 && x < width_ && y >= 0 && y < height_)
        set(x, y);
}

bool TracePixels::polyline(const QPoint *points, int count)
{
    if (!valid() || count < 2 || points[0] == points[count - 1])
        return false;
    for (int i = 0; i < count; ++i) {
        // Room on every side: a pixel that closes a gap or is pushed out at
        // an end lies at most one pixel beyond a segment's ends.
        if (points[i].x() < 2 || points[i].x() > width_ - 3 || points[i].y() < 2 || points[i].y() > height_ - 3)
            return false;
    }
    last_ = Pixel();
    lastDir_ = NoDirection;
    lastAxisAligned_ = false;
    QPoint from = points[0];
    int caps = CapStart;
    for (int i = 1; i < count; ++i) {
        const QPoint to = points[i];
        if (i == count - 1)
            caps |= CapFinish;
        segment(from.x(), from.y(), to.x(), to.y(), caps);
        from = to;
        caps = NoCaps;
    }
    return true;
}

void TracePixels::segment(int x1, int y1, int x2, int y2, int caps)
{
    // In 26.6 fixed point, as the painter's stroker steps.
    qint64 a1 = qint64(x1) * 64, b1 = qint64(y1) * 64, a2 = qint64(x2) * 64, b2 = qint64(y2) * 64;
    Pixel lastPixel = last_;
    // Along the longer axis: "a" is the minor coordinate, "b" the major one.
    const bool steep = std::abs(x2 - x1) < std::abs(y2 - y1);
    if (!steep) {
        if (x1 == x2)
            return; // a single point: nothing, and nothing changes
        std::swap(a1, b1);
        std::swap(a2, b2);
    }
    int dir = steep ? Down : Right;
    const int axis = steep ? VerticalAxis : HorizontalAxis;
    bool swapped = false;
    if (b1 > b2) {
        std::swap(a1, a2);
        std::swap(b1, b2);
        caps = swapCaps(caps);
        dir = steep ? Up : Left;
        swapped = true;
    }
    const qint64 inc = ((a2 - a1) * 65536) / (b2 - b1); // minor step per major pixel, 16.16
    qint64 a = a1 * 1024;                              // 26.6 to 16.16
    if ((lastDir_ ^ axis) == dir)
        caps |= swapped ? CapFinish : CapStart;
    if (caps & CapStart) {
        b1 -= Half;
        a -= inc >> 1;
    }
    if (caps & CapFinish)
        b2 += Half;
    qint64 b = (b1 + Half) >> 6;
    qint64 bs = (b2 + Half) >> 6;
    // A pushed-out start that would step back over the previous segment's
    // last row starts one further on.
    if ((caps & CapStart) && (steep ? last_.y : last_.x) == b + 1)
        ++b;
    if (b != bs) {
        // The minor coordinate at the first pixel's centre line, the half
        // pixel counted only on a rising slope.
        a += ((b * 64 + (inc > 0 ? Half : 0) - b1) * inc) >> 6;
        // The first and last pixels, in the order the segment runs.
        Pixel first{int(steep ? a >> 16 : b), int(steep ? b : a >> 16)};
        const qint64 aEnd = (a + (bs - b - 1) * inc) >> 16;
        Pixel end{int(steep ? aEnd : bs - 1), int(steep ? bs - 1 : aEnd)};
        if (swapped)
            std::swap(first, end);
        const bool axisAligned = std::abs(inc) < (1 << 14);
        if (last_.x >= 0) {
            if (first == last_) {
                // Shared with the previous segment: set once.
                if (swapped) {
                    --bs;
                } else {
                    ++b;
                    a += inc;
                }
            } else if (lastDir_ != dir
                       && ((axisAligned && lastAxisAligned_ && last_.x != first.x && last_.y != first.y)
                           || std::abs(last_.x - first.x) > 1 || std::abs(last_.y - first.y) > 1)) {
                // A gap at the turn: one more pixel closes it.
                if (swapped) {
                    ++bs;
                } else {
                    --b;
                    a -= inc;
                }
            }
        }
        lastDir_ = dir;
        lastAxisAligned_ = axisAligned;
        // At least one pixel, as the stroker steps.
        do {
            if (steep)
                set(int(a >> 16), int(b));
            else
                set(int(b), int(a >> 16));
            a += inc;
        } while (++b < bs);
        lastPixel = end;
    }
    last_ = lastPixel;
}
