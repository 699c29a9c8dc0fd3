#pragma once
// What the settings upload and download share: the progress bar of the
// transfer dialog as they drive it, and the hook that repaints it. Lives in
// app().updown; resetApp() clears it.

#include <functional>

struct SettingsTransferState {
    // The dialog's progress bar (0..100) as the last upload or download left it.
    float ProgressValue = 0.0f;
    // Steps taken in the last run, and how many of them moved the bar.
    int ProgressSteps = 0;
    int ProgressApplied = 0;

    // Repaints the dialog's bar with the value (empty: nothing to repaint).
    std::function<void(double value)> ShowProgress;
};

// One progress step: the bar takes its value plus step (single precision)
// unless that would pass 100, is repainted, and pending events are processed.
void SettingsProgressStep(float step);

// Runs request kind 22 (UploadSettings) or 23 (DownloadSettings); any other
// kind does nothing. The transfer dialog's dispatch calls it.
void RunSettingsTransfer(int kind);

// Makes the transfer dialog's dispatch run RunSettingsTransfer for kinds 22
// and 23 (app().xfer.SettingsTransfer). Start-up calls it once the state is
// set up; resetApp() clears it.
void InstallSettingsTransfer();
