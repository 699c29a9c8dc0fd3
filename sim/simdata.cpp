// The simulator's data side: signals, waveform blocks, the setup block, the
// measurements, the screen image, and the actions that act on the signals
// (auto set, trigger to 50 %, knobs).

#include "sim/qm4100sim.h"
#include "sim/simlimits.h"
#include "sim/simprivate.h"

#include "common/setupblock.h"
#include "platform/clock.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace qm4100simdetail;

namespace {

constexpr double kPi = 3.14159265358979323846;

int clampLevel(double level)
{
    if (!std::isfinite(level))
        return level > 0 ? 255 : 0;
    return int(std::lround(std::clamp(level, 0.0, 255.0)));
}

double nearest125(double x, double lo, double hi)
{
    if (!(x > 0))
        return lo;
    double best = lo, bestDist = 1e300;
    for (int e = -12; e <= 6; ++e) {
        for (double m : {1.0, 2.0, 5.0}) {
            double c = m * std::pow(10.0, e);
            if (c < lo * 0.999 || c > hi * 1.001)
                continue;
            double dist = std::fabs(std::log(c / x));
            if (dist < bestDist) {
                bestDist = dist;
                best = c;
            }
        }
    }
    return best;
}

} // namespace

// ---------------------------------------------------------------------------
// Scales and signals

double Qm4100Sim::channelScale(int ch) const
{
    double s = num(":CHANNEL" + QByteArray::number(ch) + ":SCALE");
    return s > 0 ? s : 1.0;
}

double Qm4100Sim::channelOffset(int ch) const
{
    return num(":CHANNEL" + QByteArray::number(ch) + ":OFFSET");
}

double Qm4100Sim::timeScale(int ch) const
{
    double s = values_.value(":TRIGGER:MODE") == "ALTERNATION"
                   ? num(storageKeyFor(":TRIGGER:ALTERNATION:TIMESCALE", ch))
                   : num(":TIMEBASE:SCALE");
    return s > 0 ? s : 1e-5;
}

double Qm4100Sim::timeOffset(int ch) const
{
    return values_.value(":TRIGGER:MODE") == "ALTERNATION"
               ? num(storageKeyFor(":TRIGGER:ALTERNATION:TIMEOFFSET", ch))
               : num(":TIMEBASE:OFFSET");
}

double Qm4100Sim::sampleRate(int ch) const
{
    return std::min(1e9, 4000.0 / (12.0 * timeScale(ch)));
}

double Qm4100Sim::signalAt(int ch, double t) const
{
    const Signal &s = signals_[ch == 2 ? 1 : 0];
    double a = s.vpp / 2;
    if (s.shape == Shape::Dc || !(s.frequencyHz > 0) || !std::isfinite(t))
        return s.dcVolts;
    double x = s.frequencyHz * t;
    double p = x - std::floor(x);   // phase 0..1
    switch (s.shape) {
    case Shape::Sine:
        return s.dcVolts + a * std::sin(2 * kPi * p);
    case Shape::Square:
        return s.dcVolts + (p < 0.5 ? a : -a);
    case Shape::Triangle:
        if (p < 0.25)
            return s.dcVolts + a * 4 * p;
        if (p < 0.75)
            return s.dcVolts + a * (2 - 4 * p);
        return s.dcVolts + a * (4 * p - 4);
    case Shape::Dc:
        break;
    }
    return s.dcVolts;
}

Qm4100Sim::InputPath Qm4100Sim::inputPath(int ch) const
{
    const QByteArray c = ":CHANNEL" + QByteArray::number(ch);
    const QByteArray coupling = values_.value(c + ":COUPLING");
    InputPath path;
    path.grounded = coupling == "GND";
    if (coupling == "AC")
        path.removedDc = signals_[ch == 2 ? 1 : 0].dcVolts;
    const double probe = num(c + ":PROBE");
    path.probe = probe > 0 ? probe : 1.0;
    return path;
}

double Qm4100Sim::displayedVolts(const InputPath &path, int ch, double t) const
{
    if (path.grounded)
        return 0;
    return (signalAt(ch, t) - path.removedDc) * path.probe;
}

double Qm4100Sim::displayedVolts(int ch, double t) const
{
    return displayedVolts(inputPath(ch), ch, t);
}

double Qm4100Sim::signalMiddle(int ch) const
{
    const QByteArray c = ":CHANNEL" + QByteArray::number(ch);
    const QByteArray coupling = values_.value(c + ":COUPLING");
    if (coupling == "GND" || coupling == "AC")
        return 0;
    double probe = num(c + ":PROBE");
    return signals_[ch == 2 ? 1 : 0].dcVolts * (probe > 0 ? probe : 1.0);
}

QVector<double> Qm4100Sim::channelVolts(int ch) const
{
    QVector<double> v(600);
    const double ts = timeScale(ch), to = timeOffset(ch);
    const InputPath path = inputPath(ch);
    for (int i = 0; i < 600; ++i)
        v[i] = displayedVolts(path, ch, (i - 300) * ts / 50.0 + to);
    return v;
}

