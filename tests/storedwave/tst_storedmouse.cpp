// The mouse on the viewer picture as pure state: hit tests of traces,
// cursor grabs with their tolerance and priority, split halves, trace drags
// in both trigger modes with their ranges, digital drags and pointer shapes.

#include "app/appstate.h"
#include "storedwave/screendata.h"
#include "storedwave/storedmouse.h"
#include "wave/wavecursors.h"

#include <QtTest>

namespace {

// A normal-trigger record whose CH1 lies flat on row 100 across the whole
// graticule, at 1 V/div and 1 ms/div.
StoredWave flatCh1()
{
    StoredWave w;
    w.HasData = true;
    w.TrigMode = QStringLiteral("EDGE");
    w.ShowCH1 = true;
    w.Ch1VoltDiv = 1.0f;
    w.Ch2VoltDiv = 1.0f;
    w.TimeDiv = 1e-3;
    w.Setup.FirstPoint = 0;
    w.Setup.LastPoint = 299;
    w.Ch1Screen.fill(100);
    w.Ch2Screen.fill(150);
    return w;
}

// Divisions of a pixel at a zoom.
double dx(double x, double zoom = 1.0) { return CursorDivisionsOfX(x, zoom); }
double dy(double y, double zoom = 1.0) { return CursorDivisionsOfY(y, zoom); }

} // namespace

class TestStoredMouse : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void isBetween_data();
    void isBetween();
    void traceToleranceGrowsWithTheZoom_data();
    void traceToleranceGrowsWithTheZoom();
    void hitsBetweenNeighbouringColumns();
    void noHitOutsideTheWindow_data();
    void noHitOutsideTheWindow();
    void digitalHits();
    void tracePriority();
    void cursorGrabTolerance_data();
    void cursorGrabTolerance();
    void firstCursorWinsAndCrossings();
    void splitHalves();
    void noCursorShownGrabsNothing();
    void traceDragNormal();
    void traceDragAlternate();
    void digitalDrag_data();
    void digitalDrag();
    void pressAndReleaseChangeNothing();
    void pointerShapes();
};

void TestStoredMouse::isBetween_data()
{
    QTest::addColumn<int>("v");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<bool>("inside");
    QTest::newRow("inside") << 5 << 1 << 9 << true;
    QTest::newRow("reversed bounds") << 5 << 9 << 1 << true;
    QTest::newRow("on a bound") << 9 << 1 << 9 << true;
    QTest::newRow("outside") << 10 << 9 << 1 << false;
}

void TestStoredMouse::isBetween()
{
    QFETCH(int, v);
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(bool, inside);
    QCOMPARE(IsBetween(v, a, b), inside);
}

void TestStoredMouse::traceToleranceGrowsWithTheZoom_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<float>("y");
    QTest::addColumn<bool>("hit");
    // Row 100 at 200 % is y 225; three rows after rounding: 220 .. 230.
    QTest::newRow("200 %, 219") << 2.0 << 219.0f << false;
    QTest::newRow("200 %, 220") << 2.0 << 220.0f << true;
    QTest::newRow("200 %, 230") << 2.0 << 230.0f << true;
    QTest::newRow("200 %, 231") << 2.0 << 231.0f << false;
    QTest::newRow("100 %, 122") << 1.0 << 122.0f << false;
    QTest::newRow("100 %, 123") << 1.0 << 123.0f << true;
    QTest::newRow("100 %, 127") << 1.0 << 127.0f << true;
    QTest::newRow("100 %, 128") << 1.0 << 128.0f << false;
}

void TestStoredMouse::traceToleranceGrowsWithTheZoom()
{
    QFETCH(double, zoom);
    QFETCH(float, y);
    QFETCH(bool, hit);
    StoredMouse m;
    HitTestAllTraces(m, flatCh1(), zoom, float(25 + 150 * zoom), y);
    QCOMPARE(m.HitCH1, hit);
}

