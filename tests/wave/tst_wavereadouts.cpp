// The cursor read-outs: the unit texts and their read-back, then the lines
// drawn for a full screen, the X-Y display, a split FFT view and the
// alternate trigger, with the FFT in each language, and their colours in both
// schemes.

#include "app/appstate.h"
#include "common/constants.h"
#include "values/commalocale.h"
#include "wave/wavereadouts.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

const QString On = QStringLiteral("ON");
const QString Vrms = QStringLiteral("Vrms");
const QString ChineseVrms = QStringLiteral("均方根值");

QString roleName(ReadoutColor c)
{
    switch (c) {
    case ReadoutColor::Time: return QStringLiteral("time");
    case ReadoutColor::CH1: return QStringLiteral("ch1");
    case ReadoutColor::CH2: return QStringLiteral("ch2");
    case ReadoutColor::FFT: return QStringLiteral("fft");
    }
    return QString();
}

// "text @x,y role" per line.
QStringList lines(const QList<ReadoutLine> &in)
{
    QStringList out;
    for (const ReadoutLine &l : in)
        out << QStringLiteral("%1 @%2,%3 %4").arg(l.text).arg(l.at.x()).arg(l.at.y()).arg(roleName(l.color));
    return out;
}

// X cursors 50 and 100, Y cursors 100 and 150; lower half X 79 and 179,
// Y 150 and 200 (pixels at zoom 1: 2 divisions apart, 4.16 in the lower X).
// Time 1 ms/div, CH1 500 mV/div, CH2 1 V/div; FFT 100 Hz/div, 0.5 Vrms/div or
// 10 dB/div.
WaveCursors cursors(bool xOn, bool yOn)
{
    const auto dx = [](double px) { return CursorDivisionsOfX(px, 1.0); };
    const auto dy = [](double py) { return CursorDivisionsOfY(py, 1.0); };
    WaveCursors c;
    c.CursorX1 = dx(50);
    c.CursorX2 = dx(100);
    c.CursorY1 = dy(100);
    c.CursorY2 = dy(150);
    c.CursorX1Low = dx(79);
    c.CursorX2Low = dx(179);
    c.CursorY1Low = dy(150);
    c.CursorY2Low = dy(200);
    c.CursorXOn = xOn;
    c.CursorYOn = yOn;
    return c;
}

WaveDoc doc()
{
    WaveDoc d;
    d.TrigMode = QStringLiteral("AUTO");
    d.TimeDiv = QStringLiteral("1.000ms");
    d.CH1VoltDiv = QStringLiteral("500mV");
    d.CH2VoltDiv = QStringLiteral("1.00V");
    d.AltTimeDivCH1 = QStringLiteral("1.000ms");
    d.AltTimeDivCH2 = QStringLiteral("2.000ms");
    d.FFTDisplay = QStringLiteral("OFF");
    d.ShowMath = true;
    d.Setup.FFTHzPerDiv = 100.0f;
    d.Setup.FFTScaleVrms = 0.5f;
    d.Setup.FFTScaleDB = 10;
    d.YTFormat = true;
    d.ColorMode = true;
    return d;
}

} // namespace

class TestWaveReadouts : public QObject {
    Q_OBJECT
private slots:
    void init() { resetApp(); }

    void timeText_data();
    void timeText();
    void voltText_data();
    void voltText();
    void freqText_data();
    void freqText();
    void timeReadBack_data();
    void timeReadBack();
    void fullScreen_data();
    void fullScreen();
    void fullScreenFFT_data();
    void fullScreenFFT();
    void xyDisplay();
    void splitFFT_data();
    void splitFFT();
    void alternateTrigger_data();
    void alternateTrigger();
    void colours();
};

void TestWaveReadouts::timeText_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("2.5 ms") << 0.0025 << "2.50ms";
    QTest::newRow("1.5 s") << 1.5 << "1.50s";
    QTest::newRow("exactly 1 ms") << 0.001 << "1.00ms";
    QTest::newRow("500 us") << 0.0005 << "500.00us";
    QTest::newRow("just below 1 ms rounds up in us") << 0.000999999 << "1000.00us";
    QTest::newRow("2 ns") << 2e-9 << "2.00ns";
    QTest::newRow("3 ps") << 3e-12 << "3.00ps";
    QTest::newRow("an exact half away from zero") << 0.012345 << "12.35ms";
    QTest::newRow("zero") << 0.0 << "0.000s";
    QTest::newRow("below 1 ps") << 5e-13 << "";
    QTest::newRow("negative") << -0.001 << "";
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << "";
}