QVector<double> Qm4100Sim::pointLevels(int ch) const
{
    QVector<double> v = channelVolts(ch);
    double s = channelScale(ch), o = channelOffset(ch);
    for (double &x : v)
        x = 125.0 - 25.0 * (x + o) / s;
    return v;
}

// ---------------------------------------------------------------------------
// Blocks

QByteArray Qm4100Sim::analogBlock(int ch) const
{
    QVector<double> lv = pointLevels(ch);
    bool mirror = values_.value(":CHANNEL" + QByteArray::number(ch) + ":INVERT") == "ON" && !running_;
    QByteArray b(601, '\0');
    for (int i = 0; i < 600; ++i)
        b[i] = char(mirror ? std::clamp(250 - clampLevel(lv[i]), 0, 255) : clampLevel(lv[i]));
    b[600] = '\n';
    return b;
}

QByteArray Qm4100Sim::mathBlock() const
{
    QVector<double> a = channelVolts(1), c = channelVolts(2);
    double s = channelScale(1);
    QByteArray b(601, '\0');
    for (int i = 0; i < 600; ++i) {
        double v = a[i];
        switch (mathFunction_) {
        case 0: v = a[i] + c[i]; break;
        case 1: v = a[i] - c[i]; break;
        case 2: v = a[i] * c[i]; break;
        default: break;
        }
        b[i] = char(clampLevel(125.0 - 25.0 * v / s));
    }
    b[600] = '\n';
    return b;
}

QByteArray Qm4100Sim::fftBlock() const
{
    constexpr int N = 1024;
    struct Table {
        double c[N], s[N];
        Table()
        {
            for (int j = 0; j < N; ++j) {
                c[j] = std::cos(2 * kPi * j / N);
                s[j] = std::sin(2 * kPi * j / N);
            }
        }
    };
    static const Table table;
    const double *cosT = table.c, *sinT = table.s;
    double fs = sampleRate(1);
    double x[N];
    double sumW = 0;
    const InputPath path = inputPath(1);
    for (int j = 0; j < N; ++j) {
        double w = 0.5 - 0.5 * cosT[j];
        x[j] = displayedVolts(path, 1, j / fs) * w;
        sumW += w;
    }
    QByteArray b(513, '\0');
    for (int k = 0; k < 512; ++k) {
        double re = 0, im = 0;
        for (int j = 0; j < N; ++j) {
            int idx = (j * k) & (N - 1);
            re += x[j] * cosT[idx];
            im -= x[j] * sinT[idx];
        }
        double amp = std::hypot(re, im) / sumW * (k == 0 ? 1.0 : 2.0);
        double vrms = k == 0 ? amp : amp / std::sqrt(2.0);
        double db = 20.0 * std::log10(std::max(vrms, 1e-5));
        int level;
        if (fftFullScreen_) {
            level = clampLevel(125.0 - 25.0 * db / 20.0);
        } else {
            int r = int(std::lround(std::clamp(50.0 - 25.0 * db / 20.0, 0.0, 99.0)));
            level = 13 + r;
        }
        b[k] = char(level);
    }
    b[512] = '\n';
    return b;
}

QByteArray Qm4100Sim::digitalBlock() const
{
    QByteArray b(1201, '\0');
    for (int w = 0; w < 600; ++w) {
        int word = (counterStart_ + w) & 0xFFFF;
        b[2 * w] = char(word & 0xFF);
        b[2 * w + 1] = char((word >> 8) & 0xFF);
    }
    b[1200] = '\n';
    return b;
}

QByteArray Qm4100Sim::waveformBlock(const QByteArray &source) const
{
    if (source == "CHANNEL1")
        return analogBlock(1);
    if (source == "CHANNEL2")
        return analogBlock(2);
    if (source == "MATH")
        return mathBlock();
    if (source == "FFT")
        return fftBlock();
    if (source == "DIGITAL")
        return digitalBlock();
    return QByteArray();
}

int Qm4100Sim::rollLastColumn() const
{
    if (values_.value(":TIMEBASE:FORMAT") != "SCANNING")
        return 299;
    qint64 elapsed = rollFrozenMs_ >= 0 ? rollFrozenMs_ : appClock().nowMs() - rollStartMs_;
    double columnMs = 2.0 * timeScale(1) / 50.0 * 1000.0;
    double cols = columnMs > 0 ? double(elapsed) / columnMs : 299.0;
    return int(std::clamp(std::floor(cols), 0.0, 299.0));
}

