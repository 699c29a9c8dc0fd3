// Trigger and ground markers and the scale texts under the graticule: what is
// drawn where at zoom 1 and 2 (and 0.5 where texts stay fixed), the marker
// chosen at the edges of the screen, scale texts that read as 0, and a few
// pixels of a painted picture.

#include "app/appstate.h"
#include "common/constants.h"
#include "wave/markshapes.h"
#include "wave/wavemarkers.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <cmath>

using MarkShapes::describe;

namespace {

const QString On = QStringLiteral("ON");
const QColor Orange(255, 128, 0);
const QColor White(255, 255, 255);
const QColor Black(0, 0, 0);

// The marker and its letter: every shape between the centre mark and the
// "Delay:" text.
QStringList markerOf(const WaveShapes &shapes)
{
    QStringList d = describe(shapes);
    if (d.size() < 3)
        return {};
    return d.mid(1, d.size() - 3);
}

} // namespace

class TestWaveMarkers : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void triggerColumn_data();
    void triggerColumn();
    void trigMarker_data();
    void trigMarker();
    void trigMarkTexts_data();
    void trigMarkTexts();
    void altTrigMarks();
    void groundMarker_data();
    void groundMarker();
    void channelScaleTexts_data();
    void channelScaleTexts();
    void zeroVoltsPerDivision_data();
    void zeroVoltsPerDivision();
    void mathMarkerPlace_data();
    void mathMarkerPlace();
    void mathOffScreenDrawsNothing_data();
    void mathOffScreenDrawsNothing();
    void mathScaleTexts_data();
    void mathScaleTexts();
    void paintedMarkers();
    void paintedMarkersBlackAndWhite();
};

void TestWaveMarkers::triggerColumn_data()
{
    QTest::addColumn<QString>("timeDiv");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<double>("column");
    QTest::newRow("no delay: centre") << "1.000ms" << "0.000s" << 150.0;
    QTest::newRow("positive delay moves left") << "1.000ms" << "2.000ms" << 100.0;
    QTest::newRow("negative delay moves right") << "500.0us" << "-1.000ms" << 200.0;
    QTest::newRow("unreadable delay reads as 0") << "1.000ms" << ">1.000ms" << 150.0;
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("zero time/div, delay before") << "0.000s" << "1.000ms" << -inf;
    QTest::newRow("zero time/div, delay after") << "0.000s" << "-1.000ms" << inf;
}

void TestWaveMarkers::triggerColumn()
{
    QFETCH(QString, timeDiv);
    QFETCH(QString, delay);
    QFETCH(double, column);
    const double c = TriggerColumn(timeDiv, delay);
    if (std::isinf(column))
        QCOMPARE(c, column);
    else
        QVERIFY2(std::fabs(c - column) < 1e-9, qPrintable(QString::number(c)));
    QVERIFY(std::isnan(TriggerColumn(QStringLiteral("0.000s"), QStringLiteral("0.000s"))));
}

