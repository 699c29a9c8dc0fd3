// The traces of a waveform record: the trace walk's columns and samples at
// each zoom, the places of CH1, CH2 and MATH in every layout, the FFT window
// by span and centre, the X-Y figure, the bounds put on values that come from
// the instrument or a file, and a few pixels of the painted picture.

#include "common/constants.h"
#include "wave/wavecanvas.h"
#include "wave/wavegrid.h"
#include "wave/wavetraces.h"

#include <QtTest>

namespace {

const QString kOn = QStringLiteral("ON");

// Rows 0..8192 whose sample i holds f(i).
QList<qint32> rows(const std::function<qint32(int)> &f, int size = WaveDoc::RowsSize)
{
    QList<qint32> r(size, 0);
    for (int i = 1; i < size; ++i)
        r[i] = f(i);
    return r;
}

WaveDoc ytRecord()
{
    WaveDoc d;
    d.HasData = true;
    d.YTFormat = true;
    d.ColorMode = true;
    d.PointCount = 600;
    d.TrigMode = QStringLiteral("EDGE");
    d.FFTDisplay = QStringLiteral("OFF");
    d.Setup.FirstPoint = 0;
    d.Setup.LastPoint = 299;
    d.CH1Rows = rows([](int) { return 100; });
    d.CH2Rows = rows([](int) { return 150; });
    d.MathRows = rows([](int) { return 40; });
    d.FFTRows = rows([](int i) { return i % 200; });
    return d;
}

WaveDrawEnv env(double zoom = 1.0, int laModel = 1)
{
    return WaveDrawEnv{zoom, laModel};
}

// The sample index each vertex shows, for rows holding their own index.
QList<int> samples(const QList<QPointF> &v, double zoom = 1.0, double base = 25.0, double div = 1.0)
{
    QList<int> out;
    for (const QPointF &p : v)
        out << int(qRound((p.y() - base) * div / zoom));
    return out;
}

QImage picture(const WaveDoc &d, double zoom = 1.0, int laModel = 1)
{
    QImage img(int(350 * zoom), int(250 * zoom), QImage::Format_RGB32);
    WaveCanvas c(&img);
    DrawScrGrid(c, {zoom, d.ColorMode, false, d.SplitScreen});
    DrawOSC(c, d, env(zoom, laModel));
    return img;
}

} // namespace

