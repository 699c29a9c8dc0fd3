#pragma once
// Shows a dialog of the shell modally over its owner. The program runs the
// dialog's own modal loop; tests install a runner that shows the dialog,
// drives its controls and returns without any nested loop.

#include <functional>

class QDialog;

using ModalRunner = std::function<void(QDialog &dialog)>;

// Runs dialog modally and returns once it has closed. A continuous refresh
// running below it pauses meanwhile (RefreshPause).
void runModal(QDialog &dialog);
// Installs runner (an empty function restores the dialog's own modal loop).
void setModalRunner(ModalRunner runner);
