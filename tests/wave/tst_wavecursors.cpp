// The cursor model of a waveform window: load values, positions kept in
// divisions and their pixels at any zoom, the strict 3-pixel hit test and its
// grab order, dragging, release, the hover pointer shapes, the clamping into
// the graticule (with values that are not finite) and the pixels the lines
// are drawn on.

#include "wave/wavecursors.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

// Divisions of a pixel at zoom 1.
double dx(double x) { return CursorDivisionsOfX(x, 1.0); }
double dy(double y) { return CursorDivisionsOfY(y, 1.0); }

// Cursors at positions easy to aim at (pixels at zoom 1; split line at y 125).
WaveCursors aimed(bool xOn, bool yOn)
{
    WaveCursors c;
    c.CursorX1 = dx(100);
    c.CursorX2 = dx(102);
    c.CursorY1 = dy(60);
    c.CursorY2 = dy(150);
    c.CursorX1Low = dx(200);
    c.CursorX2Low = dx(250);
    c.CursorY1Low = dy(160);
    c.CursorY2Low = dy(200);
    c.CursorXOn = xOn;
    c.CursorYOn = yOn;
    return c;
}

QString dragFlags(const WaveCursors &c)
{
    QStringList f;
    if (c.DragX1)
        f << "X1";
    if (c.DragX2)
        f << "X2";
    if (c.DragX1Low)
        f << "X1Low";
    if (c.DragX2Low)
        f << "X2Low";
    if (c.DragY1)
        f << "Y1";
    if (c.DragY2)
        f << "Y2";
    if (c.DragY1Low)
        f << "Y1Low";
    if (c.DragY2Low)
        f << "Y2Low";
    return f.join(QLatin1Char(' '));
}

bool close(double a, double b) { return std::fabs(a - b) < 1e-9; }

QList<double> positions(const WaveCursors &c)
{
    return {c.CursorX1,    c.CursorX2,    c.CursorY1,    c.CursorY2,
            c.CursorX1Low, c.CursorX2Low, c.CursorY1Low, c.CursorY2Low};
}

} // namespace

class TestWaveCursors : public QObject {
    Q_OBJECT
private slots:
    void loadValues();
    void pixelsOfDivisions_data();
    void pixelsOfDivisions();
    void press_data();
    void press();
    void dragAndRelease();
    void dragOfBothFlagsMovesOnlyX();
    void dragOfEachCursor_data();
    void dragOfEachCursor();
    void dragAtAnExtremeZoom_data();
    void dragAtAnExtremeZoom();
    void hoverPointer_data();
    void hoverPointer();
    void clamp_data();
    void clamp();
    void linePixels_data();
    void linePixels();
};

void TestWaveCursors::loadValues()
{
    WaveCursors c;
    c.CursorX1 = c.CursorX2 = c.CursorY1 = c.CursorY2 = 1;
    c.CursorXOn = true;
    c.DragX1 = true;
    c.load();
    // Where the first layout has always put them: the design picture's
    // pixels (381 x 333) scaled onto the graticule, in divisions.
    const QList<double> expected{27.0 / 381 * 14,  272.0 / 381 * 14,  34.0 / 333 * 10,    234.0 / 333 * 10,
                                 54.0 / 381 * 14, 245.0 / 381 * 14, 137.5 / 333 * 10, 229.0 / 333 * 10};
    const QList<double> got = positions(c);
    const QList<double> fresh = positions(WaveCursors{}); // a new state holds them too
    for (int i = 0; i < 8; ++i) {
        QVERIFY2(close(got[i], expected[i]), qPrintable(QStringLiteral("%1: %2").arg(i).arg(got[i], 0, 'g', 12)));
        QVERIFY(close(fresh[i], expected[i]));
    }
    // Every one inside the graticule, in its half.
    for (double x : {c.CursorX1, c.CursorX2, c.CursorX1Low, c.CursorX2Low})
        QVERIFY(x > 0 && x < 12);
    QVERIFY(c.CursorY1 > 0 && c.CursorY1 < 4);
    QVERIFY(c.CursorY2 > 4 && c.CursorY2 < 8);
    QVERIFY(c.CursorY1Low > 4 && c.CursorY2Low < 8);
    QVERIFY(c.CursorXOn); // the boxes and drags are not the load's business
    QVERIFY(c.DragX1);
}

