// Lines written straight into a picture: the very pixels the painter's own
// one-pixel pen sets, checked against the painter itself on polylines of
// every kind of step, on lines partly or wholly off the picture, and only
// where the painter's state lets it serve.

#include "storedwave/tracepixels.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <random>
#include <vector>

namespace {

constexpr QRgb Ink = 0xffffff00;
const QColor Background(0, 0, 0);

QImage blank(QImage::Format format = QImage::Format_RGB32, const QSize &size = QSize(160, 120))
{
    QImage img(size, format);
    img.fill(Background);
    return img;
}

void inkPen(QPainter &p, qreal width = 1)
{
    QPen pen = p.pen();
    pen.setColor(QColor::fromRgba(Ink));
    pen.setWidthF(width);
    p.setPen(pen);
}

// The first pixel where two pictures differ, for the failure message.
QString firstDifference(const QImage &a, const QImage &b)
{
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("(%1, %2): painter %3, written %4")
                    .arg(x)
                    .arg(y)
                    .arg(a.pixel(x, y), 8, 16)
                    .arg(b.pixel(x, y), 8, 16);
    return QString();
}

// A polyline of count points from start, each step drawn from the ranges
// given, kept two pixels inside a 160 x 120 picture.
std::vector<QPoint> walk(std::mt19937 &rng, int count, int maxDx, int minDx, int maxDy)
{
    std::vector<QPoint> pts{QPoint(2 + int(rng() % 156), 2 + int(rng() % 116))};
    for (int i = 1; i < count; ++i) {
        const int dx = minDx + int(rng() % unsigned(maxDx - minDx + 1));
        const int dy = int(rng() % unsigned(2 * maxDy + 1)) - maxDy;
        pts.emplace_back(std::clamp(pts.back().x() + dx, 2, 157), std::clamp(pts.back().y() + dy, 2, 117));
    }
    return pts;
}

} // namespace

class TestTracePixels : public QObject {
    Q_OBJECT
private slots:
    void polylinesAsThePainterDrawsThem_data();
    void polylinesAsThePainterDrawsThem();
    void linesClippedAsThePainterClipsThem();
    void onlyWhereThePainterAllows_data();
    void onlyWhereThePainterAllows();
};

void TestTracePixels::polylinesAsThePainterDrawsThem_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("minDx");
    QTest::addColumn<int>("maxDx");
    QTest::addColumn<int>("maxDy");
    // The steps the viewer's traces take: 0 or 1 pixel across (zoom 1),
    // one pixel (zoom 2), one or two (zoom 3), with rises of any height.
    QTest::newRow("trace at 100 %") << 40 << 0 << 1 << 60;
    QTest::newRow("trace at 200 %") << 40 << 1 << 1 << 110;
    QTest::newRow("trace at 300 %") << 40 << 1 << 2 << 110;
    QTest::newRow("trace at 1000 %") << 12 << 4 << 6 << 110;
    // Small steps every way: turns, back turns, shared and missing pixels.
    QTest::newRow("one-pixel steps") << 30 << -1 << 1 << 1;
    QTest::newRow("short steps") << 20 << -3 << 3 << 3;
    QTest::newRow("shallow steps") << 15 << -12 << 12 << 4;
    QTest::newRow("long steps every way") << 10 << -40 << 40 << 50;
    QTest::newRow("two points") << 2 << -30 << 30 << 30;
}

void TestTracePixels::polylinesAsThePainterDrawsThem()
{
    QFETCH(int, points);
    QFETCH(int, minDx);
    QFETCH(int, maxDx);
    QFETCH(int, maxDy);
    std::mt19937 rng(uint(points * 131 + minDx * 17 + maxDx * 7 + maxDy));
    int drawn = 0;
    for (int trial = 0; trial < 400; ++trial) {
        const std::vector<QPoint> pts = walk(rng, points, maxDx, minDx, maxDy);
        if (pts.front() == pts.back())
            continue; // a closed path is left to the painter
        QImage painted = blank();
        {
            QPainter p(&painted);
            inkPen(p);
            p.drawPolyline(pts.data(), int(pts.size()));
        }
        QImage written = blank();
        {
            QPainter p(&written);
            inkPen(p);
            TracePixels direct(p);
            QVERIFY(direct.valid());
            QVERIFY(direct.polyline(pts.data(), int(pts.size())));
        }
        if (painted != written) {
            QString path;
            for (const QPoint &q : pts)
                path += QStringLiteral(" (%1,%2)").arg(q.x()).arg(q.y());
            QFAIL(qPrintable(QStringLiteral("polyline%1 differs at %2").arg(path, firstDifference(painted, written))));
        }
        ++drawn;
    }
    QVERIFY(drawn > 300);
}

