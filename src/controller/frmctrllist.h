#pragma once
// frmCtrlList, the controller pane: the tree of every instrument setting, the
// Upload and Download buttons, and the popup menu of the tree with the control
// file commands, Connect and Disconnect, Upload and Download, and Expand All.
//
// Making the pane registers its tree with the node functions
// (controller/ctrltreenodes.h), itself as the control-file commands
// (ctrlFileCommands()), the tree rebuild of the language switch and its caption
// loader (LoadControllerTexts), then loads it: the first load since start-up
// resets the settings to their defaults, later ones rebuild the tree.
// Destroying it removes all four again. The commands themselves live in
// controller/ctrlcommands.h.

#include "controller/ctrlfilecommands.h"

#include <QWidget>

class CtrlTreeView;
class QMenu;
class QAction;
class QToolButton;
class QTreeWidgetItem;

class frmCtrlList final : public QWidget, public CtrlFileCommands {
    Q_OBJECT
public:
    explicit frmCtrlList(QWidget *parent = nullptr);
    ~frmCtrlList() override;

    // CtrlFileCommands
    void mnuNewCtrl_Click() override;
    void mnuOpenCtrl_Click() override;
    void OpenCtrl(const QString &path) override;
    CtrlSaveResult mnuSaveCtrl_Click() override;

    CtrlSaveResult mnuSaveAsCtrl_Click();
    void cmdUpload_Click();
    void cmdDownload_Click();
    // A mouse event over the button: it shows the program's current pointer.
    void cmdUpload_RestoreCursor();
    void cmdDownload_RestoreCursor();
    void mnuConnect_Click();
    void mnuDisconnect_Click();
    void mnuExpand_Click();
    void UploadToDSO();
    void DownloadfromDSO();
    // The setting-edit dispatcher's entry (the editors' hook).
    void PraseCtrlList(const QString &path);

    // Captions of the window, its buttons and its popup menu in language lang
    // (0 Chinese, 1 English; any other value changes nothing).
    void LoadControllerTexts(int lang);

    CtrlTreeView *CtrlTree() const { return tree_; }
    QToolButton *cmdUpload() const { return upload_; }
    QToolButton *cmdDownload() const { return download_; }
    QMenu *popmenu1() const { return menu_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void nodeClicked(QTreeWidgetItem *item);

    CtrlTreeView *tree_ = nullptr;
    QToolButton *upload_ = nullptr;
    QToolButton *download_ = nullptr;
    QMenu *menu_ = nullptr;
    QAction *mnuNewCtrl_ = nullptr;
    QAction *mnuOpenCtrl_ = nullptr;
    QAction *mnuSaveCtrl_ = nullptr;
    QAction *mnuSaveAsCtrl_ = nullptr;
    QAction *mnuConnect_ = nullptr;
    QAction *mnuDisconnect_ = nullptr;
    QAction *mnuUpload_ = nullptr;
    QAction *mnuDownLoad_ = nullptr;
    QAction *mnuExpand_ = nullptr;
};
