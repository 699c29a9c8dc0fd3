#pragma once
// The cursors of a viewer window: two vertical time cursors and two
// horizontal voltage cursors (and a second set for the lower half of the
// split display of the alternate trigger), their overlay on the finished
// picture and the read-outs of the time difference, its reciprocal and each
// channel's voltage difference. Positions are picture pixels. No window code.

#include "common/storedwave.h"

#include <QColor>
#include <QList>
#include <QPoint>
#include <QSizeF>
#include <QString>

class QImage;

struct StoredCursors {
    double X1 = 50;       // first vertical cursor (upper half in the split display)
    double X2 = 295;
    double Y1 = 55;       // first horizontal cursor (upper half in the split display)
    double Y2 = 239;
    double X1Low = 74;    // the lower half's cursors (split display)
    double X2Low = 270;
    double Y1Low = 162.5;
    qint16 Y2Low = 254;   // a whole pixel: every value stored here is rounded
    bool ShowCursorX = false;
    bool ShowCursorY = false;
    friend bool operator==(const StoredCursors &, const StoredCursors &) = default;
};

// The overlay's colours are the waveform window's (src/wave/waveoverlay.h
// cursorLineColor, src/wave/wavereadouts.h readoutColor): the two windows'
// cursors look alike.

// Holds the cursors inside their graticule areas the way the overlay does
// before it draws: the vertical upper ones always to 27 .. 300 Z + 23 (a value
// below 27 becomes 27, otherwise one above the top becomes the top), the
// lower ones while the vertical cursors are shown in the split display; the
// horizontal ones while shown, to 27 .. 200 Z + 23, or in the split display
// to 27 .. 100 Z + 23 above and 100 Z + 27 .. 200 Z + 23 below.
void clampCursors(StoredCursors &c, bool split, double zoom);

struct CursorReadout {
    QString text;
    QColor color;
    QPoint topLeft;
    friend bool operator==(const CursorReadout &, const CursorReadout &) = default;
};

// The read-outs as the overlay draws them, top to bottom, at x = 300 Z - 115,
// their numbers written by the waveform window's unit texts
// (ConvertTimeToStr, ConvertFreqToStr, ConvertVoltToStr, GetTimeVlu):
// nothing unless a channel or the digital block is shown. Normal display:
// with the vertical cursors and a time/div above 0 the frequency and time
// texts, with the horizontal cursors a voltage text per shown channel. Split
// display (alternate trigger): each half's texts from its own cursors and
// scales, the lower half's from 100 Z + 30 down.
QList<CursorReadout> DisplayCursorM(const StoredCursors &c, const StoredWave &w, double zoom);

// The overlay: clamps the cursors (the clamped values stay), draws the shown
// cursor lines (dash-dot-dot, 5 pixels short of their area's edges) with a
// triangle marker at each end, then the read-outs.
void DrawCursors(QImage &pic, StoredCursors &c, const StoredWave &w, double zoom);

// Keeps the horizontal cursors in their place when a load switches the split
// display on (rows move to half height) or off; only while they are shown.
void RescaleCursorY(StoredCursors &c, bool newSplit, bool oldSplit);

// A layout to another picture size moves every cursor in proportion, the
// 25-pixel margin fixed: x to (x - 25) / oldWidth * newWidth + 25, y likewise
// with the heights (Y2Low rounded). Nothing moves when an old size is 0.
void moveCursorsInProportion(StoredCursors &c, QSizeF oldSize, QSizeF newSize);
