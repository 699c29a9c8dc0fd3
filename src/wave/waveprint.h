#pragma once
// Output of the waveform picture: export as a bitmap file the user names, and
// print or preview through the program's picture printer (platform/print),
// which tests replace. No widget in this header.

#include <QImage>
#include <QString>

// Asks for a file name ("Export File", "BitMap Files (*.bmp)" in the texts of
// lang; none for a language other than 0 or 1), adds ".bmp" to a name typed
// without a suffix and writes the picture as a Windows bitmap, whole or not at all.
// Cancel does nothing; a failure shows its description with the critical
// icon. True when a file was written.
bool ExportWavePicture(const QImage &picture, int lang);

// Writes the picture to the print picture file ("$Print.bmp" in the user's
// cache folder; a failure shows its description with the critical icon),
// then prints or previews the picture itself, held in memory, on the
// printer's paper as a job named title. A failed print or preview shows its
// description (OK, no icon). No error is shown twice.
void PrintWavePicture(const QImage &picture, bool preview, const QString &title);
