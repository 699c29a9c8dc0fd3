// The setting-edit dispatcher, driven by double-clicking tree nodes of the
// controller pane offscreen: for every kind of node, the dialog it prepares
// (frame caption, list entries in order and the entry preselected, or the
// entry text and its unit buttons, and the edit key), in both languages.
// Each dialog is then cancelled: nothing is sent or stored.
#include "editorsfixture.h"
#include "edittable.h"

#include "common/ctrlsettings.h"
#include "editors/applykeys.h"

#include <QtTest>

Q_DECLARE_METATYPE(QList<int>)

namespace {

const QList<int> NoUnits;
const QList<int> TimeUnits{0, 1, 2, 3};
const QList<int> VoltUnits{4};

} // namespace

class TestDispatcher : public QObject {
    Q_OBJECT

    // Rows: what to set up, the node, and what the dialog must show. Texts
    // "@Name" are words of the language in force; a list column starting
    // "#n" stands for n entries from the next text to the last.
    void add(const char *name, const QString &setup, int group, int item, const QString &kind,
             const QString &caption, const QStringList &choices, const QString &selected, const QString &input,
             const QList<int> &units, const QStringList &key, bool inputEnabled = true)
    {
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            QTest::newRow(qPrintable(QString::fromLatin1(name) + (lang ? QStringLiteral(" (English)")
                                                                       : QStringLiteral(" (Chinese)"))))
                << lang << setup << group << item << kind << caption << choices << selected << input << units
                << key << inputEnabled;
        }
    }

