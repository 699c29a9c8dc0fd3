#include "workspace/modalrunner.h"

#include "workspace/itemrefresh.h"

#include <QDialog>

namespace {
ModalRunner &runnerSlot()
{
    static ModalRunner r;
    return r;
}
} // namespace

void runModal(QDialog &dialog)
{
    // A continuous refresh whose loop this dialog's runs on top of waits, and
    // shows that it does, until the dialog closes.
    const RefreshPause pause;
    if (runnerSlot()) {
        runnerSlot()(dialog);
        return;
    }
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.exec();
}

void setModalRunner(ModalRunner runner)
{
    runnerSlot() = std::move(runner);
}
