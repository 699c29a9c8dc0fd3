#pragma once
// The settings download (transfer request kind 23): asks the instrument for
// every setting, whatever trigger type is in force, writes each reply into
// app().Settings as the display text of the current language, rebuilds the
// controller tree (BuildCtrlTree) and gives the instrument its active channel
// back (":CHANNEL:ACTIVE <saved reply>").
//
// All or nothing: the replies are read into a copy of the settings, which
// replaces app().Settings, and the tree is rebuilt, only when every reply
// came. The first one that does not come (a time-out, a lost link, a Stop)
// ends the download: no further line goes out, and the settings, the tree
// and the instrument's active channel stay as they were.
//
// Rules of the replies:
// - A reply that came empty (its line end alone) leaves its member as it
//   was, and so does a reply that holds no value the instrument can mean
//   (">", "<" or "*" in it, or a number beyond any of its values: see
//   InvalidValueReply); every other reply goes through its row's converter,
//   fallback words included.
// - Levels are read as volts / the source's scale ("0.50div"); a scale that
//   is zero or unreadable keeps the member. A logic trigger source of the
//   EDGE and PULSE blocks reads the logic threshold into the level instead.
// - A sensitivity reply without a number keeps the member.
// - No member ever becomes "inf" or "nan".
// The download is not the inverse of the upload: the level comes back without
// the channel offset the upload subtracted, and texts come back re-formatted.
//
// Lines go through instrumentLines() (transfer/triggerlines.h). Progress:
// 100 / 76 per step, 75 steps.

inline constexpr float DownloadProgressStep = 100.0f / 76.0f;

void DownloadSettings();
