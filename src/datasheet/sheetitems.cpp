#include "datasheet/sheetitems.h"

#include "app/appstate.h"

namespace {

template <class F> decltype(auto) onRecord(DataSheet &s, SheetItemKind kind, int slot, F &&f)
{
    const size_t i = size_t(slot);
    switch (kind) {
    case SheetItemKind::Wave: return f(s.WaveDocs.at(i));
    case SheetItemKind::Measure: return f(s.MeasDocs.at(i));
    case SheetItemKind::Data: return f(s.DataDocs.at(i));
    case SheetItemKind::Replay: return f(s.Replays.at(i));
    case SheetItemKind::StoredWave: break;
    }
    return f(s.StoredWaves.at(i));
}

bool &openFlag(WaveDoc &d) { return d.WindowOpen; }
bool &openFlag(MeasDoc &d) { return d.WindowOpen; }
bool &openFlag(DataDoc &d) { return d.WindowOpen; }
bool &openFlag(ReplayInfo &d) { return d.WindowOpen; }
bool &openFlag(StoredWave &d) { return d.SlotUsed; }

// The flag a removal clears in the vacated slot.
bool &vacatedFlag(WaveDoc &d) { return d.HasData; }
bool &vacatedFlag(MeasDoc &d) { return d.HasData; }
bool &vacatedFlag(DataDoc &d) { return d.HasData; }
bool &vacatedFlag(ReplayInfo &d) { return d.ReplayStarted; }
bool &vacatedFlag(StoredWave &d) { return d.HasData; }

void copyRecord(DataSheet &s, SheetItemKind kind, int to, int from)
{
    const size_t a = size_t(to), b = size_t(from);
    switch (kind) {
    case SheetItemKind::Wave: s.WaveDocs.at(a) = s.WaveDocs.at(b); break;
    case SheetItemKind::Measure: s.MeasDocs.at(a) = s.MeasDocs.at(b); break;
    case SheetItemKind::Data: s.DataDocs.at(a) = s.DataDocs.at(b); break;
    case SheetItemKind::Replay: s.Replays.at(a) = s.Replays.at(b); break;
    case SheetItemKind::StoredWave: s.StoredWaves.at(a) = s.StoredWaves.at(b); break;
    }
}

// Closes slot's window; false when it refused (its window-open flag stays
// set, as the close hook leaves it).
bool closeWindow(SheetItemKind kind, int slot)
{
    bool &open = itemWindowOpen(app().Sheet, kind, slot);
    if (const auto &hook = app().sheetui.windows.close)
        hook(kind, slot);
    else
        open = false; // no windows at all: only the flag tells
    return !open;
}

// Moves the open window of slot from to slot to, keeping it running; false
// when the kind cannot move its windows.
bool moveWindow(SheetItemKind kind, int from, int to)
{
    const auto &hook = app().sheetui.windows.move;
    return hook && hook(kind, from, to);
}

bool windowLoading(SheetItemKind kind, int slot)
{
    const auto &hook = app().sheetui.windows.loading;
    return hook && hook(kind, slot);
}

} // namespace

int itemNodeImage(SheetItemKind kind)
{
    switch (kind) {
    case SheetItemKind::Wave: return 3;
    case SheetItemKind::Measure: return 4;
    case SheetItemKind::Data: return 5;
    case SheetItemKind::Replay: return 6;
    case SheetItemKind::StoredWave: return 7;
    }
    return 0;
}

QString itemKindWord(SheetItemKind kind, int lang)
{
    const bool zh = lang == 0;
    switch (kind) {
    case SheetItemKind::Wave: return zh ? QStringLiteral("波形") : QStringLiteral("Wave");
    case SheetItemKind::Measure: return zh ? QStringLiteral("测量") : QStringLiteral("Measure");
    case SheetItemKind::Data: return zh ? QStringLiteral("数据") : QStringLiteral("Data");
    case SheetItemKind::Replay: return zh ? QStringLiteral("录制文件") : QStringLiteral("Record");
    case SheetItemKind::StoredWave: return zh ? QStringLiteral("波形文件") : QStringLiteral("Memory Wave");
    }
    return {};
}

QString &itemName(DataSheet &s, SheetItemKind kind, int slot)
{
    return onRecord(s, kind, slot, [](auto &r) -> QString & { return r.Name; });
}

bool &itemWindowOpen(DataSheet &s, SheetItemKind kind, int slot)
{
    return onRecord(s, kind, slot, [](auto &r) -> bool & { return openFlag(r); });
}

TreeNodeRef &itemNode(DataSheet &s, SheetItemKind kind, int slot)
{
    return onRecord(s, kind, slot, [](auto &r) -> TreeNodeRef & { return r.Node; });
}

