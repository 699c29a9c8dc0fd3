#pragma once
// Program-wide state of the stored waveform viewer: the grid cache shared by
// every viewer window.

#include <QImage>

struct StoredWaveState {
    // The grid cache: one off-screen copy of a finished viewer graticule,
    // shared by all viewer windows; a null image means no cache. It keeps the
    // size of the picture it was made for until it is released.
    QImage GridCache;
    // Slot of the window whose graticule was last copied into the cache.
    quint8 GridCacheOwner = 0;

    // The last graticule painted, with what it was painted from: painting
    // the same one again is a copy of its pixels.
    struct PaintedGraticule {
        QImage pixels;
        bool colorMode = false;
        bool gridShown = false;
        bool splitScreen = false;
        double zoom = 0.0;
    } LastGraticule;
};
