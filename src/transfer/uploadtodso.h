#pragma once
// The settings upload (transfer request kind 22): sends every setting of
// app().Settings to the instrument as a fixed sequence of set commands, each
// display text of the current language turned into its token or number.
// Only the block of the trigger type Settings.TrigMethod names is sent (and
// under the alternate trigger only each channel's own type); the six
// alternate time-base commands always go. Trigger levels, held in divisions,
// are sent in volts: level x the source's scale - its offset, both asked of
// the instrument on the way.
//
// A row whose value cannot be formed (an empty probe text) sends nothing; the
// rest always runs to its end. The record is not changed, except that the
// pattern code may drop a second edge (SendPatternTrigger).
//
// Lines go through instrumentLines() (transfer/triggerlines.h); the pauses
// before the time-base scale (500 ms) and offset (1000 ms) are taken on
// appClock(). Progress: 100 / 32 per step, through SettingsProgressStep().

inline constexpr float UploadProgressStep = 100.0f / 32.0f;

void UploadSettings();
