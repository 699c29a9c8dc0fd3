#include "platform/print/printpicture.h"

#include "platform/safesave.h"
#include "platform/ui/ui.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// The picture's box in the printer's device pixels (the painter's origin is
// the paper's corner: the printer covers the full page).
QRectF pictureBoxOf(const QPrinter &printer, const PrintPageLayout &l)
{
    const QRectF points = pictureBoxOnPage(printer.pageLayout(), l);
    const double perPoint = printer.resolution() / 72.0;
    return QRectF(points.topLeft() * perPoint, points.size() * perPoint);
}

// Paints the page; false when the printer's painter does not start (no
// printer, a file that cannot be written). The picture is scaled smoothly:
// a thin trace or a small text keeps every pixel however far it is shrunk.
bool paintPage(QPrinter *printer, const QImage &image, const PrintPageLayout &l)
{
    QPainter p;
    if (!p.begin(printer))
        return false;
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(pictureBoxOf(*printer, l), image);
    return p.end();
}

void setupPrinter(QPrinter &printer, const QString &title, const QString &pdf, const QPageSize *pdfPaper,
                  const QString &name)
{
    if (!name.isEmpty())
        printer.setPrinterName(name);
    if (!pdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        if (pdfPaper)
            printer.setPageSize(*pdfPaper);
    }
    printer.setDocName(title);
    printer.setFullPage(true);
    printer.setPageOrientation(QPageLayout::Portrait);
}

// The preview's zoom at which the picture's pixels each take at least one
// pixel of the screen: the smallest zoom that drops none of them.
double wholePictureZoom(const QPrinter &printer, const QImage &image, const PrintPageLayout &l,
                        const QWidget *view)
{
    const QRectF box = pictureBoxOnPage(printer.pageLayout(), l);
    if (box.width() <= 0 || box.height() <= 0 || image.isNull())
        return 1.0;
    // At zoom 1 an inch of paper takes the view's logical inch.
    const double zoomX = image.width() / (box.width() / 72.0 * view->logicalDpiX());
    const double zoomY = image.height() / (box.height() / 72.0 * view->logicalDpiY());
    return std::max(zoomX, zoomY) * 1.001;
}

// Opens the preview at the whole-picture zoom (or the one it chose, when
// larger), sized to show the picture where the screen has room, and
// scrolled to the picture.
void zoomPreviewToPicture(QPrintPreviewDialog *dialog, const QPrinter &printer, const QImage &image,
                          const PrintPageLayout &l)
{
    auto *preview = dialog->findChild<QPrintPreviewWidget *>();
    if (!preview)
        return;
    auto *view = preview->findChild<QGraphicsView *>();
    const double zoom = wholePictureZoom(printer, image, l, preview);
    if (preview->zoomFactor() >= zoom)
        return;
    // Through the dialog's own zoom box, so that it shows the zoom and its
    // fit buttons let go; straight to the page where there is no such box.
    auto *box = dialog->findChild<QComboBox *>();
    if (box && box->lineEdit()) {
        box->lineEdit()->setText(QString::number(std::ceil(zoom * 1000) / 10, 'f', 1) + QLatin1Char('%'));
        emit box->lineEdit()->editingFinished();
    }
    if (preview->zoomFactor() < zoom) {
        preview->setZoomMode(QPrintPreviewWidget::CustomZoom);
        preview->setZoomFactor(zoom);
    }
    if (!view)
        return;
    // Room for the page's width and the picture's height, and a margin.
    const QRectF picture = pictureBoxOf(printer, l);
    const double scale = view->transform().m11();
    const QSizeF paper = printer.pageLayout().fullRectPixels(printer.resolution()).size();
    const QSize wanted(int(paper.width() * scale) + 60, int(picture.height() * scale) + 60);
    const QSize grow = (wanted - view->viewport()->size()).expandedTo(QSize(0, 0));
    QSize size = dialog->size() + grow;
    if (const QScreen *screen = dialog->screen())
        size = size.boundedTo(screen->availableGeometry().size() * 0.9);
    dialog->resize(size.expandedTo(dialog->size()));
    // Each page is an item holding its paper at its origin; the first page
    // is the topmost. Centred now and again once the new size is laid out.
    QGraphicsItem *page = nullptr;
    for (QGraphicsItem *item : view->scene()->items())
        if (!page || item->scenePos().y() < page->scenePos().y())
            page = item;
    const QPointF centre = picture.center() + (page ? page->scenePos() : QPointF());
    view->centerOn(centre);
    QTimer::singleShot(0, view, [view, centre] { view->centerOn(centre); });
}

PicturePrinter *installed = nullptr;

std::function<void(const QString &)> &printNotice()
{
    static std::function<void(const QString &)> notice;
    return notice;
}

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

void QtPicturePrinter::setPdfPaper(const QPageSize &paper)
{
    pdfPaper_ = paper.isValid() ? std::make_unique<QPageSize>(paper) : nullptr;
}

