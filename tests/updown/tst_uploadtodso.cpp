// The settings upload against the simulator: the exact lines for every
// trigger method, the value forms, the pauses on the virtual clock, the
// progress steps, and the rows that send nothing.

#include "updown/updowncases.h"
#include "updown/updownfixture.h"

#include "controller/ctrlcommands.h"
#include "transfer/transferrunner.h"

#include <QtTest>

namespace {

// The lines before the trigger block, for setCommonCase() with method token t.
QStringList commonLines(const QString &t)
{
    return {
        ":RUN",
        ":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":TRIGGER:ALTERNATION:TIMESCALE 20.00US",
        ":TRIGGER:ALTERNATION:TIMEOFFSET 0.0000S",
        ":TRIGGER:ALTERNATION:SOURCE CHANNEL2", ":TRIGGER:ALTERNATION:TIMESCALE 10.00US",
        ":TRIGGER:ALTERNATION:TIMEOFFSET 0.0000S",
        ":TIMEBASE:FORMAT YT", ":TIMEBASE:SCALE 1.000MS", ":TIMEBASE:OFFSET -1.000MS",
        ":CHANNEL1:DISPLAY ON", ":CHANNEL1:PROBE 10", ":CHANNEL1:SCALE 500MV", ":CHANNEL1:OFFSET 200MV",
        ":CHANNEL1:COUPLING DC", ":CHANNEL1:BWLIMIT OFF",
        ":CHANNEL2:DISPLAY ON", ":CHANNEL2:PROBE 1", ":CHANNEL2:SCALE 2.00V", ":CHANNEL2:OFFSET -1.00V",
        ":CHANNEL2:COUPLING AC", ":CHANNEL2:BWLIMIT ON",
        ":TRIGGER:MODE " + t, ":TRIGGER:HOLDOFF 1.00US",
    };
}

// The logic and closing part of setCommonCase().
const QStringList kClosingLines = {
    ":LA:DISPLAY ON", ":LA:STATUS 32897", ":LA:GROUP2:SIZE SMALL", ":LA:GROUP1:SIZE BIG",
    ":LA:LOCATION 1985229328,4275878552", ":LA:THRESHOLD 1.40V",
    ":ACQUIRE:MODE ETIME", ":ACQUIRE:TYPE AVERAGE", ":ACQUIRE:AVERAGES 64",
    ":DISPLAY:TYPE DOTS", ":DISPLAY:PERSIST ON", ":DISPLAY:GRID HALF",
};

} // namespace

class TstUploadToDso : public QObject {
    Q_OBJECT

private slots:
    void init() { resetApp(); }

    void sequencePerMethod_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("token");
        QTest::addColumn<QStringList>("block");
        QTest::addColumn<int>("steps");