void TestWaveMarkers::trigMarker_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QString>("timeDiv");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QStringList>("marker");
    // With 25 s/div a delay of d seconds puts the trigger at column 150 - d.
    QTest::newRow("centre, zoom 1") << 1.0 << "1.000ms" << "0.000s"
                                    << QStringList{"C 171,30 179,30 179,40 175,44 171,40 171,30", "T 172,31 'T'"};
    QTest::newRow("centre, zoom 2") << 2.0 << "1.000ms" << "0.000s"
                                    << QStringList{"C 321,30 329,30 329,40 325,44 321,40 321,30", "T 322,31 'T'"};
    QTest::newRow("column 100") << 1.0 << "1.000ms" << "2.000ms"
                                << QStringList{"C 121,30 129,30 129,40 125,44 121,40 121,30", "T 122,31 'T'"};
    QTest::newRow("column 3.5: still the pentagon")
        << 1.0 << "25.00s" << "146.5s"
        << QStringList{"C 24.5,30 32.5,30 32.5,40 28.5,44 24.5,40 24.5,30", "T 25.5,31 'T'"};
    QTest::newRow("column 295.5: still the pentagon")
        << 2.0 << "25.00s" << "-145.5s"
        << QStringList{"C 612,30 620,30 620,40 616,44 612,40 612,30", "T 613,31 'T'"};
    QTest::newRow("column exactly 296: right arrow")
        << 1.0 << "25.00s" << "-146.0s"
        << QStringList{"C 308,30 320,30 324,35 320,40 308,40 308,30", "T 311,30 'T'"};
    QTest::newRow("right arrow, zoom 2") << 2.0 << "25.00s" << "-200.0s"
                                         << QStringList{"C 608,30 620,30 624,35 620,40 608,40 608,30", "T 611,30 'T'"};
    QTest::newRow("column exactly 3: left arrow, fixed pixels")
        << 2.0 << "25.00s" << "147.0s"
        << QStringList{"C 42,30 30,30 26,35 30,40 42,40 42,30", "T 33,30 'T'"};
    QTest::newRow("zero time/div, delay before: left arrow")
        << 1.0 << "0.000s" << "1.000ms" << QStringList{"C 42,30 30,30 26,35 30,40 42,40 42,30", "T 33,30 'T'"};
    QTest::newRow("zero time/div, delay after: right arrow")
        << 1.0 << "0.000s" << "-1.000ms"
        << QStringList{"C 308,30 320,30 324,35 320,40 308,40 308,30", "T 311,30 'T'"};
    QTest::newRow("zero time/div and zero delay: no marker") << 1.0 << "0.000s" << "0.000s" << QStringList{};
    QTest::newRow("unreadable time/div and delay: no marker") << 1.0 << "*" << "<" << QStringList{};
}

void TestWaveMarkers::trigMarker()
{
    QFETCH(double, zoom);
    QFETCH(QString, timeDiv);
    QFETCH(QString, delay);
    QFETCH(QStringList, marker);
    const WaveShapes shapes = TrigMarkShapes(zoom, timeDiv, delay, true);
    QCOMPARE(markerOf(shapes), marker);
    for (const WaveShape &s : shapes.mid(0, shapes.size() - 1))
        QCOMPARE(s.color, Orange);
}

void TestWaveMarkers::trigMarkTexts_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QString>("timeDiv");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("zoom 1") << 1.0 << "1.000ms" << "0.000s"
                            << QStringList{"C 171,26 179,26 175,30 171,26",
                                           "C 171,30 179,30 179,40 175,44 171,40 171,30", "T 172,31 'T'",
                                           "T 225,228 'Delay:0.000s'", "T 175,228 '1.000ms' bold"};
    QTest::newRow("zoom 2") << 2.0 << "2.000us" << "-1.000us"
                            << QStringList{"C 321,26 329,26 325,30 321,26",
                                           "C 346,30 354,30 354,40 350,44 346,40 346,30", "T 347,31 'T'",
                                           "T 425,431 'Delay:-1.000us'", "T 325,431 '2.000us' bold"};
    // A failed transfer stores "0.000s": no marker, but the centre mark and
    // both texts are drawn.
    QTest::newRow("zero scale") << 1.0 << "0.000s" << "0.000s"
                                << QStringList{"C 171,26 179,26 175,30 171,26", "T 225,228 'Delay:0.000s'",
                                               "T 175,228 '0.000s' bold"};
}

void TestWaveMarkers::trigMarkTexts()
{
    QFETCH(double, zoom);
    QFETCH(QString, timeDiv);
    QFETCH(QString, delay);
    QFETCH(QStringList, expected);
    const WaveShapes colour = TrigMarkShapes(zoom, timeDiv, delay, true);
    QCOMPARE(describe(colour), expected);
    QCOMPARE(colour.last().color, White); // the time/div text
    QCOMPARE(colour[colour.size() - 2].color, Orange); // the delay text
    for (const WaveShape &s : TrigMarkShapes(zoom, timeDiv, delay, false))
        QCOMPARE(s.color, Black);
}