void TestStoredMouse::hitsBetweenNeighbouringColumns()
{
    StoredWave w = flatCh1();
    // Row 50 everywhere but column 11, at row 150: a step between 10 and 11.
    w.Ch1Screen.fill(50);
    w.Ch1Screen[22] = w.Ch1Screen[23] = 150;
    const SetupBlock &s = w.Setup;
    QVERIFY(HitTestTrace(0, 100, w.Ch1Screen, 10, 0, 299, false, s));  // between 10 and 11
    QVERIFY(HitTestTrace(0, 100, w.Ch1Screen, 11, 0, 299, false, s));  // between 11 and 10
    QVERIFY(!HitTestTrace(0, 30, w.Ch1Screen, 10, 0, 299, false, s));
    // At the window's last column there is no next column to look at.
    QVERIFY(!HitTestTrace(0, 100, w.Ch1Screen, 10, 0, 10, false, s));
    // Alternate mode: CH2 in the lower half at half height.
    w.Ch2Screen.fill(100);
    QVERIFY(HitTestTrace(1, 150, w.Ch2Screen, 40, 0, 299, true, s));
    QVERIFY(!HitTestTrace(1, 100, w.Ch2Screen, 40, 0, 299, true, s));
}

void TestStoredMouse::noHitOutsideTheWindow_data()
{
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("f");
    QTest::addColumn<int>("l");
    QTest::newRow("left of the window") << 9 << 10 << 200;
    QTest::newRow("right of the window") << 201 << 10 << 200;
    QTest::newRow("window past 299") << 299 << 0 << 300;
    QTest::newRow("nothing visible") << 300 << 300 << 300;
    QTest::newRow("first after last") << 100 << 150 << 50;
    QTest::newRow("negative first") << 0 << -5 << 200;
}

void TestStoredMouse::noHitOutsideTheWindow()
{
    QFETCH(int, c);
    QFETCH(int, f);
    QFETCH(int, l);
    const StoredWave w = flatCh1();
    QVERIFY(!HitTestTrace(0, 100, w.Ch1Screen, c, f, l, false, w.Setup));
    quint8 ch = 7;
    QVERIFY(!HitTestTrace(2, 100, w.LaScreen, c, f, l, false, w.Setup, &ch));
    QCOMPARE(ch, quint8(7));
}

void TestStoredMouse::digitalHits()
{
    StoredWave w = flatCh1();
    w.LaScreen.fill(0x0028); // D3 and D5 high
    for (int n = 0; n < 16; ++n)
        w.Setup.LARow[size_t(n)] = qint16(222 - 12 * n);
    w.Setup.LARow[5] = w.Setup.LARow[3]; // D5 on D3's row
    w.Setup.LAShownMask = 0x0001;                   // D3 and D5 not even shown
    quint8 ch = 0;
    // D3 high: row 186 - 10 - 25 = 151.
    QVERIFY(HitTestTrace(2, 151, w.LaScreen, 50, 0, 299, false, w.Setup, &ch));
    QCOMPARE(ch, quint8(3)); // the lower channel of the two
    // D0 low on row 222 - 25 = 197.
    QVERIFY(HitTestTrace(2, 196, w.LaScreen, 50, 0, 299, false, w.Setup, &ch));
    QCOMPARE(ch, quint8(0));
}

void TestStoredMouse::tracePriority()
{
    StoredWave w = flatCh1();
    w.ShowCH2 = true;
    w.Ch2Screen.fill(100);
    w.ShowLA = true;
    w.LaScreen.fill(0);
    w.Setup.LARow[0] = 125; // D0 low on row 100
    StoredMouse m;
    HitTestAllTraces(m, w, 1.0, 175, 125);
    QVERIFY(m.HitCH1 && !m.HitCH2 && !m.HitLA);
    w.ShowCH1 = false;
    HitTestAllTraces(m, w, 1.0, 175, 125);
    QVERIFY(!m.HitCH1 && m.HitCH2 && !m.HitLA);
    w.ShowCH2 = false;
    HitTestAllTraces(m, w, 1.0, 175, 125);
    QVERIFY(!m.HitCH1 && !m.HitCH2 && m.HitLA);
    QCOMPARE(m.DragLaChannel, quint8(0));
}

