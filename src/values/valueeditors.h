#pragma once
// Value editors and plain number texts.
//
// The editor fillers choose, for a value in base units, the number shown in
// an editor's text box (pattern "0.000", percent "0.00"; "???.?" out of
// range) and the position of its unit in the editor's unit list; the
// result is the number followed by the unit word of that position. The unit
// lists are filled by the caller in this order:
//   volts    0 "MV"   1 "kV"   2 "V"   3 "mV"   4 "uV"
//   hertz    0 "GHz"  1 "MHz"  2 "KHz" 3 "Hz"   4 "mHz"
//   seconds  0 "ps"   1 "ns"   2 "us"  3 "ms"   4 "s"
//   percent  0 (one unit; the result ends in "%")
// The fillers are pure; ApplyToEditor puts their choice into a text box and
// a list (any types with setText(QString) and setCurrentIndex(int)), so this
// header needs no window code.
//
// The plain number texts write a time or a voltage with all its significant
// digits and a lower-case unit, the way the instrument accepts them in a
// command. All texts use "." as decimal point, whatever the locale.

#include <QString>

struct EditorText {
    QString text;     // what the text box shows
    int position = 0; // the unit list position selected
    QString result;   // text followed by the unit word of that position
};

EditorText ShowVoltInEditor(double volts);
EditorText ShowFreqInEditor(double hertz);
EditorText ShowTimeInEditor(double seconds);
EditorText ShowPercentInEditor(double fraction);

// Puts a filler's choice into the controls and returns its result.
template <class TextBox, class UnitList>
QString ApplyToEditor(TextBox &box, UnitList &list, const EditorText &shown)
{
    box.setText(shown.text);
    list.setCurrentIndex(shown.position);
    return shown.result;
}

// Seconds with a unit: up to 1e-9 s (zero and negative values included)
// in "ns", up to 1e-6 s in "us", up to 1e-3 s in "ms", above in "s";
// 0.0005 -> "0.5ms", 2 -> "2.0s". NaN and infinities give the empty text.
QString TimeToPlainText(double seconds);
// Volts the same way with "nv", "uv", "mv", "v"; 2.5 -> "2.5v".
QString VoltToPlainText(double volts);
// The text sent in a command: the same text as TimeToPlainText.
QString TimeToCommandText(double seconds);
