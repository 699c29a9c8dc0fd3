#include "transfer/uploaddownload.h"

#include "app/appstate.h"
#include "platform/pump.h"
#include "transfer/downloadfromdso.h"
#include "transfer/uploadtodso.h"

void SettingsProgressStep(float step)
{
    SettingsTransferState &p = app().updown;
    ++p.ProgressSteps;
    const float next = p.ProgressValue + step;
    if (next <= 100.0f) {
        p.ProgressValue = next;
        ++p.ProgressApplied;
    }
    if (p.ShowProgress)
        p.ShowProgress(p.ProgressValue);
    pumpEvents();
}

void RunSettingsTransfer(int kind)
{
    if (kind == 22)
        UploadSettings();
    else if (kind == 23)
        DownloadSettings();
}

void InstallSettingsTransfer()
{
    app().xfer.SettingsTransfer = RunSettingsTransfer;
}
