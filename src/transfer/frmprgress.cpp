#include "transfer/frmprgress.h"

#include <algorithm>

#include "app/appstate.h"
#include "link/cmdfunc.h"
#include "platform/pump.h"
#include "transfer/dialogplace.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QGuiApplication>
#include <QMainWindow>
#include <QProgressBar>
#include <QScreen>
#include <QStyle>

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
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // It comes and goes with every transfer: it never takes the keyboard
    // focus, so an open menu, a text box being typed into or an editor keeps
    // it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
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
    storedPlace_ = place;
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
    // A place chosen to keep the waiting window's controls clear is not the
    // user's: the stored one stays.
    if (pos() == movedTo_)
        SaveTransferDialogPlace(storedPlace_);
    else
        SaveTransferDialogPlace(QPoint(x() * TwipsPerPixel, y() * TwipsPerPixel));
    event->accept();
}

void frmPrgress::reject()
{
    // QDialog's own rejection closes without asking closeEvent().
    if (TransferRunner::mayClose())
        QDialog::reject();
}

void frmPrgress::keepClearOf(const QWidget *requester)
{
    // Over the waiting window's picture, or else over the main window's item
    // area: never away from the program's window.
    const QWidget *over = requester && requester->isVisible() ? requester : nullptr;
    const QWidget *main = over ? over->window() : static_cast<QWidget *>(app().shell.MainForm.data());
    if (!over && main && main->isVisible()) {
        const auto *centre = qobject_cast<const QMainWindow *>(main);
        over = centre && centre->centralWidget() ? centre->centralWidget() : main;
    }
    if (!over || !over->isVisible())
        return;
    QList<QRect> keepClear;
    QRect picture(over->mapToGlobal(QPoint(0, 0)), over->size());
    if (const auto *button = over->findChild<QWidget *>(QStringLiteral("cmdRefresh"))) {
        const QRect b(button->mapToGlobal(QPoint(0, 0)), button->size());
        keepClear << b;
        picture.setTop(std::max(picture.top(), b.bottom() + 1));
    }
    // The pane headers: each pane's part above its content.
    for (const QDockWidget *dock : over->window()->findChildren<QDockWidget *>()) {
        if (!dock->isVisible())
            continue;
        const int contentTop = dock->widget() ? dock->widget()->y() : dock->height();
        keepClear << QRect(dock->mapToGlobal(QPoint(0, 0)), QSize(dock->width(), std::max(1, contentTop)));
    }
    const QScreen *screen = over->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    // Not shown yet, the dialog has no frame: allow for its title bar.
    QSize outer = frameSize();
    if (!isVisible())
        outer.rheight() += style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const QPoint centred(picture.center().x() + 1 - outer.width() / 2, picture.center().y() + 1 - outer.height() / 2);
    const QPoint at = PlaceOver(outer, picture, keepClear, area, centred);
    if (at != pos()) {
        move(at);
        movedTo_ = at;
    }
}

namespace {
// A window shown while a menu is open closes the menu: while one is open the
// transfer runs without its dialog (the waiting window shows its own
// progress, the status bar that input waits).
void showUnlessAMenuIsOpen(frmPrgress *dialog)
{
    if (!QApplication::activePopupWidget())
        dialog->show();
}
} // namespace

bool RunTransferRequest(TransferCaption caption, int kind, int slot, bool barAtOne, const QWidget *requester)
{
    TransferRequest &req = app().transfer;
    if (req.TransferBusy)
        return false;
    auto *dialog = new frmPrgress(app().shell.MainForm.data());
    dialog->setCaption(caption, app().texts.LanguageIndex);
    req.RequestKind = kind;
    if (kind == 6)
        req.CurrentDoc = slot;
    req.TransferDone = false;
    if (barAtOne) {
        dialog->runner().setBar(1);
        dialog->ProgressBar1->setValue(1);
    }
    dialog->keepClearOf(requester);
    showUnlessAMenuIsOpen(dialog);
    if (kind == 6) {
        app().xfer.WavePercent = 1;
        if (const auto &show = app().xfer.ShowWaveLoadPercent)
            show(slot);
    }
    // The exchange is the requester's: its own Stop may end it.
    const LinkExchange exchange(requester);
    while (!req.TransferDone)
        waitEvents(TransferWaitMs);
    // A Stop given after the last reply still leaves the item as it was.
    if (exchangeAbandoned() || exchangeFailed())
        app().xfer.RequestComplete = false;
    return true;
}

void ShowTransferDialog(const QString &caption)
{
    auto *dialog = new frmPrgress(app().shell.MainForm.data());
    dialog->setWindowTitle(caption);
    dialog->keepClearOf(nullptr);
    showUnlessAMenuIsOpen(dialog);
}

bool RequestWaveformLoad(int slot)
{
    if (slot < 0 || slot >= DataSheet::WaveSlots)
        return false;
    const WaveDoc &doc = app().Sheet.WaveDocs[size_t(slot)];
    if (!(doc.ShowCH1 || doc.ShowCH2 || doc.ShowMath || doc.ShowLA))
        return false;
    const QWidget *window = app().Sheet.WaveForms[size_t(slot)].data();
    return RunTransferRequest(TransferCaption::Waveform, 6, slot, false, window);
}
