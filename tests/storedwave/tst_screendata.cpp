// The screen data of stored waveforms: windows and screen arrays of records
// built here, for both triggers, the three digital branches and the inputs
// that show nothing.

#include "storedwave/wavemaker.h"

#include "app/appstate.h"
#include "storedwave/screendata.h"
#include "storedwave/wavefile.h"

#include <QtTest>

#include <functional>
#include <limits>

namespace {

constexpr qint16 Mark = -99; // a screen entry the refresh did not write

// A normal-trigger record of n points at rate, time/div and position, CH1
// levels level(i), at 1 V/div with no offset now and at acquisition.
StoredWave record(qint32 n, float rate, double timeDiv, const std::function<int(qint64)> &level)
{
    StoredWave w;
    w.HasData = true;
    w.TrigMode = QStringLiteral("EDGE");
    w.SampleCount = n;
    w.SampleRate = rate;
    w.TimeDiv = timeDiv;
    w.AcqTimeDiv = timeDiv;
    w.Ch1VoltDiv = w.Ch1AcqVoltDiv = 1.0f;
    w.Ch2VoltDiv = w.Ch2AcqVoltDiv = 1.0f;
    w.ShowCH1 = true;
    w.Setup.CH1Valid = 1;
    w.Ch1Samples = QList<qint16>(n + 1, 0);
    for (qint64 i = 0; i < n; ++i)
        w.Ch1Samples[i] = qint16(level(i));
    w.Ch1Screen.fill(Mark);
    w.Ch2Screen.fill(Mark);
    w.LaScreen.fill(Mark);
    return w;
}

// 600 points at 1 MS/s over 50 us/div: the full width, two points a column.
StoredWave fullWidth(const std::function<int(qint64)> &level) { return record(600, 1e6f, 50e-6, level); }

bool untouched(const StoredWave::ScreenArray &a)
{
    return std::all_of(a.begin(), a.end(), [](qint16 v) { return v == Mark; });
}

} // namespace

class TestScreenData : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void fullWidthGivesRows();
    void oneColumnGivesTwoEntries();
    void nothingVisibleKeepsTheScreen_data();
    void nothingVisibleKeepsTheScreen();
    void newItemRefreshesHarmlessly();
    void verticalRescaleAndClamps_data();
    void verticalRescaleAndClamps();
    void biasedLevelsSaturateBeforeTheRescale();
    void fewerSamplesThanTheCountAreSkipped();
    void selectorsPickTheArrays();
    void alternateWindowsAreIndependent();
    void digitalBranches_data();
    void digitalBranches();
    void digitalWindowRate_data();
    void digitalWindowRate();
    void longRecordDigitalWindow();
    void digitalRowsReachTheEndOfTheRecord_data();
    void digitalRowsReachTheEndOfTheRecord();
    void restoredByteFormHoldsItsPoints();
    void shortDigitalArrayIsSkipped();
};

void TestScreenData::fullWidthGivesRows()
{
    StoredWave w = fullWidth([](qint64 i) { return int(25 + i % 200); });
    RefreshScreenData(w, ScreenSelector::All);
    QCOMPARE(w.Setup.FirstPoint, qint16(0));
    QCOMPARE(w.Setup.LastPoint, qint16(299));
    QCOMPARE(w.Ch1WinStart, 0);
    QCOMPARE(w.Ch1WinEnd, 599);
    for (int k = 0; k < 600; ++k)
        QCOMPARE(w.Ch1Screen[size_t(k)], qint16(k % 200)); // level - 25
    QCOMPARE(w.Ch1Screen[600], Mark);
    QVERIFY(untouched(w.Ch2Screen)); // CH2 not shown
}

void TestScreenData::oneColumnGivesTwoEntries()
{
    // Ten samples 2.5 columns apart end up in column 150.
    StoredWave w = record(10, 1e7f, 1e-3, [](qint64 i) { return int(100 + i); });
    w.Position = 1e-5;
    RefreshScreenData(w, ScreenSelector::All);
    QCOMPARE(w.Setup.FirstPoint, qint16(150));
    QCOMPARE(w.Setup.LastPoint, qint16(150));
    QCOMPARE(w.Ch1Screen[0], qint16(100 - 25));
    QCOMPARE(w.Ch1Screen[1], qint16(109 - 25));
    QCOMPARE(w.Ch1Screen[2], Mark);
}

