#include "shell/shellhooks.h"

#include "common/appstate.h"
#include "link/link.h"
#include "platform/visa/visa.h"

#include <algorithm>

namespace {

// The VISA resources matching expr, in search order, at most the link's
// resource table can hold.
QStringList findResources(const QString &expr)
{
    QStringList found;
    ViChar desc[VI_FIND_BUFLEN + 1] = {};
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    const QByteArray e = expr.toLatin1();
    if (viFindRsrc(app().link.DefaultRM, e.constData(), &list, &count, desc) < VI_SUCCESS)
        return found;
    const ViUInt32 n = std::min<ViUInt32>(count, ResourceListSize);
    for (ViUInt32 i = 0; i < n; ++i) {
        if (i > 0) {
            desc[0] = 0;
            viFindNext(list, desc);
        }
        desc[VI_FIND_BUFLEN] = 0;
        found << QString::fromLatin1(desc);
    }
    if (list != VI_NULL)
        viClose(list);
    return found;
}

} // namespace

ShellHooks defaultShellHooks()
{
    ShellHooks h;
    h.OpenVisaRM = [] { OpenVisaRM(); };
    h.ConnectInstrument = [] { ConnectInstrument(); };
    h.DisconnectInstrument = [] { DisconnectInstrument(); };
    h.CloseVisaDevice = [] { CloseVisaDevice(); };
    h.CloseVisaAll = [] { CloseVisaAll(); };
    h.SendCommand = [](const QString &line) { SendCommand(line); };
    h.LinkConnected = [] { return app().link.LinkConnected != 0; };
    h.ResetLinkStartValues = [] {
        LinkState &l = app().link;
        l.LinkConnected = 0;
        l.LinkConnecting = 0;
        l.LaPresent = -1;
        l.ScreenTop = 25;
    };
    h.FindResources = findResources;
    // The link takes the received bytes from the serial-port control itself.
    h.ComReceive = [](const QByteArray &) {};

    // Until the controller pane binds its own: no control file is modified,
    // and a save that cannot be made reports Failed (never Saved).
    h.mnuNewCtrl_Click = [] {};
    h.mnuOpenCtrl_Click = [] {};
    h.OpenCtrl = [](const QString &) {};
    h.mnuSaveCtrl_Click = [] { return SaveOutcome::Failed; };
    h.CtrlFileModified = [] { return false; };
    h.CtrlFilePath = [] { return QString(); };

    // Until the data sheet code binds its own.
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
