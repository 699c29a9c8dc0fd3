#include "values/valueeditors.h"

#include "values/numbertext.h"

#include <cmath>

namespace {

const char16_t *const kVoltUnits[] = {u"MV", u"kV", u"V", u"mV", u"uV"};
const char16_t *const kFreqUnits[] = {u"GHz", u"MHz", u"KHz", u"Hz", u"mHz"};
const char16_t *const kTimeUnits[] = {u"ps", u"ns", u"us", u"ms", u"s"};

const QString kOverflow = QStringLiteral("???.?");

EditorText shown(const char16_t *const units[], int position, QString text)
{
    EditorText e;
    e.text = std::move(text);
    e.position = position;
    e.result = e.text;
    e.result += QStringView(units[position]);
    return e;
}

EditorText number(const char16_t *const units[], int position, double scaled)
{
    return shown(units, position, ApplyNumberPattern(scaled, u"0.000"));
}

QString plainText(double v, const char16_t *const suffixes[4])
{
    double x;
    const char16_t *suffix;
    if (v <= 1e-9) {
        x = v * 1000000000.0;
        suffix = suffixes[0];
    } else if (v <= 0.000001) {
        x = v * 1000000.0;
        suffix = suffixes[1];
    } else if (v <= 0.001) {
        x = v * 1000.0;
        suffix = suffixes[2];
    } else {
        x = v;
        suffix = suffixes[3];
    }
    const QString digits = ApplyNumberPattern(x, u"0.0########################");
    if (digits.isEmpty())
        return QString();
    QString out = digits;
    out += QStringView(suffix);
    return out;
}

const char16_t *const kTimeSuffixes[4] = {u"ns", u"us", u"ms", u"s"};
const char16_t *const kVoltSuffixes[4] = {u"nv", u"uv", u"mv", u"v"};

} // namespace

EditorText ShowVoltInEditor(double v)
{
    const char16_t *const *u = kVoltUnits;
    if (std::isnan(v) || v > 1000000000.0 || v <= -1000000000.0)
        return shown(u, 2, kOverflow);
    if (v >= 1000000.0)
        return number(u, 0, v / 1000000.0);
    if (v >= 1000.0)
        return number(u, 1, v / 1000.0);
    if (v >= 1.0)
        return number(u, 2, v);
    if (v >= 0.001)
        return number(u, 3, v * 1000.0);
    if (v > -0.001)
        return number(u, 4, v * 1000000.0);
    if (v > -1.0)
        return number(u, 3, v * 1000.0);
    if (v > -1000.0)
        return number(u, 2, v);
    if (v > -1000000.0)
        return number(u, 1, v / 1000.0);
    return number(u, 0, v / 1000000.0);
}

EditorText ShowFreqInEditor(double f)
{
    const char16_t *const *u = kFreqUnits;
    if (!(f >= 0.0) || f > 1000000000000.0) // negative values and NaN included
        return shown(u, 3, kOverflow);
    if (f >= 1000000000.0)
        return number(u, 0, f / 1000000000.0);
    if (f >= 1000000.0)
        return number(u, 1, f / 1000000.0);
    if (f >= 1000.0)
        return number(u, 2, f / 1000.0);
    if (f >= 1.0)
        return number(u, 3, f);
    return number(u, 4, f * 1000.0);
}

EditorText ShowTimeInEditor(double t)
{
    const char16_t *const *u = kTimeUnits;
    if (std::isnan(t) || t >= 1000.0 || t <= -1000.0)
        return shown(u, 4, kOverflow);
    if (t >= 1.0)
        return number(u, 4, t);
    if (t >= 0.001)
        return number(u, 3, t * 1000.0);
    if (t >= 0.000001)
        return number(u, 2, t * 1000000.0);
    if (t >= 1e-9)
        return number(u, 1, t * 1000000000.0);
    if (t > -1e-9)
        return number(u, 0, t * 1000000000000.0);
    if (t > -0.000001)
        return number(u, 1, t * 1000000000.0);
    if (t > -0.001)
        return number(u, 2, t * 1000000.0);
    if (t > -1.0)
        return number(u, 3, t * 1000.0);
    return number(u, 4, t);
}

EditorText ShowPercentInEditor(double x)
{
    EditorText e;
    e.position = 0;
    e.text = std::isfinite(x) ? ApplyNumberPattern(x * 100.0, u"0.00") : kOverflow;
    if (e.text.isEmpty()) // x * 100 beyond the range of a double
        e.text = kOverflow;
    e.result = e.text + u'%';
    return e;
}

QString TimeToPlainText(double seconds)
{
    return plainText(seconds, kTimeSuffixes);
}

QString VoltToPlainText(double volts)
{
    return plainText(volts, kVoltSuffixes);
}

QString TimeToCommandText(double seconds)
{
    return TimeToPlainText(seconds);
}
