// The viewer picture: graticule, grid cache, traces, ground markers, digital
// rows and trigger marks, checked on coordinates and a few pixels of pictures
// drawn from records built here.

#include "app/appstate.h"
#include "common/constants.h"
#include "storedwave/storedgrid.h"
#include "storedwave/storedpicture.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

const QColor Grey(192, 192, 192);
const QColor Orange(255, 128, 0);
const QColor Black(0, 0, 0);
const QColor White(255, 255, 255);

QImage blank(double zoom, bool colorMode = true)
{
    QImage img(StoredPicture::pictureSize(zoom), QImage::Format_RGB32);
    img.fill(StoredPicture::background(colorMode));
    return img;
}

QImage grid(double zoom, bool colorMode, bool gridShown, bool split)
{
    QImage img = blank(zoom, colorMode);
    paintStoredGrid(img, colorMode, gridShown, split, zoom);
    return img;
}

int count(const QImage &img, const QColor &c, const QRect &area)
{
    int n = 0;
    const QRect a = area & img.rect();
    for (int y = a.top(); y <= a.bottom(); ++y)
        for (int x = a.left(); x <= a.right(); ++x)
            n += img.pixelColor(x, y) == c;
    return n;
}

// A loaded normal-trigger record whose CH1 screen holds row level(k) and
// whose window spans the whole graticule.
StoredWave loaded(const std::function<int(int)> &level)
{
    StoredWave w;
    w.HasData = w.YTFormat = true;
    w.ColorMode = true;
    w.TrigMode = QStringLiteral("EDGE");
    w.ShowCH1 = true;
    w.Setup.CH1Valid = 1;
    w.Ch1VoltDiv = 1.0f;
    w.PointCount = 600;
    w.TimeDiv = 1e-3;
    w.Setup.FirstPoint = 0;
    w.Setup.LastPoint = 299;
    for (int k = 0; k < StoredWave::ScreenSize; ++k)
        w.Ch1Screen[size_t(k)] = qint16(level(k));
    return w;
}

QImage osc(const StoredWave &w, double zoom = 1.0)
{
    QImage img = blank(zoom, w.ColorMode);
    DrawOSC(img, w, zoom);
    return img;
}

} // namespace

class TestStoredPicture : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void ticksAtZoomOne();
    void ticksGrowWithZoom();
    void noTicksBelowZoomOne();
    void dottedGrid_data();
    void dottedGrid();
    void blackAndWhite();
    void bannerStaysAtItsPlace_data();
    void bannerStaysAtItsPlace();
    void gridCacheChangesHands();

    void traceGeometry();
    void traceWindowsThatShowNothing_data();
    void traceWindowsThatShowNothing();
    void longPointCountStopsAtTheArrayEnd();
    void alternateHalves();
    void groundMarker_data();
    void groundMarker();
    void triggerFlag_data();
    void triggerFlag();
    void alternateTriggerMarks();
    void digitalRows();
    void digitalEdges();
    void recordWithoutDataDrawsNothing();
    void blackAndWhiteTraces();
};

void TestStoredPicture::ticksAtZoomOne()
{
    const QImage img = grid(1.0, true, false, false);
    QCOMPARE(img.size(), QSize(350, 250));
    // Small ticks every 5 pixels one row in, division ticks every 25 two rows in.
    QCOMPARE(img.pixelColor(30, 26), Grey);
    QCOMPARE(img.pixelColor(31, 26), Black);
    QCOMPARE(img.pixelColor(50, 27), Grey);
    QCOMPARE(img.pixelColor(30, 27), Black);
    QCOMPARE(img.pixelColor(30, 223), Grey);  // bottom edge
    QCOMPARE(img.pixelColor(50, 222), Grey);
    QCOMPARE(img.pixelColor(26, 30), Grey);   // left edge
    QCOMPARE(img.pixelColor(27, 50), Grey);
    QCOMPARE(img.pixelColor(323, 30), Grey);  // right edge
    QCOMPARE(img.pixelColor(322, 50), Grey);
    QCOMPARE(img.pixelColor(322, 30), Black);
    // Centre lines and the frame.
    QCOMPARE(img.pixelColor(100, 125), Grey);
    QCOMPARE(img.pixelColor(175, 60), Grey);
    QCOMPARE(img.pixelColor(100, 25), Grey);
    QCOMPARE(img.pixelColor(325, 100), Grey);
    QCOMPARE(img.pixelColor(100, 100), Black); // no grid
}

