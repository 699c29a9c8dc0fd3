#include "workspace/itemshow.h"

#include "workspace/itemplacement.h"

#include <QCloseEvent>
#include <QWidget>

QWidget *ShowItemSlotWindow(const ItemWindowShow &show)
{
    QWidget *w = show.find();
    const bool fresh = !w;
    if (fresh) {
        w = show.make();
        *show.form = w;
        if (show.prepare)
            show.prepare(w);
        addToItemArea(w, show.deleteFrameOnClose);
    }
    if (show.activate)
        show.activate(w, fresh);
    showItemWindow(w);
    return w;
}

void closeItemWindow(QWidget *window, QCloseEvent *event, bool unloaded, int handlerDepth,
                     const std::function<bool()> &mayUnload, const std::function<void()> &unload)
{
    if (unloaded) {
        event->accept();
        return;
    }
    if (!mayUnload()) {
        event->ignore();
        return;
    }
    unload();
    event->accept();
    if (handlerDepth == 0)
        itemFrame(window)->deleteLater();
}

void leaveItemHandler(QWidget *window, int &handlerDepth, bool unloaded)
{
    --handlerDepth;
    if (handlerDepth == 0 && unloaded)
        itemFrame(window)->deleteLater();
}
