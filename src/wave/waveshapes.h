#pragma once
// What the marker, logic-channel and cursor drawers put on a waveform
// picture, as a list of shapes: each drawer first computes its shapes (exact,
// fractional picture coordinates, as the tests check them) and then hands
// them to PaintShapes, which places every coordinate on its pixel (nearest,
// halves to the even neighbour) and draws them in order.
//
// Coordinates are pixels of the picture: origin top left, y downwards.

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QString>

class QPainter;

struct WaveShape {
    enum Kind {
        Chain,    // a line from each point to the next (an outline is closed by repeating its first point)
        Segments, // separate lines, points taken in pairs
        Dot,      // a single pixel at points[0]
        Text,     // text with its top-left corner at points[0]
    };
    Kind kind = Chain;
    QColor color;
    QPolygonF points;
    QString text;
    bool bold = false;          // Text: bold type
    bool readout = false;       // Text: the read-out font instead of the picture's
    bool dashDotDot = false;    // Chain, Segments: dash-dot-dot pen (cursor lines)
};
using WaveShapes = QList<WaveShape>;

namespace WaveShapeMake {
WaveShape chain(const QColor &c, const QPolygonF &points);
WaveShape dot(const QColor &c, QPointF at);
WaveShape text(const QColor &c, QPointF at, const QString &text, bool bold);
} // namespace WaveShapeMake

// The picture's font (labels, markers): a CJK-capable face at pixel size 11,
// bold or regular.
QFont wavePictureFont(bool bold);
// The font of the cursor read-outs: a fixed-pitch CJK-capable face whose Latin
// characters are 8 pixels wide, as the placement of the read-outs assumes.
QFont waveReadoutFont();

// Draws the shapes in order with 1-pixel pens and without antialiasing of
// lines; text keeps its transparent background. Every coordinate is rounded
// to the nearest pixel (halves to even); a shape holding a coordinate that is
// not finite, or beyond the range any picture can have, is skipped. Nothing
// is written outside the picture. The painter's state is left as it was.
// Solid horizontal and vertical segments on a plain 32-bit picture image are
// written straight into its pixels (the same pixels the painter would set,
// both ends included): a screen of logic traces is thousands of them.
void PaintShapes(QPainter &p, const WaveShapes &shapes);

// Nearest whole number, halves to even; the value itself when it is not finite.
double nearestPixel(double v);
