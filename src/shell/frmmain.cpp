#include "shell/frmmain.h"

#include "platform/pump.h"

#include "controller/ctrltreenodes.h"
#include "datasheet/datasheetstate.h"
#include "datasheet/sheetcommands.h"
#include "editors/prasectrllist.h"
#include "transfer/frmprgress.h"
#include "transfer/uploaddownload.h"

#include "app/appstate.h"
#include "link/commport.h"
#include "link/connectfunc.h"
#include "link/linkindicator.h"
#include "link/rs232func.h"
#include "panel/panelopen.h"
#include "platform/clock.h"
#include "platform/print/printpicture.h"
#include "platform/pump.h"
#include "platform/settingsstore.h"
#include "platform/ui/ui.h"
#include "texts/busytexts.h"
#include "workspace/captionapply.h"
#include "workspace/itemplacement.h"
#include "workspace/itemrefresh.h"
#include "shell/frmabout.h"
#include "shell/frmnewdoc.h"
#include "shell/frmopendoc.h"
#include "shell/frmoptions.h"
#include "shell/itemkinds.h"
#include "workspace/pictures.h"
#include "workspace/modalrunner.h"
#include "workspace/mousecontrol.h"
#include "workspace/itemrefresh.h"
#include "workspace/panetree.h"
#include "shell/panewidths.h"
#include "shell/programicon.h"
#include "workspace/recentfiles.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"

#include <QApplication>
#include <QStyle>
#include <QCloseEvent>
#include <QDate>
#include <QDesktopServices>
#include <QAbstractButton>
#include <QDockWidget>
#include <QTreeView>
#include <QtEndian>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTime>
#include <QToolBar>
#include <QUrl>

#include <algorithm>

namespace {

// The main toolbar on the window's own ground: the style's bevel for a main
// window's toolbar, a gradient across the whole width, is drawn in strips on
// helper threads, the costliest paint of the first picture.
class MainToolBar final : public QToolBar {
public:
    using QToolBar::QToolBar;

protected:
    void paintEvent(QPaintEvent *) override {}
};

const QString AppTitle = QStringLiteral("Kelvoscope");
const QString PaneDataSheet = QStringLiteral("DataSheet");
const QString PaneController = QStringLiteral("Controller");
constexpr int PaneLayoutVersion = 1;

// Walks a stored pane layout (the window's saved state: two ints, then the
// dock section, floating tab groups and the toolbar section, every number a
// big-endian 32-bit int) the way the window reads it, before the window is
// given it. The window's own reader trusts the counts and dock area numbers
// it finds: a count larger than the bytes left has it read the missing
// entries one by one (billions of them: the start hangs for minutes), and a
// dock area number beyond the four has it index past its areas (the start
// crashes). A layout whose every count is met by its bytes, whose dock areas
// are the four and whose nesting is shallow is one the window can take.
class PaneLayoutWalk {
public:
    explicit PaneLayoutWalk(const QByteArray &b) : b_(b) {}

    bool whole()
    {
        if (!skip(8))
            return false;
        while (at_ < b_.size()) {
            quint8 marker = 0;
            if (!byte(&marker))
                return false;
            switch (marker) {
            case 0xfd: // docks
                if (!docks())
                    return false;
                break;
            case 0xf9: // a floating tab group: its rectangle, then its areas
                if (!skip(16) || !area(0))
                    return false;
                break;
            case 0xfe: // toolbars
            case 0xfc: // toolbars with their geometry
                if (!toolBars(marker == 0xfc))
                    return false;
                break;
            default:
                return false;
            }
        }
        return true;
    }

private:
    static constexpr int MaxDepth = 16;
    const QByteArray &b_;
    qsizetype at_ = 0;

    bool skip(qsizetype n)
    {
        if (n < 0 || n > b_.size() - at_)
            return false;
        at_ += n;
        return true;
    }
    bool byte(quint8 *v)
    {
        if (at_ >= b_.size())
            return false;
        *v = quint8(b_[at_++]);
        return true;
    }
    bool int32(qint32 *v)
    {
        if (b_.size() - at_ < 4)
            return false;
        *v = qFromBigEndian<qint32>(b_.constData() + at_);
        at_ += 4;
        return true;
    }
    bool text()
    {
        qint32 n = 0;
        if (!int32(&n))
            return false;
        return n == -1 || skip(qsizetype(quint32(n)));
    }
    // Each entry of a count takes at least one byte, so a walk over a count
    // ends at the bytes' end.
    bool docks()
    {
        qint32 n = 0;
        if (!int32(&n))
            return false;
        for (qint32 i = 0; i < n; ++i) {
            qint32 pos = 0;
            if (!int32(&pos) || pos < 0 || pos > 3 || !skip(8) || !area(0))
                return false;
        }
        return skip(8 + 16); // the central area's size, the four corners
    }
    bool area(int depth)
    {
        quint8 marker = 0;
        if (depth > MaxDepth || !byte(&marker) || (marker != 0xfc && marker != 0xfa))
            return false;
        qint32 n = 0;
        if ((marker == 0xfa && !skip(4)) || !skip(1) || !int32(&n))
            return false;
        for (qint32 i = 0; i < n; ++i) {
            quint8 item = 0;
            if (!byte(&item))
                return false;
            if (item == 0xfb) { // a pane: its name, flags and four numbers
                if (!text() || !skip(1 + 16))
                    return false;
            } else if (item == 0xfc) { // a nested area
                if (!skip(16) || !area(depth + 1))
                    return false;
            } else {
                return false;
            }
        }
        return true;
    }
    bool toolBars(bool geometry)
    {
        qint32 lines = 0;
        if (!int32(&lines))
            return false;
        for (qint32 j = 0; j < lines; ++j) {
            qint32 pos = 0, n = 0;
            if (!int32(&pos) || pos < 0 || pos > 3 || !int32(&n))
                return false;
            for (qint32 k = 0; k < n; ++k)
                if (!text() || !skip(1 + 8 + (geometry ? 8 : 0)))
                    return false;
        }
        return true;
    }
};

std::function<bool(const QString &)> &helpOpener()
{
    static std::function<bool(const QString &)> fn;
    return fn;
}

QPixmap lampPixmap(const QColor &c)
{
    QPixmap pix(16, 16);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(c);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    return pix;
}

ShellHooks &hooks()
{
    return app().shell.hooks;
}

void call(const std::function<void()> &fn)
{
    if (fn)
        fn();
}

SaveOutcome callSave(const std::function<SaveOutcome()> &fn)
{
    return fn ? fn() : SaveOutcome::Failed;
}

bool transferBusy()
{
    return app().transfer.TransferBusy;
}

// A pane's dock. Qt names the buttons of a dock's title bar (for the
// screen readers) once, when the dock is made; on a language switch the dock
// takes the names again from a dock made under the new translations.
class PaneDock final : public QDockWidget {
public:
    using QDockWidget::QDockWidget;

protected:
    void changeEvent(QEvent *event) override
    {
        QDockWidget::changeEvent(event);
        if (event->type() == QEvent::LanguageChange)
            renameTitleButtons();
    }

private:
    void renameTitleButtons()
    {
        QDockWidget fresh;
        fresh.setFeatures(features());
        for (QAbstractButton *mine : findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly)) {
            if (mine->objectName().isEmpty())
                continue;
            if (auto *now = fresh.findChild<QAbstractButton *>(mine->objectName(), Qt::FindDirectChildrenOnly)) {
                mine->setAccessibleName(now->accessibleName());
                mine->setAccessibleDescription(now->accessibleDescription());
                mine->setToolTip(now->toolTip());
            }
        }
    }
};

} // namespace

