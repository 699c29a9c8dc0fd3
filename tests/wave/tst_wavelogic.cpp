// The logic channels: unpacking the logic words, the line state machine of
// one channel (every row of its table), labels and traces of the shown
// channels with the selected one last, the split FFT view, and the bounds on
// words and columns that come from the instrument or a data sheet file.

#include "app/appstate.h"
#include "common/constants.h"
#include "wave/markshapes.h"
#include "wave/wavelogic.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

using MarkShapes::describe;

namespace {

// Logic words for channel 0 from a pattern of bits, two per column:
// "01 10 11" gives words 0,1, 1,0, 1,1. Other channels stay 0.
QList<qint32> wordsOf(const QString &pattern)
{
    QList<qint32> w(601, 0);
    int i = 0;
    for (QChar ch : pattern) {
        if (ch == QLatin1Char('0') || ch == QLatin1Char('1'))
            w[i++] = ch == QLatin1Char('1') ? 1 : 0;
    }
    return w;
}

// A channel's segments in words: "PH25" a single point on the high level at
// x 25, "H25-27" the high level from x 25 to 27, "L.." the low level, "E27"
// an edge at x 27.
QString lineWords(const WaveShape &s, double yHigh, double yLow)
{
    QStringList out;
    auto lv = [&](double y) { return y == yHigh ? QStringLiteral("H") : y == yLow ? QStringLiteral("L") : QStringLiteral("?"); };
    for (qsizetype i = 0; i + 1 < s.points.size(); i += 2) {
        const QPointF a = s.points[i];
        const QPointF b = s.points[i + 1];
        const QString x1 = MarkShapes::num(a.x());
        if (a == b)
            out << QStringLiteral("P") + lv(a.y()) + x1;
        else if (a.x() == b.x() && a.y() == yHigh && b.y() == yLow)
            out << QStringLiteral("E") + x1;
        else if (a.y() == b.y())
            out << lv(a.y()) + x1 + QLatin1Char('-') + MarkShapes::num(b.x());
        else
            out << QStringLiteral("?") + MarkShapes::point(a) + QLatin1Char('-') + MarkShapes::point(b);
    }
    return out.join(QLatin1Char(' '));
}

// The setup of one channel D3 at row 125 with height 9 over columns first..last.
SetupBlock oneChannel(int n, int first, int last)
{
    SetupBlock s;
    s.FirstPoint = qint16(first);
    s.LastPoint = qint16(last);
    s.LAShownMask = qint16(1 << n);
    s.LARow[size_t(n)] = 125;
    s.LAHeightD0D7 = 9;
    s.LAHeightD8D15 = 5;
    s.LASelected = 15;
    s.FFTFullScreen = 1;
    return s;
}

QList<qint32> bytesOfWords(const QList<quint16> &words)
{
    QList<qint32> bytes(1201, 0);
    for (int i = 0; i < words.size() && 2 * i + 2 < bytes.size(); ++i) {
        bytes[2 * i + 1] = words[i] & 0xFF;
        bytes[2 * i + 2] = words[i] >> 8;
    }
    return bytes;
}

} // namespace

class TestWaveLogic : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void logicWords_data();
    void logicWords();
    void lineStateMachine_data();
    void lineStateMachine();
    void lineAtZoomOneAndHalf();
    void firstAfterLastDrawsOnlyTheFirstPair();
    void lineNeverReadsPastTheScreen_data();
    void lineNeverReadsPastTheScreen();
    void columnWindowOffTheScreenDrawsNoRows_data();
    void columnWindowOffTheScreenDrawsNoRows();
    void labels_data();
    void labels();
    void selectedChannel_data();
    void selectedChannel();
    void levelsAndSplitView_data();
    void levelsAndSplitView();
    void paintedRows();
    void directPixelsMatchThePainter_data();
    void directPixelsMatchThePainter();
};