QByteArray Qm4100Sim::setupBlock() const
{
    SetupBlock b;
    const qint16 last = qint16(rollLastColumn());
    b.FirstPoint = b.CH1FirstPoint = b.CH2FirstPoint = 0;
    b.LastPoint = b.CH1LastPoint = b.CH2LastPoint = last;
    b.RollOn = values_.value(":TIMEBASE:FORMAT") == "SCANNING" ? 1 : 0;
    b.CH1Valid = values_.value(":CHANNEL1:DISPLAY") == "ON" ? 1 : 0;
    b.CH2Valid = values_.value(":CHANNEL2:DISPLAY") == "ON" ? 1 : 0;
    b.MathValid = mathOn_ && !fftOn_ ? 1 : 0;
    b.MathOperation = quint8(mathFunction());   // 3 while the FFT is on
    b.MathPosition = 0;
    b.MathScale = float(channelScale(1));
    b.FFTValid = fftOn_ ? 1 : 0;
    b.AltMathLower = 0;
    b.FFTFullScreen = fftFullScreen_ ? 1 : 0;
    b.FFTDecibelScale = 1;
    b.FFTScaleVrms = 1.0f;
    b.FFTScaleDB = 20;
    b.FFTPosition = 0;
    b.FFTHzPerDiv = float(sampleRate(1) * 50.0 / 1024.0);
    b.FFTSpanCode = 4;
    b.FFTCentre = 150;
    b.LAValid = values_.value(":LA:DISPLAY") == "ON" ? 1 : 0;
    b.LAShownMask = qint16(quint16(values_.value(":LA:STATUS").toInt()));
    const bool big1 = values_.value(":LA:GROUP1:SIZE") == "BIG";
    const bool big2 = values_.value(":LA:GROUP2:SIZE") == "BIG";
    for (int k = 0; k < 16; ++k) {
        const bool big = k < 8 ? big1 : big2;
        const int p = logicPos_[k];
        b.LARow[k] = qint16(big ? 222 - 24 * (p % 8) : 222 - 12 * p);
    }
    b.LASelected = quint8(selectedLogic_);
    b.LAHeightD0D7 = big1 ? 18 : 9;
    b.LAHeightD8D15 = big2 ? 18 : 9;
    return b.encode();
}

// ---------------------------------------------------------------------------
// Measurements

QByteArray Qm4100Sim::measurement(const QByteArray &keyword, int ch) const
{
    const QByteArray invalid = "****";
    if (values_.value(":CHANNEL" + QByteArray::number(ch) + ":DISPLAY") != "ON")
        return invalid;
    const double s = channelScale(ch), o = channelOffset(ch);
    const double dt = timeScale(ch) / 50.0;
    QVector<double> lv = pointLevels(ch);
    const int n = lv.size();
    QVector<double> v(n);
    int hist[256] = {};
    double binSum[256] = {};
    for (int i = 0; i < n; ++i) {
        double l = std::clamp(std::isfinite(lv[i]) ? lv[i] : 255.0, 0.0, 255.0);
        v[i] = (125.0 - l) * s / 25.0 - o;
        ++hist[clampLevel(l)];
        binSum[clampLevel(l)] += v[i];
    }
    const double vmax = *std::max_element(v.begin(), v.end());
    const double vmin = *std::min_element(v.begin(), v.end());
    // the mean of the points in a level's bin
    auto levelVolts = [&](int l) { return binSum[l] / hist[l]; };
    int lmin = 255, lmax = 0;
    for (int l = 0; l < 256; ++l)
        if (hist[l]) {
            lmin = std::min(lmin, l);
            lmax = std::max(lmax, l);
        }
    double midLevel = (lmin + lmax) / 2.0;
    int topL = -1, baseL = -1;
    for (int l = lmin; l <= lmax; ++l) {
        if (l <= midLevel && (topL < 0 || hist[l] > hist[topL]))
            topL = l;
        if (l >= midLevel && (baseL < 0 || hist[l] > hist[baseL]))
            baseL = l;
    }
    double top = (topL >= 0 && hist[topL] >= 0.05 * n) ? std::min(vmax, levelVolts(topL)) : vmax;
    double base = (baseL >= 0 && hist[baseL] >= 0.05 * n) ? std::max(vmin, levelVolts(baseL)) : vmin;
    if (top < base)
        std::swap(top, base);
    const double amp = top - base;

    QVector<double> rising, falling;   // crossing times in points
    QVector<int> risingIdx, fallingIdx;
    const double mid = base + amp / 2, lo = base + 0.1 * amp, hi = base + 0.9 * amp;
    if (amp > 0) {
        for (int i = 1; i < n; ++i) {
            if (v[i - 1] < mid && v[i] >= mid) {
                rising.append(i - 1 + (mid - v[i - 1]) / (v[i] - v[i - 1]));
                risingIdx.append(i);
            } else if (v[i - 1] >= mid && v[i] < mid) {
                falling.append(i - 1 + (v[i - 1] - mid) / (v[i - 1] - v[i]));
                fallingIdx.append(i);
            }
        }
    }
    double period = -1;
    if (rising.size() >= 2)
        period = (rising.last() - rising.first()) / (rising.size() - 1) * dt;
    else if (falling.size() >= 2)
        period = (falling.last() - falling.first()) / (falling.size() - 1) * dt;
    double pwidth = -1, nwidth = -1;
    for (double r : rising) {
        auto f = std::upper_bound(falling.begin(), falling.end(), r);
        if (f != falling.end()) {
            pwidth = (*f - r) * dt;
            break;
        }
    }
    for (double f : falling) {
        auto r = std::upper_bound(rising.begin(), rising.end(), f);
        if (r != rising.end()) {
            nwidth = (*r - f) * dt;
            break;
        }
    }
    auto edgeTime = [&](bool up) -> double {
        const QVector<int> &idx = up ? risingIdx : fallingIdx;
        for (int i : idx) {
            // back to the start threshold, forward to the end threshold
            const double from = up ? lo : hi, to = up ? hi : lo;
            int j = i - 1;
            while (j >= 0 && (up ? v[j] > from : v[j] < from))
                --j;
            if (j < 0)
                continue;
            double tFrom = j + (from - v[j]) / (v[j + 1] - v[j]);
            int m = i;
            while (m < n && (up ? v[m] < to : v[m] > to))
                ++m;
            if (m >= n)
                continue;
            double tTo = m - 1 + (to - v[m - 1]) / (v[m] - v[m - 1]);
            return (tTo - tFrom) * dt;
        }
        return -1;
    };
    int i0 = 0, i1 = n;
    if (risingIdx.size() >= 2) {
        i0 = risingIdx.first();
        i1 = risingIdx.last();
    }
    double sum = 0, sumSq = 0;
    for (int i = i0; i < i1; ++i) {
        sum += v[i];
        sumSq += v[i] * v[i];
    }
    const double count = std::max(1, i1 - i0);

    const QByteArray &k = keyword;
    auto time = [&](double t) { return t > 0 ? fmt4(t) : invalid; };
    if (k == "VPP") return fmt4(vmax - vmin);
    if (k == "VMAX") return fmt4(vmax);
    if (k == "VMIN") return fmt4(vmin);
    if (k == "VTOP") return fmt4(top);
    if (k == "VBASE") return fmt4(base);
    if (k == "VAMPLITUDE") return fmt4(amp);
    if (k == "VAVERAGE") return fmt4(sum / count);
    if (k == "VRMS") return fmt4(std::sqrt(sumSq / count));
    if (k == "PERIOD") return time(period);
    if (k == "FREQUENCY") return period > 0 ? fmt4(1.0 / period) : invalid;
    if (k == "PWIDTH") return time(pwidth);
    if (k == "NWIDTH") return time(nwidth);
    if (k == "PDUTYCYCLE") return period > 0 && pwidth > 0 ? fmt4(pwidth / period) : invalid;
    if (k == "NDUTYCYCLE") return period > 0 && nwidth > 0 ? fmt4(nwidth / period) : invalid;
    if (k == "RISETIME") return time(edgeTime(true));
    if (k == "FALLTIME") return time(edgeTime(false));
    if (k == "OVERSHOOT") return amp > 0 ? fmt4((vmax - top) / amp) : invalid;
    if (k == "PRESHOOT") return amp > 0 ? fmt4((base - vmin) / amp) : invalid;
    return invalid;
}

