#include "app/appstate.h"
#include "common/defaultwords.h"
#include "controller/ctrlfile.h"
#include "texts/loadlanguage.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include "support/filesizelimit.h"

// The control file: the golden files of the defaults, files edited by hand,
// and failures.
class TestCtrlFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    static QString u(const char *s) { return QString::fromUtf8(s); }

    static QByteArray golden(const char *name)
    {
        QFile f(QStringLiteral(KELVO_TEST_DATA "/") + QLatin1String(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll();
    }

    static CtrlSettings defaultsIn(int lang)
    {
        app().texts.LanguageIndex = lang;
        ApplyLanguage(lang);
        CtrlSettings s;
        s.reset();
        return s;
    }

    // A record with a distinct text in every place the file keeps.
    static CtrlSettings distinct()
    {
        CtrlSettings s;
        int k = 0;
        for (const CtrlSettingsField &f : ctrlSettingsFields()) {
            if (f.text) {
                s.*f.text = QStringLiteral("v%1").arg(++k);
            } else {
                for (int e = 0; e < CtrlSettings::ArraySize; ++e)
                    (s.*f.array)[e] = QStringLiteral("a%1_%2").arg(++k).arg(e);
            }
        }
        return s;
    }

    QString write(const char *name, const QByteArray &bytes)
    {
        const QString path = dir_.filePath(QLatin1String(name));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return {};
        f.write(bytes);
        return path;
    }

    // The golden file of one language with line `line` (1-based) replaced.
    static QByteArray withLine(QByteArray file, int line, const QByteArray &text)
    {
        QList<QByteArray> lines = file.split('\n');
        lines[line - 1] = text + '\r';
        return lines.join('\n');
    }

private slots:
    void init()
    {
        resetApp();
        QVERIFY(dir_.isValid());
    }
    void cleanup() { setDefaultWordSource({}); }

    void goldenDefaults_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("file");
        QTest::newRow("english") << int(LanguageEnglish) << "defaults_en.rmt";
        QTest::newRow("chinese") << int(LanguageChinese) << "defaults_zh.rmt";
    }
    // The defaults of New are written byte for byte as the golden file, through
    // a real file, and read back into a record with other texts give them again.
    void goldenDefaults()
    {
        QFETCH(int, lang);
        QFETCH(QString, file);
        const QByteArray expected = golden(file.toLatin1().constData());
        QCOMPARE(expected.count("\r\n"), ControlFileLines);

        const CtrlSettings defaults = defaultsIn(lang);
        const QString path = dir_.filePath(file);
        QString error;
        QVERIFY(WriteControlFile(path, defaults, &error));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray written = f.readAll();
        QCOMPARE(written, expected);
        QVERIFY(!written.startsWith("\xEF\xBB\xBF"));

        CtrlSettings back = distinct();
        QCOMPARE(ReadControlFile(path, back), ControlFileRead::Ok);
        // Everything but the LA trace sizes, which the file does not keep, and
        // the arrays' elements 0 and 17.
        CtrlSettings want = defaults;
        const CtrlSettings before = distinct();
        want.LASizeHi = before.LASizeHi;
        want.LASizeLo = before.LASizeLo;
        for (auto arr : {&CtrlSettings::LAChanOn, &CtrlSettings::LAChanPos, &CtrlSettings::PatCode,
                         &CtrlSettings::DurCode}) {
            (want.*arr)[0] = (before.*arr)[0];
            (want.*arr)[17] = (before.*arr)[17];
        }
        QCOMPARE(back, want);
    }

    // Every place of the file holds its own member: a record of distinct texts
    // comes back whole, except the LA sizes and the unused array elements.
    void roundTripEveryMember()
    {
        const CtrlSettings s = distinct();
        const QByteArray bytes = ControlFileBytes(s);
        QCOMPARE(bytes.count("\r\n"), ControlFileLines);
        QVERIFY(bytes.endsWith("\"\r\n"));
        CtrlSettings back;
        int fields = 0;
        QCOMPARE(ParseControlFile(bytes, back, &fields), ControlFileRead::Ok);
        QCOMPARE(fields, ControlFileLines - 1);
        CtrlSettings want = s;
        want.LASizeHi.clear();
        want.LASizeLo.clear();
        for (auto arr : {&CtrlSettings::LAChanOn, &CtrlSettings::LAChanPos, &CtrlSettings::PatCode,
                         &CtrlSettings::DurCode}) {
            (want.*arr)[0].clear();
            (want.*arr)[17].clear();
        }
        QCOMPARE(back, want);
        QVERIFY(!bytes.contains("v22\"") && !bytes.contains("v23\"")); // LASizeHi, LASizeLo
    }

    // No word is translated on reading: a file saved in Chinese opened while
    // the program runs in English fills the record with the Chinese words.
    void chineseWordsReadInEnglish()
    {
        defaultsIn(LanguageEnglish);
        CtrlSettings s;
        QCOMPARE(ParseControlFile(golden("defaults_zh.rmt"), s), ControlFileRead::Ok);
        QCOMPARE(s.RunStop, u("运行"));
        QCOMPARE(s.TrigMethod, u("边沿触发"));
        QCOMPARE(s.LAChanOn[16], u("关闭"));
        QCOMPARE(s.AltCH2PulseMode, u("+Less Than"));
        QCOMPARE(s.PulseMode, u("正脉宽小于"));
    }

    void handEdited_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("runStop");
        QTest::addColumn<QString>("ch1Display");
        QTest::addColumn<QString>("ch1VoltDiv");
        QTest::addColumn<QString>("dispGrid");

        const QByteArray en = golden("defaults_en.rmt");
        const QByteArray head = "\"Karvo Technologies,Inc. QM4100D Controller\"\r\n";
        // An unquoted field with a comma splits: the text after the comma is the next field.
        QTest::newRow("comma splits") << head + "STOP,OFF\r\n\"2.00V\"\r\n" << "STOP" << "OFF" << "2.00V" << "keep";
        // A quoted field ends at its closing quote; the rest up to the comma is skipped.
        QTest::newRow("after the quote") << head + "\"STOP\"junk,\"OFF\"\r\n" << "STOP" << "OFF" << "keep" << "keep";
        // A quoted field without its closing quote ends at its line's end.
        QTest::newRow("unclosed quote") << head + "\"STOP\r\n\"OFF\"\r\n" << "STOP" << "OFF" << "keep" << "keep";
        QTest::newRow("blanks before") << head + "   \"STOP\"\r\n\t OFF\r\n" << "STOP" << "OFF" << "keep" << "keep";
        QTest::newRow("empty line") << head + "\r\n\"OFF\"\r\n" << "" << "OFF" << "keep" << "keep";
        QTest::newRow("LF only") << QByteArray(en).replace("\r\n", "\n") << "RUN" << "ON" << "1.00V" << "FULL";
        QTest::newRow("no final line end") << en.left(en.size() - 2) << "RUN" << "ON" << "1.00V" << "FULL";
        QTest::newRow("UTF-8 BOM") << "\xEF\xBB\xBF" + head + "\"STOP\"\r\n" << "STOP" << "keep" << "keep" << "keep";
        QTest::newRow("header only") << head << "keep" << "keep" << "keep" << "keep";
        // A file with the right header and fewer lines fills what it has.
        QList<QByteArray> lines = en.split('\n');
        QByteArray hundred;
        for (int k = 0; k < 100; ++k)
            hundred += lines[k] + '\n';
        QTest::newRow("100 lines") << hundred << "RUN" << "ON" << "1.00V" << "keep";
        QTest::newRow("last line changed") << withLine(en, 194, "\"NONE\"") << "RUN" << "ON" << "1.00V" << "NONE";
    }
    void handEdited()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, runStop);
        QFETCH(QString, ch1Display);
        QFETCH(QString, ch1VoltDiv);
        QFETCH(QString, dispGrid);
        CtrlSettings s;
        s.RunStop = s.CH1Display = s.CH1VoltDiv = s.DispGrid = QStringLiteral("keep");
        QCOMPARE(ParseControlFile(bytes, s), ControlFileRead::Ok);
        QCOMPARE(s.RunStop, runStop);
        QCOMPARE(s.CH1Display, ch1Display);
        QCOMPARE(s.CH1VoltDiv, ch1VoltDiv);
        QCOMPARE(s.DispGrid, dispGrid);
    }

    // A file of 100 lines fills the members of lines 2 to 100 and no more.
    void shortFileStopsAtItsEnd()
    {
        const QList<QByteArray> lines = distinctFileLines();
        QByteArray bytes;
        for (int k = 0; k < 100; ++k)
            bytes += lines[k] + "\r\n";
        CtrlSettings s;
        s.AltCH1EdgeHoldoff = QStringLiteral("keep"); // line 101 would be the next field
        s.CH2Delay = QStringLiteral("old");           // a member within the 100 lines
        int fields = 0;
        QCOMPARE(ParseControlFile(bytes, s, &fields), ControlFileRead::Ok);
        QCOMPARE(fields, 99);
        QCOMPARE(s.CH2Delay, distinct().CH2Delay);
        QCOMPARE(s.AltCH1EdgeHoldoff, QStringLiteral("keep"));
        QCOMPARE(s.DispGrid, QString());
    }

    void wrongHeader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray en = golden("defaults_en.rmt");
        QTest::newRow("other model") << withLine(en, 1, "\"Karvo Technologies,Inc. QM4200D Controller\"");
        QTest::newRow("letter case") << withLine(en, 1, "\"Karvo Technologies,Inc. QM4100D controller\"");
        QTest::newRow("unquoted header") << withLine(en, 1, "Karvo Technologies,Inc. QM4100D Controller");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("binary") << QByteArray("\x00\x01\xff\xfe", 4);
        QTest::newRow("too large") << en + QByteArray(ControlFileMaxBytes, 'x');
    }
    // A wrong header changes nothing.
    void wrongHeader()
    {
        QFETCH(QByteArray, bytes);
        const CtrlSettings before = distinct();
        CtrlSettings s = before;
        QCOMPARE(ParseControlFile(bytes, s), ControlFileRead::BadHeader);
        QCOMPARE(s, before);
    }

    // Files written elsewhere in GB18030 are read with their Chinese words.
    void gb18030File()
    {
        const QString zh = QString::fromUtf8(golden("defaults_zh.rmt"));
        QStringEncoder gb("GB18030");
        QVERIFY(gb.isValid());
        const QByteArray bytes = gb.encode(zh);
        QVERIFY(bytes != zh.toUtf8());
        CtrlSettings s;
        QCOMPARE(ParseControlFile(bytes, s), ControlFileRead::Ok);
        QCOMPARE(s.RunStop, u("运行"));
        QCOMPARE(s.DispGrid, u("完全"));
    }

    // A file of this program cut short inside a Chinese character (a copy
    // that stopped halfway) fills the members it holds with their Chinese
    // words and leaves the rest as they were.
    void truncatedInsideACharacter_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("bytesOfLine");
        QTest::addColumn<QString>("lastRead");
        QTest::newRow("inside the trigger method") << 65 << 5 << u("边");
        QTest::newRow("inside the first character") << 65 << 3 << QString();
        QTest::newRow("inside the last line") << 194 << 5 << u("完");
    }
    void truncatedInsideACharacter()
    {
        QFETCH(int, line);
        QFETCH(int, bytesOfLine);
        QFETCH(QString, lastRead);
        const QList<QByteArray> lines = golden("defaults_zh.rmt").split('\n');
        QByteArray bytes;
        for (int k = 0; k < line - 1; ++k)
            bytes += lines[k] + '\n';
        bytes += lines[line - 1].left(bytesOfLine); // the quote and part of a character
        CtrlSettings s;
        s.TrigMethod = s.EdgeSlope = s.DispGrid = QStringLiteral("keep");
        QCOMPARE(ParseControlFile(bytes, s), ControlFileRead::Ok);
        QCOMPARE(s.RunStop, u("运行"));
        QCOMPARE(s.CH1Coupling, u("交流"));
        QCOMPARE(line == 65 ? s.TrigMethod : s.DispGrid, lastRead);
        QCOMPARE(s.EdgeSlope, line == 65 ? QStringLiteral("keep") : u("上升沿"));
    }

    void unreadableFile()
    {
        const CtrlSettings before = distinct();
        CtrlSettings s = before;
        QString error;
        QCOMPARE(ReadControlFile(dir_.filePath("missing.rmt"), s, &error), ControlFileRead::OpenFailed);
        QVERIFY(!error.isEmpty());
        QCOMPARE(ReadControlFile(dir_.path(), s, &error), ControlFileRead::OpenFailed); // a folder
        QCOMPARE(s, before);
    }

    // A failed write reports the system's text.
    void failedWrite()
    {
        const QString file = write("plain.rmt", "x");
        QString error;
        QVERIFY(!WriteControlFile(dir_.filePath("no/such/folder/x.rmt"), distinct(), &error));
        QVERIFY(!error.isEmpty());
        error.clear();
        QVERIFY(!WriteControlFile(file + "/x.rmt", distinct(), &error)); // under a plain file
        QVERIFY(!error.isEmpty());
        error.clear();
        QVERIFY(!WriteControlFile(dir_.path(), distinct(), &error)); // a folder
        QVERIFY(!error.isEmpty());
        QVERIFY(QFileInfo(dir_.path()).isDir());
    }

    // A write that fails leaves the previous file whole.
    void failedWriteKeepsOldFile()
    {
        const QString path = write("old.rmt", golden("defaults_en.rmt"));
        QVERIFY(!path.isEmpty());
        QString error;
        bool ok = true;
        {
            FileSizeLimit limit(64); // the disk "fills up" after 64 bytes
            QVERIFY(limit.active());
            ok = WriteControlFile(path, distinct(), &error);
        }
        QVERIFY(!ok);
        QVERIFY(!error.isEmpty());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), golden("defaults_en.rmt"));
    }

private:
    static QList<QByteArray> distinctFileLines()
    {
        QList<QByteArray> lines = ControlFileBytes(distinct()).split('\n');
        for (QByteArray &l : lines)
            l.chop(1); // the CR
        return lines;
    }
};

QTEST_GUILESS_MAIN(TestCtrlFile)
#include "tst_ctrlfile.moc"
