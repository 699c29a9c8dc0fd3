// The trigger's setting editors end to end: a node of the Trigger group (or
// of its CH1 and CH2 sub-groups under the alternate trigger) double-clicked in
// the pane offscreen, a value chosen or typed, OK; the exact lines and pauses
// reach the simulator, and the settings, the nodes and the tree's shape
// follow, in both languages.
#include "editorsfixture.h"
#include "edittable.h"

#include "texts/messagetable.h"

#include <QtTest>

namespace {

// Picks the entry "=text" (resolved; "=" alone leaves the list without a
// selection) or types "#text", then presses OK.
void act(CtrlDialog &d, const QString &input)
{
    if (input == QLatin1String("=")) {
        QCOMPARE(d.choice(), QString()); // the current value is no entry
    } else if (input.startsWith(u'=')) {
        const QString text = resolved(input.mid(1));
        const int index = d.Combo()->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        QVERIFY2(index >= 0, qPrintable(QStringLiteral("no entry ") + text));
        d.Combo()->setCurrentIndex(index);
    } else {
        d.inputTxt()->selectAll();
        QTest::keyClicks(d.inputTxt(), input.mid(1));
    }
    QTest::mouseClick(d.cmdOK(), Qt::LeftButton);
}

// "a>b=ms": virtual milliseconds from log line a to log line b ("*IDN?" is 0).
QString gapCheck(const EditorsFixture &f, const QString &spec)
{
    const qsizetype gt = spec.indexOf(u'>'), eq = spec.indexOf(u'=');
    const int a = spec.left(gt).toInt(), b = spec.mid(gt + 1, eq - gt - 1).toInt();
    const qint64 want = spec.mid(eq + 1).toLongLong();
    if (b >= f.sim.log().size())
        return QStringLiteral("no line %1").arg(b);
    const qint64 got = f.gap(a, b);
    return got == want ? QString() : QStringLiteral("gap %1: %2 ms, expected %3").arg(spec).arg(got).arg(want);
}

// "HEADER=value" of the simulator's settings; "1:HEADER=value" of the
// alternation settings of channel 1 (2: channel 2).
QString simCheck(const EditorsFixture &f, const QString &spec)
{
    const qsizetype eq = spec.indexOf(u'=');
    QString header = spec.left(eq);
    QByteArray got;
    if (header.at(1) == u':') {
        const int ch = header.left(1).toInt();
        header = header.mid(2);
        got = f.sim.altSetting(ch, header.toLatin1());
    } else {
        got = f.sim.setting(header.toLatin1());
    }
    const QString want = spec.mid(eq + 1);
    return QString::fromLatin1(got) == want ? QString()
                                            : QStringLiteral("%1 = %2, expected %3").arg(header, QString::fromLatin1(got), want);
}

bool hasNode(const QString &spec)
{
    const QStringList id = spec.split(u',');
    return HasCtrlNode(id.at(0).toInt(), id.at(1).toInt());
}

const int Cmd = VisaCommandPauseMs; // the pause every command line takes

QString ms(int extra)
{
    return QString::number(Cmd + extra);
}

} // namespace

class TestTrigger : public QObject {
    Q_OBJECT

    void columns()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("simSetup");
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("gaps");
        QTest::addColumn<QStringList>("members");
        QTest::addColumn<QStringList>("nodes");
        QTest::addColumn<QStringList>("sims");
        QTest::addColumn<QStringList>("absent");
        QTest::addColumn<QStringList>("replies");
    }

    // One row in both languages.
    void row(const QString &name, const QString &setup, const QStringList &simSetup, const QString &node,
             const QString &input, const QStringList &lines, const QStringList &gaps, const QStringList &members,
             const QStringList &nodes, const QStringList &sims, const QStringList &absent = {},
             const QStringList &replies = {})
    {
        for (int lang : {LanguageEnglish, LanguageChinese})
            QTest::newRow(qPrintable(name + (lang ? QStringLiteral(" (English)") : QStringLiteral(" (Chinese)"))))
                << lang << setup << simSetup << node << input << lines << gaps << members << nodes << sims << absent
                << replies;
    }

    // Runs the row: settings and simulator set up, the node edited, then every
    // check of the row.
    void runRow()
    {
        QFETCH(int, lang);
        QFETCH(QString, setup);
        QFETCH(QStringList, simSetup);
        QFETCH(QString, node);
        QFETCH(QString, input);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, gaps);
        QFETCH(QStringList, members);
        QFETCH(QStringList, nodes);
        QFETCH(QStringList, sims);
        QFETCH(QStringList, absent);
        QFETCH(QStringList, replies);
        EditorsFixture f(lang);
        QVERIFY(f.connected);
        // "query=reply": the instrument's reply to query replaced.
        ReplacedReplies replaced;
        for (const QString &r : replies) {
            const qsizetype eq = r.indexOf(u'=');
            replaced.replies.insert(r.left(eq), r.mid(eq + 1));
        }
        for (const QString &l : simSetup)
            f.simSet(l.toLatin1());
        QVERIFY(setMembers(setup));
        f.rebuild();
        const QStringList id = node.split(u',');
        bool closed = false;
        f.edit(id.at(0).toInt(), id.at(1).toInt(), [&](CtrlDialog &d) {
            act(d, input);
            closed = !d.isVisible();
        });
        QVERIFY(closed);
        QCOMPARE(f.simLines(), QStringList{"*IDN?"} + lines);
        for (const QString &g : gaps)
            QVERIFY2(gapCheck(f, g).isEmpty(), qPrintable(gapCheck(f, g)));
        for (const QString &m : members)
            QVERIFY2(memberCheck(m).isEmpty(), qPrintable(memberCheck(m)));
        for (const QString &n : nodes)
            QVERIFY2(nodeCheck(n).isEmpty(), qPrintable(nodeCheck(n)));
        for (const QString &s : sims)
            QVERIFY2(simCheck(f, s).isEmpty(), qPrintable(simCheck(f, s)));
        for (const QString &a : absent)
            QVERIFY2(!hasNode(a), qPrintable(QStringLiteral("node %1 still shown").arg(a)));
        QVERIFY(!settingsHoldInfOrNan());
        QVERIFY(app().ctrl.CtrlFileModified);
        QVERIFY(f.fakeUi.messages().isEmpty());
        // The node edited (or the one its rebuild names) is the selected one.
        QVERIFY(f.tree()->currentItem());
    }