void TestWaveMarkers::altTrigMarks()
{
    // CH1 at column 150, CH2 at column 125 (a delay of one division).
    const WaveShapes shapes = AltTrigMarksShapes(1.0, QStringLiteral("1.000ms"), QStringLiteral("0.000s"),
                                                 QStringLiteral("200.0us"), QStringLiteral("200.0us"), true);
    const QStringList expected{
        "C 171,26 179,26 175,30 171,26",
        "C 171,30 179,30 179,40 175,44 171,40 171,30",
        "T 172,31 'T'",
        "C 171,126 179,126 175,130 171,126",
        "C 146,130 154,130 154,140 150,144 146,140 146,130",
        "T 147,131 'T'",
        "T 175,228 'Delay1: 0.000s'",
        "T 163,110 '1.000ms' bold",
        "T 255,228 'Delay2: 200.0us'",
        "T 163,210 '200.0us' bold",
    };
    QCOMPARE(describe(shapes), expected);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(shapes[i].color, Orange);
    QCOMPARE(shapes[6].color, CH1Color);
    QCOMPARE(shapes[7].color, CH1Color);
    QCOMPARE(shapes[8].color, CH2Color);
    QCOMPARE(shapes[9].color, CH2Color);

    // Zoom 2, CH2's trigger right of the screen, CH1's with a zero scale.
    const QStringList zoom2{
        "C 321,26 329,26 325,30 321,26",
        "C 321,226 329,226 325,230 321,226",
        "C 608,230 620,230 624,235 620,240 608,240 608,230",
        "T 611,230 'T'",
        "T 325,431 'Delay1: 0.000s'",
        "T 301,195 '0.000s' bold",
        "T 485,431 'Delay2: -10.00ms'",
        "T 301,395 '1.000ms' bold",
    };
    QCOMPARE(describe(AltTrigMarksShapes(2.0, QStringLiteral("0.000s"), QStringLiteral("0.000s"),
                                         QStringLiteral("1.000ms"), QStringLiteral("-10.00ms"), false)),
             zoom2);
}

