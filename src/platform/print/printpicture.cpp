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

// The Qt printer's own printers: the machine's, as Qt lists them.
class QtPrinterList final : public PrinterList {
public:
    QString defaultPrinter() const override
    {
        const QString name = QPrinterInfo::defaultPrinterName();
        if (!name.isEmpty())
            return name;
        // No default set: Qt prints to the first printer there is.
        const QStringList all = QPrinterInfo::availablePrinterNames();
        return all.isEmpty() ? QString() : all.first();
    }
    bool exists(const QString &name) const override
    {
        return !name.isEmpty() && QPrinterInfo::availablePrinterNames().contains(name);
    }
    QPageSize defaultPaper(const QString &name) const override
    {
        return QPrinterInfo::printerInfo(name).defaultPageSize();
    }
    void aim(QPrinter &printer, const QString &name, bool) const override { printer.setPrinterName(name); }
};

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

QString unknownPrinterError(const QString &name)
{
    return name.isEmpty() ? QCoreApplication::translate("Kelvoscope", "The printer could not print the page.")
                          : QCoreApplication::translate("Kelvoscope", "The printer \"%1\" could not print the page.")
                                .arg(name);
}

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

struct QtPicturePrinter::PageChoice {
    QString printer;
    QPageLayout page;
};

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

const PrinterList &systemPrinters()
{
    static const QtPrinterList list;
    return list;
}

QString QtPicturePrinter::destination() const
{
    return printerName_.isEmpty() ? printers().defaultPrinter() : printerName_;
}

void QtPicturePrinter::forgetPageSetup() { choice_.reset(); }

void QtPicturePrinter::setPage(QPrinter &printer, const QString &name) const
{
    if (choice_ && choice_->printer == name) {
        printer.setPageLayout(choice_->page);
        return;
    }
    const QPageSize paper = name.isEmpty() ? QPageSize() : printers().defaultPaper(name);
    if (paper.isValid())
        printer.setPageSize(paper);
    printer.setPageOrientation(QPageLayout::Portrait);
}

bool QtPicturePrinter::pageSetup()
{
    const QString name = destination();
    QPrinter printer(QPrinter::HighResolution);
    if (!name.isEmpty() && printers().exists(name))
        printers().aim(printer, name, true);
    setPage(printer, name);
    if (!ui().pageSetup(printer))
        return false;
    choice_ = std::make_unique<PageChoice>(PageChoice{name, printer.pageLayout()});
    return true;
}

bool QtPicturePrinter::run(const PrintRequest &request, QString *error, QString *destination)
{
    const PrintJobKind kind = request.kind;
    release(kind);
    auto &job = jobs_[int(kind)];
    job = std::make_unique<Job>();
    job->image = request.image;
    job->layout = request.layout;
    // The page goes to the printer named, or the list's default: never to
    // another one, and on that printer's paper (a preview shows the same).
    const QString where = this->destination();
    const bool there = !where.isEmpty() && printers().exists(where);
    if (there)
        printers().aim(job->printer, where, request.preview);
    setPage(job->printer, where);
    job->printer.setDocName(request.title);
    job->printer.setFullPage(true);
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
    if (where.isEmpty()) {
        if (error)
            *error = QCoreApplication::translate("Kelvoscope", "No printer is available.");
        return false;
    }
    if (!there || !paintPage(&job->printer, request.image, request.layout)
        || job->printer.printerState() == QPrinter::Error) {
        if (error)
            *error = unknownPrinterError(where);
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

bool PageSetupForPrints() { return picturePrinter().pageSetup(); }

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

bool RecordingPrinter::pageSetup()
{
    ++pageSetups;
    return false;
}
