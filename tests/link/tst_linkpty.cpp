// Connect, identify, query, read blocks and disconnect against the qm4100-sim
// program on a pseudo-terminal, with real bytes: over a VISA serial resource
// (the asrl backend, VISA framing) and over the serial-port control
// (QSerialPort, length-prefixed blocks).
//
// The program talks to a pseudo-terminal of this test, listed in
// KELVOSCOPE_EXTRA_PORTS; a relay thread passes the bytes on to the
// simulator's own pseudo-terminal and back, and keeps every line on its way to
// the simulator, so that the test can compare the exact lines it received.
#include "linkfixture.h"
#include "support/pty.h"

#include "platform/serialport/serialdevices.h"
#include "platform/serialport/serialportcontrol.h"

#include <QFileInfo>
#include <QProcess>

#include <atomic>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

void makeRaw(int fd)
{
    termios t{};
    if (::tcgetattr(fd, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
    }
}

class Relay {
public:
    ~Relay() { stop(); }

    // Opens a pseudo-terminal for the program and joins it to the simulator's.
    bool start(const QByteArray &simPath)
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return false;
        char name[128];
        if (::ptsname_r(master_, name, sizeof name) != 0)
            return false;
        slave_ = QString::fromLocal8Bit(name);
        // Held open and raw, so that nothing is echoed before the program opens it.
        keep_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        sim_ = ::open(simPath.constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (keep_ < 0 || sim_ < 0)
            return false;
        makeRaw(keep_);
        makeRaw(sim_);
        thread_ = std::thread([this] { run(); });
        return true;
    }

    void stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        for (int *fd : {&master_, &keep_, &sim_}) {
            if (*fd >= 0)
                ::close(*fd);
            *fd = -1;
        }
    }

    QString programPort() const { return slave_; }

    // The complete lines that went to the simulator, without their LF.
    QList<QByteArray> lines()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        QList<QByteArray> out = toSim_.split('\n');
        out.removeLast(); // the part after the last LF (empty when none)
        return out;
    }
    void clearLines()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        toSim_.clear();
    }

private:
    static void writeAll(int fd, const char *p, ssize_t n)
    {
        while (n > 0) {
            const ssize_t w = ::write(fd, p, size_t(n));
            if (w <= 0) {
                pollfd q{fd, POLLOUT, 0};
                ::poll(&q, 1, 10);
                continue;
            }
            p += w;
            n -= w;
        }
    }

    void run()
    {
        char buf[4096];
        while (!stop_) {
            pollfd p[2] = {{master_, POLLIN, 0}, {sim_, POLLIN, 0}};
            if (::poll(p, 2, 20) <= 0)
                continue;
            if (p[0].revents & POLLIN) {
                const ssize_t n = ::read(master_, buf, sizeof buf);
                if (n > 0) {
                    {
                        std::lock_guard<std::mutex> lock(mutex_);
                        toSim_.append(buf, n);
                    }
                    writeAll(sim_, buf, n);
                }
            }
            if (p[1].revents & POLLIN) {
                const ssize_t n = ::read(sim_, buf, sizeof buf);
                if (n > 0)
                    writeAll(master_, buf, n);
            }
        }
    }

    int master_ = -1;
    int keep_ = -1;
    int sim_ = -1;
    QString slave_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    QByteArray toSim_;
};

const QList<QByteArray> ConnectLines{":KEY:LOCK ENABLE", ":WAVeform:POINts:MODE NORmal", "*IDN?", ":MATH:DISPLAY?"};

} // namespace

