#pragma once
// The stored waveform's screen data: which part of a long record falls on the
// 300 graticule columns, and the reduction of that part to two values per
// column. The viewer calls these and never walks a record itself; they keep
// no state and never read or write outside the spans they are given.
//
// Window model. Sample i of a record of N points taken at R samples per
// second lies (i - N/2) / R seconds after the record's middle sample. The
// middle sample is shown at column 150 + 25 * (position - delay) / timeDiv,
// so a larger position moves the trace to the right; one column spans
// timeDiv / 25 seconds. Sample i therefore sits at the real column
//     x(i) = 150 + 25 * ((i - N/2) / R + position - delay) / timeDiv
// and falls on column floor(x(i)) when 0 <= x(i) < 300.

#include <QtGlobal>

#include <algorithm>
#include <span>

namespace PlotZoom {
inline constexpr int Columns = 300;          // graticule columns, 0..299
inline constexpr int NothingVisibleCol = 300; // FirstCol and LastCol when no sample falls on screen
inline constexpr int WorkEntries = 1201;      // the digital work array (entries 0..1200)
} // namespace PlotZoom

// The visible part of a record: the samples WinStart..WinEnd fall on the
// columns FirstCol..LastCol. The Zoom pair is the column pair handed on to
// WaveZoom; it always equals FirstCol..LastCol.
struct ScreenWindow {
    qint32 WinStart = 0;
    qint32 WinEnd = 0;
    qint16 ZoomFirstCol = PlotZoom::NothingVisibleCol;
    qint16 ZoomLastCol = PlotZoom::NothingVisibleCol;
    qint16 FirstCol = PlotZoom::NothingVisibleCol;
    qint16 LastCol = PlotZoom::NothingVisibleCol;

    // True when part of the record is on screen: 0 <= FirstCol <= LastCol <= 299.
    bool visible() const { return FirstCol >= 0 && FirstCol <= LastCol && LastCol < PlotZoom::Columns; }
    friend bool operator==(const ScreenWindow &, const ScreenWindow &) = default;
};

// The visible window of a record of pointCount samples at sampleRate, shown
// at the horizontal position, delay and time/div given (seconds). WinStart is
// the first sample with x(i) >= 0, WinEnd the last with x(i) < 300, and the
// columns are those of these two samples; WinEnd never passes pointCount - 1.
// A count, rate or time/div that is zero, negative or not finite, a position
// or delay that is not finite, or a record wholly off screen gives nothing
// visible: WinStart = WinEnd = 0 and all four columns NothingVisibleCol.
ScreenWindow devGetStopScrWave64(float sampleRate, qint32 pointCount, double position, double delay,
                                 double timeDiv);

// Reduces the samples winStart..winEnd, spread evenly over the columns
// first..last (n samples over c columns, column j taking the samples
// winStart + j*n/c up to the next column's first), to two entries per column
// written to screen[0], screen[1], ... screen[2c - 1]:
//   - at least two samples per column (n >= 2c): the smallest and the largest
//     sample of the column, in the order they occur;
//   - fewer: the record read at the centres of the two half columns, linearly
//     interpolated between its neighbouring samples and rounded half to even.
// Returns non-zero when it wrote the entries; 0, writing nothing, when the
// range is empty or reversed, lies outside samples, the columns are not
// inside 0..columns-1 or screen is too short for 2c entries.
qint16 WaveZoom(std::span<const qint16> samples, std::span<qint16> screen, qint32 winStart, qint32 winEnd,
                qint16 first, qint16 last, int columns);

// Digital samples as the reductions read them, point 0 first: either one
// 16-bit word per point (bit i = Di), or the one-byte form of long records,
// one byte per point packed two to a word (point p is the low byte of word
// p / 2 when p is even, its high byte when p is odd), read as a word whose
// bits 0..7 are the byte and bits 8..15 are 0.
class LaPoints {
public:
    // Point i is words[i].
    static LaPoints words(std::span<const qint16> words) { return LaPoints(words, 0, qint64(words.size()), false); }
    // Point i is byte firstPoint + i of words, for the count points that the
    // words hold from there.
    static LaPoints bytes(std::span<const qint16> words, qint64 firstPoint)
    {
        const qint64 held = std::max<qint64>(0, 2 * qint64(words.size()) - firstPoint);
        return LaPoints(words, std::max<qint64>(0, firstPoint), firstPoint < 0 ? 0 : held, true);
    }

    qint64 size() const { return count_; }
    bool isWords() const { return !bytes_; }
    const qint16 *wordData() const { return words_.data(); }
    // The byte form on a little-endian machine: point i is pointBytes()[i].
    const quint8 *pointBytes() const { return reinterpret_cast<const quint8 *>(words_.data()) + first_; }
    quint16 operator[](qint64 i) const
    {
        if (!bytes_)
            return quint16(words_[size_t(i)]);
        const qint64 p = first_ + i;
        return quint16((quint16(words_[size_t(p / 2)]) >> (8 * (p & 1))) & 0xff);
    }

private:
    LaPoints(std::span<const qint16> words, qint64 first, qint64 count, bool bytes)
        : words_(words), first_(first), count_(count), bytes_(bytes)
    {
    }
    std::span<const qint16> words_;
    qint64 first_;
    qint64 count_;
    bool bytes_;
};

// Digital reduction of n samples to m entries (n > m, m even: m/2 columns of
// two entries). Column j takes the samples j*n/(m/2) up to the next column's
// first; its first entry is its first sample, its second the first sample
// with every bit flipped that changes anywhere in the column. A steady
// channel so keeps equal entries, and a channel with any edge in the column
// gets two different ones. Writes work[0..m-1]; nothing when n <= m, m < 2,
// n exceeds samples or m exceeds work.
void LaWaveZoomOut(const LaPoints &samples, std::span<qint16> work, qint32 n, qint32 m);
inline void LaWaveZoomOut(std::span<const qint16> samples, std::span<qint16> work, qint32 n, qint32 m)
{
    LaWaveZoomOut(LaPoints::words(samples), work, n, m);
}

// Digital widening of n samples to m entries (n < m) for the columns
// first..last (m = 2 * (last - first + 1)): entry e takes the sample under the
// centre of its half column, floor((e + 0.5) * n / m), and is written at the
// full-screen place work[2 * first + e]. Nothing when the columns are not
// inside 0..299, m does not match them, n < 1, n exceeds samples or the
// entries pass the end of work.
void LAZoomIn(const LaPoints &samples, std::span<qint16> work, qint32 n, qint32 m, qint32 first, qint32 last);
inline void LAZoomIn(std::span<const qint16> samples, std::span<qint16> work, qint32 n, qint32 m, qint32 first,
                     qint32 last)
{
    LAZoomIn(LaPoints::words(samples), work, n, m, first, last);
}
