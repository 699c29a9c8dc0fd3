#pragma once
// The numbers of the setting dialog: what a typed number must look like, the
// text a number is written back into the entry and sent to the instrument
// with, and the limits that keep a typed value in range. Every text uses "."
// as the decimal point, whatever the user's locale.

#include <QString>

// The one rule for a typed number: optional blanks, an optional sign,
// digits with at most one "." (at least one digit), an optional exponent
// ("e" or "E", an optional sign, digits), optional blanks. "1,5", "&H1F",
// "$5", "5m", "1e" and the empty text are refused, and so is a number beyond
// the range of a double. On success *value holds the number.
bool ReadTypedNumber(const QString &text, double *value);

// A number in the general form: up to 15 significant digits, no trailing
// zeros, no grouping; plain digits from 0.0001 up to below 1E+15
// ("0.005", "-1.5", "400000"), an exponent of at least two digits outside
// that range ("1E-05", "5E-12", "1.5E+20"). Zero gives "0"; NaN and infinities
// give the empty text.
QString GeneralNumberText(double value);

// x limited to -limit .. limit, the comparison made with x rounded to single
// precision; a magnitude beyond single precision is limited by its sign.
// Inside the bounds x keeps its double value.
double LimitBySingle(double x, float limit);

// The limit of typed times and of the logic threshold: 1e20 in single
// precision (100000002004087734272).
inline constexpr float TypedTimeLimit = 1e20f;
// The limit of a typed channel offset, in volts.
inline constexpr float TypedOffsetLimit = 400000.0f;