void TestWaveCursors::pixelsOfDivisions_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("divisions");
    QTest::addColumn<double>("x");
    QTest::newRow("zoom 1, 1 division") << 1.0 << 1.0 << 50.0;
    QTest::newRow("zoom 2, 1 division") << 2.0 << 1.0 << 75.0;
    QTest::newRow("zoom 1.5, the right edge") << 1.5 << 12.0 << 475.0;
    QTest::newRow("zoom 1 %, 6 divisions") << 0.01 << 6.0 << 26.5;
    QTest::newRow("zoom 0: every division on the margin") << 0.0 << 7.0 << 25.0;
}

void TestWaveCursors::pixelsOfDivisions()
{
    QFETCH(double, zoom);
    QFETCH(double, divisions);
    QFETCH(double, x);
    QVERIFY(close(CursorPixelX(divisions, zoom), x));
    QVERIFY(close(CursorPixelY(divisions, zoom), x));
    if (zoom > 0) {
        QVERIFY(close(CursorDivisionsOfX(x, zoom), divisions));
        QVERIFY(close(CursorDivisionsOfY(x, zoom), divisions));
    }
}

void TestWaveCursors::press_data()
{
    QTest::addColumn<bool>("xOn");
    QTest::addColumn<bool>("yOn");
    QTest::addColumn<bool>("split");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<QString>("grabbed");
    // Pixels at zoom 1: X1 100, X2 102, Y1 60, Y2 150; lower half X 200 and 250,
    // Y 160 and 200.
    QTest::newRow("both X near: the first wins") << true << false << false << 101.0 << 90.0 << "X1";
    QTest::newRow("2.9 pixels from X1") << true << false << false << 97.1 << 90.0 << "X1";
    QTest::newRow("exactly 3 pixels from X1: nothing") << true << false << false << 97.0 << 90.0 << "";
    QTest::newRow("exactly 3 from X1, 1 from X2") << true << false << false << 103.0 << 90.0 << "X2";
    QTest::newRow("exactly 3 from X2: nothing") << true << false << false << 105.0 << 90.0 << "";
    QTest::newRow("Y1") << false << true << false << 10.0 << 62.0 << "Y1";
    QTest::newRow("Y2") << false << true << false << 10.0 << 148.0 << "Y2";
    QTest::newRow("crossing of X1 and Y1") << true << true << false << 100.0 << 60.0 << "X1 Y1";
    QTest::newRow("outside the graticule still grabs") << true << false << false << 100.0 << 5.0 << "X1";
    QTest::newRow("Y cursor with only X shown") << true << false << false << 10.0 << 60.0 << "";
    QTest::newRow("nothing shown") << false << false << false << 100.0 << 60.0 << "";
    QTest::newRow("not split: lower cursors ignored") << true << true << false << 200.0 << 160.0 << "";
    QTest::newRow("split, upper half: X1") << true << false << true << 100.0 << 124.0 << "X1";
    QTest::newRow("split, upper half: lower X ignored") << true << false << true << 200.0 << 124.0 << "";
    QTest::newRow("split line belongs to the lower half") << true << false << true << 200.0 << 125.0 << "X1Low";
    QTest::newRow("split, lower half: X2Low") << true << false << true << 251.0 << 200.0 << "X2Low";
    QTest::newRow("split, lower half: upper X ignored") << true << false << true << 100.0 << 200.0 << "";
    QTest::newRow("split, lower half: Y1Low") << false << true << true << 10.0 << 160.0 << "Y1Low";
    QTest::newRow("split, lower half: Y2Low and X2Low") << true << true << true << 250.0 << 201.0 << "X2Low Y2Low";
    QTest::newRow("split, upper half: Y1") << false << true << true << 10.0 << 61.0 << "Y1";
    QTest::newRow("split, Y2 below the split line is not reachable") << false << true << true << 10.0 << 150.0
                                                                      << "";
}

void TestWaveCursors::press()
{
    QFETCH(bool, xOn);
    QFETCH(bool, yOn);
    QFETCH(bool, split);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(QString, grabbed);
    WaveCursors c = aimed(xOn, yOn);
    c.press(x, y, 1.0, split);
    QCOMPARE(dragFlags(c), grabbed);
    QCOMPARE(positions(c), positions(aimed(xOn, yOn))); // a press moves nothing
}

