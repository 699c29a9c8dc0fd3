// Captions of the main window, its panes and the dialogs, read back from the
// captioned widgets in both languages against the texts of the caption
// tables typed out here; the language switch from the menu; dialogs taking
// the language at their next load; a language other than 0 or 1 setting
// nothing; and a font with a glyph for every Chinese caption.
#include "shellfixture.h"

#include "workspace/captionapply.h"
#include "shell/frmabout.h"
#include "shell/frmnewdoc.h"
#include "shell/frmopendoc.h"
#include "shell/frmoptions.h"
#include "shell/frmsplash.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDockWidget>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace {

struct Expect {
    const char *control; // object name; "" the window; "#n" toolbar position n; "tab n"/"node n" inside control2
    const char *kind;    // "caption", "tip", "title", "tab", "node", "toolbar"
    const char *en;
    const char *zh;
};

QString textOf(QWidget *window, const Expect &e)
{
    const QString kind = QLatin1String(e.kind);
    const QString name = QLatin1String(e.control);
    if (kind == QLatin1String("title"))
        return window->windowTitle();
    if (kind == QLatin1String("toolbar")) {
        auto *tb = window->findChild<QToolBar *>(QStringLiteral("tbToolBar"));
        return tb->actions().at(name.toInt() - 1)->toolTip();
    }
    if (kind == QLatin1String("tab")) {
        const QStringList parts = name.split(QLatin1Char(' '));
        return window->findChild<QTabWidget *>(parts[0])->tabText(parts[1].toInt() - 1);
    }
    if (kind == QLatin1String("node")) {
        const QStringList parts = name.split(QLatin1Char(' '));
        return window->findChild<QTreeWidget *>(parts[0])->topLevelItem(parts[1].toInt() - 1)->text(0);
    }
    QObject *o = window->findChild<QObject *>(name);
    if (!o)
        return QStringLiteral("<no control %1>").arg(name);
    if (kind == QLatin1String("tip")) {
        if (auto *a = qobject_cast<QAction *>(o))
            return a->toolTip();
        return qobject_cast<QWidget *>(o)->toolTip();
    }
    if (auto *m = qobject_cast<QMenu *>(o))
        return m->title();
    if (auto *a = qobject_cast<QAction *>(o))
        return a->text();
    if (auto *g = qobject_cast<QGroupBox *>(o))
        return g->title();
    if (auto *b = qobject_cast<QAbstractButton *>(o))
        return b->text();
    if (auto *l = qobject_cast<QLabel *>(o))
        return l->text();
    return QStringLiteral("<unknown kind>");
}

void checkAll(QWidget *window, const QList<Expect> &rows, int lang)
{
    for (const Expect &e : rows) {
        const QString expected = QString::fromUtf8(lang == 0 ? e.zh : e.en);
        const QString actual = textOf(window, e);
        if (actual != expected)
            QFAIL(qPrintable(QStringLiteral("%1 %2: \"%3\" instead of \"%4\"")
                                 .arg(QLatin1String(e.control), QLatin1String(e.kind), actual, expected)));
    }
}

