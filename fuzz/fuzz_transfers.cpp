// The waveform and data table transfers on arbitrary replies, through a VISA
// resource that answers every query with the next reply of the input (the
// setup block and the waveform blocks included), and what uses their results:
// the waveform picture and the data table's export file.
//
// Input: byte 0 picks the transfer (bit 0: the data table, else the
// waveforms) and the link (bit 2: the serial-port control, whose blocks come
// with a 4-byte length first, in the pieces bits 4-6 choose: whole, or 1, 2,
// 3, 7, 64, 601 or 4096 bytes each; else VISA, bit 1 choosing a serial
// resource, whose blocks are read to their exact size, or USB); byte 1 the
// sources (waveforms: bits
// 0-3 show CH1, CH2, MATH, LA; the data table: CH1, CH2 or LA by its value
// modulo 3); then the replies, each a 2-byte little-endian length and that
// many bytes (length 0: no reply; every query after the last has none).
//
// Invariants: no text stored holds a line break, nor "inf" or "nan" unless a
// reply did; every row decoded lies on the screen (0..200; FFT 0..199), a
// logic trace keeps its size; a source whose block did not come keeps the
// rows it had; a data table has at most 600 rows and none without a block,
// and its export holds one line per row; the picture keeps its size, is
// painted whole and is the same each time it is drawn.
//
// Seeds: run with KELVO_FUZZ_SEEDS=<folder> to write the replies the
// simulator gives to each kind of request, one file per request, and stop.

#include "maxlen.h"
#include "scriptedlink.h"

#include "common/wavedoc.h"
#include "transfer/transferrunner.h"
#include "wave/dataexport.h"
#include "wave/wavecanvas.h"
#include "wave/wavegrid.h"
#include "wave/wavetraces.h"

#include <QGuiApplication>
#include <QDir>
#include <QFile>
#include <QImage>

#include <cstdint>
#include <cstdlib>

namespace {

VirtualClock *gClock = nullptr;
ScriptedUi *gUi = nullptr;

const QList<qint32> Earlier{-5, 7, 7}; // what an earlier refresh left in a source's rows

void writeSeeds(const QString &folder);

void check(bool bad)
{
    if (bad)
        std::abort();
}

void checkRows(const QList<qint32> &rows, int top)
{
    for (qint32 v : rows)
        check(v < 0 || v > top);
}

void checkWaveforms(const WaveDoc &before, const WaveDoc &doc, bool infNan)
{
    for (const QString *t : {&doc.CH1Offset, &doc.CH2Offset, &doc.CH1VoltDiv, &doc.CH2VoltDiv, &doc.TimeDiv,
                             &doc.Delay, &doc.AltTimeDivCH1, &doc.AltTimeDivCH2, &doc.AltDelayCH1, &doc.AltDelayCH2,
                             &doc.MathDisplay, &doc.FFTDisplay})
        check(fuzzlink::badText(*t, infNan));
    const bool yt = doc.YTFormat || doc.RollMode;
    struct Source {
        bool shown, drawn;
        const QList<qint32> &rows, &old;
        int top;
    };
    const Source sources[] = {{before.ShowCH1, doc.DrawCH1, doc.CH1Rows, before.CH1Rows, 200},
                              {before.ShowCH2, doc.DrawCH2, doc.CH2Rows, before.CH2Rows, 200},
                              {before.ShowMath, doc.DrawMath, doc.MathRows, before.MathRows, 200},
                              {before.ShowMath, doc.DrawMath, doc.FFTRows, before.FFTRows, 199}};
    for (const Source &s : sources) {
        if (s.rows != s.old)
            checkRows(s.rows, s.top);
        // Without its block a source keeps the rows it had.
        if (yt && s.shown && !s.drawn)
            check(s.rows != s.old);
    }
    if (doc.LAWords != before.LAWords)
        check(doc.LAWords.size() != TransferData::WorkPtsSize);
    if (yt && before.ShowLA && !doc.DrawLA)
        check(doc.LAWords != before.LAWords);
    check(doc.DrawCH1 && !doc.ShowCH1);
    check(doc.DrawCH2 && !doc.ShowCH2);
    check(doc.DrawLA && !doc.ShowLA);

    // The picture the window draws of it: whole, and the same every time.
    const auto draw = [&doc](QRgb before) {
        QImage img(350, 250, QImage::Format_RGB32);
        img.fill(before);
        {
            WaveCanvas c(&img);
            DrawScrGrid(c, {1.0, doc.ColorMode, doc.GridShown, doc.SplitScreen});
            DrawOSC(c, doc, WaveDrawEnv{1.0, 1});
        }
        return img;
    };
    const QImage img = draw(qRgb(0x12, 0x34, 0x56));
    check(img.size() != QSize(350, 250));
    check(draw(qRgb(0xED, 0xCB, 0xA9)) != img);
}

void checkDataTable(int kind, bool infNan)
{
    const TransferData &x = app().xfer;
    check(x.PointCount < 0 || x.PointCount > 600);
    check(!x.BlocksReceived && x.PointCount != 0);
    check(fuzzlink::badText(x.MeasInfo, true));
    check(x.PointCount > 0 && (x.TimeText.size() <= x.PointCount || x.ValueText.size() <= x.PointCount));
    for (int k = 1; k <= x.PointCount; ++k) {
        check(x.TimeText[k].isEmpty() || fuzzlink::badText(x.TimeText[k], infNan));
        if (kind != 5)
            check(fuzzlink::badText(x.ValueText[k], infNan));
    }
    if (!x.BlocksReceived)
        return;
    // The item as the data window keeps it, and its export file.
    DataDoc doc;
    doc.HasData = true;
    doc.RowCount = x.PointCount;
    doc.InfoLine = x.MeasInfo;
    doc.TimeTexts = x.TimeText;
    doc.ValueTexts = kind == 5 ? QStringList(x.TimeText.size()) : x.ValueText;
    const QByteArray file = DataTableExportText(doc);
    check(file.count("\r\n") != 9 + doc.RowCount);
    check(file.count('\n') != file.count("\r\n"));
}

} // namespace

