#include "values/numbertext.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <string>

namespace {

bool skipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The 15 significant digits of |value| and the decimal exponent of the first
// one: |value| = d0.d1d2...d14 x 10^exponent.
struct Digits {
    char d[15];
    int exponent;
};

Digits significantDigits(double magnitude)
{
    char buf[40];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    // buf holds "d.dddddddddddddde[+-]xx"
    Digits out{};
    const char *p = buf;
    int n = 0;
    for (; p < res.ptr && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9' && n < 15)
            out.d[n++] = *p;
    }
    while (n < 15)
        out.d[n++] = '0';
    int exponent = 0;
    if (p < res.ptr && *p == 'e') {
        ++p;
        if (*p == '+')
            ++p;
        std::from_chars(p, res.ptr, exponent);
    }
    out.exponent = exponent;
    return out;
}

} // namespace

double ReadNumber(QStringView text)
{
    std::string buf; // normalised: [-]digits[.digits][e[-]digits]
    buf.reserve(32);
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skip = [&] {
        while (i < n && skipped(text[i]))
            ++i;
    };

    skip();
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (negative)
        buf.push_back('-');

    // Decimal exponent of the first non-zero digit, to tell an overflow from
    // an underflow when the value is out of range.
    int intSignificant = 0;   // integer digits from the first non-zero one
    int fracLeadingZeros = 0; // zeros after the point before the first non-zero digit
    bool sawNonZero = false;
    bool sawDigit = false;

    skip();
    while (i < n && isDigit(text[i])) {
        const char c = char(text[i].unicode());
        if (c != '0' || sawNonZero) {
            sawNonZero = true;
            ++intSignificant;
        }
        buf.push_back(c);
        sawDigit = true;
        ++i;
        skip();
    }
    if (i < n && text[i] == u'.') {
        ++i;
        skip();
        bool dot = false;
        while (i < n && isDigit(text[i])) {
            const char c = char(text[i].unicode());
            if (!dot) {
                if (!sawDigit)
                    buf.push_back('0');
                buf.push_back('.');
                dot = true;
            }
            if (!sawNonZero) {
                if (c == '0')
                    ++fracLeadingZeros;
                else
                    sawNonZero = true;
            }
            buf.push_back(c);
            sawDigit = true;
            ++i;
            skip();
        }
    }
    if (!sawDigit)
        return 0.0;

    long long exponent = 0;
    if (i < n && (text[i] == u'E' || text[i] == u'e')) {
        qsizetype j = i + 1;
        auto skipJ = [&] {
            while (j < n && skipped(text[j]))
                ++j;
        };
        skipJ();
        bool expNegative = false;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            expNegative = text[j] == u'-';
            ++j;
            skipJ();
        }
        bool expDigits = false;
        while (j < n && isDigit(text[j])) {
            if (exponent < 100000000) // saturate: far beyond any double
                exponent = exponent * 10 + (text[j].unicode() - u'0');
            expDigits = true;
            ++j;
            skipJ();
        }
        if (expDigits) {
            if (expNegative)
                exponent = -exponent;
            buf.push_back('e');
            buf += std::to_string(exponent);
        } else {
            exponent = 0;
        }
    }

    double value = 0.0;
    const auto res = std::from_chars(buf.data(), buf.data() + buf.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        const long long magnitude = (intSignificant > 0 ? intSignificant : -fracLeadingZeros) + exponent;
        const double limit = magnitude > 0 ? DBL_MAX : 0.0;
        return negative ? -limit : limit;
    }
    if (res.ec != std::errc())
        return 0.0;
    return value;
}