void TestStoredPicture::ticksGrowWithZoom()
{
    // At 200 % ten passes (k 1.0 .. 1.9): division ticks reach 1 to 3.8
    // pixels below the top line, small ones 1 to 1.9.
    const QImage img = grid(2.0, true, false, false);
    QCOMPARE(img.size(), QSize(700, 500));
    QCOMPARE(img.pixelColor(75, 29), Grey);
    QCOMPARE(img.pixelColor(75, 30), Black);
    QCOMPARE(img.pixelColor(35, 27), Grey);
    QCOMPARE(img.pixelColor(35, 28), Black);
    QCOMPARE(img.pixelColor(625, 300), Grey); // the right edge at 25 + 600
}

void TestStoredPicture::noTicksBelowZoomOne()
{
    const QImage img = grid(0.5, true, true, true);
    QCOMPARE(img.size(), QSize(175, 125));
    QCOMPARE(img.pixelColor(30, 26), Black);
    // Split display below zoom 1: no centre-row dots of the halves either,
    // but the frame, centre lines and grid are there.
    QCOMPARE(img.pixelColor(100, 25), Grey);
    QCOMPARE(img.pixelColor(25 + 75, 60), Grey);
}

void TestStoredPicture::dottedGrid_data()
{
    QTest::addColumn<bool>("gridShown");
    QTest::addColumn<bool>("split");
    QTest::addColumn<QPoint>("dot");
    QTest::addColumn<bool>("set");
    QTest::newRow("grid off") << false << false << QPoint(50, 75) << false;
    QTest::newRow("grid row") << true << false << QPoint(50, 75) << true;
    QTest::newRow("grid row dots 5 apart") << true << false << QPoint(52, 75) << false;
    QTest::newRow("no half rows in the normal grid") << true << false << QPoint(30, 38) << false;
    QTest::newRow("split: rows 12.5 apart") << true << true << QPoint(30, 38) << true;
    QTest::newRow("split: column dots 6.25 apart") << true << true << QPoint(50, 31) << true;
    QTest::newRow("split: no dot at 5") << true << true << QPoint(50, 30) << false;
    QTest::newRow("split: centre row of the upper half") << true << true << QPoint(30, 74) << true;
    QTest::newRow("split: centre row of the lower half") << true << true << QPoint(30, 176) << true;
}

void TestStoredPicture::dottedGrid()
{
    QFETCH(bool, gridShown);
    QFETCH(bool, split);
    QFETCH(QPoint, dot);
    QFETCH(bool, set);
    const QImage img = grid(1.0, true, gridShown, split);
    QCOMPARE(img.pixelColor(dot) == Grey, set);
}

void TestStoredPicture::blackAndWhite()
{
    const QImage img = grid(1.0, false, true, false);
    QCOMPARE(img.pixelColor(0, 0), White);
    QCOMPARE(img.pixelColor(30, 26), Black);
    QCOMPARE(img.pixelColor(50, 75), Black);
    QCOMPARE(count(img, Orange, img.rect()), 0);
    QVERIFY(count(img, Black, QRect(25, 8, 60, 16)) > 0); // the banner, black
}

void TestStoredPicture::bannerStaysAtItsPlace_data()
{
    QTest::addColumn<double>("zoom");
    QTest::newRow("100 %") << 1.0;
    QTest::newRow("300 %") << 3.0;
}

void TestStoredPicture::bannerStaysAtItsPlace()
{
    QFETCH(double, zoom);
    const QImage img = grid(zoom, true, false, false);
    QVERIFY(count(img, Orange, QRect(25, 8, 60, 16)) > 10);
    QCOMPARE(count(img, Orange, QRect(0, 30, img.width(), img.height() - 30)), 0);
}

void TestStoredPicture::gridCacheChangesHands()
{
    StoredWaveState &s = app().storedwave;
    StoredWave a;
    a.ColorMode = true;
    StoredWave b;
    b.ColorMode = false;
    QImage picA = blank(1.0);
    QImage picB = blank(2.0, false);
    // At start slot 0 owns no cache: its redraw makes none.
    DrawGraticuleCached(picA, a, 1.0, 0);
    QVERIFY(s.GridCache.isNull());
    QCOMPARE(picA.pixelColor(30, 26), Grey);
    // Another slot makes the cache at its own size and takes it.
    DrawGraticuleCached(picB, b, 2.0, 2);
    QCOMPARE(s.GridCacheOwner, quint8(2));
    QCOMPARE(s.GridCache.size(), QSize(700, 500));
    QCOMPARE(s.GridCache.pixelColor(0, 0), White);
    // Slot 0 again: released and made anew at 350 x 250, in its colours.
    DrawGraticuleCached(picA, a, 1.0, 0);
    QCOMPARE(s.GridCacheOwner, quint8(0));
    QCOMPARE(s.GridCache.size(), QSize(350, 250));
    QCOMPARE(s.GridCache.pixelColor(30, 26), Grey);
    // The owner's redraw copies the cache back: the same graticule.
    const QImage before = picA;
    DrawGraticuleCached(picA, a, 1.0, 0);
    QCOMPARE(picA, before);
    // Any window's plain graticule pass takes the cache over; releasing keeps the owner.
    DrawScrGrid(picB, b, 2.0, 1);
    QCOMPARE(s.GridCacheOwner, quint8(1));
    QCOMPARE(s.GridCache.pixelColor(0, 0), White);
    ReleaseGridDC();
    QVERIFY(s.GridCache.isNull());
    QCOMPARE(s.GridCacheOwner, quint8(1));
}

