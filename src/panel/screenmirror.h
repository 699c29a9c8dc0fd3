#pragma once
// The screen mirror of the virtual panel, without the window: reads the
// instrument's screen image (":LCD:DATA?"), converts it through the pixel
// colour tables and composes the picture at 1x (320 x 234) or 2x (640 x 468).
// Frames follow one another on a clock timer as fast as the exchanges allow
// while the mirror runs; the window shows the picture and the buttons.

#include <QImage>

#include <functional>
#include <memory>
#include <vector>

class ClockTimer;

enum class ScreenRead {
    NotRead,  // serial link or link closed: nothing sent, the buffer unchanged
    Complete, // the whole image came; the buffer holds it
    Short,    // the reply ended before the image did: the buffer unchanged
    Failed,   // the write or the read failed; the link showed its message and is lost
};

// One screen read on a connected VISA link: sends ":LCD:DATA?" (with the send's
// pause), reads at most 74881 bytes and pumps events once. Only a reply
// holding the whole image is copied into bytes (which must hold 74881 bytes);
// a short one leaves it as it was, so a frame never mixes two screens.
ScreenRead ReadScreenFrame(QByteArray &bytes);

// The picture of the first 74880 colours (0x00BBGGRR) at zoom 0 (1x) or 1
// (2x: each screen pixel a 2 x 2 block). colours must hold 74880 values.
QImage composeScreen(const std::vector<qint32> &colours, int zoom);

class ScreenMirror {
public:
    ScreenMirror();
    ~ScreenMirror();
    ScreenMirror(const ScreenMirror &) = delete;
    ScreenMirror &operator=(const ScreenMirror &) = delete;

    // Load: zoom 1x, running, the first frame 10 ms later.
    void start();
    // Unload: the mirror stops for good; nothing more is drawn.
    void finish();
    // Run and Stop buttons.
    void run();
    void halt();
    // Zoom button: switches 1x/2x and clears the picture (it keeps its size
    // until the next frame).
    void toggleZoom();

    // One frame: read, convert, compose. True when a new picture was made.
    bool DrawBulkWave();

    int zoom() const { return PanelZoom; }
    bool running() const;
    const QImage &picture() const { return picture_; }

    std::function<void()> onPicture;   // the picture changed (new frame or cleared)
    std::function<void()> onLinkLost;  // a frame found the link lost: close the panel
    std::function<void()> onRunState;  // running() changed

private:
    void loopStep();

    int PanelZoom = 0;
    QImage picture_;
    std::unique_ptr<ClockTimer> frameTimer_;
};
