// The stored waveform viewer's speed on a capture of 1,000,000 points on CH1
// and CH2 with the digital block (3,000,276 bytes, from a file in the page
// cache), all of it on screen:
//   openScreenPicture: reading the file, the screen data of every shown
//     channel and the picture at 200 % (graticule, traces, labels, marks).
//     Target: under 15 ms.
//   openInWindow: the same file opened in the viewer window itself, from the
//     file dialog's answer to the picture drawn and painted on the window (an
//     offscreen window at 200 %). Target: under 20 ms.
//   openFromDialog: openInWindow through the real file dialog (offscreen),
//     from Return in the dialog with the file chosen to the picture painted on
//     the window. Target: within 1.5 times openInWindow.
//   horizontalStep: one column's move of the horizontal position, its new
//     screen data and picture. Target: under 10 ms.
//   csvExport: the 1,000,000 rows of time, CH1 and CH2 built and saved whole,
//     the progress dialog moved at each 10 % step and the events let through as
//     the window does. Target: under 1 s.

#include "../tests/storedwave/wavemaker.h"

#include "app/appstate.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/safesave.h"
#include "platform/ui/scriptedui.h"
#include "storedwave/csvexport.h"
#include "storedwave/frmopenwaveform.h"
#include "storedwave/screendata.h"
#include "storedwave/storedgrid.h"
#include "storedwave/storedpicture.h"
#include "storedwave/wavefile.h"
#include "transfer/frmprgresssave.h"

#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QKeyEvent>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

namespace {

constexpr double Zoom = 2.0;

const QString &capturePath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        WaveSpec s;
        s.points = 1000000;
        s.ch2Present = 1;
        s.laPresent = 1;
        s.laShownMask = qint16(0xffff);
        for (int i = 0; i < 16; ++i)
            s.laPosition[size_t(i)] = quint8(i);
        s.timeDivPs = 100000000000LL;  // 100 ms/div: the whole record is on screen,
        s.acqTimeDivPs = 100000000000LL; // every sample is reduced on each refresh
        s.sampleRate = 1e6f;           // the record spans 1 s
        s.ch1 = levels(s.points, [](qint64 i) { return int(125 + 80 * std::sin(double(i) / 500.0)); });
        s.ch2 = levels(s.points, [](qint64 i) { return (i / 700) % 2 ? 60 : 190; });
        s.la = levels(s.points, [](qint64 i) { return int(i / 37); });
        const QString p = dir.filePath(QStringLiteral("capture.wfm"));
        writeWaveFile(p, waveFile(s));
        return p;
    }();
    return path;
}

void drawPicture(QImage &pic, const StoredWave &w)
{
    DrawScrGrid(pic, w, Zoom, 0);
    DrawOSC(pic, w, Zoom);
}

void openScreenPicture(benchmark::State &state)
{
    const QString path = capturePath();
    QImage pic(StoredPicture::pictureSize(Zoom), QImage::Format_RGB32);
    for (auto _ : state) {
        StoredWave w;
        w.ColorMode = w.GridShown = true;
        if (loadWaveFile(path, w) != WaveFileError::None)
            state.SkipWithError("the capture was refused");
        RefreshScreenData(w, ScreenSelector::All);
        drawPicture(pic, w);
        benchmark::DoNotOptimize(pic.constBits());
    }
}
BENCHMARK(openScreenPicture)->Unit(benchmark::kMillisecond);

