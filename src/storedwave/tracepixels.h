#pragma once
// One-pixel lines written straight into the image a painter draws on, with
// the very pixels the painter's own aliased one-pixel pen would set, but
// without its per-pixel blending: the traces of a long record set some
// hundred thousand pixels at each redraw.
//
// It serves only where the painter would draw opaque, unblended one-pixel
// lines: an RGB32 or premultiplied ARGB32 image at a device pixel ratio of
// 1, no transform, no clip, full opacity, source-over, no antialiasing, and
// a solid opaque pen of width 0 or 1 whose caps are not flat. Anywhere else
// the target is not valid and the caller draws through the painter.
//
// The pixels of a line between integer points, as the painter sets them:
//   - a horizontal or vertical line: every pixel from one end to the other,
//     both included; the part inside the image;
//   - a polyline: each segment stepped along its longer axis in 16.16 fixed
//     point from its first end, the far end left to the next segment; the
//     path's two ends, and a turn back along the same axis, pushed out by
//     half a pixel (but not back over the previous segment's last pixel); a
//     pixel shared with the previous segment set once, a gap at a turn
//     closed by one more pixel.

#include <QtGlobal>

class QImage;
class QPainter;
class QPoint;

class TracePixels {
public:
    explicit TracePixels(QPainter &p);

    bool valid() const { return bits_ != nullptr; }

    // The pixels (x1..x2, y) and (x, y1..y2), in either order, clipped to the
    // image; one pixel. Nothing when the target is not valid.
    void horizontal(int x1, int x2, int y);
    void vertical(int x, int y1, int y2);
    void point(int x, int y);

    // The polyline through the count points, when every point lies at least
    // two pixels inside the image's edges and the polyline is not closed
    // (its first and last points differ); false, drawing nothing, otherwise.
    bool polyline(const QPoint *points, int count);

private:
    struct Pixel {
        int x = -1;
        int y = -1;
        friend bool operator==(const Pixel &, const Pixel &) = default;
    };
    void segment(int x1, int y1, int x2, int y2, int caps);
    void set(int x, int y) { bits_[qsizetype(y) * stride_ + x] = color_; }

    quint32 *bits_ = nullptr;
    qsizetype stride_ = 0; // pixels per line
    int width_ = 0;
    int height_ = 0;
    quint32 color_ = 0;
    // What the last segment of a polyline left: its last pixel (x < 0: none),
    // its direction and whether it was (almost) parallel to an axis.
    Pixel last_;
    int lastDir_ = 0;
    bool lastAxisAligned_ = false;
};