// The font system keeps its caches for the life of the process.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    defaultMaxLen(argc, argv, 8 * 1024); // a transfer of every source with its setup block, length prefixes and texts
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication qapp(*argc, *argv); // the picture's texts need the font system
    gClock = new VirtualClock;
    gUi = new ScriptedUi;
    if (!fuzzlink::seedFolder().isEmpty()) {
        writeSeeds(fuzzlink::seedFolder());
        std::exit(0);
    }
    return 0;
}

namespace {

// One request on a connected link whose script is set, then its checks.
void runRequest(uint8_t b0, uint8_t b1, fuzzlink::Script &script, const QByteArray &replies, bool infNan)
{
    const bool table = b0 & 1;
    const bool control = b0 & 4;
    fuzzlink::ScriptedPort port(&script);
    if (control) {
        fuzzlink::connectSerial(&script, &port, gClock, gUi);
    } else {
        if (b0 & 2)
            script.resource = QStringLiteral("ASRL1::INSTR");
        fuzzlink::connect(&script, gClock, gUi);
    }
    if (!app().link.LinkConnected)
        std::abort();
    script.recorded.clear();
    fuzzlink::takeSizedReplies(replies, &script);
    if (control) {
        static constexpr int chunks[8] = {0, 1, 2, 3, 7, 64, 601, 4096};
        script.deliveries.assign(script.replies.size(), fuzzlink::Delivery{chunks[(b0 >> 4) & 7], 0, 0});
    }

    const int slot = 3;
    WaveDoc &doc = app().Sheet.WaveDocs[size_t(slot)];
    doc.HasData = true;
    doc.ShowCH1 = b1 & 1;
    doc.ShowCH2 = b1 & 2;
    doc.ShowMath = b1 & 4;
    doc.ShowLA = b1 & 8;
    doc.CH1Rows = doc.CH2Rows = doc.MathRows = doc.FFTRows = doc.LAWords = Earlier;
    const WaveDoc before = doc;
    const int kind = table ? 3 + b1 % 3 : 6;

    app().transfer.RequestKind = kind;
    app().transfer.CurrentDoc = slot;
    {
        TransferRunner runner;
        runner.load();
        runner.dispatch();
    }
    if (table)
        checkDataTable(kind, infNan);
    else
        checkWaveforms(before, doc, infNan);
    fuzzlink::disconnect();
}

void writeSeeds(const QString &folder)
{
    struct Seed {
        const char *name;
        uint8_t b0, b1;
        QList<QByteArray> setup; // lines the simulator takes first
    };
    const Seed seeds[] = {
        {"wave_ch1_ch2", 0, 3, {}},
        {"wave_all_math", 0, 15, {":MATH:DISPLAY ON"}},
        {"wave_fft", 0, 5, {":MATH:DISPLAY ON", ":FFT:DISPLAY ON"}},
        {"wave_xy", 0, 3, {":TIMEBASE:FORMAT X-Y"}},
        {"wave_alternation_serial", 2, 3, {":TRIGGER:MODE ALTERNATION"}},
        {"table_ch1", 1, 0, {}},
        {"table_ch2_alternation", 1, 1, {":TRIGGER:MODE ALTERNATION"}},
        {"table_la", 1, 2, {}},
        {"table_ch1_serial", 3, 0, {}},
        {"wave_ch1_ch2_control", 4, 3, {}},
        {"wave_all_control_pieces", 4 | (5 << 4), 15, {":MATH:DISPLAY ON"}},
        {"wave_alternation_control_bytes", 4 | (1 << 4), 3, {":TRIGGER:MODE ALTERNATION"}},
        {"table_ch2_control", 5, 1, {}},
        {"table_la_control_pieces", 5 | (6 << 4), 2, {}},
    };
    QDir().mkpath(folder);
    for (const Seed &seed : seeds) {
        Qm4100Sim sim;
        for (const QByteArray &line : seed.setup)
            sim.handleLine(line, Qm4100Sim::Framing::VisaUsb);
        fuzzlink::Script script;
        script.sim = &sim;
        runRequest(seed.b0, seed.b1, script, {}, false);
        QFile f(folder + QLatin1Char('/') + QLatin1String(seed.name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(QByteArray(1, char(seed.b0)) + char(seed.b1) + fuzzlink::sizedReplies(script.recorded));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const QByteArray body(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2));
    fuzzlink::Script script;
    runRequest(data[0], data[1], script, body, fuzzlink::mentionsInfNan(body));
    return 0;
}
