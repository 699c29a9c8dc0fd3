// The cursors in the waveform window, driven with mouse events on the
// picture offscreen: the cursor boxes, hover pointer shapes, grabbing and
// dragging each cursor, release, the clamp at the graticule's edge, the
// cursors keeping their divisions through any zoom (1 %, 0 %, 0.5 % typed)
// and any window size, the lower-half cursors of a split picture, and the
// read-outs on the real picture in both languages and both colour schemes
// (full, split and FFT).

#include "link/linkfixture.h"
#include "support/nativeinput.h"
#include "support/zoomtyping.h"

#include "platform/pump.h"
#include "workspace/mousecontrol.h"
#include "texts/stringres.h"
#include "wave/frmwave.h"
#include "wave/wavereadouts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>

namespace {

const QColor kCursor(230, 200, 150);
const QColor kMagenta(255, 0, 255);
const QColor kGrey(192, 192, 192);

// Divisions of a pixel at 100 %.
double dx(double x) { return CursorDivisionsOfX(x, 1.0); }
double dy(double y) { return CursorDivisionsOfY(y, 1.0); }

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

    // Mouse input queued on the picture as the window system gives it: a
    // press, or a move with the buttons then held.
    static void queueMouse(frmWave *w, QEvent::Type type, QPoint at, Qt::MouseButtons held)
    {
        const QPointF local = w->WavePic->mapTo(w->WavePic->window(), at);
        const QPointF global = w->WavePic->mapToGlobal(at);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QWindowSystemInterface::handleMouseEvent<nativeinput::Queued>(
            nativeinput::windowOf(w->WavePic), nativeinput::pressTime(), local, global, held, button, type);
        QCoreApplication::processEvents();
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
        const int x1 = qRound(CursorPixelX(w->cursors.CursorX1, 1.0));
        QVERIFY(countColour(w->picture(), QRect(x1, 30, 1, 170), kCursor) > 20); // dash-dot-dot line
        QVERIFY(countColour(w->picture(), QRect(180, 25, 145, 50), kMagenta) > 0); // time read-outs
        w->ChkCursorY->click();
        const int y1 = qRound(CursorPixelY(w->cursors.CursorY1, 1.0));
        QVERIFY(countColour(w->picture(), QRect(30, y1, 290, 1), kCursor) > 20);
        w->ChkCursorX->click();
        w->ChkCursorY->click();
        QCOMPARE(countColour(w->picture(), w->picture().rect(), kCursor), 0);
        QVERIFY(!app().Sheet.Modified); // the cursor boxes never mark the sheet
    }

    void firstLayoutPlacesTheLoadValues()
    {
        frmWave *w = openItem();
        // The load values, kept through the layouts since: the places the
        // first layout has always given them, inside the graticule.
        w->ChkCursorX->click();
        w->ChkCursorY->click();
        const WaveCursors &c = w->cursors;
        const WaveCursors loaded;
        QCOMPARE(c.CursorX1, loaded.CursorX1);
        QCOMPARE(c.CursorY2, loaded.CursorY2);
        QVERIFY(qAbs(CursorPixelX(c.CursorX1, 1.0) - (27.0 / 381 * 350 + 25)) < 1e-9);
        for (double v : {c.CursorX1, c.CursorX2})
            QVERIFY(v > 0 && v < 12);
        for (double v : {c.CursorY1, c.CursorY2})
            QVERIFY(v > 0 && v < 8);
    }

