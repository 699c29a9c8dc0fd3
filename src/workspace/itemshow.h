#pragma once
// Showing the window of an item slot in the main window's item area: the part
// every item window kind shares. The kind says how its window is found, made
// and brought up to date; this routine keeps the data sheet's reference to the
// window, puts a new window into the item area and shows it there.

#include "common/datasheet.h"
#include "common/refs.h"
#include "workspace/itemplacement.h"

#include <QString>
#include <QWidget>

#include <functional>

class QCloseEvent;

struct ItemWindowShow {
    // Optional: run before anything else on every show (hooks the kind
    // installs once).
    std::function<void()> install;
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

// --- the slots of an item kind ------------------------------------------------
// What every item window kind does with its slots, told by the kind
// (DataSheet::slotCount() and the kind's window references): the lookup, the
// show, the close, the move and the release of the reference on unload.

// The data sheet's reference to the window of kind's slot; null when slot is
// not one of the kind's slots.
WindowRef *itemSlotRef(SheetItemKind kind, int slot);
// The name of kind's item in slot (a valid slot).
QString itemSlotName(SheetItemKind kind, int slot);

// The window of kind's slot as a W, or null: no such slot, no window, or (for
// a window that tells unloaded()) a window that has unloaded and only waits
// for its handlers to return.
template <class W> W *itemSlotWindow(SheetItemKind kind, int slot)
{
    const WindowRef *ref = itemSlotRef(kind, slot);
    W *w = ref ? qobject_cast<W *>(ref->data()) : nullptr;
    if constexpr (requires(const W &v) { v.unloaded(); }) {
        if (w && w->unloaded())
            return nullptr;
    }
    return w;
}

// A new window for kind's slot: a window with a tag holds the slot there and
// is captioned with the item's name; any other takes its slot when made.
template <class W> W *makeItemSlotWindow(SheetItemKind kind, int slot)
{
    if constexpr (requires(W &v) { v.tag; }) {
        auto *w = new W;
        w->tag = QString::number(slot);
        w->setWindowTitle(itemSlotName(kind, slot));
        return w;
    } else {
        return new W(slot);
    }
}

// ShowItemSlotWindow() for kind's slot, its reference, lookup and (unless show
// has one) its making taken from the kind. Null when slot is not one of the
// kind's slots (show.install does not run then).
template <class W> W *showItemSlotWindow(SheetItemKind kind, int slot, ItemWindowShow show)
{
    WindowRef *ref = itemSlotRef(kind, slot);
    if (!ref)
        return nullptr;
    if (show.install)
        show.install();
    show.form = ref;
    show.find = [kind, slot]() -> QWidget * { return itemSlotWindow<W>(kind, slot); };
    if (!show.make)
        show.make = [kind, slot]() -> QWidget * { return makeItemSlotWindow<W>(kind, slot); };
    return static_cast<W *>(ShowItemSlotWindow(show));
}

// Closes the window of kind's slot as the user does, through its frame (the
// window's close asks whether it may unload). True when there is no window or
// it unloaded, false when it refused.
// True while a command of the data sheet closes an item window: such a close
// is refused, silently, while the window may not unload.
bool &closingItemByCommand();

template <class W> bool closeItemSlotWindow(SheetItemKind kind, int slot)
{
    W *w = itemSlotWindow<W>(kind, slot);
    if (!w)
        return true;
    const bool outer = closingItemByCommand();
    closingItemByCommand() = true;
    itemFrame(w)->close();
    closingItemByCommand() = outer;
    return w->unloaded();
}

// Hides the frame of an unloaded window and deletes it later.
void dropItemFrame(QWidget *window);

// Unloads the window of kind's slot at once (no question asked), clears the
// data sheet's reference and drops its frame. Nothing without a window.
template <class W> void unloadItemSlotWindow(SheetItemKind kind, int slot)
{
    W *w = itemSlotWindow<W>(kind, slot);
    if (!w)
        return;
    w->Form_Unload();
    *itemSlotRef(kind, slot) = nullptr;
    dropItemFrame(w);
}

// Moves the data sheet's reference to the window of kind's slot from to slot
// to (both the kind's, from != to; anything else changes nothing) and returns
// the window, which the caller binds to its new slot; null without one.
template <class W> W *moveItemSlotWindow(SheetItemKind kind, int from, int to)
{
    WindowRef *source = itemSlotRef(kind, from);
    WindowRef *target = itemSlotRef(kind, to);
    if (!source || !target || from == to)
        return nullptr;
    W *w = itemSlotWindow<W>(kind, from);
    *target = w;
    *source = nullptr;
    return w;
}

// An unloading window lets go of the data sheet's reference of its slot, when
// the reference is still its own.
void releaseItemSlotRef(SheetItemKind kind, int slot, const QWidget *window);

// The close of an item window that may be closed while one of its handlers is
// on the stack (handlerDepth of them). A window already unloaded closes; one
// that mayUnload refuses stays open, except while an exchange with the
// instrument runs: then its frame hides at once, the exchange is abandoned
// when it is the window's own load (any other runs to its end), and the close
// comes again until mayUnload lets it; otherwise unload runs and the window's
// frame (itemFrame()) is deleted once no handler of the window is left on the
// stack: now, or by leaveItemHandler() when the last one returns.
void closeItemWindow(QWidget *window, QCloseEvent *event, bool unloaded, int handlerDepth,
                     const std::function<bool()> &mayUnload, const std::function<void()> &unload);
// A handler of window returns (handlerDepth counts it down); the last one to
// leave an unloaded window deletes its frame.
void leaveItemHandler(QWidget *window, int &handlerDepth, bool unloaded);
