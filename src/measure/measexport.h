#pragma once
// The measurement export file: a measure item as tab-separated text that a
// spreadsheet opens as a table. Lines end in CR LF; UTF-8 without a byte-order
// mark; fields are neither quoted nor escaped, and every text is written up to
// its first CR or LF, so that no line break stands inside a line.
//   1      the maker's name and " -[Measure]"
//   2-5    empty
//   6      the item's info line
//   7      empty
//   8      the header (always the Chinese words)
//   9-26   one row per measurement in window order: name, value, lower and
//          upper limit (only when Enabled), result
// No window code.

#include "common/measdoc.h"

#include <QByteArray>
#include <QString>

// The file's bytes for doc, names in the current language.
QByteArray MeasureExportText(const MeasDoc &doc);

// Writes the export of slot (0..17) of the data sheet to path through a
// save file: the previous file stays whole when anything fails. On failure
// returns false with the system's description in *error. Changes no record.
bool WriteMeasureExport(const QString &path, int slot, QString *error = nullptr);
