// The CSV export of stored waveforms, byte for byte against files written
// out here by hand, for both layouts and every channel combination; the
// number format, the progress steps and the refusals.

#include "storedwave/wavemaker.h"

#include "app/appstate.h"
#include "storedwave/csvexport.h"
#include "storedwave/wavefile.h"

#include <QLocale>
#include <QtTest>

namespace {

// Six points at 1 MS/s, no delay: times -3 us .. 2 us. CH1 saved at 1 V/div
// without offset, CH2 at 0.5 V/div with 0.5 V (25 levels).
StoredWave sixPoints(bool ch1, bool ch2, bool alternate)
{
    StoredWave w;
    w.HasData = true;
    w.TrigMode = alternate ? QStringLiteral("ALTERNATION") : QStringLiteral("EDGE");
    w.Setup.CH1Valid = ch1 ? 1 : 0;
    w.Setup.CH2Valid = ch2 ? 1 : 0;
    w.SampleCount = 6;
    w.SampleRate = 1e6f;
    w.Ch1SampleCount = 6;
    w.Ch1SampleRate = 1e6f;
    w.Ch2SampleCount = 6;
    w.Ch2SampleRate = 2e6f;
    w.Ch2Delay = 1e-6;
    w.SavedCh1VoltDiv = 1.0f;
    w.SavedCh1Offset = 0.0f;
    w.SavedCh2VoltDiv = 0.5f;
    w.SavedCh2Offset = 0.5f;
    // Shown as acquired: the display scale equals the one the levels were taken at.
    w.SavedCh1AcqVoltDiv = 1.0f;
    w.SavedCh1AcqOffset = 0;
    w.SavedCh2AcqVoltDiv = 0.5f;
    w.SavedCh2AcqOffset = 25;
    w.Ch1Samples = {25, 125, 225, 100, 150, 112, 0};
    w.Ch2Samples = {100, 50, 0, 150, 75, 101, 0};
    return w;
}

QByteArray lines(std::initializer_list<const char *> ls)
{
    QByteArray out;
    for (const char *l : ls)
        out.append(l).append("\r\n");
    return out;
}

// The second field of every row (the first channel's volts).
QByteArrayList voltsColumn(const QByteArray &csv)
{
    QByteArrayList out;
    const QByteArrayList rows = csv.split('\n');
    for (qsizetype i = 2; i < rows.size(); ++i)
        if (!rows[i].isEmpty())
            out << rows[i].trimmed().split(',').value(1);
    return out;
}

QByteArray exported(const StoredWave &w)
{
    CsvExportData d;
    if (prepareCsvExport(w, &d) != CsvRefusal::None)
        return "<refused>";
    return buildCsv(d);
}

} // namespace

class TestCsvExport : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void files_data();
    void files();
    void alternateCh2ShorterThanCh1();
    void alternateCh2LongerThanCh1();
    void alternateFileWithoutCh1_data();
    void alternateFileWithoutCh1();
    void snapshotGivesTheVolts();
    void noRowsGivesTheHeaderOnly();
    void timesCentreOnTheMiddleRow_data();
    void timesCentreOnTheMiddleRow();
    void numbers_data();
    void numbers();
    void progressSteps_data();
    void progressSteps();
    void refusals_data();
    void refusals();
    void commaLocaleChangesNothing();
};

