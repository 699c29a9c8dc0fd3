#include "platform/zoom/plotzoom.h"

#include <algorithm>
#include <bit>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Index of the first i in [0, n) for which pred(i) holds, n when none; pred
// must be false up to some index and true from there on.
template <class Pred>
qint64 firstWhere(qint64 n, Pred pred)
{
    qint64 lo = 0;
    qint64 hi = n;
    while (lo < hi) {
        const qint64 mid = lo + (hi - lo) / 2;
        if (pred(mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

bool positiveFinite(double v) { return v > 0.0 && std::isfinite(v); }

// The smallest and the largest of the n >= 1 samples at s. A long record
// spends its time here: the samples go through sixteen at a time where the
// processor has vector instructions.
void extremes(const qint16 *s, qint64 n, qint16 &low, qint16 &high)
{
    qint64 i = 0;
    low = high = s[0];
#if defined(__SSE2__)
    if (n >= 16) {
        __m128i lo0 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s));
        __m128i lo1 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + 8));
        __m128i hi0 = lo0, hi1 = lo1;
        for (i = 16; i + 16 <= n; i += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i + 8));
            lo0 = _mm_min_epi16(lo0, a);
            hi0 = _mm_max_epi16(hi0, a);
            lo1 = _mm_min_epi16(lo1, b);
            hi1 = _mm_max_epi16(hi1, b);
        }
        alignas(16) qint16 lo[8], hi[8];
        _mm_store_si128(reinterpret_cast<__m128i *>(lo), _mm_min_epi16(lo0, lo1));
        _mm_store_si128(reinterpret_cast<__m128i *>(hi), _mm_max_epi16(hi0, hi1));
        low = *std::min_element(lo, lo + 8);
        high = *std::max_element(hi, hi + 8);
    }
#endif
    for (; i < n; ++i) {
        low = std::min(low, s[i]);
        high = std::max(high, s[i]);
    }
}

// Index of the first of the n samples at s that equals a or b (one of them
// must occur).
qint64 firstOfEither(const qint16 *s, qint64 n, qint16 a, qint16 b)
{
    qint64 i = 0;
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi16(a);
    const __m128i vb = _mm_set1_epi16(b);
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
        if (_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(v, va), _mm_cmpeq_epi16(v, vb))) != 0)
            break;
    }
#endif
    while (s[i] != a && s[i] != b)
        ++i;
    return i;
}

// The bits that are set in any and the bits that are set in every one of the
// n >= 1 points at p (T: a 16-bit word or a byte per point), sixteen bytes at
// a time where the processor has vector instructions.
template <class T>
void anyAndEvery(const T *p, qint64 n, quint16 &any, quint16 &every)
{
    qint64 i = 0;
    any = every = p[0];
#if defined(__SSE2__)
    constexpr qint64 PerVector = 16 / sizeof(T);
    if (n >= 2 * PerVector) {
        __m128i orv = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        __m128i andv = orv;
        for (i = PerVector; i + PerVector <= n; i += PerVector) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
            orv = _mm_or_si128(orv, v);
            andv = _mm_and_si128(andv, v);
        }
        alignas(16) T o[PerVector], a[PerVector];
        _mm_store_si128(reinterpret_cast<__m128i *>(o), orv);
        _mm_store_si128(reinterpret_cast<__m128i *>(a), andv);
        for (qint64 k = 0; k < PerVector; ++k) {
            any = quint16(any | o[k]);
            every = quint16(every & a[k]);
        }
    }
#endif
    for (; i < n; ++i) {
        any = quint16(any | p[i]);
        every = quint16(every & p[i]);
    }
}

} // namespace

ScreenWindow devGetStopScrWave64(float sampleRate, qint32 pointCount, double position, double delay,
                                 double timeDiv)
{
    const ScreenWindow none;
    const double rate = double(sampleRate);
    if (pointCount <= 0 || !positiveFinite(rate) || !positiveFinite(timeDiv) || !std::isfinite(position)
        || !std::isfinite(delay))
        return none;
    // x(i) = a + b * i; b > 0, so x grows with i (also in floating point).
    const double b = 25.0 / (rate * timeDiv);
    const double a = 150.0 + 25.0 * (position - delay) / timeDiv - b * (double(pointCount) / 2.0);
    if (!positiveFinite(b) || !std::isfinite(a))
        return none;
    const auto x = [a, b](qint64 i) { return a + b * double(i); };
    const qint64 n = pointCount;
    const qint64 start = firstWhere(n, [&](qint64 i) { return x(i) >= 0.0; });
    const qint64 end = firstWhere(n, [&](qint64 i) { return x(i) >= double(PlotZoom::Columns); }) - 1;
    if (start >= n || end < start)
        return none;
    ScreenWindow w;
    w.WinStart = qint32(start);
    w.WinEnd = qint32(end);
    w.FirstCol = qint16(std::floor(x(start)));
    w.LastCol = qint16(std::floor(x(end)));
    w.ZoomFirstCol = w.FirstCol;
    w.ZoomLastCol = w.LastCol;
    return w;
}

