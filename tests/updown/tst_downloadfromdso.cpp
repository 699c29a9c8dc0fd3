// The settings download against the simulator: the exact lines, every member
// filled through its converter in each trigger method (logic and AC-line
// sources included), the tree rebuild and the restored active channel, an
// instrument that falls silent half-way, and the rules for empty, zero and
// hostile replies.

#include "updown/updownfixture.h"

#include "texts/stringres.h"

#include <QSet>
#include <QtTest>

namespace {

const QString kUnset = QStringLiteral("?");

// Members the download never writes.
const QSet<QString> kNeverWritten = {
    "CH1Invert", "CH2Invert", "MathDisplay", "FFTDisplay", "MemSize", "Spare1", "SlopeWindow",
    "AltCH1VideoHoldoff", "AltCH2VideoHoldoff", "AltCH1SlopeWindow", "AltCH2SlopeWindow",
    "AltCH1SlopeHoldoff", "AltCH2SlopeHoldoff", "Spare2", "Spare3", "Spare4", "Spare5",
};

// Every member, and elements 1..16 of every array, set to "?".
void scramble(CtrlSettings &s)
{
    for (const CtrlSettingsField &f : ctrlSettingsFields()) {
        if (f.text)
            s.*(f.text) = kUnset;
        else
            for (int i = 1; i <= 16; ++i)
                (s.*(f.array))[i] = kUnset;
    }
}

// Names of the members (arrays: "name[i]") that still hold "?".
QStringList unsetMembers(const CtrlSettings &s)
{
    QStringList out;
    for (const CtrlSettingsField &f : ctrlSettingsFields()) {
        if (f.text) {
            if (s.*(f.text) == kUnset)
                out << QString::fromLatin1(f.name);
        } else {
            for (int i = 1; i <= 16; ++i)
                if ((s.*(f.array))[i] == kUnset)
                    out << QStringLiteral("%1[%2]").arg(QLatin1String(f.name)).arg(i);
        }
    }
    return out;
}

QStringList sorted(QStringList l)
{
    l.sort();
    return l;
}

// The lines of a download from an instrument whose four trigger sources are
// CH1, as the command reference lists them.
QStringList downloadLinesAllCh1(const QString &active)
{
    QStringList l = {":CHANNEL:ACTIVE?", ":TRIGGER:STATUS?",
        ":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":TRIGGER:ALTERNATION:TIMESCALE?", ":TRIGGER:ALTERNATION:TIMEOFFSET?",
        ":TRIGGER:ALTERNATION:SOURCE CHANNEL2", ":TRIGGER:ALTERNATION:TIMESCALE?", ":TRIGGER:ALTERNATION:TIMEOFFSET?",
        ":TIMEBASE:FORMAT?", ":TIMEBASE:SCALE?", ":TIMEBASE:OFFSET?",
        ":CHANNEL1:PROBE?", ":CHANNEL1:SCALE?", ":CHANNEL1:COUPLING?", ":CHANNEL1:BWLIMIT?", ":CHANNEL1:DISPLAY?",
        ":CHANNEL1:OFFSET?",
        ":CHANNEL2:PROBE?", ":CHANNEL2:SCALE?", ":CHANNEL2:COUPLING?", ":CHANNEL2:BWLIMIT?", ":CHANNEL2:DISPLAY?",
        ":CHANNEL2:OFFSET?",
        ":TRIGGER:MODE?", ":TRIGGER:HOLDOFF?",
        ":TRIGGER:EDGE:SOURCE?", ":CHANNEL1:SCALE?", ":TRIGGER:EDGE:SLOPE?", ":TRIGGER:EDGE:SWEEP?",
        ":TRIGGER:EDGE:COUPLING?", ":TRIGGER:EDGE:LEVEL?", ":TRIGGER:EDGE:SENSITIVITY?",
        ":TRIGGER:PULSE:SOURCE?", ":CHANNEL1:SCALE?", ":TRIGGER:PULSE:MODE?", ":TRIGGER:PULSE:WIDTH?",
        ":TRIGGER:PULSE:SWEEP?", ":TRIGGER:PULSE:COUPLING?", ":TRIGGER:PULSE:LEVEL?", ":TRIGGER:PULSE:SENSITIVITY?",
        ":TRIGGER:VIDEO:SOURCE?", ":CHANNEL1:SCALE?", ":TRIGGER:VIDEO:POLARITY?", ":TRIGGER:VIDEO:MODE?",
        ":TRIGGER:VIDEO:LINE?", ":TRIGGER:VIDEO:STANDARD?", ":TRIGGER:VIDEO:LEVEL?", ":TRIGGER:VIDEO:SENSITIVITY?",
        ":TRIGGER:SLOPE:SOURCE?", ":CHANNEL1:SCALE?", ":TRIGGER:SLOPE:COUPLING?", ":TRIGGER:SLOPE:SWEEP?",
        ":TRIGGER:SLOPE:MODE?", ":TRIGGER:SLOPE:TIME?", ":TRIGGER:SLOPE:LEVELA?", ":TRIGGER:SLOPE:LEVELB?",
        ":TRIGGER:SLOPE:SENSITIVITY?",
        ":TRIGGER:PATTERN:PATTERN?", ":TRIGGER:PATTERN:SWEEP?", ":TRIGGER:DURATION:PATTERN?",
        ":TRIGGER:DURATION:QUALIFIER?", ":TRIGGER:DURATION:TIME?", ":TRIGGER:DURATION:SWEEP?"};
    for (const QString n : {"1", "2"}) {
        l << ":CHANNEL" + n + ":SCALE?" << ":TRIGGER:ALTERNATION:SOURCE CHANNEL" + n;
        for (const char *q : {"TYPE?", "EDGE:SLOPE?", "EDGE:COUPLING?", "EDGE:LEVEL?", "EDGE:HOLDOFF?",
                              "EDGE:SENSITIVITY?", "PULSE:MODE?", "PULSE:TIME?", "PULSE:COUPLING?", "PULSE:LEVEL?",
                              "PULSE:HOLDOFF?", "PULSE:SENSITIVITY?", "VIDEO:POLARITY?", "VIDEO:MODE?",
                              "VIDEO:LINE?", "VIDEO:STANDARD?", "VIDEO:LEVEL?", "VIDEO:SENSITIVITY?",
                              "SLOPE:COUPLING?", "SLOPE:MODE?", "SLOPE:TIME?", "SLOPE:LEVELA?", "SLOPE:LEVELB?",
                              "SLOPE:SENSITIVITY?"})
            l << ":TRIGGER:ALTERNATION:" + QString::fromLatin1(q);
    }
    l << ":LA:DISPLAY?" << ":LA:STATUS?" << ":LA:GROUP2:SIZE?" << ":LA:GROUP1:SIZE?" << ":LA:LOCATION?"
      << ":LA:THRESHOLD?" << ":ACQUIRE:MODE?" << ":ACQUIRE:TYPE?" << ":ACQUIRE:AVERAGES?" << ":DISPLAY:TYPE?"
      << ":DISPLAY:PERSIST?" << ":DISPLAY:GRID?" << ":CHANNEL:ACTIVE " + active;
    return l;
}

// Answers from a table; anything else gets the empty reply. Logs every line.
class TableLines final : public InstrumentLines {
public:
    void sendCommand(const QString &line) override { lines << line; }
    QString queryString(const QString &line) override
    {
        lines << line;
        if (replyAll)
            return *replyAll;
        return replies.value(line);
    }
    QHash<QString, QString> replies;
    std::optional<QString> replyAll;
    QStringList lines;
};

} // namespace

