// The program's waits against the qm4100-sim program on a pseudo-terminal, in
// real time: how much of a core the program uses while it waits (CPU time of
// this process over wall time), and how long the transfers take.
//
//   continuousRefresh/serial:1/interval_ms:1000  a measurement window
//       refreshing continuously for 6 s
//   settingsDownload/serial:1/delay_ms:150       the controller's download with
//       every reply held back 150 ms by the simulator
//   settingsDownload/.../delay_ms:0, settingsUpload/...: the transfer wall
//       times against a prompt simulator
//   settingsDownload/.../window:1, settingsUpload/.../window:1: the same
//       transfers started from the controller pane of the main window (shown,
//       offscreen), as a user starts them
//
// Counters: wall_s (wall time of one run), cpu_s (user + system CPU time of
// this process in that run) and cpu_per_wall (their ratio: 0.05 is 5 % of one
// core). A transfer also counts floor_s, the pauses it has to make (the
// dialog's start and end pauses, each command's pause and, with a delay, the
// simulator's delay before each reply), wall_per_floor, and the paints the
// widgets got during it (bar_paints: the progress bar's). Target: under 5 %
// of a core while waiting, and a settings transfer over VISA within 1.05 times
// its floor, in the window as without it.
//
// Each case runs once (a run takes seconds); the simulator runs as its own
// process, so its work is not counted.

#include "app/appstate.h"
#include "controller/ctrlcommands.h"
#include "controller/frmctrllist.h"
#include "link/cmdfunc.h"
#include "link/link.h"
#include "link/resourcechooser.h"
#include "measure/frmmeasure.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/serialport/serialdevices.h"
#include "platform/serialport/serialportcontrol.h"
#include "platform/settingsstore.h"
#include "platform/ui/scriptedui.h"
#include "platform/visa/visa.h"
#include "platform/visa/visabackend.h"
#include "shell/frmmain.h"
#include "shell/mainmodule.h"
#include "texts/loadlanguage.h"
#include "texts/stringres.h"
#include "transfer/frmprgress.h"
#include "transfer/transferrunner.h"
#include "transfer/triggerlines.h"
#include "transfer/uploaddownload.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <memory>

namespace {

double cpuSeconds()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    auto sec = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return sec(u.ru_utime) + sec(u.ru_stime);
}

// Lets the event loop run for ms milliseconds.
void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The simulator on a pseudo-terminal, and the program connected to it over
// the serial-port control or a VISA serial resource, on the real clock and
// the real event pump.
class Rig {
public:
    // window: the main window is started first, as the program starts it, and
    // binds the controller's hooks itself.
    Rig(bool serial, int delayMs, bool window = false)
    {
        resetApp();
        setAppClock(nullptr);
        setPump({});
        setUi(&ui_);
        setSettingsFile(dir_.filePath(QStringLiteral("Kelvoscope.ini")));
        if (window) {
            main_.reset(StartProgram());
            while (!main_->isVisible() || !main_->findChild<frmCtrlList *>() || !main_->findChild<frmCtrlList *>()->isVisible())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QCoreApplication::processEvents();
        }
        ApplyLanguage(1);
        QStringList args{serial ? QStringLiteral("--framing=prefix") : QStringLiteral("--framing=visa")};
        if (delayMs > 0)
            args << QStringLiteral("--delay-ms=%1").arg(delayMs);
        sim_.start(QStringLiteral(KELVO_SIM_BINARY), args);
        if (!sim_.waitForStarted(5000))
            return;
        QByteArray out;
        QElapsedTimer t;
        t.start();
        while (!out.contains('\n') && t.elapsed() < 5000) {
            sim_.waitForReadyRead(100);
            out += sim_.readAllStandardOutput();
        }
        const QString path = QString::fromUtf8(out.left(out.indexOf('\n'))).trimmed();
        savedExtra_ = qgetenv("KELVOSCOPE_EXTRA_PORTS");
        qputenv("KELVOSCOPE_EXTRA_PORTS", path.toLocal8Bit());
        const int port = int(serialDeviceList().indexOf(path)) + 1;
        if (port < 1)
            return;
        if (serial) {
            comm_ = std::make_unique<SerialCommPort>();
            setCommControl(comm_.get());
            app().link.IoType = IoTypeSerial;
            app().link.ComPortNumber = port;
        } else {
            resetVisa();
            unregisterVisaBackend(QStringLiteral("usbtmc"));
            OpenVisaRM();
            const QString mine = QStringLiteral("ASRL%1::INSTR").arg(port);
            setResourceChooser([mine](const QStringList &) { chooserAccepted(mine); });
            app().link.IoType = 0;
        }
        ConnectInstrument();
        if (main_)
            return;
        // What the main window binds for the controller pane.
        app().ctrl.hooks.linkConnected = [] { return app().link.LinkConnected != 0; };
        app().ctrl.hooks.showTransfer = [](const QString &caption) { ShowTransferDialog(caption); };
        InstallSettingsTransfer();
    }
    ~Rig()
    {
        if (app().link.LinkConnected)
            DisconnectInstrument();
        setResourceChooser({});
        setCommControl(nullptr);
        if (comm_)
            comm_->setPortOpen(false);
        comm_.reset();
        resetVisa();
        sim_.terminate();
        sim_.waitForFinished(5000);
        if (savedExtra_.isNull())
            qunsetenv("KELVOSCOPE_EXTRA_PORTS");
        else
            qputenv("KELVOSCOPE_EXTRA_PORTS", savedExtra_);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (main_) {
            app().Sheet.Modified = false;
            app().ctrl.CtrlFileModified = false;
            main_->close();
            main_.reset();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        setUi(nullptr);
        setSettingsFile(QString());
    }
    bool connected() const { return app().link.LinkConnected != 0; }
    // The controller pane of the main window (null without one).
    frmCtrlList *controller() const { return main_ ? main_->findChild<frmCtrlList *>() : nullptr; }

private:
    std::unique_ptr<frmMain> main_;
    QTemporaryDir dir_;
    ScriptedUi ui_;
    QProcess sim_;
    QByteArray savedExtra_;
    std::unique_ptr<SerialCommPort> comm_;
};

// Runs work once and reports its wall and CPU time.
template <class Work> void measure(benchmark::State &state, Work work)
{
    double wall = 0, cpu = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        const double c0 = cpuSeconds();
        t.start();
        work();
        wall = double(t.nsecsElapsed()) / 1e9;
        cpu = cpuSeconds() - c0;
        state.SetIterationTime(wall);
    }
    state.counters["wall_s"] = wall;
    state.counters["cpu_s"] = cpu;
    state.counters["cpu_per_wall"] = wall > 0 ? cpu / wall : 0;
}

