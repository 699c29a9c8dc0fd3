#pragma once
// The setting editors' program-wide state (app().editors): what the volts/div
// adjust dialog remembers between openings while the program runs, and the
// bound of a typed channel offset. Nothing here is saved.

#include <QtGlobal>

struct EditorsState {
    // What the adjust dialog edits: 0 CH1 volts/div, 1 CH2 volts/div.
    quint8 AdjustMode = 0;
    // Coarse (0) or fine (any other value) stepping last chosen per channel.
    qint16 AdjustCoarseFineCH1 = 0;
    quint8 AdjustCoarseFineCH2 = 0;
    // The bound of a typed channel offset in volts; the offset branches set it
    // before they compare.
    float OffsetLimit = 0.0f;
};
