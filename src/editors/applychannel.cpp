// The CH1 and CH2 branches of the apply routine. Node (ch + 1, item) is the
// channel's node: group 2 for CH1, 3 for CH2.

#include "editors/applybranches.h"

#include "app/appstate.h"
#include "editors/numberentry.h"
#include "values/normvalue.h"
#include "values/tokenpairs.h"

namespace {

QString channelHeader(int ch)
{
    return QStringLiteral(":CHANNEL") + QString::number(ch);
}

int channelGroup(int ch)
{
    return ch + 1;
}

} // namespace

ApplyEnd ApplyChannelOffset(ApplyStep &step, int ch)
{
    const std::optional<double> typed = step.number();
    if (!typed)
        return ApplyEnd::StayOpen;
    app().editors.OffsetLimit = TypedOffsetLimit;
    const QString volts = GeneralNumberText(LimitBySingle(*typed, app().editors.OffsetLimit));
    CtrlSettings &s = step.settings();
    QString &member = ch == 1 ? s.CH1Offset : s.CH2Offset;
    member = FormatVolt(volts);
    step.node(channelGroup(ch), 4, Word::ItemOffset, member);
    step.send(channelHeader(ch) + QStringLiteral(":OFFSET ") + volts);
    step.pause(200);
    if (step.readBack(channelHeader(ch) + QStringLiteral(":OFFSET?"), member,
                      [](const QString &r) { return FormatVolt(r); }))
        step.node(channelGroup(ch), 4, Word::ItemOffset, member);
    return ApplyEnd::Close;
}

ApplyEnd ApplyChannelCoupling(ApplyStep &step, int ch)
{
    CtrlSettings &s = step.settings();
    QString &member = ch == 1 ? s.CH1Coupling : s.CH2Coupling;
    member = step.choice();
    step.node(channelGroup(ch), 5, Word::ItemCoupling, member);
    step.send(channelHeader(ch) + QStringLiteral(":COUPLING ") + CouplingToken(step.choice()));
    return ApplyEnd::Close;
}