void TestCsvExport::files_data()
{
    QTest::addColumn<bool>("ch1");
    QTest::addColumn<bool>("ch2");
    QTest::addColumn<bool>("alternate");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("normal, CH1") << true << false << false
                                 << lines({"X,CH1", "Second,Voltage", "-3.00E-06,4.00E+00", "-2.00E-06,0.00E00",
                                           "-1.00E-06,-4.00E00", "0.00E00,1.00E+00", "1.00E-06,-1.00E00",
                                           "2.00E-06,5.20E-01"});
    QTest::newRow("normal, CH2") << false << true << false
                                 << lines({"X,CH2", "Second,Voltage", "-3.00E-06,0.00E00", "-2.00E-06,1.00E+00",
                                           "-1.00E-06,2.00E+00", "0.00E00,-1.00E00", "1.00E-06,5.00E-01",
                                           "2.00E-06,-2.00E-02"});
    QTest::newRow("normal, both") << true << true << false
                                  << lines({"X,CH1,CH2", "Second,Voltage,Voltage", "-3.00E-06,4.00E+00,0.00E00",
                                            "-2.00E-06,0.00E00,1.00E+00", "-1.00E-06,-4.00E00,2.00E+00",
                                            "0.00E00,1.00E+00,-1.00E00", "1.00E-06,-1.00E00,5.00E-01",
                                            "2.00E-06,5.20E-01,-2.00E-02"});
    QTest::newRow("alternate, CH1") << true << false << true
                                    << lines({"X(CH1),CH1", "Second[S],Voltage[V]", "-3.00E-06,4.00E+00",
                                              "-2.00E-06,0.00E00", "-1.00E-06,-4.00E00", "0.00E00,1.00E+00",
                                              "1.00E-06,-1.00E00", "2.00E-06,5.20E-01"});
    // CH2 has its own rate (2 MS/s) and delay (1 us).
    QTest::newRow("alternate, CH2") << false << true << true
                                    << lines({"X(CH1),X(CH2),CH2", "Second[S],Second[S],Voltage[V]",
                                              "-3.00E-06,-5.00E-07,0.00E00", "-2.00E-06,0.00E00,1.00E+00",
                                              "-1.00E-06,5.00E-07,2.00E+00", "0.00E00,1.00E-06,-1.00E00",
                                              "1.00E-06,1.50E-06,5.00E-01", "2.00E-06,2.00E-06,-2.00E-02"});
    QTest::newRow("alternate, both") << true << true << true
                                     << lines({"X(CH1),CH1,X(CH2),CH2",
                                               "Second[S],Voltage[V],Second[S],Voltage[V]",
                                               "-3.00E-06,4.00E+00,-5.00E-07,0.00E00",
                                               "-2.00E-06,0.00E00,0.00E00,1.00E+00",
                                               "-1.00E-06,-4.00E00,5.00E-07,2.00E+00",
                                               "0.00E00,1.00E+00,1.00E-06,-1.00E00",
                                               "1.00E-06,-1.00E00,1.50E-06,5.00E-01",
                                               "2.00E-06,5.20E-01,2.00E-06,-2.00E-02"});
}

void TestCsvExport::files()
{
    QFETCH(bool, ch1);
    QFETCH(bool, ch2);
    QFETCH(bool, alternate);
    QFETCH(QByteArray, expected);
    QCOMPARE(exported(sixPoints(ch1, ch2, alternate)), expected);
}

void TestCsvExport::alternateCh2ShorterThanCh1()
{
    // CH2 holds 4 points, CH1 6: the last two rows keep their four fields,
    // CH2's empty.
    StoredWave w = sixPoints(true, true, true);
    w.Ch2SampleCount = 4;
    w.Ch2Samples = {100, 50, 0, 150, 0};
    const QByteArray csv = exported(w);
    QVERIFY(csv.endsWith(lines({"0.00E00,1.00E+00,1.00E-06,-1.00E00", "1.00E-06,-1.00E00,,", "2.00E-06,5.20E-01,,"})));
    // A damaged record whose CH1 array is shorter than its count: empty fields, nothing read past it.
    w.Ch1Samples = {25, 125};
    QVERIFY(exported(w).endsWith(lines({"1.00E-06,,,", "2.00E-06,,,"})));
}

void TestCsvExport::alternateCh2LongerThanCh1()
{
    // CH1 holds 4 points, CH2 6: CH2's last two points still get their rows,
    // CH1's fields empty there; the times stay centred on CH1's record.
    StoredWave w = sixPoints(true, true, true);
    w.Ch1SampleCount = 4;
    w.Ch1Samples = {25, 125, 225, 100, 0};
    const QByteArray csv = exported(w);
    QCOMPARE(csv.count("\r\n"), 2 + 6);
    QVERIFY(csv.contains(lines({"Second[S],Voltage[V],Second[S],Voltage[V]", "-2.00E-06,4.00E+00,0.00E00,0.00E00"})));
    QVERIFY(csv.endsWith(lines({"1.00E-06,1.00E+00,1.50E-06,-1.00E00", ",,2.00E-06,5.00E-01", ",,2.50E-06,-2.00E-02"})));
}

