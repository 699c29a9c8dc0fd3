// The Time Base branches of the apply routine.

#include "editors/applybranches.h"

#include "app/appstate.h"
#include "editors/numberentry.h"
#include "values/normvalue.h"
#include "values/valueeditors.h"

void GetTimeBaseParameter(ApplyStep &step)
{
    CtrlSettings &s = step.settings();
    if (step.readBack(QStringLiteral(":TIMEBASE:OFFSET?"), s.Delay, [](const QString &r) { return FormatTime5(r); }))
        step.node(5, 16, Word::ItemDelay, s.Delay);
}

ApplyEnd ApplyTimeBaseDelay(ApplyStep &step, int)
{
    const std::optional<double> typed = step.number();
    if (!typed)
        return ApplyEnd::StayOpen;
    const QString delay = TimeToCommandText(LimitBySingle(*typed, TypedTimeLimit)).toUpper();
    step.query(QStringLiteral(":TIMEBASE:SCALE?")); // asked as the instrument expects; the reply is not used
    step.send(QStringLiteral(":TIMEBASE:OFFSET ") + delay);
    step.pause(100);
    GetTimeBaseParameter(step);
    return ApplyEnd::Close;
}