void TestWaveCursors::dragAndRelease()
{
    WaveCursors c = aimed(true, false);
    c.press(101, 90, 1.0, false);
    bool redraw = false;
    QCOMPARE(c.move(150, 70, 1.0, false, &redraw), CursorPointer::WestEast);
    QVERIFY(redraw);
    QCOMPARE(c.CursorX1, 5.0);
    // Outside the graticule the value is stored as the pointer gives it (in
    // single precision); the draw clamps it later.
    QCOMPARE(c.move(400.1, 70, 1.0, false, &redraw), CursorPointer::WestEast);
    QCOMPARE(c.CursorX1, dx(double(400.1f)));
    QCOMPARE(c.CursorX2, dx(102));
    c.release();
    QCOMPARE(dragFlags(c), QString());
    QCOMPARE(c.CursorX1, dx(double(400.1f)));
    // After the release moves only change the pointer.
    QCOMPARE(c.move(200, 70, 1.0, false, &redraw), CursorPointer::Default);
    QVERIFY(!redraw);
    QCOMPARE(c.CursorX1, dx(double(400.1f)));
}

void TestWaveCursors::dragOfBothFlagsMovesOnlyX()
{
    WaveCursors c = aimed(true, true);
    c.press(100, 60, 1.0, false);
    QCOMPARE(dragFlags(c), QStringLiteral("X1 Y1"));
    bool redraw = false;
    QCOMPARE(c.move(120, 80, 1.0, false, &redraw), CursorPointer::WestEast);
    QCOMPARE(c.CursorX1, dx(120));
    QCOMPARE(c.CursorY1, dy(60));
    QCOMPARE(dragFlags(c), QStringLiteral("X1 Y1")); // Y stays set until release
    c.release();
    QCOMPARE(dragFlags(c), QString());

    // Both boxes cleared while a drag is held: nothing moves, default pointer.
    c.press(120, 60, 1.0, false);
    c.CursorXOn = c.CursorYOn = false;
    QCOMPARE(c.move(130, 70, 1.0, false, &redraw), CursorPointer::Default);
    QVERIFY(!redraw);
    QCOMPARE(c.CursorX1, dx(120));
}

void TestWaveCursors::dragOfEachCursor_data()
{
    QTest::addColumn<bool>("split");
    QTest::addColumn<double>("pressX");
    QTest::addColumn<double>("pressY");
    QTest::addColumn<double>("moveX");
    QTest::addColumn<double>("moveY");
    QTest::addColumn<QString>("moved");
    QTest::addColumn<double>("value"); // the pixel it ends on
    QTest::addColumn<int>("pointer");
    QTest::newRow("X2") << false << 104.0 << 10.0 << 140.0 << 10.0 << "X2" << 140.0 << 9;
    QTest::newRow("Y1") << false << 10.0 << 61.0 << 10.0 << 70.25 << "Y1" << 70.25 << 7;
    // Nothing is rounded to whole pixels: a rounding would move the cursor
    // against the divisions at the next change of zoom.
    QTest::newRow("Y2 keeps its half pixel") << false << 10.0 << 150.0 << 10.0 << 80.5 << "Y2" << 80.5 << 7;
    QTest::newRow("Y2 keeps 81.5") << false << 10.0 << 150.0 << 10.0 << 81.5 << "Y2" << 81.5 << 7;
    QTest::newRow("X1Low") << true << 200.0 << 150.0 << 180.5 << 150.0 << "X1Low" << 180.5 << 9;
    QTest::newRow("X2Low") << true << 249.0 << 150.0 << 260.0 << 10.0 << "X2Low" << 260.0 << 9;
    QTest::newRow("Y1Low") << true << 10.0 << 158.0 << 10.0 << 170.0 << "Y1Low" << 170.0 << 7;
    QTest::newRow("Y2Low") << true << 10.0 << 199.0 << 10.0 << 210.5 << "Y2Low" << 210.5 << 7;
}

