#pragma once
// The cursor read-outs of a waveform picture: the time between the X cursors
// and its reciprocal frequency, the voltage between the Y cursors in each
// channel's scale, the two voltages of the X-Y display and the FFT's
// frequency and level differences, as lines of text near the top-right corner
// of the graticule and, on a split picture, below the split line.
//
// The frequency is the reciprocal of the time as the user reads it (the
// rounded time text read back), not of the exact time.

#include "common/wavedoc.h"
#include "wave/wavecursors.h"
#include "wave/waveshapes.h"

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>

// Volts: 1 and above as "0.0" with "V", else millivolts "0.0" with "mV".
QString ConvertVoltToStr(double x);
// Seconds in "0.00" with "s", "ms", "us", "ns" or "ps"; 0 gives "0.000s";
// below 1 ps (but not 0), negative or not a number: the empty text.
QString ConvertTimeToStr(double x);
// Hertz in "0.00" with "GHz", "MHz", "KHz" or "Hz".
QString ConvertFreqToStr(double x);
// Seconds read back from a time text made by ConvertTimeToStr: the number
// before the unit, divided by its prefix; 0 for a text without "s" or with a
// unit letter other than "p", "n", "u", "m" or none.
double GetTimeVlu(const QString &text);

// The colour of each read-out line in a scheme.
enum class ReadoutColor { Time, CH1, CH2, FFT };
QColor readoutColor(ReadoutColor role, bool colorMode);

struct ReadoutLine {
    QString text;
    QPointF at; // top-left corner, on a whole pixel
    ReadoutColor color = ReadoutColor::Time;
    friend bool operator==(const ReadoutLine &, const ReadoutLine &) = default;
};

// The lines the read-outs draw for cursors c (clamped already) on the item
// doc at zoom, in drawing order. The distances are the cursors' distances in
// divisions times the scales, the same at every zoom; the zoom only places
// the lines. The FFT is on when doc.FFTDisplay is the
// on-word of either language; vrmsName: the current language's name of the
// rms measurement, appended to a decibel level.
QList<ReadoutLine> CursorReadouts(const WaveCursors &c, const WaveDoc &doc, double zoom, const QString &vrmsName);

// The read-outs as shapes in the doc's scheme (light grey in black and white).
WaveShapes ReadoutShapes(const QList<ReadoutLine> &lines, bool colorMode);
