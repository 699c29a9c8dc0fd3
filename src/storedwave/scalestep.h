#pragma once
// Scale stepping of a stored waveform: the volts/div of CH1 and CH2 and the
// time/div (one under the normal trigger, one per channel under the
// alternate trigger) moved one rung along their 1-2-5 sequences. The window
// holds the buttons and the 200 ms repeat; this holds what a step does.

#include "common/storedwave.h"

#include <QString>

// The scales a step button moves.
enum class ScaleTarget : quint8 { Ch1VoltDiv = 0, Ch2VoltDiv = 1, TimeDiv = 2, Ch1TimeDiv = 3, Ch2TimeDiv = 4 };

// Moves target one rung down (direction < 0) or up (> 0). On the press that
// starts a step (rescaleOffset) a volts/div step also rescales the channel's
// offset so that the trace keeps its place in divisions: offset := new /
// old * offset, kept when the old volts/div was 0; repeat steps leave the
// offset in volts. At the end of a sequence the value stays.
void StepScale(StoredWave &w, ScaleTarget target, int direction, bool rescaleOffset);

// The text of target's value as its box shows it: FormatVolt of a volts/div,
// FormatTime4 of a time/div.
QString scaleText(const StoredWave &w, ScaleTarget target);

// The screen data a step of target recomputes: CH1 for its volts/div and
// time/div, CH2 likewise, every shown channel for the main time/div.
int scaleSelector(ScaleTarget target);
