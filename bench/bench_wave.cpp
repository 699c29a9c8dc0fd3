// The waveform window's drawing speed: the picture (graticule with grid, CH1,
// CH2 and MATH) at zoom 1 and at zoom 2, and a refresh's own work, the
// decoding of a waveform request of CH1, CH2 and MATH and the picture drawn
// from it, on the virtual clock with every line served from the simulator's
// first reply to it, so that neither the link's pauses nor the simulator's
// waveform synthesis count (as in bench_transfer).
// Targets: under 2 ms at zoom 1, under 8 ms at zoom 2, under 3 ms a refresh.
// The whole picture (also the sixteen logic rows, markers, scale texts, both
// cursor pairs and their read-outs): under 3 ms at zoom 1, under 10 ms at zoom 2.

#include "replaybackend.h"

#include "app/appstate.h"
#include "platform/ui/scriptedui.h"
#include "texts/loadlanguage.h"
#include "texts/stringres.h"
#include "transfer/transferrunner.h"
#include "wave/wavecanvas.h"
#include "wave/wavegrid.h"
#include "wave/waveoverlay.h"
#include "wave/wavetraces.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

// A record as a refresh of CH1 (sine), CH2 (square) and MATH leaves it.
WaveDoc sampleRecord()
{
    WaveDoc d;
    d.HasData = d.YTFormat = d.ColorMode = d.GridShown = true;
    d.DrawCH1 = d.DrawCH2 = d.DrawMath = true;
    d.PointCount = 600;
    d.TrigMode = QStringLiteral("EDGE");
    d.FFTDisplay = QStringLiteral("OFF");
    d.Setup.FirstPoint = 0;
    d.Setup.LastPoint = 299;
    d.Setup.CH1Valid = d.Setup.CH2Valid = d.Setup.MathValid = 1;
    d.CH1Rows = d.CH2Rows = d.MathRows = QList<qint32>(WaveDoc::RowsSize, 0);
    for (int i = 1; i <= 600; ++i) {
        const double t = i / 600.0 * 2.4 * 2 * M_PI;
        d.CH1Rows[i] = 100 - int(std::lround(25 * std::sin(t)));
        d.CH2Rows[i] = std::sin(t) >= 0 ? 88 : 112;
        d.MathRows[i] = 100 - int(std::lround(25 * std::sin(t) + (std::sin(t) >= 0 ? 12 : -12)));
    }
    return d;
}

// The same with everything else the picture can show: the scale texts and
// markers, sixteen logic channels (a counter) and both cursor pairs.
WaveDoc fullRecord()
{
    WaveDoc d = sampleRecord();
    d.CH1VoltDiv = d.CH2VoltDiv = QStringLiteral("1.00V");
    d.CH1Offset = d.CH2Offset = QStringLiteral("0.00uV");
    d.TimeDiv = QStringLiteral("200.0us");
    d.Delay = QStringLiteral("0.000s");
    d.Setup.MathScale = 1.0f;
    d.DrawLA = true;
    d.Setup.LAValid = 1;
    d.Setup.LAShownMask = qint16(0xFFFF);
    d.Setup.LASelected = 3;
    d.Setup.LAHeightD0D7 = d.Setup.LAHeightD8D15 = 9;
    for (int k = 0; k < 16; ++k)
        d.Setup.LARow[size_t(k)] = qint16(222 - 12 * k);
    d.LAWords = QList<qint32>(WaveDoc::RowsSize, 0);
    for (int w = 0; w < 600; ++w) {
        d.LAWords[2 * w + 1] = w & 0xFF;
        d.LAWords[2 * w + 2] = (w >> 8) & 0xFF;
    }
    return d;
}

void drawPicture(QImage &img, const WaveDoc &d, double zoom, WaveCursors *cursors = nullptr)
{
    WaveCanvas c(&img);
    DrawScrGrid(c, {zoom, d.ColorMode, d.GridShown, d.SplitScreen});
    DrawOSC(c, d, WaveDrawEnv{zoom, 1});
    if (cursors)
        DrawCursors(c.painter(), *cursors, d, zoom);
}

void picture(benchmark::State &state)
{
    const double zoom = double(state.range(0));
    const WaveDoc d = sampleRecord();
    QImage img(int(350 * zoom), int(250 * zoom), QImage::Format_RGB32);
    for (auto _ : state) {
        drawPicture(img, d, zoom);
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(picture)->Arg(1)->Arg(2)->ArgName("zoom")->Unit(benchmark::kMicrosecond);

void wholePicture(benchmark::State &state)
{
    const double zoom = double(state.range(0));
    const WaveDoc d = fullRecord();
    QImage img(int(350 * zoom), int(250 * zoom), QImage::Format_RGB32);
    WaveCursors cursors;
    cursors.load();
    cursors.CursorXOn = cursors.CursorYOn = true;
    for (auto _ : state) {
        drawPicture(img, d, zoom, &cursors);
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(wholePicture)->Arg(1)->Arg(2)->ArgName("zoom")->Unit(benchmark::kMicrosecond);

struct RefreshBench {
    VirtualClock clock;
    Qm4100Sim sim;
    ScriptedUi ui;
    std::unique_ptr<SimVisaLink> link;

    RefreshBench()
    {
        resetApp();
        setAppClock(&clock);
        setUi(&ui);
        ApplyLanguage(1);
        sim.setMathDisplay(true);
        sim.handle(":CHANNEL2:DISPLAY ON", Qm4100Sim::Framing::VisaUsb);
        sim.handle(":TIMEBASE:SCALE 2e-4", Qm4100Sim::Framing::VisaUsb);
        link = std::make_unique<SimVisaLink>(sim, clock);
        registerVisaBackend(std::make_shared<ReplayBackend>(&sim));
        app().link.LinkConnected = 0;
        CloseVisaDevice();
        ConnectInstrument();
        WaveDoc &doc = app().Sheet.WaveDocs[0];
        doc.setNewItemDefaults();
        doc.ShowCH1 = doc.ShowCH2 = doc.ShowMath = true;
        app().transfer.CurrentDoc = 0;
        app().transfer.RequestKind = 6;
    }
    ~RefreshBench()
    {
        link.reset();
        setUi(nullptr);
        setAppClock(nullptr);
    }
};

void refresh(benchmark::State &state)
{
    RefreshBench b;
    if (!app().link.LinkConnected) {
        state.SkipWithError("the simulator did not connect");
        return;
    }
    QImage img(350, 250, QImage::Format_RGB32);
    const WaveDoc &doc = app().Sheet.WaveDocs[0];
    for (auto _ : state) {
        TransferRunner runner;
        runner.load();
        runner.dispatch();
        b.sim.clearLog();
        drawPicture(img, doc, 1.0);
        benchmark::DoNotOptimize(img.constBits());
    }
    if (!doc.DrawMath || doc.MathRows.size() != WaveDoc::RowsSize)
        state.SkipWithError("no MATH rows");
}
BENCHMARK(refresh)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // the picture's texts need the font system
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
