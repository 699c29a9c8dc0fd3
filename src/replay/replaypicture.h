#pragma once
// The replay picture: the plot of one frame of a record (frame, centre lines,
// ticks, dotted grid, banner word, the channel's ground marker and labels, the
// time base markers and labels, the trace) and the status strip under it
// (status word and frame counter). Everything is drawn from the record on
// every call onto an image; the window shows the images. No window code.
//
// W and H are the plot's size in pixels; the plot area keeps a 25-pixel
// margin on every side (PW = W - 50 by PH = H - 50), 12 x 8 divisions.

#include "common/replayinfo.h"

#include <QColor>
#include <QFont>
#include <QString>

class QImage;
class QPainter;

namespace ReplayPicture {
// Colours of the two schemes.
QColor background(bool colorMode);
QColor gridColor(bool colorMode);
QColor bannerColor(bool colorMode);
// Trace, ground marker and channel labels: the channel's trace colour in
// colour mode (black for a channel text other than "CH1" or "CH2"), black in
// monochrome.
QColor traceColor(bool colorMode, const QString &channel);
inline constexpr int PointCount = 600;
// The font of both surfaces (CJK-capable, pixel size 12).
QFont font(bool bold);
} // namespace ReplayPicture

// Frame, grid, ticks, dots and the banner word; zoom is not used.
void DrawRecordGrid(QPainter &p, int w, int h, bool colorMode, double zoom = 1.0);
// Ground marker (only when it falls inside the plot) and the labels of the channel.
void DrawRecordChannel(QPainter &p, int w, int h, const QColor &color, double zoom, const QString &channel,
                       const QString &offsetText, const QString &voltDivText);
// Centre and trigger markers (only when the trigger falls inside the plot) and
// the time/div and delay labels.
void DrawRecordTimebase(QPainter &p, int w, int h, bool colorMode, double zoom, const QString &timeDivText,
                        const QString &delayText);
// The trace of rec's current frame: samples 213 on of the frame, one per half
// unit across the plot. Reads nothing outside rec.Samples and draws nothing
// for a current frame outside 1..FrameCount.
void DrawRecordTrace(QPainter &p, int w, int h, const QColor &color, const ReplayInfo &rec,
                     int pointCount = ReplayPicture::PointCount);

// The plot of the current frame: cleared to the scheme's background, then
// grid, channel, time base and trace.
void RedrawFrame(QImage &plot, const ReplayInfo &rec);
// The plot before a replay was started: background, grid and banner.
void DrawEmptyRecordPlot(QImage &plot, bool colorMode);

// The status word of a status in a language: "Replaying", "Pause", "Stop" or
// the Chinese words; empty for another status or language.
QString replayStatusWord(quint8 status, int lang);
// The no-record prompt in a language (empty for another language).
QString replayPromptText(int lang);
// The status strip: cleared, word in white bold at (30, 8), and unless
// counter is false the counter current/count in green at (width - 70, 8).
void drawStatusStrip(QImage &strip, const QString &word, bool counter, int currentFrame, int frameCount);
// The status strip of rec: the status word of its Status in lang (stored in
// StatusText) and its counter.
void DispMsg(QImage &strip, ReplayInfo &rec, int lang);
