// The zoom layer of the stored waveform: the visible window of a record, the
// analog reduction and widening, the vertical rescale and the digital
// reduction and widening, on small records with known answers.

#include "platform/zoom/plotzoom.h"
#include "platform/zoom/vertscale.h"

#include <QtTest>

#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

Q_DECLARE_METATYPE(ScreenWindow)

namespace {

ScreenWindow window(qint32 start, qint32 end, qint16 first, qint16 last)
{
    ScreenWindow w;
    w.WinStart = start;
    w.WinEnd = end;
    w.ZoomFirstCol = w.FirstCol = first;
    w.ZoomLastCol = w.LastCol = last;
    return w;
}

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

} // namespace

class TestPlotZoom : public QObject {
    Q_OBJECT
private slots:
    void visibleWindow_data();
    void visibleWindow();
    void reductionKeepsExtremesInOrder();
    void twoSamplesPerColumnAreCopied();
    void fewSamplesAreInterpolated();
    void waveZoomRefusesBadRanges_data();
    void waveZoomRefusesBadRanges();
    void verticalRescale_data();
    void verticalRescale();
    void digitalReductionMarksEdges();
    void digitalWideningTakesTheSampleUnderEachHalfColumn();
    void digitalCallsRefuseBadSizes();
    void digitalByteFormReadsOnePointPerByte();
    void longColumnsAsAPlainScan_data();
    void longColumnsAsAPlainScan();
};

void TestPlotZoom::visibleWindow_data()
{
    QTest::addColumn<float>("rate");
    QTest::addColumn<qint32>("count");
    QTest::addColumn<double>("position");
    QTest::addColumn<double>("delay");
    QTest::addColumn<double>("timeDiv");
    QTest::addColumn<ScreenWindow>("expected");
    const ScreenWindow none;
    // 600 samples at 1 MS/s fill 12 divisions of 50 us: half a column each.
    QTest::newRow("full width") << 1e6f << 600 << 0.0 << 0.0 << 50e-6 << window(0, 599, 0, 299);
    QTest::newRow("long record, middle part") << 1e6f << 1000000 << 1.01e-5 << 0.0 << 1e-3
                                              << window(493990, 505989, 0, 299);
    QTest::newRow("all in one column") << 1e7f << 10 << 1e-5 << 0.0 << 1e-3 << window(0, 9, 150, 150);
    QTest::newRow("position one division on moves right") << 1e6f << 600 << 50e-6 << 0.0 << 50e-6
                                                          << window(0, 549, 25, 299);
    QTest::newRow("delay one division moves left") << 1e6f << 600 << 0.0 << 50e-6 << 50e-6
                                                   << window(50, 599, 0, 274);
    QTest::newRow("record right of the screen") << 1e6f << 600 << 1.0 << 0.0 << 50e-6 << none;
    QTest::newRow("record left of the screen") << 1e6f << 600 << -1.0 << 0.0 << 50e-6 << none;
    QTest::newRow("zero rate") << 0.0f << 600 << 0.0 << 0.0 << 50e-6 << none;
    QTest::newRow("negative rate") << -1e6f << 600 << 0.0 << 0.0 << 50e-6 << none;
    QTest::newRow("rate not a number") << float(NaN) << 600 << 0.0 << 0.0 << 50e-6 << none;
    QTest::newRow("zero count") << 1e6f << 0 << 0.0 << 0.0 << 50e-6 << none;
    QTest::newRow("negative count") << 1e6f << -600 << 0.0 << 0.0 << 50e-6 << none;
    QTest::newRow("zero time/div") << 1e6f << 600 << 0.0 << 0.0 << 0.0 << none;
    QTest::newRow("infinite time/div") << 1e6f << 600 << 0.0 << 0.0 << Inf << none;
    QTest::newRow("position not a number") << 1e6f << 600 << NaN << 0.0 << 50e-6 << none;
    QTest::newRow("infinite delay") << 1e6f << 600 << 0.0 << Inf << 50e-6 << none;
    QTest::newRow("columns per sample overflow") << 1.0f << 600 << 0.0 << 0.0 << 1e-310 << none;
    QTest::newRow("new item, all zero") << 0.0f << 0 << 0.0 << 0.0 << 0.0 << none;
}

