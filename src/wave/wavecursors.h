#pragma once
// The measuring cursors of a waveform window: two vertical X cursors and two
// horizontal Y cursors, twice over when the picture is split into halves
// (the second set in the lower half). The state belongs to the window, not to
// the item: a window opened again starts from the load values.
//
// Positions are kept in divisions of the graticule, not in pixels: an X
// cursor as divisions from the graticule's left edge (0 to 12), a Y cursor as
// divisions from its top edge (0 to 8; the split line lies at 4). The pixels
// follow from the zoom Z whenever they are needed (x = 25 + 25Z * X,
// y = 25 + 25Z * Y, picture pixels with the origin top left), so a change of
// zoom or of the window's size never moves a cursor against the divisions,
// never rounds it, and a zoom as small as 1 % loses nothing: back at 100 %
// every cursor is where it was.
//
// A cursor is near a pointer position p when its pixel lies less than 3
// pixels from it (3 pixels exactly is not near). Positions are stored
// unbounded as the pointer gives them; each overlay draw clamps them into the
// graticule, in divisions, and stores the clamped values (ClampCursors). A
// value that is not finite is taken as the low bound by the clamp.

#include <QtGlobal>

// Application-wide pointer shapes the mouse handling asks for.
namespace CursorPointer {
inline constexpr int Default = 0;
inline constexpr int NorthSouth = 7;
inline constexpr int WestEast = 9;
} // namespace CursorPointer

// The graticule's divisions.
inline constexpr double CursorDivisionsX = 12;
inline constexpr double CursorDivisionsY = 8;

struct WaveCursors {
    // Load values (see load()).
    double CursorX1 = 27.0 / 381 * 14;
    double CursorX2 = 272.0 / 381 * 14;
    double CursorY1 = 34.0 / 333 * 10;
    double CursorY2 = 234.0 / 333 * 10;
    double CursorX1Low = 54.0 / 381 * 14;
    double CursorX2Low = 245.0 / 381 * 14;
    double CursorY1Low = 137.5 / 333 * 10;
    double CursorY2Low = 229.0 / 333 * 10;
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

    // Window load: the eight positions to their load values, the places the
    // window has always shown first: worked out in pixels of the 381 x 333
    // design picture from the zoom-1 division of 25 pixels, and scaled from
    // that picture onto the graticule. Shown and drag flags are left alone.
    void load();

    // Mouse press at picture pixel (x, y): sets the drag flag of the cursor
    // grabbed, the first of a pair winning when both are near; an X and a Y
    // cursor may be grabbed together. split: the picture is split into halves.
    void press(double x, double y, double zoom, bool split);

    // Mouse move: the dragged cursor follows the pointer (an X drag before a
    // Y drag, so a press at a crossing moves only the X cursor). Returns the
    // pointer shape to show; *redraw is set when a cursor moved and the
    // picture must be drawn again.
    int move(double x, double y, double zoom, bool split, bool *redraw);

    // Mouse release: every drag flag cleared, positions kept.
    void release();
};

// The pixel of an X (Y) position in divisions at a zoom, and back.
double CursorPixelX(double divisions, double zoom);
double CursorPixelY(double divisions, double zoom);
double CursorDivisionsOfX(double pixel, double zoom);
double CursorDivisionsOfY(double pixel, double zoom);

// Clamps the positions into the graticule and stores them back: CursorX1 and
// CursorX2 always; the lower-half X cursors while the X cursors are shown on
// a split picture; the Y cursors (each pair in its own half when split) while
// they are shown. The bounds are divisions, the same at every zoom.
void ClampCursors(WaveCursors &c, bool split);

// Where the lines of the cursors are drawn, in picture pixels at a zoom: the
// pixel of each position, kept 2 pixels inside the graticule's frame (inside
// its half when split) so that a cursor on an edge stays visible. Nothing is
// stored.
struct CursorLines {
    double x1, x2, y1, y2, x1Low, x2Low, y1Low, y2Low;
};
CursorLines CursorLinePixels(const WaveCursors &c, double zoom, bool split);
