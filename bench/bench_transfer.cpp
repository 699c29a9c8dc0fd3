// The transfer engine's speed, on the virtual clock so that the pauses of the
// command channel cost nothing: a full waveform request of all four sources
// (CH1, CH2, MATH or FFT, the logic channels) against the in-process
// simulator over the VISA functions, and the data-table builder on 600 rows.
// Targets: under 2 ms per waveform request, under 1 ms per 600-row table.
//
// waveformRequest/replayed:1 serves each line from the simulator's first
// reply to it (the simulator's own waveform synthesis, which is most of the
// live figure, is then paid once): that figure is the program's own cost.

#include "replaybackend.h"

#include "app/appstate.h"
#include "platform/ui/scriptedui.h"
#include "texts/loadlanguage.h"
#include "transfer/blockdecode.h"
#include "transfer/transferrunner.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

struct Bench {
    VirtualClock clock;
    Qm4100Sim sim;
    ScriptedUi ui;
    std::unique_ptr<SimVisaLink> link;

    Bench(bool fft, bool replayed)
    {
        resetApp();
        setAppClock(&clock);
        setUi(&ui);
        ApplyLanguage(1);
        sim.setMathDisplay(true);
        sim.setFftDisplay(fft);
        sim.handle(":CHANNEL2:DISPLAY ON", Qm4100Sim::Framing::VisaUsb);
        link = std::make_unique<SimVisaLink>(sim, clock);
        if (replayed) {
            registerVisaBackend(std::make_shared<ReplayBackend>(&sim));
            app().link.LinkConnected = 0;
            CloseVisaDevice();
            ConnectInstrument();
        }
        WaveDoc &doc = app().Sheet.WaveDocs[0];
        doc.ShowCH1 = doc.ShowCH2 = doc.ShowMath = doc.ShowLA = true;
        app().transfer.CurrentDoc = 0;
        app().transfer.RequestKind = 6;
    }
    ~Bench()
    {
        link.reset();
        setUi(nullptr);
        setAppClock(nullptr);
    }
};

void waveformRequest(benchmark::State &state)
{
    Bench b(state.range(0) != 0, state.range(1) != 0);
    if (!app().link.LinkConnected) {
        state.SkipWithError("the simulator did not connect");
        return;
    }
    for (auto _ : state) {
        TransferRunner runner;
        runner.load();
        runner.dispatch();
        b.sim.clearLog();
        benchmark::DoNotOptimize(app().Sheet.WaveDocs[0].CH1Rows.data());
    }
    if (app().Sheet.WaveDocs[0].CH1Rows.size() != TransferData::WorkPtsSize)
        state.SkipWithError("no CH1 rows");
}
BENCHMARK(waveformRequest)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->ArgNames({"fft", "replayed"})
    ->Unit(benchmark::kMicrosecond);

void dataTable600(benchmark::State &state)
{
    DataTableInput in;
    in.first = 0;
    in.last = 299;
    in.scale = 0.5;
    in.offset = 0.25;
    in.timeDiv = 1e-5;
    in.delay = 2e-6;
    WorkPoints pts(TransferData::WorkPtsSize, 0);
    for (int i = 1; i <= 601; ++i)
        pts[size_t(i)] = 125 + int(80 * std::sin(i * 0.05));
    QStringList times(TransferData::TextRows), values(TransferData::TextRows);
    for (auto _ : state) {
        const int rows = BuildDataTable(in, pts, 601, &times, &values);
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(dataTable600)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
