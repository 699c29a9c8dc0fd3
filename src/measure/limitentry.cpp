#include "measure/limitentry.h"

#include "values/numbertext.h"

#include <cmath>
#include <limits>

namespace {

// A unit scales by multiplying by factor, or, for the units below the base
// unit, by dividing by it (so "1.5" mV is 1.5 / 1000 exactly as the readings
// are parsed).
struct Unit {
    const char *text;
    double factor;
    bool divide;
};

constexpr Unit kVolt[] = {{"MV", 1e6, false}, {"kV", 1e3, false}, {"V", 1.0, false}, {"mV", 1e3, true}, {"uV", 1e6, true}};
constexpr Unit kFreq[] = {{"GHz", 1e9, false}, {"MHz", 1e6, false}, {"kHz", 1e3, false}, {"Hz", 1.0, false},
                          {"mHz", 1e3, true}};
constexpr Unit kTime[] = {{"ps", 1e12, true}, {"ns", 1e9, true}, {"us", 1e6, true}, {"ms", 1e3, true}, {"s", 1.0, false}};
constexpr Unit kPercent[] = {{"%", 100.0, true}};

struct UnitList {
    const Unit *units;
    int count;
};

UnitList unitsOf(MeasKind kind)
{
    switch (kind) {
    case MeasKind::Volt: return {kVolt, 5};
    case MeasKind::Frequency: return {kFreq, 5};
    case MeasKind::Time: return {kTime, 5};
    case MeasKind::Percent: return {kPercent, 1};
    }
    return {kVolt, 5};
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

QStringList limitUnits(MeasKind kind)
{
    const UnitList list = unitsOf(kind);
    QStringList out;
    for (int i = 0; i < list.count; ++i)
        out << QString::fromLatin1(list.units[i].text);
    return out;
}

double limitUnitFactor(MeasKind kind, int pos)
{
    const UnitList list = unitsOf(kind);
    if (pos < 0 || pos >= list.count)
        return 0.0;
    return list.units[pos].divide ? 1.0 / list.units[pos].factor : list.units[pos].factor;
}

bool IsLimitNumber(QStringView text, bool allowSign)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (allowSign && i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    int digits = 0;
    bool point = false;
    for (; i < n; ++i) {
        if (isDigit(text[i]))
            ++digits;
        else if (text[i] == u'.' && !point)
            point = true;
        else
            break;
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        int expDigits = 0;
        for (; i < n && isDigit(text[i]); ++i)
            ++expDigits;
        if (expDigits == 0)
            return false;
    }
    return i == n;
}

bool IsLimitNumberPrefix(QStringView text, bool allowSign)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (allowSign && i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    int digits = 0;
    bool point = false;
    for (; i < n; ++i) {
        if (isDigit(text[i]))
            ++digits;
        else if (text[i] == u'.' && !point)
            point = true;
        else
            break;
    }
    if (i == n)
        return true;
    // An exponent only after a digit of the number.
    if (digits == 0 || (text[i] != u'e' && text[i] != u'E'))
        return false;
    ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    while (i < n && isDigit(text[i]))
        ++i;
    return i == n;
}

LimitInput ClassifyLimitInput(const QString &text)
{
    if (text.isEmpty())
        return LimitInput::Ignore;
    if (text.startsWith(u'-')) {
        const QStringView rest = QStringView(text).mid(1);
        if (rest.isEmpty())
            return LimitInput::Ignore;
        return IsLimitNumber(rest, false) ? LimitInput::Store : LimitInput::Invalid;
    }
    return IsLimitNumber(text) ? LimitInput::Store : LimitInput::Invalid;
}

double ConvertLimitText(MeasKind kind, const QString &number, int pos)
{
    if (!IsLimitNumber(number))
        return 0.0;
    const UnitList list = unitsOf(kind);
    if (pos < 0 || pos >= list.count)
        return 0.0;
    const Unit &u = list.units[pos];
    const double n = ReadNumber(number);
    const double v = u.divide ? n / u.factor : n * u.factor;
    if (!std::isfinite(v))
        return v > 0 ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max();
    return v;
}

LimitInput ClassifyLimitTyping(const QString &text)
{
    const LimitInput whole = ClassifyLimitInput(text);
    if (whole != LimitInput::Invalid)
        return whole;
    // After a leading "-" the rest goes on without a sign of its own, as the
    // whole-text rule reads it.
    const bool negative = text.startsWith(u'-');
    const QStringView rest = negative ? QStringView(text).mid(1) : QStringView(text);
    return IsLimitNumberPrefix(rest, !negative) ? LimitInput::Ignore : LimitInput::Invalid;
}
