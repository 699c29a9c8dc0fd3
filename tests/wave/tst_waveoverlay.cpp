// The cursor overlay: the lines and markers of each pair, full screen and
// split, the clamping it stores back, and the painted picture: dash-dot-dot
// lines the traces show through, transparent read-outs, both schemes, and
// positions or pictures that would put anything outside the image.

#include "app/appstate.h"
#include "common/constants.h"
#include "wave/markshapes.h"
#include "wave/waveoverlay.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <limits>

using MarkShapes::countColour;
using MarkShapes::describe;

namespace {

const QColor Cursor(230, 200, 150);
const QColor Grey(192, 192, 192);
const QColor Magenta(255, 0, 255);

WaveDoc readableDoc(bool colorMode, bool split)
{
    WaveDoc d;
    d.HasData = true;
    d.YTFormat = true;
    d.ColorMode = colorMode;
    d.SplitScreen = split;
    d.TrigMode = QStringLiteral("AUTO");
    d.TimeDiv = QStringLiteral("1.000ms");
    d.CH1VoltDiv = QStringLiteral("500mV");
    d.CH2VoltDiv = QStringLiteral("1.00V");
    return d;
}

// Positions in divisions of the pixels x and y at a zoom.
double dx(double x, double zoom = 1.0) { return CursorDivisionsOfX(x, zoom); }
double dy(double y, double zoom = 1.0) { return CursorDivisionsOfY(y, zoom); }

// X cursors at 50 and 100, Y cursors at 100 and 150 (pixels at zoom 1), both
// pairs shown.
WaveCursors bothPairs()
{
    WaveCursors c;
    c.CursorX1 = dx(50);
    c.CursorX2 = dx(100);
    c.CursorY1 = dy(100);
    c.CursorY2 = dy(150);
    c.CursorXOn = c.CursorYOn = true;
    return c;
}

QImage picture(double zoom, const QColor &background)
{
    QImage img(int(350 * zoom), int(250 * zoom), QImage::Format_RGB32);
    img.fill(background);
    return img;
}

} // namespace

class TestWaveOverlay : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void fullScreenShapes();
    void splitShapes();
    void hiddenPairsDrawNothing();
    void dragOutsideIsStoredClamped_data();
    void dragOutsideIsStoredClamped();
    void paintedColourScheme();
    void paintedBlackAndWhite();
    void tracesShowThrough();
    void bothHiddenLeavesThePictureAlone();
    void wildPositionsAndPictures_data();
    void wildPositionsAndPictures();
};

void TestWaveOverlay::fullScreenShapes()
{
    WaveCursors c;
    c.CursorX1 = dx(52);
    c.CursorX2 = dx(297);
    c.CursorY1 = dy(59);
    c.CursorY2 = dy(200);
    c.CursorXOn = c.CursorYOn = true;
    const WaveShapes shapes = CursorLineShapes(c, 1.0, false, true);
    const QStringList expected{
        "C 52,30 52,220",
        "C 297,30 297,220",
        "C 47,25 57,25 52,30 47,25",
        "C 47,225 57,225 52,220 47,225",
        "C 292,25 302,25 297,30 292,25",
        "C 292,225 302,225 297,220 292,225",
        "C 30,59 320,59",
        "C 30,200 320,200",
        "C 25,54 25,64 30,59 25,54",
        "C 325,54 325,64 320,59 325,54",
        "C 25,195 25,205 30,200 25,195",
        "C 325,195 325,205 320,200 325,195",
    };
    QCOMPARE(describe(shapes), expected);
    for (int i = 0; i < shapes.size(); ++i) {
        QCOMPARE(shapes[i].color, Cursor);
        const bool line = i == 0 || i == 1 || i == 6 || i == 7;
        QCOMPARE(shapes[i].dashDotDot, line);
    }
    for (const WaveShape &s : CursorLineShapes(c, 1.0, false, false))
        QCOMPARE(s.color, QColor(0, 0, 0));
}

