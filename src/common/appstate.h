#pragma once
// The program-wide state: each subsystem keeps its shared state in one plain
// struct, and all of them live in the one AppState reached through app().
// resetApp() puts every part back to its start-up values; tests call it
// before each test function.

#include "texts/textstate.h"

struct TransferRequest {
    int RequestKind = 0;      // 1,2 measurements; 3,4,5 data tables; 6 waveforms; 22 upload; 23 download
    int CurrentDoc = 0;       // waveform slot of a kind 6 request
    bool TransferDone = true;
    bool TransferBusy = false;
};

struct AppState {
    TransferRequest transfer;
    TextState texts;
};

AppState &app();
void resetApp();
