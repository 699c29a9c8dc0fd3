#pragma once
// Output of a window's picture (the virtual panel, the waveform window, the
// stored waveform viewer): export as a bitmap file the user names, and print
// or preview on the printer's paper through the picture printer
// (printpicture.h), which tests replace. No widget in this header.

#include "platform/print/printpicture.h"

#include <QImage>
#include <QString>

// Writes picture as a Windows bitmap, whole or not at all: a failed save leaves
// an existing file whole. Returns false with *error set on failure.
bool saveBitmap(const QImage &picture, const QString &path, QString *error);

// Export: asks for a file name ("Export File", "BitMap Files (*.bmp)"; the
// texts of lang, none for a language other than 0 or 1), adds ".bmp" to a
// name typed without a suffix and writes the bitmap. Cancel does nothing; a
// failure shows its description with the critical icon. Returns true when a
// file was written.
bool ExportPanelPicture(const QImage &picture, int lang);

// Print and preview of the picture held in memory, as every picture window
// does them (PrintWindowPicture), as a job named title.
void PrintPanelPicture(const QImage &picture, const QString &title);
void PreviewPanelPicture(const QImage &picture, const QString &title);
