#pragma once
// The number texts every other value routine rests on: reading a number out
// of a text, writing a number through a digit pattern, and the plain text of
// a number used inside commands. All three use "." as the decimal point,
// whatever the user's locale: these texts are stored, sent to the
// instrument and read back.

#include <QString>
#include <QStringView>

// Reads the number at the start of a text, leniently: blanks, tabs and line
// feeds are skipped wherever they stand; an optional sign, digits, an
// optional "." with digits and an optional exponent ("E" or "e" and a signed
// integer) are read; reading stops at the first other character. A text
// without a leading number reads as 0. A magnitude beyond the range of a
// double reads as the largest double of that sign, one too small as 0: the
// result is never infinite and never NaN.
double ReadNumber(QStringView text);

// Writes a number through a digit pattern:
//   "0" in the integer part   one digit always shown (leading zeros pad to the count of "0")
//   "#" in the integer part   a digit shown only when significant; integer digits beyond
//                             the pattern are all shown ("###" writes 12345.6 as 12346)
//   "." then "0"s and "#"s    decimals: each "0" always shown, each "#" shown when it
//                             is not a trailing zero
//   trailing "%"              the value is multiplied by 100 first; "%" follows the digits
//   other trailing letters    written as they stand after the digits ("dB")
// The value is first taken to 15 significant digits, then rounded to the
// pattern's decimals, an exact half away from zero. A negative value is
// written with "-" (not when it rounds to zero). The decimal separator is
// always ".". NaN and infinities give the empty text.
QString ApplyNumberPattern(double value, QStringView pattern);
// The same text followed by unit ("kV"); the empty text when value is not finite.
QString ApplyNumberPattern(double value, QStringView pattern, QStringView unit);

// The plain, locale-free text of a number: a blank for a non-negative number
// or "-" for a negative one, then up to 15 significant digits without
// trailing zeros, "." as decimal point and no "0" before the point when the
// magnitude is below 1 (0.2 -> " .2", -0.25 -> "-.25", 1 -> " 1").
// Magnitudes of 1E+15 and above, or below 1E-10, take an exponent form
// (" 1E-15", " 1.5E+20"). NaN and infinities give the empty text. Callers
// that need no blank trim it.
QString NumberText(double value);
