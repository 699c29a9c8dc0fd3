#include "platform/print/pictureoutput.h"

#include "platform/print/printpicture.h"
#include "platform/safesave.h"
#include "platform/ui/savepath.h"
#include "platform/ui/ui.h"

#include <QCoreApplication>

namespace {

// The message boxes carry the application's title.
QString appTitle()
{
    return QCoreApplication::applicationName();
}

} // namespace

bool saveBitmap(const QImage &picture, const QString &path, QString *error)
{
    return MakeFolderOf(path, error) && SaveBitmapFile(picture, path, error);
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
    const FileDialogResult r = ui().saveFile(req);
    if (!r.accepted || r.path.isEmpty())
        return false;
    QString error;
    if (!saveBitmap(picture, ChosenSavePath(r), &error)) {
        ui().message(MsgIcon::Critical, appTitle(), error);
        return false;
    }
    return true;
}

void PrintPanelPicture(const QImage &picture, const QString &title)
{
    PrintWindowPicture(PrintJobKind::Panel, picture, false, title);
}

void PreviewPanelPicture(const QImage &picture, const QString &title)
{
    PrintWindowPicture(PrintJobKind::Panel, picture, true, title);
}