void TestTracePixels::linesClippedAsThePainterClipsThem()
{
    // Level and upright lines, both ends included, inside, across an edge,
    // wholly outside, far outside, reversed, and single points.
    struct Piece {
        int x1, y1, x2, y2;
    };
    const std::vector<Piece> pieces = {
        {10, 10, 60, 10},    {60, 12, 10, 12},   {-30, 20, 40, 20},  {100, 30, 400, 30}, {-50, 40, -5, 40},
        {20, -1, 90, -1},    {20, 120, 90, 120}, {20, 119, 90, 119}, {0, 0, 159, 0},     {-9000, 50, 9000, 50},
        {30, 10, 30, 100},   {32, 100, 32, 10},  {40, -40, 40, 30},  {45, 90, 45, 500},  {-1, 10, -1, 90},
        {160, 10, 160, 90},  {159, 0, 159, 119}, {70, -3000, 70, -2990}, {75, 5, 75, 5}, {-2, -2, -2, -2},
        {159, 119, 159, 119}, {80, 60, 80, 60},
    };
    QImage painted = blank();
    {
        QPainter p(&painted);
        inkPen(p);
        for (const Piece &l : pieces) {
            if (l.x1 == l.x2 && l.y1 == l.y2)
                p.drawPoint(l.x1, l.y1);
            else
                p.drawLine(l.x1, l.y1, l.x2, l.y2);
        }
    }
    QImage written = blank();
    {
        QPainter p(&written);
        inkPen(p);
        TracePixels direct(p);
        QVERIFY(direct.valid());
        for (const Piece &l : pieces) {
            if (l.x1 == l.x2 && l.y1 == l.y2)
                direct.point(l.x1, l.y1);
            else if (l.y1 == l.y2)
                direct.horizontal(l.x1, l.x2, l.y1);
            else
                direct.vertical(l.x1, l.y1, l.y2);
        }
    }
    QVERIFY2(painted == written, qPrintable(firstDifference(painted, written)));
    QVERIFY(painted != blank());

    // A polyline that comes within two pixels of an edge, or is closed, is
    // left to the painter: nothing is written.
    QImage untouched = blank();
    {
        QPainter p(&untouched);
        inkPen(p);
        TracePixels direct(p);
        const std::vector<QPoint> nearEdge = {{10, 10}, {11, 1}, {12, 50}};
        const std::vector<QPoint> closed = {{10, 10}, {30, 40}, {10, 10}};
        const std::vector<QPoint> single = {{10, 10}};
        QVERIFY(!direct.polyline(nearEdge.data(), int(nearEdge.size())));
        QVERIFY(!direct.polyline(closed.data(), int(closed.size())));
        QVERIFY(!direct.polyline(single.data(), int(single.size())));
    }
    QCOMPARE(untouched, blank());
}

void TestTracePixels::onlyWhereThePainterAllows_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("change");
    QTest::addColumn<bool>("valid");
    enum Change { None, Transform, Clip, Antialiasing, Translucent, Wide, FlatCap, Opacity, Xor, Dashed };
    const int rgb32 = QImage::Format_RGB32;
    QTest::newRow("RGB32") << rgb32 << int(None) << true;
    QTest::newRow("premultiplied ARGB32") << int(QImage::Format_ARGB32_Premultiplied) << int(None) << true;
    QTest::newRow("ARGB32") << int(QImage::Format_ARGB32) << int(None) << false;
    QTest::newRow("RGB16") << int(QImage::Format_RGB16) << int(None) << false;
    QTest::newRow("translated") << rgb32 << int(Transform) << false;
    QTest::newRow("clipped") << rgb32 << int(Clip) << false;
    QTest::newRow("antialiased") << rgb32 << int(Antialiasing) << false;
    QTest::newRow("translucent pen") << rgb32 << int(Translucent) << false;
    QTest::newRow("wide pen") << rgb32 << int(Wide) << false;
    QTest::newRow("flat cap") << rgb32 << int(FlatCap) << false;
    QTest::newRow("half opacity") << rgb32 << int(Opacity) << false;
    QTest::newRow("xor") << rgb32 << int(Xor) << false;
    QTest::newRow("dashed") << rgb32 << int(Dashed) << false;
}

void TestTracePixels::onlyWhereThePainterAllows()
{
    QFETCH(int, format);
    QFETCH(int, change);
    QFETCH(bool, valid);
    QImage img = blank(QImage::Format(format));
    QPainter p(&img);
    inkPen(p);
    switch (change) {
    case 1: p.translate(1, 0); break;
    case 2: p.setClipRect(0, 0, 50, 50); break;
    case 3: p.setRenderHint(QPainter::Antialiasing); break;
    case 4: {
        QPen pen = p.pen();
        pen.setColor(QColor(255, 255, 0, 128));
        p.setPen(pen);
        break;
    }
    case 5: inkPen(p, 2); break;
    case 6: {
        QPen pen = p.pen();
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        break;
    }
    case 7: p.setOpacity(0.5); break;
    case 8: p.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    case 9: {
        QPen pen = p.pen();
        pen.setStyle(Qt::DashLine);
        p.setPen(pen);
        break;
    }
    default: break;
    }
    TracePixels direct(p);
    QCOMPARE(direct.valid(), valid);
    if (!valid) {
        const std::vector<QPoint> pts = {{10, 10}, {20, 40}};
        QVERIFY(!direct.polyline(pts.data(), int(pts.size())));
    }
}

QTEST_MAIN(TestTracePixels)
#include "tst_tracepixels.moc"