void TestWaveLogic::logicWords_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("word");
    // The fixture's word k has the low byte (k + 1) mod 256 and the high
    // byte k mod 256.
    QTest::newRow("first column 0: entry 0 is word 0") << 0 << 1201 << 0 << 1;
    QTest::newRow("first column 0: entry 599 is word 599") << 0 << 1201 << 599 << 87 * 256 + 88;
    QTest::newRow("first column 0: entry 600 stays 0") << 0 << 1201 << 600 << 0;
    QTest::newRow("first column 2: entry 0 is word 4") << 2 << 1201 << 0 << 4 * 256 + 5;
    QTest::newRow("first column 2: entries past the last word stay 0") << 2 << 1201 << 596 << 0;
    QTest::newRow("first column 299: two words") << 299 << 1201 << 1 << 87 * 256 + 88;
    QTest::newRow("short data reads as 0") << 0 << 101 << 60 << 0;
    QTest::newRow("short data keeps what it has") << 0 << 101 << 49 << 49 * 256 + 50;
}

void TestWaveLogic::logicWords()
{
    QFETCH(int, first);
    QFETCH(int, bytes);
    QFETCH(int, entry);
    QFETCH(int, word);
    QList<qint32> la(bytes, 0);
    for (int k = 0; 2 * k + 2 < bytes; ++k) {
        la[2 * k + 1] = (k + 1) & 0xFF;
        la[2 * k + 2] = k & 0xFF;
    }
    SetupBlock s;
    s.FirstPoint = qint16(first);
    const QList<qint32> w = BuildLogicWords(la, s);
    QCOMPARE(w.size(), 601);
    QCOMPARE(w[entry], word);
}

void TestWaveLogic::lineStateMachine_data()
{
    QTest::addColumn<QString>("bits");
    QTest::addColumn<QString>("drawn");
    // Zoom 2, columns 0..4: x0 = 25, then per pair xa = x rounded after
    // less 0.1 and xb one pixel further (x 27, 29, 31, 33).
    QTest::newRow("steady high: a point, then the level")
        << "11 11 11" << "PH25 H25-27 H27-28 H28-29 H29-30";
    QTest::newRow("equal pair after a change of level: edge at xa")
        << "00 11" << "PL25 L25-27 E27 H27-28";
    QTest::newRow("first pair differs, next all low: edge at x0, then shown low")
        << "01 00 00" << "E25 L25-27 L27-28 L28-29 L29-30";
    QTest::newRow("first pair differs, next not all low: shown high")
        << "10 10" << "E25 H25-27 E27 L27-28 E28";
    QTest::newRow("pair differs after steady high: edge at xb")
        << "11 01 00" << "PH25 H25-27 H27-28 E28 L28-29 L29-30";
    QTest::newRow("pair differs after steady low: edge at xb")
        << "00 10 11" << "PL25 L25-27 L27-28 E28 H28-29 H29-30";
    QTest::newRow("pair differs just after a rise: narrow low pulse")
        << "00 10 01" << "PL25 L25-27 L27-28 E28 H28-29 E29 L29-30 E30";
    QTest::newRow("pair differs just after a fall: low to xb and edge")
        << "11 10 01" << "PH25 H25-27 H27-28 E28 L28-29 L29-30 E30";
    QTest::newRow("bit alternating from word to word")
        << "01 01 01 01 01" << "E25 H25-27 E27 L27-28 E28 H28-29 E29 L29-30 E30 H30-31 E31 L31-32 E32 H32-33 E33 L33-34 E34";
}

void TestWaveLogic::lineStateMachine()
{
    QFETCH(QString, bits);
    QFETCH(QString, drawn);
    const int pairs = int(bits.count(QLatin1Char(' '))) + 1;
    const SetupBlock s = oneChannel(0, 0, pairs - 1);
    // Low level at row 125 - 25 = 100 rows below the base, 200 pixels at
    // zoom 2; high level (9 - 1) x 2 = 16 pixels above it.
    const WaveShape line = LALineShape(wordsOf(bits), 0, 9, 200, s, s.LastPoint, 2.0, 25, LAColor);
    QCOMPARE(line.kind, WaveShape::Segments);
    QCOMPARE(lineWords(line, 209, 225), drawn);
}

void TestWaveLogic::lineAtZoomOneAndHalf()
{
    // Zoom 1.5 from column 10: x0 = 40, pairs at x 41.5 and 43 (xa 41 and
    // 43, xb 42.15 and 43.65 rounded to 42 and 44).
    const SetupBlock s = oneChannel(0, 10, 12);
    const WaveShape line = LALineShape(wordsOf(QStringLiteral("11 00 00")), 0, 9, 150, s, 12, 1.5, 25, LAColor);
    QCOMPARE(lineWords(line, 163, 175), QStringLiteral("PH40 H40-41 E41 L41-42 L42-43 L43-44"));
}