const QList<Expect> MainMenu = {
    {"mnuFile", "caption", "File", "文件"},
    {"mnuFileNew", "caption", "New", "新建"},
    {"mnuFileOpen", "caption", "Open...", "打开..."},
    {"mnuFileSaveDataSheet", "caption", "Save Data Sheet", "保存数据文件"},
    {"mnuFileSaveCtrlFile", "caption", "Save Controller", "保存控制器文件"},
    {"mnuFileSaveAll", "caption", "Save All", "保存全部"},
    {"mnuFilePageSetup", "caption", "Page Setup...", "打印设置..."},
    {"mnuRecentCtrlRoot", "caption", "Recent Control File", "最近控制文件"},
    {"mnuRecentSheetRoot", "caption", "Recent Data Sheet File", "最近数据文件"},
    {"mnuFileExit", "caption", "Exit", "退出"},
    {"mnuView", "caption", "View", "视图"},
    {"mnuViewToolbar", "caption", "Toolbar", "工具栏"},
    {"mnuViewStatusBar", "caption", "Status Bar", "状态栏"},
    {"mnuViewController", "caption", "Show Controller", "显示控制器"},
    {"mnuViewDataBrowser", "caption", "Show Data Browser", "显示浏览器"},
    {"mnuTools", "caption", "Tools", "工具"},
    {"mnuToolsConnect", "caption", "Connect to Oscilloscope", "连接示波器"},
    {"mnuToolsDisconnect", "caption", "Disconnect", "断开连接"},
    {"mnuToolsOptions", "caption", "Options...", "选项..."},
    {"mnuWindow", "caption", "Window", "窗口"},
    {"mnuWindowCascade", "caption", "Cascade", "叠放"},
    {"mnuWindowTileHorizontal", "caption", "Tile Horizontal", "水平排列"},
    {"mnuWindowTileVertical", "caption", "Tile Vertical", "垂直排列"},
    {"mnuWindowArrangeIcons", "caption", "Arrange Icons", "排列图标"},
    {"mnuHelp", "caption", "Help", "帮助"},
    {"mnuHelpContents", "caption", "Contents", "内容"},
    {"mnuHelpAbout", "caption", "About...", "关于..."},
    {"mnuHelpLanguage", "caption", "Language", "语言"},
    {"mnuLanguageChinese", "caption", "中文", "中文"},
    {"mnuLanguageEnglish", "caption", "English", "English"},
    {"", "title", "Kelvoscope", "Kelvoscope"},
};

const QList<Expect> MainToolbar = {
    {"1", "toolbar", "New", "新建"},
    {"2", "toolbar", "Open", "打开"},
    {"3", "toolbar", "Save All", "保存全部"},
    {"5", "toolbar", "Connect to Oscilloscope", "连接示波器"},
    {"6", "toolbar", "Disconnect", "断开连接"},
    {"8", "toolbar", "DSO Controller", "DSO控制器"},
    {"9", "toolbar", "Data Browser ", "数据浏览器"},
    {"11", "toolbar", "Add New Waveform ", "添加波形窗口"},
    {"12", "toolbar", "Add New Measure ", "添加测量窗口"},
    {"13", "toolbar", "Add New Data ", "添加数据窗口"},
    {"15", "toolbar", "Add New Record ", "添加录制文件回放窗口"},
    {"16", "toolbar", "Add New Memory Waveform ", "添加波形文件读取窗口"},
    {"18", "toolbar", "Options", "选项"},
    {"picLED_OFF", "tip", "Connection Status-[Disconnected]", "连接状态-[未连接]"},
    {"picLED_ON", "tip", "Connection Status-[Connected]", "连接状态-[已连接]"},
};

const QList<Expect> CtrlPane = {
    {"", "title", "DSO Controller", "DSO控制器"},
    {"cmdUpload", "caption", "     Upload", "      上传 ."},
    {"cmdDownload", "caption", "     Download", "      下载 ."},
    {"cmdUpload", "tip", "Upload To Scope", "上传到仪器"},
    {"cmdDownload", "tip", "Download To Software", "下载到软件"},
    {"mnuNewCtrl", "caption", "&New Control File", "新建控制文件"},
    {"mnuOpenCtrl", "caption", "&Open Control File", "打开控制文件"},
    {"mnuSaveCtrl", "caption", "&Save Control File", "保存控制文件"},
    {"mnuSaveAsCtrl", "caption", "Save Control File &As", "另存控制文件为"},
    {"mnuConnect", "caption", "&Connect To DSO", "连接示波器"},
    {"mnuDisconnect", "caption", "D&isconnect", "断开连接"},
    {"mnuUpload", "caption", "&Upload", "上传"},
    {"mnuDownLoad", "caption", "&Download", "下载"},
    {"mnuExpand", "caption", "&Expand All", "展开全部节点"},
};

