#pragma once
// The Trigger group's branches of the apply routine: the main trigger's
// method and items (applytrigger.cpp) and the alternate trigger's two
// channels (applyalttrigger.cpp), with their read-backs. The key chain
// (editors/applykeys.cpp) names them.

#include "editors/applyframe.h"

// The items of the main trigger after its method; the argument of
// ApplyTriggerItem.
enum class TrigItem : int {
    Source,
    Mode,
    Coupling,
    Level,
    Sensitivity,
    Holdoff,
    Slope,
    PulseMode,
    PulseWidth,
    Polarity,
    Sync,
    LineNumber,
    VideoStandard,
    SlopeMode,
    SlopeTime,
    LevelA,
    LevelB,
    Qualifier,
    DurationTime,
};

// The method: refused (nothing sent or marked) under the X-Y format; else
// ":TRIGGER:MODE", the new method's settings read back, the tree rebuilt
// with the method node selected, 100 ms, the LA display read back.
ApplyEnd ApplyTriggerMethod(ApplyStep &step, int);
// One item of the current method (arg: a TrigItem). An item the method does
// not have sends nothing.
ApplyEnd ApplyTriggerItem(ApplyStep &step, int item);
// Reads every setting of the method in Settings.TrigMethod, then the holdoff.
void GetTriggerMethod(ApplyStep &step);

// The items of an alternate trigger channel after its type.
enum class AltTrigItem : int {
    Coupling,
    Level,
    Sensitivity,
    Holdoff,
    Slope,
    PulseMode,
    PulseWidth,
    SlopeMode,
    SlopeTime,
    LevelA,
    LevelB,
    Polarity,
    Sync,
    LineNumber,
    VideoStandard,
};

// The argument of ApplyAltTriggerItem for an item of channel ch (1 or 2).
constexpr int AltTrigArg(AltTrigItem item, int ch)
{
    return static_cast<int>(item) * 2 + (ch == 1 ? 0 : 1);
}

// A channel's type (arg: the channel): the type stored, the channel's
// settings of that type read back, the type sent to that channel, the tree
// rebuilt with the type node selected.
ApplyEnd ApplyAltTrigType(ApplyStep &step, int ch);
// One item of a channel's type (arg: AltTrigArg): the channel selected as the
// alternation source before the item's command. An item the channel's type
// does not have sends nothing.
ApplyEnd ApplyAltTriggerItem(ApplyStep &step, int arg);
// Reads the channel's scale, selects the channel as the alternation source
// and reads every setting of its stored type. False, with nothing sent or
// stored, when the scale query got no reply. channel 1 is CH1, any other CH2.
bool GetTriggerAltTrigType(ApplyStep &step, int channel);

// A level that cannot be formed (no source named, or a scale or offset that
// gives no level) is not applied: the user is told the read failed (unless
// the link already told of its lost reply), and the setting, its node and the
// control file's modified flag stay as they were.
ApplyEnd LevelNotApplied();

// Rebuilds the tree keeping its open branches, then selects node (group, item).
void RebuildCtrlTreeSelecting(int group, int item);