void TestWaveMarkers::groundMarker_data()
{
    QTest::addColumn<QString>("channel");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QString>("voltDiv");
    QTest::addColumn<QString>("trigMode");
    QTest::addColumn<QString>("fftDisplay");
    QTest::addColumn<int>("fullScreen");
    QTest::addColumn<QStringList>("marker");
    const QString auto_ = QStringLiteral("AUTO");
    const QString alt = QStringLiteral("ALTERNATION");
    const QString off = QStringLiteral("OFF");
    QTest::newRow("CH1 ground at the centre") << "CH1" << 1.0 << "0.00uV" << "1.00V" << auto_ << off << 1
                                              << QStringList{"C 6,120 19,120 23,125 19,130 6,130 6,120",
                                                             "T 10,119 '1'"};
    QTest::newRow("CH1 one division up, zoom 2") << "CH1" << 2.0 << "500mV" << "500mV" << auto_ << off << 1
                                                 << QStringList{"C 6,170 19,170 23,175 19,180 6,180 6,170",
                                                                "T 10,169 '1'"};
    QTest::newRow("ground row 199.9: pentagon")
        << "CH1" << 1.0 << "-3.996V" << "1.00V" << auto_ << off << 1
        << QStringList{"C 6,219.9 19,219.9 23,224.9 19,229.9 6,229.9 6,219.9", "T 10,218.9 '1'"};
    QTest::newRow("ground row exactly 200: down arrow")
        << "CH1" << 1.0 << "-4.00V" << "1.00V" << auto_ << off << 1
        << QStringList{"C 12,210 22,210 22,223 17,227 12,223 12,210", "T 14,212 '1'"};
    QTest::newRow("ground row exactly 0: up arrow") << "CH1" << 1.0 << "4.00V" << "1.00V" << auto_ << off << 1
                                                    << QStringList{"C 12,40 22,40 22,27 17,23 12,27 12,40",
                                                                   "T 14,27 '1'"};
    QTest::newRow("CH2 down arrow digit") << "CH2" << 1.0 << "-10.0V" << "1.00V" << auto_ << off << 1
                                          << QStringList{"C 12,210 22,210 22,223 17,227 12,223 12,210",
                                                         "T 14,211 '2'"};
    QTest::newRow("CH2 up arrow digit") << "CH2" << 1.0 << "10.0V" << "1.00V" << auto_ << off << 1
                                        << QStringList{"C 12,40 22,40 22,27 17,23 12,27 12,40", "T 14,26 '2'"};
    // Alternate trigger: CH1 halved in the upper half, CH2 in the lower
    // half (100Z below, rounded for the pentagon: 100.5 -> 100).
    QTest::newRow("alternate: CH1 upper half") << "CH1" << 1.0 << "0.00uV" << "1.00V" << alt << off << 1
                                               << QStringList{"C 6,70 19,70 23,75 19,80 6,80 6,70",
                                                              "T 10,69 '1'"};
    QTest::newRow("alternate: CH2 lower half, half pixel rounded to even")
        << "CH2" << 1.005 << "0.00uV" << "1.00V" << alt << off << 1
        << QStringList{"C 6,170.25 19,170.25 23,175.25 19,180.25 6,180.25 6,170.25", "T 10,169.25 '2'"};
    QTest::newRow("alternate: CH2 down arrow at the bottom")
        << "CH2" << 1.0 << "-5.00V" << "1.00V" << alt << off << 1
        << QStringList{"C 12,210 22,210 22,223 17,227 12,223 12,210", "T 14,211 '2'"};
    QTest::newRow("alternate: CH2 up arrow below the split line")
        << "CH2" << 1.0 << "5.00V" << "1.00V" << alt << off << 1
        << QStringList{"C 12,140 22,140 22,127 17,123 12,127 12,140", "T 14,126 '2'"};
    QTest::newRow("alternate: CH1 down arrow at the split line")
        << "CH1" << 1.0 << "-5.00V" << "1.00V" << alt << off << 1
        << QStringList{"C 12,110 22,110 22,123 17,127 12,123 12,110", "T 14,112 '1'"};
    // Split FFT view: both channels halved in the upper half.
    QTest::newRow("split FFT: CH2 stays in the upper half")
        << "CH2" << 1.0 << "0.00uV" << "1.00V" << auto_ << On << 0
        << QStringList{"C 6,70 19,70 23,75 19,80 6,80 6,70", "T 10,69 '2'"};
    QTest::newRow("split FFT, Chinese on-word: halved the same")
        << "CH2" << 1.0 << "0.00uV" << "1.00V" << auto_ << QString::fromUtf8("打开") << 0
        << QStringList{"C 6,70 19,70 23,75 19,80 6,80 6,70", "T 10,69 '2'"};
    QTest::newRow("split FFT: CH2 down arrow at the split line")
        << "CH2" << 1.0 << "-5.00V" << "1.00V" << auto_ << On << 0
        << QStringList{"C 12,110 22,110 22,123 17,127 12,123 12,110", "T 14,111 '2'"};
    QTest::newRow("full-screen FFT: not halved") << "CH2" << 1.0 << "0.00uV" << "1.00V" << auto_ << On << 1
                                                 << QStringList{"C 6,120 19,120 23,125 19,130 6,130 6,120",
                                                                "T 10,119 '2'"};
    QTest::newRow("unreadable offset: ground at the centre")
        << "CH1" << 1.0 << ">1.00V" << "1.00V" << auto_ << off << 1
        << QStringList{"C 6,120 19,120 23,125 19,130 6,130 6,120", "T 10,119 '1'"};
}