void TestScreenData::nothingVisibleKeepsTheScreen_data()
{
    QTest::addColumn<double>("position");
    QTest::addColumn<float>("rate");
    QTest::addColumn<double>("timeDiv");
    QTest::addColumn<qint32>("count");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("far right") << 1.0 << 1e6f << 50e-6 << 600;
    QTest::newRow("far left") << -1.0 << 1e6f << 50e-6 << 600;
    QTest::newRow("zero rate") << 0.0 << 0.0f << 50e-6 << 600;
    QTest::newRow("zero time/div") << 0.0 << 1e6f << 0.0 << 600;
    QTest::newRow("time/div not a number") << 0.0 << 1e6f << nan << 600;
    QTest::newRow("zero count") << 0.0 << 1e6f << 50e-6 << 0;
}

void TestScreenData::nothingVisibleKeepsTheScreen()
{
    QFETCH(double, position);
    QFETCH(float, rate);
    QFETCH(double, timeDiv);
    QFETCH(qint32, count);
    StoredWave w = fullWidth([](qint64) { return 125; });
    w.Position = position;
    w.SampleRate = rate;
    w.TimeDiv = timeDiv;
    w.SampleCount = count;
    RefreshScreenData(w, ScreenSelector::All);
    QVERIFY(untouched(w.Ch1Screen));
    QVERIFY(w.Setup.LastPoint > 299);
}

void TestScreenData::newItemRefreshesHarmlessly()
{
    // Reset of an item that never held a file: everything zero, nothing shown.
    StoredWave w;
    w.ShowCH1 = w.ShowCH2 = w.ShowLA = true; // even with the flags set
    w.Ch1Screen.fill(Mark);
    for (int selector : {0, 1, 3, 7})
        RefreshScreenData(w, selector);
    QVERIFY(untouched(w.Ch1Screen));
    QVERIFY(w.Setup.LastPoint > 299);
    QVERIFY(w.Setup.LALastCol > 299);
}

void TestScreenData::verticalRescaleAndClamps_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<float>("voltDiv");
    QTest::addColumn<float>("offset");
    QTest::addColumn<qint16>("acqOffset");
    QTest::addColumn<int>("row");
    QTest::newRow("as taken") << 75 << 1.0f << 0.0f << qint16(0) << 50;
    QTest::newRow("half the volts/div") << 100 << 0.5f << 0.0f << qint16(0) << 50;
    QTest::newRow("offset one division up") << 125 << 1.0f << 1.0f << qint16(0) << 75;
    QTest::newRow("acquisition offset one division") << 100 << 1.0f << 0.0f << qint16(25) << 100;
    QTest::newRow("above the top line") << 30 << 0.25f << 0.0f << qint16(0) << 0;
    QTest::newRow("below the bottom line") << 220 << 0.25f << 0.0f << qint16(0) << 199;
    QTest::newRow("level 224 is the last row") << 224 << 1.0f << 0.0f << qint16(0) << 199;
    QTest::newRow("level 10 is row 0") << 10 << 1.0f << 0.0f << qint16(0) << 0;
}

void TestScreenData::verticalRescaleAndClamps()
{
    QFETCH(int, level);
    QFETCH(float, voltDiv);
    QFETCH(float, offset);
    QFETCH(qint16, acqOffset);
    QFETCH(int, row);
    StoredWave w = fullWidth([&](qint64) { return level; });
    w.Ch1VoltDiv = voltDiv;
    w.Ch1Offset = offset;
    w.Ch1AcqOffset = acqOffset;
    RefreshScreenData(w, ScreenSelector::CH1);
    QCOMPARE(int(w.Ch1Screen[0]), row);
    QCOMPARE(int(w.Ch1Screen[599]), row);
}

void TestScreenData::biasedLevelsSaturateBeforeTheRescale()
{
    // An older file's 255 carries a bias of 25: 280. Held to 255 it stands
    // for -5.2 divisions, at twice the volts/div -2.6: level 190, row 165.
    // Narrowed without care it would wrap to 24, far above the centre.
    StoredWave w = fullWidth([](qint64) { return 280; });
    w.Ch1VoltDiv = 2.0f;
    RefreshScreenData(w, ScreenSelector::CH1);
    QCOMPARE(w.Ch1Screen[0], qint16(165));
}

