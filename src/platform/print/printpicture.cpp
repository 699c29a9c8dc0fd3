#include "platform/print/printpicture.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <memory>

namespace {

void paintPage(QPrinter *printer, const QImage &image, const PrintPageLayout &l)
{
    QPainter p(printer);
    const double dpiX = printer->logicalDpiX();
    const double dpiY = printer->logicalDpiY();
    p.drawImage(QRectF(l.leftIn * dpiX, l.topIn * dpiY, l.widthIn * dpiX, l.heightIn * dpiY), image);
}

void setupPrinter(QPrinter &printer, const PrintPageLayout &l)
{
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QSizeF(l.pageWidthIn, l.pageHeightIn), QPageSize::Inch));
    printer.setPageOrientation(QPageLayout::Portrait);
}

class QtPicturePrinter final : public PicturePrinter {
public:
    bool run(PrintJobKind kind, const QImage &image, const PrintPageLayout &layout, bool preview,
             QString *error) override
    {
        release(kind);
        auto &job = jobs_[int(kind)];
        job = std::make_unique<Job>();
        job->image = image;
        job->layout = layout;
        setupPrinter(job->printer, layout);
        if (preview) {
            job->dialog = new QPrintPreviewDialog(&job->printer);
            job->dialog->setAttribute(Qt::WA_DeleteOnClose);
            Job *j = job.get();
            QObject::connect(job->dialog, &QPrintPreviewDialog::paintRequested, job->dialog,
                             [j](QPrinter *pr) { paintPage(pr, j->image, j->layout); });
            job->dialog->show(); // not modal: the document stays until released
            return true;
        }
        if (QPrinterInfo::availablePrinters().isEmpty()) {
            if (error)
                *error = QStringLiteral("No printer is available.");
            return false;
        }
        paintPage(&job->printer, image, layout);
        if (job->printer.printerState() == QPrinter::Error) {
            if (error)
                *error = QStringLiteral("The printer reported an error.");
            return false;
        }
        return true;
    }

    void release(PrintJobKind kind) override
    {
        auto &job = jobs_[int(kind)];
        if (job && job->dialog)
            delete job->dialog.data();
        job.reset();
    }

    bool holds(PrintJobKind kind) const override { return bool(jobs_[int(kind)]); }

private:
    struct Job {
        QPrinter printer{QPrinter::HighResolution};
        QPointer<QPrintPreviewDialog> dialog;
        QImage image;
        PrintPageLayout layout;
    };
    std::unique_ptr<Job> jobs_[PrintJobKindCount];
};

PicturePrinter *installed = nullptr;

PicturePrinter &qtPrinter()
{
    // Never destroyed: an open preview must not be deleted after the
    // application object is gone.
    static auto *p = new QtPicturePrinter;
    return *p;
}

} // namespace

PrintPageLayout printPageLayout(bool preview)
{
    PrintPageLayout l;
    l.leftIn = preview ? 0.6 : 1.1;
    return l;
}

PicturePrinter &picturePrinter() { return installed ? *installed : qtPrinter(); }

void setPicturePrinter(PicturePrinter *p) { installed = p; }

bool printPicture(PrintJobKind kind, const QImage &image, bool preview, QString *error)
{
    PicturePrinter &p = picturePrinter();
    for (int k = 0; k < PrintJobKindCount; ++k)
        p.release(PrintJobKind(k));
    return p.run(kind, image, printPageLayout(preview), preview, error);
}

void releasePrintJob(PrintJobKind kind) { picturePrinter().release(kind); }

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
