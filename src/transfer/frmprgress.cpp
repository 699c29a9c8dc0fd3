#include "transfer/frmprgress.h"

#include <algorithm>

#include "app/appstate.h"
#include "platform/pump.h"
#include "transfer/dialogplace.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>

namespace {
QSize screenPixels()
{
    if (const QScreen *s = QGuiApplication::primaryScreen())
        return s->geometry().size();
    return QSize(1024, 768);
}
} // namespace

frmPrgress::frmPrgress(QWidget *parent)
    : QDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Progress"));
    setFixedSize(4515 / TwipsPerPixel, 690 / TwipsPerPixel);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(240 / TwipsPerPixel, 120 / TwipsPerPixel, 3975 / TwipsPerPixel,
                              345 / TwipsPerPixel);
    ProgressBar1->setRange(0, TransferRunner::BarMax);
    ProgressBar1->setTextVisible(false);

    // Place the dialog where it was last closed.
    const QSize screen = screenPixels();
    const QPoint place = TransferDialogPlace(screen.width() * TwipsPerPixel, screen.height() * TwipsPerPixel,
                                             width() * TwipsPerPixel, height() * TwipsPerPixel);
    move(place.x() / TwipsPerPixel, place.y() / TwipsPerPixel);

    runner_.onRepaint = [this] { showBar(); };
    // The settings upload and download drive the bar themselves, a step per
    // line. The bar repaints a change of value it shows at once (setValue);
    // a second repaint of it would only paint and flush the same picture
    // again on every line.
    app().updown.ShowProgress = [this](double value) {
        ProgressBar1->setValue(std::clamp(int(value), 0, int(TransferRunner::BarMax)));
    };
    runner_.onFinished = [this] { close(); };
    runner_.load();
    showBar();
}

frmPrgress::~frmPrgress()
{
    app().updown.ShowProgress = nullptr;
}

void frmPrgress::setCaption(TransferCaption caption, int lang)
{
    const QString text = TransferCaptionText(caption, lang);
    if (!text.isNull())
        setWindowTitle(text);
}

void frmPrgress::showBar()
{
    ProgressBar1->setValue(int(runner_.bar()));
    ProgressBar1->repaint();
}

void frmPrgress::closeEvent(QCloseEvent *event)
{
    if (!TransferRunner::mayClose()) {
        event->ignore();
        return;
    }
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    SaveTransferDialogPlace(QPoint(x() * TwipsPerPixel, y() * TwipsPerPixel));
    event->accept();
}

void frmPrgress::reject()
{
    // QDialog's own rejection closes without asking closeEvent().
    if (TransferRunner::mayClose())
        QDialog::reject();
}

bool RunTransferRequest(TransferCaption caption, int kind, int slot, bool barAtOne)
{
    TransferRequest &req = app().transfer;
    if (req.TransferBusy)
        return false;
    auto *dialog = new frmPrgress;
    dialog->setCaption(caption, app().texts.LanguageIndex);
    req.RequestKind = kind;
    if (kind == 6)
        req.CurrentDoc = slot;
    req.TransferDone = false;
    if (barAtOne) {
        dialog->runner().setBar(1);
        dialog->ProgressBar1->setValue(1);
    }
    dialog->show();
    if (kind == 6) {
        app().xfer.WavePercent = 1;
        if (const auto &show = app().xfer.ShowWaveLoadPercent)
            show(slot);
    }
    while (!req.TransferDone)
        waitEvents(TransferWaitMs);
    return true;
}

void ShowTransferDialog(const QString &caption)
{
    auto *dialog = new frmPrgress;
    dialog->setWindowTitle(caption);
    dialog->show();
}

bool RequestWaveformLoad(int slot)
{
    if (slot < 0 || slot >= DataSheet::WaveSlots)
        return false;
    const WaveDoc &doc = app().Sheet.WaveDocs[size_t(slot)];
    if (!(doc.ShowCH1 || doc.ShowCH2 || doc.ShowMath || doc.ShowLA))
        return false;
    return RunTransferRequest(TransferCaption::Waveform, 6, slot);
}
