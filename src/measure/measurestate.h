#pragma once
// The measurement windows' program-wide state (app().measure): the flags all
// measure windows share, and the one place that says which window runs a
// continuous refresh.
//
// AutoRefreshFlags is shared by the waveform, data and measure windows: only
// one continuous refresh runs at a time across them. A window refuses to start
// its refresh while another kind's flag is set, and the refresh clocks of all
// three write RefreshElapsed.

#include <QtGlobal>

struct AutoRefreshFlags {
    bool WaveAutoRefreshOn = false; // a waveform window refreshes continuously
    bool DataAutoRefreshOn = false; // a data window refreshes continuously
    bool MeasAutoRefreshOn = false; // a measure window refreshes continuously; clearing it ends that refresh
    qint32 RefreshElapsed = 0;      // set by a running refresh clock to its interval
};

struct MeasureState {
    AutoRefreshFlags AutoRefresh;
    bool MeasBusy = false;          // a load started by a Refresh click runs
    bool MeasRefreshActive = false; // from a Refresh click until a measure window unloads
    qint16 MeasRefreshDoc = 0;      // slot of the window whose Refresh click last started a load
};