void TestStoredMouse::cursorGrabTolerance_data()
{
    QTest::addColumn<float>("x");
    QTest::addColumn<bool>("grabbed");
    QTest::newRow("97") << 97.0f << false;
    QTest::newRow("97.5") << 97.5f << true;
    QTest::newRow("102.9") << 102.9f << true;
    QTest::newRow("103") << 103.0f << false;
}

void TestStoredMouse::cursorGrabTolerance()
{
    QFETCH(float, x);
    QFETCH(bool, grabbed);
    StoredCursors c;
    c.ShowCursorX = true;
    for (double zoom : {1.0, 3.0}) { // the same 3 pixels at every zoom
        c.X1 = dx(100, zoom);
        StoredMouse m;
        storedMouseDown(m, c, flatCh1(), zoom, x, 60);
        QCOMPARE(m.DragX1, grabbed);
    }
}

void TestStoredMouse::firstCursorWinsAndCrossings()
{
    StoredWave w = flatCh1();
    StoredCursors c;
    c.ShowCursorX = c.ShowCursorY = true;
    c.X1 = dx(100);
    c.X2 = dx(102);
    c.Y1 = dy(60);
    c.Y2 = dy(61);
    StoredMouse m;
    storedMouseDown(m, c, w, 1.0, 101, 60.5);
    QVERIFY(m.DragX1 && !m.DragX2);
    QVERIFY(m.DragY1 && !m.DragY2);
    // Both set: only the vertical line follows the mouse.
    const MouseOutcome o = storedMouseMove(m, c, w, 1.0, 150, 90);
    QCOMPARE(c.X1, dx(150));
    QCOMPARE(c.Y1, dy(60));
    QVERIFY(o.redraw);
    QCOMPARE(o.pointer, std::optional(StoredPointer::SizeWE));
    QVERIFY(!o.refresh);
    // A dragged cursor follows the mouse past the graticule, without limit.
    storedMouseMove(m, c, w, 1.0, -40, 90);
    QCOMPARE(c.X1, dx(-40));
    storedMouseUp(m);
    QVERIFY(!m.DragX1 && !m.DragY1);
}

void TestStoredMouse::splitHalves()
{
    StoredWave w = flatCh1();
    w.TrigMode = QStringLiteral("ALTERNATION");
    w.SplitScreen = true;
    StoredCursors c;
    c.ShowCursorX = c.ShowCursorY = true;
    c.X1 = dx(100);
    c.X1Low = dx(200);
    c.Y1 = dy(60);
    c.Y2 = dy(40);
    c.Y1Low = 4; // lower half's cursor on the split line: drawn at 127, reachable from the upper half's edge
    StoredMouse m;
    // In the upper half the lower half's cursors are never grabbed.
    storedMouseDown(m, c, w, 1.0, 200, 124.5f);
    QVERIFY(!m.DragX1Low && !m.DragY1Low && !m.DragY2);
    // Hovering over them there shows the north-south pointer all the same.
    QCOMPARE(storedMouseMove(m, c, w, 1.0, 150, 124.5f).pointer, std::optional(StoredPointer::SizeNS));
    storedMouseUp(m);
    // y exactly 100 Z + 25 counts as the lower half.
    storedMouseDown(m, c, w, 1.0, 200, 125);
    QVERIFY(m.DragX1Low);
    QVERIFY(m.DragY1Low);
    storedMouseMove(m, c, w, 1.0, 210.5, 190.4);
    QCOMPARE(c.X1Low, dx(210.5));
    storedMouseUp(m);
    // The vertical hover of both halves fails on the boundary itself.
    c.Y1Low = dy(160);
    QCOMPARE(storedMouseMove(m, c, w, 1.0, 100, 125).pointer, std::optional(StoredPointer::Arrow));
    // Y2Low takes the mouse's y rounded.
    c.Y2Low = dy(180);
    storedMouseDown(m, c, w, 1.0, 50, 181);
    QVERIFY(m.DragY2Low);
    storedMouseMove(m, c, w, 1.0, 50, 190.5);
    QCOMPARE(c.Y2Low, dy(190));
}

