// How long the event loop stands still while a transfer runs, in real time:
// the longest gap between two firings of a 1 ms timer (a repaint, a menu, a
// key and Stop all wait for the next turn), for each kind of transfer
// (measure, data table and waveform refreshes from their windows, the
// controller's upload and download), over
//   link 0: the serial link, against the qm4100-sim program on a
//           pseudo-terminal;
//   link 1: the in-process simulator (the VISA "sim" backend, USB kind);
//   link 2: the usbtmc backend over its stand-in device (a SOCK_SEQPACKET
//           socket pair), answered by the simulator from a thread of this
//           benchmark;
// with a healthy instrument (silent:0) and one that stops answering after the
// connect (silent:1, the simulator's no-reply fault). A silent run is stopped
// after SilentRunMs as the user stops it (the exchange abandoned), so that it
// covers one 10 s VISA time-out; what comes after the Stop is counted too.
//
// Counters: max_stall_ms (the longest gap), wall_s, stopped (1: the run was
// stopped). Target: max_stall_ms under 50 everywhere.

#include "app/appstate.h"
#include "controller/ctrlcommands.h"
#include "link/cmdfunc.h"
#include "link/connectfunc.h"
#include "link/link.h"
#include "link/visafunc.h"
#include "measure/frmmeasure.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/serialport/serialdevices.h"
#include "platform/settingsstore.h"
#include "platform/ui/scriptedui.h"
#include "platform/visa/usbtmc.h"
#include "platform/visa/visa.h"
#include "sim/qm4100sim.h"
#include "sim/simvisabackend.h"
#include "texts/loadlanguage.h"
#include "texts/stringres.h"
#include "transfer/frmprgress.h"
#include "transfer/uploaddownload.h"
#include "wave/frmdata.h"
#include "wave/frmwave.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <atomic>
#include <memory>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int SilentRunMs = 12000;
constexpr const char *UsbResource = "USB0::0xFFFF::0x4100::SN000001::INSTR";

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void writeText(const QString &path, const QByteArray &text)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
}

// The simulator behind one end of a socket pair, as a USB-TMC device: one
// packet is one transfer.
class SocketInstrument {
public:
    explicit SocketInstrument(int fd) : fd_(fd)
    {
        thread_ = std::thread([this] { serve(); });
    }
    ~SocketInstrument()
    {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }
    std::atomic<bool> silent{false};

private:
    void serve()
    {
        QByteArray partial;
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            char buf[65536];
            const ssize_t n = ::recv(fd_, buf, sizeof buf, MSG_DONTWAIT);
            if (n <= 0) {
                if (n == 0 && (p.revents & POLLHUP))
                    return;
                continue;
            }
            partial.append(buf, n);
            qsizetype lf;
            while ((lf = partial.indexOf('\n')) >= 0) {
                const QByteArray line = partial.left(lf);
                partial.remove(0, lf + 1);
                const Qm4100Sim::Reply r = sim_.handle(line, Qm4100Sim::Framing::VisaUsb);
                if (silent)
                    continue;
                if (r.delayMs > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(r.delayMs));
                for (const QByteArray &chunk : r.chunks)
                    ::send(fd_, chunk.constData(), size_t(chunk.size()), MSG_NOSIGNAL);
            }
        }
    }

    int fd_;
    Qm4100Sim sim_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The program connected to the simulator over one of the three links, on the