void setHelpOpener(std::function<bool(const QString &path)> opener)
{
    helpOpener() = std::move(opener);
}

frmMain::frmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(AppTitle);
    // The program's icon, for this window and every window it opens (item
    // windows, dialogs and message boxes without an icon of their own).
    const QIcon icon = programIcon();
    QApplication::setWindowIcon(icon);
    setWindowIcon(icon);
    resize(1024, 720);

    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("mdiArea"));
    // Item windows moved or left beyond the area stay within reach.
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);

    buildMenus();
    buildToolBar();
    buildStatusBar();
    buildTimers();

    // Where a print went (or that it failed) shows as the status text, until
    // the next print or serial-port event.
    setPrintNotice([self = QPointer<frmMain>(this)](const QString &text) {
        if (self)
            self->setStatusText(text);
    });

    auto *f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::ApplicationShortcut);
    connect(f1, &QShortcut::activated, this, [this] { openHelp(); });
}

frmMain::~frmMain()
{
    setBusyNotice({});
    // The loaders and menu hooks point at this window: take them out.
    TextState &t = app().texts;
    for (LanguageLoader id : {LanguageLoader::LoadMainMenuTexts, LanguageLoader::LoadTreeMenuTexts,
                              LanguageLoader::LoadMainToolbarTexts, LanguageLoader::LoadDataSheetTreeTexts,
                              LanguageLoader::LoadControllerTexts})
        setLanguageLoader(id, {});
    t.LanguageMenuTick = {};
    setRecentMenusChanged({});
    if (ownComm_ && commControl() == ownComm_)
        setCommControl(nullptr);
    if (app().shell.MainForm == this)
        app().shell.MainForm = nullptr;
}

QAction *frmMain::addAction(QMenu *m, const char *name, const QString &text, void (frmMain::*slot)())
{
    auto *a = new QAction(text, m);
    a->setObjectName(QLatin1String(name));
    m->addAction(a);
    if (slot)
        connect(a, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
    return a;
}

void frmMain::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto menuNamed = [this, bar](const char *name, const QString &title, QMenu *parentMenu = nullptr) {
        auto *m = new QMenu(title, parentMenu ? static_cast<QWidget *>(parentMenu) : static_cast<QWidget *>(this));
        m->setObjectName(QLatin1String(name));
        if (parentMenu)
            parentMenu->addMenu(m);
        else
            bar->addMenu(m);
        return m;
    };

    QMenu *file = menuNamed("mnuFile", QStringLiteral("&File"));
    addAction(file, "mnuFileNew", QStringLiteral("&New"), &frmMain::mnuFileNew_Click)->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    addAction(file, "mnuFileOpen", QStringLiteral("&Open..."), &frmMain::mnuFileOpen_Click)->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    file->addSeparator();
    addAction(file, "mnuFileSaveDataSheet", QStringLiteral("&Save Data Sheet"), &frmMain::mnuFileSaveDataSheet_Click);
    addAction(file, "mnuFileSaveCtrlFile", QStringLiteral("Save C&ontroller"), &frmMain::mnuFileSaveCtrlFile_Click);
    addAction(file, "mnuFileSaveAll", QStringLiteral("Save A&ll"), &frmMain::mnuFileSaveAll_Click);
    file->addSeparator();
    addAction(file, "mnuFilePageSetup", QStringLiteral("Page Set&up..."), &frmMain::mnuFilePageSetup_Click);
    file->addSeparator();
    QMenu *recentCtrl = menuNamed("mnuRecentCtrlRoot", QStringLiteral("&Recent Control File"), file);
    QMenu *recentSheet = menuNamed("mnuRecentSheetRoot", QStringLiteral("Recen&t Data Sheet File"), file);
    for (int i = 0; i < RecentEntryCount; ++i) {
        QAction *c = addAction(recentCtrl, "", QString(), nullptr);
        c->setObjectName(QStringLiteral("mnuFileRecentCtrl_%1").arg(i));
        connect(c, &QAction::triggered, this, [this, i] { mnuFileRecentCtrl_Click(i); });
        QAction *s = addAction(recentSheet, "", QString(), nullptr);
        s->setObjectName(QStringLiteral("mnuFileRecentSheet_%1").arg(i));
        connect(s, &QAction::triggered, this, [this, i] { mnuFileRecentSheet_Click(i); });
    }
    file->addSeparator();
    // Exit and Disconnect act at once, even while the instrument is being
    // talked to (they abandon the exchange).
    letActDuringExchange(addAction(file, "mnuFileExit", QStringLiteral("E&xit"), &frmMain::mnuFileExit_Click));

    QMenu *view = menuNamed("mnuView", QStringLiteral("&View"));
    // Qt flips a checkable entry's tick before the command runs; the commands
    // invert the tick themselves (the toolbar calls them too), so the menu
    // first puts the tick back.
    const auto viewEntry = [this, view](const char *name, const QString &text, void (frmMain::*cmd)(), bool ticked) {
        QAction *a = addAction(view, name, text, nullptr);
        a->setCheckable(true);
        a->setChecked(ticked);
        connect(a, &QAction::triggered, this, [this, a, cmd] {
            a->setChecked(!a->isChecked());
            (this->*cmd)();
        });
    };
    viewEntry("mnuViewToolbar", QStringLiteral("&Toolbar"), &frmMain::mnuViewToolbar_Click, true);
    viewEntry("mnuViewStatusBar", QStringLiteral("Status &Bar"), &frmMain::mnuViewStatusBar_Click, true);
    view->addSeparator();
    viewEntry("mnuViewController", QStringLiteral("Show &Controller"), &frmMain::mnuViewController_Click, false);
    viewEntry("mnuViewDataBrowser", QStringLiteral("Show &Data Browser"), &frmMain::mnuViewDataBrowser_Click, false);

    QMenu *tools = menuNamed("mnuTools", QStringLiteral("&Tools"));
    addAction(tools, "mnuToolsConnect", QStringLiteral("&Connect to Oscilloscope"), &frmMain::mnuToolsConnect_Click);
    letActDuringExchange(
        addAction(tools, "mnuToolsDisconnect", QStringLiteral("&Disconnect"), &frmMain::mnuToolsDisconnect_Click));
    tools->addSeparator();
    addAction(tools, "mnuToolsOptions", QStringLiteral("&Options..."), &frmMain::mnuToolsOptions_Click);

    windowMenu_ = menuNamed("mnuWindow", QStringLiteral("&Window"));
    addAction(windowMenu_, "mnuWindowCascade", QStringLiteral("&Cascade"), &frmMain::mnuWindowCascade_Click);
    addAction(windowMenu_, "mnuWindowTileHorizontal", QStringLiteral("Tile &Horizontal"), &frmMain::mnuWindowTileHorizontal_Click);
    addAction(windowMenu_, "mnuWindowTileVertical", QStringLiteral("Tile &Vertical"), &frmMain::mnuWindowTileVertical_Click);
    addAction(windowMenu_, "mnuWindowArrangeIcons", QStringLiteral("&Arrange Icons"), &frmMain::mnuWindowArrangeIcons_Click);
    connect(windowMenu_, &QMenu::aboutToShow, this, [this] { rebuildWindowMenu(); });

    QMenu *help = menuNamed("mnuHelp", QStringLiteral("&Help"));
    addAction(help, "mnuHelpContents", QStringLiteral("Contents..."), &frmMain::mnuHelpContents_Click);
    help->addSeparator();
    addAction(help, "mnuHelpAbout", QStringLiteral("&About"), &frmMain::mnuHelpAbout_Click);
    help->addSeparator();
    QMenu *language = menuNamed("mnuHelpLanguage", QStringLiteral("Language"), help);
    QAction *zh = addAction(language, "mnuLanguageChinese", QStringLiteral("中文"), nullptr);
    QAction *en = addAction(language, "mnuLanguageEnglish", QStringLiteral("English"), nullptr);
    zh->setCheckable(true);
    en->setCheckable(true);
    en->setChecked(true);
    connect(zh, &QAction::triggered, this, [this] { mnuLanguage_Click(LanguageChinese); });
    connect(en, &QAction::triggered, this, [this] { mnuLanguage_Click(LanguageEnglish); });
}