void TestWaveReadouts::timeText()
{
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(ConvertTimeToStr(seconds), text);
    CommaLocale comma;
    QVERIFY(comma.active());
    QCOMPARE(ConvertTimeToStr(seconds), text);
}

void TestWaveReadouts::voltText_data()
{
    QTest::addColumn<double>("volts");
    QTest::addColumn<QString>("text");
    QTest::newRow("1 V") << 1.0 << "1.0V";
    QTest::newRow("12.345 V") << 12.345 << "12.3V";
    QTest::newRow("500 mV") << 0.5 << "500.0mV";
    QTest::newRow("250 mV") << 0.25 << "250.0mV";
    QTest::newRow("0.05 mV half away from zero") << 0.00005 << "0.1mV";
    QTest::newRow("zero") << 0.0 << "0.0mV";
}

void TestWaveReadouts::voltText()
{
    QFETCH(double, volts);
    QFETCH(QString, text);
    QCOMPARE(ConvertVoltToStr(volts), text);
    CommaLocale comma;
    QVERIFY(comma.active());
    QCOMPARE(ConvertVoltToStr(volts), text);
}

void TestWaveReadouts::freqText_data()
{
    QTest::addColumn<double>("hertz");
    QTest::addColumn<QString>("text");
    QTest::newRow("1500 Hz: capital K") << 1500.0 << "1.50KHz";
    QTest::newRow("500 Hz") << 500.0 << "500.00Hz";
    QTest::newRow("just below 1 kHz") << 999.999 << "1000.00Hz";
    QTest::newRow("2.5 MHz") << 2.5e6 << "2.50MHz";
    QTest::newRow("1 GHz") << 1e9 << "1.00GHz";
    QTest::newRow("0.5 Hz") << 0.5 << "0.50Hz";
}

void TestWaveReadouts::freqText()
{
    QFETCH(double, hertz);
    QFETCH(QString, text);
    QCOMPARE(ConvertFreqToStr(hertz), text);
    CommaLocale comma;
    QVERIFY(comma.active());
    QCOMPARE(ConvertFreqToStr(hertz), text);
}

void TestWaveReadouts::timeReadBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("seconds");
    QTest::newRow("2.50ms") << "2.50ms" << 0.0025;
    QTest::newRow("1.50s") << "1.50s" << 1.5;
    QTest::newRow("500.00us") << "500.00us" << 0.0005;
    QTest::newRow("2.00ns") << "2.00ns" << 2e-9;
    QTest::newRow("3.00ps") << "3.00ps" << 3e-12;
    QTest::newRow("0.000s") << "0.000s" << 0.0;
    QTest::newRow("no s") << "12" << 0.0;
    QTest::newRow("another prefix") << "1.5ks" << 0.0;
    QTest::newRow("s first") << "s" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
}

void TestWaveReadouts::timeReadBack()
{
    QFETCH(QString, text);
    QFETCH(double, seconds);
    const double got = GetTimeVlu(text);
    QVERIFY2(got == seconds || std::fabs(got - seconds) <= 1e-15 * std::fabs(seconds),
             qPrintable(QString::number(got, 'g', 17)));
}

