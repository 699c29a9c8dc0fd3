#pragma once
// The vertical rescaling of a stored waveform's screen entries: a level taken
// at one volts/div and offset, shown at another. No state.
//
// Levels: 25 per division, level 125 on the centre line, higher levels lower
// on screen. An offset of o volts at v volts/div puts 0 V at level
// 125 - o / v * 25, so a level L taken at volts/div va and offset oa stands
// for the voltage (125 - L) * va / 25 - oa.

#include <QtGlobal>

#include <span>

// Writes, for each of the count levels, the level the same voltage has at
// voltDiv and offset: 125 - (V + offset) / voltDiv * 25 with V as above,
// rounded half to even and held to the 16-bit range. A volts/div (now or at
// acquisition) that is zero or not finite, or an offset that is not finite,
// leaves the levels as they were taken. Writes nothing when count is negative
// or exceeds either span.
void WaveZoomV(std::span<const quint8> levels, std::span<qint16> screen, int count, float voltDiv, float offset,
               float acqVoltDiv, float acqOffset);