class TestLinkPty : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        resetApp();
        savedExtra_ = qgetenv("KELVOSCOPE_EXTRA_PORTS");
    }
    void cleanup()
    {
        relay_.reset();
        if (sim_) {
            sim_->terminate();
            sim_->waitForFinished(5000);
            sim_.reset();
        }
        if (savedExtra_.isNull())
            qunsetenv("KELVOSCOPE_EXTRA_PORTS");
        else
            qputenv("KELVOSCOPE_EXTRA_PORTS", savedExtra_);
    }

    void visaSerialResource()
    {
        QVERIFY(startSim({QStringLiteral("--framing=visa")}));
        LinkFixture f;
        resetVisa(); // the machine's own serial ports and ours, no simulator in-process
        unregisterVisaBackend(QStringLiteral("usbtmc"));
        OpenVisaRM();
        const QString mine = QStringLiteral("ASRL%1::INSTR").arg(portNumber_);
        setResourceChooser([&](const QStringList &names) {
            QVERIFY(names.contains(mine));
            chooserAccepted(mine);
        });
        app().link.IoType = 0;

        ConnectInstrument();
        QCOMPARE(app().link.LinkConnected, qint16(-1));
        QCOMPARE(app().link.VisaInterfaceType, qint16(0));
        QCOMPARE(int(app().link.BandwidthClass), 3);
        QCOMPARE(app().Settings.MathDisplay, QStringLiteral("OFF"));
        QCOMPARE(relay_->lines(), ConnectLines);

        QCOMPARE(QueryString(QStringLiteral(":CHANNEL1:SCALE?")), QStringLiteral("1.000e+00\n"));
        QVERIFY(IsColorDisplay());
        Qm4100Sim local; // the same instrument, for the expected blocks
        SendCommand(QStringLiteral(":SYSTEM:DATA?"));
        VisaReadSystemData();
        QCOMPARE(app().link.LastSetup.encode(), local.setupBlock().left(112) + QByteArray(4, '\0'));
        SendCommand(QStringLiteral(":WAVEFORM:DATA? CHANNEL1"));
        int n = 0;
        VisaReadWaveBlock(n, 601);
        QCOMPARE(n, 600);
        const QByteArray block = local.waveformBlock("CHANNEL1");
        for (int i = 1; i <= n; ++i)
            QCOMPARE(app().link.WorkPts[size_t(i)], int(quint8(block[i - 1])));

        DisconnectInstrument();
        CloseVisaDevice();
        const QList<QByteArray> after{":CHANNEL1:SCALE?", "*IDN?", ":SYSTEM:DATA?", ":WAVEFORM:DATA? CHANNEL1",
                                      ":KEY:LOCK DISABLE"};
        // A set command has no reply to wait for: give the relay a moment.
        QTRY_COMPARE_WITH_TIMEOUT(relay_->lines(), ConnectLines + after, 5000);
        QVERIFY(f.fakeUi.messages().isEmpty());
        QCOMPARE(app().link.LinkConnected, qint16(0));
    }

    void serialPortControl()
    {
        QVERIFY(startSim({}));
        LinkFixture f;
        SerialCommPort port;
        setCommControl(&port);
        setPump([&] {
            if (!port.control().waitForInput(25))
                f.clock.advance(100);
        });
        app().link.IoType = IoTypeSerial;
        app().link.ComPortNumber = portNumber_;

        ConnectInstrument();
        QCOMPARE(app().link.LinkConnected, qint16(-1));
        QCOMPARE(port.control().settings(), QStringLiteral("9600,n,8,1"));
        QCOMPARE(port.control().devicePath(), relay_->programPort());
        QCOMPARE(relay_->lines(), ConnectLines);

        QCOMPARE(QueryString(QStringLiteral(":CHANNEL1:SCALE?")), QStringLiteral("1.000e+00"));
        Qm4100Sim local;
        SendCommand(QStringLiteral(":SYSTEM:DATA?"));
        QVERIFY(ComWaitBlock());
        QCOMPARE(app().link.RxCount, 116.0);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(app().link.RxBuffer.data()), 116), local.setupBlock());
        SendCommand(QStringLiteral(":WAVEFORM:DATA? DIGITAL"));
        QVERIFY(ComWaitBlock());
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(app().link.RxBuffer.data()), 1201),
                 local.waveformBlock("DIGITAL"));

        DisconnectInstrument();
        const QList<QByteArray> after{":CHANNEL1:SCALE?", ":SYSTEM:DATA?", ":WAVEFORM:DATA? DIGITAL",
                                      ":KEY:LOCK DISABLE"};
        // A set command has no reply to wait for: give the relay a moment.
        QTRY_COMPARE_WITH_TIMEOUT(relay_->lines(), ConnectLines + after, 5000);
        QVERIFY(f.fakeUi.messages().isEmpty());
        QVERIFY(port.portOpen()); // a disconnect leaves the port open
        setCommControl(nullptr);
    }

    // The program connected over RS232 to the simulator's own device, with a
    // reply on its way that the program has not taken yet: SIGTERM ends the
    // simulator at once, and its device goes with it.
    void simulatorStopsWhileProgramHoldsThePort()
    {
        sim_ = std::make_unique<QProcess>();
        sim_->start(QStringLiteral(KELVO_SIM_BINARY), QStringList{});
        QVERIFY(sim_->waitForStarted(5000) && sim_->waitForReadyRead(5000));
        const QString simPath = QString::fromLocal8Bit(sim_->readLine().trimmed());
        QVERIFY2(simPath.startsWith(QLatin1String("/dev/")), qPrintable(simPath));
        const timespec made = ptyNodeChangeTime(simPath);
        qputenv("KELVOSCOPE_EXTRA_PORTS", simPath.toLocal8Bit());
        const int number = int(serialDeviceList().indexOf(simPath)) + 1;
        QVERIFY(number > 0);

        LinkFixture f;
        SerialCommPort port;
        setCommControl(&port);
        setPump([&] {
            if (!port.control().waitForInput(25))
                f.clock.advance(100);
        });
        app().link.IoType = IoTypeSerial;
        app().link.ComPortNumber = number;
        ConnectInstrument();
        QCOMPARE(app().link.LinkConnected, qint16(-1));
        QCOMPARE(port.control().devicePath(), simPath);

        // Screens are far larger than what the device holds: the simulator is
        // still writing the first when the program stops taking bytes.
        SendCommand(QStringLiteral(":LCD:DATA?"));
        SendCommand(QStringLiteral(":LCD:DATA?"));
        QVERIFY(port.control().waitForInput(5000));

        sim_->terminate();
        QVERIFY2(sim_->waitForFinished(5000), "the simulator did not end on SIGTERM");
        QCOMPARE(sim_->exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim_->exitCode(), 0);
        QVERIFY2(ptyNodeGone(simPath, made), qPrintable(simPath + QLatin1String(" is still there")));
        QVERIFY(port.portOpen()); // the program still holds its end
        sim_.reset();
        setCommControl(nullptr);
    }

    void serialPortThatDoesNotExist()
    {
        LinkFixture f;
        SerialCommPort port;
        setCommControl(&port);
        app().link.IoType = IoTypeSerial;
        app().link.ComPortNumber = int(serialDeviceList().size()) + 1;
        ConnectInstrument();
        QCOMPARE(app().link.LinkOpened, qint16(0));
        QCOMPARE(app().link.LinkConnected, qint16(0));
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().first().title, QStringLiteral("RS232 Init"));
        QCOMPARE(f.fakeUi.messages().first().text, QStringLiteral("Invalid port number!"));
        QCOMPARE(f.fakeUi.messages().first().icon, MsgIcon::Exclamation);
        QVERIFY(linkIndicator().disconnectedLampOn());
        setCommControl(nullptr);
    }

private:
    bool startSim(const QStringList &args)
    {
        sim_ = std::make_unique<QProcess>();
        sim_->start(QStringLiteral(KELVO_SIM_BINARY), args);
        if (!sim_->waitForStarted(5000) || !sim_->waitForReadyRead(5000))
            return false;
        const QByteArray simPath = sim_->readLine().trimmed();
        relay_ = std::make_unique<Relay>();
        if (simPath.isEmpty() || !relay_->start(simPath))
            return false;
        qputenv("KELVOSCOPE_EXTRA_PORTS", relay_->programPort().toLocal8Bit());
        portNumber_ = int(serialDeviceList().indexOf(relay_->programPort())) + 1;
        return portNumber_ > 0;
    }

    QByteArray savedExtra_;
    std::unique_ptr<QProcess> sim_;
    std::unique_ptr<Relay> relay_;
    int portNumber_ = 0;
};

QTEST_MAIN(TestLinkPty)
#include "tst_linkpty.moc"