    // The pointer a hover gives near each cursor line. While a long action
    // shows the hourglass (Auto Set waiting for the instrument), a hover keeps
    // it; once the action has put the default pointer back, hovering shapes
    // the pointer again.
    void hoverPointerShapes_data()
    {
        QTest::addColumn<double>("dx");
        QTest::addColumn<double>("dy");
        QTest::addColumn<int>("pointer");
        QTest::addColumn<bool>("busy");
        // Offsets from (CursorX1, CursorY1) with both pairs shown.
        QTest::newRow("on X1, mid-height") << 0.0 << 40.0 << 9 << false;
        QTest::newRow("2 pixels off X1") << 2.0 << 40.0 << 9 << false;
        QTest::newRow("3 pixels off X1: not near") << 3.0 << 40.0 << 0 << false;
        QTest::newRow("on Y1") << 60.0 << 0.0 << 7 << false;
        QTest::newRow("crossing: Y first") << 0.0 << 0.0 << 7 << false;
        QTest::newRow("nowhere") << 60.0 << 40.0 << 0 << false;
        QTest::newRow("busy, on X1") << 0.0 << 40.0 << 9 << true;
        QTest::newRow("busy, on Y1") << 60.0 << 0.0 << 7 << true;
        QTest::newRow("busy, nowhere") << 60.0 << 40.0 << 0 << true;
    }
    void hoverPointerShapes()
    {
        QFETCH(double, dx);
        QFETCH(double, dy);
        QFETCH(int, pointer);
        QFETCH(bool, busy);
        frmWave *w = openItem();
        w->ChkCursorX->click();
        w->ChkCursorY->click();
        w->cursors.CursorX1 = ::dx(80);
        w->cursors.CursorY1 = ::dy(70);
        if (busy) {
            MouseControl::setCursor(BusyPointer);
            hover(w, 80 + dx, 70 + dy);
            QCOMPARE(MouseControl::Cursor(), BusyPointer);
            QVERIFY(QGuiApplication::overrideCursor());
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
            MouseControl::setCursor(0);
        } else {
            MouseControl::setCursor(99);
        }
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
        c.CursorX1 = dx(60);
        c.CursorX2 = dx(250);
        c.CursorY1 = dy(60);
        c.CursorY2 = dy(180);
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
        const double moved[4] = {c.CursorX1, c.CursorX2, c.CursorY1, c.CursorY2};
        QCOMPARE(moved[which], isX ? dx(at + 30) : dy(at + 20));
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
        const double after[4] = {c.CursorX1, c.CursorX2, c.CursorY1, c.CursorY2};
        QCOMPARE(after[which], moved[which]); // released: the cursor stays
    }