        const QStringList edge = {
            ":TRIGGER:EDGE:SOURCE CHANNEL1", ":TRIGGER:EDGE:SLOPE NEGATIVE", ":TRIGGER:EDGE:SWEEP NORMAL",
            ":TRIGGER:EDGE:COUPLING HF", ":TRIGGER:EDGE:SENSITIVITY 0.30div",
            // 1.5 div x 0.5 V/div - 0.2 V
            ":TRIGGER:EDGE:SOURCE?", ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?", ":TRIGGER:EDGE:LEVEL .55",
        };
        const QStringList pulse = {
            ":TRIGGER:PULSE:SOURCE CHANNEL2", ":TRIGGER:PULSE:MODE -GREATERTHAN", ":TRIGGER:PULSE:WIDTH 20.0US",
            ":TRIGGER:PULSE:SWEEP SINGLE", ":TRIGGER:PULSE:COUPLING LF", ":TRIGGER:PULSE:SENSITIVITY 0.50div",
            // 1 div x 2 V/div - (-1 V)
            ":TRIGGER:PULSE:SOURCE?", ":CHANNEL2:SCALE?", ":CHANNEL2:OFFSET?", ":TRIGGER:PULSE:LEVEL 3",
        };
        const QStringList video = {
            ":TRIGGER:VIDEO:SOURCE EXT", ":TRIGGER:VIDEO:POLARITY NEGATIVE", ":TRIGGER:VIDEO:MODE ALLLINES",
            ":TRIGGER:VIDEO:STANDARD PALSECAM", ":TRIGGER:VIDEO:LINE 600", ":TRIGGER:VIDEO:SENSITIVITY 0.20div",
            // EXT: 0.2 V/div, no channel queries
            ":TRIGGER:VIDEO:SOURCE?", ":TRIGGER:VIDEO:LEVEL .4",
        };
        const QStringList slope = {
            ":TRIGGER:SLOPE:SOURCE CHANNEL1", ":TRIGGER:SLOPE:MODE -LESSTHAN", ":TRIGGER:SLOPE:TIME 5.00US",
            ":TRIGGER:SLOPE:WINDOW PB", ":TRIGGER:SLOPE:SWEEP AUTO", ":TRIGGER:SLOPE:COUPLING AC",
            ":TRIGGER:SLOPE:SENSITIVITY 0.10div",
            ":TRIGGER:SLOPE:SOURCE?", ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?", ":TRIGGER:SLOPE:LEVELA -.7",
            ":TRIGGER:SLOPE:SOURCE?", ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?", ":TRIGGER:SLOPE:LEVELB .8",
        };
        const QStringList alt = {
            ":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":TRIGGER:ALTERNATION:TYPE VIDEO",
            ":TRIGGER:ALTERNATION:VIDEO:POLARITY NEGATIVE", ":TRIGGER:ALTERNATION:VIDEO:MODE ODDFIELD",
            ":TRIGGER:ALTERNATION:VIDEO:STANDARD NTSC", ":TRIGGER:ALTERNATION:VIDEO:LINE 100",
            ":TRIGGER:ALTERNATION:VIDEO:SENSITIVITY 0.40div", ":TRIGGER:ALTERNATION:VIDEO:HOLDOFF 200NS",
            ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?", ":TRIGGER:ALTERNATION:VIDEO:LEVEL .3",
            ":TRIGGER:ALTERNATION:SOURCE CHANNEL2", ":TRIGGER:ALTERNATION:TYPE PULSE",
            ":TRIGGER:ALTERNATION:PULSE:MODE +EQUAL", ":TRIGGER:ALTERNATION:PULSE:TIME 2.00US",
            ":TRIGGER:ALTERNATION:PULSE:COUPLING AC",
            ":CHANNEL2:SCALE?", ":CHANNEL2:OFFSET?", ":TRIGGER:ALTERNATION:PULSE:LEVEL -1",
            ":TRIGGER:ALTERNATION:PULSE:SENSITIVITY 0.20div", ":TRIGGER:ALTERNATION:PULSE:HOLDOFF 1.00US",
        };
        const QStringList alt2 = {
            ":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":TRIGGER:ALTERNATION:TYPE SLOPE",
            ":TRIGGER:ALTERNATION:SLOPE:MODE +GREATERTHAN", ":TRIGGER:ALTERNATION:SLOPE:TIME 3.00US",
            ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?", ":TRIGGER:ALTERNATION:SLOPE:LEVELA .3",
            ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?", ":TRIGGER:ALTERNATION:SLOPE:LEVELB .8",
            ":TRIGGER:ALTERNATION:SLOPE:SENSITIVITY 0.30div", ":TRIGGER:ALTERNATION:SLOPE:HOLDOFF 150NS",
            ":TRIGGER:ALTERNATION:SLOPE:COUPLING LF",
            ":TRIGGER:ALTERNATION:SOURCE CHANNEL2", ":TRIGGER:ALTERNATION:TYPE EDGE",
            ":TRIGGER:ALTERNATION:EDGE:SLOPE NEGATIVE", ":TRIGGER:ALTERNATION:EDGE:COUPLING HF",
            ":CHANNEL2:SCALE?", ":CHANNEL2:OFFSET?", ":TRIGGER:ALTERNATION:EDGE:LEVEL 2",
            ":TRIGGER:ALTERNATION:EDGE:SENSITIVITY 0.20div", ":TRIGGER:ALTERNATION:EDGE:HOLDOFF 300NS",
        };
        // D15 H, D3 rising (the tree's word), D0 X, the rest L.
        const QStringList pattern = {":TRIGGER:PATTERN:PATTERN 32768,65534,3,1", ":TRIGGER:PATTERN:SWEEP NORMAL"};
        // D7 H, D6 rising (the read-back word), the rest X.
        const QStringList duration = {
            ":TRIGGER:DURATION:PATTERN 128,192,6,1", ":TRIGGER:DURATION:QUALIFIER GREATERTHAN",
            ":TRIGGER:DURATION:TIME 2.00US", ":TRIGGER:DURATION:SWEEP SINGLE",
        };

