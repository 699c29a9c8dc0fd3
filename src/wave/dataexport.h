#pragma once
// The data table export file: one data table item as tab-separated text that
// a spreadsheet opens as a table. The same text whatever name or extension
// the user chose. Lines end in CR LF; UTF-8 without a byte-order mark; fields
// are neither quoted nor escaped.
//   1      the maker's name and " -[Data]"
//   2-4    empty
//   5      the item's info line
//   6-7    empty
//   8      "NO." TAB "Time" TAB "Voltage"
//   9      empty
//   10...  one line per row k = 1..RowCount: " k " TAB time text TAB voltage
//          text (the texts as stored)
// Every text is written up to its first CR or LF, so that no line break
// stands inside a line. Nothing follows the last row. No window code.

#include "common/wavedoc.h"

#include <QByteArray>
#include <QString>

// The file's bytes for doc, whether or not it holds data. A row whose text
// the arrays do not hold is written empty.
QByteArray DataTableExportText(const DataDoc &doc);

// Writes the export of slot (0..17) of the data sheet to path through a save
// file: a failure at any point (the folder, the disk filling up, a size limit)
// leaves the previous file whole and returns false with the system's
// description in *error. No extension is added. Changes no record.
bool ExportDataTable(const QString &path, int slot, QString *error = nullptr);