void setItemCount(DataSheet &s, SheetItemKind kind, int count)
{
    const qint16 n = qint16(count);
    switch (kind) {
    case SheetItemKind::Wave: s.WaveDocCount = n; break;
    case SheetItemKind::Measure: s.MeasDocCount = n; break;
    case SheetItemKind::Data: s.DataDocCount = n; break;
    case SheetItemKind::Replay: s.ReplayCount = n; break;
    case SheetItemKind::StoredWave: s.StoredWaveCount = n; break;
    }
}

QString itemCaption(const DataSheet &s, SheetItemKind kind, int slot, const QString &name)
{
    const QString sep = QStringLiteral("  (");
    if (kind == SheetItemKind::Replay) {
        const ReplayInfo &r = s.Replays.at(size_t(slot));
        return r.FilePath.isEmpty() ? name : name + sep + r.FilePath + u')';
    }
    if (kind == SheetItemKind::StoredWave) {
        const StoredWave &w = s.StoredWaves.at(size_t(slot));
        return w.HasData ? name + sep + w.FilePath + u')' : name;
    }
    return name;
}

int PrepareNewItemRecord(DataSheet &s, SheetItemKind kind, int lang)
{
    const int k = s.count(kind);
    const QString name = itemKindWord(kind, lang) + QString::number(k);
    switch (kind) {
    case SheetItemKind::Wave: {
        WaveDoc &d = s.WaveDocs.at(size_t(k));
        d.setNewItemDefaults();
        // The new window's source boxes follow the instrument's logic channels.
        d.DigitalLayout = app().link.LaPresent != 0;
        break;
    }
    case SheetItemKind::Measure: s.MeasDocs.at(size_t(k)).setNewItemDefaults(); break;
    case SheetItemKind::Data: s.DataDocs.at(size_t(k)).setNewItemDefaults(); break;
    case SheetItemKind::Replay: {
        ReplayInfo &r = s.Replays.at(size_t(k));
        r.setNewItemDefaults();
        r.StatusText = lang == 0 ? QStringLiteral("请打开波形录制文件。")
                                 : QStringLiteral("Please open the waveform record file.");
        break;
    }
    case SheetItemKind::StoredWave: s.StoredWaves.at(size_t(k)).setNewItemDefaults(); break;
    }
    itemName(s, kind, k) = name;
    return k;
}

bool AnyItemWindowLoading()
{
    DataSheet &s = app().Sheet;
    for (SheetItemKind kind : ItemKindsByFile) {
        const int n = qBound(0, s.count(kind), DataSheet::slotCount(kind));
        for (int i = 0; i < n; ++i)
            if (windowLoading(kind, i))
                return true;
    }
    return false;
}

bool RemoveItem(SheetItemKind kind, int k)
{
    DataSheet &s = app().Sheet;
    const int n = s.count(kind);
    if (n > DataSheet::slotCount(kind) || k < 0 || k >= n || AnyItemWindowLoading())
        return false;
    s.Modified = true;
    const ItemWindowHooks &w = app().sheetui.windows;
    for (int i = k; i <= n - 2; ++i) {
        const bool vacant = !itemWindowOpen(s, kind, i) || closeWindow(kind, i);
        const bool nextOpen = itemWindowOpen(s, kind, i + 1);
        copyRecord(s, kind, i, i + 1);
        if (!nextOpen)
            continue;
        if (vacant && moveWindow(kind, i + 1, i)) {
            // The window went down with its item and keeps running; its old
            // slot holds no window any more.
            itemWindowOpen(s, kind, i + 1) = false;
        } else {
            // The moved item's window opens again in its new slot.
            itemWindowOpen(s, kind, i) = false; // set again by the window's start-up
            if (w.open)
                w.open(kind, i);
        }
        if (w.setCaption)
            w.setCaption(kind, i, itemCaption(s, kind, i));
    }
    const int j = n - 1;
    if (itemWindowOpen(s, kind, j))
        closeWindow(kind, j);
    onRecord(s, kind, j, [](auto &r) { vacatedFlag(r) = false; });
    setItemCount(s, kind, n - 1);
    return true;
}

void CloseAllItems()
{
    DataSheet &s = app().Sheet;
    for (SheetItemKind kind : ItemKindsByFile) {
        const int n = qBound(0, s.count(kind), DataSheet::slotCount(kind));
        for (int i = 0; i < n; ++i)
            if (itemWindowOpen(s, kind, i))
                closeWindow(kind, i);
        setItemCount(s, kind, 0);
    }
}
