#pragma once
// The control-file commands the main window uses: New Control File (its new
// document chooser), Open Control File (its open document chooser), OpenCtrl
// (its recent control-file menu and the start-up reopening of the last file)
// and Save (Save Control File, Save All and the close prompt).
//
// The controller pane implements them; ctrlFileCommands() returns the pane
// while it exists (null before it is made and after it is destroyed).
//
// New, Open and OpenCtrl first ask whether to save unsaved changes (Yes / No /
// Cancel); Cancel, or Yes followed by a save that was cancelled or failed,
// stops the command with nothing changed. All three do nothing while a
// transfer runs. A file that cannot be read or is not a control file is
// reported and changes nothing.

#include "workspace/doccommands.h"

#include <QString>

// Saved: the file was written, the settings are no longer modified;
// Cancelled: the user cancelled the file dialog, nothing written; Failed:
// writing failed (reported to the user), the settings stay modified.
using CtrlSaveResult = SaveOutcome;

class CtrlFileCommands {
public:
    virtual ~CtrlFileCommands() = default;
    // New Control File: the default settings, untitled and not modified.
    virtual void mnuNewCtrl_Click() = 0;
    // Open Control File: asks for a file with the open dialog and opens it.
    virtual void mnuOpenCtrl_Click() = 0;
    // Opens the control file at path without a dialog.
    virtual void OpenCtrl(const QString &path) = 0;
    // Save: to the current path, or to one chosen in a save dialog when the
    // settings are untitled.
    virtual CtrlSaveResult mnuSaveCtrl_Click() = 0;
};

// The implementation in force (the controller pane), or null.
CtrlFileCommands *ctrlFileCommands();
// Registers the implementation (the pane does it itself; null removes it).
void setCtrlFileCommands(CtrlFileCommands *commands);