void TestWaveReadouts::fullScreen_data()
{
    QTest::addColumn<bool>("xOn");
    QTest::addColumn<bool>("yOn");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("both pairs") << true << true << 1.0
                                << QStringList{"1/|X1-X2|=500.00Hz @185,30 time", "|X1-X2|   =2.00ms @185,50 time",
                                               "|Y1-Y2|  =1.0V @185,70 ch1", "|Y1-Y2|  =2.0V @185,90 ch2"};
    QTest::newRow("X only") << true << false << 1.0
                            << QStringList{"1/|X1-X2|=500.00Hz @185,30 time", "|X1-X2|   =2.00ms @185,50 time"};
    QTest::newRow("Y only: its rows move up") << false << true << 1.0
                                              << QStringList{"|Y1-Y2|  =1.0V @185,30 ch1",
                                                             "|Y1-Y2|  =2.0V @185,50 ch2"};
    QTest::newRow("none") << false << false << 1.0 << QStringList{};
    // Zoom 2: the cursors keep their divisions, so the values stay; the texts
    // move with the graticule's right edge.
    QTest::newRow("zoom 2") << true << true << 2.0
                            << QStringList{"1/|X1-X2|=500.00Hz @485,30 time", "|X1-X2|   =2.00ms @485,50 time",
                                           "|Y1-Y2|  =1.0V @485,70 ch1", "|Y1-Y2|  =2.0V @485,90 ch2"};
    // Zoom 1.005: x = 186.5, placed on 186 (halves to even).
    QTest::newRow("zoom 1.005") << false << true << 1.005
                                << QStringList{"|Y1-Y2|  =1.0V @186,30 ch1", "|Y1-Y2|  =2.0V @186,50 ch2"};
    // Zoom 1 %, and no zoom at all: the values all the same.
    QTest::newRow("zoom 0.01") << true << true << 0.01
                               << QStringList{"1/|X1-X2|=500.00Hz @-112,30 time", "|X1-X2|   =2.00ms @-112,50 time",
                                              "|Y1-Y2|  =1.0V @-112,70 ch1", "|Y1-Y2|  =2.0V @-112,90 ch2"};
    QTest::newRow("zoom 0") << false << true << 0.0
                            << QStringList{"|Y1-Y2|  =1.0V @-115,30 ch1", "|Y1-Y2|  =2.0V @-115,50 ch2"};
}

void TestWaveReadouts::fullScreen()
{
    QFETCH(bool, xOn);
    QFETCH(bool, yOn);
    QFETCH(double, zoom);
    QFETCH(QStringList, expected);
    QCOMPARE(lines(CursorReadouts(cursors(xOn, yOn), doc(), zoom, Vrms)), expected);
}

void TestWaveReadouts::fullScreenFFT_data()
{
    QTest::addColumn<QString>("fftDisplay");
    QTest::addColumn<QString>("vrms");
    QTest::addColumn<bool>("showMath");
    QTest::addColumn<int>("decibel");
    QTest::addColumn<int>("scaleDb");
    QTest::addColumn<float>("hzPerDiv");
    QTest::addColumn<QStringList>("fft");
    QTest::newRow("linear") << "ON" << Vrms << true << 0 << 10 << 100.0f
                            << QStringList{"FFT|X1-X2|   =200.0Hz @167,110 fft",
                                           "FFT|Y1-Y2|  =1.00Vrms @157,130 fft"};
    QTest::newRow("decibel") << "ON" << Vrms << true << 1 << 10 << 100.0f
                             << QStringList{"FFT|X1-X2|   =200.0Hz @167,110 fft",
                                            "FFT|Y1-Y2|  =20.0dBVrms @141,130 fft"};
    QTest::newRow("decibel scale 0") << "ON" << Vrms << true << 1 << 0 << 100.0f
                                     << QStringList{"FFT|X1-X2|   =200.0Hz @167,110 fft",
                                                    "FFT|Y1-Y2|  =???? @189,130 fft"};
    QTest::newRow("no hertz per division") << "ON" << Vrms << true << 0 << 10 << 0.0f
                                           << QStringList{"FFT|X1-X2|   =???? @191,110 fft",
                                                          "FFT|Y1-Y2|  =1.00Vrms @157,130 fft"};
    QTest::newRow("hertz per division not a number")
        << "ON" << Vrms << true << 0 << 10 << std::numeric_limits<float>::quiet_NaN()
        << QStringList{"FFT|X1-X2|   =???? @191,110 fft", "FFT|Y1-Y2|  =1.00Vrms @157,130 fft"};
    QTest::newRow("Chinese") << QStringLiteral("打开") << ChineseVrms << true << 1 << 10 << 100.0f
                             << QStringList{"FFT|X1-X2|   =200.0Hz @167,110 fft",
                                            "FFT|Y1-Y2|  =20.0dB均方根值 @141,130 fft"};
    // The item keeps the word of its transfer's language: a switch since
    // then keeps the FFT shown.
    QTest::newRow("English word, Chinese in force") << "ON" << ChineseVrms << true << 1 << 10 << 100.0f
                                                    << QStringList{"FFT|X1-X2|   =200.0Hz @167,110 fft",
                                                                   "FFT|Y1-Y2|  =20.0dB均方根值 @141,130 fft"};
    QTest::newRow("Chinese word, English in force") << QStringLiteral("打开") << Vrms << true << 1 << 10 << 100.0f
                                                    << QStringList{"FFT|X1-X2|   =200.0Hz @167,110 fft",
                                                                   "FFT|Y1-Y2|  =20.0dBVrms @141,130 fft"};
    QTest::newRow("MATH box cleared: no FFT") << "ON" << Vrms << false << 0 << 10 << 100.0f << QStringList{};
    QTest::newRow("FFT off") << "OFF" << Vrms << true << 0 << 10 << 100.0f << QStringList{};
    QTest::newRow("Chinese off word") << QStringLiteral("关闭") << Vrms << true << 0 << 10 << 100.0f
                                      << QStringList{};
}

