#pragma once
// The controller's shared state: the control file globals and the replaceable
// hooks through which the controller reaches the subsystems built beside it
// (the link, the transfer dialog, the setting editors, the recent-file list).
// The one instance is app().ctrl; resetApp() empties it, hooks included.

#include <QString>

#include <array>
#include <functional>

// Number of tree nodes whose open or closed state a rebuild can keep
// (SaveCtrlTreeExpanded / RestoreCtrlTreeExpanded).
inline constexpr int CtrlTreeExpandedCount = 17;

// How the controller reaches its neighbours. Every hook may be left empty; the
// comment says what an empty hook means.
struct CtrlHooks {
    // LinkConnected of the instrument link. Empty: not connected.
    std::function<bool()> linkConnected;
    // LaPresent of the instrument link (the instrument has D0-D15). Empty: true,
    // the link's own start-up value.
    std::function<bool()> laPresent;
    // ConnectInstrument and DisconnectInstrument of the link. Empty: nothing.
    std::function<void()> connectInstrument;
    std::function<void()> disconnectInstrument;
    // Shows the transfer dialog, captioned caption, for the request already set
    // in app().transfer (RequestKind 22 upload, 23 download; TransferDone
    // false), without blocking. The controller then pumps events until
    // TransferDone is set. Empty: no transfer runs and the request completes at
    // once.
    std::function<void(const QString &caption)> showTransfer;
    // The setting-edit dispatcher, handed the full path of the selected node.
    // Empty: a double click on a setting does nothing.
    std::function<void(const QString &path)> editSetting;
    // Puts path at the head of the recent control-file list. Empty: nothing.
    std::function<void(const QString &path)> addRecentCtrlFile;
};

struct CtrlState {
    // Path of the current control file; empty while the settings have never
    // been saved or opened.
    QString CtrlFilePath;
    // The settings changed since the last New, Open or Save.
    bool CtrlFileModified = false;
    // False until the controller pane's first load has reset the settings.
    bool CtrlInitialised = false;
    // Full path of the last clicked tree node, node texts joined by "\".
    QString CtrlSelectedPath;
    // Key of the setting being edited (the setting editors write it).
    QString CtrlSettingKey;
    // Stored open (true) or closed state of the nodes that can have children.
    std::array<bool, CtrlTreeExpandedCount> CtrlTreeExpanded{};
    CtrlHooks hooks;
};
