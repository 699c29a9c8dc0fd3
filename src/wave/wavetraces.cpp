#include "wave/wavetraces.h"

#include "common/constants.h"
#include "texts/stringres.h"
#include "values/rounding.h"
#include "wave/wavecanvas.h"
#include "wave/wavelogic.h"
#include "wave/wavemarkers.h"

#include <algorithm>

namespace {

const QString kAlternation = QStringLiteral("ALTERNATION");
constexpr int kLastColumn = Screen::Columns - 1; // 299
constexpr int kLastFftSample = 512;

int nearest(double v)
{
    return int(RoundHalfEven(v));
}

double rowY(qint32 row, const RowMapping &m, double zoom)
{
    return double(row) / m.divisor * zoom + m.base;
}

bool alternating(const WaveDoc &doc)
{
    return doc.TrigMode == kAlternation;
}

bool fftOn(const WaveDoc &doc)
{
    return IsOnWordOfAnyLanguage(doc.FFTDisplay);
}

} // namespace

QList<QPointF> traceWalk(const QList<qint32> &rows, int pointCount, int first, int last, double zoom,
                         const RowMapping &map)
{
    QList<QPointF> out;
    if (pointCount <= 0)
        return out;
    first = std::max(first, 0);
    last = std::min(last, kLastColumn);
    if (first > last)
        return out;
    const qsizetype end = rows.size(); // indexes 0..end-1
    int n = 2 * first + 2;
    if (n >= end)
        return out;
    const double Z = zoom;
    const int x0 = nearest(first * Z) + 25;
    out.reserve(std::min<qsizetype>(end - n, 4 * Screen::Points) + 2);
    out << QPointF(x0, rowY(rows[n - 1], map, Z)) << QPointF(x0, rowY(rows[n], map, Z));
    const double step = 300.0 / pointCount;
    const double stop = (last + 1) * Z + 24;
    for (double x = x0 + Z; x <= stop; x += step * Z) {
        if (n + 1 >= end)
            break;
        ++n;
        const int xp = nearest(double(float(x - 0.1)));
        out << QPointF(xp, rowY(rows[n], map, Z));
    }
    return out;
}

TracePlace tracePlace(const WaveDoc &doc, AnalogTrace which, const WaveDrawEnv &env)
{
    const SetupBlock &s = doc.Setup;
    const double Z = env.zoom;
    TracePlace p;
    p.first = s.FirstPoint;
    p.last = s.LastPoint;
    const RowMapping upperHalf{2.0, 25.0};
    const RowMapping lowerHalf{2.0, 100 * Z + 25};
    if (alternating(doc)) {
        if (which == AnalogTrace::CH1) {
            p.first = s.CH1FirstPoint;
            p.last = s.CH1LastPoint;
            p.map = upperHalf;
        } else {
            // CH2 and MATH share CH2's window in the lower half.
            p.first = s.CH2FirstPoint;
            p.last = s.CH2LastPoint;
            p.map = lowerHalf;
        }
    } else if (which != AnalogTrace::Math && fftOn(doc) && s.FFTFullScreen == 0) {
        p.map = upperHalf; // the FFT takes the lower half
    }
    return p;
}

QList<QPointF> analogTraceVertices(const WaveDoc &doc, AnalogTrace which, const WaveDrawEnv &env)
{
    const TracePlace p = tracePlace(doc, which, env);
    const QList<qint32> &rows = which == AnalogTrace::CH1 ? doc.CH1Rows
                                : which == AnalogTrace::CH2 ? doc.CH2Rows
                                                            : doc.MathRows;
    return traceWalk(rows, doc.PointCount, p.first, p.last, env.zoom, p.map);
}

int fftSpanWidth(int code)
{
    switch (code) {
    case 1: return 5000;
    case 2: return 2500;
    case 3: return 1000;
    case 4: return 500;
    case 5: return 250;
    case 6: return 100;
    case 7: return 25;
    default: return 500;
    }
}

