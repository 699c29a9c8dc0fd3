#include "platform/zoom/plotzoom.h"

#include <algorithm>
#include <bit>
#include <cmath>

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
            qint16 low = s[from];
            qint16 high = s[from];
            for (qint64 i = from + 1; i < to; ++i) {
                low = std::min(low, s[i]);
                high = std::max(high, s[i]);
            }
            // The one of the two met first comes first.
            qint64 i = from;
            while (s[i] != low && s[i] != high)
                ++i;
            const bool lowFirst = s[i] == low;
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

template <class At>
void reduceDigital(At at, std::span<qint16> work, qint32 n, qint32 m)
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
        reduceDigital([w = samples.wordData()](qint64 i) { return quint16(w[i]); }, work, n, m);
    else if constexpr (std::endian::native == std::endian::little)
        reduceDigital([b = samples.pointBytes()](qint64 i) { return quint16(b[i]); }, work, n, m);
    else
        reduceDigital([&samples](qint64 i) { return samples[i]; }, work, n, m);
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