void openInWindow(benchmark::State &state)
{
    const QString path = capturePath();
    resetApp();
    VirtualClock clock;
    ScriptedUi ui;
    setAppClock(&clock);
    setUi(&ui);
    DataSheet &sheet = app().Sheet;
    sheet.StoredWaveCount = 1;
    sheet.StoredWaves[0].setNewItemDefaults();
    sheet.StoredWaves[0].Name = QStringLiteral("Memory Wave0");
    frmOpenWaveform *w = ShowStoredWaveWindow(0);
    clock.advance(1); // the start-up tick
    w->repaint();
    for (auto _ : state) {
        ui.answerFile(path);
        w->FlatBttn1->click();
        w->repaint();
    }
    if (!sheet.StoredWaves[0].HasData || !ui.messages().isEmpty())
        state.SkipWithError("the capture was not opened");
    CloseStoredWaveWindow(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setUi(nullptr);
    setAppClock(nullptr);
}
BENCHMARK(openInWindow)->Unit(benchmark::kMillisecond);

void openFromDialog(benchmark::State &state)
{
    using Clock = std::chrono::steady_clock;
    const QString path = capturePath();
    resetApp();
    VirtualClock clock;
    setAppClock(&clock);
    setUi(nullptr); // the real dialogs
    DataSheet &sheet = app().Sheet;
    sheet.StoredWaveCount = 1;
    sheet.StoredWaves[0].setNewItemDefaults();
    sheet.StoredWaves[0].Name = QStringLiteral("Memory Wave0");
    frmOpenWaveform *w = ShowStoredWaveWindow(0);
    clock.advance(1); // the start-up tick
    w->repaint();
    int answered = 0;
    for (auto _ : state) {
        Clock::time_point returned;
        // Once the dialog runs: the file chosen, then Return, as a user does.
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            dialog->selectFile(path);
            QWidget *target = dialog->focusWidget() ? dialog->focusWidget() : dialog;
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
            ++answered;
            returned = Clock::now();
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
        });
        w->FlatBttn1->click();
        w->repaint();
        QCoreApplication::processEvents(); // what else waits to be painted
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - returned).count());
        // What is left of the dialog goes, as the event loop would let it.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    if (answered != int(state.iterations()) || !sheet.StoredWaves[0].HasData)
        state.SkipWithError("the capture was not opened through the dialog");
    CloseStoredWaveWindow(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setAppClock(nullptr);
}
BENCHMARK(openFromDialog)->Unit(benchmark::kMillisecond)->UseManualTime();

void horizontalStep(benchmark::State &state)
{
    StoredWave w;
    w.ColorMode = w.GridShown = true;
    if (loadWaveFile(capturePath(), w) != WaveFileError::None)
        state.SkipWithError("the capture was refused");
    QImage pic(StoredPicture::pictureSize(Zoom), QImage::Format_RGB32);
    RefreshScreenData(w, ScreenSelector::All);
    double step = w.TimeDiv / 25; // one column
    for (auto _ : state) {
        w.Position += step;
        step = -step; // right, then back: the record stays on screen
        RefreshScreenData(w, ScreenSelector::All);
        drawPicture(pic, w);
        benchmark::DoNotOptimize(pic.constBits());
    }
}
BENCHMARK(horizontalStep)->Unit(benchmark::kMillisecond);

void csvExport(benchmark::State &state)
{
    StoredWave w;
    if (loadWaveFile(capturePath(), w) != WaveFileError::None)
        state.SkipWithError("the capture was refused");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("capture.csv"));
    for (auto _ : state) {
        CsvExportData data;
        if (prepareCsvExport(w, &data) != CsvRefusal::None)
            state.SkipWithError("the export was refused");
        frmPrgressSave progress;
        progress.show();
        WholeFileWriter file(path);
        qint64 bytes = 0;
        const bool ok = file.open()
            && writeCsv(
                   data,
                   [&](const char *d, qint64 n) {
                       bytes += n;
                       return file.write(d, n);
                   },
                   [&progress](int percent, qint64) {
                       progress.ProgressBar->setValue(percent);
                       progress.repaint();
                       pumpEvents();
                   },
                   [] { pumpEvents(); })
            && file.commit();
        if (!ok)
            state.SkipWithError("the file was not saved");
        state.counters["bytes"] = double(bytes);
    }
}
BENCHMARK(csvExport)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
