#include "controller/frmctrllist.h"

#include "app/appstate.h"
#include "controller/ctrlcommands.h"
#include "controller/ctrltree.h"
#include "controller/ctrltreenodes.h"
#include "workspace/mousecontrol.h"
#include "texts/loadlanguage.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

CtrlFileCommands *&registered()
{
    static CtrlFileCommands *commands = nullptr;
    return commands;
}

} // namespace

CtrlFileCommands *ctrlFileCommands()
{
    return registered();
}

void setCtrlFileCommands(CtrlFileCommands *commands)
{
    registered() = commands;
}

frmCtrlList::frmCtrlList(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmCtrlList"));

    upload_ = new QToolButton(this);
    upload_->setObjectName(QStringLiteral("cmdUpload"));
    upload_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    upload_->setAutoRaise(true);
    download_ = new QToolButton(this);
    download_->setObjectName(QStringLiteral("cmdDownload"));
    download_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    download_->setAutoRaise(true);
    for (QToolButton *b : {upload_, download_}) {
        b->setMouseTracking(true); // moves without a button held reach the filter
        b->installEventFilter(this);
    }
    tree_ = new CtrlTreeView(this);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    tree_->installEventFilter(this);
    tree_->viewport()->installEventFilter(this);

    // Upload keeps its place at the left, Download follows the right edge.
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(upload_);
    buttons->addStretch(1);
    buttons->addWidget(download_);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(buttons);
    layout->addWidget(tree_, 1);

    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("popmenu1"));
    auto entry = [this](const char *name, auto slot) {
        QAction *a = menu_->addAction(QString::fromLatin1(name));
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuNewCtrl_ = entry("mnuNewCtrl", [this] { mnuNewCtrl_Click(); });
    mnuOpenCtrl_ = entry("mnuOpenCtrl", [this] { mnuOpenCtrl_Click(); });
    menu_->addSeparator();
    mnuSaveCtrl_ = entry("mnuSaveCtrl", [this] { mnuSaveCtrl_Click(); });
    mnuSaveAsCtrl_ = entry("mnuSaveAsCtrl", [this] { mnuSaveAsCtrl_Click(); });
    menu_->addSeparator();
    mnuConnect_ = entry("mnuConnect", [this] { mnuConnect_Click(); });
    mnuDisconnect_ = entry("mnuDisconnect", [this] { mnuDisconnect_Click(); });
    menu_->addSeparator();
    mnuUpload_ = entry("mnuUpload", [this] { cmdUpload_Click(); });
    mnuDownLoad_ = entry("mnuDownLoad", [this] { cmdDownload_Click(); });
    menu_->addSeparator();
    mnuExpand_ = entry("mnuExpand", [this] { mnuExpand_Click(); });

    connect(upload_, &QToolButton::clicked, this, [this] { cmdUpload_Click(); });
    connect(download_, &QToolButton::clicked, this, [this] { cmdDownload_Click(); });
    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { nodeClicked(item); });
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        // Keyboard moves select a node as a click does; a rebuild does not.
        if (!tree_->building())
            nodeClicked(item);
    });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [] { CtrlEditSelected(); });
    connect(tree_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { menu_->popup(tree_->viewport()->mapToGlobal(pos)); });

    CtrlTreeView::setCurrent(tree_);
    setCtrlFileCommands(this);
    setCtrlTreeRebuild(RebuildCtrlTreeKeepingExpanded);
    setLanguageLoader(LanguageLoader::LoadControllerTexts, [this](int lang) { LoadControllerTexts(lang); });
    LoadControllerTexts(languageIndex());
    CtrlPaneLoaded();
}

frmCtrlList::~frmCtrlList()
{
    if (CtrlTreeView::current() == tree_)
        CtrlTreeView::setCurrent(nullptr);
    if (ctrlFileCommands() == this) {
        setCtrlFileCommands(nullptr);
        setCtrlTreeRebuild({});
        setLanguageLoader(LanguageLoader::LoadControllerTexts, {});
    }
}

void frmCtrlList::nodeClicked(QTreeWidgetItem *item)
{
    if (item)
        app().ctrl.CtrlSelectedPath = CtrlTreeView::fullPath(item);
}

