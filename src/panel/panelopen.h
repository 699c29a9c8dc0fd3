#pragma once
// Opening the virtual front panel from the controller's "Virtual Panel" node:
// over a VISA USB resource the screen-mirror panel, over any other link the
// keyboard alone; modal, owned by the main window. Refused while a transfer
// runs.

#include <QString>

#include <functional>

class QDialog;

// True when path (root, "\", node text) names the Virtual Panel node in the
// language in force.
bool IsVirtualPanelPath(const QString &path);

// Shows the panel or the keyboard modally and returns when it has closed.
// Does nothing while a transfer runs.
void OpenVirtualPanel();

// The controller's dispatcher with the panel in front: the Virtual Panel node
// opens the panel; any other path goes to next (when set).
void DispatchCtrlNode(const QString &path, const std::function<void(const QString &)> &next);

// The logic channels became (un)available: stores LaPresent, rebuilds the
// controller tree, and shows or hides the LA key of an open keyboard or panel.
// Does nothing when flag equals LaPresent.
void SetLAAvailable(bool flag);
