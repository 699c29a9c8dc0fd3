// The replay picture: pixel checks of known frames on a 650 x 450 plot
// (PW 600, PH 400: two pixels per level, two per sample step) and of the
// status strip.

#include "app/appstate.h"
#include "common/constants.h"
#include "replay/replaypicture.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

constexpr int W = 650;
constexpr int H = 450;

ReplayInfo frames(int count, const std::function<int(int, int)> &level)
{
    ReplayInfo r;
    r.ColorMode = true;
    r.Channel = QStringLiteral("CH1");
    r.FileLoaded = r.ReplayStarted = true;
    r.FirstFrame = 1;
    r.FrameCount = qint16(count);
    r.CurrentFrame = 1;
    r.VoltDivText = QStringLiteral("1.00V");
    r.OffsetText = QStringLiteral("0.00uV");
    r.TimeDivText = QStringLiteral("1.000ms");
    r.DelayText = QStringLiteral("0.0000s");
    r.Samples = QList<qint16>(qsizetype(count) * 1024 + 1, 0);
    for (int f = 1; f <= count; ++f)
        for (int i = 0; i < 1024; ++i)
            r.Samples[qsizetype(f - 1) * 1024 + i] = qint16(level(f, i));
    return r;
}

QImage draw(const ReplayInfo &r)
{
    QImage img(W, H, QImage::Format_RGB32);
    RedrawFrame(img, r);
    return img;
}

int countColour(const QImage &img, const QColor &c, const QRect &area)
{
    int n = 0;
    const QRect a = area & img.rect();
    for (int y = a.top(); y <= a.bottom(); ++y)
        for (int x = a.left(); x <= a.right(); ++x)
            if (img.pixelColor(x, y) == c)
                ++n;
    return n;
}

} // namespace

class TestReplayPicture : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void flatTraceLiesOnItsLevel_data();
    void flatTraceLiesOnItsLevel();
    void secondFrameDrawsItsOwnSamples();
    void traceEndsAtTheLastDrawnSample();
    void monochromeIsBlackOnWhite();
    void colourScheme();
    void groundMarker_data();
    void groundMarker();
    void triggerMarker_data();
    void triggerMarker();
    void otherChannelTextDrawsInBlack();
    void shortSamplesReadNothingOutside();
    void statusStrip_data();
    void statusStrip();
};

void TestReplayPicture::flatTraceLiesOnItsLevel_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("y");
    QTest::newRow("centre") << 100 << 225;
    QTest::newRow("top line") << 0 << 25;
    QTest::newRow("one quarter") << 50 << 125;
    QTest::newRow("bottom") << 199 << 423;
}

void TestReplayPicture::flatTraceLiesOnItsLevel()
{
    QFETCH(int, level);
    QFETCH(int, y);
    const QImage img = draw(frames(1, [&](int, int) { return level; }));
    for (int x = 40; x <= 600; x += 37) {
        QCOMPARE(img.pixelColor(x, y), CH1Color);
        QVERIFY(img.pixelColor(x, y - 2) != CH1Color);
        QVERIFY(img.pixelColor(x, y + 2) != CH1Color);
    }
}

void TestReplayPicture::secondFrameDrawsItsOwnSamples()
{
    // Frame 2 holds 150 in its drawn samples 213..812 and 0 elsewhere;
    // frame 1 is 0 throughout.
    ReplayInfo r = frames(2, [](int f, int i) { return f == 2 && i >= 213 && i <= 812 ? 150 : 0; });
    r.CurrentFrame = 2;
    const QImage img = draw(r);
    QCOMPARE(img.pixelColor(300, 325), CH1Color);
    QCOMPARE(img.pixelColor(600, 325), CH1Color);
    QCOMPARE(countColour(img, CH1Color, QRect(25, 20, 610, 10)), 0); // nothing on level 0
    r.CurrentFrame = 1;
    const QImage first = draw(r);
    QCOMPARE(countColour(first, CH1Color, QRect(25, 300, 610, 50)), 0);
    QCOMPARE(first.pixelColor(300, 25), CH1Color);
}

