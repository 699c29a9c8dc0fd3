#include "datasheet/sheetcommands.h"

#include "app/appstate.h"
#include "datasheet/datasheetfile.h"
#include "datasheet/sheetitems.h"
#include "platform/ui/ui.h"
#include "workspace/pictures.h"
#include "workspace/doccommands.h"
#include "workspace/recentfiles.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"
#include "texts/stringres.h"

#include <QAction>
#include <QApplication>
#include <QTreeWidget>

namespace {

DataSheet &S()
{
    return app().Sheet;
}

DataSheetState &U()
{
    return app().sheetui;
}

QString appTitle()
{
    return QCoreApplication::applicationName();
}

bool transferBusy()
{
    return app().transfer.TransferBusy;
}

// New, Open, Remove and closing the sheet wait for both: a transfer, and the
// rest of an item window's load after its transfer.
bool sheetBusy()
{
    return transferBusy() || AnyItemWindowLoading();
}

QTreeWidget *tree()
{
    return U().DataSheetTreeCtl;
}

bool inTree(const QTreeWidgetItem *node)
{
    return node && tree() && node->treeWidget() == tree();
}

// The node pictures: the root, the sheet, then one per item kind (the
// pictures of the toolbar buttons that add them).
QIcon nodeIcon(int image)
{
    static const char *const pics[] = {"tb-databrowser", "tb-open", "tb-wave", "tb-measure",
                                       "tb-data", "tb-record", "tb-memorywave"};
    if (image < 1 || image > 7 || !qApp)
        return {};
    return pictureIcon(pics[image - 1]);
}

// A node of the Data Browser: a sorted sheet keeps its items in alphabetical
// order, capitals and small letters alike ("alpha" before "Wave0").
class SheetNodeItem final : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int c = QString::compare(text(0), other.text(0), Qt::CaseInsensitive);
        return c != 0 ? c < 0 : text(0) < other.text(0);
    }
};

QTreeWidgetItem *addNode(QTreeWidgetItem *parent, const QString &text, int image)
{
    QTreeWidgetItem *node = parent ? new SheetNodeItem(parent) : new SheetNodeItem(tree());
    node->setText(0, text);
    node->setData(0, Qt::UserRole, image);
    node->setIcon(0, nodeIcon(image));
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    return node;
}

// Clears every record's reference to node or to any node below it.
void forgetNodes(const QTreeWidgetItem *node)
{
    if (!node)
        return;
    for (int c = 0; c < node->childCount(); ++c)
        forgetNodes(node->child(c));
    DataSheet &s = S();
    for (SheetItemKind kind : ItemKindsByFile)
        for (int i = 0; i < DataSheet::slotCount(kind); ++i)
            if (itemNode(s, kind, i) == node)
                itemNode(s, kind, i) = nullptr;
    if (s.SheetNode == node)
        s.SheetNode = nullptr;
    if (s.RootNode == node)
        s.RootNode = nullptr;
}

void deleteNode(QTreeWidgetItem *node)
{
    if (!inTree(node))
        return;
    forgetNodes(node);
    delete node;
}

void forgetAllNodes()
{
    DataSheet &s = S();
    for (SheetItemKind kind : ItemKindsByFile)
        for (int i = 0; i < DataSheet::slotCount(kind); ++i)
            itemNode(s, kind, i) = nullptr;
    s.SheetNode = nullptr;
    s.RootNode = nullptr;
}

void expandSheet()
{
    if (inTree(S().RootNode))
        S().RootNode->setExpanded(true);
    if (inTree(S().SheetNode))
        S().SheetNode->setExpanded(true);
}


DataSheetFileContext fileContext()
{
    DataSheetFileContext ctx;
    ctx.laPresent = app().link.LaPresent != 0;
    return ctx;
}

void addRecent(const QString &path)
{
    if (U().addRecentSheetFile)
        U().addRecentSheetFile(path);
    else
        AddRecentSheetFile(path);
}

void newSheetNode()
{
    if (!tree())
        return;
    deleteNode(S().SheetNode);
    setSheetSorted(false);
    S().SheetNode = addNode(S().RootNode, S().Name, SheetNodeImage);
}

void openWindow(SheetItemKind kind, int slot)
{
    const ItemWindowHooks &w = U().windows;
    if (w.open)
        w.open(kind, slot);
    if (w.setCaption)
        w.setCaption(kind, slot, itemCaption(S(), kind, slot));
}

void openPath(const QString &path);
void clearSheet();

bool writeSheet(const QString &path, QString *error)
{
    DataSheet &s = S();
    // A replaying record is paused before it is stored.
    for (int i = 0; i < qBound(0, int(s.ReplayCount), DataSheet::ReplaySlots); ++i) {
        ReplayInfo &r = s.Replays[size_t(i)];
        if (r.Status == ReplayInfo::Replaying && r.ReplayStarted) {
            if (U().windows.pauseReplay)
                U().windows.pauseReplay(i);
            r.Status = ReplayInfo::Paused;
        }
    }
    return WriteDataSheetFile(path, s, fileContext(), error);
}

