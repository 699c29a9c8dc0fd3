// The waveform window offscreen: each of the eight cursors of a split
// picture grabbed and dragged with the mouse, and the real picture with the
// sixteen logic rows, the selected channel, trigger and ground markers,
// cursors and read-outs in both schemes, both languages and the split FFT
// view (a few pixels each), written to PNG files in the build folder for a
// person to look at. (Hover shapes, the full-screen cursors, clamping and
// zoom are driven in tst_wavewindowcursors.)

#include "link/linkfixture.h"

#include "common/constants.h"
#include "workspace/mousecontrol.h"
#include "texts/stringres.h"
#include "wave/frmwave.h"
#include "wave/markshapes.h"
#include "wave/wavereadouts.h"

#include <QCheckBox>
#include <QDir>
#include <QGuiApplication>

using MarkShapes::countColour;

namespace {

const QColor CursorColour(230, 200, 150);
const QColor Orange(255, 128, 0);
const QColor Black(0, 0, 0);

// The rows of the logic fixture: Dn's low level at row 30 + 12n, height 5;
// Dn is high in column c when (c + 3n) / 10 is odd.
int logicRow(int n) { return 30 + 12 * n; }
bool logicHigh(int n, int column) { return ((column + 3 * n) / 10) % 2 == 1; }

} // namespace

class TestWaveMouse : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkFixture> fx;

    WaveDoc &doc() { return app().Sheet.WaveDocs[0]; }

    // A window of slot 0 at 100 % zoom (best fit off) with the cursor boxes
    // as given; split: the record's split screen.
    frmWave *openAt100(bool xOn, bool yOn, bool split = false)
    {
        DataSheet &s = app().Sheet;
        s.WaveDocCount = 1;
        doc().Name = QStringLiteral("Wave0");
        doc().setNewItemDefaults();
        doc().SplitScreen = split;
        frmWave *w = ShowWaveWindow(0, true);
        fx->clock.advance(1); // the first tick
        w->BestFitChk->click();
        w->ZoomCombo_Change(QStringLiteral("100%"));
        if (xOn)
            w->ChkCursorX->click();
        if (yOn)
            w->ChkCursorY->click();
        return w;
    }

    static QPoint at(double x, double y) { return QPoint(int(x), int(y)); }

    void hover(frmWave *w, QPoint p) { QTest::mouseMove(w->WavePic, p); }

    // The record the picture tests draw: CH1 flat near the bottom, the 16
    // logic rows with D2 selected, the trigger two divisions left of the
    // centre, scale texts, and an FFT setup for the read-outs.
    void fillRecord(bool colour, bool splitFFT)
    {
        WaveDoc &d = doc();
        d.HasData = d.YTFormat = true;
        d.ColorMode = colour;
        d.DrawCH1 = d.DrawLA = true;
        d.DrawMath = splitFFT;
        d.ShowMath = true;
        d.PointCount = 600;
        d.TrigMode = QStringLiteral("EDGE");
        d.FFTDisplay = splitFFT ? word(Word::WordOn) : word(Word::WordOff);
        d.SplitScreen = splitFFT;
        d.TimeDiv = QStringLiteral("1.000ms");
        d.Delay = QStringLiteral("2.000ms");
        d.CH1VoltDiv = QStringLiteral("1.00V");
        d.CH1Offset = QStringLiteral("0.00uV");
        d.CH1Rows = QList<qint32>(WaveDoc::RowsSize, 190);
        SetupBlock &s = d.Setup;
        s.FirstPoint = 0;
        s.LastPoint = 299;
        s.CH1Valid = s.LAValid = 1;
        s.FFTFullScreen = splitFFT ? 0 : 1;
        s.FFTDecibelScale = 1;
        s.FFTScaleDB = 10;
        s.FFTHzPerDiv = 100.0f;
        s.LAShownMask = qint16(0xFFFF);
        s.LASelected = 2;
        s.LAHeightD0D7 = s.LAHeightD8D15 = 5;
        for (int n = 0; n < 16; ++n)
            s.LARow[size_t(n)] = qint16(logicRow(n));
        d.LAWords = QList<qint32>(WaveDoc::RowsSize, 0);
        for (int k = 0; k < 600; ++k) {
            quint16 wordBits = 0;
            for (int n = 0; n < 16; ++n)
                if (logicHigh(n, k / 2))
                    wordBits |= quint16(1u << n);
            d.LAWords[2 * k + 1] = wordBits & 0xFF;
            d.LAWords[2 * k + 2] = wordBits >> 8;
        }
    }

private slots:
    void init()
    {
        fx = std::make_unique<LinkFixture>(1);
        CtrlSettings &s = app().Settings;
        s.CH1Display = s.CH2Display = s.MathDisplay = s.LADisplay = word(Word::WordOn);
        MouseControl::setCursor(0);
    }
    void cleanup()
    {
        if (QWidget *w = app().Sheet.WaveForms[0])
            delete static_cast<frmWave *>(w)->frame();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        MouseControl::setCursor(0);
        fx.reset();
    }

    void dragEachCursorOfASplitPicture_data();
    void dragEachCursorOfASplitPicture();
    void pictureShowsMarksLogicCursorsAndReadouts_data();
    void pictureShowsMarksLogicCursorsAndReadouts();
};

