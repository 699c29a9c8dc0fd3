#pragma once
// The mouse on a viewer picture: cursor lines dragged, traces picked and
// dragged (vertically the channel's offset or the digital channel's row,
// horizontally the record's position), and the pointer shape that tells
// what a press would grab. Pure state and arithmetic on the record and the
// cursors; the window delivers the events and carries out the outcome.
//
// Mouse positions are picture pixels; graticule unit g lies at 25 + Z g. A
// cursor is grabbed at its line (storedCursorLines) and dragged to the
// divisions of the pointer's pixel.

#include "common/storedwave.h"
#include "storedwave/storedcursors.h"

#include <optional>

enum class StoredPointer { Arrow, SizeNS, SizeWE, OpenHand, ClosedHand };

struct StoredMouse {
    bool DragX1 = false, DragX2 = false, DragY1 = false, DragY2 = false;
    bool DragX1Low = false, DragX2Low = false, DragY1Low = false, DragY2Low = false;
    bool HitCH1 = false, HitCH2 = false, HitLA = false; // the last hover test
    quint8 DragLaChannel = 0;
    bool DragCH1 = false, DragCH2 = false, DragLA = false;
    float PressX = 0, PressY = 0;
    float PressOffsetCH1 = 0, PressOffsetCH2 = 0;
    double PressPosition = 0;

    bool draggingTrace() const { return DragCH1 || DragCH2 || DragLA; }
};

// What an event asks of the window: recompute the screen data (a selector of
// RefreshScreenData) and redraw, mark the data sheet modified, set a pointer.
struct MouseOutcome {
    std::optional<int> refresh;
    bool redraw = false;
    bool modified = false;
    std::optional<StoredPointer> pointer;
};

// min(a, b) <= value <= max(a, b).
bool IsBetween(int value, int a, int b);

// Whether row r lies on the trace at column c of a window f..l of screen
// array S: kind 0 CH1, 1 CH2, 2 digital (then every channel D0..D15 is
// tried in turn and the first found goes to *laChannel). Within 3 rows of
// either value of the column, or of the next or the previous column, or
// between the column and its neighbour. No hit outside the window, and none
// for a window outside columns 0..299 (so nothing past the array is read).
bool HitTestTrace(int kind, int r, const StoredWave::ScreenArray &S, int c, int f, int l, bool alternate,
                  const SetupBlock &setup, quint8 *laChannel = nullptr);

// The hover test at (x, y): CH1 before CH2 before the digital channels;
// writes HitCH1, HitCH2, HitLA (and DragLaChannel).
void HitTestAllTraces(StoredMouse &m, const StoredWave &w, double zoom, float x, float y);

// A press: starts the cursor drags within 3 pixels of a shown cursor line
// (one vertical and one horizontal at most; the first cursor wins), then
// picks the trace the last hover found.
MouseOutcome storedMouseDown(StoredMouse &m, const StoredCursors &c, const StoredWave &w, double zoom, float x,
                             float y);
// A move: drags a cursor or a trace (every value from the press and the
// travel since), or sets the pointer for what lies under the mouse.
MouseOutcome storedMouseMove(StoredMouse &m, StoredCursors &c, StoredWave &w, double zoom, float x, float y);
// The release: every drag and hit flag cleared.
void storedMouseUp(StoredMouse &m);