const QList<Expect> DataSheetPane = {
    {"", "title", "Data Sheet", "数据浏览器"},
    {"DataSheetTree 1", "node", "Data Sheet", "数据浏览器"},
    {"mnuNewDataSheet", "caption", "&New Data Sheet", "新建数据浏览器"},
    {"mnuOpenDataSheet", "caption", "&Open Data Sheet", "打开数据浏览器"},
    {"mnuSaveDataSheet", "caption", "&Save Data Sheet", "保存数据浏览器"},
    {"mnuSaveDataSheetAs", "caption", "Sa&ve Data Sheet As", "另存数据浏览器为"},
    {"mnuAddNew", "caption", "&Add New", "添加新建"},
    {"mnuSorted", "caption", "So&rted", "排序"},
    {"mnuAddNewWaveform", "caption", "&Waveform", "波形窗口"},
    {"mnuAddNewMeasure", "caption", "&Measure", "测量窗口"},
    {"mnuAddNewData", "caption", "&Data", "数据窗口"},
    {"mnuAddNewPlayBack", "caption", "&Record", "波形录制回放窗口"},
    {"mnuAddNewMemoryWave", "caption", "M&emory waveform", "波形文件读取窗口"},
    {"mnuRename", "caption", "Re&name", "Re&name"},
    {"mnuRemove", "caption", "&Remove", "&Remove"},
};

const QList<Expect> NewDoc = {
    {"", "title", "New Document", "新建文档"},
    {"Frame1", "caption", "File Type", "文件类型"},
    {"NewOption_0", "caption", "Data Sheet", "数据浏览器"},
    {"NewOption_1", "caption", "Controller", "控制器"},
    {"NewOption_2", "caption", "Wave", "波形窗口"},
    {"NewOption_3", "caption", "Measure", "测量窗口"},
    {"NewOption_4", "caption", "Wave Data", "数据窗口"},
    {"NewOption_5", "caption", "Record", "录制窗口"},
    {"NewOption_6", "caption", "Memory Wave", "波形文件窗口"},
    {"cmdOK", "caption", "OK", "确定"},
    {"cmdCancel", "caption", "Cancel", "取消"},
};

const QList<Expect> OpenDoc = {
    {"", "title", "Open Document", "打开文档"},
    {"Frame1", "caption", "File Type", "文件类型"},
    {"NewOption_0", "caption", "Data Sheet", "数据浏览器"},
    {"NewOption_1", "caption", "Controller", "控制器"},
    {"cmdOK", "caption", "OK", "确定"},
    {"cmdCancel", "caption", "Cancel", "取消"},
};

const QList<Expect> Options = {
    {"", "title", "Options", "选项"},
    {"tbsOptions 1", "tab", "General", "常规"},
    {"tbsOptions 2", "tab", "Refresh", "更新"},
    {"tbsOptions 3", "tab", "Communication Setting", "通信设置"},
    {"cmdOK", "caption", "OK", "确定"},
    {"cmdCancel", "caption", "Cancel", "取消"},
    {"fraSample2", "caption", "IO Selection", "IO选择"},
    {"fraSample1", "caption", "Startup Option", "启动选项"},
    {"HardwareCheck", "caption", "Startup Hardware Check", "设置硬件检查"},
    {"SheetStartLoadChk", "caption", "Recent Data Sheet File Load", "最近的数据表装载"},
    {"CtrlStartLoadChk", "caption", "Recent Control File Load", "最近的控制文件装载"},
    {"Frame3", "caption", "Refresh", "更新"},
    {"Frame4", "caption", "Time Setting", "时间设置"},
    {"OptRefreshType_0", "caption", "Single", "单次"},
    {"OptRefreshType_1", "caption", "Auto", "自动"},
    {"Label4", "caption", "Interval", "时间间隔"},
    {"Frame2", "caption", "RS232 Setting", "RS232 设置"},
    {"Label2", "caption", "RS232 Port", "RS232 端口"},
    {"Label3", "caption", "Baud Rate", "波特率"},
    {"Label6", "caption", "Device", "设备号"},
    {"labCurDevice", "caption", "Current Device:", "当前设备："},
    // Fixed in both languages.
    {"PortSelectOption_0", "caption", "USB", "USB"},
    {"PortSelectOption_2", "caption", "RS232", "RS232"},
    {"fraUSB", "caption", "USB", "USB"},
    {"fraGPIB", "caption", "GPIB Setting", "GPIB Setting"},
    {"Label1", "caption", "Address", "Address"},
    {"Label5", "caption", "s", "s"},
};

