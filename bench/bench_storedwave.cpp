// The stored waveform viewer's speed on a capture of 1,000,000 points on CH1
// and CH2 with the digital block (3,000,276 bytes, from a file in the page
// cache), all of it on screen:
//   openScreenPicture: reading the file, the screen data of every shown
//     channel and the picture at 200 % (graticule, traces, labels, marks).
//     Target: under 15 ms.
//   openInWindow: the same file opened in the viewer window itself, from the
//     file dialog's answer to the picture drawn and painted on the window (an
//     offscreen window at 200 %, shown, what it has to paint painted as the
//     event loop paints it). Target: under 20 ms.
//   openFromDialog: openInWindow through the real file dialog (offscreen),
//     from Return in the dialog with the file chosen to the picture painted on
//     the window. Target: within 1.5 times openInWindow.
//   readFloor: the same file read whole into fresh memory (pages the process
//     maps anew, as a first read into a new array meets them): the least any
//     opening of it takes.
//   openInWindowPerReadFloor: openInWindow and readFloor in turn; the counter
//     "per_read_floor" is the median of the pairs' ratios. Target: 3. Beside
//     it "per_warm_read": against the same read into memory already in use
//     (the copy alone, without the first touch of the pages).
//   openFromDialogPerWindow: openFromDialog and openInWindow in turn; the
//     counter "per_open_in_window" is the median of the pairs' ratios.
//     Target: 1.5.
// Offscreen unless a platform is named: with QT_QPA_PLATFORM=xcb and a
// display the windows are real ones, and each timing ends when the window
// system has the painted picture. Under X, the dialog's share depends on the
// window manager: closing a modal window, the toolkit waits for the server
// to say where the pointer is and which window lies under it, and the server
// answers after it has dealt with the window manager's handling of the closed
// window (under openbox on Xvfb about 2 ms, against 0.2 ms on a display with
// no window manager). Run it on a display without one as well to see the
// program's own part.
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
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QToolButton>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include <sys/mman.h>

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

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