class TstDownloadFromDso : public QObject {
    Q_OBJECT

private slots:
    void init() { resetApp(); }

    // At reset: the exact lines, a new record's values back (up to the
    // re-formatted texts), the tree rebuilt once and the active channel given
    // back as the last line.
    void fromResetInstrument_data()
    {
        QTest::addColumn<int>("link");
        QTest::newRow("visa") << int(Link::Visa);
        QTest::newRow("serial") << int(Link::Serial);
    }

    void fromResetInstrument()
    {
        QFETCH(int, link);
        UpDownFixture f{static_cast<Link>(link)};
        QVERIFY(f.connected);
        f.simSet(":CHANNEL:ACTIVE CHANNEL2");
        f.sim.clearLog();
        const CtrlSettings fresh = app().Settings;
        DownloadSettings();

        QCOMPARE(f.simLines(), downloadLinesAllCh1("CHANNEL2"));
        QCOMPARE(f.sim.refusedCount(), 0);
        QVERIFY(f.pane);
        QCOMPARE(f.treeMismatches(), QStringList());
        QCOMPARE(f.sim.activeChannel(), 2);
        QCOMPARE(app().updown.ProgressSteps, 75);
        QCOMPARE(app().updown.ProgressApplied, 75);
        QVERIFY(qAbs(app().updown.ProgressValue - 98.684f) < 0.01f);

        // Back as a new record, except the texts the ladders write their own way.
        CtrlSettings expected = fresh;
        expected.CH1Offset = expected.CH2Offset = QStringLiteral("0.00uV");
        expected.Delay = expected.CH1Delay = expected.CH2Delay = QStringLiteral("0.000s");
        expected.PulseWidth = expected.SlopeTime = expected.DurTime = QStringLiteral("1.00us");
        expected.AltCH1PulseWidth = expected.AltCH2PulseWidth = QStringLiteral("1.00us");
        expected.AltCH1SlopeTime = expected.AltCH2SlopeTime = QStringLiteral("1.00us");
        QVERIFY(app().Settings == expected);
    }

