#include "transfer/frmprgresssave.h"

#include "app/appstate.h"
#include "transfer/dialogplace.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>

frmPrgressSave::frmPrgressSave(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Progress"));
    setFixedSize(4485 / TwipsPerPixel, 615 / TwipsPerPixel);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setGeometry(270 / TwipsPerPixel, 120 / TwipsPerPixel, 3975 / TwipsPerPixel,
                             345 / TwipsPerPixel);
    ProgressBar->setRange(0, 100);
    ProgressBar->setTextVisible(false);

    QSize screen(1024, 768);
    if (const QScreen *s = QGuiApplication::primaryScreen())
        screen = s->geometry().size();
    const QPoint place = CentredDialogPlace(screen.width() * TwipsPerPixel, screen.height() * TwipsPerPixel,
                                            width() * TwipsPerPixel, height() * TwipsPerPixel);
    move(place.x() / TwipsPerPixel, place.y() / TwipsPerPixel);
    ProgressBar->setValue(0);
}

void frmPrgressSave::reject()
{
    // QDialog's own rejection closes without asking closeEvent().
    if (!app().xfer.SaveBusy)
        QDialog::reject();
}

void frmPrgressSave::closeEvent(QCloseEvent *event)
{
    if (app().xfer.SaveBusy)
        event->ignore();
    else
        event->accept();
}
