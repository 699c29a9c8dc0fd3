#pragma once
// Output of the panel's picture: export as a bitmap file the user names, and
// print or preview on a US Letter page. Printing goes through a replaceable
// printer so that tests never open the print or preview window; the program
// uses Qt's printer and preview dialog. No widget in this header.

#include <QImage>
#include <QString>

// Page and picture box, in inches from the page's top left corner.
inline constexpr double PrintPageWidthIn = 8.5;
inline constexpr double PrintPageHeightIn = 11.0;

struct PrintBox {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// The panel picture's box: left 0.6 in for the preview, 1.1 in on paper; top
// 2.0 in; 7.28 x 5.2 in at either zoom.
PrintBox panelPrintBox(bool preview);

class PicturePrinter {
public:
    virtual ~PicturePrinter() = default;
    // Prints picture into box. Returns false with *error set when printing
    // failed; a print dialog the user cancelled is no failure (true).
    virtual bool print(const QImage &picture, const PrintBox &box, QString *error) = 0;
    // Shows the page in a preview window (from which the user may print).
    virtual void preview(const QImage &picture, const PrintBox &box) = 0;
};

// The printer in force: Qt's unless a test installs another.
PicturePrinter &picturePrinter();
void setPicturePrinter(PicturePrinter *p); // not owned; nullptr restores Qt's

// The print picture file "$Print.bmp" in the user's cache folder.
QString printPicturePath();

// Writes picture as a Windows bitmap through QSaveFile: a failed save leaves
// an existing file whole. Returns false with *error set on failure.
bool saveBitmap(const QImage &picture, const QString &path, QString *error);

// Export: asks for a file name ("Export File", "BitMap Files (*.bmp)"; the
// texts of lang, none for a language other than 0 or 1), takes it as typed and
// writes the bitmap. Cancel does nothing; a failure shows its description with
// the critical icon. Returns true when a file was written.
bool ExportPanelPicture(const QImage &picture, int lang);

// Print and preview: rewrite the print picture file (a failure shows its
// description, critical icon), then print or preview the picture held in
// memory. A failed print shows its description (OK, no icon).
void PrintPanelPicture(const QImage &picture);
void PreviewPanelPicture(const QImage &picture);
