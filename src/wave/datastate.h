#pragma once
// The data table windows' program-wide flags (app().wave.data). The one
// continuous-refresh flag they share with the waveform and measure windows,
// DataAutoRefreshOn, lives with the others in app().measure.AutoRefresh.

#include <QtGlobal>

struct DataWindowState {
    // A load started by a data window's Refresh runs (it waits inside the
    // transfer). While it is set no data window closes.
    bool DataBusy = false;
    // Set by every Refresh that gets past its first test; cleared by the
    // unload of any data window.
    bool DataRefreshActive = false;
    // Slot of the window whose Refresh last started a load.
    qint16 DataRefreshDoc = 0;
};
