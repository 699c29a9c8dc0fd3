// The waveform window's zoom texts, best fit and layout: which zoom texts are
// taken (and the 1000 % limit), the best-fit zoom, where the container, the
// picture, the scroll bars and the progress box go.

#include "wave/wavezoom.h"

#include <QtTest>


class TestWaveZoom : public QObject {
    Q_OBJECT
private slots:
    void zoomTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("zoom"); // -1: refused
        QTest::newRow("list entry") << "150%" << 1.5;
        QTest::newRow("blanks around") << "  120 %" << 1.2;
        QTest::newRow("sign") << "+50%" << 0.5;
        QTest::newRow("exponent") << "1.5e2%" << 1.5;
        QTest::newRow("decimals") << "62.5%" << 0.625;
        QTest::newRow("leading point") << ".5e3%" << 5.0;
        QTest::newRow("floor") << "0.5%" << 0.01;
        QTest::newRow("negative: floor") << "-20%" << 0.01;
        QTest::newRow("the limit itself") << "1000%" << 10.0;
        QTest::newRow("just above the limit") << "1000.1%" << -1.0;
        QTest::newRow("billions of pixels") << "100000%" << -1.0;
        QTest::newRow("overflowing exponent") << "1e999%" << -1.0;
        QTest::newRow("no percent sign") << "150" << 1.5;
        QTest::newRow("blanks after the percent sign") << "150% " << 1.5;
        QTest::newRow("blanks, no percent sign") << " 62.5 " << 0.625;
        QTest::newRow("percent not last") << "15%0" << -1.0;
        QTest::newRow("two percent signs") << "150%%" << -1.0;
        QTest::newRow("empty") << "" << -1.0;
        QTest::newRow("percent alone") << "%" << -1.0;
        QTest::newRow("blanks alone") << "  %" << -1.0;
        QTest::newRow("letters") << "12a%" << -1.0;
        QTest::newRow("letters before") << "abc%" << -1.0;
        QTest::newRow("comma (no locale forms)") << "1,5%" << -1.0;
        QTest::newRow("thousands separator") << "1,000%" << -1.0;
        QTest::newRow("two points") << "1.2.3%" << -1.0;
        QTest::newRow("inner blank") << "1 2%" << -1.0;
        QTest::newRow("exponent without digits") << "5e%" << -1.0;
        QTest::newRow("exponent alone") << "e5%" << -1.0;
        QTest::newRow("point alone") << ".%" << -1.0;
        QTest::newRow("hex") << "&H10%" << -1.0;
        QTest::newRow("two signs") << "+-5%" << -1.0;
        QTest::newRow("infinity") << "inf%" << -1.0;
        QTest::newRow("nan") << "nan%" << -1.0;
    }
    void zoomTexts()
    {
        QFETCH(QString, text);
        QFETCH(double, zoom);
        const std::optional<double> got = ParseZoomText(text);
        if (zoom < 0) {
            QVERIFY2(!got, qPrintable(QString::number(got.value_or(0))));
        } else {
            QVERIFY(got);
            QCOMPARE(*got, zoom);
        }
    }

    void zoomBoxText()
    {
        QCOMPARE(ZoomText(1.5), QStringLiteral("150%"));
        QCOMPARE(ZoomText(0.01), QStringLiteral("1%"));
        QCOMPARE(ZoomText(1.4954), QStringLiteral("150%"));
        QCOMPARE(ZoomText(10.0), QStringLiteral("1000%"));
    }

    void bestFit_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<double>("zoom");
        QTest::newRow("twice the picture") << 700 << 500 << 2.0;
        QTest::newRow("height decides") << 700 << 250 << 1.0;
        QTest::newRow("width decides") << 350 << 600 << 1.0;
        QTest::newRow("empty container: floor") << 0 << 0 << 0.01;
        QTest::newRow("tiny container: floor") << 2 << 500 << 0.01;
    }
    void bestFit()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(double, zoom);
        QCOMPARE(BestFitZoom(width, height), zoom);
    }

    void bestFitWidthInSinglePrecision()
    {
        QCOMPARE(BestFitZoom(500, 1000), double(float(500 / 350.0)));
    }

    void layoutBestFit()
    {
        WaveLayoutInput in;
        in.client = QSize(1100 + 700 * 15, 100 + 500 * 15);
        in.sizePicture = true;
        in.bestFit = true;
        const WaveLayout out = layoutWaveWindow(in);
        QCOMPARE(out.backPic, QRect(1100, 100, 700 * 15, 500 * 15));
        QVERIFY(out.zoomFromBestFit);
        QCOMPARE(out.zoom, 2.0);
        QCOMPARE(out.picture, QSize(700, 500));
        QVERIFY(!out.hBar.shown && !out.vBar.shown);
    }

    // The bars lie flush with the container's edges: no strip of the picture
    // shows between a bar and the edge, nor in the corner between the bars;
    // the ranges reach the picture's far edges beside the other bar.
    void layoutBars_data()
    {
        QTest::addColumn<QSize>("container"); // pixels
        QTest::addColumn<double>("zoom");
        QTest::addColumn<bool>("h");
        QTest::addColumn<bool>("v");
        QTest::addColumn<double>("hRange");
        QTest::addColumn<int>("vRange");
        QTest::addColumn<int>("hLarge");
        QTest::newRow("fits") << QSize(400, 300) << 1.0 << false << false << 0.0 << 0 << 1;
        QTest::newRow("wider and taller") << QSize(400, 300) << 2.0 << true << true << 317.0 << 217 << 55;
        QTest::newRow("only wider") << QSize(400, 400) << 1.2 << true << false << 20.0 << 0 << 95;
        QTest::newRow("wider, and taller beside the bar") << QSize(400, 300) << 1.2 << true << true << 37.0 << 17 << 91;
    }
    void layoutBars()
    {
        QFETCH(QSize, container);
        QFETCH(double, zoom);
        QFETCH(bool, h);
        QFETCH(bool, v);
        QFETCH(double, hRange);
        QFETCH(int, vRange);
        QFETCH(int, hLarge);
        WaveLayoutInput in;
        const int w = container.width() * 15, ht = container.height() * 15;
        in.client = QSize(1100 + w, 100 + ht);
        in.sizePicture = true;
        in.zoom = zoom;
        const WaveLayout out = layoutWaveWindow(in);
        QVERIFY(!out.zoomFromBestFit);
        QCOMPARE(out.picture, QSize(qRound(350 * zoom), qRound(250 * zoom)));
        QCOMPARE(out.hBar.shown, h);
        QCOMPARE(out.vBar.shown, v);
        const int corner = h && v ? 255 : 0;
        if (h) {
            QCOMPARE(out.hBar.rect, QRect(1100, 100 + ht - 255, w - corner, 255));
            QCOMPARE(out.hScrollRange, hRange);
            QCOMPARE(out.hBar.largeChange, hLarge);
        }
        if (v) {
            QCOMPARE(out.vBar.rect, QRect(1100 + w - 255, 100, 255, ht - corner));
            QCOMPARE(out.vScrollRange, vRange);
        }
    }

    void layoutBeforeInitialisation()
    {
        WaveLayoutInput in;
        in.client = QSize(9240, 8895);
        in.sizePicture = false;
        in.bestFit = true;
        in.zoom = 1.5;
        in.previousPicture = QSize(381, 333);
        const WaveLayout out = layoutWaveWindow(in);
        QCOMPARE(out.backPic, QRect(1100, 100, 9240 - 1100, 8895 - 100));
        QCOMPARE(out.picture, QSize(381, 333)); // not sized yet
        QCOMPARE(out.zoom, 1.5);
        QVERIFY(!out.zoomFromBestFit);
    }

    void narrowWindowKeepsTheContainer()
    {
        WaveLayoutInput in;
        in.client = QSize(900, 5000);
        in.previousBackPic = QRect(1100, 100, 4000, 3000);
        in.sizePicture = true;
        in.bestFit = true;
        const WaveLayout out = layoutWaveWindow(in);
        QCOMPARE(out.backPic, in.previousBackPic);
    }

    void progressBox()
    {
        // Right edge 7 pixels right of the graticule, bottom 1 above its top line.
        QCOMPARE(progressBoxPlace(QPoint(0, 0), 1.0), QPoint(25 + 300 - 135 + 7, 5));
        QCOMPARE(progressBoxPlace(QPoint(-40, -10), 2.0), QPoint(-40 + 25 + 600 - 128, -5));
    }

    void scrollOffsets()
    {
        QCOMPARE(hScrollOffset(0, 300.0), 0.0);
        QCOMPARE(hScrollOffset(100, 300.0), -300.0);
        QCOMPARE(hScrollOffset(50, 300.0), -150.0);
        QCOMPARE(vScrollOffset(100, 200), -200);
        QCOMPARE(vScrollOffset(33, 10), -3);
    }
};

QTEST_MAIN(TestWaveZoom)
#include "tst_wavezoom.moc"