// real clock and the real event pump, with a measure, a data and a waveform
// item in the sheet and their windows shown.
class Rig {
public:
    Rig(int link, bool silent)
    {
        resetApp();
        setAppClock(nullptr);
        setPump({});
        setUi(&ui_);
        setSettingsFile(dir_.filePath(QStringLiteral("Kelvoscope.ini")));
        ApplyLanguage(1);
        savedExtra_ = qgetenv("KELVOSCOPE_EXTRA_PORTS");
        if (link == 0)
            startSerial(silent);
        else if (link == 1)
            startInProcess();
        else
            startStandIn();
        if (!app().link.LinkConnected)
            return;
        if (silent && link == 1) {
            Qm4100Sim::Faults f;
            f.noReply = true;
            sim_.setFaults(f);
        }
        if (silent && standIn_)
            standIn_->silent = true;
        app().ctrl.hooks.linkConnected = [] { return app().link.LinkConnected != 0; };
        app().ctrl.hooks.showTransfer = [](const QString &caption) { ShowTransferDialog(caption); };
        InstallSettingsTransfer();
        app().Settings.CH1Display = word(Word::WordOn);
        app().Settings.CH2Display = word(Word::WordOff);
        app().Settings.MathDisplay = word(Word::WordOff);
        app().Settings.LADisplay = word(Word::WordOff);
        app().shell.RefreshType = QStringLiteral("Single");
        DataSheet &s = app().Sheet;
        s.WaveDocCount = s.DataDocCount = s.MeasDocCount = 1;
        s.WaveDocs[0].Name = QStringLiteral("Wave0");
        s.WaveDocs[0].setNewItemDefaults();
        s.DataDocs[0].Name = QStringLiteral("Data0");
        s.DataDocs[0].setNewItemDefaults();
        s.MeasDocs[0].Name = QStringLiteral("Measure0");
        s.MeasDocs[0].setNewItemDefaults();
        wave_ = ShowWaveWindow(0, false);
        data_ = ShowDataWindow(0);
        measure_ = ShowMeasureWindow(0);
        settle(600); // the windows' first ticks
    }
    ~Rig()
    {
        if (app().link.LinkConnected)
            DisconnectInstrument();
        CloseMeasureWindow(0);
        if (frmWave *w = waveWindow(0))
            delete w->frame();
        if (frmData *w = dataWindow(0))
            delete w->frame();
        app().Sheet.WaveForms[0] = app().Sheet.DataForms[0] = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setCommControl(nullptr);
        if (comm_)
            comm_->setPortOpen(false);
        comm_.reset();
        resetVisa();
        standIn_.reset();
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            process_.waitForFinished(5000);
        }
        if (savedExtra_.isNull())
            qunsetenv("KELVOSCOPE_EXTRA_PORTS");
        else
            qputenv("KELVOSCOPE_EXTRA_PORTS", savedExtra_);
        setUi(nullptr);
        setSettingsFile(QString());
    }
    bool connected() const { return app().link.LinkConnected != 0; }

    void run(int kind)
    {
        switch (kind) {
        case 0: measure_->cmdRefresh_Click(); break;
        case 1: data_->cmdRefresh_Click(); break;
        case 2: wave_->cmdRefresh_Click(); break;
        case 3: CtrlUploadCommand(); break;
        case 4: CtrlDownloadCommand(); break;
        default: break;
        }
    }