    // The instrument set up in each trigger method: every member the
    // download writes is filled, the others are left alone, and the members
    // of that method carry the instrument's values through their converters.
    void perMethod_data()
    {
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<QStringList>("expect");   // "Member=value"
        QTest::addColumn<QStringList>("keep");     // written members that keep "?" (reply dropped)
        QTest::addColumn<QStringList>("inLog");    // lines that must be in the log, in this order
        QTest::addColumn<QStringList>("notInLog");

        QTest::newRow("edge, logic source")
            << QStringList{":TRIGGER:MODE EDGE", ":TRIGGER:EDGE:SOURCE DIGITAL5", ":TRIGGER:EDGE:SLOPE NEGATIVE",
                           ":TRIGGER:EDGE:SWEEP SINGLE", ":TRIGGER:EDGE:COUPLING LF", ":LA:THRESHOLD 1.4V",
                           ":TRIGGER:EDGE:SENSITIVITY 0.5"}
            << QStringList{"TrigMethod=EDGE", "EdgeSource=D5", "EdgeSlope=FALLING", "EdgeSweep=SINGLE",
                           "EdgeCoupling=LF", "EdgeLevel=1.40V", "EdgeSensitivity=0.50div", "LAThreshold=1.40V"}
            << QStringList{}
            << QStringList{":TRIGGER:EDGE:SOURCE?", ":TRIGGER:EDGE:COUPLING?", ":LA:THRESHOLD?",
                           ":TRIGGER:EDGE:SENSITIVITY?"}
            << QStringList{":TRIGGER:EDGE:LEVEL?"};
        QTest::newRow("edge, ac line")
            << QStringList{":TRIGGER:EDGE:SOURCE ACLINE", ":TRIGGER:EDGE:LEVEL 0.3"}
            << QStringList{"EdgeSource=AC"}
            << QStringList{"EdgeLevel"}
            << QStringList{":TRIGGER:EDGE:COUPLING?", ":TRIGGER:EDGE:LEVEL?", ":TRIGGER:EDGE:SENSITIVITY?"}
            << QStringList{};
        QTest::newRow("edge, ext")
            << QStringList{":TRIGGER:EDGE:SOURCE EXT", ":TRIGGER:EDGE:LEVEL 0.1"}
            << QStringList{"EdgeSource=EXT", "EdgeLevel=0.50div"} << QStringList{}
            << QStringList{":TRIGGER:EDGE:SOURCE?", ":TRIGGER:EDGE:SLOPE?"} << QStringList{};
        QTest::newRow("pulse, ac line counts as logic")
            << QStringList{":TRIGGER:MODE PULSE", ":TRIGGER:PULSE:SOURCE ACLINE", ":TRIGGER:PULSE:MODE -GREATERTHAN",
                           ":TRIGGER:PULSE:WIDTH 20US", ":LA:THRESHOLD CMOS"}
            << QStringList{"TrigMethod=PULSE", "PulseSource=ACLINE", "PulseMode=-Greater Than",
                           "PulseWidth=20.0us", "PulseLevel=CMOS"}
            << QStringList{}
            << QStringList{":TRIGGER:PULSE:COUPLING?", ":LA:THRESHOLD?", ":TRIGGER:PULSE:SENSITIVITY?"}
            << QStringList{":TRIGGER:PULSE:LEVEL?"};
        QTest::newRow("pulse, ext5")
            << QStringList{":TRIGGER:MODE PULSE", ":TRIGGER:PULSE:SOURCE EXT5", ":TRIGGER:PULSE:LEVEL 0.1"}
            << QStringList{"PulseSource=EXT5", "PulseLevel=0.10div"} << QStringList{}
            << QStringList{":TRIGGER:PULSE:LEVEL?"} << QStringList{};
        QTest::newRow("video")
            << QStringList{":TRIGGER:MODE VIDEO", ":TRIGGER:VIDEO:SOURCE CHANNEL2", ":CHANNEL2:SCALE 2V",
                           ":TRIGGER:VIDEO:LEVEL -1", ":TRIGGER:VIDEO:MODE ODDFIELD",
                           ":TRIGGER:VIDEO:STANDARD PALSECAM", ":TRIGGER:VIDEO:LINE 600",
                           ":TRIGGER:VIDEO:POLARITY NEGATIVE", ":TRIGGER:VIDEO:SENSITIVITY 1"}
            << QStringList{"TrigMethod=VIDEO", "VideoSource=CH2", "VideoLevel=-0.50div", "VideoSync=ODDfield",
                           "VideoStandard=PAL/SECAM", "VideoLine=600", "VideoPolarity=NEGATIVE",
                           "VideoSensitivity=1.00div", "CH2VoltDiv=2.00V"}
            << QStringList{}
            << QStringList{":TRIGGER:VIDEO:SOURCE?", ":CHANNEL2:SCALE?", ":TRIGGER:VIDEO:POLARITY?"}
            << QStringList{};
        QTest::newRow("slope")
            << QStringList{":TRIGGER:MODE SLOPE", ":TRIGGER:SLOPE:SOURCE CHANNEL2", ":CHANNEL2:SCALE 2V",
                           ":TRIGGER:SLOPE:LEVELA 1", ":TRIGGER:SLOPE:LEVELB -2", ":TRIGGER:SLOPE:MODE -LESSTHAN",
                           ":TRIGGER:SLOPE:TIME 5US", ":TRIGGER:SLOPE:COUPLING HF"}
            << QStringList{"TrigMethod=SLOPE", "SlopeSource=CH2", "SlopeLevelA=0.50div", "SlopeLevelB=-1.00div",
                           "SlopeMode=-Less Than", "SlopeTime=5.00us", "SlopeCoupling=HF"}
            << QStringList{} << QStringList{":TRIGGER:SLOPE:SOURCE?", ":CHANNEL2:SCALE?"} << QStringList{};
        QTest::newRow("alternative")
            << QStringList{":TRIGGER:MODE ALTERNATION", ":CHANNEL1:SCALE 500MV", ":CHANNEL2:SCALE 2V",
                           ":TRIGGER:ALTERNATION:SOURCE CHANNEL1", ":TRIGGER:ALTERNATION:TYPE VIDEO",
                           ":TRIGGER:ALTERNATION:VIDEO:LEVEL 0.25", ":TRIGGER:ALTERNATION:TIMESCALE 20US",
                           ":TRIGGER:ALTERNATION:EDGE:LEVEL -0.5",
                           ":TRIGGER:ALTERNATION:SOURCE CHANNEL2", ":TRIGGER:ALTERNATION:TYPE PULSE",
                           ":TRIGGER:ALTERNATION:PULSE:LEVEL 3", ":TRIGGER:ALTERNATION:PULSE:TIME 2US",
                           ":TRIGGER:ALTERNATION:PULSE:MODE +EQUAL", ":TRIGGER:ALTERNATION:SLOPE:LEVELB 1"}
            << QStringList{"TrigMethod=ALTERNATIVE", "AltCH1Type=VIDEO", "AltCH1VideoLevel=0.50div",
                           "AltCH1EdgeLevel=-1.00div", "CH1TimeDiv=20.00us", "AltCH2Type=PULSE",
                           "AltCH2PulseLevel=1.50div", "AltCH2PulseWidth=2.00us", "AltCH2PulseMode=+Equal",
                           "AltCH2SlopeLevelB=0.50div", "AltCH1SlopeLevelB=0.00div"}
            << QStringList{} << QStringList{} << QStringList{};
        QTest::newRow("pattern")
            << QStringList{":TRIGGER:MODE PATTERN", ":TRIGGER:PATTERN:PATTERN 128,192,6,1",
                           ":TRIGGER:PATTERN:SWEEP NORMAL", ":LA:STATUS 255", ":LA:LOCATION 65536,0"}
            << QStringList{"TrigMethod=PATTERN", "PatCode[9]=H", "PatCode[10]=RISING", "PatCode[1]=X",
                           "PatCode[16]=X", "PatSweep=NORMAL", "LAChanOn[16]=ON", "LAChanOn[8]=OFF",
                           "LAGroupLo=ON", "LAGroupHi=OFF", "LAChanPos[12]=1", "LAChanPos[16]=0", "DurCode[1]=H"}
            << QStringList{} << QStringList{} << QStringList{};
        QTest::newRow("duration")
            << QStringList{":TRIGGER:MODE DURATION", ":TRIGGER:DURATION:PATTERN 32768,65534,3,0",
                           ":TRIGGER:DURATION:QUALIFIER GREATERTHAN", ":TRIGGER:DURATION:TIME 2US",
                           ":TRIGGER:DURATION:SWEEP SINGLE", ":LA:STATUS 32768",
                           ":LA:LOCATION 1985229328,4275878552"}
            << QStringList{"TrigMethod=DURATION", "DurCode[1]=H", "DurCode[13]=FALLING", "DurCode[16]=X",
                           "DurCode[2]=L", "DurQualifier=Greater Than", "DurTime=2.00us", "DurSweep=SINGLE",
                           "LAChanOn[1]=ON", "LAChanOn[2]=OFF", "LAGroupHi=OFF", "LAGroupLo=OFF",
                           "LAChanPos[1]=15", "LAChanPos[8]=8", "LAChanPos[9]=7", "LAChanPos[16]=0"}
            << QStringList{} << QStringList{} << QStringList{};
    }

