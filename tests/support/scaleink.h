#pragma once
// The columns each colour inks in a band of rows of a picture in the colour
// scheme: yellow (CH1), cyan (CH2), white and orange (the trigger's texts).
// Antialiased edges are darker shades of the same colour and count with it.

#include <QImage>

#include <algorithm>
#include <array>
#include <climits>

enum ScaleInk { InkYellow, InkCyan, InkWhite, InkOrange, InkKinds };

struct InkSpan {
    int lo = INT_MAX;
    int hi = -1;
    bool seen() const { return hi >= 0; }
};

inline int scaleInkOf(QRgb c)
{
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    const int hi = std::max({r, g, b});
    if (hi < 90)
        return -1;
    const double rg = double(g) / std::max(r, 1), rb = double(b) / std::max(r, 1);
    if (std::min({r, g, b}) > 0.75 * hi)
        return InkWhite;
    if (r < 0.3 * hi && g > 0.7 * hi && b > 0.7 * hi)
        return InkCyan;
    if (rb < 0.3 && rg > 0.8)
        return InkYellow;
    if (rb < 0.3 && rg > 0.3 && rg < 0.7)
        return InkOrange;
    return -1;
}

// The spans of every colour over rows top to bottom - 1, right of the ground
// markers (the scale texts start at column 25).
inline std::array<InkSpan, InkKinds> scaleInkSpans(const QImage &picture, int top, int bottom)
{
    const QImage img = picture.convertToFormat(QImage::Format_RGB32);
    std::array<InkSpan, InkKinds> out;
    for (int y = std::max(0, top); y < std::min(bottom, img.height()); ++y) {
        for (int x = 24; x < img.width(); ++x) {
            const int k = scaleInkOf(img.pixel(x, y));
            if (k >= 0) {
                out[size_t(k)].lo = std::min(out[size_t(k)].lo, x);
                out[size_t(k)].hi = std::max(out[size_t(k)].hi, x);
            }
        }
    }
    return out;
}

// The colours seen, left to right; empty when two of them meet (less than
// gap columns between the last column of one and the first of the next).
inline QList<int> scaleInksApart(const std::array<InkSpan, InkKinds> &spans, int gap, QString *why)
{
    QList<int> seen;
    for (int k = 0; k < InkKinds; ++k)
        if (spans[size_t(k)].seen())
            seen << k;
    std::sort(seen.begin(), seen.end(), [&spans](int a, int b) { return spans[size_t(a)].lo < spans[size_t(b)].lo; });
    for (qsizetype i = 1; i < seen.size(); ++i) {
        const InkSpan &a = spans[size_t(seen[i - 1])], &b = spans[size_t(seen[i])];
        if (a.hi + gap > b.lo) {
            *why = QStringLiteral("inks %1 and %2 meet: %3..%4 and %5..%6")
                       .arg(seen[i - 1]).arg(seen[i]).arg(a.lo).arg(a.hi).arg(b.lo).arg(b.hi);
            return {};
        }
    }
    return seen;
}
