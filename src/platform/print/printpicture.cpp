#include "platform/print/printpicture.h"

#include "platform/safesave.h"
#include "platform/ui/ui.h"

#include <QApplication>
#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

#include <memory>

namespace {

// Paints the page; false when the printer's painter does not start (no
// printer, a file that cannot be written).
bool paintPage(QPrinter *printer, const QImage &image, const PrintPageLayout &l)
{
    QPainter p;
    if (!p.begin(printer))
        return false;
    const double dpiX = printer->logicalDpiX();
    const double dpiY = printer->logicalDpiY();
    p.drawImage(QRectF(l.leftIn * dpiX, l.topIn * dpiY, l.widthIn * dpiX, l.heightIn * dpiY), image);
    return p.end();
}

void setupPrinter(QPrinter &printer, const PrintPageLayout &l, const QString &pdf, const QString &name)
{
    if (!name.isEmpty())
        printer.setPrinterName(name);
    if (!pdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    }
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QSizeF(l.pageWidthIn, l.pageHeightIn), QPageSize::Inch));
    printer.setPageOrientation(QPageLayout::Portrait);
}

PicturePrinter *installed = nullptr;

QString appTitle()
{
    return QCoreApplication::applicationName();
}

} // namespace

struct QtPicturePrinter::Job {
    QPrinter printer{QPrinter::HighResolution};
    QPointer<QPrintPreviewDialog> dialog;
    QImage image;
    PrintPageLayout layout;
};

QtPicturePrinter::QtPicturePrinter() = default;

QtPicturePrinter::~QtPicturePrinter()
{
    for (int k = 0; k < PrintJobKindCount; ++k)
        release(PrintJobKind(k));
}

bool QtPicturePrinter::run(PrintJobKind kind, const QImage &image, const PrintPageLayout &layout, bool preview,
                           QString *error)
{
    release(kind);
    auto &job = jobs_[int(kind)];
    job = std::make_unique<Job>();
    job->image = image;
    job->layout = layout;
    if (preview)
        setupPrinter(job->printer, layout, QString(), QString());
    else
        setupPrinter(job->printer, layout, pdf_, printerName_);
    if (preview) {
        // A modal window in front (the virtual panel) would block a preview
        // of its own: the preview belongs to it instead.
        job->dialog = new QPrintPreviewDialog(&job->printer, QApplication::activeModalWidget());
        job->dialog->setAttribute(Qt::WA_DeleteOnClose);
        Job *j = job.get();
        QObject::connect(job->dialog, &QPrintPreviewDialog::paintRequested, job->dialog,
                         [j](QPrinter *pr) { paintPage(pr, j->image, j->layout); });
        job->dialog->show(); // not modal: the document stays until released
        // The preview takes the keyboard from the window that asked for it:
        // left behind that window (a window manager's choice, or none),
        // Esc would close that window instead of the preview.
        job->dialog->raise();
        job->dialog->activateWindow();
        return true;
    }
    if (pdf_.isEmpty() && printerName_.isEmpty() && QPrinterInfo::availablePrinters().isEmpty()) {
        if (error)
            *error = QCoreApplication::translate("Kelvoscope", "No printer is available.");
        return false;
    }
    if (!paintPage(&job->printer, image, layout) || job->printer.printerState() == QPrinter::Error) {
        if (error)
            *error = QCoreApplication::translate("Kelvoscope", "The printer could not print the page.");
        return false;
    }
    return true;
}

void QtPicturePrinter::release(PrintJobKind kind)
{
    auto &job = jobs_[int(kind)];
    if (job && job->dialog)
        delete job->dialog.data();
    job.reset();
}

bool QtPicturePrinter::holds(PrintJobKind kind) const
{
    return bool(jobs_[int(kind)]);
}

QWidget *QtPicturePrinter::previewWindow(PrintJobKind kind) const
{
    const auto &job = jobs_[int(kind)];
    return job ? job->dialog.data() : nullptr;
}

QtPicturePrinter &qtPicturePrinter()
{
    // Never destroyed: an open preview must not be deleted after the
    // application object is gone.
    static auto *p = new QtPicturePrinter;
    return *p;
}

PrintPageLayout printPageLayout(bool preview)
{
    PrintPageLayout l;
    l.leftIn = preview ? 0.6 : 1.1;
    return l;
}

PicturePrinter &picturePrinter() { return installed ? *installed : qtPicturePrinter(); }

void setPicturePrinter(PicturePrinter *p) { installed = p; }

bool printPicture(PrintJobKind kind, const QImage &image, bool preview, QString *error)
{
    PicturePrinter &p = picturePrinter();
    for (int k = 0; k < PrintJobKindCount; ++k)
        p.release(PrintJobKind(k));
    return p.run(kind, image, printPageLayout(preview), preview, error);
}

void releasePrintJob(PrintJobKind kind) { picturePrinter().release(kind); }

QString printPicturePath()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return QDir(dir).filePath(QStringLiteral("$Print.bmp"));
}

bool writePrintPicture(const QImage &image, QString *error)
{
    const QString path = printPicturePath();
    return MakeFolderOf(path, error) && SaveBitmapFile(image, path, error);
}

void PrintWindowPicture(PrintJobKind kind, const QImage &image, bool preview)
{
    QString pending;
    if (!writePrintPicture(image, &pending))
        ui().message(MsgIcon::Critical, appTitle(), pending);
    QString error;
    if (!printPicture(kind, image, preview, &error))
        pending = error;
    if (!preview && !pending.isEmpty())
        ui().message(MsgIcon::None, appTitle(), pending);
}

bool RecordingPrinter::run(PrintJobKind kind, const QImage &image, const PrintPageLayout &layout, bool preview,
                           QString *error)
{
    runs.append({kind, image, layout, preview});
    if (!failWith.isEmpty()) {
        if (error)
            *error = failWith;
        return false;
    }
    held[int(kind)] = true;
    return true;
}

void RecordingPrinter::release(PrintJobKind kind)
{
    if (held[int(kind)])
        ++releases;
    held[int(kind)] = false;
}

bool RecordingPrinter::holds(PrintJobKind kind) const { return held[int(kind)]; }
