#include "platform/clock.h"
#include "platform/pump.h"
#include "platform/serialport/serialdevices.h"
#include "platform/serialport/serialportcontrol.h"
#include "platform/serialport/serialsettings.h"
#include "texts/toolkitlanguage.h"

#include <QMetaEnum>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "support/pty.h"
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

class TestSerialPort : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        savedExtra_ = qgetenv("KELVOSCOPE_EXTRA_PORTS");
        qunsetenv("KELVOSCOPE_EXTRA_PORTS");
        setPump({});
    }
    void cleanup()
    {
        if (savedExtra_.isNull())
            qunsetenv("KELVOSCOPE_EXTRA_PORTS");
        else
            qputenv("KELVOSCOPE_EXTRA_PORTS", savedExtra_);
    }

    void settingsStrings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("stopBits");
        using P = SerialSettings::Parity;
        using S = SerialSettings::StopBits;
        auto row = [](const char *name, const char *text, int baud, P p, int bits, S s) {
            QTest::newRow(name) << QString::fromLatin1(text) << true << baud << int(p) << bits << int(s);
        };
        auto bad = [](const char *name, const char *text) {
            QTest::newRow(name) << QString::fromLatin1(text) << false << 0 << 0 << 0 << 0;
        };
        row("link default", "9600,n,8,1", 9600, P::None, 8, S::One);
        row("upper case parity", "38400,N,8,1", 38400, P::None, 8, S::One);
        row("even seven two", "300,e,7,2", 300, P::Even, 7, S::Two);
        row("odd", "2400,o,8,1", 2400, P::Odd, 8, S::One);
        row("mark", "4800,m,8,1", 4800, P::Mark, 8, S::One);
        row("space", "19200,s,8,1", 19200, P::Space, 8, S::One);
        row("one and a half", "9600,n,5,1.5", 9600, P::None, 5, S::OneAndHalf);
        row("blanks around fields", " 9600 , n , 8 , 1 ", 9600, P::None, 8, S::One);
        row("highest rate", "4000000,n,8,1", 4000000, P::None, 8, S::One);
        bad("empty", "");
        bad("baud only", "9600");
        bad("three fields", "9600,n,8");
        bad("five fields", "9600,n,8,1,0");
        bad("baud not a number", "fast,n,8,1");
        bad("baud with decimals", "9600.5,n,8,1");
        bad("baud negative", "-9600,n,8,1");
        bad("baud zero", "0,n,8,1");
        bad("baud huge", "99999999999,n,8,1");
        bad("baud empty", ",n,8,1");
        bad("parity unknown", "9600,x,8,1");
        bad("parity word", "9600,none,8,1");
        bad("data bits 4", "9600,n,4,1");
        bad("data bits 9", "9600,n,9,1");
        bad("stop bits 3", "9600,n,8,3");
        bad("stop bits comma decimal", "9600,n,8,1;5");
        bad("blank inside number", "96 00,n,8,1");
    }
    void settingsStrings()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const auto s = parseSerialSettings(text);
        QCOMPARE(s.has_value(), valid);
        if (!valid)
            return;
        QFETCH(int, baud);
        QFETCH(int, parity);
        QFETCH(int, dataBits);
        QFETCH(int, stopBits);
        QCOMPARE(s->baud, baud);
        QCOMPARE(int(s->parity), parity);
        QCOMPARE(s->dataBits, dataBits);
        QCOMPARE(int(s->stopBits), stopBits);
        QCOMPARE(parseSerialSettings(serialSettingsText(*s)), s); // the text form reads back the same
    }

    void deviceNamesInNaturalOrder()
    {
        QStringList names{"ttyUSB10", "ttyS10", "ttyUSB2", "ttyS2", "ttyACM0", "ttyS0"};
        std::sort(names.begin(), names.end(), serialDeviceNameLess);
        QCOMPARE(names, QStringList({"ttyACM0", "ttyS0", "ttyS2", "ttyS10", "ttyUSB2", "ttyUSB10"}));
        QVERIFY(!serialDeviceNameLess("ttyS2", "ttyS2"));
        QVERIFY(serialDeviceNameLess("ttyS99999999999999999999", "ttyS100000000000000000000")); // no overflow
    }

    void extraPortsJoinTheList()
    {
        Pty a;
        Pty b;
        QVERIFY(a.ok() && b.ok());
        const QStringList system = serialDeviceList();
        QVERIFY(!system.contains(a.slave));
        qputenv("KELVOSCOPE_EXTRA_PORTS",
                (b.slave + ":/nonexistent/ttyQ9::" + a.slave + ":/dev:/:" + b.slave).toLocal8Bit());
        // After the system's ports, in the order given; missing paths, folders
        // (no port, and "/" has no ASRL name) and repeats left out.
        QCOMPARE(serialDeviceList(), system + QStringList({b.slave, a.slave}));
    }

    void receiveEventsFromThePseudoTerminal()
    {
        Pty pty;
        QVERIFY(pty.ok());
        SerialPortControl ctl;
        openOn(ctl, pty);
        QVERIFY(ctl.portOpen());
        QCOMPARE(ctl.devicePath(), pty.slave);

        QSignalSpy spy(&ctl, &SerialPortControl::OnComm);
        QByteArray received;
        connect(&ctl, &SerialPortControl::OnComm, this, [&](int ev) {
            if (ev == SerialPortControl::comEvReceive)
                received += ctl.input();
        });
        // A reply in three pieces, the LF in the last.
        pty.send("1.0");
        QVERIFY(ctl.waitForInput(1000));
        pty.send("0");
        QVERIFY(ctl.waitForInput(1000));
        pty.send("V\n");
        QVERIFY(ctl.waitForInput(1000));
        while (received.size() < 6 && ctl.waitForInput(200)) {
        }
        QCOMPARE(received, QByteArray("1.00V\n"));
        QVERIFY(spy.count() >= 3);
        for (const QList<QVariant> &args : spy)
            QCOMPARE(args.at(0).toInt(), int(SerialPortControl::comEvReceive));
        QCOMPARE(ctl.commEvent(), int(SerialPortControl::comEvReceive));

        // Binary bytes pass unchanged (raw mode: no CR/LF translation, no flow control characters).
        QByteArray block;
        for (int i = 0; i < 256; ++i)
            block += char(i);
        received.clear();
        pty.send(block);
        while (received.size() < block.size() && ctl.waitForInput(1000)) {
        }
        QCOMPARE(received, block);
    }

    void receiveEventsRunInsideThePump()
    {
        Pty pty;
        QVERIFY(pty.ok());
        SerialPortControl ctl;
        openOn(ctl, pty);
        QSignalSpy spy(&ctl, &SerialPortControl::OnComm);
        pty.send("ON\n");
        QVERIFY(spy.isEmpty()); // nothing runs until events are processed
        for (int i = 0; i < 200 && spy.isEmpty(); ++i) {
            pollfd p{pty.master, 0, 0};
            ::poll(&p, 1, 5); // a short real wait for the bytes to cross the pty
            pumpEvents();
        }
        QCOMPARE(spy.count(), 1);
        QCOMPARE(ctl.inBufferCount(), 3);
        QCOMPARE(ctl.input(), QByteArray("ON\n"));
        QCOMPARE(ctl.inBufferCount(), 0);
    }

    // Bytes that arrive during the instrument's pause (a query being paced)
    // raise their receive event in the first turn after it, as after a sleep:
    // the link's wait that follows takes them, not the pause.
    void receiveEventsWaitForTheEndOfAPause()
    {
        Pty pty;
        QVERIFY(pty.ok());
        SerialPortControl ctl;
        openOn(ctl, pty);
        QSignalSpy spy(&ctl, &SerialPortControl::OnComm);
        qint64 fakeNs = 0;
        RealClock clock([&] { return fakeNs; });
        int turns = 0;
        int eventsInPause = 0;
        setPump([&] {
            if (++turns == 1)
                pty.send("ON\n");
            pollfd p{pty.master, 0, 0};
            ::poll(&p, 1, 5); // a short real wait for the bytes to cross the pty
            handlePendingEvents();
            eventsInPause = int(spy.count());
            fakeNs += 10'000'000;
        });
        clock.pause(100);
        QCOMPARE(turns, 10);
        QCOMPARE(eventsInPause, 0);
        QCOMPARE(ctl.inBufferCount(), 3); // the bytes came, and wait in the port
        setPump({});
        QVERIFY(spy.isEmpty());
        pumpEvents();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(ctl.input(), QByteArray("ON\n"));
    }

    void inputLenAndThreshold()
    {
        Pty pty;
        QVERIFY(pty.ok());
        SerialPortControl ctl;
        openOn(ctl, pty);
        ctl.setRThreshold(0); // no receive events at all
        QSignalSpy spy(&ctl, &SerialPortControl::OnComm);
        pty.send("ABCDEF");
        QVERIFY(ctl.waitForInput(1000));
        while (ctl.inBufferCount() < 6 && ctl.waitForInput(200)) {
        }
        QVERIFY(spy.isEmpty());
        ctl.setInputLen(4);
        QCOMPARE(ctl.input(), QByteArray("ABCD"));
        QCOMPARE(ctl.input(), QByteArray("EF"));
        QCOMPARE(ctl.input(), QByteArray());
    }

    void outputReachesTheOtherEnd()
    {
        Pty pty;
        QVERIFY(pty.ok());
        SerialPortControl ctl;
        openOn(ctl, pty);
        QVERIFY(ctl.setOutput(":KEY:LOCK ENABLE\n"));
        QCOMPARE(ctl.error(), SerialPortControl::Error::None);
        // Written at once, without any event processing.
        QCOMPARE(pty.receive(17), QByteArray(":KEY:LOCK ENABLE\n"));
        QByteArray bin("\x00\x0d\x0a\x11\x13\xff", 6);
        QVERIFY(ctl.setOutput(bin));
        QCOMPARE(pty.receive(6), bin);
    }

    void missingPortGivesTheErrorState()
    {
        Pty pty;
        QVERIFY(pty.ok());
        qputenv("KELVOSCOPE_EXTRA_PORTS", pty.slave.toLocal8Bit());
        const int count = int(serialDeviceList().size());
        SerialPortControl ctl;
        QVERIFY(ctl.setCommPort(count + 1)); // a number may be set; opening it fails
        QVERIFY(!ctl.setPortOpen(true));
        QCOMPARE(ctl.error(), SerialPortControl::Error::InvalidPortNumber);
        QVERIFY(!ctl.errorString().isEmpty());
        QVERIFY(!ctl.portOpen());
        QVERIFY(!ctl.setCommPort(0));
        QCOMPARE(ctl.error(), SerialPortControl::Error::InvalidPortNumber);
        QCOMPARE(ctl.commPort(), count + 1);

        // Output on a closed port fails and says why.
        QVERIFY(!ctl.setOutput("*IDN?\n"));
        QCOMPARE(ctl.error(), SerialPortControl::Error::NotOpen);
        QVERIFY(!ctl.errorString().isEmpty());
        QCOMPARE(ctl.input(), QByteArray());
        QVERIFY(!ctl.waitForInput(10));

        // A listed port whose device has gone. The device is a link of our
        // own to the pseudo-terminal: removing it cannot race with another
        // process being handed the same terminal number.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString gone = dir.filePath(QStringLiteral("ttyGone"));
        QVERIFY(QFile::link(pty.slave, gone));
        qputenv("KELVOSCOPE_EXTRA_PORTS", gone.toLocal8Bit());
        QCOMPARE(int(serialDeviceList().size()), count);
        QVERIFY(ctl.setCommPort(count));
        QVERIFY(QFile::remove(gone));
        QVERIFY(!ctl.setPortOpen(true));
        QCOMPARE(ctl.error(), SerialPortControl::Error::InvalidPortNumber);
    }

    void settingsAndPortRules()
    {
        Pty pty;
        QVERIFY(pty.ok());
        SerialPortControl ctl;
        QCOMPARE(ctl.settings(), QStringLiteral("9600,n,8,1"));
        QVERIFY(!ctl.setSettings(QStringLiteral("9600,q,8,1")));
        QCOMPARE(ctl.error(), SerialPortControl::Error::InvalidSettings);
        QCOMPARE(ctl.settings(), QStringLiteral("9600,n,8,1")); // unchanged
        QVERIFY(ctl.setSettings(QStringLiteral("19200,n,8,1")));
        QCOMPARE(ctl.error(), SerialPortControl::Error::None);

        openOn(ctl, pty);
        QVERIFY(!ctl.setPortOpen(true));
        QCOMPARE(ctl.error(), SerialPortControl::Error::AlreadyOpen);
        QVERIFY(ctl.portOpen());
        QVERIFY(!ctl.setCommPort(2));
        QCOMPARE(ctl.error(), SerialPortControl::Error::PortOpen);
        QVERIFY(ctl.setSettings(QStringLiteral("38400,n,8,1"))); // applies while open
        QVERIFY(ctl.setPortOpen(false));
        QVERIFY(!ctl.portOpen());
        QVERIFY(ctl.setPortOpen(false)); // closing a closed port is fine
        QVERIFY(ctl.devicePath().isEmpty());
        // Reopening works (each connect closes and reopens).
        QVERIFY(ctl.setPortOpen(true));
        QVERIFY(ctl.setOutput("x"));
        QCOMPARE(pty.receive(1), QByteArray("x"));
    }

    // The device going away closes the port and says so, once; every later
    // output reports that loss (not a port that was never opened) until the
    // port is opened again.
    void lostDeviceClosesThePort()
    {
        auto pty = std::make_unique<Pty>();
        QVERIFY(pty->ok());
        SerialPortControl ctl;
        int losses = 0;
        connect(&ctl, &SerialPortControl::DeviceLost, this, [&losses] { ++losses; });
        openOn(ctl, *pty);
        const QString path = pty->slave;
        pty->closeMaster();
        for (int i = 0; i < 50 && ctl.portOpen(); ++i)
            ctl.waitForInput(20);
        QVERIFY(!ctl.portOpen());
        QVERIFY(ctl.deviceLost());
        QCOMPARE(losses, 1);
        QCOMPARE(ctl.error(), SerialPortControl::Error::DeviceLost);
        QCOMPARE(ctl.lostDevice(), path);
        for (int i = 0; i < 2; ++i) {
            QVERIFY(!ctl.setOutput("*IDN?\n"));
            QCOMPARE(ctl.error(), SerialPortControl::Error::DeviceLost);
            QCOMPARE(ctl.errorString(), QStringLiteral("The device %1 was removed or hung up.").arg(path));
            QVERIFY(ctl.errorString().contains(path));
        }
        QCOMPARE(losses, 1);
        // Closing ends the lost state: the port is then simply closed.
        QVERIFY(ctl.setPortOpen(false));
        QVERIFY(!ctl.deviceLost());
        QVERIFY(!ctl.setOutput("x"));
        QCOMPARE(ctl.error(), SerialPortControl::Error::NotOpen);
    }

    // The loss found by the write itself, with no event processed since the
    // device went away.
    void deviceLostUnderTheWrite()
    {
        auto pty = std::make_unique<Pty>();
        QVERIFY(pty->ok());
        SerialPortControl ctl;
        int losses = 0;
        connect(&ctl, &SerialPortControl::DeviceLost, this, [&losses] { ++losses; });
        openOn(ctl, *pty);
        pty->closeMaster();
        QVERIFY(!ctl.setOutput("*IDN?\n"));
        QCOMPARE(ctl.error(), SerialPortControl::Error::DeviceLost);
        QVERIFY(ctl.deviceLost());
        QCOMPARE(losses, 1);
        QVERIFY(!ctl.portOpen());
    }

    // Every failure of the port is described in the program's language, the
    // device's own words included, and follows a switch made at run time.
    void failureTextsFollowTheLanguage_data()
    {
        QTest::addColumn<int>("lang");
        QTest::newRow("Chinese") << 0;
        QTest::newRow("English") << 1;
    }
    void failureTextsFollowTheLanguage()
    {
        QFETCH(int, lang);
        const bool zh = lang == 0;
        applyToolkitLanguage(1 - lang); // the other language first: the switch must take
        applyToolkitLanguage(lang);
        auto pty = std::make_unique<Pty>();
        QVERIFY(pty->ok());
        SerialPortControl ctl;
        QVERIFY(!ctl.setSettings(QStringLiteral("9600,q,8,1")));
        QCOMPARE(ctl.errorString(), zh ? QStringLiteral("无效设置“9600,q,8,1”")
                                       : QStringLiteral("Invalid settings \"9600,q,8,1\""));
        QVERIFY(!ctl.setCommPort(0));
        QCOMPARE(ctl.errorString(), zh ? QStringLiteral("无效端口号") : QStringLiteral("Invalid port number"));
        QVERIFY(!ctl.setOutput("x"));
        QCOMPARE(ctl.errorString(), zh ? QStringLiteral("只有端口打开时才能进行此操作")
                                       : QStringLiteral("Operation valid only when the port is open"));
        openOn(ctl, *pty);
        QVERIFY(!ctl.setPortOpen(true));
        QCOMPARE(ctl.errorString(), zh ? QStringLiteral("端口已打开") : QStringLiteral("Port already open"));
        QVERIFY(!ctl.setCommPort(1));
        QCOMPARE(ctl.errorString(), zh ? QStringLiteral("端口打开时不能进行此操作")
                                       : QStringLiteral("Operation not valid while the port is open"));
        const QString path = pty->slave;
        pty->closeMaster();
        for (int i = 0; i < 50 && ctl.portOpen(); ++i)
            ctl.waitForInput(20);
        QVERIFY(ctl.deviceLost());
        QVERIFY(!ctl.setOutput("x"));
        QCOMPARE(ctl.errorString(), zh ? QStringLiteral("设备 %1 已被移除或已挂断。").arg(path)
                                       : QStringLiteral("The device %1 was removed or hung up.").arg(path));
        applyToolkitLanguage(1);
    }

    // What befell the port, as a failure text carries it: a few words of the
    // program's language for every kind the port reports.
    void failureReasonsFollowTheLanguage()
    {
        const QMetaEnum kinds = QMetaEnum::fromType<QSerialPort::SerialPortError>();
        QVERIFY(kinds.keyCount() > 5);
        for (int lang : {1, 0}) {
            applyToolkitLanguage(lang);
            QSet<QString> seen;
            for (int i = 0; i < kinds.keyCount(); ++i) {
                const auto e = QSerialPort::SerialPortError(kinds.value(i));
                const QString why = serialErrorReason(e);
                QVERIFY2(!why.isEmpty(), kinds.key(i));
                seen << why;
                static const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
                QVERIFY2(why.contains(latin) == (lang == 1), qPrintable(why));
            }
            // One text for each kind but "no error", which reads as unknown.
            QCOMPARE(int(seen.size()), kinds.keyCount() - 1);
            QCOMPARE(serialErrorReason(QSerialPort::NoError), serialErrorReason(QSerialPort::UnknownError));
        }
        applyToolkitLanguage(1);
    }

private:
    void openOn(SerialPortControl &ctl, const Pty &pty)
    {
        qputenv("KELVOSCOPE_EXTRA_PORTS", pty.slave.toLocal8Bit());
        const int n = int(serialDeviceList().indexOf(pty.slave)) + 1;
        QVERIFY(n > 0);
        QVERIFY(ctl.setCommPort(n));
        QVERIFY2(ctl.setPortOpen(true), qPrintable(ctl.errorString()));
    }

    QByteArray savedExtra_;
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
