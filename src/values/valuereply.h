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

// The size, in base units (volts, seconds, hertz, divisions), from which a
// number is no value of this instrument's. Its settings stay far below (volts
// up to about 1e6 at a 1000X probe, times up to some thousand seconds, the
// logic channels' packed positions below 2^32), and so do its measurements
// (frequencies and sample rates up to about 1e9 Hz); the largest number the
// program itself ever sends is a typed time or threshold, limited to 1e20. A
// decade above that, whatever the program set reads back as set, while
// "1e308", or "1e600" (which reads as the largest double), is no value.
inline constexpr double MaxValueMagnitude = 1e21;

// True when a value reply holds no value the instrument can mean: it holds
// ">", "<" or "*" (the instrument's marks of a value out of its range, or of
// no value at all), or the number it starts with is not finite or is at least
// MaxValueMagnitude in size. A reply that does not start with a number (a
// word) is judged by those marks alone; an empty reply is not invalid here
// (whether one came is the link's to say).
bool InvalidValueReply(QStringView reply);
// The reply cut at its line end, or the empty text when it is invalid
// (InvalidValueReply): what a reader that keeps its value on an empty reply
// takes.
QString ValidValueReply(QStringView reply);

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
