// The viewer's cursors: clamping, where their lines lie, the read-out texts
// and their places, the overlay's pixels, and the moves on a load and a zoom.

#include "app/appstate.h"
#include "storedwave/storedcursors.h"
#include "storedwave/storedgrid.h"
#include "wave/wavecursors.h"

#include <QImage>
#include <QtTest>

Q_DECLARE_METATYPE(StoredCursors)

namespace {

StoredWave withCh1(double timeDiv = 1e-3, float voltDiv = 1.0f)
{
    StoredWave w;
    w.HasData = true;
    w.ColorMode = true;
    w.TrigMode = QStringLiteral("EDGE");
    w.ShowCH1 = true;
    w.TimeDiv = timeDiv;
    w.Ch1VoltDiv = voltDiv;
    return w;
}

StoredWave alternate()
{
    StoredWave w = withCh1();
    w.TrigMode = QStringLiteral("ALTERNATION");
    w.SplitScreen = true;
    w.ShowCH2 = true;
    w.Ch1TimeDiv = 1e-3;
    w.Ch2TimeDiv = 2e-3;
    w.Ch2VoltDiv = 2.0f;
    return w;
}

// Divisions of a pixel at a zoom.
double dx(double x, double zoom = 1.0) { return CursorDivisionsOfX(x, zoom); }
double dy(double y, double zoom = 1.0) { return CursorDivisionsOfY(y, zoom); }

QStringList texts(const QList<CursorReadout> &rs)
{
    QStringList out;
    for (const CursorReadout &r : rs)
        out << r.text;
    return out;
}

} // namespace

class TestStoredCursors : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void defaultsAreClampedWhenDrawn();
    void clampRules_data();
    void clampRules();
    void normalReadouts();
    void frequencyComesFromTheShownTime();
    void splitReadouts();
    void readoutsNeedAChannelAndAScale();
    void overlayPixels();
    void blackAndWhite();
    void loadSwitchesTheSplit();
    void zoomMovesTheLinesInProportion();
};

void TestStoredCursors::defaultsAreClampedWhenDrawn()
{
    QImage pic(350, 250, QImage::Format_RGB32);
    StoredWave w = withCh1();
    StoredCursors c;
    c.ShowCursorY = true;
    DrawCursors(pic, c, w, 1.0);
    QCOMPARE(c.Y2, 8.0); // the graticule's bottom edge, drawn 2 pixels inside
    QCOMPARE(storedCursorLines(c, false, 1.0).y2, 223.0);
    QCOMPARE(storedCursorLines(c, false, 1.0).y1, 55.0);
    w.SplitScreen = true;
    StoredCursors s;
    s.ShowCursorY = true;
    DrawCursors(pic, s, w, 1.0);
    QCOMPARE(s.Y2, 4.0);
    QCOMPARE(s.Y2Low, 8.0);
    const StoredCursorLines l = storedCursorLines(s, true, 1.0);
    QCOMPARE(l.y2, 123.0);
    QCOMPARE(l.y2Low, 223.0);
    QCOMPARE(l.y1Low, 162.5);
}

void TestStoredCursors::clampRules_data()
{
    QTest::addColumn<bool>("showX");
    QTest::addColumn<bool>("split");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("x1");
    QTest::addColumn<double>("x1Low");
    QTest::addColumn<double>("wantX1");
    QTest::addColumn<double>("wantX1Low");
    // Pixels at the zoom; the lines drawn where the wanted pixels say.
    QTest::newRow("dragged left of the graticule") << true << false << 1.0 << 10.0 << 30.0 << 27.0 << 30.0;
    QTest::newRow("at 200 %, 700 becomes 623") << true << false << 2.0 << 700.0 << 30.0 << 623.0 << 30.0;
    QTest::newRow("hidden upper cursors are still clamped") << false << true << 1.0 << 400.0 << 400.0 << 323.0 << 323.0;
    QTest::newRow("shown lower cursors are clamped") << true << true << 1.0 << 400.0 << 5.0 << 323.0 << 27.0;
}

void TestStoredCursors::clampRules()
{
    QFETCH(bool, showX);
    QFETCH(bool, split);
    QFETCH(double, zoom);
    QFETCH(double, x1);
    QFETCH(double, x1Low);
    QFETCH(double, wantX1);
    QFETCH(double, wantX1Low);
    StoredCursors c;
    c.ShowCursorX = showX;
    c.X1 = dx(x1, zoom);
    c.X1Low = dx(x1Low, zoom);
    clampCursors(c, split);
    const StoredCursorLines l = storedCursorLines(c, split, zoom);
    QCOMPARE(l.x1, wantX1);
    QCOMPARE(l.x1Low, wantX1Low);
    // Stored clamped into the graticule's divisions, the same at every zoom.
    QVERIFY(c.X1 >= 0 && c.X1 <= 12);
    if (showX && split)
        QVERIFY(c.X1Low >= 0 && c.X1Low <= 12);
    else
        QCOMPARE(c.X1Low, dx(x1Low, zoom)); // hidden lower cursors are not clamped
    // The clamped value stays: a second pass changes nothing.
    const StoredCursors once = c;
    clampCursors(c, split);
    QVERIFY(c == once);
}

