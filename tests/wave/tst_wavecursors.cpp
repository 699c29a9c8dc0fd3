// The cursor model of a waveform window: load values, the proportional move
// on a change of picture size, the strict 3-pixel hit test and its grab
// order, dragging, release, the hover pointer shapes, and the clamping into
// the graticule (with values that are not finite).

#include "wave/wavecursors.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

// Cursors at positions easy to aim at (zoom 1; split line at y 125).
WaveCursors aimed(bool xOn, bool yOn)
{
    WaveCursors c;
    c.CursorX1 = 100;
    c.CursorX2 = 102;
    c.CursorY1 = 60;
    c.CursorY2 = 150;
    c.CursorX1Low = 200;
    c.CursorX2Low = 250;
    c.CursorY1Low = 160;
    c.CursorY2Low = 200;
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

} // namespace

class TestWaveCursors : public QObject {
    Q_OBJECT
private slots:
    void loadValues();
    void proportionalMove_data();
    void proportionalMove();
    void proportionalMoveRoundsTheWholeCursors_data();
    void proportionalMoveRoundsTheWholeCursors();
    void proportionalMoveWithoutReference();
    void press_data();
    void press();
    void dragAndRelease();
    void dragOfBothFlagsMovesOnlyX();
    void dragOfEachCursor_data();
    void dragOfEachCursor();
    void hoverPointer_data();
    void hoverPointer();
    void clamp_data();
    void clamp();
    void clampOnATinyPicture();
};

void TestWaveCursors::loadValues()
{
    WaveCursors c;
    c.CursorX1 = c.CursorX2 = c.CursorY1 = 1;
    c.CursorY2 = 1;
    c.CursorXOn = true;
    c.DragX1 = true;
    c.load(381, 333);
    QCOMPARE(c.CursorX1, 52.0);
    QCOMPARE(c.CursorX2, 297.0);
    QCOMPARE(c.CursorY1, 59.0);
    QCOMPARE(c.CursorY2, qint16(259));
    QCOMPARE(c.CursorX1Low, 79.0);
    QCOMPARE(c.CursorX2Low, 270.0);
    QCOMPARE(c.CursorY1Low, 162.5);
    QCOMPARE(c.CursorY2Low, qint16(254));
    QCOMPARE(c.PrevPicWidth, 381.0);
    QCOMPARE(c.PrevPicHeight, qint16(333));
    QVERIFY(c.CursorXOn); // the boxes and drags are not the load's business
    QVERIFY(c.DragX1);
}

void TestWaveCursors::proportionalMove_data()
{
    QTest::addColumn<double>("fromW");
    QTest::addColumn<double>("fromH");
    QTest::addColumn<double>("toW");
    QTest::addColumn<double>("toH");
    QTest::addColumn<QList<double>>("expected"); // X1 X2 Y1 Y2 X1Low X2Low Y1Low Y2Low
    QTest::newRow("zoom 100 % to 200 %") << 350.0 << 250.0 << 700.0 << 500.0
                                         << QList<double>{79, 569, 93, 493, 133, 515, 300, 483};
    QTest::newRow("zoom 200 % to 100 %") << 700.0 << 500.0 << 350.0 << 250.0
                                         << QList<double>{38.5, 161, 42, 142, 52, 147.5, 93.75, 140};
    // The window's first layout: from the design size to zoom 1, which
    // brings the second Y cursors inside the graticule.
    QTest::newRow("design size to zoom 1")
        << 381.0 << 333.0 << 350.0 << 250.0
        << QList<double>{27.0 / 381 * 350 + 25, 272.0 / 381 * 350 + 25, 34.0 / 333 * 250 + 25, 201,
                         54.0 / 381 * 350 + 25, 245.0 / 381 * 350 + 25, 137.5 / 333 * 250 + 25, 197};
}

void TestWaveCursors::proportionalMove()
{
    QFETCH(double, fromW);
    QFETCH(double, fromH);
    QFETCH(double, toW);
    QFETCH(double, toH);
    QFETCH(QList<double>, expected);
    WaveCursors c;
    c.load(fromW, fromH);
    c.proportionalMove(toW, toH);
    const QList<double> got{c.CursorX1,    c.CursorX2, c.CursorY1, double(c.CursorY2),
                            c.CursorX1Low, c.CursorX2Low,                       c.CursorY1Low, double(c.CursorY2Low)};
    for (int i = 0; i < 8; ++i)
        QVERIFY2(close(got[i], expected[i]), qPrintable(QStringLiteral("%1: %2").arg(i).arg(got[i], 0, 'g', 12)));
    QCOMPARE(c.PrevPicWidth, toW);
    QCOMPARE(c.PrevPicHeight, qint16(toH));
}

