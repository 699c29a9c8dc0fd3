// The viewer picture: graticule, grid cache, traces, ground markers, digital
// rows and trigger marks, checked on coordinates and a few pixels of pictures
// drawn from records built here.

#include "storedwave/wavemaker.h"

#include "app/appstate.h"
#include "common/constants.h"
#include "storedwave/screendata.h"
#include "storedwave/storedgrid.h"
#include "storedwave/storedpicture.h"
#include "storedwave/wavefile.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <cmath>
#include <vector>

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

// ---- The drawing as the painter itself draws it, for the comparisons ----

int nint(double v) { return int(std::nearbyint(v)); }

// One analog trace: the points of its steps joined by the painter's polyline.
void paintedTrace(QPainter &p, double Z, const StoredWave::ScreenArray &P, qint32 pointCount, bool ch1,
                  const SetupBlock &setup, const QString &trigMode)
{
    const bool alt = trigMode == QLatin1String("ALTERNATION");
    const int a = alt ? (ch1 ? setup.CH1FirstPoint : setup.CH2FirstPoint) : setup.FirstPoint;
    const int b = alt ? (ch1 ? setup.CH1LastPoint : setup.CH2LastPoint) : setup.LastPoint;
    if (pointCount <= 0 || b > 299 || (alt && a > b))
        return;
    const double top = alt && !ch1 ? 25 + 100 * Z : 25;
    const double scale = alt ? Z / 2 : Z;
    const auto y = [&](int k) { return nint(top + P[size_t(k)] * scale); };
    const int x0 = 25 + nint(a * Z);
    std::vector<QPoint> pts{{x0, y(0)}, {x0, y(1)}};
    int k = 3;
    for (double x = x0 + Z; x <= 25 + b * Z && k <= 600; x += 300.0 / pointCount * Z, ++k)
        pts.emplace_back(int(std::nearbyint(float(x - 0.1))), y(k));
    p.drawPolyline(pts.data(), int(pts.size()));
}

// One digital row: the table of its lines, each drawn by the painter alone.
void paintedRow(QPainter &p, double Z, const StoredWave::ScreenArray &W, int ch, int rowBase, int firstCol,
                int lastCol)
{
    const int hz = nint(9 * Z);
    const int yL = 25 + rowBase;
    const int yH = yL - hz;
    const auto bit = [&](int k) { return ((quint16(W[size_t(k)]) >> ch) & 1) != 0; };
    const auto line = [&p](int x1, int y1, int x2, int y2) { p.drawLine(x1, y1, x2, y2); };
    const double xs = 25 + firstCol * Z;
    bool s1 = bit(0), s2 = bit(1);
    if (s1 == s2) {
        p.drawPoint(nint(xs), s1 ? yH : yL);
    } else {
        line(nint(xs), yH, nint(xs), yL);
        s1 = !bit(2) && !bit(3);
        s2 = !s1;
    }
    int xPrev = nint(xs);
    int k = 2;
    for (double x = 25 + (firstCol + 1) * Z; x <= 25 + (lastCol + 1) * Z - 1 && k + 1 <= 600;) {
        const int xa = int(std::nearbyint(float(x - 0.1)));
        const bool A = bit(k), B = bit(k + 1);
        k += 2;
        x += 0.5 * Z;
        const int xb = int(std::nearbyint(float(x - 0.1)));
        if (!A && !B) {
            if (s2) {
                line(xPrev, yH, xa, yH);
                line(xa, yH, xa, yL);
            } else {
                line(xPrev, yL, xa, yL);
            }
            line(xa, yL, xb, yL);
            s1 = s2 = false;
        } else if (A && B) {
            if (!s2) {
                line(xPrev, yL, xa, yL);
                line(xa, yL, xa, yH);
            } else {
                line(xPrev, yH, xa, yH);
            }
            line(xa, yH, xb, yH);
            s1 = s2 = true;
        } else if (s1 && s2) {
            line(xPrev, yH, xa, yH);
            line(xa, yH, xb, yH);
            line(xb, yH, xb, yL);
            s1 = true, s2 = false;
        } else if (!s1 && !s2) {
            line(xPrev, yL, xa, yL);
            line(xa, yL, xb, yL);
            line(xb, yH, xb, yL);
            s1 = false, s2 = true;
        } else if (!s1 && s2) {
            line(xPrev, yH, xa, yH);
            line(xa, yH, xa, yL);
            line(xa, yL, xb, yL);
            line(xb, yL, xb, yH);
        } else {
            line(xPrev, yL, xa, yL);
            line(xa, yL, xb, yL);
            line(xb, yL, xb, yH);
            s1 = false, s2 = true;
        }
        xPrev = xb;
        x += 0.5 * Z;
    }
}