bool QtPicturePrinter::run(const PrintRequest &request, QString *error, QString *destination)
{
    const PrintJobKind kind = request.kind;
    release(kind);
    auto &job = jobs_[int(kind)];
    job = std::make_unique<Job>();
    job->image = request.image;
    job->layout = request.layout;
    if (request.preview)
        setupPrinter(job->printer, request.title, QString(), nullptr, QString());
    else
        setupPrinter(job->printer, request.title, pdf_, pdfPaper_.get(), printerName_);
    // The printer asked for by name is told by that name, whether it exists
    // or not (the printer does not take a name it does not know).
    QString where;
    if (job->printer.outputFormat() == QPrinter::PdfFormat && !job->printer.outputFileName().isEmpty())
        where = QDir::toNativeSeparators(job->printer.outputFileName());
    else if (!request.preview && !printerName_.isEmpty())
        where = printerName_;
    else if (!job->printer.printerName().isEmpty())
        where = job->printer.printerName();
    else
        where = QPrinterInfo::defaultPrinterName();
    if (destination)
        *destination = where;
    if (request.preview) {
        // A modal window in front (the virtual panel) would block a preview
        // of its own: the preview belongs to it instead.
        job->dialog = new QPrintPreviewDialog(&job->printer, QApplication::activeModalWidget());
        job->dialog->setAttribute(Qt::WA_DeleteOnClose);
        Job *j = job.get();
        QObject::connect(job->dialog, &QPrintPreviewDialog::paintRequested, job->dialog,
                         [j](QPrinter *pr) { paintPage(pr, j->image, j->layout); });
        job->dialog->show(); // not modal: the document stays until released
        zoomPreviewToPicture(job->dialog, job->printer, job->image, job->layout);
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
    if (!paintPage(&job->printer, request.image, request.layout) || job->printer.printerState() == QPrinter::Error) {
        if (error)
            *error = where.isEmpty()
                         ? QCoreApplication::translate("Kelvoscope", "The printer could not print the page.")
                         : QCoreApplication::translate("Kelvoscope", "The printer \"%1\" could not print the page.")
                               .arg(where);
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

const QPrinter *QtPicturePrinter::jobPrinter(PrintJobKind kind) const
{
    const auto &job = jobs_[int(kind)];
    return job ? &job->printer : nullptr;
}

QtPicturePrinter &qtPicturePrinter()
{
    // Never destroyed: an open preview must not be deleted after the
    // application object is gone.
    static auto *p = new QtPicturePrinter;
    return *p;
}

PrintPageLayout printPageLayout() { return {}; }

QRectF pictureBoxOnPage(const QPageLayout &page, const PrintPageLayout &l)
{
    QPageLayout points = page;
    points.setUnits(QPageLayout::Point);
    const QRectF paper = points.fullRect();
    const QMarginsF set = points.margins();
    const QMarginsF least = points.minimumMargins();
    const QMarginsF margins(std::max(set.left(), least.left()), std::max(set.top(), least.top()),
                            std::max(set.right(), least.right()), std::max(set.bottom(), least.bottom()));
    const QRectF printable = paper.marginsRemoved(margins);
    double width = l.widthIn * 72.0;
    double height = l.heightIn * 72.0;
    if (printable.width() <= 0 || printable.height() <= 0 || width <= 0 || height <= 0)
        return {};
    const double shrink = std::min({1.0, printable.width() / width, printable.height() / height});
    width *= shrink;
    height *= shrink;
    const double left = printable.center().x() - width / 2;
    const double top = std::clamp(paper.top() + l.topIn * 72.0, printable.top(), printable.bottom() - height);
    return QRectF(left, top, width, height);
}

PicturePrinter &picturePrinter() { return installed ? *installed : qtPicturePrinter(); }

void setPicturePrinter(PicturePrinter *p) { installed = p; }

void setPrintNotice(std::function<void(const QString &)> notice) { printNotice() = std::move(notice); }

bool printPicture(PrintJobKind kind, const QImage &image, bool preview, const QString &title, QString *error)
{
    PicturePrinter &p = picturePrinter();
    for (int k = 0; k < PrintJobKindCount; ++k)
        p.release(PrintJobKind(k));
    PrintRequest request;
    request.kind = kind;
    request.image = image;
    request.layout = printPageLayout();
    request.preview = preview;
    request.title = title;
    QString destination;
    QString failure;
    const bool done = p.run(request, &failure, &destination);
    if (error)
        *error = failure;
    if (!preview && printNotice()) {
        // The status bar keeps no older "sent" once a print failed.
        if (!done)
            printNotice()(failure);
        else if (destination.isEmpty())
            printNotice()(QCoreApplication::translate("Kelvoscope", "The page was sent to the printer."));
        else
            printNotice()(QCoreApplication::translate("Kelvoscope", "The page was sent to the printer \"%1\".")
                              .arg(destination));
    }
    return done;
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

void PrintWindowPicture(PrintJobKind kind, const QImage &image, bool preview, const QString &title)
{
    QString pending;
    if (!writePrintPicture(image, &pending))
        ui().message(MsgIcon::Critical, appTitle(), pending);
    QString error;
    if (!printPicture(kind, image, preview, title, &error))
        pending = error;
    if (!preview && !pending.isEmpty())
        ui().message(MsgIcon::None, appTitle(), pending);
}

bool RecordingPrinter::run(const PrintRequest &request, QString *error, QString *destination)
{
    runs.append(request);
    if (destination)
        *destination = this->destination;
    if (!failWith.isEmpty()) {
        if (error)
            *error = failWith;
        return false;
    }
    held[int(request.kind)] = true;
    return true;
}

void RecordingPrinter::release(PrintJobKind kind)
{
    if (held[int(kind)])
        ++releases;
    held[int(kind)] = false;
}

bool RecordingPrinter::holds(PrintJobKind kind) const { return held[int(kind)]; }