void TestWaveMouse::dragEachCursorOfASplitPicture_data()
{
    QTest::addColumn<QString>("cursor");
    QTest::addColumn<QPoint>("to");
    QTest::newRow("X1") << "X1" << QPoint(140, 0);
    QTest::newRow("X2") << "X2" << QPoint(260, 0);
    QTest::newRow("Y1") << "Y1" << QPoint(0, 40);
    QTest::newRow("Y2") << "Y2" << QPoint(0, 101);
    QTest::newRow("X1Low") << "X1Low" << QPoint(120, 0);
    QTest::newRow("X2Low") << "X2Low" << QPoint(300, 0);
    QTest::newRow("Y1Low") << "Y1Low" << QPoint(0, 150);
    QTest::newRow("Y2Low") << "Y2Low" << QPoint(0, 215);
}

void TestWaveMouse::dragEachCursorOfASplitPicture()
{
    QFETCH(QString, cursor);
    QFETCH(QPoint, to);
    const bool split = true;
    frmWave *w = openAt100(true, true, split);
    WaveCursors &c = w->cursors;
    // Put the cursors apart from each other first (the overlay clamps them);
    // positions in divisions, pixels at 100 %.
    const auto divX = [](double px) { return CursorDivisionsOfX(px, 1.0); };
    const auto divY = [](double py) { return CursorDivisionsOfY(py, 1.0); };
    c.CursorX1 = divX(60);
    c.CursorX2 = divX(200);
    c.CursorX1Low = divX(80);
    c.CursorX2Low = divX(240);
    c.CursorY1 = divY(50);
    c.CursorY2 = divY(110);
    c.CursorY1Low = divY(140);
    c.CursorY2Low = divY(200);
    w->Form_Resize();

    const bool isX = cursor.startsWith(QLatin1Char('X'));
    const bool lower = cursor.endsWith(QLatin1String("Low"));
    double *real = cursor == "X1" ? &c.CursorX1 : cursor == "X2" ? &c.CursorX2 : cursor == "Y1" ? &c.CursorY1
                   : cursor == "X1Low" ? &c.CursorX1Low : cursor == "X2Low" ? &c.CursorX2Low
                   : cursor == "Y1Low" ? &c.CursorY1Low : cursor == "Y2" ? &c.CursorY2 : &c.CursorY2Low;
    const auto pixel = [isX](double d) { return isX ? CursorPixelX(d, 1.0) : CursorPixelY(d, 1.0); };
    const double from = pixel(*real);
    // Grab it 2 pixels off its line, inside its half.
    const int inHalfY = lower ? 170 : 90;
    const QPoint grab = isX ? at(from + 2, inHalfY) : at(300, from - 2);
    const QPoint target = isX ? QPoint(to.x(), inHalfY) : QPoint(300, to.y());

    hover(w, grab);
    QCOMPARE(MouseControl::Cursor(), isX ? CursorPointer::WestEast : CursorPointer::NorthSouth);
    QTest::mousePress(w->WavePic, Qt::LeftButton, {}, grab);
    // Only the grabbed cursor is dragged.
    const std::pair<const char *, bool> drags[] = {
        {"X1", c.DragX1}, {"X2", c.DragX2}, {"Y1", c.DragY1}, {"Y2", c.DragY2},
        {"X1Low", c.DragX1Low}, {"X2Low", c.DragX2Low}, {"Y1Low", c.DragY1Low}, {"Y2Low", c.DragY2Low}};
    for (const auto &[name, on] : drags)
        QCOMPARE(on, cursor == name);
    QTest::mouseMove(w->WavePic, target);
    const double now = *real;
    QVERIFY(qAbs(pixel(now) - (isX ? to.x() : to.y())) < 1e-9);
    QCOMPARE(MouseControl::Cursor(), isX ? CursorPointer::WestEast : CursorPointer::NorthSouth);

    // The picture shows the cursor's end marker at its new place and no more
    // at the old one.
    const QImage &pic = w->picture();
    const int splitLine = 125;
    const QPoint newMarker = isX ? QPoint(to.x(), lower ? splitLine : 25) : QPoint(25, to.y());
    const QPoint oldMarker = isX ? QPoint(int(from), lower ? splitLine : 25) : QPoint(25, int(from));
    QCOMPARE(pic.pixelColor(newMarker), CursorColour);
    QVERIFY(pic.pixelColor(oldMarker) != CursorColour);

    QTest::mouseRelease(w->WavePic, Qt::LeftButton, {}, target);
    QVERIFY(!c.DragX1 && !c.DragX2 && !c.DragY1 && !c.DragY2);
    QVERIFY(!c.DragX1Low && !c.DragX2Low && !c.DragY1Low && !c.DragY2Low);
    QTest::mouseMove(w->WavePic, isX ? QPoint(to.x() + 30, inHalfY) : QPoint(300, to.y() + 30));
    QCOMPARE(*real, now); // released: the cursor stays
}