void TestWaveCursors::proportionalMoveRoundsTheWholeCursors_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    // Height 100 -> 50: (y - 25) / 2 + 25.
    QTest::newRow("80.5 stores 80") << 136 << 80;
    QTest::newRow("77.5 stores 78") << 130 << 78;
    QTest::newRow("81.5 stores 82") << 138 << 82;
}

void TestWaveCursors::proportionalMoveRoundsTheWholeCursors()
{
    QFETCH(int, before);
    QFETCH(int, after);
    WaveCursors c;
    c.PrevPicWidth = 100;
    c.PrevPicHeight = 100;
    c.CursorY2 = qint16(before);
    c.CursorY2Low = qint16(before);
    c.proportionalMove(100, 50);
    QCOMPARE(int(c.CursorY2), after);
    QCOMPARE(int(c.CursorY2Low), after);
}

void TestWaveCursors::proportionalMoveWithoutReference()
{
    // A zero reference leaves the cursors where they are, and the new size
    // becomes the reference.
    WaveCursors c;
    c.PrevPicWidth = 0;
    c.PrevPicHeight = 0;
    c.proportionalMove(700, 500);
    QCOMPARE(c.CursorX1, 52.0);
    QCOMPARE(c.CursorX2Low, 270.0);
    QCOMPARE(c.CursorY1, 59.0);
    QCOMPARE(c.CursorY2, qint16(259));
    QCOMPARE(c.PrevPicWidth, 700.0);
    QCOMPARE(c.PrevPicHeight, qint16(500));
    c.proportionalMove(350, 250);
    QCOMPARE(c.CursorX1, 38.5);
    QCOMPARE(c.CursorY2, qint16(142));

    // A size that is not a number never reaches the cursors.
    c.proportionalMove(std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity());
    QCOMPARE(c.CursorX1, 38.5);
    QCOMPARE(c.CursorY2, qint16(142));
    QCOMPARE(c.PrevPicHeight, qint16(250));
    // A height far beyond 16 bits leaves the whole cursors alone.
    c.PrevPicWidth = 350;
    c.proportionalMove(350, 1.0e6);
    QCOMPARE(c.CursorY2, qint16(142));
}

void TestWaveCursors::press_data()
{
    QTest::addColumn<bool>("xOn");
    QTest::addColumn<bool>("yOn");
    QTest::addColumn<bool>("split");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<QString>("grabbed");
    // X1 100, X2 102, Y1 60, Y2 150; lower half X 200 and 250, Y 160 and 200.
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
    QCOMPARE(c.CursorX1, 100.0); // a press moves nothing
    QCOMPARE(c.CursorY1, 60.0);
}

void TestWaveCursors::dragAndRelease()
{
    WaveCursors c = aimed(true, false);
    c.press(101, 90, 1.0, false);
    bool redraw = false;
    QCOMPARE(c.move(150, 70, 1.0, false, &redraw), CursorPointer::WestEast);
    QVERIFY(redraw);
    QCOMPARE(c.CursorX1, 150.0);
    // Outside the graticule the value is stored as the pointer gives it (in
    // single precision); the draw clamps it later.
    QCOMPARE(c.move(400.1, 70, 1.0, false, &redraw), CursorPointer::WestEast);
    QCOMPARE(c.CursorX1, double(400.1f));
    QCOMPARE(c.CursorX2, 102.0);
    c.release();
    QCOMPARE(dragFlags(c), QString());
    QCOMPARE(c.CursorX1, double(400.1f));
    // After the release moves only change the pointer.
    QCOMPARE(c.move(200, 70, 1.0, false, &redraw), CursorPointer::Default);
    QVERIFY(!redraw);
    QCOMPARE(c.CursorX1, double(400.1f));
}

void TestWaveCursors::dragOfBothFlagsMovesOnlyX()
{
    WaveCursors c = aimed(true, true);
    c.press(100, 60, 1.0, false);
    QCOMPARE(dragFlags(c), QStringLiteral("X1 Y1"));
    bool redraw = false;
    QCOMPARE(c.move(120, 80, 1.0, false, &redraw), CursorPointer::WestEast);
    QCOMPARE(c.CursorX1, 120.0);
    QCOMPARE(c.CursorY1, 60.0);
    QCOMPARE(dragFlags(c), QStringLiteral("X1 Y1")); // Y stays set until release
    c.release();
    QCOMPARE(dragFlags(c), QString());

    // Both boxes cleared while a drag is held: nothing moves, default pointer.
    c.press(120, 60, 1.0, false);
    c.CursorXOn = c.CursorYOn = false;
    QCOMPARE(c.move(130, 70, 1.0, false, &redraw), CursorPointer::Default);
    QVERIFY(!redraw);
    QCOMPARE(c.CursorX1, 120.0);
}