void TestStoredMouse::noCursorShownGrabsNothing()
{
    StoredCursors c;
    StoredMouse m;
    const StoredCursorLines l = storedCursorLines(c, false, 1.0);
    storedMouseDown(m, c, flatCh1(), 1.0, float(l.x1), float(l.y1));
    QVERIFY(!m.DragX1 && !m.DragY1);
}

void TestStoredMouse::traceDragNormal()
{
    StoredWave w = flatCh1();
    w.Ch1Offset = 0.5f;
    StoredCursors c;
    StoredMouse m;
    const double Z = 2.0;
    QCOMPARE(storedMouseMove(m, c, w, Z, 200, 225).pointer, std::optional(StoredPointer::OpenHand));
    QVERIFY(m.HitCH1);
    QCOMPARE(storedMouseDown(m, c, w, Z, 200, 225).pointer, std::optional(StoredPointer::ClosedHand));
    QVERIFY(m.DragCH1);
    // One division down (50 pixels at 200 %) and one to the right.
    MouseOutcome o = storedMouseMove(m, c, w, Z, 250, 275);
    QCOMPARE(w.Ch1Offset, -0.5f);
    QCOMPARE(w.Position, 1e-3);
    QVERIFY(o.modified && o.redraw);
    QCOMPARE(o.refresh, std::optional(ScreenSelector::All));
    QVERIFY(!o.pointer); // the pointer stays during a drag
    // Values come from the press, not from the last move.
    storedMouseMove(m, c, w, Z, 225, 250);
    QCOMPARE(w.Ch1Offset, 0.0f);
    QCOMPARE(w.Position, 0.5e-3);
    // Below the graticule the offset keeps its last value; left of it the position.
    storedMouseMove(m, c, w, Z, 10, 600);
    QCOMPARE(w.Ch1Offset, 0.0f);
    QCOMPARE(w.Position, 0.5e-3);
    storedMouseUp(m);
    QVERIFY(!m.DragCH1 && !m.HitCH1);
    QCOMPARE(w.Ch1Offset, 0.0f); // nothing is undone
}

void TestStoredMouse::traceDragAlternate()
{
    StoredWave w = flatCh1();
    w.TrigMode = QStringLiteral("ALTERNATION");
    w.SplitScreen = true;
    w.ShowCH2 = true;
    w.Ch1TimeDiv = 1e-3;
    w.Ch2TimeDiv = 2e-3;
    w.Setup.CH1FirstPoint = w.Setup.CH2FirstPoint = 0;
    w.Setup.CH1LastPoint = w.Setup.CH2LastPoint = 299;
    w.Ch1Screen.fill(100); // upper half: row 50, y 75
    w.Ch2Screen.fill(100); // lower half: row 150, y 175
    StoredCursors c;
    StoredMouse m;
    storedMouseMove(m, c, w, 1.0, 100, 75);
    storedMouseDown(m, c, w, 1.0, 100, 75);
    QVERIFY(m.DragCH1);
    // 12.5 rows per division: 12.5 pixels down is one volt.
    MouseOutcome o = storedMouseMove(m, c, w, 1.0, 125, 87.5);
    QCOMPARE(w.Ch1Offset, -1.0f);
    QCOMPARE(w.Ch1Position, 1e-3);
    QCOMPARE(w.Position, 0.0);
    QCOMPARE(o.refresh, std::optional(ScreenSelector::CH1));
    // In the lower half only the position follows.
    storedMouseMove(m, c, w, 1.0, 150, 180);
    QCOMPARE(w.Ch1Offset, -1.0f);
    QCOMPARE(w.Ch1Position, 2e-3);
    // The boundary itself still moves CH1 vertically.
    storedMouseMove(m, c, w, 1.0, 150, 125);
    QCOMPARE(w.Ch1Offset, -4.0f);
    storedMouseUp(m);

    storedMouseMove(m, c, w, 1.0, 100, 175);
    storedMouseDown(m, c, w, 1.0, 100, 175);
    QVERIFY(m.DragCH2);
    o = storedMouseMove(m, c, w, 1.0, 75, 150);
    QCOMPARE(w.Ch2Offset, 2.0f);
    QCOMPARE(w.Ch2Position, -2e-3);
    QCOMPARE(o.refresh, std::optional(ScreenSelector::CH2));
}

