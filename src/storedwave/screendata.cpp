#include "storedwave/screendata.h"

#include "platform/zoom/plotzoom.h"
#include "platform/zoom/vertscale.h"
#include "storedwave/wavefile.h"
#include "values/scalesteps.h"

#include <algorithm>
#include <array>

namespace {

constexpr int LastColumn = PlotZoom::Columns - 1;

bool windowShows(qint16 first, qint16 last) { return first >= 0 && first <= last && last <= LastColumn; }

} // namespace

bool isAlternate(const StoredWave &w) { return w.TrigMode == QLatin1String("ALTERNATION"); }

namespace {

void take(const ScreenWindow &s, qint32 &start, qint32 &end, qint16 &zoomFirst, qint16 &zoomLast, qint16 &first,
          qint16 &last)
{
    start = s.WinStart;
    end = s.WinEnd;
    zoomFirst = s.ZoomFirstCol;
    zoomLast = s.ZoomLastCol;
    first = s.FirstCol;
    last = s.LastCol;
}

} // namespace

void ComputeAnalogWindow(StoredWave &w)
{
    SetupBlock &s = w.Setup;
    if (!isAlternate(w)) {
        take(devGetStopScrWave64(w.SampleRate, w.SampleCount, w.Position, w.Delay, w.TimeDiv), w.Ch1WinStart,
             w.Ch1WinEnd, w.Ch1ZoomFirstCol, w.Ch1ZoomLastCol, s.FirstPoint, s.LastPoint);
        return;
    }
    take(devGetStopScrWave64(w.Ch1SampleRate, w.Ch1SampleCount, w.Ch1Position, w.Ch1Delay, w.Ch1TimeDiv),
         w.Ch1WinStart, w.Ch1WinEnd, w.Ch1ZoomFirstCol, w.Ch1ZoomLastCol, s.CH1FirstPoint, s.CH1LastPoint);
    take(devGetStopScrWave64(w.Ch2SampleRate, w.Ch2SampleCount, w.Ch2Position, w.Ch2Delay, w.Ch2TimeDiv),
         w.Ch2WinStart, w.Ch2WinEnd, w.Ch2ZoomFirstCol, w.Ch2ZoomLastCol, s.CH2FirstPoint, s.CH2LastPoint);
}

bool digitalBytePerPoint(const StoredWave &w) { return w.SampleCount > WaveFileWordPointsMax; }

void ComputeLaWindow(StoredWave &w)
{
    // Up to 524288 points the block holds a word per point, beyond that a
    // byte per point: either way one point per sample, N of them, so the
    // digital rows span the same time as the analog traces.
    const qint32 n = w.SampleCount;
    const float rate = w.AcqTimeDiv <= DigitalFastTimeDiv ? DigitalFastRate : w.SampleRate;
    take(devGetStopScrWave64(rate, n, w.Position, w.Delay, w.TimeDiv), w.LaWinStart, w.LaWinEnd, w.LaZoomFirstCol,
         w.LaZoomLastCol, w.Setup.LAFirstCol, w.Setup.LALastCol);
}