void frmMain::buildToolBar()
{
    tbToolBar_ = new MainToolBar(QStringLiteral("Toolbar"), this);
    tbToolBar_->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar_->setMovable(false);
    addToolBar(Qt::TopToolBarArea, tbToolBar_);
    struct Button {
        const char *key;
        const char *tip;
        const char *picture;
    };
    // Positions 1 to 18; a null key is a separator. The pictures are built in
    // (no icon theme is looked up at start-up).
    static const Button buttons[] = {
        {"New", "New", "tb-new"},
        {"Open", "Open", "tb-open"},
        {"Save", "Save", "tb-save"},
        {nullptr, nullptr, nullptr},
        {"Connect", "Connect to Oscilloscope", "tb-connect"},
        {"Disconnect", "Disconnect", "tb-disconnect"},
        {nullptr, nullptr, nullptr},
        {"Controller", "DSO Controller", "tb-controller"},
        {"DataBrowser", "Data Browser", "tb-databrowser"},
        {nullptr, nullptr, nullptr},
        {"AddNewWaveform", "Add new Waveform", "tb-wave"},
        {"AddNewMeasure", "Add new Measure", "tb-measure"},
        {"AddNewData", "Add new Data", "tb-data"},
        {nullptr, nullptr, nullptr},
        {"AddNewRecord", "Add New Record", "tb-record"},
        {"AddNewMemoryWaveform", "Add New Memory Waveform", "tb-memorywave"},
        {nullptr, nullptr, nullptr},
        {"Options", "Options", "tb-options"},
    };
    for (const Button &b : buttons) {
        if (!b.key) {
            tbToolBar_->addSeparator();
            continue;
        }
        const QString key = QLatin1String(b.key);
        QAction *a = tbToolBar_->addAction(pictureIcon(b.picture), QString());
        a->setObjectName(QStringLiteral("tbButton_") + key);
        a->setData(key);
        a->setToolTip(QLatin1String(b.tip));
        connect(a, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
    }
    // Disconnect acts at once, even while the instrument is being talked to.
    letActDuringExchange(findChild<QAction *>(QStringLiteral("tbButton_Disconnect")));
    // Moving the mouse over the toolbar gives the main window the focus.
    tbToolBar_->installEventFilter(this);
    setAddItemButtonsEnabled(false);
}

void frmMain::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("sbrStatus"));
    status_ = new QLabel(bar);
    status_->setObjectName(QStringLiteral("sbrStatus_Status"));
    setStatusText(QStringLiteral("Status"));
    date_ = new QLabel(bar);
    date_->setObjectName(QStringLiteral("sbrStatus_Date"));
    time_ = new QLabel(bar);
    time_->setObjectName(QStringLiteral("sbrStatus_Time"));
    // The lamps sit at the right end of the status bar, where the layout
    // always keeps them in view, whatever the window's width.
    picLED_OFF_ = new QLabel(bar);
    picLED_OFF_->setObjectName(QStringLiteral("picLED_OFF"));
    picLED_OFF_->setPixmap(lampPixmap(QColor(170, 0, 0)));
    picLED_OFF_->setFixedSize(16, 16);
    picLED_OFF_->setToolTip(QStringLiteral("Connection Status-[Disconnected]"));
    picLED_ON_ = new QLabel(bar);
    picLED_ON_->setObjectName(QStringLiteral("picLED_ON"));
    picLED_ON_->setPixmap(lampPixmap(QColor(0, 210, 0)));
    picLED_ON_->setFixedSize(16, 16);
    picLED_ON_->setToolTip(QStringLiteral("Connection Status-[Connected]"));
    bar->addWidget(status_, 1);
    bar->addPermanentWidget(date_);
    bar->addPermanentWidget(time_);
    bar->addPermanentWidget(picLED_OFF_);
    bar->addPermanentWidget(picLED_ON_);
    picLED_ON_->hide();
    const auto tick = [this] {
        const QDateTime now = QDateTime::currentDateTime();
        date_->setText(QLocale::system().toString(now.date(), QLocale::ShortFormat));
        time_->setText(QLocale::system().toString(now.time(), QLocale::ShortFormat));
    };
    tick();
    clockPanelTimer_ = appClock().makeTimer();
    clockPanelTimer_->onTimeout = tick;
    clockPanelTimer_->start(1000);
}

