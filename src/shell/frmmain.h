#pragma once
// The main window: menus, toolbar, status bar with the connection lamps, the
// two docked panes ("DataSheet" and "Controller") and the area of the item
// windows; its timers (tick counter, status reset, the deferred start-up
// step), the serial-port event texts, and start-up load and close.

#include "platform/pump.h"
#include "shell/softwaresettings.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class ClockTimer;
class CommPort;
class QAction;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;
class PaneWidths;

class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // The load: start values, recent menus, settings, language, optional
    // connect, slot flags, panes docked (hidden until the start-up step).
    void MDIForm_Load();

    // Menu commands.
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSaveDataSheet_Click();
    void mnuFileSaveCtrlFile_Click();
    void mnuFileSaveAll_Click();
    void mnuFilePageSetup_Click();
    void mnuFileRecentCtrl_Click(int index);
    void mnuFileRecentSheet_Click(int index);
    void mnuFileExit_Click();
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();
    void mnuViewController_Click();
    void mnuViewDataBrowser_Click();
    void mnuToolsConnect_Click();
    void mnuToolsDisconnect_Click();
    void mnuToolsOptions_Click();
    void mnuWindowCascade_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowArrangeIcons_Click();
    void mnuHelpContents_Click();
    void mnuHelpAbout_Click();
    void mnuLanguage_Click(int lang); // 0 Chinese, 1 English

    // Toolbar dispatch by the button's key ("New", "Connect", ...).
    void tbToolBar_ButtonClick(const QString &key);

    // A serial-port event by the control's event code; input: the bytes of a
    // data-received event (code 2).
    void MSComm1_OnComm(int event, const QByteArray &input = QByteArray());

    void ShowPane(const QString &key);
    void HidePane(const QString &key);
    // Keeps the connection lamps where they can be seen.
    void MDIForm_Resize();
    // Shows the lamp of the link's state.
    void updateConnectionLamps();
    // Buttons 11 to 13 (add waveform, measure, data) follow the data sheet.
    void setAddItemButtonsEnabled(bool enabled);

    // Controls by name, for the other subsystems and for tests.
    QAction *action(const QString &name) const;
    QMenu *menu(const QString &name) const;
    QDockWidget *pane(const QString &key) const;
    QToolBar *toolBar() const { return tbToolBar_; }
    QMdiArea *mdiArea() const { return mdi_; }
    QString statusText() const;
    QLabel *lamp(bool connected) const { return connected ? picLED_ON_ : picLED_OFF_; }
    // True once the unload has run.
    bool unloaded() const { return unloaded_; }

protected:
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void buildPanes();
    void bindControllerHooks();
    void tileWindows(bool sideBySide);
    void buildTimers();
    void installLanguageLoaders();
    void refreshRecentMenus();
    void rebuildWindowMenu();
    void TimerInit_Timer();
    void CommTimer_Timer();
    bool QueryUnload();
    void Unload();
    void openHelp();
    void applyWindowRect(const TwipsRect &tw);
    // The user's pane layout of the last run, or the first split when there
    // is none or it leaves a pane out of the dock areas.
    void restorePaneLayout();
    // Both panes docked (not floating) and the toolbar at the top.
    bool panesInPlace() const;
    // Shows text, given in English, in the status panel in the language in force.
    void setStatusText(const QString &text);
    void showStatusText();
    QAction *addAction(QMenu *m, const char *name, const QString &text, void (frmMain::*slot)());

    QMdiArea *mdi_ = nullptr;
    QToolBar *tbToolBar_ = nullptr;
    QLabel *status_ = nullptr;
    QString statusEnglish_; // the status panel text in English
    QLabel *date_ = nullptr;
    QLabel *time_ = nullptr;
    QLabel *picLED_ON_ = nullptr;
    QLabel *picLED_OFF_ = nullptr;
    QDockWidget *dataSheetDock_ = nullptr;
    QDockWidget *controllerDock_ = nullptr;
    QWidget *frmDataSheetTree_ = nullptr;
    QWidget *frmCtrlList_ = nullptr;
    PaneWidths *paneWidths_ = nullptr;
    QMenu *windowMenu_ = nullptr;
    QList<QAction *> windowListActions_;
    std::unique_ptr<ClockTimer> CommTimer;
    std::unique_ptr<ClockTimer> TimerInit;
    std::unique_ptr<ClockTimer> TimeOutTimer;
    std::unique_ptr<ClockTimer> CommBusyTimer;
    std::unique_ptr<ClockTimer> clockPanelTimer_;
    CommPort *ownComm_ = nullptr;
    QByteArray CommInput;
    // Shows or takes away one of the signs of an exchange with the instrument.
    void showBusyNotice(BusyNotice n, bool on);
    bool connecting_ = false; // the status bar says a connection is being made
    bool closing_ = false;
    // A close or Disconnect given during an exchange, waiting for its end.
    bool closeAfterExchange_ = false;
    bool disconnectAfterExchange_ = false;
    bool unloaded_ = false;
};

// Opens a help file with the desktop's viewer; tests install their own (an
// empty function restores the desktop's). Returns false when it could not.
void setHelpOpener(std::function<bool(const QString &path)> opener);
