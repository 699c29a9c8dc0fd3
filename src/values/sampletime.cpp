#include "values/sampletime.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// A positive finite number rounded to n significant digits: digit[0] is the
// leading digit (never 0), exponent the power of ten it stands for.
struct Rounded {
    char digit[SampleTimeMaxDigits];
    int exponent = 0;
};

Rounded roundTo(double a, int n)
{
    // Enough digits first (at least fifteen, one beyond n), then n of them,
    // halves away from zero.
    char buf[64];
    const int precision = std::max(14, n);
    const auto res = std::to_chars(buf, buf + sizeof buf - 1, a, std::chars_format::scientific, precision);
    *res.ptr = '\0';
    char all[SampleTimeMaxDigits + 2];
    int count = 0;
    for (const char *p = buf; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9' && count < int(sizeof all))
            all[count++] = *p;
    }
    Rounded r;
    r.exponent = std::atoi(std::strchr(buf, 'e') + 1);
    std::memcpy(r.digit, all, size_t(n));
    if (n < count && all[n] >= '5') {
        int i = n - 1;
        while (i >= 0 && r.digit[i] == '9')
            r.digit[i--] = '0';
        if (i >= 0) {
            ++r.digit[i];
        } else {
            r.digit[0] = '1';
            ++r.exponent;
        }
    }
    return r;
}

int boundedDigits(int digits)
{
    return std::clamp(digits, SampleTimeMinDigits, SampleTimeMaxDigits);
}

} // namespace

int SampleTimeDigits(double first, double last, double step)
{
    const double widest = std::max(std::fabs(first), std::fabs(last));
    if (!(step > 0) || !std::isfinite(step) || !(widest > 0) || !std::isfinite(widest) || first == last)
        return SampleTimeMinDigits; // nothing to tell apart
    // The widest time's neighbour, one step nearer to zero.
    const double next = widest - step;
    for (int n = SampleTimeMinDigits; n < SampleTimeMaxDigits; ++n) {
        // Two times a step apart print apart when the step is at least the
        // last digit of the wider one: the widest time has the coarsest last
        // digit, unless its neighbour already prints in the decade below, and
        // then the neighbour's is the coarsest that two times share. (The
        // tolerance covers a step that is a power of ten held in binary.)
        int exponent = roundTo(widest, n).exponent;
        if (next > 0)
            exponent = std::min(exponent, roundTo(next, n).exponent);
        const double lastDigit = std::pow(10.0, exponent - n + 1);
        if (step >= lastDigit * (1 - 1e-9))
            return n;
    }
    return SampleTimeMaxDigits;
}

char *PutSampleTime(char *out, double t, int digits)
{
    if (!std::isfinite(t))
        return out;
    const int n = boundedDigits(digits);
    if (t == 0) {
        *out++ = '0';
        *out++ = '.';
        for (int i = 1; i < n; ++i)
            *out++ = '0';
        std::memcpy(out, "E00", 3);
        return out + 3;
    }
    const Rounded r = roundTo(std::fabs(t), n);
    if (t < 0)
        *out++ = '-';
    *out++ = r.digit[0];
    *out++ = '.';
    for (int i = 1; i < n; ++i)
        *out++ = r.digit[i];
    *out++ = 'E';
    if (r.exponent < 0)
        *out++ = '-';
    else if (t >= 1.0)
        *out++ = '+';
    const int e = std::abs(r.exponent);
    if (e < 10)
        *out++ = '0';
    return std::to_chars(out, out + 4, e).ptr;
}

QString SampleTimeText(double t, int digits)
{
    char text[SampleTimeMaxChars];
    return QString::fromLatin1(text, PutSampleTime(text, t, digits) - text);
}