void TestWaveCursors::dragOfEachCursor_data()
{
    QTest::addColumn<bool>("split");
    QTest::addColumn<double>("pressX");
    QTest::addColumn<double>("pressY");
    QTest::addColumn<double>("moveX");
    QTest::addColumn<double>("moveY");
    QTest::addColumn<QString>("moved");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("pointer");
    QTest::newRow("X2") << false << 104.0 << 10.0 << 140.0 << 10.0 << "X2" << 140.0 << 9;
    QTest::newRow("Y1") << false << 10.0 << 61.0 << 10.0 << 70.25 << "Y1" << 70.25 << 7;
    QTest::newRow("Y2 rounds halves to even") << false << 10.0 << 150.0 << 10.0 << 80.5 << "Y2" << 80.0 << 7;
    QTest::newRow("Y2 rounds 81.5 up") << false << 10.0 << 150.0 << 10.0 << 81.5 << "Y2" << 82.0 << 7;
    QTest::newRow("X1Low") << true << 200.0 << 150.0 << 180.5 << 150.0 << "X1Low" << 180.5 << 9;
    QTest::newRow("X2Low") << true << 249.0 << 150.0 << 260.0 << 10.0 << "X2Low" << 260.0 << 9;
    QTest::newRow("Y1Low") << true << 10.0 << 158.0 << 10.0 << 170.0 << "Y1Low" << 170.0 << 7;
    QTest::newRow("Y2Low") << true << 10.0 << 199.0 << 10.0 << 210.5 << "Y2Low" << 210.0 << 7;
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
    const QList<std::pair<QString, std::pair<double, double>>> all{
        {"X1", {before.CursorX1, c.CursorX1}},
        {"X2", {before.CursorX2, c.CursorX2}},
        {"Y1", {before.CursorY1, c.CursorY1}},
        {"Y2", {double(before.CursorY2), double(c.CursorY2)}},
        {"X1Low", {before.CursorX1Low, c.CursorX1Low}},
        {"X2Low", {before.CursorX2Low, c.CursorX2Low}},
        {"Y1Low", {before.CursorY1Low, c.CursorY1Low}},
        {"Y2Low", {double(before.CursorY2Low), double(c.CursorY2Low)}},
    };
    for (const auto &[name, values] : all)
        QCOMPARE(values.second, name == moved ? value : values.first);
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
    // X1 100, X2 102, Y1 60, Y2 150; lower half X 200 and 250, Y 160 and 200.
    QTest::newRow("nothing shown") << false << false << false << 1.0 << 100.0 << 60.0 << 0;
    QTest::newRow("on a Y cursor") << false << true << false << 1.0 << 200.0 << 61.0 << 7;
    QTest::newRow("Y cursor left of the graticule") << false << true << false << 1.0 << 20.0 << 60.0 << 0;
    QTest::newRow("Y cursor on the left edge") << false << true << false << 1.0 << 25.0 << 60.0 << 0;
    QTest::newRow("Y cursor just inside the right edge") << false << true << false << 1.0 << 324.0 << 60.0 << 7;
    QTest::newRow("Y cursor on the right edge") << false << true << false << 1.0 << 325.0 << 60.0 << 0;
    QTest::newRow("Y cursor at zoom 2, x 600") << false << true << false << 2.0 << 600.0 << 60.0 << 7;
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
    QTest::addColumn<double>("zoom");
    QTest::addColumn<bool>("split");
    QTest::addColumn<bool>("xOn");
    QTest::addColumn<bool>("yOn");
    QTest::addColumn<double>("stored");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("X1 at 10 becomes 27") << "X1" << 10.0 << 1.0 << false << true << false << 27.0;
    QTest::newRow("X1 at 400 becomes 323") << "X1" << 400.0 << 1.0 << false << true << false << 323.0;
    QTest::newRow("X1 at 400, zoom 2, stays") << "X1" << 400.0 << 2.0 << false << true << false << 400.0;
    QTest::newRow("X2 clamped while hidden") << "X2" << 400.0 << 1.0 << false << false << false << 323.0;
    QTest::newRow("X1Low hidden: kept") << "X1Low" << 10.0 << 1.0 << true << false << false << 10.0;
    QTest::newRow("X1Low shown, split: clamped") << "X1Low" << 10.0 << 1.0 << true << true << false << 27.0;
    QTest::newRow("X2Low shown, not split: kept") << "X2Low" << 400.0 << 1.0 << false << true << false << 400.0;
    QTest::newRow("Y2 259 not split: 223") << "Y2" << 259.0 << 1.0 << false << false << true << 223.0;
    QTest::newRow("Y2 259 split: 123") << "Y2" << 259.0 << 1.0 << true << false << true << 123.0;
    QTest::newRow("Y2Low 254 split: 223") << "Y2Low" << 254.0 << 1.0 << true << false << true << 223.0;
    QTest::newRow("Y2Low 100 split: 127") << "Y2Low" << 100.0 << 1.0 << true << false << true << 127.0;
    QTest::newRow("Y2 at zoom 1.5, bound 323 whole") << "Y2" << 400.0 << 1.5 << false << false << true << 323.0;
    // Zoom 1.50390625: the bound 323.78125 is rounded for the whole cursor only.
    QTest::newRow("Y2 bound rounded") << "Y2" << 400.0 << 1.50390625 << false << false << true << 324.0;
    QTest::newRow("Y1 bound kept exact") << "Y1" << 400.0 << 1.50390625 << false << false << true << 323.78125;
    QTest::newRow("Y1 hidden: kept") << "Y1" << 5.0 << 1.0 << false << true << false << 5.0;
    QTest::newRow("Y1Low hidden: kept") << "Y1Low" << 5.0 << 1.0 << true << true << false << 5.0;
    QTest::newRow("Y1 split: upper half") << "Y1" << 200.0 << 1.0 << true << false << true << 123.0;
    QTest::newRow("Y1Low split: lower half") << "Y1Low" << 5.0 << 1.0 << true << false << true << 127.0;
    QTest::newRow("X1 not a number: low bound") << "X1" << nan << 1.0 << false << false << false << 27.0;
    QTest::newRow("X1 infinite: high bound") << "X1" << inf << 1.0 << false << false << false << 323.0;
    QTest::newRow("X2 minus infinite: low bound") << "X2" << -inf << 1.0 << false << false << false << 27.0;
    QTest::newRow("Y1 not a number: low bound") << "Y1" << nan << 1.0 << false << false << true << 27.0;
    QTest::newRow("Y1Low not a number, split") << "Y1Low" << nan << 1.0 << true << false << true << 127.0;
    QTest::newRow("X1Low not a number, split") << "X1Low" << nan << 1.0 << true << true << false << 27.0;
}