void TestWaveLogic::firstAfterLastDrawsOnlyTheFirstPair()
{
    const SetupBlock s = oneChannel(0, 200, 100);
    const WaveShape steady = LALineShape(wordsOf(QStringLiteral("11 11 11")), 0, 9, 100, s, 100, 1.0, 25, LAColor);
    QCOMPARE(lineWords(steady, 117, 125), QStringLiteral("PH225"));
    const WaveShape change = LALineShape(wordsOf(QStringLiteral("10 11")), 0, 9, 100, s, 100, 1.0, 25, LAColor);
    QCOMPARE(lineWords(change, 117, 125), QStringLiteral("E225"));
}

void TestWaveLogic::lineNeverReadsPastTheScreen_data()
{
    QTest::addColumn<int>("last");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("lastX");
    QTest::newRow("full screen, zoom 1: stops one column before 300") << 299 << 1.0 << 324.0;
    QTest::newRow("full screen, zoom 0.5: one column earlier") << 299 << 0.5 << 174.0;
    QTest::newRow("full screen, zoom 2") << 299 << 2.0 << 624.0;
    // Handed a last column past the screen, the line still stops at the
    // 600th word.
    QTest::newRow("last column 400: stops at word 600") << 400 << 1.0 << 324.0;
    QTest::newRow("last column 32767, zoom 3") << 32767 << 3.0 << 923.0;
}

void TestWaveLogic::lineNeverReadsPastTheScreen()
{
    QFETCH(int, last);
    QFETCH(double, zoom);
    QFETCH(double, lastX);
    SetupBlock s = oneChannel(0, 0, 299);
    const WaveShape line = LALineShape(wordsOf(QStringLiteral("11 11")), 0, 9, 100, s, last, zoom, 25, LAColor);
    double maxX = 0;
    for (QPointF p : line.points)
        maxX = std::max(maxX, p.x());
    QCOMPARE(maxX, lastX);
}

void TestWaveLogic::columnWindowOffTheScreenDrawsNoRows_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("0..299") << 0 << 299 << true;
    QTest::newRow("last 300") << 0 << 300 << false;
    QTest::newRow("last 32767") << 0 << 32767 << false;
    QTest::newRow("first 300") << 300 << 300 << false;
    QTest::newRow("first negative") << -1 << 299 << false;
    QTest::newRow("first -32768") << -32768 << 10 << false;
    QTest::newRow("first above last, both on screen") << 250 << 10 << true;
}

void TestWaveLogic::columnWindowOffTheScreenDrawsNoRows()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(bool, drawn);
    SetupBlock s = oneChannel(3, first, last);
    s.LAShownMask = qint16(0xFFFF);
    const QList<qint32> la(1201, 0x55);
    const WaveShapes traces = LATracesShapes(1.0, la, s, false, true);
    QCOMPARE(!traces.isEmpty(), drawn);
    if (drawn)
        QCOMPARE(traces.size(), 16);
    // The labels stand whatever the window.
    QCOMPARE(MarkShapes::describeKind(LALabelsShapes(1.0, s, false, true), WaveShape::Text).size(), 10 + 3 * 6);
}

void TestWaveLogic::labels_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("split");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("only D3 at row 125") << 0x0008 << 15 << false << 1.0 << QStringList{"T 5,113 'D3'"};
    QTest::newRow("D12: three texts") << 0x1000 << 0 << false << 1.0
                                      << QStringList{"T 5,113 'D'", "T 12,113 '1'", "T 17,113 '2'"};
    QTest::newRow("split FFT view: 100 pixels higher") << 0x0008 << 15 << true << 1.0 << QStringList{"T 5,13 'D3'"};
    QTest::newRow("zoom 2") << 0x0008 << 15 << false << 2.0 << QStringList{"T 5,213 'D3'"};
    QTest::newRow("split FFT view, zoom 2") << 0x0008 << 15 << true << 2.0 << QStringList{"T 5,13 'D3'"};
    QTest::newRow("selected D0 drawn last") << 0x0009 << 0 << false << 1.0
                                            << QStringList{"T 5,113 'D3'", "T 5,113 'D0'"};
    QTest::newRow("no channel shown") << 0 << 3 << false << 1.0 << QStringList{};
}