void TestStoredPicture::traceGeometry()
{
    // Rows 40 and 80 at entries 0 and 1 make the first, vertical segment at
    // x = 25; entry 2 (row 150) is passed over; entry 3 is drawn at x = 26
    // and entry 599 (row 20) at x = 324.
    const QImage img = osc(loaded([](int k) { return k == 0 ? 40 : k == 1 ? 80 : k == 2 ? 150 : k == 599 ? 20 : 60; }));
    for (int y = 65; y <= 105; ++y)
        QCOMPARE(img.pixelColor(25, y), CH1Color);
    QCOMPARE(img.pixelColor(26, 85), CH1Color);
    QCOMPARE(count(img, CH1Color, QRect(25, 170, 300, 11)), 0);
    QCOMPARE(img.pixelColor(200, 85), CH1Color);
    QCOMPARE(img.pixelColor(324, 45), CH1Color);
    QCOMPARE(count(img, CH1Color, QRect(326, 25, 24, 200)), 0);
}

void TestStoredPicture::traceWindowsThatShowNothing_data()
{
    QTest::addColumn<bool>("alternate");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("pointCount");
    QTest::newRow("normal, window past 299") << false << 300 << 300 << 600;
    QTest::newRow("alternate, window past 299") << true << 300 << 300 << 600;
    QTest::newRow("alternate, first after last") << true << 200 << 100 << 600;
    QTest::newRow("point count 0") << false << 0 << 299 << 0;
    QTest::newRow("negative point count") << false << 0 << 299 << -600;
}

void TestStoredPicture::traceWindowsThatShowNothing()
{
    QFETCH(bool, alternate);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, pointCount);
    StoredWave w = loaded([](int) { return 60; });
    w.PointCount = pointCount;
    if (alternate) {
        w.TrigMode = QStringLiteral("ALTERNATION");
        w.Setup.CH1FirstPoint = qint16(first);
        w.Setup.CH1LastPoint = qint16(last);
    } else {
        w.Setup.FirstPoint = qint16(first);
        w.Setup.LastPoint = qint16(last);
    }
    const QImage img = osc(w);
    QCOMPARE(count(img, CH1Color, QRect(25, 25, 301, 201)), 0);
    // The label is still drawn.
    QVERIFY(count(img, CH1Color, QRect(0, 20, 25, 220)) > 0);
}

void TestStoredPicture::longPointCountStopsAtTheArrayEnd()
{
    // 6000 points step a twentieth of a column per entry: the line stops at
    // entry 600, the last of the array, at x 56 (column 31).
    StoredWave w = loaded([](int k) { return k == 600 ? 190 : 60; });
    w.PointCount = 6000;
    const QImage img = osc(w);
    QCOMPARE(img.pixelColor(56, 215), CH1Color);
    QCOMPARE(count(img, CH1Color, QRect(58, 25, 268, 201)), 0);
}

void TestStoredPicture::alternateHalves()
{
    StoredWave w = loaded([](int) { return 100; });
    w.TrigMode = QStringLiteral("ALTERNATION");
    w.ShowCH2 = true;
    w.Setup.CH2Valid = 1;
    w.Ch2VoltDiv = 1.0f;
    w.Ch2Screen.fill(100);
    w.Setup.CH1FirstPoint = 0;
    w.Setup.CH1LastPoint = 299;
    w.Setup.CH2FirstPoint = 100;
    w.Setup.CH2LastPoint = 199;
    const QImage img = osc(w);
    // Row 100 at half height: y 75 in the upper half, 175 in the lower one.
    QCOMPARE(img.pixelColor(200, 75), CH1Color);
    QCOMPARE(img.pixelColor(200, 175), CH2Color);
    QCOMPARE(img.pixelColor(100, 175), Black); // CH2's window starts at column 100
}