void TestWaveOverlay::splitShapes()
{
    // Zoom 2: right edge 625, bottom 425, split line 225.
    WaveCursors c;
    c.CursorX1 = dx(100, 2);
    c.CursorX2 = dx(300, 2);
    c.CursorX1Low = dx(150, 2);
    c.CursorX2Low = dx(400, 2);
    c.CursorY1 = dy(60, 2);
    c.CursorY2 = dy(200, 2);
    c.CursorY1Low = dy(250.5, 2);
    c.CursorY2Low = dy(400, 2);
    c.CursorXOn = c.CursorYOn = true;
    const QStringList expected{
        "C 100,30 100,220",
        "C 300,30 300,220",
        "C 95,25 105,25 100,30 95,25",
        "C 95,225 105,225 100,220 95,225",
        "C 295,25 305,25 300,30 295,25",
        "C 295,225 305,225 300,220 295,225",
        "C 150,230 150,420",
        "C 400,230 400,420",
        "C 145,225 155,225 150,230 145,225",
        "C 145,425 155,425 150,420 145,425",
        "C 395,225 405,225 400,230 395,225",
        "C 395,425 405,425 400,420 395,425",
        "C 30,60 620,60",
        "C 30,200 620,200",
        "C 25,55 25,65 30,60 25,55",
        "C 625,55 625,65 620,60 625,55",
        "C 25,195 25,205 30,200 25,195",
        "C 625,195 625,205 620,200 625,195",
        "C 30,250.5 620,250.5",
        "C 30,400 620,400",
        "C 25,245.5 25,255.5 30,250.5 25,245.5",
        "C 625,245.5 625,255.5 620,250.5 625,245.5",
        "C 25,395 25,405 30,400 25,395",
        "C 625,395 625,405 620,400 625,395",
    };
    QCOMPARE(describe(CursorLineShapes(c, 2.0, true, true)), expected);
}

void TestWaveOverlay::hiddenPairsDrawNothing()
{
    WaveCursors c;
    QVERIFY(CursorLineShapes(c, 1.0, false, true).isEmpty());
    QVERIFY(CursorLineShapes(c, 1.0, true, true).isEmpty());
    c.CursorYOn = true;
    QCOMPARE(CursorLineShapes(c, 1.0, false, true).size(), 6);
    QCOMPARE(CursorLineShapes(c, 1.0, true, true).size(), 12);
}

void TestWaveOverlay::dragOutsideIsStoredClamped_data()
{
    QTest::addColumn<double>("dragTo");
    QTest::addColumn<double>("stored"); // divisions
    QTest::addColumn<int>("drawn");     // pixels
    QTest::newRow("x 10: the left edge, drawn at 27") << 10.0 << 0.0 << 27;
    QTest::newRow("x 400: the right edge, drawn at 323") << 400.0 << 12.0 << 323;
}

void TestWaveOverlay::dragOutsideIsStoredClamped()
{
    QFETCH(double, dragTo);
    QFETCH(double, stored);
    QFETCH(int, drawn);
    WaveCursors c;
    c.CursorXOn = true;
    c.press(50, 100, 1.0, false); // the first X cursor's load place
    bool redraw = false;
    c.move(dragTo, 100, 1.0, false, &redraw);
    QVERIFY(redraw);
    QImage img = picture(1.0, Qt::black);
    DrawCursors(img, c, readableDoc(true, false), 1.0);
    QCOMPARE(c.CursorX1, stored);
    const int x = drawn;
    QVERIFY(countColour(img, Cursor, QRect(x, 31, 1, 188)) > 60); // the dashed line
    QVERIFY(countColour(img, Cursor, QRect(x, 31, 1, 188)) < 188); // with gaps
    QCOMPARE(img.pixelColor(x, 25), Cursor);                       // the top marker's base
}

void TestWaveOverlay::paintedColourScheme()
{
    WaveCursors c = bothPairs();
    QImage img = picture(1.0, Qt::black);
    DrawCursors(img, c, readableDoc(true, false), 1.0);
    // Markers: solid.
    QCOMPARE(img.pixelColor(50, 25), Cursor);
    QCOMPARE(img.pixelColor(100, 220), Cursor);
    QCOMPARE(img.pixelColor(25, 100), Cursor);
    QCOMPARE(img.pixelColor(325, 150), Cursor);
    // Read-outs: time (magenta) on the first two rows, CH1 (yellow) and CH2
    // (cyan) below them, from x 185.
    QVERIFY(countColour(img, Magenta, QRect(185, 30, 140, 40)) > 20);
    QVERIFY(countColour(img, CH1Color, QRect(185, 70, 140, 20)) > 10);
    QVERIFY(countColour(img, CH2Color, QRect(185, 90, 140, 20)) > 10);
    QCOMPARE(countColour(img, Magenta, QRect(0, 0, 180, 250)), 0);
    QCOMPARE(countColour(img, CH1Color, QRect(0, 110, 350, 140)), 0);
}

