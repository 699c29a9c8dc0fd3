#pragma once
// Constants shared by every part of the program: raw levels, screen
// geometry, block sizes, the banner strings and the trace colours.

#include <QColor>
#include <QString>

// Raw levels: one unsigned byte per point as the instrument sends it. Level
// Top is the top graticule line, Centre the centre line, Bottom the bottom
// line; PerDiv levels make one vertical division over Divs divisions.
// Analog levels are limited to Top..AnalogMax and stored as level - Top, so
// stored rows run 0..RowMax, 0 at the top line.
namespace RawLevel {
inline constexpr int Top = 25;
inline constexpr int Centre = 125;
inline constexpr int Bottom = 225;
inline constexpr int PerDiv = 25;
inline constexpr int Divs = 8;
inline constexpr int AnalogMax = 224;
inline constexpr int RowMax = AnalogMax - Top; // 199
} // namespace RawLevel

// Screen geometry at zoom 1: a graticule of HorizontalDivs x VerticalDivs
// divisions of PixelsPerDiv pixels (GraticuleWidth x GraticuleHeight) inside a
// Margin-pixel margin (picture PictureWidth x PictureHeight). Points points
// per screen, PointsPerDiv per horizontal division, two per screen column.
// Printing redraws the picture at PrintZoom.
namespace Screen {
inline constexpr int HorizontalDivs = 12;
inline constexpr int VerticalDivs = 8;
inline constexpr int PixelsPerDiv = 25;
inline constexpr int Margin = 25;
inline constexpr int GraticuleWidth = HorizontalDivs * PixelsPerDiv; // 300
inline constexpr int GraticuleHeight = VerticalDivs * PixelsPerDiv; // 200
inline constexpr int PictureWidth = GraticuleWidth + 2 * Margin;    // 350
inline constexpr int PictureHeight = GraticuleHeight + 2 * Margin;  // 250
inline constexpr int Columns = GraticuleWidth;                      // 300
inline constexpr int Points = 600;
inline constexpr int PointsPerDiv = Points / HorizontalDivs;        // 50
inline constexpr int PrintZoom = 2;
} // namespace Screen

// Sizes of the instrument's binary answers. A waveform block is its levels
// followed by one more byte; the screen image is one byte per pixel.
namespace BlockBytes {
inline constexpr int Analog = 601;  // CHANNEL1, CHANNEL2, MATH
inline constexpr int FFT = 513;
inline constexpr int Digital = 1201;
inline constexpr int Setup = 116;
inline constexpr int ScreenImageWidth = 320;
inline constexpr int ScreenImageHeight = 234;
inline constexpr int ScreenImage = ScreenImageWidth * ScreenImageHeight; // 74880
} // namespace BlockBytes

// Banner strings: file headers, export titles, the controller tree root.
inline const QString CompanyName = QStringLiteral("Karvo Technologies,Inc.");
inline const QString ModelName = QStringLiteral("QM4100D");

// Trace colours of every drawing window.
inline const QColor CH1Color{255, 255, 0};      // yellow
inline const QColor CH2Color{0, 255, 255};      // cyan
inline const QColor MathColor{128, 0, 255};     // purple
inline const QColor LAColor{0, 255, 0};         // green
inline const QColor LASelectedColor{255, 0, 0}; // red