void TestWaveMarkers::groundMarker()
{
    QFETCH(QString, channel);
    QFETCH(double, zoom);
    QFETCH(QString, offset);
    QFETCH(QString, voltDiv);
    QFETCH(QString, trigMode);
    QFETCH(QString, fftDisplay);
    QFETCH(int, fullScreen);
    QFETCH(QStringList, marker);
    const WaveShapes shapes =
        ChannelLabelShapes(CH2Color, zoom, channel, offset, voltDiv, trigMode, fftDisplay, fullScreen);
    QStringList d = describe(shapes);
    QVERIFY(!d.isEmpty());
    d.removeLast(); // the scale text
    // Pentagon corners are compared to a tenth of a pixel.
    QCOMPARE(d.size(), marker.size());
    for (int i = 0; i < d.size(); ++i) {
        const QStringList got = d[i].split(QLatin1Char(' '));
        const QStringList want = marker[i].split(QLatin1Char(' '));
        QCOMPARE(got.size(), want.size());
        for (int k = 0; k < got.size(); ++k) {
            const QStringList g = got[k].split(QLatin1Char(','));
            const QStringList w = want[k].split(QLatin1Char(','));
            if (g.size() == 2 && w.size() == 2) {
                QVERIFY2(std::fabs(g[0].toDouble() - w[0].toDouble()) < 1e-6
                             && std::fabs(g[1].toDouble() - w[1].toDouble()) < 1e-6,
                         qPrintable(d[i] + QStringLiteral(" vs ") + marker[i]));
            } else {
                QCOMPARE(got[k], want[k]);
            }
        }
    }
    for (const WaveShape &s : shapes)
        QCOMPARE(s.color, CH2Color);
}

void TestWaveMarkers::channelScaleTexts_data()
{
    QTest::addColumn<QString>("channel");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QString>("text");
    QTest::newRow("CH1 zoom 1") << "CH1" << 1.0 << "T 25,228 'CH1 500mV' bold";
    QTest::newRow("CH2 zoom 1") << "CH2" << 1.0 << "T 100,228 'CH2 500mV' bold";
    QTest::newRow("CH1 stays at x 25, zoom 0.5") << "CH1" << 0.5 << "T 25,126.5 'CH1 500mV' bold";
    QTest::newRow("CH2 moves to x 62.5, zoom 0.5") << "CH2" << 0.5 << "T 62.5,126.5 'CH2 500mV' bold";
    QTest::newRow("CH2 zoom 2") << "CH2" << 2.0 << "T 175,431 'CH2 500mV' bold";
}

void TestWaveMarkers::channelScaleTexts()
{
    QFETCH(QString, channel);
    QFETCH(double, zoom);
    QFETCH(QString, text);
    const WaveShapes shapes = ChannelLabelShapes(CH1Color, zoom, channel, QStringLiteral("0.00uV"),
                                                 QStringLiteral("500mV"), QString(), QString(), 1);
    QCOMPARE(describe(shapes.last()), text);
    // Another channel name draws no text.
    for (const WaveShape &s : ChannelLabelShapes(CH1Color, zoom, QStringLiteral("MATH"), QStringLiteral("0.00uV"),
                                                 QStringLiteral("500mV"), QString(), QString(), 1))
        QVERIFY(s.kind != WaveShape::Text);
}

void TestWaveMarkers::zeroVoltsPerDivision_data()
{
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("0 V over 0: no marker, text drawn") << "0.00uV" << QStringList{"T 25,228 'CH1 0.00uV' bold"};
    QTest::newRow("above over 0: up arrow")
        << "1.00V"
        << QStringList{"C 12,40 22,40 22,27 17,23 12,27 12,40", "T 14,27 '1'", "T 25,228 'CH1 0.00uV' bold"};
    QTest::newRow("below over 0: down arrow")
        << "-1.00V"
        << QStringList{"C 12,210 22,210 22,223 17,227 12,223 12,210", "T 14,212 '1'", "T 25,228 'CH1 0.00uV' bold"};
}