// ---------------------------------------------------------------------------
// Screen

namespace {

// The screen's 5 x 7 font: seven rows per glyph, bit 4 the leftmost column.
struct Glyph {
    char c;
    quint8 rows[7];
};

constexpr Glyph kFont[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'k', {0x10, 0x10, 0x12, 0x14, 0x18, 0x14, 0x12}}, {'m', {0x00, 0x00, 0x1A, 0x15, 0x15, 0x11, 0x11}},
    {'n', {0x00, 0x00, 0x16, 0x19, 0x11, 0x11, 0x11}}, {'p', {0x00, 0x00, 0x1E, 0x11, 0x1E, 0x10, 0x10}},
    {'s', {0x00, 0x00, 0x0E, 0x10, 0x0E, 0x01, 0x1E}}, {'u', {0x00, 0x00, 0x11, 0x11, 0x11, 0x13, 0x0D}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}, {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}}, {'/', {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00}},
    {'\\', {0x00, 0x10, 0x08, 0x04, 0x02, 0x01, 0x00}}, {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'%', {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03}}, {'<', {0x02, 0x04, 0x08, 0x10, 0x08, 0x04, 0x02}},
    {'>', {0x08, 0x04, 0x02, 0x01, 0x02, 0x04, 0x08}}, {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04}},
};

const Glyph *glyphOf(char c)
{
    for (const Glyph &g : kFont)
        if (g.c == c)
            return &g;
    return nullptr;   // drawn as a blank
}

} // namespace