    void perMethod()
    {
        QFETCH(QStringList, setup);
        QFETCH(QStringList, expect);
        QFETCH(QStringList, keep);
        QFETCH(QStringList, inLog);
        QFETCH(QStringList, notInLog);
        UpDownFixture f(Link::Visa);
        for (const QString &l : setup)
            f.simSet(l.toLatin1());
        QCOMPARE(f.sim.refusedCount(), 0);
        f.simSet(":CHANNEL:ACTIVE CHANNEL2");
        f.sim.clearLog();
        scramble(app().Settings);

        DownloadSettings();

        // Filled: everything but the members it never writes and the dropped replies.
        QCOMPARE(sorted(unsetMembers(app().Settings)),
                 sorted(QStringList(kNeverWritten.begin(), kNeverWritten.end()) + keep));
        const CtrlSettings &s = app().Settings;
        for (const QString &e : expect) {
            const QString name = e.section(QLatin1Char('='), 0, 0);
            const QString value = e.section(QLatin1Char('='), 1);
            QString got;
            for (const CtrlSettingsField &fl : ctrlSettingsFields()) {
                if (fl.text && name == QLatin1String(fl.name))
                    got = s.*(fl.text);
                else if (fl.array && name.startsWith(QLatin1String(fl.name) + QLatin1Char('[')))
                    got = (s.*(fl.array))[name.section(QLatin1Char('['), 1).chopped(1).toInt()];
            }
            QVERIFY2(got == value, qPrintable(name + ": " + got + " != " + value));
        }
        const QStringList lines = f.simLines();
        qsizetype at = 0;
        for (const QString &l : inLog) {
            at = lines.indexOf(l, at);
            QVERIFY2(at >= 0, qPrintable(l));
        }
        for (const QString &l : notInLog)
            QVERIFY2(!lines.contains(l), qPrintable(l));
        QCOMPARE(f.treeMismatches(), QStringList());
        QCOMPARE(lines.last(), QStringLiteral(":CHANNEL:ACTIVE CHANNEL2"));
        QCOMPARE(f.sim.activeChannel(), 2);
        QCOMPARE(f.sim.refusedCount(), 0);
    }