const QList<Expect> VirtualPanel = {
    {"", "title", "Virtual Panel", "虚拟面板"},
    {"Frame3", "caption", "Control", "控制"},
    {"cmdRun", "caption", "Run", "运行  "},
    {"cmdStop", "caption", "Stop", "停止  "},
    {"Frame2", "caption", "Output", "输出"},
    {"cmdExport", "caption", "Export  ", "导出     "},
    {"cmdPrint", "caption", "Print    ", "  打印    "},
    {"cmdPreview", "caption", "      Preview", "      预览  "},
    {"cmdRun", "tip", "Run", "运行"},
    {"cmdStop", "tip", "Stop", "停止"},
    {"cmdExport", "tip", "Export", "导出"},
    {"cmdPrint", "tip", "Print", "打印"},
    {"cmdPreview", "tip", "Print Preview", "预览"},
    {"Display", "caption", "Display", "显示"},
    {"cmdZoom", "caption", "Zoom", " 缩放  "},
    {"cmdZoom", "tip", "its own tip", "its own tip"},
};

const QList<Expect> VirtualKey = {{"", "title", "Virtual Keyboard", "虚拟键盘"}};

const QList<Expect> Adjust = {
    {"", "title", "design title", "design title"},
    {"FrameAdjust", "caption", "design frame", "design frame"},
    {"OptVoltDiv_0", "caption", "Coarse", "粗调"},
    {"OptVoltDiv_1", "caption", "Fine", "微调"},
    {"cmdAdjustOK", "caption", "OK", "确定"},
    {"cmdCancelAdjust", "caption", "Cancel", "取消"},
};

const QList<Expect> PassFail = {
    {"", "title", "design title", "design title"},
    {"Frame1", "caption", "Pass | Fail Settings", "通过 | 失败设置"},
    {"Frame2", "caption", "Select Measure Type", "选择测量参数"},
    {"EnabledChk", "caption", "Enabled", "使能"},
    {"Frame3", "caption", "Pass Range Settings", "通过参数范围设置"},
    {"Frame4", "caption", "Under Limit Setting", "下限设置     "},
    {"Frame5", "caption", "Over Limit Setting", "上限设置"},
    {"OKButton", "caption", "OK", "确定"},
    {"CancelButton", "caption", "Cancel", "取消"},
};

const QList<Expect> Splash = {
    {"lblVersion", "caption", "Version 00.01.04", "版本 00.01.04"},
};

const QList<Expect> About = {
    {"", "title", "About Kelvoscope", "关于 Kelvoscope"},
    {"lblVersion", "caption", "Version 00.01.04", "版本 00.01.04"},
    {"cmdOK", "caption", "OK", "确定"},
    {"cmdSysInfo", "caption", "System Info...", "系统信息..."},
};

// Stand-ins with the controls the tables of windows of other folders name,
// carrying their design texts.
template <typename W>
W *add(QWidget *parent, const char *name, const QString &text = QStringLiteral("design"))
{
    auto *w = new W(parent);
    w->setObjectName(QLatin1String(name));
    if constexpr (std::is_base_of_v<QGroupBox, W>)
        w->setTitle(text);
    else
        w->setText(text);
    return w;
}

std::unique_ptr<QWidget> virtualPanel()
{
    auto w = std::make_unique<QWidget>();
    w->setWindowTitle(QStringLiteral("design title"));
    for (const char *n : {"Frame3", "Frame2", "Display"})
        add<QGroupBox>(w.get(), n);
    for (const char *n : {"cmdRun", "cmdStop", "cmdExport", "cmdPrint", "cmdPreview"})
        add<QToolButton>(w.get(), n);
    add<QToolButton>(w.get(), "cmdZoom")->setToolTip(QStringLiteral("its own tip"));
    return w;
}