void frmMain::buildPanes()
{
    if (dataSheetDock_)
        return; // made once
    ShellHooks &h = hooks();
    frmDataSheetTree_ = h.MakeDataSheetPane ? h.MakeDataSheetPane(this) : nullptr;
    if (!frmDataSheetTree_) {
        frmDataSheetTree_ = new QWidget(this); // empty until the data sheet pane exists
        frmDataSheetTree_->setObjectName(QStringLiteral("frmDataSheetTree"));
    }
    frmCtrlList_ = h.MakeControllerPane ? h.MakeControllerPane(this) : nullptr;
    if (!frmCtrlList_) {
        frmCtrlList_ = new QWidget(this); // stands in for the controller pane
        frmCtrlList_->setObjectName(QStringLiteral("frmCtrlList"));
    }
    auto dock = [this](const QString &key, QWidget *w) {
        auto *d = new PaneDock(w->windowTitle(), this);
        d->setObjectName(key);
        d->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
        d->setWidget(w);
        // The pane's title is the dock's title.
        connect(w, &QWidget::windowTitleChanged, d, &QDockWidget::setWindowTitle);
        d->hide();
        return d;
    };
    dataSheetDock_ = dock(PaneDataSheet, frmDataSheetTree_);
    controllerDock_ = dock(PaneController, frmCtrlList_);
    // Every row of the panes' trees whole, scrolled across where it is wide;
    // the panes keep their widths through a window made small.
    for (QWidget *w : {frmDataSheetTree_, frmCtrlList_})
        for (QTreeView *tree : w->findChildren<QTreeView *>())
            ShowWholeRows(tree);
    paneWidths_ = new PaneWidths(this, {dataSheetDock_, controllerDock_});
}

void frmMain::bindControllerHooks()
{
    // The controller reaches the link and the recent list through these; a
    // hook already set (by a test) is kept.
    CtrlHooks &c = app().ctrl.hooks;
    if (!c.linkConnected)
        c.linkConnected = [] { return app().link.LinkConnected != 0; };
    if (!c.laPresent)
        c.laPresent = [] { return app().link.LaPresent != 0; };
    if (!c.connectInstrument)
        c.connectInstrument = [] { ConnectInstrument(); };
    if (!c.disconnectInstrument)
        c.disconnectInstrument = [] { DisconnectInstrument(); };
    if (!c.addRecentCtrlFile)
        c.addRecentCtrlFile = [](const QString &path) { AddRecentCtrlFile(path); };
    // Upload and Download run in the transfer dialog.
    if (!c.showTransfer)
        c.showTransfer = [](const QString &caption) { ShowTransferDialog(caption); };
    if (!app().xfer.SettingsTransfer)
        InstallSettingsTransfer();
    // A waveform request in X-Y turns both channels on in the tree too.
    if (!app().xfer.SetCtrlTreeNodeText)
        app().xfer.SetCtrlTreeNodeText = [](int group, int item, const QString &text) {
            SetCtrlNodeText(group, item, text);
        };
    // A double-clicked node goes to the setting editors' dispatcher, which
    // also opens the virtual panel (or keyboard).
    if (!c.editSetting)
        InstallSettingEditors();
}

void frmMain::buildTimers()
{
    Clock &c = appClock();
    CommTimer = c.makeTimer();
    CommTimer->setSingleShot(true);
    CommTimer->onTimeout = [this] { CommTimer_Timer(); };
    TimerInit = c.makeTimer();
    TimerInit->setSingleShot(true);
    TimerInit->onTimeout = [this] { TimerInit_Timer(); };
    TimeOutTimer = c.makeTimer();
    TimeOutTimer->onTimeout = [] { ++app().shell.RxTicks; };
    CommBusyTimer = c.makeTimer();
    CommBusyTimer->onTimeout = [] {};
}

void frmMain::installLanguageLoaders()
{
    setLanguageLoader(LanguageLoader::LoadMainMenuTexts, [this](int lang) {
        applyCaptions(this, mainMenuCaptions(), lang);
        showStatusText();
    });
    setLanguageLoader(LanguageLoader::LoadTreeMenuTexts, [this](int lang) {
        if (!dataSheetDock_) {
            buildPanes();
            // The controller pane installs a caption loader of its own; the
            // shell's tables stay the ones in force.
            setLanguageLoader(LanguageLoader::LoadControllerTexts,
                              [this](int l) { applyCaptions(frmCtrlList_, controllerCaptions(), l); });
        }
        applyCaptions(frmDataSheetTree_, dataSheetTreeMenuCaptions(), lang);
        applyCaptions(frmCtrlList_, ctrlListMenuCaptions(), lang);
    });
    setLanguageLoader(LanguageLoader::LoadMainToolbarTexts, [this](int lang) { applyCaptions(this, mainToolbarCaptions(), lang); });
    setLanguageLoader(LanguageLoader::LoadDataSheetTreeTexts, [this](int lang) {
        applyCaptions(frmDataSheetTree_, dataSheetTreeCaptions(), lang);
        RetranslateUntitledSheet();
    });
    setLanguageLoader(LanguageLoader::LoadControllerTexts,
                      [this](int lang) { applyCaptions(frmCtrlList_, controllerCaptions(), lang); });
    setLanguageMenuTick([this](bool chinese) {
        action(QStringLiteral("mnuLanguageChinese"))->setChecked(chinese);
        action(QStringLiteral("mnuLanguageEnglish"))->setChecked(!chinese);
    });
}

