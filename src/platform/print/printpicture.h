#pragma once
// Printing and print preview of a picture window's picture, behind one
// interface that tests replace (no test opens a print or preview window).
//
// The page is the paper of the printer the page goes to: what Page Setup
// chose for that printer, otherwise the paper its queue is given by default,
// portrait. The picture is 7.28 in by
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

// The printers a print can go to, as the print layer finds them. The Qt
// printer asks the system's (Qt's list of the machine's printers) unless
// another list is installed: tests install stand-ins, so that no test ever
// reaches a printer of the machine.
class PrinterList {
public:
    virtual ~PrinterList() = default;
    // The printer a print goes to when none is named; empty when there is none.
    virtual QString defaultPrinter() const = 0;
    virtual bool exists(const QString &name) const = 0;
    // The paper the printer's queue is given by default; invalid when it
    // tells none.
    virtual QPageSize defaultPaper(const QString &name) const = 0;
    // Aims printer at the printer of this name (one that exists). For a
    // preview only the printer's page counts: nothing is sent or written.
    virtual void aim(QPrinter &printer, const QString &name, bool preview) const = 0;
};

// The machine's printers, through Qt's printer list.
const PrinterList &systemPrinters();

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
    // Page Setup: shows the page of the printer prints go to (through the
    // page setup dialog of platform/ui); what the user chooses there (paper,
    // orientation, margins) is the page of every later print and preview on
    // that printer. False when cancelled.
    virtual bool pageSetup() = 0;
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

// The Qt printer. A print goes to the default printer of its printer list
// without a dialog; a print to no printer, to a printer the list does not
// hold, or whose painter cannot start is a failure. A preview shows the page
// of the same printer. A preview opens a window of its own, owned by the modal
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
    bool pageSetup() override;

    // The printers prints go to: list (not owned), or the machine's when null.
    void setPrinters(const PrinterList *list) { printers_ = list; }
    const PrinterList &printers() const { return printers_ ? *printers_ : systemPrinters(); }
    // Non-empty: prints go to the printer of this name instead of the list's
    // default; a name the list does not hold fails the print (it never falls
    // back to another printer).
    void setPrinterName(const QString &name) { printerName_ = name; }
    // The printer prints and previews go to now; empty when there is none.
    QString destination() const;
    // Forgets what Page Setup chose.
    void forgetPageSetup();
    // The preview window of kind while it is open; null otherwise.
    QWidget *previewWindow(PrintJobKind kind) const;
    // The printer of the document kept under kind; null when none is kept.
    const QPrinter *jobPrinter(PrintJobKind kind) const;

private:
    struct Job;
    struct PageChoice;
    // Gives printer the page of the printer name: Page Setup's choice for
    // it, otherwise its default paper.
    void setPage(QPrinter &printer, const QString &name) const;

    std::unique_ptr<Job> jobs_[PrintJobKindCount];
    QString printerName_;
    const PrinterList *printers_ = nullptr;
    std::unique_ptr<PageChoice> choice_;
};

// The one Qt printer, in force unless a test installs another.
QtPicturePrinter &qtPicturePrinter();

// File > Page Setup: the page setup of the printer in force.
bool PageSetupForPrints();

// The test stand-in: records each run, keeps a flag per kind, names its
// destination, and fails when told to.
class RecordingPrinter final : public PicturePrinter {
public:
    using Run = PrintRequest;
    bool run(const PrintRequest &request, QString *error, QString *destination) override;
    void release(PrintJobKind kind) override;
    bool holds(PrintJobKind kind) const override;
    bool pageSetup() override;

    QList<Run> runs;
    QString failWith; // non-empty: every run fails with this description
    QString destination = QStringLiteral("Recording printer");
    bool held[PrintJobKindCount] = {};
    int releases = 0;
    int pageSetups = 0;
};