void TestStoredCursors::normalReadouts()
{
    StoredWave w = withCh1();
    w.ShowCH2 = true;
    w.Ch2VoltDiv = 0.5f;
    StoredCursors c;
    c.ShowCursorX = c.ShowCursorY = true;
    c.X1 = dx(100);
    c.X2 = dx(150);
    c.Y1 = dy(50);
    c.Y2 = dy(150);
    const QList<CursorReadout> r = DisplayCursorM(c, w, 1.0);
    QCOMPARE(texts(r), (QStringList{QStringLiteral("1/|X1-X2|=500.00Hz"), QStringLiteral("|X1-X2|   =2.00ms"),
                                    QStringLiteral("|Y1-Y2|  =4.0V"), QStringLiteral("|Y1-Y2|  =2.0V")}));
    QCOMPARE(r[0].topLeft, QPoint(185, 30));
    QCOMPARE(r[1].topLeft, QPoint(185, 50));
    QCOMPARE(r[2].topLeft, QPoint(185, 70));
    QCOMPARE(r[3].topLeft, QPoint(185, 90));
    QCOMPARE(r[0].color, QColor(255, 0, 255));
    QCOMPARE(r[2].color, QColor(255, 255, 0));
    QCOMPARE(r[3].color, QColor(0, 255, 255));
    // Only the horizontal cursors: the voltage texts move up to 30.
    c.ShowCursorX = false;
    QCOMPARE(DisplayCursorM(c, w, 1.0)[0].topLeft, QPoint(185, 30));
    // At 200 % the same divisions mean the same.
    c.ShowCursorX = true;
    QCOMPARE(texts(DisplayCursorM(c, w, 2.0)), texts(r));
    QCOMPARE(DisplayCursorM(c, w, 2.0)[1].topLeft, QPoint(485, 50));
    // Measured between the lines: a cursor on the bottom edge is drawn and
    // read 2 pixels inside it (7.84 divisions at 100 %, 7.92 at 200 %).
    c.Y1 = 0.0;
    c.Y2 = 8.0;
    QCOMPARE(DisplayCursorM(c, w, 1.0)[2].text, QStringLiteral("|Y1-Y2|  =7.8V"));
    QCOMPARE(DisplayCursorM(c, w, 2.0)[2].text, QStringLiteral("|Y1-Y2|  =7.9V"));
}

void TestStoredCursors::frequencyComesFromTheShownTime()
{
    StoredWave w = withCh1(10e-3);
    StoredCursors c;
    c.ShowCursorX = true;
    c.X1 = dx(100);
    c.X2 = dx(130.864); // 12.3456 ms, shown as 12.35ms
    QStringList t = texts(DisplayCursorM(c, w, 1.0));
    QCOMPARE(t, (QStringList{QStringLiteral("1/|X1-X2|=80.97Hz"), QStringLiteral("|X1-X2|   =12.35ms")}));
    c.X2 = c.X1;
    t = texts(DisplayCursorM(c, w, 1.0));
    QCOMPARE(t, (QStringList{QStringLiteral("1/|X1-X2|=???.? Hz"), QStringLiteral("|X1-X2|   =0.000s")}));
}

void TestStoredCursors::splitReadouts()
{
    const StoredWave w = alternate();
    StoredCursors c;
    c.ShowCursorX = c.ShowCursorY = true;
    c.X1 = dx(100);
    c.X2 = dx(150);
    c.X1Low = dx(100);
    c.X2Low = dx(125);
    c.Y1 = dy(50);
    c.Y2 = dy(100);
    c.Y1Low = dy(150);
    c.Y2Low = dy(175);
    const QList<CursorReadout> r = DisplayCursorM(c, w, 1.0);
    QCOMPARE(texts(r), (QStringList{QStringLiteral("1/|X1-X2|=500.00Hz"), QStringLiteral("|X1-X2|   =2.00ms"),
                                    QStringLiteral("1/|X1-X2|=500.00Hz"), QStringLiteral("|X1-X2|   =2.00ms"),
                                    QStringLiteral("|Y1-Y2|  =4.0V"), QStringLiteral("|Y1-Y2|  =4.0V")}));
    QCOMPARE(r[2].topLeft, QPoint(185, 130));
    QCOMPARE(r[3].topLeft, QPoint(185, 150));
    QCOMPARE(r[4].topLeft, QPoint(185, 70));
    QCOMPARE(r[5].topLeft, QPoint(185, 170));
    // Without the vertical cursors the voltage texts start each half.
    c.ShowCursorX = false;
    const QList<CursorReadout> v = DisplayCursorM(c, w, 1.0);
    QCOMPARE(v[0].topLeft, QPoint(185, 30));
    QCOMPARE(v[1].topLeft, QPoint(185, 130));
}

