#include "workspace/modalrunner.h"

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
