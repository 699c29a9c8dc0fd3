#pragma once
// The measuring cursors of a waveform window: two vertical X cursors and two
// horizontal Y cursors, twice over when the picture is split into halves
// (the second set in the lower half). The state belongs to the window, not to
// the item: a window opened again starts from the load values.
//
// Positions are picture pixels (origin top left, y downwards). The graticule
// spans (25, 25) to (300Z + 25, 200Z + 25) at zoom Z; the split line lies at
// y = 100Z + 25. CursorY2 and CursorY2Low are whole numbers.
//
// A cursor is near a pointer position p when it lies less than 3 pixels from
// it (3 pixels exactly is not near). Positions are stored unbounded; each
// overlay draw clamps them into the graticule and stores the clamped values
// (ClampCursors). A value that is not finite never reaches an integer: the
// step that would make it is skipped, and a clamp takes its low bound.

#include <QtGlobal>

// Application-wide pointer shapes the mouse handling asks for.
namespace CursorPointer {
inline constexpr int Default = 0;
inline constexpr int NorthSouth = 7;
inline constexpr int WestEast = 9;
} // namespace CursorPointer

struct WaveCursors {
    double CursorX1 = 52;
    double CursorX2 = 297;
    double CursorY1 = 59;
    qint16 CursorY2 = 259;
    double CursorX1Low = 79;
    double CursorX2Low = 270;
    double CursorY1Low = 162.5;
    qint16 CursorY2Low = 254;
    bool CursorXOn = false;
    bool CursorYOn = false;
    bool DragX1 = false;
    bool DragX2 = false;
    bool DragY1 = false;
    bool DragY2 = false;
    bool DragX1Low = false;
    bool DragX2Low = false;
    bool DragY1Low = false;
    bool DragY2Low = false;
    double PrevPicWidth = 0;
    qint16 PrevPicHeight = 0;

    // Window load: the eight positions to their load values (worked out from
    // the zoom-1 division of 25 pixels; the second Y cursors lie below the
    // zoom-1 graticule until the first layout scales them from the picture's
    // load size), then the picture's size as the reference of the next
    // proportional move. Shown and drag flags are left alone.
    void load(double picWidth, double picHeight);

    // Moves every cursor in proportion to the picture's change of size about
    // (25, 25), then makes (width, height) the reference. A step whose
    // arithmetic fails (a zero or missing reference) leaves its cursor as it
    // was.
    void proportionalMove(double width, double height);

    // Mouse press at (x, y): sets the drag flag of the cursor grabbed, the
    // first of a pair winning when both are near; an X and a Y cursor may be
    // grabbed together. split: the picture is split into halves.
    void press(double x, double y, double zoom, bool split);

    // Mouse move: the dragged cursor follows the pointer (an X drag before a
    // Y drag, so a press at a crossing moves only the X cursor). Returns the
    // pointer shape to show; *redraw is set when a cursor moved and the
    // picture must be drawn again.
    int move(double x, double y, double zoom, bool split, bool *redraw);

    // Mouse release: every drag flag cleared, positions kept.
    void release();
};

// Clamps the positions into the graticule and stores them back: CursorX1 and
// CursorX2 always; the lower-half X cursors while the X cursors are shown on
// a split picture; the Y cursors (each in its own half when split) while
// they are shown.
void ClampCursors(WaveCursors &c, double zoom, bool split);
