#pragma once
// Trigger source, level and code helpers: the settings whose instrument form
// does not follow the regular token pairs (values/tokenpairs.h): time-base
// format, logic threshold, trigger source, video standard, probe ratio, the
// AC-line source, trigger levels held in divisions, and the pattern and
// duration codes of the sixteen logic channels.
//
// Texts are compared whole and case-sensitively. Numbers are read with
// ReadNumber and written with NumberText, so always with ".".
//
// None of them talks to the instrument: the ones that ask it or send to it
// (TrigLevelToVolts, QuerySourceScale, SendPatternTrigger) live with the
// settings transfers in transfer/triggerlines.h and build on these.

#include "common/ctrlsettings.h"

#include <QString>

// " X-Y " -> "XY", "Y-T" -> "YT", anything else -> "SCANNING" (blanks at both
// ends removed first).
QString TimebaseFormatToken(const QString &shown);
// "SCANNING" -> "Roll"; any other reply unchanged.
QString TimebaseFormatDisplay(const QString &reply);
// "TTL", "CMOS", "ECL" unchanged; any other reply loses its first five
// characters ("User ") and the rest is written by FormatVolt.
QString LAThresholdDisplay(const QString &reply);
// A reply starting with "User" loses its first five characters and the rest
// is written by FormatVolt; any other reply unchanged.
QString LAUserThreshold(const QString &reply);
// "CH1" -> "CHANNEL1", "CH2" -> "CHANNEL2", the AC-line word of the current
// language -> "ACLINE", "EXT", "EXT5" unchanged; anything else loses its first
// character behind "DIGITAL" ("D7" -> "DIGITAL7").
QString SourceToken(const QString &shown);
// "PAL/SECAM" -> "PALSECAM"; anything else unchanged.
QString VideoStandardToken(const QString &shown);
// The probe reply as a ratio text: 1, 2, 5, 10, 50, 100, 500 -> "1X" ..
// "500X"; any other number "1000X".
QString ProbeRatioDisplay(const QString &reply);
// "ACLINE" -> the AC-line word of the current language; anything else unchanged.
QString AcLineDisplay(const QString &reply);

// A level in divisions ("1.50div") as volts for a source of the given scale
// and offset replies: level x scale - offset, written without blanks (".4",
// "-.25", "0"). Unreadable texts count as 0. A level no display shows (of
// MaxShownDivisions or more), or volts of 1E+15 or more in magnitude (beyond
// the plain form of NumberText; no instrument takes such a level) give the
// empty text: no level can be sent.
QString LevelVoltsText(const QString &level, const QString &scale, const QString &offset);

// True for the edge codes of a pattern or duration element: the pattern item
// words and the edge-slope words ("Rising"/"Falling" and the read-back forms)
// of the current language.
bool IsPatternEdgeCode(const QString &code);
// The element (1..16) whose edge gives way when element own (0..16) holds an
// edge: the first other element holding one, from D15 down; 0 when none must.
int PatternEdgeToClear(const CtrlSettings::LAArray &codes, int own);
// The pattern or duration command (by s.TrigMethod) for the codes in force,
// logic channel n (0..16) being the one just changed: value and mask of the
// H/L/X codes, then the edge (n's own first, otherwise the highest channel
// holding one) as "<channel>,<1 rising|0 falling>".
QString PatternTriggerLine(const CtrlSettings &s, int n);

// Fills elements 1..16 of codes from a pattern reply "<value>,<mask>[,Chan<k>,
// Positive|Negative]": "H"/"L" from the value bits, "X" where the mask bit is
// clear, and the edge-slope word on channel k. Parts beyond the fourth and an
// edge channel outside 0..15 are ignored. Returns the empty text.
QString ParsePatternReply(const QString &reply, CtrlSettings::LAArray &codes);
