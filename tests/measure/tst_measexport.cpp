// The measurement export file byte for byte against the golden texts in
// data/, in both languages, and a save that fails.

#include "app/appstate.h"
#include "common/constants.h"
#include "measure/measexport.h"
#include "measure/meastable.h"
#include "texts/loadlanguage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray golden(const char *name)
{
    QFile f(QStringLiteral(KELVO_TEST_DATA "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("missing golden file ") + name;
    return f.readAll();
}

// An item as a refresh and the limits dialog leave it: readings of CH1, some
// measurements enabled, one invalid reading and one reading holding a line
// feed.
void fillItem(MeasDoc &doc)
{
    doc.Name = QStringLiteral("Measure0");
    doc.HasData = true;
    doc.Info = QStringLiteral("CH1 1.00V  500.0us 666.7kSa  [Date:2026-12-09 23:00:00]");
    doc.Items.setNewItemLimits();
    const char *values[MeasCount] = {"3.28V", "1.64V", "-1.64V", "0.00uV", "1.60V", "-1.60V", "1.16V",
                                     "1.000kHz", "100.0us", "100.0us", "1.000ms", "500.0us", "500.0us",
                                     "2.50%", "2.50%", "3.20V", "50.0%", "50.0%\nextra"};
    for (int i = 0; i < MeasCount; ++i)
        doc.Items[i].Value = QString::fromUtf8(values[i]);
    for (int i : {int(MeasVpp), int(MeasFrequency), int(MeasRiseTime), int(MeasDutyPos), int(MeasVover)})
        doc.Items[i].Enabled = true;
    doc.Items[MeasFrequency].Under = 1500000.0; // 1.5 MHz
    doc.Items[MeasVpp].Under = 0.15;           // 150 mV
    doc.Items[MeasVpp].Over = 5.0;
    doc.Items[MeasVmin].Value = QStringLiteral("*****");
    doc.Items[MeasVmin].Enabled = true;
}

} // namespace

class TestMeasExport : public QObject {
    Q_OBJECT

private slots:
    void init() { resetApp(); }
    void cleanup() { resetApp(); }

    void golden_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<QString>("file");
        QTest::newRow("english") << 1 << "export_en.txt";
        QTest::newRow("chinese") << 0 << "export_zh.txt";
    }
    void golden()
    {
        QFETCH(int, lang);
        QFETCH(QString, file);
        ApplyLanguage(lang);
        MeasDoc &doc = app().Sheet.MeasDocs[3];
        fillItem(doc);
        DispMeasureRows(doc, lang); // the results the window last showed
        const MeasDoc before = doc;

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("meas.csv")); // any name: the same content
        QString error;
        QVERIFY(WriteMeasureExport(path, 3, &error));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QCOMPARE(bytes, ::golden(qPrintable(file)));
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(doc, before); // the export changes no record
        QVERIFY(!app().Sheet.Modified);
    }

    void neverRefreshedItem()
    {
        ApplyLanguage(1);
        MeasDoc doc;
        doc.Items.setNewItemLimits();
        doc.Items[MeasDutyNeg].Enabled = true;
        const QList<QByteArray> lines = MeasureExportText(doc).split('\n');
        QCOMPARE(lines.size(), 27); // 26 lines, each ended by CR LF
        // The maker's name is the program's one banner string.
        QCOMPARE(lines[0], (CompanyName + QStringLiteral(" -[Measure]\r")).toUtf8());
        QCOMPARE(lines[5], QByteArray("\r"));
        QCOMPARE(lines[8], QByteArray("Vpp\t\t\t\t\r"));
        QCOMPARE(lines[25], QByteArray("Duty-\t\t40.00%\t60.00%\t\r"));
    }

    // A text holding a line break is written up to it: every line of the
    // file ends in CR LF and no CR or LF stands inside one (the value was
    // already cut at its line feed; the info line and the result are too).
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
        ApplyLanguage(1);
        MeasDoc doc;
        fillItem(doc);
        doc.Info = QStringLiteral("a") + brk + QStringLiteral("b");
        doc.Items[MeasVpp].Value = QStringLiteral("3.28V") + brk + QStringLiteral("x");
        doc.Items[MeasVpp].Result = QStringLiteral("PASS") + brk + QStringLiteral("y");
        const QByteArray file = MeasureExportText(doc);
        QCOMPARE(file.count('\r'), file.count("\r\n"));
        QCOMPARE(file.count('\n'), file.count("\r\n"));
        const QList<QByteArray> lines = file.split('\n');
        QCOMPARE(lines.size(), 27);
        QCOMPARE(lines[5], QByteArray("a\r"));
        QCOMPARE(lines[8], QByteArray("Vpp\t3.28V\t150.000mV\t5.000V\tPASS\r"));
    }

    void failedSaveKeepsOldFile()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!WriteMeasureExport(dir.filePath(QStringLiteral("no/such/dir/m.xls")), 0, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!WriteMeasureExport(dir.filePath(QStringLiteral("m.xls")), 18, &error));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("m.xls"))));
    }
};

QTEST_MAIN(TestMeasExport)
#include "tst_measexport.moc"