double median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The file read whole into fresh memory, pages never touched before (mapped
// anew and dropped after): the least any opening of it takes. With a buffer,
// into that memory already in use instead: the copy alone.
double readFloorOnce(const QString &path, QByteArray *warm = nullptr)
{
    const auto start = Clock::now();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1.0;
    const qint64 size = f.size();
    char *memory = nullptr;
    if (warm) {
        warm->resize(size);
        memory = warm->data();
    } else {
        void *fresh = mmap(nullptr, size_t(size), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (fresh == MAP_FAILED)
            return -1.0;
        memory = static_cast<char *>(fresh);
    }
    const bool whole = f.read(memory, size) == size;
    const double ms = msSince(start);
    benchmark::DoNotOptimize(memory);
    if (!warm)
        munmap(memory, size_t(size));
    return whole ? ms : -1.0;
}

// A viewer window of slot 0, shown, its start-up done and its first picture
// on screen.
class ViewerWindow {
public:
    ViewerWindow()
    {
        resetApp();
        setAppClock(&clock_);
        DataSheet &sheet = app().Sheet;
        sheet.StoredWaveCount = 1;
        sheet.StoredWaves[0].setNewItemDefaults();
        sheet.StoredWaves[0].Name = QStringLiteral("Memory Wave0");
        window_ = ShowStoredWaveWindow(0);
        clock_.advance(1); // the start-up tick
        while (!window_->window()->windowHandle() || !window_->window()->windowHandle()->isExposed())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        shown();
    }
    ~ViewerWindow()
    {
        CloseStoredWaveWindow(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setUi(nullptr);
        setAppClock(nullptr);
    }
    bool opened() const { return app().Sheet.StoredWaves[0].HasData; }

    // The file opened as the dialog's answer; ms from the answer to the
    // picture on screen.
    double openAnswered(const QString &path)
    {
        setUi(&scripted_);
        scripted_.answerFile(path);
        const auto start = Clock::now();
        window_->FlatBttn1->click();
        shown();
        return scripted_.messages().isEmpty() ? msSince(start) : -1.0;
    }

    // The file chosen in the real dialog and Return pressed; ms from Return
    // to the picture on screen (what else waits to be painted included).
    double openThroughDialog(const QString &path)
    {
        setUi(nullptr);
        Clock::time_point returned;
        bool answered = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            // The name typed into its box (with its folder), then Return.
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (!name)
                return;
            name->setText(path);
            QWidget *target = name;
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
            answered = true;
            returned = Clock::now();
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
        });
        window_->FlatBttn1->click();
        shown();
        const double ms = answered ? msSince(returned) : -1.0;
        // What is left to do goes, as the event loop would let it.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        return ms;
    }

private:
    // What the window has to paint painted, as the event loop paints it,
    // and (under a window system) the picture at the server.
    void shown()
    {
        QCoreApplication::processEvents();
        atServer();
    }
    // Under a window system: a round trip, so that the server has every
    // picture sent before it. Offscreen there is no server.
    static void atServer()
    {
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QGuiApplication::sync();
    }

    VirtualClock clock_;
    ScriptedUi scripted_;
    frmOpenWaveform *window_ = nullptr;
};

void readFloor(benchmark::State &state)
{
    const QString path = capturePath();
    for (auto _ : state) {
        if (readFloorOnce(path) < 0)
            state.SkipWithError("the capture could not be read");
    }
}
BENCHMARK(readFloor)->Unit(benchmark::kMillisecond);

void openInWindow(benchmark::State &state)
{
    const QString path = capturePath();
    ViewerWindow viewer;
    for (auto _ : state) {
        if (viewer.openAnswered(path) < 0) {
            state.SkipWithError("the capture was not opened");
            break;
        }
    }
    if (!viewer.opened())
        state.SkipWithError("the capture was not opened");
}
BENCHMARK(openInWindow)->Unit(benchmark::kMillisecond);

void openFromDialog(benchmark::State &state)
{
    const QString path = capturePath();
    ViewerWindow viewer;
    for (auto _ : state) {
        const double ms = viewer.openThroughDialog(path);
        if (ms < 0) {
            state.SkipWithError("the capture was not opened through the dialog");
            break;
        }
        state.SetIterationTime(ms / 1000.0);
    }
    if (!viewer.opened())
        state.SkipWithError("the capture was not opened through the dialog");
}
BENCHMARK(openFromDialog)->Unit(benchmark::kMillisecond)->UseManualTime();

void openInWindowPerReadFloor(benchmark::State &state)
{
    const QString path = capturePath();
    ViewerWindow viewer;
    QByteArray warmBuffer;
    std::vector<double> floors, warms, opens, ratios, warmRatios;
    for (auto _ : state) {
        const double floor = readFloorOnce(path);
        const double warm = readFloorOnce(path, &warmBuffer);
        const double open = viewer.openAnswered(path);
        if (floor <= 0 || warm <= 0 || open < 0) {
            state.SkipWithError("the capture was not read or not opened");
            break;
        }
        floors.push_back(floor);
        warms.push_back(warm);
        opens.push_back(open);
        ratios.push_back(open / floor);
        warmRatios.push_back(open / warm);
        state.SetIterationTime(open / 1000.0);
    }
    state.counters["read_floor_ms"] = median(floors);
    state.counters["warm_read_ms"] = median(warms);
    state.counters["open_ms"] = median(opens);
    state.counters["per_read_floor"] = median(ratios);
    state.counters["per_warm_read"] = median(warmRatios);
}
BENCHMARK(openInWindowPerReadFloor)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);

void openFromDialogPerWindow(benchmark::State &state)
{
    const QString path = capturePath();
    ViewerWindow viewer;
    std::vector<double> windows, dialogs, ratios;
    for (auto _ : state) {
        const double window = viewer.openAnswered(path);
        const double dialog = viewer.openThroughDialog(path);
        if (window <= 0 || dialog < 0) {
            state.SkipWithError("the capture was not opened");
            break;
        }
        windows.push_back(window);
        dialogs.push_back(dialog);
        ratios.push_back(dialog / window);
        state.SetIterationTime(dialog / 1000.0);
    }
    state.counters["open_in_window_ms"] = median(windows);
    state.counters["open_from_dialog_ms"] = median(dialogs);
    state.counters["per_open_in_window"] = median(ratios);
}
BENCHMARK(openFromDialogPerWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(2.0);

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
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
