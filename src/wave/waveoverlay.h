#pragma once
// The cursor overlay: the shown cursors as dash-dot-dot lines with small
// solid triangles where they meet the graticule's edges (and the split line),
// and the cursor read-outs, drawn over the finished picture as the last step
// of every full redraw. The overlay keeps the background transparent, so the
// traces stay visible through the gaps of the lines and around the texts.
//
// Before drawing it clamps the cursor positions into the graticule (in
// divisions, the same at every zoom) and stores them back into the cursor
// state; it never draws outside the picture, whatever the positions held.

#include "common/wavedoc.h"
#include "wave/wavecursors.h"
#include "wave/waveshapes.h"

#include <QColor>

class QImage;
class QPainter;

// Colour of the cursor lines and their markers.
QColor cursorLineColor(bool colorMode);

// The lines and markers of the shown cursors (positions already clamped), at
// the pixels of CursorLinePixels.
WaveShapes CursorLineShapes(const WaveCursors &c, double zoom, bool split, bool colorMode);

// Clamps c (ClampCursors), then draws the cursor lines and the read-outs of
// the item doc. The painter draws on the picture; the read-outs use the
// current language's on-word and rms name.
void DrawCursors(QPainter &p, WaveCursors &c, const WaveDoc &doc, double zoom);
// The same on a picture image (a painter of its own for the call).
void DrawCursors(QImage &picture, WaveCursors &c, const WaveDoc &doc, double zoom);