private:
    void startSerial(bool silent)
    {
        QStringList args{QStringLiteral("--framing=prefix")};
        if (silent)
            args << QStringLiteral("--silent-from=2"); // the connect's "*IDN?" is answered
        process_.start(QStringLiteral(KELVO_SIM_BINARY), args);
        if (!process_.waitForStarted(5000))
            return;
        QByteArray out;
        QElapsedTimer t;
        t.start();
        while (!out.contains('\n') && t.elapsed() < 5000) {
            process_.waitForReadyRead(100);
            out += process_.readAllStandardOutput();
        }
        const QString path = QString::fromUtf8(out.left(out.indexOf('\n'))).trimmed();
        qputenv("KELVOSCOPE_EXTRA_PORTS", path.toLocal8Bit());
        const int port = int(serialDeviceList().indexOf(path)) + 1;
        if (port < 1)
            return;
        comm_ = std::make_unique<SerialCommPort>();
        setCommControl(comm_.get());
        app().link.IoType = IoTypeSerial;
        app().link.ComPortNumber = port;
        ConnectInstrument();
    }

    void startInProcess()
    {
        resetVisa();
        unregisterVisaBackend(QStringLiteral("usbtmc"));
        unregisterVisaBackend(QStringLiteral("asrl"));
        auto backend = std::make_shared<SimVisaBackend>();
        backend->addResource(QString::fromLatin1(UsbResource), &sim_);
        registerVisaBackend(backend);
        app().link.IoType = 0;
        OpenVisaRM();
        ConnectInstrument();
    }

    void startStandIn()
    {
        // A sysfs tree with the one device, as the kernel lays it out.
        const QString sys = dir_.filePath(QStringLiteral("sys"));
        const QString usb = sys + QStringLiteral("/devices/pci0000:00/usb1/1-1");
        const QString node = usb + QStringLiteral("/1-1:1.0/usbmisc/usbtmc0");
        QDir().mkpath(node);
        QDir().mkpath(sys + QStringLiteral("/class/usbmisc"));
        writeText(usb + QStringLiteral("/idVendor"), "ffff\n");
        writeText(usb + QStringLiteral("/idProduct"), "4100\n");
        writeText(usb + QStringLiteral("/serial"), "SN000001\n");
        writeText(usb + QStringLiteral("/1-1:1.0/bInterfaceNumber"), "00\n");
        QFile::link(QStringLiteral("../.."), node + QStringLiteral("/device"));
        QFile::link(node, sys + QStringLiteral("/class/usbmisc/usbtmc0"));
        resetVisa();
        unregisterVisaBackend(QStringLiteral("asrl"));
        registerVisaBackend(std::make_shared<UsbtmcBackend>(sys, dir_.filePath(QStringLiteral("dev")),
                                                            [this](const QString &) {
                                                                int sv[2];
                                                                if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sv) != 0)
                                                                    return -1;
                                                                standIn_ = std::make_unique<SocketInstrument>(sv[1]);
                                                                return sv[0];
                                                            }));
        app().link.IoType = 0;
        OpenVisaRM();
        ConnectInstrument();
    }

    QTemporaryDir dir_;
    ScriptedUi ui_;
    QByteArray savedExtra_;
    QProcess process_;
    std::unique_ptr<SerialCommPort> comm_;
    Qm4100Sim sim_;
    std::unique_ptr<SocketInstrument> standIn_;
    frmWave *wave_ = nullptr;
    frmData *data_ = nullptr;
    frmMeasure *measure_ = nullptr;
};

void transferStall(benchmark::State &state)
{
    const int link = int(state.range(0));
    const int kind = int(state.range(1));
    const bool silent = state.range(2) != 0;
    Rig rig(link, silent);
    if (!rig.connected()) {
        state.SkipWithError("the simulator did not connect");
        return;
    }
    qint64 maxGapNs = 0;
    double wall = 0;
    bool stopped = false;
    for (auto _ : state) {
        QElapsedTimer clock;
        qint64 last = 0;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            maxGapNs = std::max(maxGapNs, now - last);
            last = now;
        });
        QTimer stop;
        stop.setSingleShot(true);
        QObject::connect(&stop, &QTimer::timeout, [&] {
            stopped = exchangeRunning();
            abandonExchange();
        });
        if (silent)
            stop.start(SilentRunMs);
        clock.start();
        tick.start(1);
        rig.run(kind);
        const qint64 end = clock.nsecsElapsed();
        maxGapNs = std::max(maxGapNs, end - last);
        wall = double(end) / 1e9;
        state.SetIterationTime(wall);
    }
    state.counters["max_stall_ms"] = double(maxGapNs) / 1e6;
    state.counters["wall_s"] = wall;
    state.counters["stopped"] = stopped ? 1 : 0;
}
BENCHMARK(transferStall)
    ->ArgsProduct({{0, 1, 2}, {0, 1, 2, 3, 4}, {0, 1}})
    ->ArgNames({"link", "kind", "silent"})
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