QList<QPointF> fftTraceVertices(const WaveDoc &doc, const WaveDrawEnv &env)
{
    QList<QPointF> out;
    const SetupBlock &s = doc.Setup;
    const QList<qint32> &rows = doc.FFTRows;
    const double Z = env.zoom;
    const double a = env.laModel == 0 ? 12.5 : 0.0;
    const int w = fftSpanWidth(s.FFTSpanCode);
    const int c = s.FFTCentre;
    if ((w + 300) / 2.0 <= c)
        return out;
    const int first = std::max(0, 150 - c);
    const int last = std::min(kLastColumn, nearest(150 - c + w / 2.0));
    int n = std::max(2, 2 * c - 298);
    // The window must start on the screen and inside the samples.
    if (first > kLastColumn || n > kLastFftSample || n >= rows.size())
        return out;
    const int xs = nearest(first * Z) + 25;
    const int xe = nearest((last - 1) * Z) + 25;

    const bool full = s.FFTFullScreen != 0;
    const double base = (alternating(doc) && s.AltMathLower == 0) ? 25.0 : 100 * Z + 25;
    auto level = [&](int i) { return std::min(double(rows[i]) + a, 100.0); };
    auto y = [&](int i) { return full ? rows[i] * Z + 25 : level(i) * Z + base; };

    out << QPointF(xs, y(n - 1))
        << QPointF(xs, full ? y(n) : RoundHalfEven(level(n)) * Z + base);
    for (double x = xs + Z; x <= xe; x += 0.5 * Z) {
        if (n >= kLastFftSample || n + 1 >= rows.size())
            break;
        ++n;
        out << QPointF(nearest(double(float(x - 0.1))), y(n));
    }
    return out;
}

QList<QPointF> xyPoints(const WaveDoc &doc, double zoom)
{
    QList<QPointF> out;
    const qsizetype available = std::min(doc.CH1Rows.size(), doc.CH2Rows.size()) - 1;
    const qsizetype count = std::min<qsizetype>(doc.PointCount, available);
    if (count <= 0)
        return out;
    out.reserve(count);
    for (qsizetype i = 1; i <= count; ++i)
        out << QPointF((250.0 - doc.CH1Rows[i]) * zoom + 25, doc.CH2Rows[i] * zoom + 25);
    return out;
}

QList<PlacedText> xyLabels(const WaveDoc &doc, double zoom)
{
    const bool colour = doc.ColorMode;
    const QColor black(0, 0, 0);
    return {
        {QStringLiteral("X-Y Mode"), QPointF(110 * zoom + 25, 10), colour ? XYPointColor : black},
        {QStringLiteral("CH1 ") + doc.CH1VoltDiv, QPointF(25, 204 * zoom + 25), colour ? CH1Color : black},
        {QStringLiteral("CH2 ") + doc.CH2VoltDiv, QPointF(75 * zoom + 25, 204 * zoom + 25), colour ? CH2Color : black},
    };
}

QColor traceColor(AnalogTrace which, bool colorScheme)
{
    if (!colorScheme)
        return QColor(0, 0, 0);
    switch (which) {
    case AnalogTrace::CH1: return CH1Color;
    case AnalogTrace::CH2: return CH2Color;
    case AnalogTrace::Math: return MathColor;
    }
    return QColor(0, 0, 0);
}

