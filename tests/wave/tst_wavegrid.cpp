// The graticule of the waveform picture: tick passes by repeated addition,
// the runs of dots and grid lines at each zoom and layout, and a few pixels
// of the painted picture in both colour schemes.

#include "wave/wavecanvas.h"
#include "wave/wavegrid.h"

#include <QtTest>

namespace {

QColor at(const QImage &img, int x, int y)
{
    return img.pixelColor(x, y);
}

const QColor kGrey(192, 192, 192);
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kOrange(255, 128, 0);

QImage painted(double zoom, bool colour, bool grid, bool split)
{
    QImage img(int(350 * zoom), int(250 * zoom), QImage::Format_RGB32);
    WaveCanvas c(&img);
    DrawScrGrid(c, {zoom, colour, grid, split});
    return img;
}

bool anyPixel(const QImage &img, QRect r, const QColor &colour)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixelColor(x, y) == colour)
                return true;
    return false;
}

} // namespace

class TestWaveGrid : public QObject {
    Q_OBJECT
private slots:
    void tickPasses_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("passes");
        QTest::addColumn<double>("lastK");
        QTest::newRow("50%") << 0.5 << 0 << 0.0;
        QTest::newRow("75%") << 0.75 << 0 << 0.0;
        QTest::newRow("100%") << 1.0 << 1 << 1.0;
        QTest::newRow("125%") << 1.25 << 3 << 1.2;
        QTest::newRow("200%: the eleventh sum is just above 2") << 2.0 << 10 << 1.9;
        QTest::newRow("500%") << 5.0 << 41 << 5.0;
    }
    void tickPasses()
    {
        QFETCH(double, zoom);
        QFETCH(int, passes);
        QFETCH(double, lastK);
        const QList<double> k = ::tickPasses(zoom);
        QCOMPARE(k.size(), passes);
        if (passes > 0) {
            QCOMPARE(k.first(), 1.0);
            QVERIFY(qAbs(k.last() - lastK) < 1e-9);
        }
        QCOMPARE(planGraticule({zoom, true, false, false}).ticks.size(), 16 * passes);
    }

    void dotsOfARun()
    {
        // Repeated addition includes the end when it is reached exactly.
        QCOMPARE(dotOffsets({true, 26, 5, 300}).size(), 61);
        QCOMPARE(dotOffsets({false, 26, 6.25, 200}).size(), 33);
        QCOMPARE(dotOffsets({true, 26, 25, 300}).last(), 300.0);
        QVERIFY(dotOffsets({true, 26, 0, 300}).isEmpty());
    }

    void runsAtZoomOne()
    {
        const GraticulePlan p = planGraticule({1.0, true, false, false});
        QCOMPARE(p.segments.size(), 6);
        QCOMPARE(p.segments[0].width, 2);
        QCOMPARE(p.segments[3].x1, 325.0);
        QCOMPARE(p.segments[3].y2, 25.0);
        QCOMPARE(p.segments[4].y1, 125.0);
        QCOMPARE(p.segments[5].x1, 175.0);
        // Table order: top edge minor and major, the axis above, below, the
        // bottom edge (offsets 2k and 3k), then the vertical runs.
        const QList<DotRun> expected{
            {true, 26, 5, 300},  {true, 27, 25, 300},  {true, 124, 5, 300}, {true, 123, 25, 300},
            {true, 126, 5, 300}, {true, 127, 25, 300}, {true, 223, 5, 300}, {true, 222, 25, 300},
            {false, 26, 5, 200}, {false, 27, 25, 200}, {false, 174, 5, 200}, {false, 173, 25, 200},
            {false, 176, 5, 200}, {false, 177, 25, 200}, {false, 323, 5, 200}, {false, 322, 25, 200},
        };
        QCOMPARE(p.ticks, expected);
        QVERIFY(p.grid.isEmpty());
        QCOMPARE(p.bannerText, QStringLiteral("KARVO"));
    }

    void gridLines_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<bool>("split");
        QTest::addColumn<int>("horizontal");
        QTest::addColumn<int>("vertical");
        QTest::addColumn<double>("verticalSpacing");
        QTest::newRow("full, 100%") << 1.0 << false << 9 << 13 << 5.0;
        QTest::newRow("split, 100%: quarter ticks and half divisions") << 1.0 << true << 2 + 17 << 13 << 6.25;
        QTest::newRow("split, 50%: no quarter ticks") << 0.5 << true << 17 << 13 << 3.125;
        QTest::newRow("split, 200%") << 2.0 << true << 20 + 17 << 13 << 12.5;
    }
    void gridLines()
    {
        QFETCH(double, zoom);
        QFETCH(bool, split);
        QFETCH(int, horizontal);
        QFETCH(int, vertical);
        QFETCH(double, verticalSpacing);
        const GraticulePlan p = planGraticule({zoom, true, true, split});
        int h = 0, v = 0;
        for (const DotRun &r : p.grid) {
            if (r.horizontal) {
                ++h;
                QCOMPARE(r.spacing, 5 * zoom);
            } else {
                ++v;
                QCOMPARE(r.spacing, verticalSpacing);
            }
        }
        QCOMPARE(h, horizontal);
        QCOMPARE(v, vertical);
        // The outer lines fall on the frame.
        QCOMPARE(p.grid.back().at, 300 * zoom + 25);
    }

    void splitChangesOnlyVerticalTicks()
    {
        const GraticulePlan full = planGraticule({1.0, true, false, false});
        const GraticulePlan split = planGraticule({1.0, true, false, true});
        QCOMPARE(full.ticks.size(), split.ticks.size());
        for (int i = 0; i < full.ticks.size(); ++i) {
            const bool minorVertical = !full.ticks[i].horizontal && full.ticks[i].spacing == 5.0;
            QCOMPARE(split.ticks[i].spacing, minorVertical ? 6.25 : full.ticks[i].spacing);
        }
    }

    void paintedColourScheme()
    {
        const QImage img = painted(1.0, true, false, false);
        QCOMPARE(img.size(), QSize(350, 250));
        QCOMPARE(at(img, 5, 240), kBlack);
        QCOMPARE(at(img, 100, 25), kGrey);  // frame
        QCOMPARE(at(img, 25, 100), kGrey);
        QCOMPARE(at(img, 100, 125), kGrey); // horizontal axis
        QCOMPARE(at(img, 175, 60), kGrey);  // vertical axis
        QCOMPARE(at(img, 30, 26), kGrey);   // minor tick under the top edge
        QCOMPARE(at(img, 50, 27), kGrey);   // a division's tick is one pixel longer
        QCOMPARE(at(img, 30, 27), kBlack);
        QCOMPARE(at(img, 31, 26), kBlack);  // between two minor ticks
        QCOMPARE(at(img, 100, 100), kBlack); // no grid
        QVERIFY(anyPixel(img, QRect(25, 10, 40, 14), kOrange)); // banner
    }

    void paintedBlackAndWhiteWithGrid()
    {
        const QImage img = painted(1.0, false, true, false);
        QCOMPARE(at(img, 5, 240), kWhite);
        QCOMPARE(at(img, 100, 25), kBlack);
        QCOMPARE(at(img, 100, 100), kBlack); // grid dot (100, 100)
        QCOMPARE(at(img, 101, 100), kWhite);
        QVERIFY(!anyPixel(img, QRect(25, 10, 40, 14), kOrange));
        QVERIFY(anyPixel(img, QRect(25, 10, 40, 14), kBlack));
    }

    void noTicksBelowZoomOne()
    {
        const QImage img = painted(0.5, true, false, false);
        QCOMPARE(img.size(), QSize(175, 125));
        QCOMPARE(at(img, 30, 26), kBlack);
        QCOMPARE(at(img, 60, 25), kGrey);
        QCOMPARE(at(img, 60, 75), kGrey); // the horizontal axis at 100 * 0.5 + 25
    }

    void leavesPenForTheTraces()
    {
        QImage img(350, 250, QImage::Format_RGB32);
        WaveCanvas c(&img);
        DrawScrGrid(c, {1.0, true, true, true});
        QCOMPARE(c.drawWidth(), 1);
        QCOMPARE(c.foreColor(), kOrange);
        QVERIFY(!c.bold());
        DrawScrGrid(c, {1.0, false, true, true});
        QCOMPARE(c.foreColor(), kBlack);
    }
};

QTEST_MAIN(TestWaveGrid)
#include "tst_wavegrid.moc"
