#pragma once
// The shell's program-wide state (app().shell): the options kept in the
// settings store, the results of the modal dialogs, the recent-file menus,
// the tick counter and the serial-port status texts, and the hooks into the
// other subsystems.

#include "common/refs.h"
#include "shell/shellhooks.h"
#include "workspace/recentfiles.h"

#include <QString>
#include <QStringList>

struct ShellState {
    // Options (general, I/O and refresh sections of the store). The link kind,
    // port, baud rate and the chosen USB instrument are the link's own
    // (app().link: IoType, ComPortNumber, BaudRateText, ResourceIndex,
    // ResourceName, ResourceList).
    bool StartupCheckHardware = false;
    bool StartupLoadSheet = false;
    bool StartupLoadCtrl = false;
    qint32 GpibAddress = 0;   // 0..30, kept and edited only
    QString RefreshType;      // "Single" or "Auto"
    qint32 RefreshInterval = 0; // ms

    // Results of the modal dialogs.
    bool DialogOK = false;
    qint16 DocType = 0;

    // One-time set-up flags of the Data Browser pane and the tool windows (the
    // controller pane's is app().ctrl.CtrlInitialised).
    bool DataBrowserLoaded = false;
    bool KeyboardLoaded = false;
    bool PanelLoaded = false;

    // The 100 ms tick counter of the serial waits.
    qint64 RxTicks = 0;
    // Serial-port event texts: start empty and are never emptied again.
    QString CommEventText;
    QString CommErrorText;

    RecentMenuState RecentCtrl;
    RecentMenuState RecentSheet;

    // The main window and its connection lamps, once they exist.
    WindowRef MainForm;
    WindowRef PicConnected;
    WindowRef PicDisconnected;

    ShellHooks hooks = defaultShellHooks();
};
