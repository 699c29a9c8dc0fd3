#pragma once
// The waveform windows' program-wide state (app().wave): the flags all
// waveform windows share, and those of the data table windows (data). Whether
// a continuous waveform refresh runs is WaveAutoRefreshOn of the one set of
// continuous-refresh flags that the waveform, data and measure windows share
// (measure/measurestate.h).

#include "wave/datastate.h"

#include <QtGlobal>

struct WaveState {
    bool WaveBusy = false;          // a waveform window's load runs (set around it by the Refresh press)
    bool WaveRefreshActive = false; // from a Refresh press until any waveform window unloads
    qint16 WaveRefreshDoc = 0;      // slot of the window whose Refresh press came last
    DataWindowState data;           // the data table windows
};
