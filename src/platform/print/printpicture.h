#pragma once
// Printing and print preview of a picture window's picture, behind one
// interface that tests replace (no test opens a print or preview window).
//
// The page is the printer's own paper, portrait. The picture is 7.28 in by
// 5.2 in, centred across the printable area with its top edge 2.0 in below
// the paper's top; on paper whose printable area is smaller it is scaled
// down, keeping its proportion, and moved up as far as it must to stay
// inside. A preview shows the page the print makes. The picture is handed
// over from memory; the print job is named after the window's caption.
//
// Each picture window kind keeps at most one print document (an open preview
// is one). A new print or preview from any window releases all of them first
// and keeps its own under its kind; a window's unload releases its kind's.

#include <QImage>
#include <QRectF>
#include <QString>

#include <functional>

#include <memory>

class QPageLayout;
class QPageSize;
class QPrinter;
class QWidget;

enum class PrintJobKind { StoredWave, Wave, Replay, Spare, Panel };
inline constexpr int PrintJobKindCount = 5;

// The picture's box as wished for, in inches: its size and the distance of
// its top edge from the paper's top.
struct PrintPageLayout {
    double topIn = 2.0;
    double widthIn = 7.28;
    double heightIn = 5.2;
    bool operator==(const PrintPageLayout &) const = default;
};

// The layout of every print and preview.
PrintPageLayout printPageLayout();

// Where the picture goes on a page of page: in points (1/72 in) from the
// paper's top-left corner, inside the printable area (the paper less the
// larger of the layout's margins and the printer's least ones).
QRectF pictureBoxOnPage(const QPageLayout &page, const PrintPageLayout &l);

// One print or preview as the picture windows ask for it.
struct PrintRequest {
    PrintJobKind kind = PrintJobKind::Spare;
    QImage image;
    PrintPageLayout layout;
    bool preview = false;
    QString title; // the job's name: the caption of the window that prints
};

class PicturePrinter {
public:
    virtual ~PicturePrinter() = default;
    // Prints or previews the request's image laid out as its layout and keeps
    // the document under its kind. False with a description in *error when it
    // failed. *destination gets the name of the printer the page goes to (the
    // file's path when it is written into a file), whether it went or not.
    virtual bool run(const PrintRequest &request, QString *error, QString *destination) = 0;
    // Releases the document kept under kind (closes its preview); nothing when none.
    virtual void release(PrintJobKind kind) = 0;
    virtual bool holds(PrintJobKind kind) const = 0;
};

// The printer in force: the Qt one unless a test installs another.
PicturePrinter &picturePrinter();
void setPicturePrinter(PicturePrinter *p); // not owned; nullptr restores the Qt one

// Releases every kind's document, then prints or previews image for kind as
// a job named title. A print's end is told through the print notice: where
// the page went, or that it did not.
bool printPicture(PrintJobKind kind, const QImage &image, bool preview, const QString &title, QString *error);

// Where a print tells its end (the main window's status bar); a text in the
// language in force. Empty: told nowhere but the failure's message.
void setPrintNotice(std::function<void(const QString &)> notice);
void releasePrintJob(PrintJobKind kind);

// The print picture file "$Print.bmp" in the user's cache folder. Every print
// and preview of a picture window rewrites it; it is not deleted afterwards.
QString printPicturePath();
// Writes image to the print picture file as a bitmap, whole or not at all
// (the cache folder is made when missing). False with a description on failure.
bool writePrintPicture(const QImage &image, QString *error);

// What the Print and Preview buttons of every picture window do: rewrite the
// print picture file (a failure shows its description with the critical
// icon), then print or preview image for kind as a job named title. A print
// ends by showing the last failure of either step once more (OK button, no
// icon); a preview shows nothing more. The message boxes carry the
// application's title.
void PrintWindowPicture(PrintJobKind kind, const QImage &image, bool preview, const QString &title);

// The Qt printer. A print goes to the system's default printer without a
// dialog (or into a PDF file when one is set); a print whose painter cannot
// start is a failure. A preview opens a window of its own, owned by the modal
// window in front when there is one, so that the preview takes input while
// that window is open. The picture is drawn smoothly scaled, and the preview
// opens at a zoom where every pixel of the picture takes at least one pixel
// of the screen, showing the picture.
class QtPicturePrinter final : public PicturePrinter {
public:
    QtPicturePrinter();
    ~QtPicturePrinter() override;
    bool run(const PrintRequest &request, QString *error, QString *destination) override;
    void release(PrintJobKind kind) override;
    bool holds(PrintJobKind kind) const override;

    // Valid: the paper of the PDF file (see setOutputPdf); otherwise the PDF
    // file gets the paper a printer of this system is given by default.
    void setPdfPaper(const QPageSize &paper);
    // Non-empty: prints are written into this PDF file instead of a printer.
    void setOutputPdf(const QString &path) { pdf_ = path; }
    // Non-empty: prints go to the printer of this name instead of the
    // system's default, taken as given (whether it exists shows at the print).
    void setPrinterName(const QString &name) { printerName_ = name; }
    // The preview window of kind while it is open; null otherwise.
    QWidget *previewWindow(PrintJobKind kind) const;
    // The printer of the document kept under kind; null when none is kept.
    const QPrinter *jobPrinter(PrintJobKind kind) const;

private:
    struct Job;
    std::unique_ptr<Job> jobs_[PrintJobKindCount];
    QString pdf_;
    QString printerName_;
    std::unique_ptr<QPageSize> pdfPaper_;
};

// The one Qt printer, in force unless a test installs another.
QtPicturePrinter &qtPicturePrinter();

// The test stand-in: records each run, keeps a flag per kind, names its
// destination, and fails when told to.
class RecordingPrinter final : public PicturePrinter {
public:
    using Run = PrintRequest;
    bool run(const PrintRequest &request, QString *error, QString *destination) override;
    void release(PrintJobKind kind) override;
    bool holds(PrintJobKind kind) const override;

    QList<Run> runs;
    QString failWith; // non-empty: every run fails with this description
    QString destination = QStringLiteral("Recording printer");
    bool held[PrintJobKindCount] = {};
    int releases = 0;
};
