#pragma once
// WaveCanvas: the waveform picture as the drawing code of the waveform window
// sees it. It offers what the picture's drawing steps need: a background that
// erases, a fore colour, a pen width, a current position that a line leaves at
// its end point, single points, a bold switch and text placed by its top-left
// corner, over a QImage in RGB32.
//
// Every position is a fractional picture pixel (origin top left, y down) and is
// placed at its nearest pixel, halves to the even neighbour. Nothing is
// antialiased; a line lights every pixel from its first to its last point, a
// wide pen a square of its width about each (up and left of it for an even
// width). Coordinates far outside the picture are clamped to +-32767
// before drawing, so a wild value from a file never reaches the rasteriser.
//
// The drawers of the picture take a WaveCanvas & and a zoom; they never hold
// the canvas beyond their call. Drawers that need more than this (dashed
// pens of the cursor overlay, a text colour of their own) use painter()
// directly and leave the fore colour as they found it unless they say so.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPoint>
#include <QPointF>
#include <QString>

class WaveCanvas {
public:
    // image: the picture to draw on, converted to RGB32 when it is not.
    explicit WaveCanvas(QImage *image);
    ~WaveCanvas();
    WaveCanvas(const WaveCanvas &) = delete;
    WaveCanvas &operator=(const WaveCanvas &) = delete;

    QImage &image() { return *image_; }
    int width() const { return image_->width(); }
    int height() const { return image_->height(); }

    // Fills the whole picture with background (what setting a picture's
    // background colour does: everything drawn is gone).
    void clear(const QColor &background);

    void setForeColor(const QColor &color);
    QColor foreColor() const { return fore_; }
    // Pen width in pixels for lines and points (at least 1).
    void setDrawWidth(int pixels);
    int drawWidth() const { return width_; }
    void setBold(bool on) { bold_ = on; }
    bool bold() const { return bold_; }

    // A line from (x1, y1) to (x2, y2); the current position becomes its end.
    void line(double x1, double y1, double x2, double y2);
    // A line from the current position; the current position becomes (x, y).
    void lineTo(double x, double y);
    void moveTo(double x, double y);
    // A connected run of lines through the points (whole pixels already);
    // the current position becomes the last point. Fewer than two points
    // draw nothing and leave the current position alone.
    void polyline(const QList<QPoint> &points);
    // One point in the fore colour: a square of the pen width.
    void pset(double x, double y);
    // Text in the picture's font (bold as set) and the fore colour, its
    // top-left corner at (x, y), on a transparent background.
    void textOut(double x, double y, const QString &text);

    // The painter of the picture, for drawers with pens of their own.
    QPainter &painter() { return painter_; }

    // The pixel of a fractional position: nearest, halves to even, clamped
    // to -32767..32767 (NaN gives 0).
    static int pixel(double v);
    static QPoint pixel(double x, double y) { return {pixel(x), pixel(y)}; }
    // The picture's font (a small sans serif with CJK glyphs).
    static QFont pictureFont(bool bold);

private:
    void applyPen();
    // Lines and points are written straight into the image (a graticule is
    // thousands of points): a square of the pen width per pixel.
    void plot(int x, int y);
    void segment(QPoint a, QPoint b);

    QImage *image_;
    QPainter painter_;
    QColor fore_{0, 0, 0};
    int width_ = 1;
    bool bold_ = false;
    QPointF pos_{0, 0};
    QFont fonts_[2];
};
