#pragma once
// The item windows of the data sheet, one row per item kind: how the main
// window opens, finds, closes and moves the window of a slot. The data sheet
// reaches them through app().sheetui.windows, which bindItemWindows() fills
// from this table; a kind without a row has no window of its own (its items
// live in the record, the tree and the file only). A new kind of item window
// joins by adding its row in itemkinds.cpp.

#include "common/datasheet.h"

#include <span>

class QWidget;

struct ItemKindRow {
    SheetItemKind kind;
    // Reaches slot's window: creates it when the slot has none, binds it to
    // the slot, applies the language, shows it and runs its start-up.
    void (*open)(int slot);
    // The open window of slot, or null.
    QWidget *(*window)(int slot);
    // Unloads slot's window (a window with a load on its stack refuses).
    void (*close)(int slot);
    // Optional. Moves the open window of slot `from` to slot `to` once the
    // records have moved, keeping it running; without it the sheet closes the
    // window and opens it again in its new slot.
    void (*move)(int from, int to);
    // Optional. True while slot's window has a load on its stack.
    bool (*loading)(int slot);
};

std::span<const ItemKindRow> itemKindRows();

// Opens slot's window through row.open; a window that did not exist before
// is placed by placeNewItemWindow() (shell/itemplacement.h): at its design
// size (its sizeHint()), wholly inside the item area, cascaded. A window
// kind opened some other way than through the table calls
// placeNewItemWindow() itself once its new window is shown.
void openItemWindow(const ItemKindRow &row, int slot);
// The row of kind, or null when the kind has no window.
const ItemKindRow *itemKindRow(SheetItemKind kind);

// Binds the data sheet's window hooks (app().sheetui.windows) to the table.
// Captions and raising work on window(slot) for every kind. A hook already
// set (by a test) is kept.
void bindItemWindows();
