#include "values/valuereply.h"

#include "values/valuesstate.h"
#include "values/numbertext.h"

#include <cmath>

namespace {

struct Prefix {
    char16_t letter;
    double factor;
    bool divide;            // v / factor, otherwise v * factor
    const char16_t *exponent; // ParseTimeText: the decimal exponent written after the number
};

const Prefix kFreqPrefixes[] = {
    {u'G', 1000000000.0, false, nullptr},
    {u'M', 1000000.0, false, nullptr},
    {u'k', 1000.0, false, nullptr},
    {u'm', 1000.0, true, nullptr},
};
const Prefix kVoltPrefixes[] = {
    {u'p', 1000000000000.0, true, nullptr},
    {u'n', 1000000000.0, true, nullptr},
    {u'u', 1000000.0, true, nullptr},
    {u'm', 1000.0, true, nullptr},
    {u'k', 1000.0, false, nullptr},
};
const Prefix kVoltMPrefixes[] = {
    {u'u', 1000000.0, true, nullptr},
    {u'm', 1000.0, true, nullptr},
    {u'k', 1000.0, false, nullptr},
    {u'M', 1000000.0, false, nullptr},
};
const Prefix kTimePrefixes[] = {
    {u'p', 1000000000000.0, true, u"E-12"},
    {u'n', 1000000000.0, true, u"E-9"},
    {u'u', 1000000.0, true, u"E-6"},
    {u'm', 1000.0, true, u"E-3"},
};

// A reply ends at its first line feed or carriage return: an instrument (or a
// serial adapter) that ends its lines with CR LF leaves no CR in the text.
QStringView beforeLF(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' || text[i] == u'\r')
            return text.left(i);
    }
    return text;
}

bool notAValue(QStringView reply)
{
    return reply.contains(u'>') || reply.contains(u'*') || reply.contains(u'<');
}

void setValid(bool valid)
{
    valuesState().ValueValid = valid ? -1 : 0;
}

// What the reading of a prefixed reply found.
struct Reading {
    bool valid = false;
    double number = 0.0;            // the number before the prefix or unit
    const Prefix *prefix = nullptr; // null when a digit stood before the unit
};

template <size_t N>
Reading readPrefixed(QStringView reply, char16_t unit, const Prefix (&prefixes)[N])
{
    Reading r;
    if (notAValue(reply))
        return r;
    const QStringView s = beforeLF(reply);
    const qsizetype p = s.indexOf(unit); // 0-based; -1 when absent
    if (p < 1)
        return r;
    const QChar c = s[p - 1];
    for (const Prefix &pre : prefixes) {
        if (c == pre.letter) {
            r.valid = true;
            r.prefix = &pre;
            r.number = ReadNumber(s.left(p - 1));
            return r;
        }
    }
    if (c >= u'0' && c <= u'9') {
        r.valid = true;
        r.number = ReadNumber(s.left(p));
    }
    return r;
}

template <size_t N>
double parsePrefixed(QStringView reply, char16_t unit, const Prefix (&prefixes)[N])
{
    const Reading r = readPrefixed(reply, unit, prefixes);
    setValid(r.valid);
    if (!r.valid)
        return 0.0;
    if (!r.prefix)
        return r.number;
    return r.prefix->divide ? r.number / r.prefix->factor : r.number * r.prefix->factor;
}

} // namespace

QString CutAtLF(QStringView text)
{
    return beforeLF(text).toString();
}

bool InvalidValueReply(QStringView reply)
{
    if (notAValue(reply))
        return true;
    const double v = ReadNumber(beforeLF(reply));
    return !std::isfinite(v) || std::fabs(v) >= MaxValueMagnitude;
}

QString ValidValueReply(QStringView reply)
{
    return InvalidValueReply(reply) ? QString() : CutAtLF(reply);
}

qint16 ValueValid()
{
    return valuesState().ValueValid;
}

double ParseFreq(QStringView reply)
{
    return parsePrefixed(reply, u'H', kFreqPrefixes);
}

double ParseVolt(QStringView reply)
{
    return parsePrefixed(reply, u'V', kVoltPrefixes);
}

double ParseVoltM(QStringView reply)
{
    return parsePrefixed(reply, u'V', kVoltMPrefixes);
}

double ParseTime(QStringView reply)
{
    return parsePrefixed(reply, u's', kTimePrefixes);
}

QString ParseTimeText(QStringView reply)
{
    const Reading r = readPrefixed(reply, u's', kTimePrefixes);
    setValid(r.valid);
    if (!r.valid)
        return QString();
    QString t = ApplyNumberPattern(r.number, u"0.000###########");
    if (r.prefix)
        t += QStringView(r.prefix->exponent);
    return t;
}

double ParsePercentValue(QStringView reply)
{
    if (notAValue(reply)) {
        setValid(false);
        return 0.0;
    }
    const QStringView s = beforeLF(reply);
    const qsizetype p = s.indexOf(u'%');
    if (p < 0) {
        setValid(false);
        return 0.0;
    }
    setValid(true);
    return ReadNumber(s.left(p)) / 100.0;
}