void TestWaveLogic::labels()
{
    QFETCH(int, mask);
    QFETCH(int, selected);
    QFETCH(bool, split);
    QFETCH(double, zoom);
    QFETCH(QStringList, texts);
    SetupBlock s;
    s.LAShownMask = qint16(mask);
    s.LARow.fill(125);
    s.LASelected = quint8(selected);
    QCOMPARE(describe(LALabelsShapes(zoom, s, split, true)), texts);
}

void TestWaveLogic::selectedChannel_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<QList<int>>("order");
    QTest::addColumn<int>("red");
    // Shown: D1, D4, D9.
    QTest::newRow("selected D4: last, red") << 4 << QList<int>{1, 9, 4} << 4;
    QTest::newRow("selected D2 not shown: all green") << 2 << QList<int>{1, 4, 9} << -1;
    QTest::newRow("selected 16 means none") << 16 << QList<int>{1, 4, 9} << -1;
    QTest::newRow("selected 255 means none") << 255 << QList<int>{1, 4, 9} << -1;
}

void TestWaveLogic::selectedChannel()
{
    QFETCH(int, selected);
    QFETCH(QList<int>, order);
    QFETCH(int, red);
    SetupBlock s;
    s.FirstPoint = 0;
    s.LastPoint = 299;
    s.LAShownMask = qint16((1 << 1) | (1 << 4) | (1 << 9));
    for (int n = 0; n < 16; ++n)
        s.LARow[size_t(n)] = qint16(30 + 10 * n); // each channel its own row
    s.LAHeightD0D7 = 5;
    s.LAHeightD8D15 = 5;
    s.LASelected = quint8(selected);
    const WaveShapes labels = LALabelsShapes(1.0, s, false, true);
    const WaveShapes traces = LATracesShapes(1.0, QList<qint32>(1201, 0), s, false, true);
    QCOMPARE(labels.size(), order.size());
    QCOMPARE(traces.size(), order.size());
    for (int i = 0; i < order.size(); ++i) {
        const int n = order[i];
        QCOMPARE(labels[i].text, QStringLiteral("D%1").arg(n));
        // A trace of all-low words lies on the channel's low level.
        QCOMPARE(traces[i].points.first().y(), 25.0 + 5 + 10 * n);
        const QColor want = n == red ? LASelectedColor : LAColor;
        QCOMPARE(labels[i].color, want);
        QCOMPARE(traces[i].color, want);
    }
    for (const WaveShape &sh : LALabelsShapes(1.0, s, false, false) + LATracesShapes(1.0, QList<qint32>(1201, 0), s,
                                                                                   false, false))
        QCOMPARE(sh.color, QColor(0, 0, 0));
}

void TestWaveLogic::levelsAndSplitView_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<bool>("split");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::newRow("D3, zoom 1") << 3 << 1.0 << false << 125.0 << 117.0;
    QTest::newRow("D3, zoom 2") << 3 << 2.0 << false << 225.0 << 209.0;
    QTest::newRow("D3, split FFT view") << 3 << 1.0 << true << 25.0 << 17.0;
    QTest::newRow("D11 takes the D8..D15 height") << 11 << 1.0 << false << 125.0 << 121.0;
    // Row offset 100 x 1.125 = 112.5 rounds to 112 (even); height 8 x 1.3125
    // = 10.5 rounds to 10.
    QTest::newRow("zoom 1.125: offset on a whole pixel") << 3 << 1.125 << false << 137.0 << 128.0;
    QTest::newRow("zoom 1.3125: height on whole pixels") << 3 << 1.3125 << false << 156.0 << 146.0;
}

void TestWaveLogic::levelsAndSplitView()
{
    QFETCH(int, channel);
    QFETCH(double, zoom);
    QFETCH(bool, split);
    QFETCH(double, low);
    QFETCH(double, high);
    const SetupBlock s = oneChannel(channel, 0, 299);
    // Words alternate from column to column: low, high, low, ...
    QList<quint16> words;
    for (int k = 0; k < 600; ++k)
        words << ((k / 2) % 2 ? quint16(1u << channel) : quint16(0));
    const WaveShapes traces = LATracesShapes(zoom, bytesOfWords(words), s, split, true);
    QCOMPARE(traces.size(), 1);
    QSet<double> ys;
    for (QPointF p : traces[0].points)
        ys.insert(p.y());
    QCOMPARE(ys, (QSet<double>{low, high}));
}

