#pragma once
// The markers and scale texts around the traces of a waveform picture: the
// trigger marker "T" and the centre mark at the top edge, the ground markers
// of CH1, CH2 and MATH/FFT at the left edge, and the scale texts under the
// graticule (volts/div, time/div, delay, MATH or FFT scale).
//
// Each drawer comes twice: a ...Shapes function that computes what is drawn
// where (no painter, exact coordinates at zoom Z), and the Draw... routine
// that paints those shapes. The graticule spans (25, 25) to (300Z + 25,
// 200Z + 25); positions without Z stay fixed in pixels at every zoom.
//
// A scale text that reads as 0 (a failed transfer stores "0.000s") makes a
// trigger column or ground row of 0/0 or of an infinite value: 0/0 draws no
// marker, an infinite value the edge arrow on its side; the centre mark and
// every text are drawn in any case.

#include "common/setupblock.h"
#include "wave/waveshapes.h"

#include <QColor>
#include <QString>

class QPainter;

// The trigger column: 150 - 25 * ParseTime(delay) / ParseTime(timeDiv) (a
// positive delay moves it left). NaN when both read as 0, infinite when only
// the time/div does.
double TriggerColumn(const QString &timeDiv, const QString &delay);
// The ground row of a channel on the full 200-row scale: 100 - 25 *
// ParseVolt(offset) / ParseVolt(voltDiv). NaN or infinite as TriggerColumn.
double GroundRow(const QString &offset, const QString &voltDiv);

// Marker colour of the trigger drawers: orange in the colour scheme, black otherwise.
QColor triggerMarkColor(bool colorMode);

// Trigger marker, centre mark, "Delay:" text and the time/div text (every
// trigger mode but the alternate trigger).
WaveShapes TrigMarkShapes(double zoom, const QString &timeDiv, const QString &delay, bool colorMode);
// The same for the alternate trigger: one centre mark and marker per half,
// "Delay1: " and "Delay2: " texts and each channel's time/div inside its half.
WaveShapes AltTrigMarksShapes(double zoom, const QString &timeDiv1, const QString &delay1, const QString &timeDiv2,
                              const QString &delay2, bool colorMode);
// Ground marker and scale text of "CH1" or "CH2" in the colour fore. The
// screen is halved under "ALTERNATION" or while the FFT is shown split
// (fftDisplay the on-word of either language and fftFullScreen 0).
WaveShapes ChannelLabelShapes(const QColor &fore, double zoom, const QString &channelName, const QString &offset,
                              const QString &voltDiv, const QString &trigMode, const QString &fftDisplay,
                              int fftFullScreen);
// Ground marker "m" and the MATH or FFT scale texts in the colour fore;
// nothing at all when the ground row lies off the screen.
WaveShapes MathLabelShapes(const QColor &fore, double zoom, const SetupBlock &setup, const QString &trigMode,
                           const QString &fftDisplay);

// Lays out the scale texts under the graticule that the drawers above made
// (volts/div, time/div and delay on the first row, the MATH or FFT scales on
// the second) for a picture pictureWidth pixels wide: no two run into each
// other (LayOutScaleRow: the delays give way first, then CH2's and CH1's
// volts/div, and the time/div last), and the second row keeps at least a
// text's height below the first at a small zoom. Texts that give way leave
// their lists.
void LayOutScaleTexts(const QList<WaveShapes *> &drawn, double zoom, double pictureWidth);

// The painters. The FFT is taken as shown when fftDisplay is the on-word of
// either language (the item keeps the word of its transfer's language).
void DrawTrigMark(QPainter &p, double zoom, const QString &timeDiv, const QString &delay, bool colorMode);
void DrawAltTrigMarks(QPainter &p, double zoom, const QString &timeDiv1, const QString &delay1,
                      const QString &timeDiv2, const QString &delay2, bool colorMode);
void DrawChannelLabel(QPainter &p, const QColor &fore, double zoom, const QString &channelName,
                      const QString &offset, const QString &voltDiv, const QString &trigMode,
                      const QString &fftDisplay, int fftFullScreen);
void DrawMathLabel(QPainter &p, const QColor &fore, double zoom, const SetupBlock &setup, const QString &trigMode,
                   const QString &fftDisplay);

// A single-precision scale from the setup block as the plain decimal text the
// unit ladders read (seven significant digits).
QString floatScaleText(float v);
