#include "values/normvalue.h"

#include "values/numbertext.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <span>

namespace {

// A number reduced to single precision. Values beyond the range of a single
// become infinities (explicitly: the plain conversion of such a value is
// undefined).
float toSingle(double v)
{
    if (v > double(FLT_MAX))
        return HUGE_VALF;
    if (v < -double(FLT_MAX))
        return -HUGE_VALF;
    return float(v);
}

float readSingle(QStringView text)
{
    return toSingle(ReadNumber(text));
}

// One band of a ladder: from threshold up (or, on the negative side, from
// -threshold down) the value is scaled and written with the pattern.
struct Band {
    float threshold;
    double factor;
    bool divide; // v / factor, otherwise v * factor
    const char16_t *pattern;
    const char16_t *unit;
};

QString writeBand(float v, const Band &b)
{
    const double x = b.divide ? double(v) / b.factor : double(v) * b.factor;
    return ApplyNumberPattern(x, QStringView(b.pattern), QStringView(b.unit));
}

// The positive side takes the first band with v >= threshold, the negative
// side the first with v <= -threshold; between the two the near-zero text.
// The caller handles the overflow texts before.
QString walk(float v, std::span<const Band> bands, size_t firstNegative, const char16_t *nearZero)
{
    const float smallest = bands.back().threshold;
    if (v >= smallest) {
        for (const Band &b : bands) {
            if (v >= b.threshold)
                return writeBand(v, b);
        }
    }
    if (v >= -smallest)
        return QString::fromUtf16(nearZero);
    for (size_t k = firstNegative; k < bands.size(); ++k) {
        if (v <= -bands[k].threshold)
            return writeBand(v, bands[k]);
    }
    return QString(); // not reached: the smallest band catches every negative value
}

const Band kVoltBands[] = {
    {999990.0f, 1000000.0, true, u"#.00", u"MV"},
    {99999.0f, 1000.0, true, u"###", u"kV"},
    {9999.9f, 1000.0, true, u"##.0", u"kV"},
    {999.99f, 1000.0, true, u"#.00", u"kV"},
    {99.999f, 1.0, false, u"###", u"V"},
    {9.9999f, 1.0, false, u"##.0", u"V"},
    {0.99999f, 1.0, false, u"#.00", u"V"},
    {0.099999f, 1000.0, false, u"###", u"mV"},
    {0.0099999f, 1000.0, false, u"##.0", u"mV"},
    {0.00099999f, 1000.0, false, u"#.00", u"mV"},
    {9.9999e-5f, 1000000.0, false, u"###", u"uV"},
    {9.9999e-6f, 1000000.0, false, u"##.0", u"uV"},
    {9.9999e-7f, 1000000.0, false, u"#.00", u"uV"},
};

// The time ladders: fifteen bands, three per unit (s, ms, us, ns, ps), each
// unit written with the top, middle and bottom pattern of its member.
constexpr std::array<Band, 15> timeBands(const std::array<float, 15> &thresholds, const char16_t *top,
    const char16_t *middle, const char16_t *bottom)
{
    struct Unit {
        double factor;
        bool divide;
        const char16_t *name;
    };
    constexpr Unit units[5] = {
        {1.0, false, u"s"}, {0.001, true, u"ms"}, {0.000001, true, u"us"}, {1e-9, true, u"ns"}, {1e-12, true, u"ps"}};
    std::array<Band, 15> out{};
    for (size_t k = 0; k < 15; ++k) {
        const Unit &u = units[k / 3];
        out[k] = Band{thresholds[k], u.factor, u.divide, k % 3 == 0 ? top : (k % 3 == 1 ? middle : bottom), u.name};
    }
    return out;
}

constexpr std::array<float, 15> kTimeThresholds = {99.999f, 9.9999f, 0.99999f, 0.099999f, 0.0099999f,
    0.00099999f, 9.9999e-5f, 9.9999e-6f, 9.9999e-7f, 9.9999e-8f, 9.9999e-9f, 9.9999e-10f, 9.9999e-11f,
    9.9999e-12f, 9.9999e-13f};
// In single precision these equal the decades themselves (100, 10, 1 ... 1e-12).
constexpr std::array<float, 15> kTime5Thresholds = {99.999999999f, 9.9999999999f, 0.99999999999f,
    0.099999999999f, 0.0099999999999f, 0.00099999999999f, 9.9999999999e-5f, 9.9999999999e-6f,
    9.9999999999e-7f, 9.9999999999e-8f, 9.9999999999e-9f, 9.9999999999e-10f, 9.9999999999e-11f,
    9.9999999999e-12f, 9.9999999999e-13f};

constexpr auto kTime3Bands = timeBands(kTimeThresholds, u"###", u"##.0", u"#.00");
constexpr auto kTime4Bands = timeBands(kTimeThresholds, u"###.0", u"##.00", u"#.000");
constexpr auto kTime5Bands = timeBands(kTime5Thresholds, u"###.00", u"##.000", u"#.0000");

const Band kFreqBands[] = {
    {99999999000.0f, 1000000000.0, true, u"#000.0", u"GHz"},
    {9999999900.0f, 1000000000.0, true, u"#00.00", u"GHz"},
    {999999990.0f, 1000000000.0, true, u"#0.000", u"GHz"},
    {99999999.0f, 1000000.0, true, u"#000.0", u"MHz"},
    {9999999.9f, 1000000.0, true, u"#00.00", u"MHz"},
    {999999.99f, 1000000.0, true, u"#0.000", u"MHz"},
    {99999.999f, 1000.0, true, u"#000.0", u"kHz"},
    {9999.9999f, 1000.0, true, u"#00.00", u"kHz"},
    {999.99999f, 1000.0, true, u"#0.000", u"kHz"},
    {99.999999f, 1.0, false, u"#000.0", u"Hz"},
    {9.9999999f, 1.0, false, u"#00.00", u"Hz"},
    {0.99999999f, 1.0, false, u"#0.000", u"Hz"},
    {0.099999999f, 1000.0, false, u"#000.0", u"mHz"},
    {0.0099999999f, 1000.0, false, u"#00.00", u"mHz"},
    {0.00099999999f, 1000.0, false, u"#0.000", u"mHz"},
};

QString formatTime(QStringView text, const std::array<Band, 15> &bands, const char16_t *nearZero)
{
    const float v = readSingle(text);
    if (!std::isfinite(v))
        return QString(); // no overflow text: never write "inf"
    return walk(v, bands, 0, nearZero);
}

} // namespace