void TestPlotZoom::visibleWindow()
{
    QFETCH(float, rate);
    QFETCH(qint32, count);
    QFETCH(double, position);
    QFETCH(double, delay);
    QFETCH(double, timeDiv);
    QFETCH(ScreenWindow, expected);
    const ScreenWindow w = devGetStopScrWave64(rate, count, position, delay, timeDiv);
    QCOMPARE(w.WinStart, expected.WinStart);
    QCOMPARE(w.WinEnd, expected.WinEnd);
    QCOMPARE(w.FirstCol, expected.FirstCol);
    QCOMPARE(w.LastCol, expected.LastCol);
    QCOMPARE(w.ZoomFirstCol, w.FirstCol);
    QCOMPARE(w.ZoomLastCol, w.LastCol);
    QCOMPARE(w.visible(), expected.LastCol < PlotZoom::Columns);
}

void TestPlotZoom::reductionKeepsExtremesInOrder()
{
    // 12 samples over 3 columns: 4 per column.
    const std::vector<qint16> s = {5, 9, 1, 7, /**/ 3, 3, 3, 3, /**/ 200, 0, 100, 50, 999};
    std::array<qint16, 8> screen;
    screen.fill(-1);
    QCOMPARE(WaveZoom(s, screen, 0, 11, 10, 12, 300), qint16(1));
    // Column 0: the high 9 comes before the low 1; column 2: the high first too.
    const std::array<qint16, 8> expect = {9, 1, 3, 3, 200, 0, -1, -1};
    QCOMPARE(screen, expect);
}

void TestPlotZoom::twoSamplesPerColumnAreCopied()
{
    std::vector<qint16> s(620);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = qint16(i % 251);
    std::array<qint16, 601> screen;
    screen.fill(-7);
    QCOMPARE(WaveZoom(s, screen, 10, 609, 0, 299, 300), qint16(1));
    for (int k = 0; k < 600; ++k)
        QCOMPARE(screen[size_t(k)], qint16((k + 10) % 251));
    QCOMPARE(screen[600], qint16(-7)); // the spare entry
}

void TestPlotZoom::fewSamplesAreInterpolated()
{
    const std::vector<qint16> s = {0, 100, 200, 0};
    std::array<qint16, 6> screen{};
    // Samples 1 and 2 over two columns: at -1/4, 1/4, 3/4 and 5/4 of a sample
    // step, held to the two samples at the ends.
    QCOMPARE(WaveZoom(s, screen, 1, 2, 40, 41, 300), qint16(1));
    const std::array<qint16, 6> two = {100, 125, 175, 200, 0, 0};
    QCOMPARE(screen, two);
    // One sample in one column: both entries.
    screen.fill(0);
    QCOMPARE(WaveZoom(s, screen, 2, 2, 299, 299, 300), qint16(1));
    QCOMPARE(screen[0], qint16(200));
    QCOMPARE(screen[1], qint16(200));
    // Halves round to the even neighbour: 0 and 2 over two columns read 0,
    // 0.5, 1.5 and 2.
    const std::vector<qint16> t = {0, 2};
    QCOMPARE(WaveZoom(t, screen, 0, 1, 0, 1, 300), qint16(1));
    const std::array<qint16, 6> halves = {0, 0, 2, 2, 0, 0};
    QCOMPARE(screen, halves);
}

