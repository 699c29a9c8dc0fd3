#include "workspace/itemshow.h"

#include "workspace/itemplacement.h"

#include "platform/pump.h"

#include <QCloseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {
constexpr char ClosePendingProperty[] = "kelvoClosePending";
constexpr int CloseRetryMs = 50;
} // namespace

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
        // Closed while the instrument is being talked to: the window goes
        // at once, the exchange is abandoned, and the window unloads as soon
        // as it may (its own load has then let go).
        const bool pending = window->property(ClosePendingProperty).toBool();
        if (!pending && !exchangeRunning())
            return;
        window->setProperty(ClosePendingProperty, true);
        QWidget *frame = itemFrame(window);
        frame->hide();
        const QPointer<QWidget> again(frame);
        const auto retry = [again] {
            if (again)
                again->close();
        };
        if (exchangeRunning()) {
            abandonExchange();
            runAfterExchange(retry);
        } else {
            QTimer::singleShot(CloseRetryMs, frame, retry);
        }
        return;
    }
    window->setProperty(ClosePendingProperty, false);
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
