// qm4100-sim, the program: serves the instrument on a pseudo-terminal that a
// client opens with QSerialPort, in both framings of binary replies.

#include "support/pty.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QtTest>

#include <csignal>

namespace {

// Bounded waits on a real process and a real device: a few seconds at most.
constexpr int kWaitMs = 5000;

QByteArray readLine(QSerialPort &port)
{
    QByteArray got;
    QElapsedTimer t;
    t.start();
    while (!got.contains('\n') && t.elapsed() < kWaitMs) {
        if (port.bytesAvailable() == 0)
            port.waitForReadyRead(100);
        got += port.readAll();
    }
    return got;
}

QByteArray readCount(QSerialPort &port, int count)
{
    QByteArray got;
    QElapsedTimer t;
    t.start();
    while (got.size() < count && t.elapsed() < kWaitMs) {
        if (port.bytesAvailable() == 0)
            port.waitForReadyRead(100);
        got += port.readAll();
    }
    // anything more than asked for would show here
    port.waitForReadyRead(100);
    got += port.readAll();
    return got;
}

} // namespace

class TstSimProgram : public QObject {
    Q_OBJECT

private:
    QString startSim(QProcess &p, const QStringList &args)
    {
        p.start(QStringLiteral(KELVO_SIM_BINARY), args);
        if (!p.waitForStarted(kWaitMs))
            return QString();
        QByteArray out;
        QElapsedTimer t;
        t.start();
        while (!out.contains('\n') && t.elapsed() < kWaitMs) {
            p.waitForReadyRead(100);
            out += p.readAllStandardOutput();
        }
        return QString::fromUtf8(out.left(out.indexOf('\n')));
    }