private slots:
    void prepares_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QList<int>>("units");
        QTest::addColumn<QStringList>("key");
        QTest::addColumn<bool>("inputEnabled");

        const QStringList onOff{"@WordOn", "@WordOff"};
        const QStringList levels{"#301", "6.00div", "-6.00div"};
        const QStringList sensitivities{"#91", "1.00div", "0.10div"};
        const QStringList trigCoupling{"@WordDC", "@WordAC", "@WordHF", "@WordLF"};
        const QStringList sweep{"@WordAuto", "@WordNormal", "@WordSingle"};
        const QStringList sync{"@WordAllLines", "@WordLine", "@WordOddField", "@WordEvenField"};
        const QStringList pulseModes{"@WordPulsePosLess", "@WordPulsePosGreater", "@WordPulsePosEqual",
                                     "@WordPulseNegLess", "@WordPulseNegGreater", "@WordPulseNegEqual"};
        const QStringList slopeModes{"@WordSlopeRiseLess", "@WordSlopeRiseGreater", "@WordSlopeRiseEqual",
                                     "@WordSlopeFallLess", "@WordSlopeFallGreater", "@WordSlopeFallEqual"};
        QStringList edgeSources{"CH1", "CH2", "EXT", "@WordACLine"};
        QStringList logic;
        for (int k = 0; k <= 15; ++k)
            logic << QStringLiteral("D%1").arg(k);
        const QString alt = QStringLiteral("TrigMethod=@WordAlternative");

        // Running control.
        add("Run|Stop", "", 1, 2, "list", "@ItemRunStop", {"@WordRun", "@WordStop"}, "@WordRun", "", NoUnits,
            {"@ItemRunStop"});

        // CH1 and CH2.
        add("CH1 display", "", 2, 2, "list", "@ItemDisplay", onOff, "@WordOn", "", NoUnits, {"@ItemCH1", "@ItemDisplay"});
        add("CH2 display", "", 3, 2, "list", "@ItemDisplay", onOff, "@WordOff", "", NoUnits, {"@ItemCH2", "@ItemDisplay"});
        add("CH1 volts/div, coarse", "", 2, 3, "adjust", "@ItemVoltDiv", {}, "0", "1.00V", NoUnits, {" "});
        add("CH2 volts/div, fine remembered", "CH2VoltDiv=500mV;!fine2=1", 3, 3, "adjust", "@ItemVoltDiv", {}, "1",
            "500mV", NoUnits, {" "});
        add("CH1 offset", "CH1Offset=200mV", 2, 4, "entry", "@ItemOffset", {}, "", "0.2", VoltUnits,
            {"@ItemCH1", "@ItemOffset"});
        add("CH2 offset, negative", "CH2Offset=-1.50V", 3, 4, "entry", "@ItemOffset", {}, "", "-1.5", VoltUnits,
            {"@ItemCH2", "@ItemOffset"});
        add("CH1 offset, zero", "CH1Offset=0.00uV", 2, 4, "entry", "@ItemOffset", {}, "", "0", VoltUnits,
            {"@ItemCH1", "@ItemOffset"});
        add("CH1 coupling", "", 2, 5, "list", "@ItemCoupling", {"@WordDC", "@WordAC", "@WordGND"}, "@WordAC", "",
            NoUnits, {"@ItemCH1", "@ItemCoupling"});
        add("CH2 bandwidth limit", "", 3, 6, "list", "@ItemBWLimit", onOff, "@WordOff", "", NoUnits,
            {"@ItemCH2", "@ItemBWLimit"});
        add("CH1 probe", "CH1Probe=10X", 2, 7, "list", "@ItemProbe",
            {"1X", "5X", "10X", "50X", "100X", "500X", "1000X"}, "10X", "", NoUnits, {"@ItemCH1", "@ItemProbe"});
        add("CH2 probe not among the entries", "CH2Probe=2X", 3, 7, "list", "@ItemProbe",
            {"1X", "5X", "10X", "50X", "100X", "500X", "1000X"}, "", "", NoUnits, {"@ItemCH2", "@ItemProbe"});

        // LA.
        add("LA display", "", 4, 9, "list", "@ItemDisplay", onOff, "@WordOff", "", NoUnits, {"@ItemLA", "@ItemDisplay"});
        add("LA channel group D15-D8", "LAGroupHi=@WordOn", 14, 2, "list", "D15-D8", onOff, "@WordOn", "", NoUnits,
            {"@ItemLA", "@ItemChannel"});
        add("LA channel D3", "", 14, 17, "list", "D3", onOff, "@WordOff", "", NoUnits, {"@ItemLA", "@ItemChannel"});
        add("LA position D0", "", 10, 20, "list", "D0",
            {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15"}, "0", "", NoUnits,
            {"@ItemLA", "@ItemPosition"});
        add("LA threshold TTL", "", 4, 11, "threshold", "@ItemThreshold", {"TTL", "ECL", "CMOS", "@WordUser"}, "TTL",
            "1.4", TimeUnits, {"@ItemLA", "@ItemThreshold"}, false);
        add("LA threshold ECL", "LAThreshold=ECL", 4, 11, "threshold", "@ItemThreshold",
            {"TTL", "ECL", "CMOS", "@WordUser"}, "ECL", "-1.3", TimeUnits, {"@ItemLA", "@ItemThreshold"}, false);
        add("LA threshold in volts", "LAThreshold=1.40V", 4, 11, "threshold", "@ItemThreshold",
            {"TTL", "ECL", "CMOS", "@WordUser"}, "@WordUser", "1.40", TimeUnits, {"@ItemLA", "@ItemThreshold"});
        add("LA threshold in millivolts", "LAThreshold=140mV", 4, 11, "threshold", "@ItemThreshold",
            {"TTL", "ECL", "CMOS", "@WordUser"}, "@WordUser", "0.14", TimeUnits, {"@ItemLA", "@ItemThreshold"});
        add("LA threshold without a number", "LAThreshold=@WordUser", 4, 11, "threshold", "@ItemThreshold",
            {"TTL", "ECL", "CMOS", "@WordUser"}, "@WordUser", "", TimeUnits, {"@ItemLA", "@ItemThreshold"});
        add("LA size D7-D0", "LASizeLo=@WordSmall", 13, 3, "list", "D7-D0", {"@WordBig", "@WordSmall"}, "@WordSmall",
            "", NoUnits, {"@ItemLA", "@ItemSize"});

        // Time base.
        add("time/div, Y-T, class 3", "", 5, 15, "list", "@ItemTimeDiv", {"#32", "2.000ns", "50.00s"}, "10.00us", "",
            NoUnits, {"@ItemTimeBase", "@ItemTimeDiv"});
        add("time/div, X-Y", "!format=XY", 5, 15, "list", "@ItemTimeDiv", {"#13", "1.000us", "10.00ms"}, "10.00us", "",
            NoUnits, {"@ItemTimeBase", "@ItemTimeDiv"});
        add("time/div, roll, class 4", "!format=SCANNING;!class=4", 5, 15, "list", "@ItemTimeDiv",
            {"#33", "1.000ns", "50.00s"}, "10.00us", "", NoUnits, {"@ItemTimeBase", "@ItemTimeDiv"});
        add("delay", "", 5, 16, "entry", "@ItemDelay", {}, "", "0.000", TimeUnits, {"@ItemTimeBase", "@ItemDelay"});
        add("format", "TimebaseFormat=X-Y", 5, 18, "list", "@ItemFormat", {"Y-T", "X-Y", "Roll"}, "X-Y", "", NoUnits,
            {"@ItemTimeBase", "@ItemFormat"});
        add("CH1 time/div of the alternate trigger", alt + ";CH1TimeDiv=2.000ms", 13, 15, "list", "@ItemTimeDiv",
            {"#32", "2.000ns", "50.00s"}, "2.000ms", "", NoUnits, {"@ItemTimeBase", "@ItemCH1", "@ItemTimeDiv"});
        add("CH2 delay of the alternate trigger", alt + ";CH2Delay=1.000ms", 14, 16, "entry", "@ItemDelay", {}, "",
            "1.000E-3", TimeUnits, {"@ItemTimeBase", "@ItemCH2", "@ItemDelay"});

        // Trigger.
        add("method", "", 6, 2, "list", "@ItemMethod",
            {"@WordEdge", "@WordPulse", "@WordVideo", "@WordSlope", "@WordAlternative", "@WordPattern",
             "@WordDuration"},
            "@WordEdge", "", NoUnits, {"@ItemTrigger", "@ItemMethod"});
        add("method without logic channels", "!la=0", 6, 2, "list", "@ItemMethod",
            {"@WordEdge", "@WordPulse", "@WordVideo", "@WordSlope", "@WordAlternative"}, "@WordEdge", "", NoUnits,
            {"@ItemTrigger", "@ItemMethod"});
        add("EDGE source", "EdgeSource=D12", 6, 3, "list", "@ItemSource", edgeSources + logic, "D12", "", NoUnits,
            {"@ItemTrigger", "@ItemSource"});
        add("EDGE source without logic channels", "!la=0", 6, 3, "list", "@ItemSource", edgeSources, "CH1", "",
            NoUnits, {"@ItemTrigger", "@ItemSource"});
        add("EDGE source on the AC line", "EdgeSource=@WordACLine", 6, 3, "list", "@ItemSource", edgeSources + logic,
            "@WordACLine", "", NoUnits, {"@ItemTrigger", "@ItemSource"});
        add("PULSE source", "TrigMethod=@WordPulse;PulseSource=EXT", 6, 3, "list", "@ItemSource",
            QStringList{"CH1", "CH2", "EXT"} + logic, "EXT", "", NoUnits, {"@ItemTrigger", "@ItemSource"});
        add("VIDEO source", "TrigMethod=@WordVideo;VideoSource=EXT5", 6, 3, "list", "@ItemSource", {"CH1", "CH2", "EXT"},
            "", "", NoUnits, {"@ItemTrigger", "@ItemSource"});
        add("EDGE sweep", "EdgeSweep=@WordSingle", 6, 5, "list", "@ItemMode", sweep, "@WordSingle", "", NoUnits,
            {"@ItemTrigger", "@ItemMode"});
        add("EDGE coupling", "", 6, 6, "list", "@ItemCoupling", trigCoupling, "@WordDC", "", NoUnits,
            {"@ItemTrigger", "@ItemCoupling"});
        add("EDGE level at zero", "", 6, 7, "list", "@ItemLevel", levels, "0.00div", "", NoUnits,
            {"@ItemTrigger", "@ItemLevel"});
        add("EDGE level below zero", "EdgeLevel=-0.04div", 6, 7, "list", "@ItemLevel", levels, "-0.04div", "",
            NoUnits, {"@ItemTrigger", "@ItemLevel"});
        add("EDGE sensitivity", "", 6, 8, "list", "@ItemSensitivity", sensitivities, "0.10div", "", NoUnits,
            {"@ItemTrigger", "@ItemSensitivity"});
        add("EDGE holdoff", "", 6, 9, "entry", "@ItemHoldoff", {}, "", "100.000E-9", TimeUnits,
            {"@ItemTrigger", "@ItemHoldoff"});
        add("EDGE slope", "EdgeSlope=@WordAlternation", 6, 4, "list", "@ItemSlope",
            {"@WordRising", "@WordFalling", "@WordAlternation"}, "@WordAlternation", "", NoUnits,
            {"@ItemTrigger", "@ItemSlope"});
        const QString video = QStringLiteral("TrigMethod=@WordVideo");
        add("VIDEO polarity", video, 6, 4, "list", "@ItemPolarity", {"@WordNegative", "@WordPositive"}, "@WordPositive",
            "", NoUnits, {"@ItemTrigger", "@ItemPolarity"});
        add("VIDEO sync", video, 6, 5, "list", "@ItemSync", sync, "@WordLine", "", NoUnits, {"@ItemTrigger", "@ItemSync"});
        add("VIDEO line, NTSC", video + ";VideoLine=525", 6, 6, "list", "@ItemLineNumber", {"#525", "1", "525"}, "525",
            "", NoUnits, {"@ItemTrigger", "@ItemLineNumber"});
        add("VIDEO line, PAL/SECAM", video + ";VideoStandard=PAL/SECAM;VideoLine=600", 6, 6, "list", "@ItemLineNumber",
            {"#625", "1", "625"}, "600", "", NoUnits, {"@ItemTrigger", "@ItemLineNumber"});
        add("VIDEO standard", video, 6, 7, "list", "@ItemVideoStandard", {"NTSC", "PAL/SECAM"}, "NTSC", "", NoUnits,
            {"@ItemTrigger", "@ItemVideoStandard"});
        add("VIDEO level", video + ";VideoLevel=1.20div", 6, 8, "list", "@ItemLevel", levels, "1.20div", "", NoUnits,
            {"@ItemTrigger", "@ItemLevel"});
        const QString pulse = QStringLiteral("TrigMethod=@WordPulse");
        add("PULSE mode", pulse, 6, 4, "list", "@ItemPulseMode", pulseModes, "@WordPulsePosLess", "", NoUnits,
            {"@ItemTrigger", "@ItemPulseMode"});
        add("PULSE width", pulse, 6, 5, "entry", "@ItemPulseWidth", {}, "", "1.000E-6", TimeUnits,
            {"@ItemTrigger", "@ItemPulseWidth"});
        const QString slope = QStringLiteral("TrigMethod=@WordSlope;SlopeMode=@WordSlopeFallEqual");
        add("SLOPE mode", slope, 6, 4, "list", "@ItemSlopeMode", slopeModes, "@WordSlopeFallEqual", "", NoUnits,
            {"@ItemTrigger", "@ItemSlopeMode"});
        add("SLOPE time", slope + ";SlopeTime=500.0ns", 6, 5, "entry", "@ItemSlopeTime", {}, "", "500.000E-9",
            TimeUnits, {"@ItemTrigger", "@ItemSlopeTime"});
        add("SLOPE level A", slope, 6, 9, "list", "@ItemLevelA", levels, "0.00div", "", NoUnits,
            {"@ItemTrigger", "@ItemLevelA"});
        add("SLOPE level B", slope, 6, 10, "list", "@ItemLevelB", levels, "0.20div", "", NoUnits,
            {"@ItemTrigger", "@ItemLevelB"});
        add("PATTERN code bit", "TrigMethod=@WordPattern", 21, 13, "list", "D7",
            {"@ItemH", "@ItemL", "@ItemX", "@ItemRising", "@ItemFalling"}, "@ItemH", "", NoUnits,
            {"@ItemTrigger", "@ItemCode", "D7"});
        add("DURATION code bit", "TrigMethod=@WordDuration", 21, 20, "list", "D0", {"@ItemH", "@ItemL", "@ItemX"},
            "@ItemH", "", NoUnits, {"@ItemTrigger", "@ItemCode", "D0"});
        add("PATTERN sweep", "TrigMethod=@WordPattern", 6, 22, "list", "@ItemMode", sweep, "@WordAuto", "", NoUnits,
            {"@ItemTrigger", "@ItemMode"});
        add("DURATION qualifier", "TrigMethod=@WordDuration", 6, 22, "list", "@ItemQualifier",
            {"@WordLessThan", "@WordGreaterThan", "@WordEqual"}, "@WordLessThan", "", NoUnits,
            {"@ItemTrigger", "@ItemQualifier"});
        add("DURATION time", "TrigMethod=@WordDuration", 6, 23, "entry", "@ItemDurationTime", {}, "", "1.000E-6",
            TimeUnits, {"@ItemTrigger", "@ItemDurationTime"});
        add("DURATION holdoff", "TrigMethod=@WordDuration", 6, 25, "entry", "@ItemHoldoff", {}, "", "100.000E-9",
            TimeUnits, {"@ItemTrigger", "@ItemHoldoff"});

        // The alternate trigger's channels.
        add("CH1 trig type", alt, 19, 5, "list", "@ItemTrigType",
            {"@WordEdge", "@WordPulse", "@WordVideo", "@WordSlope"}, "@WordEdge", "", NoUnits,
            {"@ItemTrigger", "@ItemCH1", "@ItemTrigType"});
        add("CH2 coupling", alt, 20, 16, "list", "@ItemCoupling", trigCoupling, "@WordDC", "", NoUnits,
            {"@ItemTrigger", "@ItemCH2", "@ItemCoupling"});
        add("CH1 level", alt + ";AltCH1EdgeLevel=2.00div", 19, 17, "list", "@ItemLevel", levels, "2.00div", "", NoUnits,
            {"@ItemTrigger", "@ItemCH1", "@ItemLevel"});
        add("CH2 sensitivity", alt, 20, 20, "list", "@ItemSensitivity", sensitivities, "0.10div", "", NoUnits,
            {"@ItemTrigger", "@ItemCH2", "@ItemSensitivity"});
        add("CH1 holdoff", alt, 19, 21, "entry", "@ItemHoldoff", {}, "", "100.000E-9", TimeUnits,
            {"@ItemTrigger", "@ItemCH1", "@ItemHoldoff"});
        add("CH2 slope, no alternation entry", alt + ";AltCH2EdgeSlope=@WordFalling", 20, 6, "list", "@ItemSlope",
            {"@WordRising", "@WordFalling"}, "@WordFalling", "", NoUnits, {"@ItemTrigger", "@ItemCH2", "@ItemSlope"});
        const QString altVideo = alt + QStringLiteral(";AltCH1Type=@WordVideo;AltCH1VideoStandard=PAL/SECAM");
        add("CH1 polarity", altVideo, 19, 12, "list", "@ItemPolarity", {"@WordNegative", "@WordPositive"},
            "@WordPositive", "", NoUnits, {"@ItemTrigger", "@ItemCH1", "@ItemPolarity"});
        add("CH1 sync", altVideo, 19, 13, "list", "@ItemSync", sync, "@WordLine", "", NoUnits,
            {"@ItemTrigger", "@ItemCH1", "@ItemSync"});
        add("CH1 line by its own standard", altVideo, 19, 14, "list", "@ItemLineNumber", {"#625", "1", "625"}, "1", "",
            NoUnits, {"@ItemTrigger", "@ItemCH1", "@ItemLineNumber"});
        add("CH1 video standard", altVideo, 19, 15, "list", "@ItemVideoStandard", {"NTSC", "PAL/SECAM"}, "PAL/SECAM",
            "", NoUnits, {"@ItemTrigger", "@ItemCH1", "@ItemVideoStandard"});
        const QString altPulse = alt + QStringLiteral(";AltCH2Type=@WordPulse;AltCH2PulseMode=@WordPulseNegEqual");
        add("CH2 pulse mode", altPulse, 20, 7, "list", "@ItemPulseMode", pulseModes, "@WordPulseNegEqual", "", NoUnits,
            {"@ItemTrigger", "@ItemCH2", "@ItemPulseMode"});
        add("CH2 pulse width", altPulse + ";AltCH2PulseWidth=20.0us", 20, 8, "entry", "@ItemPulseWidth", {}, "",
            "20.000E-6", TimeUnits, {"@ItemTrigger", "@ItemCH2", "@ItemPulseWidth"});
        const QString altSlope = alt + QStringLiteral(";AltCH1Type=@WordSlope;AltCH1SlopeMode=@WordSlopeRiseGreater");
        add("CH1 slope mode", altSlope, 19, 9, "list", "@ItemSlopeMode", slopeModes, "@WordSlopeRiseGreater", "",
            NoUnits, {"@ItemTrigger", "@ItemCH1", "@ItemSlopeMode"});
        add("CH1 slope time", altSlope, 19, 10, "entry", "@ItemSlopeTime", {}, "", "1.000E-6", TimeUnits,
            {"@ItemTrigger", "@ItemCH1", "@ItemSlopeTime"});
        add("CH1 level A", altSlope, 19, 18, "list", "@ItemLevelA", levels, "0.00div", "", NoUnits,
            {"@ItemTrigger", "@ItemCH1", "@ItemLevelA"});
        add("CH1 level B", altSlope + ";AltCH1SlopeLevelB=-6.00div", 19, 19, "list", "@ItemLevelB", levels,
            "-6.00div", "", NoUnits, {"@ItemTrigger", "@ItemCH1", "@ItemLevelB"});

        // Acquire and display.
        add("sampling mode", "", 7, 3, "list", "@ItemSamplingMode", {"@WordEqualTime", "@WordRealTime"},
            "@WordRealTime", "", NoUnits, {"@ItemAcquire", "@ItemSamplingMode"});
        add("acquisition", "", 7, 2, "list", "@ItemAcquisition", {"@WordAcqNormal", "@WordAverage", "@WordPeakDetect"},
            "@WordAcqNormal", "", NoUnits, {"@ItemAcquire", "@ItemAcquisition"});
        add("averages", "AcqType=@WordAverage;AcqAverages=128", 7, 5, "list", "@ItemAverages",
            {"2", "4", "8", "16", "32", "64", "128", "256"}, "128", "", NoUnits, {"@ItemAcquire", "@ItemAverages"});
        add("display type", "", 8, 2, "list", "@ItemType", {"@WordVectors", "@WordDots"}, "@WordVectors", "", NoUnits,
            {"@ItemDisplaySystem", "@ItemType"});
        add("persistence", "", 8, 3, "list", "@ItemPersist", onOff, "@WordOff", "", NoUnits,
            {"@ItemDisplaySystem", "@ItemPersist"});
        add("grid", "DispGrid=@WordHalf", 8, 5, "list", "@ItemGrid", {"@WordFull", "@WordHalf", "@WordNone"},
            "@WordHalf", "", NoUnits, {"@ItemDisplaySystem", "@ItemGrid"});
    }

    void prepares()
    {
        QFETCH(int, lang);
        QFETCH(QString, setup);
        QFETCH(int, group);
        QFETCH(int, item);
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        QFETCH(QStringList, choices);
        QFETCH(QString, selected);
        QFETCH(QString, input);
        QFETCH(QList<int>, units);
        QFETCH(QStringList, key);
        QFETCH(bool, inputEnabled);

        EditorsFixture f(lang);
        QVERIFY(f.connected);
        QString settings;
        for (const QString &part : setup.split(u';', Qt::SkipEmptyParts)) {
            if (part == QLatin1String("!format=XY"))
                f.simSet(":TIMEBASE:FORMAT XY");
            else if (part == QLatin1String("!format=SCANNING"))
                f.simSet(":TIMEBASE:FORMAT SCANNING");
            else if (part == QLatin1String("!class=4"))
                app().link.BandwidthClass = 4;
            else if (part == QLatin1String("!la=0"))
                app().link.LaPresent = 0;
            else if (part == QLatin1String("!fine2=1"))
                app().editors.AdjustCoarseFineCH2 = 1;
            else
                settings += part + u';';
        }
        QVERIFY(setMembers(settings));
        f.rebuild();
        const CtrlSettings before = app().Settings;

        SeenDialog seen;
        f.script = [&](QDialog &d) {
            seen = seeDialog(d);
            d.reject();
        };
        f.doubleClick(group, item);
        QCOMPARE(f.dialogsShown.size(), 1);

        QCOMPARE(seen.caption, resolved(caption));
        QCOMPARE(seen.key, joinedKey(key));
        if (kind == QLatin1String("adjust")) {
            QCOMPARE(seen.name, QStringLiteral("CtrlDialogAdjust"));
            QCOMPARE(seen.input, input);
            QCOMPARE(seen.adjustOption, selected.toInt());
            QCOMPARE(int(app().editors.AdjustMode), group == 2 ? 0 : 1);
        } else {
            QCOMPARE(seen.name, QStringLiteral("CtrlDialog"));
            const bool list = kind != QLatin1String("entry");
            const bool entry = kind != QLatin1String("list");
            QCOMPARE(seen.listShown, list);
            QCOMPARE(seen.inputShown, entry);
            if (list) {
                if (!choices.isEmpty() && choices.first().startsWith(u'#')) {
                    QCOMPARE(seen.choices.size(), choices.first().mid(1).toInt());
                    QCOMPARE(seen.choices.first(), choices.at(1));
                    QCOMPARE(seen.choices.last(), choices.at(2));
                } else {
                    QCOMPARE(seen.choices, resolved(choices));
                }
                QCOMPARE(seen.selected, resolved(selected));
            }
            if (entry) {
                QCOMPARE(seen.input, input);
                QCOMPARE(seen.inputEnabled, inputEnabled);
            }
            QCOMPARE(seen.units, units);
            if (!units.isEmpty()) {
                QCOMPARE(seen.unitsEnabled, inputEnabled);
                QCOMPARE(seen.unitsUsable, inputEnabled && seen.okEnabled);
            }
        }

        // Cancelled: nothing stored, nothing but the time/div list's format
        // query sent, nothing marked; the path is emptied.
        QVERIFY(app().Settings == before);
        for (const QString &line : f.simLines())
            QCOMPARE(line, QStringLiteral(":TIMEBASE:FORMAT?"));
        QVERIFY(!app().ctrl.CtrlFileModified);
        QVERIFY(app().ctrl.CtrlSelectedPath.isEmpty());
    }

    // Nodes that open nothing: sub-groups, groups, the root, a second Enter.
    void nothingOpens_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("item");
        QTest::newRow("LA channel sub-group") << "" << 4 << 14;
        QTest::newRow("LA position sub-group") << "" << 4 << 10;
        QTest::newRow("LA size sub-group") << "" << 4 << 13;
        QTest::newRow("CH1 group") << "" << 2 << 0;
        QTest::newRow("Display group") << "" << 8 << 0;
        QTest::newRow("code sub-group") << "TrigMethod=@WordPattern" << 6 << 21;
        QTest::newRow("time base CH1 sub-group") << "TrigMethod=@WordAlternative" << 5 << 13;
        QTest::newRow("trigger CH2 sub-group") << "TrigMethod=@WordAlternative" << 6 << 20;
    }
    void nothingOpens()
    {
        QFETCH(QString, setup);
        QFETCH(int, group);
        QFETCH(int, item);
        for (int lang : {LanguageEnglish, LanguageChinese}) {
            EditorsFixture f(lang);
            QVERIFY(setMembers(setup));
            f.rebuild();
            f.doubleClick(group, item);
            QVERIFY(f.dialogsShown.isEmpty());
            QVERIFY(f.simLines().isEmpty());
            QCOMPARE(app().ctrl.CtrlSettingKey, QStringLiteral(" "));
            QVERIFY(app().ctrl.CtrlSelectedPath.isEmpty());
        }
    }

    void rootAndEmptyPathOpenNothing()
    {
        EditorsFixture f;
        f.doubleClick(f.tree()->root());
        // Enter a second time without a click: the path is empty.
        QVERIFY(app().ctrl.CtrlSelectedPath.isEmpty());
        QTest::keyClick(f.tree(), Qt::Key_Return);
        QVERIFY(f.dialogsShown.isEmpty());
        QVERIFY(f.simLines().isEmpty());
    }

    void enterAfterAnEditNeedsANewClick()
    {
        EditorsFixture f;
        f.doubleClick(2, 5);
        QCOMPARE(f.dialogsShown.size(), 1);
        QTest::keyClick(f.tree(), Qt::Key_Return);
        QCOMPARE(f.dialogsShown.size(), 1);
    }

    // A direct action in between leaves no trace in the next list edit.
    void listEditAfterADirectAction()
    {
        EditorsFixture f;
        f.doubleClick(8, 4); // Display Clear
        QCOMPARE(app().ctrl.CtrlSettingKey, QStringLiteral(" "));
        SeenDialog seen;
        f.script = [&](QDialog &d) {
            seen = seeDialog(d);
            d.reject();
        };
        f.doubleClick(8, 5);
        QCOMPARE(seen.choices, resolved(QStringList{"@WordFull", "@WordHalf", "@WordNone"}));
        QVERIFY(!seen.inputShown);
        QVERIFY(seen.units.isEmpty());
    }

    // The volts/div option chosen is remembered per channel, also through Cancel.
    void adjustOptionRememberedPerChannel()
    {
        EditorsFixture f;
        QList<int> opened;
        int pick = -1;
        f.script = [&](QDialog &d) {
            auto *a = qobject_cast<CtrlDialogAdjust *>(&d);
            QVERIFY(a);
            opened << seeDialog(d).adjustOption;
            if (pick >= 0)
                QTest::mouseClick(a->OptVoltDiv(pick), Qt::LeftButton);
            d.reject();
        };
        pick = 1;
        f.doubleClick(2, 3); // CH1: fine, cancelled
        pick = 0;
        f.doubleClick(3, 3); // CH2: coarse
        pick = -1;
        f.doubleClick(2, 3); // CH1 again
        f.doubleClick(3, 3);
        QCOMPARE(opened, (QList<int>{0, 0, 1, 0}));
        QCOMPARE(app().editors.AdjustCoarseFineCH1, qint16(1));
        QCOMPARE(app().editors.AdjustCoarseFineCH2, quint8(0));
        QVERIFY(f.simLines().isEmpty());
    }
};

QTEST_MAIN(TestDispatcher)
#include "tst_dispatcher.moc"