// The data sheet as a document of the shared file commands.
const DocumentFile &sheetDocument()
{
    static const DocumentFile doc{
        .savePrompt = Msg::MsgSaveSheetPrompt,
        .path = &S().Path,
        .modified = &S().Modified,
        .filterChinese = "数据浏览器文件 ",
        .filterEnglish = "Data Sheet Files ",
        .suffix = "kvd",
        .saveAsFilters = "",
        .saveable = [] { return inTree(S().SheetNode); },
        .write = writeSheet,
        .addRecent = addRecent,
        .clear = clearSheet,
        .read = openPath,
        .busy = AnyItemWindowLoading,
    };
    return doc;
}

// The save question before New, Open and closing the sheet. True: go on.
bool askSaveChanges()
{
    return AskSaveChanges(sheetDocument());
}

void openPath(const QString &path)
{
    const auto refuse = [] { ui().message(MsgIcon::Critical, appTitle(), message(Msg::MsgBadSheetFile)); };
    QByteArray bytes;
    QString error;
    if (ReadDataSheetBytes(path, &bytes, &error) != DataSheetRead::Ok) {
        // What the system says, then that nothing could be read.
        ui().message(MsgIcon::Critical, appTitle(), error);
        refuse();
        return;
    }
    // Tried on a copy emptied as closing all items would: the sheet and its
    // windows stay as they are unless the file is good.
    DataSheet trial = S();
    for (SheetItemKind kind : ItemKindsByFile)
        setItemCount(trial, kind, 0);
    if (ParseDataSheet(bytes, trial, fileContext()) != DataSheetRead::Ok) {
        refuse();
        return;
    }
    trial = DataSheet{};
    CloseAllItems();
    // Read again over what closing left, so that every member the file does
    // not carry (window flags and references, a refresh that was running) is
    // the closed slot's, not what the slot held while its window was open.
    DataSheet &s = S();
    DataSheet read = s;
    if (ParseDataSheet(bytes, read, fileContext()) != DataSheetRead::Ok) {
        refuse();
        return;
    }
    s = std::move(read);
    s.Path = path;
    addRecent(path);
    RestoreDataSheetWindows();
    s.Modified = false;
    expandSheet();
    DataSheetIsOpen();
}

} // namespace

void setDataSheetTree(QTreeWidget *t)
{
    if (U().DataSheetTreeCtl != t)
        forgetAllNodes();
    U().DataSheetTreeCtl = t;
}

bool DataSheetIsOpen()
{
    const bool open = inTree(S().SheetNode);
    if (U().setAddItemButtonsEnabled) {
        U().setAddItemButtonsEnabled(open);
    } else if (QWidget *main = app().shell.MainForm) {
        for (const char *key : {"AddNewWaveform", "AddNewMeasure", "AddNewData"})
            if (auto *a = main->findChild<QAction *>(QStringLiteral("tbButton_") + QLatin1String(key)))
                a->setEnabled(open);
    }
    return open;
}

void AddNewItem(SheetItemKind kind)
{
    if (!DataSheetIsOpen()) {
        ui().message(MsgIcon::Exclamation, appTitle(), message(Msg::MsgOpenSheetFirst));
        return;
    }
    DataSheet &s = S();
    if (!s.hasRoom(kind)) {
        ui().message(MsgIcon::Exclamation, appTitle(), message(Msg::MsgItemLimit));
        return;
    }
    s.Modified = true;
    const int k = PrepareNewItemRecord(s, kind, languageIndex());
    openWindow(kind, k);
    itemNode(s, kind, k) = addNode(s.SheetNode, itemName(s, kind, k), itemNodeImage(kind));
    setItemCount(s, kind, k + 1);
}

bool findItemOfNode(const QTreeWidgetItem *node, SheetItemKind *kind, int *slot)
{
    if (!node)
        return false;
    DataSheet &s = S();
    for (SheetItemKind k : ItemKindsByMatch) {
        const int n = qBound(0, s.count(k), DataSheet::slotCount(k));
        for (int i = 0; i < n; ++i) {
            if (itemNode(s, k, i) == node) {
                *kind = k;
                *slot = i;
                return true;
            }
        }
    }
    return false;
}

void RemoveSelected()
{
    if (sheetBusy() || !tree())
        return;
    DataSheet &s = S();
    QTreeWidgetItem *selected = tree()->currentItem();
    if (!selected || selected != s.SheetNode) {
        SheetItemKind kind;
        int slot = 0;
        if (!findItemOfNode(selected, &kind, &slot)) {
            DataSheetIsOpen();
            return;
        }
        deleteNode(selected);
        RemoveItem(kind, slot);
        return;
    }
    if (!askSaveChanges())
        return;
    deleteNode(s.SheetNode);
    CloseAllItems();
    DataSheetIsOpen();
    // The question has been answered: a closed sheet holds nothing to save.
    s.Modified = false;
}

