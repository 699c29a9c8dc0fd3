// The data table window with the largest table a data table item holds,
// 17,000 rows: filling the shown window (the table routine and the paint that
// follows) and writing the export file. Targets: each under 50 ms.
#include "app/appstate.h"
#include "shell/mainmodule.h"
#include "wave/dataexport.h"
#include "wave/datatablemodel.h"
#include "wave/frmdata.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int kRows = 17000;

// A full item as a transfer leaves it: time and voltage texts of the
// transfer's number form.
void fillLargestItem(DataDoc &doc)
{
    doc.Name = QStringLiteral("Data0");
    doc.HasData = true;
    doc.InfoLine = QStringLiteral("CH1 1.00V  500.0us 666.7kSa  Size=17000  [Date:2026/12/9 23:00:00]");
    doc.RowCount = kRows;
    doc.TimeTexts = QStringList(kRows + 1);
    doc.ValueTexts = QStringList(kRows + 1);
    for (int k = 1; k <= kRows; ++k) {
        doc.TimeTexts[k] = QStringLiteral("%1E-04").arg(double(k % 999) / 100.0 + 1.0, 0, 'f', 2);
        doc.ValueTexts[k] = QStringLiteral("-%1E-01").arg(double(k % 777) / 100.0 + 1.0, 0, 'f', 2);
    }
}

void BM_FillWindow(benchmark::State &state)
{
    resetApp();
    app().Sheet.DataDocCount = 1;
    fillLargestItem(app().Sheet.DataDocs[0]);
    frmData *w = ShowDataWindow(0);
    w->resize(640, 480);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        w->ShowEmptyTable();
        w->repaint();
        state.ResumeTiming();

        w->RefreshTable();
        w->repaint(); // the filled table drawn
        benchmark::DoNotOptimize(w->model()->rowCount());
    }
    if (w->model()->rowCount() != kRows)
        state.SkipWithError("the table does not hold every row");
    delete w;
    resetApp();
}

void BM_Export(benchmark::State &state)
{
    resetApp();
    fillLargestItem(app().Sheet.DataDocs[0]);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("table.xls"));
    for (auto _ : state) {
        if (!ExportDataTable(path, 0))
            state.SkipWithError("the export failed");
    }
    state.counters["bytes"] = double(QFile(path).size());
    resetApp();
}

BENCHMARK(BM_FillWindow)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvoscope"));
    applyProgramFont();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