void TestStoredPicture::groundMarker_data()
{
    QTest::addColumn<float>("offset");
    QTest::addColumn<float>("voltDiv");
    QTest::addColumn<QPoint>("outlinePixel");
    QTest::addColumn<QRect>("emptyArea");
    // Ground row 100 at zoom 1: the flag's top edge at y 120, from x 6 to 19.
    QTest::newRow("on screen") << 0.0f << 1.0f << QPoint(19, 120) << QRect(6, 30, 10, 80);
    // Row 0 exactly: the arrow above, its base at y 40, tip at 23.
    QTest::newRow("row 0: above") << 4.0f << 1.0f << QPoint(22, 40) << QRect(6, 100, 18, 40);
    // Row 200 exactly: the arrow below, its top at 210.
    QTest::newRow("row 200: below") << -4.0f << 1.0f << QPoint(22, 210) << QRect(6, 100, 18, 40);
    // No ground row without a volts/div: no marker at all.
    QTest::newRow("zero volts/div") << 1.0f << 0.0f << QPoint(-1, -1) << QRect(0, 20, 25, 205);
}

void TestStoredPicture::groundMarker()
{
    QFETCH(float, offset);
    QFETCH(float, voltDiv);
    QFETCH(QPoint, outlinePixel);
    QFETCH(QRect, emptyArea);
    StoredWave w = loaded([](int) { return 60; });
    w.Setup.CH1Valid = 0; // the label alone
    w.Ch1Offset = offset;
    w.Ch1VoltDiv = voltDiv;
    const QImage img = osc(w);
    if (outlinePixel.x() >= 0)
        QCOMPARE(img.pixelColor(outlinePixel), CH1Color);
    QCOMPARE(count(img, CH1Color, emptyArea), 0);
    // "Pos1:  " and the offset under the graticule, in every case.
    QVERIFY(count(img, CH1Color, QRect(25, 228, 100, 16)) > 10);
}

void TestStoredPicture::triggerFlag_data()
{
    QTest::addColumn<double>("position");
    QTest::addColumn<double>("timeDiv");
    QTest::addColumn<QPoint>("flagPixel");
    QTest::addColumn<QPoint>("clearPixel");
    const double td = 25; // column = 150 - position
    // Position 0: column 150, the flag from x 171 to 179, y 30 to 44.
    QTest::newRow("centre") << 0.0 << td << QPoint(171, 35) << QPoint(310, 35);
    // Column exactly 3: the left arrow at fixed pixels.
    QTest::newRow("column 3: left arrow") << 147 * td / 25 << td << QPoint(42, 35) << QPoint(171, 35);
    // Column 3.01 still gets the flag, at 3.01 + 21.
    QTest::newRow("column 3.01: flag") << 146.99 * td / 25 << td << QPoint(24, 35) << QPoint(42, 35);
    // Column exactly 296: the right arrow from x 308.
    QTest::newRow("column 296: right arrow") << -146 * td / 25 << td << QPoint(308, 35) << QPoint(171, 35);
    // A zero time/div: the centre marker and the text only.
    QTest::newRow("zero time/div") << 0.001 << 0.0 << QPoint(173, 28) << QPoint(171, 35);
}

void TestStoredPicture::triggerFlag()
{
    QFETCH(double, position);
    QFETCH(double, timeDiv);
    QFETCH(QPoint, flagPixel);
    QFETCH(QPoint, clearPixel);
    StoredWave w = loaded([](int) { return 150; });
    w.ShowCH1 = false;
    w.Position = position;
    w.TimeDiv = timeDiv;
    const QImage img = osc(w);
    QCOMPARE(img.pixelColor(flagPixel), Orange);
    QCOMPARE(img.pixelColor(clearPixel), Black);
    QCOMPARE(img.pixelColor(171, 26), Orange); // the centre marker, always
    QVERIFY(count(img, Orange, QRect(175, 228, 120, 16)) > 10); // "Delay:"
    if (timeDiv == 0.0)
        QCOMPARE(count(img, Orange, QRect(0, 31, 350, 14)), 0);
}