void setInk(QPainter &p, const QColor &c)
{
    QPen pen = p.pen();
    pen.setColor(c);
    pen.setWidth(1);
    p.setPen(pen);
}

// Every trace of the record: the analog ones, then the digital rows with the
// selected one last, in the viewer's colours, by the production drawers or
// by the painter alone.
QImage traces(const StoredWave &w, double Z, bool painterAlone)
{
    QImage img = blank(Z, w.ColorMode);
    QPainter p(&img);
    for (bool ch1 : {true, false}) {
        if (!(ch1 ? w.ShowCH1 && w.Setup.CH1Valid == 1 : w.ShowCH2 && w.Setup.CH2Valid == 1))
            continue;
        setInk(p, storedChannelColor(w.ColorMode, ch1));
        if (painterAlone)
            paintedTrace(p, Z, ch1 ? w.Ch1Screen : w.Ch2Screen, w.PointCount, ch1, w.Setup, w.TrigMode);
        else
            DrawChannelTrace(p, Z, ch1 ? w.Ch1Screen : w.Ch2Screen, w.PointCount, ch1, w.Setup, w.TrigMode);
    }
    if (w.ShowLA && w.Setup.LAValid == 1) {
        if (!painterAlone) {
            DrawLATraces(p, Z, w.LaScreen, w.Setup, w.ColorMode);
        } else if (w.Setup.LastPoint <= 299) {
            const int sel = w.Setup.LASelected;
            for (int pass = 0; pass < 2; ++pass) {
                setInk(p, pass == 0 ? (w.ColorMode ? LAColor : Black) : (w.ColorMode ? LASelectedColor : Black));
                for (int ch = 0; ch < 16; ++ch)
                    if (w.Setup.laShown(ch) && (pass == 0 ? ch != sel : ch == sel))
                        paintedRow(p, Z, w.LaScreen, ch, nint((w.Setup.LARow[size_t(ch)] - 25) * Z), w.Setup.FirstPoint,
                                   w.Setup.LastPoint);
            }
        }
    }
    return img;
}

// The first pixel where two pictures differ, for a failure message.
QString firstDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return QStringLiteral("sizes differ");
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("(%1, %2): %3 against %4").arg(x).arg(y).arg(a.pixel(x, y), 8, 16).arg(b.pixel(x, y), 8, 16);
    return QString();
}