void TestPlotZoom::waveZoomRefusesBadRanges_data()
{
    QTest::addColumn<qint32>("start");
    QTest::addColumn<qint32>("end");
    QTest::addColumn<qint16>("first");
    QTest::addColumn<qint16>("last");
    QTest::addColumn<int>("screenSize");
    QTest::newRow("end past the samples") << 0 << 10 << qint16(0) << qint16(4) << 10;
    QTest::newRow("negative start") << -1 << 5 << qint16(0) << qint16(4) << 10;
    QTest::newRow("start after end") << 6 << 5 << qint16(0) << qint16(4) << 10;
    QTest::newRow("last column 300") << 0 << 9 << qint16(296) << qint16(300) << 10;
    QTest::newRow("first after last") << 0 << 9 << qint16(5) << qint16(4) << 10;
    QTest::newRow("negative first column") << 0 << 9 << qint16(-1) << qint16(3) << 10;
    QTest::newRow("screen too short") << 0 << 9 << qint16(0) << qint16(4) << 9;
}

void TestPlotZoom::waveZoomRefusesBadRanges()
{
    QFETCH(qint32, start);
    QFETCH(qint32, end);
    QFETCH(qint16, first);
    QFETCH(qint16, last);
    QFETCH(int, screenSize);
    const std::vector<qint16> s(10, 77);
    std::vector<qint16> screen(size_t(screenSize), -3);
    QCOMPARE(WaveZoom(s, screen, start, end, first, last, 300), qint16(0));
    QVERIFY(std::all_of(screen.begin(), screen.end(), [](qint16 v) { return v == -3; }));
}

void TestPlotZoom::verticalRescale_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<float>("voltDiv");
    QTest::addColumn<float>("offset");
    QTest::addColumn<float>("acqVoltDiv");
    QTest::addColumn<float>("acqOffset");
    QTest::addColumn<int>("expected");
    QTest::newRow("same scale") << 37 << 1.0f << 0.0f << 1.0f << 0.0f << 37;
    QTest::newRow("half the volts/div, twice the distance") << 100 << 0.5f << 0.0f << 1.0f << 0.0f << 75;
    QTest::newRow("offset now raises the trace") << 125 << 1.0f << 1.0f << 1.0f << 0.0f << 100;
    QTest::newRow("offset at acquisition") << 100 << 1.0f << 0.0f << 1.0f << 1.0f << 125;
    QTest::newRow("half level rounds to even, down") << 100 << 2.0f << 0.0f << 1.0f << 0.0f << 112;
    QTest::newRow("half level rounds to even, up") << 50 << 2.0f << 0.0f << 1.0f << 0.0f << 88;
    QTest::newRow("beyond 16 bits, up") << 0 << 1e-9f << 0.0f << 1.0f << 0.0f << -32768;
    QTest::newRow("beyond 16 bits, down") << 255 << 1e-9f << 0.0f << 1.0f << 0.0f << 32767;
    QTest::newRow("zero volts/div keeps the level") << 60 << 0.0f << 1.0f << 1.0f << 0.0f << 60;
    QTest::newRow("zero volts/div at acquisition") << 60 << 1.0f << 1.0f << 0.0f << 0.0f << 60;
    QTest::newRow("offset not a number") << 60 << 1.0f << float(NaN) << 1.0f << 0.0f << 60;
    QTest::newRow("infinite volts/div") << 60 << float(Inf) << 0.0f << 1.0f << 0.0f << 60;
}

void TestPlotZoom::verticalRescale()
{
    QFETCH(int, level);
    QFETCH(float, voltDiv);
    QFETCH(float, offset);
    QFETCH(float, acqVoltDiv);
    QFETCH(float, acqOffset);
    QFETCH(int, expected);
    const std::array<quint8, 2> in = {quint8(level), quint8(level)};
    std::array<qint16, 3> out = {0, 0, -9};
    WaveZoomV(in, out, 2, voltDiv, offset, acqVoltDiv, acqOffset);
    QCOMPARE(int(out[0]), expected);
    QCOMPARE(int(out[1]), expected);
    QCOMPARE(out[2], qint16(-9)); // only count entries are written
}

