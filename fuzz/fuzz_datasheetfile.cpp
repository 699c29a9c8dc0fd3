// Reads arbitrary bytes as a data sheet file. Any input must be read without
// touching memory outside it; a refused file changes nothing (the whole
// sheet: every slot of every kind, the stale slots beyond the counts too);
// counts stay within the item limits; and a sheet read from a file is written
// and read back to the same file. The tables of a sheet read are exported
// as the data table and measurement windows export them: one line per row
// (or measurement), no line broken by a stored text. Inputs go up to 512 KiB,
// sheets with many items of full size.
//
// Seeds: run with KELVO_FUZZ_SEEDS=<folder> to write a sheet with an item of
// each kind at full size (a waveform item's every row, a 600-row table, a
// record of three frames, a memory waveform of 3,000 points), and stop.
#include "maxlen.h"

#include "datasheet/datasheetfile.h"
#include "measure/measexport.h"
#include "wave/dataexport.h"

#include <QDir>
#include <QFile>
#include <QWidget>

#include <cmath>

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

// The export files of the sheet's data tables and measurements.
void checkExports(const DataSheet &s)
{
    for (int i = 0; i < s.DataDocCount; ++i) {
        const DataDoc &d = s.DataDocs[size_t(i)];
        const QByteArray file = DataTableExportText(d);
        if (file.count("\r\n") != 9 + d.RowCount || file.count('\n') != file.count("\r\n"))
            std::abort();
    }
    for (int i = 0; i < s.MeasDocCount; ++i) {
        const QByteArray file = MeasureExportText(s.MeasDocs[size_t(i)]);
        if (file.count('\n') != file.count("\r\n") || file.count('\r') != file.count("\r\n"))
            std::abort();
    }
}

} // namespace

// A sheet with one item of each kind, each at full size.
static DataSheet fullSheet()
{
    DataSheet s;
    s.Name = QStringLiteral("Full sheet");
    s.WaveDocCount = s.MeasDocCount = s.DataDocCount = s.ReplayCount = s.StoredWaveCount = 1;
    auto wave = [](int i, int period) { return qint32(100 + std::lround(80 * std::sin(6.2832 * i / period))); };
    WaveDoc &w = s.WaveDocs[0];
    w.Name = QStringLiteral("Wave1");
    w.HasData = w.ShowCH1 = w.ShowCH2 = w.ShowLA = w.DrawCH1 = w.DrawCH2 = w.DrawLA = true;
    w.YTFormat = true;
    w.TrigMode = QStringLiteral("EDGE");
    w.PointCount = 600;
    w.CH1Rows = w.CH2Rows = w.MathRows = w.FFTRows = w.LAWords = QList<qint32>(DataSheetWaveArraySize, 0);
    for (int i = 0; i < 1201; ++i) {
        w.CH1Rows[i] = wave(i, 150);
        w.CH2Rows[i] = wave(i, 97);
        w.LAWords[i] = (i / 7) & 0xFF;
    }
    w.CH1VoltDiv = QStringLiteral("1.00V");
    w.TimeDiv = QStringLiteral("1.000ms");
    MeasDoc &m = s.MeasDocs[0];
    m.Name = QStringLiteral("Measure1");
    m.HasData = true;
    m.Items[MeasVpp].Value = QStringLiteral("2.00V");
    DataDoc &d = s.DataDocs[0];
    d.Name = QStringLiteral("Data1");
    d.HasData = true;
    d.Channel = QStringLiteral("CH1");
    d.RowCount = 600;
    d.InfoLine = QStringLiteral("CH1 1.00V  1.000ms 1.00MSa/s  Size=600");
    d.TimeTexts = d.ValueTexts = QStringList(601);
    for (int k = 1; k <= 600; ++k) {
        d.TimeTexts[k] = QStringLiteral("%1us").arg(k * 10);
        d.ValueTexts[k] = QStringLiteral("%1V").arg((wave(k, 150) - 100) / 25.0);
    }
    ReplayInfo &r = s.Replays[0];
    r.Name = QStringLiteral("Record1");
    r.ReplayStarted = true;
    r.Channel = QStringLiteral("CH1");
    r.FirstFrame = r.CurrentFrame = 1;
    r.FrameCount = 3;
    r.Samples = QList<qint16>(3 * ReplayInfo::FrameSize + 1, 0);
    for (int i = 0; i < 3 * ReplayInfo::FrameSize; ++i)
        r.Samples[i] = qint16(wave(i, 200));
    StoredWave &sw = s.StoredWaves[0];
    sw.Name = QStringLiteral("Memory Wave1");
    sw.HasData = sw.ShowCH1 = sw.ShowCH2 = true;
    sw.SampleCount = 3000;
    sw.SampleRate = 1e6f;
    sw.Ch1Samples = sw.Ch2Samples = QList<qint16>(3001, 0);
    for (int i = 0; i < 3000; ++i) {
        sw.Ch1Samples[i] = qint16(wave(i, 300));
        sw.Ch2Samples[i] = qint16(wave(i, 70));
    }
    return s;
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    defaultMaxLen(argc, argv, 512 * 1024);
    const QString seeds = qEnvironmentVariable("KELVO_FUZZ_SEEDS");
    if (!seeds.isEmpty()) {
        QDir().mkpath(seeds);
        QFile f(seeds + QStringLiteral("/full.kvd"));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(DataSheetFileBytes(fullSheet(), DataSheetFileContext{}));
        std::exit(0);
    }
    return 0;
}

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
    checkExports(s);
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
