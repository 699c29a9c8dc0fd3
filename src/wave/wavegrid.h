#pragma once
// The graticule of the waveform picture: a frame of 12 x 8 divisions, two
// solid centre axes, dotted tick marks along the frame and the axes, an
// optional dotted grid and the banner word. What is drawn where is computed
// here without a painter (GraticulePlan); DrawScrGrid paints a plan.
//
// Geometry at zoom Z: the frame runs from (25, 25) to (300Z + 25, 200Z + 25);
// the picture is 350Z by 250Z. Every stepped position (tick pass, dot, grid
// line) is built by repeated addition in double precision and a loop ends at
// the first value beyond its end, so an end value is included only when the
// additions reach it exactly. Below zoom 1 there are no tick passes; zoom 2
// makes ten (k = 1.0 .. 1.9: the eleventh sum is just above 2).

#include <QColor>
#include <QList>
#include <QString>

class WaveCanvas;

// A dotted run: points at (at, 25 + c) for a vertical run or (25 + c, at) for
// a horizontal one, c = 0, spacing, 2 spacing, ... while c <= length.
struct DotRun {
    bool horizontal = true;
    double at = 0.0;
    double spacing = 0.0;
    double length = 0.0;
    bool operator==(const DotRun &) const = default;
};

// The offsets c of a run's dots (repeated addition; none for a spacing that
// is not above 0).
QList<double> dotOffsets(const DotRun &run);

// The tick passes k = 1.0, 1.1, ... while k <= zoom.
QList<double> tickPasses(double zoom);

struct GraticuleInput {
    double zoom = 1.0;
    bool colorScheme = true; // false: black and white
    bool grid = true;
    bool split = false;      // upper and lower half
};

struct GraticuleSegment {
    double x1, y1, x2, y2;
    int width;
};

struct GraticulePlan {
    QColor background;
    QColor lines;               // frame, axes, ticks and grid dots
    QColor banner;
    QList<GraticuleSegment> segments; // frame (width 2) then the two axes (width 1)
    QList<DotRun> ticks;        // sixteen runs per pass, pass after pass
    QList<DotRun> grid;         // quarter-line ticks (split), then grid lines
    double bannerX = 25, bannerY = 10;
    QString bannerText = QStringLiteral("KARVO");
};

GraticulePlan planGraticule(const GraticuleInput &in);

// Clears the picture to the scheme's background and paints the plan. Leaves
// the pen width 1, the fore colour the banner colour and bold off: the traces
// drawn next rely on the pen width.
void DrawScrGrid(WaveCanvas &canvas, const GraticuleInput &in);
