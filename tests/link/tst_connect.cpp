// Connecting, identifying and disconnecting against the in-process simulator,
// over the sim VISA backend and over the serial stand-in.
#include "linkfixture.h"

#include "texts/stringres.h"

namespace {

const QList<QByteArray> IdentifyLines{":KEY:LOCK ENABLE", ":WAVeform:POINts:MODE NORmal", "*IDN?"};

} // namespace

class TestConnect : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void identification_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("laModel");   // -1: left as it was
        QTest::addColumn<int>("bandwidth"); // -1: left as it was
        QTest::addColumn<bool>("colour");

        QTest::newRow("colour instrument") << QByteArray("KARVO TECHNOLOGIES,QM4102CD,SN000001,00.04.01") << true << 1 << 3 << true;
        QTest::newRow("monochrome instrument") << QByteArray("KARVO TECHNOLOGIES,QM4102MD,SN000001,00.04.01") << true << 1 << 3 << false;
        QTest::newRow("maker in lower case") << QByteArray("karvo technologies,QM4102CD,SN000001,00.04.01") << true << 1 << 3 << true;
        QTest::newRow("model in lower case: 26th character as received")
            << QByteArray("karvo technologies,qm4102cd,SN000001,00.04.01") << true << 1 << 3 << false;
        QTest::newRow("model ending D-EDU") << QByteArray("KARVO TECHNOLOGIES,QM4202CD-EDU,SN000001,00.04.01") << true << 1 << 4 << true;
        QTest::newRow("model ending in another letter") << QByteArray("KARVO TECHNOLOGIES,QM4102C,SN000001,00.04.01") << false << 0 << 3 << true;
        QTest::newRow("model ending -EDU without D") << QByteArray("KARVO TECHNOLOGIES,QM4102C-EDU,SN1,1") << false << 0 << 3 << true;
        QTest::newRow("bandwidth 02") << QByteArray("KARVO TECHNOLOGIES,QM4022CD,SN000001,00.04.01") << true << 1 << 0 << true;
        QTest::newRow("bandwidth 04") << QByteArray("KARVO TECHNOLOGIES,QM4042CD,SN000001,00.04.01") << true << 1 << 1 << true;
        QTest::newRow("bandwidth 06") << QByteArray("KARVO TECHNOLOGIES,QM4062CD,SN000001,00.04.01") << true << 1 << 2 << true;
        QTest::newRow("bandwidth 10") << QByteArray("KARVO TECHNOLOGIES,QM4102CD,SN000001,00.04.01") << true << 1 << 3 << true;
        QTest::newRow("bandwidth 15") << QByteArray("KARVO TECHNOLOGIES,QM4152CD,SN000001,00.04.01") << true << 1 << 3 << true;
        QTest::newRow("bandwidth 20") << QByteArray("KARVO TECHNOLOGIES,QM4202CD,SN000001,00.04.01") << true << 1 << 4 << true;
        QTest::newRow("bandwidth 05: not in the table") << QByteArray("KARVO TECHNOLOGIES,QM4052MD,SN000001,00.04.01") << true << 1 << 5 << false;
        QTest::newRow("bandwidth 30: not in the table") << QByteArray("KARVO TECHNOLOGIES,QM4302CD,SN000001,00.04.01") << true << 1 << 5 << true;
        QTest::newRow("26th character another letter") << QByteArray("KARVO TECHNOLOGIES,QM4102XD,SN000001,00.04.01") << true << 1 << 3 << false;
        QTest::newRow("reply shorter than 26 characters") << QByteArray("KARVO TECHNOLOGIES,QM4D,S") << true << 1 << 5 << false;
        QTest::newRow("empty reply") << QByteArray("") << false << -1 << -1 << false;
        QTest::newRow("no comma") << QByteArray("KARVO TECHNOLOGIES QM4102CD") << false << -1 << -1 << false;
        QTest::newRow("maker alone, no comma") << QByteArray("KARVO TECHNOLOGIES") << false << -1 << -1 << false;
        QTest::newRow("another maker") << QByteArray("ACME INSTRUMENTS,QM4102CD,SN000001,00.04.01") << false << -1 << -1 << true;
        QTest::newRow("blank after the maker") << QByteArray("KARVO TECHNOLOGIES ,QM4102CD,SN000001,00.04.01") << false << -1 << -1 << false;
        QTest::newRow("maker with a prefix") << QByteArray("THE KARVO TECHNOLOGIES,QM4102CD,SN1,1") << false << -1 << -1 << false;
        QTest::newRow("no second comma") << QByteArray("KARVO TECHNOLOGIES,QM4102CD") << false << 0 << 5 << true;
    }
    void identification()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, connected);
        QFETCH(int, laModel);
        QFETCH(int, bandwidth);
        QFETCH(bool, colour);
        LinkFixture f;
        f.useVisa();
        f.sim.setIdentityText(reply);
        f.sim.setMathDisplay(true);
        LinkState &l = app().link;
        l.LaModel = 7; // marks: facts a refused maker must leave alone
        l.BandwidthClass = 9;
        l.ScreenTop = 0;

        ConnectInstrument();
        QCOMPARE(l.LinkConnected != 0, connected);
        QCOMPARE(l.LinkConnecting, qint16(0));
        QCOMPARE(l.LinkOpened, qint16(-1)); // the session stays open either way
        QCOMPARE(linkIndicator().connectedLampOn(), connected);
        QCOMPARE(linkIndicator().disconnectedLampOn(), !connected);
        QCOMPARE(int(l.LaModel), laModel < 0 ? 7 : laModel);
        QCOMPARE(int(l.BandwidthClass), bandwidth < 0 ? 9 : bandwidth);
        QCOMPARE(int(l.ScreenTop), connected ? 25 : 0);
        QCOMPARE(l.LaPresent, qint16(-1));
        if (connected) {
            QVERIFY(f.fakeUi.messages().isEmpty());
            QCOMPARE(f.lines(), (IdentifyLines + QList<QByteArray>{":MATH:DISPLAY?"}));
            QCOMPARE(app().Settings.MathDisplay, QStringLiteral("ON"));
        } else {
            QCOMPARE(f.fakeUi.messages().size(), 1);
            const RecordedMessage &m = f.fakeUi.messages().first();
            QCOMPARE(m.icon, MsgIcon::Exclamation);
            QCOMPARE(m.title, QStringLiteral("Connect to Oscilloscope"));
            QCOMPARE(m.text, QStringLiteral("Device not found!"));
            QCOMPARE(f.lines(), IdentifyLines);
            QCOMPARE(app().Settings.MathDisplay, QStringLiteral("OFF"));
        }
        // IsColorDisplay asks again; a refused instrument is behind the closed
        // gate, so nothing goes out and the answer is false.
        f.sim.clearLog();
        QCOMPARE(IsColorDisplay(), colour && connected);
        QCOMPARE(f.lines(), connected ? QList<QByteArray>{"*IDN?"} : QList<QByteArray>{});
    }

    void refusedIdentityInChinese()
    {
        LinkFixture f(0);
        f.useVisa();
        f.sim.setIdentity("ACME", "QM4102CD");
        ConnectInstrument();
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().first().title, QStringLiteral("连接示波器"));
        QCOMPARE(f.fakeUi.messages().first().text, QStringLiteral("设备未找到!"));
        QCOMPARE(app().Settings.MathDisplay, wordLiteral(Word::WordOff, 0));
        QVERIFY(!app().Settings.MathDisplay.isEmpty());
    }

    void connectAndDisconnect_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::addColumn<int>("connectMs");
        // Over VISA: 200 + 50 after the key lock, 200 after the point mode.
        QTest::newRow("sim VISA backend, USB kind") << false << 450;
        // Over the serial port at 9600 (3.125 ms a character): pacing of 16, 28,
        // 5 and 14 characters and their LFs (53 + 91 + 19 + 47 ms), 100 after
        // each command, 50 after the key lock; the replies come at once.
        QTest::newRow("serial stand-in") << true << 53 + 100 + 50 + 91 + 100 + 19 + 47;
    }
    void connectAndDisconnect()
    {
        QFETCH(bool, serial);
        QFETCH(int, connectMs);
        LinkFixture f(0);
        if (serial)
            f.useSerial();
        else
            f.useVisa();
        f.sim.setMathDisplay(false);
        const qint64 t0 = f.clock.nowMs();
        ConnectInstrument();
        QCOMPARE(f.clock.nowMs() - t0, qint64(connectMs));
        QCOMPARE(app().link.LinkConnected, qint16(-1));
        QCOMPARE(app().Settings.MathDisplay, wordLiteral(Word::WordOff, 0));
        QCOMPARE(f.sim.setting(":KEY:LOCK"), QByteArray("ENABLE"));
        DisconnectInstrument();
        QCOMPARE(app().link.LinkConnected, qint16(0));
        QVERIFY(linkIndicator().disconnectedLampOn());
        QCOMPARE(f.sim.setting(":KEY:LOCK"), QByteArray("DISABLE"));
        QCOMPARE(f.lines(), (IdentifyLines + QList<QByteArray>{":MATH:DISPLAY?", ":KEY:LOCK DISABLE"}));
        if (serial) {
            QCOMPARE(f.serial->settings(), QStringLiteral("9600,n,8,1"));
            QVERIFY(f.serial->portOpen()); // the port stays open
        }
        // Disconnecting again sends nothing and keeps the lamps off.
        QSignalSpy lamps(&linkIndicator(), &LinkIndicator::lampsChanged);
        DisconnectInstrument();
        QCOMPARE(f.sim.lines().size(), 5);
        QCOMPARE(lamps.size(), 1);
        QCOMPARE(lamps.first().at(0).toBool(), false);
        QVERIFY(f.fakeUi.messages().isEmpty());
        // A new connect opens again.
        ConnectInstrument();
        QCOMPARE(app().link.LinkConnected, qint16(-1));
    }

    // The link fails after the key lock went out (a cable pulled in its
    // pause): the transport says so once, the rest of the sequence goes
    // nowhere, and the identification fails.
    void aLinkThatFailsDuringTheSequenceSaysItOnce_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::newRow("serial") << true;
        QTest::newRow("visa") << false;
    }
    void aLinkThatFailsDuringTheSequenceSaysItOnce()
    {
        QFETCH(bool, serial);
        LinkFixture f;
        if (serial)
            f.useSerial();
        else
            f.useVisa();
        auto pull = appClock().makeTimer();
        pull->setSingleShot(true);
        pull->onTimeout = [&] {
            if (serial)
                f.serial->setFailOutput(true);
            else
                f.backend->resource(QString::fromLatin1(SimUsb1))->writeStatus = VI_ERROR_IO;
        };
        pull->start(1);
        ConnectInstrument();
        QVERIFY(!pull->isActive());
        QCOMPARE(app().link.LinkConnected, qint16(0));
        QCOMPARE(f.lines(), QList<QByteArray>{":KEY:LOCK ENABLE"});
        QStringList said;
        for (const RecordedMessage &m : f.fakeUi.messages())
            said << m.text;
        QCOMPARE(said.size(), 2);
        QCOMPARE(said.last(), QStringLiteral("Device not found!"));
    }

    void mathDisplayOnInBothLanguages_data()
    {
        QTest::addColumn<int>("lang");
        QTest::newRow("Chinese") << 0;
        QTest::newRow("English") << 1;
    }
    void mathDisplayOnInBothLanguages()
    {
        QFETCH(int, lang);
        LinkFixture f(lang);
        f.useSerial();
        f.sim.setMathDisplay(true);
        ConnectInstrument();
        QCOMPARE(app().Settings.MathDisplay, wordLiteral(Word::WordOn, lang));
    }

    void serialSilenceFailsTheIdentification()
    {
        LinkFixture f;
        f.useSerial();
        Qm4100Sim::Faults faults;
        faults.noReply = true;
        f.sim.setFaults(faults);
        ConnectInstrument();
        QCOMPARE(app().link.LinkConnected, qint16(0));
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().first().text, QStringLiteral("Device not found!"));
        QCOMPARE(f.lines(), IdentifyLines);
    }

    void beforeAnyConnect()
    {
        LinkFixture f;
        f.useVisa();
        QCOMPARE(IsColorDisplay(), false);
        DisconnectInstrument();
        QVERIFY(f.lines().isEmpty());
        QVERIFY(linkIndicator().disconnectedLampOn());
        QCOMPARE(app().link.LinkConnected, qint16(0));
    }

    void bandwidthClasses()
    {
        const QList<QPair<double, int>> table{{2, 0}, {4, 1}, {6, 2}, {10, 3}, {15, 3}, {20, 4},
                                              {0, 5}, {1, 5}, {5, 5}, {25, 5}, {10.5, 5}, {-10, 5}};
        for (const auto &[number, cls] : table)
            QCOMPARE(bandwidthClassOf(number), cls);
    }
};

QTEST_MAIN(TestConnect)
#include "tst_connect.moc"