    // The instrument answers 30 queries and then no more. The first reply
    // that does not come ends the download, over VISA and the serial link
    // alike: no further line goes out (the restoring one included), the link
    // is lost and the user told once, and every member, the tree with them,
    // keeps its text, also those of the 30 rows answered.
    void silentAfterThirtyQueries_data()
    {
        QTest::addColumn<int>("link");
        QTest::newRow("visa") << int(Link::Visa);
        QTest::newRow("serial") << int(Link::Serial);
    }

    void silentAfterThirtyQueries()
    {
        QFETCH(int, link);
        UpDownFixture f{static_cast<Link>(link)};
        f.simSet(":TRIGGER:EDGE:SENSITIVITY 0.5");   // answered: the 30th query
        f.simSet(":TRIGGER:PULSE:SOURCE CHANNEL2");  // asked as the 31st: no answer
        f.simSet(":TRIGGER:PULSE:MODE +EQUAL");
        f.simSet(":LA:STATUS 65535");
        f.sim.clearLog();
        Qm4100Sim::Faults x;
        x.silentFromQuery = 31;
        f.sim.setFaults(x);
        scramble(app().Settings);
        const CtrlSettings before = app().Settings;
        const QStringList treeBefore = f.treeMismatches();

        DownloadSettings();

        QVERIFY(app().Settings == before);
        QCOMPARE(f.treeMismatches(), treeBefore); // not rebuilt
        const QStringList lines = f.simLines();
        QCOMPARE(lines.last(), QStringLiteral(":TRIGGER:PULSE:SOURCE?"));
        QCOMPARE(lines.count(QStringLiteral(":TRIGGER:PULSE:SOURCE?")), 1);
        QVERIFY(!app().link.LinkConnected);
        QCOMPARE(f.fakeUi.messages().size(), 1);
    }

