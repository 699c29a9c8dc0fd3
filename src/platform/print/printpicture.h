#pragma once
// Printing and print preview of a picture window's picture, behind one
// interface that tests replace (no test opens a print or preview window).
//
// One page of 8.5 x 11 inches shows the picture at a fixed place: top 2.0 in,
// 7.28 in by 5.2 in, left 1.1 in for a print and 0.6 in for a preview. The
// picture is handed over from memory.
//
// Each picture window kind keeps at most one print document (an open preview
// is one). A new print or preview from any window releases all of them first
// and keeps its own under its kind; a window's unload releases its kind's.

#include <QImage>
#include <QString>

#include <memory>

class QWidget;

enum class PrintJobKind { StoredWave, Wave, Replay, Spare, Panel };
inline constexpr int PrintJobKindCount = 5;

struct PrintPageLayout {
    double pageWidthIn = 8.5;
    double pageHeightIn = 11.0;
    double leftIn = 1.1;
    double topIn = 2.0;
    double widthIn = 7.28;
    double heightIn = 5.2;
    bool operator==(const PrintPageLayout &) const = default;
};

// The layout of a print (preview false) or a preview.
PrintPageLayout printPageLayout(bool preview);

class PicturePrinter {
public:
    virtual ~PicturePrinter() = default;
    // Prints or previews image laid out as layout and keeps the document under
    // kind. False with a description in *error when it failed.
    virtual bool run(PrintJobKind kind, const QImage &image, const PrintPageLayout &layout, bool preview,
                     QString *error) = 0;
    // Releases the document kept under kind (closes its preview); nothing when none.
    virtual void release(PrintJobKind kind) = 0;
    virtual bool holds(PrintJobKind kind) const = 0;
};

// The printer in force: the Qt one unless a test installs another.
PicturePrinter &picturePrinter();
void setPicturePrinter(PicturePrinter *p); // not owned; nullptr restores the Qt one

// Releases every kind's document, then prints or previews image for kind.
bool printPicture(PrintJobKind kind, const QImage &image, bool preview, QString *error);
void releasePrintJob(PrintJobKind kind);

// The print picture file "$Print.bmp" in the user's cache folder. Every print
// and preview of a picture window rewrites it; it is not deleted afterwards.
QString printPicturePath();
// Writes image to the print picture file as a bitmap, whole or not at all
// (the cache folder is made when missing). False with a description on failure.
bool writePrintPicture(const QImage &image, QString *error);

// What the Print and Preview buttons of every picture window do: rewrite the
// print picture file (a failure shows its description with the critical
// icon), then print or preview image for kind. A print ends by showing the
// last failure of either step once more (OK button, no icon); a preview shows
// nothing more. The message boxes carry the application's title.
void PrintWindowPicture(PrintJobKind kind, const QImage &image, bool preview);

// The Qt printer. A print goes to the system's default printer without a
// dialog (or into a PDF file when one is set); a print whose painter cannot
// start is a failure. A preview opens a window of its own, owned by the modal
// window in front when there is one, so that the preview takes input while
// that window is open.
class QtPicturePrinter final : public PicturePrinter {
public:
    QtPicturePrinter();
    ~QtPicturePrinter() override;
    bool run(PrintJobKind kind, const QImage &image, const PrintPageLayout &layout, bool preview,
             QString *error) override;
    void release(PrintJobKind kind) override;
    bool holds(PrintJobKind kind) const override;

    // Non-empty: prints are written into this PDF file instead of a printer.
    void setOutputPdf(const QString &path) { pdf_ = path; }
    // Non-empty: prints go to the printer of this name instead of the
    // system's default, taken as given (whether it exists shows at the print).
    void setPrinterName(const QString &name) { printerName_ = name; }
    // The preview window of kind while it is open; null otherwise.
    QWidget *previewWindow(PrintJobKind kind) const;

private:
    struct Job;
    std::unique_ptr<Job> jobs_[PrintJobKindCount];
    QString pdf_;
    QString printerName_;
};

// The one Qt printer, in force unless a test installs another.
QtPicturePrinter &qtPicturePrinter();

// The test stand-in: records each run, keeps a flag per kind, and fails when
// told to.
class RecordingPrinter final : public PicturePrinter {
public:
    struct Run {
        PrintJobKind kind;
        QImage image;
        PrintPageLayout layout;
        bool preview;
    };
    bool run(PrintJobKind kind, const QImage &image, const PrintPageLayout &layout, bool preview,
             QString *error) override;
    void release(PrintJobKind kind) override;
    bool holds(PrintJobKind kind) const override;

    QList<Run> runs;
    QString failWith; // non-empty: every run fails with this description
    bool held[PrintJobKindCount] = {};
    int releases = 0;
};
