#pragma once
// The waveform window's zoom and layout, free of any widget: reading a zoom
// text, the best-fit zoom, and where the picture container, the picture, the
// scroll bars and the progress box go for a window size.
//
// The window's own sizes are in twips (15 to a pixel); the picture and its
// container measure in pixels.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringView>

#include <optional>

inline constexpr double ZoomFloor = 0.01;   // 1 %
inline constexpr double ZoomCeiling = 10.0; // 1000 %: a larger picture is refused
inline constexpr int TwipsPerPx = 15;
inline constexpr int ScrollBarTwips = 255; // the picture's scroll bars are 17 pixels thick

// The number of percent a zoom text typed into a zoom box stands for: a
// number, optionally followed by "%", with blanks around either. The number
// may have a sign, digits with at most one ".", and an exponent ("1.5e2");
// nothing else (no thousands separators, no comma). Nothing for any other
// text or a number out of range.
std::optional<double> ParseZoomPercent(QStringView text);

// The zoom factor of the waveform window's zoom text (ParseZoomPercent / 100),
// raised to the floor of 1 %; nothing for an invalid text or a zoom above
// 1000 %.
std::optional<double> ParseZoomText(QStringView text);

// The zoom box's text of a zoom factor: the percentage with no decimals
// (1.5 -> "150%").
QString ZoomText(double zoom);

// The best-fit zoom for a container of width x height pixels: the smaller of
// width / 350 (single precision) and height / 250, at least 1 %.
double BestFitZoom(int width, int height);

// The list of the zoom box.
inline constexpr const char *ZoomChoices[] = {"50%", "75%", "100%", "125%", "150%",
                                             "200%", "250%", "300%", "400%", "500%"};
inline constexpr int ZoomChoiceAtLoad = 4; // "150%"

struct WaveLayoutInput {
    QSize client;          // the window's client area, twips
    int columnTwips = 1100; // the control column left of the container
    QRect previousBackPic; // the container's place before, twips
    bool sizePicture = false; // the window has initialised (it may size and draw)
    bool bestFit = false;
    double zoom = 1.0;
    QSize previousPicture; // pixels, kept when the picture is not sized
};

struct ScrollBarPlace {
    bool shown = false;
    QRect rect;            // twips, relative to the window
    int largeChange = 1;
};

struct WaveLayout {
    QRect backPic;         // twips
    double zoom = 1.0;     // best fit sets it
    bool zoomFromBestFit = false; // the zoom box shows ZoomText(zoom) and is disabled
    QSize picture;         // pixels
    ScrollBarPlace hBar, vBar;
    double hScrollRange = 0.0; // pixels the picture is wider than what the bars leave in view (when hBar is shown)
    int vScrollRange = 0;      // pixels it is taller (when vBar is shown)
};

// The layout and sizing steps of a resize, scrolled home.
WaveLayout layoutWaveWindow(const WaveLayoutInput &in);

// The progress box's top-left corner inside the container: its right edge 7
// pixels right of the graticule's right edge, its bottom 1 pixel above the
// graticule's top line.
inline constexpr QSize ProgressBoxSize{135, 19};
QPoint progressBoxPlace(QPoint picture, double zoom);

// The picture's offset for a scroll bar value 0..100.
double hScrollOffset(int value, double range);
int vScrollOffset(int value, int range);