// Layout of the screen (320 x 234):
//   rows 3..9     the run state at x 10, the menu line from x 46
//   rows 11..15   the trigger position marker above the graticule
//   rows 17..217  the graticule (300 x 200 at x 10), with the channels' ground
//                 markers left of it (x 2..8) and the trigger level markers
//                 right of it (x 312..318)
//   rows 219..225 the channels: volts/div, coupling, invert, bandwidth limit;
//                 MATH or FFT; LA
//   rows 227..233 time/div and delay, the trigger, the format, the acquisition
QByteArray Qm4100Sim::screenImage() const
{
    constexpr int W = 320, H = 234, L = 10, T = 17;
    const bool colour = colourScreen();
    const char cBorder = char(colour ? 0x92 : 128), cGrid = char(colour ? 0x49 : 64);
    const char cCh1 = char(colour ? 0xFC : 255), cCh2 = char(colour ? 0x1F : 200);
    const char cMath = char(colour ? 0xE3 : 160), cLogic = char(colour ? 0x1C : 220);
    const char cText = char(colour ? 0xFF : 240), cInfo = char(colour ? 0xB6 : 180);
    const char cTrig = char(colour ? 0xF4 : 230);
    QByteArray img(W * H, '\0');
    auto pix = [&](int x, int y, char c) {
        if (x >= 0 && x < W && y >= 0 && y < H)
            img[x + W * y] = c;
    };
    auto vline = [&](int x, int y0, int y1, char c) {
        if (y0 > y1)
            std::swap(y0, y1);
        for (int y = y0; y <= y1; ++y)
            pix(x, y, c);
    };
    // Text in the 5 x 7 font, 6 pixels a character; returns the x after it.
    auto text = [&](int x, int y, const QByteArray &s, char c) {
        for (char ch : s) {
            if (const Glyph *g = glyphOf(ch))
                for (int r = 0; r < 7; ++r)
                    for (int b = 0; b < 5; ++b)
                        if (g->rows[r] & (0x10 >> b))
                            pix(x + b, y + r, c);
            x += 6;
        }
        return x;
    };

    // graticule
    const QByteArray grid = values_.value(":DISPLAY:GRID");
    for (int c = 0; c <= 300; c += 5)
        for (int r = 25; r < 200; r += 25)
            if (grid == "FULL" || (grid == "HALF" && r == 100))
                pix(L + c, T + r, cGrid);
    for (int r = 0; r <= 200; r += 5)
        for (int c = 25; c < 300; c += 25)
            if (grid == "FULL" || (grid == "HALF" && c == 150))
                pix(L + c, T + r, cGrid);
    for (int c = 0; c <= 300; ++c) {
        pix(L + c, T, cBorder);
        pix(L + c, T + 200, cBorder);
    }
    vline(L, T, T + 200, cBorder);
    vline(L + 300, T, T + 200, cBorder);

    const bool vectors = values_.value(":DISPLAY:TYPE") == "VECTORS";
    const int lastCol = rollLastColumn();
    auto drawLevels = [&](const QVector<int> &rows, char c, int rowBase, int rowMax) {
        int prev = -1;
        for (int i = 0; i < rows.size() && i / 2 <= lastCol; ++i) {
            int r = std::clamp(rows[i], 0, rowMax) + rowBase;
            int x = L + i / 2;
            if (vectors && prev >= 0)
                vline(x, prev, T + r, c);
            else
                pix(x, T + r, c);
            prev = T + r;
        }
    };
    auto analogRows = [&](int ch) {
        QVector<double> lv = pointLevels(ch);
        bool inv = values_.value(":CHANNEL" + QByteArray::number(ch) + ":INVERT") == "ON";
        QVector<int> rows(lv.size());
        for (int i = 0; i < lv.size(); ++i)
            rows[i] = (inv ? std::clamp(250 - clampLevel(lv[i]), 0, 255) : clampLevel(lv[i])) - 25;
        return rows;
    };
    const bool ch1 = values_.value(":CHANNEL1:DISPLAY") == "ON";
    const bool ch2 = values_.value(":CHANNEL2:DISPLAY") == "ON";
    const bool laOn = values_.value(":LA:DISPLAY") == "ON";
    const QByteArray format = values_.value(":TIMEBASE:FORMAT");

    if (format == "X-Y") {
        QVector<int> x = analogRows(1), y = analogRows(2);
        for (int i = 0; i < 600; ++i)
            pix(L + 50 + std::clamp(200 - x[i], 0, 200), T + std::clamp(y[i], 0, 200), cCh1);
    } else {
        if (laOn) {
            const SetupBlock setup = SetupBlock::decode(setupBlock());
            int mask = values_.value(":LA:STATUS").toInt();
            QByteArray dig = digitalBlock();
            for (int k = 0; k < 16; ++k) {
                if (!(mask & (1 << k)))
                    continue;
                const int low = setup.LARow[k];
                const int height = k < 8 ? setup.LAHeightD0D7 : setup.LAHeightD8D15;
                QVector<int> rows(600);
                for (int w = 0; w < 600; ++w) {
                    int word = quint8(dig[2 * w]) | (quint8(dig[2 * w + 1]) << 8);
                    rows[w] = (low - 25) - (((word >> k) & 1) ? height - 1 : 0);
                }
                drawLevels(rows, cLogic, 0, 200);
            }
        }
        if (mathOn_) {
            if (fftOn_) {
                QByteArray f = fftBlock();
                QVector<int> rows(512);
                for (int i = 0; i < 512; ++i)
                    rows[i] = fftFullScreen_ ? quint8(f[i]) - 25 : quint8(f[i]) - 13;
                if (fftFullScreen_)
                    drawLevels(rows, cMath, 0, 200);
                else
                    drawLevels(rows, cMath, 100, 100);
            } else {
                QByteArray m = mathBlock();
                QVector<int> rows(600);
                for (int i = 0; i < 600; ++i)
                    rows[i] = quint8(m[i]) - 25;
                drawLevels(rows, cMath, 0, 200);
            }
        }
        if (ch2)
            drawLevels(analogRows(2), cCh2, 0, 200);
        if (ch1)
            drawLevels(analogRows(1), cCh1, 0, 200);
    }

    // A marker pointing at row r of the graticule (clamped to it): to the
    // right from the left margin, or to the left from the right margin.
    auto sideMarker = [&](int r, bool fromLeft, char c) {
        const int y = T + std::clamp(r, 0, 200);
        for (int d = -3; d <= 3; ++d)
            for (int w = 0; w < 7 - 2 * std::abs(d); ++w)
                pix(fromLeft ? 2 + w : 318 - w, y + d, c);
    };
    auto rowOfVolts = [&](double v, double scale, double offset) {
        const double level = 125.0 - 25.0 * (v + offset) / scale;
        return int(std::lround(std::clamp(level, -1000.0, 1000.0))) - 25;
    };
    // ground markers: where 0 V of each shown channel lies
    if (format != "X-Y") {
        if (ch2)
            sideMarker(rowOfVolts(0, channelScale(2), channelOffset(2)), true, cCh2);
        if (ch1)
            sideMarker(rowOfVolts(0, channelScale(1), channelOffset(1)), true, cCh1);
    }

    // trigger level markers, in the colour of the source
    const QByteArray mode = values_.value(":TRIGGER:MODE");
    auto levelMarker = [&](const QByteArray &source, double volts) {
        double scale = 0, offset = 0;
        char c = cTrig;
        if (source == "CH1" || source == "CH2") {
            const int ch = source == "CH2" ? 2 : 1;
            scale = channelScale(ch);
            offset = channelOffset(ch);
            c = ch == 2 ? cCh2 : cCh1;
        } else if (source == "EXT") {
            scale = qm4100simlimits::kExtVoltsPerDiv;
        } else if (source == "EXT5") {
            scale = qm4100simlimits::kExt5VoltsPerDiv;
        } else {
            return;
        }
        sideMarker(rowOfVolts(volts, scale, offset), false, c);
    };
    QByteArray trigText = "T " + mode;
    if (mode == "EDGE" || mode == "PULSE" || mode == "VIDEO" || mode == "SLOPE") {
        const QByteArray base = ":TRIGGER:" + mode;
        const QByteArray source = values_.value(base + ":SOURCE");
        const QByteArray levelKey = base + (mode == "SLOPE" ? ":LEVELA" : ":LEVEL");
        levelMarker(source, num(levelKey));
        if (mode == "SLOPE")
            levelMarker(source, num(base + ":LEVELB"));
        trigText += " " + source;
        if (mode == "EDGE") {
            const QByteArray slope = values_.value(":TRIGGER:EDGE:SLOPE");
            trigText += slope == "POSITIVE" ? " /" : slope == "NEGATIVE" ? " \\" : " /\\";
        }
        if (source == "CH1" || source == "CH2" || source == "EXT" || source == "EXT5")
            trigText += " " + unitText(num(levelKey), "V");
    } else if (mode == "ALTERNATION") {
        trigText = "T ALT";
        for (int ch = 1; ch <= 2; ++ch) {
            const QByteArray type = values_.value(storageKeyFor(":TRIGGER:ALTERNATION:TYPE", ch));
            const QByteArray key = ":TRIGGER:ALTERNATION:" + type + (type == "SLOPE" ? ":LEVELA" : ":LEVEL");
            levelMarker(ch == 2 ? "CH2" : "CH1", num(storageKeyFor(key, ch)));
        }
    }

    // trigger position: t = 0 on the time axis, an arrow at the edge when
    // the delay puts it off the screen
    // (under the alternating trigger, of the alternation source's time base)
    const int tb = mode == "ALTERNATION" ? altSource_ : 1;
    if (format != "X-Y") {
        const double pos = 150.0 - 25.0 * timeOffset(tb) / timeScale(tb);
        if (pos < 0) {
            text(L, 10, "<", cTrig);
        } else if (pos > 300) {
            text(L + 295, 10, ">", cTrig);
        } else {
            const int x = L + int(std::lround(pos));
            for (int r = 0; r < 4; ++r)
                for (int dx = -(3 - r); dx <= 3 - r; ++dx)
                    pix(x + dx, 11 + r, cTrig);
        }
    }

    // top line: run state and menu line
    text(L, 3, running_ ? "RUN" : "STOP", char(colour ? (running_ ? 0x1C : 0xE0) : (running_ ? 180 : 90)));
    text(L + 36, 3, menuLine_.left(45), cText);

    // channel line
    auto channelText = [&](int ch) {
        const QByteArray c = ":CHANNEL" + QByteArray::number(ch);
        QByteArray t = "CH" + QByteArray::number(ch) + " " + unitText(channelScale(ch), "V") + " "
                       + values_.value(c + ":COUPLING");
        if (values_.value(c + ":INVERT") == "ON")
            t += " INV";
        if (values_.value(c + ":BWLIMIT") == "ON")
            t += " BW";
        return t;
    };
    if (ch1)
        text(L, 219, channelText(1), cCh1);
    if (ch2)
        text(L + 126, 219, channelText(2), cCh2);
    if (mathOn_)
        text(L + 252, 219, fftOn_ ? "FFT" : "MATH", cMath);
    if (laOn)
        text(L + 282, 219, "LA", cLogic);

    // time base, trigger, format and acquisition line
    text(L, 227, "M " + unitText(timeScale(tb), "s") + " D " + unitText(timeOffset(tb), "s"), cInfo);
    text(L + 114, 227, trigText.left(20), cTrig);
    if (format == "SCANNING")
        text(L + 240, 227, "ROLL", cInfo);
    else if (format == "X-Y")
        text(L + 240, 227, "X-Y", cInfo);
    const QByteArray acq = values_.value(":ACQUIRE:TYPE");
    if (acq == "AVERAGE")
        text(L + 270, 227, "AVG" + values_.value(":ACQUIRE:AVERAGES"), cInfo);
    else if (acq == "PEAKDETECT")
        text(L + 270, 227, "PEAK", cInfo);
    return img;
}

