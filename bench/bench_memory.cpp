// Memory of the windows that redraw on a clock, run for a long while in one
// process, offscreen, inside the main window's item area:
//
//   replayFrames        a record replaying at the 1 ms interval on the real
//                       clock and the real event loop, 20,000 frames
//   continuousRefresh   the waveform, measurement and data windows refreshing
//                       continuously against the simulator (each line served
//                       from the simulator's first reply to it, so that the
//                       simulator's own log does not count), 1,000 refreshes,
//                       on the virtual clock
//   panelMirror         the virtual panel's screen mirror against the same
//                       simulator, 1,000 frames
//
// Each case first runs a warm-up (the toolkit's caches, the first pictures),
// then reads the resident memory (VmRSS) and the heap in use (malloc's count),
// runs its frames and reads both again. Counters: rss_before_MB, rss_after_MB,
// rss_growth_KB, heap_growth_KB, heap_per_frame_B, frames.
// Target: memory flat, a growth under 1 MB (1024 KB) over the run.

#include "replaybackend.h"

#include "../tests/replay/recordmaker.h"

#include "app/appstate.h"
#include "datasheet/sheetcommands.h"
#include "measure/frmmeasure.h"
#include "panel/frmv_panel.h"
#include "platform/settingsstore.h"
#include "platform/ui/scriptedui.h"
#include "replay/frmrecordplay.h"
#include "shell/frmmain.h"
#include "shell/mainmodule.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"
#include "wave/frmdata.h"
#include "wave/frmwave.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <functional>
#include <memory>

namespace {

double rssMB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

double heapBytes()
{
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks) + double(m.hblkhd);
}

struct Reading {
    double rss = 0;
    double heap = 0;
    static Reading now()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return {rssMB(), heapBytes()};
    }
};

void report(benchmark::State &state, const Reading &before, const Reading &after, int frames)
{
    state.counters["rss_before_MB"] = before.rss;
    state.counters["rss_after_MB"] = after.rss;
    state.counters["rss_growth_KB"] = (after.rss - before.rss) * 1024.0;
    state.counters["heap_growth_KB"] = (after.heap - before.heap) / 1024.0;
    state.counters["heap_per_frame_B"] = frames > 0 ? (after.heap - before.heap) / frames : 0;
    state.counters["frames"] = frames;
}

// The main window, shown, with its settings in a fresh folder.
class MainWindowRig {
public:
    MainWindowRig()
    {
        resetApp();
        setUi(&ui);
        setSettingsFile(dir_.filePath(QStringLiteral("Kelvoscope.ini")));
        main_.reset(StartProgram());
        while (!main_->isVisible())
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        ApplyLanguage(1);
        LoadMessageTable(1);
    }
    ~MainWindowRig()
    {
        main_->close();
        main_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setUi(nullptr);
        setSettingsFile(QString());
    }
    QString path(const QString &name) const { return dir_.filePath(name); }
    ScriptedUi ui;

private:
    QTemporaryDir dir_;
    std::unique_ptr<frmMain> main_;
};

// Runs the event loop until done() holds (tested every few milliseconds).
void runUntil(const std::function<bool()> &done)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    poll.start(5);
    loop.exec();
}

void replayFrames(benchmark::State &state)
{
    constexpr int WarmUp = 2000;
    const int frames = int(state.range(0));
    setAppClock(nullptr);
    MainWindowRig rig;
    // A new data sheet and a record item in it, as the toolbar adds them.
    NewDataSheet();
    AddNewRecord();
    frmRecordPlay *w = ReplayWindow(0);
    if (!w) {
        state.SkipWithError("no record window");
        return;
    }
    ReplayInfo &r = app().Sheet.Replays[0];
    r.LoopReplay = true;
    r.Interval = 0.001;
    const QString file = rig.path(QStringLiteral("loop.rcd"));
    writeFile(file, recordFile(basicHeader(100), rawFrames(100, [](int f, int i) { return 25 + (f * 7 + i) % 200; })));
    runUntil([w] { return !w->initPending(); });
    int drawn = 0;
    const auto redraw = w->engine().redrawFrame;
    w->engine().redrawFrame = [&] {
        redraw();
        ++drawn;
    };
    rig.ui.answerFile(file);
    w->OpenRecordFile();
    if (r.Status != ReplayInfo::Replaying) {
        state.SkipWithError("the record did not replay");
        return;
    }
    runUntil([&] { return drawn >= WarmUp; });
    Reading before, after;
    int counted = 0;
    for (auto _ : state) {
        before = Reading::now();
        const int start = drawn;
        runUntil([&] { return drawn - start >= frames; });
        counted = drawn - start;
        after = Reading::now();
    }
    w->RecordReplayPause();
    report(state, before, after, counted);
    CloseReplayWindow(0);
}
BENCHMARK(replayFrames)->Arg(20000)->ArgName("frames")->Iterations(1)->Unit(benchmark::kMillisecond);

