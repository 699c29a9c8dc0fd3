// The command channel over both transports: the gate, the pauses, serial
// pacing and reply time-outs, the refusal of line breaks, and every failure
// the transports report (texts in both languages, icon, link state, lamps).
#include "linkfixture.h"
#include "link/cmdfunc.h"
#include "link/visafunc.h"
#include "link/rs232func.h"

#include <functional>

namespace {

enum class Kind { Serial, Visa };

void choose(LinkFixture &f, Kind k)
{
    if (k == Kind::Serial)
        f.useSerial();
    else
        f.useVisa();
}

struct Texts {
    const char *zh;
    const char *en;
    QString in(int lang) const { return QString::fromUtf8(lang == 0 ? zh : en); }
};

const Texts CannotConnect{"不能连接设备！", "Can't Connect to Device!"};
const Texts ReadFailed{"不能读取设备数据！", "Can't Read data from Device!"};
const Texts DeviceInit{"设备初始化", "Device Init"};
const Texts DeviceSend{"设备传送信息", "Device Send Message"};
const Texts DeviceRead{"设备读取信息", "Device Read Message"};
const Texts Rs232Init{"RS232初始化", "RS232 Init"};
const Texts BadPort{"无效端口数!", "Invalid port number!"};
const Texts Rs232Send{"RS232发送信息", "RS232 Send Message"};

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestCmdChannel : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void closedGateSendsNothingButPauses_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("pause");
        QTest::newRow("serial") << Kind::Serial << 100;
        QTest::newRow("visa") << Kind::Visa << 200;
    }
    void closedGateSendsNothingButPauses()
    {
        QFETCH(Kind, kind);
        QFETCH(int, pause);
        LinkFixture f;
        choose(f, kind);
        QVERIFY(f.connect());
        DisconnectInstrument();
        f.sim.clearLog();
        const int outputsBefore = int(f.serial->outputs().size());

        const qint64 t0 = f.clock.nowMs();
        SendCommand(QStringLiteral(":RUN"));
        QCOMPARE(f.clock.nowMs() - t0, qint64(pause));
        const qint64 t1 = f.clock.nowMs();
        QCOMPARE(QueryString(QStringLiteral(":CHANNEL1:SCALE?")), QString());
        QCOMPARE(f.clock.nowMs(), t1); // no wait, no read
        QVERIFY(f.lines().isEmpty());
        QCOMPARE(int(f.serial->outputs().size()), outputsBefore);
        QVERIFY(f.fakeUi.messages().isEmpty());
        // Block reads are gated the same way.
        int n = 7;
        app().link.WorkPts[1] = 42;
        VisaReadWaveBlock(n, 601);
        VisaReadSystemData();
        QByteArray screen(10, 'x');
        ReadScreenImage(screen);
        QCOMPARE(n, 7);
        QCOMPARE(app().link.WorkPts[1], 42);
        QCOMPARE(screen, QByteArray(10, 'x'));
        QVERIFY(f.lines().isEmpty());
        QCOMPARE(f.clock.nowMs(), t1);
    }

    void repliesOfBothTransports_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("reply");
        QTest::newRow("serial: cut before the LF") << Kind::Serial << QStringLiteral("1.000e+00");
        QTest::newRow("visa: as read, LF kept") << Kind::Visa << QStringLiteral("1.000e+00\n");
    }
    void repliesOfBothTransports()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, reply);
        LinkFixture f;
        choose(f, kind);
        QVERIFY(f.connect());
        const qint64 t0 = f.clock.nowMs();
        QCOMPARE(QueryString(QStringLiteral(":CHANNEL1:SCALE?")), reply);
        QCOMPARE(CutAtLF(reply), QStringLiteral("1.000e+00"));
        if (kind == Kind::Visa)
            QCOMPARE(f.clock.nowMs(), t0); // a query carries no pause
        SendCommand(QStringLiteral(":CHANNEL1:SCALE 500MV"));
        QCOMPARE(CutAtLF(QueryString(QStringLiteral(":CHANNEL1:SCALE?"))), QStringLiteral("5.000e-01"));
        QCOMPARE(f.lines(), (QList<QByteArray>{":CHANNEL1:SCALE?", ":CHANNEL1:SCALE 500MV", ":CHANNEL1:SCALE?"}));
        QVERIFY(f.fakeUi.messages().isEmpty());
    }

    // A Stop that comes after a query went out but before its reply was
    // awaited (in the pause after a block's query, in the pacing of a serial
    // line): the reply is taken as given up, never as the next query's. No
    // message, the link kept.
    void aQueryStoppedBeforeItsReplyWasAwaited_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("block");
        QTest::newRow("serial, setup block") << Kind::Serial << true;
        QTest::newRow("serial, text reply") << Kind::Serial << false;
        QTest::newRow("visa, setup block") << Kind::Visa << true;
    }
    void aQueryStoppedBeforeItsReplyWasAwaited()
    {
        QFETCH(Kind, kind);
        QFETCH(bool, block);
        LinkFixture f;
        choose(f, kind);
        QVERIFY(f.connect());
        // The Stop, handled in the first pause after the line went out.
        auto stop = appClock().makeTimer();
        stop->setSingleShot(true);
        stop->onTimeout = [] { abandonExchange(); };
        {
            const LinkExchange exchange;
            stop->start(1);
            if (block) {
                SendCommand(QStringLiteral(":SYSTEM:DATA?"));
                bool received = true;
                if (kind == Kind::Serial)
                    received = ComWaitBlock();
                else
                    VisaReadSystemData(&received);
                QVERIFY(!received);
            } else {
                QCOMPARE(QueryString(QStringLiteral(":CHANNEL1:SCALE?")), QString());
            }
        }
        QVERIFY(!stop->isActive());
        QCOMPARE(CutAtLF(QueryString(QStringLiteral("*IDN?"))),
                 QStringLiteral("KARVO TECHNOLOGIES,QM4102CD,SN000001,00.04.01"));
        QCOMPARE(CutAtLF(QueryString(QStringLiteral(":CHANNEL1:SCALE?"))), QStringLiteral("1.000e+00"));
        QVERIFY(f.fakeUi.messages().isEmpty());
        QVERIFY(app().link.LinkConnected);
    }

    void anyOtherIoTypeIsVisa()
    {
        LinkFixture f;
        f.useVisa();
        app().link.IoType = 1;
        QVERIFY(f.connect());
        QCOMPARE(QueryString(QStringLiteral("*IDN?")),
                 QStringLiteral("KARVO TECHNOLOGIES,QM4102CD,SN000001,00.04.01\n"));
        QVERIFY(f.serial->outputs().isEmpty());
        QCOMPARE(CmdText(QStringLiteral("CHANNEL1")), QStringLiteral("CHANNEL1"));
    }

    void linesThatCannotGoOutAreRefused_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("pause");
        for (Kind k : {Kind::Serial, Kind::Visa}) {
            const char *name = k == Kind::Serial ? "serial" : "visa";
            const int pause = k == Kind::Serial ? 100 : 200;
            QTest::addRow("%s: LF inside", name) << k << QStringLiteral(":RUN\n:STOP") << pause;
            QTest::addRow("%s: CR inside", name) << k << QStringLiteral(":RUN\r:STOP") << pause;
            QTest::addRow("%s: trailing LF", name) << k << QStringLiteral(":RUN\n") << pause;
            QTest::addRow("%s: CR LF", name) << k << QStringLiteral("*IDN?\r\n") << pause;
            // A header, its blank and no argument.
            QTest::addRow("%s: no argument", name) << k << QStringLiteral(":TRIGGER:EDGE:LEVEL ") << pause;
            QTest::addRow("%s: blanks for an argument", name) << k << QStringLiteral(":CHANNEL1:SCALE   ") << pause;
            QTest::addRow("%s: query without its argument", name) << k << QStringLiteral(":MEASURE:VPP? ") << pause;
        }
    }
    void linesThatCannotGoOutAreRefused()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, line);
        QFETCH(int, pause);
        LinkFixture f;
        choose(f, kind);
        QVERIFY(f.connect());
        const int outputs = int(f.serial->outputs().size());
        const qint64 t0 = f.clock.nowMs();
        SendCommand(line);
        QCOMPARE(f.clock.nowMs() - t0, qint64(pause));
        const qint64 t1 = f.clock.nowMs();
        QCOMPARE(QueryString(line), QString());
        QCOMPARE(f.clock.nowMs(), t1);
        QVERIFY(f.lines().isEmpty());
        QCOMPARE(int(f.serial->outputs().size()), outputs);
        QVERIFY(f.fakeUi.messages().isEmpty());
        QCOMPARE(app().link.LinkConnected, qint16(-1));
        // The link still works.
        QCOMPARE(CutAtLF(QueryString(QStringLiteral(":TRIGGER:STATUS?"))), QStringLiteral("RUN"));
    }

    void pacingFollowsTheBaudRate_data()
    {
        QTest::addColumn<QString>("baud");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("pacing");
        QTest::newRow("9600, 15 characters") << QStringLiteral("9600") << 15 << 50;
        QTest::newRow("4800, 10 characters: 68.75 rounds to 69") << QStringLiteral("4800") << 10 << 69;
        QTest::newRow("2400, 4 characters: 62.5 rounds to 62") << QStringLiteral("2400") << 4 << 62;
        QTest::newRow("300, 4 characters") << QStringLiteral("300") << 4 << 500;
        QTest::newRow("19200: floor of 3 ms") << QStringLiteral("19200") << 4 << 15;
        QTest::newRow("38400: floor of 3 ms") << QStringLiteral("38400") << 15 << 48;
        QTest::newRow("blanks around the rate") << QStringLiteral(" 9600 ") << 15 << 50;
    }
    void pacingFollowsTheBaudRate()
    {
        QFETCH(QString, baud);
        QFETCH(int, length);
        QFETCH(int, pacing);
        QCOMPARE(ComPacingMs(baud, length), pacing);

        LinkFixture f;
        f.useSerial();
        app().link.BaudRateText = baud;
        QVERIFY(f.connect());
        QCOMPARE(f.serial->settings(), baud.trimmed() + QStringLiteral(",n,8,1"));
        const QString cmd = QString(":KEY:F1").leftJustified(length, QLatin1Char('X'), true);
        const qint64 t0 = f.clock.nowMs();
        SendCommand(cmd);
        QCOMPARE(f.clock.nowMs() - t0, qint64(pacing + 100));
        QCOMPARE(f.serial->outputs().last(), cmd.toLatin1() + '\n');
        // A query is paced but not paused.
        f.sim.clearFaults();
        const qint64 t1 = f.clock.nowMs();
        const QString q = QStringLiteral("*IDN?");
        QVERIFY(!QueryString(q).isEmpty());
        QCOMPARE(f.clock.nowMs() - t1, qint64(ComPacingMs(baud, int(q.size()))));
    }

    // A serial reply that does not come within its time-out is a failed
    // exchange, as a failed VISA read is: the user is told once, the link is
    // lost and its lamp turns red.
    void serialSilenceLosesTheLink()
    {
        LinkFixture f;
        f.useSerial();
        QVERIFY(f.connect());
        Qm4100Sim::Faults faults;
        faults.noReply = true;
        f.sim.setFaults(faults);
        const qint64 t0 = f.clock.nowMs();
        QCOMPARE(QueryString(QStringLiteral(":CHANNEL1:SCALE?")), QString());
        const qint64 waited = f.clock.nowMs() - t0 - ComPacingMs(QStringLiteral("9600"), 16);
        QVERIFY2(waited >= 3900 && waited <= 4000, qPrintable(QString::number(waited)));
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().at(0).text, QStringLiteral("Can't Read data from Device!"));
        QCOMPARE(f.fakeUi.messages().at(0).icon, MsgIcon::Exclamation);
        QCOMPARE(app().link.LinkConnected, qint16(0));
        QVERIFY(!linkIndicator().connectedLampOn());
        QCOMPARE(f.lines(), (QList<QByteArray>{":CHANNEL1:SCALE?"}));
    }

    void serialTimeOutCountsFromEachChunk()
    {
        LinkFixture f;
        f.useSerial();
        QVERIFY(f.connect());
        Qm4100Sim::Faults faults;
        faults.noReply = true;
        f.sim.setFaults(faults);
        // Pieces 3.5 s apart: no silence reaches 40 ticks.
        f.serial->queue("5.0", 3500);
        f.serial->queue("00e-01", 7000);
        f.serial->queue("\nX", 10500);
        QCOMPARE(QueryString(QStringLiteral(":CHANNEL1:SCALE?")), QStringLiteral("5.000e-01"));
        QVERIFY(f.fakeUi.messages().isEmpty());
        // A reply later than 4 s is not awaited: a failed exchange.
        f.serial->queue("1.0\n", 4100);
        QCOMPARE(QueryString(QStringLiteral(":CHANNEL1:SCALE?")), QString());
        QCOMPARE(app().link.LinkConnected, qint16(0));
        QCOMPARE(f.fakeUi.messages().size(), 1);
    }

    void visaPausesAndWaitsOnTheClock()
    {
        LinkFixture f;
        f.useVisa();
        QVERIFY(f.connect());
        Qm4100Sim::Faults faults;
        faults.delayMs = 9000;
        f.sim.setFaults(faults);
        const qint64 t0 = f.clock.nowMs();
        QCOMPARE(QueryString(QStringLiteral(":TRIGGER:STATUS?")), QStringLiteral("RUN\n"));
        QCOMPARE(f.clock.nowMs() - t0, qint64(9000));
        QVERIFY(f.fakeUi.messages().isEmpty());
    }

    // Every failure row of the command channel and the VISA link, and the
    // serial port that cannot be opened, in both languages.
    void failureRows_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("connectedBefore");
        const struct {
            const char *name;
            Texts text;
            Texts title;
            bool connected;
        } rows[] = {
            {"serial write refused", {"The device refused the bytes", "The device refused the bytes"}, Rs232Send, true},
            {"visa write status", CannotConnect, DeviceSend, true},
            {"visa read time-out", ReadFailed, DeviceRead, true},
            {"visa read failure", ReadFailed, DeviceRead, true},
            {"visa reply over 256 bytes", ReadFailed, DeviceRead, true},
            {"visa waveform block read", ReadFailed, DeviceRead, true},
            {"visa setup block read", ReadFailed, DeviceRead, true},
            {"visa screen read", ReadFailed, DeviceRead, true},
            {"visa: no resource found", CannotConnect, DeviceInit, false},
            {"visa: open refused", CannotConnect, DeviceInit, false},
            {"serial: missing port", BadPort, Rs232Init, false},
        };
        int i = 0;
        for (const auto &r : rows) {
            for (int lang : {0, 1})
                QTest::addRow("%s, lang %d", r.name, lang)
                    << i << lang << r.title.in(lang) << r.text.in(lang) << r.connected;
            ++i;
        }
    }
    void failureRows()
    {
        QFETCH(int, row);
        QFETCH(int, lang);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(bool, connectedBefore);
        LinkFixture f(lang);
        if (row == 0 || row == 10)
            f.useSerial();
        else
            f.useVisa();
        if (connectedBefore)
            QVERIFY(f.connect());
        SimVisaBackend::Resource *res = f.backend->resource(QString::fromLatin1(SimUsb1));
        Qm4100Sim::Faults faults;
        QString reply = QStringLiteral("unchanged");
        switch (row) {
        case 0:
            f.serial->setFailOutput(true);
            reply = QueryString(QStringLiteral("*IDN?"));
            break;
        case 1:
            res->writeStatus = VI_ERROR_IO;
            reply = QueryString(QStringLiteral("*IDN?"));
            break;
        case 2: {
            faults.noReply = true;
            f.sim.setFaults(faults);
            const qint64 t0 = f.clock.nowMs();
            reply = QueryString(QStringLiteral("*IDN?"));
            QCOMPARE(f.clock.nowMs() - t0, qint64(10000));
            break;
        }
        case 3:
            res->readStatus = VI_ERROR_CONN_LOST;
            reply = QueryString(QStringLiteral("*IDN?"));
            break;
        case 4:
            faults.longText = true;
            f.sim.setFaults(faults);
            reply = QueryString(QStringLiteral("*IDN?"));
            break;
        case 5: {
            SendCommand(QStringLiteral(":WAVEFORM:DATA? CHANNEL1"));
            res->readStatus = VI_ERROR_IO;
            int n = 5;
            app().link.WorkPts[1] = 99;
            VisaReadWaveBlock(n, 601);
            QCOMPARE(n, 5);
            QCOMPARE(app().link.WorkPts[1], 99);
            reply = QString();
            break;
        }
        case 6:
            SendCommand(QStringLiteral(":SYSTEM:DATA?"));
            res->readStatus = VI_ERROR_TMO;
            VisaReadSystemData();
            reply = QString();
            break;
        case 7: {
            res->readStatus = VI_ERROR_IO;
            QByteArray screen;
            ReadScreenImage(screen);
            reply = QString();
            break;
        }
        case 8:
            f.backend->removeResource(QString::fromLatin1(SimUsb1));
            ConnectInstrument();
            reply = QString();
            break;
        case 9:
            res->openStatus = VI_ERROR_RSRC_BUSY;
            ConnectInstrument();
            reply = QString();
            break;
        case 10:
            app().link.ComPortNumber = 5; // the stand-in has port 1 only
            ConnectInstrument();
            reply = QString();
            break;
        }
        QCOMPARE(reply, QString());
        QCOMPARE(f.fakeUi.messages().size(), 1);
        const RecordedMessage &m = f.fakeUi.messages().first();
        QCOMPARE(m.icon, MsgIcon::Exclamation);
        QCOMPARE(m.buttons, MsgButtons::Ok);
        QCOMPARE(m.title, title);
        QCOMPARE(m.text, text);
        QCOMPARE(app().link.LinkConnected, qint16(0));
        QVERIFY(!linkIndicator().connectedLampOn());
        QVERIFY(linkIndicator().disconnectedLampOn());
        if (!connectedBefore) {
            QCOMPARE(app().link.LinkOpened, qint16(0));
            QVERIFY(f.lines().isEmpty()); // an open that fails sends no line
        }
        // From now on nothing is written and nothing is shown.
        f.sim.clearLog();
        const int outputs = int(f.serial->outputs().size());
        SendCommand(QStringLiteral(":RUN"));
        QCOMPARE(QueryString(QStringLiteral("*IDN?")), QString());
        QVERIFY(f.lines().isEmpty());
        QCOMPARE(int(f.serial->outputs().size()), outputs);
        QCOMPARE(f.fakeUi.messages().size(), 1);
    }

    void serialWriteFailureTakesNoPacing()
    {
        LinkFixture f;
        f.useSerial();
        QVERIFY(f.connect());
        f.serial->setFailOutput(true);
        const qint64 t0 = f.clock.nowMs();
        SendCommand(QStringLiteral(":CHANNEL1:SCALE 1V"));
        QCOMPARE(f.clock.nowMs() - t0, qint64(100));
    }

    void lampsSignalEveryChange()
    {
        LinkFixture f;
        f.useVisa();
        QSignalSpy spy(&linkIndicator(), &LinkIndicator::lampsChanged);
        QVERIFY(f.connect());
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.last().at(0).toBool(), true);
        QVERIFY(linkIndicator().connectedLampOn());
        QVERIFY(!linkIndicator().disconnectedLampOn());
        f.backend->resource(QString::fromLatin1(SimUsb1))->readStatus = VI_ERROR_IO;
        QueryString(QStringLiteral("*IDN?"));
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy.last().at(0).toBool(), false);
        QVERIFY(!linkIndicator().connectedLampOn());
        QVERIFY(linkIndicator().disconnectedLampOn());
    }
};

QTEST_MAIN(TestCmdChannel)
#include "tst_cmdchannel.moc"