// ---------------------------------------------------------------------------
// Actions

void Qm4100Sim::autoSet()
{
    for (int ch = 1; ch <= 2; ++ch) {
        const QByteArray c = ":CHANNEL" + QByteArray::number(ch);
        values_.insert(c + ":DISPLAY", "ON");
        double probe = num(c + ":PROBE");
        double vpp = signals_[ch - 1].shape == Shape::Dc ? 0 : signals_[ch - 1].vpp * (probe > 0 ? probe : 1);
        if (vpp > 0)
            setValue(c + ":SCALE", nearest125(vpp / 4.0, 2e-3, 1e4));
        setValue(c + ":OFFSET", 0);
    }
    double f = signals_[0].frequencyHz;
    if (f > 0 && signals_[0].shape != Shape::Dc) {
        setValue(":TIMEBASE:SCALE", nearest125(2.0 / f / 12.0, 2e-9, 50));
        setValue(":TIMEBASE:OFFSET", 0);
    }
    values_.insert(":TIMEBASE:FORMAT", "Y-T");
    values_.insert(":TRIGGER:MODE", "EDGE");
    values_.insert(":TRIGGER:EDGE:SOURCE", "CH1");
    setValue(":TRIGGER:EDGE:LEVEL", signalMiddle(1));
    setRunning(true);
}