void frmMain::MDIForm_Load()
{
    ShellState &s = app().shell;
    // No transfer runs; the recent menus.
    app().transfer.TransferBusy = false;
    setRecentMenusChanged([this] { refreshRecentMenus(); });
    UpdateRecentSheetMenu();
    UpdateRecentCtrlMenu();
    // Link start values, lamps, timers (colours and banners are constants).
    CommTimer->stop();
    call(s.hooks.ResetLinkStartValues);
    app().Sheet.Modified = false;
    s.MainForm = this;
    s.PicConnected = picLED_ON_;
    s.PicDisconnected = picLED_OFF_;
    CommBusyTimer->start(200);
    TimeOutTimer->start(100);
    // The signs of an exchange with the instrument in the status bar.
    setBusyNotice([this](BusyNotice n, bool on) { showBusyNotice(n, on); });
    // The serial-port control: the program's own unless one is installed.
    if (!commControl()) {
        ownComm_ = new SerialCommPort(this);
        setCommControl(ownComm_);
    }
    connect(commControl(), &CommPort::OnComm, this, [this](int event) { MSComm1_OnComm(event); });
    connect(&linkIndicator(), &LinkIndicator::lampsChanged, this, [this] { updateConnectionLamps(); });
    // Options and the window's rectangle.
    TwipsRect rect = pixelsToTwips(QRect(pos(), size()), twipsPerPixel());
    LoadSoftwareSetting(&rect);
    if (HasStoredWindowRect()) {
        applyWindowRect(rect);
    } else if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        // Never stored: a usable size for the screen rather than the small
        // default rectangle.
        const QRect r = firstStartWindowRect(screen->availableGeometry());
        move(r.topLeft());
        resize(r.size());
    } else {
        applyWindowRect(rect);
    }
    // VISA resource manager; one-time flags of the panes; the language.
    call(s.hooks.OpenVisaRM);
    app().ctrl.CtrlInitialised = false;
    s.DataBrowserLoaded = false;
    // The panes load when the language is first applied to them (after the
    // word tables of the language are filled), so that the controller's
    // first load sets its defaults in that language.
    bindControllerHooks();
    bindItemWindows();
    installLanguageLoaders();
    ApplyLanguage(languageIndex());
    buildPanes(); // whatever language was applied
    // Connect only when the option asks for it.
    if (s.StartupCheckHardware)
        call(s.hooks.ConnectInstrument);
    updateConnectionLamps();
    // The deferred start-up step.
    TimerInit->start(1);
    // The flags of every item slot; tool windows not loaded.
    DataSheet &sheet = app().Sheet;
    for (int i = 0; i < DataSheet::WaveSlots; ++i) {
        WaveDoc &w = sheet.WaveDocs[size_t(i)];
        w.Refreshing = false;
        w.ShowCH1 = w.ShowCH2 = w.ShowMath = w.ShowLA = false;
        w.DrawCH1 = w.DrawCH2 = w.DrawMath = w.DrawLA = false;
    }
    for (int i = 0; i < DataSheet::DataSlots; ++i) {
        sheet.DataDocs[size_t(i)].Refreshing = false;
        sheet.DataDocs[size_t(i)].Channel.clear();
    }
    for (int i = 0; i < DataSheet::MeasSlots; ++i)
        sheet.MeasDocs[size_t(i)].Refreshing = false;
    s.KeyboardLoaded = false;
    s.PanelLoaded = false;
    // Both panes docked the same way, hidden until the start-up step.
    addDockWidget(Qt::LeftDockWidgetArea, dataSheetDock_);
    addDockWidget(Qt::LeftDockWidgetArea, controllerDock_);
    dataSheetDock_->hide();
    controllerDock_->hide();
}

void frmMain::TimerInit_Timer()
{
    TimerInit->stop();
    ShowPane(PaneDataSheet);
    ShowPane(PaneController);
    action(QStringLiteral("mnuViewController"))->setChecked(true);
    action(QStringLiteral("mnuViewDataBrowser"))->setChecked(true);
    restorePaneLayout();
    ShellState &s = app().shell;
    if (s.StartupLoadCtrl && !s.RecentCtrl.Captions[0].isEmpty() && s.hooks.OpenCtrl)
        s.hooks.OpenCtrl(s.RecentCtrl.Captions[0]);
    if (s.StartupLoadSheet && !s.RecentSheet.Captions[0].isEmpty() && s.hooks.OpenDataSheet)
        s.hooks.OpenDataSheet(s.RecentSheet.Captions[0]);
    MDIForm_Resize();
}

bool frmMain::panesInPlace() const
{
    for (QDockWidget *d : {dataSheetDock_, controllerDock_})
        if (d->isFloating() || dockWidgetArea(d) == Qt::NoDockWidgetArea)
            return false;
    return toolBarArea(tbToolBar_) == Qt::TopToolBarArea;
}

void frmMain::restorePaneLayout()
{
    const QString stored = GetSetting(QLatin1String(StoreKeys::WindowSettings), QLatin1String(StoreKeys::MainLayout));
    const QByteArray state = QByteArray::fromBase64(stored.toLatin1());
    const bool restored = !state.isEmpty() && PaneLayoutWalk(state).whole() && restoreState(state, PaneLayoutVersion);
    // Both panes are shown at every start, wherever the user put them; the
    // toolbar follows its menu entry.
    const auto showPanes = [this] {
        dataSheetDock_->show();
        controllerDock_->show();
        tbToolBar_->setVisible(action(QStringLiteral("mnuViewToolbar"))->isChecked());
    };
    if (restored && panesInPlace()) {
        showPanes();
        return;
    }
    if (restored) {
        // A layout the window can take but that leaves a pane out of the dock
        // areas (or floating), or the toolbar out of its place, as a store
        // cut short does: it counts as none. Everything goes back where the
        // start put it.
        addToolBar(Qt::TopToolBarArea, tbToolBar_);
        for (QDockWidget *d : {dataSheetDock_, controllerDock_}) {
            d->setFloating(false);
            addDockWidget(Qt::LeftDockWidgetArea, d);
        }
        showPanes();
    }
    // The first split: the panes as wide as their trees' rows, between a
    // fifth and a third of the window; the Data Browser's few rows above,
    // most of the height for the settings tree.
    const int h = qMax(200, height());
    resizeDocks({dataSheetDock_, controllerDock_}, {h * 3 / 10, h * 7 / 10}, Qt::Vertical);
    int rows = 0;
    for (QDockWidget *d : {dataSheetDock_, controllerDock_})
        for (const QTreeView *tree : d->findChildren<QTreeView *>())
            rows = qMax(rows, WholeRowsWidth(tree) + d->width() - tree->width());
    const int wide = std::clamp(rows, width() / 5, qMax(width() / 5, width() / 3));
    resizeDocks({dataSheetDock_}, {qMax(dataSheetDock_->minimumSizeHint().width(), wide)}, Qt::Horizontal);
}

void frmMain::applyWindowRect(const TwipsRect &tw)
{
    QRect r = twipsToPixels(tw, twipsPerPixel());
    QList<QRect> screens;
    if (const QScreen *p = QGuiApplication::primaryScreen())
        screens << p->availableGeometry();
    for (const QScreen *sc : QGuiApplication::screens())
        if (sc != QGuiApplication::primaryScreen())
            screens << sc->availableGeometry();
    r = placeOnScreens(r, screens);
    move(r.topLeft());
    resize(r.size());
}

// ---- close ----