void TestWaveMarkers::zeroVoltsPerDivision()
{
    QFETCH(QString, offset);
    QFETCH(QStringList, expected);
    QCOMPARE(describe(ChannelLabelShapes(CH1Color, 1.0, QStringLiteral("CH1"), offset, QStringLiteral("0.00uV"),
                                         QString(), QString(), 1)),
             expected);
}

void TestWaveMarkers::mathMarkerPlace_data()
{
    QTest::addColumn<bool>("fftOn");
    QTest::addColumn<QString>("trigMode");
    QTest::addColumn<int>("fullScreen");
    QTest::addColumn<int>("lowerHalf");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("top");
    // Position 20 rows above the centre: ground row 80.
    QTest::newRow("MATH, full screen") << false << "AUTO" << 1 << 0 << 1.0 << 100.0;
    QTest::newRow("MATH, alternate: lower half") << false << "ALTERNATION" << 1 << 0 << 1.0 << 160.0;
    QTest::newRow("MATH, alternate, zoom 1.005: half rounded") << false << "ALTERNATION" << 1 << 0 << 1.005
                                                               << 40.2 + 20 + 100;
    QTest::newRow("FFT split: lower half") << true << "AUTO" << 0 << 0 << 1.0 << 160.0;
    QTest::newRow("FFT full screen") << true << "AUTO" << 1 << 0 << 2.0 << 180.0;
    QTest::newRow("FFT alternate, lower") << true << "ALTERNATION" << 1 << 1 << 2.0 << 300.0;
    QTest::newRow("FFT alternate, upper") << true << "ALTERNATION" << 1 << 0 << 2.0 << 100.0;
}

void TestWaveMarkers::mathMarkerPlace()
{
    QFETCH(bool, fftOn);
    QFETCH(QString, trigMode);
    QFETCH(int, fullScreen);
    QFETCH(int, lowerHalf);
    QFETCH(double, zoom);
    QFETCH(double, top);
    SetupBlock s;
    s.MathPosition = fftOn ? -70 : 20; // the other one must not count
    s.FFTPosition = fftOn ? 20 : -70;
    s.FFTFullScreen = quint8(fullScreen);
    s.AltMathLower = quint8(lowerHalf);
    const WaveShapes shapes = MathLabelShapes(MathColor, zoom, s, trigMode, fftOn ? On : QStringLiteral("OFF"));
    QVERIFY(shapes.size() >= 3);
    QCOMPARE(shapes[0].kind, WaveShape::Chain);
    const QPolygonF &pts = shapes[0].points;
    QCOMPARE(pts.size(), 6);
    QVERIFY2(std::fabs(pts[0].y() - top) < 1e-9, qPrintable(QString::number(pts[0].y())));
    QCOMPARE(pts[0].x(), 6.0);
    QCOMPARE(pts[2], QPointF(23, pts[0].y() + 5));
    QCOMPARE(describe(shapes[1]), QStringLiteral("T 9,%1 'm'").arg(MarkShapes::num(pts[0].y() - 3)));
    for (const WaveShape &sh : shapes)
        QCOMPARE(sh.color, MathColor);
}

void TestWaveMarkers::mathOffScreenDrawsNothing_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("100 rows up: ground row 0") << 100 << false;
    QTest::newRow("-100 rows: ground row 200") << -100 << false;
    QTest::newRow("far off") << 32000 << false;
    QTest::newRow("99 rows up") << 99 << true;
    QTest::newRow("-99 rows") << -99 << true;
}

void TestWaveMarkers::mathOffScreenDrawsNothing()
{
    QFETCH(int, position);
    QFETCH(bool, drawn);
    SetupBlock s;
    s.MathPosition = qint16(position);
    s.FFTPosition = qint16(position);
    s.MathScale = 1.0f;
    QCOMPARE(!MathLabelShapes(MathColor, 1.0, s, QString(), QString()).isEmpty(), drawn);
    QCOMPARE(!MathLabelShapes(MathColor, 1.0, s, QString(), On).isEmpty(), drawn);
}