QString FormatVolt(QStringView volts)
{
    const float v = readSingle(volts);
    if (std::isnan(v))
        return QString();
    if (v >= 9999900.0f || v <= -999990.0f)
        return QStringLiteral("??.?V");
    return walk(v, kVoltBands, 1, u"0.00uV");
}

QString FormatTime3(QStringView seconds)
{
    return formatTime(seconds, kTime3Bands, u"0.00s");
}

QString FormatTime4(QStringView seconds)
{
    return formatTime(seconds, kTime4Bands, u"0.000s");
}

QString FormatTime5(QStringView seconds)
{
    return formatTime(seconds, kTime5Bands, u"0.0000s");
}

QString FormatFreq(QStringView hertz)
{
    const float v = readSingle(hertz);
    if (v >= 999999990000.0f || !(v >= kFreqBands[14].threshold)) // NaN included
        return QStringLiteral("??.???");
    for (const Band &b : kFreqBands) {
        if (v >= b.threshold)
            return writeBand(v, b);
    }
    return QStringLiteral("??.???");
}

QString FormatDecibel(QStringView decibels)
{
    const float v = readSingle(decibels);
    if (std::isnan(v))
        return QString();
    const char16_t *pattern;
    if (v >= 9999.9f)
        return QStringLiteral("****dB");
    if (v <= -9999.9f)
        return QStringLiteral("-****dB");
    if (v >= 99.999f || v <= -99.999f)
        pattern = u"#000.0dB";
    else if (v >= 9.9999f || v <= -9.9999f)
        pattern = u"#00.0dB";
    else
        pattern = u"#0.00dB";
    return ApplyNumberPattern(double(v), QStringView(pattern));
}

QString FormatPercent(QStringView fraction)
{
    const float v = readSingle(fraction);
    if (!std::isfinite(v))
        return QString();
    return ApplyNumberPattern(double(v), v < 0.1f ? u"0.00%" : u"00.0%");
}

QString FormatPerDiv(QStringView value, QStringView scale)
{
    const double s = ReadNumber(scale);
    if (s == 0.0)
        return QString();
    return FormatDivisions(ReadNumber(value) / s);
}

QString FormatDivisions(double divisions)
{
    if (!(std::fabs(divisions) < MaxShownDivisions)) // NaN included
        return QString();
    return ApplyNumberPattern(divisions, u"#0.00div");
}
