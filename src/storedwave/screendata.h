#pragma once
// The screen data of a stored waveform: the visible windows of the record and
// its fixed-size screen arrays (two values per graticule column), computed
// through the zoom layer (platform/zoom) after every change that moves or
// rescales the picture. The drawing and the hit tests read only these.
//
// Screen arrays: Ch1Screen and Ch2Screen hold graticule rows 0..199 for the
// present volts/div and offset; LaScreen holds digital words; entries 2k and
// 2k + 1 belong to the k-th column of the channel's window. A channel whose
// window shows nothing keeps its previous screen array.

#include "common/storedwave.h"

namespace ScreenSelector {
inline constexpr int CH1 = 0; // CH1's screen array only
inline constexpr int CH2 = 1; // CH2's screen array only
inline constexpr int All = 3; // every shown channel
} // namespace ScreenSelector

// Record rate at which the digital window is computed when the acquisition's
// time/div is at most DigitalFastTimeDiv.
inline constexpr float DigitalFastRate = 200000000.0f;
inline constexpr double DigitalFastTimeDiv = 2e-7;

// True for the alternate trigger ("ALTERNATION", exactly).
bool isAlternate(const StoredWave &w);

// Recomputes the analog windows (always), then by selector: 0 CH1's screen
// array, 1 CH2's, 3 every shown channel's and, when the digital block is
// shown, the digital window and LaScreen. Selectors 0 and 1 do not look at
// the show flags; any other selector recomputes the windows only.
void RefreshScreenData(StoredWave &w, int selector);

// The analog windows: under the normal trigger one window for both channels
// (Ch1WinStart/End, Setup.FirstPoint/LastPoint), under the alternate trigger
// one per channel from its own rate, count, position, delay and time/div.
void ComputeAnalogWindow(StoredWave &w);
// True when the record's digital block holds one byte per point (more than
// 524288 points), packed two to an element of LaSamples; else one word per
// point.
bool digitalBytePerPoint(const StoredWave &w);
// The digital window, from the record's points, at 200 MS/s when the
// acquisition time/div is 200 ns or less, else at the record's rate.
void ComputeLaWindow(StoredWave &w);

// One analog screen array (channel 0 CH1, 1 CH2) from the channel's window:
// two levels per column, moved to the present volts/div and offset, held to
// the graticule and given as rows 0..199. Nothing changes when the window
// shows nothing or the channel's samples are fewer than its count.
void ZoomAnalogData(StoredWave &w, int channel);
// The digital screen array from the digital window: reduced, copied or
// widened to two words per column (bit i = Di; in the byte form D0..D7, the
// high byte 0). Nothing changes when the window shows nothing or LaSamples
// does not reach the window's end.
void ZoomLaData(StoredWave &w);
