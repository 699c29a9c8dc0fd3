// The cursors in the waveform window, driven with mouse events on the
// picture offscreen: the cursor boxes, hover pointer shapes, grabbing and
// dragging each cursor, release, the clamp at the graticule's edge, the move
// in proportion to a change of zoom, the lower-half cursors of a split
// picture, and the read-outs on the real picture in both languages and both
// colour schemes (full, split and FFT).

#include "link/linkfixture.h"
#include "support/zoomtyping.h"

#include "workspace/mousecontrol.h"
#include "texts/stringres.h"
#include "wave/frmwave.h"
#include "wave/wavereadouts.h"

#include <QCheckBox>
#include <QComboBox>

namespace {

const QColor kCursor(230, 200, 150);
const QColor kMagenta(255, 0, 255);
const QColor kGrey(192, 192, 192);

int countColour(const QImage &img, QRect r, const QColor &c)
{
    int n = 0;
    r = r.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += img.pixelColor(x, y) == c;
    return n;
}

} // namespace

class TestWaveWindowCursors : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkFixture> fx;

    // A window at 100 % zoom holding a record read with the cursors.
    frmWave *openItem(bool colour = true, bool split = false)
    {
        DataSheet &s = app().Sheet;
        s.WaveDocCount = 1;
        WaveDoc &d = s.WaveDocs[0];
        d.Name = QStringLiteral("Wave0");
        d.setNewItemDefaults();
        d.ColorMode = colour;
        d.GridShown = false;
        d.HasData = true;
        d.YTFormat = true;
        d.SplitScreen = split;
        d.TrigMode = split ? QStringLiteral("ALTERNATION") : QStringLiteral("EDGE");
        d.TimeDiv = QStringLiteral("1.000ms");
        d.AltTimeDivCH1 = QStringLiteral("1.000ms");
        d.AltTimeDivCH2 = QStringLiteral("2.000ms");
        d.CH1VoltDiv = QStringLiteral("500mV");
        d.CH2VoltDiv = QStringLiteral("1.00V");
        frmWave *w = ShowWaveWindow(0, true);
        fx->clock.advance(1);
        w->BestFitChk->click();
        typeZoom(w->ZoomCombo, QStringLiteral("100%"));
        return w;
    }

    // A move to (x, y), from elsewhere so that it is a move.
    static void hover(frmWave *w, double x, double y)
    {
        QTest::mouseMove(w->WavePic, QPoint(int(x) + 150, int(y) + 20));
        QTest::mouseMove(w->WavePic, QPoint(int(x), int(y)));
    }