void TestStoredCursors::readoutsNeedAChannelAndAScale()
{
    StoredCursors c;
    c.ShowCursorX = c.ShowCursorY = true;
    StoredWave w = withCh1();
    w.ShowCH1 = false;
    QVERIFY(DisplayCursorM(c, w, 1.0).isEmpty()); // no channel shown
    w.ShowLA = true;
    QCOMPARE(DisplayCursorM(c, w, 1.0).size(), 2); // the digital block alone: the time texts
    w.TimeDiv = 0;
    QVERIFY(DisplayCursorM(c, w, 1.0).isEmpty());
    StoredWave a = alternate();
    a.Ch2TimeDiv = 0;
    a.Ch1VoltDiv = 0;
    QCOMPARE(texts(DisplayCursorM(c, a, 1.0)).size(), 3); // CH1's time texts and CH2's volts
}

void TestStoredCursors::overlayPixels()
{
    QImage pic(350, 250, QImage::Format_RGB32);
    pic.fill(Qt::black);
    StoredWave w = withCh1();
    StoredCursors c;
    c.ShowCursorX = true;
    c.X1 = dx(100);
    c.X2 = dx(200);
    DrawCursors(pic, c, w, 1.0);
    const QColor line(230, 200, 150);
    // The top marker's base on the frame, its tip at the line's end.
    QCOMPARE(pic.pixelColor(96, 25), line);
    QCOMPARE(pic.pixelColor(104, 25), line);
    QCOMPARE(pic.pixelColor(100, 30), line);
    QCOMPARE(pic.pixelColor(96, 225), line);
    // The dash-dot-dot line: most of it drawn, not all.
    int set = 0;
    for (int y = 31; y < 220; ++y)
        set += pic.pixelColor(100, y) == line;
    QVERIFY(set > 60 && set < 189);
    QCOMPARE(pic.pixelColor(150, 100), QColor(0, 0, 0));
    // The read-outs near the top right.
    int magenta = 0;
    for (int y = 28; y < 70; ++y)
        for (int x = 185; x < 345; ++x)
            magenta += pic.pixelColor(x, y) == QColor(255, 0, 255);
    QVERIFY(magenta > 20);
    // Horizontal cursors: a line along y with markers on both frame edges.
    c.ShowCursorX = false;
    c.ShowCursorY = true;
    c.Y1 = dy(100);
    pic.fill(Qt::black);
    DrawCursors(pic, c, w, 1.0);
    QCOMPARE(pic.pixelColor(25, 96), line);
    QCOMPARE(pic.pixelColor(30, 100), line);
    QCOMPARE(pic.pixelColor(325, 104), line);
}

void TestStoredCursors::blackAndWhite()
{
    StoredWave w = withCh1();
    w.ColorMode = false;
    StoredCursors c;
    c.ShowCursorX = c.ShowCursorY = true;
    for (const CursorReadout &r : DisplayCursorM(c, w, 1.0))
        QCOMPARE(r.color, QColor(192, 192, 192));
    QImage pic(350, 250, QImage::Format_RGB32);
    pic.fill(Qt::white);
    DrawCursors(pic, c, w, 1.0);
    QCOMPARE(pic.pixelColor(int(storedCursorLines(c, false, 1.0).x1) - 4, 25), QColor(0, 0, 0));
}

void TestStoredCursors::loadSwitchesTheSplit()
{
    StoredCursors c;
    c.Y1 = dy(75);
    c.Y2 = dy(125);
    RescaleCursorY(c, true, false); // not shown: nothing moves
    QCOMPARE(c.Y1, dy(75));
    c.ShowCursorY = true;
    RescaleCursorY(c, true, false);
    QCOMPARE(storedCursorLines(c, true, 1.0).y1, 50.0);
    QCOMPARE(storedCursorLines(c, true, 1.0).y2, 75.0);
    RescaleCursorY(c, true, true); // already split
    QCOMPARE(storedCursorLines(c, true, 1.0).y1, 50.0);
    RescaleCursorY(c, false, true);
    QCOMPARE(c.Y1, dy(75));
    QCOMPARE(c.Y2, dy(125));
    QCOMPARE(c.Y1Low, dy(162.5)); // the lower half's cursors stay
}

void TestStoredCursors::zoomMovesTheLinesInProportion()
{
    // From 100 % to 200 %: a line at x = 50 comes to 75, one at y = 55 to 85;
    // the cursors themselves do not change.
    const StoredCursors c{};
    const StoredCursors before = c;
    const StoredCursorLines at100 = storedCursorLines(c, false, 1.0);
    const StoredCursorLines at200 = storedCursorLines(c, false, 2.0);
    QCOMPARE(at100.x1, 50.0);
    QCOMPARE(at200.x1, 75.0);
    QCOMPARE(at100.y1, 55.0);
    QCOMPARE(at200.y1, 85.0);
    QCOMPARE(CursorPixelY(c.Y2Low, 2.0), 483.0);
    QVERIFY(c == before);
}

QTEST_MAIN(TestStoredCursors)
#include "tst_storedcursors.moc"
