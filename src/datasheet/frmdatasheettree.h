#pragma once
// frmDataSheetTree, the Data Browser pane: the tree of the one data sheet and
// its items (DataSheetTree), and the popup menu pop_mnu1 with the sheet
// commands, Add New, Rename, Remove and Sorted.
//
// Making the pane installs its tree as the Data Browser tree and loads it
// (datasheet/sheetcommands.h: the first load since start-up makes an untitled
// new sheet, later ones rebuild the tree from the record). Destroying it
// removes the tree again. Menu captions come from the shell's caption tables
// (its language loaders); Remove and Rename are captioned with the selected
// node's name each time the popup is prepared.

#include <QWidget>

class QAction;
class QMenu;
class QTreeWidget;

class frmDataSheetTree final : public QWidget {
    Q_OBJECT
public:
    explicit frmDataSheetTree(QWidget *parent = nullptr);
    ~frmDataSheetTree() override;

    // Sets up the popup for the selected node (entries enabled, shown and
    // captioned); the right button, which first selects the node under it,
    // shows it after this.
    void PrepareTreePopup();
    void mnuRemove_Click();
    void mnuRename_Click();
    void mnuSorted_Click();
    // Double click.
    void DataSheetTree_DblClick();
    // End of a label edit with the text typed; the node keeps newString as
    // handed back.
    void DataSheetTree_AfterLabelEdit(QString &newString);

    QTreeWidget *DataSheetTree() const { return tree_; }
    QMenu *pop_mnu1() const { return menu_; }
    QAction *entry(const char *name) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTreeWidget *tree_ = nullptr;
    QMenu *menu_ = nullptr;
    QMenu *addNewMenu_ = nullptr;
};