private slots:
    void init()
    {
        fx = std::make_unique<LinkFixture>(1);
        MouseControl::setCursor(0);
    }
    void cleanup()
    {
        for (int i = 0; i < DataSheet::WaveSlots; ++i)
            if (QWidget *w = app().Sheet.WaveForms[size_t(i)])
                delete static_cast<frmWave *>(w)->frame();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        MouseControl::setCursor(0);
        fx.reset();
    }

    void boxesShowTheCursors()
    {
        frmWave *w = openItem();
        app().Sheet.Modified = false; // the zoom set by openItem marked it
        const QImage before = w->picture();
        QCOMPARE(countColour(before, before.rect(), kCursor), 0); // a new window shows none
        w->ChkCursorX->click();
        QVERIFY(w->cursors.CursorXOn);
        const int x1 = qRound(w->cursors.CursorX1);
        QVERIFY(countColour(w->picture(), QRect(x1, 30, 1, 170), kCursor) > 20); // dash-dot-dot line
        QVERIFY(countColour(w->picture(), QRect(180, 25, 145, 50), kMagenta) > 0); // time read-outs
        w->ChkCursorY->click();
        const int y1 = qRound(w->cursors.CursorY1);
        QVERIFY(countColour(w->picture(), QRect(30, y1, 290, 1), kCursor) > 20);
        w->ChkCursorX->click();
        w->ChkCursorY->click();
        QCOMPARE(countColour(w->picture(), w->picture().rect(), kCursor), 0);
        QVERIFY(!app().Sheet.Modified); // the cursor boxes never mark the sheet
    }

    void firstLayoutPlacesTheLoadValues()
    {
        frmWave *w = openItem();
        // Loaded for a 381 x 333 picture, moved in proportion to the layouts
        // since; at 100 % every drawn cursor lies inside the graticule.
        w->ChkCursorX->click();
        w->ChkCursorY->click();
        const WaveCursors &c = w->cursors;
        for (double v : {c.CursorX1, c.CursorX2})
            QVERIFY(v >= 27 && v <= 323);
        for (double v : {c.CursorY1, double(c.CursorY2)})
            QVERIFY(v >= 27 && v <= 223);
    }

    void hoverPointerShapes_data()
    {
        QTest::addColumn<double>("dx");
        QTest::addColumn<double>("dy");
        QTest::addColumn<int>("pointer");
        // Offsets from (CursorX1, CursorY1) with both pairs shown.
        QTest::newRow("on X1, mid-height") << 0.0 << 40.0 << 9;
        QTest::newRow("2 pixels off X1") << 2.0 << 40.0 << 9;
        QTest::newRow("3 pixels off X1: not near") << 3.0 << 40.0 << 0;
        QTest::newRow("on Y1") << 60.0 << 0.0 << 7;
        QTest::newRow("crossing: Y first") << 0.0 << 0.0 << 7;
        QTest::newRow("nowhere") << 60.0 << 40.0 << 0;
    }
    void hoverPointerShapes()
    {
        QFETCH(double, dx);
        QFETCH(double, dy);
        QFETCH(int, pointer);
        frmWave *w = openItem();
        w->ChkCursorX->click();
        w->ChkCursorY->click();
        w->cursors.CursorX1 = 80;
        w->cursors.CursorY1 = 70;
        MouseControl::setCursor(99);
        hover(w, 80 + dx, 70 + dy);
        QCOMPARE(MouseControl::Cursor(), pointer);
        // With both boxes clear every move gives the default pointer.
        w->ChkCursorX->click();
        w->ChkCursorY->click();
        MouseControl::setCursor(99);
        hover(w, 80, 70);
        QCOMPARE(MouseControl::Cursor(), 0);
    }

    void dragEachCursor_data()
    {
        QTest::addColumn<int>("which"); // 0 X1, 1 X2, 2 Y1, 3 Y2
        QTest::newRow("X1") << 0;
        QTest::newRow("X2") << 1;
        QTest::newRow("Y1") << 2;
        QTest::newRow("Y2") << 3;
    }
    void dragEachCursor()
    {
        QFETCH(int, which);
        frmWave *w = openItem();
        const bool isX = which < 2;
        (isX ? w->ChkCursorX : w->ChkCursorY)->click();
        WaveCursors &c = w->cursors;
        c.CursorX1 = 60;
        c.CursorX2 = 250;
        c.CursorY1 = 60;
        c.CursorY2 = 180;
        w->redrawPicture();
        const double at = which == 0 ? 60 : which == 1 ? 250 : which == 2 ? 60 : 180;
        const QPoint grab = isX ? QPoint(int(at), 120) : QPoint(150, int(at));
        const QPoint to = isX ? QPoint(int(at) + 30, 130) : QPoint(160, int(at) + 20);
        QTest::mousePress(w->WavePic, Qt::LeftButton, {}, grab);
        // Only the grabbed cursor is dragged.
        const bool drags[4] = {c.DragX1, c.DragX2, c.DragY1, c.DragY2};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(drags[i], i == which);
        QVERIFY(!c.DragX1Low && !c.DragX2Low && !c.DragY1Low && !c.DragY2Low);
        QTest::mouseMove(w->WavePic, to);
        QCOMPARE(MouseControl::Cursor(), isX ? 9 : 7);
        const double moved[4] = {c.CursorX1, c.CursorX2, c.CursorY1, double(c.CursorY2)};
        QCOMPARE(moved[which], isX ? at + 30 : at + 20);
        // The picture shows the cursor at its new place, none at the old.
        const QImage &img = w->picture();
        if (isX) {
            QVERIFY(countColour(img, QRect(int(at) + 30, 30, 1, 170), kCursor) > 20);
            QCOMPARE(countColour(img, QRect(int(at), 30, 1, 170), kCursor), 0);
        } else {
            QVERIFY(countColour(img, QRect(30, int(at) + 20, 290, 1), kCursor) > 20);
            QCOMPARE(countColour(img, QRect(30, int(at), 290, 1), kCursor), 0);
        }
        QTest::mouseRelease(w->WavePic, Qt::LeftButton, {}, to);
        QVERIFY(!c.DragX1 && !c.DragX2 && !c.DragY1 && !c.DragY2);
        QVERIFY(!c.DragX1Low && !c.DragX2Low && !c.DragY1Low && !c.DragY2Low);
        QTest::mouseMove(w->WavePic, to + QPoint(10, 10));
        const double after[4] = {c.CursorX1, c.CursorX2, c.CursorY1, double(c.CursorY2)};
        QCOMPARE(after[which], moved[which]); // released: the cursor stays
    }

    void crossingDragMovesOnlyX()
    {
        frmWave *w = openItem();
        w->ChkCursorX->click();
        w->ChkCursorY->click();
        WaveCursors &c = w->cursors;
        c.CursorX1 = 100;
        c.CursorY1 = 100;
        QTest::mousePress(w->WavePic, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(w->WavePic, QPoint(140, 150));
        QCOMPARE(c.CursorX1, 140.0);
        QCOMPARE(c.CursorY1, 100.0);
        QTest::mouseRelease(w->WavePic, Qt::LeftButton, {}, QPoint(140, 150));
    }

    void dragOutsideStopsAtTheEdge()
    {
        frmWave *w = openItem();
        w->ChkCursorX->click();
        WaveCursors &c = w->cursors;
        c.CursorX1 = 60;
        QTest::mousePress(w->WavePic, Qt::LeftButton, {}, QPoint(60, 100));
        QTest::mouseMove(w->WavePic, QPoint(10, 100));
        QCOMPARE(c.CursorX1, 27.0); // clamped by the draw and stored
        QTest::mouseMove(w->WavePic, QPoint(340, 100));
        QCOMPARE(c.CursorX1, 323.0);
        QTest::mouseRelease(w->WavePic, Qt::LeftButton, {}, QPoint(340, 100));
    }

    void zoomMovesTheCursorsInProportion()
    {
        frmWave *w = openItem();
        w->cursors.CursorX1 = 52;
        w->cursors.CursorY1 = 80;
        typeZoom(w->ZoomCombo, QStringLiteral("200%"));
        QCOMPARE(w->cursors.CursorX1, 79.0);
        QCOMPARE(w->cursors.CursorY1, 135.0);
        // Best fit on: the window's size decides, the cursors follow.
        w->BestFitChk->click();
        const double z = w->zoomFactor();
        QVERIFY(qAbs(w->cursors.CursorX1 - ((79.0 - 25) / 700 * w->WavePic->width() + 25)) < 1e-9);
        const double before = w->cursors.CursorX1;
        w->resize(w->width() + 200, w->height() + 200);
        QVERIFY(w->zoomFactor() > z);
        QVERIFY(qAbs(w->cursors.CursorX1 - ((before - 25) * w->zoomFactor() / z + 25)) < 0.5);
    }

    void splitPictureLowerCursors()
    {
        frmWave *w = openItem(true, true);
        w->ChkCursorX->click();
        WaveCursors &c = w->cursors;
        c.CursorX1Low = 200;
        w->redrawPicture();
        // The lower half's cursor: a press on the split line belongs to it.
        QTest::mousePress(w->WavePic, Qt::LeftButton, {}, QPoint(200, 125));
        QVERIFY(c.DragX1Low);
        QTest::mouseMove(w->WavePic, QPoint(220, 180));
        QCOMPARE(c.CursorX1Low, 220.0);
        QTest::mouseRelease(w->WavePic, Qt::LeftButton, {}, QPoint(220, 180));
        const QImage &img = w->picture();
        QVERIFY(countColour(img, QRect(220, 130, 1, 90), kCursor) > 10);
        QCOMPARE(countColour(img, QRect(220, 30, 1, 90), kCursor), 0);
        // The lower time read-out (CH2's time base) below the split line.
        QVERIFY(countColour(img, QRect(180, 126, 145, 50), kMagenta) > 0);
    }

    void readouts_data()
    {
        QTest::addColumn<int>("lang");
        QTest::addColumn<bool>("colour");
        QTest::addColumn<bool>("fft");
        QTest::newRow("English, colour") << 1 << true << false;
        QTest::newRow("English, black and white") << 1 << false << false;
        QTest::newRow("Chinese, colour, FFT") << 0 << true << true;
        QTest::newRow("Chinese, black and white, FFT") << 0 << false << true;
    }
    void readouts()
    {
        QFETCH(int, lang);
        QFETCH(bool, colour);
        QFETCH(bool, fft);
        ApplyLanguage(lang);
        app().texts.LanguageIndex = lang;
        WaveDoc &d = app().Sheet.WaveDocs[0];
        if (fft) {
            // The instrument shows MATH (as the FFT), so the Math box stays ticked.
            app().Settings.CH1Display = app().Settings.MathDisplay = word(Word::WordOn);
            d.FFTDisplay = word(Word::WordOn);
            d.ShowMath = true;
            d.Setup.FFTDecibelScale = 1;
            d.Setup.FFTScaleDB = 20;
            d.Setup.FFTHzPerDiv = 1000.0f;
            d.Setup.FFTFullScreen = 1;
        }
        frmWave *w = openItem(colour);
        w->ChkCursorX->click();
        w->ChkCursorY->click();
        // What the read-outs say, drawn where they say.
        const QList<ReadoutLine> lines = CursorReadouts(w->cursors, d, 1.0, word(Word::MeasNameVrms));
        QCOMPARE(lines.size(), fft ? 6 : 4);
        if (fft)
            QVERIFY(lines.last().text.endsWith(word(Word::MeasNameVrms)));
        const QImage &img = w->picture();
        for (const ReadoutLine &l : lines) {
            const QColor c = readoutColor(l.color, colour);
            QVERIFY2(countColour(img, QRect(l.at.toPoint(), QSize(120, 14)), c) > 0, qPrintable(l.text));
        }
        // Inside the graticule, clear of its frame and ticks.
        const QRect readoutArea(180, 30, 140, 75);
        if (!colour)
            QCOMPARE(countColour(img, readoutArea, kMagenta), 0); // grey in black and white
        else
            QCOMPARE(countColour(img, readoutArea, kGrey), 0);
    }
};

QTEST_MAIN(TestWaveWindowCursors)
#include "tst_wavewindowcursors.moc"