void TestPlotZoom::digitalReductionMarksEdges()
{
    // 9 samples over 2 columns: 4 and 5 samples. D0 steady high, D1 rises in
    // the first column, D2 pulses in the second, D15 steady low.
    const std::vector<qint16> s = {0x0001, 0x0001, 0x0003, 0x0003, /**/ 0x0003, 0x0007, 0x0003, 0x0003, 0x0003};
    std::array<qint16, 6> work;
    work.fill(-1);
    LaWaveZoomOut(s, work, 9, 4);
    QCOMPARE(work[0], qint16(0x0001));
    QCOMPARE(work[1], qint16(0x0003)); // D1 differs: an edge in the column
    QCOMPARE(work[2], qint16(0x0003));
    QCOMPARE(work[3], qint16(0x0007)); // D2's pulse shows as a difference
    QCOMPARE(work[4], qint16(-1));
}

void TestPlotZoom::digitalWideningTakesTheSampleUnderEachHalfColumn()
{
    const std::vector<qint16> s = {11, 22, 33};
    std::array<qint16, 1201> work;
    work.fill(-1);
    LAZoomIn(s, work, 3, 6, 10, 12);
    for (int e = 0; e < 6; ++e)
        QCOMPARE(work[size_t(20 + e)], s[size_t(e / 2)]);
    QCOMPARE(work[19], qint16(-1));
    QCOMPARE(work[26], qint16(-1));
    // The last columns end at entry 599.
    LAZoomIn(s, work, 3, 6, 297, 299);
    QCOMPARE(work[599], qint16(33));
    QCOMPARE(work[600], qint16(-1));
}

void TestPlotZoom::digitalCallsRefuseBadSizes()
{
    const std::vector<qint16> s(8, 5);
    std::array<qint16, 1201> work;
    work.fill(-1);
    LaWaveZoomOut(s, work, 4, 4);         // not more samples than entries
    LaWaveZoomOut(s, work, 9, 4);         // more samples than given
    LaWaveZoomOut(s, std::span<qint16>(work.data(), 3), 8, 4); // work too short
    LAZoomIn(s, work, 3, 6, 298, 300);    // past column 299
    LAZoomIn(s, work, 3, 8, 10, 12);      // entries do not match the columns
    LAZoomIn(s, work, 9, 18, 0, 8);       // more samples than given
    LAZoomIn(s, work, 0, 2, 0, 0);        // no sample
    LAZoomIn(s, std::span<qint16>(work.data(), 10), 3, 6, 3, 5); // entries past work
    QVERIFY(std::all_of(work.begin(), work.end(), [](qint16 v) { return v == -1; }));
}

void TestPlotZoom::digitalByteFormReadsOnePointPerByte()
{
    // Points 0..9 packed two to a word, low byte first; read from point 3
    // on, they reduce and widen as the same points given one to a word.
    const std::vector<qint16> packed = {0x0201, 0x0403, 0x0605, 0x0807, 0x0a09};
    const LaPoints fromThree = LaPoints::bytes(packed, 3);
    QCOMPARE(fromThree.size(), qint64(7));
    const std::vector<qint16> words = {4, 5, 6, 7, 8, 9, 10};
    for (qint64 i = 0; i < 7; ++i)
        QCOMPARE(int(fromThree[i]), int(words[size_t(i)]));
    std::array<qint16, 1201> fromBytes, fromWords;
    fromBytes.fill(-1);
    fromWords.fill(-1);
    LaWaveZoomOut(fromThree, fromBytes, 7, 4);
    LaWaveZoomOut(words, fromWords, 7, 4);
    QCOMPARE(fromBytes, fromWords);
    QCOMPARE(fromBytes[0], qint16(4));
    LAZoomIn(fromThree, fromBytes, 7, 20, 100, 109);
    LAZoomIn(words, fromWords, 7, 20, 100, 109);
    QCOMPARE(fromBytes, fromWords);
    QCOMPARE(fromBytes[219], qint16(10));
    // No more points than the words hold.
    fromBytes.fill(-1);
    LaWaveZoomOut(fromThree, fromBytes, 8, 4);
    QCOMPARE(fromBytes[0], qint16(-1));
    QCOMPARE(LaPoints::bytes(packed, 11).size(), qint64(0));
}

