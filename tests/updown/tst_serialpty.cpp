// One full upload and download over the program's serial-port control, with
// the qm4100-sim program serving the instrument on a pseudo-terminal. Only
// the byte transport is real: pauses and time-outs run on the virtual clock.

#include "updown/updowncases.h"
#include "updown/updownfixture.h"

#include "platform/serialport/serialdevices.h"
#include "platform/serialport/serialportcontrol.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

namespace {

constexpr int kWaitMs = 5000;

QString startSim(QProcess &p)
{
    p.start(QStringLiteral(KELVO_SIM_BINARY), {QStringLiteral("--framing=prefix")});
    if (!p.waitForStarted(kWaitMs))
        return QString();
    QByteArray out;
    QElapsedTimer t;
    t.start();
    while (!out.contains('\n') && t.elapsed() < kWaitMs) {
        p.waitForReadyRead(100);
        out += p.readAllStandardOutput();
    }
    return QString::fromUtf8(out.left(out.indexOf('\n'))).trimmed();
}

} // namespace

class TstSerialPty : public QObject {
    Q_OBJECT

private slots:
    void init() { resetApp(); }

    void uploadAndDownloadOverPseudoTerminal()
    {
        QProcess simProcess;
        const QString path = startSim(simProcess);
        QVERIFY2(path.startsWith(QLatin1String("/dev/")), qPrintable(path));
        const QByteArray savedExtra = qgetenv("KELVOSCOPE_EXTRA_PORTS");
        qputenv("KELVOSCOPE_EXTRA_PORTS", path.toLocal8Bit());
        const int port = int(serialDeviceList().indexOf(path)) + 1;
        QVERIFY(port >= 1);

        {
            UpDownFixture f(Link::Visa); // the in-process simulator stays unused
            SerialCommPort comm;
            setCommControl(&comm);
            // A turn of the pump waits briefly for real bytes; only silence moves time on.
            setPump([&] {
                if (!app().link.RxWaiting)
                    comm.control().waitForInput(0);
                else if (!comm.control().waitForInput(20))
                    f.clock.advance(20);
            });
            app().link.IoType = IoTypeSerial;
            app().link.ComPortNumber = port;
            ConnectInstrument();
            QVERIFY(app().link.LinkConnected);
            setInstrumentLines(nullptr); // the link itself

            app().Settings.reset();
            setCommonCase(app().Settings);
            setMethodCase(app().Settings, QStringLiteral("ALTERNATIVE"));
            const CtrlSettings sent = app().Settings;
            UploadSettings();
            QCOMPARE(app().updown.ProgressSteps, 35);

            CtrlSettings &s = app().Settings;
            s.reset();
            DownloadSettings();
            QCOMPARE(app().updown.ProgressSteps, 75);
            QVERIFY(app().link.LinkConnected);
            QVERIFY(f.fakeUi.messages().isEmpty());

            QCOMPARE(s.TrigMethod, sent.TrigMethod);
            QCOMPARE(s.CH1VoltDiv, sent.CH1VoltDiv);
            QCOMPARE(s.CH2Offset, sent.CH2Offset);
            QCOMPARE(s.CH1Probe, sent.CH1Probe);
            QCOMPARE(s.TimeDiv, sent.TimeDiv);
            QCOMPARE(s.AltCH1Type, sent.AltCH1Type);
            QCOMPARE(s.AltCH1VideoSync, sent.AltCH1VideoSync);
            QCOMPARE(s.AltCH2PulseWidth, sent.AltCH2PulseWidth);
            QCOMPARE(s.AltCH2PulseLevel, QStringLiteral("-0.50div")); // without the offset
            QVERIFY(s.LAChanOn == sent.LAChanOn);
            QVERIFY(s.LAChanPos == sent.LAChanPos);
            QCOMPARE(s.LAThreshold, sent.LAThreshold);
            QCOMPARE(s.DispGrid, sent.DispGrid);

            DisconnectInstrument();
            setCommControl(nullptr);
            comm.setPortOpen(false);
        }
        if (savedExtra.isNull())
            qunsetenv("KELVOSCOPE_EXTRA_PORTS");
        else
            qputenv("KELVOSCOPE_EXTRA_PORTS", savedExtra);
        simProcess.terminate();
        QVERIFY(simProcess.waitForFinished(kWaitMs));
    }
};

QTEST_GUILESS_MAIN(TstSerialPty)
#include "tst_serialpty.moc"
