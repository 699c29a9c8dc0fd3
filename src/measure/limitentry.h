#pragma once
// Limit entry of the pass/fail limits dialog: the unit list of each kind of
// measurement, the test of a typed number, and the conversion of a number
// text with the unit picked beside it into a limit in base units. No window
// code.

#include "common/measdoc.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// The units a limit of kind can be typed in, positions 0 to 4 (percent: one).
//   volt      "MV" "kV" "V" "mV" "uV"
//   frequency "GHz" "MHz" "kHz" "Hz" "mHz"
//   time      "ps" "ns" "us" "ms" "s"
//   percent   "%"
QStringList limitUnits(MeasKind kind);

// The factor that turns a number in unit position pos of kind into the base
// unit (percent: 0.01); 0 for a position the kind's list does not have.
double limitUnitFactor(MeasKind kind, int pos);

// True when text is a plain number: an optional sign (when allowSign),
// digits with at most one decimal point (at least one digit), and an
// optional exponent ("e" or "E", an optional sign, digits). Nothing else,
// blanks included.
bool IsLimitNumber(QStringView text, bool allowSign = true);

// True when text can still become a plain number (IsLimitNumber) by typing
// more after it: empty, a sign, a point, "1e", "1e-", "-." ... as well as
// every number itself.
bool IsLimitNumberPrefix(QStringView text, bool allowSign = true);

// What a limit box's text asks for.
enum class LimitInput {
    Ignore,  // nothing to do: empty, or a text on its way to a number
    Store,   // a number: store it
    Invalid, // anything else: tell the user and empty the box
};
// The whole text judged, where a number must stand (a unit picked, the box
// left, OK): empty and a lone "-" (a negative number begun) are ignored, a
// number (after that "-", without a second sign) is stored, anything else is
// invalid.
LimitInput ClassifyLimitInput(const QString &text);
// The text after a keystroke: a number is stored, and a text that can still
// become one (".", "1e", "1e-", "-.") is ignored while it is typed; only a
// text that no typing can make a number ("abc", "1x", "1.2.") is invalid.
LimitInput ClassifyLimitTyping(const QString &text);

// The limit in base units of a number text typed with unit position pos of
// kind's list: the number times the unit's factor ("1.5" with "mV" gives
// 0.0015, "12.5" with "%" gives 0.125, "5." with "V" gives 5). A text that is
// not a number, or a position outside the list, gives 0.
double ConvertLimitText(MeasKind kind, const QString &number, int pos);
