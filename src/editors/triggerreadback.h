#pragma once
// Reading a trigger's source and levels back from the instrument, shared by
// the trigger's setting branches and Set Trig to 50%. Lines go through
// instrumentLines().
//
// A level is the volts of the reply over the source's volts per division,
// shown "#0.00div"; an empty reply or a scale that gives no level (zero,
// empty, unreadable) keeps the member's text, so no "inf" or "nan" is ever
// stored.

#include <QString>

// The source as a trigger's read-back finds it.
struct TrigSource {
    QString text;          // the reply (the AC line as its word where asked)
    bool known = false;    // the instrument named a source
    bool digital = false;  // a logic source: the threshold stands for the level
    QString scale;         // the volts per division; empty: no level can be formed
};

// Asks the source query and finds its scale: "CH1"/"CH2" ask the channel's
// scale, "EXT" is 0.2, "EXT5" 1; with acLine the AC-line reply becomes the
// AC-line word with scale "0"; any other source has no scale and, with
// logic, is a logic source.
TrigSource ReadTrigSource(const QString &query, bool acLine, bool logic);

// Asks a level query and stores its level in divisions of scale in member.
void ReadTrigLevel(const QString &query, const QString &scale, QString &member);

// The level of an EDGE or PULSE trigger: for a logic source the threshold
// (":LA:THRESHOLD?", stored only when the instrument named the source),
// otherwise ReadTrigLevel.
void ReadSourceLevel(const TrigSource &source, const QString &levelQuery, QString &level);

// A sensitivity reply as "#0.00div" (0.3 gives "0.30div"); the empty text
// for a reply that is no number or no screen shows (FormatDivisions).
QString TrigSensitivityText(const QString &reply);