void TestWaveCursors::dragOfEachCursor()
{
    QFETCH(bool, split);
    QFETCH(double, pressX);
    QFETCH(double, pressY);
    QFETCH(double, moveX);
    QFETCH(double, moveY);
    QFETCH(QString, moved);
    QFETCH(double, value);
    QFETCH(int, pointer);
    WaveCursors c = aimed(true, true);
    const WaveCursors before = c;
    c.press(pressX, pressY, 1.0, split);
    QCOMPARE(dragFlags(c), moved);
    bool redraw = false;
    QCOMPARE(c.move(moveX, moveY, 1.0, split, &redraw), pointer);
    QVERIFY(redraw);
    const QStringList names{"X1", "X2", "Y1", "Y2", "X1Low", "X2Low", "Y1Low", "Y2Low"};
    const QList<double> was = positions(before);
    const QList<double> now = positions(c);
    for (int i = 0; i < 8; ++i) {
        const bool isX = names[i].startsWith(u'X');
        const double expected = names[i] == moved ? (isX ? dx(value) : dy(value)) : was[i];
        QVERIFY2(close(now[i], expected), qPrintable(names[i]));
    }
}

void TestWaveCursors::dragAtAnExtremeZoom_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("pointer"); // pixels
    QTest::addColumn<double>("stored");  // divisions, before any clamp
    // Zoom 1 %: the graticule is 3 pixels wide; the pointer's pixel is taken
    // as the division it stands for.
    QTest::newRow("zoom 1 %, on the margin") << 0.01 << 25.0 << 0.0;
    QTest::newRow("zoom 1 %, right edge") << 0.01 << 28.0 << 12.0;
    QTest::newRow("zoom 0.5 %") << 0.005 << 26.0 << 8.0;
    QTest::newRow("zoom 500 %") << 5.0 << 650.0 << 5.0;
}

void TestWaveCursors::dragAtAnExtremeZoom()
{
    QFETCH(double, zoom);
    QFETCH(double, pointer);
    QFETCH(double, stored);
    WaveCursors c;
    c.CursorXOn = true;
    c.DragX2 = true;
    bool redraw = false;
    QCOMPARE(c.move(pointer, 10, zoom, false, &redraw), CursorPointer::WestEast);
    QVERIFY(close(c.CursorX2, stored));
    QVERIFY(close(c.CursorX1, WaveCursors{}.CursorX1)); // the other stays
}

void TestWaveCursors::hoverPointer_data()
{
    QTest::addColumn<bool>("xOn");
    QTest::addColumn<bool>("yOn");
    QTest::addColumn<bool>("split");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("pointer");
    // Pixels at zoom 1: X1 100, X2 102, Y1 60, Y2 150; lower half X 200 and 250,
    // Y 160 and 200.
    QTest::newRow("nothing shown") << false << false << false << 1.0 << 100.0 << 60.0 << 0;
    QTest::newRow("on a Y cursor") << false << true << false << 1.0 << 200.0 << 61.0 << 7;
    QTest::newRow("Y cursor left of the graticule") << false << true << false << 1.0 << 20.0 << 60.0 << 0;
    QTest::newRow("Y cursor on the left edge") << false << true << false << 1.0 << 25.0 << 60.0 << 0;
    QTest::newRow("Y cursor just inside the right edge") << false << true << false << 1.0 << 324.0 << 60.0 << 7;
    QTest::newRow("Y cursor on the right edge") << false << true << false << 1.0 << 325.0 << 60.0 << 0;
    QTest::newRow("Y cursor at zoom 2, x 600") << false << true << false << 2.0 << 600.0 << 95.0 << 7;
    QTest::newRow("zoom 2: its zoom-1 pixel is not near") << false << true << false << 2.0 << 200.0 << 60.0 << 0;
    QTest::newRow("3 pixels off a Y cursor") << false << true << false << 1.0 << 200.0 << 63.0 << 0;
    QTest::newRow("on an X cursor") << true << false << false << 1.0 << 101.0 << 100.0 << 9;
    QTest::newRow("X cursor on the top edge") << true << false << false << 1.0 << 100.0 << 25.0 << 0;
    QTest::newRow("X cursor above the bottom edge") << true << false << false << 1.0 << 100.0 << 224.0 << 9;
    QTest::newRow("X cursor on the bottom edge") << true << false << false << 1.0 << 100.0 << 225.0 << 0;
    QTest::newRow("crossing: the Y shape wins") << true << true << false << 1.0 << 100.0 << 60.0 << 7;
    QTest::newRow("lower Y cursor, not split") << false << true << false << 1.0 << 200.0 << 160.0 << 0;
    QTest::newRow("lower Y cursor, split") << false << true << true << 1.0 << 200.0 << 160.0 << 7;
    QTest::newRow("upper Y cursor in the lower half, split") << false << true << true << 1.0 << 200.0 << 150.0 << 7;
    QTest::newRow("split: upper X in the upper half") << true << false << true << 1.0 << 100.0 << 100.0 << 9;
    QTest::newRow("split: upper X on the split line") << true << false << true << 1.0 << 100.0 << 125.0 << 0;
    QTest::newRow("split: lower X on the split line") << true << false << true << 1.0 << 200.0 << 125.0 << 0;
    QTest::newRow("split: upper X in the lower half") << true << false << true << 1.0 << 100.0 << 150.0 << 0;
    QTest::newRow("split: lower X in the lower half") << true << false << true << 1.0 << 250.0 << 150.0 << 9;
    QTest::newRow("split: lower X in the upper half") << true << false << true << 1.0 << 250.0 << 100.0 << 0;
    QTest::newRow("split: lower X on the bottom edge") << true << false << true << 1.0 << 250.0 << 225.0 << 0;
}