void continuousRefresh(benchmark::State &state)
{
    Rig rig(state.range(0) != 0, 0);
    if (!rig.connected()) {
        state.SkipWithError("the simulator did not connect");
        return;
    }
    app().Settings.CH1Display = word(Word::WordOn);
    app().Settings.CH2Display = word(Word::WordOff);
    app().shell.RefreshType = QStringLiteral("Auto");
    app().shell.RefreshInterval = int(state.range(1));
    DataSheet &s = app().Sheet;
    s.MeasDocCount = 1;
    s.MeasDocs[0].Name = QStringLiteral("Measure0");
    s.MeasDocs[0].setNewItemDefaults();
    frmMeasure *w = ShowMeasureWindow(0);
    settle(50); // the window's first tick
    int loads = 0;
    measure(state, [&] {
        QTimer stop;
        stop.setSingleShot(true);
        QObject::connect(&stop, &QTimer::timeout, [] { app().measure.AutoRefresh.MeasAutoRefreshOn = false; });
        stop.start(6000);
        w->cmdRefresh_Click();
        loads = s.MeasDocs[0].HasData ? 1 : 0;
    });
    state.counters["loaded"] = loads;
    CloseMeasureWindow(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
BENCHMARK(continuousRefresh)
    ->Args({1, 1000})
    ->Args({1, 20000})
    ->Args({0, 1000})
    ->Args({0, 20000})
    ->ArgNames({"serial", "interval_ms"})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The link's command channel, counting what goes through it.
class CountingLines final : public InstrumentLines {
public:
    void sendCommand(const QString &line) override
    {
        ++commands;
        SendCommand(line);
    }
    QString queryString(const QString &line) override
    {
        ++queries;
        return QueryString(line);
    }
    int commands = 0;
    int queries = 0;
};

// Counts the paint events widgets get (the progress bar's apart).
class PaintCounter final : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            if (watched->inherits("QProgressBar"))
                ++barPaints;
        }
        return false;
    }
    int paints = 0;
    int barPaints = 0;
};

void settingsTransfer(benchmark::State &state, bool upload)
{
    const bool serial = state.range(0) != 0;
    const int delayMs = int(state.range(1));
    const bool window = state.range(2) != 0;
    Rig rig(serial, delayMs, window);
    if (!rig.connected()) {
        state.SkipWithError("the simulator did not connect");
        return;
    }
    frmCtrlList *pane = rig.controller();
    if (window && !pane) {
        state.SkipWithError("no controller pane");
        return;
    }
    CountingLines lines;
    setInstrumentLines(&lines);
    PaintCounter paints;
    qApp->installEventFilter(&paints);
    measure(state, [&] {
        if (pane)
            (upload ? pane->cmdUpload() : pane->cmdDownload())->click();
        else if (upload)
            CtrlUploadCommand();
        else
            CtrlDownloadCommand();
    });
    qApp->removeEventFilter(&paints);
    setInstrumentLines(nullptr);
    state.counters["paints"] = paints.paints;
    state.counters["bar_paints"] = paints.barPaints;
    // The transfer's own pauses: the dialog's start and end, the commands',
    // the upload's two pauses after the time base lines, and one simulator
    // delay per reply (the queries counted and the dialog's opening query).
    const int commandPause = serial ? SerialCommandPauseMs : VisaCommandPauseMs;
    const double floorMs = TransferRunner::DispatchDelayMs + TransferRunner::EndPauseMs + (upload ? 1500 : 0)
                         + double(lines.commands) * commandPause + double(lines.queries + 1) * delayMs;
    const double wall = state.counters["wall_s"];
    state.counters["floor_s"] = floorMs / 1000.0;
    state.counters["wall_per_floor"] = floorMs > 0 ? wall * 1000.0 / floorMs : 0;
    state.counters["lines"] = lines.commands + lines.queries;
    if (!app().transfer.TransferDone || !rig.connected())
        state.SkipWithError("the transfer did not finish on a live link");
}
void settingsDownload(benchmark::State &state) { settingsTransfer(state, false); }
void settingsUpload(benchmark::State &state) { settingsTransfer(state, true); }
BENCHMARK(settingsDownload)
    ->Args({1, 150, 0})
    ->Args({0, 150, 0})
    ->Args({1, 0, 0})
    ->Args({0, 0, 0})
    ->Args({0, 150, 1})
    ->Args({0, 0, 1})
    ->Args({1, 0, 1})
    ->ArgNames({"serial", "delay_ms", "window"})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(settingsUpload)
    ->Args({1, 0, 0})
    ->Args({0, 0, 0})
    ->Args({0, 0, 1})
    ->Args({1, 0, 1})
    ->ArgNames({"serial", "delay_ms", "window"})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kelvoscope"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