void TestWaveOverlay::paintedBlackAndWhite()
{
    WaveCursors c = bothPairs();
    QImage img = picture(1.0, Qt::white);
    DrawCursors(img, c, readableDoc(false, false), 1.0);
    QCOMPARE(img.pixelColor(50, 25), QColor(0, 0, 0));
    QCOMPARE(img.pixelColor(25, 100), QColor(0, 0, 0));
    QVERIFY(countColour(img, Grey, QRect(185, 30, 140, 80)) > 30); // light grey read-outs
    QCOMPARE(countColour(img, Cursor, img.rect()), 0);
    QCOMPARE(countColour(img, Magenta, img.rect()), 0);
}

void TestWaveOverlay::tracesShowThrough()
{
    // A green trace down column x 60 and a red block under the read-outs.
    QImage img = picture(1.0, Qt::black);
    {
        QPainter p(&img);
        p.setPen(LAColor);
        p.drawLine(60, 25, 60, 225);
        p.fillRect(QRect(185, 28, 140, 45), LASelectedColor);
    }
    WaveCursors c;
    c.CursorX1 = dx(60);
    c.CursorX2 = dx(300);
    c.CursorXOn = true;
    DrawCursors(img, c, readableDoc(true, false), 1.0);
    const int cursorPixels = countColour(img, Cursor, QRect(60, 31, 1, 188));
    const int tracePixels = countColour(img, LAColor, QRect(60, 31, 1, 188));
    QVERIFY(cursorPixels > 60);
    QVERIFY(tracePixels > 20); // through the gaps
    QCOMPARE(cursorPixels + tracePixels, 188);
    // The texts leave most of the block under them.
    QVERIFY(countColour(img, LASelectedColor, QRect(185, 28, 140, 45)) > 140 * 45 / 2);
    QVERIFY(countColour(img, Magenta, QRect(185, 28, 140, 45)) > 20);
}

void TestWaveOverlay::bothHiddenLeavesThePictureAlone()
{
    QImage img = picture(1.0, Qt::black);
    {
        QPainter p(&img);
        p.setPen(CH1Color);
        p.drawLine(25, 125, 325, 100);
    }
    const QImage before = img.copy();
    WaveCursors c;
    c.CursorX1 = -1;
    c.CursorX2 = 40;
    c.CursorY1 = -2;
    DrawCursors(img, c, readableDoc(true, true), 1.0);
    QCOMPARE(img, before);
    QCOMPARE(c.CursorX1, 0.0); // the X cursors are clamped all the same
    QCOMPARE(c.CursorX2, 12.0);
    QCOMPARE(c.CursorY1, -2.0); // the Y cursors only while shown
}

void TestWaveOverlay::wildPositionsAndPictures_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<double>("position");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("not a number") << 1.0 << QSize(350, 250) << nan;
    QTest::newRow("infinite") << 1.0 << QSize(350, 250) << inf;
    QTest::newRow("far off") << 1.0 << QSize(350, 250) << -1.0e300;
    QTest::newRow("picture smaller than the zoom says") << 2.0 << QSize(350, 250) << 11.5;
    QTest::newRow("smallest zoom") << 0.01 << QSize(3, 2) << 400.0;
    QTest::newRow("zoom 0") << 0.0 << QSize(0, 0) << 5.0;
    QTest::newRow("empty picture") << 1.0 << QSize(0, 0) << 400.0;
}

void TestWaveOverlay::wildPositionsAndPictures()
{
    QFETCH(double, zoom);
    QFETCH(QSize, size);
    QFETCH(double, position);
    WaveCursors c;
    c.CursorX1 = c.CursorX2 = c.CursorX1Low = c.CursorX2Low = position;
    c.CursorY1 = c.CursorY1Low = position;
    c.CursorXOn = c.CursorYOn = true;
    for (bool split : {false, true}) {
        QImage img(size, QImage::Format_RGB32);
        img.fill(Qt::black);
        DrawCursors(img, c, readableDoc(true, split), zoom);
        QCOMPARE(img.size(), size);
        // The lower-half cursors are clamped only on a split picture.
        QList<double> clamped{c.CursorX1, c.CursorX2, c.CursorY1};
        if (split)
            clamped << c.CursorX1Low << c.CursorX2Low << c.CursorY1Low;
        for (double v : clamped) {
            QVERIFY(std::isfinite(v));
            QVERIFY(v >= 0 && v <= 12);
        }
    }
}

QTEST_MAIN(TestWaveOverlay)
#include "tst_waveoverlay.moc"
