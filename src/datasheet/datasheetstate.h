#pragma once
// The data sheet subsystem's program-wide state (app().sheetui): the Data
// Browser tree in force, the sorted state of the sheet node, and the hooks
// through which the sheet reaches the item windows and the shell.
//
// Item windows (waveform, data table, measure, record, memory waveform) are
// built by other subsystems. The sheet creates, re-binds, captions and closes
// them only through ItemWindowHooks; a hook left empty means "no window of
// that kind exists yet": the item still lives in the record, the tree and the
// file. Each hook gets the item kind and the slot; a window finds its record
// in app().Sheet at that slot and never owns it.

#include "common/datasheet.h"

#include <QString>

#include <functional>

class QTreeWidget;

struct ItemWindowHooks {
    // Reaches the window of slot: creates it when the slot has none or its
    // window was closed, binds it to slot (its tag), applies the language in
    // force to its controls (and lays out its channel boxes from the record and
    // app().link.LaPresent), shows it in front of the others, and runs its
    // deferred start-up, which copies the record into the controls and sets
    // the record's window-open flag. An open window is only re-bound to slot.
    std::function<void(SheetItemKind kind, int slot)> open;
    // Sets the caption of slot's window (reached as open() does).
    std::function<void(SheetItemKind kind, int slot, const QString &caption)> setCaption;
    // Brings slot's open window to the front.
    std::function<void(SheetItemKind kind, int slot)> raise;
    // Closes (unloads) slot's window; its unload clears the record's
    // window-open flag. A window that refuses to close keeps the flag set.
    std::function<void(SheetItemKind kind, int slot)> close;
    // Moves the open window of slot `from` to slot `to` after the records
    // moved, keeping it running. False when the kind cannot move its windows
    // (the sheet then closes the window and opens it again).
    std::function<bool(SheetItemKind kind, int from, int to)> move;
    // True while slot's window has a load on its stack.
    std::function<bool(SheetItemKind kind, int slot)> loading;
    // Lays out the channel boxes of slot's open window for an instrument
    // with (or without) the logic channels.
    std::function<void(SheetItemKind kind, int slot, bool logicChannels)> layOutChannels;
    // Pauses the replaying record window of slot before the sheet is saved
    // (stops its frame timer and sets the record's Status to paused).
    std::function<void(int slot)> pauseReplay;
};

struct DataSheetState {
    ItemWindowHooks windows;
    // The Data Browser tree (set by the pane; null while no pane exists).
    QTreeWidget *DataSheetTreeCtl = nullptr;
    // The sorted check of the sheet node.
    bool Sorted = false;
    // Puts a path at the head of the recent data sheet list (the shell's).
    std::function<void(const QString &path)> addRecentSheetFile;
    // Enables or disables the add-item buttons of the main window's toolbar.
    std::function<void(bool enabled)> setAddItemButtonsEnabled;
};