void frmMain::closeEvent(QCloseEvent *e)
{
    if (unloaded_) {
        e->accept();
        return;
    }
    if (!closing_ && exchangeRunning()) {
        // Closed while the instrument is being talked to: the exchange is
        // abandoned and the close comes again when it has ended.
        e->ignore();
        abandonExchange();
        if (!closeAfterExchange_) {
            closeAfterExchange_ = true;
            runAfterExchange([this] {
                closeAfterExchange_ = false;
                close();
            });
        }
        return;
    }
    if (closing_ || transferBusy()) {
        e->ignore(); // a transfer runs, or the prompts already do: the window stays
        return;
    }
    closing_ = true;
    const bool goOn = QueryUnload();
    closing_ = false;
    if (!goOn) {
        e->ignore();
        return;
    }
    Unload();
    e->accept();
}

bool frmMain::QueryUnload()
{
    bool cancel = false;
    const auto prompt = [&cancel](const QString &text, const std::function<SaveOutcome()> &save) {
        // A continuous refresh below waits while the question is open, and
        // shows that it does.
        const RefreshPause pause;
        const MsgAnswer a = ui().message(MsgIcon::None, AppTitle, text, MsgButtons::YesNoCancel);
        if (a == MsgAnswer::Yes) {
            // An abandoned or failed save keeps the program running, as Cancel.
            if (callSave(save) != SaveOutcome::Saved)
                cancel = true;
        } else if (a == MsgAnswer::Cancel) {
            cancel = true;
        }
    };
    ShellHooks &h = hooks();
    const DataSheet &sheet = app().Sheet;
    if (sheet.Modified)
        prompt(message(Msg::MsgSaveSheetPrompt) + sheet.Path, h.mnuSaveDataSheet_Click);
    if (h.CtrlFileModified && h.CtrlFileModified())
        prompt(message(Msg::MsgSaveCtrlPrompt) + (h.CtrlFilePath ? h.CtrlFilePath() : QString()), h.mnuSaveCtrl_Click);
    return !cancel;
}

void frmMain::Unload()
{
    ShellHooks &h = hooks();
    if (isMinimized()) {
        SaveSoftwareSetting(nullptr);
    } else {
        const TwipsRect rect = pixelsToTwips(QRect(pos(), size()), twipsPerPixel());
        SaveSoftwareSetting(&rect);
    }
    // The panes' split and places, once the start-up step has laid them out.
    if (!TimerInit->isActive())
        SaveSetting(QLatin1String(StoreKeys::WindowSettings), QLatin1String(StoreKeys::MainLayout),
                    QString::fromLatin1(saveState(PaneLayoutVersion).toBase64()));
    if (h.LinkConnected && h.LinkConnected() && h.SendCommand)
        h.SendCommand(QStringLiteral(":KEY:LOCK DISABLE"));
    call(h.CloseVisaAll);
    for (auto *t : {CommTimer.get(), TimerInit.get(), TimeOutTimer.get(), CommBusyTimer.get(), clockPanelTimer_.get()})
        t->stop();
    mdi_->closeAllSubWindows();
    unloaded_ = true;
}

// ---- File ----

void frmMain::mnuFileNew_Click()
{
    if (transferBusy())
        return;
    ShellState &s = app().shell;
    s.DialogOK = false;
    {
        frmNewDoc dlg(this);
        runModal(dlg);
    }
    if (!s.DialogOK)
        return;
    ShellHooks &h = s.hooks;
    switch (s.DocType) {
    case 1: call(h.mnuNewDataSheet_Click); break;
    case 2: call(h.mnuNewCtrl_Click); break;
    case 3: call(h.AddNewWaveform); break;
    case 4: call(h.AddNewMeasure); break;
    case 5: call(h.AddNewData); break;
    case 6: call(h.AddNewRecord); break;
    case 7: call(h.AddNewMemoryWave); break;
    default: break;
    }
}

void frmMain::mnuFileOpen_Click()
{
    if (transferBusy())
        return;
    ShellState &s = app().shell;
    s.DialogOK = false;
    {
        frmOpenDoc dlg(this);
        runModal(dlg);
    }
    if (!s.DialogOK)
        return;
    if (s.DocType == 1)
        call(s.hooks.mnuOpenDataSheet_Click);
    else if (s.DocType == 2)
        call(s.hooks.mnuOpenCtrl_Click);
}

void frmMain::mnuFileSaveDataSheet_Click()
{
    callSave(hooks().mnuSaveDataSheet_Click);
}

void frmMain::mnuFileSaveCtrlFile_Click()
{
    callSave(hooks().mnuSaveCtrl_Click);
}

void frmMain::mnuFileSaveAll_Click()
{
    callSave(hooks().mnuSaveCtrl_Click);
    callSave(hooks().mnuSaveDataSheet_Click);
}

void frmMain::mnuFilePageSetup_Click()
{
    // The page of the printer prints go to: what is chosen here is the page
    // of every later print and preview there. A cancel is no error.
    const RefreshPause pause;
    PageSetupForPrints();
}

void frmMain::mnuFileRecentCtrl_Click(int index)
{
    if (transferBusy() || index < 0 || index >= RecentEntryCount)
        return;
    const QString path = app().shell.RecentCtrl.Captions[size_t(index)];
    if (!path.isEmpty() && hooks().OpenCtrl)
        hooks().OpenCtrl(path);
}

void frmMain::mnuFileRecentSheet_Click(int index)
{
    if (transferBusy() || index < 0 || index >= RecentEntryCount)
        return;
    const QString path = app().shell.RecentSheet.Captions[size_t(index)];
    if (!path.isEmpty() && hooks().OpenDataSheet)
        hooks().OpenDataSheet(path);
}

void frmMain::mnuFileExit_Click()
{
    close();
}

void frmMain::refreshRecentMenus()
{
    const ShellState &s = app().shell;
    const auto apply = [this](const RecentMenuState &m, const QString &root, const QString &entry) {
        menu(root)->menuAction()->setEnabled(m.RootEnabled);
        for (int i = 0; i < RecentEntryCount; ++i) {
            QAction *a = action(entry + QString::number(i));
            // The path exactly as stored: no access key, no number.
            QString text = m.Captions[size_t(i)];
            a->setText(text.replace(QLatin1Char('&'), QStringLiteral("&&")));
            a->setVisible(m.Visible[size_t(i)]);
        }
    };
    apply(s.RecentCtrl, QStringLiteral("mnuRecentCtrlRoot"), QStringLiteral("mnuFileRecentCtrl_"));
    apply(s.RecentSheet, QStringLiteral("mnuRecentSheetRoot"), QStringLiteral("mnuFileRecentSheet_"));
}

// ---- View ----

void frmMain::mnuViewToolbar_Click()
{
    QAction *a = action(QStringLiteral("mnuViewToolbar"));
    a->setChecked(!a->isChecked());
    tbToolBar_->setVisible(a->isChecked());
}

