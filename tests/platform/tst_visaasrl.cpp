#include "platform/clock.h"
#include "platform/serialport/serialdevices.h"
#include "platform/visa/asrl.h"
#include "platform/visa/visa.h"
#include "platform/visa/visabackend.h"

#include <QElapsedTimer>
#include <QTemporaryFile>
#include <QtTest>

#include "support/pty.h"
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {


QByteArray bytes(const ViByte *b, ViUInt32 n)
{
    return QByteArray(reinterpret_cast<const char *>(b), n);
}

} // namespace

class TestVisaAsrl : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        savedExtra_ = qgetenv("KELVOSCOPE_EXTRA_PORTS");
        pty_ = std::make_unique<Pty>();
        QVERIFY(pty_->ok());
        qputenv("KELVOSCOPE_EXTRA_PORTS", pty_->slave.toLocal8Bit());
        portNumber_ = int(serialDeviceList().indexOf(pty_->slave)) + 1;
        QVERIFY(portNumber_ > 0);
        clock_ = std::make_unique<VirtualClock>();
        setAppClock(clock_.get());
        resetVisa();
        unregisterVisaBackend(QStringLiteral("usbtmc"));
        QCOMPARE(viOpenDefaultRM(&rm_), VI_SUCCESS);
    }
    void cleanup()
    {
        resetVisa();
        setAppClock(nullptr);
        clock_.reset();
        pty_.reset();
        if (savedExtra_.isNull())
            qunsetenv("KELVOSCOPE_EXTRA_PORTS");
        else
            qputenv("KELVOSCOPE_EXTRA_PORTS", savedExtra_);
    }

    // The identity a serial resource shows: the device it stands for.
    void identityIsTheDevice()
    {
        QCOMPARE(visaResourceIdentity(QStringLiteral("ASRL%1::INSTR").arg(portNumber_)), pty_->slave);
        QCOMPARE(visaResourceIdentity(QStringLiteral("ASRL") + pty_->slave + QStringLiteral("::INSTR")), pty_->slave);
        QVERIFY(visaResourceIdentity(QStringLiteral("ASRL%1::INSTR").arg(portNumber_ + 1)).isEmpty());
    }

    void portsAreListedByNumber()
    {
        const QString mine = QStringLiteral("ASRL%1::INSTR").arg(portNumber_);
        ViFindList list = VI_NULL;
        ViUInt32 count = 0;
        ViChar desc[VI_FIND_BUFLEN];
        QCOMPARE(viFindRsrc(rm_, "(USB0|ASRL)?*INSTR", &list, &count, desc), VI_SUCCESS);
        QCOMPARE(count, ViUInt32(serialDeviceList().size()));
        QStringList found{QString::fromLatin1(desc)};
        while (viFindNext(list, desc) == VI_SUCCESS)
            found << QString::fromLatin1(desc);
        QCOMPARE(found.last(), mine); // the extra port comes after the system's
        QCOMPARE(found.first(), QStringLiteral("ASRL1::INSTR"));
        QCOMPARE(asrlDevicePath(mine), pty_->slave);
        QCOMPARE(asrlDevicePath(QStringLiteral("asrl%1::instr").arg(portNumber_)), pty_->slave);
        QCOMPARE(asrlDevicePath(QStringLiteral("ASRL/dev/ttyUSB0::INSTR")), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(asrlDevicePath(QStringLiteral("ASRL%1::INSTR").arg(portNumber_ + 1)), QString());
        QCOMPARE(asrlDevicePath(QStringLiteral("ASRL0::INSTR")), QString());
        QCOMPARE(asrlDevicePath(QStringLiteral("ASRL::INSTR")), QString());
        QCOMPARE(asrlDevicePath(QStringLiteral("USB0::1::2::3::INSTR")), QString());
    }

    void openByNumberOrPath()
    {
        ViSession vi = VI_NULL;
        QCOMPARE(viOpen(rm_, qPrintable(QStringLiteral("ASRL%1::INSTR").arg(portNumber_)), VI_NULL, 0, &vi),
                 VI_SUCCESS);
        ViSession byPath = VI_NULL;
        QCOMPARE(viOpen(rm_, qPrintable(QStringLiteral("ASRL%1::INSTR").arg(pty_->slave)), VI_NULL, 0, &byPath),
                 VI_SUCCESS);
        QCOMPARE(viOpen(rm_, qPrintable(QStringLiteral("ASRL%1::INSTR").arg(portNumber_ + 1)), VI_NULL, 0, &vi),
                 VI_ERROR_RSRC_NFOUND);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot open /nonexistent/ttyQ9"));
        QCOMPARE(viOpen(rm_, "ASRL/nonexistent/ttyQ9::INSTR", VI_NULL, 0, &vi), VI_ERROR_RSRC_NFOUND);
        // A path that is no terminal is no serial port.
        QTemporaryFile plain;
        QVERIFY(plain.open());
        QCOMPARE(viOpen(rm_, qPrintable(QStringLiteral("ASRL%1::INSTR").arg(plain.fileName())), VI_NULL, 0, &vi),
                 VI_ERROR_RSRC_NFOUND);
        QCOMPARE(vi, VI_NULL);
    }

    void writeReachesTheLine()
    {
        const ViSession vi = openMine();
        ViUInt32 n = 0;
        QCOMPARE(viWrite(vi, reinterpret_cast<ViConstBuf>(":KEY:LOCK ENABLE\n"), 17, &n), VI_SUCCESS);
        QCOMPARE(n, 17u);
        QCOMPARE(pty_->receive(17), QByteArray(":KEY:LOCK ENABLE\n"));
    }

    void textReadEndsAtLineFeed()
    {
        const ViSession vi = openMine();
        pty_->send("ON\nOFF\n");
        ViByte buf[256];
        ViUInt32 n = 0;
        QCOMPARE(viRead(vi, buf, sizeof buf, &n), VI_SUCCESS);
        QCOMPARE(bytes(buf, n), QByteArray("ON\n"));
        QCOMPARE(viRead(vi, buf, sizeof buf, &n), VI_SUCCESS);
        QCOMPARE(bytes(buf, n), QByteArray("OFF\n"));
    }

    void exactCountBlockWithLineFeedsInside()
    {
        // A 601-byte waveform block whose levels include 0x0A: each read ends at
        // an LF with success, and reading on for the missing bytes gathers it all.
        const ViSession vi = openMine();
        QByteArray block(601, '\0');
        for (int i = 0; i < 600; ++i)
            block[i] = char(i % 3 == 0 ? 0x0A : i & 0xFF);
        block[600] = '\n';
        pty_->send(block);
        QByteArray got(601, '\0');
        ViUInt32 have = 0;
        int reads = 0;
        while (have < 601) {
            ViUInt32 n = 0;
            QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(got.data()) + have, 601 - have, &n), VI_SUCCESS);
            QVERIFY(n > 0);
            have += n;
            ++reads;
        }
        QCOMPARE(got, block);
        QCOMPARE(reads, int(block.count(char(0x0A)))); // one read per LF
    }

    void countReachedWithoutLineFeed()
    {
        const ViSession vi = openMine();
        pty_->send("ABCDEFGH\n");
        ViByte buf[8];
        ViUInt32 n = 0;
        QCOMPARE(viRead(vi, buf, 4, &n), VI_SUCCESS_MAX_CNT);
        QCOMPARE(bytes(buf, n), QByteArray("ABCD"));
        QCOMPARE(viRead(vi, buf, 4, &n), VI_SUCCESS_MAX_CNT);
        QCOMPARE(bytes(buf, n), QByteArray("EFGH"));
        QCOMPARE(viRead(vi, buf, 4, &n), VI_SUCCESS); // the LF alone
        QCOMPARE(bytes(buf, n), QByteArray("\n"));
        pty_->send("XY\n");
        QCOMPARE(viRead(vi, buf, 3, &n), VI_SUCCESS); // LF as the last counted byte: success
        QCOMPARE(bytes(buf, n), QByteArray("XY\n"));
    }

    void silenceAndPartialRepliesTimeOut()
    {
        const ViSession vi = openMine();
        QCOMPARE(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 10000), VI_SUCCESS);
        ViByte buf[64];
        ViUInt32 n = 9;
        QElapsedTimer real;
        real.start();
        QCOMPARE(viRead(vi, buf, sizeof buf, &n), VI_ERROR_TMO);
        QCOMPARE(n, 0u);
        QVERIFY(appClock().nowMs() >= 10000 && appClock().nowMs() < 10300);
        QVERIFY2(real.elapsed() < 2000, "the time-out must run on the virtual clock");

        pty_->send("1.00");
        const qint64 before = appClock().nowMs();
        QCOMPARE(viRead(vi, buf, sizeof buf, &n), VI_ERROR_TMO);
        QCOMPARE(bytes(buf, n), QByteArray("1.00"));
        QVERIFY(appClock().nowMs() - before >= 10000);
    }

    void baudRateReachesTheTerminal()
    {
        const ViSession vi = openMine();
        ViAttrState baud = 0;
        QCOMPARE(viGetAttribute(vi, VI_ATTR_ASRL_BAUD, &baud), VI_SUCCESS);
        QCOMPARE(baud, ViAttrState(9600));
        QCOMPARE(viSetAttribute(vi, VI_ATTR_ASRL_BAUD, 19200), VI_SUCCESS);
        const int fd = ::open(QFile::encodeName(pty_->slave).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        termios t{};
        QCOMPARE(::tcgetattr(fd, &t), 0);
        ::close(fd);
        QCOMPARE(::cfgetospeed(&t), speed_t(B19200));
        QCOMPARE(t.c_cflag & CSIZE, tcflag_t(CS8));
        QCOMPARE(t.c_cflag & (PARENB | CSTOPB), tcflag_t(0));
        QCOMPARE(t.c_lflag & (ICANON | ECHO), tcflag_t(0));
        QCOMPARE(viSetAttribute(vi, VI_ATTR_ASRL_BAUD, 12345), VI_ERROR_NSUP_ATTR_STATE);
        QCOMPARE(viGetAttribute(vi, VI_ATTR_ASRL_BAUD, &baud), VI_SUCCESS);
        QCOMPARE(baud, ViAttrState(19200));
    }

    void clearDropsWhatIsHeld()
    {
        const ViSession vi = openMine();
        pty_->send("stale reply\nmore");
        ViByte buf[64];
        ViUInt32 n = 0;
        QCOMPARE(viRead(vi, buf, 3, &n), VI_SUCCESS_MAX_CNT); // the rest is now held in the session
        QCOMPARE(viClear(vi), VI_SUCCESS);
        pty_->send("fresh\n");
        QCOMPARE(viRead(vi, buf, sizeof buf, &n), VI_SUCCESS);
        QCOMPARE(bytes(buf, n), QByteArray("fresh\n"));
    }

    // A reply that comes after its read timed out is never the next
    // query's reply: it is dropped when it came before the next line, awaited
    // and dropped when it comes while that line is going out, and dropped too
    // in a session opened again on the device (a connect after the failure).
    void aLateReplyIsNeverTheNextReply_data()
    {
        QTest::addColumn<QString>("when");
        QTest::newRow("came before the next line") << QStringLiteral("before");
        QTest::newRow("comes while the next line goes out") << QStringLiteral("during");
        QTest::newRow("came after a new session's clear") << QStringLiteral("reopened");
    }
    void aLateReplyIsNeverTheNextReply()
    {
        QFETCH(QString, when);
        ViSession vi = openMine();
        QCOMPARE(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 10000), VI_SUCCESS);
        ViUInt32 n = 0;
        QCOMPARE(viWrite(vi, reinterpret_cast<ViConstBuf>(":TIMEBASE:SCALE?\n"), 17, &n), VI_SUCCESS);
        QCOMPARE(pty_->receive(17), QByteArray(":TIMEBASE:SCALE?\n"));
        ViByte buf[64];
        QCOMPARE(viRead(vi, buf, sizeof buf, &n), VI_ERROR_TMO);
        if (when == QLatin1String("reopened")) {
            QCOMPARE(viClose(vi), VI_SUCCESS);
            vi = openMine();
            QCOMPARE(viClear(vi), VI_SUCCESS);
        }
        std::atomic<bool> written{false};
        std::thread instrument;
        if (when == QLatin1String("during")) {
            // The late reply comes while the next line waits to go out; the
            // next reply only once that line has gone.
            instrument = std::thread([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                pty_->send("5.000e-04\n");
                while (!written)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                pty_->send("RUN\n");
            });
        } else {
            pty_->send("5.000e-04\n");
        }
        const ViStatus st = viWrite(vi, reinterpret_cast<ViConstBuf>(":TRIGGER:STATUS?\n"), 17, &n);
        written = true;
        if (instrument.joinable())
            instrument.join();
        else
            pty_->send("RUN\n");
        QCOMPARE(st, VI_SUCCESS);
        QCOMPARE(viRead(vi, buf, sizeof buf, &n), VI_SUCCESS);
        QCOMPARE(bytes(buf, n), QByteArray("RUN\n"));
    }

    void hangUpIsReported()
    {
        const ViSession vi = openMine();
        pty_->closeMaster();
        ViByte buf[16];
        ViUInt32 n = 0;
        QCOMPARE(viRead(vi, buf, sizeof buf, &n), VI_ERROR_CONN_LOST);
    }

private:
    ViSession openMine()
    {
        ViSession vi = VI_NULL;
        const ViStatus st =
            viOpen(rm_, qPrintable(QStringLiteral("ASRL%1::INSTR").arg(portNumber_)), VI_NULL, 0, &vi);
        if (st != VI_SUCCESS)
            qFatal("open failed: %d", st);
        return vi;
    }

    QByteArray savedExtra_;
    std::unique_ptr<Pty> pty_;
    std::unique_ptr<VirtualClock> clock_;
    int portNumber_ = 0;
    ViSession rm_ = VI_NULL;
};

QTEST_GUILESS_MAIN(TestVisaAsrl)
#include "tst_visaasrl.moc"
