#pragma once
// The time column of the exports (the data table and the stored waveform's
// CSV): times in scientific notation with as many significant digits as it
// takes for two consecutive samples never to read the same, and never fewer
// than three.
//
// Form, whatever the count of digits: one digit before the point, digits - 1
// after it, the letter E and an exponent of at least two digits. A time of 1
// or more always writes the exponent's sign ("1.25E+01"), any other time only
// a minus ("5.00E-01", "-2.50E00"); zero is "0.00E00" (as many zeros after the
// point as the digits ask). The mantissa is rounded half away from zero. The
// decimal point is always ".", whatever the locale (a CSV field separator is
// ","). A time that is not finite gives the empty text.

#include <QString>

inline constexpr int SampleTimeMinDigits = 3;
inline constexpr int SampleTimeMaxDigits = 15;
// The longest text: sign, 15 digits, point, "E", exponent sign, three digits.
inline constexpr int SampleTimeMaxChars = 22;

// The significant digits (SampleTimeMinDigits .. SampleTimeMaxDigits) for a
// column whose times lie between first and last (either order) and follow
// each other at step seconds. A single time (first equal to last), or a step
// that is zero, negative or not finite, gives the minimum.
int SampleTimeDigits(double first, double last, double step);

// Writes t with digits significant digits (bounded to the range above) at
// out, which has room for SampleTimeMaxChars characters; returns the end.
char *PutSampleTime(char *out, double t, int digits);

// The same as a text.
QString SampleTimeText(double t, int digits);