    void stopSim(QProcess &p)
    {
        p.terminate();   // SIGTERM
        QVERIFY(p.waitForFinished(kWaitMs));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
    }

private slots:
    void servesOverPseudoTerminal_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("prefix");
        QTest::newRow("default") << QStringList{} << true;
        QTest::newRow("prefix") << QStringList{"--framing=prefix"} << true;
        QTest::newRow("visa") << QStringList{"--framing=visa"} << false;
    }

    void servesOverPseudoTerminal()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, prefix);
        QProcess sim;
        const QString path = startSim(sim, args);
        QVERIFY2(path.startsWith("/dev/"), qPrintable(path));

        QSerialPort port;
        port.setPortName(path);
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        port.setBaudRate(9600);

        port.write("*IDN?\n");
        QCOMPARE(readLine(port), QByteArray("KARVO TECHNOLOGIES,QM4102CD,SN000001,00.04.01\n"));

        // a set is not answered; its query gives the value back
        port.write(":CHANNEL1:SCALE 500MV\n");
        port.write(":CHANNEL1:SCALE?\n");
        QCOMPARE(readLine(port), QByteArray("5.000e-01\n"));

        // the setup block in the framing asked for
        port.write(":SYSTEM:DATA?\n");
        const QByteArray setup = readCount(port, prefix ? 120 : 113);
        if (prefix) {
            QCOMPARE(setup.size(), 120);
            QCOMPARE(setup.left(4), QByteArray("\x74\x00\x00\x00", 4));
        } else {
            QCOMPARE(setup.size(), 113);
            QCOMPARE(setup.back(), '\n');
        }
        port.write(":WAVEFORM:DATA? CHANNEL1\n");
        const QByteArray block = readCount(port, prefix ? 605 : 601);
        QCOMPARE(block.size(), prefix ? 605 : 601);
        QCOMPARE(block.back(), '\n');

        // an unknown query is not answered; the next one is
        port.write(":NOSUCH:THING?\n");
        port.write(":TRIGGER:STATUS?\n");
        QCOMPARE(readLine(port), QByteArray("RUN\n"));

        port.close();
        stopSim(sim);
        QVERIFY(sim.readAllStandardError().contains("refused: :NOSUCH:THING?"));
    }

    // SIGTERM and SIGINT end the program at once whatever it is doing, and its
    // device goes with it.
    void stopsAtOnce_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("send");      // what the client writes first
        QTest::addColumn<QByteArray>("waitFor");   // "reply": the first bytes of it; "stderr": a refusal
        QTest::addColumn<bool>("closeFirst");      // the client closes the device before the signal
        QTest::addColumn<int>("signal");
        const QByteArray screens = ":LCD:DATA?\n:LCD:DATA?\n:LCD:DATA?\n";   // far more than the device holds
        QTest::newRow("idle, SIGTERM") << QStringList{} << QByteArray() << QByteArray() << false << SIGTERM;
        QTest::newRow("idle, SIGINT") << QStringList{} << QByteArray() << QByteArray() << false << SIGINT;
        QTest::newRow("reply not read, SIGTERM") << QStringList{} << screens << QByteArray("reply") << false
                                                 << SIGTERM;
        QTest::newRow("reply not read, SIGINT") << QStringList{"--framing=visa"} << screens << QByteArray("reply")
                                                << false << SIGINT;
        QTest::newRow("reply left by a closed client") << QStringList{} << screens << QByteArray("reply") << true
                                                       << SIGTERM;
        QTest::newRow("late reply held") << QStringList{"--delay-ms=600000"} << QByteArray("BOGUS\n*IDN?\n")
                                         << QByteArray("stderr") << false << SIGTERM;
        QTest::newRow("split reply held") << QStringList{"--split", "--delay-ms=600000"}
                                          << QByteArray("BOGUS\n:SYSTEM:DATA?\n") << QByteArray("stderr") << false
                                          << SIGINT;
    }

    void stopsAtOnce()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, send);
        QFETCH(QByteArray, waitFor);
        QFETCH(bool, closeFirst);
        QFETCH(int, signal);
        QProcess sim;
        const QString path = startSim(sim, args);
        QVERIFY2(path.startsWith("/dev/"), qPrintable(path));
        QSerialPort port;
        port.setPortName(path);
        QVERIFY(port.open(QIODevice::ReadWrite));
        const timespec made = ptyNodeChangeTime(path);
        if (!send.isEmpty()) {
            port.write(send);
            QVERIFY(port.waitForBytesWritten(kWaitMs));
        }
        if (waitFor == "reply") {
            // the reply has begun; from here on the client takes nothing more
            QVERIFY(port.waitForReadyRead(kWaitMs));
        } else if (waitFor == "stderr") {
            // the refusal is reported just before the next line's reply is held
            QByteArray err;
            QElapsedTimer t;
            t.start();
            sim.setReadChannel(QProcess::StandardError);
            while (!err.contains("refused: BOGUS") && t.elapsed() < kWaitMs) {
                sim.waitForReadyRead(100);
                err += sim.readAllStandardError();
            }
            QVERIFY(err.contains("refused: BOGUS"));
        }
        if (closeFirst)
            port.close();
        QCOMPARE(::kill(pid_t(sim.processId()), signal), 0);
        QVERIFY2(sim.waitForFinished(kWaitMs), "the simulator did not end on the signal");
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
        QVERIFY2(ptyNodeGone(path, made), qPrintable(path + " is still there"));
    }

    void rejectsUnknownOption()
    {
        QProcess sim;
        sim.start(QStringLiteral(KELVO_SIM_BINARY), {"--framing=usb"});
        QVERIFY(sim.waitForFinished(kWaitMs));
        QCOMPARE(sim.exitCode(), 2);
        QVERIFY(sim.readAllStandardOutput().isEmpty());
    }

    void faultOptions()
    {
        // a length prefix split across reads still adds up to the whole block
        {
            QProcess sim;
            const QString path = startSim(sim, {"--split"});
            QSerialPort port;
            port.setPortName(path);
            QVERIFY(port.open(QIODevice::ReadWrite));
            port.write(":SYSTEM:DATA?\n");
            QVERIFY(port.waitForReadyRead(kWaitMs));
            const QByteArray first = port.readAll();
            // the first piece comes alone (the simulator pauses 50 ms between pieces)
            QVERIFY2(first.size() == 2 || first.size() == 4, qPrintable(QString::number(first.size())));
            const QByteArray rest = readCount(port, 118);
            QCOMPARE(first.size() + rest.size(), 120);
            QCOMPARE((first + rest).left(4), QByteArray("\x74\x00\x00\x00", 4));
            port.close();
            stopSim(sim);
        }
        // no reply at all, another identity
        {
            QProcess sim;
            const QString path = startSim(sim, {"--no-reply"});
            QSerialPort port;
            port.setPortName(path);
            QVERIFY(port.open(QIODevice::ReadWrite));
            port.write("*IDN?\n");
            QVERIFY(!port.waitForReadyRead(300));
            port.close();
            stopSim(sim);
        }
        {
            QProcess sim;
            const QString path = startSim(sim, {"--identity=ACME,QM4102CD,SN1,1", "--framing=visa"});
            QSerialPort port;
            port.setPortName(path);
            QVERIFY(port.open(QIODevice::ReadWrite));
            port.write("*IDN?\n");
            QCOMPARE(readLine(port), QByteArray("ACME,QM4102CD,SN1,1\n"));
            port.close();
            stopSim(sim);
        }
    }

    // Value faults by option; SIGUSR1 silences the instrument, SIGUSR2 makes
    // it answer again; --help tells of both.
    void valueFaultsAndSilenceAtRunTime()
    {
        QProcess sim;
        const QString path = startSim(sim, {"--value-mark=<", "--value-fault-to=:CHANNEL2:OFFSET?"});
        QSerialPort port;
        port.setPortName(path);
        QVERIFY(port.open(QIODevice::ReadWrite));
        port.write(":CHANNEL2:OFFSET?\n");
        QCOMPARE(readLine(port), QByteArray("<0.000e+00\n"));
        port.write(":CHANNEL1:OFFSET?\n");
        QCOMPARE(readLine(port), QByteArray("0.000e+00\n"));
        ::kill(pid_t(sim.processId()), SIGUSR1);
        QTest::qWait(100);
        port.write("*IDN?\n");
        QVERIFY(!port.waitForReadyRead(300));
        ::kill(pid_t(sim.processId()), SIGUSR2);
        QTest::qWait(100);
        port.write(":CHANNEL2:OFFSET?\n");
        QCOMPARE(readLine(port), QByteArray("<0.000e+00\n"));
        port.close();
        stopSim(sim);

        QProcess absurd;
        const QString path2 = startSim(absurd, {"--absurd-value=1e600", "--value-fault-to=:TRIGGER:EDGE:LEVEL?"});
        QSerialPort port2;
        port2.setPortName(path2);
        QVERIFY(port2.open(QIODevice::ReadWrite));
        port2.write(":TRIGGER:EDGE:LEVEL?\n");
        QCOMPARE(readLine(port2), QByteArray("1e600\n"));
        port2.close();
        stopSim(absurd);

        QProcess help;
        help.start(QStringLiteral(KELVO_SIM_BINARY), {"--help"});
        QVERIFY(help.waitForFinished(kWaitMs));
        QCOMPARE(help.exitCode(), 0);
        const QByteArray text = help.readAllStandardOutput();
        for (const char *word : {"SIGUSR1", "SIGUSR2", "--value-mark", "--absurd-value", "--late-reply-to"})
            QVERIFY2(text.contains(word), word);
    }

    void monochromeOption()
    {
        QProcess sim;
        const QString path = startSim(sim, {"--mono"});
        QVERIFY(!path.isEmpty());
        QSerialPort port;
        port.setPortName(path);
        QVERIFY(port.open(QIODevice::ReadWrite));
        port.write("*IDN?\n");
        QCOMPARE(readLine(port).at(25), 'M');
        port.close();
        stopSim(sim);
    }
};

QTEST_GUILESS_MAIN(TstSimProgram)
#include "tst_simprogram.moc"