void TestScreenData::fewerSamplesThanTheCountAreSkipped()
{
    StoredWave w = fullWidth([](qint64) { return 125; });
    w.Ch1Samples.resize(300); // a record the data sheet cut short
    RefreshScreenData(w, ScreenSelector::All);
    QVERIFY(untouched(w.Ch1Screen));
    RefreshScreenData(w, ScreenSelector::CH1);
    QVERIFY(untouched(w.Ch1Screen));
    w.Ch1Samples.clear(); // a channel never loaded
    RefreshScreenData(w, ScreenSelector::CH1);
    QVERIFY(untouched(w.Ch1Screen));
}

void TestScreenData::selectorsPickTheArrays()
{
    StoredWave w = fullWidth([](qint64) { return 75; });
    w.Ch2Samples = QList<qint16>(601, 175);
    w.ShowCH2 = false; // CH2 held, not shown
    RefreshScreenData(w, ScreenSelector::CH2); // selector 1 does not look at the flag
    QCOMPARE(w.Ch2Screen[0], qint16(150));
    QVERIFY(untouched(w.Ch1Screen));
    w.Ch2Screen.fill(Mark);
    RefreshScreenData(w, ScreenSelector::All);
    QCOMPARE(w.Ch1Screen[0], qint16(50));
    QVERIFY(untouched(w.Ch2Screen));
    w.Ch1Screen.fill(Mark);
    RefreshScreenData(w, 2); // any other selector: the windows only
    QVERIFY(untouched(w.Ch1Screen));
}

void TestScreenData::alternateWindowsAreIndependent()
{
    StoredWave w;
    w.TrigMode = QStringLiteral("ALTERNATION");
    w.ShowCH1 = w.ShowCH2 = true;
    w.Ch1SampleCount = 600;
    w.Ch1SampleRate = 1e6f;
    w.Ch1TimeDiv = 50e-6;
    w.Ch2SampleCount = 300;
    w.Ch2SampleRate = 1e6f;
    w.Ch2TimeDiv = 25e-6;
    w.Ch2Position = 5.2e-6; // 5.2 columns on
    w.Ch1VoltDiv = w.Ch1AcqVoltDiv = w.Ch2VoltDiv = w.Ch2AcqVoltDiv = 1.0f;
    w.Ch1Samples = QList<qint16>(601, 100);
    w.Ch2Samples = QList<qint16>(301, 150);
    w.Ch1Screen.fill(Mark);
    w.Ch2Screen.fill(Mark);
    RefreshScreenData(w, ScreenSelector::CH1);
    QCOMPARE(w.Setup.CH1FirstPoint, qint16(0));
    QCOMPARE(w.Setup.CH1LastPoint, qint16(299));
    // CH2's window is recomputed from its own values, its screen left alone.
    QCOMPARE(w.Setup.CH2FirstPoint, qint16(5));
    QCOMPARE(w.Setup.CH2LastPoint, qint16(299));
    QCOMPARE(w.Ch2WinEnd, 294);
    QCOMPARE(w.Ch1Screen[0], qint16(75));
    QVERIFY(untouched(w.Ch2Screen));
    RefreshScreenData(w, ScreenSelector::All);
    // 295 samples over 295 columns: widened to 590 entries.
    QCOMPARE(w.Ch2Screen[589], qint16(125));
    QCOMPARE(w.Ch2Screen[590], Mark);
}

void TestScreenData::digitalBranches_data()
{
    QTest::addColumn<qint32>("points");
    QTest::addColumn<double>("timeDiv");
    QTest::addColumn<QList<qint16>>("firstEntries");
    // Word i of the record is i; D0 toggles every point.
    QTest::newRow("more samples than entries") << 1200 << 100e-6 << QList<qint16>{0, 3, 4, 7};
    QTest::newRow("as many as entries") << 600 << 50e-6 << QList<qint16>{0, 1, 2, 3};
    QTest::newRow("fewer samples than entries") << 300 << 25e-6 << QList<qint16>{0, 0, 1, 1};
}

