#pragma once
// The branches of the apply routine, one function per setting (or per pair
// of settings that differ only in their channel), grouped in one file per
// settings group and joined by the key chain (editors/applykeys.cpp). Each
// runs its steps (editors/applyframe.h) and returns ApplyEnd::StayOpen only
// after a refused number.

#include "editors/applyframe.h"

// --- Running Control, CH1 and CH2 (applychannel.cpp); arg: the channel, 1 or 2
ApplyEnd ApplyRunStop(ApplyStep &step, int);
ApplyEnd ApplyChannelDisplay(ApplyStep &step, int ch);
ApplyEnd ApplyChannelOffset(ApplyStep &step, int ch);
ApplyEnd ApplyChannelCoupling(ApplyStep &step, int ch);
ApplyEnd ApplyChannelBWLimit(ApplyStep &step, int ch);
ApplyEnd ApplyChannelProbe(ApplyStep &step, int ch);

// --- LA (applyla.cpp) --------------------------------------------------------
ApplyEnd ApplyLaDisplay(ApplyStep &step, int);
ApplyEnd ApplyLaChannel(ApplyStep &step, int);
ApplyEnd ApplyLaPosition(ApplyStep &step, int);
ApplyEnd ApplyLaThreshold(ApplyStep &step, int);
ApplyEnd ApplyLaSize(ApplyStep &step, int);

// --- Time Base (applytimebase.cpp); arg: the channel of its own time base ----
ApplyEnd ApplyChannelTimeDiv(ApplyStep &step, int ch);
ApplyEnd ApplyChannelDelay(ApplyStep &step, int ch);
ApplyEnd ApplyTimeBaseTimeDiv(ApplyStep &step, int);
ApplyEnd ApplyTimeBaseDelay(ApplyStep &step, int);
ApplyEnd ApplyTimeBaseFormat(ApplyStep &step, int);
// Reads the main delay back into Settings.Delay and its node (5, 16).
void GetTimeBaseParameter(ApplyStep &step);

// --- Pattern and duration codes (applycodes.cpp); arg: the logic channel ----
ApplyEnd ApplyTriggerCode(ApplyStep &step, int k);

// --- Acquire and Display (applyacquire.cpp) -----------------------------------
ApplyEnd ApplyAcqSamplingMode(ApplyStep &step, int);
ApplyEnd ApplyAcqType(ApplyStep &step, int);
ApplyEnd ApplyAcqAverages(ApplyStep &step, int);
ApplyEnd ApplyDisplayType(ApplyStep &step, int);
ApplyEnd ApplyDisplayPersist(ApplyStep &step, int);
ApplyEnd ApplyDisplayGrid(ApplyStep &step, int);
