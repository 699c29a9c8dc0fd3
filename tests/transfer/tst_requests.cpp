// The bulk requests against the simulator, over the VISA functions and over
// the serial-port control on a pseudo-terminal: the exact command sequences
// (the simulator's log) and the records they leave. Each test stands in for
// its requesting window: it sets the request globals, shows the transfer
// dialog, waits for TransferDone and reads the results.

#include "simlinks.h"
#include "support/usbtmcsimlink.h"

#include "app/appstate.h"
#include "platform/settingsstore.h"
#include "platform/ui/scriptedui.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"
#include "texts/stringres.h"
#include "transfer/frmprgress.h"
#include "values/normvalue.h"
#include "values/numbertext.h"
#include "values/rounding.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Lines = QList<QByteArray>;

namespace {
enum class Transport { Visa, VisaSerial, Serial, Usbtmc };

QList<int> levelsOf(const QByteArray &block)
{
    QList<int> out;
    for (char c : block)
        out.append(quint8(c));
    return out;
}
} // namespace

Q_DECLARE_METATYPE(Transport)

class TestRequests : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<VirtualClock> clock_;
    std::unique_ptr<Qm4100Sim> sim_;
    std::unique_ptr<ScriptedUi> ui_;
    std::unique_ptr<SimVisaLink> visa_;
    std::unique_ptr<PtySerialLink> serial_;
    std::unique_ptr<UsbtmcSimLink> usbtmc_;

    void connect(Transport t)
    {
        if (t == Transport::Usbtmc)
            usbtmc_ = std::make_unique<UsbtmcSimLink>(*sim_, *clock_);
        else if (t != Transport::Serial)
            visa_ = std::make_unique<SimVisaLink>(*sim_, *clock_, t == Transport::Visa);
        else
            serial_ = std::make_unique<PtySerialLink>(*sim_, *clock_);
        QVERIFY2(app().link.LinkConnected, "the simulator did not connect");
    }

    WaveDoc &wave(int slot = 0) { return app().Sheet.WaveDocs[size_t(slot)]; }

    void showSources(bool ch1, bool ch2, bool math, bool la, int slot = 0)
    {
        wave(slot).ShowCH1 = ch1;
        wave(slot).ShowCH2 = ch2;
        wave(slot).ShowMath = math;
        wave(slot).ShowLA = la;
    }

    static void addTransports(const char *name, auto add)
    {
        QTest::addColumn<Transport>("transport");
        (void)name;
        add(QByteArrayLiteral("visa usb"), Transport::Visa);
        add(QByteArrayLiteral("visa asrl"), Transport::VisaSerial);
        add(QByteArrayLiteral("serial"), Transport::Serial);
        add(QByteArrayLiteral("usbtmc"), Transport::Usbtmc);
    }

    static QByteArray transportName(Transport t)
    {
        switch (t) {
        case Transport::Visa: return "visa usb: ";
        case Transport::VisaSerial: return "visa asrl: ";
        case Transport::Serial: return "serial: ";
        case Transport::Usbtmc: return "usbtmc: ";
        }
        return QByteArray();
    }

