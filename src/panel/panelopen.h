#pragma once
// Opening the virtual front panel from the controller's "Virtual Panel" node:
// over a VISA USB resource the screen-mirror panel, over any other link the
// keyboard alone; modal, owned by the main window. Refused while a transfer
// runs.

class QDialog;

// Shows the panel or the keyboard modally and returns when it has closed.
// Does nothing while a transfer runs.
void OpenVirtualPanel();

// The logic channels became (un)available: stores LaPresent, rebuilds the
// controller tree, and shows or hides the LA key of an open keyboard or panel.
// Does nothing when flag equals LaPresent.
void SetLAAvailable(bool flag);
