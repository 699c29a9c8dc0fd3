#include "platform/settingsstore.h"

#include "support/filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

// The per-user store against an INI file in a temporary folder.
class TestSettingsStore : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString ini_;

    void writeRaw(const QByteArray &text)
    {
        QFile f(ini_);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        ini_ = dir_.filePath(QStringLiteral("store/Kelvoscope.ini"));
        QFile::remove(ini_);
        setSettingsFile(ini_);
    }
    void cleanup() { setSettingsFile(QString()); }

    void userStoreByDefault()
    {
        setSettingsFile(QString());
        QVERIFY(settingsFilePath().endsWith(QLatin1String("/Kelvoscope/Kelvoscope.ini")));
        setSettingsFile(ini_);
        QCOMPARE(settingsFilePath(), ini_);
    }

    // A test program's default store is a file of its own (the test guard's
    // folder), never the store of the user who runs the tests.
    void aTestNeverReachesTheUsersStore()
    {
        setSettingsFile(QString());
        const QString path = settingsFilePath();
        setSettingsFile(ini_);
        QVERIFY2(!path.startsWith(QDir::homePath() + QStringLiteral("/.config/")), qPrintable(path));
        QVERIFY2(path.startsWith(QDir::tempPath() + QStringLiteral("/kelvotest-")), qPrintable(path));
    }

    void missingKeyGivesDefault()
    {
        QCOMPARE(GetSetting("General_QM4100D", "StartupLoadCtrl", "False"), QStringLiteral("False"));
        QVERIFY(GetSetting("General_QM4100D", "StartupLoadCtrl").isEmpty());
        QVERIFY(!HasSetting("General_QM4100D", "StartupLoadCtrl"));
        QVERIFY(!QFile::exists(ini_)); // reads create nothing
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << "Kelvoscope_Language" << "Language" << "1";
        QTest::newRow("blanks in names") << "IO Settings_QM4100D" << "Refresh Interval" << "1000";
        QTest::newRow("empty value") << "Recent Sheet_QM4100D" << "RecentFile1" << "";
        QTest::newRow("comma") << "Recent Ctrl_QM4100D" << "RecentFile1" << "/home/u/a, b.ctl";
        QTest::newRow("chinese path") << "Recent Ctrl_QM4100D" << "RecentFile2" << "/home/u/数据/波形.dsh";
        QTest::newRow("leading at") << "Settings_QM4100D" << "MainLeft" << "@Variant(x)";
        QTest::newRow("quotes and backslash") << "Settings_QM4100D" << "Note" << "a \"b\" \\c;d=e";
        QTest::newRow("blanks kept") << "Settings_QM4100D" << "Pad" << "  x  ";
    }
    void roundTrip()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QVERIFY(SaveSetting(section, key, value));
        QVERIFY(QFile::exists(ini_));
        QVERIFY(HasSetting(section, key));
        QCOMPARE(GetSetting(section, key, "<default>"), value);
        // and as a fresh reader sees it from the file
        QSettings fresh(ini_, QSettings::IniFormat);
        QCOMPARE(fresh.value(section + '/' + key).toString(), value);
    }

    void sectionsAreGroupsOfTheIniFile()
    {
        QVERIFY(SaveSetting("Kelvoscope_Language", "Language", "0"));
        QVERIFY(SaveSetting("General_QM4100D", "StartupCheckHardware", "True"));
        QFile f(ini_);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY(text.contains("[Kelvoscope_Language]\nLanguage=0\n"));
        QVERIFY(text.contains("[General_QM4100D]\nStartupCheckHardware=True\n"));
        // Same key in another section is another value.
        QCOMPARE(GetSetting("General_QM4100D", "Language", "none"), QStringLiteral("none"));
    }

    void overwriteKeepsOtherKeys()
    {
        QVERIFY(SaveSetting("Refresh_QM4100D", "Refresh Type", "Single"));
        QVERIFY(SaveSetting("Refresh_QM4100D", "Refresh Interval", "1000"));
        QVERIFY(SaveSetting("Refresh_QM4100D", "Refresh Type", "Auto"));
        QCOMPARE(GetSetting("Refresh_QM4100D", "Refresh Type"), QStringLiteral("Auto"));
        QCOMPARE(GetSetting("Refresh_QM4100D", "Refresh Interval"), QStringLiteral("1000"));
    }

    // Numbered keys come back in number order, whatever the file's order.
    void wholeSectionInNumberOrder()
    {
        for (int n : {1, 2, 3, 4, 10})
            QVERIFY(SaveSetting("Recent Ctrl_QM4100D", QStringLiteral("RecentFile%1").arg(n),
                                QStringLiteral("/f%1").arg(n)));
        QVERIFY(SaveSetting("Recent Sheet_QM4100D", "RecentFile1", "/other"));
        const auto pairs = GetAllSettings("Recent Ctrl_QM4100D");
        QCOMPARE(pairs.size(), 5);
        const QStringList keys = {"RecentFile1", "RecentFile2", "RecentFile3", "RecentFile4", "RecentFile10"};
        for (int i = 0; i < pairs.size(); ++i) {
            QCOMPARE(pairs[i].first, keys[i]);
            QCOMPARE(pairs[i].second, QStringLiteral("/f") + keys[i].mid(10));
        }
        QVERIFY(GetAllSettings("No Such Section").isEmpty());
    }

    // A hand-edited file: an unquoted list is read back as its text, a value
    // of no text form counts as missing.
    void handEditedValues()
    {
        QDir().mkpath(QFileInfo(ini_).path());
        writeRaw("[Kelvoscope_Language]\nLanguage=1,2\n[General_QM4100D]\nStartupLoadSheet=@Invalid()\n"
                 "[Settings_QM4100D]\nMainTop = 1200 \n");
        QCOMPARE(GetSetting("Kelvoscope_Language", "Language"), QStringLiteral("1,2"));
        QCOMPARE(GetSetting("General_QM4100D", "StartupLoadSheet", "False"), QStringLiteral("False"));
        QCOMPARE(GetSetting("Settings_QM4100D", "MainTop"), QStringLiteral("1200"));
    }

    void garbageFileReadsAsDefaults()
    {
        QDir().mkpath(QFileInfo(ini_).path());
        writeRaw(QByteArray("\x00\xff\xfe[[[=\n=\n\x01", 12));
        QCOMPARE(GetSetting("Kelvoscope_Language", "Language", "1"), QStringLiteral("1"));
    }

    // A store with a line the INI reader does not understand still takes
    // writes: each one is written, reads back, and is reported as written, so
    // that a close saving several settings does not stop after the first.
    void malformedStoreTakesWrites_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("bracket in a section line") << QByteArray("[GeneMing[General_QM4100D]\nStartupCheckHardware=True\n");
        QTest::newRow("unclosed section") << QByteArray("[General_QM4100D\nStartupCheckHardware=True\n");
    }
    void malformedStoreTakesWrites()
    {
        QFETCH(QByteArray, text);
        QDir().mkpath(QFileInfo(ini_).path());
        writeRaw(text);
        QVERIFY(SaveSetting("IO Settings_QM4100D", "BaudRate", "19200"));
        QCOMPARE(GetSetting("IO Settings_QM4100D", "BaudRate"), QStringLiteral("19200"));
        QVERIFY(SaveSetting("IO Settings_QM4100D", "COM_Port", "3"));
        QCOMPARE(GetSetting("IO Settings_QM4100D", "COM_Port"), QStringLiteral("3"));
        QCOMPARE(GetSetting("IO Settings_QM4100D", "BaudRate"), QStringLiteral("19200"));
    }

    // A write that finds the disk full part way leaves the store as it was and
    // says so; the recent lists and options after the cut are not lost.
    void fullDiskKeepsTheStoreWhole()
    {
        for (int i = 1; i <= 4; ++i) {
            QVERIFY(SaveSetting("Recent Sheet_QM4100D", QStringLiteral("RecentFile%1").arg(i),
                                QStringLiteral("/home/bench/sheets/sheet%1.kvd").arg(i).repeated(8)));
            QVERIFY(SaveSetting("Recent Ctrl_QM4100D", QStringLiteral("RecentFile%1").arg(i),
                                QStringLiteral("/home/bench/ctrl/setup%1.rmt").arg(i).repeated(8)));
        }
        QVERIFY(SaveSetting("Settings_QM4100D", "MainWidth", "6500"));
        QFile f(ini_);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        const QStringList files = QDir(QFileInfo(ini_).path()).entryList(QDir::Files);
        bool saved = true;
        {
            const FileSizeLimit limit(rlim_t(before.size() / 2));
            QVERIFY(limit.active());
            saved = SaveSetting("Recent Ctrl_QM4100D", "RecentFile1", "/home/bench/ctrl/new.rmt");
        }
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        QVERIFY(!saved);
        QCOMPARE(QDir(QFileInfo(ini_).path()).entryList(QDir::Files), files); // no copy left behind
        QCOMPARE(GetSetting("Settings_QM4100D", "MainWidth"), QStringLiteral("6500"));
    }

    // Values of the same length written one after another, faster than the
    // file's time changes, each read back.
    void quickRewritesReadBack()
    {
        for (int i = 0; i < 20; ++i) {
            const QString v = QString::number(i % 10);
            QVERIFY(SaveSetting("IO Settings_QM4100D", "COM_Port", v));
            QCOMPARE(GetSetting("IO Settings_QM4100D", "COM_Port"), v);
        }
    }

    void unwritableStoreReportsFailure()
    {
        // The store's folder is a plain file: nothing can be written.
        const QString blocker = dir_.filePath(QStringLiteral("blocker"));
        QFile b(blocker);
        QVERIFY(b.open(QIODevice::WriteOnly));
        b.close();
        setSettingsFile(blocker + QStringLiteral("/Kelvoscope.ini"));
        QVERIFY(!SaveSetting("Kelvoscope_Language", "Language", "1"));
        QCOMPARE(GetSetting("Kelvoscope_Language", "Language", "d"), QStringLiteral("d"));
        QVERIFY(!SaveSetting("", "Language", "1"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
