#include "app/appstate.h"
#include "link/cmdfunc.h"
#include "link/link.h"
#include "link/visafunc.h"
#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/ui/scriptedui.h"
#include "platform/visa/usbtmc.h"
#include "platform/visa/usbtmcsession.h"
#include "platform/visa/visa.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <cstring>
#include <functional>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

void writeText(const QString &path, const QByteArray &text)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(text);
}

// A fake sysfs tree as the kernel lays it out:
//   devices/.../<usb>/{idVendor,idProduct,serial}
//   devices/.../<usb>/<usb>:1.<iface>/{bInterfaceNumber, usbmisc/usbtmcN/}
//   devices/.../usbmisc/usbtmcN/device -> the interface
//   class/usbmisc/usbtmcN -> devices/.../usbmisc/usbtmcN
class FakeSysfs {
public:
    explicit FakeSysfs(const QString &root) : root_(root) {}

    void addDevice(int n, const QByteArray &vid, const QByteArray &pid, const QByteArray &serial, int iface,
                   const QString &usb, const char *cls = "class/usbmisc")
    {
        const QString usbDir = root_ + QStringLiteral("/devices/pci0000:00/usb1/") + usb;
        const QString ifDir = usbDir + QStringLiteral("/%1:1.%2").arg(usb).arg(iface);
        const QString node = QStringLiteral("usbtmc%1").arg(n);
        const QString nodeDir = ifDir + QStringLiteral("/usbmisc/") + node;
        QVERIFY(QDir().mkpath(nodeDir));
        QVERIFY(QDir().mkpath(root_ + QLatin1Char('/') + QLatin1String(cls)));
        writeText(usbDir + QStringLiteral("/idVendor"), vid + "\n");
        writeText(usbDir + QStringLiteral("/idProduct"), pid + "\n");
        if (!serial.isNull())
            writeText(usbDir + QStringLiteral("/serial"), serial + "\n");
        writeText(ifDir + QStringLiteral("/bInterfaceNumber"), QByteArray::number(iface, 16).rightJustified(2, '0') + "\n");
        QVERIFY(QFile::link(QStringLiteral("../.."), nodeDir + QStringLiteral("/device")));
        QVERIFY(QFile::link(nodeDir, root_ + QLatin1Char('/') + QLatin1String(cls) + QLatin1Char('/') + node));
    }

private:
    QString root_;
};

} // namespace