void TestWaveReadouts::fullScreenFFT()
{
    QFETCH(QString, fftDisplay);
    QFETCH(QString, vrms);
    QFETCH(bool, showMath);
    QFETCH(int, decibel);
    QFETCH(int, scaleDb);
    QFETCH(float, hzPerDiv);
    QFETCH(QStringList, fft);
    WaveDoc d = doc();
    d.FFTDisplay = fftDisplay;
    d.ShowMath = showMath;
    d.Setup.FFTDecibelScale = quint8(decibel);
    d.Setup.FFTScaleDB = qint16(scaleDb);
    d.Setup.FFTHzPerDiv = hzPerDiv;
    const QStringList got = lines(CursorReadouts(cursors(true, true), d, 1.0, vrms));
    QCOMPARE(got.mid(0, 4), (QStringList{"1/|X1-X2|=500.00Hz @185,30 time", "|X1-X2|   =2.00ms @185,50 time",
                                         "|Y1-Y2|  =1.0V @185,70 ch1", "|Y1-Y2|  =2.0V @185,90 ch2"}));
    QCOMPARE(got.mid(4), fft);
}

void TestWaveReadouts::xyDisplay()
{
    WaveDoc d = doc();
    d.YTFormat = false;
    d.XYFormat = true;
    d.CH1VoltDiv = QStringLiteral("1.00V");
    d.CH2VoltDiv = QStringLiteral("500mV");
    d.FFTDisplay = On; // no FFT, time or frequency line in X-Y
    QCOMPARE(lines(CursorReadouts(cursors(true, true), d, 1.0, Vrms)),
             (QStringList{"|X1-X2|  =2.0V @185,30 ch1", "|Y1-Y2|  =1.0V @185,50 ch2"}));
    QCOMPARE(lines(CursorReadouts(cursors(false, true), d, 1.0, Vrms)),
             (QStringList{"|Y1-Y2|  =1.0V @185,30 ch2"}));
    // Empty scales are used all the same.
    d.CH1VoltDiv.clear();
    d.CH2VoltDiv.clear();
    QCOMPARE(lines(CursorReadouts(cursors(true, true), d, 1.0, Vrms)),
             (QStringList{"|X1-X2|  =0.0mV @185,30 ch1", "|Y1-Y2|  =0.0mV @185,50 ch2"}));
}

void TestWaveReadouts::splitFFT_data()
{
    QTest::addColumn<bool>("xOn");
    QTest::addColumn<bool>("yOn");
    QTest::addColumn<QStringList>("expected");
    // Channels in the upper half (Y doubled), FFT from the lower cursors.
    QTest::newRow("both pairs") << true << true
                                << QStringList{"1/|X1-X2|=500.00Hz @185,30 time", "|X1-X2|   =2.00ms @185,50 time",
                                               "|Y1-Y2|  =2.0V @185,70 ch1", "|Y1-Y2|  =4.0V @185,90 ch2",
                                               "FFT|X1-X2|   =400.0Hz @167,130 fft",
                                               "FFT|Y1-Y2|  =2.00Vrms @157,150 fft"};
    QTest::newRow("Y only: FFT level right under the split line")
        << false << true
        << QStringList{"|Y1-Y2|  =2.0V @185,30 ch1", "|Y1-Y2|  =4.0V @185,50 ch2",
                       "FFT|Y1-Y2|  =2.00Vrms @157,130 fft"};
}

void TestWaveReadouts::splitFFT()
{
    QFETCH(bool, xOn);
    QFETCH(bool, yOn);
    QFETCH(QStringList, expected);
    WaveDoc d = doc();
    d.SplitScreen = true;
    d.FFTDisplay = On;
    QCOMPARE(lines(CursorReadouts(cursors(xOn, yOn), d, 1.0, Vrms)), expected);
}

