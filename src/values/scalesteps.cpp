#include "values/scalesteps.h"

#include "values/numbertext.h"
#include "values/rounding.h"

#include <algorithm>
#include <cmath>

namespace {

// Rows of the probe table: the 1X text, then the texts at 2X, 5X, 10X, 50X,
// 100X, 500X and 1000X.
constexpr int kProbeColumns = 8;
const char16_t *const kProbeRatios[kProbeColumns] = {u"1X", u"2X", u"5X", u"10X", u"50X", u"100X", u"500X", u"1000X"};
const char16_t *const kProbeTable[][kProbeColumns] = {
    {u"1.00mV", u"2.00mV", u"5.00mV", u"10.0mV", u"50.0mV", u"100mV", u"500mV", u"1.00V"},
    {u"2.00mV", u"4.00mV", u"10.0mV", u"20.0mV", u"100mV", u"200mV", u"1.00V", u"2.00V"},
    {u"5.00mV", u"10.0mV", u"25.0mV", u"50.0mV", u"250mV", u"500mV", u"2.50V", u"5.00V"},
    {u"10.0mV", u"20.0mV", u"50.0mV", u"100mV", u"500mV", u"1.00V", u"5.00V", u"10.0V"},
    {u"20.0mV", u"40.0mV", u"100mV", u"200mV", u"1.00V", u"2.00V", u"10.0V", u"20.0V"},
    {u"50.0mV", u"100mV", u"250mV", u"500mV", u"2.50V", u"5.00V", u"25.0V", u"50.0V"},
    {u"100mV", u"200mV", u"500mV", u"1.00V", u"5.00V", u"10.0V", u"50.0V", u"100V"},
    {u"200mV", u"400mV", u"1.00V", u"2.00V", u"10.0V", u"20.0V", u"100V", u"200V"},
    {u"500mV", u"1.00V", u"2.50V", u"5.00V", u"25.0V", u"50.0V", u"250V", u"500V"},
    {u"1.00V", u"2.00V", u"5.00V", u"10.0V", u"50.0V", u"100V", u"500V", u"1.00kV"},
    {u"2.00V", u"4.00V", u"10.0V", u"20.0V", u"100V", u"200V", u"1000V", u"2.00kV"},
    {u"5.00V", u"10.0V", u"25.0V", u"50.0V", u"250V", u"500V", u"2500V", u"5.00kV"},
};

// The volts/div sequence in microvolts.
constexpr double kVoltSteps[] = {2000, 5000, 10000, 20000, 50000, 100000, 200000, 500000, 1000000, 2000000,
    5000000, 10000000};
constexpr int kVoltStepCount = int(sizeof kVoltSteps / sizeof kVoltSteps[0]);

double microvolts(float volts)
{
    return RoundHalfEven(double(volts) * 1000000.0);
}

float toVolts(double microvolts)
{
    return float(microvolts / 1000000.0);
}

double stepUp(double n)
{
    // The floor 2 mV is never a step up: below 5 mV goes to 5 mV.
    for (int k = 1; k < kVoltStepCount; ++k) {
        if (n < kVoltSteps[k])
            return kVoltSteps[k];
    }
    return n; // at or above 10 V (and NaN)
}

double stepDown(double n)
{
    if (n <= kVoltSteps[1])
        return kVoltSteps[0];
    for (int k = 2; k < kVoltStepCount; ++k) {
        if (n <= kVoltSteps[k])
            return kVoltSteps[k - 1];
    }
    return n; // above 10 V (and NaN)
}

// The fine step of the range n lies in; 0 outside 2 mV..10 V. Up, the range
// includes its lower end; down, its upper end.
double fineStep(double n, bool up)
{
    for (int k = 1; k < kVoltStepCount; ++k) {
        const double lo = kVoltSteps[k - 1];
        const double hi = kVoltSteps[k];
        if (up ? (n >= lo && n < hi) : (n > lo && n <= hi))
            return hi / 100.0;
    }
    return 0.0;
}

// The time/div sequence in picoseconds: 1, 2, 5, 10 ... 20e12, 50e12.
constexpr int kTimeStepCount = 42;
struct TimeSteps {
    double v[kTimeStepCount];
};
constexpr TimeSteps makeTimeSteps()
{
    TimeSteps s{};
    double decade = 1.0;
    for (int k = 0; k < kTimeStepCount; k += 3) {
        s.v[k] = decade;
        s.v[k + 1] = 2 * decade;
        s.v[k + 2] = 5 * decade;
        decade *= 10;
    }
    return s;
}
constexpr TimeSteps kTimeSteps = makeTimeSteps();

// How far above a place a value may lie and still count as that place. The
// places differ by a factor of 2 or 2.5, so this cannot join two of them; it
// covers the artefacts of seconds x 1e12 and of times that passed through
// single precision.
constexpr double kTimeTolerance = 1e-6;

WaveLoadPercentSink g_percentSink = nullptr;

} // namespace