    // Replies as the rules take them.
    void replyRules_data()
    {
        QTest::addColumn<QStringList>("replies"); // "query=reply"
        QTest::addColumn<QStringList>("expect");  // "Member=value", "?" for unchanged
        QTest::newRow("empty replies change nothing")
            << QStringList{}
            << QStringList{"RunStop=?", "CH1Coupling=?", "EdgeSensitivity=?", "LAChanOn[1]=?", "LAChanPos[1]=?",
                           "PatCode[1]=?", "LAGroupHi=?"};
        QTest::newRow("fallback words")
            << QStringList{":TRIGGER:STATUS?=WAIT", ":CHANNEL1:COUPLING?=XYZ", ":TRIGGER:MODE?=none",
                           ":ACQUIRE:MODE?=RTIME", ":CHANNEL1:BWLIMIT?=on"}
            << QStringList{"RunStop=RUN", "CH1Coupling=GND", "TrigMethod=DURATION", "AcqSamplingMode=EQUAL_TIME",
                           "CH1BWLimit=OFF"};
        QTest::newRow("stop") << QStringList{":TRIGGER:STATUS?=STOP"} << QStringList{"RunStop=STOP"};
        QTest::newRow("sensitivity without a number")
            << QStringList{":TRIGGER:EDGE:SENSITIVITY?=abc", ":TRIGGER:PULSE:SENSITIVITY?=-.5",
                           ":TRIGGER:VIDEO:SENSITIVITY?=e5", ":TRIGGER:SLOPE:SENSITIVITY?= 2"}
            << QStringList{"EdgeSensitivity=?", "PulseSensitivity=-0.50div", "VideoSensitivity=?",
                           "SlopeSensitivity=2.00div"};
        QTest::newRow("zero and unreadable scales keep the level")
            << QStringList{":TRIGGER:EDGE:SOURCE?=CH1", ":CHANNEL1:SCALE?=0", ":TRIGGER:EDGE:LEVEL?=0.5",
                           ":TRIGGER:PULSE:SOURCE?=CH2", ":CHANNEL2:SCALE?=volts", ":TRIGGER:PULSE:LEVEL?=0.5",
                           ":TRIGGER:VIDEO:SOURCE?=EXT", ":TRIGGER:VIDEO:LEVEL?=1e308",
                           ":TRIGGER:SLOPE:SOURCE?=CH1", ":TRIGGER:SLOPE:LEVELA?=0.5"}
            << QStringList{"EdgeLevel=?", "PulseLevel=?", "VideoLevel=?", "SlopeLevelA=?"};
        // A level or sensitivity no screen shows, a time no single number
        // holds: the member keeps its text, never hundreds of digits or none.
        QTest::newRow("levels and sensitivities beyond any screen keep the member")
            << QStringList{":TRIGGER:EDGE:SOURCE?=EXT", ":TRIGGER:EDGE:LEVEL?=1e307", ":TRIGGER:EDGE:SENSITIVITY?=1e300",
                           ":TRIGGER:PULSE:SOURCE?=EXT5", ":TRIGGER:PULSE:LEVEL?=-2e6", ":TRIGGER:PULSE:SENSITIVITY?=2e6"}
            << QStringList{"EdgeLevel=?", "EdgeSensitivity=?", "PulseLevel=?", "PulseSensitivity=?"};
        QTest::newRow("times beyond a single keep the member")
            << QStringList{":TIMEBASE:SCALE?=1e39", ":TRIGGER:HOLDOFF?=-1e40", ":TRIGGER:ALTERNATION:TIMESCALE?=4e38"}
            << QStringList{"TimeDiv=?", "Holdoff=?", "CH1TimeDiv=?", "CH2TimeDiv=?"};
        QTest::newRow("a blank active channel is not sent back")
            << QStringList{":CHANNEL:ACTIVE?= "} << QStringList{"RunStop=?"};
        QTest::newRow("video and slope keep the scale before them")
            << QStringList{":TRIGGER:PULSE:SOURCE?=EXT5", ":TRIGGER:VIDEO:SOURCE?=D3", ":TRIGGER:VIDEO:LEVEL?=0.5",
                           ":TRIGGER:SLOPE:SOURCE?=nothing", ":TRIGGER:SLOPE:LEVELB?=-2"}
            << QStringList{"VideoLevel=0.50div", "SlopeLevelB=-2.00div", "VideoSource=D3"};
        QTest::newRow("logic status")
            << QStringList{":LA:STATUS?=65535"}
            << QStringList{"LAChanOn[1]=ON", "LAChanOn[16]=ON", "LAGroupHi=ON", "LAGroupLo=ON"};
        QTest::newRow("logic status beyond 32 bits")
            << QStringList{":LA:STATUS?=1e20"}
            << QStringList{"LAChanOn[1]=OFF", "LAChanOn[16]=OFF", "LAGroupHi=OFF", "LAGroupLo=OFF"};
        QTest::newRow("location without comma")
            << QStringList{":LA:LOCATION?=4275878552\n"}
            << QStringList{"LAChanPos[16]=0", "LAChanPos[9]=0", "LAChanPos[8]=8", "LAChanPos[1]=15"};
        QTest::newRow("location: an empty line keeps the positions")
            << QStringList{":LA:LOCATION?=\n"} << QStringList{"LAChanPos[16]=?", "LAChanPos[1]=?"};
        QTest::newRow("location: an empty CR LF line keeps the positions")
            << QStringList{":LA:LOCATION?=\r\n"} << QStringList{"LAChanPos[16]=?", "LAChanPos[1]=?"};
        QTest::newRow("location: the CR a serial CR LF line leaves keeps the positions")
            << QStringList{":LA:LOCATION?=\r"} << QStringList{"LAChanPos[16]=?", "LAChanPos[1]=?"};
        QTest::newRow("location ending in CR LF")
            << QStringList{":LA:LOCATION?=4275878552\r\n"}
            << QStringList{"LAChanPos[16]=0", "LAChanPos[9]=0", "LAChanPos[8]=8", "LAChanPos[1]=15"};
        QTest::newRow("location hostile")
            << QStringList{":LA:LOCATION?=-1,99999999999999999999"}
            << QStringList{"LAChanPos[16]=15", "LAChanPos[9]=15"};
        QTest::newRow("probe and threshold")
            << QStringList{":CHANNEL2:PROBE?=3", ":LA:THRESHOLD?=User 0.5"}
            << QStringList{"CH2Probe=1000X", "LAThreshold=500mV"};
    }

