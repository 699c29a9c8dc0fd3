#include "editors/numberentry.h"

#include <QByteArray>

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

bool ReadTypedNumber(const QString &text, double *value)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    QByteArray number; // the number without blanks, ASCII only
    const auto skipBlanks = [&] {
        while (i < n && isBlank(text.at(i)))
            ++i;
    };

    skipBlanks();
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
        skipBlanks();
    }
    int digits = 0;
    bool point = false;
    while (i < n) {
        const QChar c = text.at(i);
        if (isDigit(c)) {
            ++digits;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            break;
        }
        number += char(c.unicode());
        ++i;
    }
    if (digits == 0)
        return false;
    if (i < n && (text.at(i) == u'e' || text.at(i) == u'E')) {
        number += 'e';
        ++i;
        if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
            number += char(text.at(i).unicode());
            ++i;
        }
        int expDigits = 0;
        while (i < n && isDigit(text.at(i))) {
            number += char(text.at(i).unicode());
            ++expDigits;
            ++i;
        }
        if (expDigits == 0)
            return false;
    }
    skipBlanks();
    if (i != n)
        return false;

    double v = 0;
    const char *first = number.constData();
    const char *last = first + number.size();
    const auto r = std::from_chars(first, last, v, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != last || !std::isfinite(v))
        return false;
    if (value)
        *value = negative ? -v : v;
    return true;
}

QString GeneralNumberText(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0)
        return QStringLiteral("0");

    // d.dddddddddddddde+XX: 15 significant digits and the decimal exponent.
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    const std::string_view sci(buf, size_t(r.ptr - buf));
    const size_t e = sci.find('e');
    QByteArray digits;
    for (size_t k = 0; k < e; ++k)
        if (sci[k] != '.')
            digits += sci[k];
    int exponent = 0;
    std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+' ? 1 : 0), sci.data() + sci.size(), exponent);
    while (digits.size() > 1 && digits.endsWith('0'))
        digits.chop(1);

    QByteArray out;
    if (value < 0)
        out += '-';
    if (exponent >= -4 && exponent < 15) {
        if (exponent < 0) {
            out += "0.";
            out += QByteArray(-exponent - 1, '0');
            out += digits;
        } else if (digits.size() <= exponent + 1) {
            out += digits;
            out += QByteArray(exponent + 1 - digits.size(), '0');
        } else {
            out += digits.left(exponent + 1);
            out += '.';
            out += digits.mid(exponent + 1);
        }
    } else {
        out += digits.left(1);
        if (digits.size() > 1) {
            out += '.';
            out += digits.mid(1);
        }
        out += 'E';
        out += exponent < 0 ? '-' : '+';
        const QByteArray e10 = QByteArray::number(std::abs(exponent));
        if (e10.size() < 2)
            out += '0';
        out += e10;
    }
    return QString::fromLatin1(out);
}

double LimitBySingle(double x, float limit)
{
    if (std::isnan(x))
        return x;
    const float single = std::fabs(x) > double(std::numeric_limits<float>::max())
                             ? std::copysign(std::numeric_limits<float>::infinity(), float(x))
                             : float(x);
    if (single > limit)
        return double(limit);
    if (-limit > single)
        return -double(limit);
    return x;
}