QString UnscaleVoltsPerDiv(QStringView voltsPerDiv, QStringView probe)
{
    int column = -1;
    for (int c = 0; c < kProbeColumns; ++c) {
        if (probe == QStringView(kProbeRatios[c]))
            column = c;
    }
    if (column < 0)
        return QString();
    if (column == 0)
        return voltsPerDiv.toString();
    for (const auto &row : kProbeTable) {
        if (voltsPerDiv == QStringView(row[column]))
            return QString::fromUtf16(row[0]);
    }
    return QStringLiteral("10.0V");
}

float LevelToVolts(qint16 level, float scale)
{
    return float(double(level) / 25.0 * double(scale));
}

qint16 VoltsToLevel(float volts, float scale)
{
    if (scale == 0.0f)
        return 0;
    const double level = RoundHalfEven(double(volts) / double(scale) * 25.0);
    if (std::isnan(level))
        return 0;
    if (level >= 32767.0)
        return 32767;
    if (level <= -32768.0)
        return -32768;
    return qint16(level);
}

double HexToNumber(QStringView text)
{
    if (text.size() < 8)
        return 0.0;
    const QStringView digits = text.right(8);
    double sum = 0.0;
    double weight = 1.0;
    for (qsizetype k = 7; k >= 0; --k) {
        const QChar c = digits[k];
        double d;
        if (c >= u'A' && c <= u'F')
            d = c.unicode() - u'A' + 10;
        else if (c >= u'a' && c <= u'f')
            d = c.unicode() - u'a' + 10;
        else
            d = ReadNumber(digits.mid(k, 1));
        sum += d * weight;
        weight *= 16.0;
    }
    return sum;
}

double PicosToSeconds(qint32 low, qint32 high)
{
    // The count itself is exact in a double (up to 2^53 ps); dividing once
    // keeps a small negative count (a delay before the trigger) exact too.
    return (double(quint32(low)) + double(high) * 4294967296.0) / 1000000000000.0;
}

float StepVolts(float volts, qint16 steps)
{
    double n = microvolts(volts);
    const int count = steps > 0 ? steps : -int(steps);
    for (int k = 0; k < count; ++k) {
        const double next = steps > 0 ? stepUp(n) : stepDown(n);
        if (next == n)
            break;
        n = next;
    }
    return toVolts(n);
}

float StepVoltsFine(float volts, qint16 steps)
{
    double n = microvolts(volts);
    const bool up = steps > 0;
    const int count = up ? steps : -int(steps);
    for (int k = 0; k < count; ++k) {
        const double step = fineStep(n, up);
        if (step == 0.0)
            break;
        // A value off the steps' grid (a scale read back at another probe
        // ratio) does not step past either end of the sequence.
        n = up ? std::min(n + step, kVoltSteps[kVoltStepCount - 1]) : std::max(n - step, kVoltSteps[0]);
    }
    return toVolts(n);
}

double StepTimebase(double seconds, qint16 direction)
{
    const double t = seconds * 1000000000000.0;
    for (int k = 0; k < kTimeStepCount; ++k) {
        const double r = kTimeSteps.v[k];
        if (t <= r * (1.0 + kTimeTolerance)) {
            const bool onPlace = t >= r * (1.0 - kTimeTolerance);
            int to;
            if (direction > 0)
                to = onPlace ? std::min(k + 1, kTimeStepCount - 1) : k;
            else
                to = std::max(k - 1, 0);
            return kTimeSteps.v[to] / 1000000000000.0;
        }
    }
    return seconds; // above 50 s (and NaN)
}

QString WaveLoadPercentText(int wavePercent)
{
    return ApplyNumberPattern(wavePercent / 100.0, u"0%");
}

void SetWaveLoadPercentSink(WaveLoadPercentSink sink)
{
    g_percentSink = sink;
}

void ShowWaveLoadPercent(int slot, int wavePercent)
{
    if (slot < 0 || slot > 17 || !g_percentSink)
        return;
    g_percentSink(slot, WaveLoadPercentText(wavePercent));
}