// The captures the comparisons draw, as the viewer reads and reduces them.
StoredWave capture(const QString &name)
{
    WaveSpec s;
    s.sampleRate = 1e6f;
    const auto sine = [](double period) {
        return [period](qint64 i) { return int(125 + 80 * std::sin(double(i) * 6.2831853 / period)); };
    };
    const auto spread = [&s] {
        for (int i = 0; i < 16; ++i)
            s.laPosition[size_t(i)] = quint8(i);
    };
    // The time/div that puts the whole record on the 12 divisions.
    const auto whole = [&s] { s.timeDivPs = s.acqTimeDivPs = qint64(double(s.points) / 1e6 / 12 * 1e12); };
    if (name == QLatin1String("600 points")) {
        s.points = 600;
        s.ch2Present = 1;
        s.laPresent = 1;
        s.laShownMask = qint16(0xffff);
        s.laSelected = 3;
        spread();
        whole();
        s.ch1 = levels(s.points, sine(97));
        s.ch2 = levels(s.points, [](qint64 i) { return (i / 13) % 2 ? 40 : 210; });
        s.la = laWords(s.points, [](qint64 i) { return quint16(i * 2654435761u >> 7); });
    } else if (name == QLatin1String("16k points")) {
        s.points = 16384;
        s.ch2Present = 1;
        s.laPresent = 1;
        s.laShownMask = qint16(0x5aa5);
        s.laSelected = 10;
        spread();
        whole();
        s.ch1 = levels(s.points, sine(1500));
        s.ch2 = levels(s.points, [](qint64 i) { return int(20 + (i * 7919) % 217); });
        s.la = laWords(s.points, [](qint64 i) { return quint16(i / 29 + (i / 300) * 0x0101); });
    } else if (name == QLatin1String("16k points, zoomed in")) {
        s.points = 16384;
        s.ch2Present = 1;
        s.laPresent = 1;
        s.laShownMask = qint16(0xffff);
        spread();
        s.timeDivPs = 200000000; // 200 us/div: part of the record, off centre
        s.acqTimeDivPs = 1400000000;
        s.positionPs = 2000000000;
        s.ch1 = levels(s.points, sine(400));
        s.ch2 = levels(s.points, [](qint64 i) { return (i / 90) % 3 ? 70 : 180; });
        s.la = laWords(s.points, [](qint64 i) { return quint16((i / 11) ^ (i / 170)); });
    } else if (name == QLatin1String("1M points")) {
        s.points = 1000000;
        s.ch2Present = 1;
        s.laPresent = 1;
        s.laShownMask = qint16(0xffff);
        spread();
        whole();
        s.ch1 = levels(s.points, sine(3141.6));
        s.ch2 = levels(s.points, [](qint64 i) { return (i / 700) % 2 ? 60 : 190; });
        s.la = levels(s.points, [](qint64 i) { return int(i / 37); });
    } else if (name == QLatin1String("logic only")) {
        s.points = 4096;
        s.ch1Present = 0;
        s.laPresent = 1;
        s.laShownMask = qint16(0x8ff1);
        s.laSelected = 15;
        for (int i = 0; i < 16; ++i)
            s.laPosition[size_t(i)] = quint8((i * 5) % 17);
        whole();
        s.la = laWords(s.points, [](qint64 i) { return quint16((i % 512 < 200 ? 0xffff : 0) ^ (i / 64)); });
    } else { // alternate trigger
        s.trigMode = 4;
        s.points = 12000;
        s.ch2Present = 1;
        s.ch2Points = 3000;
        s.timeDivPs = 1000000000;
        s.ch2TimeDivPs = 500000000;
        s.ch2PositionPs = 300000000;
        s.ch2SampleRate = 5e5f;
        s.ch1 = levels(s.points, sine(700));
        s.ch2 = levels(s.ch2Points, [](qint64 i) { return (i / 40) % 2 ? 30 : 220; });
    }
    StoredWave w;
    w.setNewItemDefaults();
    if (ParseWaveFile(waveFile(s), QStringLiteral("capture.wfm"), w) != WaveFileError::None)
        qFatal("a capture was refused");
    RefreshScreenData(w, ScreenSelector::All);
    return w;
}

const QStringList CaptureNames = {"600 points", "16k points", "16k points, zoomed in", "1M points", "logic only",
                                  "alternate trigger"};
const QList<double> Zooms = {0.6, 1.0, 2.0, 3.0, 4.5};

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

    void tracesAsThePainterDrawsThem_data();
    void tracesAsThePainterDrawsThem();
    void picturesAsThePainterDrawsThem_data();
    void picturesAsThePainterDrawsThem();
    void textsWhereTheyStood_data();
    void textsWhereTheyStood();
    void graticuleCopiedOnlyWhenTheSame();
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

void TestStoredPicture::tracesAsThePainterDrawsThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<bool>("colorMode");
    for (const QString &name : CaptureNames)
        for (double zoom : Zooms)
            for (bool colour : {true, false})
                QTest::addRow("%s at %g%% %s", qPrintable(name), zoom * 100, colour ? "colour" : "b&w")
                    << name << zoom << colour;
}

// The analog traces and the digital rows of captures of every size and
// trigger, at zooms below and above 100 %, set the same pixels as the
// painter's own lines through the same points.
void TestStoredPicture::tracesAsThePainterDrawsThem()
{
    QFETCH(QString, name);
    QFETCH(double, zoom);
    QFETCH(bool, colorMode);
    StoredWave w = capture(name);
    w.ColorMode = colorMode;
    const QImage drawn = traces(w, zoom, false);
    const QImage painted = traces(w, zoom, true);
    QVERIFY2(drawn == painted, qPrintable(firstDifference(drawn, painted)));
    QVERIFY(painted != blank(zoom, colorMode)); // there is a trace to compare
}

void TestStoredPicture::picturesAsThePainterDrawsThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("zoom");
    for (const QString &name : CaptureNames)
        for (double zoom : {1.0, 2.0, 3.0})
            QTest::addRow("%s at %g%%", qPrintable(name), zoom * 100) << name << zoom;
}

// The whole picture (graticule, labels, traces, rows, marks, scale texts)
// is the one the painter draws on a picture of its own pixels (non
// premultiplied, where nothing is written past it).
void TestStoredPicture::picturesAsThePainterDrawsThem()
{
    QFETCH(QString, name);
    QFETCH(double, zoom);
    const StoredWave w = capture(name);
    QImage drawn(StoredPicture::pictureSize(zoom), QImage::Format_RGB32);
    DrawScrGrid(drawn, w, zoom, 0);
    DrawOSC(drawn, w, zoom);
    QImage painted(StoredPicture::pictureSize(zoom), QImage::Format_ARGB32);
    DrawScrGrid(painted, w, zoom, 0);
    DrawOSC(painted, w, zoom);
    painted = painted.convertToFormat(QImage::Format_RGB32);
    QVERIFY2(drawn == painted, qPrintable(firstDifference(drawn, painted)));
}

