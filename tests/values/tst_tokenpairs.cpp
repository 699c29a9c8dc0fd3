#include "app/appstate.h"
#include "texts/loadlanguage.h"
#include "texts/stringres.h"
#include "values/tokenpairs.h"

#include <QtTest>

namespace {

using Conv = QString (*)(const QString &);

struct Family {
    const char *name;
    Conv token;
    Conv display;
    bool hasFallback;
};

const Family families[] = {
    {"run state", RunStopCommand, RunStopDisplay, true},
    {"on/off", OnOffToken, OnOffDisplay, true},
    {"la size", LaSizeToken, LaSizeDisplay, true},
    {"sampling mode", AcqModeToken, AcqModeDisplay, true},
    {"acquisition type", AcqTypeToken, AcqTypeDisplay, true},
    {"display type", DisplayTypeToken, DisplayTypeDisplay, true},
    {"grid", GridToken, GridDisplay, true},
    {"trigger type", TrigMethodToken, TrigMethodDisplay, true},
    {"sweep", SweepToken, SweepDisplay, false},
    {"coupling", CouplingToken, CouplingDisplay, true},
    {"edge slope", EdgeSlopeToken, EdgeSlopeDisplay, true},
    {"pulse condition", PulseModeToken, PulseModeDisplay, true},
    {"slope condition", SlopeModeToken, SlopeModeDisplay, true},
    {"video polarity", VideoPolarityToken, VideoPolarityDisplay, true},
    {"video sync", VideoSyncToken, VideoSyncDisplay, true},
    {"duration qualifier", DurationQualifierToken, DurationQualifierDisplay, true},
};

// Every row: family index, word, English word, Chinese word, sent token, reply
// text (empty on the fallback row, which answers anything else).
struct Row {
    int family;
    Word word;
    const char *english;
    const char *chinese;
    const char *token;
    const char *reply;
};

const Row rows[] = {
    {0, Word::WordRun, "RUN", "运行", ":RUN", "RUN"},
    {0, Word::WordStop, "STOP", "停止", ":STOP", nullptr},
    {1, Word::WordOn, "ON", "打开", "ON", "ON"},
    {1, Word::WordOff, "OFF", "关闭", "OFF", nullptr},
    {2, Word::WordBig, "BIG", "大", "BIG", "BIG"},
    {2, Word::WordSmall, "SMALL", "小", "SMALL", nullptr},
    {3, Word::WordRealTime, "REAL_TIME", "实时采样", "RTIME", "REAL_TIME"},
    {3, Word::WordEqualTime, "EQUAL_TIME", "等效采样", "ETIME", nullptr},
    {4, Word::WordAcqNormal, "NORMAL", "普通", "NORMAL", "NORMAL"},
    {4, Word::WordPeakDetect, "PEAKDETECT", "峰值检测", "PEAKDETECT", "PEAKDETECT"},
    {4, Word::WordAverage, "AVERAGE", "平均", "AVERAGE", nullptr},
    {5, Word::WordVectors, "VECTORS", "矢量", "VECTORS", "VECTORS"},
    {5, Word::WordDots, "DOTS", "点", "DOTS", nullptr},
    {6, Word::WordFull, "FULL", "完全", "FULL", "FULL"},
    {6, Word::WordHalf, "HALF", "半网格", "HALF", "HALF"},
    {6, Word::WordNone, "NONE", "无", "NONE", nullptr},
    {7, Word::WordEdge, "EDGE", "边沿触发", "EDGE", "EDGE"},
    {7, Word::WordPulse, "PULSE", "脉宽触发", "PULSE", "PULSE"},
    {7, Word::WordVideo, "VIDEO", "视频触发", "VIDEO", "VIDEO"},
    {7, Word::WordSlope, "SLOPE", "斜率触发", "SLOPE", "SLOPE"},
    {7, Word::WordAlternative, "ALTERNATIVE", "交替触发", "ALTERNATION", "ALTERNATION"},
    {7, Word::WordPattern, "PATTERN", "码型触发", "PATTERN", "PATTERN"},
    {7, Word::WordDuration, "DURATION", "持续时间触发", "DURATION", nullptr},
    {8, Word::WordAuto, "AUTO", "自动", "AUTO", "AUTO"},
    {8, Word::WordNormal, "NORMAL", "普通", "NORMAL", "NORMAL"},
    {8, Word::WordSingle, "SINGLE", "单次", "SINGLE", "SINGLE"},
    {9, Word::WordAC, "AC", "交流", "AC", "AC"},
    {9, Word::WordDC, "DC", "直流", "DC", "DC"},
    {9, Word::WordLF, "LF", "低频抑制", "LF", "LF"},
    {9, Word::WordHF, "HF", "高频抑制", "HF", "HF"},
    {9, Word::WordGND, "GND", "接地", "GND", nullptr},
    {10, Word::WordRising, "RISING", "上升沿", "POSITIVE", "POSITIVE"},
    {10, Word::WordFalling, "FALLING", "下降沿", "NEGATIVE", "NEGATIVE"},
    {10, Word::WordAlternation, "ALTERNATION", "上升&下降沿", "ALTERNATION", nullptr},
    {11, Word::WordPulsePosLess, "+Less Than", "正脉宽小于", "+LESSTHAN", "+LESS THAN"},
    {11, Word::WordPulseNegLess, "-Less Than", "负脉宽小于", "-LESSTHAN", "-LESS THAN"},
    {11, Word::WordPulsePosGreater, "+Greater Than", "正脉宽大于", "+GREATERTHAN", "+GREATER THAN"},
    {11, Word::WordPulseNegGreater, "-Greater Than", "负脉宽大于", "-GREATERTHAN", "-GREATER THAN"},
    {11, Word::WordPulsePosEqual, "+Equal", "正脉宽等于", "+EQUAL", "+EQUAL"},
    {11, Word::WordPulseNegEqual, "-Equal", "负脉宽等于", "-EQUAL", nullptr},
    {12, Word::WordSlopeRiseLess, "+Less Than", "上升沿小于", "+LESSTHAN", "+LESS THAN"},
    {12, Word::WordSlopeFallLess, "-Less Than", "下降沿小于", "-LESSTHAN", "-LESS THAN"},
    {12, Word::WordSlopeRiseGreater, "+Greater Than", "上升沿大于", "+GREATERTHAN", "+GREATER THAN"},
    {12, Word::WordSlopeFallGreater, "-Greater Than", "下降沿大于", "-GREATERTHAN", "-GREATER THAN"},
    {12, Word::WordSlopeRiseEqual, "+Equal", "上升沿等于", "+EQUAL", "+EQUAL"},
    {12, Word::WordSlopeFallEqual, "-Equal", "下降沿等于", "-EQUAL", nullptr},
    {13, Word::WordPositive, "POSITIVE", "正极性", "POSITIVE", "POSITIVE"},
    {13, Word::WordNegative, "NEGATIVE", "负极性", "NEGATIVE", nullptr},
    {14, Word::WordAllLines, "ALLlines", "所有行", "ALLlines", "ALL LINES"},
    {14, Word::WordLine, "LINE", "指定行", "LINE", "LINE"},
    {14, Word::WordOddField, "ODDfield", "奇数场", "ODDfield", "ODD FIELD"},
    {14, Word::WordEvenField, "EVENfield", "偶数场", "EVENfield", nullptr},
    {15, Word::WordLessThan, "Less Than", "小于", "LESSTHAN", "LESS THAN"},
    {15, Word::WordGreaterThan, "Greater Than", "大于", "GREATERTHAN", "GREATER THAN"},
    {15, Word::WordEqual, "Equal", "等于", "EQUAL", nullptr},
};

QString u(const char *s) { return QString::fromUtf8(s); }

// The fallback row of a family (nullptr for the sweep).
const Row *fallbackOf(int family)
{
    if (!families[family].hasFallback)
        return nullptr;
    const Row *last = nullptr;
    for (const Row &r : rows)
        if (r.family == family)
            last = &r;
    return last;
}

} // namespace