void TestWaveMarkers::mathScaleTexts_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("decibel");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("MATH") << 0 << 0 << 1.0 << QStringList{"T 25,239 'Math scale 500mV' bold"};
    QTest::newRow("MATH product gets a 2") << 2 << 0 << 1.0 << QStringList{"T 25,239 'Math scale 500mV2' bold"};
    QTest::newRow("FFT linear") << 3 << 0 << 1.0
                                << QStringList{"T 25,239 'FFT 200mVrms/div  ' bold", "T 175,239 '25.00Hz/div' bold"};
    QTest::newRow("FFT decibel, zoom 2")
        << 3 << 1 << 2.0 << QStringList{"T 25,453 'FFT 10.0dBVrms/div ' bold", "T 325,453 '25.00Hz/div' bold"};
}

void TestWaveMarkers::mathScaleTexts()
{
    QFETCH(int, function);
    QFETCH(int, decibel);
    QFETCH(double, zoom);
    QFETCH(QStringList, texts);
    SetupBlock s;
    s.MathOperation = quint8(function);
    s.MathScale = 0.5f;
    s.FFTDecibelScale = quint8(decibel);
    s.FFTScaleDB = 10;
    s.FFTScaleVrms = 0.2f;
    s.FFTHzPerDiv = 25.0f;
    s.FFTFullScreen = 1;
    const WaveShapes shapes = MathLabelShapes(MathColor, zoom, s, QString(), QString());
    QCOMPARE(describe(shapes).mid(2), texts);
}

void TestWaveMarkers::paintedMarkers()
{
    QImage img(350, 250, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        // Trigger at column 100 (pentagon spanning x 121..129, y 30..44) and
        // a CH1 ground pentagon at row 100 (x 6..23, y 120..130).
        DrawTrigMark(p, 1.0, QStringLiteral("1.000ms"), QStringLiteral("2.000ms"), true);
        DrawChannelLabel(p, CH1Color, 1.0, QStringLiteral("CH1"), QStringLiteral("0.00uV"), QStringLiteral("1.00V"),
                         QString(), QString(), 1);
    }
    QCOMPARE(img.pixelColor(121, 35), Orange); // left side of the pentagon
    QCOMPARE(img.pixelColor(129, 35), Orange); // right side
    QCOMPARE(img.pixelColor(125, 30), Orange); // top
    QCOMPARE(img.pixelColor(175, 26), Orange); // the centre mark's top edge
    QCOMPARE(img.pixelColor(6, 125), CH1Color);
    QCOMPARE(img.pixelColor(15, 120), CH1Color);
    QCOMPARE(img.pixelColor(15, 130), CH1Color);
    QVERIFY(img.pixelColor(40, 125) != CH1Color);
    // The texts land on the first text line under the graticule.
    QVERIFY(MarkShapes::countColour(img, CH1Color, QRect(25, 228, 70, 16)) > 10);
    QVERIFY(MarkShapes::countColour(img, White, QRect(175, 228, 50, 16)) > 10);
    QVERIFY(MarkShapes::countColour(img, Orange, QRect(225, 228, 100, 16)) > 10);
    QCOMPARE(MarkShapes::countColour(img, White, QRect(0, 0, 350, 225)), 0);
}

void TestWaveMarkers::paintedMarkersBlackAndWhite()
{
    QImage img(350, 250, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        DrawAltTrigMarks(p, 1.0, QStringLiteral("1.000ms"), QStringLiteral("0.000s"), QStringLiteral("1.000ms"),
                         QStringLiteral("0.000s"), false);
    }
    QCOMPARE(img.pixelColor(171, 35), Black);  // upper pentagon
    QCOMPARE(img.pixelColor(171, 135), Black); // lower pentagon
    QCOMPARE(MarkShapes::countColour(img, Orange, img.rect()), 0);
    QCOMPARE(MarkShapes::countColour(img, CH1Color, img.rect()), 0);
}

QTEST_MAIN(TestWaveMarkers)
#include "tst_wavemarkers.moc"