void TestScreenData::digitalBranches()
{
    QFETCH(qint32, points);
    QFETCH(double, timeDiv);
    QFETCH(QList<qint16>, firstEntries);
    StoredWave w = record(points, 1e6f, timeDiv, [](qint64) { return 125; });
    w.AcqTimeDiv = 1e-3;
    w.ShowCH1 = false;
    w.ShowLA = true;
    w.LaSamples = QList<qint16>(2 * points + 1, 0);
    for (qint32 i = 0; i < points; ++i)
        w.LaSamples[i] = qint16(i);
    RefreshScreenData(w, ScreenSelector::All);
    QCOMPARE(w.Setup.LAFirstCol, qint16(0));
    QCOMPARE(w.Setup.LALastCol, qint16(299));
    for (int k = 0; k < firstEntries.size(); ++k)
        QCOMPARE(w.LaScreen[size_t(k)], firstEntries[k]);
    QCOMPARE(w.LaScreen[600], Mark);
    QVERIFY(w.LaScreen[599] != Mark);
    // The analog windows are computed first, even with no analog channel shown.
    QCOMPARE(w.Setup.LastPoint, qint16(299));
}

void TestScreenData::digitalWindowRate_data()
{
    QTest::addColumn<double>("acqTimeDiv");
    QTest::addColumn<qint16>("first");
    QTest::addColumn<qint16>("last");
    // At 200 MS/s the 600 points span 3 us: one and a half columns of 50 us/div.
    QTest::newRow("200 ns/div: 200 MS/s") << 2e-7 << qint16(149) << qint16(150);
    QTest::newRow("just above: the record's rate") << 2.0000001e-7 << qint16(0) << qint16(299);
}

void TestScreenData::digitalWindowRate()
{
    QFETCH(double, acqTimeDiv);
    QFETCH(qint16, first);
    QFETCH(qint16, last);
    StoredWave w = fullWidth([](qint64) { return 125; });
    w.AcqTimeDiv = acqTimeDiv;
    w.ShowLA = true;
    w.LaSamples = QList<qint16>(1201, 0);
    RefreshScreenData(w, ScreenSelector::All);
    QCOMPARE(w.Setup.LAFirstCol, first);
    QCOMPARE(w.Setup.LALastCol, last);
    QCOMPARE(w.Setup.FirstPoint, qint16(0)); // the analog window keeps the record's rate
}

void TestScreenData::longRecordDigitalWindow()
{
    // A record of 1,000,000 points, one byte per point packed two to an
    // element: its digital window is that of all its points, the analog one.
    StoredWave w = record(1000000, 1e6f, 1e-3, [](qint64) { return 125; });
    w.Position = 1.01e-5; // a quarter column on, clear of column edges
    w.ShowLA = true;
    w.LaSamples = QList<qint16>(1000001, 0);
    for (qint64 k = 0; k < 500000; ++k)
        w.LaSamples[k] = qint16(0x0401); // even points D0, odd points D2
    RefreshScreenData(w, ScreenSelector::All);
    QCOMPARE(w.Ch1WinStart, 493990);
    QCOMPARE(w.LaWinStart, w.Ch1WinStart);
    QCOMPARE(w.LaWinEnd, w.Ch1WinEnd);
    QCOMPARE(w.Setup.LAFirstCol, w.Setup.FirstPoint);
    QCOMPARE(w.Setup.LALastCol, w.Setup.LastPoint);
    // Every column holds both kinds of point: D0 and D2 change in each, the
    // high byte (no channel in this form) stays 0.
    for (int e = 0; e < 600; e += 2) {
        QCOMPARE(quint16(w.LaScreen[size_t(e)]) ^ quint16(w.LaScreen[size_t(e + 1)]), 0x0005);
        QCOMPARE(quint16(w.LaScreen[size_t(e)]) & 0xff00, 0);
    }
}

void TestScreenData::digitalRowsReachTheEndOfTheRecord_data()
{
    QTest::addColumn<qint32>("points");
    QTest::addColumn<bool>("analog");
    QTest::newRow("1,000,000 points, CH1, CH2 and logic") << 1000000 << true;
    QTest::newRow("600,000 points, logic only") << 600000 << false;
    QTest::newRow("524,289 points, logic only") << 524289 << false;
    QTest::newRow("524,288 points, a word per point") << 524288 << false;
}