class TestUsbtmc : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        clock_ = std::make_unique<VirtualClock>();
        setAppClock(clock_.get());
        QVERIFY(tmp_.isValid());
        sys_ = tmp_.path() + QStringLiteral("/sys");
        dev_ = tmp_.path() + QStringLiteral("/dev");
        QDir().mkpath(sys_);
        QDir().mkpath(dev_);
        FakeSysfs fs(sys_);
        fs.addDevice(0, "1ab1", "04ce", "DS1ZA1234", 0, QStringLiteral("1-1"));
        fs.addDevice(10, "ffff", "4100", "SN000002", 0, QStringLiteral("1-3"));
        fs.addDevice(2, "0957", "1796", "MY5", 1, QStringLiteral("1-2"));
        fs.addDevice(3, "abcd", "0001", QByteArray(), 0, QStringLiteral("2-1"), "class/usb"); // no serial, old class
        // Not instruments, or broken: left out.
        QDir().mkpath(sys_ + QStringLiteral("/class/usbmisc/lp0"));
        QDir().mkpath(sys_ + QStringLiteral("/class/usbmisc/usbtmc7")); // no device link

        resetVisa();
        unregisterVisaBackend(QStringLiteral("asrl"));
        backend_ = std::make_shared<UsbtmcBackend>(sys_, dev_, [this](const QString &path) { return openFake(path); });
        registerVisaBackend(backend_);
        QCOMPARE(viOpenDefaultRM(&rm_), VI_SUCCESS);
    }
    void cleanup()
    {
        UsbtmcSession::holdReadsForTest(false);
        setPump({});
        setUi(nullptr);
        resetVisa();
        backend_.reset();
        for (int fd : peers_)
            ::close(fd);
        peers_.clear();
        opened_.clear();
        openErrno_ = 0;
        setAppClock(nullptr);
        clock_.reset();
        tmp_.remove();
    }

    void enumeratesTheFakeSysfs()
    {
        const QList<UsbtmcDevice> devs = backend_->devices();
        QCOMPARE(devs.size(), 4);
        QCOMPARE(devs.at(0).node, QStringLiteral("usbtmc0"));
        QCOMPARE(devs.at(1).node, QStringLiteral("usbtmc2"));
        QCOMPARE(devs.at(2).node, QStringLiteral("usbtmc3"));
        QCOMPARE(devs.at(3).node, QStringLiteral("usbtmc10")); // by number, not by text
        QCOMPARE(devs.at(0).devicePath, dev_ + QStringLiteral("/usbtmc0"));
        QCOMPARE(devs.at(0).vendorId, quint16(0x1AB1));
        QCOMPARE(devs.at(0).productId, quint16(0x04CE));
        QCOMPARE(devs.at(0).serial, QStringLiteral("DS1ZA1234"));
        QCOMPARE(devs.at(1).interfaceNumber, 1);
        QCOMPARE(backend_->resources(),
                 QStringList({"USB0::0x1AB1::0x04CE::DS1ZA1234::INSTR", "USB0::0x0957::0x1796::MY5::1::INSTR",
                              "USB0::0xABCD::0x0001::::INSTR", "USB0::0xFFFF::0x4100::SN000002::INSTR"}));
    }

    // The identity the chooser shows: the device's own maker and product
    // words; nothing for a device that gives none or a resource not its own.
    void identityFromTheDeviceWords()
    {
        const QString usbDir = sys_ + QStringLiteral("/devices/pci0000:00/usb1/1-3");
        writeText(usbDir + QStringLiteral("/manufacturer"), "KARVO TECHNOLOGIES\n");
        writeText(usbDir + QStringLiteral("/product"), "QM4102CD\n");
        QCOMPARE(visaResourceIdentity(QStringLiteral("USB0::0xFFFF::0x4100::SN000002::INSTR")),
                 QStringLiteral("KARVO TECHNOLOGIES QM4102CD"));
        QCOMPARE(backend_->identity(QStringLiteral("usb0::0xffff::0x4100::sn000002::instr")),
                 QStringLiteral("KARVO TECHNOLOGIES QM4102CD"));
        QVERIFY(visaResourceIdentity(QStringLiteral("USB0::0x1AB1::0x04CE::DS1ZA1234::INSTR")).isEmpty());
        QVERIFY(visaResourceIdentity(QStringLiteral("USB0::0x1234::0x0001::NONE::INSTR")).isEmpty());
    }

    void emptyOrMissingSysfsFindsNothing()
    {
        UsbtmcBackend none(tmp_.path() + QStringLiteral("/nowhere"), dev_);
        QVERIFY(none.resources().isEmpty());
        registerVisaBackend(std::make_shared<UsbtmcBackend>(tmp_.path() + QStringLiteral("/nowhere"), dev_));
        ViUInt32 count = 5;
        ViChar desc[VI_FIND_BUFLEN];
        QCOMPARE(viFindRsrc(rm_, "USB?*INSTR", nullptr, &count, desc), VI_ERROR_RSRC_NFOUND);
        QCOMPARE(count, 0u);
    }

    void searchAndOpenThroughVisa()
    {
        ViFindList list = VI_NULL;
        ViUInt32 count = 0;
        ViChar desc[VI_FIND_BUFLEN];
        QCOMPARE(viFindRsrc(rm_, "(USB0|ASRL)?*INSTR", &list, &count, desc), VI_SUCCESS);
        QCOMPARE(count, 4u);
        QCOMPARE(QString::fromLatin1(desc), QStringLiteral("USB0::0x1AB1::0x04CE::DS1ZA1234::INSTR"));

        ViSession vi = VI_NULL;
        QCOMPARE(viOpen(rm_, desc, VI_NULL, 0, &vi), VI_SUCCESS);
        QCOMPARE(opened_, QStringList({dev_ + QStringLiteral("/usbtmc0")}));
        // Other spellings of the same resource, and the interface number.
        ViSession vi2 = VI_NULL;
        QCOMPARE(viOpen(rm_, "usb::6833::1230::ds1za1234::instr", VI_NULL, 0, &vi2), VI_SUCCESS);
        QCOMPARE(viOpen(rm_, "USB0::0x0957::0x1796::MY5::INSTR", VI_NULL, 0, &vi2), VI_SUCCESS);
        QCOMPARE(viOpen(rm_, "USB0::0x0957::0x1796::MY5::1::INSTR", VI_NULL, 0, &vi2), VI_SUCCESS);
        QCOMPARE(opened_.last(), dev_ + QStringLiteral("/usbtmc2"));
        QCOMPARE(viOpen(rm_, "USB0::0xABCD::0x0001::::INSTR", VI_NULL, 0, &vi2), VI_SUCCESS); // no serial
        QCOMPARE(opened_.last(), dev_ + QStringLiteral("/usbtmc3"));
        QCOMPARE(viOpen(rm_, "USB0::0x0957::0x1796::MY5::0::INSTR", VI_NULL, 0, &vi2), VI_ERROR_RSRC_NFOUND);
        QCOMPARE(viOpen(rm_, "USB0::0x1AB1::0x04CE::OTHER::INSTR", VI_NULL, 0, &vi2), VI_ERROR_RSRC_NFOUND);
        QCOMPARE(viOpen(rm_, "USB1::0x1AB1::0x04CE::DS1ZA1234::INSTR", VI_NULL, 0, &vi2), VI_ERROR_RSRC_NFOUND);
        QCOMPARE(viOpen(rm_, "USB0::0x1AB1::0x04CE::DS1ZA1234::RAW", VI_NULL, 0, &vi2), VI_ERROR_RSRC_NFOUND);
    }

    void deviceThatCannotBeOpened()
    {
        ViSession vi = 9;
        openErrno_ = ENOENT; // listed in sysfs, node gone
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot open .*usbtmc0"));
        QCOMPARE(viOpen(rm_, "USB0::0x1AB1::0x04CE::DS1ZA1234::INSTR", VI_NULL, 0, &vi), VI_ERROR_RSRC_NFOUND);
        QCOMPARE(vi, VI_NULL);
        openErrno_ = EACCES; // no permission on the node
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot open .*usbtmc0"));
        QCOMPARE(viOpen(rm_, "USB0::0x1AB1::0x04CE::DS1ZA1234::INSTR", VI_NULL, 0, &vi), VI_ERROR_SYSTEM_ERROR);
        QCOMPARE(vi, VI_NULL);
    }

    void writeIsOneTransfer()
    {
        const ViSession vi = openFirst();
        const QByteArray line(":KEY:LOCK ENABLE\n");
        ViUInt32 n = 0;
        QCOMPARE(viWrite(vi, reinterpret_cast<ViConstBuf>(line.constData()), line.size(), &n), VI_SUCCESS);
        QCOMPARE(n, ViUInt32(line.size()));
        QCOMPARE(peerRead(), line);
    }

    void readReturnsOneTransfer()
    {
        const ViSession vi = openFirst();
        peerSend("KARVO TECHNOLOGIES,DU4102VO,SN000001,00.04.01\n");
        peerSend("ON\n");
        char buf[256];
        ViUInt32 n = 0;
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf), sizeof buf, &n), VI_SUCCESS);
        QCOMPARE(QByteArray(buf, n), QByteArray("KARVO TECHNOLOGIES,DU4102VO,SN000001,00.04.01\n"));
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf), sizeof buf, &n), VI_SUCCESS);
        QCOMPARE(QByteArray(buf, n), QByteArray("ON\n"));
    }

    void blockOfExactlyTheCountEndsTheMessage()
    {
        // A 601-byte waveform block read with a count of 601: all of it, success.
        const ViSession vi = openFirst();
        QByteArray block(600, 'w');
        block += '\n';
        peerSend(block);
        QByteArray buf(601, '\0');
        ViUInt32 n = 0;
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf.data()), 601, &n), VI_SUCCESS);
        QCOMPARE(n, 601u);
        QCOMPARE(buf, block);
    }

    void longerTransferStopsAtTheCount()
    {
        // A text reply of 300 bytes read with 256: count reached; the rest stays
        // and the next read ends the message.
        const ViSession vi = openFirst();
        QByteArray reply;
        for (int i = 0; i < 300; ++i)
            reply += char('a' + i % 26);
        peerSend(reply);
        peerSend("NEXT\n");
        char buf[256];
        ViUInt32 n = 0;
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf), sizeof buf, &n), VI_SUCCESS_MAX_CNT);
        QCOMPARE(QByteArray(buf, n), reply.left(256));
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf), sizeof buf, &n), VI_SUCCESS);
        QCOMPARE(QByteArray(buf, n), reply.mid(256));
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf), sizeof buf, &n), VI_SUCCESS);
        QCOMPARE(QByteArray(buf, n), QByteArray("NEXT\n"));
    }

    void largestCountIsHandled()
    {
        // The count is a limit, not an allocation: a short transfer comes back whole.
        const ViSession vi = openFirst();
        peerSend("short\n");
        char buf[64];
        ViUInt32 n = 0;
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf), 0xFFFFFFFFu, &n), VI_SUCCESS);
        QCOMPARE(QByteArray(buf, n), QByteArray("short\n"));
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf), 0, &n), VI_SUCCESS_MAX_CNT);
        QCOMPARE(n, 0u);
    }

    void scanfReadsTheSetupBlockAsOneMessage()
    {
        const ViSession vi = openFirst();
        QByteArray setup(116, '\0');
        for (int i = 0; i < 116; ++i)
            setup[i] = char(i * 7);
        peerSend(setup);
        ViByte rec[116] = {};
        ViUInt32 n = 0;
        QCOMPARE(viVScanf(vi, "%t", rec, sizeof rec, &n), VI_SUCCESS);
        QCOMPARE(n, 116u);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(rec), 116), setup);
    }

    void silenceTimesOutOnTheVirtualClock()
    {
        const ViSession vi = openFirst();
        QCOMPARE(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 10000), VI_SUCCESS);
        char buf[256];
        ViUInt32 n = 99;
        QElapsedTimer real;
        real.start();
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf), sizeof buf, &n), VI_ERROR_TMO);
        QCOMPARE(n, 0u);
        QVERIFY(appClock().nowMs() >= 10000);
        QVERIFY(appClock().nowMs() < 10300);
        QVERIFY2(real.elapsed() < 2000, "the time-out must run on the virtual clock");
        // The session still works afterwards.
        peerSend("late\n");
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf), sizeof buf, &n), VI_SUCCESS);
        QCOMPARE(QByteArray(buf, n), QByteArray("late\n"));
        // An immediate time-out does not wait at all.
        QCOMPARE(viSetAttribute(vi, VI_ATTR_TMO_VALUE, VI_TMO_IMMEDIATE), VI_SUCCESS);
        const qint64 before = appClock().nowMs();
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf), sizeof buf, &n), VI_ERROR_TMO);
        QCOMPARE(appClock().nowMs(), before);
    }

    void realClockWaitsOnTheDescriptor()
    {
        // Under the real clock a wait is one poll of the time left; an immediate
        // time-out polls once without waiting.
        setAppClock(nullptr);
        const ViSession vi = openFirst();
        QCOMPARE(viSetAttribute(vi, VI_ATTR_TMO_VALUE, VI_TMO_IMMEDIATE), VI_SUCCESS);
        char buf[16];
        ViUInt32 n = 0;
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf), sizeof buf, &n), VI_ERROR_TMO);
        peerSend("ready\n");
        QCOMPARE(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 10000), VI_SUCCESS);
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf), sizeof buf, &n), VI_SUCCESS); // data waiting: no wait
        QCOMPARE(QByteArray(buf, n), QByteArray("ready\n"));
    }

    void clearDropsUnreadReplies()
    {
        const ViSession vi = openFirst();
        peerSend("stale one\n");
        peerSend(QByteArray(300, 's'));
        char buf[256];
        ViUInt32 n = 0;
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf), 4, &n), VI_SUCCESS_MAX_CNT); // part held in the session
        QCOMPARE(viClear(vi), VI_SUCCESS);
        peerSend("fresh\n");
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf), sizeof buf, &n), VI_SUCCESS);
        QCOMPARE(QByteArray(buf, n), QByteArray("fresh\n"));
    }

    // An empty reply is a message of its own: a clear drops it and every
    // reply after it, not only the replies before it.
    void clearDropsEmptyRepliesAndThoseAfter()
    {
        const ViSession vi = openFirst();
        peerSend("stale one\n");
        peerSend(QByteArray());
        peerSend("stale two\n");
        peerSend(QByteArray());
        QCOMPARE(viClear(vi), VI_SUCCESS);
        QCOMPARE(viSetAttribute(vi, VI_ATTR_TMO_VALUE, VI_TMO_IMMEDIATE), VI_SUCCESS);
        char buf[64];
        ViUInt32 n = 99;
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf), sizeof buf, &n), VI_ERROR_TMO);
        QCOMPARE(n, 0u);
        peerSend("fresh\n");
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf), sizeof buf, &n), VI_SUCCESS);
        QCOMPARE(QByteArray(buf, n), QByteArray("fresh\n"));
    }

    void lostDeviceIsReported()
    {
        const ViSession vi = openFirst();
        ::close(peers_.takeLast());
        char buf[16];
        ViUInt32 n = 0;
        QCOMPARE(viRead(vi, reinterpret_cast<ViBuf>(buf), sizeof buf, &n), VI_ERROR_CONN_LOST);
        QCOMPARE(viWrite(vi, reinterpret_cast<ViConstBuf>("*IDN?\n"), 6, &n), VI_ERROR_CONN_LOST);
        QCOMPARE(n, 0u);
        QCOMPARE(viClose(vi), VI_SUCCESS);
    }

    // An instrument that falls silent over USB: while the program waits for
    // its reply the event loop turns (a timer fires, a posted call runs), a
    // Stop ends the wait at once with nothing told to the user and the link
    // kept, and the reply given up, should it come late, is never the next
    // query's: the read given up takes it. A second Stop while the given-up
    // read is being finished acts at once too and sends nothing.
    void aStoppedReadLeavesTheLinkReady_data()
    {
        QTest::addColumn<bool>("lateReply");
        QTest::addColumn<int>("secondStopMs"); // into the next query; 0: none
        QTest::newRow("the late reply comes") << true << 0;
        QTest::newRow("no reply ever: the next query waits the given-up read out") << false << 0;
        // The next line waits for the given-up read, then is queued behind it.
        QTest::newRow("a second Stop while the given-up read is finished") << false << 300;
        QTest::newRow("a second Stop before the next line is queued") << false << 100;
    }
    void aStoppedReadLeavesTheLinkReady()
    {
        QFETCH(bool, lateReply);
        QFETCH(int, secondStopMs);
        const bool secondStop = secondStopMs > 0;
        ScriptedUi ui;
        LinkState &l = connectOverTheStandIn(ui);
        QVERIFY(l.VisaSession != VI_NULL);

        // The instrument: says nothing to "*IDN?", answers the trigger status.
        QList<QByteArray> heard;
        qint64 stopAt = -1; // virtual time of the next Stop
        qint64 stoppedAt = -1;
        std::function<void()> armStop;
        int turns = 0;
        setPump([&] {
            ++turns;
            handlePendingEvents();
            for (QByteArray line = peerTake(); !line.isEmpty(); line = peerTake()) {
                heard << line;
                if (line == ":TRIGGER:STATUS?\n")
                    peerSend("STOP\n");
            }
            if (armStop)
                armStop();
            if (stopAt >= 0 && appClock().nowMs() >= stopAt) {
                stopAt = -1;
                stoppedAt = appClock().nowMs();
                abandonExchange();
            }
        });

        bool timerFired = false;
        bool posted = false;
        QTimer::singleShot(0, this, [&] { timerFired = true; });
        QMetaObject::invokeMethod(this, [&] { posted = true; }, Qt::QueuedConnection);
        // The Stop comes while the reply is awaited: a while after the query
        // reached the instrument (the session's thread may be slow to send it).
        armStop = [&] {
            if (stopAt < 0 && heard.contains("*IDN?\n"))
                stopAt = appClock().nowMs() + 300;
        };
        QElapsedTimer real;
        real.start();
        QCOMPARE(QueryString(QStringLiteral("*IDN?")), QString());
        QVERIFY2(timerFired && posted, "the event loop stood still during the read");
        QVERIFY(turns > 1);
        // At once (within a turn of the wait), not at the 10 s time-out.
        QVERIFY2(stoppedAt >= 0 && appClock().nowMs() - stoppedAt < 500, qPrintable(QString::number(appClock().nowMs())));
        QVERIFY(real.elapsed() < 5000);
        QVERIFY(ui.messages().isEmpty());
        QVERIFY(l.LinkConnected);
        QCOMPARE(heard, QList<QByteArray>({"*IDN?\n"}));

        if (lateReply)
            peerSend("KARVO TECHNOLOGIES,QM4102CD,SN000001,00.04.01\n");
        armStop = nullptr;
        stoppedAt = -1;
        if (secondStop)
            stopAt = appClock().nowMs() + secondStopMs;
        const QString next = QueryString(QStringLiteral(":TRIGGER:STATUS?"));
        QVERIFY(ui.messages().isEmpty());
        QVERIFY(l.LinkConnected);
        if (secondStop) {
            QCOMPARE(next, QString());
            QVERIFY2(stoppedAt >= 0 && appClock().nowMs() - stoppedAt < 500,
                     qPrintable(QString::number(appClock().nowMs())));
            // Nothing was sent after the Stop, nor goes out once the given-up
            // read has its reply (a short real wait for a line that must not come).
            peerSend("KARVO TECHNOLOGIES,QM4102CD,SN000001,00.04.01\n");
            pollfd p{peers_.last(), POLLIN, 0};
            ::poll(&p, 1, 100);
            for (QByteArray line = peerTake(); !line.isEmpty(); line = peerTake())
                heard << line;
            QCOMPARE(heard, QList<QByteArray>({"*IDN?\n"}));
            // The query the second Stop kept from going out is owed nothing:
            // the next one is answered at once, not after a read's time-out.
            const qint64 asked = appClock().nowMs();
            QCOMPARE(QueryString(QStringLiteral(":TRIGGER:STATUS?")), QStringLiteral("STOP\n"));
            QVERIFY2(appClock().nowMs() - asked < 1000, qPrintable(QString::number(appClock().nowMs() - asked)));
            return;
        }
        QCOMPARE(next, QStringLiteral("STOP\n"));
        QCOMPARE(heard, QList<QByteArray>({"*IDN?\n", ":TRIGGER:STATUS?\n"}));
        if (!lateReply) // the driver held the device until the given-up read's time-out
            QVERIFY(appClock().nowMs() >= 10000);
    }

    // A Stop that comes after the query went out but before the session's
    // thread took up the read (it was still busy): the reply is still the
    // read's given up, never the next query's.
    void aReadStoppedBeforeItStartedStillTakesItsReply()
    {
        ScriptedUi ui;
        LinkState &l = connectOverTheStandIn(ui);
        QVERIFY(l.VisaSession != VI_NULL);

        QList<QByteArray> heard;
        bool stopped = false;
        setPump([&] {
            handlePendingEvents();
            for (QByteArray line = peerTake(); !line.isEmpty(); line = peerTake()) {
                heard << line;
                if (line == ":TRIGGER:STATUS?\n")
                    peerSend("STOP\n");
            }
            if (!stopped && heard.contains("*IDN?\n")) {
                stopped = true;
                abandonExchange();
            }
        });

        UsbtmcSession::holdReadsForTest(true);
        QCOMPARE(QueryString(QStringLiteral("*IDN?")), QString());
        UsbtmcSession::holdReadsForTest(false);
        QVERIFY(stopped);
        QCOMPARE(heard, QList<QByteArray>({"*IDN?\n"}));

        peerSend("KARVO TECHNOLOGIES,QM4102CD,SN000001,00.04.01\n");
        QCOMPARE(QueryString(QStringLiteral(":TRIGGER:STATUS?")), QStringLiteral("STOP\n"));
        QCOMPARE(heard, QList<QByteArray>({"*IDN?\n", ":TRIGGER:STATUS?\n"}));
        QVERIFY(ui.messages().isEmpty());
        QVERIFY(l.LinkConnected);
    }

    // A Stop in the pause after a query went out, before its reply was
    // read: the reply, coming late, is still taken as given up.
    void aQueryStoppedInItsPauseStillHasItsReplyTaken()
    {
        ScriptedUi ui;
        LinkState &l = connectOverTheStandIn(ui);
        QVERIFY(l.VisaSession != VI_NULL);
        QList<QByteArray> heard;
        setPump([&] {
            handlePendingEvents();
            for (QByteArray line = peerTake(); !line.isEmpty(); line = peerTake()) {
                heard << line;
                if (line == "*IDN?\n")
                    peerSend("KARVO TECHNOLOGIES,QM4102CD,SN000001,00.04.01\n");
            }
        });
        auto stop = appClock().makeTimer();
        stop->setSingleShot(true);
        stop->onTimeout = [] { abandonExchange(); };
        {
            const LinkExchange exchange;
            stop->start(1);
            SendCommand(QStringLiteral(":TRIGGER:STATUS?"));
            QString reply;
            QVERIFY(!VisaReadLine(&reply));
        }
        QVERIFY(!stop->isActive());
        peerSend("STOP\n"); // late
        QCOMPARE(QueryString(QStringLiteral("*IDN?")), QStringLiteral("KARVO TECHNOLOGIES,QM4102CD,SN000001,00.04.01\n"));
        QCOMPARE(heard, QList<QByteArray>({":TRIGGER:STATUS?\n", "*IDN?\n"}));
        QVERIFY(ui.messages().isEmpty());
        QVERIFY(l.LinkConnected);
    }

    void resourceNames_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("vendor");
        QTest::addColumn<int>("product");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<int>("iface");
        QTest::newRow("plain") << "USB0::0xFFFF::0x4100::SN000001::INSTR" << true << 0xFFFF << 0x4100 << "SN000001" << -1;
        QTest::newRow("no class") << "USB0::0xFFFF::0x4100::SN000001" << true << 0xFFFF << 0x4100 << "SN000001" << -1;
        QTest::newRow("interface") << "USB0::0x0957::0x1796::MY5::2::INSTR" << true << 0x0957 << 0x1796 << "MY5" << 2;
        QTest::newRow("decimal, no board") << "usb::65535::16640::sn1::instr" << true << 0xFFFF << 0x4100 << "sn1" << -1;
        QTest::newRow("id too large") << "USB0::0x10000::0x4100::S::INSTR" << false << 0 << 0 << "" << 0;
        QTest::newRow("id not a number") << "USB0::0xZZ::0x4100::S::INSTR" << false << 0 << 0 << "" << 0;
        QTest::newRow("raw class") << "USB0::0xFFFF::0x4100::S::RAW" << false << 0 << 0 << "" << 0;
        QTest::newRow("too few fields") << "USB0::0xFFFF::0x4100" << false << 0 << 0 << "" << 0;
        QTest::newRow("serial resource") << "ASRL1::INSTR" << false << 0 << 0 << "" << 0;
        QTest::newRow("trailing junk") << "USB0::0xFFFF::0x4100::S::INSTR::X" << false << 0 << 0 << "" << 0;
        QTest::newRow("escaped colon") << "USB0::0xFFFF::0x4100::SN0002%3A::INSTR" << true << 0xFFFF << 0x4100
                                       << "SN0002:" << -1;
        QTest::newRow("escapes in lower case") << "usb0::0xffff::0x4100::sn%3a%c3%a4::instr" << true << 0xFFFF
                                               << 0x4100 << QStringLiteral("sn:ä") << -1;
        QTest::newRow("colon inside, as typed") << "USB0::0xFFFF::0x4100::A:B::INSTR" << true << 0xFFFF << 0x4100
                                                << "A:B" << -1;
        QTest::newRow("percent without digits") << "USB0::0xFFFF::0x4100::A%G1%::INSTR" << true << 0xFFFF
                                                << 0x4100 << "A%G1%" << -1;
        QTest::newRow("interface 0 given") << "USB0::0xFFFF::0x4100::S::0::INSTR" << true << 0xFFFF << 0x4100
                                           << "S" << 0;
        QTest::newRow("board 3") << "USB3::0xFFFF::0x4100::S::INSTR" << true << 0xFFFF << 0x4100 << "S" << -1;
        QTest::newRow("colon before the class") << "USB0::0xFFFF::0x4100::SN0002:::INSTR" << false << 0 << 0 << ""
                                                << 0;
    }
    void resourceNames()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        UsbResourceName r;
        QCOMPARE(parseUsbResourceName(text, &r), valid);
        if (!valid)
            return;
        QFETCH(int, vendor);
        QFETCH(int, product);
        QFETCH(QString, serial);
        QFETCH(int, iface);
        QCOMPARE(int(r.vendorId), vendor);
        QCOMPARE(int(r.productId), product);
        QCOMPARE(r.serial, serial);
        QCOMPARE(r.interfaceNumber, iface);
        // Rebuilt, the name parses to the same parts, and rebuilds to itself.
        const QString rebuilt = usbResourceName(r);
        UsbResourceName again;
        QVERIFY2(parseUsbResourceName(rebuilt, &again), qPrintable(rebuilt));
        QCOMPARE(again.board, r.board);
        QCOMPARE(again.vendorId, r.vendorId);
        QCOMPARE(again.productId, r.productId);
        QCOMPARE(again.serial, r.serial);
        QCOMPARE(again.interfaceNumber, r.interfaceNumber);
        QCOMPARE(usbResourceName(again), rebuilt);
    }

    // Serial numbers of every odd kind: the search lists each device under a
    // name that parses back to its serial, rebuilds to itself, and opens
    // that device through VISA.
    void oddSerialsListAndOpen_data()
    {
        QTest::addColumn<QByteArray>("serial"); // the sysfs file, before its line end
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parsed");
        QTest::newRow("empty") << QByteArray("") << "USB0::0xFFFE::0x0001::::INSTR" << "";
        QTest::newRow("colon at the end") << QByteArray("SN0002:") << "USB0::0xFFFE::0x0001::SN0002%3A::INSTR"
                                          << "SN0002:";
        QTest::newRow("colon at the start") << QByteArray(":SN0002") << "USB0::0xFFFE::0x0001::%3ASN0002::INSTR"
                                            << ":SN0002";
        QTest::newRow("colons only") << QByteArray(":::") << "USB0::0xFFFE::0x0001::%3A%3A%3A::INSTR" << ":::";
        QTest::newRow("separator inside") << QByteArray("SN::0002") << "USB0::0xFFFE::0x0001::SN%3A%3A0002::INSTR"
                                          << "SN::0002";
        QTest::newRow("looks like the class") << QByteArray("::INSTR") << "USB0::0xFFFE::0x0001::%3A%3AINSTR::INSTR"
                                              << "::INSTR";
        QTest::newRow("digits, like an interface") << QByteArray("2") << "USB0::0xFFFE::0x0001::2::INSTR" << "2";
        QTest::newRow("space inside") << QByteArray("SN 0002") << "USB0::0xFFFE::0x0001::SN%200002::INSTR"
                                      << "SN 0002";
        QTest::newRow("padded") << QByteArray("  SN0002  ") << "USB0::0xFFFE::0x0001::SN0002::INSTR" << "SN0002";
        QTest::newRow("percent") << QByteArray("SN%3A") << "USB0::0xFFFE::0x0001::SN%253A::INSTR" << "SN%3A";
        QTest::newRow("non-ASCII") << QByteArray("Ω-äö") << "USB0::0xFFFE::0x0001::%CE%A9-%C3%A4%C3%B6::INSTR"
                                   << QStringLiteral("Ω-äö");
        QTest::newRow("tab and DEL") << QByteArray("A\tB\x7f") << "USB0::0xFFFE::0x0001::A%09B%7F::INSTR"
                                     << "A\tB\x7f";
    }
    void oddSerialsListAndOpen()
    {
        QFETCH(QByteArray, serial);
        QFETCH(QString, name);
        QFETCH(QString, parsed);
        FakeSysfs(sys_).addDevice(20, "fffe", "0001", serial, 0, QStringLiteral("3-1"));

        // Every name the search lists opens the device it stands for.
        ViFindList list = VI_NULL;
        ViUInt32 count = 0;
        ViChar desc[VI_FIND_BUFLEN];
        QCOMPARE(viFindRsrc(rm_, "USB?*INSTR", &list, &count, desc), VI_SUCCESS);
        QCOMPARE(count, 5u);
        QStringList listed;
        for (ViUInt32 i = 0; i < count; ++i) {
            if (i > 0)
                QCOMPARE(viFindNext(list, desc), VI_SUCCESS);
            listed << QString::fromLatin1(desc);
            ViSession vi = VI_NULL;
            QCOMPARE(viOpen(rm_, desc, VI_NULL, 0, &vi), VI_SUCCESS);
            QCOMPARE(viClose(vi), VI_SUCCESS);
        }
        QCOMPARE(listed.last(), name);
        ViSession vi = VI_NULL;
        QCOMPARE(viOpen(rm_, name.toLatin1().constData(), VI_NULL, 0, &vi), VI_SUCCESS);
        QCOMPARE(opened_.last(), dev_ + QStringLiteral("/usbtmc20"));

        UsbResourceName r;
        QVERIFY(parseUsbResourceName(name, &r));
        QCOMPARE(r.serial, parsed);
        QCOMPARE(usbResourceName(r.vendorId, r.productId, r.serial), name);
        QCOMPARE(usbResourceName(r), name);
    }

