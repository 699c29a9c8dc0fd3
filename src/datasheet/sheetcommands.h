#pragma once
// The data sheet's commands on the Data Browser tree (app().sheetui
// .DataSheetTreeCtl) and the one sheet record (app().Sheet): whether a sheet
// is open, adding, removing, activating and renaming items, New, Open, Save
// and Save As, restoring the item windows after a read, and the pane's load.
// The pane's events and the main window's hooks call these; tests drive them
// on a bare tree.
//
// Tree shape: the root node (the word ItemDataSheet, picture 1) holds the
// sheet node (Sheet.Name, picture 2), which holds one node per item (its name,
// pictures 3..7 by kind). Nodes carry their picture number as Qt::UserRole
// data. The records hold the node references; a node that leaves the tree is
// forgotten by every record that held it.
//
// While a transfer runs (app().transfer.TransferBusy) New, Open, removing an
// item or the sheet, activating and renaming an item are refused silently;
// New, Open and removing are refused as well while an item window's load is
// on the stack (AnyItemWindowLoading()).

#include "common/datasheet.h"
#include "workspace/doccommands.h"

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

// Installs tree as the Data Browser tree (null: none). Forgets every node
// reference of the sheet record when the tree changes.
void setDataSheetTree(QTreeWidget *tree);

// True while the tree holds the sheet node; enables or disables the toolbar's
// add-waveform, add-measure and add-data buttons to match.
bool DataSheetIsOpen();

// Adds a new item of kind: MsgOpenSheetFirst when no sheet is open,
// MsgItemLimit when the kind is full (nothing changed); otherwise the next
// slot gets a new record with its default name, its window and its node.
void AddNewItem(SheetItemKind kind);
inline void AddNewWaveform() { AddNewItem(SheetItemKind::Wave); }
inline void AddNewMeasure() { AddNewItem(SheetItemKind::Measure); }
inline void AddNewData() { AddNewItem(SheetItemKind::Data); }
inline void AddNewRecord() { AddNewItem(SheetItemKind::Replay); }
inline void AddNewMemoryWave() { AddNewItem(SheetItemKind::StoredWave); }

// The item of node: true and its kind and slot when node is the node of an
// item in slots 0..count-1.
bool findItemOfNode(const QTreeWidgetItem *node, SheetItemKind *kind, int *slot);

// Remove on the selected node: an item is removed (its node leaves the tree,
// the later items move down); the sheet node closes the sheet after the save
// question (Cancel, or a save that did not happen, keeps it).
void RemoveSelected();
// Double click: opens the selected item's window, captions it from the node's
// text and brings it to the front. The root and the sheet node do nothing.
void SetActiveForm();
// End of a label edit on the selected node with newString: the root keeps
// its word (MsgRootNameFixed; newString receives the word); the sheet or
// item takes the new name and the sheet is modified; an item's window is
// opened, captioned and brought to the front. While a transfer runs nothing
// changes and newString receives the node's present name.
void ChangeFormName(QString &newString);

// The sheet commands. Each of New and the Opens first asks the save question
// when the sheet is modified; Cancel, or Yes with a save that was cancelled or
// failed, stops the command with nothing changed.
void NewDataSheet();
void OpenDataSheetWithDialog();
// A file that cannot be read or is refused is reported and changes nothing.
void OpenDataSheet(const QString &path);
// Saved only when the file was written: then the path is the file, the sheet
// is unmodified and the file heads the recent list. With no sheet open there
// is nothing to save (Cancelled).
SaveOutcome SaveDataSheet();
SaveOutcome SaveDataSheetAs();

// After a read: a new sheet node with the sheet's name, and a window and a node
// for every item, kinds in file order.
void RestoreDataSheetWindows();

// The pane's load: the first since start-up builds the root and an untitled
// new sheet; later ones rebuild the tree from the record.
void DataSheetPaneLoaded();

// After a language switch: a sheet still called by the untitled word of either
// language takes the word of the language in force, on its node as well. A
// sheet the user named keeps its name.
void RetranslateUntitledSheet();

// The sorted state of the sheet node's children.
void setSheetSorted(bool sorted);
