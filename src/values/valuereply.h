#pragma once
// Value replies of the instrument: a number, an optional SI prefix letter and
// a unit ("1.234kHz", "2.00mV", "10.0%"). The parsers turn them into numbers
// in base units; each one sets app().values.ValueValid (see ValueValid())
// to -1 when the reply held a value and to 0 otherwise. A reply holding ">",
// "<" or "*" anywhere is not a value. Numbers are read with ReadNumber, so
// always with "." as the decimal point. None of them raises an error.

#include <QString>
#include <QStringView>
#include <QtGlobal>

// The characters before the first line feed or carriage return; the whole
// text when it has neither.
QString CutAtLF(QStringView text);

// The flag of the last parse: -1 when the last reply held a value, 0 otherwise.
qint16 ValueValid();

// Hertz: unit letter "H"; prefixes "G", "M", "k", "m".
double ParseFreq(QStringView reply);
// Volts: unit letter "V"; prefixes "p", "n", "u", "m", "k".
double ParseVolt(QStringView reply);
// Volts: unit letter "V"; prefixes "u", "m", "k", "M".
double ParseVoltM(QStringView reply);
// Seconds: unit letter "s"; prefixes "p", "n", "u", "m".
double ParseTime(QStringView reply);
// Seconds as a plain number text with a decimal exponent: "500.0ns" gives
// "500.000E-9", "2.000s" gives "2.000"; the empty text when the reply holds
// no value.
QString ParseTimeText(QStringView reply);
// A percentage as a fraction: "12.3%" gives 0.123.
double ParsePercentValue(QStringView reply);
