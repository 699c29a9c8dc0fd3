#include "datasheet/frmdatasheettree.h"

#include "app/appstate.h"
#include "datasheet/sheetcommands.h"
#include "datasheet/sheetitems.h"
#include "texts/loadlanguage.h"

#include <QAbstractItemDelegate>
#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

frmDataSheetTree::frmDataSheetTree(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmDataSheetTree"));
    setWindowTitle(QStringLiteral("Data Sheet"));
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("DataSheetTree"));
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    tree_->setRootIsDecorated(true);
    tree_->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 7, 0, 0);
    layout->addWidget(tree_);

    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("pop_mnu1"));
    auto add = [](QMenu *m, const char *name, const char *text, auto slot) {
        QAction *a = m->addAction(QString::fromUtf8(text));
        a->setObjectName(QString::fromLatin1(name));
        QObject::connect(a, &QAction::triggered, m, slot);
        return a;
    };
    add(menu_, "mnuNewDataSheet", "&New Data Sheet", [] { NewDataSheet(); });
    add(menu_, "mnuOpenDataSheet", "&Open Data Sheet", [] { OpenDataSheetWithDialog(); });
    menu_->addSeparator()->setObjectName(QStringLiteral("mnuPopBar0"));
    add(menu_, "mnuSaveDataSheet", "&Save Data Sheet", [] { SaveDataSheet(); });
    add(menu_, "mnuSaveDataSheetAs", "Sa&ve Data Sheet As", [] { SaveDataSheetAs(); });
    menu_->addSeparator()->setObjectName(QStringLiteral("mnuPopBar1"));
    addNewMenu_ = menu_->addMenu(QStringLiteral("&Add New"));
    addNewMenu_->setObjectName(QStringLiteral("mnuAddNew"));
    addNewMenu_->menuAction()->setObjectName(QStringLiteral("mnuAddNewAction"));
    add(addNewMenu_, "mnuAddNewWaveform", "&Waveform", [] { AddNewWaveform(); });
    add(addNewMenu_, "mnuAddNewMeasure", "&Measure", [] { AddNewMeasure(); });
    add(addNewMenu_, "mnuAddNewData", "&Data", [] { AddNewData(); });
    add(addNewMenu_, "mnuAddNewPlayBack", "&Record", [] { AddNewRecord(); });
    add(addNewMenu_, "mnuAddNewMemoryWave", "M&emory waveform", [] { AddNewMemoryWave(); });
    add(menu_, "mnuRename", "Re&name", [this] { mnuRename_Click(); });
    menu_->addSeparator()->setObjectName(QStringLiteral("mnuPopBar3"));
    add(menu_, "mnuRemove", "&Remove", [this] { mnuRemove_Click(); });
    menu_->addSeparator()->setObjectName(QStringLiteral("mnuPopBar4"));
    QAction *sorted = add(menu_, "mnuSorted", "So&rted", [this] { mnuSorted_Click(); });
    sorted->setCheckable(true);

    // A right click selects the node it is on first, as in every tree of the
    // desktop; the popup then acts on that node. On no node the selection
    // stays. The click does nothing else (no label edit, no opening).
    tree_->viewport()->installEventFilter(this);
    connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        PrepareTreePopup();
        menu_->popup(tree_->viewport()->mapToGlobal(pos));
    });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this] { DataSheetTree_DblClick(); });
    // A label edit the user ends: the delegate commits the text to the node,
    // then the sheet takes it.
    connect(tree_->itemDelegate(), &QAbstractItemDelegate::commitData, this, [this] {
        QTreeWidgetItem *node = tree_->currentItem();
        if (!node)
            return;
        QString text = node->text(0);
        DataSheetTree_AfterLabelEdit(text);
        if (node == tree_->currentItem() && node->text(0) != text)
            node->setText(0, text);
    });

    setDataSheetTree(tree_);
    DataSheetPaneLoaded();
}

frmDataSheetTree::~frmDataSheetTree()
{
    if (app().sheetui.DataSheetTreeCtl == tree_)
        setDataSheetTree(nullptr);
}

bool frmDataSheetTree::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == tree_->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() != Qt::RightButton)
                break;
            if (event->type() == QEvent::MouseButtonPress)
                if (QTreeWidgetItem *node = tree_->itemAt(mouse->position().toPoint()); node && node != tree_->currentItem())
                    tree_->setCurrentItem(node);
            return true;
        }
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QAction *frmDataSheetTree::entry(const char *name) const
{
    if (QString::fromLatin1(name) == QLatin1String("mnuAddNew"))
        return addNewMenu_->menuAction();
    return menu_->findChild<QAction *>(QString::fromLatin1(name));
}

void frmDataSheetTree::PrepareTreePopup()
{
    DataSheet &s = app().Sheet;
    const bool open = s.SheetNode && s.SheetNode->treeWidget() == tree_;
    QAction *remove = entry("mnuRemove");
    QAction *rename = entry("mnuRename");
    QAction *bar3 = menu_->findChild<QAction *>(QStringLiteral("mnuPopBar3"));
    QAction *bar4 = menu_->findChild<QAction *>(QStringLiteral("mnuPopBar4"));
    const auto showItemEntries = [&](bool on) {
        for (QAction *a : {remove, rename, bar3, bar4})
            if (a)
                a->setVisible(on);
    };
    for (const char *name : {"mnuSaveDataSheet", "mnuSaveDataSheetAs", "mnuAddNew", "mnuSorted"})
        entry(name)->setEnabled(open);
    if (!open) {
        showItemEntries(false);
        return;
    }
    QTreeWidgetItem *selected = tree_->currentItem();
    QString name;
    bool named = false;
    SheetItemKind kind;
    int slot = 0;
    if (selected && selected == s.SheetNode) {
        name = s.Name;
        named = true;
    } else if (findItemOfNode(selected, &kind, &slot)) {
        name = itemName(s, kind, slot);
        named = true;
    }
    showItemEntries(named);
    if (named) {
        const int lang = languageIndex();
        if (lang == LanguageChinese) {
            remove->setText(QStringLiteral("移除(") + name + u')');
            rename->setText(QStringLiteral("重命名(") + name + u')');
        } else if (lang == LanguageEnglish) {
            remove->setText(QStringLiteral("&Remove(") + name + u')');
            rename->setText(QStringLiteral("Re&name(") + name + u')');
        }
    }
    entry("mnuSorted")->setChecked(app().sheetui.Sorted);
}

void frmDataSheetTree::mnuRemove_Click()
{
    RemoveSelected();
}

void frmDataSheetTree::mnuRename_Click()
{
    if (QTreeWidgetItem *node = tree_->currentItem())
        tree_->editItem(node, 0);
}

void frmDataSheetTree::mnuSorted_Click()
{
    setSheetSorted(!app().sheetui.Sorted);
    entry("mnuSorted")->setChecked(app().sheetui.Sorted);
}

void frmDataSheetTree::DataSheetTree_DblClick()
{
    SetActiveForm();
}

void frmDataSheetTree::DataSheetTree_AfterLabelEdit(QString &newString)
{
    ChangeFormName(newString);
}
