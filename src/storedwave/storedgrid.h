#pragma once
// The graticule of a viewer picture and the grid cache. No window code: the
// picture is an image the window shows.
//
// Picture coordinates: graticule unit g lies at pixel 25 + Z * g on both
// axes (Z the window's zoom, 1.0 = 100 %); the graticule is 300 x 200 units
// (12 x 8 divisions of 25), the picture 350 Z x 250 Z pixels. Real
// coordinates are rounded to whole pixels half to even.

#include "common/storedwave.h"

#include <QColor>
#include <QFont>
#include <QImage>

namespace StoredPicture {
// Background, graticule marks and banner of the two schemes (colour: light
// on black; black and white).
QColor background(bool colorMode);
QColor gridColor(bool colorMode);
QColor bannerColor(bool colorMode);
// The font of every text on the picture (CJK-capable, pixel size 12).
QFont font(bool bold);
// The picture's size at a zoom: 350 Z x 250 Z, rounded.
QSize pictureSize(double zoom);
} // namespace StoredPicture

// Clears pic to the scheme's background and draws the frame, the centre
// lines, the tick marks (none below zoom 1, longer at higher zoom), the dotted
// grid when gridShown (the split layout of the alternate trigger when
// splitScreen) and the banner "KARVO" at (25, 10).
void paintStoredGrid(QImage &pic, bool colorMode, bool gridShown, bool splitScreen, double zoom);

// The graticule of w's settings, then, while the grid cache exists, the
// cache takes a copy of the picture (the part that fits) and slot becomes its
// owner.
void DrawScrGrid(QImage &pic, const StoredWave &w, double zoom, int slot);
// Makes the grid cache at pic's size (cleared to black).
void CreateGridDC(const QImage &pic);
// Drops the grid cache; its owner stays.
void ReleaseGridDC();
// The graticule step of a full redraw: a window that does not own the cache
// makes it anew at its own size and fills it; the owner draws its graticule
// and copies the cache back over it.
void DrawGraticuleCached(QImage &pic, const StoredWave &w, double zoom, int slot);
