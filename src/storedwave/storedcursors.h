#pragma once
// The cursors of a viewer window: two vertical time cursors and two
// horizontal voltage cursors (and a second set for the lower half of the
// split display of the alternate trigger), their overlay on the finished
// picture and the read-outs of the time difference, its reciprocal and each
// channel's voltage difference. No window code.
//
// Positions are kept in divisions of the graticule, not in pixels: an X
// cursor as divisions from the graticule's left edge (0 to 12), a Y cursor as
// divisions from its top edge (0 to 8; the split line lies at 4). The pixels
// follow from the zoom Z wherever they are needed (x = 25 + 25 Z X, y = 25 +
// 25 Z Y, src/wave/wavecursors.h), so a zoom change never moves a cursor
// against the divisions and a zoom as small as 1 % loses nothing: back at
// 200 % every cursor and read-out is what it was.
//
// A cursor is drawn, hit and read at its line: its pixel held 2 pixels
// inside the graticule area it belongs to (see StoredCursorLines).

#include "common/storedwave.h"

#include <QColor>
#include <QList>
#include <QPoint>
#include <QString>

class QImage;

// The divisions of a picture pixel at 100 %.
constexpr double StoredCursorDivisions(double pixelAt100) { return (pixelAt100 - 25) / 25; }

struct StoredCursors {
    // The start places, pixels of the picture at 100 %.
    double X1 = StoredCursorDivisions(50);     // first vertical cursor (upper half in the split display)
    double X2 = StoredCursorDivisions(295);
    double Y1 = StoredCursorDivisions(55);     // first horizontal cursor (upper half in the split display)
    double Y2 = StoredCursorDivisions(239);
    double X1Low = StoredCursorDivisions(74);  // the lower half's cursors (split display)
    double X2Low = StoredCursorDivisions(270);
    double Y1Low = StoredCursorDivisions(162.5);
    double Y2Low = StoredCursorDivisions(254); // a drag gives it the pointer's whole pixel
    bool ShowCursorX = false;
    bool ShowCursorY = false;
    friend bool operator==(const StoredCursors &, const StoredCursors &) = default;
};

// The overlay's colours are the waveform window's (src/wave/waveoverlay.h
// cursorLineColor, src/wave/wavereadouts.h readoutColor): the two windows'
// cursors look alike.

// Holds the cursors inside their graticule areas and stores them back, in
// divisions (the same bounds at every zoom; a value that is not a number
// becomes the low bound): the upper vertical ones always to 0 .. 12, the
// lower ones while the vertical cursors are shown in the split display; the
// horizontal ones while shown, to 0 .. 8, or in the split display to 0 .. 4
// above and 4 .. 8 below.
void clampCursors(StoredCursors &c, bool split);

// Where the cursor lines lie on the picture at a zoom, in pixels: each
// position's pixel held 2 pixels inside its area (x to 27 .. 300 Z + 23; y to
// 27 .. 200 Z + 23, or in the split display 27 .. 100 Z + 23 above and
// 100 Z + 27 .. 200 Z + 23 below; a pixel below its area's first becomes the
// first, otherwise one beyond its last the last). y2Low is a whole pixel.
// Lines are drawn there, the mouse grabs them there and the read-outs
// measure between them. Nothing is stored.
struct StoredCursorLines {
    double x1, x2, y1, y2, x1Low, x2Low, y1Low, y2Low;
};
StoredCursorLines storedCursorLines(const StoredCursors &c, bool split, double zoom);

struct CursorReadout {
    QString text;
    QColor color;
    QPoint topLeft;
    friend bool operator==(const CursorReadout &, const CursorReadout &) = default;
};

// The read-outs as the overlay draws them, top to bottom, at x = 300 Z - 115,
// their numbers written by the waveform window's unit texts
// (ConvertTimeToStr, ConvertFreqToStr, ConvertVoltToStr, GetTimeVlu) from the
// distance of the lines (storedCursorLines): nothing unless a channel or the
// digital block is shown. Normal display: with the vertical cursors and a
// time/div above 0 the frequency and time texts, with the horizontal cursors
// a voltage text per shown channel. Split display (alternate trigger): each
// half's texts from its own cursors and scales, the lower half's from
// 100 Z + 30 down.
QList<CursorReadout> DisplayCursorM(const StoredCursors &c, const StoredWave &w, double zoom);

// The overlay: clamps the cursors (the clamped values stay), draws the shown
// cursor lines (dash-dot-dot, 5 pixels short of their area's edges) with a
// triangle marker at each end, then the read-outs.
void DrawCursors(QImage &pic, StoredCursors &c, const StoredWave &w, double zoom);

// Keeps the horizontal cursors in their place when a load switches the split
// display on (rows move to half height) or off; only while they are shown.
void RescaleCursorY(StoredCursors &c, bool newSplit, bool oldSplit);