        for (int link : {int(Link::Visa), int(Link::Serial)}) {
            const char *l = link == int(Link::Visa) ? "visa " : "serial ";
            QTest::newRow(QByteArray(l + QByteArray("edge")).constData()) << link << "EDGE" << "EDGE" << edge << 34;
            QTest::newRow(QByteArray(l + QByteArray("pulse")).constData()) << link << "PULSE" << "PULSE" << pulse << 34;
            QTest::newRow(QByteArray(l + QByteArray("video")).constData()) << link << "VIDEO" << "VIDEO" << video << 34;
            QTest::newRow(QByteArray(l + QByteArray("slope")).constData()) << link << "SLOPE" << "SLOPE" << slope << 34;
            QTest::newRow(QByteArray(l + QByteArray("alternative video+pulse")).constData())
                << link << "ALTERNATIVE" << "ALTERNATION" << alt << 35;
            QTest::newRow(QByteArray(l + QByteArray("alternative slope+edge")).constData())
                << link << "ALTERNATIVE2" << "ALTERNATION" << alt2 << 35;
            QTest::newRow(QByteArray(l + QByteArray("pattern")).constData())
                << link << "PATTERN" << "PATTERN" << pattern << 34;
            QTest::newRow(QByteArray(l + QByteArray("duration")).constData())
                << link << "DURATION" << "DURATION" << duration << 34;
        }
    }

    void sequencePerMethod()
    {
        QFETCH(int, link);
        QFETCH(QString, method);
        QFETCH(QString, token);
        QFETCH(QStringList, block);
        QFETCH(int, steps);

        UpDownFixture f{static_cast<Link>(link)};
        QVERIFY(f.connected);
        setCommonCase(app().Settings);
        setMethodCase(app().Settings, method);
        const CtrlSettings before = app().Settings;

        UploadSettings();

        QCOMPARE(f.simLines(), commonLines(token) + block + kClosingLines);
        QCOMPARE(f.sim.refusedCount(), 0);
        // The record is not changed (the pattern keeps its one edge).
        QVERIFY(app().Settings == before);

        // 100/32 a step: the bar stops at 100 and steps past it are not applied.
        QCOMPARE(app().updown.ProgressSteps, steps);
        QCOMPARE(app().updown.ProgressApplied, 32);
        QCOMPARE(app().updown.ProgressValue, 100.0f);
        QCOMPARE(f.repaints, steps);

        // The instrument holds what was sent.
        QCOMPARE(f.sim.setting(":LA:LOCATION"), QByteArray("1985229328,4275878552"));
        QCOMPARE(f.sim.setting(":CHANNEL1:PROBE"), QByteArray("1.000e+01"));
        if (method == QLatin1String("ALTERNATIVE")) {
            QCOMPARE(f.sim.altSetting(1, ":TRIGGER:ALTERNATION:TYPE"), QByteArray("VIDEO"));
            QCOMPARE(f.sim.altSetting(2, ":TRIGGER:ALTERNATION:PULSE:LEVEL"), QByteArray("-1.000e+00"));
        }
    }

    // The words of either language go out as the same tokens.
    void sameLinesInBothLanguages_data()
    {
        QTest::addColumn<QString>("method");
        for (const char *m : {"EDGE", "PULSE", "VIDEO", "SLOPE", "ALTERNATIVE", "ALTERNATIVE2", "PATTERN", "DURATION"})
            QTest::newRow(m) << QString::fromLatin1(m);
    }

    void sameLinesInBothLanguages()
    {
        QFETCH(QString, method);
        QStringList lines[2];
        for (int lang : {0, 1}) {
            UpDownFixture f(Link::Visa, lang);
            setCommonCase(app().Settings);
            setMethodCase(app().Settings, method);
            UploadSettings();
            lines[lang] = f.simLines();
        }
        QCOMPARE(lines[0], lines[1]);
        QVERIFY(lines[1].size() >= 38);
    }

    // New Control File gives the defaults of the language in force; with
    // each trigger method chosen (and each type of the alternate trigger on
    // both channels), the Chinese defaults send every line the English ones
    // send: the slope and pulse conditions go out as "+LESSTHAN", the
    // condition the defaults name.
    void defaultsSendTheSameLinesInBothLanguages_data()
    {
        QTest::addColumn<Word>("method");
        QTest::addColumn<Word>("altType"); // both channels of the alternate trigger
        QTest::addColumn<QStringList>("modes"); // the condition lines, in order
        const QStringList none;
        QTest::newRow("edge") << Word::WordEdge << Word::WordEdge << none;
        QTest::newRow("pulse") << Word::WordPulse << Word::WordEdge << QStringList{":TRIGGER:PULSE:MODE +LESSTHAN"};
        QTest::newRow("video") << Word::WordVideo << Word::WordEdge << none;
        QTest::newRow("slope") << Word::WordSlope << Word::WordEdge << QStringList{":TRIGGER:SLOPE:MODE +LESSTHAN"};
        QTest::newRow("alternate, edge") << Word::WordAlternative << Word::WordEdge << none;
        QTest::newRow("alternate, pulse")
            << Word::WordAlternative << Word::WordPulse
            << QStringList{":TRIGGER:ALTERNATION:PULSE:MODE +LESSTHAN", ":TRIGGER:ALTERNATION:PULSE:MODE +LESSTHAN"};
        QTest::newRow("alternate, video") << Word::WordAlternative << Word::WordVideo << none;
        QTest::newRow("alternate, slope")
            << Word::WordAlternative << Word::WordSlope
            << QStringList{":TRIGGER:ALTERNATION:SLOPE:MODE +LESSTHAN", ":TRIGGER:ALTERNATION:SLOPE:MODE +LESSTHAN"};
        QTest::newRow("pattern") << Word::WordPattern << Word::WordEdge << none;
        QTest::newRow("duration") << Word::WordDuration << Word::WordEdge << none;
    }

    void defaultsSendTheSameLinesInBothLanguages()
    {
        QFETCH(Word, method);
        QFETCH(Word, altType);
        QFETCH(QStringList, modes);
        QStringList lines[2];
        for (int lang : {0, 1}) {
            UpDownFixture f(Link::Visa, lang);
            QVERIFY(f.connected);
            CtrlNewFile();
            QVERIFY(f.fakeUi.messages().isEmpty());
            CtrlSettings &s = app().Settings;
            QCOMPARE(s.RunStop, word(Word::WordRun)); // the defaults of the language in force
            s.TrigMethod = word(method);
            s.AltCH1Type = s.AltCH2Type = word(altType);
            UploadSettings();
            QCOMPARE(f.sim.refusedCount(), 0);
            lines[lang] = f.simLines();
            QStringList sent;
            for (const QString &l : lines[lang])
                if (l.contains(QLatin1String(":MODE ")) && !l.startsWith(QLatin1String(":TRIGGER:MODE"))
                    && !l.startsWith(QLatin1String(":ACQUIRE:MODE")) && !l.contains(QLatin1String(":VIDEO:MODE")))
                    sent << l;
            QCOMPARE(sent, modes);
        }
        QCOMPARE(lines[0], lines[1]);
        QVERIFY(lines[1].size() >= 38);
    }

    // The two pauses of the time base come on top of the link's pause after
    // every command (and, on the serial port, the pacing of the line at
    // 3.125 ms a character at 9600 baud); queries take none.
    void pausesOnVirtualClock_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<qint64>("formatToScale");
        QTest::addColumn<qint64>("scaleToOffset");
        QTest::newRow("visa") << int(Link::Visa) << qint64(200 + 500) << qint64(200 + 1000);
        // ":TIMEBASE:FORMAT YT" and LF: 20 characters, 62.5 ms -> 62 (halves to even)
        // ":TIMEBASE:SCALE 1.000MS" and LF: 24 characters, 75 ms
        QTest::newRow("serial") << int(Link::Serial) << qint64(62 + 100 + 500) << qint64(75 + 100 + 1000);
    }

    void pausesOnVirtualClock()
    {
        QFETCH(int, link);
        QFETCH(qint64, formatToScale);
        QFETCH(qint64, scaleToOffset);
        UpDownFixture f{static_cast<Link>(link)};
        setCommonCase(app().Settings);
        setMethodCase(app().Settings, QStringLiteral("EDGE"));
        const qint64 start = f.clock.nowMs();
        UploadSettings();
        QCOMPARE(f.stamped.gap(":TIMEBASE:FORMAT YT", ":TIMEBASE:SCALE 1.000MS"), formatToScale);
        QCOMPARE(f.stamped.gap(":TIMEBASE:SCALE 1.000MS", ":TIMEBASE:OFFSET -1.000MS"), scaleToOffset);
        if (link == int(Link::Visa)) {
            QCOMPARE(f.stamped.gap(":TIMEBASE:OFFSET -1.000MS", ":CHANNEL1:DISPLAY ON"), qint64(200));
            // 42 commands of 200 ms, 3 queries without pause, and the two pauses.
            int commands = 0;
            for (const StampedLine &l : f.stamped.lines)
                commands += l.line.endsWith(QLatin1Char('?')) ? 0 : 1;
            QCOMPARE(commands, 42);
            QCOMPARE(f.clock.nowMs() - start, qint64(commands * 200 + 1500));
        }
    }

    void rowsThatSendNothingOrDiffer()
    {
        UpDownFixture f(Link::Visa);
        CtrlSettings &s = app().Settings;
        s.CH2Probe.clear();                       // no probe: no PROBE line, the rest goes on
        s.RunStop = QStringLiteral("stopped");    // anything but the run word stops
        s.TrigMethod = QStringLiteral("边沿触发"); // the Chinese edge word under English: no block
        UploadSettings();
        const QStringList lines = f.simLines();
        QCOMPARE(lines.first(), QStringLiteral(":STOP"));
        QVERIFY(lines.contains(":CHANNEL1:PROBE 1"));
        QVERIFY(!lines.contains(":CHANNEL2:PROBE "));
        QCOMPARE(lines.filter(":PROBE").size(), 1);
        QVERIFY(lines.contains(":CHANNEL2:SCALE 1.00V"));
        // the method word goes out as its fallback token, no block follows
        QCOMPARE(lines.at(lines.indexOf(":TRIGGER:HOLDOFF 100NS") - 1), QStringLiteral(":TRIGGER:MODE DURATION"));
        QVERIFY(lines.filter(":TRIGGER:EDGE").isEmpty());
        QCOMPARE(lines.at(lines.indexOf(":TRIGGER:HOLDOFF 100NS") + 1), QStringLiteral(":LA:DISPLAY OFF"));
        QVERIFY(lines.contains(":LA:STATUS 0"));
        QVERIFY(lines.contains(":LA:LOCATION 0,0"));
        QCOMPARE(app().updown.ProgressSteps, 33);
    }

    // Without logic channels neither the pattern code nor the LA rows go out.
    void withoutLogicChannels()
    {
        UpDownFixture f(Link::Visa);
        app().link.LaPresent = 0;
        app().Settings.TrigMethod = word(Word::WordPattern);
        UploadSettings();
        const QStringList lines = f.simLines();
        QVERIFY(lines.filter(":LA:").isEmpty());
        QVERIFY(lines.filter(":TRIGGER:PATTERN").isEmpty());
        QCOMPARE(lines.at(lines.indexOf(":TRIGGER:HOLDOFF 100NS") + 1), QStringLiteral(":ACQUIRE:MODE RTIME"));
        QCOMPARE(app().updown.ProgressSteps, 28);

        f.sim.clearLog();
        const CtrlSettings before = app().Settings;
        DownloadSettings();
        const QStringList down = f.simLines();
        QVERIFY(down.filter(":LA:").isEmpty());
        QVERIFY(down.filter(":TRIGGER:PATTERN").isEmpty());
        QVERIFY(down.filter(":TRIGGER:DURATION").isEmpty());
        QVERIFY(app().Settings.PatCode == before.PatCode);
        QVERIFY(app().Settings.LAChanOn == before.LAChanOn);
        QCOMPARE(app().updown.ProgressSteps, 75 - 11);
    }

    // A value holding a line break never reaches the instrument as two lines:
    // the link refuses the line and the upload goes on.
    void lineBreakInAValueIsRefused()
    {
        UpDownFixture f(Link::Visa);
        app().Settings.CH1Offset = QStringLiteral("0.00mV\n:STOP");
        app().Settings.TimeDiv = QStringLiteral("1.000ms\r");
        UploadSettings();
        const QStringList lines = f.simLines();
        QVERIFY(!lines.contains(":STOP"));
        QVERIFY(lines.filter(":CHANNEL1:OFFSET ").isEmpty());
        QVERIFY(lines.filter(":TIMEBASE:SCALE").isEmpty());
        QVERIFY(f.sim.running());
        QCOMPARE(lines.last(), QStringLiteral(":DISPLAY:GRID FULL"));
        QVERIFY(app().link.LinkConnected);
    }

    // A row whose value cannot be formed sends nothing, never its header and
    // blank alone: an empty or blank member, a probe without its ratio, a word
    // with no token, a level no display shows or one whose volts the source's
    // scale gives no plain number for. The instrument keeps those settings
    // and the rest of the list goes out.
    void rowsWithoutAValueSendNothing_data()
    {
        QTest::addColumn<QString>("setup");  // members
        QTest::addColumn<QString>("header"); // the row's header, which must not go out
        QTest::newRow("empty time/div") << "TimeDiv=" << ":TIMEBASE:SCALE";
        QTest::newRow("blank offset") << "CH1Offset=   " << ":CHANNEL1:OFFSET";
        QTest::newRow("probe without its ratio") << "CH2Probe=X" << ":CHANNEL2:PROBE";
        QTest::newRow("sweep word without a token") << "EdgeSweep=Sweep" << ":TRIGGER:EDGE:SWEEP";
        QTest::newRow("empty sensitivity") << "EdgeSensitivity=" << ":TRIGGER:EDGE:SENSITIVITY";
        QTest::newRow("level of no display") << "EdgeLevel=5e6div" << ":TRIGGER:EDGE:LEVEL";
        QTest::newRow("level beyond any volts") << "EdgeLevel=-1e300div" << ":TRIGGER:EDGE:LEVEL";
        QTest::newRow("empty delay of CH2") << "CH2Delay=" << ":TRIGGER:ALTERNATION:TIMEOFFSET";
    }
    void rowsWithoutAValueSendNothing()
    {
        QFETCH(QString, setup);
        QFETCH(QString, header);
        UpDownFixture f(Link::Visa);
        const QStringList members = setup.split(u';');
        CtrlSettings &s = app().Settings;
        for (const QString &m : members) {
            const qsizetype eq = m.indexOf(u'=');
            bool found = false;
            for (const CtrlSettingsField &field : ctrlSettingsFields())
                if (field.text && QLatin1String(field.name) == m.left(eq)) {
                    s.*(field.text) = m.mid(eq + 1);
                    found = true;
                }
            QVERIFY2(found, qPrintable(m));
        }
        UploadSettings();
        // What the upload hands to the link (which would refuse such a line
        // itself), and what reached the instrument.
        for (const StampedLine &l : f.stamped.lines) {
            const qsizetype blank = l.line.indexOf(u' ');
            QVERIFY2(blank < 0 || !l.line.mid(blank + 1).trimmed().isEmpty(), qPrintable(l.line));
        }
        const QStringList lines = f.simLines();
        // Only the alternation's second channel has no delay in this row.
        if (header.contains(QLatin1String("TIMEOFFSET")))
            QCOMPARE(lines.filter(header).size(), 1);
        else
            QCOMPARE(lines.filter(header + u' ').size(), 0);
        QCOMPARE(f.sim.refusedCount(), 0);
        QCOMPARE(lines.last(), QStringLiteral(":DISPLAY:GRID FULL"));
        QVERIFY(app().link.LinkConnected);
    }

    // Request kinds 22 and 23 of the transfer dialog run the upload and the
    // download after the dialog's own first line.
    void throughTransferDialog()
    {
        UpDownFixture f(Link::Visa);
        InstallSettingsTransfer();
        for (int kind : {22, 23}) {
            f.sim.clearLog();
            TransferRunner runner;
            runner.load();
            app().transfer.RequestKind = kind;
            app().transfer.TransferDone = false;
            runner.dispatch();
            QVERIFY(app().transfer.TransferDone);
            QVERIFY(!app().transfer.TransferBusy);
            const QStringList lines = f.simLines();
            const QStringList first = kind == 22 ? QStringList{":TRIGGER:STATUS?", ":RUN"}
                                                 : QStringList{":TRIGGER:STATUS?", ":CHANNEL:ACTIVE?"};
            QCOMPARE(lines.mid(0, 2), first);
            QCOMPARE(lines.last(), kind == 22 ? QStringLiteral(":DISPLAY:GRID FULL")
                                              : QStringLiteral(":CHANNEL:ACTIVE CHANNEL1"));
        }
        QCOMPARE(f.treeMismatches(), QStringList());
    }

    // A source query that gets no reply ends the upload there: the link is
    // lost (the user told once) and no further line goes out, no level of a
    // scale never read among them.
    void silentInstrumentOverSerial()
    {
        UpDownFixture f(Link::Serial);
        f.sim.setFaults([] {
            Qm4100Sim::Faults x;
            x.noReply = true;
            return x;
        }());
        UploadSettings();
        const QStringList lines = f.simLines();
        QVERIFY(lines.contains(":TRIGGER:EDGE:SOURCE?"));
        QVERIFY(!lines.contains(":CHANNEL1:SCALE?"));
        QCOMPARE(lines.last(), QStringLiteral(":TRIGGER:EDGE:SOURCE?"));
        QVERIFY(!app().link.LinkConnected);
        QCOMPARE(f.fakeUi.messages().size(), 1);
    }

    // A cable pulled in the middle of an upload: the write that fails tells
    // the user and loses the link; the rest of the upload neither writes nor
    // holds the program in the pauses of lines that cannot go out.
    void linkDroppedMidUploadEndsIt_data()
    {
        QTest::addColumn<int>("link");
        QTest::newRow("visa") << int(Link::Visa);
        QTest::newRow("serial") << int(Link::Serial);
    }
    void linkDroppedMidUploadEndsIt()
    {
        QFETCH(int, link);
        UpDownFixture f{static_cast<Link>(link)};
        QVERIFY(f.connected);
        InstallSettingsTransfer();
        setCommonCase(app().Settings);
        setMethodCase(app().Settings, QStringLiteral("EDGE"));
        qint64 droppedAt = -1;
        app().updown.ShowProgress = [&](double) {
            if (++f.repaints == 2) { // after ":TRIGGER:ALTERNATION:TIMESCALE" of CH1
                droppedAt = f.clock.nowMs();
                if (link == int(Link::Visa))
                    f.backend->resource(QString::fromLatin1(SimUsb1))->writeStatus = VI_ERROR_CONN_LOST;
                else
                    f.serial->setFailOutput(true);
            }
        };
        TransferRunner runner;
        runner.load();
        app().transfer.RequestKind = 22;
        app().transfer.TransferDone = false;
        runner.dispatch();
        QVERIFY(app().transfer.TransferDone);
        QVERIFY(droppedAt >= 0);
        QVERIFY(!app().link.LinkConnected);
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QVERIFY(!app().xfer.RequestComplete);
        // The failed line's own pause and the dialog's closing pause, no more.
        const qint64 after = f.clock.nowMs() - droppedAt;
        QVERIFY2(after <= 600, qPrintable(QString::number(after)));
    }
};

QTEST_MAIN(TstUploadToDso)
#include "tst_uploadtodso.moc"