void TestStoredPicture::textsWhereTheyStood_data()
{
    QTest::addColumn<double>("zoom");
    for (double zoom : {0.6, 1.0, 2.0, 3.3})
        QTest::addRow("%g%%", zoom * 100) << zoom;
}

// The digital labels and the bold position texts stand where a one-line
// text laid out from its top-left corner stood, pixel for pixel.
void TestStoredPicture::textsWhereTheyStood()
{
    QFETCH(double, zoom);
    SetupBlock setup;
    setup.LAShownMask = qint16(0xffff);
    setup.LASelected = 12;
    for (int i = 0; i < 16; ++i)
        setup.LARow[size_t(i)] = qint16(222 - 12 * i);
    QImage drawn = blank(zoom);
    {
        QPainter p(&drawn);
        DrawLALabels(p, zoom, setup, true);
        setInk(p, CH1Color);
        DrawChannelLabel(p, zoom, QStringLiteral("CH1"), 0.25f, 0.0f, QStringLiteral("EDGE")); // the text alone
    }
    QImage laidOut = blank(zoom);
    {
        QPainter p(&laidOut);
        const auto text = [&p](int x, int y, const QString &t, bool bold) {
            p.setFont(StoredPicture::font(bold));
            p.drawText(QRect(x, y, 4000, 200), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, t);
        };
        for (int pass = 0; pass < 2; ++pass) {
            p.setPen(pass == 0 ? LAColor : LASelectedColor);
            for (int i = 0; i < 16; ++i) {
                if ((pass == 0) == (i == setup.LASelected))
                    continue;
                const int y = nint(25 + (setup.LARow[size_t(i)] - 25) * zoom - 12);
                if (i < 10) {
                    text(5, y, QStringLiteral("D%1").arg(i), false);
                } else {
                    text(5, y, QStringLiteral("D"), false);
                    text(12, y, QString::number(i / 10), false);
                    text(17, y, QString::number(i % 10), false);
                }
            }
        }
        p.setPen(CH1Color);
        text(25, nint(203 * zoom + 25), QStringLiteral("Pos1:  250mV"), true);
    }
    QVERIFY2(drawn == laidOut, qPrintable(firstDifference(drawn, laidOut)));
}

// The graticule painted again for the same scheme, grid, layout, zoom and
// picture is a copy of the last one; any change paints it anew.
void TestStoredPicture::graticuleCopiedOnlyWhenTheSame()
{
    struct Kind {
        bool colour, grid, split;
        double zoom;
    };
    const QList<Kind> kinds = {
        {true, true, false, 2.0}, {false, true, false, 2.0}, {true, false, false, 2.0}, {true, true, true, 2.0},
        {true, true, true, 2.0014}, // the same size, another zoom: the split grid's dots at
                                    // 6.25 Z no longer fall on half pixels
        {true, true, false, 1.0},
    };
    QCOMPARE(StoredPicture::pictureSize(2.0), StoredPicture::pictureSize(2.0014));
    // Each kind painted in a fresh program: nothing to copy from.
    QList<QImage> fresh;
    for (const Kind &k : kinds) {
        resetApp();
        fresh << grid(k.zoom, k.colour, k.grid, k.split);
    }
    for (qsizetype i = 0; i < fresh.size(); ++i)
        for (qsizetype j = 0; j < i; ++j)
            QVERIFY2(fresh[i] != fresh[j], qPrintable(QStringLiteral("kinds %1 and %2").arg(i).arg(j)));
    // Painted in turn, each after every other, and twice over.
    resetApp();
    for (qsizetype i = 0; i < kinds.size(); ++i) {
        for (qsizetype j = 0; j < kinds.size(); ++j) {
            for (qsizetype k : {i, j, j}) {
                const Kind &kind = kinds[k];
                QImage img = blank(kind.zoom, !kind.colour); // the other background: all of it is painted over
                paintStoredGrid(img, kind.colour, kind.grid, kind.split, kind.zoom);
                QVERIFY2(img == fresh[k], qPrintable(QStringLiteral("kind %1 after %2").arg(k).arg(i)));
            }
        }
    }
}

QTEST_MAIN(TestStoredPicture)
#include "tst_storedpicture.moc"