void ZoomAnalogData(StoredWave &w, int channel)
{
    const bool alt = isAlternate(w);
    const bool ch1 = channel == 0;
    const QList<qint16> &samples = ch1 ? w.Ch1Samples : w.Ch2Samples;
    StoredWave::ScreenArray &screen = ch1 ? w.Ch1Screen : w.Ch2Screen;
    const qint32 count = alt ? (ch1 ? w.Ch1SampleCount : w.Ch2SampleCount) : w.SampleCount;
    const qint32 winStart = (alt && !ch1) ? w.Ch2WinStart : w.Ch1WinStart;
    const qint32 winEnd = (alt && !ch1) ? w.Ch2WinEnd : w.Ch1WinEnd;
    qint16 f = w.Setup.FirstPoint, l = w.Setup.LastPoint; // the columns handed to WaveZoom
    qint16 F = f, L = l;                                  // the columns counted
    if (alt && ch1) {
        f = w.Ch1ZoomFirstCol, l = w.Ch1ZoomLastCol;
        F = w.Setup.CH1FirstPoint, L = w.Setup.CH1LastPoint;
    } else if (alt) {
        f = w.Ch2ZoomFirstCol, l = w.Ch2ZoomLastCol;
        F = w.Setup.CH2FirstPoint, L = w.Setup.CH2LastPoint;
    }
    if (!windowShows(f, l) || !windowShows(F, L))
        return;
    // A channel whose array holds fewer samples than its count (a damaged
    // data sheet, a channel never loaded) is left alone.
    if (count <= 0 || samples.size() < count)
        return;
    const qint32 end = std::min(winEnd, count);
    const int m = std::min(2 * (L - F + 1), 2 * (l - f + 1));
    if (!WaveZoom(std::span<const qint16>(samples.constData(), size_t(samples.size())), screen, winStart, end, f, l,
                  PlotZoom::Columns))
        return;
    // Levels of an older file carry a bias and can pass 255: held to a byte.
    std::array<quint8, StoredWave::ScreenSize> bytes{};
    for (int k = 0; k < m; ++k)
        bytes[size_t(k)] = quint8(std::clamp<int>(screen[size_t(k)], 0, 255));
    const float voltDiv = ch1 ? w.Ch1VoltDiv : w.Ch2VoltDiv;
    const float offset = ch1 ? w.Ch1Offset : w.Ch2Offset;
    const float acqVoltDiv = ch1 ? w.Ch1AcqVoltDiv : w.Ch2AcqVoltDiv;
    const float acqOffset = LevelToVolts(ch1 ? w.Ch1AcqOffset : w.Ch2AcqOffset, acqVoltDiv);
    WaveZoomV(std::span<const quint8>(bytes.data(), size_t(m)), screen, m, voltDiv, offset, acqVoltDiv, acqOffset);
    for (int k = 0; k < m; ++k)
        screen[size_t(k)] = qint16(std::clamp<int>(screen[size_t(k)], 25, 224) - 25);
}

void ZoomLaData(StoredWave &w)
{
    const qint16 F = w.Setup.LAFirstCol;
    const qint16 L = w.Setup.LALastCol;
    if (!windowShows(F, L))
        return;
    const qint32 start = w.LaWinStart;
    const qint32 end = std::min(w.LaWinEnd, w.SampleCount);
    if (start < 0 || end < start)
        return;
    // The points from the window's start, as the array holds them; in the
    // byte form its last element is a spare, not two points.
    const std::span<const qint16> words(w.LaSamples.constData(), size_t(w.LaSamples.size()));
    const LaPoints points = digitalBytePerPoint(w)
        ? LaPoints::bytes(words.first(words.empty() ? 0 : words.size() - 1), start)
        : LaPoints::words(words.subspan(std::min(size_t(start), words.size())));
    // The window must lie inside them.
    if (qint64(end) - start >= points.size())
        return;
    const int m = 2 * (L - F + 1);
    const qint32 n = end - start + 1;
    if (n > m) {
        std::array<qint16, PlotZoom::WorkEntries> work{};
        LaWaveZoomOut(points, work, n, m);
        std::copy_n(work.begin(), m, w.LaScreen.begin());
    } else if (n == m) {
        for (int i = 0; i < m; ++i)
            w.LaScreen[size_t(i)] = qint16(points[i]);
    } else {
        std::array<qint16, PlotZoom::WorkEntries> work{};
        LAZoomIn(points, work, n, m, F, L);
        std::copy_n(work.begin() + 2 * F, m, w.LaScreen.begin());
    }
}

void RefreshScreenData(StoredWave &w, int selector)
{
    ComputeAnalogWindow(w);
    if (selector == ScreenSelector::CH1) {
        ZoomAnalogData(w, 0);
    } else if (selector == ScreenSelector::CH2) {
        ZoomAnalogData(w, 1);
    } else if (selector == ScreenSelector::All) {
        if (w.ShowCH1)
            ZoomAnalogData(w, 0);
        if (w.ShowCH2)
            ZoomAnalogData(w, 1);
        if (w.ShowLA) {
            ComputeLaWindow(w);
            ZoomLaData(w);
        }
    }
}