void Qm4100Sim::setTriggerLevelsToMiddle()
{
    const QByteArray mode = values_.value(":TRIGGER:MODE");
    auto middleOf = [&](const QByteArray &src, double &mid) {
        if (src == "CH1") { mid = signalMiddle(1); return true; }
        if (src == "CH2") { mid = signalMiddle(2); return true; }
        if (src == "EXT" || src == "EXT5" || src == "ACLINE") { mid = 0; return true; }
        return false;
    };
    auto moveSlope = [&](const QByteArray &a, const QByteArray &b, double mid) {
        double la = num(a), lb = num(b);
        double shift = mid - (la + lb) / 2;
        setValue(a, la + shift);
        setValue(b, lb + shift);
    };
    if (mode == "EDGE" || mode == "PULSE" || mode == "VIDEO" || mode == "SLOPE") {
        const QByteArray base = ":TRIGGER:" + mode;
        double mid = 0;
        if (!middleOf(values_.value(base + ":SOURCE"), mid))
            return;
        if (mode == "SLOPE")
            moveSlope(base + ":LEVELA", base + ":LEVELB", mid);
        else
            setValue(base + ":LEVEL", mid);
    } else if (mode == "ALTERNATION") {
        for (int ch = 1; ch <= 2; ++ch) {
            const QByteArray type = values_.value(storageKeyFor(":TRIGGER:ALTERNATION:TYPE", ch));
            const QByteArray base = storageKeyFor(":TRIGGER:ALTERNATION:" + type, ch);
            double mid = signalMiddle(ch);
            if (type == "SLOPE")
                moveSlope(base + ":LEVELA", base + ":LEVELB", mid);
            else
                setValue(base + ":LEVEL", mid);
        }
    }
}

void Qm4100Sim::moveTriggerLevel(double divs)
{
    const QByteArray mode = values_.value(":TRIGGER:MODE");
    QByteArray key;
    double scale = 0;
    if (mode == "EDGE" || mode == "PULSE" || mode == "VIDEO" || mode == "SLOPE") {
        const QByteArray base = ":TRIGGER:" + mode;
        const QByteArray src = values_.value(base + ":SOURCE");
        if (src == "CH1")
            scale = channelScale(1);
        else if (src == "CH2")
            scale = channelScale(2);
        else if (src == "EXT")
            scale = 0.2;
        else if (src == "EXT5")
            scale = 1.0;
        else
            return;
        key = base + (mode == "SLOPE" ? ":LEVELA" : ":LEVEL");
    } else if (mode == "ALTERNATION") {
        const QByteArray type = values_.value(storageKeyFor(":TRIGGER:ALTERNATION:TYPE", altSource_));
        key = storageKeyFor(":TRIGGER:ALTERNATION:" + type + (type == "SLOPE" ? ":LEVELA" : ":LEVEL"), altSource_);
        scale = channelScale(altSource_);
    } else {
        return;
    }
    setValue(key, num(key) + divs * scale);
}