void TestWaveLogic::paintedRows()
{
    // D3 (green) and the selected D5 (red) over the full screen at zoom 1;
    // D3 steady high, D5 steady low.
    SetupBlock s;
    s.FirstPoint = 0;
    s.LastPoint = 299;
    s.LAShownMask = qint16((1 << 3) | (1 << 5));
    s.LARow[3] = 125;
    s.LARow[5] = 160;
    s.LAHeightD0D7 = 9;
    s.LASelected = 5;
    s.LAValid = 1;
    QList<quint16> words(600, quint16(1u << 3));
    QImage img(350, 250, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        DrawLALabels(p, 1.0, s, QString(), QStringLiteral("OFF"), true);
        DrawLATraces(p, 1.0, bytesOfWords(words), 600, s, QString(), QStringLiteral("OFF"), true);
    }
    for (int x : {25, 100, 200, 324}) {
        QCOMPARE(img.pixelColor(x, 117), LAColor);         // D3 high
        QCOMPARE(img.pixelColor(x, 160), LASelectedColor); // D5 low
    }
    QVERIFY(img.pixelColor(100, 125) != LAColor);
    QVERIFY(img.pixelColor(330, 117) != LAColor);
    QVERIFY(MarkShapes::countColour(img, LAColor, QRect(5, 113, 18, 14)) > 3);          // "D3"
    QVERIFY(MarkShapes::countColour(img, LASelectedColor, QRect(5, 148, 18, 14)) > 3); // "D5"

    // A window of one column draws the single point of its first pair.
    s.FirstPoint = 200;
    s.LastPoint = 200;
    img.fill(Qt::black);
    {
        QPainter p(&img);
        DrawLATraces(p, 1.0, bytesOfWords(words), 600, s, QString(), QStringLiteral("OFF"), true);
    }
    QCOMPARE(img.pixelColor(225, 117), LAColor);
    QCOMPARE(MarkShapes::countColour(img, LAColor, img.rect()), 1);
}

void TestWaveLogic::directPixelsMatchThePainter_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QSize>("size");
    QTest::newRow("zoom 1") << 1.0 << QSize(350, 250);
    QTest::newRow("zoom 2") << 2.0 << QSize(700, 500);
    QTest::newRow("zoom 0.5") << 0.5 << QSize(175, 125);
    QTest::newRow("zoom 1.37") << 1.37 << QSize(479, 342);
    QTest::newRow("picture smaller than the rows") << 1.0 << QSize(200, 130);
}

void TestWaveLogic::directPixelsMatchThePainter()
{
    // The traces are written straight into an unclipped picture; a clip
    // (here the whole picture) makes the painter draw them. Both must give
    // the same pixels, ends and single points included.
    QFETCH(double, zoom);
    QFETCH(QSize, size);
    SetupBlock s;
    s.FirstPoint = 3;
    s.LastPoint = 297;
    s.LAShownMask = qint16(0xFFFF);
    s.LASelected = 6;
    s.LAHeightD0D7 = 7;
    s.LAHeightD8D15 = 12;
    for (int n = 0; n < 16; ++n)
        s.LARow[size_t(n)] = qint16(20 + 13 * n);
    QList<qint32> la(1201, 0);
    quint32 seed = 12345;
    for (int k = 1; k <= 1200; ++k) {
        seed = seed * 1103515245u + 12345u;
        la[k] = int(seed >> 16) & 0xFF;
    }
    QImage direct(size, QImage::Format_RGB32);
    direct.fill(Qt::black);
    QImage painted = direct.copy();
    {
        QPainter p(&direct);
        DrawLATraces(p, zoom, la, 600, s, QString(), QStringLiteral("OFF"), true);
    }
    {
        QPainter p(&painted);
        p.setClipRect(painted.rect());
        DrawLATraces(p, zoom, la, 600, s, QString(), QStringLiteral("OFF"), true);
    }
    QVERIFY(MarkShapes::countColour(direct, LAColor, direct.rect()) > 1000);
    QCOMPARE(direct, painted);
}

QTEST_MAIN(TestWaveLogic)
#include "tst_wavelogic.moc"
