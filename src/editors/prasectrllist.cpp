#include "editors/prasectrllist.h"

#include "app/appstate.h"
#include "controller/ctrltree.h"
#include "editors/ctrldialog.h"
#include "editors/ctrldialogadjust.h"
#include "editors/ctrlpath.h"
#include "editors/directactions.h"
#include "editors/editplan.h"
#include "link/cmdfunc.h"
#include "panel/panelopen.h"
#include "platform/pump.h"
#include "workspace/modalrunner.h"

#include <optional>

namespace {

// The controller pane, owner of the dialogs (null while no pane exists).
QWidget *controllerPane()
{
    CtrlTreeView *tree = CtrlTreeView::current();
    return tree ? tree->parentWidget() : nullptr;
}

void runAction(DirectAction a)
{
    // An action with the instrument, pauses included, is one exchange; the
    // virtual panel only opens a window.
    std::optional<LinkExchange> exchange;
    if (a != DirectAction::VirtualPanel && a != DirectAction::None)
        exchange.emplace();
    switch (a) {
    case DirectAction::AutoSet: AutoSet(); break;
    case DirectAction::Trig50: SetTrigTo50(); break;
    case DirectAction::ForceTrigger: ForceTrigger(); break;
    case DirectAction::LaReset: LaPositionReset(); break;
    case DirectAction::DisplayClear: DisplayClear(); break;
    case DirectAction::VirtualPanel: OpenVirtualPanel(); break;
    case DirectAction::None: break;
    }
}

} // namespace

void DispatchCtrlEdit(const QString &path)
{
    CtrlState &c = app().ctrl;
    // The path is read once: the caller may hand over CtrlSelectedPath itself.
    const CtrlPathParts parts = SplitCtrlPath(path);
    c.CtrlSettingKey = QStringLiteral(" ");
    const EditPlan plan = PlanCtrlEdit(parts);

    switch (plan.dialog) {
    case EditDialogKind::List:
    case EditDialogKind::Entry:
    case EditDialogKind::Threshold: {
        CtrlDialog dialog(controllerPane());
        dialog.prepare(plan);
        c.CtrlSettingKey = plan.key;
        runModal(dialog);
        break;
    }
    case EditDialogKind::Adjust: {
        app().editors.AdjustMode = quint8(plan.adjustMode);
        CtrlDialogAdjust dialog(controllerPane());
        dialog.prepare(plan);
        runModal(dialog);
        break;
    }
    case EditDialogKind::None:
        // The virtual panel is refused while a transfer runs, and the path
        // is kept for a later Enter.
        if (plan.action == DirectAction::VirtualPanel && app().transfer.TransferBusy)
            return;
        runAction(plan.action);
        break;
    }
    c.CtrlSelectedPath.clear();
}

void InstallSettingEditors()
{
    app().ctrl.hooks.editSetting = [](const QString &path) { DispatchCtrlEdit(path); };
}