private:
    int openFake(const QString &path)
    {
        if (openErrno_) {
            errno = openErrno_;
            return -1;
        }
        int sv[2];
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sv) != 0)
            return -1;
        opened_ << path;
        peers_ << sv[1];
        return sv[0];
    }

    ViSession openFirst()
    {
        ViSession vi = VI_NULL;
        const ViStatus st = viOpen(rm_, "USB0::0x1AB1::0x04CE::DS1ZA1234::INSTR", VI_NULL, 0, &vi);
        if (st != VI_SUCCESS)
            qFatal("open failed: %d", st);
        return vi;
    }

    // The link connected over VISA to the stand-in, with the program's time-out.
    LinkState &connectOverTheStandIn(ScriptedUi &ui)
    {
        setUi(&ui);
        resetApp();
        LinkState &l = app().link;
        l.IoType = 0;
        l.VisaInterfaceType = 1;
        l.VisaSession = openFirst();
        l.LinkConnected = -1;
        if (viSetAttribute(l.VisaSession, VI_ATTR_TMO_VALUE, VisaTimeoutMs) != VI_SUCCESS)
            l.VisaSession = VI_NULL;
        return l;
    }

    void peerSend(const QByteArray &bytes)
    {
        QCOMPARE(::send(peers_.last(), bytes.constData(), bytes.size(), 0), ssize_t(bytes.size()));
    }

    // A packet the program sent, if one is waiting.
    QByteArray peerTake()
    {
        pollfd p{peers_.last(), POLLIN, 0};
        if (::poll(&p, 1, 0) != 1 || !(p.revents & POLLIN))
            return QByteArray();
        char buf[4096];
        const ssize_t n = ::recv(peers_.last(), buf, sizeof buf, MSG_DONTWAIT);
        return n > 0 ? QByteArray(buf, n) : QByteArray();
    }

    QByteArray peerRead()
    {
        pollfd p{peers_.last(), POLLIN, 0};
        if (::poll(&p, 1, 1000) != 1)
            return QByteArray();
        char buf[4096];
        const ssize_t n = ::recv(peers_.last(), buf, sizeof buf, 0);
        return n > 0 ? QByteArray(buf, n) : QByteArray();
    }

    std::unique_ptr<VirtualClock> clock_;
    QTemporaryDir tmp_;
    QString sys_;
    QString dev_;
    std::shared_ptr<UsbtmcBackend> backend_;
    ViSession rm_ = VI_NULL;
    QStringList opened_;
    QList<int> peers_;
    int openErrno_ = 0;
};

QTEST_GUILESS_MAIN(TestUsbtmc)
#include "tst_usbtmc.moc"