void frmMain::mnuViewStatusBar_Click()
{
    QAction *a = action(QStringLiteral("mnuViewStatusBar"));
    a->setChecked(!a->isChecked());
    statusBar()->setVisible(a->isChecked());
}

void frmMain::mnuViewController_Click()
{
    QAction *a = action(QStringLiteral("mnuViewController"));
    a->setChecked(!a->isChecked());
    a->isChecked() ? ShowPane(PaneController) : HidePane(PaneController);
}

void frmMain::mnuViewDataBrowser_Click()
{
    QAction *a = action(QStringLiteral("mnuViewDataBrowser"));
    a->setChecked(!a->isChecked());
    a->isChecked() ? ShowPane(PaneDataSheet) : HidePane(PaneDataSheet);
}

void frmMain::ShowPane(const QString &key)
{
    if (QDockWidget *d = pane(key))
        d->show();
}

void frmMain::HidePane(const QString &key)
{
    if (QDockWidget *d = pane(key))
        d->hide();
}

// ---- Tools ----

void frmMain::mnuToolsConnect_Click()
{
    if (transferBusy())
        return;
    call(hooks().ConnectInstrument);
    updateConnectionLamps();
}

void frmMain::mnuToolsDisconnect_Click()
{
    if (exchangeRunning()) {
        // The exchange in progress is abandoned; the link closes when it has
        // ended (once, however often Disconnect was pressed meanwhile).
        abandonExchange();
        if (!disconnectAfterExchange_) {
            disconnectAfterExchange_ = true;
            runAfterExchange([this] {
                disconnectAfterExchange_ = false;
                mnuToolsDisconnect_Click();
            });
        }
        return;
    }
    if (transferBusy())
        return;
    call(hooks().DisconnectInstrument);
    call(hooks().CloseVisaDevice);
    updateConnectionLamps();
}

void frmMain::mnuToolsOptions_Click()
{
    app().shell.DialogOK = false;
    {
        frmOptions dlg(this);
        runModal(dlg);
    }
    updateConnectionLamps();
}

void frmMain::updateConnectionLamps()
{
    picLED_ON_->setVisible(app().link.LampOnVisible);
    picLED_OFF_->setVisible(app().link.LampOffVisible);
}

void frmMain::setAddItemButtonsEnabled(bool enabled)
{
    for (const char *key : {"AddNewWaveform", "AddNewMeasure", "AddNewData"})
        action(QStringLiteral("tbButton_") + QLatin1String(key))->setEnabled(enabled);
}

// ---- Window ----

void frmMain::rebuildWindowMenu()
{
    for (QAction *a : windowListActions_) {
        windowMenu_->removeAction(a);
        a->deleteLater();
    }
    windowListActions_.clear();
    QAction *first = windowMenu_->actions().value(0);
    const auto windows = mdi_->subWindowList();
    for (QMdiSubWindow *w : windows) {
        auto *a = new QAction(w->windowTitle(), windowMenu_);
        a->setCheckable(true);
        a->setChecked(w == mdi_->activeSubWindow());
        connect(a, &QAction::triggered, mdi_, [this, w] { mdi_->setActiveSubWindow(w); });
        windowMenu_->insertAction(first, a);
        windowListActions_ << a;
    }
    if (!windows.isEmpty())
        windowListActions_ << windowMenu_->insertSeparator(first);
}

void frmMain::mnuWindowCascade_Click()
{
    mdi_->cascadeSubWindows();
}

void frmMain::tileWindows(bool sideBySide)
{
    // The shown, not minimised item windows share the area.
    QList<QMdiSubWindow *> ws;
    for (QMdiSubWindow *w : mdi_->subWindowList())
        if (!w->isMinimized() && w->isVisible())
            ws << w;
    if (ws.isEmpty())
        return;
    QList<QSize> minimums;
    for (QMdiSubWindow *w : ws) {
        w->showNormal();
        minimums << w->minimumSize().expandedTo(w->minimumSizeHint());
    }
    // The whole area, as it is once nothing sticks out of it and its scroll
    // bars have gone; unscrolled first, so that the windows land where the
    // area starts.
    mdi_->horizontalScrollBar()->setValue(0);
    mdi_->verticalScrollBar()->setValue(0);
    const QRect area(QPoint(0, 0), mdi_->contentsRect().size());
    QList<QRect> rects = tiledRects(minimums, area, sideBySide);
    // Windows that reach beyond the area bring a scroll bar, which takes its
    // room from the other direction.
    QRect reach;
    for (const QRect &r : rects)
        reach |= r;
    if (!area.contains(reach)) {
        const int bar = mdi_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, mdi_);
        rects = tiledRects(minimums, area.adjusted(0, 0, sideBySide ? 0 : -bar, sideBySide ? -bar : 0), sideBySide);
    }
    for (qsizetype i = 0; i < ws.size(); ++i)
        ws[i]->setGeometry(rects[i]);
}

void frmMain::mnuWindowTileHorizontal_Click()
{
    tileWindows(false); // one above the other, each the full width
}

void frmMain::mnuWindowTileVertical_Click()
{
    tileWindows(true); // side by side, each the full height
}

void frmMain::mnuWindowArrangeIcons_Click()
{
    // The minimised windows in a row along the bottom edge.
    const QRect area = mdi_->viewport()->rect();
    int x = 0;
    for (QMdiSubWindow *w : mdi_->subWindowList()) {
        if (!w->isMinimized())
            continue;
        w->move(x, area.height() - w->height());
        x += w->width();
    }
}

// ---- Help ----

void frmMain::mnuHelpContents_Click()
{
    openHelp();
}

void frmMain::openHelp()
{
    const QString path = app().texts.HelpFile.isEmpty() ? helpFileFor(languageIndex()) : app().texts.HelpFile;
    const bool chinese = languageIndex() == LanguageChinese;
    if (!QFile::exists(path)) {
        // A plain box with the description and OK.
        ui().message(MsgIcon::None, AppTitle,
                     (chinese ? QStringLiteral("找不到帮助文件：") : QStringLiteral("The help file is missing: ")) + path,
                     MsgButtons::Ok);
        return;
    }
    const bool opened = helpOpener() ? helpOpener()(path) : QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    if (!opened)
        ui().message(MsgIcon::None, AppTitle,
                     (chinese ? QStringLiteral("无法打开帮助文件：") : QStringLiteral("The help file cannot be opened: ")) + path,
                     MsgButtons::Ok);
}

void frmMain::mnuHelpAbout_Click()
{
    frmAbout dlg(this);
    runModal(dlg);
}

void frmMain::mnuLanguage_Click(int lang)
{
    SwitchLanguage(lang);
}

