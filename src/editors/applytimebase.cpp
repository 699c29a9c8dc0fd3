// The Time Base branches of the apply routine: the main time/div, delay and
// format, and the time/div and delay of each channel's own time base under
// the alternate trigger (nodes (12 + ch, 15) and (12 + ch, 16)).

#include "editors/applybranches.h"

#include "app/appstate.h"
#include "texts/stringres.h"
#include "editors/numberentry.h"
#include "values/normvalue.h"
#include "values/tokenpairs.h"
#include "values/triggerhelpers.h"
#include "values/valueeditors.h"

namespace {

QString formatTime4(const QString &r)
{
    return FormatTime4(r);
}

QString formatTime5(const QString &r)
{
    return FormatTime5(r);
}

// A typed delay as the instrument takes it ("0.5MS"), or nothing after
// MsgNumberOnly.
std::optional<QString> typedDelay(ApplyStep &step)
{
    const std::optional<double> typed = step.number();
    if (!typed)
        return std::nullopt;
    return TimeToCommandText(LimitBySingle(*typed, TypedTimeLimit)).toUpper();
}

void selectAlternationSource(ApplyStep &step, int ch)
{
    step.send(QStringLiteral(":TRIGGER:ALTERNATION:SOURCE CHANNEL") + QString::number(ch));
    step.pause(50);
}

} // namespace

void GetTimeBaseParameter(ApplyStep &step)
{
    CtrlSettings &s = step.settings();
    if (step.readBack(QStringLiteral(":TIMEBASE:OFFSET?"), s.Delay, formatTime5))
        step.node(5, 16, Word::ItemDelay, s.Delay);
}

ApplyEnd ApplyChannelTimeDiv(ApplyStep &step, int ch)
{
    CtrlSettings &s = step.settings();
    QString &member = ch == 1 ? s.CH1TimeDiv : s.CH2TimeDiv;
    selectAlternationSource(step, ch);
    step.send(QStringLiteral(":TRIGGER:ALTERNATION:TIMESCALE ") + step.choice().toUpper());
    step.pause(50);
    if (step.readBack(QStringLiteral(":TRIGGER:ALTERNATION:TIMESCALE?"), member, formatTime4))
        step.node(12 + ch, 15, Word::ItemTimeDiv, member);
    return ApplyEnd::Close;
}

ApplyEnd ApplyChannelDelay(ApplyStep &step, int ch)
{
    CtrlSettings &s = step.settings();
    QString &member = ch == 1 ? s.CH1Delay : s.CH2Delay;
    selectAlternationSource(step, ch);
    const std::optional<QString> delay = typedDelay(step);
    if (!delay)
        return ApplyEnd::StayOpen;
    step.query(QStringLiteral(":TRIGGER:ALTERNATION:TIMESCALE?")); // asked as the instrument expects; not used
    step.send(QStringLiteral(":TRIGGER:ALTERNATION:TIMEOFFSET ") + *delay);
    step.pause(50);
    if (step.readBack(QStringLiteral(":TRIGGER:ALTERNATION:TIMEOFFSET?"), member, formatTime5))
        step.node(12 + ch, 16, Word::ItemDelay, member);
    return ApplyEnd::Close;
}

ApplyEnd ApplyTimeBaseTimeDiv(ApplyStep &step, int)
{
    CtrlSettings &s = step.settings();
    step.send(QStringLiteral(":TIMEBASE:SCALE ") + step.choice().toUpper());
    if (step.readBack(QStringLiteral(":TIMEBASE:SCALE?"), s.TimeDiv, formatTime4))
        step.node(5, 15, Word::ItemTimeDiv, s.TimeDiv);
    GetTimeBaseParameter(step);
    return ApplyEnd::Close;
}

ApplyEnd ApplyTimeBaseDelay(ApplyStep &step, int)
{
    const std::optional<QString> delay = typedDelay(step);
    if (!delay)
        return ApplyEnd::StayOpen;
    step.query(QStringLiteral(":TIMEBASE:SCALE?")); // asked as the instrument expects; the reply is not used
    step.send(QStringLiteral(":TIMEBASE:OFFSET ") + *delay);
    step.pause(100);
    GetTimeBaseParameter(step);
    return ApplyEnd::Close;
}

ApplyEnd ApplyTimeBaseFormat(ApplyStep &step, int)
{
    CtrlSettings &s = step.settings();
    step.send(QStringLiteral(":TIMEBASE:FORMAT ") + TimebaseFormatToken(step.choice()));
    step.pause(100);
    if (step.readBack(QStringLiteral(":TIMEBASE:FORMAT?"), s.TimebaseFormat, [](const QString &r) {
            return r.trimmed() == QLatin1String("SCANNING") ? TimebaseFormatDisplay(r.trimmed()) : r;
        }))
        step.node(5, 18, Word::ItemFormat, s.TimebaseFormat);
    // In X-Y the instrument shows both channels.
    if (s.TimebaseFormat == QLatin1String("X-Y")) {
        s.CH1Display = word(Word::WordOn);
        step.node(2, 2, Word::ItemDisplay, s.CH1Display);
        s.CH2Display = word(Word::WordOn);
        step.node(3, 2, Word::ItemDisplay, s.CH2Display);
    }
    if (step.readBack(QStringLiteral(":LA:DISPLAY?"), s.LADisplay, [](const QString &r) { return OnOffDisplay(r); }))
        step.node(4, 9, Word::ItemDisplay, s.LADisplay);
    step.pause(100);
    if (step.readBack(QStringLiteral(":TIMEBASE:SCALE?"), s.TimeDiv, formatTime4))
        step.node(5, 15, Word::ItemTimeDiv, s.TimeDiv);
    GetTimeBaseParameter(step);
    return ApplyEnd::Close;
}
