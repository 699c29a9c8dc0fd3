#pragma once
// The control file (".rmt"): the whole settings record as text lines, so that
// a set of instrument settings can be saved and opened again.
//
// Layout: 194 lines, each a double quote, the text, a double quote and CR LF
// (the last line too). Line 1 is the header CompanyName + " " + ModelName +
// " Controller"; lines 2..194 hold the record's members in record order, the
// four arrays as their elements 1..16 (D15 first), except LASizeHi and
// LASizeLo, which the file does not keep. Texts are written as UTF-8 without
// BOM, exactly as the record holds them: display words stay in the language
// they were saved in, and reading translates nothing (the Open command
// brings them into the language in force).
//
// Reading: the bytes are decoded as UTF-8 (a leading BOM is dropped), or as
// GB18030 when they are not valid UTF-8. Lines end in LF, CR LF or CR. The
// first field must equal the header exactly. Then one field per member: blanks
// before a field are skipped; a field that starts with a double quote ends at
// the next double quote or at its line's end, whichever comes first, and the
// reader then moves past the next comma or line end; any other field ends at
// the next comma or line end. A file that ends early fills the members it has
// and leaves the rest as they were.

#include "common/ctrlsettings.h"

#include <QByteArray>
#include <QString>

// Lines of a complete control file, header included.
inline constexpr int ControlFileLines = 194;
// Larger files are not control files and are refused as badly formed.
inline constexpr qint64 ControlFileMaxBytes = 1 << 20;

// The header line's text (without quotes).
QString ControlFileHeader();

// The whole file for settings, CR LF line ends, UTF-8.
QByteArray ControlFileBytes(const CtrlSettings &settings);

enum class ControlFileRead {
    Ok,          // the header matched; members read (all, or as many as the file has)
    OpenFailed,  // the file could not be read
    BadHeader,   // the first field is not the header, or the file is too large
};

// Reads the members of bytes into settings. Only on Ok is anything written;
// on BadHeader settings is untouched. fieldsRead, when given, receives the number of
// members stored (0..193).
ControlFileRead ParseControlFile(const QByteArray &bytes, CtrlSettings &settings, int *fieldsRead = nullptr);

// Reads the file at path into settings (see ParseControlFile). On OpenFailed,
// error receives the system's description of the failure.
ControlFileRead ReadControlFile(const QString &path, CtrlSettings &settings, QString *error = nullptr);

// Writes settings to path through a save file: the previous file stays whole
// unless the new one is complete. False on failure, with the system's
// description in error.
bool WriteControlFile(const QString &path, const CtrlSettings &settings, QString *error = nullptr);
