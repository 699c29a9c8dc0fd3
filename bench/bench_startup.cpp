// Start-up of the program in-process and offscreen: the language setting, the
// splash, the main window's load (settings, VISA resource manager, language,
// panes) and the main window shown. Target: under 300 ms (median of 10 runs),
// and within 1.5 times BM_BareMainWindow: a bare Qt main window with a dock
// and an item area, shown and painted once.
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

#include <cstdlib>
#include <memory>

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

BENCHMARK(BM_BareMainWindow)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(10)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    prepareApplication();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