private slots:
    void initTestCase() { qRegisterMetaType<Transport>(); }

    void init()
    {
        resetApp();
        dir_ = std::make_unique<QTemporaryDir>();
        setSettingsFile(dir_->filePath(QStringLiteral("k.ini")));
        clock_ = std::make_unique<VirtualClock>();
        setAppClock(clock_.get());
        ui_ = std::make_unique<ScriptedUi>();
        setUi(ui_.get());
        ApplyLanguage(1);
        app().Settings.reset();
        sim_ = std::make_unique<Qm4100Sim>();
    }

    void cleanup()
    {
        visa_.reset();
        serial_.reset();
        usbtmc_.reset();
        deliverDeferredDeletes();
        sim_.reset();
        setUi(nullptr);
        setAppClock(nullptr);
        clock_.reset();
        setSettingsFile(QString());
    }

    // --- waveform request ------------------------------------------------------

    void waveformSequences_data()
    {
        QTest::addColumn<Transport>("transport");
        QTest::addColumn<QString>("shown");  // sources ticked: 1 2 M L
        QTest::addColumn<QString>("setup");  // simulator state: math, fft, alt, xy, roll
        QTest::addColumn<Lines>("lines");
        const Lines head{":TRIGGER:STATUS?", ":TRIGGER:STATUS?", ":MATH:DISPLAY?", ":FFT:DISPLAY?",
                         ":SYSTEM:DATA?", ":TRIGGER:MODE?", ":TIMEBASE:FORMAT?"};
        const Lines ch12{":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?", ":CHANNEL2:SCALE?", ":CHANNEL2:OFFSET?"};
        const Lines mainBase{":TIMEBASE:SCALE?", ":TIMEBASE:OFFSET?"};
        const Lines blocks12{":CHANNEL1:INVERT?", ":WAVEFORM:DATA? CHANNEL1", ":CHANNEL2:INVERT?",
                             ":WAVEFORM:DATA? CHANNEL2"};
        for (Transport t : {Transport::Visa, Transport::VisaSerial, Transport::Serial, Transport::Usbtmc}) {
            const QByteArray tn = transportName(t);
            QTest::newRow(tn + "a Y-T CH1 CH2") << t << "12" << "" << head + ch12 + mainBase + blocks12;
            QTest::newRow(tn + "b CH1 MATH LA") << t << "1ML" << "math"
                << head + Lines{":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?"} + mainBase
                       + Lines{":CHANNEL1:INVERT?", ":WAVEFORM:DATA? CHANNEL1", ":WAVEFORM:DATA? MATH",
                               ":WAVEFORM:DATA? DIGITAL"};
            QTest::newRow(tn + "c CH1 FFT LA") << t << "1ML" << "fft"
                << head + Lines{":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?"} + mainBase
                       + Lines{":CHANNEL1:INVERT?", ":WAVEFORM:DATA? CHANNEL1", ":WAVEFORM:DATA? FFT",
                               ":WAVEFORM:DATA? DIGITAL"};
            QTest::newRow(tn + "d alternating") << t << "12" << "alt"
                << head + ch12
                       + Lines{":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":TRIGGER:ALTERNATION:TIMESCALE?",
                               ":TRIGGER:ALTERNATION:TIMEOFFSET?", ":TRIGGER:ALTERNATION:SOURCE CHANNEL2",
                               ":TRIGGER:ALTERNATION:TIMESCALE?", ":TRIGGER:ALTERNATION:TIMEOFFSET?"}
                       + blocks12;
            QTest::newRow(tn + "e X-Y CH1 only") << t << "1" << "xy" << head + ch12 + mainBase + blocks12;
            QTest::newRow(tn + "f logic only") << t << "L" << ""
                << head + mainBase + Lines{":WAVEFORM:DATA? DIGITAL"};
            QTest::newRow(tn + "g roll") << t << "12" << "roll" << head + ch12 + mainBase + blocks12;
            QTest::newRow(tn + "h MATH only, MATH off") << t << "M" << "" << head + mainBase;
        }
    }
    void waveformSequences()
    {
        QFETCH(Transport, transport);
        QFETCH(QString, shown);
        QFETCH(QString, setup);
        QFETCH(Lines, lines);
        if (setup == QLatin1String("math"))
            sim_->setMathDisplay(true);
        if (setup == QLatin1String("fft"))
            sim_->setFftDisplay(true);
        if (setup == QLatin1String("alt"))
            sim_->handle(":TRIGGER:MODE ALTERNATION", Qm4100Sim::Framing::VisaUsb);
        if (setup == QLatin1String("xy"))
            sim_->handle(":TIMEBASE:FORMAT XY", Qm4100Sim::Framing::VisaUsb);
        if (setup == QLatin1String("roll")) {
            // roll starts at 100 ms/div, a column every 4 ms: the screen is full after 1.2 s
            sim_->handle(":TIMEBASE:FORMAT SCANNING", Qm4100Sim::Framing::VisaUsb);
            clock_->advance(1200);
        }
        connect(transport);
        showSources(shown.contains('1'), shown.contains('2'), shown.contains('M'), shown.contains('L'), 3);

        QVERIFY(RequestWaveformLoad(3));
        QCOMPARE(sim_->lines(), lines);
        QCOMPARE(sim_->refusedCount(), 0);
        QVERIFY(app().transfer.TransferDone);
        QVERIFY(!app().transfer.TransferBusy);

        const WaveDoc &doc = wave(3);
        QCOMPARE(doc.PointCount, 600);
        QCOMPARE(doc.Setup.encode(), sim_->setupBlock());
        if (setup == QLatin1String("roll")) {
            QVERIFY(doc.RollMode);
            QVERIFY(!doc.YTFormat);
        }
        if (doc.DrawCH1 || doc.XYFormat) {
            // CH1's rows are the simulator's levels, limited and counted from the top line.
            const QList<int> levels = levelsOf(sim_->waveformBlock("CHANNEL1"));
            QCOMPARE(levels.size(), 601);
            for (int i = 1; i <= 600; ++i)
                QCOMPARE(doc.CH1Rows[i], std::clamp(levels[i - 1], 25, 224) - 25);
            QCOMPARE(doc.CH1Rows[0], 0);
        }
        if (doc.DrawLA) {
            // The logic rows are the block's bytes as they came (without the
            // final LF on a VISA serial resource).
            const QByteArray digital = sim_->waveformBlock("DIGITAL");
            const int points = transport == Transport::VisaSerial ? 1200 : 1201;
            for (int i = 1; i <= points; ++i)
                QCOMPARE(doc.LAWords[i], qint32(quint8(digital[i - 1])));
        }
    }

    void noSourceShownRequestsNothing_data() { addTransports("", [](QByteArray n, Transport t) { QTest::newRow(n) << t; }); }
    void noSourceShownRequestsNothing()
    {
        QFETCH(Transport, transport);
        connect(transport);
        app().transfer.RequestKind = 1; // left from an earlier request
        QVERIFY(!RequestWaveformLoad(0));
        QVERIFY(sim_->lines().isEmpty());
    }

    void waveformRecord()
    {
        connect(Transport::Visa);
        sim_->handle(":CHANNEL1:SCALE 500MV", Qm4100Sim::Framing::VisaUsb);
        sim_->handle(":CHANNEL1:OFFSET 0.5", Qm4100Sim::Framing::VisaUsb);
        sim_->handle(":TIMEBASE:SCALE 1.000MS", Qm4100Sim::Framing::VisaUsb);
        showSources(true, true, false, false);
        QVERIFY(RequestWaveformLoad(0));
        const WaveDoc &doc = wave(0);
        QCOMPARE(doc.CH1VoltDiv, QStringLiteral("500mV"));
        QCOMPARE(doc.CH1Offset, QStringLiteral("500mV"));
        QCOMPARE(doc.CH2VoltDiv, QStringLiteral("1.00V"));
        QCOMPARE(doc.TimeDiv, QStringLiteral("1.000ms"));
        QCOMPARE(doc.Channels, 2);
        QCOMPARE(doc.TrigMode, QStringLiteral("EDGE"));
        QVERIFY(doc.YTFormat && !doc.XYFormat && !doc.RollMode && !doc.SplitScreen);
        QVERIFY(doc.DrawCH1 && doc.DrawCH2 && !doc.DrawMath && !doc.DrawLA);
        QCOMPARE(doc.MathDisplay, word(Word::WordOff));
        QVERIFY(!doc.DateText.isEmpty());
        const QList<int> ch2 = levelsOf(sim_->waveformBlock("CHANNEL2"));
        for (int i = 1; i <= 600; ++i)
            QCOMPARE(doc.CH2Rows[i], std::clamp(ch2[i - 1], 25, 224) - 25);
        // The block's LF counts as point 601 over USB, drawn nowhere.
        QCOMPARE(doc.CH2Rows[601], 0);
        QCOMPARE(doc.CH2Rows[602], 0);
    }

    void xyForcesBothChannelsOn()
    {
        sim_->handle(":TIMEBASE:FORMAT XY", Qm4100Sim::Framing::VisaUsb);
        connect(Transport::Visa);
        QList<QPair<QPair<int, int>, QString>> nodes;
        app().xfer.SetCtrlTreeNodeText = [&](int g, int i, const QString &t) { nodes.append({{g, i}, t}); };
        app().Settings.CH1Display = word(Word::WordOn);
        app().Settings.CH2Display = word(Word::WordOff);
        showSources(true, false, false, false);
        QVERIFY(RequestWaveformLoad(0));
        const WaveDoc &doc = wave(0);
        QVERIFY(doc.XYFormat && !doc.YTFormat && !doc.RollMode);
        QVERIFY(doc.ShowCH1 && doc.ShowCH2);
        QVERIFY(doc.DrawCH1 && !doc.DrawCH2); // copied before the X-Y rule
        QCOMPARE(app().Settings.CH2Display, word(Word::WordOn));
        QCOMPARE(nodes.size(), 1);
        QCOMPARE(nodes[0].first, qMakePair(3, 2));
        QCOMPARE(nodes[0].second, word(Word::ItemDisplay) + QStringLiteral(" [ON]"));
        const QList<int> ch2 = levelsOf(sim_->waveformBlock("CHANNEL2"));
        QCOMPARE(doc.CH2Rows[300], std::clamp(ch2[299], 25, 224) - 25);
    }

    // A refresh whose block never comes changes neither the settings it
    // would have learnt (MATH and FFT display, both channels on in X-Y) nor
    // their nodes; the same refresh complete changes them.
    void refreshCutShortLeavesTheSettings_data()
    {
        QTest::addColumn<bool>("xy");
        QTest::addColumn<int>("silentFrom");
        QTest::newRow("Y-T, CH1 block unanswered") << false << 13;
        QTest::newRow("X-Y, CH2 block unanswered") << true << 15;
        QTest::newRow("X-Y, complete") << true << 0;
    }
    void refreshCutShortLeavesTheSettings()
    {
        QFETCH(bool, xy);
        QFETCH(int, silentFrom);
        if (xy)
            sim_->handle(":TIMEBASE:FORMAT XY", Qm4100Sim::Framing::VisaUsb);
        sim_->setMathDisplay(true);
        connect(Transport::Visa);
        int nodes = 0;
        app().xfer.SetCtrlTreeNodeText = [&](int, int, const QString &) { ++nodes; };
        app().Settings.MathDisplay = word(Word::WordOff);
        app().Settings.FFTDisplay = QStringLiteral("unknown");
        app().Settings.CH1Display = word(Word::WordOff);
        app().Settings.CH2Display = word(Word::WordOff);
        const CtrlSettings before = app().Settings;
        showSources(true, false, false, false);
        Qm4100Sim::Faults f;
        f.silentFromQuery = silentFrom;
        sim_->setFaults(f);
        QVERIFY(RequestWaveformLoad(0));
        if (silentFrom > 0) {
            QVERIFY(sim_->lines().last().startsWith(":WAVEFORM:DATA? CHANNEL"));
            QVERIFY(!app().xfer.BlocksReceived);
            QVERIFY(app().Settings == before);
            QCOMPARE(nodes, 0);
        } else {
            QVERIFY(app().xfer.BlocksReceived);
            QCOMPARE(app().Settings.MathDisplay, word(Word::WordOn));
            QCOMPARE(app().Settings.FFTDisplay, word(Word::WordOff));
            QCOMPARE(app().Settings.CH1Display, word(Word::WordOn));
            QCOMPARE(app().Settings.CH2Display, word(Word::WordOn));
            QCOMPARE(nodes, 2);
        }
    }

    void alternatingTriggerFillsBothTimeBases_data() { addTransports("", [](QByteArray n, Transport t) { QTest::newRow(n) << t; }); }
    void alternatingTriggerFillsBothTimeBases()
    {
        QFETCH(Transport, transport);
        sim_->handle(":TRIGGER:MODE ALTERNATION", Qm4100Sim::Framing::VisaUsb);
        sim_->handle(":TRIGGER:ALTERNATION:SOURCE CHANNEL1", Qm4100Sim::Framing::VisaUsb);
        sim_->handle(":TRIGGER:ALTERNATION:TIMESCALE 1.000MS", Qm4100Sim::Framing::VisaUsb);
        sim_->handle(":TRIGGER:ALTERNATION:TIMEOFFSET 0.002S", Qm4100Sim::Framing::VisaUsb);
        sim_->handle(":TRIGGER:ALTERNATION:SOURCE CHANNEL2", Qm4100Sim::Framing::VisaUsb);
        sim_->handle(":TRIGGER:ALTERNATION:TIMESCALE 20.00US", Qm4100Sim::Framing::VisaUsb);
        sim_->handle(":TRIGGER:ALTERNATION:SOURCE CHANNEL1", Qm4100Sim::Framing::VisaUsb);
        connect(transport);
        wave(0).TimeDiv = QStringLiteral("kept");
        wave(0).Delay = QStringLiteral("kept too");
        showSources(true, true, false, false);
        QVERIFY(RequestWaveformLoad(0));
        const WaveDoc &doc = wave(0);
        QCOMPARE(doc.AltTimeDivCH1, QStringLiteral("1.000ms"));
        QCOMPARE(doc.AltDelayCH1, QStringLiteral("2.000ms"));
        QCOMPARE(doc.AltTimeDivCH2, QStringLiteral("20.00us"));
        QCOMPARE(doc.AltDelayCH2, FormatTime4(u"0"));
        QCOMPARE(doc.TimeDiv, QStringLiteral("kept"));
        QCOMPARE(doc.Delay, QStringLiteral("kept too"));
        QVERIFY(doc.SplitScreen);
        QCOMPARE(sim_->setting(":TRIGGER:ALTERNATION:SOURCE"), QByteArray("CHANNEL2"));
    }

    void mathOffClearsTheMathBoxForGood()
    {
        connect(Transport::Visa);
        showSources(true, false, true, false);
        wave(0).MathRows = QList<qint32>(8193, 7);
        QVERIFY(RequestWaveformLoad(0));
        QVERIFY(!wave(0).ShowMath);
        QVERIFY(!wave(0).DrawMath);
        QCOMPARE(wave(0).MathRows[1], 7);
        QCOMPARE(sim_->count(":WAVEFORM:DATA? MATH"), 0);
        // Turning MATH on later does not bring the box back.
        sim_->setMathDisplay(true);
        sim_->clearLog();
        QVERIFY(RequestWaveformLoad(0));
        QVERIFY(!wave(0).ShowMath);
        QCOMPARE(sim_->count(":WAVEFORM:DATA? MATH"), 0);
    }

    void mathAndFft_data()
    {
        QTest::addColumn<bool>("fft");
        QTest::addColumn<bool>("fullScreen");
        QTest::newRow("MATH") << false << false;
        QTest::newRow("FFT split") << true << false;
        QTest::newRow("FFT full screen") << true << true;
    }
    void mathAndFft()
    {
        QFETCH(bool, fft);
        QFETCH(bool, fullScreen);
        sim_->setMathDisplay(true);
        sim_->setFftDisplay(fft);
        sim_->setFftFullScreen(fullScreen);
        connect(Transport::Visa);
        showSources(false, false, true, false);
        wave(0).MathRows = QList<qint32>(8193, 7);
        wave(0).FFTRows = QList<qint32>(8193, 7);
        QVERIFY(RequestWaveformLoad(0));
        const WaveDoc &doc = wave(0);
        QCOMPARE(doc.SplitScreen, fft && !fullScreen);
        QCOMPARE(doc.FFTDisplay, word(fft ? Word::WordOn : Word::WordOff));
        QCOMPARE(app().Settings.FFTDisplay, doc.FFTDisplay);
        if (!fft) {
            const QList<int> math = levelsOf(sim_->waveformBlock("MATH"));
            for (int i = 1; i <= 600; ++i)
                QCOMPARE(doc.MathRows[i], std::clamp(math[i - 1], 25, 224) - 25);
            QCOMPARE(doc.FFTRows[1], 7);
        } else {
            const QList<int> levels = levelsOf(sim_->waveformBlock("FFT"));
            QCOMPARE(levels.size(), 513);
            for (int i = 1; i <= 512; ++i) {
                const double v = fullScreen ? levels[i - 1] - 25 : RoundHalfEven(levels[i - 1] - 12.5);
                QCOMPARE(doc.FFTRows[i], int(std::clamp(v, 0.0, 199.0)));
            }
            QCOMPARE(doc.MathRows[1], 7); // only one of the two is read
        }
    }

    void invertedChannelDecodedInvertedOnlyWhileRunning_data()
    {
        QTest::addColumn<bool>("running");
        QTest::newRow("running") << true;
        QTest::newRow("stopped") << false;
    }
    void invertedChannelDecodedInvertedOnlyWhileRunning()
    {
        QFETCH(bool, running);
        sim_->handle(":CHANNEL1:INVERT ON", Qm4100Sim::Framing::VisaUsb);
        sim_->setRunning(running);
        connect(Transport::Visa);
        showSources(true, false, false, false);
        QVERIFY(RequestWaveformLoad(0));
        const QList<int> levels = levelsOf(sim_->waveformBlock("CHANNEL1"));
        for (int i = 1; i <= 600; ++i) {
            const int row = std::clamp(levels[i - 1], 25, 224) - 25;
            QCOMPARE(wave(0).CH1Rows[i], running ? 200 - row : row);
        }
    }

    void serialBlockThatNeverCompletesKeepsTheRows()
    {
        connect(Transport::Serial);
        showSources(true, true, false, false);
        QVERIFY(RequestWaveformLoad(0));
        const QList<qint32> before1 = wave(0).CH1Rows;
        const SetupBlock setupBefore = app().link.LastSetup;
        QVERIFY(before1.size() == 8193 && before1[100] > 0);

        Qm4100Sim::Faults f;
        f.shortBlockBy = 1; // the length prefix announces one byte more than comes
        sim_->setFaults(f);
        sim_->handle(":CHANNEL1:OFFSET 1.5", Qm4100Sim::Framing::VisaUsb); // another picture
        const qint64 start = clock_->nowMs();
        QVERIFY(RequestWaveformLoad(0));
        QCOMPARE(wave(0).CH1Rows, before1);
        QCOMPARE(app().link.LastSetup, setupBefore);
        // The first block that never completes (the setup block) ends the
        // request after its 10 s: one time-out, one message, the link lost.
        const qint64 took = clock_->nowMs() - start;
        QVERIFY2(took >= 10000 && took < 12000, qPrintable(QString::number(took)));
        QCOMPARE(sim_->lines().last(), QByteArray(":SYSTEM:DATA?"));
        QVERIFY(!app().link.LinkConnected);
        QCOMPARE(ui_->messages().size(), 1);
        QCOMPARE(ui_->messages().first().text, message(Msg::MsgReadFailed));
    }

    void overlongSerialBlocksAreBounded()
    {
        connect(Transport::Serial);
        auto prefixed = [](const QByteArray &payload) {
            QByteArray out(4, '\0');
            const quint32 n = quint32(payload.size());
            for (int i = 0; i < 4; ++i)
                out[i] = char((n >> (8 * i)) & 0xFF);
            return out + payload;
        };
        QByteArray setup(300, '\x01');
        setup[0] = 10; // FirstPoint 0x010A
        QByteArray block(9000, char(150));
        block[8191] = char(25);  // point 8192
        block[8192] = char(224); // point 8193: beyond the buffer
        serial_->replyFor = [&](const QByteArray &line) {
            if (line == ":SYSTEM:DATA?")
                return prefixed(setup);
            if (line == ":WAVEFORM:DATA? CHANNEL1")
                return prefixed(block);
            return QByteArray();
        };
        showSources(true, false, false, false);
        QVERIFY(RequestWaveformLoad(0));
        QCOMPARE(wave(0).Setup.encode(), setup.left(116));
        const QList<qint32> &rows = wave(0).CH1Rows;
        QCOMPARE(rows.size(), 8193);
        QCOMPARE(rows[1], 125);
        QCOMPARE(rows[8192], 0);
        QCOMPARE(app().xfer.WorkCount, 8192);
        QCOMPARE(app().link.WorkPts.size(), size_t(8193));
    }

    // A block that ends before all its levels came (a USB message cut short,
    // a length prefix that announces less) is no picture of the trace: the
    // item keeps its rows, and nothing more is asked.
    void truncatedBlockKeepsTheRows_data()
    {
        QTest::addColumn<Transport>("transport");
        QTest::newRow("visa usb") << Transport::Visa;
        QTest::newRow("serial") << Transport::Serial;
        QTest::newRow("usbtmc") << Transport::Usbtmc;
    }
    void truncatedBlockKeepsTheRows()
    {
        QFETCH(Transport, transport);
        connect(transport);
        showSources(true, true, false, false);
        QVERIFY(RequestWaveformLoad(0));
        QVERIFY(app().xfer.BlocksReceived);
        const QList<qint32> before1 = wave(0).CH1Rows;
        const QList<qint32> before2 = wave(0).CH2Rows;
        const QString dateBefore = wave(0).DateText;
        sim_->handle(":CHANNEL1:OFFSET 1.5", Qm4100Sim::Framing::VisaUsb); // another picture
        if (transport == Transport::Serial) {
            const QByteArray block = sim_->waveformBlock("CHANNEL1").left(300);
            serial_->replyFor = [block](const QByteArray &line) {
                if (line != ":WAVEFORM:DATA? CHANNEL1")
                    return QByteArray();
                QByteArray out(4, '\0');
                out[0] = char(block.size() & 0xFF);
                out[1] = char(block.size() >> 8);
                return out + block;
            };
        } else {
            // Once the setup block is in, a block of 601 bytes brings 301,
            // as a whole message.
            app().xfer.ShowWaveLoadPercent = [this](int) {
                if (sim_->lines().contains(":SYSTEM:DATA?")) {
                    Qm4100Sim::Faults f;
                    f.shortBlockBy = 300;
                    sim_->setFaults(f);
                }
            };
        }
        sim_->clearLog();
        QVERIFY(RequestWaveformLoad(0));
        QVERIFY(!app().xfer.BlocksReceived);
        QCOMPARE(wave(0).CH1Rows, before1);
        QCOMPARE(wave(0).CH2Rows, before2);
        QCOMPARE(wave(0).DateText, dateBefore);
        QVERIFY(sim_->lines().last().startsWith(":WAVEFORM:DATA? CHANNEL")); // the block cut short
        QVERIFY(app().link.LinkConnected);
    }

    // A link kind other than the serial port's (a settings file holding 1,
    // say) is a VISA link for the blocks too, as it is for every line: the
    // blocks are read, never left in the session for the next query's reply.
    void anyLinkKindButSerialReadsBlocksOverVisa_data()
    {
        QTest::addColumn<int>("ioType");
        QTest::addColumn<int>("kind");
        QTest::newRow("1: waveforms") << 1 << 6;
        QTest::newRow("1: data table") << 1 << 3;
        QTest::newRow("5: waveforms") << 5 << 6;
    }
    void anyLinkKindButSerialReadsBlocksOverVisa()
    {
        QFETCH(int, ioType);
        QFETCH(int, kind);
        connect(Transport::Visa);
        app().link.IoType = ioType;
        showSources(true, true, false, false);
        if (kind == 6)
            QVERIFY(RequestWaveformLoad(0));
        else
            QVERIFY(RunTransferRequest(TransferCaption::DataTable, kind, 0, true));
        QVERIFY(app().xfer.BlocksReceived);
        QVERIFY(app().link.LinkConnected);
        QVERIFY(ui_->messages().isEmpty());
        if (kind == 6) {
            const QList<int> levels = levelsOf(sim_->waveformBlock("CHANNEL2"));
            QCOMPARE(wave(0).CH2Rows[300], std::clamp(levels[299], 25, 224) - 25);
        } else {
            QCOMPARE(app().xfer.PointCount, 600);
        }
    }

    // A setup block that ends before its 116 bytes came is not laid over the
    // last one (a mix of two blocks): the last block and the item stay.
    void truncatedSetupBlockIsNotMixedIn_data()
    {
        QTest::addColumn<Transport>("transport");
        QTest::newRow("visa usb") << Transport::Visa;
        QTest::newRow("serial") << Transport::Serial;
        QTest::newRow("usbtmc") << Transport::Usbtmc;
    }
    void truncatedSetupBlockIsNotMixedIn()
    {
        QFETCH(Transport, transport);
        connect(transport);
        showSources(true, false, false, false);
        QVERIFY(RequestWaveformLoad(0));
        QVERIFY(app().xfer.BlocksReceived);
        const SetupBlock lastBefore = app().link.LastSetup;
        const SetupBlock itemBefore = wave(0).Setup;
        sim_->setMathDisplay(true); // another setup block: the MATH trace is valid
        const QByteArray cut = sim_->setupBlock().left(100);
        QVERIFY(cut != lastBefore.encode().left(100));
        if (transport == Transport::Serial) {
            serial_->replyFor = [cut](const QByteArray &line) {
                if (line != ":SYSTEM:DATA?")
                    return QByteArray();
                return QByteArray(1, char(cut.size())) + QByteArray(3, '\0') + cut;
            };
        } else {
            Qm4100Sim::Faults f;
            f.shortBlockBy = 16; // 100 of the 116 bytes come, as a whole message
            sim_->setFaults(f);
        }
        QVERIFY(RequestWaveformLoad(0));
        QVERIFY(!app().xfer.BlocksReceived);
        QCOMPARE(app().link.LastSetup, lastBefore);
        QCOMPARE(wave(0).Setup, itemBefore);
        QVERIFY(app().link.LinkConnected);
    }

    void failedVisaBlockKeepsTheRows_data()
    {
        QTest::addColumn<Transport>("transport");
        QTest::newRow("visa usb") << Transport::Visa;
        QTest::newRow("usbtmc") << Transport::Usbtmc;
    }
    void failedVisaBlockKeepsTheRows()
    {
        QFETCH(Transport, transport);
        connect(transport);
        showSources(true, false, false, false);
        QVERIFY(RequestWaveformLoad(0));
        const QList<qint32> before = wave(0).CH1Rows;
        Qm4100Sim::Faults f;
        f.silentFromQuery = 13; // ":WAVEFORM:DATA? CHANNEL1" goes unanswered
        sim_->setFaults(f);
        sim_->handle(":CHANNEL1:OFFSET 1.5", Qm4100Sim::Framing::VisaUsb);
        QVERIFY(RequestWaveformLoad(0));
        QCOMPARE(sim_->lines().last(), QByteArray(":WAVEFORM:DATA? CHANNEL1"));
        QCOMPARE(wave(0).CH1Rows, before);
        QVERIFY(!app().link.LinkConnected); // the link reported the failed read
        QCOMPARE(ui_->messages().size(), 1);
        QVERIFY(app().transfer.TransferDone);
    }

    void progressOfTheSources_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QList<int>>("percents");
        QTest::newRow("three sources") << "12M" << "math" << QList<int>{1, 33, 67, 100};
        QTest::newRow("four sources") << "12ML" << "math" << QList<int>{1, 25, 50, 75, 100};
        QTest::newRow("FFT doubles the ceiling") << "1ML" << "fft" << QList<int>{1, 33, 67, 100};
        QTest::newRow("X-Y blocks end together") << "1" << "xy" << QList<int>{1, 100, 100};
    }
    void progressOfTheSources()
    {
        QFETCH(QString, shown);
        QFETCH(QString, setup);
        QFETCH(QList<int>, percents);
        if (setup == QLatin1String("math"))
            sim_->setMathDisplay(true);
        if (setup == QLatin1String("fft"))
            sim_->setFftDisplay(true);
        if (setup == QLatin1String("xy"))
            sim_->handle(":TIMEBASE:FORMAT XY", Qm4100Sim::Framing::VisaUsb);
        connect(Transport::Visa);
        QList<int> seen;
        int hidden = -1;
        app().xfer.ShowWaveLoadPercent = [&](int slot) {
            QCOMPARE(slot, 2);
            seen.append(app().xfer.WavePercent);
        };
        app().xfer.HideWaveProgress = [&](int slot) { hidden = slot; };
        showSources(shown.contains('1'), shown.contains('2'), shown.contains('M'), shown.contains('L'), 2);
        QVERIFY(RequestWaveformLoad(2));
        QCOMPARE(seen, percents);
        QCOMPARE(hidden, 2);
        if (setup == QLatin1String("fft"))
            QCOMPARE(app().xfer.ProgressCeiling, 2 * (100.0 / 3 + 100.0 / 3));
    }

    // --- data table ---------------------------------------------------------

    void dataTableSequences_data()
    {
        QTest::addColumn<Transport>("transport");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("alternating");
        QTest::addColumn<Lines>("lines");
        for (Transport t : {Transport::Visa, Transport::VisaSerial, Transport::Serial, Transport::Usbtmc}) {
            const QByteArray tn = transportName(t);
            QTest::newRow(tn + "CH1 normal") << t << 3 << false
                << Lines{":TRIGGER:STATUS?", ":TRIGGER:STATUS?", ":SYSTEM:DATA?", ":TRIGGER:MODE?",
                         ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?", ":CHANNEL1:INVERT?", ":TIMEBASE:SCALE?",
                         ":TIMEBASE:OFFSET?", ":CHANNEL1:SCALE?", ":ACQUIRE:SAMP? CHANNEL1",
                         ":WAVEFORM:DATA? CHANNEL1"};
            QTest::newRow(tn + "CH2 alternating") << t << 4 << true
                << Lines{":TRIGGER:STATUS?", ":TRIGGER:STATUS?", ":SYSTEM:DATA?", ":TRIGGER:MODE?",
                         ":CHANNEL2:SCALE?", ":CHANNEL2:OFFSET?", ":CHANNEL2:INVERT?",
                         ":TRIGGER:ALTERNATION:SOURCE CHANNEL2", ":TRIGGER:ALTERNATION:TIMESCALE?",
                         ":TRIGGER:ALTERNATION:TIMEOFFSET?", ":CHANNEL2:SCALE?", ":ACQUIRE:SAMP? CHANNEL2",
                         ":WAVEFORM:DATA? CHANNEL2"};
            QTest::newRow(tn + "logic, alternating") << t << 5 << true
                << Lines{":TRIGGER:STATUS?", ":TRIGGER:STATUS?", ":SYSTEM:DATA?", ":TRIGGER:MODE?",
                         ":CHANNEL2:SCALE?", ":CHANNEL2:OFFSET?", ":CHANNEL2:INVERT?", ":TIMEBASE:SCALE?",
                         ":TIMEBASE:OFFSET?", ":WAVEFORM:DATA? DIGITAL"};
        }
    }
    void dataTableSequences()
    {
        QFETCH(Transport, transport);
        QFETCH(int, kind);
        QFETCH(bool, alternating);
        QFETCH(Lines, lines);
        sim_->handle(":CHANNEL2:DISPLAY ON", Qm4100Sim::Framing::VisaUsb);
        if (alternating)
            sim_->handle(":TRIGGER:MODE ALTERNATION", Qm4100Sim::Framing::VisaUsb);
        connect(transport);
        QVERIFY(RunTransferRequest(TransferCaption::DataTable, kind, 0, true));
        QCOMPARE(sim_->lines(), lines);
        const TransferData &x = app().xfer;
        QCOMPARE(x.PointCount, 600);
        if (kind == 5)
            QVERIFY(x.MeasInfo.startsWith(QStringLiteral("LA RUN  10.00us ??.???  Size=600  [Date:")));
        if (kind == 3)
            QVERIFY2(x.MeasInfo.startsWith(QStringLiteral("CH1 1.00V  10.00us 33.33MSa  Size=600  [Date:")),
                     qPrintable(x.MeasInfo));
        QVERIFY(x.MeasInfo.endsWith(QLatin1Char(']')));
    }

    void dataTableHoldsTheSimulatorsTrace_data() { addTransports("", [](QByteArray n, Transport t) { QTest::newRow(n) << t; }); }
    void dataTableHoldsTheSimulatorsTrace()
    {
        QFETCH(Transport, transport);
        sim_->handle(":TIMEBASE:SCALE 100.0US", Qm4100Sim::Framing::VisaUsb);
        sim_->handle(":TIMEBASE:OFFSET 0.0001S", Qm4100Sim::Framing::VisaUsb);
        connect(transport);
        QVERIFY(RunTransferRequest(TransferCaption::DataTable, 3, 0, true));
        const TransferData &x = app().xfer;
        QCOMPARE(x.PointCount, 600);
        // tstep 2 us, delay 100 us: rows 1, 301 and 600 at -500 us, 100 us and 698 us.
        QCOMPARE(x.TimeText[1], QStringLiteral("-5.00E-04"));
        QCOMPARE(x.TimeText[301], QStringLiteral("1.00E-04"));
        QCOMPARE(x.TimeText[600], QStringLiteral("6.98E-04"));
        // The volts are the simulator's, within one level (40 mV at 1 V/div).
        const QVector<double> volts = sim_->channelVolts(1);
        for (int k : {1, 301, 600}) {
            const double v = ReadNumber(x.ValueText[k]);
            QVERIFY2(std::abs(v - volts[k - 1]) <= 0.041,
                     qPrintable(QStringLiteral("row %1: %2 vs %3").arg(k).arg(x.ValueText[k]).arg(volts[k - 1])));
        }
    }

    void invalidTraceGivesNoRows()
    {
        connect(Transport::Visa); // CH2 is off at reset: its trace is not valid
        app().xfer.TimeText = QStringList(TransferData::TextRows);
        app().xfer.TimeText[1] = QStringLiteral("earlier");
        QVERIFY(RunTransferRequest(TransferCaption::DataTable, 4, 0, true));
        QCOMPARE(app().xfer.PointCount, 0);
        QCOMPARE(app().xfer.TimeText[1], QStringLiteral("earlier"));
        QVERIFY(app().xfer.MeasInfo.contains(QStringLiteral("  Size=0  [Date:")));
    }

    // A block that never completes gives no table, not the previous block's
    // points under the new request's times.
    void dataTableAfterASerialTimeOutHasNoRows()
    {
        connect(Transport::Serial);
        QVERIFY(RunTransferRequest(TransferCaption::DataTable, 3, 0, true));
        QVERIFY(app().xfer.BlocksReceived);
        QCOMPARE(app().xfer.PointCount, 600);
        Qm4100Sim::Faults f;
        f.shortBlockBy = 1;
        sim_->setFaults(f);
        sim_->handle(":TIMEBASE:SCALE 1.000MS", Qm4100Sim::Framing::VisaUsb);
        QVERIFY(RunTransferRequest(TransferCaption::DataTable, 3, 0, true));
        QVERIFY(!app().xfer.BlocksReceived);
        QCOMPARE(app().xfer.PointCount, 0);
        QCOMPARE(app().xfer.WorkCount, 0);
        QVERIFY(app().xfer.MeasInfo.startsWith(QStringLiteral("CH1 "))); // the info line still describes the request
    }

    // --- measurements --------------------------------------------------------

    void measurementSequences_data()
    {
        QTest::addColumn<Transport>("transport");
        QTest::addColumn<int>("channel");
        QTest::addColumn<bool>("alternating");
        for (Transport t : {Transport::Visa, Transport::VisaSerial, Transport::Serial, Transport::Usbtmc}) {
            const QByteArray tn = transportName(t);
            QTest::newRow(tn + "CH1") << t << 1 << false;
            QTest::newRow(tn + "CH2 alternating") << t << 2 << true;
        }
    }
    void measurementSequences()
    {
        QFETCH(Transport, transport);
        QFETCH(int, channel);
        QFETCH(bool, alternating);
        sim_->handle(":CHANNEL2:DISPLAY ON", Qm4100Sim::Framing::VisaUsb);
        sim_->handle(":TIMEBASE:SCALE 500.0US", Qm4100Sim::Framing::VisaUsb);
        if (alternating) {
            sim_->handle(":TRIGGER:MODE ALTERNATION", Qm4100Sim::Framing::VisaUsb);
            for (const char *src : {":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":TRIGGER:ALTERNATION:SOURCE CHANNEL2"}) {
                sim_->handle(src, Qm4100Sim::Framing::VisaUsb);
                sim_->handle(":TRIGGER:ALTERNATION:TIMESCALE 500.0US", Qm4100Sim::Framing::VisaUsb);
            }
            sim_->handle(":TRIGGER:ALTERNATION:SOURCE CHANNEL1", Qm4100Sim::Framing::VisaUsb);
        }
        connect(transport);
        QVERIFY(RunTransferRequest(TransferCaption::Measure, channel));

        const QByteArray ch = "CHANNEL" + QByteArray::number(channel);
        Lines expected{":TRIGGER:STATUS?", ":TRIGGER:MODE?", ":" + ch + ":SCALE?", ":ACQUIRE:SAMP? " + ch};
        if (alternating)
            expected += Lines{":TRIGGER:ALTERNATION:SOURCE " + ch, ":TRIGGER:ALTERNATION:TIMESCALE?"};
        else
            expected += Lines{":TIMEBASE:SCALE?"};
        expected += ":MEASURE:SOURCE " + ch;
        const char *keywords[] = {"FREQUENCY", "VPP", "VMAX", "VMIN", "VTOP", "VAVERAGE", "VBASE", "VRMS",
                                  "VAMPLITUDE", "PDUTYCYCLE", "NDUTYCYCLE", "PERIOD", "RISETIME", "FALLTIME",
                                  "PWIDTH", "NWIDTH", "OVERSHOOT", "PRESHOOT"};
        for (const char *k : keywords)
            expected += ":MEASURE:" + QByteArray(k) + "? " + ch;
        QCOMPARE(sim_->lines(), expected);
        if (alternating)
            QCOMPARE(sim_->setting(":TRIGGER:ALTERNATION:SOURCE"), ch);

        // The eighteen texts are the simulator's measurements, formatted; an
        // invalid value ("*") shows as "*****", in the percent rows as it came.
        const MeasTable &t = app().xfer.MeasSlot;
        auto expect = [&](const char *k, QString (*format)(QStringView), bool percent) {
            const QString reply = QString::fromLatin1(sim_->measurement(k, channel));
            if (reply.contains(QLatin1Char('*')))
                return percent ? reply : QStringLiteral("*****");
            return format(reply);
        };
        QCOMPARE(t[MeasFrequency].Value, expect("FREQUENCY", FormatFreq, false));
        QCOMPARE(t[MeasVpp].Value, expect("VPP", FormatVolt, false));
        QCOMPARE(t[MeasVmax].Value, expect("VMAX", FormatVolt, false));
        QCOMPARE(t[MeasVmin].Value, expect("VMIN", FormatVolt, false));
        QCOMPARE(t[MeasVtop].Value, expect("VTOP", FormatVolt, false));
        QCOMPARE(t[MeasVavg].Value, expect("VAVERAGE", FormatVolt, false));
        QCOMPARE(t[MeasVbase].Value, expect("VBASE", FormatVolt, false));
        QCOMPARE(t[MeasVrms].Value, expect("VRMS", FormatVolt, false));
        QCOMPARE(t[MeasVamp].Value, expect("VAMPLITUDE", FormatVolt, false));
        QCOMPARE(t[MeasDutyPos].Value, expect("PDUTYCYCLE", FormatPercent, true));
        QCOMPARE(t[MeasDutyNeg].Value, expect("NDUTYCYCLE", FormatPercent, true));
        QCOMPARE(t[MeasPeriod].Value, expect("PERIOD", FormatTime4, false));
        QCOMPARE(t[MeasRiseTime].Value, expect("RISETIME", FormatTime4, false));
        QCOMPARE(t[MeasFallTime].Value, expect("FALLTIME", FormatTime4, false));
        QCOMPARE(t[MeasPWidthPos].Value, expect("PWIDTH", FormatTime4, false));
        QCOMPARE(t[MeasPWidthNeg].Value, expect("NWIDTH", FormatTime4, false));
        QCOMPARE(t[MeasVover].Value, expect("OVERSHOOT", FormatPercent, true));
        QCOMPARE(t[MeasVpre].Value, expect("PRESHOOT", FormatPercent, true));
        QCOMPARE(t[MeasPeriod].Value, QStringLiteral("1.000ms"));
        QCOMPARE(t[MeasFrequency].Value, QStringLiteral("1.000kHz"));
        for (const MeasItem &item : t)
            QVERIFY(!item.Value.isEmpty());
        const QString info = app().xfer.MeasInfo;
        QVERIFY2(info.startsWith(QStringLiteral("CH%1 1.00V  500.0us 666.7kSa  [Date:").arg(channel)),
                 qPrintable(info));
    }

    void invalidMeasurements()
    {
        connect(Transport::Visa); // CH2 is off: every measurement answers "****"
        QVERIFY(RunTransferRequest(TransferCaption::Measure, 2));
        const MeasTable &t = app().xfer.MeasSlot;
        QCOMPARE(t[MeasVpp].Value, QStringLiteral("*****"));
        QCOMPARE(t[MeasFrequency].Value, QStringLiteral("*****"));
        QCOMPARE(t[MeasVover].Value, QStringLiteral("****"));
        QCOMPARE(t[MeasDutyNeg].Value, QStringLiteral("****"));
    }
};

QTEST_MAIN(TestRequests)
#include "tst_requests.moc"
