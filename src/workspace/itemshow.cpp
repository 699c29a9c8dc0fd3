#include "workspace/itemshow.h"

#include "workspace/itemplacement.h"

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
