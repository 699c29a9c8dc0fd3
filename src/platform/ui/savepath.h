#pragma once
// The file a save dialog's answer stands for. A name typed without a dot
// gets the suffix ("a" becomes "a.bmp"); a name with a dot anywhere ("a.png",
// "a.", ".a") is kept as typed, as the save dialog keeps it when it checks
// for a file to replace. The program's document saves and its exports
// follow this one rule.

#include "platform/ui/ui.h"

#include <QString>

// The suffix of a filter's first pattern: "BitMap Files (*.bmp)" and
// "(*.csv)" give "bmp" and "csv"; a pattern with no suffix of its own ("*",
// "*.*") gives none.
QString FilterSuffix(const QString &filter);

// path with "." and suffix added when its file name holds no dot; path
// itself when it holds one or suffix is empty.
QString PathWithSuffix(const QString &path, const QString &suffix);

// The answer's path with the suffix of the filter the user chose.
QString ChosenSavePath(const FileDialogResult &answer);