    void replyRules()
    {
        QFETCH(QStringList, replies);
        QFETCH(QStringList, expect);
        UpDownFixture f(Link::Visa);
        TableLines table;
        for (const QString &r : replies)
            table.replies.insert(r.section(QLatin1Char('='), 0, 0), r.section(QLatin1Char('='), 1));
        setInstrumentLines(&table);
        scramble(app().Settings);
        DownloadSettings();
        const CtrlSettings &s = app().Settings;
        for (const QString &e : expect) {
            const QString name = e.section(QLatin1Char('='), 0, 0);
            const QString value = e.section(QLatin1Char('='), 1);
            QString got;
            for (const CtrlSettingsField &fl : ctrlSettingsFields()) {
                if (fl.text && name == QLatin1String(fl.name))
                    got = s.*(fl.text);
                else if (fl.array && name.startsWith(QLatin1String(fl.name) + QLatin1Char('[')))
                    got = (s.*(fl.array))[name.section(QLatin1Char('['), 1).chopped(1).toInt()];
            }
            QVERIFY2(got == value, qPrintable(name + ": " + got + " != " + value));
        }
        // The active channel had no answer: nothing to restore, no bare header sent.
        QCOMPARE(table.lines.filter(QStringLiteral(":CHANNEL:ACTIVE")),
                 QStringList{QStringLiteral(":CHANNEL:ACTIVE?")});
    }