std::unique_ptr<QWidget> adjustDialog()
{
    auto w = std::make_unique<QWidget>();
    w->setWindowTitle(QStringLiteral("design title"));
    add<QGroupBox>(w.get(), "FrameAdjust", QStringLiteral("design frame"));
    add<QRadioButton>(w.get(), "OptVoltDiv_0");
    add<QRadioButton>(w.get(), "OptVoltDiv_1");
    add<QPushButton>(w.get(), "cmdAdjustOK");
    add<QPushButton>(w.get(), "cmdCancelAdjust");
    return w;
}

std::unique_ptr<QWidget> passFailDialog()
{
    auto w = std::make_unique<QWidget>();
    w->setWindowTitle(QStringLiteral("design title"));
    for (const char *n : {"Frame1", "Frame2", "Frame3", "Frame4", "Frame5"})
        add<QGroupBox>(w.get(), n);
    add<QCheckBox>(w.get(), "EnabledChk");
    add<QPushButton>(w.get(), "OKButton");
    add<QPushButton>(w.get(), "CancelButton");
    return w;
}

// A Data Browser stand-in with its tree and pop-up menu as the data sheet
// pane will have them.
QWidget *dataSheetPane(QWidget *parent)
{
    auto *w = new QWidget(parent);
    w->setObjectName(QStringLiteral("frmDataSheetTree"));
    auto *tree = new QTreeWidget(w);
    tree->setObjectName(QStringLiteral("DataSheetTree"));
    new QTreeWidgetItem(tree, QStringList{QStringLiteral("root")});
    auto *menu = new QMenu(w);
    for (const char *n : {"mnuNewDataSheet", "mnuOpenDataSheet", "mnuSaveDataSheet", "mnuSaveDataSheetAs", "mnuAddNew",
                          "mnuSorted", "mnuAddNewWaveform", "mnuAddNewMeasure", "mnuAddNewData", "mnuAddNewPlayBack",
                          "mnuAddNewMemoryWave"})
        menu->addAction(QLatin1String(n))->setObjectName(QLatin1String(n));
    menu->addAction(QStringLiteral("Re&name"))->setObjectName(QStringLiteral("mnuRename"));
    menu->addAction(QStringLiteral("&Remove"))->setObjectName(QStringLiteral("mnuRemove"));
    return w;
}

// Every caption text of every table in Chinese.
QString allChineseCaptions()
{
    QString all;
    for (auto table : {mainMenuCaptions(), mainToolbarCaptions(), dataSheetTreeMenuCaptions(), ctrlListMenuCaptions(),
                       dataSheetTreeCaptions(), controllerCaptions(), newDocCaptions(), openDocCaptions(),
                       optionsCaptions(), virtualPanelCaptions(), virtualKeyCaptions(), adjustCaptions(),
                       passFailCaptions(), splashCaptions(), aboutCaptions()})
        for (const CaptionRow &r : table)
            all += captionText(r, 0);
    all += QStringLiteral("中文无设备") + engineeringVersionMessage();
    return all;
}

} // namespace

class TestCaptions : public QObject {
    Q_OBJECT
private slots:
    void mainWindowAndPanes_data()
    {
        QTest::addColumn<int>("lang");
        QTest::newRow("Chinese") << 0;
        QTest::newRow("English") << 1;
    }
    void mainWindowAndPanes()
    {
        QFETCH(int, lang);
        ShellFixture f;
        f.store(LanguageSection, LanguageKey, QString::number(lang));
        app().shell.hooks.MakeDataSheetPane = dataSheetPane;
        LoadLanguageSetting();
        auto w = f.loadMain();
        checkAll(w.get(), MainMenu, lang);
        checkAll(w.get(), MainToolbar, lang);
        QWidget *ctrl = w->pane(QStringLiteral("Controller"))->widget();
        QWidget *sheet = w->pane(QStringLiteral("DataSheet"))->widget();
        checkAll(ctrl, CtrlPane, lang);
        checkAll(sheet, DataSheetPane, lang);
        // The pane titles are the docks' titles.
        QCOMPARE(w->pane(QStringLiteral("Controller"))->windowTitle(), ctrl->windowTitle());
        QCOMPARE(w->pane(QStringLiteral("DataSheet"))->windowTitle(), sheet->windowTitle());
        QCOMPARE(w->action(QStringLiteral("mnuLanguageChinese"))->isChecked(), lang == 0);
        QCOMPARE(w->action(QStringLiteral("mnuLanguageEnglish"))->isChecked(), lang == 1);
    }