void TestWaveReadouts::alternateTrigger_data()
{
    QTest::addColumn<bool>("xOn");
    QTest::addColumn<bool>("yOn");
    QTest::addColumn<int>("fftLower");
    QTest::addColumn<QString>("timeDiv2");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("FFT in the lower half")
        << true << true << 1 << "2.000ms"
        << QStringList{"1/|X1-X2|=500.00Hz @185,30 time", "|X1-X2|   =2.00ms @185,50 time",
                       "1/|X1-X2|=125.00Hz @185,130 time", "|X1-X2|   =8.00ms @185,150 time",
                       "|Y1-Y2|  =2.0V @185,70 ch1", "|Y1-Y2|  =4.0V @185,170 ch2",
                       "FFT|X1-X2|   =400.0Hz @167,190 fft", "FFT|Y1-Y2|  =2.00Vrms @157,210 fft"};
    QTest::newRow("FFT in the upper half")
        << true << true << 0 << "2.000ms"
        << QStringList{"1/|X1-X2|=500.00Hz @185,30 time", "|X1-X2|   =2.00ms @185,50 time",
                       "1/|X1-X2|=125.00Hz @185,130 time", "|X1-X2|   =8.00ms @185,150 time",
                       "|Y1-Y2|  =2.0V @185,70 ch1", "|Y1-Y2|  =4.0V @185,170 ch2",
                       "FFT|X1-X2|   =200.0Hz @167,90 fft", "FFT|Y1-Y2|  =2.00Vrms @157,110 fft"};
    QTest::newRow("Y only") << false << true << 1 << "2.000ms"
                            << QStringList{"|Y1-Y2|  =2.0V @185,30 ch1", "|Y1-Y2|  =4.0V @185,130 ch2",
                                           "FFT|Y1-Y2|  =2.00Vrms @157,150 fft"};
    QTest::newRow("no CH2 time base") << true << false << 1 << ""
                                      << QStringList{"1/|X1-X2|=500.00Hz @185,30 time",
                                                     "|X1-X2|   =2.00ms @185,50 time",
                                                     "FFT|X1-X2|   =400.0Hz @167,130 fft"};
}

void TestWaveReadouts::alternateTrigger()
{
    QFETCH(bool, xOn);
    QFETCH(bool, yOn);
    QFETCH(int, fftLower);
    QFETCH(QString, timeDiv2);
    QFETCH(QStringList, expected);
    WaveDoc d = doc();
    d.TrigMode = QStringLiteral("ALTERNATION");
    d.SplitScreen = true;
    d.FFTDisplay = On;
    d.AltTimeDivCH2 = timeDiv2;
    d.TimeDiv = QStringLiteral("5.000ms"); // not used under the alternate trigger
    d.Setup.AltMathLower = quint8(fftLower);
    QCOMPARE(lines(CursorReadouts(cursors(xOn, yOn), d, 1.0, Vrms)), expected);
}

void TestWaveReadouts::colours()
{
    QCOMPARE(readoutColor(ReadoutColor::CH1, true), QColor(255, 255, 0));
    QCOMPARE(readoutColor(ReadoutColor::CH2, true), QColor(0, 255, 255));
    QCOMPARE(readoutColor(ReadoutColor::Time, true), QColor(255, 0, 255));
    QCOMPARE(readoutColor(ReadoutColor::FFT, true), MathColor);
    for (ReadoutColor r : {ReadoutColor::CH1, ReadoutColor::CH2, ReadoutColor::Time, ReadoutColor::FFT})
        QCOMPARE(readoutColor(r, false), QColor(192, 192, 192)); // light grey, not black
    const QList<ReadoutLine> l = CursorReadouts(cursors(true, true), doc(), 1.0, Vrms);
    const WaveShapes colour = ReadoutShapes(l, true);
    const WaveShapes mono = ReadoutShapes(l, false);
    QCOMPARE(colour.size(), l.size());
    QCOMPARE(colour[0].color, QColor(255, 0, 255));
    QCOMPARE(colour[2].color, QColor(255, 255, 0));
    QCOMPARE(colour[3].color, QColor(0, 255, 255));
    for (const WaveShape &s : mono) {
        QCOMPARE(s.color, QColor(192, 192, 192));
        QVERIFY(s.readout);
    }
}

QTEST_MAIN(TestWaveReadouts)
#include "tst_wavereadouts.moc"
