// The Acquire and Display branches of the apply routine: each sends first and
// stores or reads back afterwards. Group 7 is Acquire, group 8 Display.

#include "editors/applybranches.h"

#include "app/appstate.h"
#include "values/tokenpairs.h"

ApplyEnd ApplyAcqSamplingMode(ApplyStep &step, int)
{
    CtrlSettings &s = step.settings();
    step.send(QStringLiteral(":ACQUIRE:MODE ") + AcqModeToken(step.choice()));
    step.pause(50);
    if (step.readBack(QStringLiteral(":ACQUIRE:MODE?"), s.AcqSamplingMode,
                      [](const QString &r) { return AcqModeDisplay(r); }))
        step.node(7, 3, Word::ItemSamplingMode, s.AcqSamplingMode);
    return ApplyEnd::Close;
}

ApplyEnd ApplyAcqType(ApplyStep &step, int)
{
    CtrlSettings &s = step.settings();
    step.send(QStringLiteral(":ACQUIRE:TYPE ") + AcqTypeToken(step.choice()));
    s.AcqType = step.choice();
    step.node(7, 2, Word::ItemAcquisition, s.AcqType);
    // The Averages node exists only while the type is averaging.
    step.rebuild(7, 2);
    return ApplyEnd::Close;
}

ApplyEnd ApplyAcqAverages(ApplyStep &step, int)
{
    CtrlSettings &s = step.settings();
    step.send(QStringLiteral(":ACQUIRE:AVERAGES ") + step.choice());
    s.AcqAverages = step.choice();
    step.node(7, 5, Word::ItemAverages, s.AcqAverages);
    return ApplyEnd::Close;
}

ApplyEnd ApplyDisplayType(ApplyStep &step, int)
{
    CtrlSettings &s = step.settings();
    step.send(QStringLiteral(":DISPLAY:TYPE ") + DisplayTypeToken(step.choice()));
    if (step.readBack(QStringLiteral(":DISPLAY:TYPE?"), s.DispType,
                      [](const QString &r) { return DisplayTypeDisplay(r); }))
        step.node(8, 2, Word::ItemType, s.DispType);
    return ApplyEnd::Close;
}

ApplyEnd ApplyDisplayPersist(ApplyStep &step, int)
{
    CtrlSettings &s = step.settings();
    step.send(QStringLiteral(":DISPLAY:PERSIST ") + OnOffToken(step.choice()));
    s.DispPersist = step.choice();
    step.node(8, 3, Word::ItemPersist, s.DispPersist);
    return ApplyEnd::Close;
}

ApplyEnd ApplyDisplayGrid(ApplyStep &step, int)
{
    CtrlSettings &s = step.settings();
    step.send(QStringLiteral(":DISPLAY:GRID ") + GridToken(step.choice()));
    s.DispGrid = step.choice();
    step.node(8, 5, Word::ItemGrid, s.DispGrid);
    return ApplyEnd::Close;
}
