#pragma once
// The branches of the apply routine, one function per setting (or per pair
// of settings that differ only in their channel), grouped in one file per
// settings group and joined by the key chain (editors/applykeys.cpp). Each
// runs its steps (editors/applyframe.h) and returns ApplyEnd::StayOpen only
// after a refused number.

#include "editors/applyframe.h"

// --- CH1 and CH2 (applychannel.cpp); arg: the channel, 1 or 2 ----------------
ApplyEnd ApplyChannelOffset(ApplyStep &step, int ch);
ApplyEnd ApplyChannelCoupling(ApplyStep &step, int ch);

// --- Time Base (applytimebase.cpp) ----------------------------------------------
ApplyEnd ApplyTimeBaseDelay(ApplyStep &step, int);
// Reads the main delay back into Settings.Delay and its node (5, 16).
void GetTimeBaseParameter(ApplyStep &step);