void TestScreenData::digitalRowsReachTheEndOfTheRecord()
{
    // The whole record on screen (1 MS/s at 100 ms/div). D0 changes every
    // 1000 points, so every column of the record holds an edge; D2 is high
    // over the last 5 % of the record only.
    QFETCH(qint32, points);
    QFETCH(bool, analog);
    const qint64 lastPart = points - points / 20;
    auto point = [lastPart](qint64 p) { return quint8(((p / 1000) & 1) | (p >= lastPart ? 4 : 0)); };
    WaveSpec s;
    s.points = points;
    s.sampleRate = 1e6f;
    s.timeDivPs = s.acqTimeDivPs = 100000000000LL;
    s.ch1Present = analog ? 1 : 0;
    s.ch2Present = analog ? 1 : 0;
    if (analog) {
        s.ch1 = levels(points, [](qint64 i) { return int(i % 200); });
        s.ch2 = levels(points, [](qint64) { return 60; });
    }
    s.laPresent = 1;
    s.la = points > WaveFileWordPointsMax ? levels(points, [&](qint64 p) { return int(point(p)); })
                                          : laWords(points, [&](qint64 p) { return quint16(point(p)); });
    StoredWave w;
    QCOMPARE(ParseWaveFile(waveFile(s), QStringLiteral("/long.wfm"), w), WaveFileError::None);
    w.LaScreen.fill(Mark);
    RefreshScreenData(w, ScreenSelector::All);
    // The rows are drawn over the analog window's columns: the digital
    // window is the same one.
    const int F = w.Setup.FirstPoint, L = w.Setup.LastPoint;
    QCOMPARE(w.Setup.LAFirstCol, qint16(F));
    QCOMPARE(w.Setup.LALastCol, qint16(L));
    QCOMPARE(w.LaWinStart, 0);
    QCOMPARE(w.LaWinEnd, points - 1);
    QVERIFY2(L - F > 100, qPrintable(QString::number(L - F)));
    const auto entry = [&w](int k, int half) { return quint16(w.LaScreen[size_t(2 * k + half)]); };
    for (int k = 0; k <= L - F; ++k)
        QVERIFY2(((entry(k, 0) ^ entry(k, 1)) & 1) == 1, qPrintable(QStringLiteral("no D0 edge in column %1").arg(F + k)));
    QCOMPARE(entry(L - F, 0) & 4, 4);
    QCOMPARE(entry(L - F, 1) & 4, 4);
    const int ninety = (L - F) * 9 / 10;
    QCOMPARE(entry(ninety, 0) & 4, 0);
    QCOMPARE(entry(ninety, 1) & 4, 0);
    QCOMPARE(w.LaScreen[size_t(2 * (L - F) + 2)], Mark);
}

void TestScreenData::restoredByteFormHoldsItsPoints()
{
    // A data sheet keeps 524288 elements of a byte-form block: 1,048,576
    // points. A record of 1,000,000 points is drawn whole from them; one of
    // 1,100,000 points whose window passes them keeps its screen.
    StoredWave w = record(1000000, 1e6f, 1e-1, [](qint64) { return 125; });
    w.ShowLA = true;
    w.LaSamples = QList<qint16>(524289, qint16(0x0100)); // odd points D0
    w.LaSamples[524288] = 0;
    RefreshScreenData(w, ScreenSelector::All);
    QCOMPARE(w.LaWinEnd, 999999);
    const int last = 2 * (w.Setup.LALastCol - w.Setup.LAFirstCol);
    QCOMPARE(int(w.LaScreen[size_t(last)] ^ w.LaScreen[size_t(last + 1)]), 1);

    StoredWave longer = record(1100000, 1e6f, 1e-1, [](qint64) { return 125; });
    longer.ShowLA = true;
    longer.LaSamples = w.LaSamples;
    RefreshScreenData(longer, ScreenSelector::All);
    QCOMPARE(longer.LaWinEnd, 1099999);
    QVERIFY(untouched(longer.LaScreen));
}

void TestScreenData::shortDigitalArrayIsSkipped()
{
    StoredWave w = fullWidth([](qint64) { return 125; });
    w.ShowLA = true;
    w.LaSamples = QList<qint16>(300, 1);
    RefreshScreenData(w, ScreenSelector::All);
    QVERIFY(untouched(w.LaScreen));
}

QTEST_GUILESS_MAIN(TestScreenData)
#include "tst_screendata.moc"
