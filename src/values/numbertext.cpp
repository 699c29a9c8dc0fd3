#include "values/numbertext.h"

#include <algorithm>
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

// A character buffer that lives on the stack for ordinary numbers and moves
// to the heap only for very long ones.
class NumberBuffer {
public:
    void push_back(char c)
    {
        if (heap_) {
            big_.push_back(c);
        } else if (n_ < sizeof small_) {
            small_[n_++] = c;
        } else {
            big_.assign(small_, n_);
            big_.push_back(c);
            heap_ = true;
        }
    }
    void append(const char *p, size_t count)
    {
        for (size_t k = 0; k < count; ++k)
            push_back(p[k]);
    }
    const char *data() const { return heap_ ? big_.data() : small_; }
    size_t size() const { return heap_ ? big_.size() : n_; }

private:
    char small_[96];
    size_t n_ = 0;
    bool heap_ = false;
    std::string big_;
};

} // namespace

double ReadNumber(QStringView text)
{
    NumberBuffer buf; // normalised: [-]digits[.digits][e[-]digits]
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
    long long intSignificant = 0;   // integer digits from the first non-zero one
    long long fracLeadingZeros = 0; // zeros after the point before the first non-zero digit
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
            char expText[24];
            const auto r = std::to_chars(expText, expText + sizeof expText, exponent);
            buf.append(expText, size_t(r.ptr - expText));
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
    return ApplyNumberPattern(value, pattern, QStringView());
}

QString ApplyNumberPattern(double value, QStringView pattern, QStringView unit)
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

    // Lay the 15 digits out in fixed point behind one spare leading digit
    // that takes a carry: all[0] spare, then intLen integer digits, then
    // fracLen fraction digits. |value| < 1e309 and >= 1e-324, so at most
    // 309 integer digits and 323 + 15 fraction digits.
    constexpr int kMaxDigits = 1 + 309 + 340;
    char all[kMaxDigits + 64];
    const int e = dg.exponent;
    const int intLen = e >= 0 ? e + 1 : 0;
    int fracLen = 0;
    all[0] = '0';
    if (e >= 0) {
        for (int k = 0; k < intLen; ++k)
            all[1 + k] = k < 15 ? dg.d[k] : '0';
        for (int k = intLen; k < 15; ++k)
            all[1 + intLen + fracLen++] = dg.d[k];
    } else {
        for (int k = 0; k < -e - 1; ++k)
            all[1 + fracLen++] = '0';
        for (int k = 0; k < 15; ++k)
            all[1 + fracLen++] = dg.d[k];
    }

    // Round to maxDec decimals, a half away from zero.
    if (fracLen > maxDec) {
        const bool up = all[1 + intLen + maxDec] >= '5';
        fracLen = maxDec;
        if (up) {
            for (int k = intLen + fracLen; k >= 0; --k) {
                if (all[k] == '9') {
                    all[k] = '0';
                } else {
                    ++all[k];
                    break;
                }
            }
        }
    }
    // Decimals the pattern always shows (a large value has fewer of its own);
    // maxDec beyond the buffer cannot be shown by any pattern of the program.
    const int decimals = std::max(fracLen, std::min(minDec, 63));
    for (int k = fracLen; k < decimals; ++k)
        all[1 + intLen + k] = '0';
    fracLen = decimals;
    while (fracLen > minDec && all[intLen + fracLen] == '0')
        --fracLen;

    // Integer digits without leading zeros (the spare digit included).
    int intStart = 0;
    while (intStart < intLen + 1 && all[intStart] == '0')
        ++intStart;
    const int intShown = intLen + 1 - intStart;
    const int pad = minInt > intShown ? minInt - intShown : 0;

    bool allZero = intShown == 0;
    for (int k = 0; allZero && k < fracLen; ++k)
        allZero = all[1 + intLen + k] == '0';
    // A negative value that rounds to zero is written without its sign, so
    // that a read-back of a level a hair below zero is the "0.00div" of the
    // choice lists, not a "-0.00div" found nowhere.
    const bool sign = negative && !allZero;

    const qsizetype length = (sign ? 1 : 0) + pad + intShown + (fracLen > 0 ? 1 + fracLen : 0) + suffix.size()
        + unit.size();
    QString out(length, Qt::Uninitialized);
    QChar *p = out.data();
    if (sign)
        *p++ = u'-';
    for (int k = 0; k < pad; ++k)
        *p++ = u'0';
    for (int k = intStart; k <= intLen; ++k)
        *p++ = QLatin1Char(all[k]);
    if (fracLen > 0) {
        *p++ = u'.';
        for (int k = 0; k < fracLen; ++k)
            *p++ = QLatin1Char(all[1 + intLen + k]);
    }
    for (QChar c : suffix)
        *p++ = c;
    for (QChar c : unit)
        *p++ = c;
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