void TestWaveMouse::pictureShowsMarksLogicCursorsAndReadouts_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<bool>("colour");
    QTest::addColumn<bool>("splitFFT");
    QTest::newRow("english-colour-full") << 1 << true << false;
    QTest::newRow("english-bw-full") << 1 << false << false;
    QTest::newRow("chinese-colour-split-fft") << 0 << true << true;
    QTest::newRow("chinese-bw-full") << 0 << false << false;
    QTest::newRow("english-bw-split-fft") << 1 << false << true;
}

void TestWaveMouse::pictureShowsMarksLogicCursorsAndReadouts()
{
    QFETCH(int, lang);
    QFETCH(bool, colour);
    QFETCH(bool, splitFFT);
    ApplyLanguage(lang);
    app().texts.LanguageIndex = lang;
    frmWave *w = openAt100(true, true, splitFFT);
    fillRecord(colour, splitFFT);
    // Pixels at 100 %, as divisions.
    const auto divX = [](double px) { return CursorDivisionsOfX(px, 1.0); };
    const auto divY = [](double py) { return CursorDivisionsOfY(py, 1.0); };
    w->cursors.CursorX1 = divX(50);
    w->cursors.CursorX2 = divX(100);
    w->cursors.CursorY1 = divY(splitFFT ? 40 : 60);
    w->cursors.CursorY2 = divY(splitFFT ? 110 : 200);
    w->cursors.CursorX1Low = divX(60);
    w->cursors.CursorX2Low = divX(200);
    w->cursors.CursorY1Low = divY(140);
    w->cursors.CursorY2Low = divY(215);
    w->Form_Resize();
    const QImage &pic = w->picture();
    QCOMPARE(pic.size(), QSize(350, 250));

    // Logic rows: D2, D7 and D13 at their levels in columns 100..140 (clear
    // of the cursors, the trigger marker and the read-outs), D2 in the
    // selected colour.
    const double lift = splitFFT ? 100 : 0;
    for (int n : {2, 7, 13}) {
        const QColor want = !colour ? Black : n == 2 ? LASelectedColor : LAColor;
        for (int col = 100; col <= 140; col += 3) {
            const int yLow = int(logicRow(n) - lift);
            const int y = logicHigh(n, col) ? yLow - 4 : yLow;
            if (y < 0)
                continue;
            QCOMPARE(pic.pixelColor(25 + col, y), want);
        }
    }
    // The trigger marker two divisions left of the centre (column 100), and
    // CH1's ground marker (halved in the split view; its tip stands clear of
    // the logic labels).
    QCOMPARE(pic.pixelColor(121, 35), colour ? Orange : Black);
    QCOMPARE(pic.pixelColor(23, splitFFT ? 75 : 125), colour ? CH1Color : Black);
    // The cursors' end markers.
    QCOMPARE(pic.pixelColor(50, 25), colour ? CursorColour : Black);
    QCOMPARE(pic.pixelColor(25, splitFFT ? 40 : 60), colour ? CursorColour : Black);
    if (splitFFT)
        QCOMPARE(pic.pixelColor(200, 225), colour ? CursorColour : Black);

    // Every read-out line stands in its place in its colour (light grey in
    // black and white).
    const QList<ReadoutLine> lines =
        CursorReadouts(w->cursors, doc(), 1.0, word(Word::MeasNameVrms));
    QCOMPARE(lines.size(), splitFFT ? 5 : 3);
    for (const ReadoutLine &l : lines) {
        const QRect box(int(l.at.x()), int(l.at.y()), 8 * int(l.text.size()) + 16, 20);
        QVERIFY2(countColour(pic, readoutColor(l.color, colour), box) > 8, qPrintable(l.text));
    }
    if (splitFFT) {
        QVERIFY(lines.last().text.startsWith(QStringLiteral("FFT|Y1-Y2|  =")));
        QVERIFY(lines.last().text.endsWith(lang == 0 ? QStringLiteral("均方根值") : QStringLiteral("Vrms")));
        QCOMPARE(lines.last().at.y(), 150.0); // below the split line
    }
    if (!colour)
        QCOMPARE(countColour(pic, CursorColour, pic.rect()), 0);

    QDir dir(QCoreApplication::applicationDirPath());
    dir.mkpath(QStringLiteral("wave-renders"));
    QVERIFY(pic.save(dir.filePath(QStringLiteral("wave-renders/marks-%1.png").arg(QTest::currentDataTag()))));
}

QTEST_MAIN(TestWaveMouse)
#include "tst_wavemouse.moc"
