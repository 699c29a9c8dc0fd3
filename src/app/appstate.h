#pragma once
// The program-wide state: each subsystem keeps its shared state in one plain
// struct, and all of them live in the one AppState reached through app().
// resetApp() puts every part back to its start-up values; tests call it
// before each test function.

#include "common/ctrlsettings.h"
#include "common/datasheet.h"
#include "controller/ctrlstate.h"
#include "datasheet/datasheetstate.h"
#include "editors/editorsstate.h"
#include "link/linkstate.h"
#include "replay/replaystate.h"
#include "panel/panelstate.h"
#include "measure/measurestate.h"
#include "shell/shellstate.h"
#include "storedwave/storedwavestate.h"
#include "texts/textstate.h"
#include "transfer/transferstate.h"
#include "transfer/uploaddownload.h"
#include "values/valuesstate.h"
#include "wave/wavestate.h"

struct TransferRequest {
    int RequestKind = 0;      // 1,2 measurements; 3,4,5 data tables; 6 waveforms; 22 upload; 23 download
    int CurrentDoc = 0;       // waveform slot of a kind 6 request
    bool TransferDone = true;
    bool TransferBusy = false;
};

struct AppState {
    TransferRequest transfer;
    DataSheet Sheet;       // the one data sheet; empty at start
    CtrlSettings Settings; // empty texts at start; Settings.reset() gives the defaults
    ValuesState values;
    TextState texts;       // language, message table, display words, language loaders
    CtrlState ctrl;        // control file globals and the controller's hooks
    TransferData xfer;     // transfer buffers, progress values and hooks
    SettingsTransferState updown; // progress and hooks of the settings upload and download
    ShellState shell;      // options, dialog results, recent menus, hooks of the main window
    LinkState link;        // link kind and flags, lamps, model facts, receive state, VISA session
    ReplayState replay;    // hooks of the replay windows
    PanelState panel;      // virtual panel: mirror flags and screen buffers
    MeasureState measure;  // measure windows' shared flags and the one continuous-refresh flag set
    DataSheetState sheetui; // the Data Browser tree and the hooks to the item windows
    WaveState wave;        // the waveform and data table windows' shared flags
    EditorsState editors;  // the setting editors: the adjust dialog's remembered choices
    StoredWaveState storedwave; // the viewer windows' grid cache
};

AppState &app();
void resetApp();
