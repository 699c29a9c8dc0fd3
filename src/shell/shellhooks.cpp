#include "shell/shellhooks.h"

#include "common/appstate.h"

ShellHooks defaultShellHooks()
{
    ShellHooks h;
    h.OpenVisaRM = [] {};
    h.ConnectInstrument = [] {};
    h.DisconnectInstrument = [] { app().shell.linkFlags.LinkConnected = false; };
    h.CloseVisaDevice = [] {};
    h.CloseVisaAll = [] {};
    h.SendCommand = [](const QString &) {};
    h.LinkConnected = [] { return app().shell.linkFlags.LinkConnected; };
    h.ResetLinkStartValues = [] {
        LinkStandIn &f = app().shell.linkFlags;
        f.LinkConnected = false;
        f.LinkConnecting = false;
        f.LaPresent = true;
        f.ScreenTop = 25;
    };
    h.FindResources = [](const QString &) { return QStringList(); };
    h.ComReceive = [](const QByteArray &) {};

    h.mnuNewCtrl_Click = [] {};
    h.mnuOpenCtrl_Click = [] {};
    h.OpenCtrl = [](const QString &) {};
    h.mnuSaveCtrl_Click = [] { return SaveOutcome::Failed; };
    h.CtrlFileModified = [] { return false; };
    h.CtrlFilePath = [] { return QString(); };

    h.mnuNewDataSheet_Click = [] {};
    h.mnuOpenDataSheet_Click = [] {};
    h.OpenDataSheet = [](const QString &) {};
    h.mnuSaveDataSheet_Click = [] { return SaveOutcome::Failed; };
    h.AddNewWaveform = [] {};
    h.AddNewMeasure = [] {};
    h.AddNewData = [] {};
    h.AddNewRecord = [] {};
    h.AddNewMemoryWave = [] {};
    return h;
}