void TestReplayPicture::traceEndsAtTheLastDrawnSample()
{
    // Sample 812 jumps to the bottom: the last segment ends at x = 624.
    const QImage img = draw(frames(1, [](int, int i) { return i == 812 ? 199 : 100; }));
    // (The last segment rises from x = 623 to 624; either column may carry it.)
    QVERIFY(countColour(img, CH1Color, QRect(623, 380, 2, 40)) >= 35);
    QCOMPARE(countColour(img, CH1Color, QRect(626, 26, 24, 400)), 0);
    // Sample 813 is not drawn.
    const QImage after = draw(frames(1, [](int, int i) { return i == 813 ? 199 : 100; }));
    QCOMPARE(countColour(after, CH1Color, QRect(25, 300, 610, 125)), 0);
    // A plot 500 pixels wide ends one sample earlier, with sample 811.
    auto narrow = [](int jump) {
        QImage n(500, H, QImage::Format_RGB32);
        RedrawFrame(n, frames(1, [jump](int, int i) { return i == jump ? 199 : 100; }));
        return countColour(n, CH1Color, QRect(25, 300, 460, 125));
    };
    QCOMPARE(narrow(812), 0);
    QVERIFY(narrow(811) > 0);
    // Sample 213 is the first: it joins 214 at x = 25.
    const QImage start = draw(frames(1, [](int, int i) { return i == 213 ? 0 : 100; }));
    QCOMPARE(start.pixelColor(25, 100), CH1Color);
}

void TestReplayPicture::monochromeIsBlackOnWhite()
{
    ReplayInfo r = frames(1, [](int, int i) { return i % 200; });
    r.ColorMode = false;
    const QImage img = draw(r);
    QCOMPARE(img.pixelColor(5, 5), QColor(255, 255, 255));
    QCOMPARE(img.pixelColor(100, 26), QColor(0, 0, 0)); // the frame
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() != c.green() || c.green() != c.blue())
                QFAIL(qPrintable(QStringLiteral("coloured pixel at %1,%2").arg(x).arg(y)));
        }
}

void TestReplayPicture::colourScheme()
{
    const QImage img = draw(frames(1, [](int, int) { return 100; }));
    QCOMPARE(img.pixelColor(5, 5), QColor(0, 0, 0));
    QCOMPARE(img.pixelColor(100, 26), QColor(192, 192, 192));
    QVERIFY(countColour(img, QColor(255, 128, 0), QRect(25, 8, 80, 18)) > 0); // the banner word
    // The empty plot: grid and dots, no trace.
    QImage empty(W, H, QImage::Format_RGB32);
    DrawEmptyRecordPlot(empty, true);
    QCOMPARE(empty.pixelColor(35, 75), QColor(192, 192, 192)); // a dot of the second row
    QCOMPARE(countColour(empty, CH1Color, empty.rect()), 0);
    QVERIFY(countColour(empty, QColor(255, 128, 0), QRect(25, 8, 80, 18)) > 0);
}

void TestReplayPicture::groundMarker_data()
{
    QTest::addColumn<QString>("offset");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("tipY");
    QTest::newRow("zero") << QStringLiteral("0.00uV") << true << 225;
    QTest::newRow("one division up") << QStringLiteral("1.00V") << true << 175;
    QTest::newRow("four up") << QStringLiteral("4.00V") << false << 0;
    QTest::newRow("four down") << QStringLiteral("-4.00V") << false << 0;
    QTest::newRow("unreadable") << QStringLiteral("*") << true << 225; // reads as 0
}

void TestReplayPicture::groundMarker()
{
    QFETCH(QString, offset);
    QFETCH(bool, shown);
    QFETCH(int, tipY);
    ReplayInfo r = frames(1, [](int, int) { return 199; });
    r.OffsetText = offset;
    const QImage img = draw(r);
    const int marker = countColour(img, CH1Color, QRect(4, 26, 21, 400));
    if (shown) {
        QVERIFY(marker > 0);
        QCOMPARE(img.pixelColor(23, tipY), CH1Color);
    } else {
        QCOMPARE(marker, 0);
    }
    // A volts/div that reads as 0 leaves the marker out; the labels stay.
    r.OffsetText = QStringLiteral("0.00uV");
    r.VoltDivText = QStringLiteral("0.00uV");
    const QImage none = draw(r);
    QCOMPARE(countColour(none, CH1Color, QRect(4, 26, 21, 400)), 0);
    QVERIFY(countColour(none, CH1Color, QRect(25, 431, 300, 19)) > 0);
}