// An alternate-trigger file without CH1, whatever its CH1 count says:
// CH2's points are the rows, each with the CH1 time column the layout keeps
// (the times centred on CH2's record), CH2's time and volts.
void TestCsvExport::alternateFileWithoutCh1_data()
{
    QTest::addColumn<int>("ch1Points");
    QTest::newRow("N zero") << 0;
    QTest::newRow("N negative") << -5;
    QTest::newRow("N as CH2's") << 6;
    QTest::newRow("N larger") << 600;
}

void TestCsvExport::alternateFileWithoutCh1()
{
    QFETCH(int, ch1Points);
    WaveSpec s;
    s.trigMode = 4;
    s.points = ch1Points;
    s.ch1Present = 0;
    s.ch1.clear();
    s.ch2Present = 1;
    s.ch2Points = 6;
    s.ch2SampleRate = 2e6f;
    s.ch2DelayPs = 1000000; // 1 us
    s.ch2AcqOffset = 25;
    static const int ch2[] = {100, 50, 0, 150, 75, 101};
    s.ch2 = levels(6, [](qint64 i) { return ch2[i]; });
    StoredWave w;
    QCOMPARE(ParseWaveFile(waveFile(s), QStringLiteral("/alt.wfm"), w), WaveFileError::None);
    CsvExportData d;
    QCOMPARE(prepareCsvExport(w, &d), CsvRefusal::None);
    QList<int> steps;
    QCOMPARE(buildCsv(d, [&](int p, qint64) { steps << p; }),
             lines({"X(CH1),X(CH2),CH2", "Second[S],Second[S],Voltage[V]", "-3.00E-06,-5.00E-07,0.00E00",
                    "-2.00E-06,0.00E00,1.00E+00", "-1.00E-06,5.00E-07,2.00E+00", "0.00E00,1.00E-06,-1.00E00",
                    "1.00E-06,1.50E-06,5.00E-01", "2.00E-06,2.00E-06,-2.00E-02"}));
    QCOMPARE(steps, QList<int>({10, 20, 30, 40, 50, 60}));
}

void TestCsvExport::snapshotGivesTheVolts()
{
    StoredWave w = sixPoints(true, false, false);
    const QByteArray before = exported(w);
    w.Ch1VoltDiv = 5.0f; // stepped and dragged in the window after loading
    w.Ch1Offset = 2.0f;
    QCOMPARE(exported(w), before);

    // Levels taken at 1 V/div and offset 0, saved for display at 2 V/div and
    // -4 V: the volts are those of the acquisition (level 25 is +4 V), not
    // those the display scale would give the same level (+16 V).
    w.SavedCh1VoltDiv = 2.0f;
    w.SavedCh1Offset = -4.0f;
    QCOMPARE(exported(w), before);
    QCOMPARE(voltsColumn(before), QByteArrayList({"4.00E+00", "0.00E00", "-4.00E00", "1.00E+00", "-1.00E00", "5.20E-01"}));
    // An acquisition at 0.5 V/div and +1 division (25 levels): level 25 is
    // (125 - 25 - 25) * 0.5 / 25 = 1.5 V, level 225 is -2.5 V.
    w.SavedCh1AcqVoltDiv = 0.5f;
    w.SavedCh1AcqOffset = 25;
    QCOMPARE(voltsColumn(exported(w)),
             QByteArrayList({"1.50E+00", "-5.00E-01", "-2.50E00", "0.00E00", "-1.00E00", "-2.40E-01"}));
}

void TestCsvExport::noRowsGivesTheHeaderOnly()
{
    StoredWave w = sixPoints(true, true, false);
    w.SampleCount = 0;
    QList<int> steps;
    CsvExportData d;
    QCOMPARE(prepareCsvExport(w, &d), CsvRefusal::None);
    QCOMPARE(buildCsv(d, [&](int p, qint64) { steps << p; }), lines({"X,CH1,CH2", "Second,Voltage,Voltage"}));
    QVERIFY(steps.isEmpty());
    w.SampleCount = -5; // a negative count writes no rows either
    QCOMPARE(exported(w), lines({"X,CH1,CH2", "Second,Voltage,Voltage"}));
}