QString ApplyNumberPattern(double value, QStringView pattern)
{
    // Parse the pattern.
    int minInt = 0;
    int minDec = 0;
    int maxDec = 0;
    qsizetype i = 0;
    while (i < pattern.size() && (pattern[i] == u'0' || pattern[i] == u'#')) {
        if (pattern[i] == u'0')
            ++minInt;
        ++i;
    }
    if (i < pattern.size() && pattern[i] == u'.') {
        ++i;
        while (i < pattern.size() && (pattern[i] == u'0' || pattern[i] == u'#')) {
            if (pattern[i] == u'0')
                minDec = maxDec + 1;
            ++maxDec;
            ++i;
        }
    }
    const QStringView suffix = pattern.mid(i);
    if (suffix.contains(u'%'))
        value *= 100.0;
    if (!std::isfinite(value))
        return QString();

    const bool negative = value < 0;
    const Digits dg = significantDigits(std::fabs(value));

    // Lay the 15 digits out as integer and fraction digits.
    std::string intPart;
    std::string frac;
    if (dg.exponent >= 0) {
        for (int k = 0; k <= dg.exponent; ++k)
            intPart.push_back(k < 15 ? dg.d[k] : '0');
        for (int k = dg.exponent + 1; k < 15; ++k)
            frac.push_back(dg.d[k]);
    } else {
        frac.assign(size_t(-dg.exponent - 1), '0');
        frac.append(dg.d, 15);
    }

    // Round to maxDec decimals, a half away from zero.
    if (int(frac.size()) > maxDec) {
        const bool up = frac[size_t(maxDec)] >= '5';
        frac.resize(size_t(maxDec));
        if (up) {
            std::string all = intPart + frac;
            int k = int(all.size()) - 1;
            for (; k >= 0; --k) {
                if (all[size_t(k)] == '9') {
                    all[size_t(k)] = '0';
                } else {
                    ++all[size_t(k)];
                    break;
                }
            }
            if (k < 0)
                all.insert(all.begin(), '1');
            intPart = all.substr(0, all.size() - frac.size());
            frac = all.substr(all.size() - frac.size());
        }
    }

    // Drop leading zeros of the integer part, then pad it to the pattern.
    size_t firstNonZero = intPart.find_first_not_of('0');
    intPart = firstNonZero == std::string::npos ? std::string() : intPart.substr(firstNonZero);
    if (int(intPart.size()) < minInt)
        intPart.insert(0, size_t(minInt) - intPart.size(), '0');
    // Trailing zeros beyond the always-shown decimals.
    while (int(frac.size()) > minDec && frac.back() == '0')
        frac.pop_back();

    const bool allZero = intPart.find_first_not_of('0') == std::string::npos
        && frac.find_first_not_of('0') == std::string::npos;

    QString out;
    out.reserve(int(intPart.size() + frac.size()) + int(suffix.size()) + 2);
    if (negative && !allZero)
        out += u'-';
    out += QLatin1StringView(intPart.data(), qsizetype(intPart.size()));
    if (!frac.empty()) {
        out += u'.';
        out += QLatin1StringView(frac.data(), qsizetype(frac.size()));
    }
    out += suffix;
    return out;
}

QString NumberText(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0.0)
        return QStringLiteral(" 0");
    const Digits dg = significantDigits(std::fabs(value));
    int count = 15;
    while (count > 1 && dg.d[count - 1] == '0')
        --count;

    std::string out(1, value < 0 ? '-' : ' ');
    const int e = dg.exponent;
    if (e >= 15 || e < -10) {
        out.push_back(dg.d[0]);
        if (count > 1) {
            out.push_back('.');
            out.append(dg.d + 1, size_t(count - 1));
        }
        out.push_back('E');
        out.push_back(e < 0 ? '-' : '+');
        const int ae = e < 0 ? -e : e;
        if (ae < 10)
            out.push_back('0');
        out += std::to_string(ae);
    } else if (e >= 0) {
        for (int k = 0; k <= e; ++k)
            out.push_back(k < count ? dg.d[k] : '0');
        if (count > e + 1) {
            out.push_back('.');
            out.append(dg.d + e + 1, size_t(count - e - 1));
        }
    } else {
        out.push_back('.');
        out.append(size_t(-e - 1), '0');
        out.append(dg.d, size_t(count));
    }
    return QString::fromLatin1(out.data(), qsizetype(out.size()));
}
