#include "shell/shellhooks.h"

#include "app/appstate.h"
#include "controller/ctrlfilecommands.h"
#include "controller/frmctrllist.h"
#include "datasheet/frmdatasheettree.h"
#include "datasheet/sheetcommands.h"
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

    // The controller pane and its control-file commands (none while no pane
    // exists: then a save reports Failed, never Saved).
    h.MakeControllerPane = [](QWidget *parent) -> QWidget * { return new frmCtrlList(parent); };
    h.mnuNewCtrl_Click = [] {
        if (CtrlFileCommands *c = ctrlFileCommands())
            c->mnuNewCtrl_Click();
    };
    h.mnuOpenCtrl_Click = [] {
        if (CtrlFileCommands *c = ctrlFileCommands())
            c->mnuOpenCtrl_Click();
    };
    h.OpenCtrl = [](const QString &path) {
        if (CtrlFileCommands *c = ctrlFileCommands())
            c->OpenCtrl(path);
    };
    h.mnuSaveCtrl_Click = [] {
        CtrlFileCommands *c = ctrlFileCommands();
        if (!c)
            return SaveOutcome::Failed;
        return c->mnuSaveCtrl_Click();
    };
    h.CtrlFileModified = [] { return app().ctrl.CtrlFileModified; };
    h.CtrlFilePath = [] { return app().ctrl.CtrlFilePath; };

    // The Data Browser pane and the data sheet commands.
    h.MakeDataSheetPane = [](QWidget *parent) -> QWidget * { return new frmDataSheetTree(parent); };
    h.mnuNewDataSheet_Click = [] { NewDataSheet(); };
    h.mnuOpenDataSheet_Click = [] { OpenDataSheetWithDialog(); };
    h.OpenDataSheet = [](const QString &path) { OpenDataSheet(path); };
    h.mnuSaveDataSheet_Click = [] { return SaveDataSheet(); };
    h.AddNewWaveform = [] { AddNewWaveform(); };
    h.AddNewMeasure = [] { AddNewMeasure(); };
    h.AddNewData = [] { AddNewData(); };
    h.AddNewRecord = [] { AddNewRecord(); };
    h.AddNewMemoryWave = [] { AddNewMemoryWave(); };
    return h;
}