void TestPlotZoom::longColumnsAsAPlainScan_data()
{
    QTest::addColumn<qint32>("start");
    QTest::addColumn<qint32>("count");
    QTest::addColumn<int>("columns");
    // From two samples a column to whole records on one column, the window
    // starting anywhere in the array.
    QTest::newRow("two a column") << 3 << 600 << 300;
    QTest::newRow("three a column") << 2 << 900 << 300;
    QTest::newRow("a few a column") << 1 << 4511 << 300;
    QTest::newRow("about seventeen") << 7 << 5000 << 299;
    QTest::newRow("a long record") << 0 << 1000000 << 300;
    QTest::newRow("part of a long record") << 123457 << 333333 << 217;
    QTest::newRow("one column") << 5 << 70001 << 1;
}

// Columns of any length reduce as a plain scan of their samples gives
// them: the smallest and largest of each analog column in the order met,
// and each digital column's first point with every bit flipped that changes
// in it (both digital forms).
void TestPlotZoom::longColumnsAsAPlainScan()
{
    QFETCH(qint32, start);
    QFETCH(qint32, count);
    QFETCH(int, columns);
    std::mt19937 rng(uint(start + count + columns));
    const qint64 size = qint64(start) + count + 9;
    // Runs of slowly moving levels with rare spikes either way, negative
    // levels included.
    std::vector<qint16> s(static_cast<size_t>(size));
    int level = 0;
    for (qint16 &v : s) {
        level = std::clamp(level + int(rng() % 7) - 3, -300, 300);
        const unsigned spike = rng() % 5000;
        v = qint16(spike == 0 ? 32767 : spike == 1 ? -32768 : level);
    }
    std::array<qint16, 601> screen;
    screen.fill(-1);
    QCOMPARE(WaveZoom(s, screen, start, start + count - 1, 0, qint16(columns - 1), 300), qint16(1));
    const qint16 *p = s.data() + start;
    for (int j = 0; j < columns; ++j) {
        const qint64 from = qint64(j) * count / columns;
        const qint64 to = qint64(j + 1) * count / columns;
        qint16 low = p[from], high = p[from];
        qint64 lowAt = from, highAt = from;
        for (qint64 i = from + 1; i < to; ++i) {
            if (p[i] < low)
                low = p[i], lowAt = i;
            if (p[i] > high)
                high = p[i], highAt = i;
        }
        const bool lowFirst = lowAt <= highAt;
        QCOMPARE(screen[size_t(2 * j)], lowFirst ? low : high);
        QCOMPARE(screen[size_t(2 * j + 1)], lowFirst ? high : low);
    }

    // The digital reduction (of more points than entries), one word or one
    // byte a point.
    const int m = 2 * columns;
    if (count <= m)
        return;
    std::vector<qint16> words(static_cast<size_t>(size));
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = qint16(rng() % 3000 == 0 ? rng() : (i / 97) * 0x0101 ^ (i / 5000));
    for (bool bytes : {false, true}) {
        const LaPoints points = bytes ? LaPoints::bytes(words, start) : LaPoints::words(std::span<const qint16>(words).subspan(size_t(start)));
        std::array<qint16, 1201> work;
        work.fill(-1);
        LaWaveZoomOut(points, work, count, m);
        for (int j = 0; j < columns; ++j) {
            const qint64 from = qint64(j) * count / columns;
            const qint64 to = qint64(j + 1) * count / columns;
            quint16 changed = 0;
            for (qint64 i = from + 1; i < to; ++i)
                changed |= quint16(points[i] ^ points[from]);
            QCOMPARE(quint16(work[size_t(2 * j)]), points[from]);
            QCOMPARE(quint16(work[size_t(2 * j + 1)]), quint16(points[from] ^ changed));
        }
        QCOMPARE(work[size_t(m)], qint16(-1));
    }
}

QTEST_GUILESS_MAIN(TestPlotZoom)
#include "tst_plotzoom.moc"