namespace {

// The button takes the program's current pointer (the hourglass while a
// transfer runs, the default pointer otherwise).
void takeScreenPointer(QWidget *button)
{
    const int code = MouseControl::Cursor();
    if (code == 0)
        button->unsetCursor();
    else
        button->setCursor(MouseControl::cursorOf(code));
}

bool isMouseEvent(QEvent::Type type)
{
    return type == QEvent::MouseMove || type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease;
}

} // namespace

void frmCtrlList::cmdUpload_RestoreCursor()
{
    takeScreenPointer(upload_);
}

void frmCtrlList::cmdDownload_RestoreCursor()
{
    takeScreenPointer(download_);
}

bool frmCtrlList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == tree_->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            // The right button only opens the popup menu: it selects no
            // node, so Enter and a double click still act on the node the
            // user clicked.
            if (mouse->button() == Qt::RightButton)
                return true;
            // A double click below the nodes acts on the node clicked last,
            // as one on a node does (the tree reports that one itself).
            if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton
                && !tree_->itemAt(mouse->position().toPoint()))
                CtrlEditSelected();
            break;
        }
        default: break;
        }
        return QWidget::eventFilter(watched, event);
    }
    if (isMouseEvent(event->type())) {
        if (watched == upload_)
            cmdUpload_RestoreCursor();
        else if (watched == download_)
            cmdDownload_RestoreCursor();
    }
    if (watched == tree_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // One press of Enter is one edit: the repeats of an Enter held
            // down neither act again on a node that acts at once (a second
            // forced trigger, another Auto) nor open its dialog or message
            // again once the first has closed.
            if (!key->isAutoRepeat())
                CtrlEditSelected();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmCtrlList::mnuNewCtrl_Click()
{
    CtrlNewFile();
}

void frmCtrlList::mnuOpenCtrl_Click()
{
    CtrlOpenWithDialog();
}

void frmCtrlList::OpenCtrl(const QString &path)
{
    CtrlOpenFile(path);
}

CtrlSaveResult frmCtrlList::mnuSaveCtrl_Click()
{
    return CtrlSave();
}

CtrlSaveResult frmCtrlList::mnuSaveAsCtrl_Click()
{
    return CtrlSaveAs();
}

void frmCtrlList::cmdUpload_Click()
{
    CtrlUploadCommand();
}

void frmCtrlList::cmdDownload_Click()
{
    CtrlDownloadCommand();
}

void frmCtrlList::mnuConnect_Click()
{
    CtrlConnectCommand();
}

void frmCtrlList::mnuDisconnect_Click()
{
    CtrlDisconnectCommand();
}

void frmCtrlList::mnuExpand_Click()
{
    CtrlExpandAll();
}

void frmCtrlList::UploadToDSO()
{
    ::UploadToDSO();
}

void frmCtrlList::DownloadfromDSO()
{
    ::DownloadfromDSO();
}

void frmCtrlList::PraseCtrlList(const QString &path)
{
    ::PraseCtrlList(path);
}

void frmCtrlList::LoadControllerTexts(int lang)
{
    if (lang != LanguageChinese && lang != LanguageEnglish)
        return;
    const bool en = lang == LanguageEnglish;
    auto t = [en](const char *english, const char *chinese) {
        return QString::fromUtf8(en ? english : chinese);
    };
    setWindowTitle(t("DSO Controller", "DSO控制器"));
    upload_->setText(t("     Upload", "      上传 ."));
    download_->setText(t("     Download", "      下载 ."));
    upload_->setToolTip(t("Upload To Scope", "上传到仪器"));
    download_->setToolTip(t("Download To Software", "下载到软件"));
    mnuNewCtrl_->setText(t("&New Control File", "新建控制文件"));
    mnuOpenCtrl_->setText(t("&Open Control File", "打开控制文件"));
    mnuSaveCtrl_->setText(t("&Save Control File", "保存控制文件"));
    mnuSaveAsCtrl_->setText(t("Save Control File &As", "另存控制文件为"));
    mnuConnect_->setText(t("&Connect To DSO", "连接示波器"));
    mnuDisconnect_->setText(t("D&isconnect", "断开连接"));
    mnuUpload_->setText(t("&Upload", "上传"));
    mnuDownLoad_->setText(t("&Download", "下载"));
    mnuExpand_->setText(t("&Expand All", "展开全部节点"));
}