void TestStoredPicture::alternateTriggerMarks()
{
    StoredWave w = loaded([](int) { return 150; });
    w.ShowCH1 = false;
    w.TrigMode = QStringLiteral("ALTERNATION");
    w.Ch1TimeDiv = 1e-3;
    w.Ch2TimeDiv = 1e-3;
    w.Ch2Position = 10 * 1e-3 / 25; // CH2's trigger at column 140
    const double zoom = 2.0;
    const QImage img = osc(w, zoom);
    QCOMPARE(img.pixelColor(321, 26), Orange);       // centre marker at 25 + 300 - 4
    QCOMPARE(img.pixelColor(321, 226), Orange);      // and at 26 + 100 Z
    QCOMPARE(img.pixelColor(321, 35), Orange);       // CH1 flag at 150 Z + 21
    QCOMPARE(img.pixelColor(301, 235), Orange);      // CH2 flag at 140 Z + 21, top 30 + 100 Z
    QCOMPARE(img.pixelColor(321, 235), Black);
    // "Delay1: " (yellow) and "Delay2: " (cyan) on one line 25 + 203 Z.
    QVERIFY(count(img, CH1Color, QRect(325, 431, 150, 16)) > 10);
    QVERIFY(count(img, CH2Color, QRect(485, 431, 150, 16)) > 10);
}

void TestStoredPicture::digitalRows()
{
    StoredWave w = loaded([](int) { return 0; });
    w.ShowCH1 = false;
    w.ShowLA = true;
    w.Setup.LAValid = 1;
    w.Setup.LAShownMask = 0x0003; // D0, D1
    w.Setup.LASelected = 1;
    w.Setup.LARow[0] = 222;
    w.Setup.LARow[1] = 198;
    w.Setup.LARow[2] = 150;    // D2 not shown
    w.LaScreen.fill(0x0005);         // D0 and D2 high, D1 low
    const QImage img = osc(w);
    // D0 high: its row 222 with the high level 9 rows above.
    QCOMPARE(img.pixelColor(100, 213), LAColor);
    QCOMPARE(img.pixelColor(100, 222), Black);
    // D1 selected, low: red on its row.
    QCOMPARE(img.pixelColor(100, 198), LASelectedColor);
    QCOMPARE(count(img, LAColor, QRect(25, 140, 300, 12)), 0); // D2
    // Labels at the left, y = row - 12.
    QVERIFY(count(img, LAColor, QRect(0, 208, 20, 14)) > 0);
    QVERIFY(count(img, LASelectedColor, QRect(0, 184, 20, 14)) > 0);
    // No rows when the window lies past column 299.
    w.Setup.LastPoint = 300;
    QCOMPARE(count(osc(w), LAColor, QRect(25, 200, 301, 25)), 0);
    // No channel shown: nothing.
    w.Setup.LastPoint = 299;
    w.Setup.LAShownMask = 0;
    const QImage none = osc(w);
    QCOMPARE(count(none, LAColor, none.rect()) + count(none, LASelectedColor, none.rect()), 0);
}

void TestStoredPicture::digitalEdges()
{
    // Steady low in column 0, then the two words differ in every column: a
    // rising edge at the end of column 1, then a low pulse in each later one.
    StoredWave::ScreenArray words{};
    for (int c = 1; c < 300; ++c)
        words[size_t(2 * c + 1)] = 1;
    QImage img = blank(1.0);
    QPainter p(&img);
    p.setPen(LAColor);
    DrawLALine(p, 1.0, words, 0, 10, 100, 0, 299);
    p.end();
    // Column 1: low up to x 26, where it rises.
    QCOMPARE(img.pixelColor(25, 125), LAColor);
    QCOMPARE(img.pixelColor(26, 120), LAColor);
    // Columns 2 and 3: high up to their start, a pulse down at x 27 and 28.
    QCOMPARE(img.pixelColor(27, 120), LAColor);
    QCOMPARE(img.pixelColor(28, 120), LAColor);
    QCOMPARE(img.pixelColor(27, 113), Black);
    QCOMPARE(img.pixelColor(100, 116), LAColor); // the high level, 9 rows above 125
}

void TestStoredPicture::recordWithoutDataDrawsNothing()
{
    StoredWave w = loaded([](int) { return 60; });
    w.HasData = false;
    const QImage before = blank(1.0);
    QCOMPARE(osc(w), before);
    w.HasData = true;
    w.YTFormat = false;
    QCOMPARE(osc(w), before);
}

void TestStoredPicture::blackAndWhiteTraces()
{
    StoredWave w = loaded([](int) { return 60; });
    w.ColorMode = false;
    const QImage img = osc(w);
    QCOMPARE(img.pixelColor(200, 85), Black);
    QCOMPARE(img.pixelColor(171, 35), Black); // the flag
    QCOMPARE(count(img, CH1Color, img.rect()) + count(img, Orange, img.rect()), 0);
}

QTEST_MAIN(TestStoredPicture)
#include "tst_storedpicture.moc"
