#include "wave/wavegrid.h"

#include "wave/wavecanvas.h"

namespace {

// Positions start, start + step, ... while not beyond end.
QList<double> stepped(double start, double step, double end)
{
    QList<double> out;
    if (!(step > 0.0))
        return out;
    for (double v = start; v <= end; v += step)
        out << v;
    return out;
}

} // namespace

QList<double> dotOffsets(const DotRun &run)
{
    return stepped(0.0, run.spacing, run.length);
}

QList<double> tickPasses(double zoom)
{
    return stepped(1.0, 0.1, zoom);
}

GraticulePlan planGraticule(const GraticuleInput &in)
{
    GraticulePlan p;
    const double Z = in.zoom;
    if (in.colorScheme) {
        p.background = QColor(0, 0, 0);
        p.lines = QColor(192, 192, 192);
        p.banner = QColor(255, 128, 0);
    } else {
        p.background = QColor(255, 255, 255);
        p.lines = QColor(0, 0, 0);
        p.banner = QColor(0, 0, 0);
    }
    const double right = 300 * Z + 25;
    const double bottom = 200 * Z + 25;
    const double midY = 100 * Z + 25;
    const double midX = 150 * Z + 25;
    const double across = 300 * Z;
    const double down = 200 * Z;

    // Frame: top, left, then on from the left side's end the bottom and the right.
    p.segments = {{25, 25, right, 25, 2},
                  {25, 25, 25, bottom, 2},
                  {25, bottom, right, bottom, 2},
                  {right, bottom, right, 25, 2},
                  {25, midY, right, midY, 1},
                  {midX, 25, midX, bottom, 1}};

    const double t = in.split ? 6.25 : 5.0;
    auto h = [&](double y, double s) { return DotRun{true, y, s, across}; };
    auto v = [&](double x, double s) { return DotRun{false, x, s, down}; };
    const QList<double> passes = tickPasses(Z);
    for (double k : passes) {
        p.ticks << h(25 + k, 5 * Z) << h(25 + 2 * k, 25 * Z)
                << h(midY - k, 5 * Z) << h(midY - 2 * k, 25 * Z)
                << h(midY + k, 5 * Z) << h(midY + 2 * k, 25 * Z)
                << h(bottom - 2 * k, 5 * Z) << h(bottom - 3 * k, 25 * Z)
                << v(25 + k, t * Z) << v(25 + 2 * k, 25 * Z)
                << v(midX - k, t * Z) << v(midX - 2 * k, 25 * Z)
                << v(midX + k, t * Z) << v(midX + 2 * k, 25 * Z)
                << v(right - 2 * k, t * Z) << v(right - 3 * k, 25 * Z);
    }

    if (in.grid) {
        if (in.split) {
            for (double k : passes)
                p.grid << h(50 * Z + 25 - k, 5 * Z) << h(150 * Z + 25 + k, 5 * Z);
            for (double y : stepped(25, 12.5 * Z, bottom))
                p.grid << h(y, 5 * Z);
            for (double x : stepped(25, 25 * Z, right))
                p.grid << v(x, 6.25 * Z);
        } else {
            for (double y : stepped(25, 25 * Z, bottom))
                p.grid << h(y, 5 * Z);
            for (double x : stepped(25, 25 * Z, right))
                p.grid << v(x, 5 * Z);
        }
    }
    return p;
}

namespace {

void paintRun(WaveCanvas &c, const DotRun &run)
{
    // Positions reach the drawing as single-precision values.
    if (!(run.spacing > 0.0))
        return;
    const float at = float(run.at);
    for (double off = 0.0; off <= run.length; off += run.spacing) {
        const float along = float(25 + off);
        if (run.horizontal)
            c.pset(along, at);
        else
            c.pset(at, along);
    }
}

} // namespace

void DrawScrGrid(WaveCanvas &c, const GraticuleInput &in)
{
    const GraticulePlan p = planGraticule(in);
    c.clear(p.background);
    c.setForeColor(p.lines);
    for (const GraticuleSegment &s : p.segments) {
        c.setDrawWidth(s.width);
        c.line(float(s.x1), float(s.y1), float(s.x2), float(s.y2));
    }
    c.setDrawWidth(1);
    for (const DotRun &run : p.ticks)
        paintRun(c, run);
    for (const DotRun &run : p.grid)
        paintRun(c, run);
    c.setForeColor(p.banner);
    c.setBold(true);
    c.textOut(p.bannerX, p.bannerY, p.bannerText);
    c.setBold(false);
}