    void languageSwitchFromTheMenu()
    {
        ShellFixture f;
        LoadLanguageSetting(); // empty store: English
        app().shell.hooks.MakeDataSheetPane = dataSheetPane;
        auto w = f.loadMain();
        checkAll(w.get(), MainMenu, 1);
        QWidget *ctrl = w->pane(QStringLiteral("Controller"))->widget();
        QWidget *sheet = w->pane(QStringLiteral("DataSheet"))->widget();
        w->action(QStringLiteral("mnuLanguageChinese"))->trigger();
        checkAll(w.get(), MainMenu, 0);
        checkAll(w.get(), MainToolbar, 0);
        checkAll(ctrl, CtrlPane, 0);
        checkAll(sheet, DataSheetPane, 0);
        QCOMPARE(w->pane(QStringLiteral("Controller"))->windowTitle(), QStringLiteral("DSO控制器"));
        QCOMPARE(w->pane(QStringLiteral("DataSheet"))->windowTitle(), QStringLiteral("数据浏览器"));
        QVERIFY(w->action(QStringLiteral("mnuLanguageChinese"))->isChecked());
        QVERIFY(!w->action(QStringLiteral("mnuLanguageEnglish"))->isChecked());
        QCOMPARE(f.stored(LanguageSection, LanguageKey), QStringLiteral("0"));
        // The same language again re-captions anyway.
        w->menu(QStringLiteral("mnuFile"))->setTitle(QStringLiteral("x"));
        w->action(QStringLiteral("mnuLanguageChinese"))->trigger();
        checkAll(w.get(), MainMenu, 0);
        QVERIFY(w->action(QStringLiteral("mnuLanguageChinese"))->isChecked());
        w->action(QStringLiteral("mnuLanguageEnglish"))->trigger();
        checkAll(w.get(), MainMenu, 1);
        checkAll(ctrl, CtrlPane, 1);
        QCOMPARE(f.stored(LanguageSection, LanguageKey), QStringLiteral("1"));
    }

    void dialogsTakeTheLanguageAtTheirNextLoad()
    {
        ShellFixture f;
        LoadLanguageSetting();
        auto w = f.loadMain();
        QStringList titles;
        f.script = [&](QDialog &d) {
            titles << d.windowTitle();
            d.close();
        };
        w->mnuFileNew_Click();
        w->mnuLanguage_Click(0);
        w->mnuFileNew_Click();
        w->mnuToolsOptions_Click();
        w->mnuHelpAbout_Click();
        QCOMPARE(titles, QStringList({"New Document", "新建文档", "选项", "关于 Kelvoscope"}));

        // An open dialog keeps its texts through a switch.
        frmOpenDoc open(w.get());
        w->mnuLanguage_Click(1);
        checkAll(&open, OpenDoc, 0);
        frmOpenDoc again(w.get());
        checkAll(&again, OpenDoc, 1);
    }

    void shellDialogs_data()
    {
        QTest::addColumn<int>("lang");
        QTest::newRow("Chinese") << 0;
        QTest::newRow("English") << 1;
    }
    void shellDialogs()
    {
        QFETCH(int, lang);
        ShellFixture f(lang);
        app().texts.LanguageIndex = lang;
        frmNewDoc newDoc;
        checkAll(&newDoc, NewDoc, lang);
        frmOpenDoc openDoc;
        checkAll(&openDoc, OpenDoc, lang);
        frmOptions options;
        checkAll(&options, Options, lang);
        frmSplash splash;
        checkAll(&splash, Splash, lang);
        QVERIFY(!splash.findChild<QLabel *>(QStringLiteral("lblWarning"))->text().isEmpty());
        frmAbout about;
        checkAll(&about, About, lang);
        QVERIFY(!about.findChild<QLabel *>(QStringLiteral("lblDescription"))->text().isEmpty());
        // The current device follows its caption directly.
        app().link.ResourceName = QStringLiteral("USB0::0xFFFF::0x4100::SN000001::INSTR");
        frmOptions withDevice;
        QCOMPARE(withDevice.findChild<QLabel *>(QStringLiteral("labCurDevice"))->text(),
                 QString::fromUtf8(lang == 0 ? "当前设备：" : "Current Device:") + app().link.ResourceName);
    }

