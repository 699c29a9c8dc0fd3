#pragma once
// Shapes of the waveform picture's drawers written as short texts, so a test
// table can name what is drawn where:
//   chain:    "C x,y x,y ..."     (points of a connected run of lines)
//   segments: "S x,y-x,y ..."     (each line)
//   dot:      "D x,y"
//   text:     "T x,y 'text'"      (bold adds " bold")
// Coordinates are written with up to 10 significant digits.

#include "wave/waveshapes.h"

#include <QImage>
#include <QStringList>

namespace MarkShapes {

inline QString num(double v) { return QString::number(v, 'g', 10); }
inline QString point(QPointF p) { return num(p.x()) + QLatin1Char(',') + num(p.y()); }

inline QString describe(const WaveShape &s)
{
    QStringList parts;
    switch (s.kind) {
    case WaveShape::Chain:
        parts << QStringLiteral("C");
        for (QPointF p : s.points)
            parts << point(p);
        break;
    case WaveShape::Segments:
        parts << QStringLiteral("S");
        for (qsizetype i = 0; i + 1 < s.points.size(); i += 2)
            parts << point(s.points[i]) + QLatin1Char('-') + point(s.points[i + 1]);
        break;
    case WaveShape::Dot:
        parts << QStringLiteral("D") << point(s.points.value(0));
        break;
    case WaveShape::Text:
        parts << QStringLiteral("T") << point(s.points.value(0)) << QLatin1Char('\'') + s.text + QLatin1Char('\'');
        if (s.bold)
            parts << QStringLiteral("bold");
        break;
    }
    return parts.join(QLatin1Char(' '));
}

inline QStringList describe(const WaveShapes &shapes)
{
    QStringList out;
    for (const WaveShape &s : shapes)
        out << describe(s);
    return out;
}

// The descriptions of the shapes of one kind only.
inline QStringList describeKind(const WaveShapes &shapes, WaveShape::Kind kind)
{
    QStringList out;
    for (const WaveShape &s : shapes)
        if (s.kind == kind)
            out << describe(s);
    return out;
}

// Pixels of colour c inside area (clipped to the image).
inline int countColour(const QImage &img, const QColor &c, const QRect &area)
{
    int n = 0;
    const QRect a = area & img.rect();
    const QRgb want = c.rgb();
    for (int y = a.top(); y <= a.bottom(); ++y)
        for (int x = a.left(); x <= a.right(); ++x)
            if (img.pixel(x, y) == want)
                ++n;
    return n;
}

} // namespace MarkShapes