class TestWaveTraces : public QObject {
    Q_OBJECT
private slots:
    void walk_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("startX");
        QTest::addColumn<int>("endX");
        QTest::addColumn<int>("lastSample");
        QTest::newRow("full screen, 100%") << 1.0 << 0 << 299 << 599 << 25 << 324 << 599;
        QTest::newRow("full screen, 200% reaches sample 600") << 2.0 << 0 << 299 << 600 << 25 << 624 << 600;
        QTest::newRow("full screen, 50%") << 0.5 << 0 << 299 << 597 << 25 << 174 << 597;
        QTest::newRow("partial window") << 1.0 << 10 << 20 << 21 << 35 << 45 << 41;
        QTest::newRow("one column: the first stroke only") << 1.0 << 5 << 5 << 2 << 30 << 30 << 12;
    }
    void walk()
    {
        QFETCH(double, zoom);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, count);
        QFETCH(int, startX);
        QFETCH(int, endX);
        QFETCH(int, lastSample);
        const QList<qint32> r = rows([](int i) { return i; });
        const QList<QPointF> v = traceWalk(r, 600, first, last, zoom, {1.0, 25.0});
        QCOMPARE(v.size(), count);
        QCOMPARE(v[0].x(), double(startX));
        QCOMPARE(v[1].x(), double(startX)); // the first stroke joins samples 2f+1 and 2f+2
        QCOMPARE(samples(v, zoom).mid(0, 2), (QList<int>{2 * first + 1, 2 * first + 2}));
        QCOMPARE(v.last().x(), double(endX));
        QCOMPARE(samples(v, zoom).last(), lastSample);
        // One connected polyline whose x never goes back.
        for (int i = 1; i < v.size(); ++i)
            QVERIFY(v[i].x() >= v[i - 1].x());
    }

    void twoSamplesShareAColumnAtZoomOne()
    {
        const QList<QPointF> v = traceWalk(rows([](int i) { return i % 200; }), 600, 0, 299, 1.0, {});
        QCOMPARE(v[2].x(), 26.0); // samples 3 and 4 in column 1
        QCOMPARE(v[3].x(), 26.0);
        QCOMPARE(v[4].x(), 27.0);
    }

    void walkBounds_data()
    {
        QTest::addColumn<int>("pointCount");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("rowsSize");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("lastSample");
        QTest::newRow("no points") << 0 << 0 << 299 << 8193 << 0 << -1;
        QTest::newRow("negative point count") << -600 << 0 << 299 << 8193 << 0 << -1;
        QTest::newRow("first above last") << 600 << 200 << 100 << 8193 << 0 << -1;
        QTest::newRow("first past the screen") << 600 << 300 << 400 << 8193 << 0 << -1;
        QTest::newRow("last past the screen ends at column 299") << 600 << 0 << 30000 << 8193 << 599 << 599;
        QTest::newRow("negative first starts at column 0") << 600 << -40 << 299 << 8193 << 599 << 599;
        QTest::newRow("short array ends at its last sample") << 600 << 0 << 299 << 101 << 100 << 100;
        QTest::newRow("empty array") << 600 << 0 << 299 << 0 << 0 << -1;
        QTest::newRow("huge point count stays in the array") << 1000000000 << 0 << 299 << 1025 << 1024 << 1024;
    }
    void walkBounds()
    {
        QFETCH(int, pointCount);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, rowsSize);
        QFETCH(int, count);
        QFETCH(int, lastSample);
        const QList<qint32> r = rows([](int i) { return i; }, rowsSize);
        const QList<QPointF> v = traceWalk(r, pointCount, first, last, 1.0, {});
        QCOMPARE(v.size(), count);
        if (count > 0)
            QCOMPARE(samples(v).last(), lastSample);
    }

    void places_data()
    {
        QTest::addColumn<QString>("trigMode");
        QTest::addColumn<QString>("fft");
        QTest::addColumn<int>("fftFull");
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<double>("yOfRow100");
        const int ch1 = int(AnalogTrace::CH1), ch2 = int(AnalogTrace::CH2), math = int(AnalogTrace::Math);
        QTest::newRow("CH1 full") << "EDGE" << "OFF" << 0 << ch1 << 3 << 290 << 125.0;
        QTest::newRow("MATH full") << "EDGE" << "OFF" << 0 << math << 3 << 290 << 125.0;
        QTest::newRow("CH1 alternate: upper half, own window") << "ALTERNATION" << "OFF" << 0 << ch1 << 10 << 200 << 75.0;
        QTest::newRow("CH2 alternate: lower half") << "ALTERNATION" << "OFF" << 0 << ch2 << 20 << 250 << 175.0;
        QTest::newRow("MATH alternate: CH2's window") << "ALTERNATION" << "OFF" << 0 << math << 20 << 250 << 175.0;
        QTest::newRow("CH2 split FFT: upper half") << "EDGE" << "ON" << 0 << ch2 << 3 << 290 << 75.0;
        QTest::newRow("CH1 full-screen FFT") << "EDGE" << "ON" << 1 << ch1 << 3 << 290 << 125.0;
    }
    void places()
    {
        QFETCH(QString, trigMode);
        QFETCH(QString, fft);
        QFETCH(int, fftFull);
        QFETCH(int, which);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(double, yOfRow100);
        WaveDoc d = ytRecord();
        d.TrigMode = trigMode;
        d.FFTDisplay = fft;
        d.Setup.FFTFullScreen = quint8(fftFull);
        d.Setup.FirstPoint = 3;
        d.Setup.LastPoint = 290;
        d.Setup.CH1FirstPoint = 10;
        d.Setup.CH1LastPoint = 200;
        d.Setup.CH2FirstPoint = 20;
        d.Setup.CH2LastPoint = 250;
        const TracePlace p = tracePlace(d, AnalogTrace(which), env());
        QCOMPARE(p.first, first);
        QCOMPARE(p.last, last);
        QCOMPARE(100 / p.map.divisor + p.map.base, yOfRow100);
        // At 200 % the lower half starts 200 pixels below the top line.
        const TracePlace z2 = tracePlace(d, AnalogTrace(which), env(2.0));
        QCOMPARE(100 / z2.map.divisor * 2 + z2.map.base, (yOfRow100 - 25) * 2 + 25);
    }

    void fftWindow_data()
    {
        QTest::addColumn<int>("span");
        QTest::addColumn<int>("centre");
        QTest::addColumn<int>("startX");
        QTest::addColumn<int>("firstSample");
        QTest::addColumn<int>("endX");
        QTest::addColumn<int>("lastSample");
        QTest::newRow("span 4, centre 150") << 4 << 150 << 25 << 1 << 274 << 499;
        QTest::newRow("span 1 stops at sample 512") << 1 << 150 << 25 << 1 << 280 << 512;
        QTest::newRow("centre 100: columns left of 50 empty") << 4 << 100 << 75 << 1 << 323 << 497;
        QTest::newRow("centre 200 hides the first samples") << 4 << 200 << 25 << 101 << 224 << 499;
        QTest::newRow("unknown span code as 500") << 9 << 150 << 25 << 1 << 274 << 499;
        QTest::newRow("centre 400 draws nothing") << 4 << 400 << 0 << 0 << 0 << 0;
        QTest::newRow("centre past the samples draws nothing") << 1 << 2000 << 0 << 0 << 0 << 0;
        QTest::newRow("centre far left draws nothing") << 1 << -500 << 0 << 0 << 0 << 0;
        QTest::newRow("sample 512 first: one stroke") << 1 << 405 << 25 << 511 << 25 << 512;
    }
    void fftWindow()
    {
        QFETCH(int, span);
        QFETCH(int, centre);
        QFETCH(int, startX);
        QFETCH(int, firstSample);
        QFETCH(int, endX);
        QFETCH(int, lastSample);
        WaveDoc d = ytRecord();
        d.FFTRows = rows([](int i) { return i; });
        d.Setup.FFTFullScreen = 1;
        d.Setup.FFTSpanCode = qint16(span);
        d.Setup.FFTCentre = qint16(centre);
        const QList<QPointF> v = fftTraceVertices(d, env());
        if (firstSample == 0) {
            QVERIFY(v.isEmpty());
            return;
        }
        QCOMPARE(v.first().x(), double(startX));
        QCOMPARE(samples(v).first(), firstSample);
        QCOMPARE(v.last().x(), double(endX));
        QCOMPARE(samples(v).last(), lastSample);
        QVERIFY(samples(v).last() <= 512);
    }

    void fftSplitPlacesAndCaps_data()
    {
        QTest::addColumn<QString>("trigMode");
        QTest::addColumn<int>("lower");
        QTest::addColumn<int>("laModel");
        QTest::addColumn<double>("base");
        QTest::addColumn<double>("offset");
        QTest::newRow("split: lower half") << "EDGE" << 0 << 1 << 125.0 << 0.0;
        QTest::newRow("no logic channels: 12.5 rows lower") << "EDGE" << 0 << 0 << 125.0 << 12.5;
        QTest::newRow("alternate, upper half") << "ALTERNATION" << 0 << 1 << 25.0 << 0.0;
        QTest::newRow("alternate, lower half") << "ALTERNATION" << 1 << 1 << 125.0 << 0.0;
    }
    void fftSplitPlacesAndCaps()
    {
        QFETCH(QString, trigMode);
        QFETCH(int, lower);
        QFETCH(int, laModel);
        QFETCH(double, base);
        QFETCH(double, offset);
        WaveDoc d = ytRecord();
        d.TrigMode = trigMode;
        d.Setup.AltMathLower = quint8(lower);
        d.Setup.FFTFullScreen = 0;
        d.Setup.FFTSpanCode = 4;
        d.Setup.FFTCentre = 150;
        d.FFTRows = rows([](int i) { return i % 2 ? 30 : 195; }); // odd samples low, even high
        const QList<QPointF> v = fftTraceVertices(d, env(1.0, laModel));
        QCOMPARE(v[0].y(), 30 + offset + base);
        // The second end of the first stroke is rounded before it is placed;
        // every value is capped at 100 rows.
        QCOMPARE(v[1].y(), 100 + base);
        QCOMPARE(v[2].y(), 30 + offset + base);
        for (const QPointF &p : v)
            QVERIFY(p.y() <= 100 + base);
    }

    void fftFirstStrokeRounding()
    {
        WaveDoc d = ytRecord();
        d.Setup.FFTFullScreen = 0;
        d.Setup.FFTSpanCode = 4;
        d.Setup.FFTCentre = 150;
        d.FFTRows = rows([](int) { return 40; });
        const QList<QPointF> v = fftTraceVertices(d, env(1.0, 0));
        QCOMPARE(v[0].y(), 52.5 + 125); // unrounded
        QCOMPARE(v[1].y(), 52.0 + 125); // 52.5 rounded half to even
        QCOMPARE(v[2].y(), 52.5 + 125);
    }

    void xyFigure()
    {
        WaveDoc d = ytRecord();
        d.YTFormat = false;
        d.XYFormat = true;
        d.CH1Rows = rows([](int i) { return i % 200; });
        d.CH2Rows = rows([](int i) { return (i * 3) % 200; });
        const QList<QPointF> v = xyPoints(d, 1.0);
        QCOMPARE(v.size(), 600);
        QCOMPARE(v[0], QPointF(250 - 1 + 25, 3 + 25));
        QCOMPARE(v[99], QPointF(250 - 100 + 25, 100 + 25)); // row 100 on the vertical axis
        QCOMPARE(xyPoints(d, 2.0)[99], QPointF(150 * 2 + 25, 100 * 2 + 25));
        // Counts beyond the arrays, or none, stay inside them.
        d.PointCount = 5000000;
        d.CH2Rows = rows([](int) { return 0; }, 301);
        QCOMPARE(xyPoints(d, 1.0).size(), 300);
        d.PointCount = 0;
        QVERIFY(xyPoints(d, 1.0).isEmpty());
        d.PointCount = -3;
        QVERIFY(xyPoints(d, 1.0).isEmpty());
    }

    void xyTexts()
    {
        WaveDoc d = ytRecord();
        d.CH1VoltDiv = QStringLiteral("1.00V");
        d.CH2VoltDiv = QStringLiteral("500mV");
        const QList<PlacedText> colour = xyLabels(d, 2.0);
        QCOMPARE(colour, (QList<PlacedText>{
                             {QStringLiteral("X-Y Mode"), QPointF(245, 10), QColor(0, 255, 0)},
                             {QStringLiteral("CH1 1.00V"), QPointF(25, 433), CH1Color},
                             {QStringLiteral("CH2 500mV"), QPointF(175, 433), CH2Color},
                         }));
        d.ColorMode = false;
        for (const PlacedText &t : xyLabels(d, 1.0))
            QCOMPARE(t.color, QColor(0, 0, 0));
    }

    // --- the painted picture ----------------------------------------------------

    void paintedTraces_data()
    {
        QTest::addColumn<bool>("colour");
        QTest::addColumn<bool>("roll");
        QTest::addColumn<int>("ch1Valid");
        QTest::addColumn<bool>("ch1Drawn");
        QTest::newRow("colour, valid") << true << false << 1 << true;
        QTest::newRow("colour, invalid") << true << false << 0 << false;
        QTest::newRow("colour, invalid, rolling") << true << true << 0 << false;
        QTest::newRow("black and white, invalid, rolling") << false << true << 0 << true;
        QTest::newRow("black and white, invalid") << false << false << 0 << false;
    }
    void paintedTraces()
    {
        QFETCH(bool, colour);
        QFETCH(bool, roll);
        QFETCH(int, ch1Valid);
        QFETCH(bool, ch1Drawn);
        WaveDoc d = ytRecord();
        d.ColorMode = colour;
        d.RollMode = roll;
        d.YTFormat = !roll;
        d.DrawCH1 = true;
        d.Setup.CH1Valid = quint8(ch1Valid);
        d.CH1Rows = rows([](int) { return 60; });
        const QImage img = picture(d);
        const QColor traceColour = colour ? CH1Color : QColor(0, 0, 0);
        const QColor background = colour ? QColor(0, 0, 0) : QColor(255, 255, 255);
        QCOMPARE(img.pixelColor(101, 85), ch1Drawn ? traceColour : background);
        QCOMPARE(img.pixelColor(101, 95), background);
    }

    void paintedOrderAndColours()
    {
        WaveDoc d = ytRecord();
        d.DrawCH1 = d.DrawCH2 = d.DrawMath = true;
        d.Setup.CH1Valid = d.Setup.CH2Valid = d.Setup.MathValid = 1;
        d.CH1Rows = rows([](int) { return 50; });
        d.CH2Rows = rows([](int) { return 50; }); // over CH1: drawn later
        QImage img = picture(d);
        QCOMPARE(img.pixelColor(101, 75), CH2Color);
        QCOMPARE(img.pixelColor(101, 65), MathColor);
        // The Draw flags, not the Show flags, decide.
        d.ShowCH2 = true;
        d.DrawCH2 = false;
        img = picture(d);
        QCOMPARE(img.pixelColor(101, 75), CH1Color);
        // FFT on: the FFT replaces the MATH trace.
        d.FFTDisplay = kOn;
        d.Setup.FFTFullScreen = 1;
        d.Setup.FFTValid = 1;
        d.Setup.FFTSpanCode = 4;
        d.Setup.FFTCentre = 150;
        d.FFTRows = rows([](int) { return 170; });
        img = picture(d);
        QCOMPARE(img.pixelColor(101, 195), MathColor);
        QCOMPARE(img.pixelColor(101, 65), QColor(0, 0, 0));
    }

    void paintedNothingWithoutDataOrFormat()
    {
        WaveDoc d = ytRecord();
        d.DrawCH1 = true;
        d.Setup.CH1Valid = 1;
        d.CH1Rows = rows([](int) { return 60; });
        QCOMPARE(picture(d).pixelColor(101, 85), CH1Color);
        d.HasData = false;
        QCOMPARE(picture(d).pixelColor(101, 85), QColor(0, 0, 0));
        d.HasData = true;
        d.YTFormat = false;
        QCOMPARE(picture(d).pixelColor(101, 85), QColor(0, 0, 0));
    }

    void paintedWildRecordStillDrawsTheRest()
    {
        // Values a damaged file could hold: nothing is read outside an array,
        // and the good traces are drawn.
        WaveDoc d = ytRecord();
        d.DrawCH1 = d.DrawCH2 = d.DrawMath = true;
        d.Setup.CH1Valid = d.Setup.CH2Valid = d.Setup.FFTValid = 1;
        d.CH1Rows = rows([](int) { return 2000000000; }, 40);
        d.CH2Rows = rows([](int) { return 60; });
        d.FFTDisplay = kOn;
        d.Setup.FFTFullScreen = 1;
        d.Setup.FFTCentre = 32000;
        d.Setup.FFTSpanCode = -7;
        d.FFTRows.clear();
        d.Setup.FirstPoint = -32768;
        d.Setup.LastPoint = 32767;
        const QImage img = picture(d);
        QCOMPARE(img.pixelColor(101, 85), CH2Color);
    }

    void paintedXY()
    {
        WaveDoc d = ytRecord();
        d.YTFormat = false;
        d.XYFormat = true;
        d.DrawCH1 = true;
        d.CH1Rows = rows([](int) { return 100; });
        d.CH2Rows = rows([](int) { return 100; });
        QImage img = picture(d);
        QCOMPARE(img.pixelColor(175, 125), QColor(0, 255, 0));
        QCOMPARE(img.pixelColor(174, 124), QColor(0, 255, 0)); // a 2-pixel point
        d.ColorMode = false;
        img = picture(d);
        QCOMPARE(img.pixelColor(174, 124), QColor(0, 0, 0));
    }
};

QTEST_MAIN(TestWaveTraces)
#include "tst_wavetraces.moc"
