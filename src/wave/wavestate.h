#pragma once
// The waveform window subsystem's program-wide state (app().wave).

#include "wave/datastate.h"

struct WaveState {
    DataWindowState data; // the data table windows
};
