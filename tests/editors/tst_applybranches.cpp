// The apply branches of the setting dialog, one table row per setting,
// against the simulator over VISA in both languages: a node double-clicked
// offscreen, a value chosen or typed, OK; then the exact lines with every
// pause between them (virtual clock), the settings members and the node
// texts after. Further tables: replies that never come, the pattern and
// duration code positions, and the volts/div dialog.
#include "editorsfixture.h"
#include "edittable.h"

#include "transfer/uploadtodso.h"

#include <QRegularExpression>
#include <QToolButton>
#include <QtTest>

namespace {

// "@Name" anywhere in text is the word Name of the language in force
// ("@ItemOffset [@WordOn]").
QString expanded(const QString &text)
{
    static const QRegularExpression token(QStringLiteral("@([A-Za-z0-9]+)"));
    QString out;
    qsizetype from = 0;
    for (auto it = token.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(from, m.capturedStart() - from) + resolved(m.captured(0));
        from = m.capturedEnd();
    }
    return out + text.mid(from);
}

// "g,i" is the node (g, i); "D<n>" LA Channel's node of channel n.
QTreeWidgetItem *nodeOf(const EditorsFixture &f, const QString &at)
{
    if (at.startsWith(u'D'))
        return f.tree()->laChannel(at.mid(1).toInt());
    const QStringList gi = at.split(u',');
    return f.tree()->node(gi.value(0).toInt(), gi.value(1).toInt());
}

// What the test does in the dialog: "pick:<entry>" chooses an entry and
// presses OK; "none" presses OK with nothing chosen; "type:<text>" types
// into the entry and presses OK; "unit:<index>:<text>" types and presses a
// unit button; "user:<text>" chooses the user threshold word, then types.
void act(CtrlDialog &d, const QString &action)
{
    const QString verb = action.section(u':', 0, 0);
    const QString rest = expanded(action.section(u':', 1));
    const auto pick = [&d](const QString &text) {
        const int index = d.Combo()->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        QVERIFY2(index >= 0, qPrintable(text));
        d.Combo()->setCurrentIndex(index);
    };
    const auto type = [&d](const QString &text) {
        d.inputTxt()->selectAll();
        QTest::keyClicks(d.inputTxt(), text);
    };
    if (verb == QLatin1String("pick")) {
        pick(rest);
    } else if (verb == QLatin1String("type")) {
        type(rest);
    } else if (verb == QLatin1String("user")) {
        pick(word(Word::WordUser));
        type(rest);
    } else if (verb == QLatin1String("unit")) {
        type(rest.section(u':', 1));
        QTest::mouseClick(d.cmdEnter(rest.section(u':', 0, 0).toInt()), Qt::LeftButton);
        return;
    }
    QTest::mouseClick(d.cmdOK(), Qt::LeftButton);
}

// Lines as the table writes them: "+N " before a line is a pause of N ms on
// top of the one a command line takes.
struct TableLine {
    QString line;
    int pause = 0;
};

QList<TableLine> tableLines(const QStringList &rows)
{
    QList<TableLine> out;
    for (const QString &r : rows) {
        TableLine t;
        t.line = expanded(r);
        if (r.startsWith(u'+')) {
            t.pause = r.mid(1).section(u' ', 0, 0).toInt();
            t.line = expanded(r.section(u' ', 1));
        }
        out << t;
    }
    return out;
}

// Checks each "g,i=text" (or "D<n>=text") of spec against the tree.
void compareNodes(const EditorsFixture &f, const QString &spec)
{
    for (const QString &pair : spec.split(u';', Qt::SkipEmptyParts)) {
        QTreeWidgetItem *node = nodeOf(f, pair.section(u'=', 0, 0));
        QVERIFY2(node, qPrintable(pair));
        QCOMPARE(node->text(0), expanded(pair.section(u'=', 1)));
    }
}

void compareMembers(const QString &spec)
{
    for (const auto &[name, value] : memberPairs(spec)) {
        const QString *member = memberByName(name);
        QVERIFY2(member, qPrintable(name));
        QCOMPARE(*member, expanded(value));
    }
}

} // namespace

