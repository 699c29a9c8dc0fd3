// Start-up of the program, offscreen: the language setting, the splash, the
// main window's load (settings, VISA resource manager, language, panes) and
// the main window shown and painted.
//
// BM_ProcessStartUp times what a user waits for: a process (startup-probe)
// from its launch until the window with its panes is mapped and painted (the
// moment the probe reports; its tearing down after it is not counted).
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
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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

// One run of the probe: the ms from its launch to the moment it reports
// (its window shown, or with mappedOnly mapped), or a negative value when it
// could not be started, failed or reported nothing. Its tearing down is not
// counted.
double runProbe(const char *argument, bool mappedOnly = false)
{
    const char *withMapped[] = {KELVO_STARTUP_PROBE, "--mapped", argument, nullptr};
    const char *plain[] = {KELVO_STARTUP_PROBE, argument, nullptr};
    const char **argv = mappedOnly ? withMapped : plain;
    int out[2];
    if (pipe(out) != 0)
        return -1.0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    pid_t pid = 0;
    const auto launched = std::chrono::steady_clock::now();
    const int spawned = posix_spawn(&pid, KELVO_STARTUP_PROBE, &actions, nullptr, const_cast<char **>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string said;
    if (spawned == 0) {
        char buffer[64];
        for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) != 0;) {
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                break;
            said.append(buffer, size_t(n));
        }
    }
    close(out[0]);
    if (spawned != 0)
        return -1.0;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1.0;
    char *end = nullptr;
    const long long reported = std::strtoll(said.c_str(), &end, 10);
    if (end == said.c_str())
        return -1.0;
    const auto at = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(reported));
    return std::chrono::duration<double, std::milli>(at - launched).count();
}

void runProbes(benchmark::State &state, const char *argument)
{
    for (auto _ : state) {
        const double ms = runProbe(argument);
        if (ms < 0) {
            state.SkipWithError("startup-probe failed");
            break;
        }
        state.SetIterationTime(ms / 1000.0);
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
    QTemporaryDir dir;
    const QByteArray settings = dir.filePath(QStringLiteral("Kelvoscope.ini")).toLocal8Bit();
    std::vector<double> ratios;
    for (auto _ : state) {
        const double bare = runProbe("--bare", mappedOnly);
        const double program = bare < 0 ? -1.0 : runProbe(settings.constData(), mappedOnly);
        if (program < 0) {
            state.SkipWithError("startup-probe failed");
            break;
        }
        state.SetIterationTime((bare + program) / 1000.0);
        ratios.push_back(program / bare);
    }
    if (ratios.empty())
        return;
    std::sort(ratios.begin(), ratios.end());
    state.counters["ratio"] = ratios[ratios.size() / 2];
}

void BM_ProcessStartUpInterleaved(benchmark::State &state) { interleaved(state, false); }
void BM_ProcessMappedInterleaved(benchmark::State &state) { interleaved(state, true); }

// Whole processes, timed from their launch to what they report: the CPU time
// of this process says nothing.
BENCHMARK(BM_ProcessBareMainWindow)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(15)->UseManualTime()->ReportAggregatesOnly(true);
BENCHMARK(BM_ProcessStartUp)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(15)->UseManualTime()->ReportAggregatesOnly(true);
BENCHMARK(BM_ProcessStartUpInterleaved)->Unit(benchmark::kMillisecond)->Iterations(21)->UseManualTime();
BENCHMARK(BM_ProcessMappedInterleaved)->Unit(benchmark::kMillisecond)->Iterations(21)->UseManualTime();
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
