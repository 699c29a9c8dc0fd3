#pragma once
// The item slots of the one data sheet (app().Sheet), free of any window:
// per-kind access to an item's name, window-open flag and tree node, the
// caption rule of its window, the kind words of default names, the record
// part of adding an item, and removing an item or closing all of them (the
// later slots move down and their windows are re-bound through the item
// window hooks, datasheet/datasheetstate.h).

#include "common/datasheet.h"

#include <QString>

// The five kinds in the order the tree walks them to find a selected node.
inline constexpr SheetItemKind ItemKindsByMatch[] = {SheetItemKind::Data, SheetItemKind::Wave, SheetItemKind::Measure,
                                                    SheetItemKind::Replay, SheetItemKind::StoredWave};
// The five kinds in the order of the file and of restoring windows.
inline constexpr SheetItemKind ItemKindsByFile[] = {SheetItemKind::Wave, SheetItemKind::Measure, SheetItemKind::Data,
                                                   SheetItemKind::Replay, SheetItemKind::StoredWave};

// Tree node pictures.
inline constexpr int RootNodeImage = 1;
inline constexpr int SheetNodeImage = 2;
int itemNodeImage(SheetItemKind kind); // 3 wave, 4 measure, 5 data, 6 record, 7 memory waveform

// The word of a default item name in language lang: "Wave", "Measure",
// "Data", "Record", "Memory Wave" (1) or the Chinese words (0); English for
// any other lang.
QString itemKindWord(SheetItemKind kind, int lang);

// Members of the item in slot (0 <= slot < slotCount(kind)).
QString &itemName(DataSheet &s, SheetItemKind kind, int slot);
bool &itemWindowOpen(DataSheet &s, SheetItemKind kind, int slot);
TreeNodeRef &itemNode(DataSheet &s, SheetItemKind kind, int slot);
void setItemCount(DataSheet &s, SheetItemKind kind, int count);

// The caption of slot's window built from name: the name, followed by two
// blanks and the file path in parentheses for a record item with a path and a
// memory waveform item holding data.
QString itemCaption(const DataSheet &s, SheetItemKind kind, int slot, const QString &name);
inline QString itemCaption(DataSheet &s, SheetItemKind kind, int slot)
{
    return itemCaption(s, kind, slot, itemName(s, kind, slot));
}

// The record part of an add: sets the new item's defaults and its name (kind
// word + slot in language lang) in slot count(kind) and returns that slot.
// The count is not raised. Only while hasRoom(kind).
int PrepareNewItemRecord(DataSheet &s, SheetItemKind kind, int lang);

// True while the window of any item has a load on its stack.
bool AnyItemWindowLoading();

// Removes the item in slot k (0 <= k < count, and no item window loading;
// anything else changes nothing and returns false): marks the sheet modified,
// moves every later record one slot down (with its name, data and node),
// moves each moved item's open window with it (a kind that cannot move its
// windows closes it in the old slot and opens it in the new one), closes the
// last slot's window, clears the vacated slot's data flag and lowers the
// count. The tree is left to the caller.
bool RemoveItem(SheetItemKind kind, int k);
inline bool RemoveWaveItem(int k) { return RemoveItem(SheetItemKind::Wave, k); }
inline bool RemoveMeasureItem(int k) { return RemoveItem(SheetItemKind::Measure, k); }
inline bool RemoveDataItem(int k) { return RemoveItem(SheetItemKind::Data, k); }
inline bool RemoveReplayItem(int k) { return RemoveItem(SheetItemKind::Replay, k); }
inline bool RemoveStoredWaveItem(int k) { return RemoveItem(SheetItemKind::StoredWave, k); }

// Closes every open item window and sets all five counts to 0; the records,
// the name, path, modified flag and the tree stay. A window that refuses to
// close keeps its window-open flag.
void CloseAllItems();
