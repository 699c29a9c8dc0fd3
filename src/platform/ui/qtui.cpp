#include "platform/ui/qtui.h"

#include "platform/ui/savepath.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QSpacerItem>
#include <QStyle>

namespace {

QMessageBox::Icon toQt(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(MsgButtons b)
{
    switch (b) {
    case MsgButtons::Ok: return QMessageBox::Ok;
    case MsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// The answer a dialog closed by its frame gives.
MsgAnswer escapeAnswer(MsgButtons b)
{
    switch (b) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::YesNo: return MsgAnswer::No;
    default: return MsgAnswer::Cancel;
    }
}

} // namespace

int QtUi::titleBarWidth(const QString &title)
{
    // A window manager draws the title in a bold face, beside the window's
    // icon and its buttons (minimise, maximise, close), each about as wide as
    // the bar is high, with some space at either end.
    QFont font = QApplication::font();
    font.setBold(true);
    const QFontMetrics fm(font);
    const int button = fm.height() + fm.height() / 2;
    return fm.horizontalAdvance(title) + 5 * button + 2 * fm.height();
}

std::unique_ptr<QMessageBox> QtUi::makeMessageBox(QWidget *parent, MsgIcon icon, const QString &title,
                                                  const QString &text, MsgButtons buttons)
{
    auto box = std::make_unique<QMessageBox>(toQt(icon), title, text, toQt(buttons), parent);
    // A plain box shows the program's icon where the others show theirs.
    if (icon == MsgIcon::None && !QApplication::windowIcon().isNull()) {
        const int extent = box->style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, box.get());
        box->setIconPixmap(QApplication::windowIcon().pixmap(QSize(extent, extent), box->devicePixelRatio()));
    }
    // Never narrower than its title needs in the frame around it: the box
    // sizes itself to its layout's smallest width.
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout()))
        grid->addItem(new QSpacerItem(titleBarWidth(title) - grid->contentsMargins().left() - grid->contentsMargins().right(),
                                      0, QSizePolicy::Fixed, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return box;
}

MsgAnswer QtUi::message(MsgIcon icon, const QString &title, const QString &text, MsgButtons buttons)
{
    const auto box = makeMessageBox(parent_, icon, title, text, buttons);
    switch (box->exec()) {
    case QMessageBox::Ok: return MsgAnswer::Ok;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Retry: return MsgAnswer::Retry;
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    default: return escapeAnswer(buttons);
    }
}

std::unique_ptr<QFileDialog> QtUi::makeFileDialog(QWidget *parent, const FileDialogRequest &req, bool save)
{
    auto dlg = std::make_unique<QFileDialog>(parent, req.title, req.directory, req.filter);
    dlg->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!req.defaultSuffix.isEmpty()) {
        dlg->setDefaultSuffix(req.defaultSuffix);
    } else if (save) {
        // A name typed without a suffix gets the chosen filter's (as
        // ChosenSavePath gives it); the dialog adds it itself, so that it
        // asks before replacing the file of that name.
        QFileDialog *d = dlg.get();
        auto follow = [d](const QString &filter) { d->setDefaultSuffix(FilterSuffix(filter)); };
        follow(req.filter.section(QStringLiteral(";;"), 0, 0));
        QObject::connect(d, &QFileDialog::filterSelected, d, follow);
    }
    if (!req.fileName.isEmpty())
        dlg->selectFile(req.fileName);
    return dlg;
}

void QtUi::retireFileDialog(std::unique_ptr<QFileDialog> dlg)
{
    // Below the low priority of the window's repaints, so that these go first.
    QCoreApplication::postEvent(dlg.release(), new QDeferredDeleteEvent, int(Qt::LowEventPriority) - 1);
}

static FileDialogResult runFileDialog(QWidget *parent, const FileDialogRequest &req, bool save)
{
    auto dlg = QtUi::makeFileDialog(parent, req, save);
    FileDialogResult r;
    if (dlg->exec() == QDialog::Accepted && !dlg->selectedFiles().isEmpty()) {
        r.accepted = true;
        r.path = dlg->selectedFiles().first();
        r.selectedFilter = dlg->selectedNameFilter();
    }
    QtUi::retireFileDialog(std::move(dlg));
    return r;
}

FileDialogResult QtUi::openFile(const FileDialogRequest &req)
{
    return runFileDialog(parent_, req, false);
}

FileDialogResult QtUi::saveFile(const FileDialogRequest &req)
{
    return runFileDialog(parent_, req, true);
}

InputResult QtUi::input(const QString &title, const QString &prompt, const QString &initial)
{
    InputResult r;
    bool ok = false;
    r.text = QInputDialog::getText(parent_, title, prompt, QLineEdit::Normal, initial, &ok);
    r.accepted = ok;
    if (!ok)
        r.text.clear();
    return r;
}

std::unique_ptr<QPageSetupDialog> QtUi::makePageSetupDialog(QWidget *parent, QPrinter *printer)
{
    const QPageSize shown = printer->pageLayout().pageSize();
    auto dlg = std::make_unique<QPageSetupDialog>(printer, parent);
    dlg->setWindowTitle(QStringLiteral("Page Setup"));
    // The dialog lists a system printer's papers and picks its default one;
    // the paper the printer holds now is the one to show.
    // (The same paper by its own name where the list has it, else one of the
    // same size.)
    if (auto *papers = dlg->findChild<QComboBox *>(QStringLiteral("pageSizeCombo"))) {
        int at = -1;
        for (int i = 0; i < papers->count() && at < 0; ++i) {
            const QVariant v = papers->itemData(i);
            if (v.canConvert<QPageSize>() && v.value<QPageSize>() == shown)
                at = i;
        }
        for (int i = 0; i < papers->count() && at < 0; ++i) {
            const QVariant v = papers->itemData(i);
            if (v.canConvert<QPageSize>() && v.value<QPageSize>().isEquivalentTo(shown))
                at = i;
        }
        if (at >= 0 && at != papers->currentIndex())
            papers->setCurrentIndex(at);
    }
    return dlg;
}

bool QtUi::pageSetup(QPrinter &printer)
{
    const auto dlg = makePageSetupDialog(parent_, &printer);
    return dlg->exec() == QDialog::Accepted;
}

namespace {
Ui *g_ui = nullptr;
}

Ui &ui()
{
    if (!g_ui) {
        static QtUi real;
        return real;
    }
    return *g_ui;
}

void setUi(Ui *u)
{
    g_ui = u;
}
