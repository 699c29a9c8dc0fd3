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

// Where the labels under the plot go, as x of their left edges: the channel
// at 25; volts/div, offset, time/div and delay at 1/12, 3/10, 1/2 and 3/4 of
// PW (each + 25), or, where the label before reaches that far, a gap after
// that label's end, so that no label runs into the next one. end is where the
// last one ends.
struct ReplayLabelRow {
    double channel = 25;
    double voltDiv = 0;
    double offset = 0;
    double timeDiv = 0;
    double delay = 0;
    double end = 0;
};
inline constexpr int ReplayLabelGap = 12;
ReplayLabelRow replayLabelRow(int w, const QString &channel, const QString &voltDivText, const QString &offsetText,
                              const QString &timeDivText, const QString &delayText);
ReplayLabelRow replayLabelRow(int w, const ReplayInfo &rec);
// The narrowest plot whose label row for rec ends inside it.
int leastReplayPlotWidth(const ReplayInfo &rec);

// Frame, grid, ticks, dots and the banner word; zoom is not used.
void DrawRecordGrid(QPainter &p, int w, int h, bool colorMode, double zoom = 1.0);
// Ground marker (only when it falls inside the plot) and the labels of the
// channel, at their places in row.
void DrawRecordChannel(QPainter &p, int w, int h, const QColor &color, double zoom, const QString &channel,
                       const QString &offsetText, const QString &voltDivText, const ReplayLabelRow &row);
// Centre and trigger markers (only when the trigger falls inside the plot) and
// the time/div and delay labels, at their places in row.
void DrawRecordTimebase(QPainter &p, int w, int h, bool colorMode, double zoom, const QString &timeDivText,
                        const QString &delayText, const ReplayLabelRow &row);
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
// counter is false the counter current/count in green at (width - 70, 8), or
// further left where it would not end inside the strip.
void drawStatusStrip(QImage &strip, const QString &word, bool counter, int currentFrame, int frameCount);
// The status strip of rec: the status word of its Status in lang (stored in
// StatusText) and its counter.
void DispMsg(QImage &strip, ReplayInfo &rec, int lang);
