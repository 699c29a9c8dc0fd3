// The trigger source, level and code helpers: the plain converters, the level
// and scale helpers against the simulator, and the pattern code both ways,
// hostile replies included.

#include "updown/updownfixture.h"

#include "texts/loadlanguage.h"
#include "texts/stringres.h"

#include <QtTest>

namespace {

// Codes of elements 1..16 (D15 .. D0) as one text, "L" for an empty element.
QString codeText(const CtrlSettings::LAArray &codes)
{
    QStringList out;
    for (int i = 1; i <= 16; ++i)
        out << codes[i];
    return out.join(QLatin1Char(' '));
}

void fill(CtrlSettings::LAArray &codes, const QString &code)
{
    for (int i = 1; i <= 16; ++i)
        codes[i] = code;
}

// Element of channel Dc.
int el(int c)
{
    return 16 - c;
}

} // namespace

class TstTriggerHelpers : public QObject {
    Q_OBJECT

private slots:
    void init() { resetApp(); }

    void plainConverters_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("format x-y blanks") << 1 << "TimebaseFormatToken" << " X-Y " << "XY";
        QTest::newRow("format y-t") << 1 << "TimebaseFormatToken" << "Y-T" << "YT";
        QTest::newRow("format roll") << 1 << "TimebaseFormatToken" << "Roll" << "SCANNING";
        QTest::newRow("format inner blank") << 1 << "TimebaseFormatToken" << "X- Y" << "SCANNING";
        QTest::newRow("format reply scanning") << 1 << "TimebaseFormatDisplay" << "SCANNING" << "Roll";
        QTest::newRow("format reply x-y") << 1 << "TimebaseFormatDisplay" << "X-Y" << "X-Y";
        QTest::newRow("threshold ttl") << 1 << "LAThresholdDisplay" << "TTL" << "TTL";
        QTest::newRow("threshold user") << 1 << "LAThresholdDisplay" << "User 1.4" << "1.40V";
        QTest::newRow("threshold user mv") << 1 << "LAThresholdDisplay" << "User -0.5" << "-500mV";
        QTest::newRow("threshold short") << 1 << "LAThresholdDisplay" << "Us" << "0.00uV";
        QTest::newRow("user threshold") << 1 << "LAUserThreshold" << "User 1.4" << "1.40V";
        QTest::newRow("user threshold cmos") << 1 << "LAUserThreshold" << "CMOS" << "CMOS";
        QTest::newRow("user threshold bare") << 1 << "LAUserThreshold" << "User" << "0.00uV";
        QTest::newRow("source ch1") << 1 << "SourceToken" << "CH1" << "CHANNEL1";
        QTest::newRow("source ch2") << 1 << "SourceToken" << "CH2" << "CHANNEL2";
        QTest::newRow("source ext5") << 1 << "SourceToken" << "EXT5" << "EXT5";
        QTest::newRow("source d15") << 1 << "SourceToken" << "D15" << "DIGITAL15";
        QTest::newRow("source ac en") << 1 << "SourceToken" << "AC" << "ACLINE";
        QTest::newRow("source ac zh") << 0 << "SourceToken" << "市电" << "ACLINE";
        // the AC-line word of the other language is no AC line
        QTest::newRow("source ac en under zh") << 0 << "SourceToken" << "AC" << "DIGITALC";
        QTest::newRow("standard pal") << 1 << "VideoStandardToken" << "PAL/SECAM" << "PALSECAM";
        QTest::newRow("standard ntsc") << 1 << "VideoStandardToken" << "NTSC" << "NTSC";
        QTest::newRow("probe 10") << 1 << "ProbeRatioDisplay" << "1.000e+01" << "10X";
        QTest::newRow("probe 500") << 1 << "ProbeRatioDisplay" << "5.000e+02" << "500X";
        QTest::newRow("probe 20") << 1 << "ProbeRatioDisplay" << "20" << "1000X";
        QTest::newRow("probe garbage") << 1 << "ProbeRatioDisplay" << "x" << "1000X";
        QTest::newRow("acline en") << 1 << "AcLineDisplay" << "ACLINE" << "AC";
        QTest::newRow("acline zh") << 0 << "AcLineDisplay" << "ACLINE" << "市电";
        QTest::newRow("acline other") << 1 << "AcLineDisplay" << "D3" << "D3";
    }

    void plainConverters()
    {
        QFETCH(int, lang);
        QFETCH(QString, function);
        QFETCH(QString, in);
        QFETCH(QString, out);
        ApplyLanguage(lang);
        QString got;
        if (function == QLatin1String("TimebaseFormatToken"))
            got = TimebaseFormatToken(in);
        else if (function == QLatin1String("TimebaseFormatDisplay"))
            got = TimebaseFormatDisplay(in);
        else if (function == QLatin1String("LAThresholdDisplay"))
            got = LAThresholdDisplay(in);
        else if (function == QLatin1String("LAUserThreshold"))
            got = LAUserThreshold(in);
        else if (function == QLatin1String("SourceToken"))
            got = SourceToken(in);
        else if (function == QLatin1String("VideoStandardToken"))
            got = VideoStandardToken(in);
        else if (function == QLatin1String("ProbeRatioDisplay"))
            got = ProbeRatioDisplay(in);
        else if (function == QLatin1String("AcLineDisplay"))
            got = AcLineDisplay(in);
        else
            QFAIL("unknown function");
        QCOMPARE(got, out);
    }

    void levelToVolts_data()
    {
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("volts");
        QTest::addColumn<QStringList>("queries");
        // CH1 at 0.5 V/div and 0.2 V offset, CH2 at 2 V/div and -1 V
        QTest::newRow("ch1") << "1.50div" << "CH1" << ".55" << QStringList{":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?"};
        QTest::newRow("ch1 negative") << "-1.00div" << "CH1" << "-.7"
                                      << QStringList{":CHANNEL1:SCALE?", ":CHANNEL1:OFFSET?"};
        QTest::newRow("ch2") << "1.00div" << "CH2" << "3" << QStringList{":CHANNEL2:SCALE?", ":CHANNEL2:OFFSET?"};
        QTest::newRow("ext") << "2.00div" << "EXT" << ".4" << QStringList{};
        QTest::newRow("ext5") << "2.00div" << "EXT5" << "2" << QStringList{};
        QTest::newRow("acline") << "2.00div" << "ACLINE" << "0" << QStringList{};
        QTest::newRow("logic") << "2.00div" << "D3" << "0" << QStringList{};
        QTest::newRow("empty source") << "-2.00div" << "" << "0" << QStringList{};
        QTest::newRow("tiny") << "1E-15div" << "EXT5" << "1E-15" << QStringList{};
    }

    void levelToVolts()
    {
        QFETCH(QString, level);
        QFETCH(QString, source);
        QFETCH(QString, volts);
        QFETCH(QStringList, queries);
        UpDownFixture f(Link::Visa);
        f.simSet(":CHANNEL1:SCALE 500MV");
        f.simSet(":CHANNEL1:OFFSET 200MV");
        f.simSet(":CHANNEL2:SCALE 2.00V");
        f.simSet(":CHANNEL2:OFFSET -1.00V");
        f.sim.clearLog();
        QCOMPARE(TrigLevelToVolts(level, source), volts);
        QCOMPARE(f.simLines(), queries);
    }

    // Levels and volts no display or instrument can mean give no text, so
    // that no level line goes out without its number.
    void levelVoltsText_data()
    {
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("scale");
        QTest::addColumn<QString>("offset");
        QTest::addColumn<QString>("volts");
        QTest::newRow("plain") << "1.50div" << "0.5" << "0.2" << ".55";
        QTest::newRow("hundreds of divisions") << "-500.00div" << "0.002" << "0" << "-1";
        QTest::newRow("level of 1e308 V over 2 V/div") << "5e307div" << "2" << "0" << "";
        QTest::newRow("the largest double") << "1e600div" << "1" << "0" << "";
        QTest::newRow("a million divisions") << "1000000.00div" << "0.5" << "0" << "";
        QTest::newRow("scale of 1e308") << "2.00div" << "1e308" << "0" << "";
        QTest::newRow("scale of 1e600") << "1.00div" << "1e600" << "0" << "";
        QTest::newRow("volts of 1E+15") << "1.00div" << "1e15" << "0" << "";
        QTest::newRow("offset of -1e300") << "0.00div" << "1" << "-1e300" << "";
        QTest::newRow("just below 1E+15") << "1.00div" << "999999999999999" << "0" << "999999999999999";
        QTest::newRow("tiny volts keep their exponent") << "1E-15div" << "1" << "0" << "1E-15";
    }
    void levelVoltsText()
    {
        QFETCH(QString, level);
        QFETCH(QString, scale);
        QFETCH(QString, offset);
        QFETCH(QString, volts);
        QCOMPARE(LevelVoltsText(level, scale, offset), volts);
    }

    void sourceScale()
    {
        UpDownFixture f(Link::Visa);
        f.simSet(":CHANNEL2:SCALE 2.00V");
        f.sim.clearLog();
        QCOMPARE(QuerySourceScale("CH1"), QStringLiteral("1.000e+00")); // cut at the line feed
        QCOMPARE(QuerySourceScale("CH2"), QStringLiteral("2.000e+00"));
        QCOMPARE(QuerySourceScale("EXT"), QStringLiteral(" .2"));
        QCOMPARE(QuerySourceScale("EXT5"), QStringLiteral(" 1"));
        QCOMPARE(QuerySourceScale("AC"), QStringLiteral("0"));
        QCOMPARE(QuerySourceScale("D4"), QString());
        QCOMPARE(f.simLines(), (QStringList{":CHANNEL1:SCALE?", ":CHANNEL2:SCALE?"}));
        // a lost reply is the empty text
        Qm4100Sim::Faults x;
        x.noReply = true;
        f.sim.setFaults(x);
        f.useSerial();
        QCOMPARE(QuerySourceScale("CH1"), QString());
    }

    // The code sent for the codes of the records: H sets the value bit, X
    // clears the mask bit, one edge names its channel and slope.
    void patternCommand_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<bool>("pattern");
        QTest::addColumn<int>("n");
        QTest::addColumn<QStringList>("codes"); // "c=code" pairs over a base of "L"
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("command");
        QTest::newRow("all H but D0 X") << 1 << true << 1 << QStringList{"0=X"} << "H"
                                        << ":TRIGGER:PATTERN:PATTERN 65534,65534";
        QTest::newRow("all X") << 1 << true << 1 << QStringList{} << "X" << ":TRIGGER:PATTERN:PATTERN 0,0";
        QTest::newRow("all L") << 1 << true << 1 << QStringList{} << "L" << ":TRIGGER:PATTERN:PATTERN 0,65535";
        QTest::newRow("D15 H, D3 rising, D0 X") << 1 << true << 1 << QStringList{"15=H", "3=Rising", "0=X"} << "L"
                                                << ":TRIGGER:PATTERN:PATTERN 32768,65534,3,1";
        QTest::newRow("duration, n's own edge") << 1 << false << 3 << QStringList{"3=Rising"} << "H"
                                                << ":TRIGGER:DURATION:PATTERN 65527,65535,3,1";
        // the read-back words are edges too: never sent as "L"
        QTest::newRow("read-back falling") << 1 << false << 1 << QStringList{"5=FALLING", "7=H"} << "X"
                                           << ":TRIGGER:DURATION:PATTERN 128,160,5,0";
        QTest::newRow("read-back rising") << 1 << true << 1 << QStringList{"6=RISING", "7=H"} << "X"
                                          << ":TRIGGER:PATTERN:PATTERN 128,192,6,1";
        QTest::newRow("tree falling") << 1 << true << 1 << QStringList{"12=Falling"} << "L"
                                      << ":TRIGGER:PATTERN:PATTERN 0,65535,12,0";
        QTest::newRow("chinese rising") << 0 << true << 1 << QStringList{"9=上升沿"} << "L"
                                        << ":TRIGGER:PATTERN:PATTERN 0,65535,9,1";
        QTest::newRow("english word under chinese") << 0 << true << 1 << QStringList{"9=Rising"} << "L"
                                                    << ":TRIGGER:PATTERN:PATTERN 0,65535";
        QTest::newRow("n 16") << 1 << true << 16 << QStringList{"15=H"} << "L"
                              << ":TRIGGER:PATTERN:PATTERN 32768,65535";
    }

    void patternCommand()
    {
        QFETCH(int, lang);
        QFETCH(bool, pattern);
        QFETCH(int, n);
        QFETCH(QStringList, codes);
        QFETCH(QString, base);
        QFETCH(QString, command);
        UpDownFixture f(Link::Visa, lang);
        CtrlSettings &s = app().Settings;
        s.TrigMethod = pattern ? word(Word::WordPattern) : word(Word::WordDuration);
        CtrlSettings::LAArray &arr = pattern ? s.PatCode : s.DurCode;
        fill(arr, base);
        for (const QString &c : codes) {
            const QStringList kv = c.split(QLatin1Char('='));
            arr[el(kv[0].toInt())] = kv[1];
        }
        SendPatternTrigger(n);
        QCOMPARE(f.simLines(), QStringList{command});
        QCOMPARE(f.sim.refusedCount(), 0);
    }

    // One edge only: the first other pattern edge becomes X, and its node
    // in the controller tree shows it.
    void secondEdgeGivesWay()
    {
        UpDownFixture f(Link::Visa);
        QVERIFY(f.pane);
        CtrlSettings &s = app().Settings;
        s.TrigMethod = word(Word::WordPattern);
        fill(s.PatCode, QStringLiteral("L"));
        s.PatCode[el(3)] = word(Word::ItemRising);
        s.PatCode[el(9)] = word(Word::ItemRising);
        s.PatCode[el(1)] = word(Word::WordFalling);
        BuildCtrlTree();
        QCOMPARE(CtrlNodeText(21, 4 + el(9)), QStringLiteral("D9 [Rising]"));
        SendPatternTrigger(3);
        QCOMPARE(s.PatCode[el(9)], QStringLiteral("X"));
        QCOMPARE(s.PatCode[el(1)], QStringLiteral("FALLING")); // only the first gives way
        QCOMPARE(s.PatCode[el(3)], QStringLiteral("Rising"));
        QCOMPARE(CtrlNodeText(21, 4 + el(9)), QStringLiteral("D9 [X]"));
        QCOMPARE(f.treeMismatches(), QStringList());
        QCOMPARE(f.simLines(), QStringList{":TRIGGER:PATTERN:PATTERN 0,65023,3,1"});
    }

    void channelAbove16SendsNothing_data()
    {
        QTest::addColumn<int>("n");
        QTest::newRow("17") << 17;
        QTest::newRow("255") << 255;
        QTest::newRow("-1") << -1;
    }

    void channelAbove16SendsNothing()
    {
        QFETCH(int, n);
        UpDownFixture f(Link::Visa);
        CtrlSettings &s = app().Settings;
        s.TrigMethod = word(Word::WordPattern);
        fill(s.PatCode, word(Word::ItemRising));
        const CtrlSettings before = s;
        SendPatternTrigger(n);
        QVERIFY(f.simLines().isEmpty());
        QVERIFY(s == before);
    }

    void parseReply_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("codes"); // D15 .. D0
        const QString L8 = "L L L L L L L L";
        const QString X8 = "X X X X X X X X";
        const QString H8 = "H H H H H H H H";
        QTest::newRow("high byte") << "65280,65535,None" << H8 + " " + L8;
        QTest::newRow("no edge part") << "0,255" << X8 + " " + L8;
        QTest::newRow("edge positive") << "128,192,Chan6,Positive" << X8 + " H RISING X X X X X X";
        QTest::newRow("edge negative blanks") << "0,65535,Chan0, Negative " << L8 + " L L L L L L L FALLING";
        QTest::newRow("edge other word") << "0,65535,Chan2,Both" << L8 + " " + L8;
        QTest::newRow("three parts") << "0,65535,Chan2" << L8 + " " + L8;
        QTest::newRow("no comma") << "65535" << X8 + " " + X8;
        QTest::newRow("empty") << "" << X8 + " " + X8;
        // hostile replies: nothing beyond the sixteen channels is touched
        QTest::newRow("edge channel 16") << "0,65535,Chan16,Positive" << L8 + " " + L8;
        QTest::newRow("edge channel 99999") << "0,65535,Chan99999,Positive" << L8 + " " + L8;
        QTest::newRow("edge channel -1") << "0,65535,Chan-1,Negative" << L8 + " " + L8;
        QTest::newRow("edge channel huge") << "0,65535,Chan1e300,Negative" << L8 + " " + L8;
        QTest::newRow("six parts") << "0,65535,Chan3,Positive,Chan4,Negative" << L8 + " L L L L RISING L L L";
        QTest::newRow("many commas") << ",,,,,,,,,," << X8 + " " + X8;
        QTest::newRow("huge numbers") << "1e300,-1e300" << X8 + " " + X8;
        QTest::newRow("value above 16 bits") << "65791,65535,None" << "L L L L L L L L H H H H H H H H";
    }

    void parseReply()
    {
        QFETCH(QString, reply);
        QFETCH(QString, codes);
        ApplyLanguage(1);
        CtrlSettings::LAArray arr;
        arr[0] = QStringLiteral("keep0");
        arr[17] = QStringLiteral("keep17");
        fill(arr, QStringLiteral("?"));
        QCOMPARE(ParsePatternReply(reply, arr), QString());
        QCOMPARE(codeText(arr), codes);
        QCOMPARE(arr[0], QStringLiteral("keep0"));
        QCOMPARE(arr[17], QStringLiteral("keep17"));
    }
};

QTEST_MAIN(TstTriggerHelpers)
#include "tst_triggerhelpers.moc"