namespace {

void paintPolyline(WaveCanvas &c, const QList<QPointF> &points)
{
    QList<QPoint> pixels;
    pixels.reserve(points.size());
    for (const QPointF &p : points)
        pixels << WaveCanvas::pixel(p.x(), p.y());
    c.polyline(pixels);
}

void drawYT(WaveCanvas &c, const WaveDoc &doc, const WaveDrawEnv &env)
{
    const bool colour = doc.ColorMode;
    const SetupBlock &s = doc.Setup;
    // In black and white a rolling display draws a trace whatever its valid byte.
    auto valid = [&](quint8 byte) { return byte == 1 || (!colour && doc.RollMode); };
    if (!colour)
        c.setForeColor(QColor(0, 0, 0));

    QPainter &p = c.painter();
    const double Z = env.zoom;
    const QColor black(0, 0, 0);
    // The labels and scale texts first, so that the scale texts under the
    // graticule can be laid out together; each is painted in its turn.
    WaveShapes ch1, ch2, math;
    if (doc.DrawCH1)
        ch1 = ChannelLabelShapes(colour ? CH1Color : black, Z, QStringLiteral("CH1"), doc.CH1Offset, doc.CH1VoltDiv,
                                 doc.TrigMode, doc.FFTDisplay, s.FFTFullScreen);
    if (doc.DrawCH2)
        ch2 = ChannelLabelShapes(colour ? CH2Color : black, Z, QStringLiteral("CH2"), doc.CH2Offset, doc.CH2VoltDiv,
                                 doc.TrigMode, doc.FFTDisplay, s.FFTFullScreen);
    if (doc.DrawMath)
        math = MathLabelShapes(colour ? MathColor : black, Z, s, doc.TrigMode, doc.FFTDisplay);
    WaveShapes trig = alternating(doc) ? AltTrigMarksShapes(Z, doc.AltTimeDivCH1, doc.AltDelayCH1, doc.AltTimeDivCH2,
                                                            doc.AltDelayCH2, colour)
                                       : TrigMarkShapes(Z, doc.TimeDiv, doc.Delay, colour);
    LayOutScaleTexts({&ch1, &ch2, &math, &trig}, Z, c.width());

    if (doc.DrawCH1) {
        if (colour)
            c.setForeColor(CH1Color);
        PaintShapes(p, ch1);
        if (valid(s.CH1Valid))
            paintPolyline(c, analogTraceVertices(doc, AnalogTrace::CH1, env));
    }
    if (doc.DrawCH2) {
        if (colour)
            c.setForeColor(CH2Color);
        PaintShapes(p, ch2);
        if (valid(s.CH2Valid))
            paintPolyline(c, analogTraceVertices(doc, AnalogTrace::CH2, env));
    }
    if (doc.DrawMath) {
        if (colour)
            c.setForeColor(MathColor);
        PaintShapes(p, math);
        if (fftOn(doc)) {
            if (valid(s.FFTValid))
                paintPolyline(c, fftTraceVertices(doc, env));
        } else if (valid(s.MathValid)) {
            paintPolyline(c, analogTraceVertices(doc, AnalogTrace::Math, env));
        }
    }
    if (doc.DrawLA) {
        // The labels stand even when the transfer brought no valid logic data.
        DrawLALabels(p, Z, s, doc.TrigMode, doc.FFTDisplay, colour);
        if (valid(s.LAValid))
            DrawLATraces(p, Z, doc.LAWords, doc.PointCount, s, doc.TrigMode, doc.FFTDisplay, colour);
    }
    PaintShapes(p, trig);
}

void drawXY(WaveCanvas &c, const WaveDoc &doc, const WaveDrawEnv &env)
{
    c.setForeColor(doc.ColorMode ? XYPointColor : QColor(0, 0, 0));
    c.setDrawWidth(2);
    for (const QPointF &p : xyPoints(doc, env.zoom))
        c.pset(p.x(), p.y());
    c.setDrawWidth(1);
    c.setBold(true);
    for (const PlacedText &t : xyLabels(doc, env.zoom)) {
        c.setForeColor(t.color);
        c.textOut(t.at.x(), t.at.y(), t.text);
    }
    c.setBold(false);
}

} // namespace

void DrawOSC(WaveCanvas &c, const WaveDoc &doc, const WaveDrawEnv &env)
{
    if (!doc.HasData)
        return;
    if (doc.YTFormat || doc.RollMode)
        drawYT(c, doc, env);
    else if (doc.XYFormat)
        drawXY(c, doc, env);
}