    void crossingDragMovesOnlyX()
    {
        frmWave *w = openItem();
        w->ChkCursorX->click();
        w->ChkCursorY->click();
        WaveCursors &c = w->cursors;
        c.CursorX1 = 3;
        c.CursorY1 = 3;
        QTest::mousePress(w->WavePic, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(w->WavePic, QPoint(140, 150));
        QCOMPARE(c.CursorX1, dx(140));
        QCOMPARE(c.CursorY1, 3.0);
        QTest::mouseRelease(w->WavePic, Qt::LeftButton, {}, QPoint(140, 150));
    }

    void dragOutsideStopsAtTheEdge()
    {
        frmWave *w = openItem();
        w->ChkCursorX->click();
        WaveCursors &c = w->cursors;
        c.CursorX1 = dx(60);
        QTest::mousePress(w->WavePic, Qt::LeftButton, {}, QPoint(60, 100));
        QTest::mouseMove(w->WavePic, QPoint(10, 100));
        QCOMPARE(c.CursorX1, 0.0); // clamped by the draw and stored: the left edge
        QVERIFY(countColour(w->picture(), QRect(27, 30, 1, 170), kCursor) > 20); // drawn just inside
        QTest::mouseMove(w->WavePic, QPoint(340, 100));
        QCOMPARE(c.CursorX1, 12.0);
        QVERIFY(countColour(w->picture(), QRect(323, 30, 1, 170), kCursor) > 20);
        QTest::mouseRelease(w->WavePic, Qt::LeftButton, {}, QPoint(340, 100));
    }

    // The cursors keep their place in divisions at every zoom and window
    // size: typed down to 1 %, 0 % or 0.5 % (the zoom's floor) and back to
    // 100 %, or with best fit and a window shrunk and grown again, the
    // cursors and their read-outs are what they were, and unticking and
    // ticking the boxes again shows them where they were.
    void cursorsKeepTheirDivisions_data()
    {
        QTest::addColumn<QStringList>("zooms"); // typed one after another
        QTest::addColumn<QSize>("resize");      // with best fit, then back; empty: none
        QTest::addColumn<bool>("split");
        QTest::newRow("1 %") << QStringList{"1%"} << QSize() << false;
        QTest::newRow("0 %") << QStringList{"0%"} << QSize() << false;
        QTest::newRow("0.5 %") << QStringList{"0.5%"} << QSize() << false;
        QTest::newRow("1 %, split") << QStringList{"1%"} << QSize() << true;
        QTest::newRow("1 %, then 37 %, then 250 %") << QStringList{"1%", "37%", "250%"} << QSize() << false;
        QTest::newRow("100 % again") << QStringList{"100%"} << QSize() << false;
        QTest::newRow("best fit, window shrunk") << QStringList{} << QSize(-430, -170) << false;
        QTest::newRow("best fit, window shrunk a little") << QStringList{} << QSize(-37, -61) << false;
        QTest::newRow("best fit, window shrunk oddly") << QStringList{} << QSize(-211, -293) << false;
        QTest::newRow("best fit, window very small") << QStringList{} << QSize(-600, -560) << true;
    }
    void cursorsKeepTheirDivisions()
    {
        QFETCH(QStringList, zooms);
        QFETCH(QSize, resize);
        QFETCH(bool, split);
        frmWave *w = openItem(true, split);
        w->ChkCursorX->click();
        w->ChkCursorY->click();
        WaveCursors &c = w->cursors;
        // The cursors dragged apart at 100 % from their load places (pixels),
        // Y1 and Y2 six divisions apart on a full picture: CH2 reads 6.0 V.
        struct Drag {
            QPoint from, to;
        };
        const QList<Drag> drags =
            split ? QList<Drag>{{{50, 90}, {60, 90}},     {{275, 90}, {260, 90}},   {{75, 170}, {80, 170}},
                                {{250, 170}, {240, 170}}, {{150, 51}, {150, 40}},   {{150, 124}, {150, 110}},
                                {{150, 128}, {150, 140}}, {{150, 197}, {150, 215}}}
                  : QList<Drag>{{{50, 120}, {60, 120}}, {{275, 120}, {260, 120}}, {{150, 51}, {150, 51}},
                                {{150, 201}, {150, 201}}};
        for (const Drag &g : drags) {
            QTest::mousePress(w->WavePic, Qt::LeftButton, {}, g.from);
            QVERIFY2(c.DragX1 || c.DragX2 || c.DragY1 || c.DragY2 || c.DragX1Low || c.DragX2Low || c.DragY1Low
                         || c.DragY2Low,
                     qPrintable(QStringLiteral("%1,%2").arg(g.from.x()).arg(g.from.y())));
            QTest::mouseMove(w->WavePic, g.to);
            QTest::mouseRelease(w->WavePic, Qt::LeftButton, {}, g.to);
        }
        const WaveDoc &d = app().Sheet.WaveDocs[0];
        const auto texts = [&] {
            QStringList out;
            for (const ReadoutLine &l : CursorReadouts(c, d, w->zoomFactor(), word(Word::MeasNameVrms)))
                out << l.text;
            return out;
        };
        const auto positions = [&c] {
            return QList<double>{double(c.CursorX1),    double(c.CursorX2),    double(c.CursorY1),
                                 double(c.CursorY2),    double(c.CursorX1Low), double(c.CursorX2Low),
                                 double(c.CursorY1Low), double(c.CursorY2Low)};
        };
        const QList<double> before = positions();
        const QStringList readBefore = texts();
        QCOMPARE(readBefore.size(), split ? 6 : 4);
        if (!split)
            QCOMPARE(readBefore[3], QStringLiteral("|Y1-Y2|  =6.0V"));
        for (const QString &line : readBefore)
            QVERIFY2(!line.contains(QLatin1String("=0.0")), qPrintable(line));
        const QImage pictureBefore = w->picture();

        for (const QString &z : zooms) {
            typeZoom(w->ZoomCombo, z);
            QCOMPARE(texts(), readBefore); // the read-outs do not follow the zoom
        }
        if (resize.isValid()) {
            w->BestFitChk->click();
            const QSize size = w->size();
            const double fitted = w->zoomFactor();
            w->resize(size + resize);
            QVERIFY(w->zoomFactor() < fitted);
            QCOMPARE(texts(), readBefore);
            w->resize(size);
            QCOMPARE(w->zoomFactor(), fitted);
            QCOMPARE(texts(), readBefore);
            w->BestFitChk->click();
        }
        // Unticked and ticked again, back at 100 %.
        w->ChkCursorX->click();
        w->ChkCursorY->click();
        w->ChkCursorX->click();
        w->ChkCursorY->click();
        typeZoom(w->ZoomCombo, QStringLiteral("100%"));
        QCOMPARE(w->zoomFactor(), 1.0);
        QCOMPARE(positions(), before);
        QCOMPARE(texts(), readBefore);
        QCOMPARE(w->picture(), pictureBefore);
    }

    void zoomKeepsTheCursorsOnTheDivisions()
    {
        frmWave *w = openItem();
        w->ChkCursorX->click();
        w->cursors.CursorX1 = dx(52);
        w->redrawPicture();
        typeZoom(w->ZoomCombo, QStringLiteral("200%"));
        // Zoom from 100 % to 200 % with the X1 cursor at 52: drawn at 79.
        QCOMPARE(w->cursors.CursorX1, dx(52));
        QVERIFY(countColour(w->picture(), QRect(79, 30, 1, 370), kCursor) > 40);
        QCOMPARE(countColour(w->picture(), QRect(52, 30, 1, 370), kCursor), 0);
    }


    // A release that never reaches the picture: given while an exchange ran
    // longer than held input is kept (a refresh of another window), it gets
    // nothing. The next move, with every button up, ends the drag, and the
    // cursor stays where the drag left it.
    void lostReleaseEndsTheDrag_data()
    {
        QTest::addColumn<bool>("isX");
        QTest::newRow("X1") << true;
        QTest::newRow("Y1") << false;
    }
    void lostReleaseEndsTheDrag()
    {
        QFETCH(bool, isX);
        frmWave *w = openItem();
        (isX ? w->ChkCursorX : w->ChkCursorY)->click();
        WaveCursors &c = w->cursors;
        c.CursorX1 = dx(60);
        c.CursorY1 = dy(60);
        w->redrawPicture();
        const QPoint grab = isX ? QPoint(60, 120) : QPoint(150, 60);
        const QPoint to = isX ? QPoint(90, 120) : QPoint(150, 90);
        queueMouse(w, QEvent::MouseButtonPress, grab, Qt::LeftButton);
        queueMouse(w, QEvent::MouseMove, to, Qt::LeftButton);
        QCOMPARE(isX ? c.CursorX1 : c.CursorY1, isX ? dx(90) : dy(90));
        {
            const ExchangeScope exchange;
            queueMouse(w, QEvent::MouseButtonRelease, to, Qt::NoButton);
            fx->clock.advance(HeldInputMaxAgeMs + 500);
        }
        QCoreApplication::processEvents(); // the held release: too old, dropped
        QVERIFY(isX ? c.DragX1 : c.DragY1);
        queueMouse(w, QEvent::MouseMove, to + QPoint(40, 40), Qt::NoButton);
        QCOMPARE(isX ? c.CursorX1 : c.CursorY1, isX ? dx(90) : dy(90));
        QVERIFY(!c.DragX1 && !c.DragY1);
        QCOMPARE(MouseControl::Cursor(), 0); // a hover away from every cursor
    }

    void splitPictureLowerCursors()
    {
        frmWave *w = openItem(true, true);
        w->ChkCursorX->click();
        WaveCursors &c = w->cursors;
        c.CursorX1Low = dx(200);
        w->redrawPicture();
        // The lower half's cursor: a press on the split line belongs to it.
        QTest::mousePress(w->WavePic, Qt::LeftButton, {}, QPoint(200, 125));
        QVERIFY(c.DragX1Low);
        QTest::mouseMove(w->WavePic, QPoint(220, 180));
        QCOMPARE(c.CursorX1Low, dx(220));
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