void TestWaveCursors::hoverPointer()
{
    QFETCH(bool, xOn);
    QFETCH(bool, yOn);
    QFETCH(bool, split);
    QFETCH(double, zoom);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(int, pointer);
    WaveCursors c = aimed(xOn, yOn);
    const WaveCursors before = c;
    bool redraw = true;
    QCOMPARE(c.move(x, y, zoom, split, &redraw), pointer);
    QVERIFY(!redraw);
    QCOMPARE(c.CursorX1, before.CursorX1);
    QCOMPARE(c.CursorY1, before.CursorY1);
}

void TestWaveCursors::clamp_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("split");
    QTest::addColumn<bool>("xOn");
    QTest::addColumn<bool>("yOn");
    QTest::addColumn<double>("stored");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("X1 left of the graticule: 0") << "X1" << -0.6 << false << true << false << 0.0;
    QTest::newRow("X1 right of it: 12") << "X1" << 15.0 << false << true << false << 12.0;
    QTest::newRow("X1 inside: kept") << "X1" << 11.99 << false << true << false << 11.99;
    QTest::newRow("X2 clamped while hidden") << "X2" << 15.0 << false << false << false << 12.0;
    QTest::newRow("X1Low hidden: kept") << "X1Low" << -1.0 << true << false << false << -1.0;
    QTest::newRow("X1Low shown, split: clamped") << "X1Low" << -1.0 << true << true << false << 0.0;
    QTest::newRow("X2Low shown, not split: kept") << "X2Low" << 15.0 << false << true << false << 15.0;
    QTest::newRow("Y2 below the graticule: 8") << "Y2" << 9.36 << false << false << true << 8.0;
    QTest::newRow("Y2 on the bottom edge: kept") << "Y2" << 8.0 << false << false << true << 8.0;
    QTest::newRow("Y2 split: the split line") << "Y2" << 6.0 << true << false << true << 4.0;
    QTest::newRow("Y2Low split, below: 8") << "Y2Low" << 9.16 << true << false << true << 8.0;
    QTest::newRow("Y2Low split, upper half: the split line") << "Y2Low" << 3.0 << true << false << true << 4.0;
    QTest::newRow("Y1 hidden: kept") << "Y1" << -1.0 << true << false << false << -1.0;
    QTest::newRow("Y1Low hidden: kept") << "Y1Low" << -1.0 << true << true << false << -1.0;
    QTest::newRow("Y1 split: upper half") << "Y1" << 7.0 << true << false << true << 4.0;
    QTest::newRow("Y1Low split: lower half") << "Y1Low" << 1.0 << true << false << true << 4.0;
    QTest::newRow("Y1Low not split: kept") << "Y1Low" << 1.0 << false << false << true << 1.0;
    QTest::newRow("X1 not a number: low bound") << "X1" << nan << false << false << false << 0.0;
    QTest::newRow("X1 infinite: high bound") << "X1" << inf << false << false << false << 12.0;
    QTest::newRow("X2 minus infinite: low bound") << "X2" << -inf << false << false << false << 0.0;
    QTest::newRow("Y1 not a number: low bound") << "Y1" << nan << false << false << true << 0.0;
    QTest::newRow("Y1Low not a number, split") << "Y1Low" << nan << true << false << true << 4.0;
    QTest::newRow("X1Low not a number, split") << "X1Low" << nan << true << true << false << 0.0;
}

