#pragma once
// The pictures of the eighteen measurements in the measurement table: green
// line drawings on black, 56 x 20 pixels, each a short waveform with the
// quantity of its measurement marked on it (a level line, a double arrow
// over an amplitude or a time, a shaded part of a period), so that each
// measurement can be told from the others at a glance. No window code.

#include <QImage>

inline constexpr int MeasPictureWidth = 56;
inline constexpr int MeasPictureHeight = 20;

// The picture numbered image (1..18, as the measurement definitions number
// them); a null image for any other number.
QImage measurePictureImage(int image);