// The middle row, time 0 at no delay, is half the row count rounded halves
// to even: 601 rows centre on row 300, 603 on row 302.
void TestCsvExport::timesCentreOnTheMiddleRow_data()
{
    QTest::addColumn<bool>("alternate");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("zeroRow");
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("last");
    QTest::newRow("600 rows") << false << 600 << 300 << QByteArray("-3.00E-04") << QByteArray("2.99E-04");
    QTest::newRow("601 rows") << false << 601 << 300 << QByteArray("-3.00E-04") << QByteArray("3.00E-04");
    QTest::newRow("603 rows") << false << 603 << 302 << QByteArray("-3.02E-04") << QByteArray("3.00E-04");
    QTest::newRow("alternate, 601 rows") << true << 601 << 300 << QByteArray("-3.00E-04") << QByteArray("3.00E-04");
    QTest::newRow("alternate, 603 rows") << true << 603 << 302 << QByteArray("-3.02E-04") << QByteArray("3.00E-04");
}

void TestCsvExport::timesCentreOnTheMiddleRow()
{
    QFETCH(bool, alternate);
    QFETCH(int, rows);
    QFETCH(int, zeroRow);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, last);
    StoredWave w = sixPoints(true, false, alternate);
    w.SampleCount = w.Ch1SampleCount = rows;
    w.Ch1Samples = QList<qint16>(rows + 1, 125);
    QByteArrayList times;
    const QByteArrayList lines = exported(w).split('\n');
    for (qsizetype i = 2; i < lines.size(); ++i)
        if (!lines[i].isEmpty())
            times << lines[i].trimmed().split(',').value(0);
    QCOMPARE(times.size(), rows);
    QCOMPARE(times.indexOf(QByteArray("0.00E00")), zeroRow);
    QCOMPARE(times.first(), first);
    QCOMPARE(times.last(), last);
}

void TestCsvExport::numbers_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("12.5") << 12.5f << QStringLiteral("1.25E+01");
    QTest::newRow("1") << 1.0f << QStringLiteral("1.00E+00");
    QTest::newRow("0.5") << 0.5f << QStringLiteral("5.00E-01");
    QTest::newRow("0") << 0.0f << QStringLiteral("0.00E00");
    QTest::newRow("-0") << -0.0f << QStringLiteral("0.00E00");
    QTest::newRow("-0.002") << -0.002f << QStringLiteral("-2.00E-03");
    QTest::newRow("-2.5") << -2.5f << QStringLiteral("-2.50E00");
    QTest::newRow("-1") << -1.0f << QStringLiteral("-1.00E00");
    QTest::newRow("-12.5") << -12.5f << QStringLiteral("-1.25E01");
    QTest::newRow("rounds up to the next power") << 9.999f << QStringLiteral("1.00E+01");
    QTest::newRow("just below 1") << 0.99999f << QStringLiteral("1.00E00");
    QTest::newRow("half away from zero") << 1.125f << QStringLiteral("1.13E+00");
    QTest::newRow("negative half") << -1.125f << QStringLiteral("-1.13E00");
    QTest::newRow("123456") << 123456.0f << QStringLiteral("1.23E+05");
    QTest::newRow("1e-20") << 1e-20f << QStringLiteral("1.00E-20");
    QTest::newRow("largest single") << 3.4e38f << QStringLiteral("3.40E+38");
    QTest::newRow("below normal") << 1e-40f << QStringLiteral("1.00E-40");
    QTest::newRow("powers of ten") << 1000.0f << QStringLiteral("1.00E+03");
    QTest::newRow("0.001") << 0.001f << QStringLiteral("1.00E-03");
}

void TestCsvExport::numbers()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(csvNumber(value), text);
}

