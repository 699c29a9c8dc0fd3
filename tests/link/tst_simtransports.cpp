// The two in-process transports of the simulator the link tests stand on: the
// sim VISA backend (read statuses by resource kind, late and missing replies,
// device clear, transport faults) and the serial stand-in.
#include "linkfixture.h"

namespace {

QByteArray readOnce(ViSession vi, ViUInt32 count, ViStatus *st)
{
    QByteArray buf(int(count), '\0');
    ViUInt32 n = 0;
    *st = viRead(vi, reinterpret_cast<ViBuf>(buf.data()), count, &n);
    return buf.left(int(n));
}

void writeLine(ViSession vi, const QByteArray &line)
{
    QCOMPARE(viWrite(vi, reinterpret_cast<ViConstBuf>(line.constData()), ViUInt32(line.size()), nullptr), VI_SUCCESS);
}

} // namespace

class TestSimTransports : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void usbKindReadsWholeReplies()
    {
        LinkFixture f;
        f.useVisa(SimUsb1);
        ViSession vi = VI_NULL;
        QCOMPARE(viOpen(app().link.DefaultRM, SimUsb1, VI_NULL, 0, &vi), VI_SUCCESS);
        QCOMPARE(viSetAttribute(vi, VI_ATTR_ASRL_BAUD, 9600), VI_ERROR_NSUP_ATTR);
        writeLine(vi, ":TRIGGER:STATUS?\n");
        ViStatus st;
        QCOMPARE(readOnce(vi, 2, &st), QByteArray("RU"));
        QCOMPARE(st, VI_SUCCESS_MAX_CNT);
        QCOMPARE(readOnce(vi, 2, &st), QByteArray("N\n")); // the end of the reply
        QCOMPARE(st, VI_SUCCESS);
        // Two replies are two messages.
        writeLine(vi, "*IDN?\n:TRIGGER:STATUS?\n");
        QCOMPARE(readOnce(vi, 256, &st), QByteArray("KARVO TECHNOLOGIES,QM4102CD,SN000001,00.04.01\n"));
        QCOMPARE(readOnce(vi, 256, &st), QByteArray("RUN\n"));
        // Nothing more: the whole time-out passes on the clock.
        QCOMPARE(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 3000), VI_SUCCESS);
        const qint64 t0 = f.clock.nowMs();
        QCOMPARE(readOnce(vi, 256, &st), QByteArray());
        QCOMPARE(st, VI_ERROR_TMO);
        QCOMPARE(f.clock.nowMs() - t0, qint64(3000));
    }

    void serialKindIsAStreamEndingAtLineFeeds()
    {
        LinkFixture f;
        f.useVisa(SimAsrl1);
        ViSession vi = VI_NULL;
        QCOMPARE(viOpen(app().link.DefaultRM, "asrl1::instr", VI_NULL, 0, &vi), VI_SUCCESS);
        QCOMPARE(viSetAttribute(vi, VI_ATTR_ASRL_BAUD, 38400), VI_SUCCESS);
        ViAttrState baud = 0;
        QCOMPARE(viGetAttribute(vi, VI_ATTR_ASRL_BAUD, &baud), VI_SUCCESS);
        QCOMPARE(baud, ViAttrState(38400));
        writeLine(vi, ":TRIGGER:STATUS?\n:TRIGGER:STATUS?\n");
        ViStatus st;
        QCOMPARE(readOnce(vi, 2, &st), QByteArray("RU"));
        QCOMPARE(st, VI_SUCCESS_MAX_CNT);
        QCOMPARE(readOnce(vi, 256, &st), QByteArray("N\n"));
        QCOMPARE(st, VI_SUCCESS);
        QCOMPARE(readOnce(vi, 4, &st), QByteArray("RUN\n")); // LF as the last counted byte
        QCOMPARE(st, VI_SUCCESS);
        // The 113-byte setup form.
        writeLine(vi, ":SYSTEM:DATA?\n");
        QByteArray form(113, '\0');
        QCOMPARE(VisaReadExact(vi, reinterpret_cast<ViBuf>(form.data()), 113), VI_SUCCESS);
        QCOMPARE(form, f.sim.setupBlock().left(112) + '\n');
    }

    void lateRepliesAndClear()
    {
        LinkFixture f;
        f.useVisa(SimUsb1);
        ViSession vi = VI_NULL;
        QCOMPARE(viOpen(app().link.DefaultRM, SimUsb1, VI_NULL, 0, &vi), VI_SUCCESS);
        QCOMPARE(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 2000), VI_SUCCESS);
        Qm4100Sim::Faults faults;
        faults.delayMs = 1500;
        f.sim.setFaults(faults);
        writeLine(vi, ":TRIGGER:STATUS?\n");
        ViStatus st;
        qint64 t0 = f.clock.nowMs();
        QCOMPARE(readOnce(vi, 256, &st), QByteArray("RUN\n"));
        QCOMPARE(f.clock.nowMs() - t0, qint64(1500));
        faults.delayMs = 2500;
        f.sim.setFaults(faults);
        writeLine(vi, ":TRIGGER:STATUS?\n");
        t0 = f.clock.nowMs();
        QCOMPARE(readOnce(vi, 256, &st), QByteArray());
        QCOMPARE(st, VI_ERROR_TMO);
        QCOMPARE(f.clock.nowMs() - t0, qint64(2000));
        // The late reply is still held; a device clear drops it.
        const int clears = f.sim.deviceClears();
        QCOMPARE(viClear(vi), VI_SUCCESS);
        QCOMPARE(f.sim.deviceClears(), clears + 1);
        f.sim.clearFaults();
        f.clock.advance(5000);
        QCOMPARE(readOnce(vi, 256, &st), QByteArray());
        QCOMPARE(st, VI_ERROR_TMO);
    }

    void transportFaults()
    {
        LinkFixture f;
        f.useVisa(SimUsb1);
        SimVisaBackend::Resource *res = f.backend->resource(QString::fromLatin1(SimUsb1));
        ViSession vi = VI_NULL;
        res->openStatus = VI_ERROR_RSRC_BUSY;
        QCOMPARE(viOpen(app().link.DefaultRM, SimUsb1, VI_NULL, 0, &vi), VI_ERROR_RSRC_BUSY);
        res->openStatus = VI_SUCCESS;
        QCOMPARE(viOpen(app().link.DefaultRM, SimUsb1, VI_NULL, 0, &vi), VI_SUCCESS);
        res->writeStatus = VI_ERROR_IO;
        QCOMPARE(viWrite(vi, reinterpret_cast<ViConstBuf>("*IDN?\n"), 6, nullptr), VI_ERROR_IO);
        QVERIFY(f.sim.lines().isEmpty());
        res->writeStatus = VI_SUCCESS;
        writeLine(vi, "*IDN?\n");
        res->readStatus = VI_ERROR_CONN_LOST;
        ViStatus st;
        readOnce(vi, 256, &st);
        QCOMPARE(st, VI_ERROR_CONN_LOST);
        res->readStatus = VI_SUCCESS;
        QVERIFY(readOnce(vi, 256, &st).startsWith("KARVO")); // nothing was taken
    }

    void serialStandIn()
    {
        Qm4100Sim sim;
        VirtualClock clock;
        setAppClock(&clock);
        SimSerial port(&sim);
        QSignalSpy events(&port, &CommPort::OnComm);
        QVERIFY(!port.setOutput("*IDN?\n")); // closed
        QVERIFY(port.setSettings(QStringLiteral("19200,n,8,1")));
        QVERIFY(!port.setSettings(QStringLiteral("fast")));
        QCOMPARE(port.settings(), QStringLiteral("19200,n,8,1"));
        QVERIFY(port.setCommPort(2));
        QVERIFY(!port.setPortOpen(true)); // only port 1 exists
        QCOMPARE(port.errorString(), QStringLiteral("Invalid port number"));
        port.setPortCount(2);
        QVERIFY(port.setPortOpen(true));
        QVERIFY(!port.setCommPort(1)); // not while open

        Qm4100Sim::Faults faults;
        faults.splitReply = true;
        faults.delayMs = 300;
        sim.setFaults(faults);
        QVERIFY(port.setOutput(":SYSTEM:DA"));
        QVERIFY(port.setOutput("TA?\n"));
        QCOMPARE(sim.lines(), QList<QByteArray>{":SYSTEM:DATA?"});
        QCOMPARE(port.pendingPieces(), 3); // [2 bytes][2 bytes][payload]
        QVERIFY(!port.deliverNext());      // not due yet
        port.pumpOnce(clock, 300);
        QVERIFY(port.deliverNext());
        QCOMPARE(events.size(), 1);
        QCOMPARE(events.first().at(0).toInt(), CommPort::ReceiveEvent);
        port.setInputLen(1);
        QCOMPARE(port.input(), QByteArray(1, char(116)));
        port.setInputLen(0);
        QCOMPARE(port.input(), QByteArray(1, '\0'));
        QVERIFY(port.deliverNext());
        QVERIFY(port.deliverNext());
        QCOMPARE(port.input(), QByteArray(2, '\0') + sim.setupBlock());
        QCOMPARE(port.outputs(), (QList<QByteArray>{":SYSTEM:DA", "TA?\n"}));
        port.setFailOutput(true);
        QVERIFY(!port.setOutput("*IDN?\n"));
        QVERIFY(!port.errorString().isEmpty());
        setAppClock(nullptr);
    }
};

QTEST_MAIN(TestSimTransports)
#include "tst_simtransports.moc"
