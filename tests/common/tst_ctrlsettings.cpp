#include "app/appstate.h"
#include "common/ctrlsettings.h"
#include "common/defaultwords.h"

#include <QtTest>

namespace {

const char *const Kept = "(kept)";

struct Expected {
    const char *member;
    const char *english; // default in English; Kept: New leaves the member alone
    const char *word;    // name of the display word, nullptr for a fixed text
};

// Every member in record order with the default New Control File gives it.
// Arrays: the default of elements 1..16.
// The slope conditions start from the pulse word, as the instrument's own
// defaults do; the alternate CH2 pulse condition is a fixed text.
const Expected kDefaults[] = {
    {"RunStop", "RUN", "WordRun"},
    {"CH1Display", "ON", "WordOn"},
    {"CH1VoltDiv", "1.00V", nullptr},
    {"CH1Offset", "0.00mV", nullptr},
    {"CH1Coupling", "AC", "WordAC"},
    {"CH1BWLimit", "OFF", "WordOff"},
    {"CH1Probe", "1X", nullptr},
    {"CH1Invert", "OFF", "WordOff"},
    {"CH2Display", "OFF", "WordOff"},
    {"CH2VoltDiv", "1.00V", nullptr},
    {"CH2Offset", "0.00mV", nullptr},
    {"CH2Coupling", "AC", "WordAC"},
    {"CH2BWLimit", "OFF", "WordOff"},
    {"CH2Probe", "1X", nullptr},
    {"CH2Invert", "OFF", "WordOff"},
    {"LADisplay", "OFF", "WordOff"},
    {"LAChanOn", "OFF", "WordOff"},
    {"LAChanPos", "0", nullptr},
    {"LAThreshold", "TTL", nullptr},
    {"LAGroupHi", "OFF", "WordOff"},
    {"LAGroupLo", "OFF", "WordOff"},
    {"LASizeHi", "BIG", "WordBig"},
    {"LASizeLo", "BIG", "WordBig"},
    {"MathDisplay", Kept, nullptr},
    {"FFTDisplay", Kept, nullptr},
    {"TimeDiv", "10.00us", nullptr},
    {"CH1TimeDiv", "10.00us", nullptr},
    {"CH2TimeDiv", "10.00us", nullptr},
    {"Delay", "0.0000s", nullptr},
    {"CH1Delay", "0.0000s", nullptr},
    {"CH2Delay", "0.0000s", nullptr},
    {"Holdoff", "100ns", nullptr},
    {"MemSize", "4000", nullptr},
    {"Spare1", Kept, nullptr},
    {"TimebaseFormat", "Y-T", nullptr},
    {"TrigMethod", "EDGE", "WordEdge"},
    {"EdgeSlope", "RISING", "WordRising"},
    {"EdgeSource", "CH1", nullptr},
    {"EdgeSweep", "AUTO", "WordAuto"},
    {"EdgeCoupling", "DC", "WordDC"},
    {"EdgeSensitivity", "0.10div", nullptr},
    {"EdgeLevel", "0.00div", nullptr},
    {"PulseSource", "CH1", nullptr},
    {"PulseMode", "+Less Than", "WordPulsePosLess"},
    {"PulseWidth", "1us", nullptr},
    {"PulseCoupling", "DC", "WordDC"},
    {"PulseSensitivity", "0.10div", nullptr},
    {"PulseLevel", "0.00div", nullptr},
    {"PulseSweep", "AUTO", "WordAuto"},
    {"VideoSource", "CH1", nullptr},
    {"VideoPolarity", "POSITIVE", "WordPositive"},
    {"VideoSync", "LINE", "WordLine"},
    {"VideoStandard", "NTSC", nullptr},
    {"VideoLine", "1", nullptr},
    {"VideoSensitivity", "0.10div", nullptr},
    {"VideoLevel", "0.00div", nullptr},
    {"SlopeSource", "CH1", nullptr},
    {"SlopeMode", "+Less Than", "WordPulsePosLess"},
    {"SlopeTime", "1us", nullptr},
    {"SlopeWindow", "PA", nullptr},
    {"SlopeLevelA", "0.00div", nullptr},
    {"SlopeLevelB", "0.20div", nullptr},
    {"SlopeCoupling", "DC", "WordDC"},
    {"SlopeSensitivity", "0.10div", nullptr},
    {"SlopeSweep", "AUTO", "WordAuto"},
    {"AltCH1Type", "EDGE", "WordEdge"},
    {"AltCH2Type", "EDGE", "WordEdge"},
    {"AltCH1EdgeSlope", "RISING", "WordRising"},
    {"AltCH1EdgeCoupling", "DC", "WordDC"},
    {"AltCH1EdgeLevel", "0.00div", nullptr},
    {"AltCH1EdgeSensitivity", "0.10div", nullptr},
    {"AltCH1EdgeHoldoff", "100ns", nullptr},
    {"AltCH2EdgeSlope", "RISING", "WordRising"},
    {"AltCH2EdgeCoupling", "DC", "WordDC"},
    {"AltCH2EdgeLevel", "0.00div", nullptr},
    {"AltCH2EdgeSensitivity", "0.10div", nullptr},
    {"AltCH2EdgeHoldoff", "100ns", nullptr},
    {"AltCH1PulseMode", "+Less Than", "WordPulsePosLess"},
    {"AltCH1PulseWidth", "1us", nullptr},
    {"AltCH1PulseCoupling", "DC", "WordDC"},
    {"AltCH1PulseLevel", "0.00div", nullptr},
    {"AltCH1PulseSensitivity", "0.10div", nullptr},
    {"AltCH1PulseHoldoff", "100ns", nullptr},
    {"AltCH2PulseMode", "+Less Than", nullptr},
    {"AltCH2PulseWidth", "1us", nullptr},
    {"AltCH2PulseCoupling", "DC", "WordDC"},
    {"AltCH2PulseLevel", "0.00div", nullptr},
    {"AltCH2PulseSensitivity", "0.10div", nullptr},
    {"AltCH2PulseHoldoff", "100ns", nullptr},
    {"AltCH1VideoPolarity", "POSITIVE", "WordPositive"},
    {"AltCH1VideoSync", "LINE", "WordLine"},
    {"AltCH1VideoStandard", "NTSC", nullptr},
    {"AltCH1VideoLine", "1", nullptr},
    {"AltCH1VideoLevel", "0.00div", nullptr},
    {"AltCH1VideoSensitivity", "0.10div", nullptr},
    {"AltCH1VideoHoldoff", "100ns", nullptr},
    {"AltCH2VideoPolarity", "POSITIVE", "WordPositive"},
    {"AltCH2VideoSync", "LINE", "WordLine"},
    {"AltCH2VideoStandard", "NTSC", nullptr},
    {"AltCH2VideoLine", "1", nullptr},
    {"AltCH2VideoLevel", "0.00div", nullptr},
    {"AltCH2VideoSensitivity", "0.10div", nullptr},
    {"AltCH2VideoHoldoff", "100ns", nullptr},
    {"AltCH1SlopeMode", "+Less Than", "WordPulsePosLess"},
    {"AltCH1SlopeTime", "1us", nullptr},
    {"AltCH1SlopeWindow", "PA", nullptr},
    {"AltCH1SlopeCoupling", "DC", "WordDC"},
    {"AltCH1SlopeLevelA", "0.00div", nullptr},
    {"AltCH1SlopeLevelB", "0.00div", nullptr},
    {"AltCH1SlopeSensitivity", "0.10div", nullptr},
    {"AltCH1SlopeHoldoff", "100ns", nullptr},
    {"AltCH2SlopeMode", "+Less Than", "WordPulsePosLess"},
    {"AltCH2SlopeTime", "1us", nullptr},
    {"AltCH2SlopeWindow", "PA", nullptr},
    {"AltCH2SlopeCoupling", "DC", "WordDC"},
    {"AltCH2SlopeLevelA", "0.00div", nullptr},
    {"AltCH2SlopeLevelB", "0.00div", nullptr},
    {"AltCH2SlopeSensitivity", "0.10div", nullptr},
    {"AltCH2SlopeHoldoff", "100ns", nullptr},
    {"Spare2", "D0", nullptr},
    {"PatCode", "H", nullptr},
    {"PatSweep", "AUTO", "WordAuto"},
    {"DurQualifier", "Less Than", "WordLessThan"},
    {"DurCode", "H", nullptr},
    {"DurTime", "1us", nullptr},
    {"DurSweep", "AUTO", "WordAuto"},
    {"Spare3", "H", nullptr},
    {"AcqSamplingMode", "REAL_TIME", "WordRealTime"},
    {"AcqType", "NORMAL", "WordAcqNormal"},
    {"AcqAverages", "16", nullptr},
    {"Spare4", "3%", nullptr},
    {"Spare5", "OFF", "WordOff"},
    {"DispType", "VECTORS", "WordVectors"},
    {"DispPersist", "OFF", "WordOff"},
    {"DispGrid", "FULL", "WordFull"},
};

const CtrlSettingsField *field(const char *name)
{
    for (const CtrlSettingsField &f : ctrlSettingsFields())
        if (qstrcmp(f.name, name) == 0)
            return &f;
    return nullptr;
}

// Stands in for another language: every word becomes "<name>".
QString markedWord(const char *name, const QString &)
{
    return QLatin1Char('<') + QLatin1String(name) + QLatin1Char('>');
}

} // namespace

