#pragma once
// The data sheet file (".kvd"): one whole data sheet, its name and every item
// of the five kinds with the data it holds, as text lines.
//
// Every value stands alone on its own line, ended by CR LF:
//   text        the characters between double quotes ("Wave0")
//   flag        #TRUE# or #FALSE#
//   integers    decimal digits with a leading "-" when negative
//   floats      "." as decimal separator, the fewest digits that read back
//               to the same value; plain from 1E-04 up to 1E+07 ("0.0005"),
//               exponent form outside ("1E-06", "1.5E+09")
// Line 1 is the header CompanyName + " " + ModelName + " Data Sheet"; then the
// sheet name and the five counts in the order waveform, measure, data table,
// record, memory waveform; then the item records of each kind in that order,
// each followed by its sample blocks where its flags say so (see
// datasheetfile.cpp for the field order of every record).
//
// Texts cannot carry a double quote or a line break in this encoding: the
// writer stores a double quote as ' and a line break as a blank.
//
// Reading: UTF-8 (a BOM dropped), or GB18030 when the bytes are not valid
// UTF-8; lines end in LF or CR LF. Blanks before a value are skipped; a flag
// also accepts a number (non-zero is true); a float may lack the digit before
// the period. A line that cannot be converted to its field's type (or is out
// of the type's range) leaves that field as it was and reading goes on.
//
// A file is refused as a whole, and the sheet left exactly as it was, when the
// header is not this program's (compared case-sensitively), a count lies
// outside its kind's item limit, a data table holds more than 17,000 rows, or
// the file ends before the last value its counts and flags announce.

#include "common/datasheet.h"

#include <QByteArray>
#include <QString>

// Largest file the reader takes; larger ones are refused.
inline constexpr qint64 DataSheetFileMaxBytes = qint64(512) << 20;
// Rows a data table item may hold.
inline constexpr int DataSheetMaxRows = 17000;
// Elements of a row array the reader builds for a waveform item.
inline constexpr int DataSheetWaveArraySize = 65537;
// Logic samples of a memory waveform stored in separate blocks.
inline constexpr int DataSheetLaBlockSize = 524288;

// The header line's text (without quotes).
QString DataSheetFileHeader();

// What the writer and the reader need besides the sheet.
struct DataSheetFileContext {
    bool laPresent = true; // writer: stored in every waveform item as its channel-box layout
};

// The whole file for sheet (its Name, counts and the items of slots
// 0..count-1 of each kind), CR LF line ends, UTF-8 without BOM. Counts
// outside 0..limit are written as the nearest bound.
QByteArray DataSheetFileBytes(const DataSheet &sheet, const DataSheetFileContext &ctx);

enum class DataSheetRead {
    Ok,          // read: sheet holds the file's name, counts and items
    OpenFailed,  // the file could not be read
    BadFormat,   // not a data sheet file, or one outside the format's bounds or cut short
};

// Reads bytes into sheet: Name, the five counts and the records of the slots
// they announce. Members the file does not carry keep what sheet held. Only
// on Ok is sheet changed.
DataSheetRead ParseDataSheet(const QByteArray &bytes, DataSheet &sheet, const DataSheetFileContext &ctx);

// The bytes of the file at path (of a file larger than a data sheet may be,
// only the first bytes beyond that bound, which ParseDataSheet refuses).
// OpenFailed when it cannot be read, with the system's description in error.
DataSheetRead ReadDataSheetBytes(const QString &path, QByteArray *bytes, QString *error = nullptr);

// Reads the file at path (see ParseDataSheet). On OpenFailed, error receives
// the system's description of the failure.
DataSheetRead ReadDataSheetFile(const QString &path, DataSheet &sheet, const DataSheetFileContext &ctx,
                                QString *error = nullptr);

// Writes sheet to path through a save file: the previous file stays whole
// unless the new one is complete. False on failure, with the system's
// description in error.
bool WriteDataSheetFile(const QString &path, const DataSheet &sheet, const DataSheetFileContext &ctx,
                        QString *error = nullptr);
