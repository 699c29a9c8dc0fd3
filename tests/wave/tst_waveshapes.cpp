// The shape painter: every coordinate on its nearest pixel with halves to the
// even neighbour, shapes with coordinates that are not finite or far off left
// out (the others still drawn), and the painter's state left as it was.

#include "wave/markshapes.h"
#include "wave/waveshapes.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <limits>

using MarkShapes::countColour;

namespace {
const QColor Red(255, 0, 0);
} // namespace

class TestWaveShapes : public QObject {
    Q_OBJECT
private slots:
    void dotsOnTheirNearestPixel_data();
    void dotsOnTheirNearestPixel();
    void wildCoordinatesAreLeftOut_data();
    void wildCoordinatesAreLeftOut();
    void painterStateIsKept();
};

void TestWaveShapes::dotsOnTheirNearestPixel_data()
{
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<QPoint>("pixel");
    QTest::newRow("62.5 goes to 62") << QPointF(62.5, 10) << QPoint(62, 10);
    QTest::newRow("63.5 goes to 64") << QPointF(63.5, 10.5) << QPoint(64, 10);
    QTest::newRow("11.5 goes to 12") << QPointF(20, 11.5) << QPoint(20, 12);
    QTest::newRow("below half") << QPointF(7.49, 8.51) << QPoint(7, 9);
    QTest::newRow("-0.5 goes to 0") << QPointF(-0.5, 3) << QPoint(0, 3);
}

void TestWaveShapes::dotsOnTheirNearestPixel()
{
    QFETCH(QPointF, at);
    QFETCH(QPoint, pixel);
    // A dot, and a segment of no length (the logic trace's single point),
    // written straight into the picture or, under a clip, by the painter.
    for (WaveShape::Kind kind : {WaveShape::Dot, WaveShape::Segments}) {
        for (bool clipped : {false, true}) {
            WaveShape s = WaveShapeMake::dot(Red, at);
            s.kind = kind;
            if (kind == WaveShape::Segments)
                s.points << at;
            QImage img(80, 20, QImage::Format_RGB32);
            img.fill(Qt::black);
            {
                QPainter p(&img);
                if (clipped)
                    p.setClipRect(img.rect());
                PaintShapes(p, {s});
            }
            QCOMPARE(img.pixelColor(pixel), Red);
            QCOMPARE(countColour(img, Red, img.rect()), 1);
        }
    }
}

void TestWaveShapes::wildCoordinatesAreLeftOut_data()
{
    QTest::addColumn<double>("wild");
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity();
    QTest::newRow("far off") << -1.0e12;
}

void TestWaveShapes::wildCoordinatesAreLeftOut()
{
    QFETCH(double, wild);
    WaveShape wildLine;
    wildLine.kind = WaveShape::Segments;
    wildLine.color = Red;
    wildLine.points = {{5, 5}, {wild, 5}};
    WaveShapes shapes{wildLine, WaveShapeMake::chain(Red, {{2, 2}, {2, wild}}),
                      WaveShapeMake::text(Red, {wild, 2}, QStringLiteral("X"), true),
                      WaveShapeMake::chain(Red, {{10, 15}, {30, 15}})};
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        PaintShapes(p, shapes);
    }
    QCOMPARE(countColour(img, Red, QRect(0, 0, 40, 12)), 0);
    QCOMPARE(countColour(img, Red, QRect(10, 15, 21, 1)), 21);
}

void TestWaveShapes::painterStateIsKept()
{
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    QPen pen(Qt::green);
    pen.setWidth(3);
    p.setPen(pen);
    QFont font = p.font();
    font.setPixelSize(23);
    p.setFont(font);
    WaveShape dashed = WaveShapeMake::chain(Red, {{0, 10}, {39, 10}});
    dashed.dashDotDot = true;
    PaintShapes(p, {dashed, WaveShapeMake::text(Red, {1, 1}, QStringLiteral("T"), true)});
    QCOMPARE(p.pen().color(), QColor(Qt::green));
    QCOMPARE(p.pen().width(), 3);
    QCOMPARE(p.font().pixelSize(), 23);
    p.end();
    const int dashes = countColour(img, Red, QRect(0, 10, 40, 1));
    QVERIFY(dashes > 10 && dashes < 40); // dash-dot-dot: drawn with gaps
}

QTEST_MAIN(TestWaveShapes)
#include "tst_waveshapes.moc"