void TestWaveCursors::clamp()
{
    QFETCH(QString, field);
    QFETCH(double, value);
    QFETCH(double, zoom);
    QFETCH(bool, split);
    QFETCH(bool, xOn);
    QFETCH(bool, yOn);
    QFETCH(double, stored);
    WaveCursors c = aimed(xOn, yOn);
    c.CursorY1 = 40; // inside every range of the rows above
    c.CursorY2 = 50;
    c.CursorY1Low = 160;
    c.CursorY2Low = 170;
    double *real = field == "X1"      ? &c.CursorX1
                   : field == "X2"    ? &c.CursorX2
                   : field == "Y1"    ? &c.CursorY1
                   : field == "X1Low" ? &c.CursorX1Low
                   : field == "X2Low" ? &c.CursorX2Low
                   : field == "Y1Low" ? &c.CursorY1Low
                                      : nullptr;
    if (real)
        *real = value;
    else if (field == "Y2")
        c.CursorY2 = qint16(value);
    else
        c.CursorY2Low = qint16(value);
    ClampCursors(c, zoom, split);
    const double got = real ? *real : field == "Y2" ? c.CursorY2 : c.CursorY2Low;
    QVERIFY2(close(got, stored), qPrintable(QString::number(got, 'g', 12)));
}

void TestWaveCursors::clampOnATinyPicture()
{
    // Zoom 0.01 split: each half's range is empty (upper 27..24, lower
    // 28..25); the clamps leave the upper pair at 24 and the lower at 25,
    // below the split line at 26, and the first lower cursor is put back at
    // 175Z + 25.
    WaveCursors c = aimed(true, true);
    ClampCursors(c, 0.01, true);
    QCOMPARE(c.CursorX1, 26.0);
    QCOMPARE(c.CursorX2Low, 26.0);
    QVERIFY(close(c.CursorY1, 24.0));
    QCOMPARE(c.CursorY2, qint16(24));
    QVERIFY(close(c.CursorY1Low, 26.75));
    QCOMPARE(c.CursorY2Low, qint16(25));
}

QTEST_MAIN(TestWaveCursors)
#include "tst_wavecursors.moc"
