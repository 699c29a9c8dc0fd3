#include "panel/panelopen.h"

#include "app/appstate.h"
#include "controller/ctrltreenodes.h"
#include "panel/frmv_key.h"
#include "panel/frmv_panel.h"
#include "workspace/modalrunner.h"
#include "texts/stringres.h"

#include <QPointer>

namespace {
QPointer<frmV_Key> g_keyboard;
QPointer<frmV_Panel> g_panel;
} // namespace

void OpenVirtualPanel()
{
    if (app().transfer.TransferBusy)
        return;
    QWidget *owner = app().shell.MainForm.data();
    // The interface type is only set by a VISA open: after a serial-port
    // connect it still names the last VISA session's interface.
    const LinkState &l = app().link;
    if (l.IoType != IoTypeSerial && l.VisaInterfaceType == 1) {
        frmV_Panel panel(owner);
        g_panel = &panel;
        runModal(panel);
        g_panel = nullptr;
    } else {
        frmV_Key keyboard(owner);
        g_keyboard = &keyboard;
        runModal(keyboard);
        g_keyboard = nullptr;
    }
}

void SetLAAvailable(bool flag)
{
    LinkState &l = app().link;
    if ((l.LaPresent != 0) == flag)
        return;
    l.LaPresent = flag ? -1 : 0;
    // Every open waveform window shows the LA source box, or hides it.
    DataSheet &sheet = app().Sheet;
    const int waves = qBound(0, int(sheet.WaveDocCount), DataSheet::WaveSlots);
    for (int i = 0; i < waves; ++i) {
        WaveDoc &d = sheet.WaveDocs[size_t(i)];
        if (!d.WindowOpen)
            continue;
        d.DigitalLayout = flag;
        if (const auto &layOut = app().sheetui.windows.layOutChannels)
            layOut(SheetItemKind::Wave, i, flag);
    }
    // The tree is made again with or without its LA group, closed down to
    // the root, as after a download.
    BuildCtrlTree();
    if (app().shell.KeyboardLoaded && g_keyboard)
        g_keyboard->setLaAvailable(flag);
    if (app().shell.PanelLoaded && g_panel)
        g_panel->setLaAvailable(flag);
}