// ---- Toolbar ----

void frmMain::tbToolBar_ButtonClick(const QString &key)
{
    static const QHash<QString, void (frmMain::*)()> commands = {
        {QStringLiteral("New"), &frmMain::mnuFileNew_Click},
        {QStringLiteral("Open"), &frmMain::mnuFileOpen_Click},
        {QStringLiteral("Save"), &frmMain::mnuFileSaveAll_Click},
        {QStringLiteral("Connect"), &frmMain::mnuToolsConnect_Click},
        {QStringLiteral("Disconnect"), &frmMain::mnuToolsDisconnect_Click},
        {QStringLiteral("Options"), &frmMain::mnuToolsOptions_Click},
        {QStringLiteral("Controller"), &frmMain::mnuViewController_Click},
        {QStringLiteral("DataBrowser"), &frmMain::mnuViewDataBrowser_Click},
    };
    if (const auto it = commands.find(key); it != commands.end()) {
        (this->*it.value())();
        return;
    }
    ShellHooks &h = hooks();
    if (key == QLatin1String("AddNewWaveform"))
        call(h.AddNewWaveform);
    else if (key == QLatin1String("AddNewMeasure"))
        call(h.AddNewMeasure);
    else if (key == QLatin1String("AddNewData"))
        call(h.AddNewData);
    else if (key == QLatin1String("AddNewRecord"))
        call(h.AddNewRecord);
    else if (key == QLatin1String("AddNewMemoryWaveform"))
        call(h.AddNewMemoryWave);
}

// ---- Serial-port events and timers ----

void frmMain::MSComm1_OnComm(int event, const QByteArray &input)
{
    ShellState &s = app().shell;
    switch (event) {
    case 2:
        CommInput = input;
        if (s.hooks.ComReceive)
            s.hooks.ComReceive(CommInput);
        break;
    case 1: break;
    case 3: s.CommEventText = QStringLiteral("Change in CTS Detected"); break;
    case 4: s.CommEventText = QStringLiteral("Change in DSR Detected"); break;
    case 5: s.CommEventText = QStringLiteral("Change in CD Detected"); break;
    case 6: s.CommEventText = QStringLiteral("The Phone is Ringing"); break;
    case 7: s.CommEventText = QStringLiteral("End of File Detected"); break;
    case 1001: s.CommErrorText = QStringLiteral("Break Received"); break;
    case 1002: s.CommErrorText = QStringLiteral("CTS Timeout"); break;
    case 1003: s.CommErrorText = QStringLiteral("DSR Timeout"); break;
    case 1004: s.CommErrorText = QStringLiteral("Framing Error"); break;
    case 1006: s.CommErrorText = QStringLiteral("Overrun Error"); break;
    case 1007: s.CommErrorText = QStringLiteral("Carrier Detect Timeout"); break;
    case 1008: s.CommErrorText = QStringLiteral("Receive Buffer Overflow"); break;
    case 1009: s.CommErrorText = QStringLiteral("Parity Error"); break;
    case 1010: s.CommErrorText = QStringLiteral("Transmit Buffer Full"); break;
    case 1011: s.CommErrorText = QStringLiteral("Error retrieving DCB"); break;
    default: s.CommErrorText = QStringLiteral("Unknown error or event"); break;
    }
    const QString &shown = !s.CommEventText.isEmpty() ? s.CommEventText : s.CommErrorText;
    if (!shown.isEmpty()) {
        setStatusText(QStringLiteral("Status: ") + shown);
        CommTimer->start(2000);
    }
}

void frmMain::CommTimer_Timer()
{
    setStatusText(QStringLiteral("Status: "));
    CommTimer->stop();
}

void frmMain::showBusyNotice(BusyNotice n, bool on)
{
    static constexpr int RefusedShownMs = 3000;
    static constexpr int DroppedShownMs = 5000;
    BusyText t = BusyText::InputHeld;
    switch (n) {
    case BusyNotice::InputHeld: t = BusyText::InputHeld; break;
    case BusyNotice::InputDropped: t = BusyText::InputDropped; break;
    case BusyNotice::Stopping: t = BusyText::Stopping; break;
    case BusyNotice::Refused: t = BusyText::Refused; break;
    case BusyNotice::RefreshPaused: t = BusyText::RefreshPaused; break;
    case BusyNotice::LateReply: t = BusyText::LateReply; break;
    case BusyNotice::Connecting: t = BusyText::Connecting; break;
    }
    if (n == BusyNotice::Connecting)
        connecting_ = on;
    const QString text = busyText(t, app().texts.LanguageIndex);
    if (on) {
        statusBar()->showMessage(text, n == BusyNotice::Refused        ? RefusedShownMs
                                       : n == BusyNotice::InputDropped ? DroppedShownMs
                                                                       : 0);
    } else if (statusBar()->currentMessage() == text) {
        // A connection still being made says so again.
        if (connecting_)
            statusBar()->showMessage(busyText(BusyText::Connecting, app().texts.LanguageIndex));
        else
            statusBar()->clearMessage();
    }
    // Shown now, even inside a wait that paints only when it handles events.
    statusBar()->repaint();
}

void frmMain::setStatusText(const QString &text)
{
    statusEnglish_ = text;
    showStatusText();
}

void frmMain::showStatusText()
{
    // The panel's texts are kept in English and shown in the language in
    // force, so that a language switch re-shows them.
    const auto own = [](const QString &english) {
        return QCoreApplication::translate("Kelvoscope", english.toUtf8().constData());
    };
    const QString prefix = QStringLiteral("Status: ");
    if (statusEnglish_.startsWith(prefix))
        status_->setText(own(prefix) + own(statusEnglish_.mid(prefix.size())));
    else
        status_->setText(own(statusEnglish_));
}

QString frmMain::statusText() const
{
    return status_->text();
}

// ---- Resize and lookups ----

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == tbToolBar_ && event->type() == QEvent::Enter && isVisible()) {
        activateWindow();
        setFocus(Qt::MouseFocusReason);
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    MDIForm_Resize();
}

void frmMain::MDIForm_Resize()
{
    // The status bar lays the lamps out at its right end; keep that bar's
    // layout current so they are never left beyond the window's edge.
    if (statusBar()->isVisible())
        statusBar()->updateGeometry();
}

QAction *frmMain::action(const QString &name) const
{
    return findChild<QAction *>(name);
}

QMenu *frmMain::menu(const QString &name) const
{
    return findChild<QMenu *>(name);
}

QDockWidget *frmMain::pane(const QString &key) const
{
    if (key == PaneDataSheet)
        return dataSheetDock_;
    if (key == PaneController)
        return controllerDock_;
    return nullptr;
}
