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
// Two of them ask the instrument (TrigLevelToVolts, QuerySourceScale) and one
// sends a command and rewrites a controller tree node (SendPatternTrigger).
// They reach the instrument through instrumentLines(), the link's send and
// query unless a test installs another, and the tree through the
// controller's node functions (controller/ctrltreenodes.h; nothing happens
// while the controller pane is not loaded).

#include "common/ctrlsettings.h"

#include <QString>

// The two instrument operations these helpers and the settings transfers use.
class InstrumentLines {
public:
    virtual ~InstrumentLines() = default;
    // One command line, with the link's pause after it.
    virtual void sendCommand(const QString &line) = 0;
    // One query line and its reply as the link returns it (a VISA reply keeps
    // its line feed); the empty text when no reply came.
    virtual QString queryString(const QString &line) = 0;
};

// The lines in force: the link's own unless a test installed others.
InstrumentLines &instrumentLines();
// Installs lines (not owned); nullptr goes back to the link's.
void setInstrumentLines(InstrumentLines *lines);

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

// A level in divisions ("1.50div") as volts for the source: level x scale -
// offset, written without blanks (".4", "-.25", "0"). "CH1"/"CH2" ask the
// channel's scale and offset; "EXT" is 0.2 V/div, "EXT5" 1 V/div; any other
// source (the AC line, a logic channel, an empty reply) has scale 0 and
// offset 0 and gives "0".
QString TrigLevelToVolts(const QString &level, const QString &source);
// The volts per division of a source: the reply to the channel's scale query
// for "CH1"/"CH2" (cut at its line feed), " .2" for "EXT", " 1" for "EXT5",
// "0" for "AC", the empty text for anything else.
QString QuerySourceScale(const QString &source);

// Sends the pattern or duration code (by Settings.TrigMethod) after the code
// of logic channel n (0..16) changed. With n's pattern code an edge, any other
// pattern edge (the first found from D15 down) becomes "X" and its tree node
// (21, 4 + element) is rewritten: the trigger keeps one edge. Edges are the
// pattern item words and the edge-slope words of the current language. An n
// above 16 sends nothing and changes nothing.
void SendPatternTrigger(int n);

// Fills elements 1..16 of codes from a pattern reply "<value>,<mask>[,Chan<k>,
// Positive|Negative]": "H"/"L" from the value bits, "X" where the mask bit is
// clear, and the edge-slope word on channel k. Parts beyond the fourth and an
// edge channel outside 0..15 are ignored. Returns the empty text.
QString ParsePatternReply(const QString &reply, CtrlSettings::LAArray &codes);
