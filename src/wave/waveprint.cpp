#include "wave/waveprint.h"

#include "platform/print/pictureoutput.h"
#include "platform/print/printpicture.h"
#include "platform/ui/ui.h"

#include <QCoreApplication>

namespace {

QString appTitle()
{
    return QCoreApplication::applicationName();
}

} // namespace

bool ExportWavePicture(const QImage &picture, int lang)
{
    // The same export as every picture window's.
    return ExportPanelPicture(picture, lang);
}

void PrintWavePicture(const QImage &picture, bool preview, const QString &title)
{
    QString error;
    if (!saveBitmap(picture, printPicturePath(), &error))
        ui().message(MsgIcon::Critical, appTitle(), error);
    // The page shows the picture just drawn, whatever the file now holds.
    QString printError;
    if (!printPicture(PrintJobKind::Wave, picture, preview, title, &printError))
        ui().message(MsgIcon::None, appTitle(), printError);
}
