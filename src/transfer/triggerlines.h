#pragma once
// The trigger helpers that talk to the instrument: the scale and level queries
// behind a trigger level, and the pattern or duration command sent after a
// logic channel's code changed. The settings transfers and the setting editors
// use them; the texts they build on are in values/triggerhelpers.h.
//
// They reach the instrument through instrumentLines(), the link's send and
// query unless a test installs others, and the controller tree through the
// controller's node functions (nothing happens there while the controller pane
// is not loaded).

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

// A level in divisions ("1.50div") as volts for the source: level x scale -
// offset, written without blanks (".4", "-.25", "0"). "CH1"/"CH2" ask the
// channel's scale and offset; "EXT" is 0.2 V/div, "EXT5" 1 V/div; any other
// source (the AC line, a logic channel, an empty reply) has scale 0 and
// offset 0 and gives "0". The empty text when no level can be formed (a
// scale or offset reply that holds no value the instrument can mean, or a
// level or volts LevelVoltsText gives none for): the caller then sends no
// level.
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
