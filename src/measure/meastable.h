#pragma once
// The measurement table of a measure item as its window shows it: the three
// orders of the eighteen measurements (index order of the records, row order
// of the window and the export, list order of the limits dialog and of the
// measurement names), the limit texts of each kind, and the pass/fail
// evaluation that fills the rows and stores each verdict in the record.
// No window code: the window puts these rows into its list.

#include "common/measdoc.h"
#include "values/valueeditors.h"

#include <QString>

#include <array>

// Index (MeasIndex) of the measurement shown in window row row (0 = top);
// -1 outside 0..17.
int measIndexOfRow(int row);
// Index of the measurement at position pos of the limits dialog's list (the
// order of the measurement names); -1 outside 0..17.
int measIndexOfListPosition(int pos);
// Position in the limits dialog's list (and number of its name) of index;
// -1 outside 0..17.
int measListPositionOfIndex(int index);
// The display name of index in the current language.
QString measNameOfIndex(int index);
// The index whose current-language name is exactly name; -1 when none.
int measIndexOfName(const QString &name);
// The value kind of index (Volt for an index out of range).
MeasKind measKindOfIndex(int index);

// A stored limit as the table, the export and the limits dialog show it:
// number text, unit position and the two joined ("150.000mV").
EditorText ShowLimit(MeasKind kind, double limit);
// Parses a reading of the kind into its base unit; sets ValueValid.
double ParseMeasValue(MeasKind kind, const QString &value);

struct VerdictTexts {
    QString underLimit; // reading below the lower limit
    QString overLimit;  // reading above the upper limit
    QString pass;
    QString invalid;    // reading that is not a value
};
// The verdicts of lang (0 Chinese, 1 English); all empty for any other lang.
VerdictTexts verdictTexts(int lang);

struct MeasRowText {
    int index = 0;   // MeasIndex of the row's measurement
    int image = 0;   // its picture, 1..18
    QString name;    // display name, current language
    QString value;   // Value as stored
    QString under;   // lower limit text; empty when not judged
    QString over;    // upper limit text; empty when not judged
    QString verdict; // pass/fail text; empty when not judged
};

using MeasRows = std::array<MeasRowText, MeasCount>;

// The layout of the table's five columns in a list whose inside is width
// pixels wide, when each column's caption and texts need needs[c] pixels
// (the Type column: its picture beside the widest measurement name).
struct MeasColumnLayout {
    std::array<int, 5> widths{};  // Type, Value, Under Limit, Over Limit, Pass&Fail
    int pictureWidth = 56;        // the pictures' size in the Type column (56 x 20)
    int pictureHeight = 20;
};
// Every column takes at least what it needs, so that no caption or value is
// cut; the room left over (width less a 13-pixel margin) goes to the
// narrowest columns first, so that columns that need little end up equal.
// A list too narrow for the needs scrolls sideways.
MeasColumnLayout measColumnLayout(int width, const std::array<int, 5> &needs);

// The rows of doc in window order, judged with the verdicts of lang: a
// measurement with a reading and Enabled shows its limits and its verdict
// (limits inclusive; the lower limit is tested first); every other row shows
// only name and value. Writes each measurement's Result (empty when not
// judged).
MeasRows DispMeasureRows(MeasDoc &doc, int lang);
// The eighteen names alone, in window order.
MeasRows StartDispMeasureRows();
