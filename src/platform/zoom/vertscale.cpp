#include "platform/zoom/vertscale.h"

#include <algorithm>
#include <cmath>

void WaveZoomV(std::span<const quint8> levels, std::span<qint16> screen, int count, float voltDiv, float offset,
               float acqVoltDiv, float acqOffset)
{
    if (count < 0 || size_t(count) > levels.size() || size_t(count) > screen.size())
        return;
    const double v = voltDiv;
    const double va = acqVoltDiv;
    const bool rescale = v != 0.0 && va != 0.0 && std::isfinite(v) && std::isfinite(va) && std::isfinite(offset)
        && std::isfinite(acqOffset);
    for (int k = 0; k < count; ++k) {
        const double taken = levels[size_t(k)];
        double level = taken;
        if (rescale) {
            const double volts = (125.0 - taken) * va / 25.0 - double(acqOffset);
            level = 125.0 - (volts + double(offset)) / v * 25.0;
        }
        level = std::clamp(level, -32768.0, 32767.0);
        screen[size_t(k)] = qint16(std::nearbyint(level));
    }
}
