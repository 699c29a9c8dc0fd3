#pragma once
// Unit ladders: a number (given as text, read with ReadNumber) becomes a few
// digits and a unit whose SI prefix follows the magnitude. Every ladder
// reduces the number to single precision and makes all its band comparisons
// in single precision; FormatPerDiv alone computes in double precision. The
// decimal point is always ".". None of them keeps state or changes its
// arguments.

#include <QString>
#include <QStringView>

// Volts, three significant digits: "MV", "kV", "V", "mV", "uV";
// "??.?V" at 9999900 V and above and at -999990 V and below, "0.00uV" near zero.
QString FormatVolt(QStringView volts);

// Seconds, three, four or five significant digits: "s", "ms", "us", "ns",
// "ps"; no overflow text; "0.00s", "0.000s" or "0.0000s" near zero.
QString FormatTime3(QStringView seconds);
QString FormatTime4(QStringView seconds);
QString FormatTime5(QStringView seconds);

// Hertz, four significant digits: "GHz", "MHz", "kHz", "Hz", "mHz";
// "??.???" from 999999990000 Hz up and below 0.00099999999 Hz (zero and
// every negative value).
QString FormatFreq(QStringView hertz);

// Decibels with "dB"; "****dB" at 9999.9 and above, "-****dB" at -9999.9 and below.
QString FormatDecibel(QStringView decibels);

// A fraction as percent (0.05 -> "5.00%", 0.5 -> "50.0%").
QString FormatPercent(QStringView fraction);

// value / scale in divisions with "div" (0.5 over 0.2 -> "2.50div"). A scale
// that reads as 0 (the AC-line trigger source has scale 0, an unreadable
// text reads as 0) or a quotient that FormatDivisions does not write gives
// the empty text.
QString FormatPerDiv(QStringView value, QStringView scale);

// Divisions are written only below this magnitude. A level or a sensitivity
// lies within some hundreds of divisions of the screen's centre (the level's
// range is the screen and a few divisions around it, moved by at most the
// offset, itself some hundreds of divisions at the finest volts/div); no
// screen shows a million divisions, and the text of such a number (a level
// of 1e308 V at 1 V/div) would run to hundreds of digits.
inline constexpr double MaxShownDivisions = 1e6;

// A number of divisions written "#0.00div" (0.3 -> "0.30div"); the empty text
// when it is not finite or its magnitude reaches MaxShownDivisions.
QString FormatDivisions(double divisions);