class TestApplyBranches : public QObject {
    Q_OBJECT

private slots:
    void branch_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("before"); // settings members before
        QTest::addColumn<QStringList>("simBefore"); // simulator set-up lines
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("lines"); // after "*IDN?" (and the list's own query)
        QTest::addColumn<QString>("after"); // members after
        QTest::addColumn<QString>("nodes"); // node texts after
        const auto row = [](const char *name, const QString &before, const QStringList &sim, const QString &node,
                            const QString &action, const QStringList &lines, const QString &after,
                            const QString &nodes) {
            for (int lang : {LanguageChinese, LanguageEnglish})
                QTest::newRow(qPrintable(QLatin1String(name) + (lang ? QStringLiteral(" (English)")
                                                                    : QStringLiteral(" (Chinese)"))))
                    << lang << before << sim << node << action << lines << after << nodes;
        };
        // Running control and channels.
        row("run state stop, Y-T", "RunStop=@WordRun", {}, "1,2", "pick:@WordStop",
            {"*IDN?", ":STOP", ":TIMEBASE:FORMAT?"}, "RunStop=@WordStop", "1,2=@ItemRunStop [@WordStop]");
        row("run state run, roll re-reads time/div", "RunStop=@WordStop;TimeDiv=1.000ms",
            {":TIMEBASE:FORMAT SCANNING", ":TIMEBASE:SCALE 0.5"}, "1,2", "pick:@WordRun",
            {"*IDN?", ":RUN", ":TIMEBASE:FORMAT?", ":TIMEBASE:SCALE?"}, "RunStop=@WordRun;TimeDiv=500.0ms",
            "1,2=@ItemRunStop [@WordRun];5,15=@ItemTimeDiv [500.0ms]");
        row("run state, nothing chosen", "RunStop=busy", {}, "1,2", "none", {"*IDN?", ":STOP", ":TIMEBASE:FORMAT?"},
            "RunStop=", "1,2=@ItemRunStop []");
        row("CH1 display off", "CH1Display=@WordOn", {}, "2,2", "pick:@WordOff",
            {"*IDN?", ":CHANNEL1:DISPLAY OFF", ":CHANNEL1:DISPLAY?"}, "CH1Display=@WordOff",
            "2,2=@ItemDisplay [@WordOff]");
        row("CH2 display on", "CH2Display=@WordOff", {}, "3,2", "pick:@WordOn",
            {"*IDN?", ":CHANNEL2:DISPLAY ON", ":CHANNEL2:DISPLAY?"}, "CH2Display=@WordOn",
            "3,2=@ItemDisplay [@WordOn]");
        row("CH1 bandwidth limit on", "CH1BWLimit=@WordOff", {}, "2,6", "pick:@WordOn",
            {"*IDN?", ":CHANNEL1:BWLIMIT ON"}, "CH1BWLimit=@WordOn", "2,6=@ItemBWLimit [@WordOn]");
        row("CH2 bandwidth limit off", "CH2BWLimit=@WordOn", {}, "3,6", "pick:@WordOff",
            {"*IDN?", ":CHANNEL2:BWLIMIT OFF"}, "CH2BWLimit=@WordOff", "3,6=@ItemBWLimit [@WordOff]");
        row("CH2 probe 10X rescales", "CH2Probe=1X;CH2VoltDiv=1.00V;CH2Offset=100mV", {":CHANNEL2:OFFSET 0.1"}, "3,7",
            "pick:10X", {"*IDN?", ":CHANNEL2:PROBE 10", "+200 :CHANNEL2:SCALE?", ":CHANNEL2:OFFSET?"},
            "CH2Probe=10X;CH2VoltDiv=10.0V;CH2Offset=1.00V",
            "3,7=@ItemProbe [10X];3,3=@ItemVoltDiv [10.0V];3,4=@ItemOffset [1.00V]");
        row("CH1 probe, nothing chosen: no probe line", "CH1Probe=3X", {}, "2,7", "none",
            {"*IDN?", "+200 :CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?"}, "CH1Probe=;CH1VoltDiv=1.00V;CH1Offset=0.00uV",
            "2,7=@ItemProbe []");
        // LA.
        row("LA display on", "LADisplay=@WordOff", {}, "4,9", "pick:@WordOn",
            {"*IDN?", ":LA:DISPLAY ON", ":LA:DISPLAY?"}, "LADisplay=@WordOn", "4,9=@ItemDisplay [@WordOn]");
        row("LA D15-D8 off", "LAGroupHi=@WordOn;LAChanOn[1]=@WordOn;LAChanOn[8]=@WordOn", {}, "14,2", "pick:@WordOff",
            {"*IDN?", ":LA:GROUP2 OFF"}, "LAGroupHi=@WordOff;LAChanOn[1]=@WordOff;LAChanOn[8]=@WordOff",
            "14,2=@ItemD15D8 [@WordOff];D15=D15 [@WordOff];D8=D8 [@WordOff]");
        row("LA D7-D0 on", "LAGroupLo=@WordOff", {}, "14,3", "pick:@WordOn", {"*IDN?", ":LA:GROUP1 ON"},
            "LAGroupLo=@WordOn;LAChanOn[9]=@WordOn;LAChanOn[16]=@WordOn",
            "14,3=@ItemD7D0 [@WordOn];D7=D7 [@WordOn];D5=D5 [@WordOn];D4=D4 [@WordOn];D0=D0 [@WordOn]");
        const QString allLowOn = QStringLiteral("LAGroupLo=@WordOn;LAChanOn[9]=@WordOn;LAChanOn[10]=@WordOn;"
                                                "LAChanOn[11]=@WordOn;LAChanOn[12]=@WordOn;LAChanOn[13]=@WordOn;"
                                                "LAChanOn[14]=@WordOn;LAChanOn[15]=@WordOn;LAChanOn[16]=@WordOn");
        row("LA D3 off turns its group off", allLowOn, {}, "D3", "pick:@WordOff", {"*IDN?", ":DIGITAL3:TURN OFF"},
            "LAChanOn[13]=@WordOff;LAGroupLo=@WordOff", "D3=D3 [@WordOff];14,3=@ItemD7D0 [@WordOff]");
        row("LA D3 on while D2 is off", allLowOn + ";LAGroupLo=@WordOff;LAChanOn[13]=@WordOff;LAChanOn[14]=@WordOff",
            {}, "D3", "pick:@WordOn", {"*IDN?", ":DIGITAL3:TURN ON"}, "LAChanOn[13]=@WordOn;LAGroupLo=@WordOff",
            "D3=D3 [@WordOn];14,3=@ItemD7D0 [@WordOff]");
        row("LA last off channel on turns its group on", allLowOn + ";LAGroupLo=@WordOff;LAChanOn[11]=@WordOff", {},
            "D5", "pick:@WordOn", {"*IDN?", ":DIGITAL5:TURN ON"}, "LAChanOn[11]=@WordOn;LAGroupLo=@WordOn",
            "D5=D5 [@WordOn];14,3=@ItemD7D0 [@WordOn]");
        const QString highUnknown = QStringLiteral("LAGroupHi=mixed;LAChanOn[1]=?;LAChanOn[2]=?;LAChanOn[3]=?;"
                                                   "LAChanOn[4]=?;LAChanOn[5]=?;LAChanOn[6]=?;LAChanOn[7]=?;"
                                                   "LAChanOn[8]=?");
        row("LA D12 on among unknown words", highUnknown, {}, "D12", "pick:@WordOn", {"*IDN?", ":DIGITAL12:TURN ON"},
            "LAChanOn[4]=@WordOn;LAGroupHi=@WordOn", "D12=D12 [@WordOn];14,2=@ItemD15D8 [@WordOn]");
        row("LA D12 on while D8 is off", highUnknown + ";LAChanOn[8]=@WordOff", {}, "D12", "pick:@WordOn",
            {"*IDN?", ":DIGITAL12:TURN ON"}, "LAChanOn[4]=@WordOn;LAGroupHi=@WordOff",
            "14,2=@ItemD15D8 [@WordOff]");
        row("LA group unchanged when no channel holds a word", highUnknown, {}, "D12", "none",
            {"*IDN?", ":DIGITAL12:TURN OFF"}, "LAChanOn[4]=;LAGroupHi=mixed", "D12=D12 [];14,2=@ItemD15D8 [mixed]");
        row("LA position of D0", "LAChanPos[16]=2", {}, "10,20", "pick:7",
            {"*IDN?", ":DIGITAL0:POSITION 7", ":DIGITAL0:POSITION?"}, "LAChanPos[16]=7", "10,20=D0 [7]");
        row("LA threshold CMOS", "LAThreshold=TTL", {}, "4,11", "pick:CMOS", {"*IDN?", ":LA:THRESHOLD CMOS"},
            "LAThreshold=CMOS", "4,11=@ItemThreshold [CMOS]");
        row("LA user threshold", "LAThreshold=TTL", {}, "4,11", "user:0.5",
            {"*IDN?", ":LA:THRESHOLD 0.5V", "+100 :LA:THRESHOLD?"}, "LAThreshold=500mV",
            "4,11=@ItemThreshold [500mV]");
        row("LA user threshold in millivolts", "LAThreshold=1.40V", {}, "4,11", "unit:0:-200",
            {"*IDN?", ":LA:THRESHOLD -200000000.0NV", "+100 :LA:THRESHOLD?"}, "LAThreshold=-200mV",
            "4,11=@ItemThreshold [-200mV]");
        row("LA D7-D0 small", "LASizeLo=@WordBig", {}, "13,3", "pick:@WordSmall", {"*IDN?", ":LA:GROUP1:SIZE SMALL"},
            "LASizeLo=@WordSmall", "13,3=@ItemD7D0 [@WordSmall]");
        row("LA D15-D8 big", "LASizeHi=@WordSmall", {}, "13,2", "pick:@WordBig", {"*IDN?", ":LA:GROUP2:SIZE BIG"},
            "LASizeHi=@WordBig", "13,2=@ItemD15D8 [@WordBig]");
        // Time base.
        row("time/div", "TimeDiv=10.00us", {":TIMEBASE:OFFSET 0.0002"}, "5,15", "pick:1.000ms",
            {":TIMEBASE:FORMAT?", "*IDN?", ":TIMEBASE:SCALE 1.000MS", ":TIMEBASE:SCALE?", ":TIMEBASE:OFFSET?"},
            "TimeDiv=1.000ms;Delay=200.00us", "5,15=@ItemTimeDiv [1.000ms];5,16=@ItemDelay [200.00us]");
        row("format roll", "TimebaseFormat=Y-T", {}, "5,18", "pick:Roll",
            {"*IDN?", ":TIMEBASE:FORMAT SCANNING", "+100 :TIMEBASE:FORMAT?", ":LA:DISPLAY?", "+100 :TIMEBASE:SCALE?",
             ":TIMEBASE:OFFSET?"},
            // the instrument rolls from 100 ms/div on: the re-read brings its time/div in
            "TimebaseFormat=Roll;LADisplay=@WordOff;TimeDiv=100.0ms",
            "5,18=@ItemFormat [Roll];5,15=@ItemTimeDiv [100.0ms]");
        row("format X-Y shows both channels", "TimebaseFormat=Y-T;CH1Display=@WordOff;CH2Display=@WordOff",
            {":LA:DISPLAY ON"}, "5,18", "pick:X-Y",
            {"*IDN?", ":TIMEBASE:FORMAT XY", "+100 :TIMEBASE:FORMAT?", ":LA:DISPLAY?", "+100 :TIMEBASE:SCALE?",
             ":TIMEBASE:OFFSET?"},
            "TimebaseFormat=X-Y;CH1Display=@WordOn;CH2Display=@WordOn;LADisplay=@WordOn",
            "5,18=@ItemFormat [X-Y];2,2=@ItemDisplay [@WordOn];3,2=@ItemDisplay [@WordOn];4,9=@ItemDisplay [@WordOn]");
        row("CH1 time/div under the alternate trigger", "TrigMethod=@WordAlternative;CH1TimeDiv=10.00us", {}, "13,15",
            "pick:1.000ms",
            {":TIMEBASE:FORMAT?", "*IDN?", ":TRIGGER:ALTERNATION:SOURCE CHANNEL1",
             "+50 :TRIGGER:ALTERNATION:TIMESCALE 1.000MS", "+50 :TRIGGER:ALTERNATION:TIMESCALE?"},
            "CH1TimeDiv=1.000ms", "13,15=@ItemTimeDiv [1.000ms]");
        row("CH2 delay under the alternate trigger", "TrigMethod=@WordAlternative;CH2Delay=0.0000s", {}, "14,16",
            "type:0.0005",
            {"*IDN?", ":TRIGGER:ALTERNATION:SOURCE CHANNEL2", "+50 :TRIGGER:ALTERNATION:TIMESCALE?",
             ":TRIGGER:ALTERNATION:TIMEOFFSET 0.5MS", "+50 :TRIGGER:ALTERNATION:TIMEOFFSET?"},
            "CH2Delay=500.00us", "14,16=@ItemDelay [500.00us]");
        row("CH1 delay clamped", "TrigMethod=@WordAlternative;CH1Delay=0.0000s", {}, "13,16", "type:-1e25",
            {"*IDN?", ":TRIGGER:ALTERNATION:SOURCE CHANNEL1", "+50 :TRIGGER:ALTERNATION:TIMESCALE?",
             ":TRIGGER:ALTERNATION:TIMEOFFSET -100000002004088000000000000000.0NS", "+50 :TRIGGER:ALTERNATION:TIMEOFFSET?"},
            "CH1Delay=-100000002004088000000.00s", "13,16=@ItemDelay [-100000002004088000000.00s]");
        // Acquire and display.
        row("sampling mode real time", "AcqSamplingMode=@WordEqualTime", {":ACQUIRE:MODE ETIME"}, "7,3",
            "pick:@WordRealTime", {"*IDN?", ":ACQUIRE:MODE RTIME", "+50 :ACQUIRE:MODE?"},
            "AcqSamplingMode=@WordRealTime", "7,3=@ItemSamplingMode [@WordRealTime]");
        row("sampling mode equal time", "AcqSamplingMode=@WordRealTime", {}, "7,3", "pick:@WordEqualTime",
            {"*IDN?", ":ACQUIRE:MODE ETIME", "+50 :ACQUIRE:MODE?"}, "AcqSamplingMode=@WordEqualTime",
            "7,3=@ItemSamplingMode [@WordEqualTime]");
        row("averages 128", "AcqType=@WordAverage;AcqAverages=16", {}, "7,5", "pick:128",
            {"*IDN?", ":ACQUIRE:AVERAGES 128"}, "AcqAverages=128", "7,5=@ItemAverages [128]");
        row("display dots", "DispType=@WordVectors", {}, "8,2", "pick:@WordDots",
            {"*IDN?", ":DISPLAY:TYPE DOTS", ":DISPLAY:TYPE?"}, "DispType=@WordDots", "8,2=@ItemType [@WordDots]");
        row("persistence on", "DispPersist=@WordOff", {}, "8,3", "pick:@WordOn", {"*IDN?", ":DISPLAY:PERSIST ON"},
            "DispPersist=@WordOn", "8,3=@ItemPersist [@WordOn]");
        row("grid half", "DispGrid=@WordFull", {}, "8,5", "pick:@WordHalf", {"*IDN?", ":DISPLAY:GRID HALF"},
            "DispGrid=@WordHalf", "8,5=@ItemGrid [@WordHalf]");
        row("grid, nothing chosen", "DispGrid=odd", {}, "8,5", "none", {"*IDN?", ":DISPLAY:GRID NONE"}, "DispGrid=",
            "8,5=@ItemGrid []");
    }
    void branch()
    {
        QFETCH(int, lang);
        QFETCH(QString, before);
        QFETCH(QStringList, simBefore);
        QFETCH(QString, node);
        QFETCH(QString, action);
        QFETCH(QStringList, lines);
        QFETCH(QString, after);
        QFETCH(QString, nodes);
        EditorsFixture f(lang);
        QVERIFY(setMembers(before));
        f.rebuild();
        for (const QString &l : simBefore)
            f.simSet(l.toLatin1());
        f.script = [&](QDialog &d) {
            auto *c = qobject_cast<CtrlDialog *>(&d);
            QVERIFY(c);
            act(*c, action);
            QVERIFY2(!c->isVisible(), "the dialog stays open");
        };
        f.doubleClick(nodeOf(f, node));
        QCOMPARE(f.dialogsShown.size(), 1);

        const QList<TableLine> expect = tableLines(lines);
        QStringList want;
        for (const TableLine &t : expect)
            want << t.line;
        QCOMPARE(f.simLines(), want);
        for (int i = 1; i < expect.size(); ++i) {
            const bool command = !expect[i - 1].line.endsWith(u'?');
            QCOMPARE(f.gap(i - 1, i), qint64((command ? VisaCommandPauseMs : 0) + expect[i].pause));
        }
        for (const auto &entry : f.sim.log())
            QVERIFY2(!entry.refused, entry.line.constData());
        compareMembers(after);
        compareNodes(f, nodes);
        QVERIFY(app().ctrl.CtrlFileModified);
        QVERIFY(f.fakeUi.messages().isEmpty());
    }

    // The read-back gets no reply: a time-out on the serial link, a failed
    // read on VISA; either loses the link. The member keeps what the branch
    // stored before it asked (or what it held), never the text of an empty
    // reply.
    void unanswered_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("after");
        for (int link : {int(LinkKind::Serial), int(LinkKind::Visa)}) {
            const char *on = link == int(LinkKind::Serial) ? "serial" : "VISA";
            const auto row = [&](const char *name, const QString &before, const QString &node, const QString &action,
                                 const QString &after) {
                QTest::newRow(qPrintable(QStringLiteral("%1 (%2)").arg(QLatin1String(name), QLatin1String(on))))
                    << link << before << node << action << after;
            };
            row("CH2 display", "CH2Display=@WordOff", "3,2", "pick:@WordOn", "CH2Display=@WordOn");
            row("CH1 probe", "CH1Probe=1X;CH1VoltDiv=2.00V;CH1Offset=50mV", "2,7", "pick:5X",
                "CH1Probe=5X;CH1VoltDiv=2.00V;CH1Offset=50mV");
            row("LA display", "LADisplay=@WordOn", "4,9", "pick:@WordOff", "LADisplay=@WordOff");
            row("LA position", "LAChanPos[1]=3", "10,5", "pick:9", "LAChanPos[1]=9");
            row("LA user threshold", "LAThreshold=1.40V", "4,11", "user:2", "LAThreshold=1.40V");
            row("sampling mode", "AcqSamplingMode=@WordRealTime", "7,3", "pick:@WordEqualTime",
                "AcqSamplingMode=@WordRealTime");
            row("display type", "DispType=@WordDots", "8,2", "pick:@WordVectors", "DispType=@WordDots");
            row("format", "TimebaseFormat=Y-T;TimeDiv=1.000ms;Delay=0.0000s;LADisplay=@WordOn", "5,18", "pick:Roll",
                "TimebaseFormat=Y-T;TimeDiv=1.000ms;Delay=0.0000s;LADisplay=@WordOn");
            row("run state in roll", "RunStop=@WordRun;TimeDiv=1.000ms", "1,2", "pick:@WordStop",
                "RunStop=@WordStop;TimeDiv=1.000ms");
        }
    }
    void unanswered()
    {
        QFETCH(int, link);
        QFETCH(QString, before);
        QFETCH(QString, node);
        QFETCH(QString, action);
        QFETCH(QString, after);
        for (int lang : {LanguageChinese, LanguageEnglish}) {
            EditorsFixture f(lang, LinkKind(link));
            QVERIFY(setMembers(before));
            f.rebuild();
            Qm4100Sim::Faults faults;
            faults.silentFromQuery = 2; // "*IDN?" is answered, nothing after it
            f.sim.setFaults(faults);
            f.edit(nodeOf(f, node), [&](CtrlDialog &d) { act(d, action); });
            QVERIFY(!f.simLines().isEmpty());
            compareMembers(after);
            QVERIFY(app().ctrl.CtrlFileModified);
            QVERIFY(!app().link.LinkConnected);
        }
    }

    // A refused number leaves the dialog open; what went out before it stays
    // out (the channel's delay selects its source first).
    void refusedNumber_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CH2 delay") << "14,16" << "type:abc"
                                   << QStringList{"*IDN?", ":TRIGGER:ALTERNATION:SOURCE CHANNEL2"};
        // A unit button refuses before anything is asked.
        QTest::newRow("CH1 delay, unit button") << "13,16" << "unit:1:1,5" << QStringList{};
        QTest::newRow("user threshold") << "4,11" << "user:&H1F" << QStringList{"*IDN?"};
    }
    void refusedNumber()
    {
        QFETCH(QString, node);
        QFETCH(QString, action);
        QFETCH(QStringList, lines);
        EditorsFixture f;
        QVERIFY(setMembers(QStringLiteral("TrigMethod=@WordAlternative;LAThreshold=TTL")));
        f.rebuild();
        const CtrlSettings before = app().Settings;
        f.edit(nodeOf(f, node), [&](CtrlDialog &d) {
            act(d, action);
            QVERIFY(d.isVisible());
        });
        QCOMPARE(f.simLines(), lines);
        QCOMPARE(f.fakeUi.messages().size(), 1);
        QCOMPARE(f.fakeUi.messages().at(0).text, QStringLiteral("Enter number only!"));
        QVERIFY(app().Settings == before);
        QVERIFY(!app().ctrl.CtrlFileModified);
    }

    // The acquisition type rebuilds the tree: the Averages node comes and
    // goes, open groups stay open, the Acquisition node is selected.
    void acquisitionRebuild()
    {
        for (int lang : {LanguageChinese, LanguageEnglish}) {
            EditorsFixture f(lang);
            QVERIFY(setMembers(QStringLiteral("AcqType=@WordAcqNormal;AcqAverages=64")));
            f.rebuild();
            QVERIFY(!HasCtrlNode(7, 5));
            f.edit(7, 2, [](CtrlDialog &d) { act(d, QStringLiteral("pick:@WordAverage")); });
            QCOMPARE(f.simLines(), (QStringList{"*IDN?", ":ACQUIRE:TYPE AVERAGE"}));
            QCOMPARE(app().Settings.AcqType, word(Word::WordAverage));
            QVERIFY(HasCtrlNode(7, 5));
            QCOMPARE(CtrlNodeText(7, 5), word(Word::ItemAverages) + QStringLiteral(" [64]"));
            QCOMPARE(f.tree()->currentItem(), f.tree()->node(7, 2));
            QVERIFY(f.tree()->node(7, 2)->parent()->isExpanded());

            f.sim.clearLog();
            f.edit(7, 2, [](CtrlDialog &d) { act(d, QStringLiteral("pick:@WordAcqNormal")); });
            QCOMPARE(f.simLines(), (QStringList{"*IDN?", ":ACQUIRE:TYPE NORMAL"}));
            QVERIFY(!HasCtrlNode(7, 5));
            QCOMPARE(f.tree()->currentItem(), f.tree()->node(7, 2));
            QCOMPARE(f.sim.setting(":ACQUIRE:TYPE"), QByteArray("NORMAL"));
        }
    }

    // LA D5 and D4 share their ids with Time Base CH2's nodes under the
    // alternate trigger: an LA edit writes the LA nodes, never the time base's.
    void laNodesApartFromAlternateTimeBase()
    {
        for (int lang : {LanguageChinese, LanguageEnglish}) {
            EditorsFixture f(lang);
            QVERIFY(setMembers(QStringLiteral("TrigMethod=@WordAlternative;CH2TimeDiv=2.000ms;CH2Delay=0.0000s;"
                                              "LAGroupLo=@WordOn;LAChanOn[11]=@WordOn;LAChanOn[12]=@WordOn")));
            f.rebuild();
            const QString timeDiv = word(Word::ItemTimeDiv) + QStringLiteral(" [2.000ms]");
            const QString delay = word(Word::ItemDelay) + QStringLiteral(" [0.0000s]");
            QCOMPARE(CtrlNodeText(14, 15), timeDiv);
            f.edit(nodeOf(f, QStringLiteral("D5")), [](CtrlDialog &d) { act(d, QStringLiteral("pick:@WordOff")); });
            f.edit(14, 3, [](CtrlDialog &d) { act(d, QStringLiteral("pick:@WordOff")); });
            QCOMPARE(f.simLines(), (QStringList{"*IDN?", ":DIGITAL5:TURN OFF", "*IDN?", ":LA:GROUP1 OFF"}));
            QCOMPARE(CtrlNodeText(14, 15), timeDiv);
            QCOMPARE(CtrlNodeText(14, 16), delay);
            QCOMPARE(LaChannelNodeText(5), QStringLiteral("D5 [") + word(Word::WordOff) + u']');
            QCOMPARE(LaChannelNodeText(4), QStringLiteral("D4 [") + word(Word::WordOff) + u']');
            QCOMPARE(app().Settings.CH2TimeDiv, QStringLiteral("2.000ms"));
        }
    }

    // A code position: the letter is stored in the code of the trigger type
    // in force, its node rewritten and the whole code sent.
    void codes_data()
    {
        QTest::addColumn<bool>("pattern");
        QTest::addColumn<QString>("codes"); // D15 .. D0, one character each: H L X r(ising) f(alling) R(ISING)
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("codesAfter");
        QTest::newRow("rising D5 clears falling D3") << true << "LLLLLLLLLLLLfLLL" << 5 << "@ItemRising"
                                                     << ":TRIGGER:PATTERN:PATTERN 0,65527,5,1" << "LLLLLLLLLLrLXLLL";
        QTest::newRow("H on the edge's position") << true << "LLLLLLLLLLrLLLLL" << 5 << "@ItemH"
                                                  << ":TRIGGER:PATTERN:PATTERN 32,65535" << "LLLLLLLLLLHLLLLL";
        QTest::newRow("the example") << true << "HLLLLLLLLLLLLLLX" << 3 << "@ItemRising"
                                     << ":TRIGGER:PATTERN:PATTERN 32768,65534,3,1" << "HLLLLLLLLLLLrLLX";
        QTest::newRow("read-back edge kept when D0 changes") << true << "LLLLLLLLLLLLRLLL" << 0 << "@ItemX"
                                                             << ":TRIGGER:PATTERN:PATTERN 0,65534,3,1"
                                                             << "LLLLLLLLLLLLRLLX";
        QTest::newRow("read-back edge gives way") << true << "LLLLLLLLLLLLRLLL" << 15 << "@ItemFalling"
                                                  << ":TRIGGER:PATTERN:PATTERN 0,65527,15,0" << "fLLLLLLLLLLLXLLL";
        QTest::newRow("read-back edge re-chosen") << true << "LLLLLLLLLLLLRLLL" << 3 << "@ItemFalling"
                                                  << ":TRIGGER:PATTERN:PATTERN 0,65535,3,0" << "LLLLLLLLLLLLfLLL";
        QTest::newRow("all X") << true << "XXXXXXXXXXXXXXXL" << 0 << "@ItemX" << ":TRIGGER:PATTERN:PATTERN 0,0"
                               << "XXXXXXXXXXXXXXXX";
        QTest::newRow("all H") << true << "HHHHHHHHHHHHHHHL" << 0 << "@ItemH"
                               << ":TRIGGER:PATTERN:PATTERN 65535,65535" << "HHHHHHHHHHHHHHHH";
        QTest::newRow("duration D15 H") << false << "LLLLLLLLLLLLLLLL" << 15 << "@ItemH"
                                        << ":TRIGGER:DURATION:PATTERN 32768,65535" << "HLLLLLLLLLLLLLLL";
        QTest::newRow("duration D0 X") << false << "HHHHHHHHHHHHHHHH" << 0 << "@ItemX"
                                       << ":TRIGGER:DURATION:PATTERN 65534,65534" << "HHHHHHHHHHHHHHHX";
    }
    void codes()
    {
        QFETCH(bool, pattern);
        QFETCH(QString, codes);
        QFETCH(int, channel);
        QFETCH(QString, choice);
        QFETCH(QString, line);
        QFETCH(QString, codesAfter);
        const auto code = [](QChar c) {
            switch (c.unicode()) {
            case 'r': return word(Word::ItemRising);
            case 'f': return word(Word::ItemFalling);
            case 'R': return word(Word::WordRising);
            default: return QString(c);
            }
        };
        for (int lang : {LanguageChinese, LanguageEnglish}) {
            EditorsFixture f(lang);
            CtrlSettings &s = app().Settings;
            s.TrigMethod = word(pattern ? Word::WordPattern : Word::WordDuration);
            CtrlSettings::LAArray &current = pattern ? s.PatCode : s.DurCode;
            CtrlSettings::LAArray &other = pattern ? s.DurCode : s.PatCode;
            for (int i = 1; i <= 16; ++i) {
                current[i] = code(codes[i - 1]);
                other[i] = QStringLiteral("L");
            }
            // The other code is left alone, its edges included (an edge at D15
            // or D0, where the rows edit, and one more).
            other[1] = word(Word::ItemRising);
            other[3] = word(Word::ItemFalling);
            other[16] = word(Word::ItemRising);
            const CtrlSettings::LAArray otherBefore = other;
            f.rebuild();
            const int item = 20 - channel;
            f.edit(21, item, [&](CtrlDialog &d) {
                QStringList entries;
                for (int i = 0; i < d.Combo()->count(); ++i)
                    entries << d.Combo()->itemText(i);
                QStringList want{"H", "L", "X"};
                if (pattern)
                    want << word(Word::ItemRising) << word(Word::ItemFalling);
                QCOMPARE(entries, want);
                // An edge read back from the instrument is the list's edge.
                if (codes[15 - channel] == u'R')
                    QCOMPARE(d.choice(), word(Word::ItemRising));
                act(d, QStringLiteral("pick:") + choice);
            });
            QCOMPARE(f.simLines(), (QStringList{"*IDN?", line}));
            QVERIFY(!f.sim.log().constLast().refused);
            for (int i = 1; i <= 16; ++i) {
                QCOMPARE(current[i], code(codesAfter[i - 1]));
                const QString label = QStringLiteral("D") + QString::number(16 - i);
                QCOMPARE(CtrlNodeText(21, 4 + i), label + QStringLiteral(" [") + current[i] + u']');
            }
            QVERIFY(other == otherBefore);
            QVERIFY(app().ctrl.CtrlFileModified);
        }
    }

    // The volts/div dialog: one step per press at the channel's probe ratio,
    // coarse or fine as remembered for the channel.
    void adjustSteps_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("probe");
        QTest::addColumn<bool>("fine");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("plus");
        QTest::addColumn<QString>("minus");
        QTest::newRow("coarse at the floor") << 1 << "1X" << false << "2.00mV" << "5.00mV" << "2.00mV";
        QTest::newRow("coarse at the top") << 2 << "1X" << false << "10.0V" << "10.0V" << "5.00V";
        QTest::newRow("coarse between rungs") << 1 << "1X" << false << "3.00mV" << "5.00mV" << "2.00mV";
        QTest::newRow("coarse, probe 10X") << 1 << "10X" << false << "1.00V" << "2.00V" << "500mV";
        QTest::newRow("coarse, probe 100X") << 2 << "100X" << false << "100mV" << "500mV" << "200mV";
        QTest::newRow("fine at the floor") << 1 << "1X" << true << "2.00mV" << "2.05mV" << "2.00mV";
        QTest::newRow("fine at the top") << 2 << "1X" << true << "10.0V" << "10.0V" << "9.90V";
        QTest::newRow("fine, probe 2X") << 2 << "2X" << true << "1.00V" << "1.02V" << "990mV";
        // A ratio the dialog does not know counts as 1X.
        QTest::newRow("unknown probe") << 1 << "3X" << false << "1.00V" << "2.00V" << "500mV";
        QTest::newRow("no probe") << 2 << "" << true << "1.00V" << "1.02V" << "990mV";
    }
    void adjustSteps()
    {
        QFETCH(int, channel);
        QFETCH(QString, probe);
        QFETCH(bool, fine);
        QFETCH(QString, from);
        QFETCH(QString, plus);
        QFETCH(QString, minus);
        EditorsFixture f;
        CtrlSettings &s = app().Settings;
        (channel == 1 ? s.CH1Probe : s.CH2Probe) = probe;
        (channel == 1 ? s.CH1VoltDiv : s.CH2VoltDiv) = from;
        f.rebuild();
        if (channel == 1)
            app().editors.AdjustCoarseFineCH1 = fine ? 1 : 0;
        else
            app().editors.AdjustCoarseFineCH2 = fine ? 1 : 0;
        QStringList seen;
        f.script = [&](QDialog &d) {
            auto *a = qobject_cast<CtrlDialogAdjust *>(&d);
            QVERIFY(a);
            QCOMPARE(a->txtDispValue()->text(), from);
            QTest::mouseClick(a->DotAddRainBtn(), Qt::LeftButton);
            seen << a->txtDispValue()->text();
            a->txtDispValue()->setText(from);
            QTest::mouseClick(a->DotSubRainBtn(), Qt::LeftButton);
            seen << a->txtDispValue()->text();
            QTest::mouseClick(a->cmdCancelAdjust(), Qt::LeftButton);
        };
        f.doubleClick(channel + 1, 3);
        QCOMPARE(seen, (QStringList{plus, minus}));
        QVERIFY(f.simLines().isEmpty());
        QCOMPARE(channel == 1 ? s.CH1VoltDiv : s.CH2VoltDiv, from);
        QVERIFY(!app().ctrl.CtrlFileModified);
    }

    // Held down, a step button steps at the press and every 200 ms after it
    // until the release; nothing moves after the release.
    void adjustHold()
    {
        EditorsFixture f;
        app().Settings.CH1Probe = QStringLiteral("1X");
        app().Settings.CH1VoltDiv = QStringLiteral("2.00mV");
        f.rebuild();
        QStringList seen;
        f.script = [&](QDialog &d) {
            auto *a = qobject_cast<CtrlDialogAdjust *>(&d);
            QVERIFY(a);
            QTest::mousePress(a->DotAddRainBtn(), Qt::LeftButton);
            seen << a->txtDispValue()->text();
            for (int tick = 0; tick < 5; ++tick) {
                f.clock.advance(199);
                seen << a->txtDispValue()->text();
                f.clock.advance(1);
                seen << a->txtDispValue()->text();
            }
            QTest::mouseRelease(a->DotAddRainBtn(), Qt::LeftButton);
            f.clock.advance(1000);
            seen << a->txtDispValue()->text();
            QTest::mouseClick(a->cmdCancelAdjust(), Qt::LeftButton);
        };
        f.doubleClick(2, 3);
        QCOMPARE(seen, (QStringList{"5.00mV", "5.00mV", "10.0mV", "10.0mV", "20.0mV", "20.0mV", "50.0mV", "50.0mV",
                                    "100mV", "100mV", "200mV", "200mV"}));
    }

    // A hold lasts from the press to the release of that mouse button,
    // whichever button it is and wherever the pointer goes meanwhile: sliding
    // off the small step button neither ends the repeat nor, coming back,
    // steps once more.
    void adjustHoldOffTheButton_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("wander");
        QTest::newRow("pointer off and back, released off") << int(Qt::LeftButton) << true;
        QTest::newRow("right button") << int(Qt::RightButton) << false;
    }
    void adjustHoldOffTheButton()
    {
        QFETCH(int, button);
        QFETCH(bool, wander);
        const auto mouse = Qt::MouseButton(button);
        EditorsFixture f;
        app().Settings.CH1Probe = QStringLiteral("1X");
        app().Settings.CH1VoltDiv = QStringLiteral("2.00mV");
        f.rebuild();
        QString shown;
        f.script = [&](QDialog &d) {
            auto *a = qobject_cast<CtrlDialogAdjust *>(&d);
            QVERIFY(a);
            QToolButton *plus = a->DotAddRainBtn();
            const QPoint off(plus->width() + 40, plus->height() + 40);
            QTest::mousePress(plus, mouse);
            f.clock.advance(400);
            if (wander)
                QTest::mouseMove(plus, off);
            f.clock.advance(400);
            if (wander)
                QTest::mouseMove(plus, plus->rect().center());
            f.clock.advance(200);
            if (wander)
                QTest::mouseMove(plus, off);
            QTest::mouseRelease(plus, mouse, {}, wander ? off : plus->rect().center());
            f.clock.advance(1000);
            shown = a->txtDispValue()->text();
            QTest::mouseClick(a->cmdCancelAdjust(), Qt::LeftButton);
        };
        f.doubleClick(2, 3);
        // One step at the press and five from the repeat: 5, 10, 20, 50, 100, 200 mV.
        QCOMPARE(shown, QStringLiteral("200mV"));
    }

    // The coarse/fine choice is remembered per channel, also when the dialog
    // is cancelled, and steers the steps of the next opening.
    void adjustRemembersChoice()
    {
        EditorsFixture f;
        app().Settings.CH1VoltDiv = app().Settings.CH2VoltDiv = QStringLiteral("1.00V");
        app().Settings.CH1Probe = app().Settings.CH2Probe = QStringLiteral("1X");
        f.rebuild();
        const auto open = [&f](int channel, int choose, QString *stepped) {
            f.script = [&, choose, stepped](QDialog &d) {
                auto *a = qobject_cast<CtrlDialogAdjust *>(&d);
                QVERIFY(a);
                if (choose >= 0)
                    QTest::mouseClick(a->OptVoltDiv(choose), Qt::LeftButton);
                if (stepped) {
                    QTest::mouseClick(a->DotAddRainBtn(), Qt::LeftButton);
                    *stepped = a->txtDispValue()->text();
                }
                QTest::keyClick(a, Qt::Key_Escape);
            };
            f.doubleClick(channel + 1, 3);
        };
        open(1, 1, nullptr); // CH1: fine, then cancelled
        QString ch1, ch2;
        open(2, -1, &ch2);
        open(1, -1, &ch1);
        QCOMPARE(ch1, QStringLiteral("1.02V")); // fine
        QCOMPARE(ch2, QStringLiteral("2.00V")); // coarse, as it was
        QCOMPARE(int(app().editors.AdjustCoarseFineCH1), 1);
        QCOMPARE(int(app().editors.AdjustCoarseFineCH2), 0);
        QVERIFY(f.simLines().isEmpty());
    }

    // OK sends the probe ratio and the scale at the probe, waits, and reads
    // the offset back; the Volt/Div node shows the read-out.
    void adjustApply_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("probe");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("voltDiv");
        QTest::addColumn<QString>("offset");
        QTest::newRow("CH1 one step up") << 1 << "1X" << 1
                                         << QStringList{":CHANNEL1:PROBE 1", ":CHANNEL1:SCALE 2", ":CHANNEL1:OFFSET?"}
                                         << "2.00V" << "200mV";
        QTest::newRow("CH2 at 10X, one step down") << 2 << "10X" << -1
                                                   << QStringList{":CHANNEL2:PROBE 10", ":CHANNEL2:SCALE 5",
                                                                  ":CHANNEL2:OFFSET?"}
                                                   << "5.00V" << "50.0mV";
        QTest::newRow("CH1 unchanged") << 1 << "1X" << 0
                                       << QStringList{":CHANNEL1:PROBE 1", ":CHANNEL1:SCALE 1", ":CHANNEL1:OFFSET?"}
                                       << "1.00V" << "100mV";
        // A ratio the instrument does not know is not sent; the scale goes at 1X.
        QTest::newRow("CH2 unknown probe") << 2 << "3X" << -1
                                           << QStringList{":CHANNEL2:SCALE 0.5", ":CHANNEL2:OFFSET?"} << "500mV"
                                           << "50.0mV";
    }
    void adjustApply()
    {
        QFETCH(int, channel);
        QFETCH(QString, probe);
        QFETCH(int, steps);
        QFETCH(QStringList, lines);
        QFETCH(QString, voltDiv);
        QFETCH(QString, offset);
        for (int lang : {LanguageChinese, LanguageEnglish}) {
            EditorsFixture f(lang);
            const QByteArray ch = ":CHANNEL" + QByteArray::number(channel);
            // The simulator at 1 V/div with 0.1 V offset at the probe given.
            f.simSet(ch + ":PROBE " + (GetCHProbeNum(probe) ? probe.chopped(1).toLatin1() : QByteArray("1")));
            f.simSet(ch + ":SCALE " + (GetCHProbeNum(probe) ? probe.chopped(1).toLatin1() : QByteArray("1")));
            f.simSet(ch + ":OFFSET 0.1");
            CtrlSettings &s = app().Settings;
            (channel == 1 ? s.CH1Probe : s.CH2Probe) = probe;
            (channel == 1 ? s.CH1VoltDiv : s.CH2VoltDiv) =
                GetCHProbeNum(probe) == 10 ? QStringLiteral("10.0V") : QStringLiteral("1.00V");
            f.rebuild();
            f.script = [&](QDialog &d) {
                auto *a = qobject_cast<CtrlDialogAdjust *>(&d);
                QVERIFY(a);
                if (steps)
                    QTest::mouseClick(steps > 0 ? a->DotAddRainBtn() : a->DotSubRainBtn(), Qt::LeftButton);
                QTest::mouseClick(a->cmdAdjustOK(), Qt::LeftButton);
                QVERIFY(!a->isVisible());
            };
            f.doubleClick(channel + 1, 3);
            QCOMPARE(f.simLines(), lines);
            const int n = int(lines.size());
            QCOMPARE(f.gap(n - 2, n - 1), qint64(VisaCommandPauseMs + 200));
            if (n == 3)
                QCOMPARE(f.gap(0, 1), qint64(VisaCommandPauseMs));
            QCOMPARE(channel == 1 ? s.CH1VoltDiv : s.CH2VoltDiv, voltDiv);
            QCOMPARE(channel == 1 ? s.CH1Offset : s.CH2Offset, offset);
            QCOMPARE(CtrlNodeText(channel + 1, 3), word(Word::ItemVoltDiv) + QStringLiteral(" [") + voltDiv + u']');
            QCOMPARE(CtrlNodeText(channel + 1, 4), word(Word::ItemOffset) + QStringLiteral(" [") + offset + u']');
            QVERIFY(app().ctrl.CtrlFileModified);
        }
    }

    // After a series of edits the record and the instrument agree: the upload
    // sends what the edits left, and the instrument already holds it.
    void uploadAfterEdits()
    {
        EditorsFixture f;
        QVERIFY(setMembers(QStringLiteral("CH1Display=@WordOn;CH2BWLimit=@WordOff;DispGrid=@WordFull;"
                                          "AcqType=@WordAcqNormal")));
        f.rebuild();
        f.edit(2, 2, [](CtrlDialog &d) { act(d, QStringLiteral("pick:@WordOff")); });
        f.edit(3, 6, [](CtrlDialog &d) { act(d, QStringLiteral("pick:@WordOn")); });
        f.edit(8, 5, [](CtrlDialog &d) { act(d, QStringLiteral("pick:@WordHalf")); });
        f.edit(7, 2, [](CtrlDialog &d) { act(d, QStringLiteral("pick:@WordPeakDetect")); });
        f.edit(4, 11, [](CtrlDialog &d) { act(d, QStringLiteral("pick:ECL")); });
        const QHash<QByteArray, QByteArray> expected = {{":CHANNEL1:DISPLAY", "OFF"}, {":CHANNEL2:BWLIMIT", "ON"},
                                                        {":DISPLAY:GRID", "HALF"}, {":ACQUIRE:TYPE", "PEAKDETECT"},
                                                        {":LA:THRESHOLD", "ECL"}};
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(f.sim.setting(it.key()), it.value());
        f.sim.clearLog();
        UploadSettings();
        const QStringList sent = f.simLines();
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            QVERIFY2(sent.contains(QString::fromLatin1(it.key() + ' ' + it.value())), it.key().constData());
            QCOMPARE(f.sim.setting(it.key()), it.value());
        }
    }
};

QTEST_MAIN(TestApplyBranches)
#include "tst_applybranches.moc"