void Qm4100Sim::noteKey(const QByteArray &word)
{
    // menu keys open their menu; the menu line shows its title
    static const char *const menus[][2] = {
        {"MEASURE", "MEASURE"}, {"ACQUIRE", "ACQUIRE"}, {"STORAGE", "STORAGE"}, {"CURSOR", "CURSOR"},
        {"DISPLAY", "DISPLAY"}, {"UTILITY", "UTILITY"}, {"MNUTIME", "HORIZONTAL"}, {"MNUTRIG", "TRIGGER"},
        {"CHANNEL1", "CH1"}, {"CHANNEL2", "CH2"}, {"REF", "REF"}, {"LA", "LA"}, {"OFF", "CHANNEL OFF"}};
    for (const auto &m : menus)
        if (word == m[0]) {
            menuTitle_ = m[1];
            menuItem_ = 0;
            menuLine_ = menuTitle_;
            return;
        }
    const QByteArray ch = "CH" + QByteArray::number(activeChannel_);
    const QByteArray in = menuTitle_.isEmpty() ? QByteArray() : menuTitle_ + " ";
    if (word == "MNUOFF") {
        menuTitle_.clear();
        menuLine_.clear();
    } else if (word == "MATH") {
        menuTitle_ = fftOn_ ? "FFT" : "MATH";
        menuLine_ = menuTitle_ + (mathOn_ ? " ON" : " OFF");
    } else if (word.size() == 2 && word[0] == 'F' && word[1] >= '1' && word[1] <= '5') {
        menuLine_ = in + word;
    } else if (word == "FUNCTION" || word == "-FUNCTION" || word == "+FUNCTION") {
        if (word != "FUNCTION")
            menuItem_ = std::clamp(menuItem_ + (word[0] == '+' ? 1 : -1), 0, 9);
        menuLine_ = in + (word == "FUNCTION" ? "SELECT " : "ITEM ") + QByteArray::number(menuItem_ + 1);
    } else if (word == "AUTO") {
        menuLine_ = "AUTO SET";
    } else if (word == "RUN") {
        menuLine_ = running_ ? "RUN" : "STOP";
    } else if (word == "TRIG%50" || word.startsWith("TRIG_LVL_") || word == "PROMPT_TRIG_LVL") {
        const QByteArray mode = values_.value(":TRIGGER:MODE");
        QByteArray key;
        if (mode == "EDGE" || mode == "PULSE" || mode == "VIDEO")
            key = ":TRIGGER:" + mode + ":LEVEL";
        else if (mode == "SLOPE")
            key = ":TRIGGER:SLOPE:LEVELA";
        else if (mode == "ALTERNATION") {
            const QByteArray type = values_.value(storageKeyFor(":TRIGGER:ALTERNATION:TYPE", altSource_));
            key = storageKeyFor(":TRIGGER:ALTERNATION:" + type + (type == "SLOPE" ? ":LEVELA" : ":LEVEL"),
                                altSource_);
        }
        menuLine_ = "TRIG LEVEL" + (key.isEmpty() ? QByteArray() : " " + unitText(num(key), "V"));
    } else if (word.startsWith("V_POS_") || word == "PROMPT_V_POS") {
        menuLine_ = ch + " POSITION " + unitText(channelOffset(activeChannel_), "V");
    } else if (word.startsWith("V_SCALE_") || word == "PROMPT_V") {
        menuLine_ = ch + " VOLTS/DIV " + unitText(channelScale(activeChannel_), "V");
    } else if (word.startsWith("H_POS_") || word == "PROMPT_H_POS") {
        const int tb = values_.value(":TRIGGER:MODE") == "ALTERNATION" ? altSource_ : 1;
        menuLine_ = "DELAY " + unitText(timeOffset(tb), "s");
    } else if (word.startsWith("H_SCALE_") || word == "PROMPT_H") {
        const int tb = values_.value(":TRIGGER:MODE") == "ALTERNATION" ? altSource_ : 1;
        menuLine_ = "TIME/DIV " + unitText(timeScale(tb), "s");
    }
}

bool Qm4100Sim::knob(const QByteArray &key, int step)
{
    const double sign = key.endsWith("_INC") ? 1.0 : -1.0;
    if (key.startsWith("V_POS_")) {
        const QByteArray c = ":CHANNEL" + QByteArray::number(activeChannel_);
        setValue(c + ":OFFSET", channelOffset(activeChannel_) + sign * step * channelScale(activeChannel_) / 25.0);
    } else if (key.startsWith("H_POS_")) {
        const bool alt = values_.value(":TRIGGER:MODE") == "ALTERNATION";
        const QByteArray k = alt ? storageKeyFor(":TRIGGER:ALTERNATION:TIMEOFFSET", altSource_) : ":TIMEBASE:OFFSET";
        const double tdiv = alt ? timeScale(altSource_) : num(":TIMEBASE:SCALE");
        setValue(k, num(k) + sign * step * tdiv / 50.0);
    } else if (key.startsWith("TRIG_LVL_")) {
        moveTriggerLevel(sign * step / 25.0);
    }
    return true;
}
