#pragma once
// The drawing pass of a viewer picture over its graticule: channel ground
// markers and position texts, the analog traces, the digital labels and rows,
// and the trigger marks with their delay texts, all from the record's screen
// data. No window code; no state.
//
// Coordinates as on the graticule (storedwave/storedgrid.h): column c and
// row r lie at pixel (25 + c Z, 25 + r Z); in the split display of the
// alternate trigger the upper half holds CH1 and the lower half CH2, rows at
// half height.

#include "common/storedwave.h"

#include <QColor>
#include <QString>

class QImage;
class QPainter;

// The trace and label colour of CH1 and CH2 (black in black and white).
QColor storedChannelColor(bool colorMode, bool ch1);
// The trigger marks and the "Delay:" text (orange, or black).
QColor storedTriggerColor(bool colorMode);

// Everything the record shows, drawn over what is on pic (nothing is
// erased): for each shown channel its label and, when its data is valid, its
// trace; the digital labels and rows; the trigger marks. A record without
// data, or not in Y-T, draws nothing.
void DrawOSC(QImage &pic, const StoredWave &w, double zoom);

// Trigger marks of every trigger but the alternate one: the centre marker
// under the top edge, the trigger flag at column 150 - position / timeDiv * 25
// (an arrow at the side when it lies at 3 or less, or 296 or more) and
// "Delay:" with the position. A zero or unusable time/div gives no flag or
// arrow, only the marker and the text.
void DrawTrigMark(QPainter &p, double zoom, double timeDiv, double position, bool colorMode);
// The same for the alternate trigger: a set of marks per half, "Delay1: "
// and "Delay2: " side by side under the graticule.
void DrawAltTrigMarks(QPainter &p, double zoom, double ch1TimeDiv, double ch1Position, double ch2TimeDiv,
                      double ch2Position, bool colorMode);

// The ground marker of CH1 (channel "CH1") or CH2 (any other name) at the
// left edge, a flag when the ground row lies on screen and an arrow above or
// below otherwise, then "Pos1:  " or "Pos2:  " with the offset under the
// graticule. A volts/div that leaves the ground row undefined draws the text
// only. Draws in the painter's pen colour.
void DrawChannelLabel(QPainter &p, double zoom, const QString &channel, float offset, float voltsPerDiv,
                      const QString &trigMode);
// One analog trace from its screen array, in the painter's pen colour:
// a vertical segment between entries firstIndex and firstIndex + 1 at the
// window's first column, then the line on through entries firstIndex + 3,
// + 4, ... at 300 / pointCount columns per entry up to the window's last
// column (entry firstIndex + 2 is passed over). Draws nothing for a point
// count of 0 or below, a window past column 299 or, under the alternate
// trigger, a window whose first column lies after its last; never reads past
// entry 600.
void DrawChannelTrace(QPainter &p, double zoom, const StoredWave::ScreenArray &levels, qint32 pointCount,
                      bool ch1, const SetupBlock &setup, const QString &trigMode, int firstIndex = 0);
// Names D0..D15 of the shown digital channels at their rows, the selected one
// last in its own colour.
void DrawLALabels(QPainter &p, double zoom, const SetupBlock &setup, bool colorMode);
// Every shown digital channel's row over the analog window's columns, the
// selected one last in its own colour. Nothing when that window lies past
// column 299.
void DrawLATraces(QPainter &p, double zoom, const StoredWave::ScreenArray &words, const SetupBlock &setup,
                  bool colorMode);
// One digital channel's row: its low level at pixel row 25 + rowBase, its
// high level nint((rowHeight - 1) Z) above, over the columns
// firstCol..lastCol, two words per column.
void DrawLALine(QPainter &p, double zoom, const StoredWave::ScreenArray &words, int channel, int rowHeight,
                int rowBase, int firstCol, int lastCol);
