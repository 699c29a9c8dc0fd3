// The controller tree's direct actions, double-clicked in the pane offscreen
// and run against the simulator: the exact lines and pauses, the settings
// read back and the nodes rewritten, in both languages.
#include "editorsfixture.h"
#include "edittable.h"

#include "editors/directactions.h"
#include "panel/frmv_key.h"
#include "workspace/mousecontrol.h"
#include "transfer/frmprgress.h"
#include "transfer/uploaddownload.h"
#include "texts/messagetable.h"

#include <QApplication>
#include <QtTest>


class TestDirectActions : public QObject {
    Q_OBJECT

    void addTrig50(const char *name, const QString &setup, const QStringList &simLines, double ch1Dc, double ch2Dc,
                   const QStringList &lines, const QStringList &members, const QStringList &nodes)
    {
        for (int lang : {LanguageEnglish, LanguageChinese})
            QTest::newRow(qPrintable(QString::fromLatin1(name) + (lang ? QStringLiteral(" (English)")
                                                                       : QStringLiteral(" (Chinese)"))))
                << lang << setup << simLines << ch1Dc << ch2Dc << lines << members << nodes;
    }

    static void dcSignal(Qm4100Sim &sim, int ch, double dc)
    {
        Qm4100Sim::Signal s = sim.signal(ch);
        s.dcVolts = dc;
        sim.setSignal(ch, s);
    }

private slots:
    void forceTriggerAndDisplayClear_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("line");
        QTest::newRow("Force Trigger") << 1 << 5 << ":FORCETRIG";
        QTest::newRow("Display Clear") << 8 << 4 << ":DISPLAY:CLEAR";
    }
    void forceTriggerAndDisplayClear()
    {
        QFETCH(int, group);
        QFETCH(int, item);
        QFETCH(QString, line);
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            EditorsFixture f(lang);
            const CtrlSettings before = app().Settings;
            const QString text = CtrlNodeText(group, item);
            f.doubleClick(group, item);
            QVERIFY(f.dialogsShown.isEmpty());
            QCOMPARE(f.simLines(), QStringList{line});
            // The command's own pause, nothing more.
            QCOMPARE(f.clock.nowMs() - f.sim.log().at(0).atMs, qint64(VisaCommandPauseMs));
            QVERIFY(app().Settings == before);
            QCOMPARE(CtrlNodeText(group, item), text);
            QCOMPARE(app().ctrl.CtrlSettingKey, QStringLiteral(" "));
            QVERIFY(app().ctrl.CtrlSelectedPath.isEmpty());
            QVERIFY(!app().ctrl.CtrlFileModified);
        }
    }

    void laReset_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QByteArray>("highSize");
        QTest::addColumn<QString>("highWord");
        QTest::addColumn<int>("d15");
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            const char *l = lang ? " (English)" : " (Chinese)";
            QTest::newRow(qPrintable(QStringLiteral("big") + QLatin1String(l))) << lang << QByteArray("BIG") << "@WordBig" << 7;
            QTest::newRow(qPrintable(QStringLiteral("small") + QLatin1String(l)))
                << lang << QByteArray("SMALL") << "@WordSmall" << 15;
        }
    }
    void laReset()
    {
        QFETCH(int, lang);
        QFETCH(QByteArray, highSize);
        QFETCH(QString, highWord);
        QFETCH(int, d15);
        EditorsFixture f(lang);
        f.simSet(":LA:GROUP2:SIZE " + highSize);
        f.simSet(":LA:GROUP1:SIZE SMALL");
        for (int k = 0; k <= 15; ++k)
            app().Settings.LAChanPos[16 - k] = QStringLiteral("9");
        app().Settings.LASizeHi = resolved(QStringLiteral("@WordSmall"));
        app().Settings.LASizeLo = resolved(QStringLiteral("@WordBig"));
        f.rebuild();
        const QString sizeHiNode = CtrlNodeText(13, 2);
        const QString sizeLoNode = CtrlNodeText(13, 3);

        f.doubleClick(4, 12);
        QVERIFY(f.dialogsShown.isEmpty());
        QCOMPARE(f.simLines(), (QStringList{":LA:POSITION:RESET", ":LA:GROUP2:SIZE?", ":LA:GROUP1:SIZE?"}));
        QCOMPARE(f.gap(0, 1), qint64(VisaCommandPauseMs + 100));
        QCOMPARE(f.gap(1, 2), qint64(0));
        const CtrlSettings &s = app().Settings;
        QCOMPARE(s.LASizeHi, resolved(highWord));
        QCOMPARE(s.LASizeLo, resolved(QStringLiteral("@WordSmall")));
        for (int n = 0; n <= 15; ++n) {
            // D7 .. D0 at 7 .. 0; D15 .. D8 at 7 .. 0 (big) or 15 .. 8 (small).
            const int pos = n <= 7 ? n : n - 15 + d15;
            QCOMPARE(s.LAChanPos[16 - n], QString::number(pos));
            QCOMPARE(CtrlNodeText(10, 20 - n), QStringLiteral("D%1 [%2]").arg(n).arg(pos));
        }
        // The size nodes keep their texts; nothing is marked modified.
        QCOMPARE(CtrlNodeText(13, 2), sizeHiNode);
        QCOMPARE(CtrlNodeText(13, 3), sizeLoNode);
        QVERIFY(!app().ctrl.CtrlFileModified);
        QVERIFY(app().ctrl.CtrlSelectedPath.isEmpty());
    }

    // A size reply that never comes keeps the stored size, ends the action
    // (nothing more is asked) and loses the link; the positions follow the
    // size kept.
    void laResetWithoutReplies()
    {
        EditorsFixture f(LanguageEnglish, LinkKind::Serial);
        app().Settings.LASizeHi = word(Word::WordSmall);
        app().Settings.LAChanPos[1] = QStringLiteral("3");
        f.rebuild();
        Qm4100Sim::Faults quiet;
        quiet.noReply = true;
        f.sim.setFaults(quiet);
        f.doubleClick(4, 12);
        QCOMPARE(f.simLines(), (QStringList{":LA:POSITION:RESET", ":LA:GROUP2:SIZE?"}));
        QCOMPARE(app().Settings.LASizeHi, word(Word::WordSmall));
        QCOMPARE(app().Settings.LASizeLo, word(Word::WordBig));
        QCOMPARE(app().Settings.LAChanPos[1], QStringLiteral("15"));
        QCOMPARE(CtrlNodeText(10, 5), QStringLiteral("D15 [15]"));
        QVERIFY(!app().link.LinkConnected);
        QCOMPARE(f.fakeUi.messages().size(), 1);
    }

    // The reset that never went out (the cable pulled as it was written):
    // the instrument kept its positions, and so do the settings and the tree.
    void laResetWriteFails_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::newRow("visa") << false;
        QTest::newRow("serial") << true;
    }
    void laResetWriteFails()
    {
        QFETCH(bool, serial);
        EditorsFixture f(LanguageEnglish, serial ? LinkKind::Serial : LinkKind::Visa);
        QVERIFY(f.connected);
        app().Settings.LAChanPos[1] = QStringLiteral("3");
        app().Settings.LAChanPos[16] = QStringLiteral("9");
        f.rebuild();
        const CtrlSettings before = app().Settings;
        const QString d15 = CtrlNodeText(10, 5);
        const QString d0 = CtrlNodeText(10, 20);
        SimVisaBackend::Resource *res = f.backend->resource(QString::fromLatin1(SimUsb1));
        if (serial)
            f.serial->setFailOutput(true);
        else
            res->writeStatus = VI_ERROR_IO;
        f.doubleClick(4, 12);
        if (serial)
            f.serial->setFailOutput(false);
        else
            res->writeStatus = VI_SUCCESS;
        QVERIFY(f.simLines().isEmpty());
        QVERIFY(!app().link.LinkConnected);
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QVERIFY(app().Settings == before);
        QCOMPARE(CtrlNodeText(10, 5), d15);
        QCOMPARE(CtrlNodeText(10, 20), d0);
    }

    void trig50_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("simSetup");
        QTest::addColumn<double>("ch1Dc");
        QTest::addColumn<double>("ch2Dc");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("members");
        QTest::addColumn<QStringList>("nodes");

        const QStringList ch1Half{":CHANNEL1:COUPLING DC", ":CHANNEL1:SCALE 0.5"};
        addTrig50("EDGE on CH1", "EdgeLevel=3.00div", ch1Half, 0.6, 0,
                  {":TRIG%50", ":TRIGGER:EDGE:SOURCE?", ":CHANNEL1:SCALE?", ":TRIGGER:EDGE:LEVEL?"},
                  {"EdgeSource=CH1", "EdgeLevel=1.20div"}, {"6,7|@ItemLevel|1.20div", "6,3|@ItemSource|CH1"});
        addTrig50("EDGE on EXT", "EdgeSource=EXT;EdgeLevel=3.00div", {":TRIGGER:EDGE:SOURCE EXT"}, 0, 0,
                  {":TRIG%50", ":TRIGGER:EDGE:SOURCE?", ":TRIGGER:EDGE:LEVEL?"},
                  {"EdgeSource=EXT", "EdgeLevel=0.00div"}, {"6,7|@ItemLevel|0.00div", "6,3|@ItemSource|EXT"});
        addTrig50("EDGE on the AC line", "EdgeSource=CH2;EdgeLevel=1.00div", {":TRIGGER:EDGE:SOURCE ACLINE"}, 0, 0,
                  {":TRIG%50", ":TRIGGER:EDGE:SOURCE?", ":TRIGGER:EDGE:LEVEL?"},
                  {"EdgeSource=@WordACLine", "EdgeLevel=1.00div"},
                  {"6,7|@ItemLevel|1.00div", "6,3|@ItemSource|@WordACLine"});
        addTrig50("EDGE on a logic channel", "EdgeSource=D3;EdgeLevel=1.00div",
                  {":TRIGGER:EDGE:SOURCE DIGITAL3", ":LA:THRESHOLD 1.4V"}, 0, 0,
                  {":TRIG%50", ":TRIGGER:EDGE:SOURCE?", ":LA:THRESHOLD?"}, {"EdgeSource=D3", "EdgeLevel=1.40V"},
                  {"6,3|@ItemSource|D3"});
        const QString pulse = QStringLiteral("TrigMethod=@WordPulse;");
        addTrig50("PULSE on CH2", pulse + "PulseLevel=3.00div",
                  {":TRIGGER:MODE PULSE", ":TRIGGER:PULSE:SOURCE CHANNEL2", ":CHANNEL2:COUPLING DC"}, 0, 0.5,
                  {":TRIG%50", ":TRIGGER:PULSE:SOURCE?", ":CHANNEL2:SCALE?", ":TRIGGER:PULSE:LEVEL?"},
                  {"PulseSource=CH2", "PulseLevel=0.50div"},
                  {"6,8|@ItemLevel|0.50div", "6,3|@ItemSource|CH2", "6,7|@ItemMode|@WordAuto"});
        addTrig50("PULSE on the AC line reads the threshold", pulse + "PulseLevel=3.00div",
                  {":TRIGGER:MODE PULSE", ":TRIGGER:PULSE:SOURCE ACLINE", ":LA:THRESHOLD CMOS"}, 0, 0,
                  {":TRIG%50", ":TRIGGER:PULSE:SOURCE?", ":LA:THRESHOLD?"}, {"PulseSource=ACLINE", "PulseLevel=CMOS"},
                  {"6,8|@ItemLevel|CMOS", "6,3|@ItemSource|ACLINE"});
        addTrig50("VIDEO on EXT5", "TrigMethod=@WordVideo;VideoLevel=2.00div",
                  {":TRIGGER:MODE VIDEO", ":TRIGGER:VIDEO:SOURCE EXT5"}, 0, 0,
                  {":TRIG%50", ":TRIGGER:VIDEO:SOURCE?", ":TRIGGER:VIDEO:LEVEL?"},
                  {"VideoSource=EXT5", "VideoLevel=0.00div"}, {"6,8|@ItemLevel|0.00div", "6,3|@ItemSource|EXT5"});
        addTrig50("SLOPE on CH1", "TrigMethod=@WordSlope", QStringList{":TRIGGER:MODE SLOPE"} + ch1Half, 0.6, 0,
                  {":TRIG%50", ":TRIGGER:SLOPE:SOURCE?", ":CHANNEL1:SCALE?", ":TRIGGER:SLOPE:LEVELA?",
                   ":TRIGGER:SLOPE:LEVELB?"},
                  {"SlopeSource=CH1", "SlopeLevelA=1.00div", "SlopeLevelB=1.40div"},
                  {"6,9|@ItemLevelA|1.00div", "6,10|@ItemLevelB|1.40div", "6,3|@ItemSource|CH1"});
        const QString alt = QStringLiteral("TrigMethod=@WordAlternative;");
        addTrig50("ALTERNATIVE, both EDGE", alt + "AltCH2EdgeLevel=1.00div",
                  QStringList{":TRIGGER:MODE ALTERNATION"} + ch1Half, 0.6, 0,
                  {":TRIG%50", ":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":CHANNEL1:SCALE?",
                   ":TRIGGER:ALTERNATION:EDGE:LEVEL?", ":TRIGGER:ALTERNATION:SOURCE CHANNEL2", ":CHANNEL2:SCALE?",
                   ":TRIGGER:ALTERNATION:EDGE:LEVEL?"},
                  {"AltCH1EdgeLevel=1.20div", "AltCH2EdgeLevel=0.00div"},
                  {"19,17|@ItemLevel|1.20div", "20,17|@ItemLevel|0.00div"});
        addTrig50("ALTERNATIVE, SLOPE and VIDEO", alt + "AltCH1Type=@WordSlope;AltCH2Type=@WordVideo;AltCH2VideoLevel=3.00div",
                  QStringList{":TRIGGER:MODE ALTERNATION", ":TRIGGER:ALTERNATION:SOURCE CHANNEL1",
                              ":TRIGGER:ALTERNATION:TYPE SLOPE", ":TRIGGER:ALTERNATION:SOURCE CHANNEL2",
                              ":TRIGGER:ALTERNATION:TYPE VIDEO", ":TRIGGER:ALTERNATION:VIDEO:LEVEL 0.4"}
                      + ch1Half,
                  0.6, 0,
                  {":TRIG%50", ":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":CHANNEL1:SCALE?",
                   ":TRIGGER:ALTERNATION:SLOPE:LEVELA?", ":TRIGGER:ALTERNATION:SLOPE:LEVELB?",
                   ":TRIGGER:ALTERNATION:SOURCE CHANNEL2", ":CHANNEL2:SCALE?", ":TRIGGER:ALTERNATION:VIDEO:LEVEL?"},
                  {"AltCH1SlopeLevelA=1.20div", "AltCH1SlopeLevelB=1.20div", "AltCH2VideoLevel=0.00div"},
                  {"19,18|@ItemLevelA|1.20div", "19,19|@ItemLevelB|1.20div", "20,17|@ItemLevel|0.00div"});
        addTrig50("PATTERN", "TrigMethod=@WordPattern", {":TRIGGER:MODE PATTERN"}, 0, 0, {":TRIG%50"}, {}, {});
        addTrig50("DURATION", "TrigMethod=@WordDuration", {":TRIGGER:MODE DURATION"}, 0, 0, {":TRIG%50"}, {}, {});
    }
    void trig50()
    {
        QFETCH(int, lang);
        QFETCH(QString, setup);
        QFETCH(QStringList, simSetup);
        QFETCH(double, ch1Dc);
        QFETCH(double, ch2Dc);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, members);
        QFETCH(QStringList, nodes);

        EditorsFixture f(lang);
        for (const QString &l : simSetup)
            f.simSet(l.toLatin1());
        QCOMPARE(f.sim.refusedCount(), 0);
        dcSignal(f.sim, 1, ch1Dc);
        dcSignal(f.sim, 2, ch2Dc);
        QVERIFY(setMembers(setup));
        f.rebuild();
        const QString methodNode = CtrlNodeText(6, 2);

        f.doubleClick(1, 4);
        QVERIFY(f.dialogsShown.isEmpty());
        QCOMPARE(f.simLines(), lines);
        // Each command takes its pause, the queries none.
        for (int i = 1; i < lines.size(); ++i)
            QCOMPARE(f.gap(i - 1, i), lines[i - 1].endsWith(u'?') ? qint64(0) : qint64(VisaCommandPauseMs));
        for (const QString &m : members)
            QVERIFY2(memberCheck(m).isEmpty(), qPrintable(memberCheck(m)));
        for (const QString &n : nodes)
            QVERIFY2(nodeCheck(n).isEmpty(), qPrintable(nodeCheck(n)));
        QCOMPARE(CtrlNodeText(6, 2), methodNode);
        // A logic source has no Level node, and none is made.
        if (setup.contains(QLatin1String("EdgeSource=D3")))
            QVERIFY(!HasCtrlNode(6, 7));
        QVERIFY(!app().ctrl.CtrlFileModified);
        QVERIFY(app().ctrl.CtrlSelectedPath.isEmpty());
    }

    // A scale that reads as zero, or none at all, gives no level: the member
    // and its node keep their text, nothing becomes "inf" or "nan".
    void trig50WithoutAUsableScale_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("scaleReply");
        QTest::addColumn<QStringList>("members");
        QTest::addColumn<QStringList>("nodes");
        QTest::newRow("EDGE, zero") << "EdgeLevel=2.50div" << "0" << QStringList{"EdgeLevel=2.50div"}
                                    << QStringList{"6,7|@ItemLevel|2.50div"};
        QTest::newRow("EDGE, exponent zero") << "EdgeLevel=2.50div" << "0.000e+00" << QStringList{"EdgeLevel=2.50div"}
                                             << QStringList{"6,7|@ItemLevel|2.50div"};
        QTest::newRow("EDGE, unreadable") << "EdgeLevel=2.50div" << "garbage" << QStringList{"EdgeLevel=2.50div"}
                                          << QStringList{"6,7|@ItemLevel|2.50div"};
        QTest::newRow("SLOPE, zero") << "TrigMethod=@WordSlope;SlopeLevelA=1.00div;SlopeLevelB=2.00div" << "0"
                                     << QStringList{"SlopeLevelA=1.00div", "SlopeLevelB=2.00div"}
                                     << QStringList{"6,9|@ItemLevelA|1.00div", "6,10|@ItemLevelB|2.00div"};
        QTest::newRow("ALTERNATIVE, zero") << "TrigMethod=@WordAlternative;AltCH1EdgeLevel=-1.00div" << "0"
                                           << QStringList{"AltCH1EdgeLevel=-1.00div"}
                                           << QStringList{"19,17|@ItemLevel|-1.00div"};
    }
    void trig50WithoutAUsableScale()
    {
        QFETCH(QString, setup);
        QFETCH(QString, scaleReply);
        QFETCH(QStringList, members);
        QFETCH(QStringList, nodes);
        EditorsFixture f;
        if (setup.contains(QLatin1String("Slope")))
            f.simSet(":TRIGGER:MODE SLOPE");
        if (setup.contains(QLatin1String("Alternative")))
            f.simSet(":TRIGGER:MODE ALTERNATION");
        QVERIFY(setMembers(setup));
        f.rebuild();
        ReplacedReplies replaced;
        replaced.replies.insert(QStringLiteral(":CHANNEL1:SCALE?"), scaleReply);
        f.doubleClick(1, 4);
        QVERIFY(f.sim.count(":CHANNEL1:SCALE?") == 1);
        for (const QString &m : members)
            QVERIFY2(memberCheck(m).isEmpty(), qPrintable(memberCheck(m)));
        for (const QString &n : nodes)
            QVERIFY2(nodeCheck(n).isEmpty(), qPrintable(nodeCheck(n)));
        QVERIFY(!settingsHoldInfOrNan());
    }

    // Over the serial link: the same lines, each after its pacing and pause;
    // with the instrument silent every query times out and every member
    // keeps its text.
    void trig50OverSerial()
    {
        EditorsFixture f(LanguageEnglish, LinkKind::Serial);
        f.simSet(":CHANNEL1:COUPLING DC");
        f.simSet(":CHANNEL1:SCALE 0.5");
        dcSignal(f.sim, 1, 0.6);
        f.doubleClick(1, 4);
        QCOMPARE(f.simLines(),
                 (QStringList{":TRIG%50", ":TRIGGER:EDGE:SOURCE?", ":CHANNEL1:SCALE?", ":TRIGGER:EDGE:LEVEL?"}));
        // ":TRIG%50" and its LF, 9 characters at 3.125 ms (28 ms), then 100 ms.
        QCOMPARE(f.gap(0, 1), qint64(28 + SerialCommandPauseMs));
        QCOMPARE(app().Settings.EdgeLevel, QStringLiteral("1.20div"));

        app().Settings.EdgeLevel = QStringLiteral("-2.00div");
        app().Settings.EdgeSource = QStringLiteral("CH1");
        f.rebuild();
        f.sim.clearLog();
        Qm4100Sim::Faults quiet;
        quiet.noReply = true;
        f.sim.setFaults(quiet);
        f.doubleClick(1, 4);
        // The source never answered: that ends the action (nothing more is
        // asked, the link is lost) and nothing is stored.
        QCOMPARE(f.simLines(), (QStringList{":TRIG%50", ":TRIGGER:EDGE:SOURCE?"}));
        QCOMPARE(app().Settings.EdgeSource, QStringLiteral("CH1"));
        QCOMPARE(app().Settings.EdgeLevel, QStringLiteral("-2.00div"));
        QCOMPARE(CtrlNodeText(6, 7), QStringLiteral("Level [-2.00div]"));
        QVERIFY(!app().link.LinkConnected);
        QCOMPARE(f.fakeUi.messages().size(), 1);
    }

    void autoSet()
    {
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            EditorsFixture f(lang);
            app().ctrl.hooks.showTransfer = [](const QString &caption) { ShowTransferDialog(caption); };
            InstallSettingsTransfer();
            app().Settings.CH1VoltDiv = QStringLiteral("5.00V");
            f.rebuild();
            // The pointer while the instrument sets itself up.
            int pointerMidway = -1;
            auto probe = f.clock.makeTimer();
            probe->setSingleShot(true);
            probe->onTimeout = [&] { pointerMidway = MouseControl::Cursor(); };
            probe->start(2000);

            f.doubleClick(1, 3);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            const QStringList lines = f.simLines();
            QVERIFY(lines.size() > 60);
            QCOMPARE(lines.at(0), QStringLiteral(":AUTO"));
            // Then the whole download, opened by the transfer dialog's status query.
            QCOMPARE(lines.at(1), QStringLiteral(":TRIGGER:STATUS?"));
            QCOMPARE(lines.at(2), QStringLiteral(":CHANNEL:ACTIVE?"));
            QVERIFY(lines.contains(QStringLiteral(":TRIGGER:DURATION:SWEEP?")));
            QVERIFY(f.gap(0, 1) >= VisaCommandPauseMs + 4000);
            QCOMPARE(pointerMidway, 11);
            QCOMPARE(MouseControl::Cursor(), 0);
            // The record and the tree hold what the instrument chose.
            QCOMPARE(app().Settings.CH1VoltDiv, QStringLiteral("500mV"));
            QCOMPARE(CtrlNodeText(2, 3), word(Word::ItemVoltDiv) + QStringLiteral(" [500mV]"));
            QVERIFY(app().ctrl.CtrlFileModified);
            QVERIFY(app().ctrl.CtrlSelectedPath.isEmpty());
        }
    }

    // The download is refused while a transfer runs: the pointer still comes back.
    void autoSetWhileATransferRuns()
    {
        EditorsFixture f;
        app().ctrl.hooks.showTransfer = [](const QString &caption) { ShowTransferDialog(caption); };
        app().transfer.TransferBusy = true;
        const CtrlSettings before = app().Settings;
        f.doubleClick(1, 3);
        QCOMPARE(f.simLines(), QStringList{":AUTO"});
        QCOMPARE(f.clock.nowMs() - f.sim.log().at(0).atMs, qint64(VisaCommandPauseMs + 4000));
        QCOMPARE(MouseControl::Cursor(), 0);
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(app().Settings == before);
        QVERIFY(!app().ctrl.CtrlFileModified);
    }

    // A cable pulled as ":AUTO" goes out: the link tells it once, and the
    // action ends there (no wait for an instrument setting itself up, no
    // download refused with a second message).
    void autoSetWriteFails_data()
    {
        QTest::addColumn<bool>("serial");
        QTest::newRow("visa") << false;
        QTest::newRow("serial") << true;
    }
    void autoSetWriteFails()
    {
        QFETCH(bool, serial);
        EditorsFixture f(LanguageEnglish, serial ? LinkKind::Serial : LinkKind::Visa);
        QVERIFY(f.connected);
        app().ctrl.hooks.showTransfer = [](const QString &caption) { ShowTransferDialog(caption); };
        InstallSettingsTransfer();
        app().ctrl.CtrlFileModified = false;
        const CtrlSettings before = app().Settings;
        SimVisaBackend::Resource *res = f.backend->resource(QString::fromLatin1(SimUsb1));
        if (serial)
            f.serial->setFailOutput(true);
        else
            res->writeStatus = VI_ERROR_IO;
        const qint64 start = f.clock.nowMs();
        f.doubleClick(1, 3);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (serial)
            f.serial->setFailOutput(false);
        else
            res->writeStatus = VI_SUCCESS;
        QVERIFY(f.simLines().isEmpty());
        QVERIFY(!app().link.LinkConnected);
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().at(0).title,
                 message(serial ? Msg::MsgRs232SendTitle : Msg::MsgDeviceSendTitle));
        QVERIFY2(f.clock.nowMs() - start < 4000, qPrintable(QString::number(f.clock.nowMs() - start)));
        QCOMPARE(MouseControl::Cursor(), 0);
        QVERIFY(app().Settings == before);
        QVERIFY(!app().ctrl.CtrlFileModified);
    }

    void virtualPanel()
    {
        EditorsFixture f(LanguageEnglish, LinkKind::Serial);
        app().ctrl.CtrlSelectedPath = CtrlTreeRootText() + u'\\' + word(Word::ItemVirtualPanel);
        // Refused while a transfer runs; the path stays for a later Enter.
        app().transfer.TransferBusy = true;
        QTest::keyClick(f.tree(), Qt::Key_Return);
        QVERIFY(f.dialogsShown.isEmpty());
        QVERIFY(!app().ctrl.CtrlSelectedPath.isEmpty());
        app().transfer.TransferBusy = false;
        QTest::keyClick(f.tree(), Qt::Key_Return);
        QCOMPARE(f.dialogsShown, QStringList{QStringLiteral("frmV_Key")});
        QVERIFY(f.simLines().isEmpty());
        QVERIFY(app().ctrl.CtrlSelectedPath.isEmpty());
    }
};

QTEST_MAIN(TestDirectActions)
#include "tst_directactions.moc"
