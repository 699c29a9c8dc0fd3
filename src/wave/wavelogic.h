#pragma once
// The logic channels D0..D15 of a waveform picture: a label "Dn" left of the
// graticule and a two-level trace at each shown channel's own row; the
// channel selected on the instrument is drawn last, in its own colour.
//
// The logic data are bytes, two per 16-bit word, low byte first, from element
// 1 of WaveDoc::LAWords; two words per screen column, bit n = level of Dn.
// A trace starts at column SetupBlock::FirstPoint and runs to LastPoint. A
// window outside the screen's columns 0..299 draws no logic rows at all (the
// labels still stand); a selected channel above 15 means that none is
// selected; no word past the screen's 600 is ever read.

#include "common/setupblock.h"
#include "wave/waveshapes.h"

#include <QColor>
#include <QList>
#include <QString>

class QPainter;

// The screen's logic words from the first column with data on: entry i is
// word 2 * FirstPoint + i; 601 entries, those past the last word 0. Bytes
// missing from laWords read as 0. Empty when FirstPoint lies outside 0..299.
QList<qint32> BuildLogicWords(const QList<qint32> &laWords, const SetupBlock &setup);

// Base row of the logic channels: 25, or 25 - 100Z while the FFT is shown
// split (fftSplit) so every channel moves up by half the graticule.
double logicBase(double zoom, bool fftSplit);

// The selected channel, or -1 when LASelected names none of D0..D15.
int selectedLogicChannel(const SetupBlock &setup);

// One channel's trace from the logic words, as the line state machine draws
// it: a single point (a segment of no length) or an edge for the first
// column, then per column the level segments and edges, as separate
// segments in drawing order. rowOffset is the channel's low level below the
// base, already on a whole pixel; height its height byte.
WaveShape LALineShape(const QList<qint32> &logicWords, int channel, int height, double rowOffset,
                      const SetupBlock &setup, int lastPoint, double zoom, double base, const QColor &color);

// The labels of the shown channels (the selected one last).
WaveShapes LALabelsShapes(double zoom, const SetupBlock &setup, bool fftSplit, bool colorMode);
// The traces of the shown channels (the selected one last).
WaveShapes LATracesShapes(double zoom, const QList<qint32> &laWords, const SetupBlock &setup, bool fftSplit,
                          bool colorMode);

// The painters. The FFT counts as split when fftDisplay is the on-word of
// either language and the setup block's FFTFullScreen is 0. trigMode and
// pointCount are not used: the logic rows look the same in every trigger mode.
void DrawLALabels(QPainter &p, double zoom, const SetupBlock &setup, const QString &trigMode,
                  const QString &fftDisplay, bool colorMode);
void DrawLATraces(QPainter &p, double zoom, const QList<qint32> &laWords, qint32 pointCount,
                  const SetupBlock &setup, const QString &trigMode, const QString &fftDisplay, bool colorMode);
