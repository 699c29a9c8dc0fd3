// Reads arbitrary bytes as a data sheet file. Any input must be read without
// touching memory outside it; a refused file changes nothing (the whole
// sheet: every slot of every kind, the stale slots beyond the counts too);
// counts stay within the item limits; and a sheet read from a file is written
// and read back to the same file.
#include "datasheet/datasheetfile.h"

#include <QWidget>

#include <cstdint>
#include <cstdlib>

namespace {

// A sheet with items of every kind and stale records beyond the counts, as a
// session leaves it before a file is opened.
DataSheet startingSheet()
{
    DataSheet s;
    s.Path = QStringLiteral("/tmp/before.kvd");
    s.Name = QStringLiteral("before");
    s.Modified = true;
    s.WaveDocCount = 1;
    s.MeasDocCount = 1;
    s.DataDocCount = 1;
    s.ReplayCount = 1;
    s.StoredWaveCount = 1;
    for (int i = 0; i < 2; ++i) {
        WaveDoc &w = s.WaveDocs[size_t(i)];
        w.Name = QStringLiteral("Wave%1").arg(i);
        w.HasData = true;
        w.DrawCH1 = true;
        w.CH1Rows = QList<qint32>(DataSheetWaveArraySize, 100 + i);
        MeasDoc &m = s.MeasDocs[size_t(i)];
        m.Name = QStringLiteral("Measure%1").arg(i);
        m.HasData = true;
        m.Items[MeasVpp].Value = QStringLiteral("1.00V");
        DataDoc &d = s.DataDocs[size_t(i)];
        d.Name = QStringLiteral("Data%1").arg(i);
        d.RowCount = 1;
        d.ValueTexts = QStringList(3, QStringLiteral("1.0"));
        ReplayInfo &r = s.Replays[size_t(i)];
        r.Name = QStringLiteral("Record%1").arg(i);
        r.ReplayStarted = true;
        r.FirstFrame = r.FrameCount = 1;
        r.Samples = QList<qint16>(ReplayInfo::FrameSize + 1, qint16(20 + i));
        StoredWave &sw = s.StoredWaves[size_t(i)];
        sw.Name = QStringLiteral("Memory Wave%1").arg(i);
        sw.HasData = true;
        sw.SampleCount = 2;
        sw.ShowCH1 = true;
        sw.Ch1Samples = {1, 2, 0};
    }
    return s;
}

// Every member of the two sheets alike: texts, flags, counts, each slot's
// record, window and node.
bool sameSheet(const DataSheet &a, const DataSheet &b)
{
    return a.Path == b.Path && a.Name == b.Name && a.Modified == b.Modified && a.WaveForms == b.WaveForms
        && a.WaveDocs == b.WaveDocs && a.WaveDocCount == b.WaveDocCount && a.DataForms == b.DataForms
        && a.DataDocs == b.DataDocs && a.DataDocCount == b.DataDocCount && a.MeasureForms == b.MeasureForms
        && a.MeasDocs == b.MeasDocs && a.MeasDocCount == b.MeasDocCount && a.ReplayForms == b.ReplayForms
        && a.Replays == b.Replays && a.ReplayCount == b.ReplayCount && a.StoredWaveForms == b.StoredWaveForms
        && a.StoredWaves == b.StoredWaves && a.StoredWaveCount == b.StoredWaveCount && a.SheetNode == b.SheetNode
        && a.RootNode == b.RootNode;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    DataSheetFileContext ctx;
    static const DataSheet before = startingSheet();
    DataSheet s = before;
    const DataSheetRead r = ParseDataSheet(input, s, ctx);
    if (r != DataSheetRead::Ok) {
        if (r != DataSheetRead::BadFormat || !sameSheet(s, before))
            std::abort();
        return 0;
    }
    for (SheetItemKind k : {SheetItemKind::Wave, SheetItemKind::Measure, SheetItemKind::Data, SheetItemKind::Replay,
                            SheetItemKind::StoredWave})
        if (s.count(k) < 0 || s.count(k) > DataSheet::maxItems(k))
            std::abort();
    for (int i = 0; i < s.DataDocCount; ++i)
        if (s.DataDocs[size_t(i)].RowCount < 0 || s.DataDocs[size_t(i)].RowCount > DataSheetMaxRows)
            std::abort();
    for (int i = 0; i < s.ReplayCount; ++i) {
        const ReplayInfo &rec = s.Replays[size_t(i)];
        if (rec.ReplayStarted && rec.FrameCount < rec.FirstFrame)
            std::abort();
    }
    // Written and read back, the sheet writes the same file again.
    ctx.laPresent = false;
    const QByteArray once = DataSheetFileBytes(s, ctx);
    DataSheet back;
    if (ParseDataSheet(once, back, ctx) != DataSheetRead::Ok)
        std::abort();
    if (DataSheetFileBytes(back, ctx) != once)
        std::abort();
    return 0;
}
