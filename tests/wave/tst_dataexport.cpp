// The data table export file byte for byte against hand-made files, whatever
// the file's name, and saves that fail before or after the file was opened.

#include "app/appstate.h"
#include "support/filesizelimit.h"
#include "wave/dataexport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray golden(const QString &name)
{
    QFile f(QStringLiteral(KELVO_TEST_DATA "/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return "missing golden file " + name.toUtf8();
    return f.readAll();
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Three rows as a transfer leaves them: stale entries around them, and a
// voltage array that ends before the last row.
DataDoc threeRows()
{
    DataDoc d;
    d.Name = QStringLiteral("Data0");
    d.HasData = true;
    d.InfoLine = QStringLiteral("CH1 1.00V  500.0us 666.7kSa  Size=3  [Date:2026/12/9 23:00:00]");
    d.RowCount = 3;
    d.TimeTexts = QStringList{"stale", "-3.00E-04", "0.00E00", "2.99E-04", "stale"};
    d.ValueTexts = QStringList{"stale", "1.50E+00", "-1.20E-03"};
    return d;
}

} // namespace

class TestDataExport : public QObject {
    Q_OBJECT

private slots:
    void init() { resetApp(); }
    void cleanup() { resetApp(); }

    void sameTextWhateverTheName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("xls") << "table.xls";
        QTest::newRow("txt") << "table.txt";
        QTest::newRow("no extension") << "table";
        QTest::newRow("other") << "table.csv";
    }
    void sameTextWhateverTheName()
    {
        QFETCH(QString, name);
        DataDoc &doc = app().Sheet.DataDocs[5];
        doc = threeRows();
        const DataDoc before = doc;
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QString error;
        QVERIFY(ExportDataTable(path, 5, &error));
        QCOMPARE(contents(path), golden(QStringLiteral("export_rows.txt")));
        // Written under exactly the name given: nothing added.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{name});
        QCOMPARE(doc, before);
        QVERIFY(!app().Sheet.Modified);
    }

    void emptyRecordGivesNineLines()
    {
        DataDoc doc; // never refreshed: no rows, no info line
        const QByteArray text = DataTableExportText(doc);
        QCOMPARE(text, golden(QStringLiteral("export_empty.txt")));
        QCOMPARE(text.count("\r\n"), 9);
        // A record without data is written all the same.
        DataDoc noData = threeRows();
        noData.HasData = false;
        QCOMPARE(DataTableExportText(noData), DataTableExportText(threeRows()));
    }

    void rowLines_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("1") << 1 << QByteArray(" 1 \tT1\tV1\r");
        QTest::newRow("1000") << 1000 << QByteArray(" 1000 \tT1000\tV1000\r");
        QTest::newRow("17000") << 17000 << QByteArray(" 17000 \tT17000\tV17000\r");
    }
    void rowLines()
    {
        QFETCH(int, row);
        QFETCH(QByteArray, line);
        DataDoc doc;
        doc.RowCount = 17000;
        for (int k = 0; k <= 17000; ++k) {
            doc.TimeTexts << QStringLiteral("T%1").arg(k);
            doc.ValueTexts << QStringLiteral("V%1").arg(k);
        }
        const QList<QByteArray> lines = DataTableExportText(doc).split('\n');
        QCOMPARE(lines.size(), 9 + 17000 + 1);
        QCOMPARE(lines[8 + row], line);
        QVERIFY(lines.last().isEmpty()); // nothing after the last row's line end
    }

    // A text holding a line break is written up to it: every line of the
    // file ends in CR LF and no CR or LF stands inside one.
    void lineBreakInATextEndsIt_data()
    {
        QTest::addColumn<QString>("brk");
        QTest::newRow("CR") << "\r";
        QTest::newRow("LF") << "\n";
        QTest::newRow("CR LF") << "\r\n";
    }
    void lineBreakInATextEndsIt()
    {
        QFETCH(QString, brk);
        DataDoc doc = threeRows();
        doc.InfoLine = QStringLiteral("CH1 1.00V") + brk + QStringLiteral("junk");
        doc.TimeTexts[2] = QStringLiteral("0.00E00") + brk;
        doc.ValueTexts[1] = QStringLiteral("1.50E+00") + brk + QStringLiteral("9");
        const QByteArray file = DataTableExportText(doc);
        QCOMPARE(file.count('\r'), file.count("\r\n"));
        QCOMPARE(file.count('\n'), file.count("\r\n"));
        const QList<QByteArray> lines = file.split('\n');
        QCOMPARE(lines.size(), 9 + 3 + 1);
        QCOMPARE(lines[4], QByteArray("CH1 1.00V\r"));
        QCOMPARE(lines[9], QByteArray(" 1 \t-3.00E-04\t1.50E+00\r"));
        QCOMPARE(lines[10], QByteArray(" 2 \t0.00E00\t-1.20E-03\r"));
    }

    void negativeRowCountWritesNoRows()
    {
        DataDoc doc = threeRows();
        doc.RowCount = -2;
        QCOMPARE(DataTableExportText(doc).count("\r\n"), 9);
    }

    void replacesAnExistingFileWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("old.xls"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(20000, 'x'));
        }
        app().Sheet.DataDocs[0] = threeRows();
        QVERIFY(ExportDataTable(path, 0));
        QCOMPARE(contents(path), golden(QStringLiteral("export_rows.txt")));
    }

    void failedSavesKeepThePreviousFile_data()
    {
        QTest::addColumn<bool>("opened"); // the failure comes after the file was opened
        QTest::newRow("cannot open") << false;
        QTest::newRow("write fails after open") << true;
    }
    void failedSavesKeepThePreviousFile()
    {
        QFETCH(bool, opened);
        QTemporaryDir dir;
        const QString path = opened ? dir.filePath(QStringLiteral("table.xls"))
                                    : dir.filePath(QStringLiteral("missing/table.xls"));
        const QByteArray previous = "the previous export\r\n";
        if (opened) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(previous);
        }
        app().Sheet.DataDocs[0] = threeRows();
        QString error;
        bool ok = true;
        {
            FileSizeLimit limit(64); // the disk "fills up" after 64 bytes
            if (opened && !limit.active())
                QSKIP("cannot limit the file size here");
            ok = ExportDataTable(path, 0, &error);
        }
        QVERIFY(!ok);
        QVERIFY(!error.isEmpty());
        if (opened)
            QCOMPARE(contents(path), previous);
        else
            QVERIFY(!QFile::exists(path));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), opened ? QStringList{"table.xls"} : QStringList{});
    }

    void slotOutOfRange()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.txt"));
        QString error;
        QVERIFY(!ExportDataTable(path, 18, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!ExportDataTable(path, -1));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(TestDataExport)
#include "tst_dataexport.moc"
