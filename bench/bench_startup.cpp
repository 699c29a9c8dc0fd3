// Start-up of the program, offscreen: the language setting, the splash, the
// main window's load (settings, VISA resource manager, language, panes) and
// the main window shown and painted.
//
// BM_ProcessStartUp times what a user waits for: a whole process (startup-probe)
// from its launch until the window with its panes is mapped and painted.
// Target: within 1.5 times BM_ProcessBareMainWindow, the same for a bare Qt
// main window with a dock and an item area; the interleaved cases below give
// the ratios. Offscreen unless a platform is named: QT_QPA_PLATFORM=xcb with
// a DISPLAY (and a window manager on it) times real windows.
// BM_StartUp does the start-up again and again in one process (the toolkit
// already warm): under 300 ms; BM_BareMainWindow is its bare twin.
#include "app/appstate.h"
#include "platform/settingsstore.h"
#include "shell/frmmain.h"
#include "shell/mainmodule.h"

#include <QApplication>
#include <QDockWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

void BM_StartUp(benchmark::State &state)
{
    QTemporaryDir dir;
    setSettingsFile(dir.filePath(QStringLiteral("Kelvoscope.ini")));
    for (auto _ : state) {
        state.PauseTiming();
        resetApp();
        state.ResumeTiming();

        std::unique_ptr<frmMain> main(StartProgram());
        while (!main->isVisible())
            QCoreApplication::processEvents();
        QCoreApplication::processEvents(); // the first paint of the shown window

        state.PauseTiming();
        main->close();
        main.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    setSettingsFile(QString());
}

void BM_BareMainWindow(benchmark::State &state)
{
    for (auto _ : state) {
        auto main = std::make_unique<QMainWindow>();
        main->setCentralWidget(new QMdiArea);
        auto *dock = new QDockWidget(QStringLiteral("Dock"), main.get());
        dock->setWidget(new QTreeWidget);
        main->addDockWidget(Qt::LeftDockWidgetArea, dock);
        main->resize(1024, 720);
        main->show();
        while (!main->isVisible())
            QCoreApplication::processEvents();
        QCoreApplication::processEvents(); // the first paint of the shown window

        state.PauseTiming();
        main.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

// One run of the probe; false when it could not be started or failed. With
// mappedOnly the probe ends once the window system has mapped the window.
bool runProbe(const char *argument, bool mappedOnly = false)
{
    const char *withMapped[] = {KELVO_STARTUP_PROBE, "--mapped", argument, nullptr};
    const char *plain[] = {KELVO_STARTUP_PROBE, argument, nullptr};
    const char **argv = mappedOnly ? withMapped : plain;
    pid_t pid = 0;
    if (posix_spawn(&pid, KELVO_STARTUP_PROBE, nullptr, nullptr, const_cast<char **>(argv), environ) != 0)
        return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void runProbes(benchmark::State &state, const char *argument)
{
    for (auto _ : state) {
        if (!runProbe(argument)) {
            state.SkipWithError("startup-probe failed");
            break;
        }
    }
}

void BM_ProcessBareMainWindow(benchmark::State &state)
{
    runProbes(state, "--bare");
}

void BM_ProcessStartUp(benchmark::State &state)
{
    QTemporaryDir dir;
    const QByteArray settings = dir.filePath(QStringLiteral("Kelvoscope.ini")).toLocal8Bit();
    runProbes(state, settings.constData());
}

// The program's start-up and the bare window's, run in turn (bare, program,
// bare, ...) so that a change in the machine's speed touches both alike. The
// counter "ratio" is the median of the pairs' ratios (program / bare): the
// figure to hold against the target. BM_ProcessStartUpInterleaved ends each
// at its first paint, BM_ProcessMappedInterleaved as soon as the window
// system has mapped the main window (target: 1.2 under X).
void interleaved(benchmark::State &state, bool mappedOnly)
{
    using Clock = std::chrono::steady_clock;
    QTemporaryDir dir;
    const QByteArray settings = dir.filePath(QStringLiteral("Kelvoscope.ini")).toLocal8Bit();
    std::vector<double> ratios;
    for (auto _ : state) {
        const auto start = Clock::now();
        bool ok = runProbe("--bare", mappedOnly);
        const auto bare = Clock::now();
        ok = ok && runProbe(settings.constData(), mappedOnly);
        const auto program = Clock::now();
        if (!ok) {
            state.SkipWithError("startup-probe failed");
            break;
        }
        ratios.push_back(std::chrono::duration<double>(program - bare).count()
                         / std::chrono::duration<double>(bare - start).count());
    }
    if (ratios.empty())
        return;
    std::sort(ratios.begin(), ratios.end());
    state.counters["ratio"] = ratios[ratios.size() / 2];
}

void BM_ProcessStartUpInterleaved(benchmark::State &state) { interleaved(state, false); }
void BM_ProcessMappedInterleaved(benchmark::State &state) { interleaved(state, true); }

// Whole processes: the CPU time of this process says nothing, wall time does.
BENCHMARK(BM_ProcessBareMainWindow)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(15)->UseRealTime()->ReportAggregatesOnly(true);
BENCHMARK(BM_ProcessStartUp)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(15)->UseRealTime()->ReportAggregatesOnly(true);
BENCHMARK(BM_ProcessStartUpInterleaved)->Unit(benchmark::kMillisecond)->Iterations(21)->UseRealTime();
BENCHMARK(BM_ProcessMappedInterleaved)->Unit(benchmark::kMillisecond)->Iterations(21)->UseRealTime();
BENCHMARK(BM_BareMainWindow)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(10)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    // Offscreen unless a platform is named (QT_QPA_PLATFORM=xcb with a display
    // times the start-ups under a window system; the probes inherit it).
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    prepareApplication();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