// The in-process simulator behind a VISA resource that replays its first
// reply to each line, on the virtual clock, with a pump that moves the clock
// on and counts the finished requests.
class SimRig {
public:
    SimRig()
    {
        setAppClock(&clock);
        rig_ = std::make_unique<MainWindowRig>();
        sim.setMathDisplay(true);
        sim.handle(":CHANNEL2:DISPLAY ON", Qm4100Sim::Framing::VisaUsb);
        link_ = std::make_unique<SimVisaLink>(sim, clock);
        registerVisaBackend(std::make_shared<ReplayBackend>(&sim));
        app().link.LinkConnected = 0;
        CloseVisaDevice();
        ConnectInstrument();
        setPump([this] {
            const bool busy = app().transfer.TransferBusy;
            if (busyBefore_ && !busy)
                ++requests;
            busyBefore_ = busy;
            if (onPump)
                onPump();
            clock.advance(10);
            QCoreApplication::processEvents();
        });
    }
    ~SimRig()
    {
        setPump({});
        link_.reset();
        rig_.reset();
        setAppClock(nullptr);
    }
    bool connected() const { return app().link.LinkConnected != 0; }

    VirtualClock clock;
    Qm4100Sim sim;
    int requests = 0;
    std::function<void()> onPump;

private:
    std::unique_ptr<MainWindowRig> rig_;
    std::unique_ptr<SimVisaLink> link_;
    bool busyBefore_ = false;
};

// Runs one continuous refresh (start() returns when it ends) for warmUp +
// frames requests, reading the memory after the warm-up and at the end.
void refreshRun(benchmark::State &state, SimRig &rig, bool &running, const std::function<void()> &start)
{
    constexpr int WarmUp = 100;
    const int frames = int(state.range(0));
    Reading before, after;
    int counted = 0;
    for (auto _ : state) {
        rig.requests = 0;
        rig.onPump = [&] {
            if (rig.requests == WarmUp && before.rss == 0)
                before = Reading::now();
            if (rig.requests >= WarmUp + frames && running) {
                counted = rig.requests - WarmUp;
                after = Reading::now();
                running = false;
            }
        };
        start();
    }
    rig.onPump = nullptr;
    if (counted < frames)
        state.SkipWithError("the refresh ended early");
    report(state, before, after, counted);
}

void continuousRefresh(benchmark::State &state)
{
    SimRig rig;
    if (!rig.connected()) {
        state.SkipWithError("the simulator did not connect");
        return;
    }
    app().shell.RefreshType = QStringLiteral("Auto");
    app().shell.RefreshInterval = 1;
    DataSheet &s = app().Sheet;
    AutoRefreshFlags &f = app().measure.AutoRefresh;
    switch (state.range(1)) {
    case 0: {
        s.WaveDocCount = 1;
        s.WaveDocs[0].Name = QStringLiteral("Wave0");
        s.WaveDocs[0].setNewItemDefaults();
        s.WaveDocs[0].ShowCH1 = s.WaveDocs[0].ShowCH2 = s.WaveDocs[0].ShowMath = true;
        frmWave *w = ShowWaveWindow(0, true);
        rig.clock.advance(1);
        refreshRun(state, rig, f.WaveAutoRefreshOn, [w] { w->cmdRefresh_Click(); });
        CloseWaveWindow(0);
        break;
    }
    case 1: {
        s.MeasDocCount = 1;
        s.MeasDocs[0].Name = QStringLiteral("Measure0");
        s.MeasDocs[0].setNewItemDefaults();
        frmMeasure *w = ShowMeasureWindow(0);
        rig.clock.advance(50);
        refreshRun(state, rig, f.MeasAutoRefreshOn, [w] { w->cmdRefresh_Click(); });
        CloseMeasureWindow(0);
        break;
    }
    default: {
        s.DataDocCount = 1;
        s.DataDocs[0].Name = QStringLiteral("Data0");
        s.DataDocs[0].setNewItemDefaults();
        frmData *w = ShowDataWindow(0);
        rig.clock.advance(50);
        refreshRun(state, rig, f.DataAutoRefreshOn, [w] { w->cmdRefresh_Click(); });
        CloseDataWindow(0);
        break;
    }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
BENCHMARK(continuousRefresh)
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Args({1000, 2})
    ->ArgNames({"frames", "window"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void panelMirror(benchmark::State &state)
{
    constexpr int WarmUp = 100;
    const int frames = int(state.range(0));
    SimRig rig;
    if (!rig.connected()) {
        state.SkipWithError("the simulator did not connect");
        return;
    }
    frmV_Panel panel;
    int shown = 0;
    const auto show = panel.mirror().onPicture;
    panel.mirror().onPicture = [&] {
        show();
        ++shown;
    };
    panel.show();
    auto runFrames = [&](int n) {
        const int start = shown;
        for (int turns = 0; shown - start < n && turns < 100 * n; ++turns) {
            rig.clock.advance(1);
            QCoreApplication::processEvents();
        }
    };
    runFrames(WarmUp);
    Reading before, after;
    int counted = 0;
    for (auto _ : state) {
        before = Reading::now();
        const int start = shown;
        runFrames(frames);
        counted = shown - start;
        after = Reading::now();
    }
    panel.mirror().finish();
    if (counted < frames)
        state.SkipWithError("the mirror stopped early");
    report(state, before, after, counted);
}
BENCHMARK(panelMirror)->Arg(1000)->ArgName("frames")->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepareApplication();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
