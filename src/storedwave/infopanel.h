#pragma once
// The info panel of a viewer window: which scale rows and time/div group it
// shows for the channels of the record, where they go, and their texts. Pure
// arithmetic in twips (the window turns them into pixels); no window code.
//
// The panel (framRefresh) holds the volts/div frame (framVoltDiv: a CH1 and a
// CH2 row of label, text box and Dec/Inc buttons), the time/div frame of the
// normal trigger (framTimeDiv), the per-channel time/div frame of the
// alternate trigger (framAltTimeDiv) and the Reset button.

#include "common/storedwave.h"

#include <QString>

// Design sizes of the panel's controls, twips.
struct InfoPanelDesign {
    int labelWidth = 705;     // lblCH1, lblCH2
    int boxWidth = 1035;      // txtCH1Div, txtCH2Div
    int buttonWidth = 285;    // the Dec and Inc buttons
    int resetWidth = 675;     // Reset
    int timeFrameWidth = 2700; // framTimeDiv
    int altFrameWidth = 4800;  // framAltTimeDiv (its right part stays clear for Reset)
    int voltFrameLeft = 105;   // framVoltDiv.Left
};

// A channel row placed at x: label at x, text box 450 to its right, the Dec
// button 60 after the box, the Inc button 40 after Dec.
struct InfoRowPlace {
    int label = 0;
    int box = 0;
    int dec = 0;
    int inc = 0;
};
InfoRowPlace infoRowAt(int x, const InfoPanelDesign &d);

// Where LayoutMemoryWaveInfo puts things. moved is false when no control
// moves (normal trigger with no channel at all); the frames' visibility is set
// in every case. With the logic channels alone the volts/div frame is hidden
// and the time/div group and Reset move to its place.
struct InfoPanelPlace {
    bool altFrameShown = false;
    bool timeFrameShown = true;
    bool voltFrameShown = true;
    bool moved = false;
    int voltFrameWidth = 0;
    InfoRowPlace ch1;
    InfoRowPlace ch2;
    bool ch1Moved = false;
    bool ch2Moved = false;
    int refreshWidth = 0;
    int timeFrameLeft = 0; // normal trigger
    int altFrameLeft = 0;  // alternate trigger
    int resetLeft = 0;
};
InfoPanelPlace LayoutMemoryWaveInfo(const StoredWave &w, const InfoPanelDesign &d = {});

// What FillMemoryWaveInfo shows: each channel row with its volts/div when the
// channel is shown (else hidden with an empty box); under the normal trigger
// the time/div group when any channel or the digital block is shown; under
// the alternate trigger the two per-channel time/divs.
struct InfoPanelTexts {
    bool ch1Shown = false;
    bool ch2Shown = false;
    bool timeShown = false; // normal trigger only
    bool alternate = false;
    QString ch1VoltDiv;
    QString ch2VoltDiv;
    QString timeDiv;
    QString ch1TimeDiv;
    QString ch2TimeDiv;
};
InfoPanelTexts FillMemoryWaveInfo(const StoredWave &w);