void SetActiveForm()
{
    if (transferBusy() || !tree())
        return;
    QTreeWidgetItem *selected = tree()->currentItem();
    SheetItemKind kind;
    int slot = 0;
    if (!findItemOfNode(selected, &kind, &slot))
        return;
    // A waveform window opened or shown from here lays its source boxes out
    // for the instrument's logic channels as they are now.
    if (kind == SheetItemKind::Wave)
        S().WaveDocs.at(size_t(slot)).DigitalLayout = app().link.LaPresent != 0;
    const ItemWindowHooks &w = U().windows;
    if (w.open)
        w.open(kind, slot);
    if (w.setCaption)
        w.setCaption(kind, slot, itemCaption(S(), kind, slot, selected->text(0)));
    if (w.raise)
        w.raise(kind, slot);
}

void ChangeFormName(QString &newString)
{
    if (!tree())
        return;
    DataSheet &s = S();
    QTreeWidgetItem *selected = tree()->currentItem();
    if (!selected)
        return;
    if (transferBusy()) {
        // Refused as activation is: the node keeps the name it had.
        SheetItemKind kind;
        int slot = 0;
        if (selected == s.RootNode)
            newString = word(Word::ItemDataSheet);
        else if (selected == s.SheetNode)
            newString = s.Name;
        else if (findItemOfNode(selected, &kind, &slot))
            newString = itemName(s, kind, slot);
        return;
    }
    if (selected == s.RootNode) {
        s.RootNode->setText(0, word(Word::ItemDataSheet));
        newString = s.RootNode->text(0);
        ui().message(MsgIcon::Exclamation, appTitle(), message(Msg::MsgRootNameFixed));
        return;
    }
    if (selected == s.SheetNode) {
        s.Name = newString;
        s.Modified = true;
        return;
    }
    SheetItemKind kind;
    int slot = 0;
    if (!findItemOfNode(selected, &kind, &slot))
        return;
    const ItemWindowHooks &w = U().windows;
    if (w.open)
        w.open(kind, slot);
    itemName(s, kind, slot) = newString;
    if (w.setCaption)
        w.setCaption(kind, slot, itemCaption(s, kind, slot));
    if (w.raise)
        w.raise(kind, slot);
    s.Modified = true;
}

void NewDataSheet()
{
    DocumentNew(sheetDocument());
}

namespace {

void clearSheet()
{
    CloseAllItems();
    DataSheet &s = S();
    s.Name = word(Word::ItemUntitled);
    s.Path.clear();
    if (tree() && !inTree(s.RootNode)) {
        tree()->clear();
        forgetAllNodes();
        s.RootNode = addNode(nullptr, word(Word::ItemDataSheet), RootNodeImage);
    }
    newSheetNode();
    expandSheet();
    DataSheetIsOpen();
}

} // namespace

void RetranslateUntitledSheet()
{
    DataSheet &s = S();
    if (s.Name != wordLiteral(Word::ItemUntitled, LanguageChinese)
        && s.Name != wordLiteral(Word::ItemUntitled, LanguageEnglish))
        return;
    s.Name = word(Word::ItemUntitled);
    if (inTree(s.SheetNode))
        s.SheetNode->setText(0, s.Name);
}

void OpenDataSheetWithDialog()
{
    DocumentOpenWithDialog(sheetDocument());
}

void OpenDataSheet(const QString &path)
{
    DocumentOpen(sheetDocument(), path);
}

SaveOutcome SaveDataSheet()
{
    // With no sheet open there is nothing to save.
    return DocumentSave(sheetDocument());
}

SaveOutcome SaveDataSheetAs()
{
    return DocumentSaveAs(sheetDocument());
}

void RestoreDataSheetWindows()
{
    DataSheet &s = S();
    newSheetNode();
    for (SheetItemKind kind : ItemKindsByFile) {
        const int n = qBound(0, s.count(kind), DataSheet::maxItems(kind));
        for (int i = 0; i < n; ++i) {
            openWindow(kind, i);
            if (s.SheetNode)
                itemNode(s, kind, i) = addNode(s.SheetNode, itemName(s, kind, i), itemNodeImage(kind));
        }
    }
}

void DataSheetPaneLoaded()
{
    if (!tree())
        return;
    DataSheet &s = S();
    tree()->clear();
    forgetAllNodes();
    setSheetSorted(false);
    s.RootNode = addNode(nullptr, word(Word::ItemDataSheet), RootNodeImage);
    s.SheetNode = addNode(s.RootNode, s.Name, SheetNodeImage);
    if (!app().shell.DataBrowserLoaded) {
        app().shell.DataBrowserLoaded = true;
        NewDataSheet();
        return;
    }
    for (SheetItemKind kind : ItemKindsByFile) {
        const int n = qBound(0, s.count(kind), DataSheet::maxItems(kind));
        for (int i = 0; i < n; ++i)
            itemNode(s, kind, i) = addNode(s.SheetNode, itemName(s, kind, i), itemNodeImage(kind));
    }
    expandSheet();
}

void setSheetSorted(bool sorted)
{
    U().Sorted = sorted;
    if (!tree())
        return;
    if (sorted)
        tree()->sortItems(0, Qt::AscendingOrder);
    tree()->setSortingEnabled(sorted);
}
