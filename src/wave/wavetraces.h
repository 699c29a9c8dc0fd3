#pragma once
// The traces of a waveform item over its graticule: CH1, CH2 and MATH or FFT
// as polylines, or the X-Y figure as a cloud of points. The vertices are
// computed here without a painter, so each can be checked to the pixel;
// DrawOSC paints a record at a zoom.
//
// Rows count down from the graticule's top line at zoom 1 (0 = top line,
// 100 = centre); column c of the screen (0..299) holds samples 2c + 1 and
// 2c + 2 of a row array (element 0 is unused). x positions are whole pixels;
// y positions are exact and placed at their nearest pixel by the canvas.
//
// Everything that comes from the instrument or a data sheet file is bounded
// before use: a sample index past the end of its array ends that trace at its
// last drawable point, a point count of 0 or below draws no trace, a first
// column above the last draws nothing, a last column beyond the screen ends
// at the screen's last column, and an FFT window that starts past the data or
// the screen draws nothing. No array is ever read outside its bounds, and the
// rest of the picture is drawn whatever one trace holds.

#include "common/wavedoc.h"

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>

class WaveCanvas;

// What the drawing needs beyond the record.
struct WaveDrawEnv {
    double zoom = 1.0;
    int laModel = 1; // 0: an instrument without logic channels (split FFT lifted 12.5 rows)
};

// y of a row: rows / divisor * zoom + base.
struct RowMapping {
    double divisor = 1.0;
    double base = 25.0;
};

// The vertices of one analog trace over columns first..last.
QList<QPointF> traceWalk(const QList<qint32> &rows, int pointCount, int first, int last, double zoom,
                         const RowMapping &map);

enum class AnalogTrace { CH1, CH2, Math };

// The column window and the mapping the record gives a trace.
struct TracePlace {
    int first = 0;
    int last = 299;
    RowMapping map;
};
TracePlace tracePlace(const WaveDoc &doc, AnalogTrace which, const WaveDrawEnv &env);

// The vertices of CH1, CH2 or MATH of the record, placed as tracePlace says.
QList<QPointF> analogTraceVertices(const WaveDoc &doc, AnalogTrace which, const WaveDrawEnv &env);

// The FFT span width of a span code (1..7; any other code gives 500).
int fftSpanWidth(int code);

// The FFT trace: columns from the span and centre of the setup block, two
// samples per column, samples 2 .. 512 at most.
QList<QPointF> fftTraceVertices(const WaveDoc &doc, const WaveDrawEnv &env);

// The X-Y figure: one point per sample, CH1 across (mirrored), CH2 down.
QList<QPointF> xyPoints(const WaveDoc &doc, double zoom);

// The texts of the X-Y display: text and top-left corner.
struct PlacedText {
    QString text;
    QPointF at;
    QColor color;
    bool operator==(const PlacedText &) const = default;
};
QList<PlacedText> xyLabels(const WaveDoc &doc, double zoom);

// Colours of the traces.
QColor traceColor(AnalogTrace which, bool colorScheme);
inline const QColor XYPointColor{0, 255, 0};

// Draws everything the record holds over the graticule: labels, traces,
// logic channels and trigger markers (Y-T and roll), or the X-Y figure with
// its texts. A record without data draws nothing.
void DrawOSC(WaveCanvas &canvas, const WaveDoc &doc, const WaveDrawEnv &env);
