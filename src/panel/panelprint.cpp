#include "panel/panelprint.h"

#include "platform/print/printpicture.h"
#include "platform/safesave.h"
#include "platform/ui/ui.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {


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

QString printPicturePath()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return QDir(dir).filePath(QStringLiteral("$Print.bmp"));
}

bool saveBitmap(const QImage &picture, const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.dir().exists() && !QDir().mkpath(info.absolutePath())) {
        if (error)
            *error = QStringLiteral("Cannot create the folder %1.").arg(QDir::toNativeSeparators(info.absolutePath()));
        return false;
    }
    return SaveBitmapFile(picture, path, error);
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
    if (!printPicture(PrintJobKind::Panel, picture, false, &error))
        ui().message(MsgIcon::None, appTitle(), error);
}

void PreviewPanelPicture(const QImage &picture)
{
    outputPrintPicture(picture);
    QString error;
    if (!printPicture(PrintJobKind::Panel, picture, true, &error))
        ui().message(MsgIcon::None, appTitle(), error);
}