void TestReplayPicture::triggerMarker_data()
{
    QTest::addColumn<QString>("delay");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("x");
    QTest::newRow("no delay") << QStringLiteral("0.0000s") << true << 321;
    QTest::newRow("two divisions") << QStringLiteral("-2.0000ms") << true << 421;
    QTest::newRow("six divisions") << QStringLiteral("6.0000ms") << false << 0;
    QTest::newRow("minus six") << QStringLiteral("-6.0000ms") << false << 0;
}

void TestReplayPicture::triggerMarker()
{
    QFETCH(QString, delay);
    QFETCH(bool, shown);
    QFETCH(int, x);
    ReplayInfo r = frames(1, [](int, int) { return 199; });
    r.DelayText = delay;
    const QImage img = draw(r);
    const QColor orange(255, 128, 0);
    const int markers = countColour(img, orange, QRect(25, 26, 600, 20));
    if (shown) {
        QCOMPARE(img.pixelColor(x, 35), orange); // the left side of the trigger pentagon
        QCOMPARE(img.pixelColor(325, 26), orange); // the centre triangle
    } else {
        QCOMPARE(markers, 0);
    }
    QVERIFY(countColour(img, orange, QRect(470, 431, 180, 19)) > 0); // the delay label
}

void TestReplayPicture::otherChannelTextDrawsInBlack()
{
    ReplayInfo r = frames(1, [](int, int) { return 50; });
    r.Channel = QStringLiteral("CH9");
    const QImage img = draw(r);
    QCOMPARE(countColour(img, CH1Color, img.rect()), 0);
    QCOMPARE(countColour(img, CH2Color, img.rect()), 0);
    r.Channel = QStringLiteral("CH2");
    QCOMPARE(draw(r).pixelColor(300, 125), CH2Color);
}

void TestReplayPicture::shortSamplesReadNothingOutside()
{
    // Frame 2 is claimed but only 400 of its samples exist.
    ReplayInfo r = frames(1, [](int, int) { return 50; });
    r.FrameCount = 2;
    r.CurrentFrame = 2;
    r.Samples = QList<qint16>(1024 + 400, 100);
    const QImage img = draw(r);
    QCOMPARE(img.pixelColor(100, 225), CH1Color);        // samples 213..399 drawn
    QCOMPARE(countColour(img, CH1Color, QRect(500, 200, 120, 50)), 0); // nothing beyond
    // A current frame outside 1..FrameCount draws no trace.
    r.CurrentFrame = 3;
    QCOMPARE(countColour(draw(r), CH1Color, QRect(30, 26, 600, 400)), 0);
}

void TestReplayPicture::statusStrip_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("word");
    QTest::newRow("Replaying") << 0 << 1 << QStringLiteral("Replaying");
    QTest::newRow("Pause") << 1 << 1 << QStringLiteral("Pause");
    QTest::newRow("Stop") << 2 << 1 << QStringLiteral("Stop");
    QTest::newRow("正在回放") << 0 << 0 << QStringLiteral("正在回放");
    QTest::newRow("暂停") << 1 << 0 << QStringLiteral("暂停");
    QTest::newRow("停止") << 2 << 0 << QStringLiteral("停止");
    QTest::newRow("status 3") << 3 << 1 << QString();
    QTest::newRow("language 2") << 1 << 2 << QString();
}

void TestReplayPicture::statusStrip()
{
    QFETCH(int, status);
    QFETCH(int, lang);
    QFETCH(QString, word);
    ReplayInfo r = frames(1, [](int, int) { return 0; });
    r.Status = quint8(status);
    r.CurrentFrame = 1;
    r.FrameCount = 345;
    r.StatusText = QStringLiteral("old");
    QImage strip(500, 33, QImage::Format_RGB32);
    DispMsg(strip, r, lang);
    QCOMPARE(r.StatusText, word);
    const int white = countColour(strip, QColor(255, 255, 255), QRect(25, 0, 200, 33));
    QCOMPARE(white > 0, !word.isEmpty());
    QVERIFY(countColour(strip, QColor(0, 255, 0), QRect(430, 0, 70, 33)) > 0); // the counter
    QCOMPARE(countColour(strip, QColor(0, 255, 0), QRect(0, 0, 420, 33)), 0);
}

QTEST_MAIN(TestReplayPicture)
#include "tst_replaypicture.moc"