void TestCsvExport::progressSteps_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("rowsAtStep"); // rows written when each 10 % step came
    QTest::addColumn<int>("last");
    QTest::newRow("600 rows") << 600 << QList<int>{60, 120, 180, 240, 300, 360, 420, 480, 540, 600} << 100;
    QTest::newRow("15 rows, step 2, ends at 70") << 15 << QList<int>{2, 4, 6, 8, 10, 12, 14} << 70;
    QTest::newRow("25 rows, 100 at row 20") << 25 << QList<int>{2, 4, 6, 8, 10, 12, 14, 16, 18, 20} << 100;
    QTest::newRow("3 rows, step 1") << 3 << QList<int>{1, 2, 3} << 30;
    QTest::newRow("1 row") << 1 << QList<int>{1} << 10;
    QTest::newRow("6 rows: the step rounds to 1") << 6 << QList<int>{1, 2, 3, 4, 5, 6} << 60;
}

void TestCsvExport::progressSteps()
{
    QFETCH(int, rows);
    QFETCH(QList<int>, rowsAtStep);
    QFETCH(int, last);
    StoredWave w = sixPoints(true, false, false);
    w.SampleCount = rows;
    w.Ch1Samples = QList<qint16>(rows + 1, 125);
    CsvExportData d;
    QCOMPARE(prepareCsvExport(w, &d), CsvRefusal::None);
    QList<int> percents;
    QList<int> at;
    buildCsv(d, [&](int percent, qint64 written) {
        percents << percent;
        at << int(written);
    });
    QCOMPARE(at, rowsAtStep);
    QCOMPARE(percents.last(), last);
    for (int i = 0; i < percents.size(); ++i)
        QCOMPARE(percents[i], 10 * (i + 1));
}

void TestCsvExport::refusals_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<int>("refusal");
    // 0: no channel; 1: zero rate; 2: rate not a number; 3: zero saved CH1
    // volts/div; 4: zero saved CH2 volts/div with CH2 absent (exported);
    // 5: alternate, CH2's rate zero with CH2 written; 6, 7: CH1's saved
    // acquisition volts/div zero or not a number; 8: CH2's zero, CH2 absent.
    QTest::newRow("no channel") << 0 << int(CsvRefusal::NoChannel);
    QTest::newRow("zero rate") << 1 << int(CsvRefusal::BadScale);
    QTest::newRow("rate not a number") << 2 << int(CsvRefusal::BadScale);
    QTest::newRow("zero volts/div of a written channel") << 3 << int(CsvRefusal::BadScale);
    QTest::newRow("zero volts/div of an absent channel") << 4 << int(CsvRefusal::None);
    QTest::newRow("alternate, CH2 rate zero") << 5 << int(CsvRefusal::BadScale);
    QTest::newRow("zero acquisition volts/div of a written channel") << 6 << int(CsvRefusal::BadScale);
    QTest::newRow("acquisition volts/div not a number") << 7 << int(CsvRefusal::BadScale);
    QTest::newRow("zero acquisition volts/div of an absent channel") << 8 << int(CsvRefusal::None);
}

void TestCsvExport::refusals()
{
    QFETCH(int, change);
    QFETCH(int, refusal);
    StoredWave w = sixPoints(true, false, change == 5);
    switch (change) {
    case 0: w.Setup.CH1Valid = 0; break;
    case 1: w.SampleRate = 0; break;
    case 2: w.SampleRate = std::numeric_limits<float>::quiet_NaN(); break;
    case 3: w.SavedCh1VoltDiv = 0; break;
    case 4: w.SavedCh2VoltDiv = 0; break;
    case 5:
        w.Setup.CH2Valid = 1;
        w.Ch2SampleRate = 0;
        break;
    case 6: w.SavedCh1AcqVoltDiv = 0; break;
    case 7: w.SavedCh1AcqVoltDiv = std::numeric_limits<float>::quiet_NaN(); break;
    case 8: w.SavedCh2AcqVoltDiv = 0; break;
    }
    CsvExportData d;
    QCOMPARE(int(prepareCsvExport(w, &d)), refusal);
}

void TestCsvExport::commaLocaleChangesNothing()
{
    const QByteArray before = exported(sixPoints(true, true, false));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QByteArray after = exported(sixPoints(true, true, false));
    QLocale::setDefault(QLocale::c());
    QCOMPARE(after, before);
}

QTEST_GUILESS_MAIN(TestCsvExport)
#include "tst_csvexport.moc"
