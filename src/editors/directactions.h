#pragma once
// The controller tree's direct actions: the nodes that act on the instrument
// at once, without a dialog. Lines go through instrumentLines(), pauses
// through appClock() (without processing events).
//
// Read-backs keep a member's text when a reply is empty or cannot be
// converted (a zero scale gives no level, never "inf"): the node is written
// with the text the member then holds.

// ":AUTO", the busy pointer, 4000 ms, then the pane's Download; the pointer
// is back to normal afterwards, also when the download is refused.
void AutoSet();
// ":TRIG%50", then the source and level of the current trigger method read
// back into the settings and the Source and Level nodes (both channels under
// the alternate trigger; nothing more for PATTERN and DURATION).
void SetTrigTo50();
// ":FORCETRIG".
void ForceTrigger();
// ":LA:POSITION:RESET", 100 ms, both group sizes read back; the sixteen
// position nodes show the positions the instrument gave its channels.
void LaPositionReset();
// ":DISPLAY:CLEAR".
void DisplayClear();