private slots:
    // The instrument names no trigger source (an empty line, or no reply at
    // all): no level can be formed, so none is sent (never a level of 0 V in
    // place of the one chosen). The user is told the read failed, once, and
    // the setting, its node and the control file's modified flag stay as
    // they were.
    void levelWithoutASourceChangesNothing_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<bool>("serial");    // no reply over the serial link; else an empty line over VISA
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("simSetup");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("member"); // as it stood: "Member=value"
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("method"); // the command token
        const QString edge = QStringLiteral("TrigMethod=@WordEdge;EdgeSource=CH1;EdgeLevel=1.00div");
        const QString pulse = QStringLiteral("TrigMethod=@WordPulse;PulseSource=CH2;PulseLevel=-0.50div");
        const QString video = QStringLiteral("TrigMethod=@WordVideo;VideoSource=EXT5;VideoLevel=0.20div");
        const QString slope = QStringLiteral("TrigMethod=@WordSlope;SlopeSource=CH1;SlopeLevelA=0.40div;"
                                             "SlopeLevelB=-0.40div");
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            for (bool serial : {false, true}) {
                const QByteArray n = QByteArray(lang ? "english, " : "chinese, ") + (serial ? "serial, " : "visa, ");
                QTest::newRow(n + "edge level") << lang << serial << edge
                    << QStringList{":TRIGGER:MODE EDGE", ":TRIGGER:EDGE:SOURCE CHANNEL1"} << 7
                    << "EdgeLevel=1.00div" << "@ItemLevel" << "EDGE:LEVEL";
                QTest::newRow(n + "pulse level") << lang << serial << pulse
                    << QStringList{":TRIGGER:MODE PULSE", ":TRIGGER:PULSE:SOURCE CHANNEL2"} << 8
                    << "PulseLevel=-0.50div" << "@ItemLevel" << "PULSE:LEVEL";
                QTest::newRow(n + "video level") << lang << serial << video
                    << QStringList{":TRIGGER:MODE VIDEO", ":TRIGGER:VIDEO:SOURCE EXT5"} << 8
                    << "VideoLevel=0.20div" << "@ItemLevel" << "VIDEO:LEVEL";
                // Levels A and B ask the source twice; the second reply forms the level.
                QTest::newRow(n + "slope level A") << lang << serial << slope
                    << QStringList{":TRIGGER:MODE SLOPE", ":TRIGGER:SLOPE:SOURCE CHANNEL1"} << 9
                    << "SlopeLevelA=0.40div" << "@ItemLevelA" << "SLOPE:LEVELA";
                QTest::newRow(n + "slope level B") << lang << serial << slope
                    << QStringList{":TRIGGER:MODE SLOPE", ":TRIGGER:SLOPE:SOURCE CHANNEL1"} << 10
                    << "SlopeLevelB=-0.40div" << "@ItemLevelB" << "SLOPE:LEVELB";
            }
        }
    }
    void levelWithoutASourceChangesNothing()
    {
        QFETCH(int, lang);
        QFETCH(bool, serial);
        QFETCH(QString, setup);
        QFETCH(QStringList, simSetup);
        QFETCH(int, item);
        QFETCH(QString, member);
        QFETCH(QString, label);
        QFETCH(QString, method);
        EditorsFixture f(lang, serial ? LinkKind::Serial : LinkKind::Visa);
        QVERIFY(f.connected);
        for (const QString &l : simSetup)
            f.simSet(l.toLatin1());
        QVERIFY(setMembers(setup));
        f.rebuild();
        app().ctrl.CtrlFileModified = false;
        const QString value = member.mid(member.indexOf(u'=') + 1);
        const QString nodeSpec = QStringLiteral("6,%1|%2|%3").arg(item).arg(label, value);
        QVERIFY2(nodeCheck(nodeSpec).isEmpty(), qPrintable(nodeCheck(nodeSpec)));
        const QByteArray levelBefore = f.sim.setting(":TRIGGER:" + method.toLatin1());
        const QString sourceLine = QStringLiteral(":TRIGGER:") + method.left(method.indexOf(u':')) + QStringLiteral(":SOURCE?");

        // Over VISA the instrument answers an empty line; over the serial link
        // it does not answer at all (a time-out: the link is lost, and the
        // first reply that does not come ends the apply).
        ReplacedReplies replaced;
        if (!serial)
            replaced.replies.insert(sourceLine, QString());
        bool closed = false;
        f.edit(6, item, [&](CtrlDialog &d) {
            const int index = d.Combo()->findText(QStringLiteral("2.00div"), Qt::MatchExactly);
            QVERIFY(index >= 0);
            d.Combo()->setCurrentIndex(index);
            if (serial) {
                Qm4100Sim::Faults faults;
                faults.silentFromQuery = 2; // every query after "*IDN?"
                f.sim.setFaults(faults);
            }
            QTest::mouseClick(d.cmdOK(), Qt::LeftButton);
            closed = !d.isVisible();
        });
        QVERIFY(closed);
        QStringList expected{"*IDN?", sourceLine};
        if (method.startsWith(QLatin1String("SLOPE")) && !serial)
            expected << sourceLine;
        QCOMPARE(f.simLines(), expected);
        QCOMPARE(f.sim.setting(":TRIGGER:" + method.toLatin1()), levelBefore);
        QVERIFY2(memberCheck(member).isEmpty(), qPrintable(memberCheck(member)));
        QVERIFY2(nodeCheck(nodeSpec).isEmpty(), qPrintable(nodeCheck(nodeSpec)));
        QVERIFY(!app().ctrl.CtrlFileModified);
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().at(0).text, message(Msg::MsgReadFailed));
        QCOMPARE(f.fakeUi.messages().at(0).icon, MsgIcon::Exclamation);
        QCOMPARE(app().link.LinkConnected != 0, !serial);
    }

    // The source answered, its channel's scale not (a time-out over the
    // serial link: the link is lost, the user told once). The level never
    // went out: the setting, its node and the file's flag stay as they were.
    void levelWithoutAScaleChangesNothing_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("simSetup");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("edge level") << QStringLiteral("TrigMethod=@WordEdge;EdgeSource=CH1;EdgeLevel=1.00div")
            << QStringList{":TRIGGER:MODE EDGE", ":TRIGGER:EDGE:SOURCE CHANNEL1"} << 7 << "EdgeLevel=1.00div"
            << "@ItemLevel" << "EDGE:LEVEL" << QStringList{"*IDN?", ":TRIGGER:EDGE:SOURCE?", ":CHANNEL1:SCALE?"};
        QTest::newRow("pulse level") << QStringLiteral("TrigMethod=@WordPulse;PulseSource=CH2;PulseLevel=-0.50div")
            << QStringList{":TRIGGER:MODE PULSE", ":TRIGGER:PULSE:SOURCE CHANNEL2"} << 8 << "PulseLevel=-0.50div"
            << "@ItemLevel" << "PULSE:LEVEL" << QStringList{"*IDN?", ":TRIGGER:PULSE:SOURCE?", ":CHANNEL2:SCALE?"};
        QTest::newRow("slope level A")
            << QStringLiteral("TrigMethod=@WordSlope;SlopeSource=CH1;SlopeLevelA=0.40div;SlopeLevelB=-0.40div")
            << QStringList{":TRIGGER:MODE SLOPE", ":TRIGGER:SLOPE:SOURCE CHANNEL1"} << 9 << "SlopeLevelA=0.40div"
            << "@ItemLevelA" << "SLOPE:LEVELA"
            << QStringList{"*IDN?", ":TRIGGER:SLOPE:SOURCE?", ":CHANNEL1:SCALE?"};
    }
    void levelWithoutAScaleChangesNothing()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, simSetup);
        QFETCH(int, item);
        QFETCH(QString, member);
        QFETCH(QString, label);
        QFETCH(QString, method);
        QFETCH(QStringList, lines);
        EditorsFixture f(LanguageEnglish, LinkKind::Serial);
        QVERIFY(f.connected);
        for (const QString &l : simSetup)
            f.simSet(l.toLatin1());
        QVERIFY(setMembers(setup));
        f.rebuild();
        app().ctrl.CtrlFileModified = false;
        const QString value = member.mid(member.indexOf(u'=') + 1);
        const QString nodeSpec = QStringLiteral("6,%1|%2|%3").arg(item).arg(label, value);
        const QByteArray levelBefore = f.sim.setting(":TRIGGER:" + method.toLatin1());
        // Levels A and B ask the source and its scale twice: the second
        // scale is the one not answered.
        const bool slope = method.startsWith(QLatin1String("SLOPE"));
        bool closed = false;
        f.edit(6, item, [&](CtrlDialog &d) {
            const int index = d.Combo()->findText(QStringLiteral("2.00div"), Qt::MatchExactly);
            QVERIFY(index >= 0);
            d.Combo()->setCurrentIndex(index);
            Qm4100Sim::Faults faults;
            faults.silentFromQuery = slope ? 5 : 3; // "*IDN?" and the source are answered
            f.sim.setFaults(faults);
            QTest::mouseClick(d.cmdOK(), Qt::LeftButton);
            closed = !d.isVisible();
        });
        QVERIFY(closed);
        QStringList expected = lines;
        if (slope)
            expected << expected.at(1) << expected.at(2);
        QCOMPARE(f.simLines(), expected);
        QCOMPARE(f.sim.setting(":TRIGGER:" + method.toLatin1()), levelBefore);
        QVERIFY2(memberCheck(member).isEmpty(), qPrintable(memberCheck(member)));
        QVERIFY2(nodeCheck(nodeSpec).isEmpty(), qPrintable(nodeCheck(nodeSpec)));
        QVERIFY(!app().ctrl.CtrlFileModified);
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().at(0).text, message(Msg::MsgReadFailed));
        QVERIFY(!app().link.LinkConnected);
    }

    // A stored value that is no entry of the list selects nothing; OK then
    // has no value to send for a sensitivity (the choice itself) or a sweep
    // (no token for the empty word). The edit sends no command without its
    // argument and changes nothing: the setting, its node and the control
    // file's modified flag stay as they were, and no message is shown.
    void noValueToSendChangesNothing_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("simSetup");
        QTest::addColumn<QString>("node");   // "group,item"
        QTest::addColumn<QString>("member"); // as it stood: "Member=value"
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("lines"); // after "*IDN?"
        QTest::newRow("edge sensitivity") << "EdgeSensitivity=0.05div" << QStringList{} << "6,8"
                                          << "EdgeSensitivity=0.05div" << "@ItemSensitivity" << QStringList{};
        QTest::newRow("slope sensitivity") << "TrigMethod=@WordSlope;SlopeSensitivity=2.00div"
                                           << QStringList{":TRIGGER:MODE SLOPE"} << "6,11"
                                           << "SlopeSensitivity=2.00div" << "@ItemSensitivity" << QStringList{};
        QTest::newRow("edge sweep") << "EdgeSweep=Sweep" << QStringList{} << "6,5" << "EdgeSweep=Sweep"
                                    << "@ItemMode" << QStringList{};
        // The list never offers EXT5, which the instrument may report.
        QTest::newRow("edge source EXT5") << "EdgeSource=EXT5" << QStringList{":TRIGGER:EDGE:SOURCE EXT5"} << "6,3"
                                          << "EdgeSource=EXT5" << "@ItemSource" << QStringList{};
        QTest::newRow("video source EXT5") << "TrigMethod=@WordVideo;VideoSource=EXT5"
                                           << QStringList{":TRIGGER:MODE VIDEO", ":TRIGGER:VIDEO:SOURCE EXT5"} << "6,3"
                                           << "VideoSource=EXT5" << "@ItemSource" << QStringList{};
        QTest::newRow("alternate CH2 sensitivity")
            << "TrigMethod=@WordAlternative;AltCH2EdgeSensitivity=0.00div"
            << QStringList{":TRIGGER:MODE ALTERNATION"} << "20,20" << "AltCH2EdgeSensitivity=0.00div"
            << "@ItemSensitivity" << QStringList{};
        QTest::newRow("alternate CH1 video line")
            << "TrigMethod=@WordAlternative;AltCH1Type=@WordVideo;AltCH1VideoLine=0"
            << QStringList{":TRIGGER:MODE ALTERNATION"} << "19,14" << "AltCH1VideoLine=0" << "@ItemLineNumber"
            << QStringList{};
    }
    void noValueToSendChangesNothing()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, simSetup);
        QFETCH(QString, node);
        QFETCH(QString, member);
        QFETCH(QString, label);
        QFETCH(QStringList, lines);
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            EditorsFixture f(lang);
            QVERIFY(f.connected);
            for (const QString &l : simSetup)
                f.simSet(l.toLatin1());
            QVERIFY(setMembers(setup));
            f.rebuild();
            app().ctrl.CtrlFileModified = false;
            const QString value = member.mid(member.indexOf(u'=') + 1);
            const QString nodeSpec = node + QStringLiteral("|%1|%2").arg(label, value);
            QVERIFY2(nodeCheck(nodeSpec).isEmpty(), qPrintable(nodeCheck(nodeSpec)));
            const QStringList id = node.split(u',');
            bool closed = false;
            f.edit(id.at(0).toInt(), id.at(1).toInt(), [&](CtrlDialog &d) {
                act(d, QStringLiteral("="));
                closed = !d.isVisible();
            });
            QVERIFY(closed);
            QCOMPARE(f.simLines(), QStringList{"*IDN?"} + lines);
            QVERIFY2(memberCheck(member).isEmpty(), qPrintable(memberCheck(member)));
            QVERIFY2(nodeCheck(nodeSpec).isEmpty(), qPrintable(nodeCheck(nodeSpec)));
            QVERIFY(!app().ctrl.CtrlFileModified);
            QVERIFY(f.fakeUi.messages().isEmpty());
        }
    }

    // Every item of every method of the main trigger.
    void mainItems_data()
    {
        columns();
        const QString edge = QStringLiteral("TrigMethod=@WordEdge;EdgeSource=CH1;EdgeLevel=1.00div;Holdoff=1.00us");
        const QStringList edgeSim{":TRIGGER:MODE EDGE", ":TRIGGER:EDGE:SOURCE CHANNEL1", ":CHANNEL1:SCALE 0.5",
                                  ":CHANNEL1:OFFSET 0.25"};
        // Source: EDGE and PULSE rebuild the tree for the new source.
        row("edge source to CH2", edge, edgeSim, "6,3", "=CH2", {":TRIGGER:EDGE:SOURCE CHANNEL2"}, {},
            {"EdgeSource=CH2"}, {"6,3|@ItemSource|CH2", "6,7|@ItemLevel|1.00div"}, {":TRIGGER:EDGE:SOURCE=CH2"});
        row("edge source to a logic channel", edge, edgeSim, "6,3", "=D3", {":TRIGGER:EDGE:SOURCE DIGITAL3"}, {},
            {"EdgeSource=D3"}, {"6,3|@ItemSource|D3", "6,9|@ItemHoldoff|1.00us"}, {":TRIGGER:EDGE:SOURCE=D3"},
            {"6,6", "6,7", "6,8"});
        row("edge source back to CH1", "TrigMethod=@WordEdge;EdgeSource=D3;EdgeLevel=TTL;Holdoff=100ns",
            {":TRIGGER:EDGE:SOURCE DIGITAL3"}, "6,3", "=CH1", {":TRIGGER:EDGE:SOURCE CHANNEL1"}, {},
            {"EdgeSource=CH1"}, {"6,3|@ItemSource|CH1", "6,7|@ItemLevel|TTL", "6,9|@ItemHoldoff|100ns"},
            {":TRIGGER:EDGE:SOURCE=CH1"});
        row("edge source to the AC line", edge, edgeSim, "6,3", "=@WordACLine", {":TRIGGER:EDGE:SOURCE ACLINE"}, {},
            {"EdgeSource=@WordACLine"}, {"6,3|@ItemSource|@WordACLine"}, {":TRIGGER:EDGE:SOURCE=ACLINE"});
        row("edge sweep", edge, edgeSim, "6,5", "=@WordNormal", {":TRIGGER:EDGE:SWEEP NORMAL"}, {},
            {"EdgeSweep=@WordNormal"}, {"6,5|@ItemMode|@WordNormal"}, {":TRIGGER:EDGE:SWEEP=NORMAL"});
        row("edge coupling", edge, edgeSim, "6,6", "=@WordHF", {":TRIGGER:EDGE:COUPLING HF"}, {},
            {"EdgeCoupling=@WordHF"}, {"6,6|@ItemCoupling|@WordHF"}, {":TRIGGER:EDGE:COUPLING=HF"});
        // Level: level x scale - offset of the source the instrument reports.
        row("edge level on CH1", edge, edgeSim, "6,7", "=2.00div",
            {":TRIGGER:EDGE:SOURCE?", ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?", ":TRIGGER:EDGE:LEVEL .75"}, {},
            {"EdgeLevel=2.00div"}, {"6,7|@ItemLevel|2.00div"}, {":TRIGGER:EDGE:LEVEL=7.500e-01"});
        row("edge level on CH1, other offset", edge, edgeSim + QStringList{":CHANNEL1:OFFSET -0.5"}, "6,7", "=2.00div",
            {":TRIGGER:EDGE:SOURCE?", ":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?", ":TRIGGER:EDGE:LEVEL 1.5"}, {},
            {"EdgeLevel=2.00div"}, {"6,7|@ItemLevel|2.00div"}, {":TRIGGER:EDGE:LEVEL=1.500e+00"});
        row("edge level on EXT", "TrigMethod=@WordEdge;EdgeSource=EXT", {":TRIGGER:EDGE:SOURCE EXT"}, "6,7",
            "=1.52div", {":TRIGGER:EDGE:SOURCE?", ":TRIGGER:EDGE:LEVEL .304"}, {}, {"EdgeLevel=1.52div"},
            {"6,7|@ItemLevel|1.52div"}, {":TRIGGER:EDGE:LEVEL=3.040e-01"});
        row("edge level on EXT5", "TrigMethod=@WordEdge;EdgeSource=EXT5", {":TRIGGER:EDGE:SOURCE EXT5"}, "6,7",
            "=-2.00div", {":TRIGGER:EDGE:SOURCE?", ":TRIGGER:EDGE:LEVEL -2"}, {}, {"EdgeLevel=-2.00div"},
            {"6,7|@ItemLevel|-2.00div"}, {":TRIGGER:EDGE:LEVEL=-2.000e+00"});
        row("edge level on the AC line", "TrigMethod=@WordEdge;EdgeSource=@WordACLine", {":TRIGGER:EDGE:SOURCE ACLINE"},
            "6,7", "=3.00div", {":TRIGGER:EDGE:SOURCE?", ":TRIGGER:EDGE:LEVEL 0"}, {}, {"EdgeLevel=3.00div"},
            {"6,7|@ItemLevel|3.00div"}, {});
        row("edge sensitivity", edge, edgeSim, "6,8", "=0.30div", {":TRIGGER:EDGE:SENSITIVITY 0.30div"}, {},
            {"EdgeSensitivity=0.30div"}, {"6,8|@ItemSensitivity|0.30div"}, {":TRIGGER:EDGE:SENSITIVITY=3.000e-01"});
        row("edge holdoff", edge, edgeSim, "6,9", "#0.0005", {":TRIGGER:HOLDOFF 0.5MS", ":TRIGGER:HOLDOFF?"},
            {"1>2=" + ms(100)}, {"Holdoff=500us"}, {"6,9|@ItemHoldoff|500us"}, {":TRIGGER:HOLDOFF=5.000e-04"});
        row("edge slope", edge, edgeSim, "6,4", "=@WordFalling", {":TRIGGER:EDGE:SLOPE NEGATIVE"}, {},
            {"EdgeSlope=@WordFalling"}, {"6,4|@ItemSlope|@WordFalling"}, {":TRIGGER:EDGE:SLOPE=NEGATIVE"});

        const QString pulse = QStringLiteral("TrigMethod=@WordPulse;PulseSource=CH2;Holdoff=1.00us");
        const QStringList pulseSim{":TRIGGER:MODE PULSE", ":TRIGGER:PULSE:SOURCE CHANNEL2", ":CHANNEL2:SCALE 0.2",
                                   ":CHANNEL2:OFFSET 0.1"};
        row("pulse source to a logic channel", pulse, pulseSim, "6,3", "=D15", {":TRIGGER:PULSE:SOURCE DIGITAL15"}, {},
            {"PulseSource=D15"}, {"6,3|@ItemSource|D15", "6,10|@ItemHoldoff|1.00us"}, {":TRIGGER:PULSE:SOURCE=D15"},
            {"6,6", "6,8", "6,9"});
        row("pulse source to EXT", pulse, pulseSim, "6,3", "=EXT", {":TRIGGER:PULSE:SOURCE EXT"}, {},
            {"PulseSource=EXT"}, {"6,3|@ItemSource|EXT"}, {":TRIGGER:PULSE:SOURCE=EXT"});
        row("pulse sweep", pulse, pulseSim, "6,7", "=@WordSingle", {":TRIGGER:PULSE:SWEEP SINGLE"}, {},
            {"PulseSweep=@WordSingle"}, {"6,7|@ItemMode|@WordSingle"}, {":TRIGGER:PULSE:SWEEP=SINGLE"});
        row("pulse coupling", pulse, pulseSim, "6,6", "=@WordLF", {":TRIGGER:PULSE:COUPLING LF"}, {},
            {"PulseCoupling=@WordLF"}, {"6,6|@ItemCoupling|@WordLF"}, {":TRIGGER:PULSE:COUPLING=LF"});
        row("pulse level on CH2", pulse, pulseSim, "6,8", "=-1.00div",
            {":TRIGGER:PULSE:SOURCE?", ":CHANNEL2:SCALE?", ":CHANNEL2:OFFSET?", ":TRIGGER:PULSE:LEVEL -.3"}, {},
            {"PulseLevel=-1.00div"}, {"6,8|@ItemLevel|-1.00div"}, {":TRIGGER:PULSE:LEVEL=-3.000e-01"});
        row("pulse sensitivity", pulse, pulseSim, "6,9", "=1.00div", {":TRIGGER:PULSE:SENSITIVITY 1.00div"}, {},
            {"PulseSensitivity=1.00div"}, {"6,9|@ItemSensitivity|1.00div"}, {":TRIGGER:PULSE:SENSITIVITY=1.000e+00"});
        row("pulse holdoff", pulse, pulseSim, "6,10", "#2e-6", {":TRIGGER:HOLDOFF 0.002MS", ":TRIGGER:HOLDOFF?"},
            {"1>2=" + ms(100)}, {"Holdoff=2.00us"}, {"6,10|@ItemHoldoff|2.00us"}, {":TRIGGER:HOLDOFF=2.000e-06"});
        row("pulse mode", pulse, pulseSim, "6,4", "=@WordPulseNegGreater", {":TRIGGER:PULSE:MODE -GREATERTHAN"}, {},
            {"PulseMode=@WordPulseNegGreater"}, {"6,4|@ItemPulseMode|@WordPulseNegGreater"},
            {":TRIGGER:PULSE:MODE=-GREATER THAN"});
        // The width is read back at once, with no pause of its own.
        row("pulse width", pulse, pulseSim, "6,5", "#0.00002", {":TRIGGER:PULSE:WIDTH 0.02MS", ":TRIGGER:PULSE:WIDTH?"},
            {"1>2=" + ms(0)}, {"PulseWidth=20.0us"}, {"6,5|@ItemPulseWidth|20.0us"}, {":TRIGGER:PULSE:WIDTH=2.000e-05"});

        const QString video = QStringLiteral("TrigMethod=@WordVideo;VideoSource=EXT5;VideoStandard=NTSC;");
        const QStringList videoSim{":TRIGGER:MODE VIDEO", ":TRIGGER:VIDEO:SOURCE EXT5"};
        row("video source to EXT", video, videoSim, "6,3", "=EXT", {":TRIGGER:VIDEO:SOURCE EXT"}, {},
            {"VideoSource=EXT"}, {"6,3|@ItemSource|EXT"}, {":TRIGGER:VIDEO:SOURCE=EXT"});
        row("video level on EXT5", video, videoSim, "6,8", "=0.52div", {":TRIGGER:VIDEO:SOURCE?", ":TRIGGER:VIDEO:LEVEL .52"},
            {}, {"VideoLevel=0.52div"}, {"6,8|@ItemLevel|0.52div"}, {":TRIGGER:VIDEO:LEVEL=5.200e-01"});
        row("video sensitivity", video, videoSim, "6,9", "=0.10div", {":TRIGGER:VIDEO:SENSITIVITY 0.10div"}, {},
            {"VideoSensitivity=0.10div"}, {"6,9|@ItemSensitivity|0.10div"}, {});
        row("video holdoff", video, videoSim, "6,10", "#1", {":TRIGGER:HOLDOFF 1.0S", ":TRIGGER:HOLDOFF?"},
            {"1>2=" + ms(100)}, {"Holdoff=1.00s"}, {"6,10|@ItemHoldoff|1.00s"}, {});
        row("video polarity", video, videoSim, "6,4", "=@WordNegative", {":TRIGGER:VIDEO:POLARITY NEGATIVE"}, {},
            {"VideoPolarity=@WordNegative"}, {"6,4|@ItemPolarity|@WordNegative"}, {":TRIGGER:VIDEO:POLARITY=NEGATIVE"});
        row("video sync", video, videoSim, "6,5", "=@WordOddField", {":TRIGGER:VIDEO:MODE ODDFIELD"}, {},
            {"VideoSync=@WordOddField"}, {"6,5|@ItemSync|@WordOddField"}, {":TRIGGER:VIDEO:MODE=ODD FIELD"});
        row("video line", video, videoSim, "6,6", "=100", {":TRIGGER:VIDEO:LINE 100"}, {}, {"VideoLine=100"},
            {"6,6|@ItemLineNumber|100"}, {":TRIGGER:VIDEO:LINE=100"});
        row("video standard PAL/SECAM", video, videoSim, "6,7", "=PAL/SECAM",
            {":TRIGGER:VIDEO:STANDARD PALSECAM", ":TRIGGER:VIDEO:LINE?"}, {"1>2=" + ms(100)},
            {"VideoStandard=PAL/SECAM", "VideoLine=1"}, {"6,7|@ItemVideoStandard|PAL/SECAM", "6,6|@ItemLineNumber|1"},
            {":TRIGGER:VIDEO:STANDARD=PAL/SECAM"});
        row("video standard NTSC", "TrigMethod=@WordVideo;VideoSource=EXT5;VideoStandard=PAL/SECAM;VideoLine=600",
            {":TRIGGER:MODE VIDEO", ":TRIGGER:VIDEO:STANDARD PALSECAM", ":TRIGGER:VIDEO:LINE 600"}, "6,7", "=NTSC",
            {":TRIGGER:VIDEO:STANDARD NTSC", ":TRIGGER:VIDEO:LINE?"}, {"1>2=" + ms(100)},
            {"VideoStandard=NTSC", "VideoLine=525"}, {"6,7|@ItemVideoStandard|NTSC", "6,6|@ItemLineNumber|525"},
            {":TRIGGER:VIDEO:STANDARD=NTSC"});

        const QString slope = QStringLiteral("TrigMethod=@WordSlope;SlopeSource=CH1;");
        const QStringList slopeSim{":TRIGGER:MODE SLOPE", ":TRIGGER:SLOPE:SOURCE CHANNEL1", ":CHANNEL1:SCALE 0.5",
                                   ":CHANNEL1:OFFSET 0.25"};
        row("slope source to CH2", slope, slopeSim, "6,3", "=CH2", {":TRIGGER:SLOPE:SOURCE CHANNEL2"}, {},
            {"SlopeSource=CH2"}, {"6,3|@ItemSource|CH2"}, {":TRIGGER:SLOPE:SOURCE=CH2"});
        row("slope sweep", slope, slopeSim, "6,8", "=@WordAuto", {":TRIGGER:SLOPE:SWEEP AUTO"}, {},
            {"SlopeSweep=@WordAuto"}, {"6,8|@ItemMode|@WordAuto"}, {});
        row("slope coupling", slope, slopeSim, "6,7", "=@WordAC", {":TRIGGER:SLOPE:COUPLING AC"}, {},
            {"SlopeCoupling=@WordAC"}, {"6,7|@ItemCoupling|@WordAC"}, {":TRIGGER:SLOPE:COUPLING=AC"});
        row("slope sensitivity", slope, slopeSim, "6,11", "=0.30div", {":TRIGGER:SLOPE:SENSITIVITY 0.30div"}, {},
            {"SlopeSensitivity=0.30div"}, {"6,11|@ItemSensitivity|0.30div"}, {});
        row("slope holdoff", slope, slopeSim, "6,12", "#0.0005", {":TRIGGER:HOLDOFF 0.5MS", ":TRIGGER:HOLDOFF?"},
            {"1>2=" + ms(100)}, {"Holdoff=500us"}, {"6,12|@ItemHoldoff|500us"}, {});
        row("slope mode", slope, slopeSim, "6,4", "=@WordSlopeFallEqual", {":TRIGGER:SLOPE:MODE -EQUAL"}, {},
            {"SlopeMode=@WordSlopeFallEqual"}, {"6,4|@ItemSlopeMode|@WordSlopeFallEqual"}, {":TRIGGER:SLOPE:MODE=-EQUAL"});
        row("slope time", slope, slopeSim, "6,5", "#3e-9", {":TRIGGER:SLOPE:TIME 0.003US", ":TRIGGER:SLOPE:TIME?"},
            {"1>2=" + ms(0)}, {"SlopeTime=3.00ns"}, {"6,5|@ItemSlopeTime|3.00ns"}, {});
        // LevelA and LevelB ask the source's scale once more before the level.
        row("slope level A on CH1", slope, slopeSim, "6,9", "=2.00div",
            {":TRIGGER:SLOPE:SOURCE?", ":CHANNEL1:SCALE?", ":TRIGGER:SLOPE:SOURCE?", ":CHANNEL1:SCALE?",
             ":CHANNEL1:OFFSET?", ":TRIGGER:SLOPE:LEVELA .75"},
            {}, {"SlopeLevelA=2.00div"}, {"6,9|@ItemLevelA|2.00div"}, {":TRIGGER:SLOPE:LEVELA=7.500e-01"});
        row("slope level B on EXT", "TrigMethod=@WordSlope;SlopeSource=EXT", {":TRIGGER:MODE SLOPE", ":TRIGGER:SLOPE:SOURCE EXT"},
            "6,10", "=1.00div", {":TRIGGER:SLOPE:SOURCE?", ":TRIGGER:SLOPE:SOURCE?", ":TRIGGER:SLOPE:LEVELB .2"}, {},
            {"SlopeLevelB=1.00div"}, {"6,10|@ItemLevelB|1.00div"}, {":TRIGGER:SLOPE:LEVELB=2.000e-01"});

        const QString pattern = QStringLiteral("TrigMethod=@WordPattern;");
        row("pattern sweep", pattern, {":TRIGGER:MODE PATTERN"}, "6,22", "=@WordSingle", {":TRIGGER:PATTERN:SWEEP SINGLE"},
            {}, {"PatSweep=@WordSingle"}, {"6,22|@ItemMode|@WordSingle"}, {":TRIGGER:PATTERN:SWEEP=SINGLE"});
        row("pattern holdoff", pattern, {":TRIGGER:MODE PATTERN"}, "6,23", "#0.0005",
            {":TRIGGER:HOLDOFF 0.5MS", ":TRIGGER:HOLDOFF?"}, {"1>2=" + ms(100)}, {"Holdoff=500us"},
            {"6,23|@ItemHoldoff|500us"}, {});

        const QString duration = QStringLiteral("TrigMethod=@WordDuration;");
        row("duration sweep", duration, {":TRIGGER:MODE DURATION"}, "6,24", "=@WordNormal",
            {":TRIGGER:DURATION:SWEEP NORMAL"}, {}, {"DurSweep=@WordNormal"}, {"6,24|@ItemMode|@WordNormal"}, {});
        row("duration holdoff", duration, {":TRIGGER:MODE DURATION"}, "6,25", "#0.0005",
            {":TRIGGER:HOLDOFF 0.5MS", ":TRIGGER:HOLDOFF?"}, {"1>2=" + ms(100)}, {"Holdoff=500us"},
            {"6,25|@ItemHoldoff|500us"}, {});
        row("duration qualifier", duration, {":TRIGGER:MODE DURATION"}, "6,22", "=@WordGreaterThan",
            {":TRIGGER:DURATION:QUALIFIER GREATERTHAN"}, {}, {"DurQualifier=@WordGreaterThan"},
            {"6,22|@ItemQualifier|@WordGreaterThan"}, {":TRIGGER:DURATION:QUALIFIER=GREATER THAN"});
        row("duration time", duration, {":TRIGGER:MODE DURATION"}, "6,23", "#5e-6",
            {":TRIGGER:DURATION:TIME 0.005MS", ":TRIGGER:DURATION:TIME?"}, {"1>2=" + ms(100)}, {"DurTime=5.00us"},
            {"6,23|@ItemDurationTime|5.00us"}, {":TRIGGER:DURATION:TIME=5.000e-06"});
        // Typed times are limited to 1e20 seconds (in single precision) by sign.
        row("holdoff above the limit", edge, edgeSim, "6,9", "#1e25",
            {":TRIGGER:HOLDOFF 100000002004088000000.0S", ":TRIGGER:HOLDOFF?"}, {}, {}, {}, {});
        row("holdoff below the limit", edge, edgeSim, "6,9", "#-1e300",
            {":TRIGGER:HOLDOFF -100000002004088000000000000000.0NS", ":TRIGGER:HOLDOFF?"}, {}, {}, {}, {});
    }
    void mainItems() { runRow(); }

    // Every item of both channels of the alternate trigger: the channel made
    // the alternation source, 100 ms (50 ms before a time), then the item.
    void alternateItems_data()
    {
        columns();
        for (int ch : {1, 2}) {
            const QString c = QString::number(ch);
            const QString other = ch == 1 ? QStringLiteral("2") : QStringLiteral("1");
            const QString g = ch == 1 ? QStringLiteral("19") : QStringLiteral("20");
            const QString select = ":TRIGGER:ALTERNATION:SOURCE CHANNEL" + c;
            const QString alt = QStringLiteral(":TRIGGER:ALTERNATION:");
            const QString n = QStringLiteral("CH") + c + u' ';
            // The other channel is the alternation source beforehand.
            const auto setup = [&](const char *type) {
                return QStringLiteral("TrigMethod=@WordAlternative;AltCH%1Type=@Word%2;AltCH%3Type=@WordEdge")
                    .arg(c, QLatin1String(type), other);
            };
            const auto sim = [&](const char *type) {
                return QStringList{":TRIGGER:MODE ALTERNATION", select, alt + "TYPE " + QLatin1String(type),
                                   ":CHANNEL" + c + ":SCALE 0.5", ":CHANNEL" + c + ":OFFSET 0.25",
                                   ":TRIGGER:ALTERNATION:SOURCE CHANNEL" + other};
            };
            const QString member = "AltCH" + c;
            const QStringList choiceGap{"1>2=" + ms(100)};
            const QStringList timeGaps{"1>2=" + ms(50), "2>3=" + ms(50)};

            row(n + "edge coupling", setup("Edge"), sim("EDGE"), g + ",16", "=@WordAC",
                {select, alt + "EDGE:COUPLING AC"}, choiceGap, {member + "EdgeCoupling=@WordAC"},
                {g + ",16|@ItemCoupling|@WordAC"}, {c + ":" + alt + "EDGE:COUPLING=AC"});
            row(n + "edge level", setup("Edge"), sim("EDGE"), g + ",17", "=2.00div",
                {select, ":CHANNEL" + c + ":SCALE?", ":CHANNEL" + c + ":OFFSET?", alt + "EDGE:LEVEL .75"}, choiceGap,
                {member + "EdgeLevel=2.00div"}, {g + ",17|@ItemLevel|2.00div"}, {c + ":" + alt + "EDGE:LEVEL=7.500e-01"});
            row(n + "edge sensitivity", setup("Edge"), sim("EDGE"), g + ",20", "=0.30div",
                {select, alt + "EDGE:SENSITIVITY 0.30div"}, choiceGap, {member + "EdgeSensitivity=0.30div"},
                {g + ",20|@ItemSensitivity|0.30div"}, {c + ":" + alt + "EDGE:SENSITIVITY=3.000e-01"});
            row(n + "edge holdoff", setup("Edge"), sim("EDGE"), g + ",21", "#0.0005",
                {select, alt + "EDGE:HOLDOFF 0.5MS", alt + "EDGE:HOLDOFF?"}, timeGaps, {member + "EdgeHoldoff=500us"},
                {g + ",21|@ItemHoldoff|500us"}, {c + ":" + alt + "EDGE:HOLDOFF=5.000e-04"});
            row(n + "edge slope", setup("Edge"), sim("EDGE"), g + ",6", "=@WordFalling",
                {select, alt + "EDGE:SLOPE NEGATIVE"}, choiceGap, {member + "EdgeSlope=@WordFalling"},
                {g + ",6|@ItemSlope|@WordFalling"}, {c + ":" + alt + "EDGE:SLOPE=NEGATIVE"});

            row(n + "pulse coupling", setup("Pulse"), sim("PULSE"), g + ",16", "=@WordHF",
                {select, alt + "PULSE:COUPLING HF"}, choiceGap, {member + "PulseCoupling=@WordHF"},
                {g + ",16|@ItemCoupling|@WordHF"}, {c + ":" + alt + "PULSE:COUPLING=HF"});
            row(n + "pulse level", setup("Pulse"), sim("PULSE"), g + ",17", "=-1.00div",
                {select, ":CHANNEL" + c + ":SCALE?", ":CHANNEL" + c + ":OFFSET?", alt + "PULSE:LEVEL -.75"}, choiceGap,
                {member + "PulseLevel=-1.00div"}, {g + ",17|@ItemLevel|-1.00div"}, {});
            row(n + "pulse sensitivity", setup("Pulse"), sim("PULSE"), g + ",20", "=0.50div",
                {select, alt + "PULSE:SENSITIVITY 0.50div"}, choiceGap, {member + "PulseSensitivity=0.50div"},
                {g + ",20|@ItemSensitivity|0.50div"}, {});
            row(n + "pulse holdoff", setup("Pulse"), sim("PULSE"), g + ",21", "#2e-6",
                {select, alt + "PULSE:HOLDOFF 0.002MS", alt + "PULSE:HOLDOFF?"}, timeGaps, {member + "PulseHoldoff=2.00us"},
                {g + ",21|@ItemHoldoff|2.00us"}, {});
            row(n + "pulse mode", setup("Pulse"), sim("PULSE"), g + ",7", "=@WordPulsePosEqual",
                {select, alt + "PULSE:MODE +EQUAL"}, choiceGap, {member + "PulseMode=@WordPulsePosEqual"},
                {g + ",7|@ItemPulseMode|@WordPulsePosEqual"}, {c + ":" + alt + "PULSE:MODE=+EQUAL"});
            row(n + "pulse width", setup("Pulse"), sim("PULSE"), g + ",8", "#0.00002",
                {select, alt + "PULSE:TIME 0.02MS", alt + "PULSE:TIME?"}, timeGaps, {member + "PulseWidth=20.0us"},
                {g + ",8|@ItemPulseWidth|20.0us"}, {c + ":" + alt + "PULSE:TIME=2.000e-05"});

            row(n + "video level", setup("Video"), sim("VIDEO"), g + ",17", "=1.00div",
                {select, ":CHANNEL" + c + ":SCALE?", ":CHANNEL" + c + ":OFFSET?", alt + "VIDEO:LEVEL .25"}, choiceGap,
                {member + "VideoLevel=1.00div"}, {g + ",17|@ItemLevel|1.00div"}, {});
            row(n + "video sensitivity", setup("Video"), sim("VIDEO"), g + ",20", "=0.30div",
                {select, alt + "VIDEO:SENSITIVITY 0.30div"}, choiceGap, {member + "VideoSensitivity=0.30div"},
                {g + ",20|@ItemSensitivity|0.30div"}, {});
            row(n + "video holdoff", setup("Video"), sim("VIDEO"), g + ",21", "#0.0005",
                {select, alt + "VIDEO:HOLDOFF 0.5MS", alt + "VIDEO:HOLDOFF?"}, timeGaps, {member + "VideoHoldoff=500us"},
                {g + ",21|@ItemHoldoff|500us"}, {});
            row(n + "video polarity", setup("Video"), sim("VIDEO"), g + ",12", "=@WordNegative",
                {select, alt + "VIDEO:POLARITY NEGATIVE"}, choiceGap, {member + "VideoPolarity=@WordNegative"},
                {g + ",12|@ItemPolarity|@WordNegative"}, {c + ":" + alt + "VIDEO:POLARITY=NEGATIVE"});
            row(n + "video sync", setup("Video"), sim("VIDEO"), g + ",13", "=@WordOddField",
                {select, alt + "VIDEO:MODE ODDFIELD"}, choiceGap, {member + "VideoSync=@WordOddField"},
                {g + ",13|@ItemSync|@WordOddField"}, {c + ":" + alt + "VIDEO:MODE=ODD FIELD"});
            row(n + "video line", setup("Video"), sim("VIDEO"), g + ",14", "=200",
                {select, alt + "VIDEO:LINE 200"}, choiceGap, {member + "VideoLine=200"},
                {g + ",14|@ItemLineNumber|200"}, {c + ":" + alt + "VIDEO:LINE=200"});
            row(n + "video standard", setup("Video"), sim("VIDEO"), g + ",15", "=PAL/SECAM",
                {select, alt + "VIDEO:STANDARD PALSECAM", alt + "VIDEO:LINE?"}, {"1>2=" + ms(100), "2>3=" + ms(100)},
                {member + "VideoStandard=PAL/SECAM", member + "VideoLine=1"},
                {g + ",15|@ItemVideoStandard|PAL/SECAM", g + ",14|@ItemLineNumber|1"},
                {c + ":" + alt + "VIDEO:STANDARD=PAL/SECAM"});

            row(n + "slope coupling", setup("Slope"), sim("SLOPE"), g + ",16", "=@WordLF",
                {select, alt + "SLOPE:COUPLING LF"}, choiceGap, {member + "SlopeCoupling=@WordLF"},
                {g + ",16|@ItemCoupling|@WordLF"}, {});
            row(n + "slope sensitivity", setup("Slope"), sim("SLOPE"), g + ",20", "=0.20div",
                {select, alt + "SLOPE:SENSITIVITY 0.20div"}, choiceGap, {member + "SlopeSensitivity=0.20div"},
                {g + ",20|@ItemSensitivity|0.20div"}, {});
            row(n + "slope holdoff", setup("Slope"), sim("SLOPE"), g + ",21", "#0.0005",
                {select, alt + "SLOPE:HOLDOFF 0.5MS", alt + "SLOPE:HOLDOFF?"}, timeGaps, {member + "SlopeHoldoff=500us"},
                {g + ",21|@ItemHoldoff|500us"}, {});
            row(n + "slope mode", setup("Slope"), sim("SLOPE"), g + ",9", "=@WordSlopeRiseGreater",
                {select, alt + "SLOPE:MODE +GREATERTHAN"}, choiceGap, {member + "SlopeMode=@WordSlopeRiseGreater"},
                {g + ",9|@ItemSlopeMode|@WordSlopeRiseGreater"}, {});
            row(n + "slope time", setup("Slope"), sim("SLOPE"), g + ",10", "#3e-9",
                {select, alt + "SLOPE:TIME 0.003US", alt + "SLOPE:TIME?"}, timeGaps, {member + "SlopeTime=3.00ns"},
                {g + ",10|@ItemSlopeTime|3.00ns"}, {c + ":" + alt + "SLOPE:TIME=3.000e-09"});
            row(n + "slope level A", setup("Slope"), sim("SLOPE"), g + ",18", "=2.00div",
                {select, ":CHANNEL" + c + ":SCALE?", ":CHANNEL" + c + ":OFFSET?", alt + "SLOPE:LEVELA .75"}, choiceGap,
                {member + "SlopeLevelA=2.00div"}, {g + ",18|@ItemLevelA|2.00div"}, {});
            row(n + "slope level B", setup("Slope"), sim("SLOPE"), g + ",19", "=4.00div",
                {select, ":CHANNEL" + c + ":SCALE?", ":CHANNEL" + c + ":OFFSET?", alt + "SLOPE:LEVELB 1.75"}, choiceGap,
                {member + "SlopeLevelB=4.00div"}, {g + ",19|@ItemLevelB|4.00div"},
                {c + ":" + alt + "SLOPE:LEVELB=1.750e+00"});
        }
    }
    void alternateItems() { runRow(); }

    // A method change reads the new method's settings back, rebuilds the
    // tree and reads the LA display 100 ms later.
    void method_data()
    {
        columns();
        const QString from = QStringLiteral("TrigMethod=@WordEdge;TimebaseFormat=Y-T;LADisplay=@WordOff;");
        const QStringList sim{":LA:DISPLAY ON"};
        const QStringList la{"6,2|@ItemMethod|@WordPulse", "4,9|@ItemDisplay|@WordOn"};
        row("to PULSE on EXT", from, sim + QStringList{":TRIGGER:PULSE:SOURCE EXT", ":TRIGGER:PULSE:LEVEL 0.5",
                                                         ":TRIGGER:PULSE:WIDTH 2e-5"},
            "6,2", "=@WordPulse",
            {":TRIGGER:MODE PULSE", ":TRIGGER:PULSE:SOURCE?", ":TRIGGER:PULSE:MODE?", ":TRIGGER:PULSE:WIDTH?",
             ":TRIGGER:PULSE:SWEEP?", ":TRIGGER:PULSE:COUPLING?", ":TRIGGER:PULSE:LEVEL?", ":TRIGGER:PULSE:SENSITIVITY?",
             ":TRIGGER:HOLDOFF?", ":LA:DISPLAY?"},
            {"1>2=" + ms(0), "9>10=100"},
            {"TrigMethod=@WordPulse", "PulseSource=EXT", "PulseMode=@WordPulsePosLess", "PulseWidth=20.0us",
             "PulseSweep=@WordAuto", "PulseCoupling=@WordDC", "PulseLevel=2.50div", "PulseSensitivity=0.10div",
             "Holdoff=100ns", "LADisplay=@WordOn"},
            la + QStringList{"6,3|@ItemSource|EXT", "6,5|@ItemPulseWidth|20.0us", "6,8|@ItemLevel|2.50div"},
            {":TRIGGER:MODE=PULSE"}, {"6,19", "6,22"});
        row("to EDGE on the AC line", "TrigMethod=@WordPulse;EdgeLevel=1.24div;LADisplay=@WordOff",
            sim + QStringList{":TRIGGER:EDGE:SOURCE ACLINE"}, "6,2", "=@WordEdge",
            {":TRIGGER:MODE EDGE", ":TRIGGER:EDGE:SOURCE?", ":TRIGGER:EDGE:SLOPE?", ":TRIGGER:EDGE:SWEEP?",
             ":TRIGGER:EDGE:COUPLING?", ":TRIGGER:EDGE:SENSITIVITY?", ":TRIGGER:HOLDOFF?", ":LA:DISPLAY?"},
            {"7>8=100"},
            {"TrigMethod=@WordEdge", "EdgeSource=@WordACLine", "EdgeLevel=1.24div", "EdgeSlope=@WordRising",
             "EdgeSweep=@WordAuto", "EdgeCoupling=@WordDC", "EdgeSensitivity=0.10div", "Holdoff=100ns"},
            {"6,2|@ItemMethod|@WordEdge", "6,3|@ItemSource|@WordACLine", "6,7|@ItemLevel|1.24div"}, {});
        row("to EDGE on a logic channel", "TrigMethod=@WordPulse;EdgeLevel=1.24div",
            sim + QStringList{":TRIGGER:EDGE:SOURCE DIGITAL3", ":LA:THRESHOLD CMOS"}, "6,2", "=@WordEdge",
            {":TRIGGER:MODE EDGE", ":TRIGGER:EDGE:SOURCE?", ":TRIGGER:EDGE:SLOPE?", ":TRIGGER:EDGE:SWEEP?",
             ":TRIGGER:EDGE:COUPLING?", ":LA:THRESHOLD?", ":TRIGGER:EDGE:SENSITIVITY?", ":TRIGGER:HOLDOFF?",
             ":LA:DISPLAY?"},
            {}, {"EdgeSource=D3", "EdgeLevel=CMOS"}, {"6,3|@ItemSource|D3"}, {}, {"6,6", "6,7", "6,8"});
        row("to EDGE on CH1", "TrigMethod=@WordPulse;TimebaseFormat=Roll",
            sim + QStringList{":TRIGGER:EDGE:SOURCE CHANNEL1", ":CHANNEL1:SCALE 0.5", ":TRIGGER:EDGE:LEVEL 0.75"},
            "6,2", "=@WordEdge",
            {":TRIGGER:MODE EDGE", ":TRIGGER:EDGE:SOURCE?", ":CHANNEL1:SCALE?", ":TRIGGER:EDGE:SLOPE?",
             ":TRIGGER:EDGE:SWEEP?", ":TRIGGER:EDGE:COUPLING?", ":TRIGGER:EDGE:LEVEL?", ":TRIGGER:EDGE:SENSITIVITY?",
             ":TRIGGER:HOLDOFF?", ":LA:DISPLAY?"},
            {}, {"EdgeSource=CH1", "EdgeLevel=1.50div", "TimebaseFormat=Roll"}, {"6,7|@ItemLevel|1.50div"}, {});
        row("to VIDEO on EXT5", from,
            sim + QStringList{":TRIGGER:VIDEO:SOURCE EXT5", ":TRIGGER:VIDEO:LEVEL 0.5", ":TRIGGER:VIDEO:LINE 10"}, "6,2",
            "=@WordVideo",
            {":TRIGGER:MODE VIDEO", ":TRIGGER:VIDEO:SOURCE?", ":TRIGGER:VIDEO:POLARITY?", ":TRIGGER:VIDEO:MODE?",
             ":TRIGGER:VIDEO:LINE?", ":TRIGGER:VIDEO:STANDARD?", ":TRIGGER:VIDEO:LEVEL?", ":TRIGGER:VIDEO:SENSITIVITY?",
             ":TRIGGER:HOLDOFF?", ":LA:DISPLAY?"},
            {}, {"VideoSource=EXT5", "VideoPolarity=@WordPositive", "VideoSync=@WordLine", "VideoLine=10",
                 "VideoStandard=NTSC", "VideoLevel=0.50div", "VideoSensitivity=0.10div"},
            {"6,6|@ItemLineNumber|10", "6,8|@ItemLevel|0.50div"}, {});
        row("to SLOPE on CH2", from,
            sim + QStringList{":TRIGGER:SLOPE:SOURCE CHANNEL2", ":CHANNEL2:SCALE 0.2", ":TRIGGER:SLOPE:LEVELA 0.1"},
            "6,2", "=@WordSlope",
            {":TRIGGER:MODE SLOPE", ":TRIGGER:SLOPE:SOURCE?", ":CHANNEL2:SCALE?", ":TRIGGER:SLOPE:COUPLING?",
             ":TRIGGER:SLOPE:SWEEP?", ":TRIGGER:SLOPE:MODE?", ":TRIGGER:SLOPE:TIME?", ":TRIGGER:SLOPE:LEVELA?",
             ":TRIGGER:SLOPE:LEVELB?", ":TRIGGER:SLOPE:SENSITIVITY?", ":TRIGGER:HOLDOFF?", ":LA:DISPLAY?"},
            {}, {"SlopeSource=CH2", "SlopeMode=@WordSlopeRiseLess", "SlopeTime=1.00us", "SlopeLevelA=0.50div",
                 "SlopeLevelB=1.00div"},
            {"6,9|@ItemLevelA|0.50div", "6,10|@ItemLevelB|1.00div"}, {});
        row("to PATTERN", from, sim, "6,2", "=@WordPattern",
            {":TRIGGER:MODE PATTERN", ":TRIGGER:PATTERN:PATTERN?", ":TRIGGER:PATTERN:SWEEP?", ":TRIGGER:HOLDOFF?",
             ":LA:DISPLAY?"},
            {}, {"PatSweep=@WordAuto", "Holdoff=100ns"}, {"6,22|@ItemMode|@WordAuto", "6,23|@ItemHoldoff|100ns"}, {});
        row("to DURATION", from, sim + QStringList{":TRIGGER:DURATION:TIME 5e-6"}, "6,2", "=@WordDuration",
            {":TRIGGER:MODE DURATION", ":TRIGGER:DURATION:PATTERN?", ":TRIGGER:DURATION:QUALIFIER?",
             ":TRIGGER:DURATION:TIME?", ":TRIGGER:DURATION:SWEEP?", ":TRIGGER:HOLDOFF?", ":LA:DISPLAY?"},
            {}, {"DurQualifier=@WordLessThan", "DurTime=5.00us", "DurSweep=@WordAuto"},
            {"6,23|@ItemDurationTime|5.00us"}, {});
        // CH1 then CH2 read back, each after its scale and source select.
        const QString alt = QStringLiteral(":TRIGGER:ALTERNATION:");
        row("to ALTERNATIVE", "TrigMethod=@WordEdge;TimebaseFormat=Roll;AltCH1Type=@WordEdge;AltCH2Type=@WordSlope",
            sim + QStringList{":CHANNEL1:SCALE 0.5", ":CHANNEL2:SCALE 0.2", alt + "SOURCE CHANNEL1",
                              alt + "EDGE:LEVEL 0.25", alt + "SOURCE CHANNEL2", alt + "TYPE SLOPE",
                              alt + "SLOPE:LEVELA 0.1", alt + "SLOPE:LEVELB 0.3"},
            "6,2", "=@WordAlternative",
            {":TRIGGER:MODE ALTERNATION", ":CHANNEL1:SCALE?", alt + "SOURCE CHANNEL1", alt + "EDGE:SLOPE?",
             alt + "EDGE:COUPLING?", alt + "EDGE:LEVEL?", alt + "EDGE:HOLDOFF?", alt + "EDGE:SENSITIVITY?",
             ":CHANNEL2:SCALE?", alt + "SOURCE CHANNEL2", alt + "SLOPE:COUPLING?", alt + "SLOPE:MODE?",
             alt + "SLOPE:TIME?", alt + "SLOPE:LEVELA?", alt + "SLOPE:LEVELB?", alt + "SLOPE:SENSITIVITY?",
             alt + "SLOPE:HOLDOFF?", ":LA:DISPLAY?"},
            {"3>4=" + ms(0), "17>18=100"},
            {"TrigMethod=@WordAlternative", "TimebaseFormat=Y-T", "AltCH1EdgeLevel=0.50div", "AltCH1EdgeHoldoff=100ns",
             "AltCH2SlopeLevelA=0.50div", "AltCH2SlopeLevelB=1.50div", "AltCH2SlopeTime=1.00us"},
            {"6,2|@ItemMethod|@WordAlternative", "19,17|@ItemLevel|0.50div", "20,18|@ItemLevelA|0.50div",
             "20,19|@ItemLevelB|1.50div"},
            {":TRIGGER:MODE=ALTERNATION", ":TIMEBASE:FORMAT=Y-T"}, {"6,3", "6,9"});
        // A current method that is no entry: the empty choice sends the
        // fallback token and reads back only the holdoff.
        row("the empty choice", "TrigMethod=Foo;Holdoff=1.00us", sim, "6,2", "=",
            {":TRIGGER:MODE DURATION", ":TRIGGER:HOLDOFF?", ":LA:DISPLAY?"}, {}, {"TrigMethod=", "Holdoff=100ns"},
            {"6,2|@ItemMethod|"}, {":TRIGGER:MODE=DURATION"});

        // Read-backs that get no usable reply keep the member's text.
        const QString edgeCh1 = QStringLiteral("TrigMethod=@WordPulse;EdgeSource=CH2;EdgeLevel=1.24div;Holdoff=7.00us");
        const QStringList edgeLines{":TRIGGER:MODE EDGE", ":TRIGGER:EDGE:SOURCE?", ":CHANNEL1:SCALE?",
                                    ":TRIGGER:EDGE:SLOPE?", ":TRIGGER:EDGE:SWEEP?", ":TRIGGER:EDGE:COUPLING?",
                                    ":TRIGGER:EDGE:LEVEL?", ":TRIGGER:EDGE:SENSITIVITY?", ":TRIGGER:HOLDOFF?",
                                    ":LA:DISPLAY?"};
        for (const char *scale : {"0", "abc", ""}) {
            // A scale of "0" is the AC line's: no level is asked.
            QStringList lines = edgeLines;
            if (QByteArray(scale) == "0")
                lines.removeAll(QStringLiteral(":TRIGGER:EDGE:LEVEL?"));
            row(QStringLiteral("EDGE with a CH1 scale of \"%1\"").arg(QLatin1String(scale)), edgeCh1,
                {":TRIGGER:EDGE:SOURCE CHANNEL1"}, "6,2", "=@WordEdge", lines, {},
                {"EdgeSource=CH1", "EdgeLevel=1.24div", "EdgeSensitivity=0.10div", "Holdoff=100ns"},
                {"6,7|@ItemLevel|1.24div"}, {}, {}, {QStringLiteral(":CHANNEL1:SCALE?=") + QLatin1String(scale)});
        }
        row("EDGE without a source reply", edgeCh1, {}, "6,2", "=@WordEdge",
            {":TRIGGER:MODE EDGE", ":TRIGGER:EDGE:SOURCE?", ":LA:DISPLAY?"}, {},
            {"EdgeSource=CH2", "EdgeLevel=1.24div", "Holdoff=7.00us"}, {"6,3|@ItemSource|CH2"}, {}, {},
            {":TRIGGER:EDGE:SOURCE?="});
        row("PULSE without a source reply", "TrigMethod=@WordEdge;PulseSource=CH2;PulseLevel=-0.40div",
            {":TRIGGER:PULSE:SOURCE DIGITAL2"}, "6,2", "=@WordPulse",
            {":TRIGGER:MODE PULSE", ":TRIGGER:PULSE:SOURCE?", ":TRIGGER:PULSE:MODE?", ":TRIGGER:PULSE:WIDTH?",
             ":TRIGGER:PULSE:SWEEP?", ":TRIGGER:PULSE:COUPLING?", ":LA:THRESHOLD?", ":TRIGGER:PULSE:SENSITIVITY?",
             ":TRIGGER:HOLDOFF?", ":LA:DISPLAY?"},
            {}, {"PulseSource=CH2", "PulseLevel=-0.40div"}, {"6,8|@ItemLevel|-0.40div"}, {}, {},
            {":TRIGGER:PULSE:SOURCE?="});
        row("ALTERNATIVE with a CH1 scale of 0", "TrigMethod=@WordEdge;AltCH1Type=@WordEdge;AltCH2Type=@WordEdge;"
            "AltCH1EdgeLevel=2.24div", {alt + "SOURCE CHANNEL1", alt + "EDGE:HOLDOFF 2e-6"}, "6,2", "=@WordAlternative",
            {":TRIGGER:MODE ALTERNATION", ":CHANNEL1:SCALE?", alt + "SOURCE CHANNEL1", alt + "EDGE:SLOPE?",
             alt + "EDGE:COUPLING?", alt + "EDGE:LEVEL?", alt + "EDGE:HOLDOFF?", alt + "EDGE:SENSITIVITY?",
             ":CHANNEL2:SCALE?", alt + "SOURCE CHANNEL2", alt + "EDGE:SLOPE?", alt + "EDGE:COUPLING?",
             alt + "EDGE:LEVEL?", alt + "EDGE:HOLDOFF?", alt + "EDGE:SENSITIVITY?", ":LA:DISPLAY?"},
            {}, {"AltCH1EdgeLevel=2.24div", "AltCH1EdgeHoldoff=2.00us", "AltCH2EdgeLevel=0.00div"},
            {"19,17|@ItemLevel|2.24div"}, {}, {}, {":CHANNEL1:SCALE?=0"});
    }
    void method() { runRow(); }

    // Under the X-Y format the method cannot change: the dialog closes after
    // the identification query and nothing is sent, stored or marked.
    void methodUnderXY()
    {
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            EditorsFixture f(lang);
            QVERIFY(setMembers(QStringLiteral("TrigMethod=@WordEdge;TimebaseFormat=X-Y")));
            f.rebuild();
            const CtrlSettings before = app().Settings;
            bool closed = false;
            f.edit(6, 2, [&](CtrlDialog &d) {
                act(d, QStringLiteral("=@WordPulse"));
                closed = !d.isVisible();
            });
            QVERIFY(closed);
            QCOMPARE(f.simLines(), QStringList{"*IDN?"});
            QVERIFY(app().Settings == before);
            QVERIFY(!app().ctrl.CtrlFileModified);
            QVERIFY2(nodeCheck("6,2|@ItemMethod|@WordEdge").isEmpty(), qPrintable(nodeCheck("6,2|@ItemMethod|@WordEdge")));
        }
    }

    // The rebuilds of the method, the EDGE source and a channel's type keep
    // the open branches and select the node edited.
    void rebuildKeepsOpenBranches_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("input");
        QTest::newRow("method") << "TrigMethod=@WordEdge" << "6,2" << "=@WordSlope";
        QTest::newRow("method to ALTERNATIVE") << "TrigMethod=@WordEdge" << "6,2" << "=@WordAlternative";
        QTest::newRow("edge source") << "TrigMethod=@WordEdge;EdgeSource=CH1" << "6,3" << "=D7";
        QTest::newRow("pulse source") << "TrigMethod=@WordPulse;PulseSource=D7" << "6,3" << "=CH2";
        QTest::newRow("CH2 type") << "TrigMethod=@WordAlternative;AltCH2Type=@WordEdge" << "20,5" << "=@WordVideo";
    }
    void rebuildKeepsOpenBranches()
    {
        QFETCH(QString, setup);
        QFETCH(QString, node);
        QFETCH(QString, input);
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            EditorsFixture f(lang);
            QVERIFY(setMembers(setup + QStringLiteral(";TimebaseFormat=Y-T")));
            f.rebuild();
            SetCtrlNodeExpanded(2, 0, true);  // CH1
            SetCtrlNodeExpanded(5, 0, false); // Time Base
            const QStringList id = node.split(u',');
            const int g = id.at(0).toInt(), i = id.at(1).toInt();
            f.edit(g, i, [&](CtrlDialog &d) { act(d, input); });
            QVERIFY(CtrlNodeExpanded(2, 0));
            QVERIFY(CtrlNodeExpanded(6, 0));
            QVERIFY(!CtrlNodeExpanded(5, 0));
            QVERIFY(f.tree()->node(g, i));
            QCOMPARE(f.tree()->currentItem(), f.tree()->node(g, i));
        }
    }

    // A channel's type: the type stored and shown, the channel's settings of
    // the new type read back, the type sent to that channel, the sub-group
    // rebuilt with the new type's items.
    void alternateType_data()
    {
        columns();
        const QString alt = QStringLiteral(":TRIGGER:ALTERNATION:");
        const QString setup = QStringLiteral("TrigMethod=@WordAlternative;AltCH1Type=@WordEdge;AltCH2Type=@WordEdge");
        row("CH1 to PULSE", setup,
            {":TRIGGER:MODE ALTERNATION", alt + "SOURCE CHANNEL1", alt + "PULSE:LEVEL 0.5", alt + "PULSE:TIME 3e-5",
             ":CHANNEL1:SCALE 0.5", alt + "SOURCE CHANNEL2"},
            "19,5", "=@WordPulse",
            {":CHANNEL1:SCALE?", alt + "SOURCE CHANNEL1", alt + "PULSE:MODE?", alt + "PULSE:TIME?",
             alt + "PULSE:COUPLING?", alt + "PULSE:LEVEL?", alt + "PULSE:HOLDOFF?", alt + "PULSE:SENSITIVITY?",
             alt + "TYPE PULSE"},
            {"2>3=" + ms(0)},
            {"AltCH1Type=@WordPulse", "AltCH1PulseLevel=1.00div", "AltCH1PulseWidth=30.0us",
             "AltCH1PulseMode=@WordPulsePosLess", "AltCH2Type=@WordEdge"},
            {"19,5|@ItemTrigType|@WordPulse", "19,17|@ItemLevel|1.00div", "19,8|@ItemPulseWidth|30.0us",
             "20,5|@ItemTrigType|@WordEdge"},
            {"1:" + alt + "TYPE=PULSE", "2:" + alt + "TYPE=EDGE"}, {"19,6"});
        row("CH2 to VIDEO", setup,
            {":TRIGGER:MODE ALTERNATION", alt + "SOURCE CHANNEL2", alt + "VIDEO:LINE 20", ":CHANNEL2:SCALE 0.2",
             alt + "SOURCE CHANNEL1"},
            "20,5", "=@WordVideo",
            {":CHANNEL2:SCALE?", alt + "SOURCE CHANNEL2", alt + "VIDEO:POLARITY?", alt + "VIDEO:MODE?",
             alt + "VIDEO:LINE?", alt + "VIDEO:STANDARD?", alt + "VIDEO:LEVEL?", alt + "VIDEO:SENSITIVITY?",
             alt + "VIDEO:HOLDOFF?", alt + "TYPE VIDEO"},
            {},
            {"AltCH2Type=@WordVideo", "AltCH2VideoLine=20", "AltCH2VideoStandard=NTSC", "AltCH2VideoLevel=0.00div",
             "AltCH2VideoHoldoff=100ns"},
            {"20,5|@ItemTrigType|@WordVideo", "20,14|@ItemLineNumber|20"},
            {"2:" + alt + "TYPE=VIDEO", "1:" + alt + "TYPE=EDGE"}, {"20,6", "20,16"});
        row("CH2 to SLOPE", setup, {":TRIGGER:MODE ALTERNATION", alt + "SOURCE CHANNEL1"}, "20,5", "=@WordSlope",
            {":CHANNEL2:SCALE?", alt + "SOURCE CHANNEL2", alt + "SLOPE:COUPLING?", alt + "SLOPE:MODE?",
             alt + "SLOPE:TIME?", alt + "SLOPE:LEVELA?", alt + "SLOPE:LEVELB?", alt + "SLOPE:SENSITIVITY?",
             alt + "SLOPE:HOLDOFF?", alt + "TYPE SLOPE"},
            {}, {"AltCH2Type=@WordSlope"}, {"20,5|@ItemTrigType|@WordSlope"}, {"2:" + alt + "TYPE=SLOPE"});
        row("CH1 to EDGE", "TrigMethod=@WordAlternative;AltCH1Type=@WordSlope;AltCH2Type=@WordEdge",
            {":TRIGGER:MODE ALTERNATION", alt + "SOURCE CHANNEL1", alt + "TYPE SLOPE", alt + "SOURCE CHANNEL2"},
            "19,5", "=@WordEdge",
            {":CHANNEL1:SCALE?", alt + "SOURCE CHANNEL1", alt + "EDGE:SLOPE?", alt + "EDGE:COUPLING?",
             alt + "EDGE:LEVEL?", alt + "EDGE:HOLDOFF?", alt + "EDGE:SENSITIVITY?", alt + "TYPE EDGE"},
            {}, {"AltCH1Type=@WordEdge"}, {"19,5|@ItemTrigType|@WordEdge"}, {"1:" + alt + "TYPE=EDGE"}, {"19,9"});
    }
    void alternateType() { runRow(); }

    // No answer to the channel's scale over the serial link: that ends the
    // apply (the link is lost, the user told once). Nothing more goes out, the
    // type neither, so the tree keeps showing the type the instrument has and
    // nothing is marked modified.
    void alternateTypeWithoutScaleReply_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("ch");
        for (int lang : {LanguageEnglish, LanguageChinese})
            for (int ch : {1, 2})
                QTest::newRow(qPrintable(QStringLiteral("CH%1%2").arg(ch).arg(lang ? " (English)" : " (Chinese)")))
                    << lang << ch;
    }
    void alternateTypeWithoutScaleReply()
    {
        QFETCH(int, lang);
        QFETCH(int, ch);
        const int other = 3 - ch;
        const QByteArray alt(":TRIGGER:ALTERNATION:");
        EditorsFixture f(lang, LinkKind::Serial);
        QVERIFY(f.connected);
        f.simSet(":TRIGGER:MODE ALTERNATION");
        f.simSet(alt + "SOURCE CHANNEL" + QByteArray::number(other));
        QVERIFY(setMembers(QStringLiteral("TrigMethod=@WordAlternative;AltCH1Type=@WordEdge;AltCH2Type=@WordEdge;"
                                          "AltCH%1PulseMode=@WordPulseNegEqual")
                               .arg(ch)));
        f.rebuild();
        Qm4100Sim::Faults faults;
        faults.silentFromQuery = 2; // "*IDN?" is answered, the scale query is not
        f.sim.setFaults(faults);
        const int g = ch == 1 ? 19 : 20;
        f.edit(g, 5, [&](CtrlDialog &d) { act(d, QStringLiteral("=@WordPulse")); });
        const QString n = QString::number(ch);
        QCOMPARE(f.simLines(), (QStringList{"*IDN?", ":CHANNEL" + n + ":SCALE?"}));
        QCOMPARE(f.sim.altSetting(ch, alt + "TYPE"), QByteArray("EDGE"));
        QCOMPARE(f.sim.altSetting(other, alt + "TYPE"), QByteArray("EDGE"));
        QVERIFY(!app().link.LinkConnected);
        QCOMPARE(f.fakeUi.messages().size(), 1);
        const QString type = QStringLiteral("%1,5|@ItemTrigType|@WordEdge").arg(g);
        QVERIFY2(nodeCheck(type).isEmpty(), qPrintable(nodeCheck(type)));
        QVERIFY2(memberCheck(QStringLiteral("AltCH%1Type=@WordEdge").arg(ch)).isEmpty(),
                 qPrintable(memberCheck(QStringLiteral("AltCH%1Type=@WordEdge").arg(ch))));
        QVERIFY(!app().ctrl.CtrlFileModified);
    }

    // A typed time that is no number: MsgNumberOnly, the dialog stays open
    // with the text, nothing more is sent (an alternate item has already
    // selected its channel) and nothing is stored or marked.
    void timeNotANumber_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("node");
        QTest::addColumn<QStringList>("lines");
        const QString alt = QStringLiteral("TrigMethod=@WordAlternative;AltCH1Type=@WordPulse;AltCH2Type=@WordSlope");
        QTest::newRow("holdoff") << "TrigMethod=@WordEdge" << "6,9" << QStringList{};
        QTest::newRow("duration time") << "TrigMethod=@WordDuration" << "6,23" << QStringList{};
        QTest::newRow("CH1 pulse width") << alt << "19,8" << QStringList{":TRIGGER:ALTERNATION:SOURCE CHANNEL1"};
        QTest::newRow("CH2 holdoff") << alt << "20,21" << QStringList{":TRIGGER:ALTERNATION:SOURCE CHANNEL2"};
    }
    void timeNotANumber()
    {
        QFETCH(QString, setup);
        QFETCH(QString, node);
        QFETCH(QStringList, lines);
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            EditorsFixture f(lang);
            QVERIFY(setMembers(setup));
            f.rebuild();
            const CtrlSettings before = app().Settings;
            const QStringList id = node.split(u',');
            bool open = false;
            QString text;
            f.edit(id.at(0).toInt(), id.at(1).toInt(), [&](CtrlDialog &d) {
                act(d, QStringLiteral("#12abc"));
                open = d.isVisible();
                text = d.inputTxt()->text();
            });
            QVERIFY(open);
            QCOMPARE(text, QStringLiteral("12abc"));
            QCOMPARE(f.simLines(), QStringList{"*IDN?"} + lines);
            QCOMPARE(f.fakeUi.messages().size(), 1);
            QCOMPARE(f.fakeUi.messages().at(0).text, message(Msg::MsgNumberOnly));
            QCOMPARE(f.fakeUi.messages().at(0).icon, MsgIcon::Exclamation);
            QVERIFY(app().Settings == before);
            QVERIFY(!app().ctrl.CtrlFileModified);
        }
    }
};

QTEST_MAIN(TestTrigger)
#include "tst_trigger.moc"
