#include "platform/ui/qtui.h"

#include "platform/ui/savepath.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
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
    auto dlg = std::make_unique<QFileDialog>(parent);
    prepareFileDialog(*dlg, req, save);
    return dlg;
}

void QtUi::prepareFileDialog(QFileDialog &dlg, const FileDialogRequest &req, bool save)
{
    dlg.setWindowTitle(req.title);
    // No filter: all files, as a new dialog offers them.
    dlg.setNameFilter(req.filter.isEmpty() ? QFileDialog::tr("All Files (*)") : req.filter);
    if (!req.directory.isEmpty())
        dlg.setDirectory(req.directory);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The suffix that follows the chosen filter lives as long as this
    // request; an earlier request's goes first.
    const QString followerName = QStringLiteral("kelvoSuffixFollower");
    delete dlg.findChild<QObject *>(followerName, Qt::FindDirectChildrenOnly);
    dlg.setDefaultSuffix(QString());
    if (!req.defaultSuffix.isEmpty()) {
        dlg.setDefaultSuffix(req.defaultSuffix);
    } else if (save) {
        // A name typed without a suffix gets the chosen filter's (as
        // ChosenSavePath gives it); the dialog adds it itself, so that it
        // asks before replacing the file of that name.
        auto *follower = new QObject(&dlg);
        follower->setObjectName(followerName);
        QFileDialog *d = &dlg;
        auto follow = [d](const QString &filter) { d->setDefaultSuffix(FilterSuffix(filter)); };
        follow(req.filter.section(QStringLiteral(";;"), 0, 0));
        QObject::connect(d, &QFileDialog::filterSelected, follower, follow);
    }
    if (!req.fileName.isEmpty()) {
        dlg.selectFile(req.fileName);
        return;
    }
    // Nothing proposed: neither a name typed nor a file picked before stays.
    if (auto *name = dlg.findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        name->clear();
    for (QAbstractItemView *view : dlg.findChildren<QAbstractItemView *>())
        if (view->selectionModel())
            view->selectionModel()->clearSelection();
}

QtUi::~QtUi()
{
    // The kept dialog goes with its owner while the application lives; at
    // the program's end the application is gone first and it stays.
    if (QCoreApplication::instance())
        delete kept_.data();
}

QFileDialog &QtUi::fileDialog(const FileDialogRequest &req, bool save)
{
    if (!kept_) {
        kept_ = new QFileDialog(parent_);
        // Gone before the application is: a widget must not outlive it.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, kept_, [d = kept_] { delete d.data(); });
    }
    prepareFileDialog(*kept_, req, save);
    return *kept_;
}

void QtUi::closeFileDialogPopups(QFileDialog &dlg)
{
    if (auto *name = dlg.findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        if (QCompleter *names = name->completer(); names && names->popup())
            names->popup()->hide();
}

FileDialogResult QtUi::runFileDialog(const FileDialogRequest &req, bool save)
{
    // The kept dialog, unless it is open already (a request made while it
    // waits for its answer gets a dialog of its own).
    std::unique_ptr<QFileDialog> own;
    QFileDialog *dlg = nullptr;
    if (kept_ && kept_->isVisible()) {
        own = makeFileDialog(parent_, req, save);
        dlg = own.get();
    } else {
        dlg = &fileDialog(req, save);
    }
    const QPointer<QFileDialog> alive(dlg);
    FileDialogResult r;
    const bool accepted = dlg->exec() == QDialog::Accepted;
    if (!alive)
        return r;
    closeFileDialogPopups(*dlg);
    if (accepted && !dlg->selectedFiles().isEmpty()) {
        r.accepted = true;
        r.path = dlg->selectedFiles().first();
        r.selectedFilter = dlg->selectedNameFilter();
    }
    return r;
}

FileDialogResult QtUi::openFile(const FileDialogRequest &req)
{
    return runFileDialog(req, false);
}

FileDialogResult QtUi::saveFile(const FileDialogRequest &req)
{
    return runFileDialog(req, true);
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