    // Whatever number every reply holds, no member becomes "inf" or "nan".
    // (Rows that store the reply unchanged store a literal "nan" as it came.)
    void hostileRepliesNeverWriteInfOrNan_data()
    {
        QTest::addColumn<QString>("reply");
        for (const char *r : {"1e308", "-1e308", "1e-320", "1e999", "-1e999", "9e307,9e307", "User 1e308",
                              "User -1e999", "Chan1e308,Positive", "1e308,Chan1e308,Negative"})
            QTest::newRow(r) << QString::fromLatin1(r);
    }

    void hostileRepliesNeverWriteInfOrNan()
    {
        QFETCH(QString, reply);
        UpDownFixture f(Link::Visa);
        TableLines table;
        table.replyAll = reply;
        setInstrumentLines(&table);
        DownloadSettings();
        for (const CtrlSettingsField &fl : ctrlSettingsFields()) {
            QStringList texts;
            if (fl.text)
                texts << app().Settings.*(fl.text);
            else
                for (const QString &t : app().Settings.*(fl.array))
                    texts << t;
            for (const QString &t : texts)
                QVERIFY2(!t.contains(QLatin1String("inf"), Qt::CaseInsensitive)
                             && !t.contains(QLatin1String("nan"), Qt::CaseInsensitive),
                         qPrintable(QString::fromLatin1(fl.name) + ": " + t));
        }
    }
};

QTEST_MAIN(TstDownloadFromDso)
#include "tst_downloadfromdso.moc"
