#include "app/appstate.h"
#include "common/defaultwords.h"
#include "platform/settingsstore.h"
#include "texts/loadlanguage.h"
#include "texts/retranslate.h"
#include "texts/stringres.h"

#include <QTemporaryDir>
#include <QtTest>

#include <set>
#include <string>

// Rewriting the stored setting words when the language changes.
class TestRetranslate : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    static QString u(const char *s) { return QString::fromUtf8(s); }
    static CtrlSettings &S() { return app().Settings; }

    // The record's defaults in a language.
    static CtrlSettings defaultsIn(int lang)
    {
        ApplyLanguage(lang);
        CtrlSettings s;
        s.reset();
        return s;
    }

    // What the switch does to the settings: new tables, then the rewrite.
    static void switchWords(int newLang, int oldLang)
    {
        ApplyLanguage(newLang);
        RetranslateSettings(newLang, oldLang);
    }

private slots:
    void init()
    {
        resetApp();
        QVERIFY(dir_.isValid());
        setSettingsFile(dir_.filePath("Kelvoscope.ini"));
    }
    void cleanup()
    {
        setDefaultWordSource({});
        setSettingsFile(QString());
    }

    // Starting from the defaults of one language with each trigger method,
    // every member ends as the defaults of the other language: every word
    // member is rewritten, whatever the trigger method (the other methods'
    // settings, the display words the instrument last reported, the inverts
    // and the spares too), and the texts that are no words are the same in
    // both.
    void wholeRecordBothWays_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<Word>("method");
        for (int from : {1, 0})
            for (Word m : {Word::WordEdge, Word::WordPulse, Word::WordSlope, Word::WordVideo, Word::WordAlternative,
                           Word::WordPattern, Word::WordDuration})
                QTest::addRow("%s from %s", wordName(m), from ? "English" : "Chinese") << from << m;
    }
    void wholeRecordBothWays()
    {
        QFETCH(int, from);
        QFETCH(Word, method);
        const int to = 1 - from;
        const auto defaults = [method](int lang) {
            CtrlSettings s = defaultsIn(lang);
            s.TrigMethod = word(method);
            // Members that New leaves alone: the words the connection and the
            // upload put there.
            s.MathDisplay = word(Word::WordOn);
            s.FFTDisplay = word(Word::WordOff);
            s.Spare1 = word(Word::WordOff);
            s.CH2Invert = word(Word::WordOn);
            return s;
        };
        const CtrlSettings before = defaults(from);
        CtrlSettings after = defaults(to);
        // English "+Less Than" is both the pulse and the slope word; as a slope
        // condition it becomes the Chinese slope word, not the pulse word that
        // the Chinese defaults hold.
        after.SlopeMode = wordLiteral(Word::WordSlopeRiseLess, to);
        after.AltCH1SlopeMode = after.SlopeMode;
        after.AltCH2SlopeMode = after.SlopeMode;
        // The one default that is the same text in both languages is the
        // English pulse word: it becomes the Chinese word of that condition.
        after.AltCH2PulseMode = wordLiteral(Word::WordPulsePosLess, to);
        QVERIFY(before.RunStop != after.RunStop); // the defaults do follow the language

        ApplyLanguage(from);
        S() = before;
        switchWords(to, from);

        for (const CtrlSettingsField &f : ctrlSettingsFields()) {
            if (f.text) {
                QVERIFY2(S().*f.text == after.*f.text,
                         qPrintable(QStringLiteral("%1: %2, expected %3").arg(f.name, S().*f.text, after.*f.text)));
            } else {
                for (int i = 1; i <= 16; ++i)
                    QVERIFY2((S().*f.array)[i] == (after.*f.array)[i],
                             qPrintable(QStringLiteral("%1(%2): %3").arg(f.name).arg(i).arg((S().*f.array)[i])));
            }
        }
    }

    // Bringing a record into the language it is in already changes nothing
    // but the one default that is an English word in both languages; into a
    // language index that is no language, nothing changes.
    void translateIntoTheLanguageInForce_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("into");
        QTest::newRow("English") << 1 << 1;
        QTest::newRow("Chinese") << 0 << 0;
        QTest::newRow("no language") << 0 << 2;
    }
    void translateIntoTheLanguageInForce()
    {
        QFETCH(int, lang);
        QFETCH(int, into);
        CtrlSettings s = defaultsIn(lang);
        s.MathDisplay = word(Word::WordOn);
        s.CH1Coupling = u("?");
        CtrlSettings expected = s;
        if (into == 0)
            expected.AltCH2PulseMode = u("正脉宽小于");
        TranslateSettingWords(s, into);
        QCOMPARE(s, expected);
        TranslateSettingWords(s, into); // a second pass finds nothing more
        QCOMPARE(s, expected);
    }

    void edgeEnglishToChinese()
    {
        ApplyLanguage(1);
        S().TrigMethod = "EDGE";
        S().EdgeSlope = "FALLING";
        S().EdgeSource = "CH1";
        switchWords(0, 1);
        QCOMPARE(S().TrigMethod, u("边沿触发"));
        QCOMPARE(S().EdgeSlope, u("下降沿"));
        QCOMPARE(S().EdgeSource, QStringLiteral("CH1"));
    }

    void acLineSourceFollowsTheLanguage()
    {
        ApplyLanguage(1);
        S().TrigMethod = "EDGE";
        S().EdgeSource = "AC";
        switchWords(0, 1);
        QCOMPARE(S().EdgeSource, u("市电"));
        switchWords(1, 0);
        QCOMPARE(S().EdgeSource, QStringLiteral("AC"));
    }

    void gridChineseToEnglish_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("half") << u("半网格") << "HALF";
        QTest::newRow("full") << u("完全") << "FULL";
        QTest::newRow("none") << u("无") << "NONE";
        QTest::newRow("already English") << "HALF" << "HALF";
        QTest::newRow("unknown stays") << "half" << "half";
    }
    void gridChineseToEnglish()
    {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        ApplyLanguage(0);
        S().DispGrid = stored;
        switchWords(1, 0);
        QCOMPARE(S().DispGrid, expected);
    }

    // A switch never changes what a setting means: a word of either language
    // becomes the new language's word, and a text of neither (also an empty
    // one) stays as it is, whichever way the switch goes.
    void wordsOfEitherLanguageKeepTheirMeaning_data()
    {
        // Run|Stop, CH1 display, CH2 coupling: as stored, after the switch,
        // and after switching back.
        QTest::addColumn<int>("from");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("switched");
        QTest::addColumn<QStringList>("back");
        const QStringList zh{u("运行"), u("打开"), u("交流")};
        const QStringList en{"RUN", "ON", "AC"};
        // A control file saved in the other language and read without a
        // switch leaves words of the new language in the record.
        QTest::newRow("Chinese words in English") << 1 << zh << zh << en;
        QTest::newRow("English words in Chinese") << 0 << en << en << zh;
        QTest::newRow("English to Chinese")
            << 1 << QStringList{"STOP", "OFF", "GND"} << QStringList{u("停止"), u("关闭"), u("接地")}
            << QStringList{"STOP", "OFF", "GND"};
        QTest::newRow("Chinese to English")
            << 0 << QStringList{u("停止"), u("关闭"), u("直流")} << QStringList{"STOP", "OFF", "DC"}
            << QStringList{u("停止"), u("关闭"), u("直流")};
        const QStringList empty{"", "", ""};
        QTest::newRow("empty stays") << 1 << empty << empty << empty;
        const QStringList junk{"run", "1", "junk"};
        QTest::newRow("junk stays") << 0 << junk << junk << junk;
    }
    void wordsOfEitherLanguageKeepTheirMeaning()
    {
        QFETCH(int, from);
        QFETCH(QStringList, stored);
        QFETCH(QStringList, switched);
        QFETCH(QStringList, back);
        const auto members = [] { return QStringList{S().RunStop, S().CH1Display, S().CH2Coupling}; };
        ApplyLanguage(from);
        S().RunStop = stored[0];
        S().CH1Display = stored[1];
        S().CH2Coupling = stored[2];
        switchWords(1 - from, from);
        QCOMPARE(members(), switched);
        switchWords(from, 1 - from);
        QCOMPARE(members(), back);
    }

    void thresholdOnlyUserWord()
    {
        ApplyLanguage(1);
        S().LAThreshold = "TTL";
        switchWords(0, 1);
        QCOMPARE(S().LAThreshold, QStringLiteral("TTL"));
        S().LAThreshold = "1.20V";
        switchWords(1, 0);
        QCOMPARE(S().LAThreshold, QStringLiteral("1.20V"));
        S().LAThreshold = "USER";
        switchWords(0, 1);
        QCOMPARE(S().LAThreshold, u("用户定义"));
        switchWords(1, 0);
        QCOMPARE(S().LAThreshold, QStringLiteral("USER"));
    }

    void patternCodeEdges()
    {
        ApplyLanguage(1);
        S().reset();
        S().TrigMethod = "PATTERN";
        S().EdgeSlope = "FALLING";
        S().PatCode[1] = "H";
        S().PatCode[2] = "RISING";
        S().PatCode[3] = "X";
        S().PatCode[4] = "L";
        S().DurCode[2] = "RISING"; // not the active trigger: rewritten all the same
        switchWords(0, 1);
        QCOMPARE(S().PatCode[1], QStringLiteral("H"));
        QCOMPARE(S().PatCode[2], u("上升沿"));
        QCOMPARE(S().PatCode[3], QStringLiteral("X"));
        QCOMPARE(S().PatCode[4], QStringLiteral("L"));
        QCOMPARE(S().EdgeSlope, u("下降沿"));
        QCOMPARE(S().DurCode[2], u("上升沿"));
        QCOMPARE(S().TrigMethod, u("码型触发"));
    }

    // Edge entries hold either the read-back's edge word or the code editor's
    // label; both are recognised and become the label of the new language, the
    // form the pattern trigger sender takes, in the code of the active method
    // and in the other one alike. Either form already in the new language
    // stays.
    void codeEdgeForms_data()
    {
        QTest::addColumn<Word>("method");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        for (Word m : {Word::WordPattern, Word::WordDuration}) {
            const char *n = wordName(m);
            QTest::addRow("%s RISING", n) << m << 1 << "RISING" << u("上升沿");
            QTest::addRow("%s FALLING", n) << m << 1 << "FALLING" << u("下降沿");
            QTest::addRow("%s Rising", n) << m << 1 << "Rising" << u("上升沿");
            QTest::addRow("%s Falling", n) << m << 1 << "Falling" << u("下降沿");
            QTest::addRow("%s rising edge to English", n) << m << 0 << u("上升沿") << "Rising";
            QTest::addRow("%s falling edge to English", n) << m << 0 << u("下降沿") << "Falling";
            QTest::addRow("%s Chinese edge stays", n) << m << 1 << u("下降沿") << u("下降沿");
            QTest::addRow("%s English edge word stays", n) << m << 0 << "RISING" << "RISING";
            QTest::addRow("%s H stays", n) << m << 0 << "H" << "H";
            QTest::addRow("%s X stays", n) << m << 1 << "X" << "X";
            QTest::addRow("%s other text stays", n) << m << 1 << "rising" << "rising";
        }
    }
    void codeEdgeForms()
    {
        QFETCH(Word, method);
        QFETCH(int, from);
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        ApplyLanguage(from);
        S().TrigMethod = word(method);
        auto &code = method == Word::WordPattern ? S().PatCode : S().DurCode;
        auto &other = method == Word::WordPattern ? S().DurCode : S().PatCode;
        code[16] = stored;
        other[16] = stored;
        code[0] = stored;  // no channel: not touched
        code[17] = stored;
        switchWords(1 - from, from);
        QCOMPARE(code[16], expected);
        QCOMPARE(other[16], expected);
        QCOMPARE(code[0], stored);
        QCOMPARE(code[17], stored);
    }

    void alternativeConvertsEachChannelsType()
    {
        ApplyLanguage(1);
        S().reset();
        S().TrigMethod = "ALTERNATIVE";
        S().AltCH1Type = "PULSE";
        S().AltCH2Type = "SLOPE";
        S().AltCH1PulseMode = "-Greater Than";
        S().AltCH1PulseCoupling = "HF";
        S().AltCH2SlopeMode = "-Equal";
        S().AltCH2SlopeCoupling = "LF";
        S().AltCH2EdgeSlope = "FALLING";
        S().AltCH2PulseMode = "+Equal";
        S().AltCH2VideoSync = "ODDfield";
        S().AltCH1SlopeMode = "+Equal";
        switchWords(0, 1);
        QCOMPARE(S().TrigMethod, u("交替触发"));
        QCOMPARE(S().AltCH1Type, u("脉宽触发"));
        QCOMPARE(S().AltCH2Type, u("斜率触发"));
        QCOMPARE(S().AltCH1PulseMode, u("负脉宽大于"));
        QCOMPARE(S().AltCH1PulseCoupling, u("高频抑制"));
        QCOMPARE(S().AltCH2SlopeMode, u("下降沿等于"));
        QCOMPARE(S().AltCH2SlopeCoupling, u("低频抑制"));
        // the channels' other trigger types follow as well
        QCOMPARE(S().AltCH2EdgeSlope, u("下降沿"));
        QCOMPARE(S().AltCH2PulseMode, u("正脉宽等于"));
        QCOMPARE(S().AltCH2VideoSync, u("奇数场"));
        QCOMPARE(S().AltCH1SlopeMode, u("上升沿等于"));
    }

    // A channel type in neither language stays as it is; the channel's
    // settings are rewritten all the same.
    void alternativeUnknownTypeStays()
    {
        ApplyLanguage(0);
        S().TrigMethod = u("交替触发");
        S().AltCH1Type = "junk";
        S().AltCH1SlopeMode = u("上升沿大于");
        S().AltCH1SlopeCoupling = u("直流");
        S().AltCH1EdgeSlope = u("下降沿");
        switchWords(1, 0);
        QCOMPARE(S().AltCH1Type, QStringLiteral("junk"));
        QCOMPARE(S().AltCH1SlopeMode, QStringLiteral("+Greater Than"));
        QCOMPARE(S().AltCH1SlopeCoupling, QStringLiteral("DC"));
        QCOMPARE(S().AltCH1EdgeSlope, QStringLiteral("FALLING"));
    }

    // The Chinese default slope condition is the pulse word; it becomes the
    // same condition, not the last slope word, and stays the pulse word while
    // the language stays Chinese.
    void slopeConditionHoldingThePulseWord()
    {
        ApplyLanguage(0);
        S().TrigMethod = u("斜率触发");
        S().SlopeMode = u("正脉宽小于");
        switchWords(1, 0);
        QCOMPARE(S().SlopeMode, QStringLiteral("+Less Than"));
        switchWords(0, 1);
        QCOMPARE(S().SlopeMode, u("上升沿小于"));
        S().SlopeMode = u("负脉宽大于");
        switchWords(1, 0);
        QCOMPARE(S().SlopeMode, QStringLiteral("-Greater Than"));
        S().SlopeMode = "nonsense";
        switchWords(0, 1);
        QCOMPARE(S().SlopeMode, QStringLiteral("nonsense"));
        S().SlopeMode = u("负脉宽等于");
        TranslateSettingWords(S(), 0);
        QCOMPARE(S().SlopeMode, u("负脉宽等于"));
    }

    void durationQualifierAndSweep()
    {
        ApplyLanguage(0);
        S().TrigMethod = u("持续时间触发");
        S().DurQualifier = u("大于");
        S().DurSweep = u("单次");
        S().PatSweep = u("单次"); // pattern is not the active trigger: rewritten all the same
        switchWords(1, 0);
        QCOMPARE(S().TrigMethod, QStringLiteral("DURATION"));
        QCOMPARE(S().DurQualifier, QStringLiteral("Greater Than"));
        QCOMPARE(S().DurSweep, QStringLiteral("SINGLE"));
        QCOMPARE(S().PatSweep, QStringLiteral("SINGLE"));
    }

    // A method in neither language stays; the words of the trigger settings
    // follow the language all the same.
    void unknownMethodStays()
    {
        ApplyLanguage(1);
        S().reset();
        S().TrigMethod = "Edge";
        S().EdgeSlope = "FALLING";
        S().DispGrid = "HALF";
        switchWords(0, 1);
        QCOMPARE(S().TrigMethod, QStringLiteral("Edge"));
        QCOMPARE(S().EdgeSlope, u("下降沿"));
        QCOMPARE(S().DispGrid, u("半网格"));
    }

    void notAllLanguagePairsRewrite_data()
    {
        QTest::addColumn<int>("newLang");
        QTest::addColumn<int>("oldLang");
        QTest::addColumn<int>("tables");
        QTest::newRow("same language") << 1 << 1 << 1;
        QTest::newRow("same language Chinese") << 0 << 0 << 0;
        QTest::newRow("old not a language") << 0 << 2 << 0;
        QTest::newRow("new not a language") << 3 << 1 << 3;
    }
    void notAllLanguagePairsRewrite()
    {
        QFETCH(int, newLang);
        QFETCH(int, oldLang);
        QFETCH(int, tables);
        ApplyLanguage(1);
        S().reset();
        S().CH1Coupling.clear();
        S().DispGrid = "junk";
        const CtrlSettings before = S();
        ApplyLanguage(tables);
        RetranslateSettings(newLang, oldLang);
        for (const CtrlSettingsField &f : ctrlSettingsFields()) {
            if (f.text)
                QCOMPARE(S().*f.text, before.*f.text);
            else
                QCOMPARE(S().*f.array, before.*f.array);
        }
    }

    // The switch itself: words rewritten, and choosing the language in force
    // changes nothing.
    void switchRewritesOnce()
    {
        app().texts.LanguageIndex = 1;
        ApplyLanguage(1);
        S().reset();
        S().CH1Coupling.clear();
        const CtrlSettings english = S();
        SwitchLanguage(1);
        QCOMPARE(S().CH1Coupling, QString());
        SwitchLanguage(0);
        QCOMPARE(S().RunStop, u("运行"));
        QCOMPARE(S().CH1Coupling, QString()); // no word: nothing to translate
        SwitchLanguage(0);
        QCOMPARE(S().RunStop, u("运行"));
        SwitchLanguage(1);
        QCOMPARE(S().RunStop, english.RunStop);
        QCOMPARE(S().CH1Coupling, QString());
        QCOMPARE(GetSetting(LanguageSection, LanguageKey), QStringLiteral("1"));
    }

    // New Control File after a switch gives the new language's words.
    void defaultsFollowTheLanguage()
    {
        setDefaultWordSource({});
        S().reset();
        QCOMPARE(S().RunStop, QStringLiteral("RUN")); // no language applied yet
        ApplyLanguage(0);
        S().reset();
        QCOMPARE(S().RunStop, u("运行"));
        QCOMPARE(S().EdgeSlope, u("上升沿"));
        QCOMPARE(S().PulseMode, u("正脉宽小于"));
        QCOMPARE(S().SlopeMode, u("正脉宽小于"));
        QCOMPARE(S().CH1Coupling, u("交流"));
        QCOMPARE(S().AcqType, u("普通"));
        ApplyLanguage(1);
        S().reset();
        QCOMPARE(S().RunStop, QStringLiteral("RUN"));
        QCOMPARE(S().DurQualifier, QStringLiteral("Less Than"));
        ApplyLanguage(7); // no tables: English words
        S().reset();
        QCOMPARE(S().CH1Display, QStringLiteral("ON"));
    }
};

QTEST_GUILESS_MAIN(TestRetranslate)
#include "tst_retranslate.moc"