    void toolWindowsOfOtherFolders_data()
    {
        QTest::addColumn<int>("lang");
        QTest::newRow("Chinese") << 0;
        QTest::newRow("English") << 1;
    }
    void toolWindowsOfOtherFolders()
    {
        QFETCH(int, lang);
        auto panel = virtualPanel();
        LoadVirtualPanelTexts(panel.get(), lang);
        checkAll(panel.get(), VirtualPanel, lang);
        auto key = virtualPanel();
        LoadVirtualKeyTexts(key.get(), lang);
        checkAll(key.get(), VirtualKey, lang);
        auto adjust = adjustDialog();
        LoadAdjustTexts(adjust.get(), lang);
        checkAll(adjust.get(), Adjust, lang);
        auto passFail = passFailDialog();
        LoadPassFailTexts(passFail.get(), lang);
        checkAll(passFail.get(), PassFail, lang);
    }

    void otherLanguageSetsNothing()
    {
        auto panel = virtualPanel();
        LoadVirtualPanelTexts(panel.get(), 2);
        QCOMPARE(panel->windowTitle(), QStringLiteral("design title"));
        QCOMPARE(panel->findChild<QToolButton *>(QStringLiteral("cmdPreview"))->text(), QStringLiteral("design"));
        ShellFixture f;
        frmNewDoc d;
        applyCaptions(&d, newDocCaptions(), -1);
        applyCaptions(&d, newDocCaptions(), 7);
        checkAll(&d, NewDoc, 1);
        QCOMPARE(d.findChild<QRadioButton *>(QStringLiteral("NewOption_5"))->text(), QStringLiteral("Record"));
    }

    void newDocDesignCaptionsBeforeCaptioning()
    {
        // The design texts the loader replaces ("Record " keeps its blank).
        ShellFixture f;
        app().texts.LanguageIndex = 2; // a loader that sets nothing shows the design
        frmNewDoc d;
        QCOMPARE(d.findChild<QRadioButton *>(QStringLiteral("NewOption_5"))->text(), QStringLiteral("Record "));
        QCOMPARE(d.findChild<QRadioButton *>(QStringLiteral("NewOption_2"))->text(), QStringLiteral("Waveform"));
    }

    // Latin text in the face the system font stands for, Chinese text in
    // the CJK face (the system font's name can be an alias that the font
    // database does not hold as a family).
    void latinInTheSystemFaceChineseInTheCjkFace()
    {
        const QString cjk = QStringLiteral("Noto Sans CJK SC");
        const QString system = QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family();
        if (system == cjk)
            QSKIP("the system font is the CJK face itself");
        applyProgramFont();
        const QFont font = QApplication::font();
        const auto facesOf = [&font](const QString &text) {
            QTextLayout layout(text, font);
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            QStringList faces;
            for (const QGlyphRun &run : layout.glyphRuns())
                faces << run.rawFont().familyName();
            return faces;
        };
        QCOMPARE(facesOf(QStringLiteral("Refresh")), QStringList{system});
        QCOMPARE(facesOf(QStringLiteral("刷新")), QStringList{cjk});
    }

    void everyChineseCaptionHasItsGlyphs()
    {
        QVERIFY(QFontDatabase::families().contains(QStringLiteral("Noto Sans CJK SC")));
        applyProgramFont();
        ShellFixture f(0);
        auto w = f.loadMain();
        QVERIFY(w->font().families().contains(QStringLiteral("Noto Sans CJK SC")));
        const QFontMetrics cjk(QFont(QStringLiteral("Noto Sans CJK SC")));
        const QString all = allChineseCaptions();
        for (const uint c : all.toUcs4())
            if (c > 0x7F && !cjk.inFontUcs4(c))
                QFAIL(qPrintable(QStringLiteral("no glyph for U+%1").arg(c, 4, 16, QLatin1Char('0'))));
    }
};

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
