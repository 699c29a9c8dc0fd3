#include "app/appstate.h"
#include "platform/settingsstore.h"
#include "texts/loadlanguage.h"
#include "texts/messagetable.h"
#include "texts/stringres.h"

#include <QTemporaryDir>
#include <QtTest>

// The stored language, applying a language through the ordered loader table,
// and the switch between the two languages.
class TestLoadLanguage : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString ini_;

    void store(const QString &value) { QVERIFY(SaveSetting(LanguageSection, LanguageKey, value)); }
    QString stored() { return GetSetting(LanguageSection, LanguageKey, QStringLiteral("<missing>")); }

private slots:
    void init()
    {
        resetApp();
        QVERIFY(dir_.isValid());
        ini_ = dir_.filePath(QStringLiteral("Kelvoscope.ini"));
        QFile::remove(ini_);
        setSettingsFile(ini_);
    }
    void cleanup() { setSettingsFile(QString()); }

    void storedLanguage_data()
    {
        QTest::addColumn<QString>("storedText"); // "<missing>": no key at all
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("expected");
        QTest::newRow("0") << "0" << 0 << 0;
        QTest::newRow("1") << "1" << 0 << 1;
        QTest::newRow("missing key: English") << "<missing>" << 0 << 1;
        QTest::newRow("abc: stays Chinese") << "abc" << 0 << 0;
        QTest::newRow("abc keeps English in force") << "abc" << 1 << 1;
        QTest::newRow("empty text is not a number") << "" << 0 << 0;
        QTest::newRow("1.5 rounds to 2: English") << "1.5" << 0 << 1;
        QTest::newRow("0.5 rounds to even 0") << "0.5" << 1 << 0;
        QTest::newRow("2: English") << "2" << 0 << 1;
        QTest::newRow("-1: English") << "-1" << 0 << 1;
        QTest::newRow("blanks around") << " 0 " << 1 << 0;
        QTest::newRow("beyond 32 bits: unchanged") << "99999999999" << 0 << 0;
        QTest::newRow("nan: unchanged") << "nan" << 0 << 0;
    }
    void storedLanguage()
    {
        QFETCH(QString, storedText);
        QFETCH(int, before);
        QFETCH(int, expected);
        if (storedText != QLatin1String("<missing>"))
            store(storedText);
        app().texts.LanguageIndex = before;
        LoadLanguageSetting();
        QCOMPARE(languageIndex(), expected);
    }

    // Reading never writes: an empty store stays empty until the user switches.
    void emptyStoreIsNotWritten()
    {
        LoadLanguageSetting();
        QCOMPARE(languageIndex(), 1);
        QVERIFY(!QFile::exists(ini_));
        ApplyLanguage(languageIndex());
        QVERIFY(!QFile::exists(ini_));
        QCOMPARE(message(Msg::MsgConnectFirst), QStringLiteral("Please Connect Oscilloscope First!"));
        QVERIFY(app().texts.HelpFile.endsWith(QLatin1String("/QM4100help.chm")));
    }

    void storedChineseGivesChineseTexts()
    {
        store(QStringLiteral("0"));
        LoadLanguageSetting();
        ApplyLanguage(languageIndex());
        QCOMPARE(word(Word::ItemDataSheet), QStringLiteral("数据浏览器"));
        QVERIFY(app().texts.HelpFile.endsWith(QLatin1String("/QM4100help_Chinese.chm")));
    }

    void saveWritesDecimalText()
    {
        app().texts.LanguageIndex = 0;
        SaveLanguageSetting();
        QCOMPARE(stored(), QStringLiteral("0"));
        app().texts.LanguageIndex = 1;
        SaveLanguageSetting();
        QCOMPARE(stored(), QStringLiteral("1"));
    }

    void helpFileAndMenuTick_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("helpName");
        QTest::addColumn<bool>("chineseTicked");
        QTest::newRow("Chinese") << 0 << "/QM4100help_Chinese.chm" << true;
        QTest::newRow("English") << 1 << "/QM4100help.chm" << false;
        QTest::newRow("other") << 3 << "/QM4100help.chm" << false;
    }
    void helpFileAndMenuTick()
    {
        QFETCH(int, lang);
        QFETCH(QString, helpName);
        QFETCH(bool, chineseTicked);
        QList<bool> ticks;
        setLanguageMenuTick([&](bool chinese) { ticks.append(chinese); });
        ApplyLanguage(lang);
        QCOMPARE(ticks, QList<bool>{chineseTicked});
        QCOMPARE(app().texts.HelpFile, QCoreApplication::applicationDirPath() + helpName);
    }

    // The table runs every loader in the fixed order; the text tables are full
    // before the first caption loader runs.
    void loadersRunInOrder()
    {
        QStringList calls;
        QString messageSeenByFirstCaption, wordSeenByFirstCaption, nameSeenByFirstCaption;
        for (int i = 0; i < LanguageLoaderCount; ++i) {
            const auto id = static_cast<LanguageLoader>(i);
            const QString name = QString::fromLatin1(app().texts.Loaders[i].name);
            auto inner = languageLoader(id);
            setLanguageLoader(id, [&calls, name, inner, id, &messageSeenByFirstCaption, &wordSeenByFirstCaption,
                                   &nameSeenByFirstCaption](int lang) {
                calls << QStringLiteral("%1(%2)").arg(name).arg(lang);
                if (id == LanguageLoader::LoadMainMenuTexts) {
                    messageSeenByFirstCaption = message(Msg::MsgReadFailed);
                    wordSeenByFirstCaption = word(Word::ItemTrigger);
                    nameSeenByFirstCaption = measureName(5);
                }
                if (inner)
                    inner(lang);
            });
        }
        ApplyLanguage(0);
        const QStringList expected = {
            "LoadMessageTable(0)",       "FillTokenTexts(0)",         "FillTreeLabels(0)",
            "FillMeasureNames(0)",       "LoadMainMenuTexts(0)",      "LoadTreeMenuTexts(0)",
            "LoadMainToolbarTexts(0)",   "LoadDataSheetTreeTexts(0)", "LoadControllerTexts(0)",
            "LoadAllWaveWindowTexts(0)", "LoadAllDataWindowTexts(0)", "LoadAllMeasureWindowTexts(0)",
            "LoadAllReplayWindowTexts(0)", "LoadAllStoredWaveWindowTexts(0)",
        };
        QCOMPARE(calls, expected);
        QCOMPARE(messageSeenByFirstCaption, QStringLiteral("不能读取设备数据！"));
        QCOMPARE(wordSeenByFirstCaption, QStringLiteral("触发系统"));
        QCOMPARE(nameSeenByFirstCaption, QStringLiteral("均方根值"));
    }

    // Rows of windows that do not exist yet do nothing; the text rows are set
    // from the start.
    void captionRowsStartEmpty()
    {
        for (int i = 0; i < LanguageLoaderCount; ++i) {
            const bool textRow = i <= int(LanguageLoader::FillMeasureNames);
            QCOMPARE(bool(app().texts.Loaders[i].run), textRow);
            QCOMPARE(int(app().texts.Loaders[i].id), i);
        }
        ApplyLanguage(1); // must not throw on empty rows
        QCOMPARE(word(Word::WordRun), QStringLiteral("RUN"));
        setLanguageLoader(LanguageLoader::LoadControllerTexts, [](int) {});
        setLanguageLoader(LanguageLoader::LoadControllerTexts, {});
        ApplyLanguage(0);
        QCOMPARE(word(Word::WordRun), QStringLiteral("运行"));
    }

    void rebuildHookDoesNothingUntilSet()
    {
        RebuildCtrlTreeKeepExpanded();
        int rebuilt = 0;
        setCtrlTreeRebuild([&] { ++rebuilt; });
        RebuildCtrlTreeKeepExpanded();
        QCOMPARE(rebuilt, 1);
    }

    // The switch ticks the menu, applies the new language, stores it and then
    // rebuilds the controller tree in the new language.
    void switchRunsTheSequence()
    {
        store(QStringLiteral("1"));
        LoadLanguageSetting();
        ApplyLanguage(languageIndex());
        QStringList events;
        setLanguageMenuTick([&](bool chinese) { events << (chinese ? "tick zh" : "tick en"); });
        setLanguageLoader(LanguageLoader::LoadControllerTexts,
                          [&](int lang) { events << QStringLiteral("controller %1 index %2").arg(lang).arg(languageIndex()); });
        setCtrlTreeRebuild([&] {
            events << QStringLiteral("rebuild stored=%1 label=%2").arg(stored(), word(Word::ItemTrigger));
        });
        SwitchLanguage(0);
        const QStringList expected = {"tick zh", "tick zh", "controller 0 index 0",
                                      QStringLiteral("rebuild stored=0 label=触发系统")};
        QCOMPARE(events, expected);
        QCOMPARE(languageIndex(), 0);
        QCOMPARE(message(Msg::MsgDeviceNotFound), QStringLiteral("设备未找到!"));
    }

    void switchToLanguageInForceRunsAgain()
    {
        app().texts.LanguageIndex = 1;
        ApplyLanguage(1);
        store(QStringLiteral("junk")); // shows that the switch writes again
        int rebuilt = 0;
        setCtrlTreeRebuild([&] { ++rebuilt; });
        SwitchLanguage(1);
        QCOMPARE(stored(), QStringLiteral("1"));
        QCOMPARE(rebuilt, 1);
        QCOMPARE(word(Word::ItemTrigger), QStringLiteral("Trigger"));
    }
};

QTEST_GUILESS_MAIN(TestLoadLanguage)
#include "tst_loadlanguage.moc"
