#include "editors/applyframe.h"

#include "app/appstate.h"
#include "controller/ctrltree.h"
#include "controller/ctrltreenodes.h"
#include "editors/applykeys.h"
#include "editors/numberentry.h"
#include "link/cmdfunc.h"
#include "platform/clock.h"
#include "platform/ui/ui.h"
#include "texts/messagetable.h"
#include "texts/stringres.h"
#include "transfer/triggerlines.h"
#include "values/triggerhelpers.h"
#include "values/valuereply.h"

#include <QCoreApplication>

ApplyStep::ApplyStep(ApplyDialog &dialog) : dialog_(dialog) {}

CtrlSettings &ApplyStep::settings() const
{
    return app().Settings;
}

QString ApplyStep::choice() const
{
    return dialog_.choice();
}

std::optional<double> ApplyStep::number()
{
    double x = 0;
    if (!ReadTypedNumber(dialog_.inputText(), &x)) {
        ShowNumberOnly();
        return std::nullopt;
    }
    return x;
}

void ApplyStep::send(const QString &line)
{
    if (lacksArgument(line))
        refused_ = true;
    if (refused_)
        return;
    sendBy([&line] { instrumentLines().sendCommand(line); });
}

void ApplyStep::sendBy(const std::function<void()> &sendLine)
{
    // A reply of the edit that did not come has ended the exchange: the line
    // will not go out either, and the edit is undone as for a failed write.
    if (exchangeFailed()) {
        notWritten_ = true;
        return;
    }
    const bool open = linkGateOpen();
    sendLine();
    if (open && !linkGateOpen())
        notWritten_ = true;
}

QString ApplyStep::query(const QString &line)
{
    return CutAtLF(queryUncut(line));
}

QString ApplyStep::queryUncut(const QString &line)
{
    if (refused_)
        return QString();
    return instrumentLines().queryString(line);
}

void ApplyStep::pause(int ms)
{
    appClock().pause(ms);
}

void ApplyStep::node(int group, int item, Word label, const QString &value)
{
    node(group, item, word(label), value);
}

void ApplyStep::node(int group, int item, const QString &label, const QString &value)
{
    if (HasCtrlNode(group, item)) {
        bool noted = false;
        for (const NodeText &n : nodesBefore_)
            noted = noted || (n.group == group && n.item == item);
        if (!noted)
            nodesBefore_.append({group, item, CtrlNodeText(group, item)});
    }
    SetCtrlNodeSetting(group, item, label, value);
}

void ApplyStep::restoreNodes()
{
    // A branch may have built the tree again in its own shape before its
    // command failed: the tree is then built again from the settings.
    if (rebuilt_ || notWritten_) {
        RebuildCtrlTreeKeepingExpanded();
        return;
    }
    for (const NodeText &n : nodesBefore_)
        SetCtrlNodeText(n.group, n.item, n.text);
}

void ApplyStep::rebuild(int group, int item)
{
    rebuilt_ = true;
    RebuildCtrlTreeKeepingExpanded();
    if (CtrlTreeView *tree = CtrlTreeView::current()) {
        if (QTreeWidgetItem *n = tree->node(group, item))
            tree->setCurrentItem(n);
    }
}

bool ApplyStep::readBack(const QString &q, QString &member, const std::function<QString(const QString &)> &convert)
{
    // No reply, or one that holds no value the instrument can mean (">",
    // "<", "*", a number beyond any of its values): the member stays.
    const QString reply = query(q);
    if (reply.isEmpty() || InvalidValueReply(reply))
        return false;
    const QString text = convert(reply);
    if (text.isEmpty())
        return false;
    member = text;
    return true;
}

void ShowNumberOnly()
{
    ui().message(MsgIcon::Exclamation, QCoreApplication::applicationName(), message(Msg::MsgNumberOnly));
}

ApplyEnd ApplySetting(ApplyDialog &dialog)
{
    const QString key = app().ctrl.CtrlSettingKey;
    ApplyKeyRow row;
    const ApplyKeyState state = FindApplyKey(key, &row);

    // The instrument must still answer; any reply will do.
    if (instrumentLines().queryString(QStringLiteral("*IDN?")).isEmpty())
        return ApplyEnd::Close;

    if (state == ApplyKeyState::Built) {
        const CtrlSettings before = app().Settings;
        ApplyStep step(dialog);
        const ApplyEnd end = row.branch(step, row.arg);
        if (step.lineRefused() || step.lineNotWritten()) {
            app().Settings = before;
            step.restoreNodes();
            return ApplyEnd::Close;
        }
        if (end == ApplyEnd::StayOpen)
            return ApplyEnd::StayOpen;
        if (end == ApplyEnd::Refused)
            return ApplyEnd::Close;
    }
    app().ctrl.CtrlFileModified = true;
    return ApplyEnd::Close;
}

ApplyEnd ApplyUnitButton(ApplyDialog &dialog, int index)
{
    static constexpr double factors[] = {0.001, 0.000001, 0.000000001, 0.000000000001, 0.001};
    double x = 0;
    if (index < 0 || index > 4)
        return ApplyEnd::StayOpen;
    if (!ReadTypedNumber(dialog.inputText(), &x)) {
        ShowNumberOnly();
        return ApplyEnd::StayOpen;
    }
    dialog.setInputText(GeneralNumberText(x * factors[index]));
    return ApplySetting(dialog);
}
