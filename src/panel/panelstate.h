#pragma once
// The virtual front panel's program-wide state (app().panel): the mirror's
// run flags and the two screen buffers, which keep the last frame from one
// opening of the panel to the next. The keyboard's and the panel's loaded
// flags are the shell's (app().shell.KeyboardLoaded, PanelLoaded).

#include <QByteArray>
#include <QtGlobal>

#include <vector>

// The screen image: 320 x 234 pixels, one byte each, and the one byte more a
// read may deliver (the LF), which is never drawn.
inline constexpr int ScreenWidth = 320;
inline constexpr int ScreenHeight = 234;
inline constexpr int ScreenPixels = ScreenWidth * ScreenHeight; // 74880
inline constexpr int ScreenBufferSize = ScreenPixels + 1;      // 74881

struct PanelState {
    qint16 PanelRunning = 0;       // frames are fetched and drawn
    qint16 PanelRefreshActive = 0; // the mirror may go on (false once the panel closes)
    // The last screen image read and its colours: sized by the first frame.
    QByteArray ScreenBytes;
    std::vector<qint32> ScreenColours;
    // Screen replies shorter than the image: the frame was not drawn.
    int ShortScreenReads = 0;
};
