#pragma once
// Showing the window of an item slot in the main window's item area: the part
// every item window kind shares. The kind says how its window is found, made
// and brought up to date; this routine keeps the data sheet's reference to the
// window, puts a new window into the item area and shows it there.

#include "common/refs.h"

#include <functional>

class QCloseEvent;
class QWidget;

struct ItemWindowShow {
    // The data sheet's reference to the slot's window.
    WindowRef *form = nullptr;
    // The slot's open window, or null.
    std::function<QWidget *()> find;
    // A new window bound to the slot.
    std::function<QWidget *()> make;
    // Optional: a new window's set-up once the data sheet holds it, before it
    // enters the item area.
    std::function<void(QWidget *w)> prepare;
    // With true the window's frame goes with the window when closed (see
    // addToItemArea()).
    bool deleteFrameOnClose = false;
    // Every activation, new window or not: captions, texts and the like.
    // fresh: the window was made now.
    std::function<void(QWidget *w, bool fresh)> activate;
};

// Finds or makes the window as above, applies activate and shows it raised
// and active in its frame. Returns the window.
QWidget *ShowItemSlotWindow(const ItemWindowShow &show);

// The close of an item window that may be closed while one of its handlers is
// on the stack (handlerDepth of them). A window already unloaded closes; one
// that mayUnload refuses stays open, except while an exchange with the
// instrument runs: then its frame hides at once, the exchange is abandoned
// and the close comes again until mayUnload lets it; otherwise unload runs and the window's
// frame (itemFrame()) is deleted once no handler of the window is left on the
// stack: now, or by leaveItemHandler() when the last one returns.
void closeItemWindow(QWidget *window, QCloseEvent *event, bool unloaded, int handlerDepth,
                     const std::function<bool()> &mayUnload, const std::function<void()> &unload);
// A handler of window returns (handlerDepth counts it down); the last one to
// leave an unloaded window deletes its frame.
void leaveItemHandler(QWidget *window, int &handlerDepth, bool unloaded);