class TestCtrlSettings : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }
    void cleanup() { setDefaultWordSource({}); }

    void membersAreInRecordOrder()
    {
        QStringList expected;
        for (const Expected &e : kDefaults)
            expected << QLatin1String(e.member);
        QStringList actual;
        int arrays = 0;
        for (const CtrlSettingsField &f : ctrlSettingsFields()) {
            actual << QLatin1String(f.name);
            QVERIFY2((f.text == nullptr) != (f.array == nullptr), f.name);
            arrays += f.array ? 1 : 0;
        }
        QCOMPARE(actual, expected);
        QCOMPARE(actual.size() - arrays, 131);
        QCOMPARE(arrays, 4);
    }

    void newControlFileDefaults_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("word");
        for (const Expected &e : kDefaults)
            if (e.english != Kept)
                QTest::newRow(e.member) << QString::fromLatin1(e.member) << QString::fromUtf8(e.english)
                                        << QString::fromLatin1(e.word ? e.word : "");
    }
    void newControlFileDefaults()
    {
        // Table-driven: every member against its default, first with the
        // English words, then with a word source standing in for another
        // language (words change, fixed texts stay).
        QFETCH(QString, member);
        QFETCH(QString, english);
        QFETCH(QString, word);
        const CtrlSettingsField *f = field(member.toLatin1().constData());
        QVERIFY(f);

        for (bool otherLanguage : {false, true}) {
            setDefaultWordSource(otherLanguage ? DefaultWordSource(markedWord) : DefaultWordSource());
            const QString expected = otherLanguage && !word.isEmpty() ? QStringLiteral("<%1>").arg(word) : english;
            CtrlSettings s;
            s.reset();
            if (f->text) {
                QCOMPARE(s.*(f->text), expected);
            } else {
                const CtrlSettings::LAArray &a = s.*(f->array);
                for (int k = 1; k <= 16; ++k)
                    QCOMPARE(a[k], expected);
            }
        }
    }

    void newKeepsWhatItDoesNotReset()
    {
        CtrlSettings s;
        s.MathDisplay = QStringLiteral("ON");
        s.FFTDisplay = QStringLiteral("OFF");
        s.Spare1 = QStringLiteral("OFF");
        for (const CtrlSettingsField &f : ctrlSettingsFields()) {
            if (!f.array)
                continue;
            (s.*(f.array))[0] = QStringLiteral("first");
            (s.*(f.array))[17] = QStringLiteral("last");
        }
        s.CH1VoltDiv = QStringLiteral("5.00V");
        s.PatCode[16] = QStringLiteral("X");

        s.reset();
        QCOMPARE(s.MathDisplay, QStringLiteral("ON"));
        QCOMPARE(s.FFTDisplay, QStringLiteral("OFF"));
        QCOMPARE(s.Spare1, QStringLiteral("OFF"));
        for (const CtrlSettingsField &f : ctrlSettingsFields()) {
            if (!f.array)
                continue;
            QCOMPARE((s.*(f.array))[0], QStringLiteral("first"));
            QCOMPARE((s.*(f.array))[17], QStringLiteral("last"));
        }
        QCOMPARE(s.CH1VoltDiv, QStringLiteral("1.00V"));
        QCOMPARE(s.PatCode[16], QStringLiteral("H"));
    }

    void programStartHoldsEmptyTexts()
    {
        app().Settings.reset();
        app().Settings.Spare1 = QStringLiteral("OFF");
        resetApp();
        const CtrlSettings &s = app().Settings;
        for (const CtrlSettingsField &f : ctrlSettingsFields()) {
            if (f.text) {
                QVERIFY2((s.*(f.text)).isEmpty(), f.name);
            } else {
                for (const QString &e : s.*(f.array))
                    QVERIFY2(e.isEmpty(), f.name);
            }
        }
    }

    void wordSourceSeesEnglishAndFallsBackToIt()
    {
        QCOMPARE(defaultWord("WordOn", "ON"), QStringLiteral("ON"));
        QByteArray seenName;
        QString seenEnglish;
        setDefaultWordSource([&](const char *name, const QString &english) {
            seenName = name;
            seenEnglish = english;
            return name == QByteArray("WordOn") ? QStringLiteral("打开") : english;
        });
        QCOMPARE(defaultWord("WordOn", "ON"), QStringLiteral("打开"));
        QCOMPARE(seenName, QByteArray("WordOn"));
        QCOMPARE(seenEnglish, QStringLiteral("ON"));
        QCOMPARE(defaultWord("WordOff", "OFF"), QStringLiteral("OFF"));
        setDefaultWordSource({});
        QCOMPARE(defaultWord("WordOn", "ON"), QStringLiteral("ON"));
    }
};

QTEST_GUILESS_MAIN(TestCtrlSettings)
#include "tst_ctrlsettings.moc"