class TestTokenPairs : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void everyRow_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("lang");
        for (int i = 0; i < int(std::size(rows)); ++i)
            for (int lang : {0, 1})
                QTest::addRow("%s %s %s", families[rows[i].family].name, rows[i].english, lang ? "en" : "zh")
                    << i << lang;
    }
    // Each row both ways in both languages; the word shown is the one of the
    // language in force.
    void everyRow()
    {
        QFETCH(int, row);
        QFETCH(int, lang);
        const Row &r = rows[row];
        const Family &f = families[r.family];
        ApplyLanguage(lang);
        const QString shown = u(lang ? r.english : r.chinese);
        QCOMPARE(word(r.word), shown);
        QCOMPARE(f.token(shown), u(r.token));
        if (r.reply)
            QCOMPARE(f.display(u(r.reply)), shown);
        else // the fallback row's word answers its own token too
            QCOMPARE(f.display(u(r.token)), shown);
    }

    void fallbacks_data()
    {
        QTest::addColumn<int>("family");
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("input");
        for (int i = 0; i < int(std::size(families)); ++i)
            for (int lang : {0, 1})
                for (const char *in : {"", "junk", " ON", "on", "ALTERNATION ", "打开 "})
                    QTest::addRow("%s %s '%s'", families[i].name, lang ? "en" : "zh", in) << i << lang << u(in);
    }
    // Anything unrecognised gives the last row (the empty text for the sweep),
    // in both directions.
    void fallbacks()
    {
        QFETCH(int, family);
        QFETCH(int, lang);
        QFETCH(QString, input);
        ApplyLanguage(lang);
        const Family &f = families[family];
        const Row *fb = fallbackOf(family);
        QCOMPARE(f.token(input), fb ? u(fb->token) : QString());
        QCOMPARE(f.display(input), fb ? u(lang ? fb->english : fb->chinese) : QString());
    }

    // A word of the other language is never recognised.
    void otherLanguageWordNotRecognised()
    {
        ApplyLanguage(1);
        QCOMPARE(OnOffToken(u("打开")), QStringLiteral("OFF"));
        QCOMPARE(CouplingToken(u("交流")), QStringLiteral("GND"));
        QCOMPARE(SweepToken(u("自动")), QString());
        ApplyLanguage(0);
        QCOMPARE(OnOffToken(QStringLiteral("ON")), QStringLiteral("OFF"));
        QCOMPARE(TrigMethodToken(QStringLiteral("EDGE")), QStringLiteral("DURATION"));
        // Replies are tokens whatever the language.
        QCOMPARE(OnOffDisplay(QStringLiteral("ON")), u("打开"));
    }

    // The conditions take the words their defaults hold: a pulse condition
    // holding the pulse word of either language (the alternate CH2 default is
    // the English word in both) and a slope condition holding a pulse word
    // (the slope conditions' default) go out as the condition of that name.
    // The pulse condition does not take the slope words.
    void conditionsTakeTheirDefaultsWords_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("row");
        for (int lang : {0, 1})
            for (int i = 0; i < int(std::size(rows)); ++i)
                if (rows[i].family == 11)
                    QTest::addRow("%s %s", lang ? "English" : "Chinese", rows[i].english) << lang << i;
    }
    void conditionsTakeTheirDefaultsWords()
    {
        QFETCH(int, lang);
        QFETCH(int, row);
        ApplyLanguage(lang);
        const Row &r = rows[row];
        const Row &slope = rows[row + 6];
        QCOMPARE(slope.family, 12);
        const QString token = QString::fromLatin1(r.token);
        for (const char *pulseWord : {r.english, r.chinese}) {
            QCOMPARE(PulseModeToken(u(pulseWord)), token);
            QCOMPARE(SlopeModeToken(u(pulseWord)), token);
        }
        QCOMPARE(SlopeModeToken(word(slope.word)), token);
        if (!lang) // the Chinese slope words are not pulse words
            QCOMPARE(PulseModeToken(word(slope.word)), QStringLiteral("-EQUAL"));
    }

    void namedCases()
    {
        ApplyLanguage(1);
        QCOMPARE(TrigMethodToken(QStringLiteral("ALTERNATIVE")), QStringLiteral("ALTERNATION"));
        QCOMPARE(TrigMethodDisplay(QStringLiteral("ALTERNATION")), QStringLiteral("ALTERNATIVE"));
        QCOMPARE(AcqModeDisplay(QStringLiteral("RTIME")), QStringLiteral("EQUAL_TIME"));
        QCOMPARE(PulseModeDisplay(QStringLiteral("+LESSTHAN")), QStringLiteral("-Equal"));
        QCOMPARE(SlopeModeDisplay(QStringLiteral("+LESSTHAN")), QStringLiteral("-Equal"));
        QCOMPARE(RunStopDisplay(QStringLiteral("run")), QStringLiteral("STOP"));
        QCOMPARE(RunStopCommand(QStringLiteral("RUN")), QStringLiteral(":RUN"));
        QCOMPARE(VideoSyncDisplay(QStringLiteral("ALLlines")), QStringLiteral("EVENfield"));
        QCOMPARE(SweepDisplay(QStringLiteral("NONE")), QString());
        // The English pulse and slope words share texts; each family keeps its own.
        QCOMPARE(PulseModeToken(QStringLiteral("+Equal")), QStringLiteral("+EQUAL"));
        QCOMPARE(SlopeModeToken(QStringLiteral("+Equal")), QStringLiteral("+EQUAL"));
        ApplyLanguage(0);
        QCOMPARE(TrigMethodDisplay(QStringLiteral("ALTERNATION")), u("交替触发"));
        QCOMPARE(PulseModeDisplay(QStringLiteral("+LESS THAN")), u("正脉宽小于"));
        QCOMPARE(SlopeModeDisplay(QStringLiteral("+LESS THAN")), u("上升沿小于"));
        QCOMPARE(CouplingDisplay(QStringLiteral("AC")), u("交流")); // not the AC line word
    }
};

QTEST_GUILESS_MAIN(TestTokenPairs)
#include "tst_tokenpairs.moc"