void TestStoredMouse::digitalDrag_data()
{
    QTest::addColumn<float>("y");
    QTest::addColumn<qint16>("row");
    QTest::newRow("far above") << -400.0f << qint16(42);
    QTest::newRow("far below") << 900.0f << qint16(222);
    QTest::newRow("snaps down") << 130.0f << qint16(126); // r 130 snaps to 222 - 12 * 8
    QTest::newRow("snaps up") << 137.0f << qint16(138);
}

void TestStoredMouse::digitalDrag()
{
    QFETCH(float, y);
    QFETCH(qint16, row);
    StoredWave w = flatCh1();
    w.ShowCH1 = false;
    w.ShowLA = true;
    w.LaScreen.fill(0);
    w.Setup.LARow[4] = 150; // D4 low on row 125
    w.Setup.LASelected = 1;
    StoredCursors c;
    StoredMouse m;
    storedMouseMove(m, c, w, 1.0, 100, 150);
    QVERIFY(m.HitLA);
    QCOMPARE(m.DragLaChannel, quint8(4));
    storedMouseDown(m, c, w, 1.0, 100, 150);
    QVERIFY(m.DragLA);
    const MouseOutcome o = storedMouseMove(m, c, w, 1.0, 125, y);
    QCOMPARE(w.Setup.LARow[4], row);
    QCOMPARE(w.Setup.LASelected, quint8(4));
    QCOMPARE(w.Position, 1e-3);
    QCOMPARE(o.refresh, std::optional(ScreenSelector::All));
}

void TestStoredMouse::pressAndReleaseChangeNothing()
{
    StoredWave w = flatCh1();
    StoredCursors c;
    c.ShowCursorX = true;
    StoredMouse m;
    storedMouseMove(m, c, w, 1.0, 175, 125);
    const StoredWave before = w;
    const MouseOutcome o = storedMouseDown(m, c, w, 1.0, 175, 125);
    QVERIFY(!o.modified);
    storedMouseUp(m);
    QVERIFY(w == before);
}

void TestStoredMouse::pointerShapes()
{
    StoredWave w = flatCh1();
    StoredCursors c;
    c.ShowCursorX = c.ShowCursorY = true;
    c.X1 = dx(60);
    c.Y1 = dy(40);
    StoredMouse m;
    const auto at = [&](float x, float y) { return storedMouseMove(m, c, w, 1.0, x, y).pointer; };
    QCOMPARE(at(10, 100), std::optional(StoredPointer::Arrow));     // outside the graticule
    QCOMPARE(at(200, 40), std::optional(StoredPointer::SizeNS));    // on a horizontal cursor
    QCOMPARE(at(60, 180), std::optional(StoredPointer::SizeWE));    // on a vertical cursor
    QCOMPARE(at(200, 125), std::optional(StoredPointer::OpenHand)); // on the trace
    QCOMPARE(at(200, 180), std::optional(StoredPointer::Arrow));    // on nothing
    // A cursor hover leaves the last hover's trace flags standing.
    at(200, 125);
    at(60, 180);
    QVERIFY(m.HitCH1);
}

QTEST_GUILESS_MAIN(TestStoredMouse)
#include "tst_storedmouse.moc"
