// Scale steps along the 1-2-5 sequences, level conversions, picosecond
// counts, the probe table and the download percentage.

#include "app/appstate.h"
#include "values/commalocale.h"
#include "values/scalesteps.h"

#include <QtTest>
#include <cmath>
#include <limits>

namespace {
const float kNaNf = std::numeric_limits<float>::quiet_NaN();
const float kInff = std::numeric_limits<float>::infinity();

struct PercentShown {
    int slot = -1;
    QString text;
    int calls = 0;
};
PercentShown g_shown;
void recordPercent(int slot, const QString &text)
{
    g_shown.slot = slot;
    g_shown.text = text;
    ++g_shown.calls;
}

// The time/div sequence in seconds, 1 ps to 50 s, as the user would type it.
QList<double> timeSequence()
{
    QList<double> out;
    for (int e = -12; e <= 1; ++e) {
        for (const char *m : {"1", "2", "5"})
            out << QByteArray(m).append('e').append(QByteArray::number(e)).toDouble();
    }
    return out;
}
} // namespace

class TestScaleSteps : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        resetApp();
        g_shown = PercentShown{};
        SetWaveLoadPercentSink(nullptr);
    }

    void unscaleVoltsPerDiv_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("probe");
        QTest::addColumn<QString>("expected");
        QTest::newRow("not in the 2X column") << "20.0V" << "2X" << "10.0V";
        QTest::newRow("1.00kV at 1000X") << "1.00kV" << "1000X" << "1.00V";
        QTest::newRow("1kV is not 1.00kV") << "1kV" << "1000X" << "10.0V";
        QTest::newRow("probe 3X") << "1.00V" << "3X" << "";
        QTest::newRow("lower-case probe") << "1.00V" << "10x" << "";
        QTest::newRow("1X unchanged") << "7.3mV" << "1X" << "7.3mV";
        QTest::newRow("2X first row") << "2.00mV" << "2X" << "1.00mV";
        QTest::newRow("5X 25.0mV") << "25.0mV" << "5X" << "5.00mV";
        QTest::newRow("10X 100V") << "100V" << "10X" << "10.0V";
        QTest::newRow("50X 250V") << "250V" << "50X" << "5.00V";
        QTest::newRow("100X 500V") << "500V" << "100X" << "5.00V";
        QTest::newRow("500X writes 1000V") << "1000V" << "500X" << "2.00V";
        QTest::newRow("500X writes 2500V") << "2500V" << "500X" << "5.00V";
        QTest::newRow("500X has no 1.00kV") << "1.00kV" << "500X" << "10.0V";
        QTest::newRow("1000X 5.00kV") << "5.00kV" << "1000X" << "5.00V";
        QTest::newRow("1000X 1.00V") << "1.00V" << "1000X" << "1.00mV";
        QTest::newRow("case matters") << "100mv" << "10X" << "10.0V";
    }
    void unscaleVoltsPerDiv()
    {
        QFETCH(QString, text);
        QFETCH(QString, probe);
        QFETCH(QString, expected);
        QCOMPARE(UnscaleVoltsPerDiv(text, probe), expected);
    }

    void levelToVolts_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<float>("scale");
        QTest::addColumn<float>("volts");
        QTest::newRow("12 at 1 V/div") << 12 << 1.0f << 0.48f;
        QTest::newRow("25 at 0.5 V/div") << 25 << 0.5f << 0.5f;
        QTest::newRow("-100 at 2 mV/div") << -100 << 0.002f << -0.008f;
        QTest::newRow("zero scale") << 50 << 0.0f << 0.0f;
        QTest::newRow("largest level") << 32767 << 10.0f << 13106.8f;
    }
    void levelToVolts()
    {
        QFETCH(int, level);
        QFETCH(float, scale);
        QFETCH(float, volts);
        QCOMPARE(LevelToVolts(qint16(level), scale), volts);
    }

    void voltsToLevel_data()
    {
        QTest::addColumn<float>("volts");
        QTest::addColumn<float>("scale");
        QTest::addColumn<int>("level");
        QTest::newRow("12.5 rounds to even") << 0.5f << 1.0f << 12;
        QTest::newRow("13.5 rounds to even") << 0.54f << 1.0f << 14;
        QTest::newRow("-12.5 rounds to even") << -0.5f << 1.0f << -12;
        QTest::newRow("0.48 V at 1 V/div") << 0.48f << 1.0f << 12;
        QTest::newRow("one division") << 0.002f << 0.002f << 25;
        QTest::newRow("back from LevelToVolts") << LevelToVolts(-37, 0.05f) << 0.05f << -37;
        // Zero scale and out-of-range quotients give 0 or the nearest bound,
        // never an error.
        QTest::newRow("zero scale") << 1.0f << 0.0f << 0;
        QTest::newRow("zero volts, zero scale") << 0.0f << 0.0f << 0;
        QTest::newRow("above the range") << 2000.0f << 1.0f << 32767;
        QTest::newRow("just above the range") << 1310.7f << 1.0f << 32767;
        QTest::newRow("below the range") << -2000.0f << 1.0f << -32768;
        QTest::newRow("tiny scale") << 1.0f << 1e-30f << 32767;
        QTest::newRow("infinite volts") << -kInff << 1.0f << -32768;
        QTest::newRow("nan volts") << kNaNf << 1.0f << 0;
        QTest::newRow("nan scale") << 1.0f << kNaNf << 0;
        QTest::newRow("infinite scale") << 1.0f << kInff << 0;
    }
    void voltsToLevel()
    {
        QFETCH(float, volts);
        QFETCH(float, scale);
        QFETCH(int, level);
        QCOMPARE(int(VoltsToLevel(volts, scale)), level);
    }

    void hexToNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("all F") << "FFFFFFFF" << 4294967295.0;
        QTest::newRow("lower case") << "0000abcd" << 43981.0;
        QTest::newRow("mixed") << "0000aBcD" << 43981.0;
        QTest::newRow("last eight characters") << "12300000010" << 16.0;
        QTest::newRow("other characters count 0") << "0000 G-1" << 1.0;
        QTest::newRow("zero") << "00000000" << 0.0;
        // A text shorter than eight characters gives 0, not an error.
        QTest::newRow("short") << "FF" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
    }
    void hexToNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(HexToNumber(text), expected);
    }

    void picosToSeconds_data()
    {
        QTest::addColumn<qint32>("low");
        QTest::addColumn<qint32>("high");
        QTest::addColumn<double>("seconds");
        QTest::newRow("low -1 is unsigned") << qint32(-1) << qint32(0) << 0.004294967295;
        QTest::newRow("high 1") << qint32(0) << qint32(1) << 0.004294967296;
        QTest::newRow("1 ns") << qint32(1000) << qint32(0) << 1e-9;
        QTest::newRow("10 s") << qint32(1316134912) << qint32(2328) << 10.0;
        QTest::newRow("zero") << qint32(0) << qint32(0) << 0.0;
        // -2000 ps: both words of the count's two's complement.
        QTest::newRow("-2 ns") << qint32(-2000) << qint32(-1) << -2e-9;
        QTest::newRow("-1 ps") << qint32(-1) << qint32(-1) << -1e-12;
    }
    void picosToSeconds()
    {
        QFETCH(qint32, low);
        QFETCH(qint32, high);
        QFETCH(double, seconds);
        QCOMPARE(PicosToSeconds(low, high), seconds);
    }

    void stepVolts_data()
    {
        QTest::addColumn<float>("volts");
        QTest::addColumn<int>("steps");
        QTest::addColumn<float>("expected");
        QTest::newRow("2 mV up") << 0.002f << 1 << 0.005f;
        QTest::newRow("2 mV down stays") << 0.002f << -1 << 0.002f;
        QTest::newRow("3 mV up") << 0.003f << 1 << 0.005f;
        QTest::newRow("3 mV down") << 0.003f << -1 << 0.002f;
        QTest::newRow("0.1 V up 3") << 0.1f << 3 << 1.0f;
        QTest::newRow("10 V up stays") << 10.0f << 1 << 10.0f;
        QTest::newRow("20 V down stays") << 20.0f << -1 << 20.0f;
        QTest::newRow("10 V down") << 10.0f << -1 << 5.0f;
        QTest::newRow("5 V up") << 5.0f << 1 << 10.0f;
        QTest::newRow("1 V down 4") << 1.0f << -4 << 0.05f;
        QTest::newRow("up far beyond the top") << 0.002f << 30000 << 10.0f;
        QTest::newRow("down far beyond the floor") << 10.0f << -32768 << 0.002f;
        QTest::newRow("steps 0 rounds to microvolts") << 0.0012345f << 0 << 0.001234f;
        QTest::newRow("steps 0 leaves a sequence value") << 0.5f << 0 << 0.5f;
        QTest::newRow("below the sequence up") << 0.0f << 1 << 0.005f;
        QTest::newRow("negative up") << -1.0f << 1 << 0.005f;
        QTest::newRow("below the sequence down") << 0.001f << -1 << 0.002f;
        QTest::newRow("between values down") << 0.3f << -1 << 0.2f;
    }
    void stepVolts()
    {
        QFETCH(float, volts);
        QFETCH(int, steps);
        QFETCH(float, expected);
        QCOMPARE(StepVolts(volts, qint16(steps)), expected);
    }

    void stepVoltsFine_data()
    {
        QTest::addColumn<float>("volts");
        QTest::addColumn<int>("steps");
        QTest::addColumn<float>("expected");
        QTest::newRow("2 mV up") << 0.002f << 1 << 0.00205f;
        QTest::newRow("5 mV up") << 0.005f << 1 << 0.0051f;
        QTest::newRow("5 mV down") << 0.005f << -1 << 0.00495f;
        QTest::newRow("2 mV down stays") << 0.002f << -1 << 0.002f;
        QTest::newRow("1.5 mV up stays") << 0.0015f << 1 << 0.0015f;
        QTest::newRow("10 V up stays") << 10.0f << 1 << 10.0f;
        QTest::newRow("10 V down") << 10.0f << -1 << 9.9f;
        QTest::newRow("crossing 5 mV") << 0.00499f << 2 << 0.00514f;
        QTest::newRow("1 V up 3") << 1.0f << 3 << 1.06f;
        QTest::newRow("20 V down stays") << 20.0f << -1 << 20.0f;
        QTest::newRow("up to the top") << 0.002f << 32767 << 10.0f;
        QTest::newRow("down to the floor") << 10.0f << -32768 << 0.002f;
        // Off the grid of fine steps: the ends of the sequence still hold.
        QTest::newRow("off grid down stops at 2 mV") << 0.00203f << -1 << 0.002f;
        QTest::newRow("off grid down twice stays at 2 mV") << 0.00206f << -2 << 0.002f;
        QTest::newRow("off grid up stops at 10 V") << 9.95f << 1 << 10.0f;
    }
    void stepVoltsFine()
    {
        QFETCH(float, volts);
        QFETCH(int, steps);
        QFETCH(float, expected);
        QCOMPARE(StepVoltsFine(volts, qint16(steps)), expected);
    }

    void stepTimebase_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("direction");
        QTest::addColumn<double>("expected");
        QTest::newRow("1 ps down stays") << 1e-12 << -1 << 1e-12;
        QTest::newRow("5 ns down") << 5e-9 << -1 << 2e-9;
        QTest::newRow("2 ns up") << 2e-9 << 1 << 5e-9;
        QTest::newRow("10 s up") << 10.0 << 1 << 20.0;
        QTest::newRow("50 s up stays") << 50.0 << 1 << 50.0;
        QTest::newRow("100 s up stays") << 100.0 << 1 << 100.0;
        QTest::newRow("100 s down stays") << 100.0 << -1 << 100.0;
        // 1 ns, 2 ns and 500 ps carry an artefact of seconds x 1e12.
        QTest::newRow("1 ns up") << 1e-9 << 1 << 2e-9;
        QTest::newRow("1 ns down") << 1e-9 << -1 << 5e-10;
        QTest::newRow("2 ns down") << 2e-9 << -1 << 1e-9;
        QTest::newRow("500 ps up") << 5e-10 << 1 << 1e-9;
        QTest::newRow("500 ps down") << 5e-10 << -1 << 2e-10;
        QTest::newRow("a time that went through single precision") << double(2e-9f) << 1 << 5e-9;
        QTest::newRow("direction size does not matter") << 1e-3 << 7 << 2e-3;
        QTest::newRow("direction 0 is down") << 1e-3 << 0 << 5e-4;
        QTest::newRow("between 2 and 5 ns up") << 3e-9 << 1 << 5e-9;
        QTest::newRow("between 2 and 5 ns down") << 3e-9 << -1 << 2e-9;
        QTest::newRow("below 1 ps up") << 1e-13 << 1 << 1e-12;
        QTest::newRow("just below 2 ns up") << 1.999e-9 << 1 << 2e-9;
        QTest::newRow("just below 2 ns down") << 1.999e-9 << -1 << 1e-9;
        QTest::newRow("just above 2 ns up") << 2.001e-9 << 1 << 5e-9;
        QTest::newRow("zero down") << 0.0 << -1 << 1e-12;
        QTest::newRow("negative up") << -1.0 << 1 << 1e-12;
        QTest::newRow("between 20 and 50 s up") << 30.0 << 1 << 50.0;
    }
    void stepTimebase()
    {
        QFETCH(double, seconds);
        QFETCH(int, direction);
        QFETCH(double, expected);
        QCOMPARE(StepTimebase(seconds, qint16(direction)), expected);
    }

    void stepTimebaseWalksTheWholeSequence()
    {
        // From each end of the sequence to the other, one place at a time.
        const QList<double> seq = timeSequence();
        QCOMPARE(seq.size(), 42);
        double t = seq.first();
        for (int k = 1; k < seq.size(); ++k) {
            t = StepTimebase(t, 1);
            QCOMPARE(t, seq[k]);
        }
        QCOMPARE(StepTimebase(t, 1), seq.last());
        for (int k = seq.size() - 2; k >= 0; --k) {
            t = StepTimebase(t, -1);
            QCOMPARE(t, seq[k]);
        }
        QCOMPARE(StepTimebase(t, -1), seq.first());
        // Each place typed by the user steps to its neighbours.
        for (int k = 0; k < seq.size(); ++k) {
            QCOMPARE(StepTimebase(seq[k], 1), seq[std::min(k + 1, int(seq.size()) - 1)]);
            QCOMPARE(StepTimebase(seq[k], -1), seq[std::max(k - 1, 0)]);
        }
    }

    void stepTimebaseKeepsNaN()
    {
        QVERIFY(std::isnan(StepTimebase(std::nan(""), 1)));
    }

    void waveLoadPercent_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("calls");
        QTest::addColumn<QString>("text");
        QTest::newRow("45 in slot 0") << 0 << 45 << 1 << "45%";
        QTest::newRow("1 in slot 17") << 17 << 1 << 1 << "1%";
        QTest::newRow("100") << 3 << 100 << 1 << "100%";
        QTest::newRow("slot -1 shows nothing") << -1 << 45 << 0 << "";
        QTest::newRow("slot 18 shows nothing") << 18 << 45 << 0 << "";
    }
    void waveLoadPercent()
    {
        QFETCH(int, slot);
        QFETCH(int, percent);
        QFETCH(int, calls);
        QFETCH(QString, text);
        ShowWaveLoadPercent(slot, percent); // no sink yet: nothing happens
        QCOMPARE(g_shown.calls, 0);
        SetWaveLoadPercentSink(recordPercent);
        {
            CommaLocale comma;
            ShowWaveLoadPercent(slot, percent);
        }
        QCOMPARE(g_shown.calls, calls);
        if (calls) {
            QCOMPARE(g_shown.slot, slot);
            QCOMPARE(g_shown.text, text);
            QCOMPARE(WaveLoadPercentText(percent), text);
        }
    }
};

QTEST_GUILESS_MAIN(TestScaleSteps)
#include "tst_scalesteps.moc"
