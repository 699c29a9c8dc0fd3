#include "wave/wavecanvas.h"

#include "values/rounding.h"
#include "wave/waveshapes.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kFar = 32767.0;
} // namespace

WaveCanvas::WaveCanvas(QImage *image) : image_(image)
{
    if (image_->format() != QImage::Format_RGB32)
        *image_ = image_->convertToFormat(QImage::Format_RGB32);
    painter_.begin(image_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    fonts_[0] = pictureFont(false);
    fonts_[1] = pictureFont(true);
    applyPen();
}

WaveCanvas::~WaveCanvas()
{
    painter_.end();
}

int WaveCanvas::pixel(double v)
{
    if (std::isnan(v))
        return 0;
    return int(RoundHalfEven(std::clamp(v, -kFar, kFar)));
}

QFont WaveCanvas::pictureFont(bool bold)
{
    return wavePictureFont(bold);
}

void WaveCanvas::applyPen()
{
    QPen pen(fore_);
    pen.setWidth(width_ <= 1 ? 0 : width_); // 0: the one-pixel cosmetic pen
    pen.setCapStyle(Qt::SquareCap);
    painter_.setPen(pen);
    painter_.setBrush(Qt::NoBrush);
}

void WaveCanvas::clear(const QColor &background)
{
    image_->fill(background);
}

void WaveCanvas::setForeColor(const QColor &color)
{
    fore_ = color;
    applyPen();
}

void WaveCanvas::setDrawWidth(int pixels)
{
    width_ = std::max(1, pixels);
    applyPen();
}

void WaveCanvas::plot(int x, int y)
{
    const int px = x - width_ / 2;
    const int py = y - width_ / 2;
    const QRgb rgb = fore_.rgb();
    const int w = image_->width();
    const int h = image_->height();
    for (int dy = 0; dy < width_; ++dy) {
        const int yy = py + dy;
        if (yy < 0 || yy >= h)
            continue;
        auto *row = reinterpret_cast<QRgb *>(image_->scanLine(yy));
        for (int dx = 0; dx < width_; ++dx) {
            const int xx = px + dx;
            if (xx >= 0 && xx < w)
                row[xx] = rgb;
        }
    }
}

void WaveCanvas::segment(QPoint a, QPoint b)
{
    // Clip to the picture (with a pen's margin) so that a far point costs
    // no more than the pixels it crosses, then step from pixel to pixel with
    // both ends drawn.
    const double lo = -width_, hiX = image_->width() + width_, hiY = image_->height() + width_;
    double t0 = 0.0, t1 = 1.0;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    auto clip = [&](double p, double q) {
        if (p == 0.0)
            return q >= 0.0;
        const double r = q / p;
        if (p < 0.0) {
            if (r > t1)
                return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0)
                return false;
            t1 = std::min(t1, r);
        }
        return true;
    };
    if (!clip(-dx, a.x() - lo) || !clip(dx, hiX - a.x()) || !clip(-dy, a.y() - lo) || !clip(dy, hiY - a.y()))
        return;
    int x0 = int(std::lround(a.x() + t0 * dx)), y0 = int(std::lround(a.y() + t0 * dy));
    const int x1 = int(std::lround(a.x() + t1 * dx)), y1 = int(std::lround(a.y() + t1 * dy));
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    const int ax = std::abs(x1 - x0), ay = -std::abs(y1 - y0);
    int err = ax + ay;
    for (;;) {
        plot(x0, y0);
        if (x0 == x1 && y0 == y1)
            break;
        const int e2 = 2 * err;
        if (e2 >= ay) {
            err += ay;
            x0 += sx;
        }
        if (e2 <= ax) {
            err += ax;
            y0 += sy;
        }
    }
}

void WaveCanvas::line(double x1, double y1, double x2, double y2)
{
    segment(pixel(x1, y1), pixel(x2, y2));
    pos_ = QPointF(x2, y2);
}

void WaveCanvas::lineTo(double x, double y)
{
    line(pos_.x(), pos_.y(), x, y);
}

void WaveCanvas::moveTo(double x, double y)
{
    pos_ = QPointF(x, y);
}

void WaveCanvas::polyline(const QList<QPoint> &points)
{
    if (points.size() < 2)
        return;
    for (qsizetype i = 1; i < points.size(); ++i)
        segment(points[i - 1], points[i]);
    pos_ = QPointF(points.back());
}

void WaveCanvas::pset(double x, double y)
{
    plot(pixel(x), pixel(y));
}

void WaveCanvas::textOut(double x, double y, const QString &text)
{
    painter_.setFont(fonts_[bold_ ? 1 : 0]);
    painter_.setPen(fore_); // drawers that use the painter may have left a pen of their own
    const QPoint at = pixel(x, y);
    painter_.drawText(QRect(at.x(), at.y(), 4096, 256), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}
