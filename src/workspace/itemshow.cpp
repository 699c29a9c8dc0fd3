#include "workspace/itemshow.h"

#include "app/appstate.h"
#include "datasheet/sheetitems.h"

#include "platform/pump.h"

#include <QCloseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {
constexpr char ClosePendingProperty[] = "kelvoClosePending";
constexpr int CloseRetryMs = 50;

template <size_t N> WindowRef *refIn(std::array<WindowRef, N> &forms, int slot)
{
    return slot >= 0 && size_t(slot) < N ? &forms[size_t(slot)] : nullptr;
}

} // namespace

WindowRef *itemSlotRef(SheetItemKind kind, int slot)
{
    DataSheet &s = app().Sheet;
    switch (kind) {
    case SheetItemKind::Wave: return refIn(s.WaveForms, slot);
    case SheetItemKind::Measure: return refIn(s.MeasureForms, slot);
    case SheetItemKind::Data: return refIn(s.DataForms, slot);
    case SheetItemKind::Replay: return refIn(s.ReplayForms, slot);
    case SheetItemKind::StoredWave: return refIn(s.StoredWaveForms, slot);
    }
    return nullptr;
}

QString itemSlotName(SheetItemKind kind, int slot)
{
    return itemName(app().Sheet, kind, slot);
}

bool &closingItemByCommand()
{
    static bool byCommand = false;
    return byCommand;
}

void dropItemFrame(QWidget *window)
{
    QWidget *top = itemFrame(window);
    top->hide();
    top->deleteLater();
}

void releaseItemSlotRef(SheetItemKind kind, int slot, const QWidget *window)
{
    if (WindowRef *ref = itemSlotRef(kind, slot); ref && *ref == window)
        *ref = nullptr;
}

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
        // at once, and unloads as soon as it may. Its own load is abandoned;
        // an exchange it did not begin (an upload, another window's load)
        // runs to its end first.
        const bool pending = window->property(ClosePendingProperty).toBool();
        if (!pending && (!exchangeRunning() || closingItemByCommand()))
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
            abandonExchangeOf(window);
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
