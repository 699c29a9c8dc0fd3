// The Running Control, CH1 and CH2 branches of the apply routine. Node
// (ch + 1, item) is the channel's node: group 2 for CH1, 3 for CH2.

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

QString &channelMember(int ch, QString CtrlSettings::*ch1, QString CtrlSettings::*ch2)
{
    CtrlSettings &s = app().Settings;
    return ch == 1 ? s.*ch1 : s.*ch2;
}

QString formatVolt(const QString &r)
{
    return FormatVolt(r);
}

} // namespace

ApplyEnd ApplyRunStop(ApplyStep &step, int)
{
    CtrlSettings &s = step.settings();
    s.RunStop = step.choice();
    step.node(1, 2, Word::ItemRunStop, s.RunStop);
    step.send(RunStopCommand(step.choice()));
    // In the roll format the instrument changes the time/div with the run state.
    if (step.query(QStringLiteral(":TIMEBASE:FORMAT?")).trimmed() == QLatin1String("SCANNING")) {
        if (step.readBack(QStringLiteral(":TIMEBASE:SCALE?"), s.TimeDiv,
                          [](const QString &r) { return FormatTime4(r); }))
            step.node(5, 15, Word::ItemTimeDiv, s.TimeDiv);
    }
    return ApplyEnd::Close;
}

ApplyEnd ApplyChannelDisplay(ApplyStep &step, int ch)
{
    QString &member = channelMember(ch, &CtrlSettings::CH1Display, &CtrlSettings::CH2Display);
    member = step.choice();
    step.node(channelGroup(ch), 2, Word::ItemDisplay, member);
    step.send(channelHeader(ch) + QStringLiteral(":DISPLAY ") + OnOffToken(step.choice()));
    if (step.readBack(channelHeader(ch) + QStringLiteral(":DISPLAY?"), member,
                      [](const QString &r) { return OnOffDisplay(r); }))
        step.node(channelGroup(ch), 2, Word::ItemDisplay, member);
    return ApplyEnd::Close;
}

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
                      formatVolt))
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

ApplyEnd ApplyChannelBWLimit(ApplyStep &step, int ch)
{
    QString &member = channelMember(ch, &CtrlSettings::CH1BWLimit, &CtrlSettings::CH2BWLimit);
    member = step.choice();
    step.node(channelGroup(ch), 6, Word::ItemBWLimit, member);
    step.send(channelHeader(ch) + QStringLiteral(":BWLIMIT ") + OnOffToken(step.choice()));
    return ApplyEnd::Close;
}

ApplyEnd ApplyChannelProbe(ApplyStep &step, int ch)
{
    QString &probe = channelMember(ch, &CtrlSettings::CH1Probe, &CtrlSettings::CH2Probe);
    probe = step.choice();
    step.node(channelGroup(ch), 7, Word::ItemProbe, probe);
    // The ratio goes out without its "X"; with no ratio chosen (nor one left
    // without it) nothing is sent.
    const QString choice = step.choice();
    const QString ratio = choice.left(choice.size() - 1);
    if (!ratio.trimmed().isEmpty())
        step.send(channelHeader(ch) + QStringLiteral(":PROBE ") + ratio);
    step.pause(200);
    // The instrument rescales the channel with its probe.
    QString &scale = channelMember(ch, &CtrlSettings::CH1VoltDiv, &CtrlSettings::CH2VoltDiv);
    if (step.readBack(channelHeader(ch) + QStringLiteral(":SCALE?"), scale, formatVolt))
        step.node(channelGroup(ch), 3, Word::ItemVoltDiv, scale);
    QString &offset = channelMember(ch, &CtrlSettings::CH1Offset, &CtrlSettings::CH2Offset);
    if (step.readBack(channelHeader(ch) + QStringLiteral(":OFFSET?"), offset, formatVolt))
        step.node(channelGroup(ch), 4, Word::ItemOffset, offset);
    return ApplyEnd::Close;
}