qint16 WaveZoom(std::span<const qint16> samples, std::span<qint16> screen, qint32 winStart, qint32 winEnd,
                qint16 first, qint16 last, int columns)
{
    if (winStart < 0 || winEnd < winStart || qint64(winEnd) >= qint64(samples.size()))
        return 0;
    if (first < 0 || last < first || last >= columns)
        return 0;
    const qint64 c = qint64(last) - first + 1;
    if (2 * c > qint64(screen.size()))
        return 0;
    const qint64 n = qint64(winEnd) - winStart + 1;
    const qint16 *s = samples.data() + winStart;
    if (n >= 2 * c) {
        for (qint64 j = 0; j < c; ++j) {
            const qint64 from = j * n / c;
            const qint64 to = (j + 1) * n / c;
            qint16 low = 0;
            qint16 high = 0;
            extremes(s + from, to - from, low, high);
            // The one of the two met first comes first.
            const bool lowFirst = s[from + firstOfEither(s + from, to - from, low, high)] == low;
            screen[size_t(2 * j)] = lowFirst ? low : high;
            screen[size_t(2 * j + 1)] = lowFirst ? high : low;
        }
        return 1;
    }
    const qint64 entries = 2 * c;
    for (qint64 e = 0; e < entries; ++e) {
        double p = (double(e) + 0.5) * double(n) / double(entries) - 0.5;
        p = std::clamp(p, 0.0, double(n - 1));
        const qint64 i0 = qint64(std::floor(p));
        const qint64 i1 = std::min(i0 + 1, n - 1);
        const double v = double(s[i0]) + (double(s[i1]) - double(s[i0])) * (p - double(i0));
        screen[size_t(e)] = qint16(std::nearbyint(v));
    }
    return 1;
}

namespace {

// A bit changes somewhere in a column exactly when it is set in some of its
// points and clear in others: the bits set in any point and not in every one.
template <class T>
void reduceDigital(const T *points, std::span<qint16> work, qint32 n, qint32 m)
{
    const qint64 cols = m / 2;
    for (qint64 j = 0; j < cols; ++j) {
        const qint64 from = j * n / cols;
        const qint64 to = (j + 1) * n / cols;
        const quint16 firstWord = points[from];
        quint16 any = 0;
        quint16 every = 0;
        anyAndEvery(points + from, to - from, any, every);
        work[size_t(2 * j)] = qint16(firstWord);
        work[size_t(2 * j + 1)] = qint16(quint16(firstWord ^ (any & ~every)));
    }
}

template <class At>
void reduceDigitalAt(At at, std::span<qint16> work, qint32 n, qint32 m)
{
    const qint64 cols = m / 2;
    for (qint64 j = 0; j < cols; ++j) {
        const qint64 from = j * n / cols;
        const qint64 to = (j + 1) * n / cols;
        const quint16 firstWord = at(from);
        quint16 changed = 0;
        for (qint64 i = from + 1; i < to; ++i)
            changed |= quint16(at(i) ^ firstWord);
        work[size_t(2 * j)] = qint16(firstWord);
        work[size_t(2 * j + 1)] = qint16(quint16(firstWord ^ changed));
    }
}

} // namespace

void LaWaveZoomOut(const LaPoints &samples, std::span<qint16> work, qint32 n, qint32 m)
{
    if (m < 2 || n <= m || qint64(n) > samples.size() || qint64(m) > qint64(work.size()))
        return;
    // The reading of a point is chosen once, outside the loops.
    if (samples.isWords())
        reduceDigital(reinterpret_cast<const quint16 *>(samples.wordData()), work, n, m);
    else if constexpr (std::endian::native == std::endian::little)
        reduceDigital(samples.pointBytes(), work, n, m);
    else
        reduceDigitalAt([&samples](qint64 i) { return samples[i]; }, work, n, m);
}

void LAZoomIn(const LaPoints &samples, std::span<qint16> work, qint32 n, qint32 m, qint32 first, qint32 last)
{
    if (first < 0 || last < first || last >= PlotZoom::Columns)
        return;
    if (qint64(m) != 2 * (qint64(last) - first + 1) || n < 1 || qint64(n) > samples.size())
        return;
    if (2 * qint64(first) + m > qint64(work.size()))
        return;
    for (qint64 e = 0; e < m; ++e) {
        const qint64 i = std::min<qint64>(qint64((double(e) + 0.5) * double(n) / double(m)), n - 1);
        work[size_t(2 * qint64(first) + e)] = qint16(samples[i]);
    }
}
