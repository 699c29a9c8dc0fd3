#include "shell/itemkinds.h"

#include "app/appstate.h"
#include "datasheet/sheetitems.h"
#include "measure/frmmeasure.h"
#include "replay/frmrecordplay.h"
#include "workspace/itemplacement.h"
#include "storedwave/frmopenwaveform.h"
#include "wave/frmdata.h"
#include "wave/frmwave.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

namespace {

const ItemKindRow rows[] = {
    {SheetItemKind::Wave,
     [](int slot) { OpenWaveItemWindow(slot); },
     [](int slot) -> QWidget * { return waveWindow(slot); },
     [](int slot) { CloseWaveWindow(slot); },
     nullptr,
     [](int slot) { return WaveWindowLoading(slot); }},
    {SheetItemKind::Measure,
     [](int slot) { ShowMeasureWindow(slot); },
     [](int slot) -> QWidget * { return measureWindow(slot); },
     [](int slot) { CloseMeasureWindow(slot); },
     nullptr,
     [](int slot) {
         const frmMeasure *w = measureWindow(slot);
         return w && w->loading();
     }},
    {SheetItemKind::Data,
     [](int slot) { ShowDataWindow(slot); },
     [](int slot) -> QWidget * { return dataWindow(slot); },
     [](int slot) { CloseDataWindow(slot); },
     nullptr,
     [](int slot) { return DataWindowLoading(slot); }},
    {SheetItemKind::Replay,
     [](int slot) { ShowReplayWindow(slot); },
     [](int slot) -> QWidget * { return ReplayWindow(slot); },
     [](int slot) { CloseReplayWindow(slot); },
     [](int from, int to) { MoveReplayWindow(from, to); },
     nullptr},
    {SheetItemKind::StoredWave,
     [](int slot) { ShowStoredWaveWindow(slot); },
     [](int slot) -> QWidget * { return StoredWaveWindow(slot); },
     [](int slot) { CloseStoredWaveWindow(slot); },
     [](int from, int to) { MoveStoredWaveWindow(from, to); },
     [](int slot) { return StoredWaveWindowBusy(slot); }},
};

QWidget *windowOf(SheetItemKind kind, int slot)
{
    const ItemKindRow *row = itemKindRow(kind);
    return row ? row->window(slot) : nullptr;
}

// Brings w to the front: its frame in the main window's item area when it
// has one (raising the widget alone would only raise it inside its frame).
void raiseWindow(QWidget *w)
{
    w->show();
    if (auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget())) {
        sub->show();
        sub->raise();
        if (QMdiArea *area = sub->mdiArea())
            area->setActiveSubWindow(sub);
        return;
    }
    w->raise();
    w->activateWindow();
}

} // namespace

void openItemWindow(const ItemKindRow &row, int slot)
{
    const QWidget *before = row.window(slot);
    row.open(slot);
    // A window opened now (not one raised again) takes its place in the item
    // area: its design size, inside the area, cascaded.
    if (QWidget *w = row.window(slot); w && w != before)
        placeNewItemWindow(w);
}

std::span<const ItemKindRow> itemKindRows()
{
    return rows;
}

const ItemKindRow *itemKindRow(SheetItemKind kind)
{
    for (const ItemKindRow &row : rows)
        if (row.kind == kind)
            return &row;
    return nullptr;
}

void bindItemWindows()
{
    ItemWindowHooks &h = app().sheetui.windows;
    if (!h.open)
        h.open = [](SheetItemKind kind, int slot) {
            if (const ItemKindRow *row = itemKindRow(kind))
                openItemWindow(*row, slot);
        };
    if (!h.setCaption)
        h.setCaption = [](SheetItemKind kind, int slot, const QString &caption) {
            if (QWidget *w = windowOf(kind, slot))
                w->setWindowTitle(caption);
        };
    if (!h.raise)
        h.raise = [](SheetItemKind kind, int slot) {
            if (QWidget *w = windowOf(kind, slot))
                raiseWindow(w);
        };
    if (!h.close)
        h.close = [](SheetItemKind kind, int slot) {
            // Without a window (a kind without a row, or a window gone) the
            // slot holds no open window any more; a window that refused
            // stays open.
            const ItemKindRow *row = itemKindRow(kind);
            if (row)
                row->close(slot);
            if (!row || !row->window(slot))
                itemWindowOpen(app().Sheet, kind, slot) = false;
        };
    if (!h.move)
        h.move = [](SheetItemKind kind, int from, int to) {
            const ItemKindRow *row = itemKindRow(kind);
            if (!row || !row->move)
                return false;
            row->move(from, to);
            return true;
        };
    if (!h.loading)
        h.loading = [](SheetItemKind kind, int slot) {
            const ItemKindRow *row = itemKindRow(kind);
            return row && row->loading && row->loading(slot);
        };
    if (!h.pauseReplay)
        h.pauseReplay = [](int slot) { PauseReplayForSave(slot); };
    if (!h.layOutChannels)
        h.layOutChannels = [](SheetItemKind kind, int slot, bool logicChannels) {
            if (kind != SheetItemKind::Wave)
                return;
            if (frmWave *w = waveWindow(slot))
                w->layoutChannelBoxes(logicChannels);
        };
}