void TestWaveCursors::clamp()
{
    QFETCH(QString, field);
    QFETCH(double, value);
    QFETCH(bool, split);
    QFETCH(bool, xOn);
    QFETCH(bool, yOn);
    QFETCH(double, stored);
    WaveCursors c = aimed(xOn, yOn);
    c.CursorY1 = 0.6; // inside every range of the rows above
    c.CursorY2 = 1;
    c.CursorY1Low = 5.4;
    c.CursorY2Low = 5.8;
    const QStringList names{"X1", "X2", "Y1", "Y2", "X1Low", "X2Low", "Y1Low", "Y2Low"};
    double *fields[8] = {&c.CursorX1,    &c.CursorX2,    &c.CursorY1,    &c.CursorY2,
                         &c.CursorX1Low, &c.CursorX2Low, &c.CursorY1Low, &c.CursorY2Low};
    const int i = int(names.indexOf(field));
    QVERIFY(i >= 0);
    *fields[i] = value;
    QList<double> others = positions(c);
    ClampCursors(c, split);
    QVERIFY2(close(*fields[i], stored), qPrintable(QString::number(*fields[i], 'g', 12)));
    others[i] = *fields[i];
    QCOMPARE(positions(c), others); // the others were inside already
}

void TestWaveCursors::linePixels_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<bool>("split");
    QTest::addColumn<QList<double>>("positions"); // X1 X2 Y1 Y2 X1Low X2Low Y1Low Y2Low, divisions
    QTest::addColumn<QList<double>>("pixels");
    const QList<double> inside{1, 11, 1, 7, 2, 10, 5, 7};
    QTest::newRow("zoom 1") << 1.0 << false << inside << QList<double>{50, 300, 50, 200, 75, 275, 150, 200};
    QTest::newRow("zoom 2") << 2.0 << false << inside << QList<double>{75, 575, 75, 375, 125, 525, 275, 375};
    // On the graticule's edges the lines stay 2 pixels inside its frame, and
    // on a split picture 2 pixels off the split line.
    const QList<double> edges{0, 12, 0, 8, 0, 12, 4, 8};
    QTest::newRow("edges") << 1.0 << false << edges << QList<double>{27, 323, 27, 223, 27, 323, 127, 223};
    QTest::newRow("edges, split")
        << 1.0 << true << QList<double>{0, 12, 0, 4, 0, 12, 4, 8} << QList<double>{27, 323, 27, 123, 27, 323, 127, 223};
    // At 1 % the graticule is 3 by 2 pixels: the lines end on the bound 2
    // pixels inside its far edge (the near bound cannot be kept as well); the
    // positions are not touched.
    QTest::newRow("zoom 1 %") << 0.01 << false << inside << QList<double>{26, 26, 25, 25, 26, 26, 25, 25};
}

void TestWaveCursors::linePixels()
{
    QFETCH(double, zoom);
    QFETCH(bool, split);
    QFETCH(QList<double>, positions);
    QFETCH(QList<double>, pixels);
    WaveCursors c;
    c.CursorX1 = positions[0];
    c.CursorX2 = positions[1];
    c.CursorY1 = positions[2];
    c.CursorY2 = positions[3];
    c.CursorX1Low = positions[4];
    c.CursorX2Low = positions[5];
    c.CursorY1Low = positions[6];
    c.CursorY2Low = positions[7];
    const WaveCursors before = c;
    const CursorLines l = CursorLinePixels(c, zoom, split);
    const QList<double> got{l.x1, l.x2, l.y1, l.y2, l.x1Low, l.x2Low, l.y1Low, l.y2Low};
    for (int i = 0; i < 8; ++i)
        QVERIFY2(close(got[i], pixels[i]), qPrintable(QStringLiteral("%1: %2").arg(i).arg(got[i], 0, 'g', 12)));
    QCOMPARE(::positions(c), ::positions(before)); // drawing stores nothing
}

QTEST_MAIN(TestWaveCursors)
#include "tst_wavecursors.moc"
