#include "panel/panelprint.h"

#include "platform/ui/ui.h"
#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

void paintPage(QPrinter &printer, QPainter &painter, const QImage &picture, const PrintBox &box)
{
    const double dpiX = printer.logicalDpiX();
    const double dpiY = printer.logicalDpiY();
    // With the full page, the painter's origin is the paper's corner.
    const QRectF target(box.left * dpiX, box.top * dpiY, box.width * dpiX, box.height * dpiY);
    if (!picture.isNull())
        painter.drawImage(target, picture);
}

void setUpPrinter(QPrinter &printer)
{
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
}

class QtPicturePrinter final : public PicturePrinter {
public:
    bool print(const QImage &picture, const PrintBox &box, QString *error) override
    {
        QPrinter printer(QPrinter::HighResolution);
        setUpPrinter(printer);
        QPrintDialog dialog(&printer, ui().parentWindow());
        if (dialog.exec() != QDialog::Accepted)
            return true;
        QPainter painter;
        if (!painter.begin(&printer)) {
            if (error)
                *error = QStringLiteral("The printer could not be started.");
            return false;
        }
        paintPage(printer, painter, picture, box);
        if (!painter.end()) {
            if (error)
                *error = QStringLiteral("The page could not be printed.");
            return false;
        }
        return true;
    }

    void preview(const QImage &picture, const PrintBox &box) override
    {
        QPrinter printer(QPrinter::HighResolution);
        setUpPrinter(printer);
        QPrintPreviewDialog dialog(&printer, ui().parentWindow());
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter *p) {
            QPainter painter(p);
            paintPage(*p, painter, picture, box);
        });
        dialog.exec();
    }
};

PicturePrinter *g_printer = nullptr;

// The message boxes carry the application's title.
QString appTitle()
{
    return QCoreApplication::applicationName();
}

void outputPrintPicture(const QImage &picture)
{
    const QString path = printPicturePath();
    QString error;
    if (!saveBitmap(picture, path, &error))
        ui().message(MsgIcon::Critical, appTitle(), error);
}

} // namespace

PrintBox panelPrintBox(bool preview)
{
    return PrintBox{preview ? 0.6 : 1.1, 2.0, 7.28, 5.2};
}

PicturePrinter &picturePrinter()
{
    if (!g_printer) {
        static QtPicturePrinter real;
        return real;
    }
    return *g_printer;
}

void setPicturePrinter(PicturePrinter *p)
{
    g_printer = p;
}

QString printPicturePath()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return QDir(dir).filePath(QStringLiteral("$Print.bmp"));
}

bool saveBitmap(const QImage &picture, const QString &path, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (picture.isNull())
        return fail(QStringLiteral("There is no picture to save."));
    const QFileInfo info(path);
    if (!info.dir().exists() && !QDir().mkpath(info.absolutePath()))
        return fail(QStringLiteral("Cannot create the folder %1.").arg(QDir::toNativeSeparators(info.absolutePath())));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (!picture.save(&file, "BMP")) {
        file.cancelWriting();
        return fail(QStringLiteral("Cannot write the bitmap %1.").arg(QDir::toNativeSeparators(path)));
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

bool ExportPanelPicture(const QImage &picture, int lang)
{
    FileDialogRequest req;
    QString word;
    if (lang == 0) {
        req.title = QStringLiteral("导出文件");
        word = QStringLiteral("位图文件 ");
    } else if (lang == 1) {
        req.title = QStringLiteral("Export File");
        word = QStringLiteral("BitMap Files ");
    }
    req.filter = word + QStringLiteral("(*.bmp)");
    // No suffix is added: the name is used as typed.
    const FileDialogResult r = ui().saveFile(req);
    if (!r.accepted || r.path.isEmpty())
        return false;
    QString error;
    if (!saveBitmap(picture, r.path, &error)) {
        ui().message(MsgIcon::Critical, appTitle(), error);
        return false;
    }
    return true;
}

void PrintPanelPicture(const QImage &picture)
{
    outputPrintPicture(picture);
    QString error;
    if (!picturePrinter().print(picture, panelPrintBox(false), &error))
        ui().message(MsgIcon::None, appTitle(), error);
}

void PreviewPanelPicture(const QImage &picture)
{
    outputPrintPicture(picture);
    picturePrinter().preview(picture, panelPrintBox(true));
}
